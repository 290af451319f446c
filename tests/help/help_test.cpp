// help_test.cpp: the help file written from res/help, read back by a small reader of the WinHelp
// format of its own: the internal directory, |SYSTEM, every topic and every jump.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "res/resource_ids.h"
#include "res/string_table.h"
#include "tools/helpgen/help.h"

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t U16(const Bytes& b, size_t at) {
  return at + 2 <= b.size() ? b[at] | static_cast<uint32_t>(b[at + 1]) << 8 : 0xDEAD;
}
uint32_t U32(const Bytes& b, size_t at) {
  return U16(b, at) | U16(b, at + 2) << 16;
}
// A packed number takes a second byte when the first one is odd.
size_t PackedSize(const Bytes& b, size_t at) {
  return b[at] & 1 ? 2u : 1u;
}

struct Topic {
  uint32_t offset;  // block << 15 | the text bytes before it in its block
  std::string title;
  std::vector<std::pair<uint32_t, std::string>> jumps;  // hash, shown text
};

// What the reader found; `problem` is empty when the file is well formed.
struct HelpFile {
  std::map<std::string, uint32_t> files;  // internal file name, offset of its content
  std::string title;
  uint32_t contents = 0;
  std::map<uint32_t, uint32_t> contexts;  // hash, topic offset
  std::vector<std::string> titles;        // |TTLBTREE, in its order
  std::vector<Topic> topics;
  uint32_t blocks = 0;
  std::string problem;
};

// The entries of a B+ tree that is a single leaf page (all this help needs), in order, stepped
// through by the tree's own description of an entry: 'z' a string, 'L' or '4' four bytes.
std::vector<size_t> LeafEntries(const Bytes& b, size_t tree, std::string* why) {
  std::vector<size_t> entries;
  if (U16(b, tree) != 0x293B || U16(b, tree + 32) != 1) {
    *why = "not a one-page B+ tree";
    return entries;
  }
  const std::string format(b.begin() + static_cast<long>(tree + 6),
                           b.begin() + static_cast<long>(tree + 8));
  size_t at = tree + 38 + 8;
  const uint32_t count = U16(b, tree + 38 + 2);
  for (uint32_t i = 0; i < count && at < b.size(); ++i) {
    entries.push_back(at);
    for (char field : format) {
      if (field != 'z') at += 4;
      while (field == 'z' && at < b.size() && b[at++] != 0) {
      }
    }
  }
  if (count != U32(b, tree + 34)) *why = "B+ tree counts differ";
  return entries;
}

std::string Text(const Bytes& b, size_t at) {
  std::string text;
  while (at < b.size() && b[at] != 0) text.push_back(static_cast<char>(b[at++]));
  return text;
}

// One paragraph record: checks that its formatting commands and strings pair up, and collects
// its jumps.
bool ReadParagraph(const Bytes& b, size_t record, uint32_t length1, uint32_t length2, Topic* topic,
                   std::string* why) {
  size_t at = record + 21;
  const size_t end1 = record + length1;
  const uint32_t sizeField = U16(b, at);
  at += 2;
  const uint32_t textLength = b[at] & 1 ? U16(b, at) / 2 : b[at] / 2u;
  at += PackedSize(b, at);
  if ((sizeField & 1) || sizeField / 2 - 16384 != end1 - at || textLength != length2) {
    *why = "paragraph sizes do not add up";
    return false;
  }
  const uint32_t bits = U16(b, at + 4);
  at += 6;
  for (uint32_t bit : {0x02u, 0x04u, 0x08u, 0x10u, 0x20u, 0x40u}) {
    if (bits & bit) at += PackedSize(b, at);
  }
  if (bits & 0x200) {
    const uint32_t stops = (b[at] - 128u) / 2;
    ++at;
    for (uint32_t i = 0; i < stops; ++i) at += PackedSize(b, at);
  }
  std::vector<std::string> strings;
  for (size_t s = end1; s < end1 + length2; s += strings.back().size() + 1) {
    strings.push_back(Text(b, s));
  }
  size_t next = 0;
  std::string* jumpText = nullptr;
  while (at < end1) {
    if (next == strings.size()) break;
    if (jumpText) *jumpText += strings[next];
    ++next;
    const uint8_t command = b[at++];
    if (command == 0xFF) break;
    if (command == 0x80) {
      at += 2;
    } else if (command == 0xE3) {
      topic->jumps.emplace_back(U32(b, at), "");
      jumpText = &topic->jumps.back().second;
      at += 4;
    } else if (command == 0x89) {
      jumpText = nullptr;
    } else if (command != 0x82 && command != 0x83) {
      *why = "an unknown formatting command";
      return false;
    }
  }
  if (at != end1 || next != strings.size() || jumpText != nullptr) {
    *why = "commands and strings do not pair up";
    return false;
  }
  return true;
}

