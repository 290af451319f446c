// resource_check.cpp: checks the resource directory of a built torvane.exe: the catalogue of
// types and ids, the string tables, dialogs, menu, accelerators, version, icon, tiles, sounds.
// Usage: resource_check PATH/TO/torvane.exe [gtest options]
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "res/string_table.h"
#include "tests/res/pe_resources.h"

namespace {

const char* ProgramPath = nullptr;
std::vector<PeResource> Resources;

enum : uint16_t {
  kBitmap = 2,
  kIcon = 3,
  kMenu = 4,
  kDialog = 5,
  kString = 6,
  kAccelerator = 9,
  kIconGroup = 14,
  kVersion = 16,
};

std::string Key(const PeResource& r) {
  std::string type = r.type != 0 ? std::to_string(r.type) : r.type_name;
  std::string id = r.id != 0 ? std::to_string(r.id) : "\"" + r.name + "\"";
  return type + "/" + id;
}

const PeResource* Find(uint16_t type, uint16_t id) {
  for (const PeResource& r : Resources)
    if (r.type == type && r.id == id) return &r;
  return nullptr;
}

const PeResource* FindWave(uint16_t id) {
  for (const PeResource& r : Resources)
    if (r.type == 0 && r.type_name == "WAVE" && r.id == id) return &r;
  return nullptr;
}

// String block n holds the ids 16 (n - 1) to 16 n - 1.
std::vector<int> StringBlocksOfTheTable() {
  std::vector<int> blocks;
  for (int i = 0; i < kStringCount; ++i)
    if (kStringTable[i].text != nullptr) blocks.push_back(kStringTable[i].id / 16 + 1);
  blocks.erase(std::unique(blocks.begin(), blocks.end()), blocks.end());
  return blocks;
}

TEST(Catalogue, HoldsExactlyTheProgramsResources) {
  std::vector<std::string> expected = {"14/1",  "3/1",   "4/128", "9/129", "5/130",
                                       "5/150", "5/200", "5/300", "5/550", "16/1"};
  for (int base : {100, 200, 300})
    for (int offset = 1; offset <= 14; ++offset)
      expected.push_back("2/" + std::to_string(base + offset));
  for (int wave : {3031, 3032, 3034, 3035}) expected.push_back("WAVE/" + std::to_string(wave));
  for (int block : StringBlocksOfTheTable()) expected.push_back("6/" + std::to_string(block));
  std::vector<std::string> found;
  for (const PeResource& r : Resources) found.push_back(Key(r));
  std::sort(expected.begin(), expected.end());
  std::sort(found.begin(), found.end());
  EXPECT_EQ(expected, found);
}

TEST(Catalogue, TheTextsNeedBlocksForBothLanguages) {
  // 400..415 and 1520..1535: the table reaches from the first French to the last English id.
  std::vector<int> blocks = StringBlocksOfTheTable();
  ASSERT_FALSE(blocks.empty());
  EXPECT_EQ(26, blocks.front());
  EXPECT_EQ(96, blocks.back());
}

TEST(Catalogue, EveryResourceIsLanguageNeutral) {
  for (const PeResource& r : Resources) EXPECT_EQ(0, r.language) << Key(r);
}

TEST(Catalogue, EffectsZeroAndThreeHaveNoSound) {
  EXPECT_EQ(nullptr, FindWave(3030));
  EXPECT_EQ(nullptr, FindWave(3033));
  for (int id : {3031, 3032, 3034, 3035})
    EXPECT_NE(nullptr, FindWave(static_cast<uint16_t>(id))) << id;
}

// What LoadStringA gives in code page 1252 for one UTF-16 code unit.
char ToCp1252(uint16_t unit) {
  static const uint16_t kHigh[32] = {
      0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == unit) return static_cast<char>(0x80 + i);
  return '?';
}

TEST(Strings, EveryBlockHoldsTheTableTexts) {
  for (int block : StringBlocksOfTheTable()) {
    const PeResource* r = Find(kString, static_cast<uint16_t>(block));
    ASSERT_NE(nullptr, r) << "block " << block;
    ByteReader in(r->data);
    for (int slot = 0; slot < 16; ++slot) {
      int id = (block - 1) * 16 + slot;
      uint16_t length = in.U16();
      std::string text;
      for (uint16_t i = 0; i < length; ++i) text.push_back(ToCp1252(in.U16()));
      ASSERT_FALSE(in.overrun) << "block " << block << " ends inside id " << id;
      const char* expected = FindStringEntry(id);
      EXPECT_EQ(expected != nullptr ? expected : "", text) << "id " << id;
    }
    // Only alignment padding may follow the sixteenth string.
    EXPECT_LE(r->data.size() - in.position, 3u) << "block " << block;
  }
}

struct Control {
  uint16_t id;
  uint16_t class_ordinal;  // 0x80 button, 0x81 edit, 0x82 static, 0x83 list box
  uint32_t style;
  int16_t x, y, cx, cy;
};

struct Dialog {
  uint16_t id;
  int16_t x, y, cx, cy;
  std::vector<Control> controls;
};

constexpr uint16_t kUnused = 65535;
constexpr uint16_t kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kListBox = 0x83;
constexpr uint32_t kIconStyle = 0x50000003, kCentredStatic = 0x50020001, kBlackFrame = 0x50000007,
                   kPlainStatic = 0x50000000, kDefaultButton = 0x50010001,
                   kCentredButton = 0x50010300, kGroupBox = 0x50020007, kCheckBox = 0x50010003,
                   kRadio = 0x50010009, kEditStyle = 0x50810000, kListBoxStyle = 0x50A10103;

const Dialog kDialogs[] = {
    {130,
     120,
     59,
     169,
     134,
     {{kUnused, kStatic, kIconStyle, 4, 108, 21, 20},
      {131, kStatic, kCentredStatic, 12, 7, 148, 20},
      {132, kStatic, kCentredStatic, 16, 38, 144, 62},
      {128, kButton, kDefaultButton, 36, 112, 125, 18},
      {kUnused, kStatic, kBlackFrame, 9, 4, 155, 100}}},
    {150,
     120,
     59,
     169,
     134,
     {{kUnused, kStatic, kIconStyle, 4, 108, 21, 20},
      {128, kButton, kDefaultButton, 36, 112, 125, 18},
      {kUnused, kStatic, kBlackFrame, 9, 4, 155, 100},
      {151, kStatic, kCentredStatic, 12, 7, 148, 60}}},
    {200,
     102,
     59,
     319,
     98,
     {{kUnused, kStatic, kIconStyle, 292, 4, 21, 20},
      {201, kListBox, kListBoxStyle, 8, 4, 176, 88},
      {202, kButton, kDefaultButton, 192, 55, 122, 18},
      {128, kButton, kDefaultButton, 192, 75, 122, 18}}},
    {300,
     120,
     58,
     262,
     60,
     {{301, kEdit, kEditStyle, 12, 7, 240, 12},
      {kUnused, kStatic, kIconStyle, 8, 32, 21, 20},
      {128, kButton, kDefaultButton, 128, 36, 125, 18}}},
    {550,
     0,
     0,
     191,
     140,
     {{kUnused, kStatic, kIconStyle, 164, 4, 21, 20},
      {551, kButton, kGroupBox, 8, 5, 144, 42},
      {553, kStatic, kPlainStatic, 24, 15, 60, 9},
      {552, kEdit, kEditStyle, 90, 15, 50, 13},
      {563, kButton, kCheckBox, 8, 52, 60, 12},
      {559, kButton, kGroupBox, 8, 68, 177, 22},
      {562, kButton, kRadio, 15, 76, 45, 12},
      {561, kButton, kRadio, 65, 76, 45, 12},
      {560, kButton, kRadio, 115, 76, 45, 12},
      {555, kButton, kGroupBox, 8, 93, 177, 22},
      {556, kButton, kRadio, 15, 101, 45, 12},
      {557, kButton, kRadio, 65, 101, 45, 12},
      {558, kButton, kRadio, 115, 101, 45, 12},
      {128, kButton, kCentredButton, 6, 123, 85, 14},
      {129, kButton, kCentredButton, 100, 123, 85, 14}}},
};

// A name-or-ordinal field of a dialog template: 0 (none), 0xFFFF and an ordinal, or a string.
struct NameOrOrdinal {
  uint16_t ordinal = 0;
  std::string name;
};

NameOrOrdinal ReadNameOrOrdinal(ByteReader& in) {
  NameOrOrdinal field;
  uint16_t first = in.U16();
  if (first == 0xFFFF) {
    field.ordinal = in.U16();
  } else if (first != 0) {
    in.position -= 2;
    field.name = in.Utf16z();
  }
  return field;
}

uint16_t ClassOrdinal(const NameOrOrdinal& field) {
  if (field.ordinal != 0) return field.ordinal;
  // A class written by name is the same predefined class.
  const char* names[] = {"BUTTON", "EDIT", "STATIC", "LISTBOX"};
  std::string upper = field.name;
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  for (uint16_t i = 0; i < 4; ++i)
    if (upper == names[i]) return static_cast<uint16_t>(0x80 + i);
  return 0;
}

TEST(Dialogs, TemplatesAreAsDesigned) {
  for (const Dialog& dialog : kDialogs) {
    SCOPED_TRACE("dialog " + std::to_string(dialog.id));
    const PeResource* r = Find(kDialog, dialog.id);
    ASSERT_NE(nullptr, r);
    ByteReader in(r->data);
    uint32_t style = in.U32();
    ASSERT_NE(0xFFFF0001u, style) << "an extended template; the classic form is wanted";
    EXPECT_EQ(0x90C800C0u, style);
    EXPECT_EQ(0u, in.U32()) << "extended style";
    uint16_t count = in.U16();
    int16_t rect[4];
    for (int16_t& v : rect) v = static_cast<int16_t>(in.U16());
    EXPECT_EQ(dialog.x, rect[0]);
    EXPECT_EQ(dialog.y, rect[1]);
    EXPECT_EQ(dialog.cx, rect[2]);
    EXPECT_EQ(dialog.cy, rect[3]);
    NameOrOrdinal menu = ReadNameOrOrdinal(in);
    NameOrOrdinal window_class = ReadNameOrOrdinal(in);
    EXPECT_TRUE(menu.ordinal == 0 && menu.name.empty()) << "a menu";
    EXPECT_TRUE(window_class.ordinal == 0 && window_class.name.empty()) << "a class";
    EXPECT_EQ("", in.Utf16z()) << "title";
    EXPECT_EQ(8, in.U16()) << "font size";
    EXPECT_EQ("MS Sans Serif", in.Utf16z());
    ASSERT_EQ(dialog.controls.size(), count);
    for (const Control& control : dialog.controls) {
      SCOPED_TRACE("control " + std::to_string(control.id) + " at " + std::to_string(control.x) +
                   "," + std::to_string(control.y));
      in.AlignTo4();
      EXPECT_EQ(control.style, in.U32());
      EXPECT_EQ(0u, in.U32()) << "extended style";
      EXPECT_EQ(control.x, static_cast<int16_t>(in.U16()));
      EXPECT_EQ(control.y, static_cast<int16_t>(in.U16()));
      EXPECT_EQ(control.cx, static_cast<int16_t>(in.U16()));
      EXPECT_EQ(control.cy, static_cast<int16_t>(in.U16()));
      EXPECT_EQ(control.id, in.U16());
      EXPECT_EQ(control.class_ordinal, ClassOrdinal(ReadNameOrOrdinal(in)));
      NameOrOrdinal text = ReadNameOrOrdinal(in);
      if (control.style == kIconStyle) {
        EXPECT_EQ(1, text.ordinal) << "the icon control shows icon 1";
      } else {
        EXPECT_TRUE(text.ordinal == 0 && text.name.empty()) << "a text in the template";
      }
      uint16_t extra = in.U16();
      in.position += extra;
    }
    EXPECT_FALSE(in.overrun);
  }
}

struct MenuItem {
  int depth;
  uint16_t flags;
  uint16_t id;  // 0 for a popup
};

TEST(Menu, BarHasTheThreePopupsAndTheirCommands) {
  const PeResource* r = Find(kMenu, 128);
  ASSERT_NE(nullptr, r);
  ByteReader in(r->data);
  EXPECT_EQ(0, in.U16()) << "version";
  EXPECT_EQ(0, in.U16()) << "header size";
  std::vector<MenuItem> items;
  std::vector<bool> level_open = {true};
  while (!level_open.empty() && !in.overrun) {
    uint16_t flags = in.U16();
    bool popup = (flags & 0x10) != 0;
    uint16_t id = popup ? 0 : in.U16();
    EXPECT_EQ("", in.Utf16z()) << "item texts are written at run time";
    items.push_back({static_cast<int>(level_open.size()) - 1, flags, id});
    if (popup) {
      // Its children follow; its own end mark closes this level once they are done.
      level_open.push_back(true);
      if (flags & 0x80) level_open[level_open.size() - 2] = false;
      continue;
    }
    if (flags & 0x80) {
      level_open.pop_back();
      while (!level_open.empty() && !level_open.back()) level_open.pop_back();
    }
  }
  ASSERT_FALSE(in.overrun);
  const uint16_t kPopup = 0x10, kGrayed = 0x01, kEnd = 0x80, kHelp = 0x4000;
  std::vector<MenuItem> expected = {
      {0, kPopup, 0},    {1, 0, 100},
      {1, 0, 0},         {1, 0, 101},
      {1, kGrayed, 102}, {1, 0, 0},
      {1, kEnd, 103},    {0, kPopup, 0},
      {1, 0, 200},       {1, 0, 0},
      {1, 0, 201},       {1, 0, 0},
      {1, kEnd, 202},    {0, kPopup | kHelp | kEnd, 0},
      {1, 0, 300},       {1, kEnd, 301},
  };
  ASSERT_EQ(expected.size(), items.size());
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(expected[i].depth, items[i].depth) << "item " << i;
    EXPECT_EQ(expected[i].flags, items[i].flags) << "item " << i;
    EXPECT_EQ(expected[i].id, items[i].id) << "item " << i;
  }
  EXPECT_EQ(r->data.size(), in.position) << "bytes after the menu";
}

