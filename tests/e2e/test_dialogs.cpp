// test_dialogs.cpp: the texts of the exe and its menu dialogs in both languages, the settings
// dialog from opening to the file written at exit, and the best-scores dialog.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <initializer_list>

#include "game/statistics.h"
#include "res/string_table.h"
#include "tests/e2e/driver.h"

namespace {

// Every text of the string table as Windows hands it out of the exe (LoadStringA in the ANSI
// code page) equals the table the host build is made from.
TEST(Texts, ExeStringsUnderWineEqualTheTable) {
  HMODULE exe = LoadLibraryExA(e2e::ProgramPath(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, exe) << e2e::ProgramPath();
  int withText = 0, compared = 0;
  for (int i = 0; i < kStringCount; ++i) withText += kStringTable[i].text != nullptr;
  for (int id = 400; id < 2 * ENGLISH_OFFSET; ++id) {
    if (id % ENGLISH_OFFSET < 400) continue;
    char text[1024] = {};
    const int length = LoadStringA(exe, static_cast<UINT>(id), text, sizeof text);
    const char* expected = FindStringEntry(id);
    EXPECT_STREQ(expected ? expected : "", text) << "id " << id;
    EXPECT_EQ(expected ? static_cast<int>(strlen(expected)) : 0, length) << "id " << id;
    compared += expected != nullptr;
  }
  EXPECT_EQ(withText, compared) << "the table has texts outside 400-999 and 1400-1999";
  FreeLibrary(exe);
}

struct Caption {
  int id;
  const char* text[2];  // English, French
};
const struct {
  int command, marker, closer;
  const char* title[2];
  Caption captions[13];  // ended by an id 0
} kMenuDialogs[] = {
    {IDM_SETTINGS,
     IDC_GRID_EDIT,
     IDC_CANCEL,
     {"Game Grid Settings", "Param\xe9trage de la grille de jeu"},
     {{IDC_GRID_GROUP, {"", "Taille de la grille"}},
      {IDC_GRID_LABEL,
       {"# Columns/Rows",
        "Colonnes/rang\xe9"
        "es"}},
      {IDC_SOUND, {"Sound effects", "Effets sonores"}},
      {IDC_LEVEL_GROUP, {"Difficulty", "Degr\xe9 de difficult\xe9"}},
      {IDC_LEVEL_EASY, {"Easy", "Facile"}},
      {IDC_LEVEL_MEDIUM, {"Medium", "Moyen"}},
      {IDC_LEVEL_HARD, {"Hard", "Difficile"}},
      {IDC_SIZE_GROUP,
       {"Size of stones",
        "Taille des pi\xe8"
        "ces"}},
      {IDC_SIZE_15, {"15 pixels", "15 pixels"}},
      {IDC_SIZE_18, {"18 pixels", "18 pixels"}},
      {IDC_SIZE_21, {"21 pixels", "21 pixels"}},
      {IDC_OK, {"OK", "OK"}},
      {IDC_CANCEL, {"Cancel", "Annuler"}}}},
    {IDM_BEST_SCORES,
     IDC_SCORE_LIST,
     IDC_OK,
     {"Best Scores", "Meilleurs scores"},
     {{IDC_SCORE_CLEAR, {"Reset scores", "Effacer les scores"}}, {IDC_OK, {"OK", "OK"}}}},
    {IDM_ABOUT,
     IDC_ABOUT_NAME,
     IDC_OK,
     {"About the Torvane", "A propos du Torvane"},
     {{IDC_ABOUT_NAME, {"Torvane\nVersion 1.1", "Torvane\nVersion 1.1"}}, {IDC_OK, {"OK", "OK"}}}},
    {IDM_STATISTICS,
     IDC_STATS_RESET,
     IDC_OK,
     {"Statistics", "Statistiques"},
     {{IDC_STATS_RESET, {"&Reset", "&Remettre \xe0 z\xe9ro"}}, {IDC_OK, {"OK", "OK"}}}},
};

TEST(Texts, EveryMenuDialogSpeaksTheLanguageInForceAndSitsOverTheWindow) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session));
  for (int french = 0; french < 2; ++french) {
    ASSERT_TRUE(!french || e2e::Command(session, IDM_LANGUAGE));
    for (const auto& d : kMenuDialogs) {
      SCOPED_TRACE(testing::Message() << "command " << d.command << (french ? ", French" : ""));
      HWND dialog = e2e::OpenDialog(session, d.command, d.marker);
      ASSERT_NE(nullptr, dialog);
      EXPECT_EQ(d.title[french], e2e::Text(dialog));
      for (const Caption& caption : d.captions) {
        if (caption.id == 0) break;
        EXPECT_EQ(caption.text[french], e2e::Text(dialog, caption.id)) << "control " << caption.id;
      }
      RECT main, box;
      ASSERT_TRUE(GetWindowRect(session.window, &main) && GetWindowRect(dialog, &box));
      EXPECT_NEAR((main.left + main.right) / 2, (box.left + box.right) / 2, 1);
      EXPECT_NEAR((main.top + main.bottom) / 2, (box.top + box.bottom) / 2, 1);
      ASSERT_TRUE(e2e::ClickButton(session, dialog, d.closer));
      ASSERT_TRUE(e2e::WaitForGone(dialog));
    }
  }
}

