// probe.cpp: a helper the driver loads into torvane.exe to read its menus from inside, since
// Wine, unlike Windows, does not let another process read them.
#include "tests/e2e/probe.h"

// Exported only from the probe library; the driver links the same code for direct reading.
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