TEST(Accelerators, FourVirtualKeysWithoutModifiers) {
  const PeResource* r = Find(kAccelerator, 129);
  ASSERT_NE(nullptr, r);
  ASSERT_EQ(32u, r->data.size());
  const uint16_t kVirtKey = 0x01, kLast = 0x80;
  const uint16_t expected[4][3] = {{kVirtKey, 0x70, 301},
                                   {kVirtKey, 0x71, 100},
                                   {kVirtKey, 0x72, 104},
                                   {kVirtKey | kLast, 0x1B, 102}};
  ByteReader in(r->data);
  for (const auto& entry : expected) {
    EXPECT_EQ(entry[0], in.U16()) << "flags of key " << entry[1];
    EXPECT_EQ(entry[1], in.U16());
    EXPECT_EQ(entry[2], in.U16()) << "command of key " << entry[1];
    in.U16();
  }
}

TEST(Version, FixedInfoIsVersion_1_1_0_20_OfAWin32Application) {
  const PeResource* r = Find(kVersion, 1);
  ASSERT_NE(nullptr, r);
  ByteReader in(r->data);
  EXPECT_EQ(r->data.size(), in.U16()) << "length";
  EXPECT_EQ(52, in.U16()) << "fixed info size";
  EXPECT_EQ(0, in.U16()) << "binary value";
  EXPECT_EQ("VS_VERSION_INFO", in.Utf16z());
  in.AlignTo4();
  EXPECT_EQ(0xFEEF04BDu, in.U32());
  in.U32();
  EXPECT_EQ(0x00010001u, in.U32()) << "file version, high";
  EXPECT_EQ(0x00000014u, in.U32()) << "file version, low";
  EXPECT_EQ(0x00010001u, in.U32()) << "product version, high";
  EXPECT_EQ(0x00000014u, in.U32()) << "product version, low";
  in.U32();
  EXPECT_EQ(0u, in.U32()) << "flags";
  EXPECT_EQ(0x00000004u, in.U32()) << "VOS__WINDOWS32";
  EXPECT_EQ(0x00000001u, in.U32()) << "VFT_APP";
  EXPECT_FALSE(in.overrun);
}

