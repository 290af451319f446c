// probe.cpp: a helper the driver loads into torvane.exe: it reads the menus from inside, since
// Wine, unlike Windows, does not let another process read them, and it watches the main window
// for the driver's flush markers.
#include "tests/e2e/probe.h"

// Exported only from the probe library; the driver links the menu code for direct reading.
#ifdef TORVANE_E2E_PROBE_LIBRARY
#define PROBE_EXPORT __declspec(dllexport)
#else
#define PROBE_EXPORT
#endif

extern "C" PROBE_EXPORT DWORD WINAPI ProbeMenu(void* request) {
  MenuProbe* probe = static_cast<MenuProbe*>(request);
  probe->found = 0;
  probe->text[0] = 0;
  HMENU bar = GetMenu(probe->window);
  if (bar == nullptr) return 0;
  if (probe->byPosition) {
    UINT state = GetMenuState(bar, static_cast<UINT>(probe->item), MF_BYPOSITION);
    if (state == static_cast<UINT>(-1)) return 0;
    GetMenuStringA(bar, static_cast<UINT>(probe->item), probe->text, sizeof probe->text,
                   MF_BYPOSITION);
    probe->state = state;
    probe->found = 1;
    return 1;
  }
  int count = GetMenuItemCount(bar);
  for (int i = 0; i < count; ++i) {
    HMENU popup = GetSubMenu(bar, i);
    if (popup == nullptr) continue;
    UINT state = GetMenuState(popup, static_cast<UINT>(probe->item), MF_BYCOMMAND);
    if (state == static_cast<UINT>(-1)) continue;
    GetMenuStringA(popup, static_cast<UINT>(probe->item), probe->text, sizeof probe->text,
                   MF_BYCOMMAND);
    probe->state = state;
    probe->found = 1;
    return 1;
  }
  return 0;
}

#ifdef TORVANE_E2E_PROBE_LIBRARY

// The number of the last flush marker the main window handled; read by the driver.
extern "C" {
PROBE_EXPORT volatile WPARAM FlushSeen = 0;
}

namespace {

WNDPROC ProgramProcedure;
UINT FlushMessage;

LRESULT CALLBACK WatchProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == FlushMessage) {
    FlushSeen = wParam;
    return 0;
  }
  return CallWindowProcA(ProgramProcedure, window, message, wParam, lParam);
}

}  // namespace

extern "C" PROBE_EXPORT DWORD WINAPI ProbeWatch(void* parameter) {
  HWND window = static_cast<HWND>(parameter);
  if (ProgramProcedure != nullptr) return 1;  // watching already
  FlushMessage = RegisterWindowMessageA(kFlushMessage);
  // The program's procedure is known before the watch can be called on the program's thread.
  ProgramProcedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
  if (FlushMessage == 0 || ProgramProcedure == nullptr) return 0;
  return SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchProcedure)) != 0;
}

#endif
