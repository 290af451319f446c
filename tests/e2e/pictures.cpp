// pictures.cpp: the pictures of docs/ that show the program: its window during a game at each
// tile size and its six dialogs, taken from the real program driven as the end-to-end tests
// drive it. scripts/pictures.sh runs it with the folder for the .bmp files as its argument.
// The window on a display scaled to 200 % too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/driver.h"

namespace {

using e2e::kLeft;
using e2e::kRight;

const char* PictureFolder = ".";

::testing::AssertionResult Saved(HWND window, const char* name) {
  char path[MAX_PATH];
  snprintf(path, sizeof path, "%s\\%s.bmp", PictureFolder, name);
  if (window == nullptr || !e2e::SaveWindowPicture(window, path))
    return ::testing::AssertionFailure() << "could not save " << path;
  printf("pictures: %s\n", path);
  return ::testing::AssertionSuccess();
}

// How many cells uncovering (column, row) opens, worked out on a copy of the board.
int Opened(signed char (&board)[kBoardSide][kBoardSide], int side, int column, int row) {
  if (column < 1 || column > side || row < 1 || row > side || !IsCoveredSafe(board[column][row]))
    return 0;
  board[column][row] = Complement(board[column][row]);
  if (board[column][row] != 0) return 1;
  int count = 1;
  for (int c = column - 1; c <= column + 1; ++c)
    for (int r = row - 1; r <= row + 1; ++r) count += Opened(board, side, c, r);
  return count;
}

// The opening of a game as a player leaves it: an empty area of about a sixth of the grid, the
// nearer the middle the better, uncovered, then `flags` of the mines along its edge flagged,
// spread along it. The deal comes from the clock, so the cells are chosen from the board in the
// program's memory.
void PlayOpening(const e2e::Session& session, int flags) {
  e2e::Snapshot s = e2e::ReadSnapshot(session);
  const int side = s.game.columns, wanted = side * side / 6;
  int best = -1, column = 0, row = 0;
  for (int c = 1; c <= side; ++c) {
    for (int r = 1; r <= side; ++r) {
      if (s.board[c][r] != kCoveredEmpty) continue;
      signed char copy[kBoardSide][kBoardSide];
      memcpy(copy, s.board, sizeof copy);
      const int distance = abs(Opened(copy, side, c, r) - wanted) +
                           2 * (abs(2 * c - side - 1) + abs(2 * r - side - 1));
      if (best < 0 || distance < best) {
        best = distance;
        column = c;
        row = r;
      }
    }
  }
  ASSERT_GE(best, 0) << "no empty cell in this deal";
  ASSERT_TRUE(e2e::PressCell(session, column, row, kLeft));
  s = e2e::ReadSnapshot(session);
  ASSERT_EQ(0, s.board[column][row]);
  std::vector<std::pair<int, int>> edge;
  for (int c = 1; c <= side; ++c) {
    for (int r = 1; r <= side; ++r) {
      bool seen = false;
      for (int x = c - 1; x <= c + 1; ++x)
        for (int y = r - 1; y <= r + 1; ++y)
          seen = seen || (x >= 1 && x <= side && y >= 1 && y <= side && IsUncovered(s.board[x][y]));
      if (s.board[c][r] == kCoveredMine && seen) edge.push_back({c, r});
    }
  }
  const int last = static_cast<int>(edge.size()) - 1;
  const int count = std::min(flags, last + 1);
  for (int i = 0; i < count; ++i) {
    const auto& mine = edge[static_cast<size_t>(count == 1 ? 0 : i * last / (count - 1))];
    ASSERT_TRUE(e2e::PressCell(session, mine.first, mine.second, kRight));
  }
}

bool ClockReaches(const e2e::Session& session, int seconds) {
  return e2e::WaitUntil(
      [&] { return e2e::Read<GameRecord>(session, "_Game").elapsedSeconds >= seconds; });
}

// The window during a game at each tile size: an opened area, three flags, the clock running.
TEST(Pictures, MainWindow) {
  for (int size : {15, 18, 21}) {
    SCOPED_TRACE(testing::Message() << size << " pixels");
    e2e::Session session;
    ASSERT_TRUE(e2e::Start(session, e2e::SettingsText(16, size, 6)));
    ASSERT_NO_FATAL_FAILURE(PlayOpening(session, 3));
    ASSERT_TRUE(ClockReaches(session, 2));
    char name[32];
    snprintf(name, sizeof name, "screenshot-%d", size);
    ASSERT_TRUE(Saved(session.window, name));
    EXPECT_TRUE(e2e::GridShows(session, e2e::kPlayView));
    ASSERT_TRUE(e2e::Close(session));
  }
}

// The window on a display at 200 % (192 DPI): 21-pixel tiles shown 42 pixels wide.
TEST(Pictures, ScaledDisplay) {
  const e2e::RegistryValue dpi = e2e::DisplayDpi(192);
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session, e2e::SettingsText(12, 21, 6)));
  session.art = 21;
  session.factor = 2;
  ASSERT_NO_FATAL_FAILURE(PlayOpening(session, 3));
  ASSERT_TRUE(ClockReaches(session, 2));
  ASSERT_TRUE(Saved(session.window, "screenshot-192"));
  EXPECT_TRUE(e2e::GridShows(session, e2e::kPlayView));
  ASSERT_TRUE(e2e::Close(session));
}

