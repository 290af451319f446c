// score_test.cpp: the score formula, the entry into the best-score table and the name.
#include "game_fixture.h"

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
    Game.columns = Game.rows = game.columns;
    Game.ratio = game.ratio;
    Game.totalMines = game.mines;
    Game.undosLeft = game.undos;
    Game.elapsedSeconds = game.elapsed;
    Game.lastScore = -7;
    int32_t minutes = -1;
    int32_t seconds = -1;
    EXPECT_EQ(ComputeScore(&minutes, &seconds), game.score) << game.elapsed;
    EXPECT_EQ(Game.lastScore, game.score);
    EXPECT_EQ(minutes, game.minutes);
    EXPECT_EQ(seconds, game.seconds);
  }
}

static void FillTable(int32_t score) {
  for (int i = 0; i < kScoreEntries; ++i) {
    ScoreTable[i].score = score;
    snprintf(ScoreTable[i].name, sizeof ScoreTable[i].name, "P%d", i + 1);
  }
}

TEST_F(ScoreTest, TakesTheFirstEmptyEntry) {
  FillTable(10000);
  ScoreTable[3].score = 0;
  ScoreTable[9].score = 0;
  Game.lastScore = 5;
  SetNameAnswer("Zoe");
  EnterScore();
  EXPECT_EQ(ScoreTable[3].score, 5);
  EXPECT_STREQ(ScoreTable[3].name, "Zoe");
  EXPECT_EQ(ScoreTable[9].score, 0);
  EXPECT_STREQ(FakeWindow.nameOffered, " ");

  // A score of 0 enters an empty entry, asks the name, and leaves the entry empty.
  ClearScores();
  for (const ScoreEntry& entry : ScoreTable) {
    EXPECT_EQ(entry.score, 0);
    EXPECT_STREQ(entry.name, "");
  }
  ResetFakeWindow();
  Game.lastScore = 0;
  EnterScore();
  EXPECT_EQ(CountCalls(CALL_ASK_NAME), 1);
  EXPECT_STREQ(ScoreTable[0].name, " ");
  EXPECT_EQ(ScoreTable[0].score, 0);
}

TEST_F(ScoreTest, FullTableReplacesTheFirstSmallest) {
  FillTable(900);
  ScoreTable[6].score = 500;
  ScoreTable[11].score = 500;
  Game.lastScore = 499;
  EnterScore();
  EXPECT_EQ(FakeWindow.calls, 0);
  EXPECT_EQ(ScoreTable[6].score, 500);

  Game.lastScore = 500;
  SetNameAnswer("Eve");
  EnterScore();
  EXPECT_EQ(CountCalls(CALL_ASK_NAME), 1);
  EXPECT_EQ(ScoreTable[6].score, 500);
  EXPECT_STREQ(ScoreTable[6].name, "Eve");
  EXPECT_STREQ(ScoreTable[11].name, "P12");

  // Now entry 12 is the first smallest; a score of 0 only enters over a negative one.
  Game.lastScore = 0;
  ScoreTable[11].score = 600;
  ResetFakeWindow();
  EnterScore();
  EXPECT_EQ(FakeWindow.calls, 0);
  ScoreTable[20].score = -3;
  EnterScore();
  EXPECT_EQ(ScoreTable[20].score, 0);
  EXPECT_EQ(CountCalls(CALL_ASK_NAME), 1);
}

TEST_F(ScoreTest, NameIsCutAndTerminated) {
  memset(FakeWindow.nameAnswer, 'x', sizeof FakeWindow.nameAnswer);  // no terminator at all
  Game.lastScore = 42;
  EnterScore();
  EXPECT_EQ(strlen(ScoreTable[0].name), 24u);
  EXPECT_EQ(ScoreTable[0].name[23], 'x');

  SetNameAnswer("Bo");  // a shorter name leaves nothing of the longer one behind
  ScoreTable[0].score = -1;
  FillTable(100);
  memset(ScoreTable[5].name, 'y', sizeof ScoreTable[5].name);
  ScoreTable[5].score = 1;
  EnterScore();
  EXPECT_STREQ(ScoreTable[5].name, "Bo");
  for (size_t i = 2; i < sizeof ScoreTable[5].name; ++i) EXPECT_EQ(ScoreTable[5].name[i], 0);
}
