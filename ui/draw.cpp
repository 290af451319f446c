// draw.cpp: the grid drawn from the tile bitmaps in its three views, and the status-bar texts.
#include "ui/program.h"

#include <commctrl.h>
#include <cstdio>
#include <cstring>

#include "game/game.h"
#include "res/resource_ids.h"
#include "res/text.h"

int TileBitmapsSize;
HBITMAP TileStrip;

namespace {

// The strip's pixels, rows from the top down: the tiles are copied from here.
const uint32_t* StripPixels;

enum View { kCoveredView, kPlayView, kSolutionView };

View ViewOfState(int32_t state) {
  if (state < GS_RUNNING) return kCoveredView;
  if (state == GS_OVER) return kSolutionView;
  return kPlayView;  // GS_RUNNING and GS_EXPLODED
}

// The tile offset that shows a cell value in a view. The covered view shows every cell
// covered; values the board never holds show covered too rather than some stray tile.
int TileOfCell(int value, View view) {
  if (view == kCoveredView) return TILE_COVERED;
  if (value >= 1 && value <= 8) return value;  // an uncovered number
  if (value == 0) return TILE_EMPTY;
  if (view == kPlayView) {
    if (value == kExplodedMine) return TILE_EXPLODED;
    if (IsFlagged(value)) return TILE_FLAG;  // a flag looks the same on any cell
    return TILE_COVERED;
  }
  // The solution view shows what lies under every cover and tells right flags from wrong.
  if (value == kFlaggedMine) return TILE_FLAG;
  if (IsFlagged(value) && HiddenCount(value + kFlag) >= 0) return TILE_WRONG_FLAG;
  if (value == kCoveredMine || value == kExplodedMine) return TILE_MINE;
  if (HiddenCount(value) == 0) return TILE_EMPTY;
  if (HiddenCount(value) > 0) return HiddenCount(value);  // numbers 1 to 8 are tiles 1 to 8
  return TILE_COVERED;
}

// The mine a hint showed, PackCell, while its note stands after the undos; 0 for none.
int HintMine;

void ShowCounters() {
  char text[2 * kTextBufferSize + 16];
  snprintf(text, sizeof text, "%s:%d", LoadText(IDS_MINES), Game.minesLeft);
  ShowStatusText(STATUS_MINES, text);
  // The note lasts, through any redraw, while the cursor shows on that mine, still covered, in
  // the game under way; once it goes, it is gone.
  const bool noted = HintMine != 0 && GameState == GS_RUNNING && Cursor.shown &&
                     HintMine == PackCell(Cursor.column, Cursor.row) &&
                     IsCovered(Board[Cursor.column][Cursor.row]);
  if (!noted) HintMine = 0;
  char note[kTextBufferSize];  // the LoadText below overwrites the note's buffer
  snprintf(note, sizeof note, "%s", noted ? LoadText(IDS_HINT_MINE) : "");
  snprintf(text, sizeof text, "%s:%d%s%s", LoadText(IDS_UNDOS), Game.undosLeft, noted ? "  " : "",
           note);
  ShowStatusText(STATUS_UNDOS, text);
}

// The keyboard's cursor: its tile drawn again with a black ring just inside the tile's edge and
// the face inside it in cyan, no tile's colour. The edge stays, so that the tile still shows
// raised when covered and sunken when not. Every symbol (digit, flag, mine, cross) lies further
// in than the ring and keeps all its pixels; where one reaches the ring, the ring gives way to
// cyan there, so that no symbol runs into it. Worked out on the art's pixels, then enlarged as the
// tiles are: on a display scaled up the ring is a factor of pixels thick.
constexpr DWORD kCursorRing = 0x000000;  // 0x00RRGGBB, as a true-colour bitmap holds them
constexpr DWORD kCursorFace = 0x00FFFF;
constexpr DWORD kTileFace = 0xC0C0C0;
constexpr int kLargestTile = 21;
uint32_t CursorPixels[kMaxTileSide * kMaxTileSide];  // the cursor's tile as the screen shows it

// The tile's pixels from the strip, changed in a buffer of its own and copied out in one call:
// no bitmap is made or freed per drawing. (The strip was whole when made: the selections that
// ended its making flushed GDI's batch.)
void DrawCursor(HDC dc) {
  const int size = Scale.art, factor = Scale.factor, side = Scale.tile;
  DIBSECTION strip;
  if (size > kLargestTile || side > kMaxTileSide ||
      GetObject(TileStrip, sizeof strip, &strip) != sizeof strip)
    return;
  const int stride = strip.dsBm.bmWidth;
  const uint32_t* tile = static_cast<const uint32_t*>(strip.dsBm.bmBits) +
                         TileStripLeft(ShownTile(Cursor.column, Cursor.row), side);
  // An art pixel, where the strip holds it enlarged: the corner of its block.
  const auto art = [&](int x, int y) { return tile[y * factor * stride + x * factor]; };
  uint32_t pixels[kLargestTile * kLargestTile];
  for (int i = 0; i < size * size; ++i) {
    const int x = i % size, y = i / size;
    const bool inside = x > 0 && y > 0 && x < size - 1 && y < size - 1;
    uint32_t pixel = art(x, y);
    if (inside && (x == 1 || y == 1 || x == size - 2 || y == size - 2)) {
      // The ring: black where the pixel inside it, toward the centre, is plain face.
      pixel = art(x + (x == 1) - (x == size - 2), y + (y == 1) - (y == size - 2)) == kTileFace
                  ? kCursorRing
                  : kCursorFace;
    } else if (inside && pixel == kTileFace) {
      pixel = kCursorFace;
    }
    pixels[i] = pixel;
  }
  EnlargePixels(pixels, size, size, factor, CursorPixels);
  // The strip's own header, for one tile of it: 32 bits a pixel, rows from the top down.
  strip.dsBmih.biWidth = side;
  strip.dsBmih.biHeight = -side;
  const UINT rows = static_cast<UINT>(side);
  SetDIBitsToDevice(dc, (Cursor.column - 1) * side, (Cursor.row - 1) * side, rows, rows, 0, 0, 0,
                    rows, CursorPixels, reinterpret_cast<BITMAPINFO*>(&strip.dsBmih),
                    DIB_RGB_COLORS);
}

constexpr WORD kTrueColourBits = 32;

// A bitmap resource of the program: its header and palette, then its pixels; null if missing.
const BITMAPINFO* BitmapResource(int id, const void** pixels) {
  HRSRC found = FindResourceA(Instance, MAKEINTRESOURCEA(id), RT_BITMAP);
  const BITMAPINFO* info =
      found != NULL ? static_cast<const BITMAPINFO*>(LockResource(LoadResource(Instance, found)))
                    : NULL;
  if (info == NULL) return NULL;
  const BITMAPINFOHEADER& header = info->bmiHeader;
  DWORD colours = header.biClrUsed;
  if (colours == 0 && header.biBitCount <= 8) colours = 1u << header.biBitCount;
  if (header.biCompression == BI_BITFIELDS) colours = 3;  // the three colour masks
  *pixels = reinterpret_cast<const BYTE*>(info) + header.biSize + colours * sizeof(RGBQUAD);
  return info;
}

// The fourteen tiles of one art size side by side in a new bitmap, each copied straight from its
// resource: no bitmap of the screen's format is made per tile, whose selection would cost a
// round trip to the server under Wine. A DIB section, whose own selection needs no such check.
// On a display scaled up, each pixel of the art then becomes a factor x factor block: enlarged
// here once, never per redraw.
HBITMAP ComposeTileStrip(int base, int art, int factor) {
  void* pixels = NULL;
  HBITMAP strip = CreateTrueColourBitmap(TILE_COUNT * art, art, &pixels);
  StripPixels = static_cast<const uint32_t*>(pixels);
  if (strip == NULL) return NULL;
  HDC stripDc = CreateCompatibleDC(NULL);
  HGDIOBJ original = SelectObject(stripDc, strip);
  for (int tile = 1; tile <= TILE_COUNT; ++tile) {
    const void* tilePixels = NULL;
    const BITMAPINFO* info = BitmapResource(base + tile, &tilePixels);
    if (info == NULL) continue;
    SetDIBitsToDevice(stripDc, TileStripLeft(tile, art), 0, static_cast<DWORD>(art),
                      static_cast<DWORD>(art), 0, 0, 0, static_cast<UINT>(art), tilePixels, info,
                      DIB_RGB_COLORS);
  }
  SelectObject(stripDc, original);
  DeleteDC(stripDc);
  if (factor == 1) return strip;
  GdiFlush();  // the copies above are in the strip's pixels
  HBITMAP enlarged = CreateTrueColourBitmap(TILE_COUNT * art * factor, art * factor, &pixels);
  if (enlarged != NULL) {
    EnlargePixels(StripPixels, TILE_COUNT * art, art, factor, static_cast<uint32_t*>(pixels));
  }
  StripPixels = static_cast<const uint32_t*>(pixels);
  DeleteObject(strip);
  return enlarged;
}

// The client area outside the grid and above the status bar, in the button face: the class has
// no background brush, so nothing else paints it (black at first, old tiles after the grid
// shrinks). Only around the tiles, never under them, so that a redraw does not flicker.
void PaintAroundGrid(HDC dc, int gridWidth, int gridHeight) {
  HWND window = WindowFromDC(dc);
  RECT client;
  if (window == NULL || !GetClientRect(window, &client)) return;
  RECT bar;
  if (StatusBar != NULL && GetWindowRect(StatusBar, &bar)) {
    MapWindowPoints(NULL, window, reinterpret_cast<POINT*>(&bar), 2);
    client.bottom = bar.top;  // the status bar draws itself
  }
  const RECT right = {gridWidth, 0, client.right, client.bottom};
  const RECT below = {0, gridHeight, gridWidth, client.bottom};
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  FillRect(dc, &right, face);  // an empty rectangle fills nothing
  FillRect(dc, &below, face);
}

// The grid as last drawn, kept off the screen between redraws: a redraw copies into it only the
// cells whose tile changed, then puts it on the window in one blit. Each copy to a window costs
// Wine a lock of the window's surface and more; into this image a copy is a few rows of memory.
// Made again whenever the grid or the side of a tile changes; new tiles make every cell stale.
struct GridImage {
  HDC dc;  // holds the bitmap for as long as both live
  HBITMAP bitmap;
  HGDIOBJ original;
  uint32_t* pixels;  // rows from the top down
  int columns;
  int rows;
  int side;
  int8_t shown[kMaxGrid][kMaxGrid];  // [column - 1][row - 1]: the tile offset there, 0 when stale
  int framedColumn;                  // the cell under the cursor's frame, 0 when none is drawn
  int framedRow;
};
GridImage Image;

void ReleaseImage() {
  if (Image.dc != NULL) {
    SelectObject(Image.dc, Image.original);
    DeleteDC(Image.dc);
  }
  if (Image.bitmap != NULL) DeleteObject(Image.bitmap);
  memset(&Image, 0, sizeof Image);
}

// The image made for this grid and side, every cell stale; false when it cannot be made.
bool FitImage(int columns, int rows, int side) {
  if (Image.dc != NULL && Image.columns == columns && Image.rows == rows && Image.side == side)
    return true;
  ReleaseImage();
  void* pixels = NULL;
  Image.bitmap = CreateTrueColourBitmap(columns * side, rows * side, &pixels);
  Image.dc = Image.bitmap != NULL ? CreateCompatibleDC(NULL) : NULL;
  if (Image.dc == NULL) {
    ReleaseImage();
    return false;
  }
  Image.original = SelectObject(Image.dc, Image.bitmap);
  Image.pixels = static_cast<uint32_t*>(pixels);
  Image.columns = columns;
  Image.rows = rows;
  Image.side = side;
  return true;
}

// One tile from the strip into the image, row by row: both are 32-bit pixels from the top down.
void CopyTile(int column, int row, int tile) {
  const int side = Image.side;
  const size_t imageWidth = static_cast<size_t>(Image.columns * side);
  const size_t stripWidth = static_cast<size_t>(TILE_COUNT * side);
  const uint32_t* from = StripPixels + TileStripLeft(tile, side);
  uint32_t* to = Image.pixels + static_cast<size_t>((row - 1) * side) * imageWidth +
                 static_cast<size_t>((column - 1) * side);
  for (int y = 0; y < side; ++y, from += stripWidth, to += imageWidth)
    memcpy(to, from, static_cast<size_t>(side) * sizeof *to);
}

// The grid onto dc from its image, then the counters.
void DrawGrid(HDC dc) {
  const View view = ViewOfState(GameState);
  HDC image = ComposeGrid();
  PaintAroundGrid(dc, Image.columns * Image.side, Image.rows * Image.side);
  if (image != NULL)
    BitBlt(dc, 0, 0, Image.columns * Image.side, Image.rows * Image.side, image, 0, 0, SRCCOPY);
  if (view == kCoveredView) GameState = GS_READY;
  ShowCounters();
}

}  // namespace