// The dialogs of one session: settings and about, then a game won by flags with its
// congratulation and name, and the best scores and statistics that now hold it.
TEST(Pictures, Dialogs) {
  e2e::Session session;
  std::string settings =
      e2e::SettingsText(16, 18, 5, false, 0, "2736, Alice\r\n812, Bob\r\n19440, Carol\r\n");
  for (int entry = 3; entry < kScoreEntries; ++entry) settings += "0, \r\n";
  settings += "noguess=0\r\neasy=41 29 17 3 8\r\nmedium=11 5 3 -2 4\r\nhard=4 1 0 -1 1\r\n";
  ASSERT_TRUE(e2e::Start(session, settings));
  const struct {
    int command, marker, closer;
    const char* name;
  } menuDialogs[] = {{IDM_SETTINGS, IDC_GRID_EDIT, IDC_CANCEL, "dialog-settings"},
                     {IDM_ABOUT, IDC_ABOUT_NAME, IDC_OK, "dialog-about"}};
  for (const auto& d : menuDialogs) {
    HWND dialog = e2e::OpenDialog(session, d.command, d.marker);
    ASSERT_TRUE(Saved(dialog, d.name));
    ASSERT_TRUE(e2e::ClickButton(session, dialog, d.closer) && e2e::WaitForGone(dialog));
  }

  ASSERT_NO_FATAL_FAILURE(PlayOpening(session, 0));
  ASSERT_TRUE(ClockReaches(session, 3));
  const e2e::Snapshot s = e2e::ReadSnapshot(session);
  for (int c = 1; c <= s.game.columns; ++c) {
    for (int r = 1; r <= s.game.rows; ++r) {
      if (s.board[c][r] == kCoveredMine) {
        ASSERT_TRUE(e2e::PressCell(session, c, r, kRight, true));
      }
    }
  }
  HWND dialog = e2e::WaitForDialog(session, IDC_CONGRATULATION_TEXT);
  ASSERT_TRUE(Saved(dialog, "dialog-congratulation"));
  ASSERT_TRUE(e2e::ClickButton(session, dialog, IDC_OK) && e2e::WaitForGone(dialog));
  dialog = e2e::WaitForDialog(session, IDC_NAME_EDIT);
  ASSERT_TRUE(dialog && e2e::TypeText(session, GetDlgItem(dialog, IDC_NAME_EDIT), "Dana"));
  ASSERT_TRUE(Saved(dialog, "dialog-name"));
  ASSERT_TRUE(e2e::ClickButton(session, dialog, IDC_OK) && e2e::WaitForGone(dialog));

  dialog = e2e::OpenDialog(session, IDM_BEST_SCORES, IDC_SCORE_LIST);
  ASSERT_EQ(4u, e2e::ListLines(dialog, IDC_SCORE_LIST).size());
  ASSERT_TRUE(Saved(dialog, "dialog-scores"));
  ASSERT_TRUE(e2e::ClickButton(session, dialog, IDC_OK) && e2e::WaitForGone(dialog));
  dialog = e2e::OpenDialog(session, IDM_STATISTICS, IDC_STATS_RESET);
  ASSERT_EQ("1 won", e2e::Text(dialog, IDC_STATS_ROW + IDC_STATS_ROW_STEP + 4));
  ASSERT_TRUE(Saved(dialog, "dialog-statistics"));
  ASSERT_TRUE(e2e::ClickButton(session, dialog, IDC_OK) && e2e::WaitForGone(dialog));
  ASSERT_TRUE(e2e::Close(session));
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc != 2) {
    fprintf(stderr, "usage: torvane_pictures FOLDER (where the .bmp files go)\n");
    return 2;
  }
  PictureFolder = argv[1];
  e2e::InstallFailureScreenshots();
  return RUN_ALL_TESTS();
}
