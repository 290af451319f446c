// test_accessible.cpp: the grid as a screen reader reads it: the program's accessible object
// asked from this process in both languages, with its errors and its events seen by an
// out-of-context hook; and every cell read inside the program, in each view.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "res/string_table.h"
#include "tests/e2e/driver.h"

namespace {

using e2e::kLeft;
using e2e::kRight;

LONG Id(int column, int row, int columns = 10) {
  return (row - 1) * columns + column;
}

// An answer as the program's ANSI text, freed; "<none>" for DISP_E_MEMBERNOTFOUND, "<error>"
// for any other answer than S_OK.
std::string Text(HRESULT answer, BSTR text) {
  char narrow[256] = "<error>";
  if (answer == DISP_E_MEMBERNOTFOUND) snprintf(narrow, sizeof narrow, "<none>");
  if (answer == S_OK && text != nullptr)
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
  SysFreeString(text);
  return narrow;
}

// A child's text, asked by one of the calls for a text.
using TextCall = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
std::string Ask(IAccessible* grid, TextCall call, LONG id) {
  BSTR text = nullptr;
  const HRESULT answer = (grid->*call)(Child(id), &text);
  return Text(answer, text);
}

// Name, value, role and state of a child, as one line.
std::string Read(IAccessible* grid, LONG id) {
  BSTR name = nullptr, value = nullptr;
  VARIANT role = {}, state = {};
  const HRESULT named = grid->get_accName(Child(id), &name);
  const HRESULT valued = grid->get_accValue(Child(id), &value);
  grid->get_accRole(Child(id), &role);
  grid->get_accState(Child(id), &state);
  char line[512];
  snprintf(line, sizeof line, "%s = %s (role %ld, state 0x%lx)", Text(named, name).c_str(),
           Text(valued, value).c_str(), role.vt == VT_I4 ? role.lVal : -1L,
           state.vt == VT_I4 ? state.lVal : -1L);
  return line;
}

// What a cell must read: its place and what it shows, and its role and state.
std::string Shown(int column, int row, const std::string& shown, bool french) {
  char line[256];
  snprintf(line, sizeof line, french ? "Colonne %d, rang\351e %d = %s" : "Column %d, row %d = %s",
           column, row, shown.c_str());
  return line;
}
std::string Cell(int column, int row, const std::string& shown, bool french, LONG more = 0) {
  char state[64];
  snprintf(state, sizeof state, " (role %d, state 0x%lx)", ROLE_SYSTEM_CELL,
           STATE_SYSTEM_FOCUSABLE | more);
  return Shown(column, row, shown, french) + state;
}

// What get_accFocus names: a child id, or -1 for none.
LONG Focus(IAccessible* grid) {
  VARIANT focus = {};
  return grid->get_accFocus(&focus) == S_OK && focus.vt == VT_I4 ? focus.lVal : -1;
}

// What an out-of-context hook of this thread sees of the program's grid: event and child. The
// events arrive as messages of this thread: Take gives those raised so far, once the program
// has handled what raised them.
using Events = std::multiset<std::pair<DWORD, LONG>>;
Events Seen;
HWND Watched;
LONG LastFocus;  // where a reader stands: the last focus event's child
void CALLBACK Record(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                     DWORD) {
  if (window != Watched || object != OBJID_CLIENT) return;
  Seen.insert({event, child});
  if (event == EVENT_OBJECT_FOCUS) LastFocus = child;
}
Events Take() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  return std::exchange(Seen, {});
}