// The check boxes and radio buttons of the settings dialog: those listed checked, the rest not.
void ExpectChecked(HWND dialog, std::initializer_list<int> checked) {
  for (int id : {IDC_SIZE_15, IDC_SIZE_18, IDC_SIZE_21, IDC_LEVEL_HARD, IDC_LEVEL_MEDIUM,
                 IDC_LEVEL_EASY, IDC_SOUND}) {
    const bool on = std::find(checked.begin(), checked.end(), id) != checked.end();
    EXPECT_EQ(on ? BST_CHECKED : BST_UNCHECKED, e2e::GetCheck(dialog, id)) << "control " << id;
  }
}

// One step of the up-down control: an arrow key in the edit, or a click on an arrow.
bool Step(const e2e::Session& session, HWND dialog, bool up, bool byMouse) {
  if (!byMouse) return e2e::Key(session, up ? VK_UP : VK_DOWN, GetDlgItem(dialog, IDC_GRID_EDIT));
  HWND spin = GetDlgItem(dialog, IDC_GRID_SPIN);
  RECT client;
  if (spin == nullptr || !GetClientRect(spin, &client)) return false;
  LPARAM point = MAKELPARAM(client.right / 2, up ? client.bottom / 4 : client.bottom * 3 / 4);
  return PostMessageA(spin, WM_LBUTTONDOWN, MK_LBUTTON, point) &&
         PostMessageA(spin, WM_LBUTTONUP, 0, point) && e2e::Flush(session);
}

// OK, then a second flush so that the new game it may post has been handled too.
bool PressOk(const e2e::Session& session, HWND dialog) {
  return e2e::ClickButton(session, dialog, IDC_OK) && e2e::Flush(session) &&
         e2e::WaitForGone(dialog);
}

void ExpectSettings(const e2e::Session& session, int ratio, int grid, int size, int sound) {
  const SettingsRecord s = e2e::Read<SettingsRecord>(session, "_Settings");
  EXPECT_EQ(ratio, s.ratio);
  EXPECT_EQ(grid, s.grid);
  EXPECT_EQ(size, s.size);
  EXPECT_EQ(sound, s.sound);
}

