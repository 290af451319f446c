// tile_scale.cpp: the tile art and whole factor for a display's DPI, and the art enlarged.
#include "res/tile_scale.h"

namespace {

constexpr int kArtSizes[] = {21, 18, 15};  // larger first: an equal side keeps the finer art

int Distance(int a, int b) {
  return a > b ? a - b : b - a;
}

}  // namespace

TileScale ChooseTileScale(int size, int dpi) {
  if (dpi <= 0) dpi = kDefaultDpi;
  if (dpi > kMaxDpi) dpi = kMaxDpi;
  const int wanted = size * dpi;  // the ideal side, times 96
  TileScale best = {dpi, size, 1, size};
  int bestDistance = -1;
  for (int art : kArtSizes) {
    for (int factor = 1;; ++factor) {
      const int side = art * factor;
      const int distance = Distance(side * kDefaultDpi, wanted);
      if (bestDistance < 0 || distance < bestDistance ||
          (distance == bestDistance && side > best.tile)) {
        best = {dpi, art, factor, side};
        bestDistance = distance;
      }
      if (side * kDefaultDpi >= wanted) break;  // a larger factor only goes further
    }
  }
  return best;
}

int ScaleLength(int pixels, int dpi) {
  return (pixels * dpi + kDefaultDpi / 2) / kDefaultDpi;
}

void EnlargePixels(const uint32_t* source, int width, int height, int factor, uint32_t* target) {
  // Once per loading of the tiles, a few thousand pixels: plain beats clever here.
  for (int y = 0; y < height * factor; ++y)
    for (int x = 0; x < width * factor; ++x) *target++ = source[y / factor * width + x / factor];
}