// From another process, as a screen reader asks: the grid, cells before and after keyboard
// moves, a flood, a flag and an explosion in both languages, the events of each change, the
// default action against Space, and bad calls; the clock, the solution, and a win under dialogs.
TEST(Accessible, CellsReadAsShownChangesAreToldTheFocusFollowsTheCursorBadCallsFail) {
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session));
  IAccessible* grid = nullptr;
  ASSERT_TRUE(SUCCEEDED(AccessibleObjectFromWindow(session.window, static_cast<DWORD>(OBJID_CLIENT),
                                                   __uuidof(IAccessible),
                                                   reinterpret_cast<void**>(&grid))));
  const e2e::Snapshot dealt = e2e::ReadSnapshot(session);
  int empty[2], mine[2], safe[2], number[2];
  ASSERT_TRUE(e2e::FindCell(dealt, -1, -1, &empty[0], &empty[1]));
  ASSERT_TRUE(e2e::FindCell(dealt, kCoveredMine, kCoveredMine, &mine[0], &mine[1]));

  // The grid: a table named as the window, its value the status bar as shown, its parent the
  // window's own object, which tells the window it stands for.
  LONG count = 0;
  IDispatch* parent = nullptr;
  IOleWindow* window = nullptr;
  HWND parentWindow = nullptr;
  EXPECT_EQ(0u, Read(grid, CHILDID_SELF).find("Torvane = Mines:16 Undos:3 (role 24,"));
  EXPECT_TRUE(grid->get_accChildCount(&count) == S_OK && count == 100);
  ASSERT_EQ(S_OK, grid->get_accParent(&parent));
  ASSERT_EQ(S_OK, parent->QueryInterface(__uuidof(IOleWindow), reinterpret_cast<void**>(&window)));
  EXPECT_TRUE(window->GetWindow(&parentWindow) == S_OK && parentWindow == session.window);
  window->Release();
  parent->Release();

  // A cell's place on the screen, what lies at a point, and the cells around a cell.
  const LONG id = Id(empty[0], empty[1]);
  POINT corner = {(empty[0] - 1) * 18, (empty[1] - 1) * 18};
  ClientToScreen(session.window, &corner);
  LONG left, top, width, height;
  VARIANT at;
  ASSERT_EQ(S_OK, grid->accLocation(&left, &top, &width, &height, Child(id)));
  EXPECT_TRUE(left == corner.x && top == corner.y && width == 18 && height == 18);
  EXPECT_TRUE(grid->accHitTest(left + 17, top, &at) == S_OK && at.vt == VT_I4 && at.lVal == id);
  EXPECT_TRUE(grid->accHitTest(left - 10000, top, &at) == S_FALSE && at.vt == VT_EMPTY);
  // The grid's own rectangle is its cells': a point over the status bar is not the grid's.
  POINT origin = {0, 0};
  ClientToScreen(session.window, &origin);
  ASSERT_EQ(S_OK, grid->accLocation(&left, &top, &width, &height, Child(CHILDID_SELF)));
  EXPECT_TRUE(left == origin.x && top == origin.y && width == 180 && height == 180);
  RECT bar = {};
  GetWindowRect(FindWindowExA(session.window, nullptr, "msctls_statusbar32", nullptr), &bar);
  EXPECT_TRUE(grid->accHitTest(bar.left + 5, bar.top + 5, &at) == S_FALSE && bar.bottom > bar.top);
  const LONG moves[][3] = {{NAVDIR_RIGHT, Id(3, 7), Id(4, 7)}, {NAVDIR_UP, Id(3, 7), Id(3, 6)},
                           {NAVDIR_DOWN, Id(3, 10), 0},        {NAVDIR_LEFT, Id(1, 4), 0},
                           {NAVDIR_NEXT, Id(10, 1), Id(1, 2)}, {NAVDIR_LASTCHILD, 0, 100}};
  for (const auto& move : moves) {
    VARIANT end = {};
    EXPECT_EQ(move[2] != 0 ? S_OK : S_FALSE, grid->accNavigate(move[0], Child(move[1]), &end));
    EXPECT_EQ(move[2], end.vt == VT_I4 ? end.lVal : 0) << move[0] << " from " << move[1];
  }

  // A child outside the grid or a VARIANT of another type: an error, no answer, nothing played.
  VARIANT wrongType = Child(1);
  wrongType.vt = VT_I2;
  for (const VARIANT& bad : {Child(-1), Child(101), wrongType}) {
    BSTR text = nullptr;
    VARIANT out = {};
    EXPECT_EQ(E_INVALIDARG, grid->get_accName(bad, &text));
    EXPECT_EQ(E_INVALIDARG, grid->get_accValue(bad, &text));
    EXPECT_EQ(nullptr, text) << "an answer was made";
    EXPECT_EQ(E_INVALIDARG, grid->get_accRole(bad, &out));
    EXPECT_EQ(E_INVALIDARG, grid->get_accState(bad, &out));
    EXPECT_EQ(E_INVALIDARG, grid->accLocation(&left, &top, &width, &height, bad));
    EXPECT_EQ(E_INVALIDARG, grid->accNavigate(NAVDIR_RIGHT, bad, &out));
    EXPECT_EQ(E_INVALIDARG, grid->accDoDefaultAction(bad));
  }
  EXPECT_EQ(E_INVALIDARG, grid->accNavigate(NAVDIR_FIRSTCHILD, Child(1), &at));
  EXPECT_EQ(GS_READY, e2e::ReadSnapshot(session).state);

  // Each key that shows or moves the keyboard's cursor gives its cell the focus, with one event.
  Watched = session.window;
  HWINEVENTHOOK hook =
      SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_VALUECHANGE, nullptr, Record,
                      session.process.dwProcessId, 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(nullptr, hook);
  Take();
  EXPECT_EQ(CHILDID_SELF, Focus(grid)) << "the window has the focus, the cursor is hidden";
  const int keys[][3] = {{VK_RIGHT, 1, 1},  {VK_RIGHT, 2, 1},  {VK_DOWN, 2, 2},  {VK_END, 10, 2},
                         {VK_NEXT, 10, 10}, {VK_NEXT, 10, 10}, {VK_HOME, 1, 10}, {VK_PRIOR, 1, 1}};
  LONG last = 0;
  for (const auto& key : keys) {
    ASSERT_TRUE(e2e::Keys(session, {key[0]}));
    const LONG cell = Id(key[1], key[2]);
    EXPECT_EQ(cell, Focus(grid));
    EXPECT_EQ(Cell(key[1], key[2], "covered", false, STATE_SYSTEM_FOCUSED), Read(grid, cell));
    EXPECT_EQ((cell != last ? Events{{EVENT_OBJECT_FOCUS, cell}} : Events{}), Take()) << key[0];
    last = cell;
  }
  EXPECT_EQ(Cell(1, 10, "covered", false), Read(grid, Id(1, 10))) << "the cell left";

  // A flood by the mouse: each cell it uncovered; the press hides the cursor, and the grid takes
  // the focus back. The clock's first text is no change of the counters.
  ASSERT_TRUE(e2e::PressCell(session, empty[0], empty[1], kLeft, true));
  e2e::Snapshot s = e2e::ReadSnapshot(session);
  Events expected = {{EVENT_OBJECT_FOCUS, CHILDID_SELF}};
  for (int c = 1; c <= 10; ++c)
    for (int r = 1; r <= 10; ++r)
      if (dealt.board[c][r] != s.board[c][r]) expected.insert({EVENT_OBJECT_VALUECHANGE, Id(c, r)});
  EXPECT_EQ(expected, Take());
  EXPECT_EQ(CHILDID_SELF, Focus(grid));
  // A flag: its cell, and once the grid for the mines left; a rejected press changes no cell.
  ASSERT_TRUE(e2e::FindCell(s, 1, 8, &number[0], &number[1]));
  ASSERT_TRUE(e2e::FindCell(s, -9, -1, &safe[0], &safe[1]));
  ASSERT_TRUE(e2e::PressCell(session, safe[0], safe[1], kRight, true));
  expected = {{EVENT_OBJECT_VALUECHANGE, Id(safe[0], safe[1])}, {EVENT_OBJECT_VALUECHANGE, 0}};
  EXPECT_EQ(expected, Take());
  ASSERT_TRUE(e2e::PressCell(session, number[0], number[1], kRight, true));
  for (const auto& event : Take()) EXPECT_EQ(CHILDID_SELF, event.second) << "a rejected press";
  // Five seconds of the clock, as it ticks: a reader on the grid hears nothing of them.
  const int32_t started = e2e::Read<GameRecord>(session, "_Game").elapsedSeconds;
  Events ticks;
  auto ticked = [&] {
    ticks.merge(Take());
    return e2e::Read<GameRecord>(session, "_Game").elapsedSeconds >= started + 5;
  };
  EXPECT_TRUE(e2e::WaitUntil(ticked, 8000) && e2e::Flush(session));
  ticks.merge(Take());
  EXPECT_EQ(Events{}, ticks);
  std::string line;
  EXPECT_TRUE(e2e::WaitUntil([&] {
    line = e2e::StatusText(session, 0) + " " + e2e::StatusText(session, 1) + " " +
           e2e::StatusText(session, 2);
    return Read(grid, CHILDID_SELF).find("Torvane = " + line + " (role 24,") == 0;
  })) << Read(grid, CHILDID_SELF);
  EXPECT_NE(0u, line.find("0'00")) << line;

  // An explosion; each cell then reads as the play view shows it, then as the solution view
  // does, then the same in French: none takes a move, and the grid tells why. Each step is told.
  s = e2e::ReadSnapshot(session);
  ASSERT_TRUE(e2e::PressCell(session, mine[0], mine[1], kLeft));
  const int around = s.board[number[0]][number[1]];
  const std::string mines = std::to_string(around) + (around > 1 ? " mines " : " mine ");
  const struct {
    int* cell;
    std::string shown[3];
  } cells[] = {{empty, {"empty", "empty", "vide"}},
               {number, {mines + "around", mines + "around", mines + "autour"}},
               {safe, {"flag", "wrong flag", "drapeau erron\xe9"}},
               {mine, {"exploded mine", "mine", "mine"}}};
  const char* described[] = {"Mine exploded, Esc to undo", "Solution shown",
                             "Solution affich\351e"};
  // What each step tells of the grid: the mines left and the description, the description, the
  // children named anew and the description in the other language.
  const Events told[] = {{{EVENT_OBJECT_VALUECHANGE, 0}, {EVENT_OBJECT_DESCRIPTIONCHANGE, 0}},
                         {{EVENT_OBJECT_DESCRIPTIONCHANGE, 0}},
                         {{EVENT_OBJECT_REORDER, 0}, {EVENT_OBJECT_DESCRIPTIONCHANGE, 0}}};
  for (int step = 0; step < 3; ++step) {
    if (step > 0) {
      ASSERT_TRUE(e2e::Command(session, step == 1 ? IDM_SEE_SOLUTION : IDM_LANGUAGE));
    }
    Events toldOfGrid;
    for (const auto& event : Take())
      if (event.second == CHILDID_SELF) toldOfGrid.insert(event);
    EXPECT_EQ(told[step], toldOfGrid) << step;
    EXPECT_EQ(described[step], Ask(grid, &IAccessible::get_accDescription, CHILDID_SELF));
    for (const auto& c : cells) {
      const LONG cell = Id(c.cell[0], c.cell[1]);
      EXPECT_EQ(Cell(c.cell[0], c.cell[1], c.shown[step], step == 2, STATE_SYSTEM_UNAVAILABLE),
                Read(grid, cell));
      EXPECT_EQ("<none>", Ask(grid, &IAccessible::get_accDefaultAction, cell));
      EXPECT_EQ(DISP_E_MEMBERNOTFOUND, grid->accDoDefaultAction(Child(cell)));
    }
  }

  // The default action and Space, each on the board before the explosion: on an uncovered
  // number beside a covered safe cell, its mines all flagged (the chord), on a covered safe
  // cell, on a mine; and none on a flag or an uncovered empty cell, where Space does nothing.
  int targets[5][2] = {{0, 0}, {0, 0}, {0, 0}, {safe[0], safe[1]}, {empty[0], empty[1]}};
  const char* actions[] = {"D\351couvrir autour", "D\351couvrir", "D\351couvrir", "<none>",
                           "<none>"};
  for (int c = 1; c <= 10; ++c)
    for (int r = 1; r <= 10; ++r)
      for (int n = 0; n < 9 && s.board[c][r] >= 1 && s.board[c][r] <= 8; ++n)
        if (IsCoveredSafe(s.board[c - 1 + n / 3][r - 1 + n % 3]) &&
            (abs(c - safe[0]) > 1 || abs(r - safe[1]) > 1))  // not beside the wrong flag
          targets[0][0] = c, targets[0][1] = r;
  ASSERT_NE(0, targets[0][0]);
  for (int n = 0; n < 9; ++n) {
    signed char& next = s.board[targets[0][0] - 1 + n / 3][targets[0][1] - 1 + n % 3];
    if (next == kCoveredMine) next = kFlaggedMine;
  }
  ASSERT_TRUE(e2e::FindCell(s, -9, -1, &targets[1][0], &targets[1][1]));
  ASSERT_TRUE(e2e::FindCell(s, kCoveredMine, kCoveredMine, &targets[2][0], &targets[2][1]));
  for (const auto& target : targets) {
    const auto t = &target - targets;  // the first three act
    e2e::Snapshot played[2];
    for (int way = 0; way < 2; ++way) {
      const CursorRecord cursor = {target[0], target[1], 1};
      ASSERT_TRUE(e2e::WriteSymbol(session, "_Board", s.board, sizeof s.board) &&
                  e2e::WriteSymbol(session, "_Game", &s.game, sizeof s.game) &&
                  e2e::WriteSymbol(session, "_GameState", &s.state, sizeof s.state) &&
                  e2e::WriteSymbol(session, "_Cursor", &cursor, sizeof cursor));
      if (way == 0) {
        EXPECT_EQ(actions[t],
                  Ask(grid, &IAccessible::get_accDefaultAction, Id(target[0], target[1])));
      }
      EXPECT_TRUE(way == 0 ? grid->accDoDefaultAction(Child(Id(target[0], target[1]))) ==
                                 (t < 3 ? S_OK : DISP_E_MEMBERNOTFOUND)
                           : e2e::Keys(session, {VK_SPACE}));
      played[way] = e2e::ReadSnapshot(session);
    }
    EXPECT_EQ(0, memcmp(played[0].board, played[1].board, sizeof s.board))
        << target[0] << target[1];
    EXPECT_EQ(t < 3, memcmp(played[0].board, s.board, sizeof s.board) != 0) << "played " << t;
    EXPECT_TRUE(played[0].state == played[1].state &&
                played[0].game.minesLeft == played[1].game.minesLeft);
  }

  // A win by Enter on the last mine, the flags all right, the cursor moved there first: under
  // the dialogs it opens the grid says the game is won, no cell holds the focus, and a key posted
  // to the grid is refused; once they are closed, the window's focus brings the cell's.
  s.board[safe[0]][safe[1]] = static_cast<signed char>(s.board[safe[0]][safe[1]] + kFlag);
  CursorRecord cursor = {};
  for (int c = 1; c <= 10; ++c)
    for (int r = 1; r <= 10; ++r)
      if (s.board[c][r] == kCoveredMine || s.board[c][r] == kFlaggedMine)
        s.board[c][r] = kFlaggedMine, cursor = {c - 1, r, 1};
  s.board[cursor.column + 1][cursor.row] = kCoveredMine;
  s.game.minesLeft = 1;
  ASSERT_TRUE(e2e::WriteSymbol(session, "_Board", s.board, sizeof s.board) &&
              e2e::WriteSymbol(session, "_Game", &s.game, sizeof s.game) &&
              e2e::WriteSymbol(session, "_GameState", &s.state, sizeof s.state) &&
              e2e::WriteSymbol(session, "_Cursor", &cursor, sizeof cursor));
  ASSERT_TRUE(e2e::Keys(session, {VK_RIGHT, VK_RETURN}));
  ASSERT_NE(nullptr, e2e::WaitForDialog(session, IDC_CONGRATULATION_TEXT));
  const LONG winning = Id(cursor.column + 1, cursor.row);
  Take();
  EXPECT_EQ(-1, Focus(grid));
  EXPECT_EQ(Cell(cursor.column + 1, cursor.row, "drapeau", true, STATE_SYSTEM_UNAVAILABLE),
            Read(grid, winning));
  EXPECT_EQ("Partie gagn\351e", Ask(grid, &IAccessible::get_accDescription, CHILDID_SELF));
  ASSERT_TRUE(e2e::Keys(session, {VK_LEFT}));
  EXPECT_EQ(cursor.column + 1, e2e::Read<CursorRecord>(session, "_Cursor").column);
  for (int control : {IDC_CONGRATULATION_TEXT, IDC_NAME_EDIT}) {
    HWND dialog = e2e::WaitForDialog(session, control);
    ASSERT_TRUE(dialog != nullptr && e2e::ClickButton(session, dialog, IDC_OK));
    ASSERT_TRUE(e2e::WaitForGone(dialog));
  }
  EXPECT_TRUE(e2e::WaitUntil([&] { return Focus(grid) == winning; }));
  Events back;
  EXPECT_TRUE(e2e::WaitUntil([&] {
    back.merge(Take());
    return LastFocus == winning;
  }));
  EXPECT_LE(1u, back.count({EVENT_OBJECT_FOCUS, winning})) << "after the window's own focus";
  UnhookWinEvent(hook);
  // A screen reader still holding the object does not keep the program from ending well.
  EXPECT_TRUE(e2e::Close(session));
  grid->Release();
  CoUninitialize();
}

