// solver_test.cpp: the solver against exhaustive enumeration, and the no-guess deal.
#include <cstdlib>
#include <map>
#include <random>
#include <tuple>

#include "game/solver.h"
#include "game_fixture.h"

namespace {

// What the covered cells may be in the layouts that agree with what shows: a bit per cell for
// "some such layout mines it" and for "some leaves it free".
struct Truth {
  uint64_t someMine = 0, someFree = 0;
};

// A layout of a grid of at most 64 cells as bits: cell (c, r) is bit (c - 1) * rows + r - 1.
struct Grid {
  int columns, rows;
  int Bit(int c, int r) const { return (c - 1) * rows + r - 1; }
  bool Has(uint64_t bits, int c, int r) const {
    return c >= 1 && c <= columns && r >= 1 && r <= rows && (bits >> Bit(c, r) & 1);
  }
  int Around(uint64_t mines, int c, int r) const {
    int count = 0;
    for (int n = 0; n < 9; ++n) count += n != 4 && Has(mines, c - 1 + n / 3, r - 1 + n % 3);
    return count;
  }
  // What a press on a safe cell uncovers: the cell, and around every empty cell it reaches.
  uint64_t Flood(uint64_t mines, uint64_t shown, int c, int r) const {
    if (c < 1 || c > columns || r < 1 || r > rows || Has(shown, c, r)) return shown;
    shown |= uint64_t{1} << Bit(c, r);
    for (int n = 0; n < 9 && Around(mines, c, r) == 0; ++n)
      shown = Flood(mines, shown, c - 1 + n / 3, r - 1 + n % 3);
    return shown;
  }
  // The solver shown the position; fails at the first covered cell where its answer differs
  // from the truth.
  ::testing::AssertionResult Solves(int total, uint64_t mines, uint64_t shown,
                                    const Truth& truth) const {
    SolverView view = {columns, rows, total, {}};
    for (int c = 1; c <= columns; ++c)
      for (int r = 1; r <= rows; ++r)
        view.cells[c][r] =
            Has(shown, c, r) ? static_cast<signed char>(Around(mines, c, r)) : kSeenCovered;
    if (SolveView(view) < 0) return ::testing::AssertionFailure() << "the solver gave up";
    for (int c = 1; c <= columns; ++c) {
      for (int r = 1; r <= rows; ++r) {
        if (Has(shown, c, r)) continue;
        const bool mine = Has(truth.someMine, c, r), free = Has(truth.someFree, c, r);
        const signed char expected = mine && !free   ? kSeenMine
                                     : free && !mine ? kSeenSafe
                                                     : kSeenCovered;
        if (view.cells[c][r] != expected)
          return ::testing::AssertionFailure()
                 << columns << " x " << rows << ", " << total << " mines, cell (" << c << ", " << r
                 << "): " << +view.cells[c][r] << " instead of " << +expected;
      }
    }
    return ::testing::AssertionSuccess();
  }
};

// Every layout of every grid up to 4 x 4, every press on a safe cell: the positions that differ
// in what they show, each against every layout that shows it.
TEST(SolverTest, EveryOpeningOfEveryGridUpTo4x4AgreesWithEveryLayout) {
  int positions = 0;
  for (int columns = 1; columns <= 4; ++columns) {
    for (int rows = 1; rows <= 4; ++rows) {
      const Grid grid = {columns, rows};
      const int cells = columns * rows;
      // (mines, cells shown, their numbers 4 bits each) -> one of the layouts, and the truth.
      std::map<std::tuple<int, uint64_t, uint64_t>, std::pair<uint64_t, Truth>> seen;
      for (uint64_t mines = 0; mines >> cells == 0; ++mines) {
        for (int press = 0; press < cells; ++press) {
          if (mines >> press & 1) continue;
          const uint64_t shown = grid.Flood(mines, 0, press / rows + 1, press % rows + 1);
          uint64_t numbers = 0;
          for (int bit = 0; bit < cells; ++bit)
            if (shown >> bit & 1)
              numbers |= uint64_t(grid.Around(mines, bit / rows + 1, bit % rows + 1)) << 4 * bit;
          auto key = std::make_tuple(__builtin_popcountll(mines), shown, numbers);
          Truth& truth = seen.emplace(key, std::make_pair(mines, Truth{})).first->second.second;
          truth.someMine |= mines;
          truth.someFree |= ~mines;
        }
      }
      for (const auto& [key, layouts] : seen) {
        ASSERT_TRUE(grid.Solves(std::get<0>(key), layouts.first, std::get<1>(key), layouts.second));
        ++positions;
      }
    }
  }
  printf("solver: %d positions of grids up to 4 x 4 agree with enumeration\n", positions);
}

// The truth by plain search over the covered cells next to a number, one by one, each number
// checked as its cells are decided; the other covered cells (the sea) hold what the total leaves
// them, any way.
struct Search {
  int frontier[64], count = 0;
  int numbersOf[64][8], numberCount[64] = {};  // by frontier index: the numbers around it
  int need[64] = {}, open[64] = {};            // by the number's bit: mines left, cells undecided
  uint64_t frontierBits = 0, seaBits = 0, mines = 0;
  int seaCells = 0, total;
  Truth truth;

