// test_scale.cpp: the real program on a display scaled to 144 and 192 DPI (LogPixels in the test
// prefix, set per test and put back): the window fitted to the grid of enlarged tiles, presses,
// chord, cursor and screen readers on the tiles as shown, the six dialogs whole, and a move to a
// monitor of another scale.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"

namespace {

using e2e::kLeft;
using e2e::kMiddle;
using e2e::kRight;

// The client area: the grid of on-screen tiles, then the status bar below it to the bottom, all
// on the screen; the bar's parts at their edges for the DPI.
void ExpectWindowFitsGrid(const e2e::Session& session, int tile, int dpi) {
  RECT client, bar, window;
  ASSERT_TRUE(GetClientRect(session.window, &client) &&
              GetWindowRect(GetDlgItem(session.window, IDC_STATUS_BAR), &bar) &&
              GetWindowRect(session.window, &window));
  MapWindowPoints(nullptr, session.window, reinterpret_cast<POINT*>(&bar), 2);
  EXPECT_TRUE(client.right == 10 * tile && bar.top == 10 * tile && bar.left == 0 &&
              bar.right == client.right && bar.bottom == client.bottom)
      << client.right << " x " << client.bottom << ", the status bar from " << bar.top;
  EXPECT_TRUE(window.left >= 0 && window.top >= 0 &&
              window.right <= GetSystemMetrics(SM_CXSCREEN) &&
              window.bottom <= GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(std::vector<int>({40 * dpi / 96, 100 * dpi / 96, -1}), e2e::StatusPartEdges(session));
}

// Every control of a dialog inside its client area, with some size; then the dialog ended.
void ExpectWholeAndEnd(const e2e::Session& session, HWND dialog) {
  RECT client, box;
  ASSERT_TRUE(dialog != nullptr && GetClientRect(dialog, &client));
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    GetWindowRect(child, &box);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&box), 2);
    EXPECT_TRUE(box.left >= 0 && box.top >= 0 && box.right <= client.right &&
                box.bottom <= client.bottom && box.right > box.left && box.bottom > box.top)
        << "control " << GetDlgCtrlID(child) << " at " << box.left << ", " << box.top;
  }
  ASSERT_TRUE(e2e::PressEscape(session, dialog) && e2e::WaitForGone(dialog));
}

// The dialogs of the menus; the spinner steps, the list of scores shows five lines at
// least, and the settings keep the tile size of the file.
void CheckMenuDialogs(const e2e::Session& session, int size) {
  HWND dialog = e2e::OpenDialog(session, IDM_SETTINGS, IDC_GRID_EDIT);
  EXPECT_EQ(BST_CHECKED, e2e::GetCheck(dialog, size == 15 ? IDC_SIZE_15 : IDC_SIZE_21));
  RECT box;
  HWND spin = GetDlgItem(dialog, IDC_GRID_SPIN);
  ASSERT_TRUE(spin != nullptr && GetClientRect(spin, &box));
  const LPARAM upper = MAKELPARAM(box.right / 2, box.bottom / 4);
  ASSERT_TRUE(PostMessageA(spin, WM_LBUTTONDOWN, MK_LBUTTON, upper) &&
              PostMessageA(spin, WM_LBUTTONUP, 0, upper) && e2e::Flush(session));
  EXPECT_EQ("11", e2e::Text(dialog, IDC_GRID_EDIT));
  ExpectWholeAndEnd(session, dialog);

  dialog = e2e::OpenDialog(session, IDM_BEST_SCORES, IDC_SCORE_LIST);
  HWND list = GetDlgItem(dialog, IDC_SCORE_LIST);
  DWORD_PTR line = 0;
  ASSERT_TRUE(
      GetClientRect(list, &box) &&
      SendMessageTimeoutA(list, LB_GETITEMHEIGHT, 0, 0, SMTO_NORMAL, e2e::kTimeoutMs, &line));
  EXPECT_GE(box.bottom, 5 * static_cast<LONG>(line)) << "fewer than five lines show";
  ExpectWholeAndEnd(session, dialog);
  ExpectWholeAndEnd(session, e2e::OpenDialog(session, IDM_ABOUT, IDC_ABOUT_NAME));
  ExpectWholeAndEnd(session, e2e::OpenDialog(session, IDM_STATISTICS, IDC_STATS_RESET));
}

// Cells' rectangles on the screen and the cells at points, as a screen reader asks them.
void ExpectReaderFindsTiles(const e2e::Session& session, int tile) {
  IAccessible* grid = nullptr;
  ASSERT_EQ(S_OK,
            AccessibleObjectFromWindow(session.window, static_cast<DWORD>(OBJID_CLIENT),
                                       __uuidof(IAccessible), reinterpret_cast<void**>(&grid)));
  POINT origin = {0, 0};
  ClientToScreen(session.window, &origin);
  for (const POINT cell : {POINT{1, 1}, POINT{10, 10}, POINT{4, 7}}) {
    const LONG id = (cell.y - 1) * 10 + cell.x;
    LONG left = 0, top = 0, width = 0, height = 0;
    VARIANT at = {};
    EXPECT_TRUE(grid->accLocation(&left, &top, &width, &height, Child(id)) == S_OK &&
                left == origin.x + (cell.x - 1) * tile && top == origin.y + (cell.y - 1) * tile &&
                width == tile && height == tile &&
                grid->accHitTest(left + tile - 1, top + tile - 1, &at) == S_OK && at.vt == VT_I4 &&
                at.lVal == id)
        << "cell " << id << " at " << left << ", " << top << ", " << width << " x " << height;
  }
  grid->Release();
}

