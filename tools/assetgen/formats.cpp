// formats.cpp: packs the drawn tiles and icon into 4-bit BMP and ICO files.
#include <cstring>

#include "tools/assetgen/art.h"

namespace {

constexpr int kInfoHeaderBytes = 40;
constexpr int kPaletteBytes = kPaletteSize * 4;

// 4 bits per pixel, each row padded to whole 32-bit words.
int RowBytes(int width) {
  return (width * 4 + 31) / 32 * 4;
}

// BITMAPINFOHEADER for a 4-bit BI_RGB image; an icon states twice its height (colour + mask).
uint8_t* PutInfoHeader(uint8_t* p, int width, int height, int imageBytes) {
  memset(p, 0, kInfoHeaderBytes);
  Put32(p, kInfoHeaderBytes);
  Put32(p + 4, static_cast<uint32_t>(width));
  Put32(p + 8, static_cast<uint32_t>(height));
  Put16(p + 12, 1);  // planes
  Put16(p + 14, 4);  // bits per pixel
  Put32(p + 16, 0);  // BI_RGB
  Put32(p + 20, static_cast<uint32_t>(imageBytes));
  Put32(p + 32, kPaletteSize);  // colours used: the whole palette
  return p + kInfoHeaderBytes;
}

uint8_t* PutPalette(uint8_t* p) {
  for (int i = 0; i < kPaletteSize; ++i) {
    p[i * 4 + 0] = kArtPalette[i][2];
    p[i * 4 + 1] = kArtPalette[i][1];
    p[i * 4 + 2] = kArtPalette[i][0];
    p[i * 4 + 3] = 0;
  }
  return p + kPaletteBytes;
}

// Bottom-up rows, the left pixel in the high nibble, padding zero.
uint8_t* PutPixels(uint8_t* p, const uint8_t* pixels, int side) {
  const int rowBytes = RowBytes(side);
  for (int y = side - 1; y >= 0; --y) {
    memset(p, 0, static_cast<size_t>(rowBytes));
    for (int x = 0; x < side; ++x) {
      const int index = pixels[y * side + x] & 0x0F;
      p[x / 2] = static_cast<uint8_t>(p[x / 2] | (x % 2 == 0 ? index << 4 : index));
    }
    p += rowBytes;
  }
  return p;
}

}  // namespace

void Put16(uint8_t* p, uint32_t value) {
  p[0] = static_cast<uint8_t>(value & 0xFF);
  p[1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

void Put32(uint8_t* p, uint32_t value) {
  Put16(p, value & 0xFFFF);
  Put16(p + 2, (value >> 16) & 0xFFFF);
}

int TileImageBytes(int side) {
  if (TileIdBase(side) == 0) return 0;
  return kInfoHeaderBytes + kPaletteBytes + RowBytes(side) * side;
}

size_t BuildTileFile(int side, int offset, uint8_t* out, size_t capacity) {
  const int imageBytes = TileImageBytes(side);
  if (imageBytes == 0 || offset < 1 || offset > TILE_COUNT) return 0;
  const int fileBytes = kBitmapFileHeaderBytes + imageBytes;
  if (out == nullptr || capacity < static_cast<size_t>(fileBytes)) return 0;
  uint8_t pixels[kMaxTileSide * kMaxTileSide];
  DrawTile(side, offset, pixels);

  // BITMAPFILEHEADER: what windres strips, leaving exactly the resource's bytes.
  uint8_t* p = out;
  p[0] = 'B';
  p[1] = 'M';
  Put32(p + 2, static_cast<uint32_t>(fileBytes));
  Put32(p + 6, 0);
  Put32(p + 10, kBitmapFileHeaderBytes + kInfoHeaderBytes + kPaletteBytes);
  p += kBitmapFileHeaderBytes;
  p = PutInfoHeader(p, side, side, RowBytes(side) * side);
  p = PutPalette(p);
  PutPixels(p, pixels, side);
  return static_cast<size_t>(fileBytes);
}

size_t BuildIconFile(uint8_t* out, size_t capacity) {
  const int n = kIconSide;
  const int colourBytes = RowBytes(n) * n;
  const int maskBytes = (n + 31) / 32 * 4 * n;
  const int directoryBytes = 6 + 16;  // ICONDIR and its single ICONDIRENTRY
  const int fileBytes = directoryBytes + kIconImageBytes;
  if (out == nullptr || capacity < static_cast<size_t>(fileBytes)) return 0;
  uint8_t pixels[kIconSide * kIconSide];
  DrawIcon(pixels);

  uint8_t* p = out;
  Put16(p, 0);      // reserved
  Put16(p + 2, 1);  // an icon, not a cursor
  Put16(p + 4, 1);  // one image
  p += 6;
  p[0] = static_cast<uint8_t>(n);
  p[1] = static_cast<uint8_t>(n);
  p[2] = kPaletteSize;  // colours
  p[3] = 0;
  Put16(p + 4, 1);  // planes
  Put16(p + 6, 4);  // bits per pixel, so the group entry tells the loader the depth
  Put32(p + 8, kIconImageBytes);
  Put32(p + 12, directoryBytes);
  p += 16;
  p = PutInfoHeader(p, n, 2 * n, colourBytes + maskBytes);
  p = PutPalette(p);
  p = PutPixels(p, pixels, n);
  memset(p, 0, static_cast<size_t>(maskBytes));  // an empty AND mask: every pixel opaque
  return static_cast<size_t>(fileBytes);
}
