// driver.h: drives the real torvane.exe from another process, for the end-to-end tests.
//
// The program is a black box: each test copies it into a fresh folder of its own (so its
// settings file torvane.ini is private), starts it, and then acts and observes only as a
// person or a debugger could: messages to its windows, window texts and rectangles, menu
// strings, status-bar parts, pixels, the settings file, the exit code, and (where a test must
// know the hidden mines) the program's records read from its memory at the addresses of the
// link map.
//
// Every wait polls with a timeout; nothing sleeps to guess. Procedures that can fail return
// false (or a null handle) rather than asserting, so tests say what they expected.
//
// Typical use:
//   e2e::Session session;                      // ends the program when it goes out of scope
//   ASSERT_TRUE(e2e::Start(session));          // fresh folder, default settings
//   e2e::PressCell(session, 3, 4, e2e::kLeft); // a synchronous left press on cell (3, 4)
//   ASSERT_TRUE(e2e::PostCommand(session, IDM_BEST_SCORES));
//   HWND dialog = e2e::WaitForDialog(session, IDC_SCORE_LIST);
//   ASSERT_TRUE(e2e::CloseDialog(dialog));
//   DWORD code;
//   ASSERT_TRUE(e2e::Close(session, &code));   // WM_CLOSE, then the exit code
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "game/game.h"  // Board side, GS_* values, GameRecord, SettingsRecord, ScoreEntry
#include "res/resource_ids.h"

