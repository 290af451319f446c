// test_accessible.cpp: the grid as a screen reader reads it: the program's accessible object
// asked from this process, in both languages, with its errors; its events seen by an
// out-of-context hook; and every cell read inside the program, in each view.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <cstdio>
#include <memory>
#include <set>
#include <string>

#include "res/string_table.h"
#include "tests/e2e/driver.h"

namespace {

using e2e::kLeft;
using e2e::kRight;

VARIANT Child(LONG id) {
  VARIANT child;
  VariantInit(&child);
  child.vt = VT_I4;
  child.lVal = id;
  return child;
}

// The program's ANSI text of an answer, which is freed; "<null>" for none.
std::string Narrow(BSTR text) {
  if (text == nullptr) return "<null>";
  char narrow[256] = {};
  WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
  SysFreeString(text);
  return narrow;
}

// Name, value, role and state of a child as one line, or what failed.
std::string Read(IAccessible* grid, LONG id) {
  BSTR name = nullptr, value = nullptr;
  VARIANT role, state;
  VariantInit(&role);
  VariantInit(&state);
  const HRESULT answers[] = {
      grid->get_accName(Child(id), &name), grid->get_accValue(Child(id), &value),
      grid->get_accRole(Child(id), &role), grid->get_accState(Child(id), &state)};
  char line[512];
  snprintf(line, sizeof line, "%s = %s (role %ld, state 0x%lx)", Narrow(name).c_str(),
           Narrow(value).c_str(), role.vt == VT_I4 ? role.lVal : -1L,
           state.vt == VT_I4 ? state.lVal : -1L);
  for (HRESULT answer : answers)
    if (answer != S_OK) snprintf(line, sizeof line, "error 0x%lx", answer);
  return line;
}

// A cell's name in the language given.
std::string Place(int column, int row, bool french) {
  char name[64];
  snprintf(name, sizeof name, french ? "Colonne %d, ligne %d" : "Column %d, row %d", column, row);
  return name;
}

// What a cell must read: its place and what it shows.
std::string Cell(int column, int row, const char* shown, bool french, bool focused = false) {
  char line[256];
  snprintf(line, sizeof line, "%s = %s (role %d, state 0x%lx)", Place(column, row, french).c_str(),
           shown, ROLE_SYSTEM_CELL, STATE_SYSTEM_FOCUSABLE | (focused ? STATE_SYSTEM_FOCUSED : 0L));
  return line;
}

std::string Around(int mines, bool french) {
  char text[32];
  snprintf(text, sizeof text, "%d mine%s %s", mines, mines > 1 ? "s" : "",
           french ? "autour" : "around");
  return text;
}

// The status bar as a person reads it: its texts with a blank between.
std::string StatusLine(const e2e::Session& session) {
  std::string line;
  for (int part = 0; part < 3; ++part) {
    const std::string text = e2e::StatusText(session, part);
    if (!text.empty()) line += (line.empty() ? "" : " ") + text;
  }
  return line;
}

// COM on this thread, and the grid's object as a screen reader gets it from another process.
class Accessible : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
  void TearDown() override {
    if (grid != nullptr) grid->Release();
    CoUninitialize();
  }
  bool Connect() {
    return SUCCEEDED(AccessibleObjectFromWindow(session.window, static_cast<DWORD>(OBJID_CLIENT),
                                                __uuidof(IAccessible),
                                                reinterpret_cast<void**>(&grid))) &&
           grid != nullptr;
  }
  LONG Id(int column, int row) const { return (row - 1) * columns + column; }
  std::string GridValue() {
    BSTR value = nullptr;
    return grid->get_accValue(Child(CHILDID_SELF), &value) == S_OK ? Narrow(value) : "<error>";
  }

  e2e::Session session;
  IAccessible* grid = nullptr;
  int columns = 10;
};

