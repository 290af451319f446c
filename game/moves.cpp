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
  if (Game.size <= 0) return PackCell(255, 255);  // nothing dealt yet: past any grid
  return PackCell(static_cast<int>(PackedCoordinate(x & 0xFFFF)),
                  static_cast<int>(PackedCoordinate(y & 0xFFFF)));
}

// Recursive, as deep as the cells of the grid (900 at most): each call uncovers one cell
// that was covered, so no cell is entered twice. The grid's bounds travel as arguments: read
// from the Game they would be reloaded after every store into the board, which may alias them.
static void Flood(int column, int row, unsigned columns, unsigned rows) {
  signed char& cell = Board[column][row];
  cell = Complement(cell);
  if (cell != 0) return;
  PlayEffect(EFFECT_FLOOD);
  static const int kSteps[8][2] = {{-1, -1}, {-1, 0}, {-1, 1}, {0, -1},
                                   {1, -1},  {1, 0},  {1, 1},  {0, 1}};
  for (const auto& step : kSteps) {
    const int c = column + step[0];
    const int r = row + step[1];
    // One unsigned comparison a side: 0 and the far border both fall outside.
    if (static_cast<unsigned>(c - 1) >= columns || static_cast<unsigned>(r - 1) >= rows) continue;
    if (IsCoveredSafe(Board[c][r])) Flood(c, r, columns, rows);
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
  *column = PackedColumn(packed);
  *row = PackedRow(packed);
  if (*column > Game.columns || *row > Game.rows) {
    PlayEffect(EFFECT_REJECTED);
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
  if (!IsCovered(value)) {
    PlayEffect(EFFECT_REJECTED);
    return;
  }
  if (value == kCoveredEmpty) {
    FloodReveal(column, row);
  } else if (value == kCoveredMine) {
    --Game.minesLeft;
    PlayEffect(EFFECT_EXPLOSION);
    Game.lastExploded = PackCell(column, row);
    GameState = GS_EXPLODED;
    EnableUndo(true);
    *cell = kExplodedMine;
  } else {
    *cell = Complement(value);
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
  if (IsUncovered(value)) {
    PlayEffect(EFFECT_REJECTED);
    return;
  }
  if (IsFlagged(value)) {
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
  PlayEffect(EFFECT_UNDO);
  signed char& cell = Board[PackedColumn(Game.lastExploded)][PackedRow(Game.lastExploded)];
  cell = Complement(cell);
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