int ShownTile(int column, int row) {
  return TileOfCell(Board[column][row], ViewOfState(GameState));
}

HBITMAP CreateTrueColourBitmap(int width, int height, void** bits) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // rows from the top down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = kTrueColourBits;
  info.bmiHeader.biCompression = BI_RGB;
  void* ignored = NULL;
  return CreateDIBSection(NULL, &info, DIB_RGB_COLORS, bits != NULL ? bits : &ignored, NULL, 0);
}

void LoadTileBitmaps(int size) {
  if (!IsValidSize(size)) return;
  // The art that fills a tile at the window's DPI: at 96 DPI, that of the size itself.
  Scale = ChooseTileScale(size, Scale.dpi);
  int base;
  switch (Scale.art) {
    case 15: base = TILE_BASE_15; break;
    case 18: base = TILE_BASE_18; break;
    default: base = TILE_BASE_21; break;
  }
  // Only the current size is ever drawn: the old strip goes.
  if (TileStrip) DeleteObject(TileStrip);
  TileStrip = ComposeTileStrip(base, Scale.art, Scale.factor);
  TileBitmapsSize = size;
  ForgetComposedGrid();  // the image's cells came from the old strip
}

HDC ComposeGrid() {
  const int side = Scale.tile;  // the tiles as the screen shows them
  // The board holds at most kMaxGrid cells a side inside its border.
  const int columns = Game.columns < kMaxGrid ? Game.columns : kMaxGrid;
  const int rows = Game.rows < kMaxGrid ? Game.rows : kMaxGrid;
  if (StripPixels == NULL || !FitImage(columns, rows, side)) return NULL;
  const View view = ViewOfState(GameState);
  GdiFlush();  // the frame drawn last time is in the pixels before any is overwritten
  if (Image.framedColumn != 0) Image.shown[Image.framedColumn - 1][Image.framedRow - 1] = 0;
  Image.framedColumn = Image.framedRow = 0;
  for (int column = 1; column <= columns; ++column) {
    for (int row = 1; row <= rows; ++row) {
      const int tile = TileOfCell(Board[column][row], view);
      if (Image.shown[column - 1][row - 1] == tile) continue;
      CopyTile(column, row, tile);
      Image.shown[column - 1][row - 1] = static_cast<int8_t>(tile);
    }
  }
  // The keyboard's cursor over the cells, whenever they are drawn.
  if (Cursor.shown && Cursor.column <= columns && Cursor.row <= rows) {
    DrawCursor(Image.dc);
    Image.framedColumn = Cursor.column;
    Image.framedRow = Cursor.row;
  }
  return Image.dc;
}

void ForgetComposedGrid() {
  memset(Image.shown, 0, sizeof Image.shown);
}

void RedrawBoard(HWND window) {
  if (!window) return;  // the main window is closed; a null window would be the whole screen
  HDC dc = GetDC(window);
  DrawGrid(dc);
  ReleaseDC(window, dc);
}

void PaintBoard(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  DrawGrid(dc);
  EndPaint(window, &paint);
}

void NoteHintMine() {
  HintMine = PackCell(Cursor.column, Cursor.row);
  ShowCounters();
}

void ShowStatusText(int part, const char* text) {
  if (StatusBar) {
    SendMessageA(StatusBar, SB_SETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
  }
}
