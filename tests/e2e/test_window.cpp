// test_window.cpp: the main window of the real program: size and centring, the tiles on screen,
// the ways out writing the settings file, menus in both languages, keys, status bar and repaint.
#include <gtest/gtest.h>

#include "tests/e2e/driver.h"

namespace {

using e2e::kLeft;
using e2e::kRight;

// Flags on a mine and on a safe cell, a number, an empty area, then an explosion: every kind of
// tile in the play view, then every kind in the solution view.
void PlayAndCheckViews(const e2e::Session& session) {
  struct Move {
    int low, high;
    e2e::Button button;
  } moves[] = {{kCoveredMine, kCoveredMine, kRight},
               {-9, -1, kRight},
               {-9, -2, kLeft},
               {-1, -1, kLeft},
               {kCoveredMine, kCoveredMine, kLeft}};
  int column, row;
  for (const Move& move : moves) {
    const bool found =
        e2e::FindCell(e2e::ReadSnapshot(session), move.low, move.high, &column, &row);
    ASSERT_TRUE(!found || e2e::PressCell(session, column, row, move.button));
  }
  ASSERT_EQ(GS_EXPLODED, e2e::ReadSnapshot(session).state);
  EXPECT_TRUE(e2e::GridShows(session, e2e::kPlayView));
  ASSERT_TRUE(e2e::Command(session, IDM_SEE_SOLUTION));
  e2e::Snapshot s = e2e::ReadSnapshot(session);
  ASSERT_EQ(GS_OVER, s.state);
  EXPECT_TRUE(e2e::GridShows(session, e2e::kSolutionView));

  // A deal leaves the high numbers to chance: every value a cell can hold, cell after cell, so
  // that each tile of this size is seen once in its place (covered and exploded were above).
  int next = 0;
  for (int value = kFlaggedMine; value <= kExplodedMine; ++value) {
    if ((value > kFlaggedMine && value < -25) || (value > kCoveredMine && value < -9) ||
        (value > 8 && value < kExplodedMine))
      continue;
    s.board[1 + next / s.game.rows][1 + next % s.game.rows] = static_cast<signed char>(value);
    ++next;
  }
  ASSERT_TRUE(e2e::WriteSymbol(session, "_Board", s.board, sizeof s.board));
  ASSERT_TRUE(InvalidateRect(session.window, nullptr, FALSE));
  EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::GridShows(session, e2e::kSolutionView); }))
      << e2e::GridShows(session, e2e::kSolutionView).message();
}

TEST(Window, SizedCentredAndDrawnAtEveryTileSizeAndSideThenEachWayOutWritesTheFile) {
  struct Way {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  // Alt+F4 as the keyboard gives it: the system key F4 (scan code 0x3E) with the Alt bit set.
  const Way quit = {"Quit", WM_COMMAND, IDM_QUIT, 0}, close = {"WM_CLOSE", WM_CLOSE, 0, 0},
            altF4 = {"Alt+F4", WM_SYSKEYDOWN, VK_F4, 0x203E0001},
            systemClose = {"system menu Close", WM_SYSCOMMAND, SC_CLOSE, 0};
  const struct {
    int size, side;
    bool french;
    Way way;
  } cases[] = {{15, 10, false, quit}, {15, 30, true, close},  {18, 10, true, altF4},
               {18, 30, false, quit}, {21, 10, false, close}, {21, 30, false, systemClose}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "side " << c.side << ", tiles " << c.size << ", " << c.way.name);
    const std::string settings = e2e::SettingsText(c.side, c.size, 6, c.french);
    e2e::Session session;
    ASSERT_TRUE(e2e::Start(session, settings));
    EXPECT_TRUE(e2e::WindowFits(session, c.side, c.size));
    EXPECT_TRUE(e2e::GridShows(session, e2e::kCoveredView));
    if (c.side == 10) PlayAndCheckViews(session);

    // The file is written at the end only (all 29 lines, then the extra ones that count the game
    // lost to See solution), whichever way the program is left.
    std::string file;
    ASSERT_TRUE(e2e::ReadSettingsFile(session, &file));
    EXPECT_EQ(settings, file) << "written before the end";
    ASSERT_TRUE(PostMessageA(session.window, c.way.message, c.way.wParam, c.way.lParam));
    ASSERT_TRUE(e2e::Ended(session));
    ASSERT_TRUE(e2e::ReadSettingsFile(session, &file));
    std::string expected = settings;
    for (int i = 0; i < kScoreEntries; ++i) expected += "0, \r\n";
    expected += c.french ? "sanshasard=0\r\nfacile=" : "noguess=0\r\neasy=";
    expected += c.side == 10 ? "1 0 0 -1 0\r\n" : "0 0 0 0 0\r\n";
    EXPECT_EQ(expected, file.substr(0, expected.size()));
  }
}

