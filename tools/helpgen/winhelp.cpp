// winhelp.cpp: writes a help document as a WinHelp 3.1 file: the internal file system with its
// B+ tree directory, |SYSTEM, |FONT, |TOPIC in uncompressed 4 KB blocks, |CONTEXT and |TTLBTREE.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tools/helpgen/help.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kNone = 0xFFFFFFFF;  // no such link, topic or page
constexpr uint32_t kTopicBlock = 4096;  // with flags 0, a 3.1 file keeps 4 KB topic blocks
constexpr uint32_t kBlockHeader = 12;
constexpr uint32_t kBlockData = kTopicBlock - kBlockHeader;
constexpr uint32_t kLinkHeader = 21;
constexpr uint32_t kTopicHeaderData = 28;

// The fonts the topics use, in the order of the |FONT descriptors.
enum Font : uint16_t { kNormalFont, kBoldFont, kHeadingFont, kFontCount };

void Put8(Bytes& out, unsigned value) {
  out.push_back(static_cast<uint8_t>(value & 0xFF));
}
void Put16(Bytes& out, unsigned value) {
  Put8(out, value);
  Put8(out, value >> 8);
}
void Put32(Bytes& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}
void PutText(Bytes& out, const std::string& text) {
  out.insert(out.end(), text.begin(), text.end());
}
// A text in a field of fixed size, cut or padded with zeros.
void PutPadded(Bytes& out, const std::string& text, size_t size) {
  std::string field = text.substr(0, size);
  field.resize(size, '\0');
  PutText(out, field);
}
void Set32(Bytes& out, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i)
    out[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

// The topic records' packed numbers: an even first byte holds the short form, an odd one says
// a second byte follows. Only the values the topics need are written.
void PutSmallUnsigned(Bytes& out, unsigned value) {  // below 32768
  if (value < 128) {
    Put8(out, value * 2);
  } else {
    Put16(out, value * 2 + 1);
  }
}
void PutSmallSigned(Bytes& out, int value) {  // -64 to 63: one byte, biased by 64
  Put8(out, static_cast<unsigned>((value + 64) * 2));
}
void PutShortSignedLong(Bytes& out, unsigned value) {  // below 16384: two bytes, biased by 16384
  Put16(out, (value + 16384) * 2);
}

// A B+ tree of one leaf page: the entries, already in key order, must fit it.
bool PutBTree(Bytes& out, unsigned flags, unsigned pageSize, const char* structure,
              const std::vector<Bytes>& entries) {
  Bytes page;
  for (const Bytes& entry : entries) page.insert(page.end(), entry.begin(), entry.end());
  if (page.size() + 8 > pageSize) return false;
  Put16(out, 0x293B);
  Put16(out, flags);
  Put16(out, pageSize);
  PutPadded(out, structure, 16);
  Put16(out, 0);       // must be zero
  Put16(out, 0);       // page splits
  Put16(out, 0);       // root page
  Put16(out, 0xFFFF);  // must be -1
  Put16(out, 1);       // pages
  Put16(out, 1);       // levels: the root is the leaf
  Put32(out, static_cast<uint32_t>(entries.size()));
  Put16(out, static_cast<unsigned>(pageSize - 8 - page.size()));  // unused bytes at the end
  Put16(out, static_cast<unsigned>(entries.size()));
  Put16(out, 0xFFFF);  // no previous leaf
  Put16(out, 0xFFFF);  // no next leaf
  out.insert(out.end(), page.begin(), page.end());
  out.resize(out.size() + pageSize - 8 - page.size(), 0);
  return true;
}

// One record of |TOPIC: a topic header (type 2) or a paragraph of text (type 0x20).
struct Link {
  uint8_t type;
  Bytes data1;        // after the 21-byte link header
  std::string data2;  // the title, or the paragraph's strings with their terminators
  size_t topic;
  uint32_t position = 0;  // block << 14 | (12 + offset in the block's data)
  uint32_t Size() const { return kLinkHeader + static_cast<uint32_t>(data1.size() + data2.size()); }
};

// A paragraph's formatting commands and the strings between them: each command follows one
// string, so the text part always holds as many strings as there are commands.
struct ParagraphBuilder {
  Bytes commands;
  std::string strings;
  std::string pending;
  int font = -1;
  void Command(std::initializer_list<unsigned> bytes) {
    strings += pending;
    strings.push_back('\0');
    pending.clear();
    for (unsigned byte : bytes) Put8(commands, byte);
  }
  void SetFont(Font wanted) {
    if (font != wanted) Command({0x80, wanted, 0});
    font = wanted;
  }
};

// Paragraph settings: spacing above and below, left indent and first-line indent, in half
// points, and one tab stop at the indent for the item's text after its bullet.
Bytes ParagraphFormat(HelpBlock kind, bool heading) {
  enum : unsigned { kAbove = 0x02, kBelow = 0x04, kLeft = 0x10, kFirstLine = 0x40, kTabs = 0x200 };
  constexpr int kIndent = 24;
  Bytes out;
  Put8(out, 0x00);  // columns: none outside tables
  Put8(out, 0x80);
  Put16(out, 0);
  if (heading) {
    Put16(out, kBelow);
    PutSmallSigned(out, 12);
  } else if (kind == HelpBlock::kItem) {
    Put16(out, kAbove | kLeft | kFirstLine | kTabs);
    PutSmallSigned(out, 4);
    PutSmallSigned(out, kIndent);
    PutSmallSigned(out, -kIndent);
    PutSmallSigned(out, 1);  // one tab stop
    PutSmallUnsigned(out, kIndent);
  } else {
    Put16(out, kAbove);
    PutSmallSigned(out, 12);
  }
  return out;
}

bool ParagraphLink(const HelpParagraph* paragraph, const std::string& heading,
                   const std::map<uint32_t, std::string>& contexts, Link* link,
                   std::string* error) {
  ParagraphBuilder text;
  if (paragraph == nullptr) {
    text.SetFont(kHeadingFont);
    text.pending = heading;
  } else {
    if (paragraph->kind == HelpBlock::kItem) {
      text.SetFont(kNormalFont);
      text.pending = "\x95";  // the bullet, then a tab to the item's indent
      text.Command({0x83});
    }
    for (const HelpRun& run : paragraph->runs) {
      text.SetFont(run.bold ? kBoldFont : kNormalFont);
      if (run.jump.empty()) {
        text.pending += run.text;
        continue;
      }
      const uint32_t hash = HelpContextHash(run.jump);
      if (contexts.count(hash) == 0) {
        *error = "a jump to \"" + run.jump + "\", which is no topic";
        return false;
      }
      text.Command({0xE3, hash & 0xFF, (hash >> 8) & 0xFF, (hash >> 16) & 0xFF, hash >> 24});
      text.pending += run.text;
      text.Command({0x89});  // end of the jump
    }
  }
  text.Command({0x82});  // end of the paragraph
  text.Command({0xFF});  // end of the formatting
  const Bytes format =
      ParagraphFormat(paragraph ? paragraph->kind : HelpBlock::kParagraph, paragraph == nullptr);
  const size_t rest = format.size() + text.commands.size();
  if (rest >= 16384 || text.strings.size() >= 32768) {
    *error = "a paragraph too long for one topic record";
    return false;
  }
  link->type = 0x20;
  PutShortSignedLong(link->data1, static_cast<unsigned>(rest));
  PutSmallUnsigned(link->data1, static_cast<unsigned>(text.strings.size()));
  link->data1.insert(link->data1.end(), format.begin(), format.end());
  link->data1.insert(link->data1.end(), text.commands.begin(), text.commands.end());
  link->data2 = text.strings;
  return true;
}

// The |TOPIC file, and each topic's character offset (block << 15 | the text bytes before the
// topic in its block), by which the other internal files name it.
bool BuildTopics(const HelpDocument& document, Bytes* out, std::vector<uint32_t>* offsets,
                 std::string* error) {
  std::map<uint32_t, std::string> contexts;
  for (const HelpTopic& topic : document.topics) {
    const uint32_t hash = HelpContextHash(topic.context);
    if (!contexts.emplace(hash, topic.context).second) {
      *error = "the contexts \"" + contexts[hash] + "\" and \"" + topic.context + "\" share a hash";
      return false;
    }
  }

  std::vector<Link> links;
  for (size_t t = 0; t < document.topics.size(); ++t) {
    const HelpTopic& topic = document.topics[t];
    Link header = {0x02, Bytes(kTopicHeaderData, 0), topic.title, t};
    links.push_back(header);
    for (size_t p = 0; p <= topic.paragraphs.size(); ++p) {
      Link text = {0x20, {}, {}, t};
      if (!ParagraphLink(p == 0 ? nullptr : &topic.paragraphs[p - 1], topic.title, contexts, &text,
                         error)) {
        return false;
      }
      links.push_back(text);
    }
  }

  // Records never straddle blocks: one that does not fit starts the next block, as the help
  // compilers do, and the rest of the block stays zero.
  offsets->assign(document.topics.size(), 0);
  uint32_t block = 0, used = 0, characters = 0;
  for (Link& link : links) {
    if (link.Size() > kBlockData) {
      *error = "a topic record larger than a topic block";
      return false;
    }
    if (used + link.Size() > kBlockData) {
      ++block;
      used = 0;
      characters = 0;
    }
    link.position = (block << 14) + kBlockHeader + used;
    if (link.type == 0x02) {
      (*offsets)[link.topic] = (block << 15) + characters;
    } else {
      characters += static_cast<uint32_t>(link.data2.size());
    }
    used += link.Size();
  }

  // Each topic header: its records' size, no browse sequence, its number, no non-scrolling
  // region, where its text starts and where the next topic starts.
  for (size_t i = 0; i < links.size(); ++i) {
    if (links[i].type != 0x02) continue;
    uint32_t size = 0;
    size_t next = i + 1;
    for (; next < links.size() && links[next].type != 0x02; ++next) size += links[next].Size();
    Bytes& data = links[i].data1;
    Set32(data, 0, size + links[i].Size());
    Set32(data, 4, kNone);
    Set32(data, 8, kNone);
    Set32(data, 12, static_cast<uint32_t>(links[i].topic));
    Set32(data, 16, kNone);
    Set32(data, 20, i + 1 < next ? links[i + 1].position : kNone);
    Set32(data, 24, next < links.size() ? links[next].position : kNone);
  }

  out->assign((block + 1) * kTopicBlock, 0);
  uint32_t lastLink = kNone, lastHeader = 0;
  for (size_t i = 0; i < links.size(); ++i) {
    const Link& link = links[i];
    const uint32_t at = link.position >> 14;
    const uint32_t offset = (link.position & 0x3FFF) - kBlockHeader;
    const size_t start = at * kTopicBlock;
    if (offset == 0) {  // the first record of its block
      Set32(*out, start, lastLink);
      Set32(*out, start + 4, link.position);
      Set32(*out, start + 8, lastHeader);
    }
    Bytes record;
    Put32(record, link.Size());
    Put32(record, static_cast<uint32_t>(link.data2.size()));
    Put32(record, i > 0 ? links[i - 1].position : kNone);
    Put32(record, i + 1 < links.size() ? links[i + 1].position : kNone);
    Put32(record, kLinkHeader + static_cast<uint32_t>(link.data1.size()));
    Put8(record, link.type);
    record.insert(record.end(), link.data1.begin(), link.data1.end());
    PutText(record, link.data2);
    memcpy(out->data() + start + kBlockHeader + offset, record.data(), record.size());
    lastLink = link.position;
    if (link.type == 0x02) lastHeader = link.position;
  }
  return true;
}

Bytes BuildSystem(const HelpDocument& document, uint32_t contents) {
  Bytes out;
  Put16(out, 0x036C);
  Put16(out, 21);  // the version of Windows 3.1 help files
  Put16(out, 1);
  Put32(out, 0);  // no build date: the same sources give the same file
  Put16(out, 0);  // not compressed, 4 KB topic blocks
  Put16(out, 1);  // the title
  Put16(out, static_cast<unsigned>(document.title.size() + 1));
  PutText(out, document.title);
  Put8(out, 0);
  Put16(out, 3);  // the contents topic
  Put16(out, 4);
  Put32(out, contents);
  // The main window, named so that its caption is the title alone; position, size and colours
  // are the viewer's own.
  Put16(out, 6);
  Put16(out, 90);
  Put16(out, 0x0006);                      // the name and the caption are given
  PutPadded(out, "", 10);                  // no type
  PutPadded(out, "main", 9);               // the name
  PutPadded(out, document.title, 51 - 1);  // the caption, with its terminator
  Put8(out, 0);
  out.resize(out.size() + 5 * 2 + 2 * 4, 0);  // x, y, width, height, maximize, two colours
  return out;
}

// Arial in three styles, in half points, black text and a dark blue heading.
Bytes BuildFonts() {
  constexpr unsigned kFaceSize = 20;
  Bytes out;
  Put16(out, 1);
  Put16(out, kFontCount);
  Put16(out, 8);
  Put16(out, 8 + kFaceSize);
  PutPadded(out, "Arial", kFaceSize);
  const struct {
    unsigned attributes, halfPoints, red, green, blue;
  } kDescriptors[kFontCount] = {{0, 20, 0, 0, 0}, {1, 20, 0, 0, 0}, {1, 28, 0, 0, 128}};
  for (const auto& font : kDescriptors) {
    Put8(out, font.attributes);  // bit 0 bold
    Put8(out, font.halfPoints);
    Put8(out, 3);   // the Swiss family
    Put16(out, 0);  // face 0
    for (unsigned colour : {font.red, font.green, font.blue, font.red, font.green, font.blue}) {
      Put8(out, colour);
    }
  }
  return out;
}

}  // namespace