// Walks the topic records from the first to the last, checking each link and block header.
void ReadTopics(const Bytes& b, size_t topic, HelpFile* help) {
  const uint32_t size = U32(b, topic - 5);
  help->blocks = size / 4096;
  if (size % 4096 != 0) help->problem = "|TOPIC is not whole blocks";
  uint32_t position = 12, previous = 0xFFFFFFFF, block = 0xFFFFFFFF, characters = 0;
  for (int guard = 0; help->problem.empty() && guard < 10000; ++guard) {
    const uint32_t at = (position - 12) >> 14, offset = (position - 12) & 0x3FFF;
    const size_t record = topic + at * 4096 + 12 + offset;
    if (at >= help->blocks || offset + U32(b, record) > 4084) {
      help->problem = "a record outside its block";
      return;
    }
    if (at != block) {
      block = at;
      characters = 0;
      if (U32(b, topic + at * 4096) != previous || U32(b, topic + at * 4096 + 4) != position) {
        help->problem = "a block header does not point at its records";
        return;
      }
    }
    const uint32_t length2 = U32(b, record + 4), length1 = U32(b, record + 16);
    if (U32(b, record + 8) != previous || U32(b, record) != length1 + length2) {
      help->problem = "a record's links or sizes are wrong";
      return;
    }
    if (b[record + 20] == 0x02) {
      std::string title(b.begin() + static_cast<long>(record + length1),
                        b.begin() + static_cast<long>(record + length1 + length2));
      help->topics.push_back({at << 15 | characters, title, {}});
    } else if (b[record + 20] != 0x20 || help->topics.empty() ||
               !ReadParagraph(b, record, length1, length2, &help->topics.back(), &help->problem)) {
      if (help->problem.empty()) help->problem = "a record of an unknown type";
      return;
    } else {
      characters += length2;
    }
    previous = position;
    position = U32(b, record + 12);
    if (position == 0xFFFFFFFF) return;
  }
}

HelpFile Read(const Bytes& b) {
  HelpFile help;
  if (U32(b, 0) != 0x00035F3F || U32(b, 12) != b.size()) {
    help.problem = "not a help file of its own size";
    return help;
  }
  const size_t directory = U32(b, 4) + 9;
  std::string why;
  std::string last;
  for (size_t entry : LeafEntries(b, directory, &why)) {
    const std::string name = Text(b, entry);
    const uint32_t offset = U32(b, entry + name.size() + 1);
    if (name <= last || U32(b, offset) != U32(b, offset + 4) + 9 ||
        offset + U32(b, offset) > b.size()) {
      help.problem = "directory entry " + name + " out of order or of a wrong size";
    }
    help.files[name] = offset + 9;
    last = name;
  }
  for (const char* name : {"|SYSTEM", "|TOPIC", "|FONT", "|CONTEXT", "|TTLBTREE"}) {
    if (help.files.count(name) == 0) help.problem = std::string("no ") + name;
  }
  if (!why.empty()) help.problem = why;
  if (!help.problem.empty()) return help;

  const size_t system = help.files["|SYSTEM"];
  if (U16(b, system) != 0x036C || U16(b, system + 2) != 21 || U16(b, system + 10) != 0) {
    help.problem = "not an uncompressed 3.1 |SYSTEM";
  }
  for (size_t at = system + 12; at + 4 <= system + U32(b, system - 5); at += 4 + U16(b, at + 2)) {
    if (U16(b, at) == 1) help.title = Text(b, at + 4);
    if (U16(b, at) == 3) help.contents = U32(b, at + 4);
  }
  int32_t lastHash = INT32_MIN;
  for (size_t entry : LeafEntries(b, help.files["|CONTEXT"], &why)) {
    const int32_t hash = static_cast<int32_t>(U32(b, entry));
    if (hash <= lastHash) help.problem = "|CONTEXT not in the order of signed hashes";
    help.contexts[U32(b, entry)] = U32(b, entry + 4);
    lastHash = hash;
  }
  for (size_t entry : LeafEntries(b, help.files["|TTLBTREE"], &why)) {
    help.titles.push_back(Text(b, entry + 4));
  }
  if (!why.empty()) help.problem = why;
  if (help.problem.empty()) ReadTopics(b, help.files["|TOPIC"], &help);
  return help;
}

