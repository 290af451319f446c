// driver_input.cpp: what the tests do to the program: presses, commands, keys, typing, and
// the buttons and closing of its dialogs.
#include "tests/e2e/driver_internal.h"

namespace e2e {
using namespace internal;

namespace {

LPARAM KeyParameter(int virtualKey, bool up) {
  UINT scan = MapVirtualKeyA(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC);
  LPARAM value = 1 | (static_cast<LPARAM>(scan & 0xFF) << 16);
  if (up) value |= (static_cast<LPARAM>(1) << 30) | (static_cast<LPARAM>(1) << 31);
  return value;
}

}  // namespace

bool Press(const Session& session, int x, int y, Button button, bool post) {
  if (!Usable(session)) return false;
  const LPARAM point = MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
  static const UINT kDowns[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
  static const WPARAM kFlags[] = {MK_LBUTTON, MK_RBUTTON, MK_MBUTTON};
  const UINT down = kDowns[button];
  const WPARAM flags = kFlags[button];
  if (post) {
    return PostMessageA(session.window, down, flags, point) &&
           PostMessageA(session.window, down + 1, 0, point) && Flush(session);
  }
  return Send(session.window, down, flags, point) && Send(session.window, down + 1, 0, point);
}

int ScreenTile(const Session& session, const GameRecord& game) {
  return (session.art > 0 ? session.art : game.size) * session.factor;
}

bool PressCell(const Session& session, int column, int row, Button button, bool post) {
  GameRecord game = {};
  ReadSymbol(session, "_Game", &game, sizeof game);
  if (game.size <= 0) game.size = 18;
  const int tile = ScreenTile(session, game);
  return Press(session, (column - 1) * tile + tile / 2, (row - 1) * tile + tile / 2, button, post);
}

bool Command(const Session& session, int id, bool post) {
  if (!Usable(session)) return false;
  const WPARAM command = static_cast<WPARAM>(id);
  if (post) return PostMessageA(session.window, WM_COMMAND, command, 0) && Flush(session);
  return Send(session.window, WM_COMMAND, command, 0);
}

bool Key(const Session& session, int virtualKey, HWND target, bool flush) {
  if (target == nullptr) target = session.window;
  const WPARAM key = static_cast<WPARAM>(virtualKey);
  return PostMessageA(target, WM_KEYDOWN, key, KeyParameter(virtualKey, false)) &&
         PostMessageA(target, WM_KEYUP, key, KeyParameter(virtualKey, true)) &&
         (!flush || Flush(session));
}

bool Keys(const Session& session, const std::vector<int>& virtualKeys, int repeats) {
  // A Flush first puts the probe in place while the program is idle: under Wine, loading it (a
  // thread of ours in the program) while the program translated posted keys has once in some ten
  // runs corrupted the program's heap ("corrupted double-linked list", and the program gone).
  if (!Usable(session) || !Flush(session)) return false;
  for (int virtualKey : virtualKeys) {
    const WPARAM key = static_cast<WPARAM>(virtualKey);
    const LPARAM down = KeyParameter(virtualKey, false);
    for (int i = 0; i <= repeats; ++i) {  // the repeats with the previous-state bit set
      if (!PostMessageA(session.window, WM_KEYDOWN, key, i == 0 ? down : down | (1 << 30)))
        return false;
    }
    if (!PostMessageA(session.window, WM_KEYUP, key, KeyParameter(virtualKey, true))) return false;
  }
  return Flush(session);
}

bool InputKeys(const Session& session, const std::vector<int>& virtualKeys, int repeats) {
  DWORD front = 0;
  GetWindowThreadProcessId(GetForegroundWindow(), &front);
  if (!Usable(session) || (front != session.process.dwProcessId && !WaitUntil([&] {
                             return SetForegroundWindow(session.window) &&
                                    GetForegroundWindow() == session.window;
                           })))
    return false;
  std::vector<INPUT> events;
  for (int virtualKey : virtualKeys) {
    INPUT event = {};
    event.type = INPUT_KEYBOARD;
    event.ki.wVk = static_cast<WORD>(virtualKey);
    event.ki.wScan =
        static_cast<WORD>(MapVirtualKeyA(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC));
    events.insert(events.end(), static_cast<size_t>(repeats) + 1, event);
    event.ki.dwFlags = KEYEVENTF_KEYUP;
    events.push_back(event);
  }
  const UINT count =
      static_cast<UINT>(static_cast<int>(events.size()));  // size_t is UINT in 32 bits
  return SendInput(count, events.data(), sizeof(INPUT)) == count;
}

bool SetText(HWND dialog, int controlId, const char* text) {
  HWND control = GetDlgItem(dialog, controlId);
  return control != nullptr && Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
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

}  // namespace e2e
