// startup_bench.cpp: times torvane.exe's start-up beside the smallest window programs.
// From CreateProcess to the window shown and drawn, beside the smallest window program of the
// same size and that program with a menu and a status bar, each run from a fresh folder.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

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

// One start of `program` copied into a fresh folder: the copy and the clean-up are not timed.
bool LaunchOnce(const char* program, const char* arguments, int run, Launch* launch) {
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
    created = CreateProcessA(copy, commandLine, nullptr, nullptr, FALSE, 0, nullptr, folder,
                             &startup, &process) != 0;
    if (!created)
      fprintf(stderr, "startup: cannot start %s (error %lu)%s\n", copy, GetLastError(),
              attempt == 0 ? ", trying once more" : "");
  }
  if (!created) {
    RemoveFolder(folder);
    return false;
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

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: %s torvane.exe smallest_window.exe shell_window.exe [runs]\n", argv[0]);
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
  printf("ratio torvane / smallest: %.2fx (fastest runs: %.2fx)   goal within 1.2x: %s\n", ratio,
         fastestRatio, ratio <= 1.2 ? "met" : "MISSED");
  return 0;
}