bool Document(HelpDocument* document, std::string* error) {
  document->title = FindStringEntry(IDS_CAPTION);
  std::istringstream list(TORVANE_HELP_SOURCES);
  std::string path;
  while (std::getline(list, path, '|')) {
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
      *error = "cannot read " + path;
      return false;
    }
    std::string text;
    for (int c; (c = fgetc(file)) != EOF;) text.push_back(static_cast<char>(c));
    fclose(file);
    if (!ReadHelpSource(path, text, document, error)) return false;
  }
  return true;
}

TEST(HelpFile, ReadsBackWithTheCaptionAsTitleTheContentsFirstAndEveryJumpOnATopic) {
  HelpDocument document;
  std::string error;
  ASSERT_TRUE(Document(&document, &error)) << error;
  Bytes bytes;
  ASSERT_TRUE(WriteHelpFile(document, &bytes, &error)) << error;
  const HelpFile help = Read(bytes);
  ASSERT_EQ("", help.problem);

  EXPECT_EQ("Torvane - Atelier Vireloup", help.title);
  ASSERT_EQ(document.topics.size(), help.topics.size());
  EXPECT_GT(help.blocks, 1u) << "the topics should fill more than one block";
  std::vector<std::string> titles;
  std::map<uint32_t, size_t> topicAt;
  for (size_t i = 0; i < help.topics.size(); ++i) {
    titles.push_back(help.topics[i].title);
    topicAt[help.topics[i].offset] = i;
  }
  EXPECT_EQ(titles, help.titles);
  EXPECT_EQ(help.topics.size(), topicAt.size()) << "two topics at one offset";
  EXPECT_EQ(help.topics[0].offset, help.contents);
  EXPECT_EQ(help.title, help.topics[0].title);

  // Every context names a topic's start, and every jump one of those contexts; from the
  // contents, the jumps reach every topic.
  EXPECT_EQ(help.topics.size(), help.contexts.size());
  for (const auto& context : help.contexts) EXPECT_EQ(1u, topicAt.count(context.second));
  std::set<size_t> reached = {0};
  std::vector<size_t> pending = {0};
  while (!pending.empty()) {
    const Topic& topic = help.topics[pending.back()];
    pending.pop_back();
    for (const auto& jump : topic.jumps) {
      const auto context = help.contexts.find(jump.first);
      ASSERT_NE(help.contexts.end(), context) << "\"" << jump.second << "\" in " << topic.title;
      const size_t target = topicAt[context->second];
      if (reached.insert(target).second) pending.push_back(target);
    }
  }
  EXPECT_EQ(help.topics.size(), reached.size());

  // The contents offers the two languages, in Windows-1252.
  const auto& offered = help.topics[0].jumps;
  ASSERT_EQ(2u, offered.size());
  EXPECT_EQ("Fran\347ais", offered[0].second);
  EXPECT_EQ("English", offered[1].second);
  EXPECT_EQ("Aide de Torvane", help.topics[topicAt[help.contexts.at(offered[0].first)]].title);
  EXPECT_EQ("Torvane Help", help.topics[topicAt[help.contexts.at(offered[1].first)]].title);
}

TEST(HelpFile, SourcesOutsideTheMarkupOrJumpsToNoTopicAreRefused) {
  const struct {
    const char* text;
    const char* error;  // the start of the reason
  } bad[] = {{"Some text\n", "a.txt:1: text before"},
             {"== t | T\n\nA **bold\n", "a.txt:3: bold text left open"},
             {"== t | T\nA [jump(t)\n", "a.txt:2: a jump is written"},
             {"== t | T\nA check \xE2\x9C\x93\n", "a.txt:2: not UTF-8"},
             {"== bad name | T\n", "a.txt:1: a context name"},
             {"== t | T\nSee [there](nowhere).\n", "a jump to \"nowhere\", which is no topic"}};
  for (const auto& source : bad) {
    HelpDocument document;
    std::string error;
    Bytes bytes;
    const bool written = ReadHelpSource("a.txt", source.text, &document, &error) &&
                         WriteHelpFile(document, &bytes, &error);
    EXPECT_FALSE(written) << source.text;
    EXPECT_EQ(0u, error.find(source.error)) << error;
  }
}

}  // namespace
