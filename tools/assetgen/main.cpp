// main.cpp: assetgen writes the tiles, icon and sounds into a folder, and on request a contact
// sheet of the art enlarged for a person to look at.
#include "tools/assetgen/art.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

namespace {

int WriteFile(const char* folder, const char* name, const unsigned char* bytes, size_t count) {
  char path[1024];
  if (snprintf(path, sizeof path, "%s/%s", folder, name) >= (int)sizeof path) {
    fprintf(stderr, "assetgen: path too long: %s/%s\n", folder, name);
    return 0;
  }
  FILE* file = fopen(path, "wb");
  if (file == nullptr) {
    fprintf(stderr, "assetgen: cannot write %s: %s\n", path, strerror(errno));
    return 0;
  }
  const bool written = count == 0 || fwrite(bytes, 1, count, file) == count;
  const bool closed = fclose(file) == 0;
  if (!written || !closed) {
    fprintf(stderr, "assetgen: failed writing %s\n", path);
    return 0;
  }
  return 1;
}

int WriteAssets(const char* folder) {
  if (mkdir(folder, 0777) != 0 && errno != EEXIST) {
    fprintf(stderr, "assetgen: cannot create %s: %s\n", folder, strerror(errno));
    return 0;
  }
  unsigned char bytes[kMaxAssetFileBytes];
  char name[32];
  for (int side : kTileSides) {
    for (int offset = 1; offset <= kTileOffsetCount; ++offset) {
      const size_t count = BuildTileFile(side, offset, bytes, sizeof bytes);
      snprintf(name, sizeof name, "tile%d.bmp", TileIdBase(side) + offset);
      if (count == 0 || !WriteFile(folder, name, bytes, count)) return 0;
    }
  }
  const size_t icon = BuildIconFile(bytes, sizeof bytes);
  if (icon == 0 || !WriteFile(folder, "torvane.ico", bytes, icon)) return 0;
  for (int id : kSoundIds) {
    const size_t count = BuildSoundFile(id, bytes, sizeof bytes);
    snprintf(name, sizeof name, "sound%d.wav", id);
    if (count == 0 || !WriteFile(folder, name, bytes, count)) return 0;
  }
  return 1;
}

// The contact sheet: each size as a row of tiles four times enlarged, under it the same tiles
// at their true size side by side as on a board, and the icon enlarged and true size.
const int kScale = 4;
const int kMargin = 16;
const int kGap = 8;
const int kSheetWidth = 2 * kMargin + kTileOffsetCount * (kMaxTileSide * kScale + kGap) - kGap;
const int kSheetHeight =
    2 * kMargin + 3 * (kMaxTileSide * kScale + kGap + kMaxTileSide + 2 * kGap) + kIconSide * kScale;
unsigned char sheet[kSheetHeight][kSheetWidth][3];

void Blit(const unsigned char* pixels, int side, int scale, int left, int top) {
  for (int y = 0; y < side * scale; ++y) {
    for (int x = 0; x < side * scale; ++x) {
      memcpy(sheet[top + y][left + x], kArtPalette[pixels[(y / scale) * side + x / scale]], 3);
    }
  }
}

int WriteContactSheet(const char* path) {
  for (auto& row : sheet) {
    for (auto& pixel : row) {
      pixel[0] = 0x2E, pixel[1] = 0x34, pixel[2] = 0x40;
    }
  }
  unsigned char pixels[kIconSide * kIconSide];
  int top = kMargin;
  for (int side : kTileSides) {
    for (int offset = 1; offset <= kTileOffsetCount; ++offset) {
      DrawTile(side, offset, pixels);
      const int column = offset - 1;
      Blit(pixels, side, kScale, kMargin + column * (kMaxTileSide * kScale + kGap), top);
      Blit(pixels, side, 1, kMargin + column * side, top + side * kScale + kGap);
    }
    top += side * kScale + kGap + side + 2 * kGap;
  }
  DrawIcon(pixels);
  Blit(pixels, kIconSide, kScale, kMargin, top);
  Blit(pixels, kIconSide, 1, kMargin + kIconSide * kScale + kGap, top);
  const int height = top + kIconSide * kScale + kMargin;

  FILE* file = fopen(path, "wb");
  if (file == nullptr) {
    fprintf(stderr, "assetgen: cannot write %s: %s\n", path, strerror(errno));
    return 0;
  }
  fprintf(file, "P6\n%d %d\n255\n", kSheetWidth, height);
  const size_t bytes = (size_t)kSheetWidth * 3 * height;
  const bool written = fwrite(sheet, 1, bytes, file) == bytes;
  if (fclose(file) != 0 || !written) {
    fprintf(stderr, "assetgen: failed writing %s\n", path);
    return 0;
  }
  return 1;
}

int Usage() {
  fprintf(stderr,
          "usage: assetgen [OUTPUT_FOLDER] [--contact-sheet FILE.ppm]\n"
          "Writes tile101.bmp..tile314.bmp, torvane.ico and sound3031..3035.wav into the\n"
          "folder, and an enlarged picture of every tile and the icon as a binary PPM.\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const char* folder = nullptr;
  const char* sheet_path = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--contact-sheet") == 0 && i + 1 < argc) {
      sheet_path = argv[++i];
    } else if (argv[i][0] != '-' && folder == nullptr) {
      folder = argv[i];
    } else {
      return Usage();
    }
  }
  if (folder == nullptr && sheet_path == nullptr) return Usage();
  if (folder != nullptr && !WriteAssets(folder)) return 1;
  if (sheet_path != nullptr && !WriteContactSheet(sheet_path)) return 1;
  return 0;
}
