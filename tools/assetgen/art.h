// art.h: Torvane's tile bitmaps, icon and sounds, built as plain bytes into caller-supplied
// buffers.
#ifndef TORVANE_ART_H
#define TORVANE_ART_H

#include <stddef.h>

// The one 16-colour palette every bitmap and the icon share, by index.
enum PaletteIndex {
  kPalBlack = 0,
  kPalMaroon = 1,
  kPalGreen = 2,
  kPalOlive = 3,
  kPalNavy = 4,
  kPalPurple = 5,
  kPalTeal = 6,
  kPalSilver = 7,
  kPalGrey = 8,
  kPalRed = 9,
  kPalLime = 10,
  kPalYellow = 11,
  kPalBlue = 12,
  kPalMagenta = 13,
  kPalCyan = 14,
  kPalWhite = 15,
};

// Red, green, blue of each palette index.
extern const unsigned char kArtPalette[16][3];

enum {
  kTileSizeCount = 3,
  kTileOffsetCount = 14,  // offsets 1 to 14, the same in every size
  kMaxTileSide = 21,
  kIconSide = 32,
  kIconImageBytes = 744,        // header, palette, colour rows and mask: the icon resource
  kBitmapFileHeaderBytes = 14,  // what a .bmp file holds before the resource's bytes
  kMaxAssetFileBytes = 1600,    // room for the largest file built here (a WAVE)
};

// Tile sides in pixels, smallest first, and the resource id base of each.
extern const int kTileSides[kTileSizeCount];
int TileIdBase(int side);  // 100, 200, 300; 0 for any other side

// Palette indices of a tile, top row first, side * side bytes. Returns 0 for an unknown tile.
int DrawTile(int side, int offset, unsigned char* pixels);
// Palette indices of the icon, top row first, 32 * 32 bytes.
void DrawIcon(unsigned char* pixels);

// Bytes of a tile's bitmap resource (header, palette and padded rows); 0 for an unknown side.
int TileImageBytes(int side);

// Whole files. Each returns the bytes written, or 0 when the request is unknown or the buffer
// is too small (nothing useful is written then).
size_t BuildTileFile(int side, int offset, unsigned char* out, size_t capacity);  // .bmp
size_t BuildIconFile(unsigned char* out, size_t capacity);                        // .ico
size_t BuildSoundFile(int id, unsigned char* out, size_t capacity);  // .wav, ids 3031/2/4/5

// Little-endian writers shared by the file builders.
void Put16(unsigned char* p, unsigned v);
void Put32(unsigned char* p, unsigned long v);

// The WAVE resource ids, in order.
enum { kSoundCount = 4 };
extern const int kSoundIds[kSoundCount];

#endif
