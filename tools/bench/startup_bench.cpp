// startup_bench.cpp: times torvane.exe's start-up beside the smallest window programs.
// From CreateProcess to the window shown and drawn, beside the smallest window program of the
// same size and that program with a menu and a status bar, each run from a fresh folder; then
// where torvane.exe's own start-up goes, step by step, from more starts under this bench as
// its debugger.
#include <windows.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/bench/milliseconds.h"

namespace {

constexpr int kMaxRuns = 64;
constexpr DWORD kPatienceMs = 20000;

struct Launch {
  double shownMs;  // the window became visible
  double drawnMs;  // the program answered from its message loop, start-up done
  int width;
  int height;
  DWORD exitCode;
};

struct WindowSearch {
  DWORD process;
  HWND found;
};

BOOL CALLBACK MatchVisibleWindow(HWND window, LPARAM lParam) {
  WindowSearch* search = reinterpret_cast<WindowSearch*>(lParam);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == search->process && IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND VisibleWindowOf(DWORD process) {
  WindowSearch search = {process, nullptr};
  EnumWindows(MatchVisibleWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

const char* BaseName(const char* path) {
  const char* base = path;
  for (const char* p = path; *p != '\0'; ++p)
    if (*p == '\\' || *p == '/') base = p + 1;
  return base;
}

// Removes the folder of one run and whatever the program left in it (its settings file).
void RemoveFolder(const char* folder) {
  char pattern[MAX_PATH];
  snprintf(pattern, sizeof pattern, "%s\\*", folder);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern, &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      char path[MAX_PATH];
      snprintf(path, sizeof path, "%s\\%s", folder, found.cFileName);
      DeleteFileA(path);
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder);
}

struct Timeline;
bool FollowStartUp(const PROCESS_INFORMATION& process, double start, Timeline* timeline);

// One start of `program` copied into a fresh folder: the copy and the clean-up are not timed.
// With a timeline, the start is made under this bench as debugger, which fills it in; with
// settings, they lie beside the program as torvane.ini.
bool LaunchOnce(const char* program, const char* arguments, int run, Launch* launch,
                Timeline* timeline = nullptr, const char* settings = nullptr) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  char folder[MAX_PATH];
  snprintf(folder, sizeof folder, "%storvane-bench-%lu-%d", temp, GetCurrentProcessId(), run);
  CreateDirectoryA(folder, nullptr);
  char copy[MAX_PATH];
  snprintf(copy, sizeof copy, "%s\\%s", folder, BaseName(program));
  if (!CopyFileA(program, copy, FALSE)) {
    fprintf(stderr, "startup: cannot copy %s (error %lu)\n", program, GetLastError());
    RemoveFolder(folder);
    return false;
  }
  if (settings != nullptr) {
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\torvane.ini", folder);
    FILE* file = fopen(path, "wb");
    if (file != nullptr) {
      fputs(settings, file);
      fclose(file);
    }
  }
  char commandLine[2 * MAX_PATH];
  snprintf(commandLine, sizeof commandLine, "\"%s\" %s", copy, arguments);

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  double start = 0;
  // A start now and then fails under a busy Wine before the program runs any of its code
  // (error 1359); one more try tells that apart from a program that cannot start.
  bool created = false;
  for (int attempt = 0; attempt < 2 && !created; ++attempt) {
    start = Milliseconds();
    created = CreateProcessA(copy, commandLine, nullptr, nullptr, FALSE,
                             timeline != nullptr ? DEBUG_ONLY_THIS_PROCESS : 0, nullptr, folder,
                             &startup, &process) != 0;
    if (!created)
      fprintf(stderr, "startup: cannot start %s (error %lu)%s\n", copy, GetLastError(),
              attempt == 0 ? ", trying once more" : "");
  }
  if (!created) {
    RemoveFolder(folder);
    return false;
  }
  if (timeline != nullptr && !FollowStartUp(process, start, timeline)) {
    fprintf(stderr, "startup: %s did not reach the end of its start-up\n", copy);
    TerminateProcess(process.hProcess, 99);
  }

  HWND window = nullptr;
  bool ended = false;
  while (window == nullptr && !ended && Milliseconds() - start < kPatienceMs) {
    window = VisibleWindowOf(process.dwProcessId);
    // Also a 1 ms pause between looks, and the way to notice a program that gave up.
    if (window == nullptr) ended = WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0;
  }
  double shown = Milliseconds();
  DWORD_PTR answer = 0;
  bool answered = window != nullptr && SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL,
                                                           kPatienceMs, &answer) != 0;
  double drawn = Milliseconds();

  launch->shownMs = shown - start;
  launch->drawnMs = drawn - start;
  launch->width = launch->height = 0;
  if (window != nullptr) {
    RECT rect;
    GetWindowRect(window, &rect);
    launch->width = rect.right - rect.left;
    launch->height = rect.bottom - rect.top;
    PostMessageA(window, WM_CLOSE, 0, 0);
  }
  if (WaitForSingleObject(process.hProcess, kPatienceMs) != WAIT_OBJECT_0)
    TerminateProcess(process.hProcess, 99);
  GetExitCodeProcess(process.hProcess, &launch->exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  RemoveFolder(folder);
  if (!answered)
    fprintf(stderr, "startup: %s showed no window that answered (exit code %lu)\n", program,
            launch->exitCode);
  return answered;
}

// The steps of torvane.exe's start-up, each timed from the entry of its procedure to its return
// (WinMain: its entry only), by one-time breakpoints at addresses of the program's link map.
enum StepId {
  kWinMain,
  kLoadSettings,
  kPlayEffect,
  kLoadTileBitmaps,
  kDealBoard,
  kLocaliseMenu,
  kLayoutWindow,
  kRedrawBoard,
  kAnnounceChanges,
  kSteps
};
// How each step's name begins in the map (the i686 map adds "@16" to WinMain).
constexpr const char* kStepSymbols[kSteps] = {
    "WinMain",       "LoadSettings(", "PlayEffect(",  "LoadTileBitmaps(", "DealBoard(",
    "LocaliseMenu(", "LayoutWindow(", "RedrawBoard(", "AnnounceChanges("};

// One start's times, in ms from CreateProcess.
struct Timeline {
  double entered[kSteps];
  double returned[kSteps];
  double lastDll;  // the last DLL mapped before WinMain
  int dlls;        // DLLs mapped before WinMain
};

uintptr_t StepAddresses[kSteps];  // where the program prefers them, from its link map
uintptr_t PreferredBase;

// Reads the link map: true when every step's procedure and the image's base were found.
bool ReadMap(const char* path) {
  FILE* file = fopen(path, "rb");
  if (file == nullptr) return false;
  char line[512];
  while (fgets(line, sizeof line, file) != nullptr) {
    uintptr_t value = 0;
    char name[128];
    if (line[0] != ' ' || sscanf(line, " 0x%" SCNxPTR " %127s", &value, name) != 2) continue;
    if (strcmp(name, "__image_base__") == 0) PreferredBase = value;
    for (int step = 0; step < kSteps; ++step) {
      const size_t length = strlen(kStepSymbols[step]);
      const char next = name[length];
      if (strncmp(name, kStepSymbols[step], length) == 0 &&
          (step != kWinMain || next == '\0' || next == '@'))
        StepAddresses[step] = value;
    }
  }
  fclose(file);
  bool found = PreferredBase != 0;
  for (uintptr_t address : StepAddresses) found = found && address != 0;
  return found;
}

// A one-time breakpoint: the byte it replaced, put back when it is hit.
struct Breakpoint {
  uintptr_t address;
  int step;
  bool isReturn;
  BYTE saved;
  bool armed;
};

bool Arm(HANDLE process, Breakpoint* point) {
  static const BYTE kInt3 = 0xCC;
  void* at = reinterpret_cast<void*>(point->address);
  point->armed = ReadProcessMemory(process, at, &point->saved, 1, nullptr) &&
                 WriteProcessMemory(process, at, &kInt3, 1, nullptr);
  FlushInstructionCache(process, at, 1);
  return point->armed;
}

void Disarm(HANDLE process, Breakpoint* point) {
  void* at = reinterpret_cast<void*>(point->address);
  WriteProcessMemory(process, at, &point->saved, 1, nullptr);
  FlushInstructionCache(process, at, 1);
  point->armed = false;
}

// Handles a breakpoint of ours at the thread's stop: puts the byte back, steps the thread back
// onto it, and arms the breakpoint at the procedure's return. False when it is not ours.
bool HitBreakpoint(const DEBUG_EVENT& event, HANDLE process, Breakpoint* points, int* count,
                   double now, Timeline* timeline) {
  const uintptr_t at =
      reinterpret_cast<uintptr_t>(event.u.Exception.ExceptionRecord.ExceptionAddress);
  Breakpoint* point = nullptr;
  for (int i = 0; i < *count && point == nullptr; ++i)
    if (points[i].armed && (points[i].address == at || points[i].address + 1 == at))
      point = &points[i];
  if (point == nullptr) return false;
  Disarm(process, point);
  HANDLE thread = OpenThread(THREAD_GET_CONTEXT | THREAD_SET_CONTEXT, FALSE, event.dwThreadId);
  CONTEXT context = {};
  context.ContextFlags = CONTEXT_CONTROL;
  if (thread != nullptr && GetThreadContext(thread, &context)) {
#ifdef _WIN64
    context.Rip = point->address;
    const uintptr_t stack = context.Rsp;
#else
    context.Eip = static_cast<DWORD>(point->address);
    const uintptr_t stack = context.Esp;
#endif
    SetThreadContext(thread, &context);
    uintptr_t back = 0;
    // At a procedure's entry the return address is on top of the stack.
    if (!point->isReturn && point->step != kWinMain &&
        ReadProcessMemory(process, reinterpret_cast<void*>(stack), &back, sizeof back, nullptr)) {
      points[*count] = {back, point->step, true, 0, false};
      if (Arm(process, &points[*count])) ++*count;
    }
  }
  if (thread != nullptr) CloseHandle(thread);
  (point->isReturn ? timeline->returned : timeline->entered)[point->step] = now;
  return true;
}

// Every step but WinMain has returned: the start-up is over.
bool FollowedAll(const Timeline& timeline) {
  for (int step = kWinMain + 1; step < kSteps; ++step)
    if (timeline.returned[step] == 0) return false;
  return true;
}

// Follows a start made under this bench as debugger until its start-up is over, then lets it
// run on its own.
bool FollowStartUp(const PROCESS_INFORMATION& process, double start, Timeline* timeline) {
  memset(timeline, 0, sizeof *timeline);
  Breakpoint points[2 * kSteps];
  int count = 0;
  bool done = false;
  while (!done && Milliseconds() - start < kPatienceMs) {
    DEBUG_EVENT event;
    if (!WaitForDebugEvent(&event, 1000)) continue;
    const double now = Milliseconds() - start;
    DWORD answer = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case CREATE_PROCESS_DEBUG_EVENT: {
        if (event.u.CreateProcessInfo.hFile != nullptr)
          CloseHandle(event.u.CreateProcessInfo.hFile);
        const uintptr_t base = reinterpret_cast<uintptr_t>(event.u.CreateProcessInfo.lpBaseOfImage);
        for (int step = 0; step < kSteps; ++step) {
          points[count] = {StepAddresses[step] - PreferredBase + base, step, false, 0, false};
          if (Arm(process.hProcess, &points[count])) ++count;
        }
        break;
      }
      case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile != nullptr) CloseHandle(event.u.LoadDll.hFile);
        if (timeline->entered[kWinMain] == 0) {
          timeline->lastDll = now;
          ++timeline->dlls;
        }
        break;
      case EXCEPTION_DEBUG_EVENT:
        if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
          answer = DBG_EXCEPTION_NOT_HANDLED;
        } else if (HitBreakpoint(event, process.hProcess, points, &count, now, timeline)) {
          done = FollowedAll(*timeline);
        }  // else the system's own breakpoint as the process starts
        break;
      case EXIT_PROCESS_DEBUG_EVENT: done = true; break;
      default: break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, answer);
  }
  for (int i = 0; i < count; ++i)
    if (points[i].armed) Disarm(process.hProcess, &points[i]);
  DebugSetProcessKillOnExit(FALSE);
  DebugActiveProcessStop(process.dwProcessId);
  return FollowedAll(*timeline);
}

