// test_monkey.cpp: thousands of random presses, keys, commands, language switches and dialogs on
// the real program, with the rules' invariants checked from its memory after every step.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/e2e/driver.h"

namespace {

struct Monkey {
  e2e::Session* session;
  uint32_t random;
  int step;
  char history[12][96];  // the last actions, for the failure message
};

uint32_t Next(Monkey& monkey) {
  // xorshift32: small, seeded, and the same on every platform.
  uint32_t x = monkey.random;
  x ^= x << 13;
  x ^= x >> 17;
  x ^= x << 5;
  monkey.random = x;
  return x;
}

int Below(Monkey& monkey, int bound) {
  return static_cast<int>(Next(monkey) % bound);
}

void Note(Monkey& monkey, const char* format, ...) {
  char* line = monkey.history[monkey.step % 12];
  int used = snprintf(line, sizeof monkey.history[0], "step %d: ", monkey.step);
  va_list arguments;
  va_start(arguments, format);
  vsnprintf(line + used, sizeof monkey.history[0] - used, format, arguments);
  va_end(arguments);
}

std::string History(const Monkey& monkey) {
  std::string text = "last actions:\n";
  for (int i = monkey.step - 11; i <= monkey.step; ++i) {
    if (i < 0) continue;
    text += monkey.history[i % 12];
    text += "\n";
  }
  return text;
}

bool IsMine(int value) {
  return value == kCoveredMine || value == kFlaggedMine || value == kExplodedMine;
}

// The neighbour count a non-mine cell's value encodes, whatever its kind.
int EncodedCount(int value) {
  if (value <= -17) value += kFlag;
  if (value < 0) value = ~value;
  return value;
}

// Everything the rules promise about the records, whatever happened before.
::testing::AssertionResult Invariants(const e2e::Snapshot& s) {
  const GameRecord& game = s.game;
  if (s.state < GS_READY || s.state > GS_EXPLODED)
    return ::testing::AssertionFailure() << "GameState " << s.state;
  if (game.columns < kMinGrid || game.columns > kMaxGrid || game.rows != game.columns)
    return ::testing::AssertionFailure() << "grid " << game.columns << "x" << game.rows;
  if (game.size != 15 && game.size != 18 && game.size != 21)
    return ::testing::AssertionFailure() << "tile size " << game.size;
  if (game.ratio < 4 || game.ratio > 6)
    return ::testing::AssertionFailure() << "ratio " << game.ratio;
  const int total = game.columns * game.rows / game.ratio;
  if (game.totalMines != total)
    return ::testing::AssertionFailure()
           << "total mines " << game.totalMines << ", expected " << total;
  if (game.undosLeft < 0 || game.undosLeft > total / 5)
    return ::testing::AssertionFailure() << "undos left " << game.undosLeft;
  if (game.elapsedSeconds < 0)
    return ::testing::AssertionFailure() << "elapsed " << game.elapsedSeconds;

  int mines = 0, flags = 0, exploded = 0, uncovered = 0;
  for (int c = 0; c < kBoardSide; ++c) {
    for (int r = 0; r < kBoardSide; ++r) {
      const int value = s.board[c][r];
      const bool inGrid = c >= 1 && c <= game.columns && r >= 1 && r <= game.rows;
      if (!inGrid) {
        if (value != 0)
          return ::testing::AssertionFailure() << "border " << c << "," << r << " = " << value;
        continue;
      }
      const bool valid = value == -32 || (value >= -25 && value <= -17) || value == -16 ||
                         (value >= -9 && value <= 8) || value == 15;
      if (!valid)
        return ::testing::AssertionFailure() << "cell " << c << "," << r << " = " << value;
      if (IsMine(value)) ++mines;
      if (value <= -17) ++flags;
      if (value == kExplodedMine) ++exploded;
      if (value >= 0) ++uncovered;
      if (IsMine(value)) continue;
      int around = 0;
      for (int dc = -1; dc <= 1; ++dc)
        for (int dr = -1; dr <= 1; ++dr)
          if ((dc || dr) && IsMine(s.board[c + dc][r + dr])) ++around;
      if (EncodedCount(value) != around)
        return ::testing::AssertionFailure() << "cell " << c << "," << r << " = " << value
                                             << " but " << around << " mines around";
    }
  }
  const int corners[4][2] = {{1, 1}, {1, game.rows}, {game.columns, 1}, {game.columns, game.rows}};
  for (const auto& corner : corners)
    if (IsMine(s.board[corner[0]][corner[1]]))
      return ::testing::AssertionFailure() << "a mine in corner " << corner[0] << "," << corner[1];
  if (mines != total)
    return ::testing::AssertionFailure() << mines << " mines on the board, " << total << " dealt";
  if (exploded > 1) return ::testing::AssertionFailure() << exploded << " exploded mines";
  if ((s.state == GS_EXPLODED) != (exploded == 1) && s.state != GS_OVER)
    return ::testing::AssertionFailure()
           << "state " << s.state << " with " << exploded << " exploded mines";
  if (game.minesLeft != total - flags - exploded)
    return ::testing::AssertionFailure()
           << "mines left " << game.minesLeft << " with " << total << " mines, " << flags
           << " flags, " << exploded << " exploded";
  if (s.state == GS_READY && (flags || uncovered))
    return ::testing::AssertionFailure()
           << "a game not started shows " << flags << " flags, " << uncovered << " uncovered cells";
  return ::testing::AssertionSuccess();
}

// A covered cell of the wanted kind, picked at random; false if there is none.
bool RandomCell(Monkey& monkey, const e2e::Snapshot& s, bool mine, int* column, int* row) {
  int count = 0;
  int cells[kMaxGrid * kMaxGrid][2];
  for (int c = 1; c <= s.game.columns; ++c)
    for (int r = 1; r <= s.game.rows; ++r)
      if ((s.board[c][r] == kCoveredMine) == mine && s.board[c][r] >= -16 && s.board[c][r] <= -1)
        cells[count][0] = c, cells[count][1] = r, ++count;
  if (count == 0) return false;
  int pick = Below(monkey, count);
  *column = cells[pick][0];
  *row = cells[pick][1];
  return true;
}

// Closes a dialog the way a player might: OK, Escape or the close box.
bool Dismiss(Monkey& monkey, HWND dialog) {
  switch (Below(monkey, 3)) {
    case 0: return e2e::ClickButton(*monkey.session, dialog, IDC_OK);
    case 1: return e2e::PressEscape(*monkey.session, dialog);
    default: return e2e::CloseDialog(*monkey.session, dialog);
  }
}

// Answers the congratulation and name dialogs of a win until none is left.
::testing::AssertionResult AnswerWinDialogs(Monkey& monkey, int* wins) {
  for (int round = 0; round < 4; ++round) {
    HWND dialog = e2e::FindDialog(*monkey.session, IDC_CONGRATULATION_TEXT);
    bool isName = false;
    if (dialog == nullptr) {
      dialog = e2e::FindDialog(*monkey.session, IDC_NAME_EDIT);
      isName = dialog != nullptr;
    }
    if (dialog == nullptr) return ::testing::AssertionSuccess();
    if (!isName) ++*wins;
    if (isName && Below(monkey, 2)) {
      char name[16];
      snprintf(name, sizeof name, " Monkey %d ", monkey.step);
      if (!e2e::TypeText(*monkey.session, GetDlgItem(dialog, IDC_NAME_EDIT), name))
        return ::testing::AssertionFailure() << "cannot type a name";
    }
    if (!Dismiss(monkey, dialog) || !e2e::WaitForGone(dialog))
      return ::testing::AssertionFailure() << "a win dialog does not close";
  }
  return ::testing::AssertionFailure() << "win dialogs keep coming";
}

// Opens one of the three dialogs of the menus, maybe changes the settings, and closes it.
::testing::AssertionResult VisitDialog(Monkey& monkey) {
  static const int kCommands[3] = {IDM_SETTINGS, IDM_BEST_SCORES, IDM_ABOUT};
  static const int kMarks[3] = {IDC_GRID_EDIT, IDC_SCORE_LIST, IDC_ABOUT_NAME};
  const int which = Below(monkey, 3);
  Note(monkey, "dialog of command %d", kCommands[which]);
  if (!e2e::PostCommand(*monkey.session, kCommands[which]))
    return ::testing::AssertionFailure() << "command " << kCommands[which] << " not handled";
  HWND dialog = e2e::WaitForDialog(*monkey.session, kMarks[which]);
  if (dialog == nullptr)
    return ::testing::AssertionFailure() << "no dialog for command " << kCommands[which];
  if (which == 0 && Below(monkey, 2)) {
    // New settings, taken by the next deal that OK posts.
    char grid[8];
    // Mostly small grids, which redraw fast; now and then any side up to the largest.
    int span = Below(monkey, 5) == 0 ? kMaxGrid - kMinGrid + 1 : 7;
    snprintf(grid, sizeof grid, "%d", kMinGrid + Below(monkey, span));
    Note(monkey, "settings: grid %s, then OK", grid);
    if (!e2e::SetItemText(dialog, IDC_GRID_EDIT, grid) ||
        !e2e::ClickButton(*monkey.session, dialog, IDC_SIZE_15 + Below(monkey, 3)) ||
        !e2e::ClickButton(*monkey.session, dialog, IDC_LEVEL_HARD + Below(monkey, 3)) ||
        !e2e::ClickButton(*monkey.session, dialog, IDC_OK)) {
      return ::testing::AssertionFailure() << "cannot fill in the settings";
    }
  } else if (which == 0 && Below(monkey, 2)) {
    if (!e2e::ClickButton(*monkey.session, dialog, IDC_CANCEL))
      return ::testing::AssertionFailure() << "no Cancel in the settings";
  } else if (!Dismiss(monkey, dialog)) {
    return ::testing::AssertionFailure() << "cannot close the dialog";
  }
  if (!e2e::WaitForGone(dialog)) return ::testing::AssertionFailure() << "the dialog stays open";
  // What the dialog posted on closing (a new game) is handled before the next check.
  if (!e2e::Flush(*monkey.session))
    return ::testing::AssertionFailure() << "no answer after the dialog";
  return ::testing::AssertionSuccess();
}

// One random action. Right presses are posted: a flag may win and open a modal dialog.
::testing::AssertionResult Act(Monkey& monkey, const e2e::Snapshot& before) {
  e2e::Session& session = *monkey.session;
  RECT client;
  if (!e2e::ClientRect(session.window, &client))
    return ::testing::AssertionFailure() << "no window";
  const int roll = Below(monkey, 100);
  bool done = true;
  int column = 0, row = 0;
  if (roll < 3) {
    // Flags on every mine left: a win, unless the game is frozen or over.
    int mines = 0;
    for (int c = 1; c <= before.game.columns; ++c)
      for (int r = 1; r <= before.game.rows; ++r)
        if (before.board[c][r] == kCoveredMine) ++mines;
    if (mines > 30) return ::testing::AssertionSuccess();  // too many presses for one step
    Note(monkey, "flags on the %d mines left", mines);
    for (int c = 1; c <= before.game.columns && done; ++c) {
      for (int r = 1; r <= before.game.rows && done; ++r) {
        if (before.board[c][r] != kCoveredMine) continue;
        // Only the last flag can win and open a dialog; the others can be synchronous.
        done = --mines > 0 ? e2e::PressCell(session, c, r, e2e::kRight)
                           : e2e::PostPressCell(session, c, r, e2e::kRight);
      }
    }
  } else if (roll < 34) {
    int x = Below(monkey, client.right + 30), y = Below(monkey, client.bottom + 30);
    Note(monkey, "left press at %d,%d", x, y);
    done = e2e::Press(session, x, y, e2e::kLeft);
  } else if (roll < 58) {
    int x = Below(monkey, client.right + 30), y = Below(monkey, client.bottom + 30);
    Note(monkey, "right press at %d,%d", x, y);
    done = e2e::PostPress(session, x, y, e2e::kRight);
  } else if (roll < 66) {
    if (!RandomCell(monkey, before, true, &column, &row)) return ::testing::AssertionSuccess();
    Note(monkey, "flag on the mine at %d,%d", column, row);
    done = e2e::PostPressCell(session, column, row, e2e::kRight);
  } else if (roll < 72) {
    if (!RandomCell(monkey, before, false, &column, &row)) return ::testing::AssertionSuccess();
    Note(monkey, "left press on the safe cell %d,%d", column, row);
    done = e2e::PressCell(session, column, row, e2e::kLeft);
  } else if (roll < 73) {
    Note(monkey, "left press far outside the window");
    done = e2e::Press(session, 0xFFFF, 0xFFFF, e2e::kLeft);
  } else if (roll < 89) {
    static const int kCommands[] = {IDM_NEW_GAME, IDM_NEW_GAME, IDM_SEE_SOLUTION, IDM_UNDO,
                                    IDM_UNDO,     IDM_NOTHING,  IDM_LANGUAGE,     IDM_LANGUAGE};
    int command = kCommands[Below(monkey, 8)];
    Note(monkey, "command %d", command);
    done = e2e::SendCommand(session, command);
  } else if (roll < 94) {
    static const int kKeys[] = {VK_ESCAPE, VK_ESCAPE, VK_F2, VK_F3};
    int key = kKeys[Below(monkey, 4)];
    Note(monkey, "key %#x", key);
    done = e2e::PressKey(session, key);
  } else {
    return VisitDialog(monkey);
  }
  if (!done) return ::testing::AssertionFailure() << "the program did not take the action";
  return ::testing::AssertionSuccess();
}

int ConfiguredNumber(const char* variable, int fallback) {
  const char* text = getenv(variable);
  return text != nullptr && text[0] != 0 ? atoi(text) : fallback;
}

TEST(Monkey, RandomPlayKeepsTheRulesInvariants) {
  Monkey monkey = {};
  const uint32_t seed = static_cast<uint32_t>(ConfiguredNumber("TORVANE_MONKEY_SEED", 0)) != 0
                            ? static_cast<uint32_t>(ConfiguredNumber("TORVANE_MONKEY_SEED", 0))
                            : (GetTickCount() | 1u);
  const int steps = ConfiguredNumber("TORVANE_MONKEY_STEPS", 2500);
  printf("monkey: seed %u, %d steps (TORVANE_MONKEY_SEED and TORVANE_MONKEY_STEPS set them)\n",
         seed, steps);
  monkey.random = seed;

  e2e::Session session;
  monkey.session = &session;
  ASSERT_TRUE(e2e::Start(session, "ratio=5\r\ngrid=12\r\nsize=18\r\nlang=1000\r\nsound=0\r\n"));
  e2e::Snapshot snapshot;
  ASSERT_TRUE(e2e::ReadSnapshot(session, &snapshot));
  ASSERT_TRUE(Invariants(snapshot));

  const DWORD started = GetTickCount();
  int wins = 0;
  for (monkey.step = 0; monkey.step < steps; ++monkey.step) {
    ::testing::AssertionResult acted = Act(monkey, snapshot);
    ASSERT_TRUE(acted) << "seed " << seed << "\n" << History(monkey);
    ASSERT_TRUE(AnswerWinDialogs(monkey, &wins)) << "seed " << seed << "\n" << History(monkey);
    ASSERT_TRUE(e2e::IsRunning(session)) << "the program ended; seed " << seed << "\n"
                                         << History(monkey);
    ASSERT_TRUE(e2e::Sync(session)) << "the program hangs; seed " << seed << "\n"
                                    << History(monkey);
    ASSERT_EQ(nullptr, e2e::FindAnyDialog(session)) << "a dialog stayed open\n" << History(monkey);
    ASSERT_TRUE(e2e::ReadSnapshot(session, &snapshot));
    ASSERT_TRUE(Invariants(snapshot)) << "seed " << seed << "\n" << History(monkey);
    // Every change of the counter is redrawn at once.
    char status[64];
    ASSERT_TRUE(e2e::StatusText(session, 1, status, sizeof status));
    const char* colon = strchr(status, ':');
    ASSERT_NE(nullptr, colon) << status;
    ASSERT_EQ(snapshot.game.minesLeft, atoi(colon + 1)) << status << "\n" << History(monkey);
  }
  printf("monkey: %d steps, %d wins, in %lu ms\n", steps, wins, GetTickCount() - started);

  DWORD exitCode = 1;
  ASSERT_TRUE(e2e::Close(session, &exitCode));
  EXPECT_EQ(0u, exitCode);
  char file[4096];
  EXPECT_TRUE(e2e::ReadSettingsFile(session, file, sizeof file));
}

}  // namespace
