// dialogs.cpp: the six dialogs of the program (settings, best scores, congratulation, name,
// about, statistics) and the two seam calls through which the rules open dialogs.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "game/game.h"
#include "game/seam.h"
#include "game/statistics.h"
#include "res/resource_ids.h"
#include "res/text.h"
#include "support/support.h"
#include "ui/program.h"

namespace {

// Buffer sizes of the formatted texts: a score line holds at most 37 characters.
constexpr int kScoreLineSize = 64;
constexpr int kCongratulationSize = 256;
// The name dialog takes at most kEnteredNameLength characters, so every name fits an entry.
constexpr int kNameFetchCount = kEnteredNameLength + 1;
// Enough for any grid side a person types; a longer text is no side anyway.
constexpr int kGridTextSize = 256;
// The spinner's own range tops out past the grid, as the control was always made; its position
// is never read (the edit's text, clamped to the grid, is the value).
constexpr int kSpinnerUpper = 32;

// Escape arrives as IDCANCEL; the close box, Alt+F4 and the system menu's Close as SC_CLOSE
// with the low four bits free for the system's own use. These, and the button closingId where
// the dialog has one that only closes it, end the dialog with 0.
BOOL EndOnClose(HWND dialog, UINT message, WPARAM wParam, int closingId) {
  bool ends = message == WM_COMMAND
                  ? LOWORD(wParam) == IDCANCEL || (closingId && LOWORD(wParam) == closingId)
                  : message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE;
  if (ends) EndDialog(dialog, 0);
  return ends ? TRUE : FALSE;
}

void SetItemText(HWND dialog, int id, int textId) {
  SetDlgItemTextA(dialog, id, LoadText(textId));
}

// Every dialog opens over the main window with its title and OK caption in the language in
// force.
void OpenCommon(HWND dialog, int titleId) {
  CentreWindow(dialog, MainWindow);
  SetWindowTextA(dialog, LoadText(titleId));
  SetItemText(dialog, IDC_OK, IDS_OK);
}

// Clamp a grid side the way the spinner does: first to at most 30, then to at least 10.
int ClampGridSide(long long side) {
  if (side > kMaxGrid) side = kMaxGrid;
  if (side < kMinGrid) side = kMinGrid;
  return static_cast<int>(side);
}

void CheckIf(HWND dialog, int id, bool checked) {
  CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool IsChecked(HWND dialog, int id) {
  return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

// A radio button of the settings dialog: its control, its caption and the value it stands for.
struct Choice {
  int id;
  int textId;
  int32_t value;
};
// In the order OK tests them, so that a later checked button wins.
constexpr Choice kSizeChoices[] = {
    {IDC_SIZE_15, IDS_SIZE_15, 15}, {IDC_SIZE_18, IDS_SIZE_18, 18}, {IDC_SIZE_21, IDS_SIZE_21, 21}};
constexpr Choice kLevelChoices[] = {{IDC_LEVEL_HARD, IDS_LEVEL_HARD, 4},
                                    {IDC_LEVEL_MEDIUM, IDS_LEVEL_MEDIUM, 5},
                                    {IDC_LEVEL_EASY, IDS_LEVEL_EASY, 6}};

void ShowChoices(HWND dialog, const Choice (&choices)[3], int32_t current) {
  for (const Choice& choice : choices) {
    SetItemText(dialog, choice.id, choice.textId);
    CheckIf(dialog, choice.id, current == choice.value);
  }
}

int32_t CheckedChoice(HWND dialog, const Choice (&choices)[3], int32_t current) {
  for (const Choice& choice : choices) {
    if (IsChecked(dialog, choice.id)) current = choice.value;
  }
  return current;
}

void InitSettings(HWND dialog) {
  OpenCommon(dialog, IDS_SETTINGS_TITLE);
  SetItemText(dialog, IDC_CANCEL, IDS_CANCEL);
  SetItemText(dialog, IDC_GRID_GROUP, IDS_GRID_GROUP);
  SetItemText(dialog, IDC_GRID_LABEL, IDS_GRID_LABEL);

  HWND edit = GetDlgItem(dialog, IDC_GRID_EDIT);
  RECT client;
  GetClientRect(edit, &client);
  // No UDS_SETBUDDYINT: the edit's text is the value, and only the UDN_DELTAPOS handling
  // writes it.
  CreateUpDownControl(
      WS_CHILD | WS_VISIBLE | WS_BORDER | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
      client.left, client.top, client.right - client.left, client.bottom - client.top, dialog,
      IDC_GRID_SPIN, Instance, edit, kSpinnerUpper, kMinGrid, Settings.grid);
  SetDlgItemInt(dialog, IDC_GRID_EDIT, static_cast<UINT>(Settings.grid), FALSE);

  SetItemText(dialog, IDC_SOUND, IDS_SOUND);
  CheckIf(dialog, IDC_SOUND, Settings.sound != 0);

  SetItemText(dialog, IDC_SIZE_GROUP, IDS_SIZE_GROUP);
  ShowChoices(dialog, kSizeChoices, Settings.size);
  SetItemText(dialog, IDC_LEVEL_GROUP, IDS_LEVEL_GROUP);
  ShowChoices(dialog, kLevelChoices, Settings.ratio);
}

// One arrow step: the edit's text is the value (no number counts as 0), clamped to the grid.
void StepGridSide(HWND dialog, int delta) {
  UINT value = GetDlgItemInt(dialog, IDC_GRID_EDIT, nullptr, FALSE);
  int side = ClampGridSide(static_cast<long long>(value) + delta);
  SetDlgItemInt(dialog, IDC_GRID_EDIT, static_cast<UINT>(side), FALSE);
}

// The edit's text as a decimal number (blanks around it and a sign allowed), clamped to the
// grid; false for a text that is no number. Parsed here rather than by GetDlgItemInt, whose
// handling of signs and trailing characters differs between platforms. Not the settings file's
// LeadingInteger: a file line counts by its leading digits whatever follows ("ratio=5x" is 5),
// while a typed side is taken only when the whole text is a number ("12abc" keeps the old side).
bool ReadGridSide(HWND dialog, int* side) {
  char text[kGridTextSize];
  GetDlgItemTextA(dialog, IDC_GRID_EDIT, text, sizeof text);
  const char* p = text;
  while (*p == ' ') ++p;
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  if (*p < '0' || *p > '9') return false;
  long long value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    if (value <= kMaxGrid) value = value * 10 + (*p - '0');  // past 30 the exact value is moot
  }
  while (*p == ' ') ++p;
  if (*p != '\0') return false;
  *side = ClampGridSide(negative ? -value : value);
  return true;
}

// OK stores into the Settings only: a running game keeps what it was dealt with, and the next
// deal takes the new values (and the main window reloads the tiles for a new size then).
void StoreSettings(HWND dialog) {
  // The board holds at most 30 tiles and its border: a number is brought into range, a text
  // that is no number keeps the side there was.
  int side = 0;
  if (ReadGridSide(dialog, &side)) Settings.grid = side;

  Settings.sound = IsChecked(dialog, IDC_SOUND) ? 1 : 0;

  Settings.size = CheckedChoice(dialog, kSizeChoices, Settings.size);
  Settings.ratio = CheckedChoice(dialog, kLevelChoices, Settings.ratio);

  // The command id rides in lParam too, as the dialog always posted it; the main window reads
  // only wParam.
  if (GameState != GS_RUNNING) PostMessageA(MainWindow, WM_COMMAND, IDM_NEW_GAME, IDM_NEW_GAME);
}

// Best first: the list box keeps the lines in the order they are added.
void FillScoreList(HWND dialog) {
  char line[kScoreLineSize];
  int order[kScoreEntries];
  const int count = ScoresBestFirst(order);
  for (int i = 0; i < count; ++i) {
    const ScoreEntry& entry = ScoreTable[order[i]];
    snprintf(line, sizeof line, "%04d, %s", static_cast<int>(entry.score), entry.name);
    SendDlgItemMessageA(dialog, IDC_SCORE_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
  }
}

void ShowScore(HWND dialog) {
  int32_t minutes = 0;
  int32_t seconds = 0;
  int32_t score = ComputeScore(&minutes, &seconds);
  char text[kCongratulationSize];
  // The size of the game just won, not the settings that the next deal will use.
  FormatText(text, sizeof text, IDS_CONGRATULATION_TEXT, Game.columns, Game.rows, Game.totalMines,
             minutes, seconds, score);
  SetDlgItemTextA(dialog, IDC_CONGRATULATION_TEXT, text);
}

char* NameBuffer(HWND dialog) {
  return reinterpret_cast<char*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// The statistics: a row of figures per difficulty in plain static texts, which screen readers
// read as they are.

// The row's label, then its figures in the order of their heads.
constexpr int kColumns = 7;
constexpr int kHeads[kColumns] = {IDS_LEVEL_GROUP, IDS_STATS_PLAYED, IDS_STATS_WON,
                                  IDS_STATS_RATE,  IDS_STATS_STREAK, IDS_STATS_LONGEST,
                                  IDS_STATS_CLEAN};
enum { kRateColumn = 3, kStreakColumn = 4 };
// In dialog units: the columns' left edges and the last one's right edge; the heads, of up to
// three lines; the rows. The rows of games dealt without guessing come after a line of their
// own, and push the buttons down.
constexpr int kEdges[kColumns + 1] = {7, 63, 99, 135, 171, 235, 283, 331};
constexpr int kHeadTop = 6;
constexpr int kHeadHeight = 26;
constexpr int kRowTop = 36;  // the first row
constexpr int kRowStep = 11;
constexpr int kLineHeight = 9;
constexpr int kNoGuessGap = 13;
constexpr int kNoGuessHeight = kNoGuessGap + kLevels * kRowStep;
constexpr int kFigureSize = 32;

int RowId(int category) {
  return IDC_STATS_ROW + IDC_STATS_ROW_STEP * category;
}

// A static text in the dialog's font, its rectangle in dialog units.
void AddText(HWND dialog, int id, const char* text, DWORD style, int left, int top, int right,
             int height) {
  RECT rect = {left, top, right, top + height};
  MapDialogRect(dialog, &rect);
  HWND control =
      CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                      rect.right - rect.left, rect.bottom - rect.top, dialog,
                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), Instance, NULL);
  SendMessageA(control, WM_SETFONT, static_cast<WPARAM>(SendMessageA(dialog, WM_GETFONT, 0, 0)),
               FALSE);
}

// The rows of games dealt without guessing show once there are such games, or the option is on.
bool ShowsNoGuess() {
  for (int category = kLevels; category < kStatisticsCategories; ++category) {
    if (Statistics[category].played != 0) return true;
  }
  return Settings.noGuess != 0;
}

// Moves a control down, or grows the dialog itself, by `pixels`.
void Lower(HWND dialog, HWND window, int pixels, bool grow) {
  RECT rect;
  GetWindowRect(window, &rect);
  if (!grow) MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
  SetWindowPos(window, NULL, rect.left, rect.top + pixels, rect.right - rect.left,
               rect.bottom - rect.top + pixels, SWP_NOZORDER | (grow ? SWP_NOMOVE : SWP_NOSIZE));
}

// The heads (row -1), then a row per category shown, the figures left empty.
void AddRows(HWND dialog) {
  const int rows = ShowsNoGuess() ? kStatisticsCategories : kLevels;
  int top = kHeadTop;
  for (int row = -1; row < rows; ++row) {
    if (row == kLevels) {
      AddText(dialog, IDC_STATS_NO_GUESS, LoadText(IDS_STATS_NO_GUESS), SS_LEFT, kEdges[0], top + 2,
              kEdges[kColumns], kLineHeight);
      top += kNoGuessGap;
    }
    for (int column = 0; column < kColumns; ++column) {
      // Easy, medium and hard are the ids below one another.
      const char* text = row >= 0 && column > 0 ? ""
                         : row < 0              ? LoadText(kHeads[column])
                                                : LoadText(IDS_LEVEL_EASY - row % kLevels);
      AddText(dialog, (row < 0 ? IDC_STATS_HEAD : RowId(row)) + column, text,
              column == 0 ? SS_LEFT : SS_CENTER, kEdges[column], top, kEdges[column + 1] - 2,
              row < 0 ? kHeadHeight : kLineHeight);
    }
    top += row < 0 ? kRowTop - kHeadTop : kRowStep;
  }
  if (rows == kLevels) return;
  RECT gap = {0, 0, 0, kNoGuessHeight};
  MapDialogRect(dialog, &gap);
  Lower(dialog, GetDlgItem(dialog, IDC_OK), gap.bottom, false);
  Lower(dialog, GetDlgItem(dialog, IDC_STATS_RESET), gap.bottom, false);
  Lower(dialog, dialog, gap.bottom, true);
}

// Each row's figures as the player sees them now; a row not shown has no controls to take them.
void ShowFigures(HWND dialog) {
  for (int category = 0; category < kStatisticsCategories; ++category) {
    const StatisticsRecord& s = Statistics[category];
    // The win rate rounded down, so that 100 % means every game won.
    const int32_t figures[kColumns] = {0,
                                       s.played,
                                       s.won,
                                       s.played != 0 ? s.won * 100 / s.played : 0,
                                       s.streak < 0 ? -s.streak : s.streak,
                                       s.longestStreak,
                                       s.cleanWins};
    for (int column = 1; column < kColumns; ++column) {
      const int format = column == kRateColumn                      ? IDS_STATS_RATE_VALUE
                         : column != kStreakColumn || s.streak == 0 ? 0
                         : s.streak > 0                             ? IDS_STATS_WINS
                                                                    : IDS_STATS_LOSSES;
      char text[kFigureSize];
      if (format != 0) {
        FormatText(text, sizeof text, format, figures[column]);
      } else {
        snprintf(text, sizeof text, "%d", static_cast<int>(figures[column]));
      }
      SetDlgItemTextA(dialog, RowId(category) + column, text);
    }
  }
}

// Reset asks first, its safe answer the default; the figures change at once, and the file at
// exit.
void ConfirmReset(HWND dialog) {
  char question[kTextBufferSize];
  strcpy(question, LoadText(IDS_STATS_CONFIRM));
  // The buttons in the program's language where the system has it.
  const WORD language = LanguageOffset == ENGLISH_OFFSET ? MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT)
                                                         : MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH);
  if (MessageBoxExA(dialog, question, LoadText(IDS_STATS_TITLE),
                    MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2, language) != IDOK) {
    return;
  }
  ResetStatistics();
  ShowFigures(dialog);
}

}  // namespace

