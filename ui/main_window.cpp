// main_window.cpp: the main window's procedure and commands, its layout and centring, and the
// localised title and menus.
#include "ui/program.h"

#include <commctrl.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

#include "game/game.h"
#include "game/statistics.h"
#include "res/resource_ids.h"
#include "res/text.h"
#include "support/support.h"
#include "ui/on_demand.h"

namespace {

void NewGame(HWND window) {
  LeaveGame();  // the game left for the new one is counted if it had begun
  DealBoard();
  EncodeNeighbours();
  // The dealt game brings its own tile size; the tiles follow it only now.
  if (Game.size != TileBitmapsSize) LoadTileBitmaps(Game.size);
  LayoutWindow(window);
  RedrawBoard(MainWindow);
}

void OpenDialog(HWND window, int templateId, DLGPROC procedure) {
  DialogBoxParamA(Instance, MAKEINTRESOURCEA(templateId), window, procedure, 0);
}

void SwitchLanguage() {
  LanguageOffset = LanguageOffset == ENGLISH_OFFSET ? 0 : ENGLISH_OFFSET;
  LocaliseMenu(MainMenu);
}

void CheckNoGuess(HMENU menu) {
  CheckMenuItem(menu, IDM_NO_GUESS,
                static_cast<UINT>(MF_BYCOMMAND | (Settings.noGuess ? MF_CHECKED : MF_UNCHECKED)));
}

void ToggleNoGuess() {
  SetNoGuess(!Settings.noGuess);
  CheckNoGuess(MainMenu);
}

void Quit() {
  PostMessageA(MainWindow, WM_DESTROY, 0, 0);
}

// Windows ships the WinHelp viewer up to XP; from Vista on (6.0) the help is a web page. The
// version is the system's own, as ntdll holds it: a compatibility mode ("Windows XP SP3" on a
// later Windows) rewrites what GetVersion reports, which would send F1 to a viewer that such a
// Windows lacks. Windows 2000 has no such call, and GetVersion tells the truth there.
bool HasWinHelp() {
  typedef void(WINAPI * NtVersionNumbers)(DWORD*, DWORD*, DWORD*);
  DWORD major = LOBYTE(LOWORD(GetVersion()));
  const FARPROC found = GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetNtVersionNumbers");
  // Through the generic function type, as a looked-up procedure is called.
  if (found != NULL)
    reinterpret_cast<NtVersionNumbers>(reinterpret_cast<void (*)()>(found))(&major, NULL, NULL);
  return major < 6;
}

// Opens a page through the shell, which waits for a browser reached by DDE before returning and
// shows no message of its own; 0, or the text that says why the page did not open.
int OpenThroughShell(HWND window, const char* page) {
  SHELLEXECUTEINFOA shell;
  memset(&shell, 0, sizeof shell);
  shell.cbSize = sizeof shell;
  shell.fMask = SEE_MASK_FLAG_DDEWAIT | SEE_MASK_FLAG_NO_UI;
  shell.hwnd = window;
  shell.lpFile = page;
  shell.nShow = SW_SHOWNORMAL;
  StartComOnDemand();  // the shell may hand the page to a handler of its own through COM
  if (OnDemandShellExecuteExA(&shell)) return 0;
  // The cause, as the last error or as the shell's own code in hInstApp.
  const DWORD error = GetLastError();
  const INT_PTR code = reinterpret_cast<INT_PTR>(shell.hInstApp);
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || code == SE_ERR_FNF ||
      code == SE_ERR_PNF)
    return IDS_HELP_PAGE_MISSING;
  if (error == ERROR_NO_ASSOCIATION || code == SE_ERR_NOASSOC || code == SE_ERR_ASSOCINCOMPLETE)
    return IDS_HELP_NO_BROWSER;
  return IDS_HELP_PAGE_FAILED;
}

