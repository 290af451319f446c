// game.h: the board, the counters and state of the game, the rules of play and the best scores.
// Portable: no window system here. The rules reach the window through seam.h.
#pragma once

#include <cstdint>

// The board is 32 x 32 so that a grid of at most 30 keeps a zero border on every side.
constexpr int kBoardSide = 32;

// The options' valid values, and the defaults that stand in for anything else (a missing or
// malformed settings file, a value out of range).
constexpr int32_t kMinGrid = 10;
constexpr int32_t kMaxGrid = 30;
constexpr int32_t kDefaultGrid = 10;
constexpr int32_t kHardRatio = 4;  // one mine per 4 cells ...
constexpr int32_t kEasyRatio = 6;  // ... to one per 6
constexpr int32_t kDefaultRatio = kEasyRatio;
constexpr int32_t kDefaultSize = 18;
constexpr bool IsValidGrid(int32_t grid) {
  return grid >= kMinGrid && grid <= kMaxGrid;
}
constexpr bool IsValidRatio(int32_t ratio) {
  return ratio >= kHardRatio && ratio <= kEasyRatio;
}
constexpr bool IsValidSize(int32_t size) {
  return size == 15 || size == 18 || size == 21;
}

// Cell values (signed bytes). Covered -16..-1: the complement of the neighbour count (-1 to -9)
// or -16 for a mine. A flag subtracts 16 (-17 to -25, or -32 on a mine). Uncovering takes the
// complement again: 0 to 8, or 15 for the exploded mine. The border and the rest are 0.
constexpr signed char kCoveredEmpty = -1;
constexpr signed char kCoveredMine = -16;
constexpr signed char kFlaggedMine = -32;
constexpr signed char kExplodedMine = 15;
constexpr int kFlag = 16;  // a flag subtracts 16, removing it adds 16
constexpr bool IsCovered(int value) {
  return value >= kCoveredMine && value <= kCoveredEmpty;
}
constexpr bool IsFlagged(int value) {
  return value < kCoveredMine;
}
constexpr bool IsUncovered(int value) {
  return value >= 0;
}  // or the border
// Covered and no mine: what a flood fill may enter.
constexpr bool IsCoveredSafe(int value) {
  return value > kCoveredMine && value <= kCoveredEmpty;
}
// The neighbour count a covered safe cell holds (-1 to -9 hold 0 to 8); -1 for any other value.
constexpr int HiddenCount(int value) {
  return value <= kCoveredEmpty && value >= kCoveredEmpty - 8 ? kCoveredEmpty - value : -1;
}
// Uncovering, and covering the exploded mine again: the bitwise complement.
constexpr signed char Complement(signed char value) {
  return static_cast<signed char>(~value);
}

// A cell as one integer, column * 256 + row, as CellAtPoint gives it and the last exploded cell
// is kept.
constexpr int PackCell(int column, int row) {
  return column * 256 + row;
}
constexpr int PackedColumn(int packed) {
  return (packed >> 8) & 0xFF;
}
constexpr int PackedRow(int packed) {
  return packed & 0xFF;
}

// Indexed [column][row], columns and rows from 1; row and column 0 and everything past the
// grid stay 0.
extern signed char Board[kBoardSide][kBoardSide];

enum : int32_t {
  GS_NEW = -2,
  GS_READY = -1,
  GS_RUNNING = 0,
  GS_OVER = 1,
  GS_EXPLODED = 2,
};
extern int32_t GameState;

enum : int32_t {
  kPlainGame = 0,       // dealt once, by the deal's seed alone
  kNoGuessWaiting = 1,  // a no-guess game before its first uncovering press
  kNoGuessDealt = 2,    // a no-guess game dealt again at that press
};

// The counters of the game on the board. columns, rows, ratio and size are copied from the
// Settings by the deal, so that a running game keeps them while the Settings change under it.
struct GameRecord {
  int32_t columns;
  int32_t rows;
  int32_t ratio;  // one mine per ratio cells
  int32_t size;   // tile side in pixels
  int32_t totalMines;
  int32_t minesLeft;  // total mines - flags - an explosion not undone; may go below 0
  int32_t undosLeft;
  int32_t elapsedSeconds;
  int32_t lastExploded;  // PackCell(column, row)
  int32_t lastScore;
  uintptr_t clockTimer;  // what starting the clock returned, for stopping it
  // How the game was dealt (Settings.noGuess at the deal, or when the option changed before
  // its start; the statistics count no-guess games apart): a no-guess game's mines are dealt
  // again at its first uncovering press, from the seed and that press.
  int32_t noGuess;    // kPlainGame, kNoGuessWaiting, then kNoGuessDealt
  int32_t uncovered;  // 1 once a press uncovered a cell (a mine too): leaving counts the game
  uint32_t seed;      // the deal's seed
};
extern GameRecord Game;

// The options, as the settings file and the settings dialog hold them. They reach the game at
// the next deal. The language lives in LanguageOffset (res/text.h).
struct SettingsRecord {
  int32_t ratio;  // 4 hard, 5 medium, 6 easy
  int32_t grid;   // grid side, 10 to 30
  int32_t size;   // 15, 18 or 21
  int32_t sound;  // on when non-zero
  // The options kept in the file's extra lines, after its first 29. Defaults given here, so
  // that a record written with the first four fields has them too.
  int32_t noGuess = 0;  // 1: each game is dealt anew at its first uncovering, solvable by logic
};
extern SettingsRecord Settings;

