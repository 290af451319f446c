// resource_check.cpp: reads the resource directory of a built torvane.exe and checks it against
// the catalogue: types, ids and sizes, the string blocks, dialogs, menu, accelerators, version.
// Usage: resource_check PATH/TO/torvane.exe [gtest options]
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "res/string_table.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Words = std::vector<uint32_t>;

Bytes File;
bool Overrun = false;  // a read past the end of what it reads: a malformed image

// Little-endian, `size` bytes; past the end it gives 0 and sets Overrun.
uint32_t Get(const Bytes& bytes, size_t at, size_t size) {
  if (at > bytes.size() || bytes.size() - at < size) {
    Overrun = true;
    return 0;
  }
  uint32_t value = 0;
  for (size_t i = size; i-- > 0;) value = value << 8 | bytes[at + i];
  return value;
}

struct Section {
  uint32_t address, size, offset;
};
std::vector<Section> Sections;
uint32_t RootRva = 0;
// "type/id" ("WAVE/3031" for the named type), with "@language" unless the language is 0.
std::map<std::string, Bytes> Resources;

// The file offset of an address; past the file (reads there overrun) when no section holds it.
size_t At(uint32_t rva) {
  for (const Section& s : Sections)
    if (rva >= s.address && rva - s.address < s.size) return s.offset + (rva - s.address);
  return File.size() + 1;
}

std::string Name(uint32_t field) {
  if ((field & 0x80000000u) == 0) return std::to_string(field);
  const size_t at = At(RootRva + (field & 0x7FFFFFFFu));
  std::string name;
  for (uint32_t i = 0, n = Get(File, at, 2); i < n && !Overrun; ++i)
    name += static_cast<char>(Get(File, at + 2 + 2 * i, 2));
  return name;
}

// The three levels of the tree: type, id, language.
void Walk(uint32_t directory, int level, const std::string& key) {
  const size_t at = At(RootRva + directory);
  const uint32_t count = Get(File, at + 12, 2) + Get(File, at + 14, 2);
  for (uint32_t i = 0; i < count && !Overrun; ++i) {
    const uint32_t name = Get(File, at + 16 + 8 * i, 4), target = Get(File, at + 20 + 8 * i, 4);
    if (((target & 0x80000000u) != 0) != (level < 2)) Overrun = true;
    if (Overrun) return;
    if (level < 2) {
      Walk(target & 0x7FFFFFFFu, level + 1, key + (level == 1 ? "/" : "") + Name(name));
      continue;
    }
    const size_t entry = At(RootRva + target), data = At(Get(File, entry, 4));
    const uint32_t size = Get(File, entry + 4, 4);
    if (data > File.size() || File.size() - data < size) Overrun = true;
    if (Overrun) return;
    Resources[key + (name == 0 ? "" : "@" + Name(name))] = Bytes(
        File.begin() + static_cast<long>(data), File.begin() + static_cast<long>(data + size));
  }
}

bool ReadProgram(const char* path) {
  FILE* file = fopen(path, "rb");
  if (file == nullptr) return false;
  for (int c; (c = fgetc(file)) != EOF;) File.push_back(static_cast<uint8_t>(c));
  fclose(file);
  const uint32_t pe = Get(File, 0x3C, 4);
  if (Get(File, 0, 2) != 0x5A4D || Get(File, pe, 4) != 0x4550 || Get(File, pe + 24, 2) != 0x10B)
    return false;  // not a PE32 image
  RootRva = Get(File, pe + 24 + 96 + 16, 4);
  const size_t table = pe + 24 + Get(File, pe + 20, 2);
  for (uint32_t i = 0, n = Get(File, pe + 6, 2); i < n; ++i)
    Sections.push_back({Get(File, table + 40 * i + 12, 4), Get(File, table + 40 * i + 16, 4),
                        Get(File, table + 40 * i + 20, 4)});
  Walk(0, 0, "");
  return RootRva != 0 && !Overrun;
}

const Bytes& Data(const std::string& key) {
  static const Bytes kNone;
  EXPECT_EQ(Resources.count(key), 1u) << key;
  return Resources.count(key) ? Resources[key] : kNone;
}

// 16-bit words of a resource, for one comparison with a whole expected record.
Words WordsOf(const Bytes& data) {
  Words words;
  for (size_t at = 0; at + 1 < data.size(); at += 2) words.push_back(Get(data, at, 2));
  return words;
}

// String block n holds the ids 16 (n - 1) to 16 n - 1.
std::set<int> StringBlocks() {
  std::set<int> blocks;
  for (int i = 0; i < kStringCount; ++i)
    if (kStringTable[i].text != nullptr) blocks.insert(kStringTable[i].id / 16 + 1);
  return blocks;
}

