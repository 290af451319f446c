// main.cpp: assetgen writes the icon, tiles and sounds into a folder with art.rc, the lines of
// the resource script that name them, and on request a contact sheet of the art enlarged for a
// person to look at.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/assetgen/art.h"

namespace {

// `head` (text) then `count` bytes into a new file at `path`.
bool WriteFile(const char* path, const char* head, const void* bytes, size_t count) {
  FILE* file = fopen(path, "wb");
  if (file == nullptr) {
    fprintf(stderr, "assetgen: cannot write %s: %s\n", path, strerror(errno));
    return false;
  }
  const bool written = fputs(head, file) >= 0 && fwrite(bytes, 1, count, file) == count;
  const bool closed = fclose(file) == 0;
  if (!written || !closed) {
    fprintf(stderr, "assetgen: failed writing %s\n", path);
    return false;
  }
  return true;
}

bool WriteInFolder(const char* folder, const char* name, const void* bytes, size_t count) {
  char path[1024];
  if (snprintf(path, sizeof path, "%s/%s", folder, name) >= static_cast<int>(sizeof path)) {
    fprintf(stderr, "assetgen: path too long: %s/%s\n", folder, name);
    return false;
  }
  return WriteFile(path, "", bytes, count);
}

// One art file of `count` bytes (0: it could not be built), and its line in the script.
bool WriteResource(const char* folder, int id, const char* type, const char* name,
                   const uint8_t* bytes, size_t count, std::string* script) {
  if (count == 0 || !WriteInFolder(folder, name, bytes, count)) return false;
  char line[64];
  snprintf(line, sizeof line, "%d %s \"%s\"\n", id, type, name);
  *script += line;
  return true;
}

bool WriteAssets(const char* folder) {
  if (mkdir(folder, 0777) != 0 && errno != EEXIST) {
    fprintf(stderr, "assetgen: cannot create %s: %s\n", folder, strerror(errno));
    return false;
  }
  uint8_t bytes[kMaxAssetFileBytes];
  char name[32];
  std::string script = "/* art.rc: the icon, tiles and sounds, written by assetgen with them. */\n";
  size_t count = BuildIconFile(bytes, sizeof bytes);
  if (!WriteResource(folder, IDI_TORVANE, "ICON", "torvane.ico", bytes, count, &script))
    return false;
  for (int side : kTileSides) {
    for (int offset = 1; offset <= TILE_COUNT; ++offset) {
      const int id = TileIdBase(side) + offset;
      snprintf(name, sizeof name, "tile%d.bmp", id);
      count = BuildTileFile(side, offset, bytes, sizeof bytes);
      if (!WriteResource(folder, id, "BITMAP", name, bytes, count, &script)) return false;
    }
  }
  for (int effect : kSoundEffects) {
    const int id = SOUND_BASE + effect;
    snprintf(name, sizeof name, "sound%d.wav", id);
    count = BuildSoundFile(id, bytes, sizeof bytes);
    if (!WriteResource(folder, id, "WAVE", name, bytes, count, &script)) return false;
  }
  // Written last, so that the build may take the script's date for that of all the art.
  return WriteInFolder(folder, "art.rc", script.data(), script.size());
}

// The contact sheet: each size as a row of tiles four times enlarged, under it the same tiles
// at their true size side by side as on a board, and the icon enlarged and true size.
constexpr int kScale = 4;
constexpr int kMargin = 16;
constexpr int kGap = 8;
constexpr int kSheetWidth = 2 * kMargin + TILE_COUNT * (kMaxTileSide * kScale + kGap) - kGap;
constexpr int kSheetHeight =
    2 * kMargin + 3 * (kMaxTileSide * kScale + kGap + kMaxTileSide + 2 * kGap) + kIconSide * kScale;
constexpr uint8_t kBackground[3] = {0x2E, 0x34, 0x40};
uint8_t Sheet[kSheetHeight][kSheetWidth][3];

void Blit(const uint8_t* pixels, int side, int scale, int left, int top) {
  for (int y = 0; y < side * scale; ++y) {
    for (int x = 0; x < side * scale; ++x) {
      memcpy(Sheet[top + y][left + x], kArtPalette[pixels[(y / scale) * side + x / scale]], 3);
    }
  }
}

bool WriteContactSheet(const char* path) {
  for (auto& row : Sheet) {
    for (auto& pixel : row) memcpy(pixel, kBackground, 3);
  }
  uint8_t pixels[kIconSide * kIconSide];
  int top = kMargin;
  for (int side : kTileSides) {
    for (int offset = 1; offset <= TILE_COUNT; ++offset) {
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

  char head[32];
  snprintf(head, sizeof head, "P6\n%d %d\n255\n", kSheetWidth, height);
  return WriteFile(path, head, Sheet, static_cast<size_t>(kSheetWidth * 3 * height));
}

int Usage() {
  fprintf(stderr,
          "usage: assetgen [OUTPUT_FOLDER] [--contact-sheet FILE.ppm]\n"
          "Writes the tiles, the icon and the sounds into the folder with art.rc, the lines of\n"
          "the resource script that name them, and an enlarged picture of every tile and the\n"
          "icon as a binary PPM.\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const char* folder = nullptr;
  const char* sheetPath = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--contact-sheet") == 0 && i + 1 < argc) {
      sheetPath = argv[++i];
    } else if (argv[i][0] != '-' && folder == nullptr) {
      folder = argv[i];
    } else {
      return Usage();
    }
  }
  if (folder == nullptr && sheetPath == nullptr) return Usage();
  if (folder != nullptr && !WriteAssets(folder)) return 1;
  if (sheetPath != nullptr && !WriteContactSheet(sheetPath)) return 1;
  return 0;
}
