// tile_scale_test.cpp: the tile art and whole factor chosen at each display scale, and the art
// enlarged into exact blocks.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "res/tile_scale.h"

namespace {

// Side on the screen as art x factor, worked out by hand from size x DPI / 96: the closest
// product, the larger on a tie (104 and 176 DPI), the larger art for an equal side (480 DPI).
const struct {
  int dpi;
  int art[3], factor[3];  // for the sizes 15, 18 and 21
} kScales[] = {
    {96, {15, 18, 21}, {1, 1, 1}},  {104, {15, 21, 21}, {1, 1, 1}}, {120, {18, 21, 15}, {1, 1, 2}},
    {144, {21, 15, 15}, {1, 2, 2}}, {168, {15, 15, 18}, {2, 2, 2}}, {176, {15, 18, 18}, {2, 2, 2}},
    {192, {15, 18, 21}, {2, 2, 2}}, {240, {18, 15, 18}, {2, 3, 3}}, {288, {15, 18, 21}, {3, 3, 3}},
    {480, {15, 18, 21}, {5, 5, 5}}, {0, {15, 18, 21}, {1, 1, 1}},
};

TEST(TileScale, ClosestWholeMultipleOfAnArtSizeAtEachDpi) {
  const int sizes[3] = {15, 18, 21};
  for (const auto& row : kScales) {
    for (int i = 0; i < 3; ++i) {
      const TileScale scale = ChooseTileScale(sizes[i], row.dpi);
      EXPECT_EQ(row.art[i], scale.art) << row.dpi << " DPI, size " << sizes[i];
      EXPECT_EQ(row.factor[i], scale.factor) << row.dpi << " DPI, size " << sizes[i];
      EXPECT_EQ(row.art[i] * row.factor[i], scale.tile) << row.dpi << " DPI, size " << sizes[i];
      EXPECT_EQ(row.dpi > 0 ? row.dpi : 96, scale.dpi);
    }
  }
  // Any DPI at all: a whole multiple of an art size, within the bound the drawing relies on.
  for (int dpi = -1; dpi <= 2 * kMaxDpi; ++dpi) {
    for (int size : sizes) {
      const TileScale scale = ChooseTileScale(size, dpi);
      ASSERT_TRUE(scale.factor >= 1 && scale.art * scale.factor == scale.tile &&
                  scale.tile <= kMaxTileSide)
          << dpi << " DPI, size " << size;
    }
  }
  // The status bar's edges: as they were at 96 DPI, in proportion elsewhere.
  EXPECT_EQ(40, ScaleLength(40, 96));
  EXPECT_EQ(150, ScaleLength(100, 144));
  EXPECT_EQ(53, ScaleLength(40, 127));  // 52.9
}

TEST(TileScale, EveryArtPixelBecomesAnExactBlock) {
  const int width = 3, height = 2;
  const std::vector<uint32_t> art = {0x000001, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x808080, 0x123456};
  for (int factor : {1, 2, 3, 5}) {
    // Exactly the size of the enlarged picture, so that a write past it is caught.
    std::vector<uint32_t> screen(static_cast<size_t>(width * factor * height * factor), 0xDEAD);
    EnlargePixels(art.data(), width, height, factor, screen.data());
    for (int y = 0; y < height * factor; ++y)
      for (int x = 0; x < width * factor; ++x)
        ASSERT_EQ(art[static_cast<size_t>(y / factor * width + x / factor)],
                  screen[static_cast<size_t>(y * width * factor + x)])
            << "factor " << factor << ", pixel (" << x << ", " << y << ")";
  }
}

}  // namespace
