// test_dialogs.cpp: the five dialogs of the real program: captions in both languages, the settings
// dialog, the best scores, and the congratulation and name dialogs of a won game.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "tests/e2e/driver.h"

namespace {

// English, easy, 10 x 10, 18-pixel tiles, sound off, empty table.
constexpr const char kEnglishDefaults[] =
    "ratio=6\r\ngrid=10\r\nsize=18\r\nlang=1000\r\nsound=0\r\n";
// The same in French.
constexpr const char kFrenchDefaults[] = "ratio=6\r\ngrille=10\r\nlarg=18\r\nlang=0\r\nsons=0\r\n";

// A record of the program, read from its memory.
template <typename T>
T Read(const e2e::Session& session, const char* symbol) {
  T value = {};
  EXPECT_TRUE(e2e::ReadSymbol(session, symbol, &value, sizeof value)) << symbol;
  return value;
}
SettingsRecord ReadSettings(const e2e::Session& session) {
  return Read<SettingsRecord>(session, "_Settings");
}
GameRecord ReadGame(const e2e::Session& session) {
  return Read<GameRecord>(session, "_Game");
}
int32_t ReadState(const e2e::Session& session) {
  return Read<int32_t>(session, "_GameState");
}

HWND OpenSettings(const e2e::Session& session) {
  if (!e2e::PostCommand(session, IDM_SETTINGS)) return nullptr;
  return e2e::WaitForDialog(session, IDC_GRID_EDIT);
}

// The control's text, or "<no text>" when it cannot be read.
struct Text {
  char value[512];
};
Text ItemText(HWND dialog, int id) {
  Text text;
  if (!e2e::GetItemText(dialog, id, text.value, sizeof text.value))
    snprintf(text.value, sizeof text.value, "<no text>");
  return text;
}
Text Title(HWND window) {
  Text text;
  if (!e2e::WindowTitle(window, text.value, sizeof text.value))
    snprintf(text.value, sizeof text.value, "<no title>");
  return text;
}

// An arrow key pressed in the edit, which the up-down control watches (UDS_ARROWKEYS).
bool ArrowKey(const e2e::Session& session, HWND dialog, int virtualKey) {
  HWND edit = GetDlgItem(dialog, IDC_GRID_EDIT);
  if (!edit) return false;
  PostMessageA(edit, WM_KEYDOWN, virtualKey, 1);
  PostMessageA(edit, WM_KEYUP, virtualKey, 0xC0000001);
  return e2e::Flush(session);
}

// A click on the upper or the lower arrow of the up-down control.
bool ClickArrow(const e2e::Session& session, HWND dialog, bool up) {
  HWND spin = GetDlgItem(dialog, IDC_GRID_SPIN);
  RECT client;
  if (!spin || !GetClientRect(spin, &client)) return false;
  LPARAM point = MAKELPARAM(client.right / 2, up ? client.bottom / 4 : client.bottom * 3 / 4);
  PostMessageA(spin, WM_LBUTTONDOWN, MK_LBUTTON, point);
  PostMessageA(spin, WM_LBUTTONUP, 0, point);
  return e2e::Flush(session);
}

// OK, then a second flush so that the new game it may post has been handled too.
bool PressOk(const e2e::Session& session, HWND dialog) {
  return e2e::ClickButton(session, dialog, IDC_OK) && e2e::Flush(session) &&
         e2e::WaitForGone(dialog);
}

// The line'th line of the settings file (from 1) without its line end.
bool FileLine(const e2e::Session& session, int line, char* buffer, size_t capacity) {
  char file[4096];
  if (!e2e::ReadSettingsFile(session, file, sizeof file)) return false;
  const char* start = file;
  for (int i = 1; i < line; ++i) {
    start = strstr(start, "\r\n");
    if (!start) return false;
    start += 2;
  }
  const char* end = strstr(start, "\r\n");
  if (!end || static_cast<size_t>(end - start) >= capacity) return false;
  memcpy(buffer, start, end - start);
  buffer[end - start] = '\0';
  return true;
}

struct Caption {
  int id;
  const char* english;
  const char* french;
};

void ExpectCaptions(HWND dialog, const Caption* captions, int count, bool english) {
  for (int i = 0; i < count; ++i) {
    const char* expected = english ? captions[i].english : captions[i].french;
    EXPECT_STREQ(expected, ItemText(dialog, captions[i].id).value) << "control " << captions[i].id;
  }
}

// --- Captions --------------------------------------------------------------------------

const Caption kSettingsCaptions[] = {
    {IDC_GRID_GROUP, "", "Taille de la grille"},
    {IDC_GRID_LABEL, "# Columns/Rows",
     "Colonnes/rang\xe9"
     "es"},
    {IDC_SOUND, "Sound effects", "Effets sonores"},
    {IDC_LEVEL_GROUP, "Difficulty", "Degr\xe9 de difficult\xe9"},
    {IDC_LEVEL_EASY, "Easy", "Facile"},
    {IDC_LEVEL_MEDIUM, "Medium", "Moyen"},
    {IDC_LEVEL_HARD, "Hard", "Difficile"},
    {IDC_SIZE_GROUP, "Size of stones",
     "Taille des pi\xe8"
     "ces"},
    {IDC_SIZE_15, "15 pixels", "15 pixels"},
    {IDC_SIZE_18, "18 pixels", "18 pixels"},
    {IDC_SIZE_21, "21 pixels", "21 pixels"},
    {IDC_OK, "OK", "OK"},
    {IDC_CANCEL, "Cancel", "Annuler"},
};
const Caption kScoresCaptions[] = {
    {IDC_SCORE_CLEAR, "Reset scores", "Effacer les scores"},
    {IDC_OK, "OK", "OK"},
};
const Caption kAboutCaptions[] = {
    {IDC_ABOUT_NAME, "Torvane\nVersion 1.1", "Torvane\nVersion 1.1"},
    {IDC_OK, "OK", "OK"},
};

// Opens the three dialogs of the menu, checks their texts and that each sits over the main
// window, and closes them.
void CheckMenuDialogs(const e2e::Session& session, bool english) {
  HWND dialog = OpenSettings(session);
  ASSERT_NE(nullptr, dialog);
  EXPECT_STREQ(english ? "Game Grid Settings" : "Param\xe9trage de la grille de jeu",
               Title(dialog).value);
  ExpectCaptions(dialog, kSettingsCaptions, sizeof kSettingsCaptions / sizeof *kSettingsCaptions,
                 english);
  RECT main, box;
  ASSERT_TRUE(e2e::WindowRect(session.window, &main));
  ASSERT_TRUE(e2e::WindowRect(dialog, &box));
  // Centred over the main window (the main window lies well inside the screen here).
  EXPECT_NEAR((main.left + main.right) / 2, (box.left + box.right) / 2, 1);
  EXPECT_NEAR((main.top + main.bottom) / 2, (box.top + box.bottom) / 2, 1);
  ASSERT_TRUE(e2e::ClickButton(session, dialog, IDC_CANCEL));
  ASSERT_TRUE(e2e::WaitForGone(dialog));

  ASSERT_TRUE(e2e::PostCommand(session, IDM_BEST_SCORES));
  dialog = e2e::WaitForDialog(session, IDC_SCORE_LIST);
  ASSERT_NE(nullptr, dialog);
  EXPECT_STREQ(english ? "Best Scores" : "Meilleurs scores", Title(dialog).value);
  ExpectCaptions(dialog, kScoresCaptions, 2, english);
  ASSERT_TRUE(e2e::ClickButton(session, dialog, IDC_OK));
  ASSERT_TRUE(e2e::WaitForGone(dialog));

  ASSERT_TRUE(e2e::PostCommand(session, IDM_ABOUT));
  dialog = e2e::WaitForDialog(session, IDC_ABOUT_NAME);
  ASSERT_NE(nullptr, dialog);
  EXPECT_STREQ(english ? "About the Torvane" : "A propos du Torvane", Title(dialog).value);
  ExpectCaptions(dialog, kAboutCaptions, 2, english);
  // The maker's text is the program's own: only its presence is checked.
  EXPECT_STRNE("", ItemText(dialog, IDC_ABOUT_CONTACT).value);
  ASSERT_TRUE(english ? e2e::PressEscape(session, dialog) : e2e::CloseDialog(session, dialog));
  ASSERT_TRUE(e2e::WaitForGone(dialog));
}

TEST(DialogTexts, EveryMenuDialogSpeaksTheLanguageInForceAtEachOpening) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session, kEnglishDefaults));
  CheckMenuDialogs(session, true);
  // The language command, then every dialog again: now French.
  ASSERT_TRUE(e2e::SendCommand(session, IDM_LANGUAGE));
  CheckMenuDialogs(session, false);
}

