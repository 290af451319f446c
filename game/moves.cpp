// moves.cpp: the rules of play: presses, flood fill, explosion and Undo, the win test, the clock.
#include "game/game.h"
#include "game/seam.h"

// Column and row fit eight bits each in the packed result; a point far past the grid (a posted
// message, a captured mouse left of the window) saturates at 255 rather than wrapping into
// the grid.
static unsigned PackedCoordinate(unsigned pixels) {
  const unsigned cell = pixels / static_cast<unsigned>(Game.size) + 1;
  return cell > 255 ? 255 : cell;
}

int CellAtPoint(unsigned x, unsigned y) {
  if (Game.size <= 0) return 255 * 256 + 255;  // nothing dealt yet: past any grid
  return static_cast<int>(PackedCoordinate(x & 0xFFFF) * 256 + PackedCoordinate(y & 0xFFFF));
}

// Recursive, as deep as the cells of the grid (900 at most): each call uncovers one cell
// that was covered, so no cell is entered twice. The grid's bounds travel as arguments: read
// from the Game they would be reloaded after every store into the board, which may alias them.
static void Flood(int column, int row, unsigned columns, unsigned rows) {
  signed char& cell = Board[column][row];
  cell = static_cast<signed char>(~cell);
  if (cell != 0) return;
  PlayEffect(4);
  static const int kSteps[8][2] = {{-1, -1}, {-1, 0}, {-1, 1}, {0, -1},
                                   {1, -1},  {1, 0},  {1, 1},  {0, 1}};
  for (const auto& step : kSteps) {
    const int c = column + step[0];
    const int r = row + step[1];
    // One unsigned comparison a side: 0 and the far border both fall outside.
    if (static_cast<unsigned>(c - 1) >= columns || static_cast<unsigned>(r - 1) >= rows) continue;
    const signed char value = Board[c][r];
    if (value >= -15 && value <= -1) Flood(c, r, columns, rows);
  }
}

void FloodReveal(int column, int row) {
  Flood(column, row, static_cast<unsigned>(Game.columns), static_cast<unsigned>(Game.rows));
}

int AllMinesFlagged() {
  int flagged = 0;
  for (int c = 1; c <= Game.columns; ++c) {
    for (int r = 1; r <= Game.rows; ++r) {
      if (Board[c][r] == kFlaggedMine) ++flagged;
    }
  }
  return flagged == Game.totalMines ? 1 : 0;
}

// The cell under a press, or null (after the rejection sound) when the press lies past the grid.
static signed char* PressedCell(unsigned x, unsigned y, int* column, int* row) {
  const int packed = CellAtPoint(x, y);
  *column = (packed >> 8) & 0xFF;
  *row = packed & 0xFF;
  if (*column > Game.columns || *row > Game.rows) {
    PlayEffect(0);
    return nullptr;
  }
  return &Board[*column][*row];
}

void LeftPress(unsigned x, unsigned y) {
  if (GameState > GS_RUNNING) return;
  if (GameState < GS_RUNNING) {
    GameState = GS_RUNNING;
    StartClock();
    ShowClock(0);
  }
  int column;
  int row;
  signed char* cell = PressedCell(x, y, &column, &row);
  if (cell == nullptr) return;
  const signed char value = *cell;
  if (value >= 0 || value < kCoveredMine) {
    PlayEffect(0);
    return;
  }
  if (value == -1) {
    FloodReveal(column, row);
  } else if (value == kCoveredMine) {
    --Game.minesLeft;
    PlayEffect(2);
    Game.lastExploded = column * 256 + row;
    GameState = GS_EXPLODED;
    EnableUndo(true);
    *cell = kExplodedMine;
  } else {
    *cell = static_cast<signed char>(~value);
  }
  RedrawGame();
}

static void Win() {
  GameState = GS_OVER;
  StopClock();
  ShowCongratulation();
  EnterScore();
}

void RightPress(unsigned x, unsigned y) {
  if (GameState == GS_OVER) return;
  if (GameState == GS_EXPLODED) {
    Undo();
    return;
  }
  if (GameState < GS_RUNNING) {
    GameState = GS_RUNNING;
    StartClock();
  }
  int column;
  int row;
  signed char* cell = PressedCell(x, y, &column, &row);
  if (cell == nullptr) return;
  const signed char value = *cell;
  if (value >= 0) {
    PlayEffect(0);
    return;
  }
  if (value < kCoveredMine) {
    *cell = static_cast<signed char>(value + kFlag);
    ++Game.minesLeft;
  } else {
    *cell = static_cast<signed char>(value - kFlag);
    --Game.minesLeft;
    if (Game.minesLeft <= 0 && AllMinesFlagged()) Win();
  }
  RedrawGame();
}

void Undo() {
  if (GameState != GS_EXPLODED || Game.undosLeft <= 0) return;
  PlayEffect(5);
  signed char& cell = Board[(Game.lastExploded >> 8) & 0xFF][Game.lastExploded & 0xFF];
  cell = static_cast<signed char>(~cell);
  ++Game.minesLeft;
  --Game.undosLeft;
  GameState = GS_RUNNING;
  EnableUndo(false);
  RedrawGame();
}

void SeeSolution() {
  GameState = GS_OVER;
  StopClock();
  RedrawGame();
}

void ClockTick() {
  if (GameState != GS_RUNNING) return;
  ++Game.elapsedSeconds;
  ShowClock(Game.elapsedSeconds);
}
