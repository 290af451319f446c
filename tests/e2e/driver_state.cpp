// driver_state.cpp: what the tests read of the program: its dialogs and their controls, the
// status bar, the menus (through the probe where Wine hides them), the window's place, and the
// records in its memory at the addresses of the link map.
#include "tests/e2e/driver_internal.h"

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <map>

#include "tests/e2e/probe.h"

namespace e2e {
using namespace internal;

namespace {

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
    uintptr_t value = 0;
    char name[128], rest[2];
    // "__image_base__ = 0x..." gives the base the image prefers.
    int got = line[0] == ' ' ? sscanf(line, " 0x%" SCNxPTR " %127s %1s", &value, name, rest) : 0;
    if ((got == 2 || (got == 3 && rest[0] == '=')) && strcmp(name, symbol) == 0) address = value;
  }
  if (file != nullptr) fclose(file);
  if (address != 0) found[symbol] = address;
  return address;
}

}  // namespace

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

int GetCheck(HWND dialog, int controlId) {
  HWND control = GetDlgItem(dialog, controlId);
  DWORD_PTR state = 0;
  return control && Send(control, BM_GETCHECK, 0, 0, &state) ? static_cast<int>(state) : -1;
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
  const WPARAM index = static_cast<WPARAM>(part);
  if (Send(bar, SB_GETTEXTLENGTHA, index, 0, &length) && LOWORD(length) < remoteSize &&
      Send(bar, SB_GETTEXTA, index, reinterpret_cast<LPARAM>(remote)) &&
      ReadProcessMemory(process, remote, local, LOWORD(length) + 1, nullptr)) {
    text.assign(local, LOWORD(length));
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return text;
}

std::vector<int> StatusPartEdges(const Session& session) {
  HWND bar = Usable(session) ? GetDlgItem(session.window, IDC_STATUS_BAR) : nullptr;
  int edges[8] = {};
  HANDLE process = session.process.hProcess;
  void* remote = bar != nullptr
                     ? VirtualAllocEx(process, nullptr, sizeof edges, MEM_COMMIT, PAGE_READWRITE)
                     : nullptr;
  if (remote == nullptr) return {};
  std::vector<int> found;
  DWORD_PTR parts = 0;
  if (Send(bar, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(remote), &parts) && parts <= 8 &&
      ReadProcessMemory(process, remote, edges, sizeof edges, nullptr)) {
    found.assign(edges, edges + parts);
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return found;
}

namespace {
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
  const uintptr_t entry = ProbeExport(session, kProbeMenuExport);
  if (entry == 0) return false;
  HANDLE process = session.process.hProcess;
  void* remote = VirtualAllocEx(process, nullptr, sizeof(MenuProbe), MEM_COMMIT, PAGE_READWRITE);
  if (remote == nullptr) return false;
  DWORD result = 0;
  bool answered = WriteProcessMemory(process, remote, probe, sizeof *probe, nullptr) &&
                  RunRemote(session, entry, remote, &result) &&
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
  return static_cast<int>(probe.state & (MF_GRAYED | MF_DISABLED | MF_CHECKED));
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

void PredictUncover(Grid& board, int side, int column, int row) {
  board[column][row] = static_cast<signed char>(~board[column][row]);
  if (board[column][row] != 0) return;
  for (int c = column - 1; c <= column + 1; ++c)
    for (int r = row - 1; r <= row + 1; ++r)
      if (c >= 1 && c <= side && r >= 1 && r <= side && board[c][r] >= -15 && board[c][r] <= -1)
        PredictUncover(board, side, c, r);
}

::testing::AssertionResult BoardIs(const Grid& expected, const Session& session) {
  const Snapshot s = ReadSnapshot(session);
  for (int c = 0; c < kBoardSide; ++c)
    for (int r = 0; r < kBoardSide; ++r)
      if (expected[c][r] != s.board[c][r])
        return ::testing::AssertionFailure() << "cell " << c << "," << r << " is " << +s.board[c][r]
                                             << ", expected " << +expected[c][r];
  return ::testing::AssertionSuccess();
}
}  // namespace e2e