// --- The spinner ----------------------------------------------------------------------

TEST(SettingsSpinner, StepsTheEditWithinTenToThirty) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session, "ratio=5\r\ngrid=16\r\nsize=21\r\nlang=1000\r\nsound=1\r\n"));
  HWND dialog = OpenSettings(session);
  ASSERT_NE(nullptr, dialog);
  EXPECT_STREQ("16", ItemText(dialog, IDC_GRID_EDIT).value);
  HWND spin = GetDlgItem(dialog, IDC_GRID_SPIN);
  ASSERT_NE(nullptr, spin);
  char className[64] = {};
  GetClassNameA(spin, className, sizeof className);
  EXPECT_STREQ("msctls_updown32", className);
  // Its buddy is the edit, and it never writes the edit by itself (no UDS_SETBUDDYINT).
  EXPECT_EQ(GetDlgItem(dialog, IDC_GRID_EDIT),
            reinterpret_cast<HWND>(SendMessageA(spin, UDM_GETBUDDY, 0, 0)));
  LONG style = GetWindowLongA(spin, GWL_STYLE);
  EXPECT_EQ(
      UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
      style & (UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS | UDS_SETBUDDYINT | UDS_WRAP));

  struct Step {
    const char* before;
    bool up;
    bool byMouse;
    const char* after;
  } steps[] = {
      {"16", true, false, "17"}, {"17", false, true, "16"},  {"30", true, false, "30"},
      {"30", true, true, "30"},  {"10", false, false, "10"}, {"10", false, true, "10"},
      {"25", true, false, "26"}, {"25", true, true, "26"},   {"25", false, false, "24"},
      {"", true, false, "10"},   {"", false, true, "10"},    {"abc", false, false, "10"},
      {"abc", true, true, "10"}, {"29", true, false, "30"},  {"45", false, false, "30"},
      {"3", true, true, "10"},
  };
  for (const Step& step : steps) {
    ASSERT_TRUE(e2e::SetItemText(dialog, IDC_GRID_EDIT, step.before));
    if (step.byMouse)
      ASSERT_TRUE(ClickArrow(session, dialog, step.up));
    else
      ASSERT_TRUE(ArrowKey(session, dialog, step.up ? VK_UP : VK_DOWN));
    EXPECT_STREQ(step.after, ItemText(dialog, IDC_GRID_EDIT).value)
        << "from \"" << step.before << "\" " << (step.up ? "up" : "down")
        << (step.byMouse ? " by the mouse" : " by the key");
  }
  // Stepping writes only the edit: nothing is stored until OK.
  EXPECT_EQ(16, ReadSettings(session).grid);
  ASSERT_TRUE(e2e::CloseDialog(session, dialog));
  EXPECT_TRUE(e2e::WaitForGone(dialog));
}

