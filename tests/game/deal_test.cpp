// deal_test.cpp: the deal generator, the placement of mines and the neighbour encoding.
#include <ctime>

#include "game_fixture.h"

using DealTest = GameTest;

TEST_F(DealTest, GeneratorSequencesForSeedsOneAndZero) {
  DealGenerator one, zero;
  SeedGenerator(one, 1);
  SeedGenerator(zero, 0);
  std::vector<int> fromOne, fromZero;
  for (int i = 0; i < 5; ++i) fromOne.push_back(NextDraw(one)), fromZero.push_back(NextDraw(zero));
  EXPECT_EQ(fromOne, std::vector<int>({346, 130, 10982, 1090, 11656}));
  EXPECT_EQ(fromZero, std::vector<int>({0, 346, 130, 10982, 1090}));
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
  for (uint32_t seed : {1u, 0u}) {
    Settings = {6, 10, 15, 0};
    EXPECT_EQ(DealBoardWithSeed(seed), seed == 1 ? 17 : 18) << "draws of seed " << seed;
    EXPECT_EQ(GameState, GS_NEW);
    signed char encoded[10][10];
    EncodeNeighbours();
    for (int c = 1; c <= 10; ++c)
      for (int r = 1; r <= 10; ++r) encoded[r - 1][c - 1] = Board[c][r];
    EXPECT_EQ(memcmp(encoded, expected, sizeof expected), 0) << "seed " << seed;
  }
}

TEST_F(DealTest, MineAndUndoCountsForEveryGridAndRatioAndNoMineInACorner) {
  const int sides[] = {10, 16, 20, 25, 30};
  const int mines[5][3] = {
      {25, 20, 16}, {64, 51, 42}, {100, 80, 66}, {156, 125, 104}, {225, 180, 150}};
  const int undos[5][3] = {{5, 4, 3}, {12, 10, 8}, {20, 16, 13}, {31, 25, 20}, {45, 36, 30}};
  for (int s = 0; s < 5; ++s) {
    for (int ratio = 4; ratio <= 6; ++ratio) {
      const int side = sides[s];
      Settings = {ratio, side, 18, 0};
      memset(Board, 0x55, sizeof Board);  // the deal must clear the border itself
      Game.elapsedSeconds = 9;
      DealBoardWithSeed(static_cast<uint32_t>(side * 7 + ratio));
      const int total = mines[s][ratio - 4];
      EXPECT_EQ(
          std::vector<int>({total, total, undos[s][ratio - 4], 0}),
          std::vector<int>({Game.totalMines, Game.minesLeft, Game.undosLeft, Game.elapsedSeconds}))
          << side << " ratio " << ratio;
      int placed = 0, border = 0;
      for (int c = 0; c < kBoardSide; ++c)
        for (int r = 0; r < kBoardSide; ++r) {
          const bool inGrid = c >= 1 && c <= side && r >= 1 && r <= side;
          placed += inGrid && Board[c][r] == kCoveredMine;
          border += !inGrid && Board[c][r] != 0;
        }
      EXPECT_EQ(placed, total);
      EXPECT_EQ(border, 0);
      EXPECT_TRUE(Board[1][1] != kCoveredMine && Board[1][side] != kCoveredMine &&
                  Board[side][1] != kCoveredMine && Board[side][side] != kCoveredMine)
          << "a mine in a corner";
    }
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

// Values no settings file or dialog gives must not overrun the board or hang the deal.
TEST_F(DealTest, OutOfRangeSettingsFallBackToDefaults) {
  for (const SettingsRecord& wild : {SettingsRecord{0, 31, 0, 0}, SettingsRecord{3, 9, 20, 0}}) {
    Settings = wild;
    DealBoardWithSeed(5);
    EXPECT_EQ(std::vector<int>({10, 10, 6, 18, 16}),
              std::vector<int>({Game.columns, Game.rows, Game.ratio, Game.size, Game.totalMines}));
  }
}
