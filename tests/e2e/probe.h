// probe.h: the request that the driver hands to its menu probe inside torvane.exe.
#pragma once

#include <windows.h>

#include <cstdint>

// Filled by the driver in the program's memory; ProbeMenu (run there by a remote thread)
// answers in the same record.
struct MenuProbe {
  HWND window;
  int32_t byPosition;  // 1: item is a position in the menu bar; 0: a command id in a drop-down
  int32_t item;
  int32_t found;   // answer: 1 when the item exists
  uint32_t state;  // answer: GetMenuState of the item
  char text[256];  // answer: its text
};

// Exported by torvane_e2e_probe.dll as a thread procedure.
extern "C" DWORD WINAPI ProbeMenu(void* request);
