// test_game.cpp: won games of the real program played through presses, from the deal to the
// best scores in the settings file: flood fills, explosions and Undo, flags with a wrong one
// taken away, the congratulation and name dialogs in both languages; the statistics as the player
// and a screen reader read them, kept across a restart and Reset; two copies saving one file.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "tests/e2e/driver.h"

namespace {

using e2e::kLeft;
using e2e::kRight;

using e2e::BoardIs;

// Wins the game on the board by flags, each posted and seen at once in memory (so a Flush that
// came back early would show): a wrong flag on a covered safe cell first, then every mine.
// Only then taking the wrong flag away wins: returns the congratulation dialog it opens.
HWND WinByFlags(const e2e::Session& session) {
  const e2e::Snapshot s = e2e::ReadSnapshot(session);
  std::vector<std::pair<int, int>> cells(1);
  if (!e2e::FindCell(s, -9, -1, &cells[0].first, &cells[0].second)) return nullptr;
  for (int c = 1; c <= s.game.columns; ++c)
    for (int r = 1; r <= s.game.rows; ++r)
      if (s.board[c][r] == kCoveredMine) cells.push_back({c, r});
  cells.push_back(cells[0]);
  for (size_t i = 0; i < cells.size(); ++i) {
    // Until the wrong flag goes, no flag wins, at 0 on the counter or below.
    const e2e::Snapshot now = e2e::ReadSnapshot(session);
    EXPECT_EQ(s.game.minesLeft - static_cast<int>(i), now.game.minesLeft);
    EXPECT_TRUE(i == 0 || now.state == GS_RUNNING) << "state " << now.state;
    const int c = cells[i].first, r = cells[i].second;
    const bool last = i + 1 == cells.size();
    if (!e2e::PressCell(session, c, r, kRight, true)) return nullptr;
    if ((e2e::ReadSnapshot(session).board[c][r] <= -17) == last) {
      ADD_FAILURE() << "no flag change at " << c << "," << r << " after Flush";
      return nullptr;
    }
  }
  return e2e::WaitForDialog(session, IDC_CONGRATULATION_TEXT);
}

// Checks the congratulation of the game just won and its score, worked out here from the
// game's counters; presses OK and returns the name dialog that follows (the table has room).
HWND Congratulate(const e2e::Session& session, HWND dialog, bool french, int32_t* score) {
  const e2e::Snapshot s = e2e::ReadSnapshot(session);
  EXPECT_EQ(GS_OVER, s.state);
  EXPECT_EQ(0, s.game.minesLeft);  // exactly the mines flagged
  const int minutes = s.game.elapsedSeconds / 60, seconds = s.game.elapsedSeconds % 60;
  int base = s.game.totalMines + s.game.undosLeft - minutes / 2;
  *score = (8 - s.game.ratio) * (base < 0 ? 1 : base) * s.game.columns;
  EXPECT_EQ(*score, s.game.lastScore);
  char expected[256];
  snprintf(expected, sizeof expected,
           french ? "Bravo,\n\nvous avez r\xe9solu cette grille %dx%d\n(avec %d mines)\nen "
                    "%02d'%02d\".\nVotre score est de %d points."
                  : "Congratulations,\n\nyou solved this %dx%d grid\n(with %d mines)\nin "
                    "%02d' %02d\"\nYou scored %d points.",
           s.game.columns, s.game.rows, s.game.totalMines, minutes, seconds, *score);
  EXPECT_EQ(french ? "Bravo !!" : "Congratulations!!", e2e::Text(dialog));
  EXPECT_EQ(expected, e2e::Text(dialog, IDC_CONGRATULATION_TEXT));
  EXPECT_EQ("OK", e2e::Text(dialog, IDC_OK));
  if (!e2e::ClickButton(session, dialog, IDC_OK) || !e2e::WaitForGone(dialog)) return nullptr;
  return e2e::WaitForDialog(session, IDC_NAME_EDIT);
}

enum Ending { kOk, kEscape, kCloseBox };

// Types the text (if any) into the name dialog, which opens with a selected blank, and ends it.
void AnswerName(const e2e::Session& session, HWND dialog, bool french, const char* typed,
                Ending ending) {
  EXPECT_EQ(french ? "Veuillez indiquer votre nom" : "Please enter your name:", e2e::Text(dialog));
  EXPECT_EQ("OK", e2e::Text(dialog, IDC_OK));
  EXPECT_EQ(" ", e2e::Text(dialog, IDC_NAME_EDIT));
  if (typed != nullptr) {
    ASSERT_TRUE(e2e::TypeText(session, GetDlgItem(dialog, IDC_NAME_EDIT), typed));
    EXPECT_EQ(typed, e2e::Text(dialog, IDC_NAME_EDIT));
  }
  ASSERT_TRUE(ending == kOk       ? e2e::ClickButton(session, dialog, IDC_OK)
              : ending == kEscape ? e2e::PressEscape(session, dialog)
                                  : e2e::CloseDialog(session, dialog));
  ASSERT_TRUE(e2e::WaitForGone(dialog));
  ASSERT_TRUE(e2e::Flush(session));
}

// A deal of the first game in which some covered cell is empty (a flood fill to play).
void DealWithAnEmptyCell(const e2e::Session& session, int* column, int* row) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (e2e::FindCell(e2e::ReadSnapshot(session), -1, -1, column, row)) return;
    Sleep(1100);  // the deal is seeded by the clock's second
    ASSERT_TRUE(e2e::Key(session, VK_F2));
  }
  FAIL() << "no deal with an empty cell";
}

