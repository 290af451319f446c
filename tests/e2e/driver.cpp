// driver.cpp: starts torvane.exe in a private folder and drives and observes it from outside.
#include "tests/e2e/driver.h"

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>

#include "tests/e2e/probe.h"

namespace e2e {
namespace {

// A compiled-in Z: path of the build, with Windows separators.
const char* WindowsPath(const char* built, char* storage, size_t capacity) {
  if (storage[0] == 0) {
    snprintf(storage, capacity, "%s", built);
    for (char* p = storage; *p; ++p)
      if (*p == '/') *p = '\\';
  }
  return storage;
}

const char* MapPath() {
  static char path[MAX_PATH];
  return WindowsPath(E2E_MAP, path, sizeof path);
}

const char* WorkRoot() {
  static char path[MAX_PATH];
  return WindowsPath(E2E_WORK, path, sizeof path);
}

bool Usable(const Session& session) {
  return session.window != nullptr && IsWindow(session.window);
}

// A message sent with a timeout, so that a hung program fails the test instead of hanging it.
bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result = nullptr) {
  DWORD_PTR ignored;
  return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kTimeoutMs,
                             result ? result : &ignored) != 0;
}

// WorkRoot()\<Suite>.<Test><ending>, usable as a file name.
void PathOfTest(char* buffer, size_t capacity, const char* ending) {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  int root = snprintf(buffer, capacity, "%s\\", WorkRoot());
  snprintf(buffer + root, capacity - root, "%s.%s%s", info->test_suite_name(), info->name(),
           ending);
  for (char* p = buffer + root; *p; ++p)
    if (strchr("\\/:*?\"<>|", *p)) *p = '_';
}

struct WindowSearch {
  DWORD processId;
  const char* className;
  HWND owner;
  int controlId;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
  WindowSearch* s = reinterpret_cast<WindowSearch*>(context);
  DWORD processId = 0;
  char className[64];
  GetWindowThreadProcessId(window, &processId);
  if (processId != s->processId || !IsWindowVisible(window) ||
      GetClassNameA(window, className, sizeof className) == 0 ||
      strcmp(className, s->className) != 0 ||
      (s->owner != nullptr && GetWindow(window, GW_OWNER) != s->owner) ||
      (s->controlId != 0 && GetDlgItem(window, s->controlId) == nullptr)) {
    return TRUE;
  }
  s->found = window;
  return FALSE;
}

