// formats.cpp: packs the drawn tiles and icon into 4-bit BMP and ICO files.
#include "tools/assetgen/art.h"

#include <string.h>

namespace {

const int kInfoHeaderBytes = 40;
const int kPaletteBytes = 16 * 4;

// 4 bits per pixel, each row padded to whole 32-bit words.
int RowBytes(int width) {
  return (width * 4 + 31) / 32 * 4;
}

// BITMAPINFOHEADER for a 4-bit BI_RGB image; an icon states twice its height (colour + mask).
unsigned char* PutInfoHeader(unsigned char* p, int width, int height, unsigned long image_bytes) {
  memset(p, 0, kInfoHeaderBytes);
  Put32(p, kInfoHeaderBytes);
  Put32(p + 4, (unsigned long)width);
  Put32(p + 8, (unsigned long)height);
  Put16(p + 12, 1);  // planes
  Put16(p + 14, 4);  // bits per pixel
  Put32(p + 16, 0);  // BI_RGB
  Put32(p + 20, image_bytes);
  Put32(p + 32, 16);  // colours used: the whole palette
  return p + kInfoHeaderBytes;
}

unsigned char* PutPalette(unsigned char* p) {
  for (int i = 0; i < 16; ++i) {
    p[i * 4 + 0] = kArtPalette[i][2];
    p[i * 4 + 1] = kArtPalette[i][1];
    p[i * 4 + 2] = kArtPalette[i][0];
    p[i * 4 + 3] = 0;
  }
  return p + kPaletteBytes;
}

// Bottom-up rows, the left pixel in the high nibble, padding zero.
unsigned char* PutPixels(unsigned char* p, const unsigned char* pixels, int side) {
  const int row_bytes = RowBytes(side);
  for (int y = side - 1; y >= 0; --y) {
    memset(p, 0, (size_t)row_bytes);
    for (int x = 0; x < side; ++x) {
      const unsigned char index = pixels[y * side + x] & 0x0F;
      p[x / 2] |= (unsigned char)((x % 2 == 0) ? index << 4 : index);
    }
    p += row_bytes;
  }
  return p;
}

}  // namespace

void Put16(unsigned char* p, unsigned v) {
  p[0] = (unsigned char)(v & 0xFF);
  p[1] = (unsigned char)((v >> 8) & 0xFF);
}

void Put32(unsigned char* p, unsigned long v) {
  Put16(p, (unsigned)(v & 0xFFFF));
  Put16(p + 2, (unsigned)((v >> 16) & 0xFFFF));
}

int TileImageBytes(int side) {
  if (TileIdBase(side) == 0) return 0;
  return kInfoHeaderBytes + kPaletteBytes + RowBytes(side) * side;
}

size_t BuildTileFile(int side, int offset, unsigned char* out, size_t capacity) {
  const int image_bytes = TileImageBytes(side);
  if (image_bytes == 0 || offset < 1 || offset > kTileOffsetCount) return 0;
  const size_t file_bytes = (size_t)(kBitmapFileHeaderBytes + image_bytes);
  if (out == nullptr || capacity < file_bytes) return 0;
  unsigned char pixels[kMaxTileSide * kMaxTileSide];
  DrawTile(side, offset, pixels);

  // BITMAPFILEHEADER: what windres strips, leaving exactly the resource's bytes.
  unsigned char* p = out;
  p[0] = 'B';
  p[1] = 'M';
  Put32(p + 2, (unsigned long)file_bytes);
  Put32(p + 6, 0);
  Put32(p + 10, kBitmapFileHeaderBytes + kInfoHeaderBytes + kPaletteBytes);
  p += kBitmapFileHeaderBytes;
  p = PutInfoHeader(p, side, side, (unsigned long)(RowBytes(side) * side));
  p = PutPalette(p);
  PutPixels(p, pixels, side);
  return file_bytes;
}

size_t BuildIconFile(unsigned char* out, size_t capacity) {
  const int n = kIconSide;
  const int colour_bytes = RowBytes(n) * n;
  const int mask_bytes = (n + 31) / 32 * 4 * n;
  const int dir_bytes = 6 + 16;  // ICONDIR and its single ICONDIRENTRY
  const size_t file_bytes = (size_t)(dir_bytes + kIconImageBytes);
  if (out == nullptr || capacity < file_bytes) return 0;
  unsigned char pixels[kIconSide * kIconSide];
  DrawIcon(pixels);

  unsigned char* p = out;
  Put16(p, 0);      // reserved
  Put16(p + 2, 1);  // an icon, not a cursor
  Put16(p + 4, 1);  // one image
  p += 6;
  p[0] = (unsigned char)n;
  p[1] = (unsigned char)n;
  p[2] = 16;  // colours
  p[3] = 0;
  Put16(p + 4, 1);  // planes
  Put16(p + 6, 4);  // bits per pixel, so the group entry tells the loader the depth
  Put32(p + 8, kIconImageBytes);
  Put32(p + 12, (unsigned long)dir_bytes);
  p += 16;
  p = PutInfoHeader(p, n, 2 * n, (unsigned long)(colour_bytes + mask_bytes));
  p = PutPalette(p);
  p = PutPixels(p, pixels, n);
  memset(p, 0, (size_t)mask_bytes);  // an empty AND mask: every pixel opaque
  return file_bytes;
}