INT_PTR CALLBACK SettingsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: InitSettings(dialog); return TRUE;
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->code != UDN_DELTAPOS) return FALSE;
      StepGridSide(dialog, reinterpret_cast<const NMUPDOWN*>(lParam)->iDelta);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) != IDC_OK) break;
      StoreSettings(dialog);
      EndDialog(dialog, 1);
      return TRUE;
  }
  return EndOnClose(dialog, message, wParam, IDC_CANCEL);
}

INT_PTR CALLBACK BestScoresDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      OpenCommon(dialog, IDS_BEST_SCORES_TITLE);
      SetItemText(dialog, IDC_SCORE_CLEAR, IDS_CLEAR_SCORES);
      FillScoreList(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) != IDC_SCORE_CLEAR) break;
      // At once and for good: closing the dialog any way keeps the table cleared.
      ClearScores();
      SendDlgItemMessageA(dialog, IDC_SCORE_LIST, LB_RESETCONTENT, 0, 0);
      return TRUE;
  }
  return EndOnClose(dialog, message, wParam, IDC_OK);
}

INT_PTR CALLBACK AboutDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    OpenCommon(dialog, IDS_ABOUT);
    SetItemText(dialog, IDC_ABOUT_NAME, IDS_ABOUT_NAME);
    SetItemText(dialog, IDC_ABOUT_CONTACT, IDS_ABOUT_CONTACT);
    return TRUE;
  }
  return EndOnClose(dialog, message, wParam, IDC_OK);
}