// A new game of these values, with its tiles loaded and drawn, in a window fitted to it.
void ExpectNewGame(const e2e::Session& session, int ratio, int side, int size) {
  const e2e::Snapshot s = e2e::ReadSnapshot(session);
  EXPECT_EQ(GS_READY, s.state);
  EXPECT_EQ(side, s.game.columns);
  EXPECT_EQ(side, s.game.rows);
  EXPECT_EQ(ratio, s.game.ratio);
  EXPECT_EQ(size, s.game.size);
  EXPECT_EQ(side * side / ratio, s.game.totalMines);
  EXPECT_EQ(size, e2e::Read<int32_t>(session, "_TileBitmapsSize"));
  EXPECT_TRUE(e2e::WindowFits(session, side, size));
  EXPECT_TRUE(e2e::GridShows(session, e2e::kCoveredView));
}

TEST(Settings, DialogStoresOnlyOnOkAndStartsANewGameUnlessOneRuns) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session, e2e::SettingsText(16, 21, 5, false, 5)));

  // Stepping the spinner, then any change, left by the close box, Cancel or Escape: nothing
  // is stored.
  for (int way = 0; way < 3; ++way) {
    SCOPED_TRACE(testing::Message() << "way " << way);
    HWND dialog = e2e::OpenDialog(session, IDM_SETTINGS, IDC_GRID_EDIT);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("16", e2e::Text(dialog, IDC_GRID_EDIT));
    ExpectChecked(dialog, {IDC_SIZE_21, IDC_LEVEL_MEDIUM, IDC_SOUND});  // a sound of 5 is on
    if (way == 0) {
      const struct {
        const char* before;
        bool up, byMouse;
        const char* after;
      } steps[] = {
          {"16", true, false, "17"}, {"17", false, true, "16"},  {"30", true, false, "30"},
          {"30", true, true, "30"},  {"10", false, false, "10"}, {"10", false, true, "10"},
          {"25", true, false, "26"}, {"25", true, true, "26"},   {"25", false, false, "24"},
          {"", true, false, "10"},   {"", false, true, "10"},    {"abc", false, false, "10"},
          {"abc", true, true, "10"}, {"29", true, false, "30"},  {"45", false, false, "30"},
          {"3", true, true, "10"}};
      for (const auto& step : steps) {
        ASSERT_TRUE(e2e::SetText(dialog, IDC_GRID_EDIT, step.before));
        ASSERT_TRUE(Step(session, dialog, step.up, step.byMouse));
        EXPECT_EQ(step.after, e2e::Text(dialog, IDC_GRID_EDIT))
            << "from \"" << step.before << "\" " << (step.up ? "up" : "down")
            << (step.byMouse ? " by the mouse" : " by the key");
      }
      ASSERT_TRUE(e2e::CloseDialog(session, dialog));
    } else {
      ASSERT_TRUE(Step(session, dialog, true, false));
      ASSERT_TRUE(Step(session, dialog, true, true));
      for (int id : {IDC_SOUND, IDC_SIZE_15, IDC_LEVEL_HARD})
        ASSERT_TRUE(e2e::ClickButton(session, dialog, id));
      EXPECT_EQ("18", e2e::Text(dialog, IDC_GRID_EDIT));
      ExpectChecked(dialog, {IDC_SIZE_15, IDC_LEVEL_HARD});
      // Enter does nothing: there is no default button.
      ASSERT_TRUE(e2e::Key(session, VK_RETURN, GetDlgItem(dialog, IDC_GRID_EDIT)));
      EXPECT_EQ(dialog, e2e::FindDialog(session, IDC_GRID_EDIT));
      ASSERT_TRUE(way == 1 ? e2e::ClickButton(session, dialog, IDC_CANCEL)
                           : e2e::PressEscape(session, dialog));
    }
    ASSERT_TRUE(e2e::WaitForGone(dialog));
    ASSERT_TRUE(e2e::Flush(session));
    ExpectSettings(session, 5, 16, 21, 5);
    const GameRecord game = e2e::Read<GameRecord>(session, "_Game");
    EXPECT_EQ(16, game.columns);
    EXPECT_EQ(21, game.size);
  }

  // OK when no game runs: a new game of the new values, one tile more per side each time.
  const struct {
    int32_t state;
    int sizeButton, size;
  } rounds[] = {
      {GS_READY, IDC_SIZE_15, 15}, {GS_OVER, IDC_SIZE_21, 21}, {GS_EXPLODED, IDC_SIZE_21, 21}};
  int side = 16;
  for (const auto& round : rounds) {
    SCOPED_TRACE(testing::Message() << "OK at state " << round.state);
    int column = 1, row = 1;
    ASSERT_TRUE(round.state != GS_OVER || e2e::Command(session, IDM_SEE_SOLUTION));
    if (round.state == GS_EXPLODED) {
      ASSERT_TRUE(
          e2e::FindCell(e2e::ReadSnapshot(session), kCoveredMine, kCoveredMine, &column, &row));
      ASSERT_TRUE(e2e::PressCell(session, column, row, e2e::kLeft));
    }
    ASSERT_EQ(round.state, e2e::ReadSnapshot(session).state);
    HWND dialog = e2e::OpenDialog(session, IDM_SETTINGS, IDC_GRID_EDIT);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(Step(session, dialog, true, false));
    ASSERT_TRUE(e2e::ClickButton(session, dialog, round.sizeButton));
    ASSERT_TRUE(e2e::ClickButton(session, dialog, IDC_LEVEL_HARD));
    ASSERT_TRUE(PressOk(session, dialog));
    ExpectSettings(session, 4, ++side, round.size, 1);  // the box stores 1 for a sound of 5
    ExpectNewGame(session, 4, side, round.size);
  }

  // OK while a game runs: the game keeps its board, tiles, hit testing and window until the
  // next deal, which takes the new values. A corner never holds a mine.
  ASSERT_TRUE(e2e::PressCell(session, 1, 1, e2e::kLeft));
  const e2e::Snapshot before = e2e::ReadSnapshot(session);
  ASSERT_EQ(GS_RUNNING, before.state);
  HWND dialog = e2e::OpenDialog(session, IDM_SETTINGS, IDC_GRID_EDIT);
  ASSERT_NE(nullptr, dialog);
  ASSERT_TRUE(e2e::SetText(dialog, IDC_GRID_EDIT, "20"));
  for (int id : {IDC_SIZE_18, IDC_LEVEL_MEDIUM, IDC_SOUND})
    ASSERT_TRUE(e2e::ClickButton(session, dialog, id));
  ASSERT_TRUE(PressOk(session, dialog));
  ExpectSettings(session, 5, 20, 18, 0);
  e2e::Snapshot after = e2e::ReadSnapshot(session);
  EXPECT_EQ(GS_RUNNING, after.state);
  EXPECT_EQ(0, memcmp(before.board, after.board, sizeof before.board));
  EXPECT_EQ(0, memcmp(&before.game, &after.game, offsetof(GameRecord, elapsedSeconds)));
  EXPECT_EQ(21, e2e::Read<int32_t>(session, "_TileBitmapsSize"));
  EXPECT_TRUE(e2e::WindowFits(session, side, 21));
  ASSERT_TRUE(e2e::PressCell(session, side, side, e2e::kLeft));
  after = e2e::ReadSnapshot(session);
  EXPECT_GE(after.board[side][side], 0) << "the press missed the last cell";
  EXPECT_EQ(GS_RUNNING, after.state);
  EXPECT_TRUE(e2e::GridShows(session, e2e::kPlayView));
  ASSERT_TRUE(e2e::Command(session, IDM_NEW_GAME));
  ExpectNewGame(session, 5, 20, 18);

  // OK keeps the side within 10 to 30, and the previous side for a text that is no number.
  const struct {
    const char* text;
    int side;
  } entries[] = {{"45", 30}, {"", 30},  {"abc", 30},        {"7", 10},  {"12abc", 10}, {" 22 ", 22},
                 {"-5", 10}, {"0", 10}, {"4294967297", 30}, {"31", 30}, {"9", 10}};
  for (const auto& entry : entries) {
    dialog = e2e::OpenDialog(session, IDM_SETTINGS, IDC_GRID_EDIT);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(e2e::SetText(dialog, IDC_GRID_EDIT, entry.text));
    ASSERT_TRUE(PressOk(session, dialog));
    EXPECT_EQ(entry.side, e2e::Read<SettingsRecord>(session, "_Settings").grid)
        << "\"" << entry.text << "\"";
    EXPECT_TRUE(e2e::WindowFits(session, entry.side, 18)) << "\"" << entry.text << "\"";
  }
  ASSERT_TRUE(e2e::Close(session));
  std::string file;
  ASSERT_TRUE(e2e::ReadSettingsFile(session, &file));
  EXPECT_EQ(e2e::SettingsText(10, 18, 5), file.substr(0, e2e::SettingsText(10, 18, 5).size()));
}