// --- Opening, cancelling and OK -------------------------------------------------------

// Changes every control of an open settings dialog away from the prepared settings below.
void ChangeEverything(const e2e::Session& session, HWND dialog) {
  ASSERT_TRUE(ArrowKey(session, dialog, VK_UP));
  ASSERT_TRUE(ArrowKey(session, dialog, VK_UP));
  ASSERT_TRUE(e2e::ClickButton(session, dialog, IDC_SOUND));
  ASSERT_TRUE(e2e::ClickButton(session, dialog, IDC_SIZE_15));
  ASSERT_TRUE(e2e::ClickButton(session, dialog, IDC_LEVEL_HARD));
  EXPECT_STREQ("18", ItemText(dialog, IDC_GRID_EDIT).value);
  EXPECT_EQ(BST_UNCHECKED, e2e::GetCheck(dialog, IDC_SOUND));
  EXPECT_EQ(BST_CHECKED, e2e::GetCheck(dialog, IDC_SIZE_15));
  EXPECT_EQ(BST_UNCHECKED, e2e::GetCheck(dialog, IDC_SIZE_21));
  EXPECT_EQ(BST_CHECKED, e2e::GetCheck(dialog, IDC_LEVEL_HARD));
  EXPECT_EQ(BST_UNCHECKED, e2e::GetCheck(dialog, IDC_LEVEL_MEDIUM));
}

constexpr const char kPrepared[] = "ratio=5\r\ngrid=16\r\nsize=21\r\nlang=1000\r\nsound=5\r\n";