INT_PTR CALLBACK CongratulationDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    OpenCommon(dialog, IDS_CONGRATULATION_TITLE);
    ShowScore(dialog);
    return TRUE;
  }
  return EndOnClose(dialog, message, wParam, IDC_OK);
}

INT_PTR CALLBACK NameDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      OpenCommon(dialog, IDS_NAME_TITLE);
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      char* buffer = NameBuffer(dialog);
      // A single blank: what the entry gets when the player dismisses the dialog.
      if (buffer) snprintf(buffer, 2, " ");
      SetDlgItemTextA(dialog, IDC_NAME_EDIT, " ");
      SetFocus(GetDlgItem(dialog, IDC_NAME_EDIT));
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) != IDC_OK) break;
      if (char* buffer = NameBuffer(dialog)) {
        GetWindowTextA(GetDlgItem(dialog, IDC_NAME_EDIT), buffer, kNameFetchCount);
        TrimLeadingBlanks(buffer);
        TrimTrailingBlanks(buffer);
      }
      EndDialog(dialog, 1);
      return TRUE;
  }
  // No closing button: Escape and the close command leave the blank.
  return EndOnClose(dialog, message, wParam, 0);
}

INT_PTR CALLBACK StatisticsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      AddRows(dialog);  // first, so that the dialog is centred at its full size
      OpenCommon(dialog, IDS_STATS_TITLE);
      SetItemText(dialog, IDC_STATS_RESET, IDS_STATS_RESET);
      ShowFigures(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) != IDC_STATS_RESET) break;
      ConfirmReset(dialog);
      return TRUE;
  }
  return EndOnClose(dialog, message, wParam, IDC_OK);
}

