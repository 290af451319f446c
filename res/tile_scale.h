// tile_scale.h: the one place that turns a display's DPI into the sizes the grid is drawn at:
// which tile art is shown, enlarged by what whole factor, and the layout's lengths at that DPI.
#pragma once

#include <cstdint>

constexpr int kDefaultDpi = 96;  // 100 %: every size as the program has always drawn it
// The largest scale Windows offers, 500 %: a bound on the tiles, and so on what draws them.
constexpr int kMaxDpi = 480;
// The largest side ChooseTileScale gives: the 21-pixel art at that DPI, or the next larger
// multiple of an art size at most.
constexpr int kMaxTileSide = 21 * kMaxDpi / kDefaultDpi + 21;

struct TileScale {
  int32_t dpi;     // the window's dots per inch
  int32_t art;     // the tile art shown: 15, 18 or 21 pixels a side
  int32_t factor;  // each pixel of the art is a factor x factor block on the screen
  int32_t tile;    // art x factor: a tile's side on the screen
};

// For the tile size of the settings (15, 18 or 21) at a DPI (96 for one of 0 or less, kMaxDpi
// for one above it): of the art sizes times a whole factor, the side closest to size x DPI / 96,
// the larger on a tie. Pixel art stays crisp only at whole factors; at 96 DPI this is the size
// itself, once.
TileScale ChooseTileScale(int size, int dpi);

// A length of the 96-DPI layout at this DPI, to the nearest pixel.
int ScaleLength(int pixels, int dpi);

// A picture of width x height pixels, rows one after another, into one factor times as wide and
// as high: every pixel becomes a factor x factor block of its own colour, nothing blended.
void EnlargePixels(const uint32_t* source, int width, int height, int factor, uint32_t* target);
