// test_monkey.cpp: thousands of random presses, chords, keys, commands, language switches and
// dialogs on the real program, with the rules' invariants checked from its memory after every step.
// Hints among them; once with plain games and once with no-guess games.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "res/string_table.h"
#include "tests/e2e/driver.h"

namespace {

using ::testing::AssertionFailure;
using ::testing::AssertionResult;
using ::testing::AssertionSuccess;

struct Monkey {
  e2e::Session session;
  uint32_t random = 1;
  int step = 0;
  int wins = 0;
  int shownAfter = -1;  // what the last action leaves of the cursor: 1 shown, 0 hidden, -1 either
  bool chord = false;   // the last action was a middle press
  int chords = 0;       // middle presses that uncovered cells
  int hintsWithNothing = 0;   // hints that found nothing proven, and said so
  int noGuessDeals = 0;       // no-guess games dealt again at their first uncovering press
  char history[12][96] = {};  // the last actions, for the failure message

  int Below(int bound) {
    // xorshift32: small, seeded, and the same on every platform.
    random ^= random << 13;
    random ^= random >> 17;
    random ^= random << 5;
    return static_cast<int>(random % static_cast<uint32_t>(bound));
  }
  void Note(const char* format, ...) {
    char* line = history[step % 12];
    int used = snprintf(line, sizeof history[0], "step %d: ", step);
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(line + used, sizeof history[0] - static_cast<size_t>(used), format, arguments);
    va_end(arguments);
  }
  std::string History() const {
    std::string text = "last actions:\n";
    for (int i = step < 11 ? 0 : step - 11; i <= step; ++i)
      text += history[i % 12] + std::string("\n");
    return text;
  }
};

bool IsMine(int value) {
  return value == kCoveredMine || value == kFlaggedMine || value == kExplodedMine;
}

// Everything the rules promise about the records, whatever happened before; how many cells are
// uncovered, and whether the flags stand on exactly the mines.
AssertionResult Invariants(const e2e::Snapshot& s, const CursorRecord& cursor, int* uncoveredCells,
                           bool* exactlyTheMines) {
  const GameRecord& g = s.game;
  const int total = g.columns * g.rows / (g.ratio != 0 ? g.ratio : 1);
  if (s.state < GS_READY || s.state > GS_EXPLODED) return AssertionFailure() << "state " << s.state;
  if (g.columns < kMinGrid || g.columns > kMaxGrid || g.rows != g.columns ||
      (g.size != 15 && g.size != 18 && g.size != 21) || g.ratio < 4 || g.ratio > 6 ||
      g.totalMines != total || g.undosLeft < 0 || g.undosLeft > total / 5 || g.elapsedSeconds < 0) {
    return AssertionFailure() << "game " << g.columns << "x" << g.rows << ", tiles " << g.size
                              << ", ratio " << g.ratio << ", " << g.totalMines << " mines, "
                              << g.undosLeft << " undos, " << g.elapsedSeconds << " s";
  }
  int mines = 0, flags = 0, flaggedMines = 0, exploded = 0, uncovered = 0;
  for (int c = 0; c < kBoardSide; ++c) {
    for (int r = 0; r < kBoardSide; ++r) {
      const int value = s.board[c][r];
      if (c < 1 || c > g.columns || r < 1 || r > g.rows) {
        if (value != 0) return AssertionFailure() << "border " << c << "," << r << " = " << value;
        continue;
      }
      if (!(value == -32 || (value >= -25 && value <= -17) || value == -16 ||
            (value >= -9 && value <= 8) || value == 15))
        return AssertionFailure() << "cell " << c << "," << r << " = " << value;
      mines += IsMine(value);
      flags += value <= -17;
      flaggedMines += value == kFlaggedMine;
      exploded += value == kExplodedMine;
      uncovered += value >= 0;
      if (IsMine(value)) continue;
      int around = 0;
      for (int dc = -1; dc <= 1; ++dc)
        for (int dr = -1; dr <= 1; ++dr) around += (dc || dr) && IsMine(s.board[c + dc][r + dr]);
      // The neighbour count a safe cell encodes, whether covered, flagged or uncovered.
      const int count = value <= -17 ? ~(value + kFlag) : value < 0 ? ~value : value;
      if (count != around)
        return AssertionFailure() << "cell " << c << "," << r << " = " << value << " but " << around
                                  << " mines around";
    }
  }
  for (int c : {1, static_cast<int>(g.columns)})
    for (int r : {1, static_cast<int>(g.rows)})
      if (IsMine(s.board[c][r])) return AssertionFailure() << "a mine in corner " << c << "," << r;
  if (mines != total) return AssertionFailure() << mines << " mines on the board, " << total;
  if (exploded > 1 || ((s.state == GS_EXPLODED) != (exploded == 1) && s.state != GS_OVER))
    return AssertionFailure() << "state " << s.state << " with " << exploded << " exploded";
  if (g.minesLeft != total - flags - exploded)
    return AssertionFailure() << "mines left " << g.minesLeft << " with " << total << " mines, "
                              << flags << " flags, " << exploded << " exploded";
  // Only a flag press makes the flags stand on exactly the mines, and that press wins.
  *exactlyTheMines = flags == total && flaggedMines == total;
  if (s.state == GS_RUNNING && *exactlyTheMines)
    return AssertionFailure() << "every mine flagged and no other tile, yet the game runs";
  if (s.state == GS_READY && (flags || uncovered))
    return AssertionFailure() << "a game not started shows " << flags << " flags, " << uncovered
                              << " uncovered cells";
  // A no-guess game is dealt again at its first uncovering press: until then nothing is.
  if (g.noGuess < kPlainGame || g.noGuess > kNoGuessDealt ||
      (g.noGuess == kNoGuessWaiting && uncovered > 0))
    return AssertionFailure() << "no-guess " << g.noGuess << " with " << uncovered
                              << " uncovered cells";
  if (cursor.column < 1 || cursor.column > g.columns || cursor.row < 1 || cursor.row > g.rows ||
      (cursor.shown != 0 && cursor.shown != 1))
    return AssertionFailure() << "cursor " << cursor.column << "," << cursor.row << " shown "
                              << cursor.shown;
  *uncoveredCells = uncovered;
  return AssertionSuccess();
}

// Ends a dialog as a player might: OK, Escape or the close box.
bool Dismiss(Monkey& m, HWND dialog) {
  switch (m.Below(3)) {
    case 0: return e2e::ClickButton(m.session, dialog, IDC_OK);
    case 1: return e2e::PressEscape(m.session, dialog);
    default: return e2e::CloseDialog(m.session, dialog);
  }
}

// Answers the congratulation and name dialogs of a win, and the message of a hint that found
// nothing proven (its OK is IDOK, not the program's own), until none is left.
AssertionResult AnswerDialogs(Monkey& m) {
  for (int round = 0; round < 4; ++round) {
    HWND dialog = e2e::FindDialog(m.session, IDC_CONGRATULATION_TEXT);
    m.wins += dialog != nullptr;
    if (dialog == nullptr && (dialog = e2e::FindDialog(m.session, IDC_NAME_EDIT)) != nullptr &&
        m.Below(2)) {
      char name[16];
      snprintf(name, sizeof name, " Monkey %d ", m.step);
      if (!e2e::TypeText(m.session, GetDlgItem(dialog, IDC_NAME_EDIT), name))
        return AssertionFailure() << "cannot type a name";
    }
    HWND message = dialog == nullptr ? e2e::FindDialog(m.session, 0) : nullptr;
    const std::string text = message != nullptr ? e2e::Text(message, 0xFFFF) : "";
    if (text == FindStringEntry(IDS_GUESS_NEEDED + ENGLISH_OFFSET) ||
        text == FindStringEntry(IDS_GUESS_NEEDED)) {
      m.hintsWithNothing++;
      if (!(m.Below(2) ? e2e::ClickButton(m.session, message, IDOK)
                       : e2e::PressEscape(m.session, message)) ||
          !e2e::WaitForGone(message))
        return AssertionFailure() << "the hint's message does not close";
      continue;
    }
    if (dialog == nullptr) return AssertionSuccess();
    if (!Dismiss(m, dialog) || !e2e::WaitForGone(dialog))
      return AssertionFailure() << "a win dialog does not close";
  }
  return AssertionFailure() << "dialogs keep coming";
}

// Opens one of the three dialogs of the menus, maybe changes the settings, and closes it.
AssertionResult VisitDialog(Monkey& m) {
  static const int kCommands[3] = {IDM_SETTINGS, IDM_BEST_SCORES, IDM_ABOUT};
  static const int kMarks[3] = {IDC_GRID_EDIT, IDC_SCORE_LIST, IDC_ABOUT_NAME};
  const int which = m.Below(3), command = kCommands[which];
  m.Note("dialog of command %d", command);
  HWND dialog = e2e::OpenDialog(m.session, command, kMarks[which]);
  if (dialog == nullptr) return AssertionFailure() << "no dialog for command " << command;
  bool closed;
  if (which == 0 && m.Below(2)) {
    // New settings, taken by the next deal: mostly small grids, which redraw fast, now and
    // then any side up to the largest.
    char grid[8];
    snprintf(grid, sizeof grid, "%d",
             kMinGrid + m.Below(m.Below(5) == 0 ? kMaxGrid - kMinGrid + 1 : 7));
    m.Note("settings: grid %s, then OK", grid);
    closed = e2e::SetText(dialog, IDC_GRID_EDIT, grid) &&
             e2e::ClickButton(m.session, dialog, IDC_SIZE_15 + m.Below(3)) &&
             e2e::ClickButton(m.session, dialog, IDC_LEVEL_HARD + m.Below(3)) &&
             e2e::ClickButton(m.session, dialog, m.Below(3) ? IDC_OK : IDC_CANCEL);
  } else {
    closed = Dismiss(m, dialog);
  }
  // What the dialog posted on closing (a new game) is handled before the next check.
  if (!closed || !e2e::WaitForGone(dialog) || !e2e::Flush(m.session))
    return AssertionFailure() << "the dialog does not close";
  return AssertionSuccess();
}

// Flags around an uncovered number until they count as many as it shows: on its mines, or now
// and then on safe cells, where a chord then explodes. Posted: a flag may win.
bool FlagAround(Monkey& m, const e2e::Snapshot& s, POINT cell) {
  std::vector<POINT> mines, safe;
  int need = s.board[cell.x][cell.y];
  for (int c = cell.x - 1; c <= cell.x + 1; ++c) {
    for (int r = cell.y - 1; r <= cell.y + 1; ++r) {
      need -= s.board[c][r] <= -17;
      if (s.board[c][r] == kCoveredMine) mines.push_back({c, r});
      if (IsCoveredSafe(s.board[c][r])) safe.push_back({c, r});
    }
  }
  if (m.Below(3) == 0) mines.swap(safe);
  bool done = true;
  for (size_t i = 0; i < mines.size() && static_cast<int>(i) < need && done; ++i)
    done = e2e::PressCell(m.session, mines[i].x, mines[i].y, e2e::kRight, true);
  return done;
}

// Keys of keyboard play: a few moves of the cursor, then now and then a key that acts.
AssertionResult PressKeys(Monkey& m) {
  static const int kMoves[8] = {VK_LEFT, VK_RIGHT, VK_UP,    VK_DOWN,
                                VK_HOME, VK_END,   VK_PRIOR, VK_NEXT};
  static const int kActs[8] = {VK_SPACE,  VK_SPACE, VK_RETURN, VK_RETURN,
                               VK_ESCAPE, VK_F2,    VK_F3,     'H'};
  std::vector<int> keys;
  for (int i = m.Below(4); i > 0; --i) keys.push_back(kMoves[m.Below(8)]);
  m.shownAfter = keys.empty() ? -1 : 1;  // a move shows it, and no key that acts hides it
  // Enter may win and open a dialog, which would take the keys after it: it comes last.
  if (keys.empty() || m.Below(2)) keys.push_back(kActs[m.Below(8)]);
  m.Note("%d keys, the last %#x", static_cast<int>(keys.size()), keys.back());
  return e2e::Keys(m.session, keys) ? AssertionSuccess()
                                    : AssertionFailure() << "the program did not take the keys";
}

// One random action. Right presses are posted: a flag may win and open a modal dialog.
AssertionResult Act(Monkey& m, const e2e::Snapshot& before) {
  RECT client;
  if (!GetClientRect(m.session.window, &client)) return AssertionFailure() << "no window";
  const int roll = m.Below(100);
  const int x = m.Below(client.right + 30), y = m.Below(client.bottom + 30);
  // The covered cells, mines and safe ones apart, and the uncovered numbers: apart from them
  // those with as many flags around as they count, where a chord acts.
  std::vector<POINT> mines, safe, numbers, satisfied, wrongFlags;
  for (int c = 1; c <= before.game.columns; ++c) {
    for (int r = 1; r <= before.game.rows; ++r) {
      if (before.board[c][r] == kCoveredMine) mines.push_back({c, r});
      if (before.board[c][r] <= -17 && before.board[c][r] != kFlaggedMine)
        wrongFlags.push_back({c, r});
      if (before.board[c][r] >= -9 && before.board[c][r] <= -1) safe.push_back({c, r});
      const int value = before.board[c][r];
      if (value < 1 || value > 8) continue;
      int flags = 0;
      for (int dc = -1; dc <= 1; ++dc)
        for (int dr = -1; dr <= 1; ++dr) flags += before.board[c + dc][r + dr] <= -17;
      (flags == value ? satisfied : numbers).push_back({c, r});
    }
  }
  m.chord = roll >= 45 && roll < 52;
  const size_t count = mines.size();
  bool done = true;
  // Every mouse press hides the cursor. No press: more mines than one step may flag (or none),
  // or no cell of the kind drawn.
  const size_t presses = count + (roll == 0 ? wrongFlags.size() : 0);
  const bool none = roll < 3 ? presses == 0 || count > 30
                             : roll >= 52 && roll < 72 && (roll < 63 ? mines : safe).empty();
  m.shownAfter = roll < 73 && !none ? 0 : -1;
  if (none) return AssertionSuccess();
  if (roll < 3) {
    // Flags on every mine left, and now and then the wrong flags taken away: a win once only the
    // mines carry flags, unless the game is frozen or over. Only the last press can open a
    // dialog; the others can be sent.
    if (roll == 0) mines.insert(mines.end(), wrongFlags.begin(), wrongFlags.end());
    m.Note("flags on the %d mines left%s", static_cast<int>(count),
           roll == 0 ? ", then the wrong flags taken away" : "");
    for (size_t i = 0; i < mines.size() && done; ++i)
      done = e2e::PressCell(m.session, mines[i].x, mines[i].y, e2e::kRight, i + 1 == mines.size());
  } else if (roll < 45) {
    const bool right = roll >= 25;
    m.Note("%s press at %d,%d", right ? "right" : "left", x, y);
    done = e2e::Press(m.session, x, y, right ? e2e::kRight : e2e::kLeft, right);
  } else if (roll < 52) {
    // The chord: anywhere, on a number, where it acts, or on a number just given its flags.
    const int where = m.Below(4);
    const std::vector<POINT>& cells = where == 2 && !satisfied.empty() ? satisfied : numbers;
    if (where == 0 || cells.empty()) {
      m.Note("middle press at %d,%d", x, y);
      done = e2e::Press(m.session, x, y, e2e::kMiddle, true);
    } else {
      const POINT cell = cells[static_cast<size_t>(m.Below(static_cast<int>(cells.size())))];
      m.Note("%smiddle press on the number at %ld,%ld", where == 3 ? "flags around, " : "", cell.x,
             cell.y);
      done = (where != 3 || FlagAround(m, before, cell)) &&
             e2e::PressCell(m.session, cell.x, cell.y, e2e::kMiddle, true);
    }
  } else if (roll < 72) {
    const std::vector<POINT>& cells = roll < 63 ? mines : safe;
    const POINT cell = cells[static_cast<size_t>(m.Below(static_cast<int>(cells.size())))];
    m.Note("%s at %ld,%ld", roll < 63 ? "flag on the mine" : "left press on the safe cell", cell.x,
           cell.y);
    done =
        e2e::PressCell(m.session, cell.x, cell.y, roll < 63 ? e2e::kRight : e2e::kLeft, roll < 63);
  } else if (roll < 73) {
    m.Note("left press far outside the window");
    done = e2e::Press(m.session, 0xFFFF, 0xFFFF, e2e::kLeft);
  } else if (roll < 84) {
    static const int kCommands[10] = {IDM_NEW_GAME, IDM_NEW_GAME, IDM_SEE_SOLUTION, IDM_UNDO,
                                      IDM_UNDO,     IDM_NOTHING,  IDM_LANGUAGE,     IDM_LANGUAGE,
                                      IDM_HINT,     IDM_NO_GUESS};
    const int command = kCommands[m.Below(10)];
    m.Note("command %d", command);
    // Posted: a hint that proves nothing opens a message.
    done = e2e::Command(m.session, command, command == IDM_HINT);
  } else if (roll < 94) {
    return PressKeys(m);
  } else {
    return VisitDialog(m);
  }
  return done ? AssertionSuccess() : AssertionFailure() << "the program did not take the action";
}

int ConfiguredNumber(const char* variable, int fallback) {
  const char* text = getenv(variable);
  return text != nullptr && atoi(text) != 0 ? atoi(text) : fallback;
}

// Plays at random from a game of 12 x 12 at ratio 5, plain or no-guess as the option says at
// start-up (the monkey may turn it over from the menu).
void RunMonkey(bool noGuess) {
  Monkey m;
  const uint32_t seed = static_cast<uint32_t>(
      ConfiguredNumber("TORVANE_MONKEY_SEED", static_cast<int>(GetTickCount() | 1)));
  const int steps = ConfiguredNumber("TORVANE_MONKEY_STEPS", 2500);
  printf("monkey: seed %u, %d steps (TORVANE_MONKEY_SEED and TORVANE_MONKEY_STEPS set them)\n",
         seed, steps);
  m.random = seed;
  std::string settings = e2e::SettingsText(12, 18, 5);
  if (noGuess) {
    for (int i = 0; i < kScoreEntries; ++i) settings += "0, \r\n";
    settings += "noguess=1\r\n";
  }
  ASSERT_TRUE(e2e::Start(m.session, settings));
  e2e::Snapshot s = e2e::ReadSnapshot(m.session);
  CursorRecord cursor = e2e::Read<CursorRecord>(m.session, "_Cursor");
  int uncovered = 0;
  bool exactlyTheMines = false;
  ASSERT_TRUE(Invariants(s, cursor, &uncovered, &exactlyTheMines));
  const DWORD started = GetTickCount();
  for (m.step = 0; m.step < steps; ++m.step) {
    // Each check names the seed and the last actions, to replay a failure.
    const auto context = [&] { return "seed " + std::to_string(seed) + "\n" + m.History(); };
    const int uncoveredBefore = uncovered, winsBefore = m.wins;
    const bool waiting = s.game.noGuess == kNoGuessWaiting;
    ASSERT_TRUE(Act(m, s)) << context();
    ASSERT_TRUE(AnswerDialogs(m)) << context();
    ASSERT_TRUE(e2e::Sync(m.session)) << "the program ended or hangs; " << context();
    ASSERT_EQ(nullptr, e2e::FindDialog(m.session, 0)) << "a dialog stayed open; " << context();
    ASSERT_TRUE(e2e::ReadSnapshot(m.session, &s)) << context();
    ASSERT_TRUE(e2e::ReadSymbol(m.session, "_Cursor", &cursor, sizeof cursor)) << context();
    ASSERT_TRUE(Invariants(s, cursor, &uncovered, &exactlyTheMines)) << context();
    ASSERT_TRUE(m.wins == winsBefore || exactlyTheMines) << "a win with wrong flags; " << context();
    ASSERT_FALSE(waiting && s.state == GS_EXPLODED)
        << "an explosion at a no-guess game's first uncovering press; " << context();
    m.noGuessDeals += waiting && s.game.noGuess == kNoGuessDealt;
    m.chords += m.chord && uncovered > uncoveredBefore;
    ASSERT_TRUE(m.shownAfter < 0 || cursor.shown == m.shownAfter)
        << "cursor shown " << cursor.shown << "; " << context();
    // Every change of the counter is redrawn at once.
    const std::string status = e2e::StatusText(m.session, 1);
    const size_t colon = status.find(':');
    ASSERT_TRUE(colon != std::string::npos && atoi(status.c_str() + colon + 1) == s.game.minesLeft)
        << "status \"" << status << "\" for " << s.game.minesLeft << " mines left; " << context();
  }
  printf(
      "monkey: %d steps, %d wins, %d chords that uncovered, %d no-guess deals, %d hints that "
      "found nothing, in %lu ms\n",
      steps, m.wins, m.chords, m.noGuessDeals, m.hintsWithNothing, GetTickCount() - started);
  // Each about one step in a hundred: a thousand steps without one means it no longer happens.
  EXPECT_TRUE(steps < 1000 || m.chords > 0) << "no chord uncovered anything; seed " << seed;
  EXPECT_TRUE(!noGuess || steps < 1000 || m.noGuessDeals > 0) << "no no-guess deal; seed " << seed;
  ASSERT_TRUE(e2e::Close(m.session));
  std::string file;
  EXPECT_TRUE(e2e::ReadSettingsFile(m.session, &file));
}

TEST(Monkey, RandomPlayKeepsTheRulesInvariants) {
  RunMonkey(false);
}

TEST(Monkey, RandomPlayWithNoGuessGamesKeepsTheRulesInvariants) {
  RunMonkey(true);
}

}  // namespace