// The page of the language in force beside the program, named as the help file is, its extension
// giving way to -fr.htm or -en.htm; when it does not open, the player is told why.
void OpenHelpPage(HWND window) {
  static char page[kPathCapacity];
  static char message[kPathCapacity + kTextBufferSize];
  const char* dot = strrchr(HelpPath, '.');
  const size_t stem = dot ? static_cast<size_t>(dot - HelpPath) : strlen(HelpPath);
  snprintf(page, sizeof page, "%.*s-%s.htm", static_cast<int>(stem), HelpPath,
           LanguageOffset == ENGLISH_OFFSET ? "en" : "fr");
  const int failure = OpenThroughShell(window, page);
  if (failure == 0) return;
  FormatText(message, sizeof message, failure, page);
  MessageBoxA(window, message, LoadText(IDS_CAPTION), MB_ICONWARNING | MB_OK);
}

// The viewer opens its file with OpenFile, which refuses a path of OFS_MAXPATHNAME (128) or more:
// a help file that deep is named by its short (8.3) form, where the volume has one.
const char* WinHelpFile() {
  static char shortPath[kPathCapacity];
  if (strlen(HelpPath) < OFS_MAXPATHNAME) return HelpPath;
  const DWORD length = GetShortPathNameA(HelpPath, shortPath, sizeof shortPath);
  return length > 0 && length < sizeof shortPath ? shortPath : HelpPath;
}

void ShowHelp(HWND window) {
  if (HasWinHelp()) {
    WinHelpA(window, WinHelpFile(), HELP_CONTENTS, 0);
  } else {
    OpenHelpPage(window);
  }
}

void RunCommand(HWND window, int command) {
  switch (command) {
    case IDM_NEW_GAME: NewGame(window); break;
    case IDM_SEE_SOLUTION: SeeSolution(); break;
    case IDM_UNDO: Undo(); break;
    case IDM_QUIT: Quit(); break;
    case IDM_STATISTICS: OpenDialog(window, IDD_STATISTICS, StatisticsDialog); break;
    case IDM_SETTINGS: OpenDialog(window, IDD_SETTINGS, SettingsDialog); break;
    case IDM_BEST_SCORES: OpenDialog(window, IDD_BEST_SCORES, BestScoresDialog); break;
    case IDM_LANGUAGE: SwitchLanguage(); break;
    case IDM_NO_GUESS: ToggleNoGuess(); break;
    case IDM_HINT: Hint(); break;
    case IDM_ABOUT: OpenDialog(window, IDD_ABOUT, AboutDialog); break;
    case IDM_HELP: ShowHelp(window); break;
    default: break;  // IDM_NOTHING (F3) among them: bound, served by nobody
  }
}

void Destroy(HWND window) {
  if (HasWinHelp()) WinHelpA(window, WinHelpFile(), HELP_QUIT, 0);
  MainWindow = NULL;
  PostQuitMessage(0);
}

// Only the text changes: the item keeps its state, and the Help title its place at the right.
// The menu loader takes a command item of empty text for a separator, grayed: such an item
// becomes the enabled text item it was meant to be (start-up grays Undo itself).
void SetMenuText(HMENU menu, UINT item, BOOL byPosition, int textId) {
  char text[kTextBufferSize];
  strcpy(text, LoadText(textId));
  MENUITEMINFOA info;
  memset(&info, 0, sizeof info);
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_ID;
  if (!GetMenuItemInfoA(menu, item, byPosition, &info)) return;
  info.fMask = MIIM_STRING;
  if ((info.fType & MFT_SEPARATOR) && info.wID != 0) {
    info.fMask |= MIIM_FTYPE | MIIM_STATE;
    info.fType &= ~static_cast<UINT>(MFT_SEPARATOR);
    info.fState = MFS_ENABLED;
  }
  info.dwTypeData = text;
  SetMenuItemInfoA(menu, item, byPosition, &info);
}

// The keys of keyboard play; false for any other key, which goes to the default handling. Keys
// come only to the active window, so a modal dialog keeps its own; one posted behind the dialog
// is refused, as the default action is. A held Space or Enter does not repeat: one press
// uncovers or flags once.
bool GridKeyDown(HWND window, WPARAM virtualKey, LPARAM flags) {
  if (!IsWindowEnabled(window)) return false;
  const bool repeated = (flags & (LPARAM{1} << 30)) != 0;  // the key was down already
  GridKey key;
  switch (virtualKey) {
    case VK_LEFT: key = GK_LEFT; break;
    case VK_RIGHT: key = GK_RIGHT; break;
    case VK_UP: key = GK_UP; break;
    case VK_DOWN: key = GK_DOWN; break;
    case VK_HOME: key = GK_HOME; break;
    case VK_END: key = GK_END; break;
    case VK_PRIOR: key = GK_PAGE_UP; break;
    case VK_NEXT: key = GK_PAGE_DOWN; break;
    case VK_SPACE: key = GK_SPACE; break;
    case VK_RETURN: key = GK_ENTER; break;
    case 'H':
      if (!repeated) Hint();  // each hint costs an undo: none repeats
      return true;
    default: return false;
  }
  if (!repeated || (key != GK_SPACE && key != GK_ENTER)) PressGridKey(key);
  return true;
}