TEST(Game, WonThroughRealPressesThenNamesInBothLanguagesReachTheFile) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session));
  int column, row;
  ASSERT_NO_FATAL_FAILURE(DealWithAnEmptyCell(session, &column, &row));
  e2e::Snapshot s = e2e::ReadSnapshot(session);
  EXPECT_EQ(16, s.game.totalMines);
  EXPECT_EQ(3, s.game.undosLeft);

  // A left press on an empty cell opens its area exactly as the rules work it out, starts the
  // clock and shows the time at once; a covered number is uncovered alone.
  signed char expected[kBoardSide][kBoardSide];
  memcpy(expected, s.board, sizeof expected);
  e2e::PredictUncover(expected, 10, column, row);
  ASSERT_TRUE(e2e::PressCell(session, column, row, kLeft));
  EXPECT_TRUE(BoardIs(expected, session));
  EXPECT_EQ(GS_RUNNING, e2e::ReadSnapshot(session).state);
  EXPECT_EQ("0'00", e2e::StatusText(session, 0));
  if (e2e::FindCell(e2e::ReadSnapshot(session), -9, -2, &column, &row)) {
    expected[column][row] = static_cast<signed char>(~expected[column][row]);
    ASSERT_TRUE(e2e::PressCell(session, column, row, kLeft));
    EXPECT_TRUE(BoardIs(expected, session));
  }

  // A mine explodes: one mine fewer on the counter, and a left press changes nothing until
  // Escape undoes it. A second explosion is undone by a right press below the grid.
  int mineColumn, mineRow, other, otherRow;
  ASSERT_TRUE(
      e2e::FindCell(e2e::ReadSnapshot(session), kCoveredMine, kCoveredMine, &mineColumn, &mineRow));
  ASSERT_TRUE(e2e::FindCell(e2e::ReadSnapshot(session), -9, -1, &other, &otherRow));
  for (int undosLeft : {2, 1}) {
    ASSERT_TRUE(e2e::PressCell(session, mineColumn, mineRow, kLeft));
    s = e2e::ReadSnapshot(session);
    ASSERT_EQ(GS_EXPLODED, s.state);
    EXPECT_EQ(kExplodedMine, s.board[mineColumn][mineRow]);
    EXPECT_EQ(15, s.game.minesLeft);
    EXPECT_EQ(mineColumn * 256 + mineRow, s.game.lastExploded);
    EXPECT_EQ("Mines:15", e2e::StatusText(session, 1));
    memcpy(expected, s.board, sizeof expected);
    ASSERT_TRUE(e2e::PressCell(session, other, otherRow, kLeft));
    EXPECT_TRUE(BoardIs(expected, session));
    if (undosLeft == 2)
      ASSERT_TRUE(e2e::Key(session, VK_ESCAPE));
    else
      ASSERT_TRUE(e2e::Press(session, 5, 10 * 18 + 5, kRight));
    s = e2e::ReadSnapshot(session);
    EXPECT_EQ(GS_RUNNING, s.state);
    EXPECT_EQ(kCoveredMine, s.board[mineColumn][mineRow]);
    EXPECT_EQ(16, s.game.minesLeft);
    EXPECT_EQ(undosLeft, s.game.undosLeft);
  }

  // Six wins, each into the next entry of the table. The second is won after the settings
  // changed under it, and is scored as it was dealt; the last three in French.
  const struct {
    const char* typed;
    Ending ending;
    const char* stored;
  } wins[] = {{"  Ada Lovelace  ", kOk, "Ada Lovelace"},
              {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcd", kOk, "ABCDEFGHIJKLMNOPQRSTUVW"},
              {"    ", kOk, ""},
              {"Bob", kEscape, " "},
              {nullptr, kCloseBox, " "},
              {nullptr, kOk, ""}};
  int32_t scores[6] = {};
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(testing::Message() << "win " << i);
    const bool french = i >= 3;
    ASSERT_TRUE(i != 3 || e2e::Command(session, IDM_LANGUAGE));
    ASSERT_TRUE(i == 0 || e2e::Command(session, IDM_NEW_GAME));
    if (i == 1) {
      ASSERT_TRUE(e2e::PressCell(session, 1, 1, kLeft));
      HWND dialog = e2e::OpenDialog(session, IDM_SETTINGS, IDC_GRID_EDIT);
      ASSERT_NE(nullptr, dialog);
      ASSERT_TRUE(e2e::SetText(dialog, IDC_GRID_EDIT, "12"));
      for (int id : {IDC_SIZE_21, IDC_LEVEL_HARD, IDC_OK})
        ASSERT_TRUE(e2e::ClickButton(session, dialog, id));
      ASSERT_TRUE(e2e::WaitForGone(dialog));
    }
    HWND dialog = WinByFlags(session);
    ASSERT_NE(nullptr, dialog);
    if (i == 1) {
      const GameRecord game = e2e::Read<GameRecord>(session, "_Game");
      EXPECT_EQ(10, game.columns);
      EXPECT_EQ(6, game.ratio);
      EXPECT_EQ(16, game.totalMines);
    }
    dialog = Congratulate(session, dialog, french, &scores[i]);
    ASSERT_NE(nullptr, dialog);
    ASSERT_NO_FATAL_FAILURE(AnswerName(session, dialog, french, wins[i].typed, wins[i].ending));
    ScoreEntry table[kScoreEntries];
    ASSERT_TRUE(e2e::ReadSymbol(session, "_ScoreTable", table, sizeof table));
    EXPECT_EQ(scores[i], table[i].score);
    EXPECT_STREQ(wins[i].stored, table[i].name);
    EXPECT_EQ(0, table[i + 1].score);
    if (i == 0) {
      // After the win every press is ignored.
      memcpy(expected, e2e::ReadSnapshot(session).board, sizeof expected);
      ASSERT_TRUE(e2e::PressCell(session, other, otherRow, kRight));
      ASSERT_TRUE(e2e::PressCell(session, other, otherRow, kLeft));
      EXPECT_TRUE(BoardIs(expected, session));
      EXPECT_EQ(GS_OVER, e2e::ReadSnapshot(session).state);
    }
  }

  ASSERT_TRUE(e2e::Close(session));
  std::string file;
  ASSERT_TRUE(e2e::ReadSettingsFile(session, &file));
  EXPECT_EQ(e2e::SettingsText(12, 21, 4, true),
            file.substr(0, e2e::SettingsText(12, 21, 4, true).size()));
  for (int i = 0; i < 7; ++i) {
    char line[64];
    snprintf(line, sizeof line, "%d, %s", i < 6 ? scores[i] : 0, i < 6 ? wins[i].stored : "");
    EXPECT_EQ(line, e2e::Line(file, 6 + i));
  }
}

