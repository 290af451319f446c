// moves_test.cpp: presses in every state, flood fill, explosion and Undo, the win, the clock.
#include "game_fixture.h"

using MovesTest = GameTest;

TEST_F(MovesTest, FloodFillsOfTheSeedOneBoard) {
  const struct {
    int column, row, uncovered, empty;
  } presses[] = {{10, 10, 46, 19}, {1, 1, 6, 2}, {1, 10, 8, 3}, {10, 1, 4, 1}};
  for (const auto& press : presses) {
    ResetFakeWindow();
    DealSeedOne();
    LeftPress(X(press.column), Y(press.row));
    EXPECT_EQ(UncoveredCells(), press.uncovered) << press.column << "," << press.row;
    EXPECT_EQ(FakeWindow.effects[4], press.empty) << press.column << "," << press.row;
    int zeros = 0;
    for (int c = 1; c <= 10; ++c)
      for (int r = 1; r <= 10; ++r) {
        zeros += Board[c][r] == 0;
        EXPECT_FALSE(Board[c][r] >= 0 && Board[c][r] > 8) << "a mine was uncovered";
      }
    EXPECT_EQ(zeros, press.empty);
    EXPECT_EQ(FakeWindow.redraws, 1);
  }
}

// An empty 30 x 30 grid: the fill goes 900 deep, and stays inside the grid although the
// array around it holds covered-looking values.
TEST_F(MovesTest, FloodFillOfAWholeGridStaysInside) {
  Settings = {6, 30, 15, 0};
  DealBoardWithSeed(1);
  memset(Board, -1, sizeof Board);
  Game.totalMines = Game.minesLeft = 0;
  LeftPress(X(30), Y(30));
  EXPECT_EQ(UncoveredCells(), 900);
  EXPECT_EQ(FakeWindow.effects[4], 900);
  for (int i = 0; i < kBoardSide; ++i) {
    EXPECT_EQ(Board[0][i], -1);
    EXPECT_EQ(Board[31][i], -1);
    EXPECT_EQ(Board[i][0], -1);
    EXPECT_EQ(Board[i][31], -1);
  }
}

TEST_F(MovesTest, FloodFillDoesNotCrossFlags) {
  Settings = {6, 10, 15, 0};
  DealBoardWithSeed(1);
  for (int c = 1; c <= 10; ++c)
    for (int r = 1; r <= 10; ++r) Board[c][r] = c == 5 ? -17 : -1;
  LeftPress(X(4), Y(4));
  EXPECT_EQ(UncoveredCells(), 40);
  EXPECT_EQ(FakeWindow.effects[4], 40);
  for (int r = 1; r <= 10; ++r) {
    EXPECT_EQ(Board[5][r], -17);
    EXPECT_EQ(Board[6][r], -1);
  }
}

TEST_F(MovesTest, FirstPressStartsTheGame) {
  DealSeedOne();
  LeftPress(X(4), Y(2));  // a numbered cell
  EXPECT_EQ(GameState, GS_RUNNING);
  ASSERT_EQ(FakeWindow.calls, 3);
  EXPECT_EQ(FakeWindow.log[0].kind, CALL_START_CLOCK);
  EXPECT_EQ(FakeWindow.log[1].kind, CALL_SHOW_CLOCK);
  EXPECT_EQ(FakeWindow.log[1].argument, 0);
  EXPECT_EQ(FakeWindow.log[2].kind, CALL_REDRAW_GAME);
  EXPECT_EQ(Board[4][2], 1);

  // A right press from GS_READY starts the clock but shows no time.
  DealSeedOne();
  GameState = GS_READY;
  ResetFakeWindow();
  RightPress(X(1), Y(1));
  EXPECT_EQ(GameState, GS_RUNNING);
  EXPECT_EQ(CountCalls(CALL_START_CLOCK), 1);
  EXPECT_EQ(CountCalls(CALL_SHOW_CLOCK), 0);
  EXPECT_EQ(Board[1][1], -17);
  EXPECT_EQ(Game.minesLeft, 15);

  // Outside the grid the first press still starts the game, then is rejected.
  for (int button = 0; button < 2; ++button) {
    DealSeedOne();
    ResetFakeWindow();
    if (button == 0) LeftPress(X(11), Y(1));
    if (button == 1) RightPress(X(3), Y(11));
    EXPECT_EQ(GameState, GS_RUNNING);
    EXPECT_EQ(CountCalls(CALL_START_CLOCK), 1);
    EXPECT_EQ(FakeWindow.effects[0], 1);
    EXPECT_EQ(FakeWindow.redraws, 0);
  }
}

