// draw.cpp: the grid drawn from the tile bitmaps in its three views, and the status-bar texts.
#include "ui/program.h"

#include <commctrl.h>
#include <cstdio>

#include "game/game.h"
#include "res/resource_ids.h"
#include "res/text.h"

int TileBitmapsSize;
HBITMAP TileStrip;

namespace {

// Indexed by the tile's offset minus 1.
HBITMAP TileBitmaps[TILE_COUNT];

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
// cyan there, so that no symbol runs into it.
constexpr DWORD kCursorRing = 0x000000;  // 0x00RRGGBB, as a true-colour bitmap holds them
constexpr DWORD kCursorFace = 0x00FFFF;
constexpr DWORD kTileFace = 0xC0C0C0;
constexpr int kLargestTile = 21;

// The tile's pixels from the strip, changed in a buffer of its own and copied out in one call:
// no bitmap is made or freed per drawing. (The strip was whole when made: the selections that
// ended its making flushed GDI's batch.)
void DrawCursor(HDC dc, int size) {
  DIBSECTION strip;
  if (size > kLargestTile || GetObject(TileStrip, sizeof strip, &strip) != sizeof strip) return;
  const int stride = strip.dsBm.bmWidth;
  const DWORD* tile = static_cast<const DWORD*>(strip.dsBm.bmBits) +
                      TileStripLeft(ShownTile(Cursor.column, Cursor.row), size);
  DWORD pixels[kLargestTile * kLargestTile];
  for (int i = 0; i < size * size; ++i) {
    const int x = i % size, y = i / size;
    const bool inside = x > 0 && y > 0 && x < size - 1 && y < size - 1;
    const DWORD* at = tile + y * stride + x;
    DWORD pixel = *at;
    if (inside && (x == 1 || y == 1 || x == size - 2 || y == size - 2)) {
      // The ring: black where the pixel inside it, toward the centre, is plain face.
      at += ((y == 1) - (y == size - 2)) * stride + (x == 1) - (x == size - 2);
      pixel = *at == kTileFace ? kCursorRing : kCursorFace;
    } else if (inside && pixel == kTileFace) {
      pixel = kCursorFace;
    }
    pixels[i] = pixel;
  }
  // The strip's own header, for one tile of it: 32 bits a pixel, rows from the top down.
  strip.dsBmih.biWidth = size;
  strip.dsBmih.biHeight = -size;
  const UINT side = static_cast<UINT>(size);
  SetDIBitsToDevice(dc, (Cursor.column - 1) * size, (Cursor.row - 1) * size, side, side, 0, 0, 0,
                    side, pixels, reinterpret_cast<BITMAPINFO*>(&strip.dsBmih), DIB_RGB_COLORS);
}

constexpr WORD kTrueColourBits = 32;

// The loaded tiles side by side in a new bitmap. A DIB section rather than a bitmap of the
// screen's format: selecting one then needs no check of its format against the display's,
// which costs a round trip to the server under Wine.
HBITMAP ComposeTileStrip(int size) {
  HBITMAP strip = CreateTrueColourBitmap(TILE_COUNT * size, size, NULL);
  HDC stripDc = CreateCompatibleDC(NULL);
  HDC tileDc = CreateCompatibleDC(NULL);
  HGDIOBJ stripOriginal = SelectObject(stripDc, strip);
  HGDIOBJ tileOriginal = SelectObject(tileDc, TileBitmaps[0]);
  for (int tile = 1; tile <= TILE_COUNT; ++tile) {
    SelectObject(tileDc, TileBitmaps[tile - 1]);
    BitBlt(stripDc, TileStripLeft(tile, size), 0, size, size, tileDc, 0, 0, SRCCOPY);
  }
  SelectObject(tileDc, tileOriginal);
  SelectObject(stripDc, stripOriginal);
  DeleteDC(tileDc);
  DeleteDC(stripDc);
  return strip;
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

// Every cell of the grid onto dc, column by column, then the counters. One memory context and
// one selection of the strip per call, each cell copied from its tile's place in the strip: a
// selection can cost far more than a copy (under Wine, a round trip to its server each).
void DrawGrid(HDC dc) {
  HDC tiles = CreateCompatibleDC(NULL);
  HGDIOBJ original = SelectObject(tiles, TileStrip);
  const View view = ViewOfState(GameState);
  const int size = Game.size;
  // The board holds at most kMaxGrid cells a side inside its border.
  const int columns = Game.columns < kMaxGrid ? Game.columns : kMaxGrid;
  const int rows = Game.rows < kMaxGrid ? Game.rows : kMaxGrid;
  PaintAroundGrid(dc, columns * size, rows * size);
  for (int column = 1; column <= columns; ++column) {
    for (int row = 1; row <= rows; ++row) {
      const int left = TileStripLeft(TileOfCell(Board[column][row], view), size);
      BitBlt(dc, (column - 1) * size, (row - 1) * size, size, size, tiles, left, 0, SRCCOPY);
    }
  }
  // The keyboard's cursor over the cells, whenever they are drawn.
  if (Cursor.shown && Cursor.column <= columns && Cursor.row <= rows) DrawCursor(dc, size);
  if (view == kCoveredView) GameState = GS_READY;
  ShowCounters();
  SelectObject(tiles, original);
  DeleteDC(tiles);
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
  int base;
  switch (size) {
    case 15: base = TILE_BASE_15; break;
    case 18: base = TILE_BASE_18; break;
    case 21: base = TILE_BASE_21; break;
    default: return;
  }
  for (int offset = 1; offset <= TILE_COUNT; ++offset) {
    HBITMAP bitmap = LoadBitmapA(Instance, MAKEINTRESOURCEA(base + offset));
    // Only the current size is ever drawn: let the old set go.
    if (TileBitmaps[offset - 1]) DeleteObject(TileBitmaps[offset - 1]);
    TileBitmaps[offset - 1] = bitmap;
  }
  if (TileStrip) DeleteObject(TileStrip);  // goes with the set it was made of
  TileStrip = ComposeTileStrip(size);
  TileBitmapsSize = size;
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