// The least room the window keeps for the status bar: the room it kept before it followed the
// display's scale (28 pixels under the grid, less the frame's 6), so that at 96 DPI the window
// stays as it was where the bar is lower (Wine's is 20 pixels high there).
constexpr int kStatusBarFloor = 22;

// The status bar's height, or its least room while there is none yet (the first window is made
// before its bar: the layout then fits the window to the bar where it is higher).
int StatusBarRoom() {
  RECT bar = {0, 0, 0, 0};
  if (StatusBar) GetWindowRect(StatusBar, &bar);
  return bar.bottom - bar.top > kStatusBarFloor ? bar.bottom - bar.top : kStatusBarFloor;
}

// The status bar's parts at their edges for the window's DPI.
void DivideStatusBar() {
  int rightEdges[kStatusParts];  // the message takes a writable array
  for (int part = 0; part < kStatusParts; ++part) {
    const int edge = kStatusPartEdges[part];
    rightEdges[part] = edge < 0 ? edge : ScaleLength(edge, Scale.dpi);
  }
  SendMessageA(StatusBar, SB_SETPARTS, kStatusParts, reinterpret_cast<LPARAM>(rightEdges));
}

// Sizes the window, keeping its place, so that its client area holds exactly the grid of
// on-screen tiles with the status bar below it, then puts the bar at the new bottom.
void FitWindowToGrid(HWND window) {
  const int width = Game.columns * Scale.tile;
  const int height = Game.rows * Scale.tile + StatusBarRoom();
  const SIZE size = MainWindowSize();
  int outerWidth = size.cx;
  int outerHeight = size.cy;
  // The frame counts a menu bar of one line. One that wraps takes more: the window then grows by
  // what its client area lacks.
  for (int tries = 0; tries < 3; ++tries) {
    SetWindowPos(window, HWND_TOP, 0, 0, outerWidth, outerHeight, SWP_NOMOVE);
    RECT client;
    GetClientRect(window, &client);
    if (client.right == width && client.bottom == height) break;
    outerWidth += width - client.right;
    outerHeight += height - client.bottom;
  }
  if (StatusBar) SendMessageA(StatusBar, WM_SIZE, 0, 0);  // a status bar places itself
}

// A monitor of another scale: the tiles at its DPI, the window fitted to them at the place the
// system suggests. The game, its clock and the cursor stay as they are.
void ChangeDpi(HWND window, WPARAM dpi, const RECT* suggested) {
  Scale.dpi = LOWORD(dpi);
  LoadTileBitmaps(Game.size);
  DivideStatusBar();
  SetWindowPos(window, NULL, suggested->left, suggested->top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  FitWindowToGrid(window);
  RedrawBoard(window);
}

// Each drop-down menu: its position on the bar, its first command and that command's text.
struct MenuTexts {
  int position;
  int firstCommand;
  int lastCommand;
  int firstText;
};
constexpr MenuTexts kMenuTexts[] = {
    {0, IDM_NEW_GAME, IDM_QUIT, IDS_NEW_GAME},
    {0, IDM_STATISTICS, IDM_STATISTICS, IDS_STATISTICS},
    {0, IDM_HINT, IDM_HINT, IDS_HINT},
    {1, IDM_SETTINGS, IDM_LANGUAGE, IDS_SETTINGS},
    {1, IDM_NO_GUESS, IDM_NO_GUESS, IDS_NO_GUESS},
    {2, IDM_ABOUT, IDM_HELP, IDS_ABOUT},
};

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY: Destroy(window); return 0;
    case WM_MOVE: RedrawBoard(window); return 0;
    case WM_SETFOCUS:
      RedrawBoard(window);
      AnnounceFocus(window);
      return 0;
    case WM_PAINT: PaintBoard(window); return 0;
    case WM_CLOSE: Quit(); return 0;
    case WM_GETOBJECT: return AnswerGetObject(window, wParam, lParam);
    case WM_DPICHANGED: ChangeDpi(window, wParam, reinterpret_cast<RECT*>(lParam)); return 0;
    case WM_COMMAND: RunCommand(window, LOWORD(wParam)); break;
    case WM_TIMER: ClockTick(); break;
    case WM_LBUTTONDOWN: LeftPress(LOWORD(lParam), HIWORD(lParam)); break;
    case WM_RBUTTONDOWN: RightPress(LOWORD(lParam), HIWORD(lParam)); break;
    case WM_MBUTTONDOWN: MiddlePress(LOWORD(lParam), HIWORD(lParam)); break;
    case WM_KEYDOWN:
      if (GridKeyDown(window, wParam, lParam)) break;
      return DefWindowProcA(window, message, wParam, lParam);
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
  // What the input or the clock changed, told to screen readers.
  AnnounceChanges(MainWindow);
  return 0;
}

