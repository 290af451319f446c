// driver.h: drives the real torvane.exe from another process, for the end-to-end tests.
//
// The program is a black box: each session copies it into a fresh folder of its own (so its
// settings file torvane.ini is private), starts it, and then acts and observes only as a
// person or a debugger could: messages to its windows, window texts and rectangles, menu
// strings, status-bar parts, pixels, the settings file, the exit code, and (where a test must
// know the hidden mines) the program's records read from its memory at the addresses of the
// link map.
//
// Every wait polls with a timeout; nothing sleeps to guess. Procedures that can fail return
// false, null or "<unreadable>" rather than asserting, so tests say what they expected; only
// the record readers that return a value (Read, ReadSnapshot) flag an unreadable record.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "game/game.h"  // Board side, GS_* values, GameRecord, SettingsRecord, ScoreEntry
#include "res/resource_ids.h"
#include "res/tile_scale.h"   // TileScale, the program's record of the display's scale
#include "tests/e2e/probe.h"  // WalkReport

namespace e2e {

constexpr DWORD kTimeoutMs = 5000;  // default for every wait

// One running copy of torvane.exe. Keep it on the stack: the destructor ends the program if
// the test left early (a failed ASSERT), so no process outlives its test.
struct Session {
  PROCESS_INFORMATION process = {};
  HWND window = nullptr;             // the visible top-level "TORVANE" window
  char folder[MAX_PATH] = {};        // private folder holding the copy of the program
  char settingsPath[MAX_PATH] = {};  // folder\torvane.ini
  uintptr_t imageBase = 0;           // where the program's image was loaded
  uintptr_t probeModule = 0;         // the probe loaded into the program (probe.h)
  uintptr_t flushSeen = 0;           // where the probe keeps the last flush marker handled
  WPARAM flushes = 0;                // flush markers posted so far
  // The tiles the screen must show, for a test of another display scale: the art size, each of
  // its pixels a factor x factor block (art 0: the game's own size, once, as at 96 DPI).
  int art = 0;
  int factor = 1;
  Session() = default;
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  ~Session();
};

const char* ProgramPath();  // the built torvane.exe

// A registry value set for one test and put back afterwards (the keys it made stay, empty): the
// test program shares the programs' Wine prefix.
struct RegistryValue {
  RegistryValue(HKEY root, const std::string& key, const char* name, const std::string& text);
  RegistryValue(HKEY root, const std::string& key, const char* name, DWORD number);
  RegistryValue(const RegistryValue&) = delete;
  RegistryValue& operator=(const RegistryValue&) = delete;
  ~RegistryValue();
  LSTATUS Set(const std::string& text) const;  // another text, put back as the first was
  void Replace(DWORD newType, const void* data, DWORD size);
  HKEY root;
  std::string key;
  const char* name;
  DWORD type = REG_NONE;  // of the value replaced; none there: REG_NONE
  std::vector<BYTE> old;
};
// The display's scale in dots per inch (96 is 100 %) for programs started from now on: Wine reads
// HKCU\Control Panel\Desktop LogPixels as each program starts.
RegistryValue DisplayDpi(DWORD dpi);

// Polls until done() is true; false on timeout.
template <typename Condition>
bool WaitUntil(Condition done, DWORD timeoutMs = kTimeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(2);
  }
  return true;
}

// --- Life cycle.
// The first lines of a settings file (the keys of the language chosen, "\r\n" line ends),
// followed by the score lines given.
std::string SettingsText(int grid = 10, int size = 18, int ratio = 6, bool french = false,
                         int sound = 0, const char* scores = "");