TEST(SettingsDialog, OpensWithTheSettingsAndCancelEscapeAndCloseStoreNothing) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session, kPrepared));
  const GameRecord game = ReadGame(session);
  for (int way = 0; way < 4; ++way) {
    HWND dialog = OpenSettings(session);
    ASSERT_NE(nullptr, dialog);
    EXPECT_STREQ("16", ItemText(dialog, IDC_GRID_EDIT).value);
    EXPECT_EQ(BST_CHECKED, e2e::GetCheck(dialog, IDC_SOUND));  // sound 5 is on
    EXPECT_EQ(BST_UNCHECKED, e2e::GetCheck(dialog, IDC_SIZE_15));
    EXPECT_EQ(BST_UNCHECKED, e2e::GetCheck(dialog, IDC_SIZE_18));
    EXPECT_EQ(BST_CHECKED, e2e::GetCheck(dialog, IDC_SIZE_21));
    EXPECT_EQ(BST_UNCHECKED, e2e::GetCheck(dialog, IDC_LEVEL_EASY));
    EXPECT_EQ(BST_CHECKED, e2e::GetCheck(dialog, IDC_LEVEL_MEDIUM));
    EXPECT_EQ(BST_UNCHECKED, e2e::GetCheck(dialog, IDC_LEVEL_HARD));
    ChangeEverything(session, dialog);
    if (way == 0) {
      ASSERT_TRUE(e2e::ClickButton(session, dialog, IDC_CANCEL));
    } else if (way == 1) {
      ASSERT_TRUE(e2e::PressEscape(session, dialog));
    } else if (way == 2) {
      ASSERT_TRUE(e2e::CloseDialog(session, dialog));
    } else {
      // Enter in the edit: no default button, so nothing happens and the dialog stays.
      HWND edit = GetDlgItem(dialog, IDC_GRID_EDIT);
      PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
      PostMessageA(edit, WM_KEYUP, VK_RETURN, 0xC0000001);
      ASSERT_TRUE(e2e::Flush(session));
      EXPECT_EQ(dialog, e2e::FindDialog(session, IDC_GRID_EDIT));
      // Alt+F4 arrives as SC_CLOSE with low bits the system may use.
      PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE | 3, 0);
      ASSERT_TRUE(e2e::Flush(session));
    }
    ASSERT_TRUE(e2e::Flush(session));
    EXPECT_TRUE(e2e::WaitForGone(dialog)) << "way " << way;
    SettingsRecord settings = ReadSettings(session);
    EXPECT_EQ(5, settings.ratio) << "way " << way;
    EXPECT_EQ(16, settings.grid) << "way " << way;
    EXPECT_EQ(21, settings.size) << "way " << way;
    EXPECT_EQ(5, settings.sound) << "way " << way;
    GameRecord now = ReadGame(session);
    EXPECT_EQ(game.columns, now.columns);
    EXPECT_EQ(game.size, now.size);
    EXPECT_EQ(game.ratio, now.ratio);
  }
  DWORD code = 1;
  ASSERT_TRUE(e2e::Close(session, &code));
  EXPECT_EQ(0u, code);
  char file[4096];
  ASSERT_TRUE(e2e::ReadSettingsFile(session, file, sizeof file));
  EXPECT_EQ(0, strncmp(kPrepared, file, strlen(kPrepared))) << file;
}

// A window laid out for a game of this side and tile size.
void ExpectWindowFor(const e2e::Session& session, int side, int size) {
  RECT window;
  ASSERT_TRUE(e2e::WindowRect(session.window, &window));
  EXPECT_EQ(side * size + 6, window.right - window.left);
  EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYMENU) + side * size + 28,
            window.bottom - window.top);
}

// Puts the game in the state named, from a fresh deal.
void BringToState(const e2e::Session& session, int32_t state) {
  e2e::Snapshot snapshot;
  ASSERT_TRUE(e2e::ReadSnapshot(session, &snapshot));
  if (state == GS_RUNNING) {
    // A corner never holds a mine.
    ASSERT_TRUE(e2e::PressCell(session, 1, 1, e2e::kLeft));
  } else if (state == GS_OVER) {
    ASSERT_TRUE(e2e::SendCommand(session, IDM_SEE_SOLUTION));
  } else if (state == GS_EXPLODED) {
    for (int column = 1; column <= snapshot.game.columns; ++column) {
      for (int row = 1; row <= snapshot.game.rows; ++row) {
        if (snapshot.board[column][row] == kCoveredMine) {
          ASSERT_TRUE(e2e::PressCell(session, column, row, e2e::kLeft));
          ASSERT_EQ(GS_EXPLODED, ReadState(session));
          return;
        }
      }
    }
    FAIL() << "no mine on the board";
  }
  ASSERT_EQ(state, ReadState(session));
}

