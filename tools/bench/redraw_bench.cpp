// redraw_bench.cpp: times the program's own RedrawBoard beside one blit of the whole grid.
// A 30 x 30 grid of 21-pixel tiles in the solution view, beside one BitBlt of the same
// 630 x 630 image into the same window; a move of the keyboard's cursor beside the redraw; then
// what a redraw is made of (composing the grid's off-screen image, its one blit), the former
// drawing straight into the window, and the loading of the tiles with their strip. Given a DPI
// (its second argument), the same at that display scale: at 192, tiles of 42 pixels, 1260 x 1260.
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/game.h"
#include "res/resource_ids.h"
#include "res/text.h"
#include "ui/program.h"
#include "tools/bench/milliseconds.h"

namespace {

constexpr int kSide = 30;
constexpr int kSize = 21;  // the tile size of the settings
// On the screen, at the DPI benched: the tiles' side (the size at 96 DPI) and the grid's.
int TileSide = kSize;
int ImageSide = kSide * kSize;
constexpr int kDefaultRounds = 200;
constexpr int kMaxRounds = 2000;
// The goal: a redraw close to one blit of the whole image, and well inside a 60 Hz frame.
constexpr double kGoalMs = 2.0;
constexpr double kGoalBlits = 2.0;
// A cursor move redraws the grid once, with the cursor's frame: no more than one redraw, give or
// take the frame and the spread of two medians (a second redraw would show as 2x).
constexpr double kGoalMoveRedraws = 1.1;
// The build this bench belongs to: both are timed in one run of scripts/bench.sh.
constexpr const char* kBuild = sizeof(void*) == 8 ? "x86-64 build" : "PE32";

// Lets the window handle what the last round queued (painting, Wine's flush of the window to
// the display), outside the timed part, as the program's message loop does between moves.
void DrainMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

int CompareDoubles(const void* a, const void* b) {
  double x = *static_cast<const double*>(a);
  double y = *static_cast<const double*>(b);
  return x < y ? -1 : x > y ? 1 : 0;
}

struct Timing {
  double median;
  double fastest;
  double slowest;
};

Timing Summarise(double* values, int count) {
  qsort(values, static_cast<size_t>(count), sizeof *values, CompareDoubles);
  Timing timing;
  timing.median = count % 2 ? values[count / 2] : (values[count / 2 - 1] + values[count / 2]) / 2;
  timing.fastest = values[0];
  timing.slowest = values[count - 1];
  return timing;
}

void PrintTiming(const char* what, Timing timing) {
  printf("%-46s %9.3f ms %9.3f ms %9.3f ms\n", what, timing.median, timing.fastest, timing.slowest);
}

HWND CreateBenchWindow() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = Instance;
  windowClass.lpszClassName = "TORVANE_BENCH_REDRAW";
  RegisterClassA(&windowClass);
  // The program's own outer size for this grid, less the menu bar that this window lacks.
  int width = ImageSide + 6;
  int height = GetSystemMetrics(SM_CYCAPTION) + ImageSide + 28;
  HWND window = CreateWindowExA(0, windowClass.lpszClassName, "Torvane redraw bench",
                                WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, width,
                                height, nullptr, nullptr, Instance, nullptr);
  if (window == nullptr) return nullptr;
  StatusBar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | WS_BORDER, "", window, IDC_STATUS_BAR);
  int edges[kStatusParts];
  memcpy(edges, kStatusPartEdges, sizeof edges);
  SendMessageA(StatusBar, SB_SETPARTS, kStatusParts, reinterpret_cast<LPARAM>(edges));
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  DrainMessages();
  return window;
}

// A dealt 30 x 30 hard game, shown in the solution view: every cell is drawn from its own
// tile (mines, numbers, empties), as after See solution.
void DealSolutionView() {
  Settings.grid = kSide;
  Settings.ratio = 4;
  Settings.size = kSize;
  Settings.sound = 0;
  LanguageOffset = 1000;
  DealBoardWithSeed(1);
  EncodeNeighbours();
  GameState = GS_OVER;
}

bool ClientFitsGrid(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  return client.right >= ImageSide && client.bottom >= ImageSide;
}

// A 32-bit top-down copy of a rectangle of dc, for comparing what was drawn.
HBITMAP CopyPixels(HDC dc, int x, int y, int width, int height, uint32_t** pixels) {
  void* bits = nullptr;
  HBITMAP copy = CreateTrueColourBitmap(width, height, &bits);
  if (copy == nullptr) return nullptr;
  HDC copyDc = CreateCompatibleDC(dc);
  HGDIOBJ original = SelectObject(copyDc, copy);
  BitBlt(copyDc, 0, 0, width, height, dc, x, y, SRCCOPY);
  GdiFlush();
  SelectObject(copyDc, original);
  DeleteDC(copyDc);
  *pixels = static_cast<uint32_t*>(bits);
  return copy;
}