// A visible top-level window of the process with this class (and owner and control, if given).
HWND FindTopLevel(DWORD processId, const char* className, HWND owner, int controlId) {
  WindowSearch search = {processId, className, owner, controlId, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The address a name has in the link map, or 0. Symbol lines are blanks, 0x<hex>, blanks,
// the name. The map writes C names without the underscore that i686 adds.
uintptr_t MapAddress(const char* symbol) {
  static std::map<std::string, uintptr_t> found;
  auto known = found.find(symbol);
  if (known != found.end()) return known->second;
  uintptr_t address = 0;
  FILE* file = fopen(MapPath(), "rb");
  char line[512];
  while (file != nullptr && address == 0 && fgets(line, sizeof line, file) != nullptr) {
    unsigned long long value = 0;
    char name[128], rest[2];
    // "__image_base__ = 0x..." gives the base the image prefers.
    int got = line[0] == ' ' ? sscanf(line, " 0x%llx %127s %1s", &value, name, rest) : 0;
    if ((got == 2 || (got == 3 && rest[0] == '=')) && strcmp(name, symbol) == 0) {
      address = static_cast<uintptr_t>(value);
    }
  }
  if (file != nullptr) fclose(file);
  if (address != 0) found[symbol] = address;
  return address;
}

LPARAM KeyParameter(int virtualKey, bool up) {
  UINT scan = MapVirtualKeyA(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC);
  LPARAM value = 1 | (static_cast<LPARAM>(scan & 0xFF) << 16);
  if (up) value |= (static_cast<LPARAM>(1) << 30) | (static_cast<LPARAM>(1) << 31);
  return value;
}

bool IsRunning(const Session& session) {
  return session.process.hProcess != nullptr &&
         WaitForSingleObject(session.process.hProcess, 0) == WAIT_TIMEOUT;
}

}  // namespace

// Ends a program that the test left running (a failed ASSERT) and releases the handles.
Session::~Session() {
  if (process.hProcess == nullptr) return;
  if (TerminateProcess(process.hProcess, 99)) WaitForSingleObject(process.hProcess, kTimeoutMs);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
}

const char* ProgramPath() {
  static char path[MAX_PATH];
  return WindowsPath(E2E_PROGRAM, path, sizeof path);
}

std::string SettingsText(int grid, int size, int ratio, bool french, int sound,
                         const char* scores) {
  char text[256];
  snprintf(text, sizeof text,
           french ? "ratio=%d\r\ngrille=%d\r\nlarg=%d\r\nlang=0\r\nsons=%d\r\n%s"
                  : "ratio=%d\r\ngrid=%d\r\nsize=%d\r\nlang=1000\r\nsound=%d\r\n%s",
           ratio, grid, size, sound, scores);
  return text;
}

bool Prepare(Session& session, const std::string& settings) {
  PathOfTest(session.folder, sizeof session.folder, "");
  char program[MAX_PATH];
  snprintf(program, sizeof program, "%s\\torvane.exe", session.folder);
  snprintf(session.settingsPath, sizeof session.settingsPath, "%s\\torvane.ini", session.folder);
  CreateDirectoryA(WorkRoot(), nullptr);
  CreateDirectoryA(session.folder, nullptr);
  DeleteFileA(session.settingsPath);
  if (!CopyFileA(ProgramPath(), program, FALSE)) {
    fprintf(stderr, "e2e: cannot copy %s to %s\n", ProgramPath(), program);
    return false;
  }
  FILE* file = settings.empty() ? nullptr : fopen(session.settingsPath, "wb");
  if (file != nullptr) fwrite(settings.data(), 1, settings.size(), file);
  return file == nullptr || fclose(file) == 0;
}

bool Launch(Session& session) {
  char program[MAX_PATH];
  snprintf(program, sizeof program, "%s\\torvane.exe", session.folder);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  char commandLine[MAX_PATH + 2];
  snprintf(commandLine, sizeof commandLine, "\"%s\"", program);
  if (!CreateProcessA(program, commandLine, nullptr, nullptr, FALSE, 0, nullptr, session.folder,
                      &startup, &session.process)) {
    fprintf(stderr, "e2e: cannot start %s (error %lu)\n", program, GetLastError());
    return false;
  }
  return true;
}

bool Start(Session& session, const std::string& settings) {
  if (!Prepare(session, settings) || !Launch(session)) return false;
  WaitForInputIdle(session.process.hProcess, kTimeoutMs);
  bool shown = WaitUntil(
      [&] {
        session.window = FindTopLevel(session.process.dwProcessId, "TORVANE", nullptr, 0);
        return session.window != nullptr || !IsRunning(session);
      },
      2 * kTimeoutMs);
  if (!shown || session.window == nullptr) {
    fprintf(stderr, "e2e: no visible TORVANE window\n");
    return false;
  }
  // Start-up runs before the message loop, so the loop answering means start-up is over.
  return Sync(session);
}

::testing::AssertionResult Ended(Session& session, DWORD expectedCode) {
  DWORD code = 0;
  if (session.process.hProcess == nullptr ||
      WaitForSingleObject(session.process.hProcess, kTimeoutMs) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(session.process.hProcess, &code)) {
    return ::testing::AssertionFailure() << "the program did not end";
  }
  if (code != expectedCode) return ::testing::AssertionFailure() << "exit code " << code;
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult Close(Session& session) {
  if (!Usable(session) || !PostMessageA(session.window, WM_CLOSE, 0, 0))
    return ::testing::AssertionFailure() << "no window to close";
  return Ended(session);
}

bool ReadSettingsFile(const Session& session, std::string* text) {
  text->clear();
  FILE* file = fopen(session.settingsPath, "rb");
  if (file == nullptr) return false;
  char chunk[4096];
  size_t got;
  while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) text->append(chunk, got);
  fclose(file);
  return true;
}

std::string Line(const std::string& text, int line) {
  size_t start = 0;
  for (int i = 1; i < line && start != std::string::npos; ++i) {
    start = text.find("\r\n", start);
    if (start != std::string::npos) start += 2;
  }
  size_t end = start == std::string::npos ? start : text.find("\r\n", start);
  return end == std::string::npos ? "<none>" : text.substr(start, end - start);
}

bool Sync(const Session& session) {
  return Usable(session) && Send(session.window, WM_NULL, 0, 0);
}

// The marker is a posted WM_SETREDRAW(FALSE) to the main window. Posted messages are retrieved
// in order, so once the window's WS_VISIBLE bit drops (the default handling clears it, on
// Windows as under Wine), everything posted before it has been handled. The bit is put back at
// once and the window repainted, so the marker leaves nothing behind.
bool Flush(const Session& session) {
  if (!Usable(session) || !IsWindowVisible(session.window)) return false;
  if (!PostMessageA(session.window, WM_SETREDRAW, FALSE, 0)) return false;
  HWND window = session.window;
  const DWORD start = GetTickCount();
  bool seen = false;
  for (unsigned spins = 0;; ++spins) {
    // The window goes only with the program: once it has ended, nothing is left to wait for.
    seen = !IsWindow(window) || (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) == 0;
    if (seen || GetTickCount() - start > kTimeoutMs) break;
    // Spin briefly first: the window must stay hidden for as short a time as possible.
    if (spins > 2000)
      Sleep(1);
    else
      SwitchToThread();
  }
  bool restored = Send(window, WM_SETREDRAW, TRUE, 0) &&
                  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  // A program that the flushed messages closed cannot take the bit back, and needs not.
  return seen && (restored || !IsWindow(window) || !IsRunning(session));
}

bool Press(const Session& session, int x, int y, Button button, bool post) {
  if (!Usable(session)) return false;
  const LPARAM point = MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
  const UINT down = button == kLeft ? WM_LBUTTONDOWN : WM_RBUTTONDOWN;
  const WPARAM flags = button == kLeft ? MK_LBUTTON : MK_RBUTTON;
  if (post) {
    return PostMessageA(session.window, down, flags, point) &&
           PostMessageA(session.window, down + 1, 0, point) && Flush(session);
  }
  return Send(session.window, down, flags, point) && Send(session.window, down + 1, 0, point);
}

bool PressCell(const Session& session, int column, int row, Button button, bool post) {
  GameRecord game = {};
  ReadSymbol(session, "_Game", &game, sizeof game);
  const int size = game.size > 0 ? game.size : 18;
  return Press(session, (column - 1) * size + size / 2, (row - 1) * size + size / 2, button, post);
}

bool Command(const Session& session, int id, bool post) {
  if (!Usable(session)) return false;
  if (post) return PostMessageA(session.window, WM_COMMAND, id, 0) && Flush(session);
  return Send(session.window, WM_COMMAND, id, 0);
}

bool Key(const Session& session, int virtualKey, HWND target) {
  if (target == nullptr) target = session.window;
  return PostMessageA(target, WM_KEYDOWN, virtualKey, KeyParameter(virtualKey, false)) &&
         PostMessageA(target, WM_KEYUP, virtualKey, KeyParameter(virtualKey, true)) &&
         Flush(session);
}

HWND FindDialog(const Session& session, int controlId) {
  if (!Usable(session)) return nullptr;
  return FindTopLevel(session.process.dwProcessId, "#32770",
                      controlId != 0 ? session.window : nullptr, controlId);
}

HWND WaitForDialog(const Session& session, int controlId) {
  HWND dialog = nullptr;
  WaitUntil([&] { return (dialog = FindDialog(session, controlId)) != nullptr; });
  return dialog;
}

HWND OpenDialog(const Session& session, int command, int controlId) {
  return Command(session, command, true) ? WaitForDialog(session, controlId) : nullptr;
}

bool WaitForGone(HWND window) {
  return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); });
}