// Uncovers the first covered safe cell of the game on the board.
bool UncoverOne(const e2e::Session& session) {
  int column, row;
  return e2e::FindCell(e2e::ReadSnapshot(session), -9, -1, &column, &row) &&
         e2e::PressCell(session, column, row, kLeft);
}

// Wins the game on the board, enters the name (Escape leaves a blank), and waits for the end.
void Win(const e2e::Session& session, const char* name) {
  HWND dialog = WinByFlags(session);
  ASSERT_NE(nullptr, dialog);
  int32_t score;
  dialog = Congratulate(session, dialog, false, &score);
  ASSERT_NE(nullptr, dialog);
  ASSERT_NO_FATAL_FAILURE(AnswerName(session, dialog, false, name, name ? kOk : kEscape));
}

// A row of the statistics dialog, its label and figures, as its static texts hold them, or as a
// screen reader reads them from this process: the names of their accessible objects.
std::vector<std::string> Row(HWND dialog, int row, bool accessible) {
  std::vector<std::string> texts;
  for (int id = IDC_STATS_ROW + IDC_STATS_ROW_STEP * row, last = id + 6; id <= last; ++id) {
    IAccessible* object = nullptr;
    BSTR name = nullptr;
    char text[64] = "<unreadable>";
    if (accessible && SUCCEEDED(AccessibleObjectFromWindow(
                          GetDlgItem(dialog, id), static_cast<DWORD>(OBJID_CLIENT),
                          __uuidof(IAccessible), reinterpret_cast<void**>(&object)))) {
      if (object->get_accName(Child(CHILDID_SELF), &name) == S_OK)
        WideCharToMultiByte(CP_ACP, 0, name, -1, text, sizeof text, nullptr, nullptr);
      SysFreeString(name);
      object->Release();
    }
    texts.push_back(accessible ? text : e2e::Text(dialog, id));
  }
  return texts;
}