namespace e2e {

constexpr DWORD kTimeoutMs = 5000;  // default for every wait

// One running copy of torvane.exe. Keep it on the stack: the destructor ends the program if
// the test left early (a failed ASSERT), so no process outlives its test.
struct Session {
  PROCESS_INFORMATION process = {};
  HWND window = nullptr;             // the visible top-level "TORVANE" window
  char folder[MAX_PATH] = {};        // private folder holding the copy of the program
  char program[MAX_PATH] = {};       // folder\torvane.exe
  char settingsPath[MAX_PATH] = {};  // folder\torvane.ini
  uintptr_t imageBase = 0;           // where the program's image was loaded
  uintptr_t probeModule = 0;         // the menu probe loaded into the program (Wine only)
  Session() = default;
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  ~Session();
};

// --- Where things are (compiled-in Z: paths of the build; the environment variables
// TORVANE_EXE, TORVANE_MAP and TORVANE_E2E_WORK override them).
const char* ProgramPath();  // the built torvane.exe
const char* MapPath();      // its link map
const char* WorkRoot();     // the folder under which every test gets its own folder

// --- Life cycle.
// A fresh, empty folder WorkRoot()\name (made from the running gtest's suite and test names
// when name is null) holding a copy of the program. Anything left there before is removed.
bool PrepareFolder(Session& session, const char* name = nullptr);
// Writes the settings file byte for byte (use "\r\n" line ends as the program does).
bool WriteSettingsFile(const Session& session, const char* text);
// Starts the copy; with waitForWindow, waits until the main window is visible and the program
// has finished starting (its message loop answered). Without it (a program expected to fail
// at start-up) it returns as soon as the process exists.
bool Launch(Session& session, bool waitForWindow = true);
// PrepareFolder (test name), WriteSettingsFile when settingsText is not null, Launch. A test
// that runs two copies at once names the second one's folder itself (PrepareFolder, Launch).
bool Start(Session& session, const char* settingsText = nullptr);
// Waits for the process to end; false on timeout.
bool WaitForExit(Session& session, DWORD* exitCode, DWORD timeoutMs = kTimeoutMs);
// Posts WM_CLOSE to the main window and waits for the exit code.
bool Close(Session& session, DWORD* exitCode);
bool IsRunning(const Session& session);
// Ends a program still running (TerminateProcess) and releases the handles. Idempotent.
void EndSession(Session& session);
// The settings file as written by the program. length gets the byte count (the buffer is also
// zero-terminated); false when the file is missing or does not fit.
bool ReadSettingsFile(const Session& session, char* buffer, size_t capacity,
                      size_t* length = nullptr);

// --- Waiting for the program.
// A SendMessage round-trip: true once the program's thread has handled every message SENT so
// far (and is not stuck). Posted messages may still be waiting: use Flush for those.
bool Sync(const Session& session, DWORD timeoutMs = kTimeoutMs);
// Waits until every message POSTED so far to any window of the program's thread has been
// retrieved and handled (a marker posted behind them must come through). Works while a modal
// dialog runs its own loop, and when they end the program (then true once it has ended).
// Use after PostMessage; the Post* helpers below call it already.
bool Flush(const Session& session, DWORD timeoutMs = kTimeoutMs);
// Polls until predicate(context) is true; false on timeout.
bool WaitUntil(bool (*predicate)(void* context), void* context, DWORD timeoutMs = kTimeoutMs);

// --- Mouse presses at client points of the main window (button down then up, with the MK_
// flags a real press carries).
enum Button { kLeft, kRight };
// Synchronous (SendMessage): the rule has run when this returns. Never use it for a press that
// can open a modal dialog (the flag that wins): SendMessage would wait for the dialog to close.
bool Press(const Session& session, int x, int y, Button button);
// Posted, then Flush: returns once the press has been handled, even if it opened a modal
// dialog (which is then open).
bool PostPress(const Session& session, int x, int y, Button button);
// The centre of cell (column, row), numbered from 1, for the tile size of the running game.
POINT CellCentre(const Session& session, int column, int row);
bool PressCell(const Session& session, int column, int row, Button button);
bool PostPressCell(const Session& session, int column, int row, Button button);

// --- Commands and keys.
// WM_COMMAND sent synchronously (returns after the command ran; blocks while a dialog it
// opens is open, so use PostCommand for 200, 201, 300).
bool SendCommand(const Session& session, int id);
// WM_COMMAND posted, then Flush.
bool PostCommand(const Session& session, int id);
// A key press (WM_KEYDOWN then WM_KEYUP with a virtual key such as VK_F2, VK_ESCAPE) posted to
// the main window: it goes through the program's own accelerator translation. Then Flush.
bool PressKey(const Session& session, int virtualKey);

// --- Dialogs: visible #32770 windows of the program owned by its main window, identified by
// a control id only their template has (IDC_SCORE_LIST, IDC_ABOUT_NAME,
// IDC_CONGRATULATION_TEXT, IDC_NAME_EDIT, IDC_GRID_EDIT).
HWND FindDialog(const Session& session, int controlId);
HWND WaitForDialog(const Session& session, int controlId, DWORD timeoutMs = kTimeoutMs);
// Any visible dialog of the program, or null.
HWND FindAnyDialog(const Session& session);
// Any visible top-level window of the program with this class ("#32770" for a message box).
HWND FindProcessWindow(const Session& session, const char* className);
// Waits until the window is gone or hidden.
bool WaitForGone(HWND window, DWORD timeoutMs = kTimeoutMs);
// Control texts through WM_GETTEXT / WM_SETTEXT (both carried between processes).
bool GetItemText(HWND dialog, int controlId, char* buffer, int capacity);
bool SetItemText(HWND dialog, int controlId, const char* text);
// Check boxes and radio buttons: BST_CHECKED, BST_UNCHECKED, or -1 on failure.
int GetCheck(HWND dialog, int controlId);
// Types text into a control as key strokes would (WM_CHAR posted per character), then Flush.
bool TypeText(const Session& session, HWND control, const char* text);
// A button press (BM_CLICK posted to the button), then Flush.
bool ClickButton(const Session& session, HWND dialog, int controlId);
// The close box (WM_SYSCOMMAND SC_CLOSE posted), then Flush.
bool CloseDialog(const Session& session, HWND dialog);
// The Escape key pressed in the dialog (on its focused control), then Flush.
bool PressEscape(const Session& session, HWND dialog);
// List box lines (LB_GETCOUNT, LB_GETTEXT): count or -1; the line at index.
int ListCount(HWND dialog, int controlId);
bool ListLine(HWND dialog, int controlId, int index, char* buffer, int capacity);

// --- The main window.
bool WindowTitle(HWND window, char* buffer, int capacity);  // also for dialogs
bool WindowRect(HWND window, RECT* rect);                   // screen coordinates
bool ClientRect(HWND window, RECT* rect);                   // client coordinates
// Status-bar part 0, 1 or 2 (SB_GETTEXT through memory in the program's process).
bool StatusText(const Session& session, int part, char* buffer, int capacity);
// Menu bar title at position 0..2, and the text and state of the item with a command id, as
// the program's menu holds them. Windows lets another process read a menu; under Wine the
// driver loads a small probe (torvane_e2e_probe.dll) into the program to read it there.
bool MenuTitle(const Session& session, int position, char* buffer, int capacity);
bool MenuItemText(const Session& session, int commandId, char* buffer, int capacity);
// MF_GRAYED / MF_DISABLED bits of the item's state (0 when enabled), -1 on failure.
int MenuItemState(const Session& session, int commandId);
// A pixel of the main window's client area as it is on the screen.
COLORREF ClientPixel(const Session& session, int x, int y);

// --- The program's records, read from its memory (symbols of the link map, such as "_Board",
// "_Game", "_GameState", "_Settings", "_ScoreTable", "_LanguageOffset").
bool ReadSymbol(const Session& session, const char* symbol, void* buffer, size_t size);
struct Snapshot {
  signed char board[kBoardSide][kBoardSide];  // [column][row]
  GameRecord game;
  int32_t state;
};
bool ReadSnapshot(const Session& session, Snapshot* snapshot);

// --- Evidence on failure.
// The whole screen (the Wine virtual desktop) as a 24-bit .bmp.
bool SaveScreenshot(const char* path);
// Installs a gtest listener that, at the first failure of each test, saves a screenshot
// WorkRoot()\<Suite>.<Test>.fail.bmp and prints its path. The test program's main does it.
void InstallFailureScreenshots();

}  // namespace e2e
