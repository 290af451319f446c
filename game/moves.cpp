// moves.cpp: the rules of play: presses, chord, keys, flood, explosion and Undo, win, the clock.
#include "game/game.h"
#include "game/seam.h"
#include "game/solver.h"
#include "game/statistics.h"

// Column and row fit eight bits each in the packed result; a point far past the grid (a posted
// message, a captured mouse left of the window) saturates at 255 rather than wrapping into
// the grid.
static unsigned PackedCoordinate(unsigned pixels, unsigned tile) {
  const unsigned cell = pixels / tile + 1;
  return cell > 255 ? 255 : cell;
}

int CellAtPoint(unsigned x, unsigned y) {
  const int tile = ScreenTileSize();
  if (Game.size <= 0 || tile <= 0) return PackCell(255, 255);  // nothing dealt yet: past any grid
  return PackCell(static_cast<int>(PackedCoordinate(x & 0xFFFF, static_cast<unsigned>(tile))),
                  static_cast<int>(PackedCoordinate(y & 0xFFFF, static_cast<unsigned>(tile))));
}

// The eight neighbours of a cell, in the order the flood fill and the chord visit them.
static const int kNeighbours[8][2] = {{-1, -1}, {-1, 0}, {-1, 1}, {0, -1},
                                      {1, -1},  {1, 0},  {1, 1},  {0, 1}};

