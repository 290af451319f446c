// statistics_test.cpp: which games count, and how, played through the real presses and commands.
#include <cstdio>
#include <string>

#include "game/statistics.h"
#include "game_fixture.h"

namespace {

// Presses the first cell, in column order, holding a value from low to high.
void PressFirst(int low, int high, void (*press)(int, int)) {
  for (int c = 1; c <= Game.columns; ++c)
    for (int r = 1; r <= Game.rows; ++r)
      if (Board[c][r] >= low && Board[c][r] <= high) return press(c, r);
}

// The window's New game: the game left is counted, then the seed-one deal.
void NewGame() {
  LeaveGame();
  DealBoardWithSeed(1);
  EncodeNeighbours();
}

// u uncovers a safe cell, x a mine, z is Undo, f flags a mine, w flags every mine left (a win),
// s is See solution, n New game, q quitting; M and H deal medium or hard as the settings dialog's
// OK does, G switches the no-guess option and deals; P puts the easy counts next to the limit,
// R is Reset.
void Play(char step) {
  switch (step) {
    case 'u': PressFirst(-9, -1, LeftPressCell); break;
    case 'x': PressFirst(kCoveredMine, kCoveredMine, LeftPressCell); break;
    case 'z': Undo(); break;
    case 'f': PressFirst(kCoveredMine, kCoveredMine, RightPressCell); break;
    case 'w':
      for (int i = 0; i < kBoardSide * kBoardSide && GameState != GS_OVER; ++i)
        PressFirst(kCoveredMine, kCoveredMine, RightPressCell);
      break;
    case 's': SeeSolution(); break;
    case 'n': NewGame(); break;
    case 'q': LeaveGame(); break;
    case 'M': Settings.ratio = 5, NewGame(); break;
    case 'H': Settings.ratio = 4, NewGame(); break;
    case 'G': Settings.noGuess = !Settings.noGuess, NewGame(); break;
    case 'P': Statistics[0] = {kMaxCount - 1, kMaxCount - 2, 5, -1, 7}; break;
    default: ResetStatistics(); break;
  }
}

using StatisticsTest = GameTest;

TEST_F(StatisticsTest, GameHistoriesGiveTheirFigures) {
  const struct {
    const char* history;
    const char* figures;  // "category: played won clean streak longest;" where there are games
  } histories[] = {
      // Left before any uncovering press, flags or not: not counted.
      {"nsnq", ""},
      {"fnfsfq", ""},
      // Left after one, by every way out: a loss, counted once.
      {"un", "0: 1 0 0 -1 0;"},
      {"usnsq", "0: 1 0 0 -1 0;"},
      {"xq", "0: 1 0 0 -1 0;"},
      {"xzM", "0: 1 0 0 -1 0;"},
      {"uxnuq", "0: 2 0 0 -2 0;"},
      // Won, by flags alone too; an explosion taken back is an undo used.
      {"w", "0: 1 1 1 1 1;"},
      {"uxzwq", "0: 1 1 0 1 1;"},
      {"uxzwnuwnuwnus", "0: 4 3 2 -1 3;"},
      {"unuwnuxzwnuwq", "0: 4 3 2 3 3;"},
      // Each difficulty apart, and apart again the games dealt without guessing.
      {"MunHuwGuwMuxq", "1: 1 0 0 -1 0;2: 1 1 1 1 1;4: 1 0 0 -1 0;5: 1 1 1 1 1;"},
      // Held at the limit, every figure agreeing; Reset empties all.
      {"Puwnuwnun", "0: 999999 999998 6 1 7;"},
      {"uwMunR", ""},
  };
  for (const auto& h : histories) {
    Settings = {6, 10, 15, 0};
    NewGame();
    memset(Statistics, 0, sizeof Statistics);
    for (const char* step = h.history; *step; ++step) Play(*step);
    std::string figures;
    for (int i = 0; i < kStatisticsCategories; ++i) {
      const StatisticsRecord& s = Statistics[i];
      char text[64];
      snprintf(text, sizeof text, "%d: %d %d %d %d %d;", i, s.played, s.won, s.cleanWins, s.streak,
               s.longestStreak);
      if (s.played != 0) figures += text;
    }
    EXPECT_EQ(h.figures, figures) << h.history;
    EXPECT_EQ(strchr(h.history, 'R') ? 1 : 0, StatisticsWereReset);
    StatisticsWereReset = 0;
  }
}

}  // namespace
