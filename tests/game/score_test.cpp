// score_test.cpp: the score formula, the entry into the best-score table and the name.
#include "game_fixture.h"

namespace {

using ScoreTest = GameTest;

TEST_F(ScoreTest, ScoreExamples) {
  const struct {
    int columns, ratio, mines, undos, elapsed, minutes, seconds, score;
  } games[] = {
      {16, 5, 51, 8, 330, 5, 30, 2736},  {10, 6, 16, 3, 119, 1, 59, 380},
      {10, 6, 16, 3, 120, 2, 0, 360},    {10, 6, 16, 0, 40 * 60, 40, 0, 20},
      {10, 6, 16, 0, 32 * 60, 32, 0, 0}, {30, 4, 225, 45, 119, 1, 59, 32400},
  };
  for (const auto& game : games) {
    Game = GameRecord{};  // what the score reads, and a last score it must replace
    Game.columns = game.columns;
    Game.ratio = game.ratio;
    Game.totalMines = game.mines;
    Game.undosLeft = game.undos;
    Game.elapsedSeconds = game.elapsed;
    Game.lastScore = -7;
    int32_t minutes = -1, seconds = -1;
    const int32_t score = ComputeScore(&minutes, &seconds);
    EXPECT_EQ(std::vector<int>({game.score, game.score, game.minutes, game.seconds}),
              std::vector<int>({score, Game.lastScore, minutes, seconds}))
        << game.elapsed;
  }
}

// Enters `score` with the name `name` offered back; gives the index of the entry it changed,
// or -1, and checks that the name was asked exactly when an entry changed (a score of 0
// entering an empty entry changes its name to the blank offered back).
int Enter(int32_t score, const char* name = "New") {
  ScoreEntry before[kScoreEntries];
  memcpy(before, ScoreTable, sizeof before);
  ResetFakeWindow();
  SetNameAnswer(name);
  Game.lastScore = score;
  EnterScore();
  int changed = -1;
  for (int i = kScoreEntries - 1; i >= 0; --i)
    if (memcmp(&before[i], &ScoreTable[i], sizeof before[i]) != 0) changed = i;
  EXPECT_EQ(FakeWindow.calls, changed >= 0 ? 1 : 0) << "asked for the name";
  return changed;
}

TEST_F(ScoreTest, FirstEmptyEntryElseTheFirstOfTheSmallest) {
  for (int i = 0; i < kScoreEntries; ++i) ScoreTable[i] = {900, "Old"};
  ScoreTable[3].score = ScoreTable[9].score = 0;
  EXPECT_EQ(Enter(5, "Zoe"), 3);
  EXPECT_STREQ(ScoreTable[3].name, "Zoe");
  EXPECT_STREQ(FakeWindow.nameOffered, " ");
  EXPECT_EQ(Enter(1), 9);

  ScoreTable[3].score = ScoreTable[9].score = 900;
  ScoreTable[6].score = ScoreTable[11].score = 500;
  EXPECT_EQ(Enter(499), -1);
  EXPECT_EQ(Enter(500, "Eve"), 6);
  EXPECT_EQ(std::vector<int>({500, 500}),
            std::vector<int>({ScoreTable[6].score, ScoreTable[11].score}));
  EXPECT_STREQ(ScoreTable[6].name, "Eve");

  // A score of 0 enters only an empty or negative entry; the name is still asked.
  EXPECT_EQ(Enter(0), -1);
  ScoreTable[20].score = -3;
  EXPECT_EQ(Enter(0, "Neg"), 20);
  ClearScores();
  for (const ScoreEntry& entry : ScoreTable) EXPECT_TRUE(entry.score == 0 && entry.name[0] == 0);
  EXPECT_EQ(Enter(0, " "), 0);
  EXPECT_STREQ(ScoreTable[0].name, " ");
}

TEST_F(ScoreTest, NameIsCutAndTerminated) {
  memset(FakeWindow.nameAnswer, 'x', sizeof FakeWindow.nameAnswer);  // no terminator at all
  Game.lastScore = 42;
  EnterScore();
  EXPECT_EQ(std::string(ScoreTable[0].name), std::string(24, 'x'));
}

// Listed up to the first empty entry, best first, equal scores in table order (negative scores
// from a hand-edited file last).
TEST_F(ScoreTest, ListedBestFirstUpToTheFirstEmptyEntry) {
  const struct {
    std::vector<int32_t> scores;  // from entry 0; the rest stay empty
    std::vector<int> order;
  } tables[] = {
      {{}, {}},
      {{0, 500}, {}},
      {{812, 19440, 2736, 380, 0, 9000}, {1, 2, 0, 3}},
      {{380, 32400}, {1, 0}},
      {{5, 7, 5, -3, 7, 5}, {1, 4, 0, 2, 5, 3}},
  };
  for (const auto& table : tables) {
    ClearScores();
    for (size_t i = 0; i < table.scores.size(); ++i) ScoreTable[i].score = table.scores[i];
    int order[kScoreEntries];
    const int count = ScoresBestFirst(order);
    EXPECT_EQ(table.order, std::vector<int>(order, order + count)) << table.scores.size();
  }
  // A full table, each score once and in rising order: listed in exactly the reverse order.
  for (int i = 0; i < kScoreEntries; ++i) ScoreTable[i].score = 100 + i;
  int order[kScoreEntries];
  ASSERT_EQ(kScoreEntries, ScoresBestFirst(order));
  for (int i = 0; i < kScoreEntries; ++i) EXPECT_EQ(kScoreEntries - 1 - i, order[i]);
}

}  // namespace
