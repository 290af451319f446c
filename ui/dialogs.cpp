// dialogs.cpp: the five dialogs of the program (settings, best scores, congratulation, name,
// about) and the two seam calls through which the rules open dialogs.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "game/game.h"
#include "game/seam.h"
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
