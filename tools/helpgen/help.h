// help.h: the help text as topics of paragraphs, its plain-text source reader, and its writers:
// the WinHelp 3.1 file that older systems' help viewer opens, the web pages that newer ones open
// in the browser, and the read-me of the download.
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

// Windows-1252 text as UTF-8.
std::string Utf8FromWindows1252(const std::string& text);

// One web page of the help: the topics of one language, saved as `file` (a bare file name, which
// the other pages' links name) with `language` as its language code.
struct HelpPage {
  std::string file;
  std::string language;
  HelpDocument document;
};

// Each page as a whole HTML file: UTF-8, its style inline, no script and no outside file; a jump
// links to its topic on the same page or on another. False with the reason in *error when a jump
// names no topic of any page.
bool WriteHelpPages(const std::vector<HelpPage>& pages, std::vector<std::string>* html,
                    std::string* error);

// The read-me beside the program: a template (UTF-8 text) whose lines "# ..." are comments and
// whose lines "@items context" become that topic's list items, wrapped at kReadmeColumns; written
// in UTF-8 with a byte-order mark and CR LF line ends, as every Windows editor reads it. False with
// the reason in *error for an unknown topic or a template line wider than kReadmeColumns.
constexpr size_t kReadmeColumns = 78;
bool WriteReadme(const std::string& templateText, const HelpDocument& document, std::string* text,
                 std::string* error);