TEST(SettingsDialog, OkStartsANewGameWithTheNewValuesUnlessAGameRuns) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session, kPrepared));
  ExpectWindowFor(session, 16, 21);
  // A new tile size, another one, then the same again; one more tile per side each time.
  const struct {
    int32_t state;
    int size;
  } rounds[] = {{GS_READY, 15}, {GS_OVER, 21}, {GS_EXPLODED, 21}};
  int side = 16;
  for (const auto& round : rounds) {
    const int32_t state = round.state;
    const int size = round.size;
    BringToState(session, state);
    HWND dialog = OpenSettings(session);
    ASSERT_NE(nullptr, dialog);
    ++side;
    ASSERT_TRUE(ArrowKey(session, dialog, VK_UP));
    ASSERT_TRUE(e2e::ClickButton(session, dialog, size == 15 ? IDC_SIZE_15 : IDC_SIZE_21));
    ASSERT_TRUE(e2e::ClickButton(session, dialog, IDC_LEVEL_HARD));
    ASSERT_TRUE(PressOk(session, dialog));

    SettingsRecord settings = ReadSettings(session);
    EXPECT_EQ(side, settings.grid) << "state " << state;
    EXPECT_EQ(size, settings.size);
    EXPECT_EQ(4, settings.ratio);
    EXPECT_EQ(1, settings.sound);  // the check box stores 1 for a sound of 5
    // The new game took them, the window fits it and the tiles are those of the new size.
    GameRecord game = ReadGame(session);
    EXPECT_EQ(side, game.columns) << "state " << state;
    EXPECT_EQ(side, game.rows);
    EXPECT_EQ(size, game.size);
    EXPECT_EQ(4, game.ratio);
    EXPECT_EQ(side * side / 4, game.totalMines);
    EXPECT_EQ(GS_READY, ReadState(session));
    EXPECT_EQ(size, Read<int>(session, "_TileBitmapsSize"));
    ExpectWindowFor(session, side, size);
    // The right edge of the first tile is black and the next tile starts white: the grid is
    // drawn with tiles of the new size.
    EXPECT_EQ(RGB(0, 0, 0), e2e::ClientPixel(session, size - 1, size / 2));
    EXPECT_EQ(RGB(255, 255, 255), e2e::ClientPixel(session, size, size / 2));
  }
  DWORD code = 1;
  ASSERT_TRUE(e2e::Close(session, &code));
  char line[64];
  ASSERT_TRUE(FileLine(session, 1, line, sizeof line));
  EXPECT_STREQ("ratio=4", line);
  ASSERT_TRUE(FileLine(session, 2, line, sizeof line));
  EXPECT_STREQ("grid=19", line);
  ASSERT_TRUE(FileLine(session, 3, line, sizeof line));
  EXPECT_STREQ("size=21", line);
  ASSERT_TRUE(FileLine(session, 5, line, sizeof line));
  EXPECT_STREQ("sound=1", line);
}

TEST(SettingsDialog, OkWhileAGameRunsKeepsThatGameUntilTheNextDeal) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session, kEnglishDefaults));
  BringToState(session, GS_RUNNING);
  e2e::Snapshot before;
  ASSERT_TRUE(e2e::ReadSnapshot(session, &before));
  RECT windowBefore;
  ASSERT_TRUE(e2e::WindowRect(session.window, &windowBefore));

  HWND dialog = OpenSettings(session);
  ASSERT_NE(nullptr, dialog);
  ASSERT_TRUE(e2e::SetItemText(dialog, IDC_GRID_EDIT, "20"));
  ASSERT_TRUE(e2e::ClickButton(session, dialog, IDC_SIZE_21));
  ASSERT_TRUE(e2e::ClickButton(session, dialog, IDC_LEVEL_MEDIUM));
  ASSERT_TRUE(e2e::ClickButton(session, dialog, IDC_SOUND));
  ASSERT_TRUE(PressOk(session, dialog));

  SettingsRecord settings = ReadSettings(session);
  EXPECT_EQ(20, settings.grid);
  EXPECT_EQ(21, settings.size);
  EXPECT_EQ(5, settings.ratio);
  EXPECT_EQ(1, settings.sound);
  // No new game: the running one keeps its board, its counters, its tiles and its window.
  e2e::Snapshot after;
  ASSERT_TRUE(e2e::ReadSnapshot(session, &after));
  EXPECT_EQ(GS_RUNNING, after.state);
  EXPECT_EQ(0, memcmp(before.board, after.board, sizeof before.board));
  EXPECT_EQ(10, after.game.columns);
  EXPECT_EQ(10, after.game.rows);
  EXPECT_EQ(18, after.game.size);
  EXPECT_EQ(6, after.game.ratio);
  EXPECT_EQ(before.game.totalMines, after.game.totalMines);
  EXPECT_EQ(18, Read<int>(session, "_TileBitmapsSize"));
  RECT windowAfter;
  ASSERT_TRUE(e2e::WindowRect(session.window, &windowAfter));
  EXPECT_EQ(0, memcmp(&windowBefore, &windowAfter, sizeof windowBefore));

  // It plays on with its own tiles: a press on the last cell, the other safe corner, lands
  // on that cell of the 18-pixel grid and uncovers it.
  ASSERT_TRUE(e2e::PressCell(session, 10, 10, e2e::kLeft));
  ASSERT_TRUE(e2e::ReadSnapshot(session, &after));
  EXPECT_GE(after.board[10][10], 0);
  EXPECT_EQ(0, after.board[11][10]);  // the border stays clear
  EXPECT_EQ(GS_RUNNING, after.state);

  // The next deal takes the new values.
  ASSERT_TRUE(e2e::SendCommand(session, IDM_NEW_GAME));
  GameRecord game = ReadGame(session);
  EXPECT_EQ(20, game.columns);
  EXPECT_EQ(21, game.size);
  EXPECT_EQ(5, game.ratio);
  EXPECT_EQ(80, game.totalMines);
  EXPECT_EQ(21, Read<int>(session, "_TileBitmapsSize"));
  ExpectWindowFor(session, 20, 21);
}