SIZE MainWindowSize() {
  RECT outer = {0, 0, Game.columns * Scale.tile, Game.rows * Scale.tile + StatusBarRoom()};
  FrameAround(Scale.dpi, &outer);
  const SIZE size = {outer.right - outer.left, outer.bottom - outer.top};
  return size;
}

void LayoutWindow(HWND window) {
  // The status bar first: its height decides the window's.
  if (StatusBar) DestroyWindow(StatusBar);
  StatusBar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | WS_BORDER, "", window, IDC_STATUS_BAR);
  DivideStatusBar();
  FitWindowToGrid(window);
  CentreWindow(window, NULL);
  // Hidden at start-up: LocaliseMenu has just fitted the frame to the bar, and showing the window
  // draws it; another frame change would only cost time.
  if (IsWindowVisible(window)) DrawMenuBar(window);
  ShowWindow(MainWindow, SW_SHOW);
  UpdateWindow(window);
}

void CentreWindow(HWND window, HWND over) {
  RECT rect;
  GetWindowRect(window, &rect);
  const POINT place = CentredPlace(rect.right - rect.left, rect.bottom - rect.top, over);
  SetWindowPos(window, NULL, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

POINT CentredPlace(int width, int height, HWND over) {
  HDC dc = GetDC(NULL);
  const int screenWidth = GetDeviceCaps(dc, HORZRES);
  const int screenHeight = GetDeviceCaps(dc, VERTRES);
  ReleaseDC(NULL, dc);

  int left = 0, top = 0, referenceWidth = screenWidth, referenceHeight = screenHeight;
  if (over) {
    RECT reference;
    GetWindowRect(over, &reference);
    left = reference.left;
    top = reference.top;
    referenceWidth = reference.right - reference.left;
    referenceHeight = reference.bottom - reference.top;
  }
  // Integer division truncates toward zero, as the placement wants.
  int x = left + (referenceWidth - width) / 2;
  int y = top + (referenceHeight - height) / 2;
  // Pulled back inside the screen, whatever the reference.
  if (x < 0) {
    x = 0;
  } else if (x + width > screenWidth) {
    x = screenWidth - width;
  }
  if (y < 0) {
    y = 0;
  } else if (y + height > screenHeight) {
    y = screenHeight - height;
  }
  const POINT place = {x, y};
  return place;
}

void LocaliseMenu(HMENU menu) {
  SetWindowTextA(MainWindow, LoadText(IDS_MAIN_TITLE));
  for (const MenuTexts& texts : kMenuTexts) {
    SetMenuText(menu, static_cast<UINT>(texts.position), TRUE, IDS_MENU_GAME + texts.position);
    HMENU dropDown = GetSubMenu(menu, texts.position);
    for (int command = texts.firstCommand; command <= texts.lastCommand; ++command) {
      SetMenuText(dropDown, static_cast<UINT>(command), FALSE,
                  texts.firstText + (command - texts.firstCommand));
    }
  }
  // Made a text item only now at start-up, it takes its check mark after its text.
  CheckNoGuess(menu);
  DrawMenuBar(MainWindow);
}

void* FatalErrorOwner() {
  return MainWindow;
}
