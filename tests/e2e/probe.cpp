// probe.cpp: a helper the driver loads into torvane.exe: it reads the menus from inside, since
// Wine, unlike Windows, does not let another process read them, it watches the main window for
// the driver's flush markers, and it walks the grid's cells as an in-process screen reader.
// It also tells the window of a new display scale, and makes GetVersion answer as XP's mode does.
#include "tests/e2e/probe.h"

#include <cstring>

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

#include <oleacc.h>

extern "C" PROBE_EXPORT DWORD WINAPI ProbeDpiChange(void* parameter) {
  DpiChange* change = static_cast<DpiChange*>(parameter);
  const LPARAM suggested = reinterpret_cast<LPARAM>(&change->suggested);
  return SendMessageA(change->window, WM_DPICHANGED, MAKEWPARAM(change->dpi, change->dpi),
                      suggested) == 0;
}

// The number of the last flush marker the main window handled; read by the driver.
extern "C" {
PROBE_EXPORT volatile WPARAM FlushSeen = 0;
PROBE_EXPORT WalkReport Walk;
}

namespace {

WNDPROC ProgramProcedure;
UINT FlushMessage;
UINT WalkMessage;

double Milliseconds() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// An answer kept as the program's ANSI text, then freed as a screen reader frees it.
void Keep(BSTR text, char (&kept)[kWalkTextSize]) {
  kept[0] = '\0';
  if (text != nullptr)
    WideCharToMultiByte(CP_ACP, 0, text, -1, kept, kWalkTextSize, nullptr, nullptr);
  SysFreeString(text);
}

// What calls given a null out-pointer answer: each must be E_POINTER.
void AskWithNullPointers(IAccessible* grid) {
  const VARIANT cell = Child(1);
  LONG number = 0;
  const HRESULT answers[kNullOutCalls] = {
      grid->get_accName(cell, nullptr),
      grid->get_accValue(cell, nullptr),
      grid->get_accRole(cell, nullptr),
      grid->get_accState(cell, nullptr),
      grid->get_accDefaultAction(cell, nullptr),
      grid->get_accChild(cell, nullptr),
      grid->get_accChildCount(nullptr),
      grid->get_accFocus(nullptr),
      grid->get_accParent(nullptr),
      grid->accLocation(&number, &number, nullptr, &number, cell),
      grid->accNavigate(NAVDIR_RIGHT, cell, nullptr),
      grid->accHitTest(0, 0, nullptr),
      grid->QueryInterface(__uuidof(IAccessible), nullptr),
  };
  for (int i = 0; i < kNullOutCalls; ++i) Walk.nullOut[i] = answers[i];
}

// On the program's thread, between its messages, as its own code would run.
void WalkCells(HWND window) {
  Walk.cells = Walk.failures = 0;
  IAccessible* grid = nullptr;
  if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                        __uuidof(IAccessible), reinterpret_cast<void**>(&grid))))
    return;
  LONG count = 0;
  grid->get_accChildCount(&count);
  if (count > kWalkCells) count = kWalkCells;
  const double start = Milliseconds();
  for (LONG id = 1; id <= count; ++id) {
    BSTR name = nullptr, value = nullptr;
    Walk.failures += grid->get_accName(Child(id), &name) != S_OK;
    Walk.failures += grid->get_accValue(Child(id), &value) != S_OK;
    Keep(name, Walk.names[id - 1]);
    Keep(value, Walk.values[id - 1]);
  }
  Walk.walkMs = Milliseconds() - start;
  const double redrawStart = Milliseconds();
  CallWindowProcA(ProgramProcedure, window, WM_MOVE, 0, 0);
  Walk.redrawMs = Milliseconds() - redrawStart;
  AskWithNullPointers(grid);
  grid->Release();
  Walk.cells = static_cast<int32_t>(count);
}

LRESULT CALLBACK WatchProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == FlushMessage) {
    FlushSeen = wParam;
    return 0;
  }
  if (message == WalkMessage) {
    WalkCells(window);
    return 0;
  }
  return CallWindowProcA(ProgramProcedure, window, message, wParam, lParam);
}

}  // namespace

extern "C" PROBE_EXPORT DWORD WINAPI ProbeVersionLie(void*) {
  // mov eax, 0x0A280105 (build 2600, then minor 1, major 5); ret
  static const BYTE kAnswer[] = {0xB8, 0x05, 0x01, 0x28, 0x0A, 0xC3};
  BYTE* code = reinterpret_cast<BYTE*>(
      reinterpret_cast<uintptr_t>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetVersion")));
  DWORD protection = 0;
  if (code == nullptr || !VirtualProtect(code, sizeof kAnswer, PAGE_EXECUTE_READWRITE, &protection))
    return 0;
  memcpy(code, kAnswer, sizeof kAnswer);
  VirtualProtect(code, sizeof kAnswer, protection, &protection);
  return FlushInstructionCache(GetCurrentProcess(), code, sizeof kAnswer) ? 1 : 0;
}

extern "C" PROBE_EXPORT DWORD WINAPI ProbeWatch(void* parameter) {
  HWND window = static_cast<HWND>(parameter);
  if (ProgramProcedure != nullptr) return 1;  // watching already
  FlushMessage = RegisterWindowMessageA(kFlushMessage);
  WalkMessage = RegisterWindowMessageA(kWalkMessage);
  // The program's procedure is known before the watch can be called on the program's thread.
  ProgramProcedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
  if (FlushMessage == 0 || ProgramProcedure == nullptr) return 0;
  return SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchProcedure)) != 0;
}

#endif