int CompareDoubles(const void* a, const void* b) {
  double x = *static_cast<const double*>(a);
  double y = *static_cast<const double*>(b);
  return x < y ? -1 : x > y ? 1 : 0;
}

double Median(double* values, int count) {
  qsort(values, static_cast<size_t>(count), sizeof *values, CompareDoubles);
  return count % 2 ? values[count / 2] : (values[count / 2 - 1] + values[count / 2]) / 2;
}

// One program under test and the starts measured of it.
struct Program {
  const char* name;
  const char* path;
  bool sized;  // takes the outer size of torvane.exe's window on its command line
  double shown[kMaxRuns];
  double drawn[kMaxRuns];
  int count;
  int width;
  int height;
  double shownMedian;
  double drawnMedian;
};

bool StartAndKeep(Program* program, const char* size, int run) {
  Launch launch;
  if (!LaunchOnce(program->path, program->sized ? size : "", run, &launch)) return false;
  if (launch.exitCode != 0)
    fprintf(stderr, "startup: %s ended with exit code %lu\n", program->name, launch.exitCode);
  program->shown[program->count] = launch.shownMs;
  program->drawn[program->count] = launch.drawnMs;
  ++program->count;
  program->width = launch.width;
  program->height = launch.height;
  return true;
}

void PrintProgram(Program* program) {
  program->shownMedian = Median(program->shown, program->count);
  program->drawnMedian = Median(program->drawn, program->count);
  printf("%-30s %9.1f ms %9.1f ms %9.1f ms %9.1f ms   %d x %d\n", program->name,
         program->shownMedian, program->drawnMedian, program->drawn[0],
         program->drawn[program->count - 1], program->width, program->height);
}

}  // namespace

