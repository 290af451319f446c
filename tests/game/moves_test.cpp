// moves_test.cpp: presses in every state, flood fill, explosion and Undo, the win, the clock.
#include "game_fixture.h"

namespace {

using MovesTest = GameTest;

const int kRedraw = CALL_REDRAW_GAME, kEffect = CALL_PLAY_EFFECT, kStart = CALL_START_CLOCK,
          kStop = CALL_STOP_CLOCK, kShow = CALL_SHOW_CLOCK, kUndoItem = CALL_ENABLE_UNDO;

// Presses on the seed-one board: (1, 1) is empty, (4, 2) is a 1, (4, 1) and (2, 3) are mines,
// (11, 1) and (3, 11) lie past the grid; 65535 must not wrap into the grid.
const auto LeftOnCorner = [] { LeftPress(X(1), Y(1)); };
const auto LeftOnNumber = [] { LeftPress(X(4), Y(2)); };
const auto LeftOnMine = [] { LeftPress(X(4), Y(1)); };
const auto LeftOnOtherMine = [] { LeftPress(X(2), Y(3)); };
const auto LeftOutside = [] { LeftPress(X(11), Y(1)); };
const auto LeftFarRight = [] { LeftPress(65535, Y(1)); };
const auto RightOnCorner = [] { RightPress(X(1), Y(1)); };
const auto RightOnNumber = [] { RightPress(X(4), Y(2)); };
const auto RightOutside = [] { RightPress(X(3), Y(11)); };
const auto RightFarAway = [] { RightPress(60000, 60000); };

// One action on a fresh window log: the state it leaves and the calls it makes. An action that
// only raises effect 0, or calls nothing, must leave the board and the counters as they were.
void Expect(const char* what, void (*action)(), int32_t state, const CallLog& calls) {
  SCOPED_TRACE(what);
  signed char board[kBoardSide][kBoardSide];
  memcpy(board, Board, sizeof Board);
  const GameRecord game = Game;
  const int32_t before = GameState;
  ResetFakeWindow();
  action();
  EXPECT_EQ(GameState, state);
  EXPECT_EQ(Calls(), calls);
  if (before == state && (calls.empty() || calls == CallLog{{kEffect, 0}})) {
    EXPECT_EQ(memcmp(board, Board, sizeof Board), 0) << "the board changed";
    EXPECT_EQ(memcmp(&game, &Game, sizeof Game), 0) << "a counter changed";
  }
}

TEST_F(MovesTest, EveryTransitionOfTheStateTable) {
  DealSeedOne();
  Expect("first left press", LeftOnNumber, GS_RUNNING, {{kStart, 0}, {kShow, 0}, {kRedraw, 0}});
  EXPECT_EQ(Board[4][2], 1);
  Expect("left on uncovered", LeftOnNumber, GS_RUNNING, {{kEffect, 0}});
  Expect("right on uncovered", RightOnNumber, GS_RUNNING, {{kEffect, 0}});
  Expect("left far right", LeftFarRight, GS_RUNNING, {{kEffect, 0}});
  Expect("tick", ClockTick, GS_RUNNING, {{kShow, 1}});
  Expect("undo while running", Undo, GS_RUNNING, {});
  Expect("explosion", LeftOnMine, GS_EXPLODED, {{kEffect, 2}, {kUndoItem, 1}, {kRedraw, 0}});
  EXPECT_EQ(std::vector<int>({kExplodedMine, 15, 4 * 256 + 1, 3}),
            std::vector<int>({Board[4][1], Game.minesLeft, Game.lastExploded, Game.undosLeft}));
  Expect("left while exploded", LeftOnCorner, GS_EXPLODED, {});
  Expect("tick while exploded", ClockTick, GS_EXPLODED, {});
  Expect("right far away is Undo", RightFarAway, GS_RUNNING,
         {{kEffect, 5}, {kUndoItem, 0}, {kRedraw, 0}});
  EXPECT_EQ(std::vector<int>({kCoveredMine, 16, 2}),
            std::vector<int>({Board[4][1], Game.minesLeft, Game.undosLeft}));
  Expect("the time resumes", ClockTick, GS_RUNNING, {{kShow, 2}});
  Expect("flag", RightOnCorner, GS_RUNNING, {{kRedraw, 0}});
  EXPECT_EQ(std::vector<int>({-17, 15}), std::vector<int>({Board[1][1], Game.minesLeft}));
  Expect("left on a flag", LeftOnCorner, GS_RUNNING, {{kEffect, 0}});
  Expect("see solution", SeeSolution, GS_OVER, {{kStop, 1}, {kRedraw, 0}});
  void (*const frozen[])() = {LeftOnNumber, RightOnCorner, RightFarAway,
                              LeftOnMine,   Undo,          ClockTick};
  for (auto press : frozen) Expect("frozen when over", press, GS_OVER, {});

  // A right press first starts the clock but shows no time; presses past the grid still start
  // the game.
  DealSeedOne();
  GameState = GS_READY;
  Expect("first right press", RightOnCorner, GS_RUNNING, {{kStart, 0}, {kRedraw, 0}});
  Expect("unflag", RightOnCorner, GS_RUNNING, {{kRedraw, 0}});
  EXPECT_EQ(std::vector<int>({-1, 16}), std::vector<int>({Board[1][1], Game.minesLeft}));
  DealSeedOne();
  Expect("first left outside", LeftOutside, GS_RUNNING, {{kStart, 0}, {kShow, 0}, {kEffect, 0}});
  DealSeedOne();
  Expect("first right outside", RightOutside, GS_RUNNING, {{kStart, 0}, {kEffect, 0}});

  // Without undos left an explosion waits for See solution.
  DealSeedOne();
  Game.undosLeft = 0;
  Expect("first press on a mine", LeftOnOtherMine, GS_EXPLODED,
         {{kStart, 0}, {kShow, 0}, {kEffect, 2}, {kUndoItem, 1}, {kRedraw, 0}});
  Expect("undo without undos", Undo, GS_EXPLODED, {});
  Expect("right without undos", RightOnCorner, GS_EXPLODED, {});
  Expect("see solution exploded", SeeSolution, GS_OVER, {{kStop, 1}, {kRedraw, 0}});
}

TEST_F(MovesTest, FloodFillsOfTheSeedOneBoard) {
  const struct {
    int column, row, uncovered, empty;
  } presses[] = {{10, 10, 46, 19}, {1, 1, 6, 2}, {1, 10, 8, 3}, {10, 1, 4, 1}};
  for (const auto& press : presses) {
    ResetFakeWindow();
    DealSeedOne();
    LeftPress(X(press.column), Y(press.row));
    int zeros = 0, mines = 0;
    for (int c = 1; c <= 10; ++c)
      for (int r = 1; r <= 10; ++r) zeros += Board[c][r] == 0, mines += Board[c][r] == kCoveredMine;
    EXPECT_EQ(std::vector<int>({press.uncovered, press.empty, press.empty, 16, 1}),
              std::vector<int>({UncoveredCells(), FakeWindow.effects[EFFECT_FLOOD], zeros, mines,
                                FakeWindow.redraws}))
        << press.column << "," << press.row;
  }
}

// An empty 30 x 30 grid but for a column of flags with a gap at its foot: the fill reaches 871
// cells, round the flags and not over them, and stays inside the grid although the array around
// it holds covered-looking values.
TEST_F(MovesTest, FloodFillStopsAtFlagsAndTheGridEdge) {
  Settings = {6, 30, 15, 0};
  DealBoardWithSeed(1);
  memset(Board, -1, sizeof Board);
  for (int r = 1; r < 30; ++r) Board[5][r] = -17;
  LeftPress(X(30), Y(1));
  EXPECT_EQ(UncoveredCells(), 900 - 29);
  EXPECT_EQ(FakeWindow.effects[EFFECT_FLOOD], 900 - 29);
  for (int i = 0; i < kBoardSide; ++i) {
    EXPECT_TRUE(Board[0][i] == -1 && Board[31][i] == -1 && Board[i][0] == -1 && Board[i][31] == -1)
        << "border " << i;
    EXPECT_TRUE(i < 1 || i > 29 || Board[5][i] == -17) << "flag " << i;
  }
}

TEST_F(MovesTest, CellAtPointUsesTheTileSizeOnTheScreen) {
  Settings = {6, 10, 21, 0};
  DealBoardWithSeed(1);
  EXPECT_EQ(CellAtPoint(0, 0), 1 * 256 + 1);
  EXPECT_EQ(CellAtPoint(20, 21), 1 * 256 + 2);
  EXPECT_EQ(CellAtPoint(209, 210), 10 * 256 + 11);
  // The tile as drawn, twice the size at 192 DPI.
  FakeWindow.screenTile = 42;
  EXPECT_EQ(CellAtPoint(41, 42), 1 * 256 + 2);
  EXPECT_EQ(CellAtPoint(420, 839), 11 * 256 + 20);
  EXPECT_GT((CellAtPoint(42 * 255 + 5, 0) >> 8) & 0xFF, 30);
  FakeWindow.screenTile = 0;
  // 16-bit coordinates far past the grid stay past it.
  EXPECT_GT((CellAtPoint(21 * 255 + 5, 0) >> 8) & 0xFF, 30);
  EXPECT_GT(CellAtPoint(0, 65535) & 0xFF, 30);
}

// Flags every mine in walk order but the last, which is (10, 6) on the seed-one board.
void FlagMinesButTheLast() {
  int flagged = 0;
  for (int c = 1; c <= Game.columns; ++c)
    for (int r = 1; r <= Game.rows; ++r)
      if (Board[c][r] == kCoveredMine && ++flagged < Game.totalMines) RightPress(X(c), Y(r));
}

// A flag press wins only when it leaves exactly the mines flagged: flagging every tile wins
// nothing, a wrong flag holds the win back until it is taken away, and the score is as ever.
TEST_F(MovesTest, AWinNeedsExactlyTheMinesFlagged) {
  const struct {
    const char* what;
    bool everyTile, wrongFlag, wrongTakenAway;  // the flags placed: every tile, or a wrong one
    int32_t minesLeft;                          // on (1, 1) before those on every mine
  } kCases[] = {
      {"every tile flagged", true, false, false, -84},
      {"every mine and a safe tile", false, true, false, -1},
      {"then the safe tile's flag taken away", false, true, true, 0},
      {"exactly the mines", false, false, false, 0},
  };
  for (const auto& test : kCases) {
    SCOPED_TRACE(test.what);
    SetUp();
    DealSeedOne();
    std::vector<std::pair<int, int>> presses;
    for (int c = 1; c <= Game.columns; ++c)
      for (int r = 1; r <= Game.rows; ++r)
        if (test.everyTile || Board[c][r] == kCoveredMine) presses.push_back({c, r});
    if (test.wrongFlag) presses.insert(presses.begin(), {1, 1});
    if (test.wrongTakenAway) presses.push_back({1, 1});
    Game.elapsedSeconds = 119;
    for (const auto& [c, r] : presses) {
      ASSERT_NE(GameState, GS_OVER) << "won before the last flag, at " << c << "," << r;
      ResetFakeWindow();  // each press on a fresh log: the last one's calls are compared
      SetNameAnswer("Ada");
      RightPress(X(c), Y(r));
    }
    const bool wins = test.minesLeft == 0;
    EXPECT_EQ(Game.minesLeft, test.minesLeft);
    EXPECT_EQ(GameState, wins ? GS_OVER : GS_RUNNING);
    EXPECT_EQ(
        Calls(),
        wins ? CallLog(
                   {{kStop, 1}, {CALL_SHOW_CONGRATULATION, 380}, {CALL_ASK_NAME, 0}, {kRedraw, 0}})
             : CallLog({{kRedraw, 0}}));
    EXPECT_EQ(ScoreTable[0].score, wins ? 380 : 0);
    EXPECT_STREQ(ScoreTable[0].name, wins ? "Ada" : "");
  }
}

TEST_F(MovesTest, NoWinWhileTheCounterIsAboveZero) {
  DealSeedOne();
  Game.minesLeft = 100;  // every mine flagged, yet the counter says otherwise
  FlagMinesButTheLast();
  RightPress(X(10), Y(6));
  EXPECT_EQ(GameState, GS_RUNNING);
}

// Changing the options mid-game leaves the running game as it was dealt.
TEST_F(MovesTest, RunningGameKeepsItsDealtValues) {
  DealSeedOne();
  Settings = {4, 30, 21, 0};
  EXPECT_EQ(CellAtPoint(150, 0), 11 * 256 + 1);
  LeftPress(150, 0);  // column 11: past this game's grid
  EXPECT_EQ(FakeWindow.effects[EFFECT_REJECTED], 1);
  EXPECT_EQ(UncoveredCells(), 0);
  Board[20][20] = kFlaggedMine;  // past the grid: not the game's to count
  FlagMinesButTheLast();
  RightPress(X(10), Y(6));
  EXPECT_EQ(GameState, GS_OVER);
  EXPECT_EQ(Game.lastScore, 2 * 19 * 10);
}

// The chord on the seed-one board. (3, 3) holds a 1 beside the mine (2, 3) and the empty (4, 3);
// (3, 2) holds a 2 beside the mines (2, 3) and (4, 1), after the empty (2, 1) in the order.
const auto ChordOnOne = [] { MiddlePress(X(3), Y(3)); };
const auto ChordOnTwo = [] { MiddlePress(X(3), Y(2)); };

TEST_F(MovesTest, ChordUncoversTheNeighboursOfASatisfiedNumber) {
  DealSeedOne();
  Expect("chord before the game runs", ChordOnOne, GS_NEW, {});
  GameState = GS_READY;
  Expect("chord when ready", ChordOnOne, GS_READY, {});
  LeftPress(X(3), Y(3));
  Expect("chord without its flag", ChordOnOne, GS_RUNNING, {{kEffect, 0}});
  Expect("chord on a covered cell", [] { MiddlePress(X(1), Y(1)); }, GS_RUNNING, {{kEffect, 0}});
  Expect("chord past the grid", [] { MiddlePress(X(11), Y(3)); }, GS_RUNNING, {{kEffect, 0}});
  EXPECT_FALSE(ChordActs(3, 3));
  RightPress(X(2), Y(3));
  EXPECT_TRUE(ChordActs(3, 3));
  ResetFakeWindow();
  ChordOnOne();
  // The seven covered neighbours, one of them empty: its flood opens the same area and raises
  // effect 4 as often as a left press on it would (19 times, FloodFillsOfTheSeedOneBoard).
  EXPECT_EQ(
      std::vector<int>({48, 19, 1, 2, 1, -32, 2}),
      std::vector<int>({UncoveredCells(), FakeWindow.effects[EFFECT_FLOOD], FakeWindow.redraws,
                        Board[2][4], Board[2][2], Board[2][3], Board[3][2]}));
  EXPECT_EQ(GameState, GS_RUNNING);
  Expect("chord with nothing left to uncover", ChordOnOne, GS_RUNNING, {{kEffect, 0}});
  EXPECT_FALSE(ChordActs(3, 3));
  Expect("chord on an empty cell", [] { MiddlePress(X(5), Y(4)); }, GS_RUNNING, {{kEffect, 0}});
  RightPress(X(4), Y(1));
  RightPress(X(3), Y(1));
  Expect("chord on a number with more flags", ChordOnTwo, GS_RUNNING, {{kEffect, 0}});
  SeeSolution();
  Expect("chord when over", ChordOnOne, GS_OVER, {});
}

TEST_F(MovesTest, ChordWithAWrongFlagExplodesOnTheFirstMineAndStops) {
  DealSeedOne();
  LeftPress(X(3), Y(2));
  RightPress(X(2), Y(2));  // wrong flags: the 2 is satisfied, its mines are not flagged
  RightPress(X(3), Y(3));
  Expect("chord", ChordOnTwo, GS_EXPLODED,
         {{kEffect, 4}, {kEffect, 4}, {kEffect, 2}, {kUndoItem, 1}, {kRedraw, 0}});
  // The flood from (2, 1) came first; the mine (4, 1) and the cells after (2, 3) stay covered.
  EXPECT_EQ(
      std::vector<int>({0, 0, 1, 1, kExplodedMine, kCoveredMine, -2, -1, 13, 2 * 256 + 3}),
      std::vector<int>({Board[1][1], Board[2][1], Board[1][2], Board[3][1], Board[2][3],
                        Board[4][1], Board[4][2], Board[4][3], Game.minesLeft, Game.lastExploded}));
  Expect("chord while exploded", ChordOnTwo, GS_EXPLODED, {});
  Undo();
  EXPECT_EQ(std::vector<int>({kCoveredMine, 14, 2, GS_RUNNING}),
            std::vector<int>({Board[2][3], Game.minesLeft, Game.undosLeft, GameState}));
}

// The moving keys in a row on the seed-one board, each with the cursor it leaves (column, row,
// shown) and the calls to the window (0 or 1); Space and Enter while it is hidden do nothing.
TEST_F(MovesTest, KeysShowTheCursorThenMoveItWithinTheGrid) {
  const struct {
    GridKey key;
    int column, row, shown, calls;
  } steps[] = {{GK_SPACE, 1, 1, 0, 0},  {GK_ENTER, 1, 1, 0, 0},      {GK_END, 1, 1, 1, 1},
               {GK_LEFT, 1, 1, 1, 0},   {GK_UP, 1, 1, 1, 0},         {GK_RIGHT, 2, 1, 1, 1},
               {GK_DOWN, 2, 2, 1, 1},   {GK_END, 10, 2, 1, 1},       {GK_RIGHT, 10, 2, 1, 0},
               {GK_HOME, 1, 2, 1, 1},   {GK_PAGE_DOWN, 1, 10, 1, 1}, {GK_DOWN, 1, 10, 1, 0},
               {GK_PAGE_UP, 1, 1, 1, 1}};
  DealSeedOne();
  for (const auto& step : steps) {
    ResetFakeWindow();
    PressGridKey(step.key);
    EXPECT_EQ(std::vector<int>({step.column, step.row, step.shown, step.calls}),
              std::vector<int>({Cursor.column, Cursor.row, Cursor.shown, FakeWindow.calls}))
        << "key " << step.key << " to " << step.column << "," << step.row;
  }
  EXPECT_EQ(GameState, GS_NEW);
  // A new game keeps the cursor's place, brought inside a smaller grid.
  Settings = {6, 20, 15, 0};
  DealBoardWithSeed(1);
  for (int i = 0; i < 15; ++i) PressGridKey(GK_DOWN);
  PressGridKey(GK_END);
  DealSeedOne();
  EXPECT_EQ(std::vector<int>({10, 10, 1}),
            std::vector<int>({Cursor.column, Cursor.row, Cursor.shown}));
  PressGridKey(GK_UP);
  Settings.grid = 30;
  DealBoardWithSeed(1);
  EXPECT_EQ(std::vector<int>({10, 9, 1}),
            std::vector<int>({Cursor.column, Cursor.row, Cursor.shown}));
}

// Any mouse press hides the cursor before it acts; the next key shows it in place; Space and
// Enter act at it as the left press (or the chord on a number) and the right press do.
TEST_F(MovesTest, SpaceAndEnterPressAtTheCursorAndTheMouseHidesIt) {
  const int kCursor = CALL_CURSOR_CHANGED;
  DealSeedOne();
  PressGridKey(GK_DOWN);
  Expect("a middle press hides it", ChordOnOne, GS_NEW, {{kCursor, 0}});
  Expect("a key shows it in place", [] { PressGridKey(GK_DOWN); }, GS_NEW,
         {{kCursor, 1 * 256 + 1}});
  Expect("space floods the corner", [] { PressGridKey(GK_SPACE); }, GS_RUNNING,
         {{kStart, 0}, {kShow, 0}, {kEffect, 4}, {kEffect, 4}, {kRedraw, 0}});
  PressGridKey(GK_DOWN);
  PressGridKey(GK_DOWN);
  Expect("enter puts a wrong flag", [] { PressGridKey(GK_ENTER); }, GS_RUNNING, {{kRedraw, 0}});
  PressGridKey(GK_UP);
  Expect("space on the 1 chords", [] { PressGridKey(GK_SPACE); }, GS_EXPLODED,
         {{kEffect, 2}, {kUndoItem, 1}, {kRedraw, 0}});
  Expect("enter undoes", [] { PressGridKey(GK_ENTER); }, GS_RUNNING,
         {{kEffect, 5}, {kUndoItem, 0}, {kRedraw, 0}});
  Expect("a right press hides it", RightOnCorner, GS_RUNNING, {{kCursor, 0}, {kEffect, 0}});
}

}  // namespace