// A folder of the build named after the running test, holding a copy of the program and that
// settings file (none when the text is empty); starts the copy and waits until its main window is
// visible and its message loop answers.
bool Start(Session& session, const std::string& settings = SettingsText());
// Start in two steps, for a start that must not reach the main window: Prepare makes the folder,
// the copy and the settings file; Launch starts the copy and returns at once.
bool Prepare(Session& session, const std::string& settings);
bool Launch(Session& session);
// Launch, then wait for the main window as Start does: for a folder changed after Prepare.
bool StartPrepared(Session& session);
// Waits for the program's end and checks its exit code (0 unless told).
::testing::AssertionResult Ended(Session& session, DWORD expectedCode = 0);
// WM_CLOSE, then Ended.
::testing::AssertionResult Close(Session& session);
// The settings file as written by the program; false when it is missing.
bool ReadSettingsFile(const Session& session, std::string* text);
// Line number `line` (from 1) of a file's text, without its line end; "<none>" past the end.
std::string Line(const std::string& text, int line);
// Start for a copy of the program that lies in a folder of its own (an unzipped download): the
// folder stays as it is, with whatever settings file it holds.
bool StartIn(Session& session, const char* folder);
// Whether the program has a DLL of this file name loaded now (as loaded at its first need).
bool HasLoaded(const Session& session, const char* dll);
// A path given to the tests at build time (UTF-8, Z: and forward slashes) as the program's own
// paths are: in the ANSI code page, with backslashes; "" when the code page lacks a character.
std::string BuildPath(const char* utf8);

// --- Waiting for the program.
// A SendMessage round-trip: the program's thread has handled every message SENT so far.
bool Sync(const Session& session);
// Waits until every message POSTED so far to the program's thread has been handled (a marker
// posted behind them must come through). Works while a modal dialog runs its own loop, and
// when they end the program. The posting helpers below call it already.
bool Flush(const Session& session);

// --- Input to the main window. With post, the messages are posted and flushed: use it for
// anything that can open a modal dialog (a winning flag, commands 200, 201, 300), which a
// sent message would wait for.
enum Button { kLeft, kRight, kMiddle };
// A press (button down then up, with the MK_ flags a real press carries) at a client point.
bool Press(const Session& session, int x, int y, Button button, bool post = false);
// The same at the centre of cell (column, row), numbered from 1, for the running game's tiles.
bool PressCell(const Session& session, int column, int row, Button button, bool post = false);
// The side of the game's tiles on the screen, as the session expects them: art x factor.
int ScreenTile(const Session& session, const GameRecord& game);
bool Command(const Session& session, int id, bool post = false);
// A key (WM_KEYDOWN then WM_KEYUP) posted to a window of the program, then Flush unless told not
// to (for a key whose handling may wait on another program); to the main window (null) it goes
// through the program's accelerators.
bool Key(const Session& session, int virtualKey, HWND target = nullptr, bool flush = true);
// Key presses as the keyboard gives them (WM_KEYDOWN, `repeats` more as its auto-repeat sends
// them, then WM_KEYUP, with their scan codes), all posted to the main window in order through the
// program's message loop, then one Flush.
bool Keys(const Session& session, const std::vector<int>& virtualKeys, int repeats = 0);
// The same through the system's input queue (SendInput), to the program's window in front (its
// main window brought there first if none is); input comes after posted messages: no Flush.
bool InputKeys(const Session& session, const std::vector<int>& virtualKeys, int repeats = 0);

// --- Dialogs: visible #32770 windows owned by the main window, told apart by a control only
// their template has (IDC_SCORE_LIST, IDC_ABOUT_NAME, IDC_CONGRATULATION_TEXT, IDC_NAME_EDIT,
// IDC_GRID_EDIT); controlId 0 finds any dialog of the program.
HWND FindDialog(const Session& session, int controlId);
HWND WaitForDialog(const Session& session, int controlId);
// Posts the command and waits for the dialog it opens.
HWND OpenDialog(const Session& session, int command, int controlId);
// Waits until the window is gone or hidden.
bool WaitForGone(HWND window);
// The text of a window, or of its control when controlId is not 0; "<unreadable>" if none.
std::string Text(HWND window, int controlId = 0);
bool SetText(HWND dialog, int controlId, const char* text);
int GetCheck(HWND dialog, int controlId);  // BST_CHECKED, BST_UNCHECKED, or -1
// Types text into a control as key strokes would (WM_CHAR per character), then Flush.
bool TypeText(const Session& session, HWND control, const char* text);
// BM_CLICK posted to the button, then Flush.
bool ClickButton(const Session& session, HWND dialog, int controlId);
// Ends a dialog: the close box (WM_SYSCOMMAND SC_CLOSE), or Escape on its focused control.
bool CloseDialog(const Session& session, HWND dialog);
bool PressEscape(const Session& session, HWND dialog);
// The lines of a list box, as the program's own ANSI texts.
std::vector<std::string> ListLines(HWND dialog, int controlId);