TEST(SettingsDialog, OkKeepsTheGridSideWithinTenToThirty) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session, kPrepared));
  struct Entry {
    const char* text;
    int side;  // what OK stores
  } entries[] = {
      {"45", 30}, {"", 30},  {"abc", 30},        {"7", 10},  {"12abc", 10}, {" 22 ", 22},
      {"-5", 10}, {"0", 10}, {"4294967297", 30}, {"31", 30}, {"9", 10},
  };
  for (const Entry& entry : entries) {
    HWND dialog = OpenSettings(session);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(e2e::SetItemText(dialog, IDC_GRID_EDIT, entry.text));
    ASSERT_TRUE(PressOk(session, dialog));
    EXPECT_EQ(entry.side, ReadSettings(session).grid) << "\"" << entry.text << "\"";
    GameRecord game = ReadGame(session);
    EXPECT_EQ(entry.side, game.columns) << "\"" << entry.text << "\"";
    EXPECT_EQ(entry.side, game.rows);
    ExpectWindowFor(session, entry.side, 21);
  }
  DWORD code = 1;
  ASSERT_TRUE(e2e::Close(session, &code));
  char line[64];
  ASSERT_TRUE(FileLine(session, 2, line, sizeof line));
  EXPECT_STREQ("grid=10", line);
}

// --- Best scores ----------------------------------------------------------------------

TEST(BestScores, ListsTheTableInTextOrderAndClearsItAtOnce) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session,
                         "ratio=5\r\ngrid=16\r\nsize=18\r\nlang=1000\r\nsound=0\r\n"
                         "2736, Alice\r\n812, Bob\r\n19440, Carol\r\n"));
  ASSERT_TRUE(e2e::PostCommand(session, IDM_BEST_SCORES));
  HWND dialog = e2e::WaitForDialog(session, IDC_SCORE_LIST);
  ASSERT_NE(nullptr, dialog);
  const char* expected[] = {"0812, Bob", "19440, Carol", "2736, Alice"};
  ASSERT_EQ(3, e2e::ListCount(dialog, IDC_SCORE_LIST));
  for (int i = 0; i < 3; ++i) {
    char line[64] = {};
    ASSERT_TRUE(e2e::ListLine(dialog, IDC_SCORE_LIST, i, line, sizeof line));
    EXPECT_STREQ(expected[i], line);
  }

  // Clearing empties list and table together, and the dialog stays open.
  ASSERT_TRUE(e2e::ClickButton(session, dialog, IDC_SCORE_CLEAR));
  EXPECT_EQ(0, e2e::ListCount(dialog, IDC_SCORE_LIST));
  EXPECT_EQ(dialog, e2e::FindDialog(session, IDC_SCORE_LIST));
  struct Table {
    ScoreEntry entries[kScoreEntries];
  };
  for (const ScoreEntry& entry : Read<Table>(session, "_ScoreTable").entries) {
    EXPECT_EQ(0, entry.score);
    EXPECT_EQ('\0', entry.name[0]);
  }
  // Leaving by the close box does not undo it.
  ASSERT_TRUE(e2e::CloseDialog(session, dialog));
  ASSERT_TRUE(e2e::WaitForGone(dialog));
  ASSERT_TRUE(e2e::PostCommand(session, IDM_BEST_SCORES));
  dialog = e2e::WaitForDialog(session, IDC_SCORE_LIST);
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ(0, e2e::ListCount(dialog, IDC_SCORE_LIST));
  ASSERT_TRUE(e2e::PressEscape(session, dialog));
  ASSERT_TRUE(e2e::WaitForGone(dialog));

  DWORD code = 1;
  ASSERT_TRUE(e2e::Close(session, &code));
  for (int line = 6; line <= 29; ++line) {
    char text[64];
    ASSERT_TRUE(FileLine(session, line, text, sizeof text)) << "line " << line;
    EXPECT_STREQ("0, ", text) << "line " << line;
  }
}

TEST(BestScores, TheListStopsAtTheFirstEmptyEntry) {
  const struct {
    const char* scores;
    int lines;
    const char* first;
  } cases[] = {
      {"0, Nobody\r\n500, Late\r\n", 0, nullptr},
      {"2736, Alice\r\n0, \r\n500, Late\r\n", 1, "2736, Alice"},
      {"7, ABCDEFGHIJKLMNOPQRSTUVWX\r\n", 1, "0007, ABCDEFGHIJKLMNOPQRSTUVWX"},
      {"", 0, nullptr},
  };
  for (const auto& c : cases) {
    char settings[256];
    snprintf(settings, sizeof settings, "%s%s", kEnglishDefaults, c.scores);
    e2e::Session session;
    ASSERT_TRUE(e2e::Start(session, settings));
    ASSERT_TRUE(e2e::PostCommand(session, IDM_BEST_SCORES));
    HWND dialog = e2e::WaitForDialog(session, IDC_SCORE_LIST);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(c.lines, e2e::ListCount(dialog, IDC_SCORE_LIST)) << c.scores;
    if (c.first) {
      char line[64] = {};
      ASSERT_TRUE(e2e::ListLine(dialog, IDC_SCORE_LIST, 0, line, sizeof line));
      EXPECT_STREQ(c.first, line);
    }
    ASSERT_TRUE(e2e::ClickButton(session, dialog, IDC_OK));
    EXPECT_TRUE(e2e::WaitForGone(dialog));
  }
}