// A name holds at most 24 characters (a hand-edited file may give that many); the name dialog
// takes at most 23, into a buffer of kNameBufferSize bytes.
constexpr int kNameLength = 24;
constexpr int kEnteredNameLength = 23;
constexpr int kNameBufferSize = 64;

struct ScoreEntry {
  int32_t score;  // 0 marks an empty entry
  char name[kNameLength + 1];
};
constexpr int kScoreEntries = 24;
extern ScoreEntry ScoreTable[kScoreEntries];

// The keyboard's cursor: the cell that Space and Enter act on. Hidden at start-up; a key that
// moves it first shows it where it was, and any mouse press hides it again. Each deal brings it
// inside the new grid, so that it always names a cell of the grid once a game is dealt.
struct CursorRecord {
  int32_t column;  // 1 to columns
  int32_t row;     // 1 to rows
  int32_t shown;   // 1 while it is drawn and Space and Enter act at it
};
extern CursorRecord Cursor;

// A column or row brought inside a grid whose last column or row is `last`.
constexpr int32_t ClampToGrid(int32_t value, int32_t last) {
  return value < 1 ? 1 : value > last ? last : value;
}

// One undo per five mines, as a game is dealt.
constexpr int32_t UndosFor(int32_t mines) {
  return mines / 5;
}

// Deal generator: s = s * 22695477 + 1, draw = (s >> 16) & 0x7FFF.
struct DealGenerator {
  uint32_t state;
};
void SeedGenerator(DealGenerator& generator, uint32_t seed);
int NextDraw(DealGenerator& generator);

// A new game: DealBoard then EncodeNeighbours. DealBoard seeds from the calendar time;
// DealBoardWithSeed places the same way from a given seed (tests and tools) and returns the
// number of draws the placement took. Both first copy Settings.grid, ratio and size into Game
// (a value out of its range becomes the settings file's default).
void DealBoard();
int DealBoardWithSeed(uint32_t seed);
void EncodeNeighbours();
// A no-guess game's first uncovering press at (column, row): its mines dealt again so that the
// press opens an area and logic alone finishes the game (game/solver.h); flags stay on their
// cells and every counter as it was.
void DealNoGuess(int column, int row);
// The option, from its menu item: a game not started yet takes it at once (its mines are dealt
// only at the first uncovering press anyway); one under way keeps how it was dealt.
void SetNoGuess(bool on);

// Client point (16-bit coordinates) to cell of tiles of ScreenTileSize(), packed column * 256 +
// row; may lie past the grid. Column and row stop at 255 so that the packing never wraps.
int CellAtPoint(unsigned x, unsigned y);
void FloodReveal(int column, int row);
int AllMinesFlagged();

// The rules of play, one per message or command of the main window. A mouse press hides the
// keyboard's cursor, then acts on the cell under its point; the middle button's is the chord.
void LeftPress(unsigned x, unsigned y);
void RightPress(unsigned x, unsigned y);
void MiddlePress(unsigned x, unsigned y);
void Undo();         // command 102
void SeeSolution();  // command 101
// Command 106 and the H key, while the game runs: the keyboard's cursor shown on a covered cell
// the solver proves safe, else on a proven mine (with the status text), for one undo; with
// nothing proven, the player is told a guess is needed and keeps the undo.
void Hint();
void ClockTick();  // one second of the clock

// The presses on a cell, which the mouse and the keyboard share. A cell outside the grid (column
// or row below 1 or past it) is a rejected press, as a point past the grid is.
void LeftPressCell(int column, int row);
void RightPressCell(int column, int row);
// The chord: only while the game runs, on an uncovered number with exactly that many flags
// around it; uncovers the covered neighbours as left presses would, and stops at an explosion.
void ChordCell(int column, int row);
// Whether the chord would uncover anything at the cell now (screen readers offer it only then).
bool ChordActs(int column, int row);
// What Space does at the cursor: the chord on an uncovered number, the left press on any other.
void UncoverCell(int column, int row);

// The keys of keyboard play, as the window hands them over.
enum GridKey : int {
  GK_LEFT,
  GK_RIGHT,
  GK_UP,
  GK_DOWN,
  GK_HOME,       // to the first column
  GK_END,        // to the last column
  GK_PAGE_UP,    // to the first row
  GK_PAGE_DOWN,  // to the last row
  GK_SPACE,      // UncoverCell at the cursor
  GK_ENTER,      // RightPressCell at the cursor
};
// One key. Space and Enter act only while the cursor is shown; the other keys move it.
void PressGridKey(GridKey key);
// A moving key: a hidden cursor is shown where it was; a shown one moves one cell, stopping at
// the grid's edges, or to the first or last column or row. Other keys do nothing.
void MoveCursor(GridKey key);
void HideCursor();

// Scoring and the best-score table.
int32_t ComputeScore(int32_t* minutes, int32_t* seconds);
void EnterScore();
void ClearScores();
// The entries the best-scores list shows (table order up to the first empty entry) as indices
// into ScoreTable, best score first and equal scores in table order; gives their number.
int ScoresBestFirst(int (&order)[kScoreEntries]);