// Every cell of a 30 x 30 grid read inside the program, holding each value a cell can hold in
// turn, in the play and solution views and in both languages; and the answers to calls given
// null out-pointers.
TEST(Accessible, EveryCellReadInsideTheProgramInEachViewAndLanguage) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session, e2e::SettingsText(30, 15, 4)));
  ASSERT_TRUE(e2e::PressCell(session, 30, 30, kRight));  // the game runs: the play view
  e2e::Snapshot s = e2e::ReadSnapshot(session);
  const int values[] = {kFlaggedMine, -25, -17, kCoveredMine, -9, -2, -1, 0, 1, 8, kExplodedMine};
  for (int c = 1; c <= 30; ++c)
    for (int r = 1; r <= 30; ++r)
      s.board[c][r] = static_cast<signed char>(values[(c + 3 * r) % 11]);
  ASSERT_TRUE(e2e::WriteSymbol(session, "_Board", s.board, sizeof s.board));
  auto report = std::make_unique<WalkReport>();
  for (int step = 0; step < 3; ++step) {
    if (step > 0) {
      ASSERT_TRUE(e2e::Command(session, step == 1 ? IDM_SEE_SOLUTION : IDM_LANGUAGE));
    }
    ASSERT_TRUE(e2e::WalkCells(session, report.get()));
    ASSERT_EQ(900, report->cells);
    EXPECT_EQ(0, report->failures);
    for (int c = 1; c <= 30; ++c) {
      for (int r = 1; r <= 30; ++r) {
        const int tile =
            e2e::TileFor(s.board[c][r], step == 0 ? e2e::kPlayView : e2e::kSolutionView);
        const LONG i = Id(c, r, 30) - 1;
        ASSERT_EQ(
            Shown(c, r,
                  FindStringEntry(IDS_TILE_TEXT_BASE + tile + (step == 2 ? 0 : ENGLISH_OFFSET)),
                  step == 2),
            std::string(report->names[i]) + " = " + report->values[i]);
      }
    }
  }
  for (int i = 0; i < kNullOutCalls; ++i) EXPECT_EQ(E_POINTER, report->nullOut[i]) << "call " << i;
}

}  // namespace
