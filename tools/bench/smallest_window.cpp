// smallest_window.cpp: the smallest program showing a drawn window, start-up's yardstick.
// Built a second time with the menu bar, the status bar and the DLLs that torvane.exe needs
// too, to tell their share of its start-up.
#include <windows.h>

#include <cstdlib>

#ifdef TORVANE_BENCH_SHELL
#include <commctrl.h>

// What torvane.exe's window carries beyond the smallest one.
static void AddMenuAndStatusBar(HWND window) {
  HMENU bar = CreateMenu();
  const char* titles[3] = {"&Game", "&Options", "&Help"};
  for (const char* title : titles) {
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING, 100, "Item");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), title);
  }
  SetMenu(window, bar);
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);
  HWND status = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | WS_BORDER, "", window, 11100);
  int edges[3] = {40, 100, -1};
  SendMessageA(status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
}
#endif

static LRESULT CALLBACK SmallestWindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  if (message == WM_CLOSE) {
    DestroyWindow(window);
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  // The outer width and height come on the command line, so that the window matches
  // torvane.exe's.
  char* rest = nullptr;
  int width = static_cast<int>(strtol(commandLine, &rest, 10));
  int height = static_cast<int>(strtol(rest, nullptr, 10));
  if (width <= 0 || height <= 0) width = height = 200;

  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = SmallestWindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = "TORVANE_BENCH_SMALLEST";
  if (!RegisterClassA(&windowClass)) return 1;
  int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  HWND window = CreateWindowExA(0, windowClass.lpszClassName, "Smallest",
                                WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, x, y, width,
                                height, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
#ifdef TORVANE_BENCH_SHELL
  AddMenuAndStatusBar(window);
#endif
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);

  // Drawn like torvane.exe draws: straight into the client area once it is shown.
  HDC dc = GetDC(window);
  RECT client;
  GetClientRect(window, &client);
  PatBlt(dc, 0, 0, client.right, client.bottom, WHITENESS);
  ReleaseDC(window, dc);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}