// --- A won game: congratulation and name ------------------------------------------------

// Wins the game on the board by flags: a wrong flag on a corner (never a mine) first, then
// every mine. The last flag is posted, since it opens the congratulation dialog, which is
// returned.
HWND WinByFlags(const e2e::Session& session) {
  e2e::Snapshot snapshot;
  if (!e2e::ReadSnapshot(session, &snapshot)) return nullptr;
  const int columns = snapshot.game.columns;
  const int rows = snapshot.game.rows;
  EXPECT_NE(kCoveredMine, snapshot.board[1][1]);
  if (!e2e::PressCell(session, 1, 1, e2e::kRight)) return nullptr;
  int flagged = 0;
  for (int column = 1; column <= columns; ++column) {
    for (int row = 1; row <= rows; ++row) {
      if (snapshot.board[column][row] != kCoveredMine) continue;
      if (++flagged == snapshot.game.totalMines) {
        // The counter is at 0 but a wrong flag stands where a mine is unflagged: no win yet.
        e2e::Snapshot before;
        if (!e2e::ReadSnapshot(session, &before)) return nullptr;
        EXPECT_EQ(0, before.game.minesLeft);
        EXPECT_EQ(GS_RUNNING, before.state);
        if (!e2e::PostPressCell(session, column, row, e2e::kRight)) return nullptr;
      } else if (!e2e::PressCell(session, column, row, e2e::kRight)) {
        return nullptr;
      }
    }
  }
  EXPECT_EQ(snapshot.game.totalMines, flagged);
  return e2e::WaitForDialog(session, IDC_CONGRATULATION_TEXT);
}

// The score of the game just won, worked out here from its counters.
int32_t ExpectedScore(const GameRecord& game) {
  int32_t minutes = game.elapsedSeconds / 60;
  int32_t base = game.totalMines + game.undosLeft - minutes / 2;
  if (base < 0) base = 1;
  return (8 - game.ratio) * base * game.columns;
}

// Checks the congratulation dialog of the game just won, presses OK and returns the name
// dialog that follows, or null. The score must enter the table (it has room).
HWND CheckCongratulation(const e2e::Session& session, HWND dialog, bool english, int32_t* score) {
  GameRecord game = ReadGame(session);
  EXPECT_EQ(GS_OVER, ReadState(session));
  *score = ExpectedScore(game);
  EXPECT_EQ(*score, game.lastScore);
  char expected[256];
  const char* format =
      english ? "Congratulations,\n\nyou solved this %dx%d grid\n(with %d mines)\nin %02d' %02d\"\n"
                "You scored %d points."
              : "Bravo,\n\nvous avez r\xe9solu cette grille %dx%d\n(avec %d mines)\nen "
                "%02d'%02d\".\nVotre score est de %d points.";
  snprintf(expected, sizeof expected, format, static_cast<int>(game.columns),
           static_cast<int>(game.rows), static_cast<int>(game.totalMines),
           static_cast<int>(game.elapsedSeconds / 60), static_cast<int>(game.elapsedSeconds % 60),
           static_cast<int>(*score));
  EXPECT_STREQ(english ? "Congratulations!!" : "Bravo !!", Title(dialog).value);
  EXPECT_STREQ(expected, ItemText(dialog, IDC_CONGRATULATION_TEXT).value);
  EXPECT_STREQ("OK", ItemText(dialog, IDC_OK).value);
  if (!e2e::ClickButton(session, dialog, IDC_OK) || !e2e::WaitForGone(dialog)) return nullptr;
  return e2e::WaitForDialog(session, IDC_NAME_EDIT);
}

enum NameEnding { kOk, kEscape, kCloseBox };

