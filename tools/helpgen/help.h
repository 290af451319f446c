// help.h: the help text as topics of paragraphs, its plain-text source reader, and the writer of
// the WinHelp 3.1 file that the platform's help viewer opens.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A stretch of text in one style; texts are Windows-1252 bytes.
struct HelpRun {
  std::string text;
  bool bold = false;
  std::string jump;  // context name of the topic it jumps to, or empty
};

enum class HelpBlock { kParagraph, kItem };  // an item is indented and starts with a bullet

struct HelpParagraph {
  HelpBlock kind = HelpBlock::kParagraph;
  std::vector<HelpRun> runs;
};

// The viewer shows the title as the topic's heading and in its history.
struct HelpTopic {
  std::string context;
  std::string title;
  std::vector<HelpParagraph> paragraphs;
};

// The title is the help window's caption; the first topic is the contents.
struct HelpDocument {
  std::string title;
  std::vector<HelpTopic> topics;
};

// Adds the topics of one source file (UTF-8 text, the markup described in res/help/) to the
// document; false with "name:line: reason" in *error when the text is not of that markup.
bool ReadHelpSource(const std::string& name, const std::string& text, HelpDocument* document,
                    std::string* error);

// The number by which the viewer finds a context name (letters in either case alike).
uint32_t HelpContextHash(const std::string& context);

// The whole .hlp file; false with the reason in *error when the document cannot be written
// (a jump to no topic, two contexts of one hash, a paragraph or an index too large).
bool WriteHelpFile(const HelpDocument& document, std::vector<uint8_t>* file, std::string* error);