// Every resource, all language neutral (no "@" in a key), with the sizes of the art (0: not
// fixed here). The effects 0 and 3 have no sound: no 3030 nor 3033.
TEST(Catalogue, HoldsExactlyTheProgramsResources) {
  std::map<std::string, size_t> expected = {
      {"14/1", 0},        {"3/1", 744},        {"4/128", 0},       {"9/129", 0},
      {"5/130", 0},       {"5/150", 0},        {"5/200", 0},       {"5/300", 0},
      {"5/550", 0},       {"5/700", 0},        {"16/1", 0},        {"WAVE/3031", 50},
      {"WAVE/3032", 406}, {"WAVE/3034", 1488}, {"WAVE/3035", 748}, {"24/1", 0}};
  for (int base : {100, 200, 300})
    for (int offset = 1; offset <= 14; ++offset)
      expected["2/" + std::to_string(base + offset)] = base == 100 ? 224 : base == 200 ? 320 : 356;
  for (int block : StringBlocks()) expected["6/" + std::to_string(block)] = 0;
  for (const auto& e : expected) {
    const size_t size = Resources.count(e.first) ? Resources[e.first].size() : 0;
    EXPECT_TRUE(size != 0 && (e.second == 0 || size == e.second)) << e.first << ": " << size;
  }
  for (const auto& r : Resources)
    EXPECT_EQ(expected.count(r.first), 1u) << "unexpected " << r.first;
}

TEST(Strings, EveryBlockHoldsTheTableTexts) {
  for (int block : StringBlocks()) {
    const Bytes& data = Data("6/" + std::to_string(block));
    size_t at = 0;
    for (int id = (block - 1) * 16; id < block * 16; ++id) {
      std::string text;
      for (uint32_t i = 0, n = Get(data, at, 2); i < n; ++i) {
        const uint32_t unit = Get(data, at += 2, 2);  // the texts are all Latin-1
        text += static_cast<char>(unit < 0x100 ? unit : '?');
      }
      at += 2;
      const char* expected = FindStringEntry(id);
      EXPECT_EQ(expected != nullptr ? expected : "", text) << "id " << id;
    }
    EXPECT_FALSE(Overrun) << "block " << block;
    EXPECT_LE(data.size() - at, 3u) << "only alignment may follow the sixteenth string";
  }
}

// A classic template (not extended), no menu, class or title, 8-point MS Sans Serif; controls
// without texts (set at run time), the icon controls showing icon 1.
Words DialogTemplate(const int (&rect)[4], const std::vector<std::vector<uint32_t>>& controls) {
  Bytes bytes;
  auto put = [&](uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
  };
  put(0x90C800C0, 4), put(0, 4), put(static_cast<uint32_t>(controls.size()), 2);
  for (int v : rect) put(static_cast<uint32_t>(v), 2);
  put(0, 2), put(0, 2), put(0, 2), put(8, 2);  // no menu, class, title; font size
  for (char c : "MS Sans Serif") put(static_cast<uint32_t>(c), 2);  // with its terminator
  for (const auto& control : controls) {  // id, class, style, x, y, cx, cy
    while (bytes.size() % 4 != 0) bytes.push_back(0);
    put(control[2], 4), put(0, 4);
    for (size_t i : {3u, 4u, 5u, 6u, 0u}) put(control[i], 2);
    put(0xFFFF, 2), put(control[1], 2);
    if (control[2] == 0x50000003)
      put(0xFFFF, 2), put(1, 2);
    else
      put(0, 2);
    put(0, 2);
  }
  return WordsOf(bytes);
}

TEST(Dialogs, TemplatesAreAsDesigned) {
  const uint32_t kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kListBox = 0x83, kNone = 65535;
  const uint32_t kIcon = 0x50000003, kCentred = 0x50020001, kFrame = 0x50000007,
                 kDefault = 0x50010001, kGroup = 0x50020007, kRadio = 0x50010009,
                 kEditBox = 0x50810000;
  const struct {
    int id, rect[4];
    std::vector<std::vector<uint32_t>> controls;  // id, class, style, x, y, cx, cy
  } dialogs[] = {
      {130,
       {120, 59, 169, 134},
       {{kNone, kStatic, kIcon, 4, 108, 21, 20},
        {131, kStatic, kCentred, 12, 7, 148, 20},
        {132, kStatic, kCentred, 16, 38, 144, 62},
        {128, kButton, kDefault, 36, 112, 125, 18},
        {kNone, kStatic, kFrame, 9, 4, 155, 100}}},
      {150,
       {120, 59, 169, 134},
       {{kNone, kStatic, kIcon, 4, 108, 21, 20},
        {128, kButton, kDefault, 36, 112, 125, 18},
        {kNone, kStatic, kFrame, 9, 4, 155, 100},
        {151, kStatic, kCentred, 12, 7, 148, 60}}},
      {200,
       {102, 59, 319, 98},
       {{kNone, kStatic, kIcon, 292, 4, 21, 20},
        {201, kListBox, 0x50A10101, 8, 4, 176, 88},  // unsorted: the lines come best first
        {202, kButton, kDefault, 192, 55, 122, 18},
        {128, kButton, kDefault, 192, 75, 122, 18}}},
      {300,
       {120, 58, 262, 60},
       {{301, kEdit, kEditBox, 12, 7, 240, 12},
        {kNone, kStatic, kIcon, 8, 32, 21, 20},
        {128, kButton, kDefault, 128, 36, 125, 18}}},
      {550,
       {0, 0, 191, 140},
       {{kNone, kStatic, kIcon, 164, 4, 21, 20},
        {551, kButton, kGroup, 8, 5, 144, 42},
        {553, kStatic, 0x50000000, 24, 15, 60, 9},
        {552, kEdit, kEditBox, 90, 15, 50, 13},
        {563, kButton, 0x50010003, 8, 52, 60, 12},
        {559, kButton, kGroup, 8, 68, 177, 22},
        {562, kButton, kRadio, 15, 76, 45, 12},
        {561, kButton, kRadio, 65, 76, 45, 12},
        {560, kButton, kRadio, 115, 76, 45, 12},
        {555, kButton, kGroup, 8, 93, 177, 22},
        {556, kButton, kRadio, 15, 101, 45, 12},
        {557, kButton, kRadio, 65, 101, 45, 12},
        {558, kButton, kRadio, 115, 101, 45, 12},
        {128, kButton, 0x50010300, 6, 123, 85, 14},
        {129, kButton, 0x50010300, 100, 123, 85, 14}}},
      // The figures are made at run time.
      {700,
       {0, 0, 338, 98},
       {{128, kButton, kDefault, 273, 78, 58, 14}, {701, kButton, 0x50010000, 7, 78, 80, 14}}},
  };
  for (const auto& dialog : dialogs) {
    EXPECT_EQ(DialogTemplate(dialog.rect, dialog.controls),
              WordsOf(Data("5/" + std::to_string(dialog.id))))
        << "dialog " << dialog.id;
  }
}