TEST_F(Accessible, CellsReadAsShownAfterAFloodAFlagAndAnExplosionInBothLanguages) {
  ASSERT_TRUE(e2e::Start(session));
  ASSERT_TRUE(Connect());
  e2e::Snapshot s = e2e::ReadSnapshot(session);
  int empty[2], mine[2], safe[2];
  ASSERT_TRUE(e2e::FindCell(s, -1, -1, &empty[0], &empty[1]));
  ASSERT_TRUE(e2e::FindCell(s, kCoveredMine, kCoveredMine, &mine[0], &mine[1]));

  // The grid: a table named by the caption, its value the status bar's texts as shown.
  BSTR name = nullptr;
  VARIANT role;
  LONG count = 0;
  EXPECT_TRUE(grid->get_accName(Child(CHILDID_SELF), &name) == S_OK && Narrow(name) == "Torvane");
  EXPECT_TRUE(grid->get_accRole(Child(CHILDID_SELF), &role) == S_OK && role.vt == VT_I4 &&
              role.lVal == ROLE_SYSTEM_TABLE);
  EXPECT_TRUE(grid->get_accChildCount(&count) == S_OK && count == 100);
  EXPECT_EQ("Mines:16 Undos:3", GridValue());
  // The parent is the window's own standard object, which tells the window it stands for.
  IDispatch* parent = nullptr;
  IOleWindow* window = nullptr;
  HWND parentWindow = nullptr;
  ASSERT_EQ(S_OK, grid->get_accParent(&parent));
  ASSERT_TRUE(
      SUCCEEDED(parent->QueryInterface(__uuidof(IOleWindow), reinterpret_cast<void**>(&window))));
  EXPECT_TRUE(window->GetWindow(&parentWindow) == S_OK && parentWindow == session.window);
  window->Release();
  parent->Release();

  // A cell's place on the screen, what lies at a point, and the cells around it.
  const LONG id = Id(empty[0], empty[1]);
  EXPECT_EQ(Cell(empty[0], empty[1], "covered", false), Read(grid, id));
  POINT corner = {(empty[0] - 1) * 18, (empty[1] - 1) * 18};
  ClientToScreen(session.window, &corner);
  LONG left, top, width, height;
  ASSERT_EQ(S_OK, grid->accLocation(&left, &top, &width, &height, Child(id)));
  EXPECT_TRUE(left == corner.x && top == corner.y && width == 18 && height == 18)
      << left << "," << top << " " << width << "x" << height;
  VARIANT at;
  EXPECT_TRUE(grid->accHitTest(left + 17, top, &at) == S_OK && at.vt == VT_I4 && at.lVal == id);
  EXPECT_TRUE(grid->accHitTest(left - 10000, top, &at) == S_FALSE && at.vt == VT_EMPTY);
  const struct {
    LONG direction, from, to;
  } moves[] = {{NAVDIR_RIGHT, Id(3, 7), Id(4, 7)},   {NAVDIR_UP, Id(3, 7), Id(3, 6)},
               {NAVDIR_DOWN, Id(3, 10), 0},          {NAVDIR_LEFT, Id(1, 4), 0},
               {NAVDIR_NEXT, Id(10, 1), Id(1, 2)},   {NAVDIR_FIRSTCHILD, CHILDID_SELF, 1},
               {NAVDIR_LASTCHILD, CHILDID_SELF, 100}};
  for (const auto& move : moves) {
    VARIANT end;
    const HRESULT answer = grid->accNavigate(move.direction, Child(move.from), &end);
    EXPECT_EQ(move.to != 0 ? S_OK : S_FALSE, answer) << move.direction << " from " << move.from;
    EXPECT_EQ(move.to, end.vt == VT_I4 ? end.lVal : 0) << move.direction << " from " << move.from;
  }

  // A flood, a flag and an explosion: each cell then reads as the play view shows it.
  ASSERT_TRUE(e2e::PressCell(session, empty[0], empty[1], kLeft));
  s = e2e::ReadSnapshot(session);
  int number[2];
  ASSERT_TRUE(e2e::FindCell(s, 1, 8, &number[0], &number[1]));
  ASSERT_TRUE(e2e::FindCell(s, -9, -1, &safe[0], &safe[1]));
  ASSERT_TRUE(e2e::PressCell(session, safe[0], safe[1], kRight));
  ASSERT_TRUE(e2e::PressCell(session, mine[0], mine[1], kLeft));
  const int mines = s.board[number[0]][number[1]];
  const LONG flag = Id(safe[0], safe[1]), blast = Id(mine[0], mine[1]);
  const LONG numbered = Id(number[0], number[1]);
  EXPECT_EQ(Cell(empty[0], empty[1], "empty", false), Read(grid, id));
  EXPECT_EQ(Cell(number[0], number[1], Around(mines, false).c_str(), false), Read(grid, numbered));
  EXPECT_EQ(Cell(safe[0], safe[1], "flag", false), Read(grid, flag));
  EXPECT_EQ(Cell(mine[0], mine[1], "exploded mine", false), Read(grid, blast));
  EXPECT_TRUE(e2e::WaitUntil([&] { return GridValue() == StatusLine(session); }))
      << GridValue() << " against " << StatusLine(session);
  EXPECT_EQ(0u, GridValue().find("0'0")) << GridValue();
  BSTR action = nullptr;
  EXPECT_TRUE(grid->get_accDefaultAction(Child(id), &action) == S_OK &&
              Narrow(action) == "Uncover");

  // The solution view, then the same in French after the language switch.
  ASSERT_TRUE(e2e::Command(session, IDM_SEE_SOLUTION));
  EXPECT_EQ(Cell(mine[0], mine[1], "mine", false), Read(grid, blast));
  EXPECT_EQ(Cell(safe[0], safe[1], "wrong flag", false), Read(grid, flag));
  ASSERT_TRUE(e2e::Command(session, IDM_LANGUAGE));
  EXPECT_EQ(Cell(mine[0], mine[1], "mine", true), Read(grid, blast));
  EXPECT_EQ(Cell(safe[0], safe[1], "drapeau erron\xe9", true), Read(grid, flag));
  EXPECT_EQ(Cell(empty[0], empty[1], "vide", true), Read(grid, id));
  EXPECT_EQ(Cell(number[0], number[1], Around(mines, true).c_str(), true), Read(grid, numbered));
  EXPECT_TRUE(grid->get_accDefaultAction(Child(id), &action) == S_OK &&
              Narrow(action) == "D\351couvrir");

  // A screen reader still holding the object does not keep the program from ending well.
  EXPECT_TRUE(e2e::Close(session));
}