// A loss (See solution after an uncovering press), a game left by New game after one, a game
// left before any (not counted) and a win, all easy: read in the dialog in English, kept across
// a restart in French, and Reset after Cancel has kept them.
TEST(Game, StatisticsCountedShownKeptAcrossARestartAndReset) {
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  e2e::Session sessions[2];
  ASSERT_TRUE(e2e::Start(sessions[0]));
  ASSERT_TRUE(UncoverOne(sessions[0]) && e2e::Command(sessions[0], IDM_SEE_SOLUTION));
  ASSERT_TRUE(e2e::Key(sessions[0], VK_F2) && UncoverOne(sessions[0]));
  ASSERT_TRUE(e2e::Key(sessions[0], VK_F2) && e2e::Key(sessions[0], VK_F2));
  ASSERT_NO_FATAL_FAILURE(Win(sessions[0], nullptr));
  const std::vector<std::string> counted[2] = {
      {"Easy", "3", "1", "33%", "1 won", "1", "1"},
      {"Facile", "3", "1", "33 %", "1 gagn\351e(s)", "1", "1"}};
  for (int french = 0; french < 2; ++french) {
    SCOPED_TRACE(french ? "French, after the restart" : "English");
    e2e::Session& session = sessions[french];
    ASSERT_TRUE(!french || e2e::StartIn(session, sessions[0].folder));
    HWND dialog = e2e::OpenDialog(session, IDM_STATISTICS, IDC_STATS_RESET);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(counted[french], Row(dialog, 0, false));
    EXPECT_EQ(counted[french], Row(dialog, 0, true));
    EXPECT_EQ(nullptr, GetDlgItem(dialog, IDC_STATS_NO_GUESS)) << "no game without guessing yet";
    if (french) break;
    ASSERT_TRUE(e2e::PressEscape(session, dialog) && e2e::WaitForGone(dialog));
    ASSERT_TRUE(e2e::Command(session, IDM_LANGUAGE));
    ASSERT_TRUE(e2e::Close(session));
    std::string file;
    ASSERT_TRUE(e2e::ReadSettingsFile(session, &file));
    EXPECT_EQ("facile=3 1 1 1 1", e2e::Line(file, 31));
  }

  // Reset asks first, Cancel its default answer; OK empties every row at once.
  e2e::Session& session = sessions[1];
  HWND dialog = e2e::FindDialog(session, IDC_STATS_RESET);
  const std::vector<std::string> emptied = {"Facile", "0", "0", "0 %", "0", "0", "0"};
  for (int answer : {IDCANCEL, IDOK}) {
    ASSERT_TRUE(e2e::ClickButton(session, dialog, IDC_STATS_RESET));
    HWND box = nullptr;
    ASSERT_TRUE(e2e::WaitUntil([&] { return (box = GetLastActivePopup(dialog)) != dialog; }));
    EXPECT_EQ("Remettre toutes les statistiques \xe0 z\xe9ro ?", e2e::Text(box, 0xFFFF));
    EXPECT_EQ(answer == IDOK ? "OK" : "Annuler", e2e::Text(box, answer));
    EXPECT_EQ(BS_DEFPUSHBUTTON, GetWindowLongA(GetDlgItem(box, IDCANCEL), GWL_STYLE) & 0x0F);
    ASSERT_TRUE(e2e::ClickButton(session, box, answer) && e2e::WaitForGone(box));
    EXPECT_EQ(answer == IDOK ? emptied : counted[1], Row(dialog, 0, false));
  }
  ASSERT_TRUE(e2e::CloseDialog(session, dialog) && e2e::WaitForGone(dialog));
  ASSERT_TRUE(e2e::Close(session));
  std::string file;
  ASSERT_TRUE(e2e::ReadSettingsFile(session, &file));
  EXPECT_EQ("facile=0 0 0 0 0", e2e::Line(file, 31));
  CoUninitialize();
}