// The title, bar titles, item texts and Undo state in one language.
void ExpectMenus(const e2e::Session& session, bool french, bool undoGrayed) {
  const char* const bar[2][3] = {{"&Game", "&Options", "&Help"}, {"&Partie", "&Options", "&Aide"}};
  const int commands[12] = {100, 101, 102, 103, 105, 106, 200, 201, 202, 203, 300, 301};
  const char* const items[2][12] = {
      {"New Game\tF2", "See Solution", "Undo last move", "Quit", "Statistics...", "Hint\tH",
       "Settings", "Display scores", "Fran\347ais", "No-guess games", "About the Torvane", "Help"},
      {"Nouvelle partie\tF2", "Voir solution", "Annuler dernier coup", "Quitter", "Statistiques...",
       "Indice\tH", "Param\350tres", "Afficher scores", "English", "Parties sans hasard",
       "A propos du Torvane", "Aide"}};
  EXPECT_EQ("Torvane", e2e::Text(session.window));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(bar[french][i], e2e::MenuText(session, i, true));
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(items[french][i], e2e::MenuText(session, commands[i])) << commands[i];
    const bool grayed = commands[i] == IDM_UNDO && undoGrayed;
    EXPECT_EQ(grayed ? MF_GRAYED : 0, e2e::MenuState(session, commands[i])) << commands[i];
  }
}

