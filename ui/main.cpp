// main.cpp: the entry procedure: start-up, the message loop, and the settings written at exit.
#include "ui/program.h"

#include <commctrl.h>
#include <string.h>

#include "game/game.h"
#include "game/seam.h"
#include "game/statistics.h"
#include "res/resource_ids.h"
#include "store/settings_file.h"
#include "support/support.h"

namespace {

constexpr char kMainClass[] = "TORVANE";  // the class name, and the first title
constexpr int kFirstLeft = 150;
constexpr int kFirstTop = 150;
constexpr int kFirstSide = 200;

bool RegisterMainClass() {
  WNDCLASSA windowClass = {};
  windowClass.style = 0;  // no double clicks, no redraw on resizing
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = Instance;
  windowClass.hIcon = LoadIconA(Instance, MAKEINTRESOURCEA(IDI_TORVANE));
  windowClass.hCursor = NULL;        // the arrow is set once at start-up
  windowClass.hbrBackground = NULL;  // the grid covers the client area
  windowClass.lpszMenuName = MAKEINTRESOURCEA(IDR_MAIN_MENU);
  windowClass.lpszClassName = kMainClass;
  return RegisterClassA(&windowClass) != 0;
}

// The program's own path, fetched whole: the buffer holds any path the system can return,
// with room left for the new extension.
void FetchProgramPath(char* path, size_t capacity) {
  const DWORD room = static_cast<DWORD>(capacity - 8);
  const DWORD length = GetModuleFileNameA(Instance, path, room);
  if (length >= room) path[room - 1] = '\0';  // older systems leave a cut path unterminated
  if (length == 0) path[0] = '\0';
}

// 0 when the window stands, or -1 when the class or the window could not be made.
int StartUp(HINSTANCE previous) {
  if (!previous && !RegisterMainClass()) return -1;
  FetchProgramPath(SettingsPath, sizeof SettingsPath);
  ReplaceExtension(SettingsPath, sizeof SettingsPath, "INI");
  LoadSettings(SettingsPath);
  strcpy(HelpPath, SettingsPath);
  ReplaceExtension(HelpPath, sizeof HelpPath, "HLP");
  PlayEffect(EFFECT_START_UP);
  LoadTileBitmaps(Settings.size);
  // Made hidden at a first place and size; the layout fits it to the grid and centres it.
  MainWindow = CreateWindowExA(0, kMainClass, kMainClass,
                               WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, kFirstLeft,
                               kFirstTop, kFirstSide, kFirstSide, NULL, NULL, Instance, NULL);
  if (!MainWindow) return -1;
  Accelerators = LoadAcceleratorsA(Instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
  SetCursor(LoadCursorA(NULL, IDC_ARROW));  // once: the class has no cursor
  MainMenu = GetMenu(MainWindow);
  LocaliseMenu(MainMenu);
  EnableUndo(false);  // nothing to undo yet, whatever state the menu loader left
  DealBoard();
  EncodeNeighbours();
  LayoutWindow(MainWindow);
  RedrawBoard(MainWindow);
  AnnounceChanges(MainWindow);  // the grid as screen readers first find it
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int) {
  Instance = instance;
  // The status bar and the grid-side spinner are common controls.
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);
  // Screen readers reach the grid's accessible object through COM, served on this thread.
  CoInitialize(NULL);
  // Without a window there is nothing to wait for, and no settings worth writing over the file.
  if (StartUp(previous) != 0) return 1;

  // The loop ends once the quit message has been taken from the queue: left any earlier, the
  // waiting quit message would close the fatal message box of a failed save at once.
  HWND window = MainWindow;  // kept: closing the window clears the record
  MSG message = {};
  while (GetMessageA(&message, NULL, 0, 0) > 0) {
    if (!TranslateAcceleratorA(MainWindow, Accelerators, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  // Out of sight before the save, so that the ending game takes no press while the save's fatal
  // message is up. Not destroyed: that would post a second quit message, closing the message.
  ShowWindow(window, SW_HIDE);
  LeaveGame();  // quitting a game that had begun counts it
  SaveSettings(SettingsPath);
  CoUninitialize();
  return static_cast<int>(message.wParam);
}