namespace {

// The Enter or Space that was down when a win dialog opened, until it is let go or pressed anew.
WPARAM HeldKey;

// A win opens its dialogs inside the key-down of the winning Enter: that key's auto-repeats, and
// its release, must not press OK there and store a name nobody typed. Enter and Space type the
// characters of their own codes, '\r' and ' '.
LRESULT CALLBACK IgnoreHeldKey(int code, WPARAM wParam, LPARAM lParam) {
  const MSG* message = reinterpret_cast<const MSG*>(lParam);
  const UINT kind = message->message;
  if (code == MSGF_DIALOGBOX && HeldKey != 0 && message->wParam == HeldKey &&
      (kind == WM_KEYDOWN || kind == WM_KEYUP || kind == WM_CHAR)) {
    // The previous-state bit: clear on a key-down, the key was up before it.
    const bool fresh = kind == WM_KEYDOWN && (message->lParam & (LPARAM{1} << 30)) == 0;
    if (fresh || kind == WM_KEYUP) HeldKey = 0;
    if (!fresh) return TRUE;  // swallowed
  }
  return CallNextHookEx(NULL, code, wParam, lParam);
}

void OpenWinDialog(int templateId, DLGPROC procedure, LPARAM parameter) {
  HeldKey = GetKeyState(VK_RETURN) < 0 ? VK_RETURN : GetKeyState(VK_SPACE) < 0 ? VK_SPACE : 0;
  HHOOK filter = SetWindowsHookExA(WH_MSGFILTER, IgnoreHeldKey, NULL, GetCurrentThreadId());
  DialogBoxParamA(Instance, MAKEINTRESOURCEA(templateId), MainWindow, procedure, parameter);
  if (filter) UnhookWindowsHookEx(filter);
}

}  // namespace

void ShowCongratulation() {
  OpenWinDialog(IDD_CONGRATULATION, CongratulationDialog, 0);
}

void AskName(char* buffer) {
  OpenWinDialog(IDD_NAME, NameDialog, reinterpret_cast<LPARAM>(buffer));
}
