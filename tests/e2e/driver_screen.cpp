// driver_screen.cpp: the pixels of the screen: the grid against the program's own tiles, a
// window's picture, and a screenshot at each failing test.
#include "tests/e2e/driver_internal.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace e2e {
using namespace internal;

namespace {
// Pixels of a device context's rectangle, top-down, as 0x00RRGGBB (a 32-bit DIB's order).
std::vector<DWORD> Pixels(HDC source, int x, int y, int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (section == nullptr) return {};
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(memory, section);
  bool copied = BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY) != 0;
  GdiFlush();
  std::vector<DWORD> pixels;
  if (copied) {
    const DWORD* first = static_cast<const DWORD*>(bits);
    pixels.assign(first, first + static_cast<size_t>(width) * static_cast<size_t>(height));
  }
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(section);
  return pixels;
}

}  // namespace

// Which tile shows a cell value in each view.
int TileFor(int value, View view) {
  if (view == kCoveredView) return TILE_COVERED;
  if (value >= 1 && value <= 8) return value;
  if (value == 0) return TILE_EMPTY;
  if (view == kPlayView)
    return value <= -17 ? TILE_FLAG : value == 15 ? TILE_EXPLODED : TILE_COVERED;
  if (value == kFlaggedMine) return TILE_FLAG;
  if (value <= -17) return TILE_WRONG_FLAG;
  if (value == kCoveredMine || value == kExplodedMine) return TILE_MINE;
  return value == -1 ? TILE_EMPTY : -1 - value;  // a covered number
}

::testing::AssertionResult GridShows(const Session& session, View view, bool withCursor) {
  Snapshot s;
  if (!ReadSnapshot(session, &s)) return ::testing::AssertionFailure() << "no memory";
  CursorRecord cursor = {};  // without it, in no cell
  if (withCursor && (!ReadSymbol(session, "_Cursor", &cursor, sizeof cursor) || !cursor.shown))
    return ::testing::AssertionFailure() << "no cursor shown";
  // The fourteen tiles of the art the screen shows, from the program's own resources.
  const int size = session.art > 0 ? session.art : s.game.size;
  const int factor = session.factor, tile = size * factor;
  std::vector<DWORD> tiles[TILE_COUNT + 1];
  HMODULE exe = LoadLibraryExA(ProgramPath(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HDC memory = CreateCompatibleDC(nullptr);
  const int base = size == 15 ? TILE_BASE_15 : size == 18 ? TILE_BASE_18 : TILE_BASE_21;
  for (int offset = 1; exe != nullptr && offset <= TILE_COUNT; ++offset) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(exe, MAKEINTRESOURCEA(base + offset), IMAGE_BITMAP, 0, 0, 0));
    if (bitmap == nullptr) continue;
    HGDIOBJ old = SelectObject(memory, bitmap);
    tiles[offset] = Pixels(memory, 0, 0, size, size);
    SelectObject(memory, old);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  if (exe != nullptr) FreeLibrary(exe);
  POINT origin = {0, 0};
  ClientToScreen(session.window, &origin);
  HDC screenDc = GetDC(nullptr);
  const int width = s.game.columns * tile;
  std::vector<DWORD> screen = Pixels(screenDc, origin.x, origin.y, width, s.game.rows * tile);
  ReleaseDC(nullptr, screenDc);
  if (screen.empty()) return ::testing::AssertionFailure() << "no capture";
  const DWORD face =
      tiles[TILE_EMPTY].empty() ? 0 : tiles[TILE_EMPTY][static_cast<size_t>(size + 1)];
  for (int c = 1; c <= s.game.columns; ++c) {
    for (int r = 1; r <= s.game.rows; ++r) {
      const int shown = TileFor(s.board[c][r], view);
      if (tiles[shown].empty()) return ::testing::AssertionFailure() << "no tile " << shown;
      const auto art = [&](int x, int y) {
        return tiles[shown][static_cast<size_t>(y * size + x)];
      };
      const auto edge = [&](int x, int y) {
        return std::min(std::min(x, y), std::min(size - 1 - x, size - 1 - y));
      };
      const auto symbol = [&](int x, int y) { return edge(x, y) >= 2 && art(x, y) != face; };
      for (int y = 0; y < tile; ++y) {
        for (int x = 0; x < tile; ++x) {
          const DWORD seen =
              screen[static_cast<size_t>(((r - 1) * tile + y) * width + (c - 1) * tile + x)];
          // The art's pixel that this screen pixel enlarges.
          const int artX = x / factor, artY = y / factor;
          const DWORD drawn = art(artX, artY);
          // Under the cursor the edge and the tile's symbol (what it draws other than face inside
          // the ring's place) stay; every other pixel changes, to no colour of a symbol pixel
          // beside it.
          bool shows = seen == drawn;
          if (c == cursor.column && r == cursor.row && edge(artX, artY) >= 1 &&
              !symbol(artX, artY)) {
            shows = seen != drawn;
            for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
              shows = shows && !(symbol(artX + dx, artY + dy) && art(artX + dx, artY + dy) == seen);
          }
          if (!shows) {
            return ::testing::AssertionFailure()
                   << "cell (" << c << ", " << r << ") value " << +s.board[c][r]
                   << " should show tile " << shown << ": pixel (" << x << ", " << y << ") is "
                   << std::hex << seen << " instead of " << drawn;
          }
        }
      }
    }
  }
  return ::testing::AssertionSuccess();
}

// A rectangle of the screen (the Wine virtual desktop).
std::vector<DWORD> ScreenPixels(int x, int y, int width, int height) {
  HDC screen = GetDC(nullptr);
  std::vector<DWORD> pixels = Pixels(screen, x, y, width, height);
  ReleaseDC(nullptr, screen);
  return pixels;
}

namespace {

// Pixels as a 32-bit top-down .bmp.
bool SaveBitmap(const char* path, std::vector<DWORD> pixels, int width, int height) {
  for (DWORD& pixel : pixels) pixel |= 0xFF000000;  // opaque for viewers that read alpha
  FILE* file = pixels.empty() ? nullptr : fopen(path, "wb");
  if (file == nullptr) return false;
  BITMAPINFOHEADER info = {sizeof info, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  BITMAPFILEHEADER header = {0x4D42, 0, 0, 0, sizeof header + sizeof info};
  header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels.size() * 4);
  bool saved = fwrite(&header, sizeof header, 1, file) == 1 &&
               fwrite(&info, sizeof info, 1, file) == 1 &&
               fwrite(pixels.data(), 4, pixels.size(), file) == pixels.size();
  return fclose(file) == 0 && saved;
}

bool SaveScreenshot(const char* path) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  return SaveBitmap(path, ScreenPixels(0, 0, width, height), width, height);
}

// Saves the screen once per failing test and says where.
struct ScreenshotOnFailure : ::testing::EmptyTestEventListener {
  bool taken = false;
  void OnTestStart(const ::testing::TestInfo&) override {
    taken = false;
    // A screen from an earlier failing run would mislead.
    char path[MAX_PATH];
    PathOfTest(path, sizeof path, ".fail.bmp");
    DeleteFileA(path);
  }
  void OnTestPartResult(const ::testing::TestPartResult& result) override {
    if (!result.failed() || taken) return;
    taken = true;
    char path[MAX_PATH];
    PathOfTest(path, sizeof path, ".fail.bmp");
    CreateDirectoryA(WorkRoot(), nullptr);
    printf(SaveScreenshot(path) ? "e2e: screen at the failure saved to %s\n"
                                : "e2e: could not save the screen to %s\n",
           path);
  }
};
}  // namespace

