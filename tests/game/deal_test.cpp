// deal_test.cpp: the deal generator, the placement of mines and the neighbour encoding.
#include <ctime>

#include "game_fixture.h"

using DealTest = GameTest;

TEST_F(DealTest, GeneratorSequencesForSeedsOneAndZero) {
  const int fromOne[] = {346, 130, 10982, 1090, 11656};
  const int fromZero[] = {0, 346, 130, 10982, 1090};
  DealGenerator one;
  DealGenerator zero;
  SeedGenerator(one, 1);
  SeedGenerator(zero, 0);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(NextDraw(one), fromOne[i]) << "draw " << i;
    EXPECT_EQ(NextDraw(zero), fromZero[i]) << "draw " << i;
  }
}

// Seed 1 redraws the corner (10, 1); seed 0 first falls on the corner (1, 1): same layout.
TEST_F(DealTest, SeedOneAndZeroLayoutAndEncoding) {
  const signed char M = kCoveredMine;
  const signed char expected[10][10] = {
      // [row - 1][column - 1]
      {-1, -1, -2, M, -2, -2, M, -3, -2, -1},  {-2, -2, -3, -2, -2, -2, -3, M, -4, -3},
      {-2, M, -2, -1, -1, -1, -2, -3, M, M},   {-3, -3, -2, -1, -1, -1, -1, -2, -3, -3},
      {M, -3, -2, -1, -1, -1, -1, -1, -2, -2}, {-3, M, -3, -3, -3, -3, -2, -1, -2, M},
      {-3, -4, M, -3, M, M, -2, -1, -2, -2},   {-2, M, -3, -4, -5, -5, -3, -1, -1, -1},
      {-2, -2, -2, -2, M, M, -3, -2, -2, -1},  {-1, -1, -1, -2, -3, -3, -3, M, -2, -1},
  };
  const struct {
    uint32_t seed;
    int draws;
  } deals[] = {{1, 17}, {0, 18}};
  for (const auto& deal : deals) {
    Settings = {6, 10, 15, 0};
    EXPECT_EQ(DealBoardWithSeed(deal.seed), deal.draws) << "seed " << deal.seed;
    EXPECT_EQ(Game.totalMines, 16);
    EXPECT_EQ(Game.minesLeft, 16);
    EXPECT_EQ(Game.undosLeft, 3);
    EXPECT_EQ(GameState, GS_NEW);
    for (int c = 1; c <= 10; ++c)
      for (int r = 1; r <= 10; ++r)
        EXPECT_EQ(Board[c][r] == M, expected[r - 1][c - 1] == M) << c << "," << r;
    EncodeNeighbours();
    for (int c = 1; c <= 10; ++c)
      for (int r = 1; r <= 10; ++r)
        EXPECT_EQ(Board[c][r], expected[r - 1][c - 1])
            << "seed " << deal.seed << " " << c << "," << r;
  }
}

TEST_F(DealTest, MineAndUndoCountsForEveryGridAndRatio) {
  const int sides[] = {10, 16, 20, 25, 30};
  const int mines[5][3] = {
      {25, 20, 16}, {64, 51, 42}, {100, 80, 66}, {156, 125, 104}, {225, 180, 150}};
  const int undos[5][3] = {{5, 4, 3}, {12, 10, 8}, {20, 16, 13}, {31, 25, 20}, {45, 36, 30}};
  for (int s = 0; s < 5; ++s) {
    for (int ratio = 4; ratio <= 6; ++ratio) {
      const int side = sides[s];
      Settings = {ratio, side, 18, 0};
      memset(Board, 0x55, sizeof Board);  // the deal must clear the border itself
      DealBoardWithSeed(static_cast<uint32_t>(side * 7 + ratio));
      EXPECT_EQ(Game.totalMines, mines[s][ratio - 4]) << side << " ratio " << ratio;
      EXPECT_EQ(Game.minesLeft, Game.totalMines);
      EXPECT_EQ(Game.undosLeft, undos[s][ratio - 4]) << side << " ratio " << ratio;
      EXPECT_EQ(Game.elapsedSeconds, 0);
      EncodeNeighbours();
      int placed = 0;
      int border = 0;
      for (int c = 0; c < kBoardSide; ++c) {
        for (int r = 0; r < kBoardSide; ++r) {
          const bool inGrid = c >= 1 && c <= side && r >= 1 && r <= side;
          const signed char value = Board[c][r];
          if (!inGrid) {
            border += value != 0;
            continue;
          }
          placed += value == kCoveredMine;
          EXPECT_TRUE(value == kCoveredMine || (value <= -1 && value >= -9)) << int{value};
        }
      }
      EXPECT_EQ(placed, Game.totalMines);
      EXPECT_EQ(border, 0);
    }
  }
}

TEST_F(DealTest, CornersNeverHoldAMine) {
  for (uint32_t seed = 0; seed < 300; ++seed) {
    Settings = {4, 10 + static_cast<int32_t>(seed % 21), 15, 0};
    DealBoardWithSeed(seed * 2654435761u);
    const int n = Game.columns;
    ASSERT_NE(Board[1][1], kCoveredMine) << seed;
    ASSERT_NE(Board[1][n], kCoveredMine) << seed;
    ASSERT_NE(Board[n][1], kCoveredMine) << seed;
    ASSERT_NE(Board[n][n], kCoveredMine) << seed;
  }
}

TEST_F(DealTest, DealSeedsFromTheCalendarSecond) {
  signed char dealt[kBoardSide][kBoardSide];
  for (int attempt = 0; attempt < 5; ++attempt) {
    const time_t before = time(nullptr);
    DealBoard();
    memcpy(dealt, Board, sizeof Board);
    if (time(nullptr) != before) continue;  // crossed a second: try again
    DealBoardWithSeed(static_cast<uint32_t>(before));
    EXPECT_EQ(memcmp(dealt, Board, sizeof Board), 0);
    return;
  }
  FAIL() << "the clock kept crossing seconds";
}

TEST_F(DealTest, EncodingCountsOnlyMinesInsideTheArray) {
  Game.columns = Game.rows = 10;
  for (int dc = -1; dc <= 1; ++dc)
    for (int dr = -1; dr <= 1; ++dr)
      if (dc != 0 || dr != 0) Board[5 + dc][5 + dr] = kCoveredMine;
  Board[2][1] = Board[1][2] = Board[2][2] = kCoveredMine;
  Board[10][9] = kCoveredMine;
  EncodeNeighbours();
  EXPECT_EQ(Board[5][5], -9);
  EXPECT_EQ(Board[1][1], -4);    // a corner has three neighbours
  EXPECT_EQ(Board[10][10], -2);  // one mine by it; the border reads as none
  EXPECT_EQ(Board[3][3], -3);    // (2, 2) and (4, 4), one from each cluster
  EXPECT_EQ(Board[11][10], 0);
}

// Values no settings file or dialog gives must not overrun the board or hang the deal.
TEST_F(DealTest, OutOfRangeSettingsFallBackToDefaults) {
  Settings = {0, 31, 0, 0};
  DealBoardWithSeed(5);
  EXPECT_EQ(Game.columns, 10);
  EXPECT_EQ(Game.rows, 10);
  EXPECT_EQ(Game.ratio, 6);
  EXPECT_EQ(Game.size, 18);
  EXPECT_EQ(Game.totalMines, 16);
  Settings = {3, 9, 20, 0};
  DealBoardWithSeed(5);
  EXPECT_EQ(Game.columns, 10);
  EXPECT_EQ(Game.ratio, 6);
}