// The tile offset shown by each cell, in the order RedrawBoard visits them (column by column).
int CellTiles[kSide * kSide];

// Proof that the timed redraw really draws the solution view: every cell of the window holds
// one of the tiles, and the mine tile stands on exactly the dealt mines. Keeps each cell's tile
// in CellTiles and returns the number of mismatching cells.
int CheckSolutionDrawn(HWND window, HBITMAP* tiles) {
  uint32_t* tilePixels[TILE_COUNT];
  HBITMAP tileCopies[TILE_COUNT];
  HDC tileDc = CreateCompatibleDC(nullptr);
  HGDIOBJ original = SelectObject(tileDc, tiles[0]);
  for (int t = 0; t < TILE_COUNT; ++t) {
    SelectObject(tileDc, tiles[t]);
    tileCopies[t] = CopyPixels(tileDc, 0, 0, kSize, kSize, &tilePixels[t]);
  }
  SelectObject(tileDc, original);
  DeleteDC(tileDc);
  HDC dc = GetDC(window);
  uint32_t* gridPixels = nullptr;
  HBITMAP grid = CopyPixels(dc, 0, 0, ImageSide, ImageSide, &gridPixels);
  ReleaseDC(window, dc);

  // Each pixel of the art a factor x factor block on the screen.
  const int factor = TileSide / kSize;
  int wrong = 0;
  for (int column = 1; column <= kSide; ++column)
    for (int row = 1; row <= kSide; ++row) {
      int found = 0;
      for (int t = 1; t <= TILE_COUNT && found == 0; ++t) {
        bool same = true;
        for (int y = 0; y < TileSide && same; ++y)
          for (int x = 0; x < TileSide && same; ++x)
            same =
                gridPixels[((row - 1) * TileSide + y) * ImageSide + (column - 1) * TileSide + x] ==
                tilePixels[t - 1][y / factor * kSize + x / factor];
        if (same) found = t;
      }
      bool mine = Board[column][row] == kCoveredMine;
      if (found == 0 || found == TILE_COVERED || (found == TILE_MINE) != mine) ++wrong;
      CellTiles[(column - 1) * kSide + row - 1] = found == 0 ? TILE_COVERED : found;
    }
  DeleteObject(grid);
  for (HBITMAP copy : tileCopies) DeleteObject(copy);
  return wrong;
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? atoi(argv[1]) : kDefaultRounds;
  if (rounds < 1 || rounds > kMaxRounds) rounds = kDefaultRounds;
  // The program's own scale for that DPI, as its window would get it.
  Scale.dpi = argc > 2 ? atoi(argv[2]) : kDefaultDpi;
  const TileScale scale = ChooseTileScale(kSize, Scale.dpi);
  if (scale.art != kSize) {
    fprintf(stderr, "redraw: at %d DPI the tiles are not the 21-pixel art enlarged\n", scale.dpi);
    return 1;
  }
  TileSide = scale.tile;
  ImageSide = kSide * TileSide;
  InitCommonControls();

  Instance = GetModuleHandleA(nullptr);
  HWND window = CreateBenchWindow();
  if (window == nullptr) {
    fprintf(stderr, "redraw: cannot create the window\n");
    return 1;
  }
  MainWindow = window;
  if (!ClientFitsGrid(window)) {
    fprintf(stderr, "redraw: the client area is under %d x %d\n", ImageSide, ImageSide);
  }
  DealSolutionView();
  LoadTileBitmaps(kSize);
  // The tiles once more, straight from the resources: what the window is checked against, and
  // the former drawing's one selection per cell.
  HBITMAP tiles[TILE_COUNT];
  for (int offset = 1; offset <= TILE_COUNT; ++offset) {
    tiles[offset - 1] = LoadBitmapA(Instance, MAKEINTRESOURCEA(TILE_BASE_21 + offset));
    if (tiles[offset - 1] == nullptr) {
      fprintf(stderr, "redraw: tile bitmap %d is missing\n", TILE_BASE_21 + offset);
      return 1;
    }
  }
  RedrawBoard(window);  // once before timing: the first use of each bitmap costs more
  DrainMessages();
  int wrongCells = CheckSolutionDrawn(window, tiles);
  if (wrongCells != 0) {
    fprintf(stderr, "redraw: %d cells of the window do not show the solution view\n", wrongCells);
    return 1;
  }

  // The same image, for the limit: the checked grid copied from the window into a bitmap like
  // the screen's.
  HDC dc = GetDC(window);
  HDC imageDc = CreateCompatibleDC(dc);
  HBITMAP image = CreateCompatibleBitmap(dc, ImageSide, ImageSide);
  HGDIOBJ imageOriginal = SelectObject(imageDc, image);
  BitBlt(imageDc, 0, 0, ImageSide, ImageSide, dc, 0, 0, SRCCOPY);
  ReleaseDC(window, dc);
  HDC stripDc = CreateCompatibleDC(nullptr);
  HDC tileDc = CreateCompatibleDC(nullptr);
  HGDIOBJ tileOriginal = SelectObject(tileDc, tiles[0]);

  static double redraws[kMaxRounds], blits[kMaxRounds], moves[kMaxRounds];
  static double contexts[kMaxRounds], composes[kMaxRounds], imageBlits[kMaxRounds],
      counters[kMaxRounds], fullComposes[kMaxRounds], stripDrawings[kMaxRounds], former[kMaxRounds];
  for (int round = 0; round < rounds; ++round) {
    // The redraw, and an arrow key's rule with the cursor shown: it moves one cell (right, then
    // back) and the program's window side redraws the grid with the frame. Each goes first in
    // every other round, so that neither gains from following the other.
    double start;
    for (int turn = 0; turn < 2; ++turn) {
      if ((turn + round) % 2 == 0) {
        Cursor.shown = 0;
        start = Milliseconds();
        RedrawBoard(window);
        redraws[round] = Milliseconds() - start;
      } else {
        Cursor.shown = 1;
        start = Milliseconds();
        MoveCursor(round % 2 ? GK_LEFT : GK_RIGHT);
        moves[round] = Milliseconds() - start;
      }
      DrainMessages();
    }
    Cursor.shown = 0;

    start = Milliseconds();
    dc = GetDC(window);
    BitBlt(dc, 0, 0, ImageSide, ImageSide, imageDc, 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
    blits[round] = Milliseconds() - start;
    DrainMessages();

    // What a redraw is made of, one kind of call at a time: the window's context, the grid's
    // image brought up to date (nothing changed since the last redraw), its one blit.
    start = Milliseconds();
    dc = GetDC(window);
    ReleaseDC(window, dc);
    contexts[round] = Milliseconds() - start;
    start = Milliseconds();
    HDC composed = ComposeGrid();
    composes[round] = Milliseconds() - start;
    dc = GetDC(window);
    start = Milliseconds();
    BitBlt(dc, 0, 0, ImageSide, ImageSide, composed, 0, 0, SRCCOPY);
    imageBlits[round] = Milliseconds() - start;
    ReleaseDC(window, dc);
    DrainMessages();

    // Every cell composed anew, as after a new game or new tiles.
    ForgetComposedGrid();
    start = Milliseconds();
    ComposeGrid();
    fullComposes[round] = Milliseconds() - start;

    // The former drawing, straight into the window: one selection of the strip, then each cell
    // copied from it.
    dc = GetDC(window);
    start = Milliseconds();
    HGDIOBJ stripOriginal = SelectObject(stripDc, TileStrip);
    for (int cell = 0; cell < kSide * kSide; ++cell)
      BitBlt(dc, cell / kSide * TileSide, cell % kSide * TileSide, TileSide, TileSide, stripDc,
             TileStripLeft(CellTiles[cell], TileSide), 0, SRCCOPY);
    SelectObject(stripDc, stripOriginal);  // the strip can be in one context at a time
    stripDrawings[round] = Milliseconds() - start;
    ReleaseDC(window, dc);
    DrainMessages();

    start = Milliseconds();
    char text[64];
    snprintf(text, sizeof text, "%s:%d", LoadText(IDS_MINES), Game.minesLeft);
    SendMessageA(StatusBar, SB_SETTEXTA, STATUS_MINES, reinterpret_cast<LPARAM>(text));
    snprintf(text, sizeof text, "%s:%d", LoadText(IDS_UNDOS), Game.undosLeft);
    SendMessageA(StatusBar, SB_SETTEXTA, STATUS_UNDOS, reinterpret_cast<LPARAM>(text));
    counters[round] = Milliseconds() - start;
    DrainMessages();

    // The drawing before the strip, of the same cells: one selection of its own tile per cell
    // (of the art as loaded: at 96 DPI only, where the art is the tile).
    dc = GetDC(window);
    start = Milliseconds();
    for (int cell = 0; cell < kSide * kSide && TileSide == kSize; ++cell) {
      SelectObject(tileDc, tiles[CellTiles[cell] - 1]);
      BitBlt(dc, cell / kSide * kSize, cell % kSide * kSize, kSize, kSize, tileDc, 0, 0, SRCCOPY);
    }
    former[round] = Milliseconds() - start;
    ReleaseDC(window, dc);
    DrainMessages();
  }

  // The tiles' loading, at start-up and at a new size: straight from the resources into the
  // strip, and the former loading of fourteen bitmaps alone, before they were composed.
  static double loads[kMaxRounds], loadsAlone[kMaxRounds];
  for (int round = 0; round < rounds; ++round) {
    double start = Milliseconds();
    LoadTileBitmaps(kSize);
    loads[round] = Milliseconds() - start;
    HBITMAP loaded[TILE_COUNT];
    start = Milliseconds();
    for (int offset = 1; offset <= TILE_COUNT; ++offset)
      loaded[offset - 1] = LoadBitmapA(Instance, MAKEINTRESOURCEA(TILE_BASE_21 + offset));
    for (HBITMAP bitmap : loaded) DeleteObject(bitmap);
    loadsAlone[round] = Milliseconds() - start;
  }

  Timing redraw = Summarise(redraws, rounds);
  Timing blit = Summarise(blits, rounds);
  printf(
      "== redraw (%s) at %d DPI: 30 x 30 grid of 21-pixel tiles shown %d pixels wide, solution "
      "view, %d rounds, wall time\n",
      kBuild, Scale.dpi, TileSide, rounds);
  printf("   (checked first: the window shows every cell's solution tile, mines where dealt)\n");
  printf("%-46s %12s %12s %12s\n", "operation", "median", "fastest", "slowest");
  PrintTiming("RedrawBoard (the program's drawing code)", redraw);
  char limitName[64];
  snprintf(limitName, sizeof limitName, "limit: one BitBlt of the same %d x %d image", ImageSide,
           ImageSide);
  PrintTiming(limitName, blit);
  const double limit = kGoalBlits * blit.median;
  printf("ratio RedrawBoard / one blit: %.1fx\n", redraw.median / blit.median);
  printf("goal (%s, %d DPI) under %.0f ms and within %.0fx one blit (%.3f ms): %s\n", kBuild,
         Scale.dpi, kGoalMs, kGoalBlits, limit,
         redraw.median < kGoalMs && redraw.median <= limit ? "met" : "MISSED");
  const Timing move = Summarise(moves, rounds);
  PrintTiming("cursor move (arrow key: rule, redraw, frame)", move);
  printf("ratio cursor move / RedrawBoard: %.2fx\n", move.median / redraw.median);
  printf("goal (%s, %d DPI) a cursor move within one redraw (%.1fx, %.3f ms): %s\n", kBuild,
         Scale.dpi, kGoalMoveRedraws, kGoalMoveRedraws * redraw.median,
         move.median <= kGoalMoveRedraws * redraw.median ? "met" : "MISSED");
  printf("-- what a redraw is made of (the same calls, one kind at a time)\n");
  Timing context = Summarise(contexts, rounds);
  Timing compose = Summarise(composes, rounds);
  Timing imageBlit = Summarise(imageBlits, rounds);
  Timing counter = Summarise(counters, rounds);
  PrintTiming("GetDC + ReleaseDC", context);
  PrintTiming("composing the image, no cell changed", compose);
  PrintTiming("the final blit of the image alone", imageBlit);
  PrintTiming("2 status-bar texts (LoadText + SB_SETTEXT)", counter);
  printf("%-46s %9.3f ms\n", "sum of the parts",
         context.median + compose.median + imageBlit.median + counter.median);
  PrintTiming("composing all 900 cells (new game, new tiles)", Summarise(fullComposes, rounds));
  printf("-- for comparison (measured here, not the program's code)\n");
  PrintTiming("former: 900 BitBlt from the strip to the window", Summarise(stripDrawings, rounds));
  if (TileSide == kSize)
    PrintTiming("before it: 900 cells, a tile selection each", Summarise(former, rounds));
  printf("-- loading the tiles of one size (start-up, and a new game of another size)\n");
  PrintTiming(TileSide == kSize ? "LoadTileBitmaps(21): 14 tiles and their strip"
                                : "LoadTileBitmaps(21): 14 tiles, strip enlarged",
              Summarise(loads, rounds));
  PrintTiming("former: 14 LoadBitmapA + DeleteObject alone", Summarise(loadsAlone, rounds));

  SelectObject(tileDc, tileOriginal);
  DeleteDC(tileDc);
  DeleteDC(stripDc);
  SelectObject(imageDc, imageOriginal);
  DeleteDC(imageDc);
  DeleteObject(image);
  for (HBITMAP tile : tiles) DeleteObject(tile);
  DestroyWindow(window);
  return 0;
}