TEST_F(MovesTest, RejectedPressesChangeNothing) {
  DealSeedOne();
  RightPress(X(1), Y(1));  // flag
  LeftPress(X(4), Y(2));   // uncover a 1
  signed char before[kBoardSide][kBoardSide];
  memcpy(before, Board, sizeof Board);
  const GameRecord game = Game;
  ResetFakeWindow();
  LeftPress(X(1), Y(1));    // flagged
  LeftPress(X(4), Y(2));    // uncovered
  RightPress(X(4), Y(2));   // uncovered
  LeftPress(65535, Y(1));   // far right: must not wrap into the grid
  RightPress(X(2), 65535);  // far below
  EXPECT_EQ(FakeWindow.effects[0], 5);
  EXPECT_EQ(FakeWindow.calls, 5);
  EXPECT_EQ(memcmp(before, Board, sizeof Board), 0);
  EXPECT_EQ(memcmp(&game, &Game, sizeof Game), 0);
}

TEST_F(MovesTest, CellAtPointUsesTheTileSize) {
  Settings = {6, 10, 21, 0};
  DealBoardWithSeed(1);
  EXPECT_EQ(CellAtPoint(0, 0), 1 * 256 + 1);
  EXPECT_EQ(CellAtPoint(20, 21), 1 * 256 + 2);
  EXPECT_EQ(CellAtPoint(209, 210), 10 * 256 + 11);
  // 16-bit coordinates far past the grid stay past it.
  EXPECT_GT((CellAtPoint(21 * 255 + 5, 0) >> 8) & 0xFF, 30);
  EXPECT_GT(CellAtPoint(0, 65535) & 0xFF, 30);
}

TEST_F(MovesTest, ExplosionAndUndo) {
  DealSeedOne();
  LeftPress(X(4), Y(1));  // a mine
  EXPECT_EQ(GameState, GS_EXPLODED);
  EXPECT_EQ(Board[4][1], kExplodedMine);
  EXPECT_EQ(Game.minesLeft, 15);
  EXPECT_EQ(Game.lastExploded, 4 * 256 + 1);
  const int effect = FindCall(CALL_PLAY_EFFECT);
  ASSERT_GE(effect, 0);
  EXPECT_EQ(FakeWindow.log[effect].argument, 2);
  EXPECT_EQ(FakeWindow.log[effect + 1].kind, CALL_ENABLE_UNDO);
  EXPECT_EQ(FakeWindow.log[effect + 1].argument, 1);
  EXPECT_EQ(FakeWindow.log[effect + 2].kind, CALL_REDRAW_GAME);

  // Frozen: a left press does nothing at all, nor do ticks.
  ResetFakeWindow();
  LeftPress(X(1), Y(1));
  ClockTick();
  EXPECT_EQ(FakeWindow.calls, 0);
  EXPECT_EQ(Game.elapsedSeconds, 0);

  // Any right press, even outside the grid, is Undo.
  RightPress(60000, 60000);
  EXPECT_EQ(GameState, GS_RUNNING);
  EXPECT_EQ(Board[4][1], kCoveredMine);
  EXPECT_EQ(Game.minesLeft, 16);
  EXPECT_EQ(Game.undosLeft, 2);
  ASSERT_EQ(FakeWindow.calls, 3);
  EXPECT_EQ(FakeWindow.log[0].kind, CALL_PLAY_EFFECT);
  EXPECT_EQ(FakeWindow.log[0].argument, 5);
  EXPECT_EQ(FakeWindow.log[1].kind, CALL_ENABLE_UNDO);
  EXPECT_EQ(FakeWindow.log[1].argument, 0);
  EXPECT_EQ(FakeWindow.log[2].kind, CALL_REDRAW_GAME);

  // Undo outside GS_EXPLODED does nothing.
  ResetFakeWindow();
  Undo();
  EXPECT_EQ(FakeWindow.calls, 0);
  EXPECT_EQ(Game.undosLeft, 2);
}

TEST_F(MovesTest, UndoWithoutUndosLeftDoesNothing) {
  DealSeedOne();
  Game.undosLeft = 0;
  LeftPress(X(2), Y(3));  // a mine
  ASSERT_EQ(GameState, GS_EXPLODED);
  ResetFakeWindow();
  Undo();
  RightPress(X(1), Y(1));
  EXPECT_EQ(FakeWindow.calls, 0);
  EXPECT_EQ(GameState, GS_EXPLODED);
  EXPECT_EQ(Board[2][3], kExplodedMine);
  EXPECT_EQ(Game.minesLeft, 15);
  EXPECT_EQ(Board[1][1], -1);

  SeeSolution();
  EXPECT_EQ(GameState, GS_OVER);
  EXPECT_EQ(CountCalls(CALL_STOP_CLOCK), 1);
  EXPECT_EQ(CountCalls(CALL_REDRAW_GAME), 1);
}