// The break-down's rows: what lies between two moments of a start, each the entry or the return
// of a step's procedure, the start itself or the program answering from its message loop.
enum Moment { kStarted = -1, kAnswering = 2 * kSteps };
constexpr int Entered(StepId step) {
  return 2 * step;
}
constexpr int Returned(StepId step) {
  return 2 * step + 1;
}
struct Row {
  const char* what;
  int from;
  int to;
};
constexpr Row kRows[] = {
    {"process start to WinMain (DLLs, C run-time)", kStarted, Entered(kWinMain)},
    {"WinMain: common controls, window class, paths", Entered(kWinMain), Entered(kLoadSettings)},
    {"settings read (LoadSettings)", Entered(kLoadSettings), Returned(kLoadSettings)},
    {"tiles (LoadTileBitmaps)", Entered(kLoadTileBitmaps), Returned(kLoadTileBitmaps)},
    {"first game dealt (DealBoard)", Entered(kDealBoard), Returned(kDealBoard)},
    {"window made, hidden; accelerators, cursor", Returned(kDealBoard), Entered(kLocaliseMenu)},
    {"title and menus in the language (LocaliseMenu)", Entered(kLocaliseMenu),
     Returned(kLocaliseMenu)},
    {"layout: status bar, window shown (LayoutWindow)", Entered(kLayoutWindow),
     Returned(kLayoutWindow)},
    {"  in it, the first paint (RedrawBoard)", Entered(kRedrawBoard), Returned(kRedrawBoard)},
    {"grid drawn after the layout (RedrawBoard)", Returned(kLayoutWindow),
     Entered(kAnnounceChanges)},
    {"screen readers told (AnnounceChanges)", Entered(kAnnounceChanges),
     Returned(kAnnounceChanges)},
    {"start-up sound, the window drawn (PlayEffect)", Entered(kPlayEffect), Returned(kPlayEffect)},
    {"message loop reached and answering", Returned(kPlayEffect), kAnswering},
    {"in all, CreateProcess to drawn", kStarted, kAnswering},
};
constexpr int kRowCount = sizeof kRows / sizeof kRows[0];

