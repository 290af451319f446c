// game_fixture.h: a fresh window log and the seeded boards the game tests play on.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "tools/fake_window/fake_window.h"
#include "game/game.h"

class GameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFakeWindow();
    memset(Board, 0, sizeof Board);
    memset(&Game, 0, sizeof Game);
    memset(ScoreTable, 0, sizeof ScoreTable);
    memset(&Cursor, 0, sizeof Cursor);
    GameState = 0;
  }
};

// The 10 x 10, ratio 6 board of seed 1, 15-pixel tiles.
inline void DealSeedOne() {
  Settings = {6, 10, 15, 0};
  DealBoardWithSeed(1);
  EncodeNeighbours();
}

// Client point in the middle of a cell of the running game.
inline unsigned X(int column) {
  return static_cast<unsigned>((column - 1) * Game.size + 7);
}
inline unsigned Y(int row) {
  return static_cast<unsigned>((row - 1) * Game.size + 7);
}

inline int UncoveredCells() {
  int count = 0;
  for (int c = 1; c <= Game.columns; ++c)
    for (int r = 1; r <= Game.rows; ++r) count += Board[c][r] >= 0;
  return count;
}

// The calls recorded since the last reset, as (kind, argument) pairs for one comparison.
using CallLog = std::vector<std::pair<int, int>>;
inline CallLog Calls() {
  CallLog calls;
  for (int i = 0; i < FakeWindow.calls && i < kFakeLogCapacity; ++i)
    calls.emplace_back(FakeWindow.log[i].kind, FakeWindow.log[i].argument);
  return calls;
}