std::string Text(HWND window, int controlId) {
  char text[1024] = {};
  HWND target = controlId != 0 ? GetDlgItem(window, controlId) : window;
  bool read = target && Send(target, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return read ? text : "<unreadable>";
}

bool SetText(HWND dialog, int controlId, const char* text) {
  HWND control = GetDlgItem(dialog, controlId);
  return control != nullptr && Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

int GetCheck(HWND dialog, int controlId) {
  HWND control = GetDlgItem(dialog, controlId);
  DWORD_PTR state = 0;
  return control && Send(control, BM_GETCHECK, 0, 0, &state) ? static_cast<int>(state) : -1;
}

bool TypeText(const Session& session, HWND control, const char* text) {
  if (control == nullptr) return false;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p)
    if (!PostMessageA(control, WM_CHAR, *p, 1)) return false;
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
  return Key(session, VK_ESCAPE, target);
}

std::vector<std::string> ListLines(HWND dialog, int controlId) {
  HWND list = GetDlgItem(dialog, controlId);
  DWORD_PTR count = 0;
  if (list == nullptr || !Send(list, LB_GETCOUNT, 0, 0, &count) || count > 1000)
    return {"<unreadable>"};
  std::vector<std::string> lines;
  for (DWORD_PTR i = 0; i < count; ++i) {
    // Wine hands the ANSI form of this message back in UTF-16 between processes; the wide
    // form is right everywhere, and converting it gives the program's own ANSI text.
    WCHAR wide[1024] = {};
    char text[1024] = "<unreadable>";
    DWORD_PTR length = 0;
    if (Send(list, LB_GETTEXTLEN, i, 0, &length) && length < 1024 &&
        SendMessageTimeoutW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide), SMTO_NORMAL,
                            kTimeoutMs, nullptr) != 0) {
      WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    }
    lines.push_back(text);
  }
  return lines;
}