// The settings of the defaults but with the sound on.
constexpr char kSoundOn[] = "ratio=6\r\ngrid=10\r\nsize=18\r\nlang=1000\r\nsound=1\r\n";

// Where torvane.exe's own start-up goes: `runs` more starts under this bench as debugger with the
// defaults (no settings file, sound off) and as many with the sound on, alternated; each row's
// median. A debugger's stops (one per DLL and per breakpoint) lengthen every start.
bool PrintBreakDown(const char* program, int runs) {
  static double rows[2][kRowCount][kMaxRuns], dlls[kMaxRuns], lastDll[kMaxRuns];
  for (int run = 0; run < runs; ++run) {
    for (int sound = 0; sound < 2; ++sound) {
      Timeline t;
      Launch launch;
      if (!LaunchOnce(program, "", 1000 + 2 * run + sound, &launch, &t, sound ? kSoundOn : nullptr))
        return false;
      double at[2 * kSteps + 1];
      for (int step = 0; step < kSteps; ++step) {
        at[Entered(static_cast<StepId>(step))] = t.entered[step];
        at[Returned(static_cast<StepId>(step))] = t.returned[step];
      }
      at[kAnswering] = launch.drawnMs;
      for (int row = 0; row < kRowCount; ++row)
        rows[sound][row][run] =
            at[kRows[row].to] - (kRows[row].from == kStarted ? 0 : at[kRows[row].from]);
      if (sound) continue;
      dlls[run] = t.dlls;
      lastDll[run] = t.lastDll;
    }
  }
  printf("-- where torvane.exe's start-up goes: %d more starts of each kind under this bench as\n",
         runs);
  printf("   debugger, alternated; each step's median (the debugger's stops lengthen them all)\n");
  printf("%-52s %12s %12s\n", "step", "sound off", "sound on");
  for (int row = 0; row < kRowCount; ++row) {
    printf("%-52s %9.1f ms %9.1f ms\n", kRows[row].what, Median(rows[0][row], runs),
           Median(rows[1][row], runs));
    if (row == 0)
      printf("  of it, %.0f DLLs mapped, the last at %.1f ms\n", Median(dlls, runs),
             Median(lastDll, runs));
  }
  return true;
}

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr,
            "usage: %s torvane.exe smallest_window.exe shell_window.exe [runs [torvane.map]]\n",
            argv[0]);
    return 2;
  }
  int runs = argc > 4 ? atoi(argv[4]) : 21;
  if (runs < 1 || runs > kMaxRuns) runs = 21;

  static Program programs[] = {
      {"torvane.exe", argv[1], false, {}, {}, 0, 0, 0, 0, 0},
      {"smallest window program", argv[2], true, {}, {}, 0, 0, 0, 0, 0},
      {"smallest + menu, status bar", argv[3], true, {}, {}, 0, 0, 0, 0, 0},
  };
  Program& torvane = programs[0];
  Program& smallest = programs[1];
  Program& shell = programs[2];

  // One start of each first, not counted: it brings the files and Wine's DLLs into the cache,
  // and gives the size of torvane.exe's window for the others.
  Launch launch;
  if (!LaunchOnce(torvane.path, "", 0, &launch)) return 1;
  char size[32];
  snprintf(size, sizeof size, "%d %d", launch.width, launch.height);
  if (!LaunchOnce(smallest.path, size, 1, &launch) || !LaunchOnce(shell.path, size, 2, &launch))
    return 1;

  // Alternated, so that whatever else the machine does falls on all alike.
  int run = 3;
  for (int round = 0; round < runs; ++round)
    for (Program& program : programs)
      if (!StartAndKeep(&program, size, run++)) return 1;

  printf("== start-up: CreateProcess to the window shown and drawn, median of %d runs,\n", runs);
  printf("   each from a fresh folder; drawn = shown and answering from its message loop\n");
  printf("%-30s %12s %12s %12s %12s   %s\n", "program", "shown", "drawn", "fastest", "slowest",
         "window");
  for (Program& program : programs) PrintProgram(&program);
  double ratio = torvane.drawnMedian / smallest.drawnMedian;
  // The fastest runs are the least disturbed by the rest of the machine.
  double fastestRatio = torvane.drawn[0] / smallest.drawn[0];
  printf(
      "of torvane's %.1f ms over the smallest, the menu, status bar and their DLLs take %.1f ms\n",
      torvane.drawnMedian - smallest.drawnMedian, shell.drawnMedian - smallest.drawnMedian);
  printf("ratio torvane / smallest: %.2fx (fastest runs: %.2fx)   goal within 1.1x: %s\n", ratio,
         fastestRatio, ratio <= 1.1 ? "met" : "MISSED");
  if (argc > 5 && !ReadMap(argv[5])) {
    fprintf(stderr, "startup: %s lacks a step's procedure or the image's base\n", argv[5]);
    return 1;
  }
  return argc > 5 && !PrintBreakDown(torvane.path, runs) ? 1 : 0;
}
