// driver.cpp: starts torvane.exe in a private folder and drives and observes it from outside.
#include "tests/e2e/driver.h"

#include "tests/e2e/probe.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace e2e {
namespace {

#ifndef E2E_PROGRAM
#define E2E_PROGRAM ""
#endif
#ifndef E2E_MAP
#define E2E_MAP ""
#endif
#ifndef E2E_WORK
#define E2E_WORK ""
#endif

// A compiled-in path or its environment override, with Windows separators.
const char* ConfiguredPath(const char* variable, const char* built, char* storage,
                           size_t capacity) {
  if (storage[0] == 0) {
    const char* chosen = getenv(variable);
    if (chosen == nullptr || chosen[0] == 0) chosen = built;
    snprintf(storage, capacity, "%s", chosen);
    for (char* p = storage; *p; ++p)
      if (*p == '/') *p = '\\';
  }
  return storage;
}

// Wraps the program's main window, which many helpers need.
bool Usable(const Session& session) {
  return session.window != nullptr && IsWindow(session.window);
}

bool SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result,
                     DWORD timeoutMs = kTimeoutMs) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, timeoutMs,
                             result ? result : &ignored) != 0;
}

// Deletes every file in a folder (the tests' folders hold no subfolders).
void EmptyFolder(const char* folder) {
  char pattern[MAX_PATH];
  snprintf(pattern, sizeof pattern, "%s\\*", folder);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\%s", folder, found.cFileName);
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

// Creates every missing folder of a path.
bool MakeFolders(const char* path) {
  char partial[MAX_PATH];
  snprintf(partial, sizeof partial, "%s", path);
  for (char* p = partial + 3; *p; ++p) {
    if (*p != '\\') continue;
    *p = 0;
    CreateDirectoryA(partial, nullptr);
    *p = '\\';
  }
  CreateDirectoryA(partial, nullptr);
  DWORD attributes = GetFileAttributesA(partial);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The name of the running gtest, usable as a file name.
void CurrentTestName(char* buffer, size_t capacity) {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  if (info == nullptr) {
    snprintf(buffer, capacity, "outside-test");
    return;
  }
  snprintf(buffer, capacity, "%s.%s", info->test_suite_name(), info->name());
  for (char* p = buffer; *p; ++p)
    if (strchr("\\/:*?\"<>|", *p)) *p = '_';
}

struct WindowSearch {
  DWORD processId;
  const char* className;
  HWND owner;     // for dialogs: required owner, or null for any
  int controlId;  // for dialogs: a control the dialog must hold, or 0
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
  WindowSearch* search = reinterpret_cast<WindowSearch*>(context);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId != search->processId || !IsWindowVisible(window)) return TRUE;
  char className[64];
  if (GetClassNameA(window, className, sizeof className) == 0) return TRUE;
  if (strcmp(className, search->className) != 0) return TRUE;
  if (search->owner != nullptr && GetWindow(window, GW_OWNER) != search->owner) return TRUE;
  if (search->controlId != 0 && GetDlgItem(window, search->controlId) == nullptr) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindTopLevel(DWORD processId, const char* className, HWND owner, int controlId) {
  WindowSearch search = {processId, className, owner, controlId, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// --- The link map, read once.
std::vector<char>& MapText() {
  static std::vector<char> text;
  if (text.empty()) {
    FILE* file = fopen(MapPath(), "rb");
    if (file != nullptr) {
      char chunk[65536];
      size_t got;
      while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        text.insert(text.end(), chunk, chunk + got);
      fclose(file);
    }
    text.push_back(0);
  }
  return text;
}

// The address a symbol has in the map, or 0. The map writes C names without the leading
// underscore that i686 adds, so "_Board" and "Board" both find Board.
uintptr_t MapAddress(const char* symbol) {
  if (symbol[0] == '_') ++symbol;
  const char* text = MapText().data();
  size_t length = strlen(symbol);
  for (const char* line = text; *line;) {
    const char* end = strchr(line, '\n');
    if (end == nullptr) end = line + strlen(line);
    // Symbol lines: blanks, 0x<hex>, blanks, the name, nothing else.
    const char* p = line;
    while (p < end && *p == ' ') ++p;
    if (end - p > 2 && p[0] == '0' && p[1] == 'x' && p != line) {
      char* after = nullptr;
      unsigned long long address = strtoull(p + 2, &after, 16);
      const char* name = after;
      while (name < end && *name == ' ') ++name;
      const char* nameEnd = end;
      while (nameEnd > name && (nameEnd[-1] == '\r' || nameEnd[-1] == ' ')) --nameEnd;
      if (after != p + 2 && name > after && static_cast<size_t>(nameEnd - name) == length &&
          memcmp(name, symbol, length) == 0) {
        return static_cast<uintptr_t>(address);
      }
    }
    line = *end ? end + 1 : end;
  }
  return 0;
}

// The base the program's image prefers, from the PE header of the file.
uintptr_t PreferredBase(const char* program) {
  static uintptr_t base = 0;
  if (base != 0) return base;
  FILE* file = fopen(program, "rb");
  if (file == nullptr) return 0;
  IMAGE_DOS_HEADER dos = {};
  IMAGE_NT_HEADERS32 nt = {};
  if (fread(&dos, sizeof dos, 1, file) == 1 && dos.e_magic == IMAGE_DOS_SIGNATURE &&
      fseek(file, dos.e_lfanew, SEEK_SET) == 0 && fread(&nt, sizeof nt, 1, file) == 1 &&
      nt.Signature == IMAGE_NT_SIGNATURE) {
    base = nt.OptionalHeader.ImageBase;
  }
  fclose(file);
  return base;
}

// Where the program's image actually lies (it may have been moved on a Windows with ASLR).
uintptr_t LoadedBase(HANDLE process) {
  HMODULE modules[1];
  DWORD needed = 0;
  if (!EnumProcessModules(process, modules, sizeof modules, &needed) || needed == 0) return 0;
  return reinterpret_cast<uintptr_t>(modules[0]);
}

// --- The flush marker: a posted WM_SETREDRAW(FALSE) to the main window. Posted messages are
// retrieved in order, so once the window's WS_VISIBLE bit drops (the default handling clears it,
// on Windows as under Wine), everything posted before it has been handled. The bit is put back
// at once and the window repainted, so the marker leaves nothing behind.
bool MarkerSeen(HWND window, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (unsigned spins = 0;; ++spins) {
    // The window goes only with the program: once it has ended, nothing is left to wait for.
    if (!IsWindow(window)) return true;
    if ((GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) == 0) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    // Spin briefly first: the window must stay hidden for as short a time as possible.
    if (spins > 2000)
      Sleep(1);
    else
      SwitchToThread();
  }
}

}  // namespace

Session::~Session() {
  EndSession(*this);
}

const char* ProgramPath() {
  static char path[MAX_PATH];
  return ConfiguredPath("TORVANE_EXE", E2E_PROGRAM, path, sizeof path);
}

const char* MapPath() {
  static char path[MAX_PATH];
  return ConfiguredPath("TORVANE_MAP", E2E_MAP, path, sizeof path);
}

const char* WorkRoot() {
  static char path[MAX_PATH];
  return ConfiguredPath("TORVANE_E2E_WORK", E2E_WORK, path, sizeof path);
}

bool PrepareFolder(Session& session, const char* name) {
  char testName[MAX_PATH];
  if (name == nullptr) {
    CurrentTestName(testName, sizeof testName);
    name = testName;
  }
  snprintf(session.folder, sizeof session.folder, "%s\\%s", WorkRoot(), name);
  if (!MakeFolders(session.folder)) {
    fprintf(stderr, "e2e: cannot create %s\n", session.folder);
    return false;
  }
  EmptyFolder(session.folder);
  snprintf(session.program, sizeof session.program, "%s\\torvane.exe", session.folder);
  snprintf(session.settingsPath, sizeof session.settingsPath, "%s\\torvane.ini", session.folder);
  if (!CopyFileA(ProgramPath(), session.program, FALSE)) {
    fprintf(stderr, "e2e: cannot copy %s to %s (error %lu)\n", ProgramPath(), session.program,
            GetLastError());
    return false;
  }
  return true;
}

bool WriteSettingsFile(const Session& session, const char* text) {
  FILE* file = fopen(session.settingsPath, "wb");
  if (file == nullptr) return false;
  size_t length = strlen(text);
  bool written = fwrite(text, 1, length, file) == length;
  return fclose(file) == 0 && written;
}

bool Launch(Session& session, bool waitForWindow) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  char commandLine[MAX_PATH + 2];
  snprintf(commandLine, sizeof commandLine, "\"%s\"", session.program);
  if (!CreateProcessA(session.program, commandLine, nullptr, nullptr, FALSE, 0, nullptr,
                      session.folder, &startup, &session.process)) {
    fprintf(stderr, "e2e: cannot start %s (error %lu)\n", session.program, GetLastError());
    return false;
  }
  if (!waitForWindow) return true;
  WaitForInputIdle(session.process.hProcess, kTimeoutMs);
  DWORD start = GetTickCount();
  while (session.window == nullptr) {
    session.window = FindTopLevel(session.process.dwProcessId, "TORVANE", nullptr, 0);
    if (session.window != nullptr) break;
    if (!IsRunning(session)) {
      fprintf(stderr, "e2e: torvane.exe ended before showing its window\n");
      return false;
    }
    if (GetTickCount() - start > 2 * kTimeoutMs) {
      fprintf(stderr, "e2e: no visible TORVANE window after %lu ms\n", 2 * kTimeoutMs);
      return false;
    }
    Sleep(5);
  }
  // Start-up runs before the message loop, so the loop answering means start-up is over.
  return Sync(session);
}

bool Start(Session& session, const char* settingsText) {
  if (!PrepareFolder(session)) return false;
  if (settingsText != nullptr && !WriteSettingsFile(session, settingsText)) return false;
  return Launch(session);
}

bool IsRunning(const Session& session) {
  return session.process.hProcess != nullptr &&
         WaitForSingleObject(session.process.hProcess, 0) == WAIT_TIMEOUT;
}

bool WaitForExit(Session& session, DWORD* exitCode, DWORD timeoutMs) {
  if (session.process.hProcess == nullptr) return false;
  if (WaitForSingleObject(session.process.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
  DWORD code = 0;
  GetExitCodeProcess(session.process.hProcess, &code);
  if (exitCode != nullptr) *exitCode = code;
  return true;
}

bool Close(Session& session, DWORD* exitCode) {
  if (!Usable(session) || !PostMessageA(session.window, WM_CLOSE, 0, 0)) return false;
  return WaitForExit(session, exitCode);
}

void EndSession(Session& session) {
  if (session.process.hProcess != nullptr) {
    if (IsRunning(session)) {
      TerminateProcess(session.process.hProcess, 99);
      WaitForSingleObject(session.process.hProcess, kTimeoutMs);
    }
    CloseHandle(session.process.hProcess);
    CloseHandle(session.process.hThread);
  }
  session.process = PROCESS_INFORMATION{};
  session.window = nullptr;
  session.imageBase = 0;
}

bool ReadSettingsFile(const Session& session, char* buffer, size_t capacity, size_t* length) {
  if (capacity == 0) return false;
  buffer[0] = 0;
  FILE* file = fopen(session.settingsPath, "rb");
  if (file == nullptr) return false;
  size_t got = fread(buffer, 1, capacity, file);
  bool fits = got < capacity && feof(file);
  fclose(file);
  if (!fits) return false;
  buffer[got] = 0;
  if (length != nullptr) *length = got;
  return true;
}

bool Sync(const Session& session, DWORD timeoutMs) {
  return Usable(session) && SendWithTimeout(session.window, WM_NULL, 0, 0, nullptr, timeoutMs);
}

bool Flush(const Session& session, DWORD timeoutMs) {
  if (!Usable(session) || !IsWindowVisible(session.window)) return false;
  if (!PostMessageA(session.window, WM_SETREDRAW, FALSE, 0)) return false;
  bool seen = MarkerSeen(session.window, timeoutMs);
  bool restored = SendWithTimeout(session.window, WM_SETREDRAW, TRUE, 0, nullptr, timeoutMs) &&
                  RedrawWindow(session.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  // A program that the flushed messages closed cannot take the bit back, and needs not.
  return seen && (restored || !IsWindow(session.window) || !IsRunning(session));
}

bool WaitUntil(bool (*predicate)(void* context), void* context, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (predicate(context)) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(2);
  }
}

namespace {
UINT DownMessage(Button button) {
  return button == kLeft ? WM_LBUTTONDOWN : WM_RBUTTONDOWN;
}
UINT UpMessage(Button button) {
  return button == kLeft ? WM_LBUTTONUP : WM_RBUTTONUP;
}
WPARAM DownFlags(Button button) {
  return button == kLeft ? MK_LBUTTON : MK_RBUTTON;
}
LPARAM PointParameter(int x, int y) {
  return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}
}  // namespace

bool Press(const Session& session, int x, int y, Button button) {
  if (!Usable(session)) return false;
  LPARAM point = PointParameter(x, y);
  return SendWithTimeout(session.window, DownMessage(button), DownFlags(button), point, nullptr) &&
         SendWithTimeout(session.window, UpMessage(button), 0, point, nullptr);
}

bool PostPress(const Session& session, int x, int y, Button button) {
  if (!Usable(session)) return false;
  LPARAM point = PointParameter(x, y);
  return PostMessageA(session.window, DownMessage(button), DownFlags(button), point) &&
         PostMessageA(session.window, UpMessage(button), 0, point) && Flush(session);
}

POINT CellCentre(const Session& session, int column, int row) {
  GameRecord game = {};
  ReadSymbol(session, "_Game", &game, sizeof game);
  int size = game.size > 0 ? game.size : 18;
  POINT point = {(column - 1) * size + size / 2, (row - 1) * size + size / 2};
  return point;
}

bool PressCell(const Session& session, int column, int row, Button button) {
  POINT point = CellCentre(session, column, row);
  return Press(session, point.x, point.y, button);
}

bool PostPressCell(const Session& session, int column, int row, Button button) {
  POINT point = CellCentre(session, column, row);
  return PostPress(session, point.x, point.y, button);
}

bool SendCommand(const Session& session, int id) {
  return Usable(session) &&
         SendWithTimeout(session.window, WM_COMMAND, static_cast<WPARAM>(id), 0, nullptr);
}

bool PostCommand(const Session& session, int id) {
  return Usable(session) && PostMessageA(session.window, WM_COMMAND, static_cast<WPARAM>(id), 0) &&
         Flush(session);
}

namespace {
LPARAM KeyParameter(int virtualKey, bool up) {
  UINT scan = MapVirtualKeyA(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC);
  LPARAM value = 1 | (static_cast<LPARAM>(scan & 0xFF) << 16);
  if (up) value |= (static_cast<LPARAM>(1) << 30) | (static_cast<LPARAM>(1) << 31);
  return value;
}
}  // namespace

bool PressKey(const Session& session, int virtualKey) {
  if (!Usable(session)) return false;
  return PostMessageA(session.window, WM_KEYDOWN, static_cast<WPARAM>(virtualKey),
                      KeyParameter(virtualKey, false)) &&
         PostMessageA(session.window, WM_KEYUP, static_cast<WPARAM>(virtualKey),
                      KeyParameter(virtualKey, true)) &&
         Flush(session);
}

HWND FindDialog(const Session& session, int controlId) {
  if (!Usable(session)) return nullptr;
  return FindTopLevel(session.process.dwProcessId, "#32770", session.window, controlId);
}

HWND WaitForDialog(const Session& session, int controlId, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    HWND dialog = FindDialog(session, controlId);
    if (dialog != nullptr) return dialog;
    if (!IsRunning(session) || GetTickCount() - start > timeoutMs) return nullptr;
    Sleep(2);
  }
}

HWND FindAnyDialog(const Session& session) {
  if (session.process.hProcess == nullptr) return nullptr;
  return FindTopLevel(session.process.dwProcessId, "#32770", nullptr, 0);
}

HWND FindProcessWindow(const Session& session, const char* className) {
  if (session.process.hProcess == nullptr) return nullptr;
  return FindTopLevel(session.process.dwProcessId, className, nullptr, 0);
}

bool WaitForGone(HWND window, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (!IsWindow(window) || !IsWindowVisible(window)) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(2);
  }
}

bool GetItemText(HWND dialog, int controlId, char* buffer, int capacity) {
  if (capacity <= 0) return false;
  buffer[0] = 0;
  HWND control = GetDlgItem(dialog, controlId);
  return control != nullptr && SendWithTimeout(control, WM_GETTEXT, static_cast<WPARAM>(capacity),
                                               reinterpret_cast<LPARAM>(buffer), nullptr);
}

bool SetItemText(HWND dialog, int controlId, const char* text) {
  HWND control = GetDlgItem(dialog, controlId);
  return control != nullptr &&
         SendWithTimeout(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), nullptr);
}

int GetCheck(HWND dialog, int controlId) {
  HWND control = GetDlgItem(dialog, controlId);
  DWORD_PTR state = 0;
  if (control == nullptr || !SendWithTimeout(control, BM_GETCHECK, 0, 0, &state)) return -1;
  return static_cast<int>(state);
}

bool TypeText(const Session& session, HWND control, const char* text) {
  if (control == nullptr) return false;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
    if (!PostMessageA(control, WM_CHAR, *p, 1)) return false;
  }
  return Flush(session);
}

