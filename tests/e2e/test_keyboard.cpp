// test_keyboard.cpp: the middle-button chord and play from the keyboard in the real program: the
// chord against the board in memory and on screen, a game won by keys alone, and the cursor's
// frame at every tile size.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/e2e/driver.h"

namespace {

using e2e::BoardIs;
using e2e::Grid;

// The keyboard's cursor in the program's memory: column, row, shown.
std::vector<int> CursorAt(const e2e::Session& session) {
  const CursorRecord cursor = e2e::Read<CursorRecord>(session, "_Cursor");
  return {cursor.column, cursor.row, cursor.shown};
}

TEST(Keyboard, MiddleButtonChordsAsTheRuleSays) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session));
  // Before the game runs the chord does nothing at all: no clock, no change.
  ASSERT_TRUE(e2e::PressCell(session, 1, 1, e2e::kMiddle, true));
  EXPECT_EQ(GS_READY, e2e::ReadSnapshot(session).state);
  EXPECT_EQ("", e2e::StatusText(session, 0));

  // A covered number with a covered safe cell beside it, uncovered alone.
  e2e::Snapshot s = e2e::ReadSnapshot(session);
  const int side = s.game.columns;
  int column = 0, row = 0, mines = 0;
  for (int c = 1; c <= side; ++c)
    for (int r = 1; r <= side; ++r)
      for (int n = 0; n < 9 && s.board[c][r] <= -2 && s.board[c][r] >= -9; ++n)
        if (n != 4 && IsCoveredSafe(s.board[c - 1 + n / 3][r - 1 + n % 3])) column = c, row = r;
  ASSERT_NE(0, column) << "no covered number beside a covered safe cell";
  ASSERT_TRUE(e2e::PressCell(session, column, row, e2e::kLeft));

  // Refused while its mines carry no flags; with them flagged it uncovers every other neighbour.
  Grid expected;
  memcpy(expected, e2e::ReadSnapshot(session).board, sizeof expected);
  ASSERT_TRUE(e2e::PressCell(session, column, row, e2e::kMiddle, true));
  EXPECT_TRUE(BoardIs(expected, session));
  for (int c = column - 1; c <= column + 1; ++c) {
    for (int r = row - 1; r <= row + 1; ++r) {
      if (expected[c][r] == kCoveredMine) {
        ASSERT_TRUE(e2e::PressCell(session, c, r, e2e::kRight));
        expected[c][r] = kFlaggedMine;
        ++mines;
      } else if (c >= 1 && c <= side && r >= 1 && r <= side && IsCoveredSafe(expected[c][r])) {
        e2e::PredictUncover(expected, side, c, r);
      }
    }
  }
  ASSERT_TRUE(e2e::PressCell(session, column, row, e2e::kMiddle, true));
  EXPECT_TRUE(BoardIs(expected, session)) << "chord on " << column << "," << row;
  EXPECT_EQ(GS_RUNNING, e2e::ReadSnapshot(session).state);
  EXPECT_TRUE(e2e::GridShows(session, e2e::kPlayView));
  EXPECT_EQ("Mines:" + std::to_string(s.game.totalMines - mines), e2e::StatusText(session, 1));
}

// The arrows that take the cursor from one cell to another, then Enter there.
std::vector<int> KeysToFlag(int fromColumn, int fromRow, int column, int row) {
  std::vector<int> keys;
  for (int c = fromColumn; c != column; c += c < column ? 1 : -1)
    keys.push_back(c < column ? VK_RIGHT : VK_LEFT);
  for (int r = fromRow; r != row; r += r < row ? 1 : -1) keys.push_back(r < row ? VK_DOWN : VK_UP);
  keys.push_back(VK_RETURN);
  return keys;
}