  Search(const Grid& grid, int mineCount, uint64_t layout, uint64_t shown) : total(mineCount) {
    for (int c = 1; c <= grid.columns; ++c) {
      for (int r = 1; r <= grid.rows; ++r) {
        const int bit = grid.Bit(c, r);
        if (grid.Has(shown, c, r)) {
          need[bit] = grid.Around(layout, c, r);
          continue;
        }
        int& numbers = numberCount[count];
        for (int n = 0; n < 9; ++n)
          if (grid.Has(shown, c - 1 + n / 3, r - 1 + n % 3))
            ++open[numbersOf[count][numbers++] = grid.Bit(c - 1 + n / 3, r - 1 + n % 3)];
        (numbers > 0 ? frontierBits : seaBits) |= uint64_t{1} << bit;
        if (numbers > 0) frontier[count++] = bit;
      }
    }
    seaCells = __builtin_popcountll(seaBits);
    Next(0, 0);
  }
  void Next(int next, int placed) {
    if (next == count) {
      const int left = total - placed;
      if (left < 0 || left > seaCells) return;
      truth.someMine |= mines | (left > 0 ? seaBits : 0);
      truth.someFree |= (~mines & frontierBits) | (left < seaCells ? seaBits : 0);
      return;
    }
    for (int mine = 0; mine <= 1; ++mine) {
      bool fits = true;
      for (int i = 0; i < numberCount[next]; ++i) {
        const int number = numbersOf[next][i];
        need[number] -= mine;
        --open[number];
        fits = fits && need[number] >= 0 && need[number] <= open[number];
      }
      if (fits) {
        mines |= uint64_t(mine) << frontier[next];
        Next(next + 1, placed + mine);
        mines &= ~(uint64_t{1} << frontier[next]);
      }
      for (int i = 0; i < numberCount[next]; ++i) {
        need[numbersOf[next][i]] += mine;
        ++open[numbersOf[next][i]];
      }
    }
  }
};

// Positions of an 8 x 8 grid: a layout of 4 to 20 mines at random, a press on a safe cell, then
// up to four more.
TEST(SolverTest, RandomPositionsOf8x8AgreeWithSearch) {
  const Grid grid = {8, 8};
  std::mt19937 random(20261210);
  for (int position = 0; position < 10000; ++position) {
    const int total = std::uniform_int_distribution<int>(4, 20)(random);
    uint64_t mines = 0;
    while (__builtin_popcountll(mines) < total) mines |= uint64_t{1} << (random() % 64);
    uint64_t shown = 0;
    const int presses = std::uniform_int_distribution<int>(1, 5)(random);
    for (int press = 0; press < presses; ++press) {
      const int bit = static_cast<int>(random() % 64);
      if (!(mines >> bit & 1)) shown = grid.Flood(mines, shown, bit / 8 + 1, bit % 8 + 1);
    }
    ASSERT_TRUE(grid.Solves(total, mines, shown, Search(grid, total, mines, shown).truth))
        << "position " << position;
  }
}

// 10,000 no-guess deals at each ratio, each from a press at random: the press and its neighbours
// hold no mine, nor do the corners, the count is the plain deal's, and the solver uncovers every
// safe cell from the opening.
class NoGuessDealTest : public GameTest, public ::testing::WithParamInterface<int> {};

TEST_P(NoGuessDealTest, TenThousandDealsAtEachRatioAreSolvedFromTheirPress) {
  const int side = GetParam();
  std::mt19937 random(static_cast<uint32_t>(side));
  auto draw = [&random] { return static_cast<uint32_t>(random()); };
  for (int ratio = kHardRatio; ratio <= kEasyRatio; ++ratio) {
    Settings = {ratio, side, 18, 0};
    int solved = 0;
    for (int deal = 0; deal < 10000; ++deal) {
      const uint32_t seed = draw();
      const int column = 1 + static_cast<int>(draw() % static_cast<uint32_t>(side));
      const int row = 1 + static_cast<int>(draw() % static_cast<uint32_t>(side));
      DealBoardWithSeed(seed);
      ASSERT_TRUE(DealNoGuessLayout(seed, column, row)) << seed << " at " << column << ", " << row;
      int mines = 0, barred = 0;
      for (int c = 1; c <= side; ++c) {
        for (int r = 1; r <= side; ++r) {
          if (Board[c][r] != kCoveredMine) continue;
          ++mines;
          barred += ((c == 1 || c == side) && (r == 1 || r == side)) ||
                    (std::abs(c - column) <= 1 && std::abs(r - row) <= 1);
        }
      }
      ASSERT_EQ(std::vector<int>({Game.totalMines, 0}), std::vector<int>({mines, barred}))
          << seed << " at " << column << ", " << row;
      EncodeNeighbours();
      solved += SolvesFromPress(column, row);
    }
    EXPECT_EQ(solved, 10000) << side << " x " << side << ", ratio " << ratio;
  }
}

INSTANTIATE_TEST_SUITE_P(Sides, NoGuessDealTest, ::testing::Values(10, 16, 30));

using NoGuessGameTest = GameTest;

// The option reaches a game not started at once, one under way at the next deal. A no-guess
// game's first uncovering press deals its mines again around it: the flags placed before it and
// every counter stay, it opens an area, and the solver finishes the game from there.
TEST_F(NoGuessGameTest, TheFirstUncoveringPressDealsAgainAroundIt) {
  Settings = {6, 10, 18, 0, 0};
  DealBoardWithSeed(1);
  SetNoGuess(true);
  const int waiting = Game.noGuess;
  GameState = GS_RUNNING;
  SetNoGuess(false);
  EXPECT_EQ(std::vector<int>({kNoGuessWaiting, kNoGuessWaiting, 0}),
            std::vector<int>({waiting, Game.noGuess, Settings.noGuess}));
  for (int side : {10, 16, 30}) {
    for (int ratio = kHardRatio; ratio <= kEasyRatio; ++ratio) {
      Settings = {ratio, side, 18, 0, 1};
      DealBoardWithSeed(static_cast<uint32_t>(side + ratio));
      EncodeNeighbours();
      const GameRecord dealt = Game;
      RightPressCell(1, 1);  // a corner, which no deal mines
      LeftPressCell(side - 1, side - 2);
      EXPECT_EQ(std::vector<int>({kNoGuessDealt, dealt.totalMines, dealt.minesLeft - 1,
                                  dealt.undosLeft, 1, 0, 1}),
                std::vector<int>({Game.noGuess, Game.totalMines, Game.minesLeft, Game.undosLeft,
                                  IsFlagged(Board[1][1]), Board[side - 1][side - 2],
                                  SolvesFromPress(side - 1, side - 2)}))
          << side << " ratio " << ratio;
    }
  }
}

// The hint, in every state and with what the solver finds: no undo, nothing proven, a safe
// cell, only mines left. A hint uncovers nothing.
TEST_F(NoGuessGameTest, HintShowsAProvenCellForOneUndo) {
  auto hint = [](int32_t state) {
    GameState = state;
    ResetFakeWindow();
    const int32_t undos = Game.undosLeft;
    Hint();
    return std::make_pair(Calls(), undos - Game.undosLeft);
  };
  DealSeedOne();
  for (int32_t state : {GS_READY, GS_EXPLODED, GS_OVER})
    EXPECT_EQ(hint(state), std::make_pair(CallLog{}, 0)) << state;
  // Nothing uncovered: nothing can be proven, and the undo is kept.
  RightPressCell(1, 1);
  RightPressCell(1, 1);
  EXPECT_EQ(hint(GS_RUNNING), std::make_pair(CallLog{{CALL_GUESS_NEEDED, 0}}, 0));
  // After the flood from (10, 10), a proven safe cell under the cursor.
  LeftPressCell(10, 10);
  const signed char before = Board[1][1];
  Cursor = {1, 1, 0};
  const auto safe = hint(GS_RUNNING);
  EXPECT_EQ(safe,
            std::make_pair(CallLog{{CALL_CURSOR_CHANGED, PackCell(Cursor.column, Cursor.row)}}, 1));
  EXPECT_TRUE(Cursor.shown && IsCoveredSafe(Board[Cursor.column][Cursor.row]) &&
              Board[1][1] == before)
      << Cursor.column << ", " << Cursor.row;
  // Every safe cell uncovered: the hint names the mine nearest the cursor that has no flag.
  for (int c = 1; c <= 10; ++c)
    for (int r = 1; r <= 10; ++r)
      if (IsCoveredSafe(Board[c][r])) Board[c][r] = Complement(Board[c][r]);
  RightPressCell(1, 5);  // the mine nearest (1, 1)
  Cursor = {1, 1, 1};
  EXPECT_EQ(
      hint(GS_RUNNING),
      std::make_pair(CallLog{{CALL_CURSOR_CHANGED, PackCell(2, 3)}, {CALL_HINT_IS_MINE, 0}}, 1));
  Game.undosLeft = 0;
  EXPECT_EQ(hint(GS_RUNNING), std::make_pair(CallLog{{CALL_PLAY_EFFECT, EFFECT_REJECTED}}, 0));
}

}  // namespace
