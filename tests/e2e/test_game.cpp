// test_game.cpp: one whole game of the real program played through presses, from the deal to the
// best score found in the settings file, with the board checked against the rules at each move.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "res/string_table.h"
#include "tests/e2e/driver.h"

namespace {

struct Cell {
  int column;
  int row;
};

// The first grid cell, in column order, holding a value in [low, high].
bool FindCell(const e2e::Snapshot& snapshot, int low, int high, Cell* cell) {
  for (int column = 1; column <= snapshot.game.columns; ++column) {
    for (int row = 1; row <= snapshot.game.rows; ++row) {
      int value = snapshot.board[column][row];
      if (value >= low && value <= high) {
        *cell = {column, row};
        return true;
      }
    }
  }
  return false;
}

// What a flood fill from (column, row) leaves, worked out here from the rules on a copy.
void PredictFlood(signed char board[kBoardSide][kBoardSide], int columns, int rows, int column,
                  int row) {
  board[column][row] = static_cast<signed char>(~board[column][row]);
  if (board[column][row] != 0) return;
  static const int kSteps[8][2] = {{-1, -1}, {-1, 0}, {-1, 1}, {0, -1},
                                   {1, -1},  {1, 0},  {1, 1},  {0, 1}};
  for (const auto& step : kSteps) {
    int c = column + step[0];
    int r = row + step[1];
    if (c < 1 || c > columns || r < 1 || r > rows) continue;
    if (board[c][r] >= -15 && board[c][r] <= -1) PredictFlood(board, columns, rows, c, r);
  }
}

// Reports the first cell where two boards differ.
::testing::AssertionResult SameBoard(const signed char (&expected)[kBoardSide][kBoardSide],
                                     const signed char (&actual)[kBoardSide][kBoardSide]) {
  for (int column = 0; column < kBoardSide; ++column) {
    for (int row = 0; row < kBoardSide; ++row) {
      if (expected[column][row] != actual[column][row]) {
        return ::testing::AssertionFailure()
               << "cell " << column << "," << row << " is " << +actual[column][row] << ", expected "
               << +expected[column][row];
      }
    }
  }
  return ::testing::AssertionSuccess();
}

void ExpectMinesShown(const e2e::Session& session, int minesLeft) {
  char status[64];
  ASSERT_TRUE(e2e::StatusText(session, 1, status, sizeof status));
  char expected[64];
  snprintf(expected, sizeof expected, "Mines:%d", minesLeft);
  EXPECT_STREQ(expected, status);
}

TEST(Game, WonThroughRealPressesEntersTheBestScore) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session, "ratio=6\r\ngrid=10\r\nsize=18\r\nlang=1000\r\nsound=0\r\n"));
  e2e::Snapshot board;
  ASSERT_TRUE(e2e::ReadSnapshot(session, &board));
  // A deal without an empty covered cell is possible but rare: the next second deals anew.
  Cell empty;
  for (int attempt = 0; !FindCell(board, -1, -1, &empty) && attempt < 5; ++attempt) {
    Sleep(1100);
    ASSERT_TRUE(e2e::PressKey(session, VK_F2));
    ASSERT_TRUE(e2e::ReadSnapshot(session, &board));
  }
  ASSERT_TRUE(FindCell(board, -1, -1, &empty)) << "no deal with an empty cell";
  const int total = board.game.totalMines;
  EXPECT_EQ(16, total);
  EXPECT_EQ(3, board.game.undosLeft);
  EXPECT_EQ(GS_READY, board.state);

  // A left press on an empty cell opens its area, exactly as the rules work it out.
  signed char expected[kBoardSide][kBoardSide];
  memcpy(expected, board.board, sizeof expected);
  PredictFlood(expected, 10, 10, empty.column, empty.row);
  ASSERT_TRUE(e2e::PressCell(session, empty.column, empty.row, e2e::kLeft));
  ASSERT_TRUE(e2e::ReadSnapshot(session, &board));
  EXPECT_TRUE(SameBoard(expected, board.board));
  EXPECT_EQ(GS_RUNNING, board.state);
  char clock[32];
  ASSERT_TRUE(e2e::StatusText(session, 0, clock, sizeof clock));
  EXPECT_TRUE(strcmp(clock, "0'00") == 0 || strcmp(clock, "0'01") == 0) << clock;

  // A covered number is uncovered alone.
  Cell number;
  if (FindCell(board, -9, -2, &number)) {
    memcpy(expected, board.board, sizeof expected);
    expected[number.column][number.row] =
        static_cast<signed char>(~expected[number.column][number.row]);
    ASSERT_TRUE(e2e::PressCell(session, number.column, number.row, e2e::kLeft));
    ASSERT_TRUE(e2e::ReadSnapshot(session, &board));
    EXPECT_TRUE(SameBoard(expected, board.board));
  }

  // A mine explodes: the game waits for an undo, the counter shows one mine fewer.
  Cell mine;
  ASSERT_TRUE(FindCell(board, kCoveredMine, kCoveredMine, &mine));
  EXPECT_EQ(MF_GRAYED, e2e::MenuItemState(session, IDM_UNDO) & MF_GRAYED);
  ASSERT_TRUE(e2e::PressCell(session, mine.column, mine.row, e2e::kLeft));
  ASSERT_TRUE(e2e::ReadSnapshot(session, &board));
  EXPECT_EQ(GS_EXPLODED, board.state);
  EXPECT_EQ(kExplodedMine, board.board[mine.column][mine.row]);
  EXPECT_EQ(total - 1, board.game.minesLeft);
  EXPECT_EQ(mine.column * 256 + mine.row, board.game.lastExploded);
  EXPECT_EQ(0, e2e::MenuItemState(session, IDM_UNDO));
  ExpectMinesShown(session, total - 1);
  // While it waits, a left press changes nothing.
  memcpy(expected, board.board, sizeof expected);
  Cell covered;
  ASSERT_TRUE(FindCell(board, -9, -1, &covered));
  ASSERT_TRUE(e2e::PressCell(session, covered.column, covered.row, e2e::kLeft));
  ASSERT_TRUE(e2e::ReadSnapshot(session, &board));
  EXPECT_TRUE(SameBoard(expected, board.board));

  // Escape undoes it through the program's accelerators.
  ASSERT_TRUE(e2e::PressKey(session, VK_ESCAPE));
  ASSERT_TRUE(e2e::ReadSnapshot(session, &board));
  EXPECT_EQ(GS_RUNNING, board.state);
  EXPECT_EQ(kCoveredMine, board.board[mine.column][mine.row]);
  EXPECT_EQ(total, board.game.minesLeft);
  EXPECT_EQ(2, board.game.undosLeft);
  EXPECT_EQ(MF_GRAYED, e2e::MenuItemState(session, IDM_UNDO) & MF_GRAYED);

  // A second explosion, undone by a right press below the grid.
  ASSERT_TRUE(e2e::PressCell(session, mine.column, mine.row, e2e::kLeft));
  ASSERT_TRUE(e2e::ReadSnapshot(session, &board));
  ASSERT_EQ(GS_EXPLODED, board.state);
  ASSERT_TRUE(e2e::Press(session, 5, 10 * 18 + 5, e2e::kRight));
  ASSERT_TRUE(e2e::ReadSnapshot(session, &board));
  EXPECT_EQ(GS_RUNNING, board.state);
  EXPECT_EQ(kCoveredMine, board.board[mine.column][mine.row]);
  EXPECT_EQ(total, board.game.minesLeft);
  EXPECT_EQ(1, board.game.undosLeft);

  // Flags on every mine but the last, then one on a safe cell: the counter reaches 0, no win.
  Cell mines[kMaxGrid * kMaxGrid];
  int mineCount = 0;
  for (int column = 1; column <= 10; ++column)
    for (int row = 1; row <= 10; ++row)
      if (board.board[column][row] == kCoveredMine) mines[mineCount++] = {column, row};
  ASSERT_EQ(total, mineCount);
  for (int i = 0; i + 1 < mineCount; ++i) {
    ASSERT_TRUE(e2e::PressCell(session, mines[i].column, mines[i].row, e2e::kRight));
    ASSERT_TRUE(e2e::ReadSnapshot(session, &board));
    ASSERT_EQ(kFlaggedMine, board.board[mines[i].column][mines[i].row]);
    ASSERT_EQ(total - 1 - i, board.game.minesLeft);
  }
  Cell safe;
  ASSERT_TRUE(FindCell(board, -9, -1, &safe));
  ASSERT_TRUE(e2e::PressCell(session, safe.column, safe.row, e2e::kRight));
  ASSERT_TRUE(e2e::ReadSnapshot(session, &board));
  EXPECT_EQ(0, board.game.minesLeft);
  EXPECT_EQ(GS_RUNNING, board.state);
  ExpectMinesShown(session, 0);

  // The last mine's flag wins although a wrong flag remains: the congratulation opens.
  const Cell last = mines[mineCount - 1];
  ASSERT_TRUE(e2e::PostPressCell(session, last.column, last.row, e2e::kRight));
  HWND congratulation = e2e::WaitForDialog(session, IDC_CONGRATULATION_TEXT);
  ASSERT_NE(nullptr, congratulation);
  ASSERT_TRUE(e2e::ReadSnapshot(session, &board));
  EXPECT_EQ(GS_OVER, board.state);
  EXPECT_EQ(-1, board.game.minesLeft);
  const int elapsed = board.game.elapsedSeconds;
  const int minutes = elapsed / 60;
  int base = total + board.game.undosLeft - minutes / 2;
  if (base < 0) base = 1;
  const int score = (8 - 6) * base * 10;
  EXPECT_EQ(score, board.game.lastScore);
  char text[512];
  char wanted[512];
  snprintf(wanted, sizeof wanted, FindStringEntry(IDS_CONGRATULATION_TEXT + ENGLISH_OFFSET), 10, 10,
           total, minutes, elapsed % 60, score);
  ASSERT_TRUE(e2e::GetItemText(congratulation, IDC_CONGRATULATION_TEXT, text, sizeof text));
  EXPECT_STREQ(wanted, text);
  ASSERT_TRUE(e2e::WindowTitle(congratulation, text, sizeof text));
  EXPECT_STREQ("Congratulations!!", text);
  ASSERT_TRUE(e2e::ClickButton(session, congratulation, IDC_OK));

  // The score enters the empty table: the name is asked and typed with blanks around it.
  HWND name = e2e::WaitForDialog(session, IDC_NAME_EDIT);
  ASSERT_NE(nullptr, name);
  EXPECT_TRUE(e2e::WaitForGone(congratulation));
  ASSERT_TRUE(e2e::WindowTitle(name, text, sizeof text));
  EXPECT_STREQ("Please enter your name:", text);
  ASSERT_TRUE(e2e::TypeText(session, GetDlgItem(name, IDC_NAME_EDIT), "  Ada Lovelace  "));
  ASSERT_TRUE(e2e::ClickButton(session, name, IDC_OK));
  EXPECT_TRUE(e2e::WaitForGone(name));
  ASSERT_TRUE(e2e::Sync(session));

  ScoreEntry table[kScoreEntries];
  ASSERT_TRUE(e2e::ReadSymbol(session, "_ScoreTable", table, sizeof table));
  EXPECT_EQ(score, table[0].score);
  EXPECT_STREQ("Ada Lovelace", table[0].name);
  EXPECT_EQ(0, table[1].score);

  // After the win every press is ignored.
  ASSERT_TRUE(e2e::ReadSnapshot(session, &board));
  memcpy(expected, board.board, sizeof expected);
  ASSERT_TRUE(e2e::PressCell(session, safe.column, safe.row, e2e::kRight));
  ASSERT_TRUE(e2e::PressCell(session, covered.column, covered.row, e2e::kLeft));
  ASSERT_TRUE(e2e::ReadSnapshot(session, &board));
  EXPECT_TRUE(SameBoard(expected, board.board));
  EXPECT_EQ(GS_OVER, board.state);

  // The best score reaches the settings file at exit.
  DWORD exitCode = 1;
  ASSERT_TRUE(e2e::Close(session, &exitCode));
  EXPECT_EQ(0u, exitCode);
  char file[4096];
  ASSERT_TRUE(e2e::ReadSettingsFile(session, file, sizeof file));
  char line[64];
  snprintf(line, sizeof line, "\r\nsound=0\r\n%d, Ada Lovelace\r\n0, \r\n", score);
  EXPECT_NE(nullptr, strstr(file, line)) << file;
}

}  // namespace