// Two copies started from one folder each win a game and enter a name; whichever quits last,
// the file keeps both names and both wins, which make a streak of two.
TEST(Game, TwoCopiesFromOneFolderKeepBothNamesAndBothWins) {
  for (int lastToQuit = 0; lastToQuit < 2; ++lastToQuit) {
    SCOPED_TRACE(testing::Message() << "copy " << lastToQuit << " quits last");
    e2e::Session copies[2];
    ASSERT_TRUE(e2e::Start(copies[0]));
    ASSERT_TRUE(e2e::StartIn(copies[1], copies[0].folder));
    ASSERT_NO_FATAL_FAILURE(Win(copies[0], "First"));
    ASSERT_NO_FATAL_FAILURE(Win(copies[1], "Second"));
    ASSERT_TRUE(e2e::Close(copies[1 - lastToQuit]));
    ASSERT_TRUE(e2e::Close(copies[lastToQuit]));
    std::string file;
    ASSERT_TRUE(e2e::ReadSettingsFile(copies[0], &file));
    const std::string first = e2e::Line(file, 6), second = e2e::Line(file, 7);
    EXPECT_NE(std::string::npos, (lastToQuit ? second : first).find(", First")) << file;
    EXPECT_NE(std::string::npos, (lastToQuit ? first : second).find(", Second")) << file;
    EXPECT_EQ("0, ", e2e::Line(file, 8));
    EXPECT_EQ("easy=2 2 2 2 2", e2e::Line(file, 31));
  }
}

}  // namespace