TEST(Icon, OneGroupOfOne32By32SixteenColourImage) {
  const PeResource* group = Find(kIconGroup, 1);
  ASSERT_NE(nullptr, group);
  ByteReader in(group->data);
  EXPECT_EQ(0, in.U16());
  EXPECT_EQ(1, in.U16()) << "an icon, not a cursor";
  ASSERT_EQ(1, in.U16()) << "images";
  EXPECT_EQ(32, in.U8());
  EXPECT_EQ(32, in.U8());
  EXPECT_EQ(16, in.U8()) << "colours";
  in.U8();
  in.U16();
  EXPECT_EQ(4, in.U16()) << "bits per pixel";
  EXPECT_EQ(744u, in.U32()) << "bytes";
  uint16_t image_id = in.U16();
  ASSERT_FALSE(in.overrun);
  const PeResource* image = Find(kIcon, image_id);
  ASSERT_NE(nullptr, image);
  EXPECT_EQ(744u, image->data.size());
}

TEST(Tiles, EachSetHoldsFourteenImagesOfItsSize) {
  const struct {
    int base, side, image_bytes;
  } sets[] = {{100, 15, 224}, {200, 18, 320}, {300, 21, 356}};
  for (const auto& set : sets) {
    for (int offset = 1; offset <= 14; ++offset) {
      int id = set.base + offset;
      const PeResource* r = Find(kBitmap, static_cast<uint16_t>(id));
      ASSERT_NE(nullptr, r) << id;
      ByteReader in(r->data);
      EXPECT_EQ(40u, in.U32()) << id;
      EXPECT_EQ(static_cast<uint32_t>(set.side), in.U32()) << "width of " << id;
      EXPECT_EQ(static_cast<uint32_t>(set.side), in.U32()) << "height (bottom-up) of " << id;
      EXPECT_EQ(1, in.U16()) << id;
      EXPECT_EQ(4, in.U16()) << "bits per pixel of " << id;
      EXPECT_EQ(0u, in.U32()) << "compression of " << id;
      // Header, the 16-colour palette and the pixels: the bitmap file without its file header.
      EXPECT_EQ(static_cast<size_t>(set.image_bytes), r->data.size()) << id;
    }
  }
}