// Types the text (if any) into the name dialog and ends it the way given.
void AnswerName(const e2e::Session& session, HWND dialog, bool english, const char* typed,
                NameEnding ending) {
  EXPECT_STREQ(english ? "Please enter your name:" : "Veuillez indiquer votre nom",
               Title(dialog).value);
  EXPECT_STREQ("OK", ItemText(dialog, IDC_OK).value);
  EXPECT_STREQ(" ", ItemText(dialog, IDC_NAME_EDIT).value);
  if (typed) {
    // The blank is selected, so typing replaces it.
    ASSERT_TRUE(e2e::TypeText(session, GetDlgItem(dialog, IDC_NAME_EDIT), typed));
    EXPECT_STREQ(typed, ItemText(dialog, IDC_NAME_EDIT).value);
  }
  bool sent = ending == kOk       ? e2e::ClickButton(session, dialog, IDC_OK)
              : ending == kEscape ? e2e::PressEscape(session, dialog)
                                  : e2e::CloseDialog(session, dialog);
  ASSERT_TRUE(sent);
  ASSERT_TRUE(e2e::WaitForGone(dialog));
  ASSERT_TRUE(e2e::Flush(session));
}

struct Win {
  const char* typed;
  NameEnding ending;
  const char* name;  // what the table holds then
};

// Plays one won game per entry, each into the next empty entry of the table, then checks the
// table and what reaches the file at exit.
void WinGames(const char* settings, bool english, const Win* wins, int count) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session, settings));
  int32_t scores[kScoreEntries] = {};
  for (int i = 0; i < count; ++i) {
    if (i > 0) {
      ASSERT_TRUE(e2e::SendCommand(session, IDM_NEW_GAME));
    }
    HWND congratulation = WinByFlags(session);
    ASSERT_NE(nullptr, congratulation) << "game " << i;
    HWND name = CheckCongratulation(session, congratulation, english, &scores[i]);
    ASSERT_NE(nullptr, name) << "game " << i;
    AnswerName(session, name, english, wins[i].typed, wins[i].ending);
    ScoreEntry table[kScoreEntries];
    ASSERT_TRUE(e2e::ReadSymbol(session, "_ScoreTable", table, sizeof table));
    EXPECT_EQ(scores[i], table[i].score) << "game " << i;
    EXPECT_STREQ(wins[i].name, table[i].name) << "game " << i;
    EXPECT_EQ(0, table[i + 1].score);
  }
  DWORD code = 1;
  ASSERT_TRUE(e2e::Close(session, &code));
  EXPECT_EQ(0u, code);
  for (int i = 0; i < count; ++i) {
    char expected[64], line[64];
    snprintf(expected, sizeof expected, "%d, %s", static_cast<int>(scores[i]), wins[i].name);
    ASSERT_TRUE(FileLine(session, 6 + i, line, sizeof line));
    EXPECT_STREQ(expected, line);
  }
}

TEST(WinDialogs, EnglishNamesAreTrimmedAndCut) {
  const Win wins[] = {
      {"  Alice  ", kOk, "Alice"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcd", kOk, "ABCDEFGHIJKLMNOPQRSTUVW"},
      {"    ", kOk, ""},
  };
  WinGames(kEnglishDefaults, true, wins, 3);
}

TEST(WinDialogs, FrenchNamesDismissedKeepASingleBlank) {
  const Win wins[] = {
      {"Bob", kEscape, " "},
      {nullptr, kCloseBox, " "},
      {nullptr, kOk, ""},  // OK on the blank as it came
  };
  WinGames(kFrenchDefaults, false, wins, 3);
}

TEST(WinDialogs, AGameWonAfterASettingsChangeIsScoredAsItWasDealt) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session, kEnglishDefaults));
  // A right press starts the game; the settings then change under it.
  ASSERT_TRUE(e2e::PressCell(session, 10, 10, e2e::kRight));
  ASSERT_TRUE(e2e::PressCell(session, 10, 10, e2e::kRight));
  ASSERT_EQ(GS_RUNNING, ReadState(session));
  HWND dialog = OpenSettings(session);
  ASSERT_NE(nullptr, dialog);
  ASSERT_TRUE(e2e::SetItemText(dialog, IDC_GRID_EDIT, "14"));
  ASSERT_TRUE(e2e::ClickButton(session, dialog, IDC_SIZE_21));
  ASSERT_TRUE(e2e::ClickButton(session, dialog, IDC_LEVEL_HARD));
  ASSERT_TRUE(PressOk(session, dialog));

  HWND congratulation = WinByFlags(session);
  ASSERT_NE(nullptr, congratulation);
  GameRecord game = ReadGame(session);
  EXPECT_EQ(10, game.columns);
  EXPECT_EQ(6, game.ratio);
  EXPECT_EQ(16, game.totalMines);
  int32_t score = 0;
  HWND name = CheckCongratulation(session, congratulation, true, &score);
  ASSERT_NE(nullptr, name);
  AnswerName(session, name, true, "Carol", kOk);
  // Within its first two minutes: (8 - 6) x (16 mines + 3 undos) x 10 columns.
  if (game.elapsedSeconds < 120) {
    EXPECT_EQ(380, score);
  }
}

}  // namespace
