// statistics_test.cpp: which games count, and how, through the real presses and commands.
#include <cstdio>
#include <string>

#include "game/statistics.h"
#include "game_fixture.h"

namespace {

using StatisticsTest = GameTest;

// The first cell, in column order, holding a value from low to high.
bool Find(int low, int high, int* column, int* row) {
  for (*column = 1; *column <= Game.columns; ++*column)
    for (*row = 1; *row <= Game.rows; ++*row)
      if (Board[*column][*row] >= low && Board[*column][*row] <= high) return true;
  return false;
}

// The window's part of a new game: the game left is counted, then the seed-one deal.
void NewGame() {
  LeaveGame();
  DealBoardWithSeed(1);
  EncodeNeighbours();
}

// One step of a history: u uncovers a safe cell, x a mine, z is Undo, f flags a mine, w flags
// every mine left (a win), s is See solution, n New game, q quitting; E, M and H deal easy,
// medium or hard, as the settings dialog's OK does, and G switches the no-guess option and deals.
void Play(char step) {
  int c, r;
  switch (step) {
    case 'u': Find(-9, -1, &c, &r), LeftPressCell(c, r); break;
    case 'x': Find(kCoveredMine, kCoveredMine, &c, &r), LeftPressCell(c, r); break;
    case 'z': Undo(); break;
    case 'f': Find(kCoveredMine, kCoveredMine, &c, &r), RightPressCell(c, r); break;
    case 'w':
      while (GameState != GS_OVER && Find(kCoveredMine, kCoveredMine, &c, &r)) RightPressCell(c, r);
      break;
    case 's': SeeSolution(); break;
    case 'n': NewGame(); break;
    case 'q': LeaveGame(); break;
    case 'G': Settings.noGuess = !Settings.noGuess, NewGame(); break;
    default: Settings.ratio = step == 'E' ? 6 : step == 'M' ? 5 : 4, NewGame(); break;
  }
}

// The categories that hold games, "category: played won clean streak longest;".
std::string Figures() {
  std::string text;
  for (int i = 0; i < kStatisticsCategories; ++i) {
    const StatisticsRecord& s = Statistics[i];
    if (s.played == 0 && s.won == 0 && s.streak == 0) continue;
    char line[64];
    snprintf(line, sizeof line, "%d %d %d %d %d %d;", i, s.played, s.won, s.cleanWins, s.streak,
             s.longestStreak);
    text += line;
  }
  return text;
}

TEST_F(StatisticsTest, GameHistoriesGiveTheirFigures) {
  const struct {
    const char* history;
    const char* figures;
  } histories[] = {
      // Left before any uncovering press: not counted, flags or not.
      {"", ""},
      {"nsnq", ""},
      {"fnfsfq", ""},
      // Left after one, by every way out: a loss, counted once.
      {"un", "0 1 0 0 -1 0;"},
      {"us", "0 1 0 0 -1 0;"},
      {"usnsq", "0 1 0 0 -1 0;"},
      {"xq", "0 1 0 0 -1 0;"},
      {"xzM", "0 1 0 0 -1 0;"},
      {"uxnuq", "0 2 0 0 -2 0;"},
      // Won: by flags alone too; an explosion taken back is an undo used.
      {"w", "0 1 1 1 1 1;"},
      {"uwq", "0 1 1 1 1 1;"},
      {"uxzw", "0 1 1 0 1 1;"},
      {"uxzwnuwnuwnus", "0 4 3 2 -1 3;"},
      {"unuwnuxzwnuwq", "0 4 3 2 3 3;"},
      // Each difficulty on its own, and the games dealt without guessing apart.
      {"MunHuwGuwEuxq", "1 1 0 0 -1 0;2 1 1 1 1 1;3 1 0 0 -1 0;5 1 1 1 1 1;"},
      {"GEuwnunuwGuw", "0 1 1 1 1 1;3 3 2 2 1 1;"},
  };
  for (const auto& h : histories) {
    memset(Statistics, 0, sizeof Statistics);
    Settings = {6, 10, 15, 0};
    NewGame();
    for (const char* step = h.history; *step; ++step) Play(*step);
    EXPECT_EQ(h.figures, Figures()) << h.history;
  }
}

// Counts stop at kMaxCount with the figures still agreeing; a Reset empties every difficulty.
TEST_F(StatisticsTest, CountsStopAtTheLimitAndResetEmptiesAll) {
  Settings = {6, 10, 15, 0};
  Statistics[0] = {kMaxCount - 1, kMaxCount - 2, 5, -1, 7};
  NewGame();
  for (const char* step = "uwnuwnu"; *step; ++step) Play(*step);
  NewGame();
  EXPECT_EQ("0 999999 999998 6 1 7;", Figures());
  Statistics[4].played = 3;
  ResetStatistics();
  EXPECT_EQ("", Figures());
  EXPECT_EQ(1, StatisticsWereReset);
  StatisticsWereReset = 0;
}

}  // namespace