TEST_F(Accessible, BadInputsGetTheirErrorsAndNoAnswer) {
  ASSERT_TRUE(e2e::Start(session));
  ASSERT_TRUE(Connect());
  VARIANT wrongType;
  VariantInit(&wrongType);
  wrongType.vt = VT_I2;
  wrongType.iVal = 1;
  for (const VARIANT& bad : {Child(-1), Child(101), wrongType}) {
    BSTR text = nullptr;
    VARIANT out;
    VariantInit(&out);
    LONG number = 0;
    EXPECT_EQ(E_INVALIDARG, grid->get_accName(bad, &text));
    EXPECT_EQ(E_INVALIDARG, grid->get_accValue(bad, &text));
    EXPECT_EQ(E_INVALIDARG, grid->get_accDefaultAction(bad, &text));
    EXPECT_EQ(nullptr, text) << "an answer was made";
    EXPECT_EQ(E_INVALIDARG, grid->get_accRole(bad, &out));
    EXPECT_EQ(E_INVALIDARG, grid->get_accState(bad, &out));
    EXPECT_EQ(E_INVALIDARG, grid->accLocation(&number, &number, &number, &number, bad));
    EXPECT_EQ(E_INVALIDARG, grid->accNavigate(NAVDIR_RIGHT, bad, &out));
    EXPECT_EQ(E_INVALIDARG, grid->accDoDefaultAction(bad));
  }
  VARIANT out;
  VariantInit(&out);
  EXPECT_EQ(E_INVALIDARG, grid->accNavigate(NAVDIR_FIRSTCHILD, Child(1), &out));
  EXPECT_EQ(E_INVALIDARG, grid->accNavigate(NAVDIR_MAX, Child(1), &out));
  // Nothing changed on the board.
  EXPECT_EQ(GS_READY, e2e::ReadSnapshot(session).state);
}

// What an out-of-context hook of this thread sees of the program's grid: event and child.
std::set<std::pair<DWORD, LONG>> Events;
HWND Watched;
void CALLBACK Record(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                     DWORD) {
  if (window == Watched && object == OBJID_CLIENT) Events.insert({event, child});
}
// The hook's events arrive as messages of this thread: all those raised so far, once the
// program has handled what raised them.
std::set<std::pair<DWORD, LONG>> TakeEvents() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  std::set<std::pair<DWORD, LONG>> taken;
  taken.swap(Events);
  return taken;
}