uint32_t HelpContextHash(const std::string& context) {
  uint32_t hash = 0;
  for (char c : context) {
    unsigned value = 0;
    if (c >= 'A' && c <= 'Z') value = static_cast<unsigned>(c - 'A') + 17;
    if (c >= 'a' && c <= 'z') value = static_cast<unsigned>(c - 'a') + 17;
    if (c >= '1' && c <= '9') value = static_cast<unsigned>(c - '0');
    if (c == '0') value = 10;
    if (c == '.') value = 12;
    if (c == '_') value = 13;
    hash = hash * 43 + value;
  }
  return hash;
}

bool WriteHelpFile(const HelpDocument& document, std::vector<uint8_t>* file, std::string* error) {
  if (document.topics.empty()) {
    *error = "no topic";
    return false;
  }
  Bytes topics;
  std::vector<uint32_t> offsets;
  if (!BuildTopics(document, &topics, &offsets, error)) return false;

  // |CONTEXT in the order of the hashes as signed numbers, |TTLBTREE in the order of the topics.
  std::vector<std::pair<int32_t, uint32_t>> byHash;
  std::vector<Bytes> titles;
  for (size_t t = 0; t < document.topics.size(); ++t) {
    byHash.emplace_back(static_cast<int32_t>(HelpContextHash(document.topics[t].context)),
                        offsets[t]);
    Bytes entry;
    Put32(entry, offsets[t]);
    PutText(entry, document.topics[t].title);
    Put8(entry, 0);
    titles.push_back(entry);
  }
  std::sort(byHash.begin(), byHash.end());
  std::vector<Bytes> hashes;
  for (const auto& pair : byHash) {
    Bytes entry;
    Put32(entry, static_cast<uint32_t>(pair.first));
    Put32(entry, pair.second);
    hashes.push_back(entry);
  }
  Bytes context, titleTree;
  if (!PutBTree(context, 0x0002, 2048, "L4", hashes) ||
      !PutBTree(titleTree, 0x0002, 2048, "Lz", titles)) {
    *error = "too many topics for one index page";
    return false;
  }

  // The internal files in the directory's order, that of their names' bytes.
  const std::pair<std::string, Bytes> files[] = {{"|CONTEXT", context},
                                                 {"|FONT", BuildFonts()},
                                                 {"|SYSTEM", BuildSystem(document, offsets[0])},
                                                 {"|TOPIC", topics},
                                                 {"|TTLBTREE", titleTree}};
  constexpr uint32_t kFileHeader = 9;
  constexpr uint32_t kDirectorySize = 38 + 1024;
  uint32_t offset = 16 + kFileHeader + kDirectorySize;
  std::vector<Bytes> entries;
  for (const auto& named : files) {
    Bytes entry;
    PutText(entry, named.first);
    Put8(entry, 0);
    Put32(entry, offset);
    entries.push_back(entry);
    offset += kFileHeader + static_cast<uint32_t>(named.second.size());
  }

  Bytes& out = *file;
  out.clear();
  Put32(out, 0x00035F3F);
  Put32(out, 16);     // the directory follows the header
  Put32(out, kNone);  // no free blocks
  Put32(out, offset);
  Put32(out, kFileHeader + kDirectorySize);
  Put32(out, kDirectorySize);
  Put8(out, 0x04);  // the directory's flag; the other files carry 0
  if (!PutBTree(out, 0x0402, 1024, "z4", entries)) {
    *error = "too many internal files for one directory page";
    return false;
  }
  for (const auto& named : files) {
    Put32(out, kFileHeader + static_cast<uint32_t>(named.second.size()));
    Put32(out, static_cast<uint32_t>(named.second.size()));
    Put8(out, 0x00);
    out.insert(out.end(), named.second.begin(), named.second.end());
  }
  return true;
}