TEST(Sounds, EachIsAWholeWaveFileAtItsRate) {
  const struct {
    uint16_t id;
    uint32_t rate;
  } sounds[] = {{3031, 6000}, {3032, 11025}, {3034, 11025}, {3035, 11025}};
  for (const auto& sound : sounds) {
    const PeResource* r = FindWave(sound.id);
    ASSERT_NE(nullptr, r) << sound.id;
    ASSERT_GE(r->data.size(), 44u) << sound.id;
    EXPECT_EQ(0, memcmp(r->data.data(), "RIFF", 4)) << sound.id;
    EXPECT_EQ(0, memcmp(r->data.data() + 8, "WAVEfmt ", 8)) << sound.id;
    ByteReader in(r->data);
    in.position = 4;
    EXPECT_EQ(r->data.size(), in.U32() + 8u) << "RIFF length of " << sound.id;
    in.position = 24;
    EXPECT_EQ(sound.rate, in.U32()) << sound.id;
  }
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc != 2) {
    fprintf(stderr, "usage: resource_check PROGRAM.exe [gtest options]\n");
    return 2;
  }
  ProgramPath = argv[1];
  std::vector<uint8_t> file;
  std::string error;
  if (!ReadWholeFile(ProgramPath, &file)) {
    fprintf(stderr, "resource_check: cannot read %s\n", ProgramPath);
    return 1;
  }
  if (!ReadPeResources(file, &Resources, &error)) {
    fprintf(stderr, "resource_check: %s: %s\n", ProgramPath, error.c_str());
    return 1;
  }
  return RUN_ALL_TESTS();
}
