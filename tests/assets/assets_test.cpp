// assets_test.cpp: the generated tiles, icon and sounds read back as a loader would see them.
#include "tools/assetgen/art.h"

#include <gtest/gtest.h>

#include <math.h>
#include <string.h>
#include <algorithm>
#include <set>
#include <vector>

namespace {

// The program's palette as the resources must carry it, red-green-blue.
const unsigned kPaletteRgb[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                  0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                  0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
const unsigned kBlack = 0x000000, kSilver = 0xC0C0C0, kGrey = 0x808080, kWhite = 0xFFFFFF;
const unsigned kRed = 0xFF0000, kYellow = 0xFFFF00, kLime = 0x00FF00, kFuchsia = 0xFF00FF;
const unsigned kDigitRgb[9] = {0,        0x00FF00, 0x000080, 0x800080, 0x0000FF,
                               0xFF00FF, 0x808000, 0x800000, 0x008080};

unsigned Read16(const unsigned char* p) {
  return p[0] | (p[1] << 8);
}
unsigned long Read32(const unsigned char* p) {
  return Read16(p) | ((unsigned long)Read16(p + 2) << 16);
}

// A decoded picture: colours top row first, as the screen would show them.
struct Picture {
  int side = 0;
  std::vector<unsigned> rgb;
  unsigned At(int x, int y) const { return rgb[(size_t)(y * side + x)]; }
  std::set<unsigned> Colours(bool interior_only) const {
    std::set<unsigned> found;
    const int from = interior_only ? 1 : 0, to = interior_only ? side - 1 : side;
    for (int y = from; y < to; ++y)
      for (int x = from; x < to; ++x) found.insert(At(x, y));
    return found;
  }
};

// Reads a 4-bit bottom-up DIB (header at `info`) and checks its palette on the way.
Picture DecodeDib(const unsigned char* info, int side) {
  Picture picture;
  picture.side = side;
  const unsigned char* palette = info + 40;
  for (int i = 0; i < 16; ++i) {
    const unsigned rgb = (palette[i * 4 + 2] << 16) | (palette[i * 4 + 1] << 8) | palette[i * 4];
    EXPECT_EQ(rgb, kPaletteRgb[i]) << "palette entry " << i;
    EXPECT_EQ(palette[i * 4 + 3], 0);
  }
  const unsigned char* rows = palette + 64;
  const int row_bytes = (side * 4 + 31) / 32 * 4;
  picture.rgb.resize((size_t)side * side);
  for (int y = 0; y < side; ++y) {
    const unsigned char* row = rows + (side - 1 - y) * row_bytes;
    for (int x = 0; x < side; ++x) {
      const int index = (x % 2 == 0) ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
      picture.rgb[(size_t)(y * side + x)] = kPaletteRgb[index];
    }
    if (side % 2 == 1) {
      EXPECT_EQ(row[side / 2] & 0x0F, 0) << "padding nibble, row " << y;
    }
    for (int b = (side + 1) / 2; b < row_bytes; ++b) EXPECT_EQ(row[b], 0) << "padding, row " << y;
  }
  return picture;
}

Picture LoadTile(int side, int offset) {
  unsigned char file[kMaxAssetFileBytes];
  const size_t size = BuildTileFile(side, offset, file, sizeof file);
  EXPECT_GT(size, 0u);
  return DecodeDib(file + 14, side);
}

bool Subset(const std::set<unsigned>& colours, std::set<unsigned> allowed) {
  for (unsigned c : colours)
    if (!allowed.count(c)) return false;
  return true;
}

struct SizeCase {
  int side;
  int id_base;
  int resource_bytes;  // what the resource of each tile holds
  int row_bytes;
};
const SizeCase kSizes[] = {{15, 100, 224, 8}, {18, 200, 320, 12}, {21, 300, 356, 12}};

TEST(TileBitmaps, HeadersSizesAndPaletteMatchTheCatalogue) {
  for (const SizeCase& size : kSizes) {
    EXPECT_EQ(TileIdBase(size.side), size.id_base);
    EXPECT_EQ(TileImageBytes(size.side), size.resource_bytes);
    for (int offset = 1; offset <= 14; ++offset) {
      SCOPED_TRACE(testing::Message() << "tile " << size.id_base + offset);
      unsigned char file[kMaxAssetFileBytes];
      const size_t bytes = BuildTileFile(size.side, offset, file, sizeof file);
      // windres keeps everything after the 14-byte file header as the resource.
      ASSERT_EQ(bytes, (size_t)(14 + size.resource_bytes));
      EXPECT_EQ(file[0], 'B');
      EXPECT_EQ(file[1], 'M');
      EXPECT_EQ(Read32(file + 2), bytes);
      EXPECT_EQ(Read32(file + 10), 14u + 40u + 64u);
      const unsigned char* info = file + 14;
      EXPECT_EQ(Read32(info), 40u);
      EXPECT_EQ(Read32(info + 4), (unsigned long)size.side);
      EXPECT_EQ(Read32(info + 8), (unsigned long)size.side);  // positive: bottom-up
      EXPECT_EQ(Read16(info + 12), 1u);
      EXPECT_EQ(Read16(info + 14), 4u);
      EXPECT_EQ(Read32(info + 16), 0u);  // BI_RGB
      const unsigned long image = Read32(info + 20);
      EXPECT_TRUE(image == 0 || image == (unsigned long)(size.row_bytes * size.side));
      const unsigned long used = Read32(info + 32);
      EXPECT_TRUE(used == 0 || used == 16);
      DecodeDib(info, size.side);
    }
  }
}

TEST(TileBitmaps, UnknownTilesAndShortBuffersAreRefused) {
  unsigned char file[kMaxAssetFileBytes];
  EXPECT_EQ(BuildTileFile(16, 1, file, sizeof file), 0u);
  EXPECT_EQ(BuildTileFile(15, 0, file, sizeof file), 0u);
  EXPECT_EQ(BuildTileFile(21, 15, file, sizeof file), 0u);
  EXPECT_EQ(BuildTileFile(18, 1, file, 333), 0u);  // one byte short
  EXPECT_EQ(BuildTileFile(18, 1, file, 334), 334u);
  EXPECT_EQ(TileImageBytes(20), 0);
}

// Covered tiles are raised, every other tile shows the sunken face, corners included.
TEST(TileBitmaps, EdgesAreRaisedOnlyOnTheCoveredTile) {
  for (const SizeCase& size : kSizes) {
    for (int offset = 1; offset <= 14; ++offset) {
      SCOPED_TRACE(testing::Message() << "tile " << size.id_base + offset);
      const Picture tile = LoadTile(size.side, offset);
      const int last = size.side - 1;
      const bool raised = offset == 10;
      const unsigned light = raised ? kWhite : kBlack, dark = raised ? kBlack : kWhite;
      for (int i = 0; i < last; ++i) {
        EXPECT_EQ(tile.At(i, 0), light) << "top " << i;
        EXPECT_EQ(tile.At(0, i), light) << "left " << i;
      }
      for (int i = 1; i <= last; ++i) {
        EXPECT_EQ(tile.At(last, i), dark) << "right " << i;
        EXPECT_EQ(tile.At(i, last), dark) << "bottom " << i;
      }
      EXPECT_EQ(tile.At(last, 0), dark) << "top-right corner";
      EXPECT_EQ(tile.At(0, last), light) << "bottom-left corner";
    }
  }
}

// The empty face is plain silver; the covered one adds a grey shadow just inside its black
// right and bottom lines and nowhere else.
TEST(TileBitmaps, EmptyFaceIsPlainAndCoveredFaceShadedBottomRight) {
  for (const SizeCase& size : kSizes) {
    EXPECT_EQ(LoadTile(size.side, 9).Colours(true), std::set<unsigned>{kSilver});
    const Picture covered = LoadTile(size.side, 10);
    const int inner = size.side - 2;
    for (int y = 1; y <= inner; ++y) {
      for (int x = 1; x <= inner; ++x) {
        const bool shadow = x == inner || y == inner;
        EXPECT_EQ(covered.At(x, y), shadow ? kGrey : kSilver) << x << "," << y;
      }
    }
  }
}

TEST(TileBitmaps, DigitsAreCentredHalfHighInTheirColourWithAGreyShadow) {
  for (const SizeCase& size : kSizes) {
    for (int digit = 1; digit <= 8; ++digit) {
      SCOPED_TRACE(testing::Message() << "tile " << size.id_base + digit);
      const Picture tile = LoadTile(size.side, digit);
      const unsigned ink = kDigitRgb[digit];
      EXPECT_EQ(tile.Colours(true), (std::set<unsigned>{kSilver, ink, kGrey}));
      int left = size.side, right = -1, top = size.side, bottom = -1, shadows = 0;
      for (int y = 1; y < size.side - 1; ++y) {
        for (int x = 1; x < size.side - 1; ++x) {
          if (tile.At(x, y) == kGrey) {
            ++shadows;
            EXPECT_EQ(tile.At(x - 1, y), ink) << "a shadow pixel sits right of the digit";
          }
          if (tile.At(x, y) != ink) continue;
          left = std::min(left, x), right = std::max(right, x);
          top = std::min(top, y), bottom = std::max(bottom, y);
          const unsigned beside = tile.At(x + 1, y);
          EXPECT_TRUE(beside == ink || beside == kGrey) << "unshaded ink at " << x << "," << y;
        }
      }
      EXPECT_GT(shadows, 0);
      const int height = bottom - top + 1;
      EXPECT_GE(height, size.side * 2 / 5);
      EXPECT_LE(height, size.side * 3 / 5);
      const double centre = (size.side - 1) / 2.0;
      EXPECT_LE(fabs((left + right) / 2.0 - centre), 1.0);
      EXPECT_LE(fabs((top + bottom) / 2.0 - centre), 1.0);
    }
  }
}

TEST(TileBitmaps, FlagIsChequeredOnABlackPole) {
  for (const SizeCase& size : kSizes) {
    SCOPED_TRACE(testing::Message() << "tile " << size.id_base + 11);
    const Picture flag = LoadTile(size.side, 11);
    EXPECT_EQ(flag.Colours(true), (std::set<unsigned>{kSilver, kBlack, kRed, kYellow}));
    // Chequered: somewhere red meets yellow both across and down.
    bool across = false, down = false;
    int longest_pole = 0;
    for (int x = 1; x < size.side - 1; ++x) {
      int run = 0;
      for (int y = 1; y < size.side - 1; ++y) {
        const unsigned c = flag.At(x, y);
        if (c == kRed && (flag.At(x + 1, y) == kYellow || flag.At(x - 1, y) == kYellow))
          across = true;
        if (c == kRed && (flag.At(x, y + 1) == kYellow || flag.At(x, y - 1) == kYellow))
          down = true;
        run = c == kBlack ? run + 1 : 0;
        longest_pole = std::max(longest_pole, run);
      }
    }
    EXPECT_TRUE(across);
    EXPECT_TRUE(down);
    EXPECT_GE(longest_pole, size.side / 2);
  }
}

TEST(TileBitmaps, WrongFlagIsTheFlagCrossedCornerToCorner) {
  for (const SizeCase& size : kSizes) {
    SCOPED_TRACE(testing::Message() << "tile " << size.id_base + 12);
    const Picture flag = LoadTile(size.side, 11), wrong = LoadTile(size.side, 12);
    EXPECT_TRUE(Subset(wrong.Colours(true), {kSilver, kBlack, kRed, kYellow}));
    const int last = size.side - 2;
    for (int i = 1; i <= last; ++i) {
      EXPECT_EQ(wrong.At(i, i), kRed) << "falling stroke at " << i;
      EXPECT_EQ(wrong.At(last + 1 - i, i), kRed) << "rising stroke at " << i;
    }
    // Thick: each stroke is at least two pixels across all the way.
    for (int i = 1; i < last; ++i) {
      EXPECT_TRUE(wrong.At(i + 1, i) == kRed || wrong.At(i, i + 1) == kRed) << i;
    }
    int flag_left = 0;
    for (int y = 1; y <= last; ++y)
      for (int x = 1; x <= last; ++x) {
        if (wrong.At(x, y) != flag.At(x, y)) {
          EXPECT_EQ(wrong.At(x, y), kRed) << "only the cross is added, at " << x << "," << y;
        } else if (flag.At(x, y) != kSilver) {
          ++flag_left;
        }
      }
    EXPECT_GT(flag_left, size.side) << "the flag still shows under the cross";
  }
}

// Black pixels at the spike tips along the eight directions, none halfway between them.
void ExpectSpikedMine(const Picture& mine) {
  const int s = mine.side;
  const double c = (s - 1) / 2.0;
  const double reach = s * 0.36;
  const double pi = 3.14159265358979323846;
  for (int k = 0; k < 16; ++k) {
    const double angle = k * pi / 8;
    // Half-pixel centres of the even size round away from the middle consistently.
    const double nudge = s % 2 == 0 ? 0.01 : 0;
    const int x = (int)lround(c + cos(angle) * reach + nudge);
    const int y = (int)lround(c + sin(angle) * reach + nudge);
    if (k % 2 == 0) {
      EXPECT_EQ(mine.At(x, y), kBlack) << "spike " << k / 2 << " at " << x << "," << y;
    } else {
      EXPECT_NE(mine.At(x, y), kBlack) << "between spikes at " << x << "," << y;
    }
  }
}

TEST(TileBitmaps, MineIsASpikedBlackDiscWithAYellowCentre) {
  for (const SizeCase& size : kSizes) {
    SCOPED_TRACE(testing::Message() << "tile " << size.id_base + 13);
    const Picture mine = LoadTile(size.side, 13);
    EXPECT_EQ(mine.Colours(true), (std::set<unsigned>{kSilver, kBlack, kYellow}));
    const int c = size.side / 2;
    EXPECT_EQ(mine.At(c, c), kYellow);
    // The disc: solid ink in a ring around the centre.
    for (int d = -2; d <= 2; d += 4) {
      EXPECT_EQ(mine.At(c + d, c + d / 2), kBlack);
      EXPECT_EQ(mine.At(c + d / 2, c + d), kBlack);
    }
    ExpectSpikedMine(mine);
  }
}

TEST(TileBitmaps, ExplodedMineSitsOnABurstThatFillsTheTile) {
  for (const SizeCase& size : kSizes) {
    SCOPED_TRACE(testing::Message() << "tile " << size.id_base + 14);
    const Picture mine = LoadTile(size.side, 13), burst = LoadTile(size.side, 14);
    const std::set<unsigned> colours = burst.Colours(true);
    EXPECT_FALSE(colours.count(kSilver)) << "the burst leaves no face showing";
    EXPECT_TRUE(colours.count(kRed));
    EXPECT_TRUE(colours.count(kYellow));
    if (size.side == 18) {
      EXPECT_EQ(colours, (std::set<unsigned>{kBlack, kRed, kYellow, kLime, kFuchsia}));
    } else {
      EXPECT_EQ(colours, (std::set<unsigned>{kBlack, kRed, kYellow}));
    }
    for (int y = 1; y < size.side - 1; ++y)
      for (int x = 1; x < size.side - 1; ++x)
        if (mine.At(x, y) != kSilver) {
          EXPECT_EQ(burst.At(x, y), mine.At(x, y)) << x << "," << y;
        }
  }
}

TEST(Icon, IsOneOpaque32By32SixteenColourImageOf744Bytes) {
  unsigned char file[kMaxAssetFileBytes];
  const size_t bytes = BuildIconFile(file, sizeof file);
  ASSERT_EQ(bytes, 6u + 16u + 744u);
  EXPECT_EQ(BuildIconFile(file, bytes - 1), 0u);
  EXPECT_EQ(Read16(file), 0u);
  EXPECT_EQ(Read16(file + 2), 1u);  // icon
  EXPECT_EQ(Read16(file + 4), 1u);  // one image
  const unsigned char* entry = file + 6;
  EXPECT_EQ(entry[0], 32);
  EXPECT_EQ(entry[1], 32);
  EXPECT_EQ(entry[2], 16);
  EXPECT_EQ(Read16(entry + 4), 1u);
  EXPECT_EQ(Read16(entry + 6), 4u);
  EXPECT_EQ(Read32(entry + 8), 744u);
  ASSERT_EQ(Read32(entry + 12), 22u);
  const unsigned char* info = file + 22;
  EXPECT_EQ(Read32(info), 40u);
  EXPECT_EQ(Read32(info + 4), 32u);
  EXPECT_EQ(Read32(info + 8), 64u);  // colour image and mask
  EXPECT_EQ(Read16(info + 12), 1u);
  EXPECT_EQ(Read16(info + 14), 4u);
  EXPECT_EQ(Read32(info + 16), 0u);
  const Picture icon = DecodeDib(info, 32);
  const unsigned char* mask = info + 40 + 64 + 32 * 16;
  for (int i = 0; i < 32 * 4; ++i) EXPECT_EQ(mask[i], 0) << "mask byte " << i;
  EXPECT_EQ(mask + 128, file + bytes);

  // A mine from above on silver: red core with a white highlight, grey spikes outlined in black
  // reaching every edge and corner.
  EXPECT_EQ(icon.Colours(false), (std::set<unsigned>{kSilver, kBlack, kGrey, kRed, kWhite}));
  EXPECT_EQ(icon.At(15, 15), kRed);
  EXPECT_EQ(icon.At(16, 16), kRed);
  const int between[4][2] = {{8, 2}, {2, 8}, {23, 29}, {29, 23}};  // between the spikes
  for (const auto& p : between) EXPECT_EQ(icon.At(p[0], p[1]), kSilver) << p[0] << "," << p[1];
  const int ends[8][2] = {{0, 0}, {31, 0}, {0, 31}, {31, 31}, {15, 0}, {0, 16}, {31, 15}, {16, 31}};
  for (const auto& end : ends)
    EXPECT_EQ(icon.At(end[0], end[1]), kBlack) << end[0] << "," << end[1];
  int red = 0, grey_touching_silver = 0;
  for (int y = 1; y < 31; ++y)
    for (int x = 1; x < 31; ++x) {
      if (icon.At(x, y) == kRed) ++red;
      if (icon.At(x, y) == kGrey && (icon.At(x + 1, y) == kSilver || icon.At(x - 1, y) == kSilver ||
                                     icon.At(x, y + 1) == kSilver || icon.At(x, y - 1) == kSilver))
        ++grey_touching_silver;
    }
  EXPECT_GT(red, 8);
  EXPECT_LT(red, 32 * 32 / 10) << "the core is small";
  EXPECT_EQ(grey_touching_silver, 0) << "grey is always outlined";
}

struct SoundCase {
  int id;
  unsigned rate;
  unsigned data_bytes;
  int low, high;
};
const SoundCase kSounds[] = {
    {3031, 6000, 5, 128, 128},
    {3032, 11025, 361, 72, 185},
    {3034, 11025, 1444, 0, 255},
    {3035, 11025, 704, 56, 192},
};

TEST(Sounds, RiffWavePcmMono8BitWithTheCatalogueRatesLengthsAndRanges) {
  for (const SoundCase& sound : kSounds) {
    SCOPED_TRACE(testing::Message() << "sound " << sound.id);
    unsigned char file[kMaxAssetFileBytes];
    const size_t bytes = BuildSoundFile(sound.id, file, sizeof file);
    ASSERT_GE(bytes, 44u + sound.data_bytes);
    EXPECT_LE(bytes, 44u + sound.data_bytes + 1);  // at most the RIFF pad byte
    EXPECT_EQ(memcmp(file, "RIFF", 4), 0);
    EXPECT_EQ(Read32(file + 4), bytes - 8);
    EXPECT_EQ(memcmp(file + 8, "WAVE", 4), 0);
    EXPECT_EQ(memcmp(file + 12, "fmt ", 4), 0);
    EXPECT_EQ(Read32(file + 16), 16u);
    EXPECT_EQ(Read16(file + 20), 1u);
    EXPECT_EQ(Read16(file + 22), 1u);
    EXPECT_EQ(Read32(file + 24), sound.rate);
    EXPECT_EQ(Read32(file + 28), sound.rate);
    EXPECT_EQ(Read16(file + 32), 1u);
    EXPECT_EQ(Read16(file + 34), 8u);
    EXPECT_EQ(memcmp(file + 36, "data", 4), 0);
    ASSERT_EQ(Read32(file + 40), sound.data_bytes);
    const unsigned char* samples = file + 44;
    int low = 255, high = 0;
    for (unsigned i = 0; i < sound.data_bytes; ++i) {
      low = std::min(low, (int)samples[i]);
      high = std::max(high, (int)samples[i]);
    }
    EXPECT_EQ(low, sound.low);
    EXPECT_EQ(high, sound.high);
    EXPECT_EQ(BuildSoundFile(sound.id, file, bytes - 1), 0u);
  }
}

// Mean distance from silence over a stretch of samples.
double Loudness(const unsigned char* samples, int from, int to) {
  double sum = 0;
  for (int i = from; i < to; ++i) sum += fabs(samples[i] - 128.0);
  return sum / (to - from);
}

TEST(Sounds, EnvelopesSwellAndFadeAsDescribed) {
  unsigned char file[kMaxAssetFileBytes];
  ASSERT_GT(BuildSoundFile(3032, file, sizeof file), 0u);
  const unsigned char* bang = file + 44;
  EXPECT_EQ(bang[0], 128) << "swells from silence";
  EXPECT_LT(Loudness(bang, 0, 90), Loudness(bang, 180, 300));

  ASSERT_GT(BuildSoundFile(3034, file, sizeof file), 0u);
  const unsigned char* sweep = file + 44;
  int loudest = 0;
  for (int i = 0; i < 1444; ++i)
    if (fabs(sweep[i] - 128.0) > fabs(sweep[loudest] - 128.0)) loudest = i;
  EXPECT_GT(loudest, 1444 / 3);
  EXPECT_LT(loudest, 1444 * 2 / 3);
  EXPECT_LT(Loudness(sweep, 0, 150), Loudness(sweep, 650, 800) / 3);
  EXPECT_LT(Loudness(sweep, 1294, 1444), Loudness(sweep, 650, 800) / 3);
}

TEST(Sounds, OnlyTheFourCataloguedEffectsExist) {
  unsigned char file[kMaxAssetFileBytes];
  EXPECT_EQ(BuildSoundFile(3030, file, sizeof file), 0u);
  EXPECT_EQ(BuildSoundFile(3033, file, sizeof file), 0u);
  EXPECT_EQ(BuildSoundFile(3036, file, sizeof file), 0u);
  ASSERT_GT(BuildSoundFile(3031, file, sizeof file), 0u);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(file[44 + i], 128) << "silence";
}

}  // namespace