TEST(Scores, ListedBestFirstUpToTheFirstEmptyEntryAndClearedAtOnce) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session, e2e::SettingsText(10, 18, 6, false, 0,
                                                    "812, Bob\r\n19440, Carol\r\n2736, Alice\r\n"
                                                    "380, Dan\r\n0, \r\n500, Late\r\n")));
  // Neither table order nor text order: the best score first, in either language.
  const std::vector<std::string> listed = {"19440, Carol", "2736, Alice", "0812, Bob", "0380, Dan"};
  HWND dialog = nullptr;
  for (int french = 0; french < 2; ++french) {
    ASSERT_TRUE(!french || e2e::Command(session, IDM_LANGUAGE));
    dialog = e2e::OpenDialog(session, IDM_BEST_SCORES, IDC_SCORE_LIST);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(french ? "Meilleurs scores" : "Best Scores", e2e::Text(dialog));
    EXPECT_EQ(listed, e2e::ListLines(dialog, IDC_SCORE_LIST)) << (french ? "French" : "English");
    ASSERT_TRUE(french || (e2e::CloseDialog(session, dialog) && e2e::WaitForGone(dialog)));
  }

  // Clearing empties list and table together, the dialog stays open, and the close box does
  // not undo it.
  ASSERT_TRUE(e2e::ClickButton(session, dialog, IDC_SCORE_CLEAR));
  EXPECT_EQ(std::vector<std::string>(), e2e::ListLines(dialog, IDC_SCORE_LIST));
  EXPECT_EQ(dialog, e2e::FindDialog(session, IDC_SCORE_LIST));
  struct Table {
    ScoreEntry entries[kScoreEntries];
  };
  for (const ScoreEntry& entry : e2e::Read<Table>(session, "_ScoreTable").entries) {
    EXPECT_EQ(0, entry.score);
    EXPECT_EQ('\0', entry.name[0]);
  }
  ASSERT_TRUE(e2e::CloseDialog(session, dialog));
  ASSERT_TRUE(e2e::WaitForGone(dialog));
  dialog = e2e::OpenDialog(session, IDM_BEST_SCORES, IDC_SCORE_LIST);
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ(std::vector<std::string>(), e2e::ListLines(dialog, IDC_SCORE_LIST));
  ASSERT_TRUE(e2e::PressEscape(session, dialog));
  ASSERT_TRUE(e2e::WaitForGone(dialog));

  ASSERT_TRUE(e2e::Close(session));
  std::string file;
  ASSERT_TRUE(e2e::ReadSettingsFile(session, &file));
  for (int line = 6; line <= 5 + kScoreEntries; ++line)
    EXPECT_EQ("0, ", e2e::Line(file, line)) << "line " << line;
  // After the option's line and the statistics' lines.
  EXPECT_EQ("<none>", e2e::Line(file, 7 + kScoreEntries + kStatisticsCategories));
}

}  // namespace