TEST_F(Accessible, EventsTellEachCellThatChangedAndTheCounters) {
  ASSERT_TRUE(e2e::Start(session));
  Watched = session.window;
  HWINEVENTHOOK hook =
      SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE, nullptr, Record,
                      session.process.dwProcessId, 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(nullptr, hook);
  TakeEvents();
  const e2e::Snapshot before = e2e::ReadSnapshot(session);
  int column, row;
  ASSERT_TRUE(e2e::FindCell(before, -1, -1, &column, &row));
  ASSERT_TRUE(e2e::PressCell(session, column, row, kLeft, true));
  const e2e::Snapshot after = e2e::ReadSnapshot(session);
  // Each cell the flood uncovered, and the grid for the clock's first text.
  std::set<std::pair<DWORD, LONG>> expected = {{EVENT_OBJECT_VALUECHANGE, CHILDID_SELF}};
  for (int c = 1; c <= 10; ++c)
    for (int r = 1; r <= 10; ++r)
      if (before.board[c][r] != after.board[c][r])
        expected.insert({EVENT_OBJECT_VALUECHANGE, Id(c, r)});
  EXPECT_EQ(expected, TakeEvents());

  ASSERT_TRUE(e2e::FindCell(after, -9, -1, &column, &row));
  ASSERT_TRUE(e2e::PressCell(session, column, row, kRight, true));
  expected = {{EVENT_OBJECT_VALUECHANGE, Id(column, row)}, {EVENT_OBJECT_VALUECHANGE, 0}};
  EXPECT_EQ(expected, TakeEvents()) << "a flag, and the mines left";
  ASSERT_TRUE(e2e::FindCell(after, 0, 8, &column, &row));
  ASSERT_TRUE(e2e::PressCell(session, column, row, kRight, true));
  for (const auto& event : TakeEvents())
    EXPECT_EQ(CHILDID_SELF, event.second) << "a rejected press changes no cell";
  // The clock's next second, with no input.
  std::set<std::pair<DWORD, LONG>> tick;
  EXPECT_TRUE(e2e::WaitUntil([&] { return !(tick = TakeEvents()).empty(); }, 3000));
  expected = {{EVENT_OBJECT_VALUECHANGE, CHILDID_SELF}};
  EXPECT_EQ(expected, tick);
  ASSERT_TRUE(Connect());
  EXPECT_TRUE(e2e::WaitUntil([&] { return GridValue() == StatusLine(session); }))
      << GridValue() << " against " << StatusLine(session);
  EXPECT_NE(0u, GridValue().find("0'00")) << GridValue();
  UnhookWinEvent(hook);
}

// Every cell of a 30 x 30 grid read inside the program, holding each value a cell can hold in
// turn, in the play and solution views and in both languages; and its answers to calls given
// null out-pointers.
TEST_F(Accessible, EveryCellReadInsideTheProgramInEachViewAndLanguage) {
  columns = 30;
  ASSERT_TRUE(e2e::Start(session, e2e::SettingsText(30, 15, 4)));
  ASSERT_TRUE(e2e::PressCell(session, 30, 30, kRight));  // the game runs: the play view
  e2e::Snapshot s = e2e::ReadSnapshot(session);
  const int values[] = {kFlaggedMine, -25, -17, kCoveredMine, -9, -2, kCoveredEmpty, 0, 1, 8,
                        kExplodedMine};
  for (int c = 1; c <= 30; ++c)
    for (int r = 1; r <= 30; ++r) s.board[c][r] = static_cast<signed char>(values[(c + r) % 11]);
  ASSERT_TRUE(e2e::WriteSymbol(session, "_Board", s.board, sizeof s.board));
  auto report = std::make_unique<WalkReport>();
  const struct {
    e2e::View view;
    bool french;
  } walks[] = {{e2e::kPlayView, false}, {e2e::kSolutionView, false}, {e2e::kSolutionView, true}};
  for (const auto& walk : walks) {
    if (walk.view == e2e::kSolutionView) {
      ASSERT_TRUE(e2e::Command(session, walk.french ? IDM_LANGUAGE : IDM_SEE_SOLUTION));
    }
    ASSERT_TRUE(e2e::WalkCells(session, report.get()));
    ASSERT_EQ(900, report->cells);
    EXPECT_EQ(0, report->failures);
    int wrong = 0;
    std::string first;
    for (int c = 1; c <= 30; ++c) {
      for (int r = 1; r <= 30; ++r) {
        const int tile = e2e::TileFor(s.board[c][r], walk.view);
        const std::string name = Place(c, r, walk.french);
        const char* shown =
            FindStringEntry(IDS_TILE_TEXT_BASE + tile + (walk.french ? 0 : ENGLISH_OFFSET));
        const LONG id = Id(c, r);
        if (name != report->names[id - 1] || std::string(shown) != report->values[id - 1]) {
          if (wrong++ == 0)
            first = name + ", value " + std::to_string(s.board[c][r]) + ": " +
                    report->names[id - 1] + " = " + report->values[id - 1];
        }
      }
    }
    EXPECT_EQ(0, wrong) << "the first: " << first;
  }
  for (int i = 0; i < kNullOutCalls; ++i) EXPECT_EQ(E_POINTER, report->nullOut[i]) << "call " << i;
}

}  // namespace