bool ClickButton(const Session& session, HWND dialog, int controlId) {
  HWND button = GetDlgItem(dialog, controlId);
  return button != nullptr && PostMessageA(button, BM_CLICK, 0, 0) && Flush(session);
}

bool CloseDialog(const Session& session, HWND dialog) {
  return PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0) && Flush(session);
}

bool PressEscape(const Session& session, HWND dialog) {
  // Keys go to the focused control; the dialog's own loop turns Escape into IDCANCEL.
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  HWND target = dialog;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) &&
      info.hwndFocus != nullptr && (info.hwndFocus == dialog || IsChild(dialog, info.hwndFocus))) {
    target = info.hwndFocus;
  }
  return PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, KeyParameter(VK_ESCAPE, false)) &&
         PostMessageA(target, WM_KEYUP, VK_ESCAPE, KeyParameter(VK_ESCAPE, true)) && Flush(session);
}

int ListCount(HWND dialog, int controlId) {
  HWND list = GetDlgItem(dialog, controlId);
  DWORD_PTR count = 0;
  if (list == nullptr || !SendWithTimeout(list, LB_GETCOUNT, 0, 0, &count)) return -1;
  return static_cast<int>(static_cast<LRESULT>(count));
}

bool ListLine(HWND dialog, int controlId, int index, char* buffer, int capacity) {
  if (capacity <= 0) return false;
  buffer[0] = 0;
  HWND list = GetDlgItem(dialog, controlId);
  DWORD_PTR length = 0;
  if (list == nullptr || !SendWithTimeout(list, LB_GETTEXTLEN, index, 0, &length)) return false;
  if (static_cast<LRESULT>(length) < 0 || static_cast<int>(length) >= 1024) return false;
  // Wine hands the ANSI form of this message back in UTF-16 between processes; the wide form
  // is right everywhere, and converting it gives the program's own ANSI text.
  WCHAR wide[1024] = {};
  DWORD_PTR got = 0;
  if (SendMessageTimeoutW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(wide), SMTO_NORMAL,
                          kTimeoutMs, &got) == 0 ||
      static_cast<LRESULT>(got) < 0) {
    return false;
  }
  return WideCharToMultiByte(CP_ACP, 0, wide, -1, buffer, capacity, nullptr, nullptr) > 0;
}