TEST(Window, MenusLanguagesUndoStateKeysStatusBarAndRepaint) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session, ""));  // no settings file: the defaults
  ExpectMenus(session, false, true);
  EXPECT_EQ("", e2e::StatusText(session, 0));
  EXPECT_EQ("Mines:16", e2e::StatusText(session, 1));
  EXPECT_EQ("Undos:3", e2e::StatusText(session, 2));

  // A first right press starts the game without showing a time until the clock's first tick.
  e2e::Snapshot s = e2e::ReadSnapshot(session);
  int column, row;
  ASSERT_TRUE(e2e::FindCell(s, kCoveredMine, kCoveredMine, &column, &row));
  ASSERT_TRUE(e2e::PressCell(session, column, row, kRight));
  EXPECT_EQ(GS_RUNNING, e2e::ReadSnapshot(session).state);
  EXPECT_EQ("", e2e::StatusText(session, 0));
  EXPECT_EQ("Mines:15", e2e::StatusText(session, 1));
  EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::StatusText(session, 0) == "0'01"; }, 2500))
      << e2e::StatusText(session, 0);

  // An explosion enables Undo; a language switch keeps that state; Escape undoes and grays it.
  ASSERT_TRUE(e2e::FindCell(e2e::ReadSnapshot(session), kCoveredMine, kCoveredMine, &column, &row));
  ASSERT_TRUE(e2e::PressCell(session, column, row, kLeft));
  ASSERT_EQ(GS_EXPLODED, e2e::ReadSnapshot(session).state);
  EXPECT_EQ(0, e2e::MenuState(session, IDM_UNDO));
  ASSERT_TRUE(e2e::Command(session, IDM_LANGUAGE));
  ExpectMenus(session, true, false);
  ASSERT_TRUE(e2e::Key(session, VK_ESCAPE));
  s = e2e::ReadSnapshot(session);
  EXPECT_EQ(GS_RUNNING, s.state);
  EXPECT_EQ(kCoveredMine, s.board[column][row]);
  EXPECT_EQ(2, s.game.undosLeft);
  EXPECT_EQ("Annulations:2", e2e::StatusText(session, 2));
  ASSERT_TRUE(e2e::Command(session, IDM_LANGUAGE));
  ExpectMenus(session, false, true);

  // Painted over on the screen, the grid comes back when the system asks for a repaint.
  RECT client;
  ASSERT_TRUE(GetClientRect(session.window, &client));
  HDC dc = GetDC(session.window);
  HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
  FillRect(dc, &client, magenta);
  DeleteObject(magenta);
  ReleaseDC(session.window, dc);
  GdiFlush();
  ASSERT_FALSE(e2e::GridShows(session, e2e::kPlayView)) << "the grid was not painted over";
  ASSERT_TRUE(InvalidateRect(session.window, nullptr, FALSE));
  EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::GridShows(session, e2e::kPlayView); }))
      << e2e::GridShows(session, e2e::kPlayView).message();

  // Another window over the grid while the grid changes: once it moves away, the part it
  // uncovers shows the grid as it is now.
  POINT corner = {client.right / 4, client.bottom / 4};
  ASSERT_TRUE(ClientToScreen(session.window, &corner));
  HWND cover = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", nullptr,
                               WS_POPUP | SS_BLACKRECT, corner.x, corner.y, client.right / 2,
                               client.bottom / 4, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, cover);
  ShowWindow(cover, SW_SHOWNOACTIVATE);
  UpdateWindow(cover);
  EXPECT_FALSE(e2e::GridShows(session, e2e::kPlayView)) << "the other window covers nothing";
  ASSERT_TRUE(e2e::Command(session, IDM_SEE_SOLUTION));
  ASSERT_TRUE(SetWindowPos(cover, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
  EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::GridShows(session, e2e::kSolutionView); }))
      << e2e::GridShows(session, e2e::kSolutionView).message();
  DestroyWindow(cover);

  // A moved window: F3 changes nothing, F2 deals anew and brings the window back to the centre.
  ASSERT_TRUE(SetWindowPos(session.window, nullptr, 7, 9, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
  ASSERT_TRUE(e2e::Sync(session));
  s = e2e::ReadSnapshot(session);
  ASSERT_TRUE(e2e::Key(session, VK_F3));
  e2e::Snapshot after = e2e::ReadSnapshot(session);
  EXPECT_EQ(0, memcmp(s.board, after.board, sizeof s.board));
  EXPECT_EQ(s.state, after.state);
  EXPECT_EQ(s.game.minesLeft, after.game.minesLeft);
  RECT moved;
  ASSERT_TRUE(GetWindowRect(session.window, &moved));
  EXPECT_EQ(7, moved.left);
  EXPECT_EQ(9, moved.top);
  EXPECT_EQ(nullptr, e2e::FindDialog(session, 0));
  ASSERT_TRUE(e2e::Key(session, VK_F2));
  EXPECT_TRUE(e2e::WindowFits(session, 10, 18));
  after = e2e::ReadSnapshot(session);
  EXPECT_EQ(GS_READY, after.state);
  EXPECT_EQ(after.game.totalMines, after.game.minesLeft);
  EXPECT_EQ("", e2e::StatusText(session, 0));
  EXPECT_TRUE(e2e::GridShows(session, e2e::kCoveredView));

  std::string file;
  EXPECT_FALSE(e2e::ReadSettingsFile(session, &file)) << "written before the end";
  ASSERT_TRUE(e2e::Close(session));
  ASSERT_TRUE(e2e::ReadSettingsFile(session, &file));
  EXPECT_EQ(e2e::SettingsText(), file.substr(0, e2e::SettingsText().size()));
}

// The strip between the grid and the status bar is painted: at start-up, and after a smaller
// grid leaves old tiles where the new window still reaches.
TEST(Window, AroundTheGridIsButtonFaceAtStartAndAfterTheGridShrinks) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session, e2e::SettingsText(30, 18)));
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::AroundGridShows(session, face); }))
      << e2e::AroundGridShows(session, face).message();

  HWND dialog = e2e::OpenDialog(session, IDM_SETTINGS, IDC_GRID_EDIT);
  ASSERT_NE(nullptr, dialog);
  ASSERT_TRUE(e2e::SetText(dialog, IDC_GRID_EDIT, "10"));
  ASSERT_TRUE(e2e::ClickButton(session, dialog, IDC_OK) && e2e::WaitForGone(dialog));
  ASSERT_TRUE(e2e::Flush(session));  // the new game that OK posts
  ASSERT_TRUE(e2e::WindowFits(session, 10, 18));
  EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::AroundGridShows(session, face); }))
      << e2e::AroundGridShows(session, face).message();
  EXPECT_TRUE(e2e::GridShows(session, e2e::kCoveredView));
}

}  // namespace
