// probe.h: what the driver asks of its probe inside torvane.exe: the menus, which Wine does not
// let another process read, and a watch on the main window that tells when a marker posted to it
// has been handled.
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

// The flush marker: this registered message, posted to the main window with a number that grows
// with each flush. ProbeWatch (a thread procedure, given the window) puts the probe's window
// procedure in front of the program's own, which keeps the number of the last marker it handled
// in FlushSeen and hands every other message on unchanged.
constexpr char kFlushMessage[] = "Torvane end-to-end flush";
extern "C" DWORD WINAPI ProbeWatch(void* window);

// The exports' names: a 32-bit __stdcall procedure carries the size of its arguments.
constexpr const char* kProbeMenuExport = sizeof(void*) == 4 ? "ProbeMenu@4" : "ProbeMenu";
constexpr const char* kProbeWatchExport = sizeof(void*) == 4 ? "ProbeWatch@4" : "ProbeWatch";
constexpr char kFlushSeenExport[] = "FlushSeen";