bool WindowTitle(HWND window, char* buffer, int capacity) {
  if (capacity <= 0) return false;
  buffer[0] = 0;
  return window != nullptr && SendWithTimeout(window, WM_GETTEXT, static_cast<WPARAM>(capacity),
                                              reinterpret_cast<LPARAM>(buffer), nullptr);
}

bool WindowRect(HWND window, RECT* rect) {
  return GetWindowRect(window, rect) != 0;
}

bool ClientRect(HWND window, RECT* rect) {
  return GetClientRect(window, rect) != 0;
}

bool StatusText(const Session& session, int part, char* buffer, int capacity) {
  if (capacity <= 0 || !Usable(session)) return false;
  buffer[0] = 0;
  HWND bar = GetDlgItem(session.window, IDC_STATUS_BAR);
  if (bar == nullptr) return false;
  // The status bar writes into the caller's buffer, which must lie in its own process.
  const SIZE_T remoteSize = 1024;
  void* remote =
      VirtualAllocEx(session.process.hProcess, nullptr, remoteSize, MEM_COMMIT, PAGE_READWRITE);
  if (remote == nullptr) return false;
  bool read = false;
  DWORD_PTR length = 0;
  if (SendWithTimeout(bar, SB_GETTEXTLENGTHA, part, 0, &length) && LOWORD(length) < remoteSize &&
      SendWithTimeout(bar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(remote), nullptr)) {
    char local[1024] = {};
    SIZE_T got = 0;
    if (ReadProcessMemory(session.process.hProcess, remote, local, LOWORD(length) + 1, &got)) {
      local[LOWORD(length)] = 0;
      snprintf(buffer, capacity, "%s", local);
      read = static_cast<int>(LOWORD(length)) < capacity;
    }
  }
  VirtualFreeEx(session.process.hProcess, remote, 0, MEM_RELEASE);
  return read;
}

