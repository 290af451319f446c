// probe.h: what the driver asks of its probe inside torvane.exe: the menus, which Wine does not
// let another process read, a watch on the main window that tells when a marker posted to it
// has been handled, and a walk of the grid's cells as a screen reader reads them in-process.
// Also a change of the display's scale as Windows tells it, and a compatibility mode's version.
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

// A monitor of another scale, as Windows tells the window of it: ProbeDpiChange (a thread
// procedure, given this record in the program's memory) sends WM_DPICHANGED with the new DPI and
// a pointer to the suggested rectangle, which only the program's own process can read.
struct DpiChange {
  HWND window;
  WPARAM dpi;  // x and y alike
  RECT suggested;
};
extern "C" DWORD WINAPI ProbeDpiChange(void* change);

// The exports' names: a 32-bit __stdcall procedure carries the size of its arguments.
constexpr const char* kProbeMenuExport = sizeof(void*) == 4 ? "ProbeMenu@4" : "ProbeMenu";
constexpr const char* kProbeWatchExport = sizeof(void*) == 4 ? "ProbeWatch@4" : "ProbeWatch";
constexpr const char* kProbeDpiChangeExport =
    sizeof(void*) == 4 ? "ProbeDpiChange@4" : "ProbeDpiChange";
constexpr char kFlushSeenExport[] = "FlushSeen";

// A compatibility mode's version lie: GetVersion answers Windows XP SP3 (5.1, build 2600) in the
// program, as the mode's shims make it answer there. A thread procedure; non-zero once in place.
extern "C" DWORD WINAPI ProbeVersionLie(void*);
constexpr const char* kProbeVersionLieExport =
    sizeof(void*) == 4 ? "ProbeVersionLie@4" : "ProbeVersionLie";

// The walk: every cell's name and value asked of the grid's accessible object inside the
// program, on its own thread, as a screen reader's helper loaded there asks them; timed beside
// one full redraw of the same grid by the program (its handling of WM_MOVE). Posted to the main
// window as this registered message once the watch is on; the answer waits in the probe's
// exported WalkReport.
constexpr char kWalkMessage[] = "Torvane end-to-end walk";
constexpr char kWalkReportExport[] = "Walk";
constexpr int kWalkCells = 30 * 30;
constexpr int kWalkTextSize = 32;
constexpr int kNullOutCalls = 13;  // calls given a null out-pointer, in probe.cpp
struct WalkReport {
  int32_t cells;     // cells walked; 0 when the object could not be had
  int32_t failures;  // name and value calls that did not answer S_OK
  double walkMs;     // every cell's name and value, each text copied here and freed
  double redrawMs;   // one full redraw of the grid
  int32_t nullOut[kNullOutCalls];
  char names[kWalkCells][kWalkTextSize];  // in the program's ANSI code page, cell by child id
  char values[kWalkCells][kWalkTextSize];
};

// A child of an accessible object by its id (0: the object itself), as screen readers ask.
inline VARIANT Child(LONG id) {
  VARIANT child = {};
  child.vt = VT_I4;
  child.lVal = id;
  return child;
}