// Recursive, as deep as the cells of the grid (900 at most): each call uncovers one cell
// that was covered, so no cell is entered twice. The grid's bounds travel as arguments: read
// from the Game they would be reloaded after every store into the board, which may alias them.
static void Flood(int column, int row, unsigned columns, unsigned rows) {
  signed char& cell = Board[column][row];
  cell = Complement(cell);
  if (cell != 0) return;
  PlayEffect(EFFECT_FLOOD);
  for (const auto& step : kNeighbours) {
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

static bool InGrid(int column, int row) {
  return column >= 1 && column <= Game.columns && row >= 1 && row <= Game.rows;
}

// What a left press does to a covered cell: a flood from an empty one, the explosion of a mine,
// the number of any other. True when a mine exploded.
static bool UncoverCovered(int column, int row) {
  Game.uncovered = 1;
  signed char& cell = Board[column][row];
  if (cell == kCoveredEmpty) {
    FloodReveal(column, row);
    return false;
  }
  if (cell != kCoveredMine) {
    cell = Complement(cell);
    return false;
  }
  --Game.minesLeft;
  PlayEffect(EFFECT_EXPLOSION);
  Game.lastExploded = PackCell(column, row);
  GameState = GS_EXPLODED;
  EnableUndo(true);
  cell = kExplodedMine;
  return true;
}

void LeftPressCell(int column, int row) {
  if (GameState > GS_RUNNING) return;
  if (GameState < GS_RUNNING) {
    GameState = GS_RUNNING;
    StartClock();
    ShowClock(0);
  }
  // Past the grid, uncovered or flagged: nothing is changed or redrawn.
  if (!InGrid(column, row) || !IsCovered(Board[column][row])) {
    PlayEffect(EFFECT_REJECTED);
    return;
  }
  if (Game.noGuess == kNoGuessWaiting) DealNoGuess(column, row);
  UncoverCovered(column, row);
  RedrawGame();
}

static void Win() {
  GameState = GS_OVER;
  StopClock();
  CountGame(true);
  ShowCongratulation();
  EnterScore();
}

void RightPressCell(int column, int row) {
  if (GameState == GS_OVER) return;
  if (GameState == GS_EXPLODED) {
    Undo();
    return;
  }
  if (GameState < GS_RUNNING) {
    GameState = GS_RUNNING;
    StartClock();
  }
  if (!InGrid(column, row) || IsUncovered(Board[column][row])) {
    PlayEffect(EFFECT_REJECTED);
    return;
  }
  signed char& cell = Board[column][row];
  if (IsFlagged(cell)) {
    cell = static_cast<signed char>(cell + kFlag);
    ++Game.minesLeft;
  } else {
    cell = static_cast<signed char>(cell - kFlag);
    --Game.minesLeft;
  }
  // A win is earned: every mine flagged and no other tile, so the counter stands at exactly 0.
  // Flagging every tile wins nothing; taking the last wrong flag away wins.
  if (Game.minesLeft == 0 && AllMinesFlagged()) Win();
  RedrawGame();
}

bool ChordActs(int column, int row) {
  if (GameState != GS_RUNNING || !InGrid(column, row)) return false;
  int flags = 0;
  bool covered = false;
  for (const auto& step : kNeighbours) {
    const int c = column + step[0];
    const int r = row + step[1];
    if (!InGrid(c, r)) continue;
    flags += IsFlagged(Board[c][r]) ? 1 : 0;
    covered = covered || IsCovered(Board[c][r]);
  }
  const int number = Board[column][row];
  return number >= 1 && number <= 8 && flags == number && covered;
}

void ChordCell(int column, int row) {
  if (GameState != GS_RUNNING) return;
  if (!ChordActs(column, row)) {
    PlayEffect(EFFECT_REJECTED);
    return;
  }
  // Each neighbour as it is when its turn comes: a flood from an earlier one may have opened it.
  // The first mine ends the chord, so that one Undo takes back all it did wrong.
  for (const auto& step : kNeighbours) {
    const int c = column + step[0];
    const int r = row + step[1];
    if (InGrid(c, r) && IsCovered(Board[c][r]) && UncoverCovered(c, r)) break;
  }
  RedrawGame();
}

void UncoverCell(int column, int row) {
  const int value = InGrid(column, row) ? Board[column][row] : 0;
  if (value >= 1 && value <= 8) {
    ChordCell(column, row);
  } else {
    LeftPressCell(column, row);
  }
}

void LeftPress(unsigned x, unsigned y) {
  HideCursor();
  const int cell = CellAtPoint(x, y);
  LeftPressCell(PackedColumn(cell), PackedRow(cell));
}

void RightPress(unsigned x, unsigned y) {
  HideCursor();
  const int cell = CellAtPoint(x, y);
  RightPressCell(PackedColumn(cell), PackedRow(cell));
}

void MiddlePress(unsigned x, unsigned y) {
  HideCursor();
  const int cell = CellAtPoint(x, y);
  ChordCell(PackedColumn(cell), PackedRow(cell));
}

void PressGridKey(GridKey key) {
  if (key != GK_SPACE && key != GK_ENTER) {
    MoveCursor(key);
  } else if (Cursor.shown) {
    if (key == GK_SPACE) {
      UncoverCell(Cursor.column, Cursor.row);
    } else {
      RightPressCell(Cursor.column, Cursor.row);
    }
  }
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
  LeaveGame();  // a loss, unless nothing was uncovered yet
  GameState = GS_OVER;
  StopClock();
  RedrawGame();
}

void ClockTick() {
  if (GameState != GS_RUNNING) return;
  ++Game.elapsedSeconds;
  ShowClock(Game.elapsedSeconds);
}

// The cell of the hint: a covered cell proven safe, else a proven mine that carries no flag, the
// nearest to the cursor of its kind (the first in column order among equals); false if none.
static bool FindHint(const SolverView& view, int* column, int* row, bool* mine) {
  int best = -1;
  for (int c = 1; c <= Game.columns; ++c) {
    for (int r = 1; r <= Game.rows; ++r) {
      const signed char seen = view.cells[c][r];
      const bool safe = seen == kSeenSafe && IsCovered(Board[c][r]);
      if (!safe && (seen != kSeenMine || !IsCovered(Board[c][r]))) continue;
      const int dc = c > Cursor.column ? c - Cursor.column : Cursor.column - c;
      const int dr = r > Cursor.row ? r - Cursor.row : Cursor.row - r;
      // Safe cells before mines, then the nearest.
      const int rank = (safe ? 0 : 1024) + (dc > dr ? dc : dr);
      if (best >= 0 && rank >= best) continue;
      best = rank;
      *column = c;
      *row = r;
      *mine = !safe;
    }
  }
  return best >= 0;
}

void Hint() {
  if (GameState != GS_RUNNING) return;
  if (Game.undosLeft <= 0) {
    PlayEffect(EFFECT_REJECTED);
    return;
  }
  static SolverView view;  // kept off the stack
  SeeBoard(view);
  SolveView(view);
  int column, row;
  bool mine;
  if (!FindHint(view, &column, &row, &mine)) {
    ShowGuessNeeded();
    return;
  }
  --Game.undosLeft;
  Cursor.column = column;
  Cursor.row = row;
  Cursor.shown = 1;
  CursorChanged();
  if (mine) ShowHintIsMine();
}