std::string StatusText(const Session& session, int part) {
  HWND bar = Usable(session) ? GetDlgItem(session.window, IDC_STATUS_BAR) : nullptr;
  if (bar == nullptr) return "<unreadable>";
  // The status bar writes into the caller's buffer, which must lie in its own process.
  const SIZE_T remoteSize = 1024;
  HANDLE process = session.process.hProcess;
  void* remote = VirtualAllocEx(process, nullptr, remoteSize, MEM_COMMIT, PAGE_READWRITE);
  if (remote == nullptr) return "<unreadable>";
  std::string text = "<unreadable>";
  DWORD_PTR length = 0;
  char local[remoteSize] = {};
  if (Send(bar, SB_GETTEXTLENGTHA, part, 0, &length) && LOWORD(length) < remoteSize &&
      Send(bar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(remote)) &&
      ReadProcessMemory(process, remote, local, LOWORD(length) + 1, nullptr)) {
    text.assign(local, LOWORD(length));
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return text;
}

namespace {
// The probe library beside the test program.
const char* ProbePath() {
  static char path[MAX_PATH];
  if (path[0] == 0) {
    GetModuleFileNameA(nullptr, path, sizeof path);
    char* slash = strrchr(path, '\\');
    char* name = slash ? slash + 1 : path;
    snprintf(name, sizeof path - (name - path), "%s", "torvane_e2e_probe.dll");
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

// Where a module of this file name lies in the process, or 0.
uintptr_t RemoteModule(HANDLE process, const char* fileName) {
  HMODULE modules[512];
  DWORD needed = 0;
  if (!EnumProcessModules(process, modules, sizeof modules, &needed)) return 0;
  const DWORD count = std::min<DWORD>(needed / sizeof modules[0], 512);
  for (DWORD i = 0; i < count; ++i) {
    char name[MAX_PATH];
    if (GetModuleBaseNameA(process, modules[i], name, sizeof name) != 0 &&
        _stricmp(name, fileName) == 0) {
      return reinterpret_cast<uintptr_t>(modules[i]);
    }
  }
  return 0;
}

// One menu item, read directly where the system allows it, else through the probe inside the
// program.
bool QueryMenu(const Session& session, bool byPosition, int item, MenuProbe* probe) {
  *probe = MenuProbe{};
  probe->window = session.window;
  probe->byPosition = byPosition ? 1 : 0;
  probe->item = item;
  if (!Usable(session)) return false;
  HMENU bar = GetMenu(session.window);
  if (bar != nullptr && GetMenuItemCount(bar) > 0) {
    ProbeMenu(probe);  // the same code, run here: the menu is readable from this process
    return probe->found != 0;
  }
  static HMODULE local = LoadLibraryA(ProbePath());
  if (local == nullptr) return false;
  // A 32-bit __stdcall export carries the size of its arguments in its name.
  const char* exportName = sizeof(void*) == 4 ? "ProbeMenu@4" : "ProbeMenu";
  uintptr_t entry = reinterpret_cast<uintptr_t>(GetProcAddress(local, exportName));
  if (entry == 0) return false;
  HANDLE process = session.process.hProcess;
  void* remote =
      VirtualAllocEx(process, nullptr, sizeof(MenuProbe) + MAX_PATH, MEM_COMMIT, PAGE_READWRITE);
  if (remote == nullptr) return false;
  uintptr_t& module = const_cast<Session&>(session).probeModule;
  if (module == 0) {
    // kernel32 lies at the same address in every process, so our LoadLibraryA is theirs. The
    // thread's exit code holds only 32 bits of the module handle: the module list gives it whole.
    DWORD loaded = 0;
    if (WriteProcessMemory(process, remote, ProbePath(), strlen(ProbePath()) + 1, nullptr) &&
        RunRemote(session, reinterpret_cast<uintptr_t>(&LoadLibraryA), remote, &loaded) &&
        loaded != 0) {
      module = RemoteModule(process, "torvane_e2e_probe.dll");
    }
  }
  DWORD result = 0;
  bool answered =
      module != 0 && WriteProcessMemory(process, remote, probe, sizeof *probe, nullptr) &&
      RunRemote(session, module + (entry - reinterpret_cast<uintptr_t>(local)), remote, &result) &&
      ReadProcessMemory(process, remote, probe, sizeof *probe, nullptr);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return answered && probe->found != 0;
}
}  // namespace

std::string MenuText(const Session& session, int item, bool byPosition) {
  MenuProbe probe;
  return QueryMenu(session, byPosition, item, &probe) ? probe.text : "<unreadable>";
}

int MenuState(const Session& session, int commandId) {
  MenuProbe probe;
  if (!QueryMenu(session, false, commandId, &probe)) return -1;
  return static_cast<int>(probe.state & (MF_GRAYED | MF_DISABLED));
}

namespace {
// Pixels of a device context's rectangle, top-down, as 0x00RRGGBB (a 32-bit DIB's order).
std::vector<DWORD> Pixels(HDC source, int x, int y, int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (section == nullptr) return {};
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(memory, section);
  bool copied = BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY) != 0;
  GdiFlush();
  std::vector<DWORD> pixels;
  if (copied) {
    const DWORD* first = static_cast<const DWORD*>(bits);
    pixels.assign(first, first + static_cast<size_t>(width) * height);
  }
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(section);
  return pixels;
}

// Which tile shows a cell value in each view.
int TileFor(int value, View view) {
  if (view == kCoveredView) return TILE_COVERED;
  if (value >= 1 && value <= 8) return value;
  if (value == 0) return TILE_EMPTY;
  if (view == kPlayView)
    return value <= -17 ? TILE_FLAG : value == 15 ? TILE_EXPLODED : TILE_COVERED;
  if (value == kFlaggedMine) return TILE_FLAG;
  if (value <= -17) return TILE_WRONG_FLAG;
  if (value == kCoveredMine || value == kExplodedMine) return TILE_MINE;
  return value == -1 ? TILE_EMPTY : -1 - value;  // a covered number
}
}  // namespace

::testing::AssertionResult GridShows(const Session& session, View view) {
  Snapshot s;
  if (!ReadSnapshot(session, &s)) return ::testing::AssertionFailure() << "no memory";
  const int size = s.game.size;
  // The fourteen tiles of the game's size, from the program's own resources.
  std::vector<DWORD> tiles[TILE_COUNT + 1];
  HMODULE exe = LoadLibraryExA(ProgramPath(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HDC memory = CreateCompatibleDC(nullptr);
  const int base = size == 15 ? TILE_BASE_15 : size == 18 ? TILE_BASE_18 : TILE_BASE_21;
  for (int offset = 1; exe != nullptr && offset <= TILE_COUNT; ++offset) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(exe, MAKEINTRESOURCEA(base + offset), IMAGE_BITMAP, 0, 0, 0));
    if (bitmap == nullptr) continue;
    HGDIOBJ old = SelectObject(memory, bitmap);
    tiles[offset] = Pixels(memory, 0, 0, size, size);
    SelectObject(memory, old);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  if (exe != nullptr) FreeLibrary(exe);
  POINT origin = {0, 0};
  ClientToScreen(session.window, &origin);
  HDC screenDc = GetDC(nullptr);
  const int width = s.game.columns * size;
  std::vector<DWORD> screen = Pixels(screenDc, origin.x, origin.y, width, s.game.rows * size);
  ReleaseDC(nullptr, screenDc);
  if (screen.empty()) return ::testing::AssertionFailure() << "no capture";
  for (int c = 1; c <= s.game.columns; ++c) {
    for (int r = 1; r <= s.game.rows; ++r) {
      const int tile = TileFor(s.board[c][r], view);
      if (tiles[tile].empty()) return ::testing::AssertionFailure() << "no tile " << tile;
      for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
          const DWORD seen = screen[((r - 1) * size + y) * width + (c - 1) * size + x];
          if (seen != tiles[tile][y * size + x]) {
            return ::testing::AssertionFailure()
                   << "cell (" << c << ", " << r << ") value " << +s.board[c][r]
                   << " should show tile " << tile << ": pixel (" << x << ", " << y << ") is "
                   << std::hex << seen << " instead of " << tiles[tile][y * size + x];
          }
        }
      }
    }
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult WindowFits(const Session& session, int side, int size) {
  RECT rect = {};
  GetWindowRect(session.window, &rect);
  const int width = side * size + 6;
  const int height =
      GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYMENU) + side * size + 28;
  // Centred, truncating, and pulled back inside a screen too small for it.
  const int left = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  const int top = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
  if (rect.right - rect.left == width && rect.bottom - rect.top == height && rect.left == left &&
      rect.top == top) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "window " << rect.right - rect.left << " x " << rect.bottom - rect.top << " at "
         << rect.left << ", " << rect.top << "; expected " << width << " x " << height << " at "
         << left << ", " << top << " for side " << side << ", tiles " << size;
}

namespace {
// Where a record of the link map lies in the running program; 0 when unknown.
uintptr_t RemoteAddress(const Session& session, const char* symbol) {
  uintptr_t address = MapAddress(symbol[0] == '_' ? symbol + 1 : symbol);
  uintptr_t preferred = MapAddress("__image_base__");
  if (session.process.hProcess == nullptr || address == 0 || preferred == 0) return 0;
  uintptr_t& base = const_cast<Session&>(session).imageBase;
  if (base == 0) {
    // Where the image actually lies (a Windows with ASLR may have moved it).
    HMODULE modules[1];
    DWORD needed = 0;
    if (EnumProcessModules(session.process.hProcess, modules, sizeof modules, &needed))
      base = reinterpret_cast<uintptr_t>(modules[0]);
    if (base == 0) return 0;
  }
  return address - preferred + base;
}
}  // namespace

bool ReadSymbol(const Session& session, const char* symbol, void* buffer, size_t size) {
  const uintptr_t remote = RemoteAddress(session, symbol);
  SIZE_T got = 0;
  return remote != 0 &&
         ReadProcessMemory(session.process.hProcess, reinterpret_cast<const void*>(remote), buffer,
                           size, &got) &&
         got == size;
}

bool WriteSymbol(const Session& session, const char* symbol, const void* buffer, size_t size) {
  const uintptr_t remote = RemoteAddress(session, symbol);
  SIZE_T put = 0;
  return remote != 0 &&
         WriteProcessMemory(session.process.hProcess, reinterpret_cast<void*>(remote), buffer, size,
                            &put) &&
         put == size;
}

bool ReadSnapshot(const Session& session, Snapshot* snapshot) {
  return ReadSymbol(session, "_Board", snapshot->board, sizeof snapshot->board) &&
         ReadSymbol(session, "_Game", &snapshot->game, sizeof snapshot->game) &&
         ReadSymbol(session, "_GameState", &snapshot->state, sizeof snapshot->state);
}

Snapshot ReadSnapshot(const Session& session) {
  Snapshot snapshot = {};
  EXPECT_TRUE(ReadSnapshot(session, &snapshot)) << "the records cannot be read";
  return snapshot;
}

bool FindCell(const Snapshot& snapshot, int low, int high, int* column, int* row) {
  for (int c = 1; c <= snapshot.game.columns; ++c) {
    for (int r = 1; r <= snapshot.game.rows; ++r) {
      if (snapshot.board[c][r] >= low && snapshot.board[c][r] <= high) {
        *column = c;
        *row = r;
        return true;
      }
    }
  }
  return false;
}

namespace {
// The whole screen (the Wine virtual desktop) as a 32-bit top-down .bmp.
bool SaveScreenshot(const char* path) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  std::vector<DWORD> pixels = Pixels(screen, 0, 0, width, height);
  ReleaseDC(nullptr, screen);
  for (DWORD& pixel : pixels) pixel |= 0xFF000000;  // opaque for viewers that read alpha
  FILE* file = pixels.empty() ? nullptr : fopen(path, "wb");
  if (file == nullptr) return false;
  BITMAPINFOHEADER info = {sizeof info, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  BITMAPFILEHEADER header = {0x4D42, 0, 0, 0, sizeof header + sizeof info};
  header.bfSize = header.bfOffBits + pixels.size() * 4;
  bool saved = fwrite(&header, sizeof header, 1, file) == 1 &&
               fwrite(&info, sizeof info, 1, file) == 1 &&
               fwrite(pixels.data(), 4, pixels.size(), file) == pixels.size();
  return fclose(file) == 0 && saved;
}

// Saves the screen once per failing test and says where.
struct ScreenshotOnFailure : ::testing::EmptyTestEventListener {
  bool taken = false;
  void OnTestStart(const ::testing::TestInfo&) override {
    taken = false;
    // A screen from an earlier failing run would mislead.
    char path[MAX_PATH];
    PathOfTest(path, sizeof path, ".fail.bmp");
    DeleteFileA(path);
  }
  void OnTestPartResult(const ::testing::TestPartResult& result) override {
    if (!result.failed() || taken) return;
    taken = true;
    char path[MAX_PATH];
    PathOfTest(path, sizeof path, ".fail.bmp");
    CreateDirectoryA(WorkRoot(), nullptr);
    printf(SaveScreenshot(path) ? "e2e: screen at the failure saved to %s\n"
                                : "e2e: could not save the screen to %s\n",
           path);
  }
};
}  // namespace

void InstallFailureScreenshots() {
  ::testing::UnitTest::GetInstance()->listeners().Append(new ScreenshotOnFailure);
}

}  // namespace e2e
