// deal.cpp: the deal generator, placing the mines of a new game and encoding the neighbours.
#include <cstring>
#include <ctime>

#include "game/game.h"
#include "game/solver.h"

void SeedGenerator(DealGenerator& generator, uint32_t seed) {
  generator.state = seed;
}

int NextDraw(DealGenerator& generator) {
  generator.state = generator.state * 22695477u + 1u;
  return static_cast<int>((generator.state >> 16) & 0x7FFF);
}

// Takes the options of the next game into the Game record. Values the settings file and dialog
// would never give fall back to the defaults: a grid wider than 30 would overrun the board's
// border and a ratio below 4 could leave no room for the mines.
static void TakeSettings() {
  const int32_t grid = IsValidGrid(Settings.grid) ? Settings.grid : kDefaultGrid;
  Game.columns = grid;
  Game.rows = grid;
  Game.ratio = IsValidRatio(Settings.ratio) ? Settings.ratio : kDefaultRatio;
  Game.size = IsValidSize(Settings.size) ? Settings.size : kDefaultSize;
  Game.noGuess = Settings.noGuess ? kNoGuessWaiting : kPlainGame;
}

static bool IsGridCorner(int c, int r) {
  return (c == 0 || c == Game.columns - 1) && (r == 0 || r == Game.rows - 1);
}

int DealBoardWithSeed(uint32_t seed) {
  TakeSettings();
  // The keyboard's cursor keeps its place, brought inside the new grid if it shrank.
  Cursor.column = ClampToGrid(Cursor.column, Game.columns);
  Cursor.row = ClampToGrid(Cursor.row, Game.rows);
  Game.elapsedSeconds = 0;
  Game.uncovered = 0;
  GameState = GS_NEW;
  memset(Board, 0, sizeof Board);
  const int cells = Game.columns * Game.rows;
  Game.totalMines = cells / Game.ratio;
  Game.minesLeft = Game.totalMines;
  Game.undosLeft = UndosFor(Game.totalMines);
  Game.seed = seed;

  DealGenerator generator;
  SeedGenerator(generator, seed);
  int draws = 0;
  int placed = 0;
  while (placed < Game.totalMines) {
    const int k = NextDraw(generator) % cells;
    ++draws;
    const int c = k / Game.rows;
    const int r = k % Game.rows;
    signed char& cell = Board[c + 1][r + 1];
    if (cell == kCoveredMine || IsGridCorner(c, r)) continue;
    cell = kCoveredMine;
    ++placed;
  }
  return draws;
}

void DealBoard() {
  DealBoardWithSeed(static_cast<uint32_t>(time(nullptr)));
}

void EncodeNeighbours() {
  for (int c = 1; c <= Game.columns; ++c) {
    for (int r = 1; r <= Game.rows; ++r) {
      if (Board[c][r] != 0) continue;
      int mines = 0;
      for (int dc = -1; dc <= 1; ++dc) {
        for (int dr = -1; dr <= 1; ++dr) {
          if ((dc != 0 || dr != 0) && Board[c + dc][r + dr] == kCoveredMine) ++mines;
        }
      }
      Board[c][r] = Complement(static_cast<signed char>(mines));
    }
  }
}

void DealNoGuess(int column, int row) {
  bool flagged[kBoardSide][kBoardSide];
  for (int c = 0; c < kBoardSide; ++c)
    for (int r = 0; r < kBoardSide; ++r) flagged[c][r] = IsFlagged(Board[c][r]);
  DealNoGuessLayout(Game.seed, column, row);
  EncodeNeighbours();
  for (int c = 0; c < kBoardSide; ++c)
    for (int r = 0; r < kBoardSide; ++r)
      if (flagged[c][r]) Board[c][r] = static_cast<signed char>(Board[c][r] - kFlag);
  Game.noGuess = kNoGuessDealt;
}

void SetNoGuess(bool on) {
  Settings.noGuess = on ? 1 : 0;
  if (GameState < GS_RUNNING) Game.noGuess = on ? kNoGuessWaiting : kPlainGame;
}
