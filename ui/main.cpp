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
#include "ui/on_demand.h"

namespace {

constexpr char kMainClass[] = "TORVANE";  // the class name, and the first title

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
  // The tiles at the screen's DPI: the window's, where it has one of its own, comes below.
  Scale.dpi = WindowDpi(NULL);
  LoadTileBitmaps(Settings.size);
  // The first game is dealt before the window is made, hidden, at the size and place that the
  // layout gives it: the layout then moves nothing, where a hidden window sized and moved again
  // would cost Wine a reshaping of its X window each time.
  DealBoard();
  EncodeNeighbours();
  const SIZE size = MainWindowSize();
  const POINT place = CentredPlace(size.cx, size.cy, NULL);
  MainWindow = CreateWindowExA(0, kMainClass, kMainClass, kMainWindowStyle, place.x, place.y,
                               size.cx, size.cy, NULL, NULL, Instance, NULL);
  if (!MainWindow) return -1;
  // A screen scaled unlike the system (Windows 10): the tiles at the window's own DPI.
  if (WindowDpi(MainWindow) != Scale.dpi) {
    Scale.dpi = WindowDpi(MainWindow);
    LoadTileBitmaps(Game.size);
  }
  Accelerators = LoadAcceleratorsA(Instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
  SetCursor(LoadCursorA(NULL, IDC_ARROW));  // once: the class has no cursor
  MainMenu = GetMenu(MainWindow);
  LocaliseMenu(MainMenu);
  EnableUndo(false);  // nothing to undo yet, whatever state the menu loader left
  LayoutWindow(MainWindow);
  RedrawBoard(MainWindow);
  AnnounceChanges(MainWindow);  // the grid as screen readers first find it
  // Heard as the window appears: with the sound on, its first effect loads the sound DLL and asks
  // for a wave device, tens of milliseconds (a hundred under Wine) the window need not wait for.
  PlayEffect(EFFECT_START_UP);
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int) {
  Instance = instance;
  // The status bar and the grid-side spinner are common controls.
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);
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
  EndComOnDemand();
  return static_cast<int>(message.wParam);
}
