// assets_test.cpp: the generated tiles, icon and sounds read back as a loader would see them.
#include "tools/assetgen/art.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>
#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

namespace {

using Fields = std::vector<unsigned long>;
using Colours = std::set<unsigned>;

// The program's palette as the resources must carry it, red-green-blue.
const unsigned kPaletteRgb[16] = {0x000000, 0x800000, 0x007000, 0x686800, 0x000080, 0x800080,
                                  0x006868, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                  0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
const unsigned kBlack = 0x000000, kSilver = 0xC0C0C0, kGrey = 0x808080, kWhite = 0xFFFFFF;
const unsigned kRed = 0xFF0000, kYellow = 0xFFFF00, kLime = 0x00FF00, kFuchsia = 0xFF00FF;
const unsigned kDigitRgb[9] = {0,        0x007000, 0x000080, 0x800080, 0x0000FF,
                               0x000000, 0x686800, 0x800000, 0x006868};

// The contrast of two colours as the readability guidelines (WCAG) measure it: relative
// luminances from linearised sRGB, (lighter + 0.05) / (darker + 0.05).
double Contrast(unsigned a, unsigned b) {
  double luminance[2] = {};
  for (int i = 0; i < 2; ++i) {
    for (const auto& [shift, weight] : {std::pair{16, 0.2126}, {8, 0.7152}, {0, 0.0722}}) {
      const double c = (((i == 0 ? a : b) >> shift) & 0xFF) / 255.0;
      luminance[i] += weight * (c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
    }
  }
  return (std::max(luminance[0], luminance[1]) + 0.05) /
         (std::min(luminance[0], luminance[1]) + 0.05);
}

unsigned long Read(const unsigned char* p, int bytes) {
  unsigned long value = 0;
  for (int i = bytes; i-- > 0;) value = value << 8 | p[i];
  return value;
}

// The fields of a BITMAPINFOHEADER a loader relies on: size, width, height, planes, bits,
// compression.
Fields InfoHeader(const unsigned char* info) {
  return {Read(info, 4),      Read(info + 4, 4),  Read(info + 8, 4),
          Read(info + 12, 2), Read(info + 14, 2), Read(info + 16, 4)};
}

// A decoded picture: colours top row first, as the screen would show them.
struct Picture {
  int side = 0;
  std::vector<unsigned> rgb;
  unsigned At(int x, int y) const { return rgb[static_cast<size_t>(y * side + x)]; }
  Colours Inside() const {
    Colours found;
    for (int y = 1; y < side - 1; ++y)
      for (int x = 1; x < side - 1; ++x) found.insert(At(x, y));
    return found;
  }
};

// Reads a 4-bit bottom-up DIB (header at `info`), checking its palette and row padding.
Picture DecodeDib(const unsigned char* info, int side) {
  Picture picture{side, std::vector<unsigned>(static_cast<size_t>(side * side))};
  const unsigned char* palette = info + 40;
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(Read(palette + 4 * i, 4), kPaletteRgb[i]) << "palette entry " << i;
  const int row_bytes = (side * 4 + 31) / 32 * 4;
  for (int y = 0; y < side; ++y) {
    const unsigned char* row = palette + 64 + (side - 1 - y) * row_bytes;
    for (int x = 0; x < side; ++x)
      picture.rgb[static_cast<size_t>(y * side + x)] =
          kPaletteRgb[x % 2 ? row[x / 2] & 15 : row[x / 2] >> 4];
    EXPECT_EQ(side % 2 == 1 ? row[side / 2] & 0x0F : 0, 0) << "padding nibble, row " << y;
    for (int b = (side + 1) / 2; b < row_bytes; ++b) EXPECT_EQ(row[b], 0) << "padding, row " << y;
  }
  return picture;
}

Picture LoadTile(int side, int offset) {
  unsigned char file[kMaxAssetFileBytes];
  EXPECT_GT(BuildTileFile(side, offset, file, sizeof file), 0u);
  return DecodeDib(file + 14, side);
}

const struct {
  int side, id_base, resource_bytes;  // what the resource of each tile holds
} kSizes[] = {{15, 100, 224}, {18, 200, 320}, {21, 300, 356}};

TEST(TileBitmaps, HeadersSizesAndPaletteMatchTheCatalogue) {
  for (const auto& size : kSizes) {
    EXPECT_EQ(TileIdBase(size.side), size.id_base);
    EXPECT_EQ(TileImageBytes(size.side), size.resource_bytes);
    for (int offset = 1; offset <= 14; ++offset) {
      SCOPED_TRACE(testing::Message() << "tile " << size.id_base + offset);
      unsigned char file[kMaxAssetFileBytes];
      const size_t bytes = BuildTileFile(size.side, offset, file, sizeof file);
      // windres keeps everything after the 14-byte file header as the resource.
      ASSERT_EQ(bytes, static_cast<size_t>(14 + size.resource_bytes));
      EXPECT_EQ(Fields({'B', 'M', bytes, 14 + 40 + 64}),
                Fields({file[0], file[1], Read(file + 2, 4), Read(file + 10, 4)}));
      // Positive height: bottom-up.
      const unsigned long side = static_cast<unsigned long>(size.side);
      EXPECT_EQ(Fields({40, side, side, 1, 4, 0}), InfoHeader(file + 14));
      EXPECT_TRUE(Read(file + 34, 4) == 0 || Read(file + 34, 4) == bytes - 118) << "image size";
      EXPECT_TRUE(Read(file + 46, 4) == 0 || Read(file + 46, 4) == 16) << "colours used";
      DecodeDib(file + 14, size.side);
    }
  }
  unsigned char file[kMaxAssetFileBytes];
  EXPECT_EQ(BuildTileFile(16, 1, file, sizeof file), 0u);
  EXPECT_EQ(BuildTileFile(15, 0, file, sizeof file), 0u);
  EXPECT_EQ(BuildTileFile(21, 15, file, sizeof file), 0u);
  EXPECT_EQ(BuildTileFile(18, 1, file, 333), 0u);  // one byte short
}

// Covered tiles are raised, every other tile shows the sunken face, corners included.
TEST(TileBitmaps, EdgesAreRaisedOnlyOnTheCoveredTile) {
  for (const auto& size : kSizes) {
    for (int offset = 1; offset <= 14; ++offset) {
      SCOPED_TRACE(testing::Message() << "tile " << size.id_base + offset);
      const Picture tile = LoadTile(size.side, offset);
      const int last = size.side - 1;
      const unsigned light = offset == 10 ? kWhite : kBlack, dark = offset == 10 ? kBlack : kWhite;
      for (int i = 0; i < last; ++i) {
        EXPECT_EQ(tile.At(i, 0), light) << "top " << i;
        EXPECT_EQ(tile.At(0, i), light) << "left " << i;
        EXPECT_EQ(tile.At(last, i + 1), dark) << "right " << i + 1;
        EXPECT_EQ(tile.At(i + 1, last), dark) << "bottom " << i + 1;
      }
      EXPECT_EQ(tile.At(last, 0), dark) << "top-right corner";
      EXPECT_EQ(tile.At(0, last), light) << "bottom-left corner";
    }
  }
}

// Inside the edges: the colours of each face; the covered face shaded just inside its right and
// bottom lines; digits centred and half high; the wrong flag the flag crossed corner to corner;
// the exploded mine the mine on a burst that leaves no face showing.
TEST(TileBitmaps, FacesShowTheirDesign) {
  for (const auto& size : kSizes) {
    SCOPED_TRACE(testing::Message() << "side " << size.side);
    const int side = size.side, inner = side - 2;
    Picture tiles[15];
    for (int offset = 1; offset <= 14; ++offset) tiles[offset] = LoadTile(side, offset);
    for (int digit = 1; digit <= 8; ++digit) {
      const unsigned ink = kDigitRgb[digit];
      EXPECT_EQ(tiles[digit].Inside(), Colours({kSilver, ink, kGrey})) << digit;
      EXPECT_GE(Contrast(ink, kSilver), 3.0) << digit;  // readable on the face
      int left = side, right = -1, top = side, bottom = -1;
      for (int y = 1; y <= inner; ++y)
        for (int x = 1; x <= inner; ++x)
          if (tiles[digit].At(x, y) == ink) {
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
          }
      EXPECT_GE(bottom - top + 1, side * 2 / 5) << digit;
      EXPECT_LE(bottom - top + 1, side * 3 / 5) << digit;
      EXPECT_LE(abs(left + right - inner - 1), 2) << digit;
      EXPECT_LE(abs(top + bottom - inner - 1), 2) << digit;
    }
    EXPECT_EQ(Colours(kDigitRgb + 1, kDigitRgb + 9).size(), 8u) << "a colour for each digit";
    EXPECT_EQ(tiles[9].Inside(), Colours{kSilver});
    for (int y = 1; y <= inner; ++y)
      for (int x = 1; x <= inner; ++x)
        EXPECT_EQ(tiles[10].At(x, y), x == inner || y == inner ? kGrey : kSilver) << x << "," << y;
    EXPECT_EQ(tiles[11].Inside(), Colours({kSilver, kBlack, kRed, kYellow}));
    for (int y = 1; y <= inner; ++y)
      for (int x = 1; x <= inner; ++x) {
        const bool cross = x == y || x == side - 1 - y;
        if (cross || tiles[12].At(x, y) != tiles[11].At(x, y)) {
          EXPECT_EQ(tiles[12].At(x, y), kRed) << "cross at " << x << "," << y;
        }
        if (tiles[13].At(x, y) != kSilver) {
          EXPECT_EQ(tiles[14].At(x, y), tiles[13].At(x, y)) << "mine at " << x << "," << y;
        }
      }
    EXPECT_EQ(tiles[13].Inside(), Colours({kSilver, kBlack, kYellow}));
    EXPECT_EQ(tiles[13].At(side / 2, side / 2), kYellow);
    EXPECT_EQ(tiles[14].Inside(), side == 18 ? Colours({kBlack, kRed, kYellow, kLime, kFuchsia})
                                             : Colours({kBlack, kRed, kYellow}));
  }
}

TEST(Icon, IsOneOpaque32By32SixteenColourImageOf744Bytes) {
  unsigned char file[kMaxAssetFileBytes];
  const size_t bytes = BuildIconFile(file, sizeof file);
  ASSERT_EQ(bytes, 6u + 16u + 744u);
  EXPECT_EQ(BuildIconFile(file, bytes - 1), 0u);
  // Reserved, icon, one image; 32 x 32, 16 colours, 1 plane, 4 bits, 744 bytes at 22.
  EXPECT_EQ(
      Fields({0, 1, 1, 32, 32, 16, 1, 4, 744, 22}),
      Fields({Read(file, 2), Read(file + 2, 2), Read(file + 4, 2), file[6], file[7], file[8],
              Read(file + 10, 2), Read(file + 12, 2), Read(file + 14, 4), Read(file + 18, 4)}));
  EXPECT_EQ(Fields({40, 32, 64, 1, 4, 0}), InfoHeader(file + 22));  // colour image and mask
  const Picture icon = DecodeDib(file + 22, 32);
  for (size_t i = bytes - 128; i < bytes; ++i) EXPECT_EQ(file[i], 0) << "mask byte " << i;

  // A mine from above: red core, grey spikes outlined in black, on silver.
  EXPECT_EQ(Colours(icon.rgb.begin(), icon.rgb.end()),
            Colours({kSilver, kBlack, kGrey, kRed, kWhite}));
  EXPECT_EQ(icon.At(15, 15), kRed);
}

TEST(Sounds, RiffWavePcmMono8BitWithTheCatalogueRatesLengthsAndRanges) {
  const struct {
    int id;
    unsigned long rate, data_bytes;
    int low, high;
  } sounds[] = {{3031, 6000, 5, 128, 128},
                {3032, 11025, 361, 72, 185},
                {3034, 11025, 1444, 0, 255},
                {3035, 11025, 704, 56, 192}};
  unsigned char file[kMaxAssetFileBytes];
  for (const auto& sound : sounds) {
    SCOPED_TRACE(testing::Message() << "sound " << sound.id);
    const size_t bytes = BuildSoundFile(sound.id, file, sizeof file);
    ASSERT_GE(bytes, 44u + sound.data_bytes);
    EXPECT_LE(bytes, 44u + sound.data_bytes + 1);  // at most the RIFF pad byte
    EXPECT_EQ(
        memcmp(file, "RIFF", 4) | memcmp(file + 8, "WAVEfmt ", 8) | memcmp(file + 36, "data", 4),
        0);
    // RIFF length, fmt length, PCM, mono, rate, bytes per second, block, bits, data length.
    EXPECT_EQ(Fields({bytes - 8, 16, 1, 1, sound.rate, sound.rate, 1, 8, sound.data_bytes}),
              Fields({Read(file + 4, 4), Read(file + 16, 4), Read(file + 20, 2), Read(file + 22, 2),
                      Read(file + 24, 4), Read(file + 28, 4), Read(file + 32, 2),
                      Read(file + 34, 2), Read(file + 40, 4)}));
    const unsigned char* samples = file + 44;
    EXPECT_EQ(*std::min_element(samples, samples + sound.data_bytes), sound.low);
    EXPECT_EQ(*std::max_element(samples, samples + sound.data_bytes), sound.high);
    EXPECT_EQ(BuildSoundFile(sound.id, file, bytes - 1), 0u);
  }
  for (int id : {3030, 3033, 3036}) EXPECT_EQ(BuildSoundFile(id, file, sizeof file), 0u) << id;
}

}  // namespace