// Presses on the enlarged tiles: a left one at a cell's centre, flags near the edges of the mines
// around a number, then that number uncovered and its chord near its corner.
void PressOnTiles(const e2e::Session& session, int tile) {
  e2e::Snapshot s = e2e::ReadSnapshot(session);
  int column, row;
  ASSERT_TRUE(e2e::FindCell(s, -9, -2, &column, &row));
  for (int c = column - 1; c <= column + 1; ++c)
    for (int r = row - 1; r <= row + 1; ++r)
      if (s.board[c][r] == kCoveredMine) {
        ASSERT_TRUE(e2e::Press(session, c * tile - 1, r * tile - 1, kRight));
        EXPECT_EQ(kFlaggedMine, e2e::ReadSnapshot(session).board[c][r]) << c << ", " << r;
      }
  const int hidden = s.board[column][row];
  ASSERT_TRUE(e2e::PressCell(session, column, row, kLeft));
  s = e2e::ReadSnapshot(session);
  ASSERT_EQ(-1 - hidden, s.board[column][row]) << "the press missed its cell";
  e2e::Grid expected;
  memcpy(expected, s.board, sizeof expected);
  for (int c = column - 1; c <= column + 1; ++c)
    for (int r = row - 1; r <= row + 1; ++r)
      if (expected[c][r] >= -9 && expected[c][r] <= -1) e2e::PredictUncover(expected, 10, c, r);
  ASSERT_TRUE(e2e::Press(session, (column - 1) * tile, (row - 1) * tile, kMiddle));
  EXPECT_TRUE(e2e::BoardIs(expected, session));
}

const struct {
  DWORD dpi;
  int size;
  bool french;
  int art, factor;  // the tiles shown, worked out by hand: the closest to size x DPI / 96
} kScales[] = {{144, 15, false, 21, 1},
               {144, 21, true, 15, 2},
               {192, 15, true, 15, 2},
               {192, 21, false, 21, 2}};

TEST(Scale, TilesEnlargedWholeInAWindowFittedToThemAtEveryScaleAndLanguage) {
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  for (const auto& c : kScales) {
    SCOPED_TRACE(testing::Message()
                 << c.dpi << " DPI, tiles " << c.size << (c.french ? ", French" : ", English"));
    const e2e::RegistryValue dpi = e2e::DisplayDpi(c.dpi);
    e2e::Session session;
    ASSERT_TRUE(e2e::Start(session, e2e::SettingsText(10, c.size, 6, c.french, 0, "812, Bob\r\n")));
    session.art = c.art;
    session.factor = c.factor;
    const int tile = c.art * c.factor;
    ExpectWindowFitsGrid(session, tile, static_cast<int>(c.dpi));
    EXPECT_TRUE(e2e::GridShows(session, e2e::kCoveredView));
    ExpectReaderFindsTiles(session, tile);
    ASSERT_NO_FATAL_FAILURE(PressOnTiles(session, tile));
    ASSERT_TRUE(e2e::Key(session, VK_RIGHT));  // the cursor shows
    EXPECT_TRUE(e2e::GridShows(session, e2e::kPlayView, true));

    // Dragged to a monitor at 96 DPI and back: the tiles and the window follow, at the place
    // suggested, the grid whole even where the menu bar, still in the display's font, wraps; the
    // game, its clock and the cursor go on as they were.
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::StatusText(session, 0) != ""; }, 2500));
    const e2e::Snapshot before = e2e::ReadSnapshot(session);
    const CursorRecord cursor = e2e::Read<CursorRecord>(session, "_Cursor");
    for (const int now : {96, static_cast<int>(c.dpi)}) {
      ASSERT_TRUE(e2e::ChangeDpi(session, now, RECT{20, 30, 300, 400}));
      session.art = now == 96 ? c.size : c.art;
      session.factor = now == 96 ? 1 : c.factor;
      RECT window;
      EXPECT_TRUE(GetWindowRect(session.window, &window) && window.left == 20 && window.top == 30)
          << window.left << ", " << window.top;
      ExpectWindowFitsGrid(session, session.art * session.factor, now);
      EXPECT_TRUE(e2e::GridShows(session, e2e::kPlayView, true));
      const e2e::Snapshot after = e2e::ReadSnapshot(session);
      const CursorRecord kept = e2e::Read<CursorRecord>(session, "_Cursor");
      EXPECT_TRUE(e2e::BoardIs(before.board, session));
      EXPECT_TRUE(after.state == GS_RUNNING && e2e::StatusText(session, 0) != "" &&
                  after.game.elapsedSeconds >= before.game.elapsedSeconds &&
                  kept.column == cursor.column && kept.row == cursor.row && kept.shown == 1);
    }

    // The six dialogs, whole: those of the menus, then those of a game won by flags.
    ASSERT_NO_FATAL_FAILURE(CheckMenuDialogs(session, c.size));
    const e2e::Snapshot won = e2e::ReadSnapshot(session);
    for (int col = 1; col <= 10; ++col)
      for (int row = 1; row <= 10; ++row)
        ASSERT_TRUE(won.board[col][row] != kCoveredMine ||
                    e2e::PressCell(session, col, row, kRight, true));
    ExpectWholeAndEnd(session, e2e::WaitForDialog(session, IDC_CONGRATULATION_TEXT));
    ExpectWholeAndEnd(session, e2e::WaitForDialog(session, IDC_NAME_EDIT));

    // The file keeps the tile size of the settings.
    ASSERT_TRUE(e2e::Close(session));
    std::string file;
    ASSERT_TRUE(e2e::ReadSettingsFile(session, &file));
    EXPECT_EQ((c.french ? "larg=" : "size=") + std::to_string(c.size), e2e::Line(file, 3));
  }
  CoUninitialize();
}

}  // namespace
