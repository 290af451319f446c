// art.h: Torvane's tile bitmaps, icon and sounds, built as plain bytes into caller-supplied
// buffers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "res/resource_ids.h"

// The one 16-colour palette every bitmap and the icon share, by index.
enum PaletteIndex : uint8_t {
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
constexpr int kPaletteSize = 16;

// Red, green, blue of each palette index.
extern const uint8_t kArtPalette[kPaletteSize][3];

constexpr int kTileSizeCount = 3;
constexpr int kMaxTileSide = 21;
constexpr int kIconSide = 32;
constexpr int kIconImageBytes = 744;         // the icon resource: header, palette, rows, mask
constexpr int kBitmapFileHeaderBytes = 14;   // what a .bmp file holds before the resource's bytes
constexpr size_t kMaxAssetFileBytes = 1600;  // room for the largest file built here (a WAVE)

// Tile sides in pixels, smallest first; tiles are numbered 1 to TILE_COUNT in every size.
extern const int kTileSides[kTileSizeCount];
int TileIdBase(int side);  // TILE_BASE_15, _18 or _21; 0 for any other side

// Palette indices of a tile, top row first, side * side bytes. Returns 0 for an unknown tile.
int DrawTile(int side, int offset, uint8_t* pixels);
// Palette indices of the icon, top row first, 32 * 32 bytes.
void DrawIcon(uint8_t* pixels);

// Bytes of a tile's bitmap resource (header, palette and padded rows); 0 for an unknown side.
int TileImageBytes(int side);

// Whole files. Each returns the bytes written, or 0 when the request is unknown or the buffer
// is too small (nothing useful is written then).
size_t BuildTileFile(int side, int offset, uint8_t* out, size_t capacity);  // .bmp
size_t BuildIconFile(uint8_t* out, size_t capacity);                        // .ico
size_t BuildSoundFile(int id, uint8_t* out, size_t capacity);  // .wav, SOUND_BASE + effect

// Little-endian writers shared by the file builders.
void Put16(uint8_t* p, uint32_t value);
void Put32(uint8_t* p, uint32_t value);

// The effects that have a WAVE resource (SOUND_BASE + effect), in ascending order.
constexpr int kSoundCount = 4;
extern const int kSoundEffects[kSoundCount];