namespace {
// The probe library beside the test program.
const char* ProbePath() {
  static char path[MAX_PATH];
  if (path[0] == 0) {
    GetModuleFileNameA(nullptr, path, sizeof path);
    char* slash = strrchr(path, '\\');
    snprintf(slash ? slash + 1 : path, sizeof path - (slash ? slash + 1 - path : 0), "%s",
             "torvane_e2e_probe.dll");
  }
  return path;
}

// Runs start(parameter) on a new thread of the program; the thread's exit code, or false.
bool RunRemote(const Session& session, uintptr_t start, void* parameter, DWORD* exitCode) {
  HANDLE thread =
      CreateRemoteThread(session.process.hProcess, nullptr, 0,
                         reinterpret_cast<LPTHREAD_START_ROUTINE>(start), parameter, 0, nullptr);
  if (thread == nullptr) return false;
  bool done = WaitForSingleObject(thread, kTimeoutMs) == WAIT_OBJECT_0 &&
              GetExitCodeThread(thread, exitCode);
  CloseHandle(thread);
  return done;
}

// Asks the probe inside the program about one menu item.
bool ProbeRemote(const Session& session, MenuProbe* probe) {
  static HMODULE local = LoadLibraryA(ProbePath());
  if (local == nullptr) return false;
  uintptr_t entry = reinterpret_cast<uintptr_t>(GetProcAddress(local, "ProbeMenu@4"));
  if (entry == 0) entry = reinterpret_cast<uintptr_t>(GetProcAddress(local, "ProbeMenu"));
  if (entry == 0) return false;
  HANDLE process = session.process.hProcess;
  void* remote =
      VirtualAllocEx(process, nullptr, sizeof(MenuProbe) + MAX_PATH, MEM_COMMIT, PAGE_READWRITE);
  if (remote == nullptr) return false;
  bool answered = false;
  uintptr_t& module = const_cast<Session&>(session).probeModule;
  if (module == 0) {
    // kernel32 lies at the same address in every process, so our LoadLibraryA is theirs.
    const char* path = ProbePath();
    DWORD loaded = 0;
    if (WriteProcessMemory(process, remote, path, strlen(path) + 1, nullptr) &&
        RunRemote(session, reinterpret_cast<uintptr_t>(&LoadLibraryA), remote, &loaded)) {
      module = loaded;
    }
  }
  if (module != 0) {
    uintptr_t start = module + (entry - reinterpret_cast<uintptr_t>(local));
    DWORD result = 0;
    answered = WriteProcessMemory(process, remote, probe, sizeof *probe, nullptr) &&
               RunRemote(session, start, remote, &result) &&
               ReadProcessMemory(process, remote, probe, sizeof *probe, nullptr);
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return answered;
}

// One menu item, read directly where the system allows it, else through the probe.
bool QueryMenu(const Session& session, bool byPosition, int item, MenuProbe* probe) {
  *probe = MenuProbe{};
  probe->window = session.window;
  probe->byPosition = byPosition ? 1 : 0;
  probe->item = item;
  HMENU bar = GetMenu(session.window);
  if (bar != nullptr && GetMenuItemCount(bar) > 0) {
    ProbeMenu(probe);  // the same code, run here: the menu is readable from this process
    return true;
  }
  return ProbeRemote(session, probe);
}
}  // namespace

bool MenuTitle(const Session& session, int position, char* buffer, int capacity) {
  if (capacity <= 0 || !Usable(session)) return false;
  buffer[0] = 0;
  MenuProbe probe;
  if (!QueryMenu(session, true, position, &probe) || !probe.found) return false;
  snprintf(buffer, capacity, "%s", probe.text);
  return true;
}

bool MenuItemText(const Session& session, int commandId, char* buffer, int capacity) {
  if (capacity <= 0 || !Usable(session)) return false;
  buffer[0] = 0;
  MenuProbe probe;
  if (!QueryMenu(session, false, commandId, &probe) || !probe.found) return false;
  snprintf(buffer, capacity, "%s", probe.text);
  return true;
}

int MenuItemState(const Session& session, int commandId) {
  if (!Usable(session)) return -1;
  MenuProbe probe;
  if (!QueryMenu(session, false, commandId, &probe) || !probe.found) return -1;
  return static_cast<int>(probe.state & (MF_GRAYED | MF_DISABLED));
}

COLORREF ClientPixel(const Session& session, int x, int y) {
  if (!Usable(session)) return CLR_INVALID;
  POINT point = {x, y};
  ClientToScreen(session.window, &point);
  HDC screen = GetDC(nullptr);
  COLORREF colour = GetPixel(screen, point.x, point.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

bool ReadSymbol(const Session& session, const char* symbol, void* buffer, size_t size) {
  if (session.process.hProcess == nullptr) return false;
  uintptr_t address = MapAddress(symbol);
  uintptr_t preferred = PreferredBase(ProgramPath());
  if (address == 0 || preferred == 0) return false;
  uintptr_t& base = const_cast<Session&>(session).imageBase;
  if (base == 0) base = LoadedBase(session.process.hProcess);
  if (base == 0) return false;
  SIZE_T got = 0;
  const void* remote = reinterpret_cast<const void*>(address - preferred + base);
  return ReadProcessMemory(session.process.hProcess, remote, buffer, size, &got) && got == size;
}

bool ReadSnapshot(const Session& session, Snapshot* snapshot) {
  return ReadSymbol(session, "_Board", snapshot->board, sizeof snapshot->board) &&
         ReadSymbol(session, "_Game", &snapshot->game, sizeof snapshot->game) &&
         ReadSymbol(session, "_GameState", &snapshot->state, sizeof snapshot->state);
}

bool SaveScreenshot(const char* path) {
  int width = GetSystemMetrics(SM_CXSCREEN);
  int height = GetSystemMetrics(SM_CYSCREEN);
  if (width <= 0 || height <= 0) return false;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as a .bmp file stores rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool saved = false;
  if (bitmap != nullptr) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    GdiFlush();
    DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) & ~3u);
    DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof info.bmiHeader;
    header.bfSize = header.bfOffBits + imageSize;
    FILE* file = fopen(path, "wb");
    if (file != nullptr) {
      saved = fwrite(&header, sizeof header, 1, file) == 1 &&
              fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, file) == 1 &&
              fwrite(bits, 1, imageSize, file) == imageSize;
      saved = fclose(file) == 0 && saved;
    }
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return saved;
}

namespace {
// Saves the screen once per failing test and says where.
struct ScreenshotOnFailure : ::testing::EmptyTestEventListener {
  bool taken = false;
  static void PathOfTest(char* path, size_t capacity) {
    char name[MAX_PATH];
    CurrentTestName(name, sizeof name);
    snprintf(path, capacity, "%s\\%s.fail.bmp", WorkRoot(), name);
  }
  void OnTestStart(const ::testing::TestInfo&) override {
    taken = false;
    // A screen from an earlier failing run would mislead.
    char path[MAX_PATH];
    PathOfTest(path, sizeof path);
    DeleteFileA(path);
  }
  void OnTestPartResult(const ::testing::TestPartResult& result) override {
    if (!result.failed() || taken) return;
    taken = true;
    char path[MAX_PATH];
    MakeFolders(WorkRoot());
    PathOfTest(path, sizeof path);
    if (SaveScreenshot(path))
      printf("e2e: screen at the failure saved to %s\n", path);
    else
      printf("e2e: could not save the screen to %s\n", path);
  }
};
}  // namespace

void InstallFailureScreenshots() {
  ::testing::UnitTest::GetInstance()->listeners().Append(new ScreenshotOnFailure);
}

}  // namespace e2e