bool SaveWindowPicture(HWND window, const char* path) {
  RECT r;
  if (!GetWindowRect(window, &r)) return false;
  const int width = r.right - r.left, height = r.bottom - r.top;
  // Painted now, then taken once the screen has shown the same for 200 ms: Wine copies a
  // window's drawing to the screen a little later.
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  std::vector<DWORD> last;
  DWORD since = GetTickCount();
  const bool steady = WaitUntil([&] {
    std::vector<DWORD> now = ScreenPixels(r.left, r.top, width, height);
    if (now.empty() || now != last) since = GetTickCount();
    last.swap(now);
    return GetTickCount() - since >= 200;
  });
  return steady && SaveBitmap(path, last, width, height);
}

::testing::AssertionResult AroundGridShows(const Session& session, COLORREF colour) {
  const GameRecord game = Read<GameRecord>(session, "_Game");
  RECT client, bar;
  HWND statusBar = GetDlgItem(session.window, IDC_STATUS_BAR);
  if (!GetClientRect(session.window, &client) || !GetWindowRect(statusBar, &bar))
    return ::testing::AssertionFailure() << "no window or status bar";
  MapWindowPoints(nullptr, session.window, reinterpret_cast<POINT*>(&bar), 2);
  const int width = client.right, height = bar.top;
  const int gridWidth = game.columns * ScreenTile(session, game);
  const int gridHeight = game.rows * ScreenTile(session, game);
  if (height <= gridHeight && width <= gridWidth)
    return ::testing::AssertionFailure() << "the grid fills the whole area above the status bar";
  POINT origin = {0, 0};
  ClientToScreen(session.window, &origin);
  const std::vector<DWORD> screen = ScreenPixels(origin.x, origin.y, width, height);
  if (screen.empty()) return ::testing::AssertionFailure() << "no capture";
  const DWORD wanted = static_cast<DWORD>(GetRValue(colour)) << 16 |
                       static_cast<DWORD>(GetGValue(colour)) << 8 | GetBValue(colour);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const DWORD seen = screen[static_cast<size_t>(y * width + x)];
      if ((x >= gridWidth || y >= gridHeight) && seen != wanted) {
        return ::testing::AssertionFailure()
               << "client pixel (" << x << ", " << y << ") is " << std::hex << seen;
      }
    }
  }
  return ::testing::AssertionSuccess();
}

void InstallFailureScreenshots() {
  ::testing::UnitTest::GetInstance()->listeners().Append(new ScreenshotOnFailure);
}

}  // namespace e2e