TEST(Menu, BarHasTheThreePopupsAndTheirCommands) {
  const uint32_t kPopup = 0x10, kEnd = 0x80;
  // Header; each item its flags, its id unless a popup, and an empty text (set at run time):
  // Game (a separator before Statistics and Hint), Options (one before No-guess games), Help.
  const Words expected = {
      0,   0,   kPopup, 0,   0,    100, 0,    0,    0,   0,      0,
      101, 0,   1,      102, 0,    0,   0,    0,    0,   103,    0,
      0,   0,   0,      0,   105,  0,   kEnd, 106,  0,   kPopup, 0,
      0,   200, 0,      0,   0,    0,   0,    201,  0,   0,      0,
      0,   0,   202,    0,   0,    0,   0,    kEnd, 203, 0,      kPopup | 0x4000 | kEnd,
      0,   0,   300,    0,   kEnd, 301, 0};
  EXPECT_EQ(expected, WordsOf(Data("4/128")));
}

TEST(Accelerators, FourVirtualKeysWithoutModifiers) {
  // Flags (1: virtual key, 0x80: last), key, command, padding.
  const Words expected = {1, 0x70, 301, 0, 1, 0x71, 100, 0, 1, 0x72, 104, 0, 0x81, 0x1B, 102, 0};
  EXPECT_EQ(expected, WordsOf(Data("9/129")));
}

TEST(Version, FixedInfoIsVersion_1_1_0_20_OfAWin32Application) {
  const Bytes& data = Data("16/1");
  // Signature, file and product versions, flags, VOS__WINDOWS32, VFT_APP, after the 40-byte
  // "VS_VERSION_INFO" header.
  Words found;
  for (size_t field : {0u, 2u, 3u, 4u, 5u, 7u, 8u, 9u}) {
    found.push_back(Get(data, 40 + 4 * field, 4));
  }
  EXPECT_EQ(Words({0xFEEF04BD, 0x10001, 20, 0x10001, 20, 0, 4, 1}), found);
}

// The manifest's awareness as Windows reads it, no execution level (which would end file
// virtualization under Program Files), and what XP's parser tolerates: no element that declares
// the same namespace twice.
TEST(Manifest, FollowsTheDisplayScaleAndStaysReadableOnXp) {
  const Bytes& data = Data("24/1");
  const std::string text(data.begin(), data.end());
  for (const char* part :
       {"<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">",
        "<application xmlns=\"urn:schemas-microsoft-com:asm.v3\">",
        "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm<",
        "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
        "PerMonitorV2, PerMonitor<",
        "version=\"1.1.0.20\" processorArchitecture=\"x86\""})
    EXPECT_NE(std::string::npos, text.find(part)) << part;
  EXPECT_EQ(std::string::npos, text.find("requestedExecutionLevel"));
  for (size_t open = text.find('<'); open != std::string::npos; open = text.find('<', open + 1)) {
    const std::string element = text.substr(open, text.find('>', open) - open);
    std::set<std::string> spaces;
    for (size_t at = element.find(" xmlns"); at != std::string::npos;
         at = element.find(" xmlns", at + 1)) {
      const size_t quote = element.find('"', at);
      const std::string space = element.substr(quote, element.find('"', quote + 1) - quote);
      EXPECT_TRUE(spaces.insert(space).second) << space << " twice in " << element;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc != 2) {
    fprintf(stderr, "usage: resource_check PROGRAM.exe [gtest options]\n");
    return 2;
  }
  if (!ReadProgram(argv[1])) {
    fprintf(stderr, "resource_check: %s: cannot read it as a PE32 image with resources\n", argv[1]);
    return 1;
  }
  return RUN_ALL_TESTS();
}
