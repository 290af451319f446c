// game_fixture.h: a fresh window log and the seeded boards the game tests play on.
#pragma once

#include <gtest/gtest.h>

#include <cstring>

#include "fake_window.h"
#include "game/game.h"

class GameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFakeWindow();
    memset(Board, 0, sizeof Board);
    memset(&Game, 0, sizeof Game);
    GameState = 0;
    Settings = {6, 10, 15, 0};
    for (ScoreEntry& entry : ScoreTable) entry = {};
  }

  // The 10 x 10, ratio 6 board of seed 1, 15-pixel tiles.
  static void DealSeedOne() {
    Settings = {6, 10, 15, 0};
    DealBoardWithSeed(1);
    EncodeNeighbours();
  }

  // Client point in the middle of a cell of the running game.
  static unsigned X(int column) { return static_cast<unsigned>((column - 1) * Game.size + 7); }
  static unsigned Y(int row) { return static_cast<unsigned>((row - 1) * Game.size + 7); }

  static int UncoveredCells() {
    int count = 0;
    for (int c = 1; c <= Game.columns; ++c)
      for (int r = 1; r <= Game.rows; ++r) count += Board[c][r] >= 0;
    return count;
  }

  static bool IsMine(int c, int r) {
    return Board[c][r] == kCoveredMine || Board[c][r] == kFlaggedMine ||
           Board[c][r] == kExplodedMine;
  }
};