TEST_F(MovesTest, ClockCountsOnlyWhileRunning) {
  DealSeedOne();
  ClockTick();
  EXPECT_EQ(Game.elapsedSeconds, 0);
  LeftPress(X(4), Y(2));
  for (int i = 0; i < 61; ++i) ClockTick();
  EXPECT_EQ(Game.elapsedSeconds, 61);
  EXPECT_EQ(FakeWindow.log[FakeWindow.calls - 1].kind, CALL_SHOW_CLOCK);
  EXPECT_EQ(FakeWindow.log[FakeWindow.calls - 1].argument, 61);
  LeftPress(X(4), Y(1));  // explode
  ClockTick();
  Undo();
  ClockTick();
  EXPECT_EQ(Game.elapsedSeconds, 62);
  SeeSolution();
  ClockTick();
  EXPECT_EQ(Game.elapsedSeconds, 62);
}

// Every press after See solution or a win is ignored.
TEST_F(MovesTest, GameOverIgnoresPresses) {
  DealSeedOne();
  SeeSolution();
  EXPECT_EQ(GameState, GS_OVER);
  ResetFakeWindow();
  LeftPress(X(1), Y(1));
  RightPress(X(1), Y(1));
  RightPress(60000, 1);
  Undo();
  EXPECT_EQ(FakeWindow.calls, 0);
  EXPECT_EQ(Board[1][1], -1);
}

class WinTest : public GameTest {
 protected:
  void FlagMines(bool skipLast) {
    int flagged = 0;
    for (int c = 1; c <= Game.columns; ++c)
      for (int r = 1; r <= Game.rows; ++r)
        if (Board[c][r] == kCoveredMine && !(skipLast && ++flagged == Game.totalMines))
          RightPress(X(c), Y(r));
  }
};

TEST_F(WinTest, LastFlagWinsDespiteAWrongFlag) {
  DealSeedOne();
  RightPress(X(1), Y(1));  // a wrong flag
  FlagMines(true);
  EXPECT_EQ(Game.minesLeft, 0);  // the win test ran and failed
  EXPECT_EQ(GameState, GS_RUNNING);
  Game.elapsedSeconds = 119;
  ResetFakeWindow();
  SetNameAnswer("Ada");
  RightPress(X(10), Y(6));  // the last mine in walk order
  EXPECT_EQ(GameState, GS_OVER);
  EXPECT_EQ(Game.minesLeft, -1);
  const SeamCall order[] = {CALL_STOP_CLOCK, CALL_SHOW_CONGRATULATION, CALL_ASK_NAME,
                            CALL_REDRAW_GAME};
  ASSERT_EQ(FakeWindow.calls, 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(FakeWindow.log[i].kind, order[i]) << i;
  EXPECT_EQ(FakeWindow.log[1].argument, 380);
  EXPECT_EQ(Game.lastScore, 380);
  EXPECT_EQ(ScoreTable[0].score, 380);
  EXPECT_STREQ(ScoreTable[0].name, "Ada");
}

TEST_F(WinTest, NoWinWhileTheCounterIsAboveZeroOrWhenAFlagIsRemoved) {
  DealSeedOne();
  Game.minesLeft = 100;  // every mine flagged, yet the counter says otherwise
  FlagMines(false);
  EXPECT_EQ(GameState, GS_RUNNING);
  EXPECT_EQ(CountCalls(CALL_SHOW_CONGRATULATION), 0);

  DealSeedOne();
  RightPress(X(1), Y(1));
  RightPress(X(1), Y(2));
  FlagMines(true);  // 17 flags, 15 on mines
  EXPECT_EQ(Game.minesLeft, -1);
  EXPECT_EQ(GameState, GS_RUNNING);
  RightPress(X(1), Y(2));  // removing a flag never wins
  EXPECT_EQ(Game.minesLeft, 0);
  EXPECT_EQ(Board[1][2], -2);
  EXPECT_EQ(GameState, GS_RUNNING);
  RightPress(X(10), Y(6));
  EXPECT_EQ(Game.minesLeft, -1);
  EXPECT_EQ(GameState, GS_OVER);
}

// Changing the options mid-game leaves the running game as it was dealt.
TEST_F(WinTest, RunningGameKeepsItsDealtValues) {
  DealSeedOne();
  Settings = {4, 30, 21, 0};
  EXPECT_EQ(CellAtPoint(150, 0), 11 * 256 + 1);
  LeftPress(150, 0);  // column 11: past this game's grid
  EXPECT_EQ(FakeWindow.effects[0], 1);
  EXPECT_EQ(UncoveredCells(), 0);
  Board[20][20] = kFlaggedMine;  // past the grid: not the game's to count
  FlagMines(false);
  EXPECT_EQ(GameState, GS_OVER);
  EXPECT_EQ(Game.lastScore, 2 * 19 * 10);
}