// Space is a left press, the first of a game; then, in a new game, Enter on every tile flags it,
// which wins nothing, and taking the wrong flags away wins on the last one.
void WinWithKeysAlone(bool french) {
  SCOPED_TRACE(french ? "French" : "English");
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session, e2e::SettingsText(10, 18, 6, french)));
  // The first arrow shows the cursor on the corner, where no mine lies; Space there is a left
  // press, the first of the game.
  Grid expected;
  e2e::Snapshot s = e2e::ReadSnapshot(session);
  memcpy(expected, s.board, sizeof expected);
  e2e::PredictUncover(expected, 10, 1, 1);
  ASSERT_TRUE(e2e::Keys(session, {VK_RIGHT, VK_SPACE}));
  EXPECT_TRUE(BoardIs(expected, session));
  EXPECT_EQ(GS_RUNNING, e2e::ReadSnapshot(session).state);
  EXPECT_EQ("0'00", e2e::StatusText(session, 0));
  EXPECT_TRUE(e2e::GridShows(session, e2e::kPlayView, true));

  // A new game: Enter on every tile, down one column and up the next, wins nothing.
  ASSERT_TRUE(e2e::Key(session, VK_F2));
  s = e2e::ReadSnapshot(session);
  int column = 1, row = 1;
  std::vector<int> keys;
  const auto flag = [&](int c, int r) {
    const std::vector<int> more = KeysToFlag(column, row, c, r);
    keys.insert(keys.end(), more.begin(), more.end());
    column = c, row = r;
  };
  for (int c = 1; c <= 10; ++c)
    for (int i = 1; i <= 10; ++i) flag(c, c % 2 ? i : 11 - i);
  ASSERT_TRUE(e2e::Keys(session, keys));
  EXPECT_EQ(GS_RUNNING, e2e::ReadSnapshot(session).state);
  EXPECT_EQ(nullptr, e2e::FindDialog(session, 0));
  EXPECT_EQ("Mines:-84", e2e::StatusText(session, 1));
  // Every wrong flag taken away but the last, which wins.
  keys.clear();
  for (int c = 1; c <= 10; ++c)
    for (int r = 1; r <= 10; ++r)
      if (s.board[c][r] != kCoveredMine) flag(c, r);
  keys.pop_back();
  ASSERT_TRUE(e2e::Keys(session, keys));
  EXPECT_EQ(GS_RUNNING, e2e::ReadSnapshot(session).state);
  EXPECT_EQ("Mines:-1", e2e::StatusText(session, 1));
  // The winning Enter held down through the input queue presses nothing in the win's dialogs; a
  // fresh one closes the first, and End moves the name's caret once every key before is handled.
  ASSERT_TRUE(e2e::InputKeys(session, {VK_RETURN}, 10));
  HWND dialog = e2e::WaitForDialog(session, IDC_CONGRATULATION_TEXT);
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ(std::vector<int>({column, row, 1}), CursorAt(session));
  EXPECT_EQ(french ? "Bravo !!" : "Congratulations!!", e2e::Text(dialog));
  ASSERT_TRUE(e2e::InputKeys(session, {VK_RETURN, VK_END}));
  ASSERT_TRUE(e2e::WaitForGone(dialog));
  dialog = e2e::WaitForDialog(session, IDC_NAME_EDIT);
  ASSERT_NE(nullptr, dialog);
  HWND edit = GetDlgItem(dialog, IDC_NAME_EDIT);
  EXPECT_TRUE(e2e::WaitUntil([&] { return SendMessageA(edit, EM_GETSEL, 0, 0) == MAKELONG(1, 1); }))
      << "End did not reach the name";
  EXPECT_EQ(" ", e2e::Text(dialog, IDC_NAME_EDIT));
  ASSERT_TRUE(e2e::ClickButton(session, dialog, IDC_OK));
  ASSERT_TRUE(e2e::WaitForGone(dialog));
  ASSERT_TRUE(e2e::Flush(session));
  EXPECT_EQ(GS_OVER, e2e::ReadSnapshot(session).state);
  EXPECT_EQ("Mines:0", e2e::StatusText(session, 1));
  EXPECT_TRUE(e2e::GridShows(session, e2e::kSolutionView, true));  // on the last flag
  ASSERT_TRUE(e2e::Close(session));
}

TEST(Keyboard, AGameWonWithKeysAlone) {
  WinWithKeysAlone(false);
  WinWithKeysAlone(true);
}

// The frame over the cursor's cell at each tile size, gone after any mouse press; a held Enter
// flags once where a held arrow moves on.
TEST(Keyboard, CursorFrameAtEveryTileSizeGoneAfterAMousePress) {
  for (int size : {15, 18, 21}) {
    SCOPED_TRACE(testing::Message() << size << " pixels");
    e2e::Session session;
    ASSERT_TRUE(e2e::Start(session, e2e::SettingsText(10, size)));
    ASSERT_TRUE(e2e::Keys(session, {VK_DOWN, VK_RIGHT, VK_RIGHT, VK_DOWN}));
    EXPECT_EQ(std::vector<int>({3, 2, 1}), CursorAt(session));
    EXPECT_TRUE(e2e::GridShows(session, e2e::kCoveredView, true));
    // A paint draws it too: moved in memory behind the program's back, it shows once painted.
    const CursorRecord moved = {4, 2, 1};
    ASSERT_TRUE(e2e::WriteSymbol(session, "_Cursor", &moved, sizeof moved));
    RedrawWindow(session.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::GridShows(session, e2e::kCoveredView, true); }));
    // The middle button, which does nothing else before the game runs, then the right one.
    ASSERT_TRUE(e2e::PressCell(session, 3, 2, size == 15 ? e2e::kMiddle : e2e::kRight, true));
    EXPECT_EQ(0, CursorAt(session)[2]);
    EXPECT_TRUE(e2e::GridShows(session, size == 15 ? e2e::kCoveredView : e2e::kPlayView));
    // A flag under the cursor keeps every pixel, its pole and base among them, in sight.
    ASSERT_TRUE(size != 15 || e2e::PressCell(session, 3, 2, e2e::kRight, true));
    CursorRecord cursor = {3, 2, 1};
    ASSERT_TRUE(e2e::WriteSymbol(session, "_Cursor", &cursor, sizeof cursor));
    RedrawWindow(session.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::GridShows(session, e2e::kPlayView, true); }))
        << e2e::GridShows(session, e2e::kPlayView, true).message();
    cursor = {4, 2, 0};  // back where the press left it
    ASSERT_TRUE(e2e::WriteSymbol(session, "_Cursor", &cursor, sizeof cursor));
    if (size != 21) continue;
    ASSERT_TRUE(e2e::Keys(session, {VK_UP, VK_UP}));  // shown in place, then up a row
    ASSERT_TRUE(e2e::Keys(session, {VK_RETURN, VK_RIGHT}, 3));
    const e2e::Snapshot s = e2e::ReadSnapshot(session);
    EXPECT_LE(s.board[4][1], -17) << "a held Enter flags once";
    EXPECT_EQ(s.game.totalMines - 2, s.game.minesLeft);
    EXPECT_EQ(8, CursorAt(session)[0]);
  }
}

}  // namespace