// --- The main window.
// Status-bar part 0, 1 or 2 (SB_GETTEXT through memory in the program's process).
std::string StatusText(const Session& session, int part);
// The right edges of the status bar's parts (SB_GETPARTS, likewise); empty if unreadable.
std::vector<int> StatusPartEdges(const Session& session);
// A menu bar title (byPosition, 0..2) or the text of the item with a command id; the state:
// its MF_GRAYED / MF_DISABLED / MF_CHECKED bits, -1 on failure. Under Wine a probe DLL loaded into
// the program reads them there, since Wine does not let another process read a menu.
std::string MenuText(const Session& session, int item, bool byPosition = false);
int MenuState(const Session& session, int commandId);
// Every cell of the client area on the screen against the program's own tile for its value, at
// the session's art and factor: each screen pixel (x, y) of a cell is the art's pixel (x / factor,
// y / factor). With the cursor (shown), its cell keeps the tile's edge and symbol, and changes
// every other pixel to a colour that no symbol pixel beside it has (in pixels of the art).
enum View { kCoveredView, kPlayView, kSolutionView };
::testing::AssertionResult GridShows(const Session& session, View view, bool withCursor = false);
// Outer size and place: grid side x tile size plus the frame, centred on the screen.
::testing::AssertionResult WindowFits(const Session& session, int side, int size);
// Every pixel of the client area outside the grid and above the status bar shows this colour
// on the screen; fails too when there is no such area.
::testing::AssertionResult AroundGridShows(const Session& session, COLORREF colour);
// Which tile a cell value shows in a view, as the player sees it (TILE_COVERED to TILE_EXPLODED).
int TileFor(int value, View view);

// --- The program's records, read from its memory (symbols of the link map, such as "_Board",
// "_Game", "_GameState", "_Settings", "_ScoreTable").
bool ReadSymbol(const Session& session, const char* symbol, void* buffer, size_t size);
// Sets a record as a debugger would, for a state that no deal can be made to give.
bool WriteSymbol(const Session& session, const char* symbol, const void* buffer, size_t size);
template <typename T>
T Read(const Session& session, const char* symbol) {
  T value = {};
  EXPECT_TRUE(ReadSymbol(session, symbol, &value, sizeof value)) << symbol;
  return value;
}
struct Snapshot {
  signed char board[kBoardSide][kBoardSide];  // [column][row]
  GameRecord game;
  int32_t state;
};
bool ReadSnapshot(const Session& session, Snapshot* snapshot);
Snapshot ReadSnapshot(const Session& session);  // zeroed (and a failure) when unreadable
// The first grid cell, in column order, whose value lies in [low, high]; false if none.
bool FindCell(const Snapshot& snapshot, int low, int high, int* column, int* row);
using Grid = signed char[kBoardSide][kBoardSide];  // a board, [column][row]
// What a left press on the covered cell (column, row) leaves, worked out from the rules on a copy
// of the board: its number, or the flood from an empty cell.
void PredictUncover(Grid& board, int side, int column, int row);
// Fails at the first cell where the program's board differs from the one expected.
::testing::AssertionResult BoardIs(const Grid& expected, const Session& session);

// Saves what the screen shows of a window, frame and all, as a .bmp once it has stopped
// changing; false if it could not.
bool SaveWindowPicture(HWND window, const char* path);
// A rectangle of the screen as it shows now, top-down, as 0x00RRGGBB; empty if unreadable.
std::vector<DWORD> ScreenPixels(int x, int y, int width, int height);

// WM_DPICHANGED sent to the main window from inside the program, as Windows sends it when the
// window reaches a monitor of another scale: the new DPI and the rectangle suggested.
bool ChangeDpi(const Session& session, int dpi, const RECT& suggested);

// --- A compatibility mode ("Windows XP SP3") as its shims make one: GetVersion then answers 5.1
// in the program. (Wine 8 ignores __COMPAT_LAYER, which asks Windows for the mode.)
bool LieAboutVersion(const Session& session);

// --- Screen readers inside the program: the probe's walk of every cell's name and value through
// the grid's accessible object, on the program's thread (probe.h); false if it could not run.
bool WalkCells(const Session& session, WalkReport* report);

// Installs a gtest listener that, at the first failure of each test, saves the whole screen
// beside the sessions' folders as <Suite>.<Test>.fail.bmp and prints its path.
void InstallFailureScreenshots();

}  // namespace e2e
