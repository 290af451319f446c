// test_no_guess.cpp: no-guess games in the real program: the option from the menu and through
// restarts, the hint and its price, and fifty games won by a player who sees only what a screen
// reader is told and proves every move with the project's solver, in both languages.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "game/solver.h"
#include "res/string_table.h"
#include "tests/e2e/driver.h"

namespace {

constexpr int kSide = 16, kSize = 18;

// English, 16 x 16, ratio 4, the option off; every score of the table above anything a 16 x 16
// game can earn, so that no win asks a name.
std::string FullTable() {
  std::string scores;
  for (int i = 0; i < kScoreEntries; ++i) scores += "30000, Best\r\n";
  return e2e::SettingsText(kSide, kSize, kHardRatio, false, 0, scores.c_str());
}

// A player who knows only what the grid tells a screen reader, and the total the status bar
// showed when the game was dealt.
struct Player {
  const e2e::Session& session;
  bool french = false;
  int total = 0;
  SolverView view = {};
  bool flagged[kBoardSide][kBoardSide] = {};
  int rounds = 0;

  // Reads every cell's value through the grid's accessible object inside the program: numbers
  // and empty cells as they show, covered cells and flags as covered (flags are not trusted).
  ::testing::AssertionResult Look() {
    static WalkReport report;
    if (!e2e::WalkCells(session, &report) || report.cells != kSide * kSide || report.failures)
      return ::testing::AssertionFailure() << "the grid could not be read";
    view.columns = view.rows = kSide;
    view.mines = total;
    memset(view.cells, kSeenOutside, sizeof view.cells);
    for (int id = 1; id <= kSide * kSide; ++id) {
      const int column = (id - 1) % kSide + 1, row = (id - 1) / kSide + 1;
      int tile = 1;
      const int language = french ? 0 : ENGLISH_OFFSET;
      while (tile <= TILE_COUNT &&
             strcmp(FindStringEntry(IDS_TILE_TEXT_BASE + tile + language), report.values[id - 1]))
        ++tile;
      flagged[column][row] = tile == TILE_FLAG;
      if (tile > TILE_FLAG)
        return ::testing::AssertionFailure()
               << "cell " << column << ", " << row << " reads \"" << report.values[id - 1] << "\"";
      view.cells[column][row] = static_cast<signed char>(tile <= TILE_NUMBER_8 ? tile
                                                         : tile == TILE_EMPTY  ? 0
                                                                               : kSeenCovered);
    }
    return ::testing::AssertionSuccess();
  }

  // Uncovers every cell the solver proves safe, round after round, until none is left; then
  // every covered cell must be a proven mine.
  ::testing::AssertionResult UncoverSafeCells() {
    for (;;) {
      ::testing::AssertionResult seen = Look();
      if (!seen) return seen;
      SolveView(view);
      ++rounds;
      int pressed = 0, unproven = 0;
      for (int c = 1; c <= kSide; ++c) {
        for (int r = 1; r <= kSide; ++r) {
          unproven += view.cells[c][r] == kSeenCovered;
          if (view.cells[c][r] != kSeenSafe || flagged[c][r]) continue;
          if (!e2e::PressCell(session, c, r, e2e::kLeft))
            return ::testing::AssertionFailure() << "no press";
          ++pressed;
        }
      }
      if (e2e::ReadSnapshot(session).state != GS_RUNNING)
        return ::testing::AssertionFailure() << "the game stopped in round " << rounds;
      if (pressed > 0) continue;
      if (unproven > 0)
        return ::testing::AssertionFailure() << unproven << " cells need a guess, round " << rounds;
      return ::testing::AssertionSuccess();
    }
  }

  // Flags every proven mine; the last flag wins. Gives the congratulation dialog.
  HWND FlagMines() {
    std::vector<std::pair<int, int>> mines;
    for (int c = 1; c <= kSide; ++c)
      for (int r = 1; r <= kSide; ++r)
        if (view.cells[c][r] == kSeenMine && !flagged[c][r]) mines.push_back({c, r});
    for (size_t i = 0; i < mines.size(); ++i)
      if (!e2e::PressCell(session, mines[i].first, mines[i].second, e2e::kRight,
                          i + 1 == mines.size()))
        return nullptr;
    return e2e::WaitForDialog(session, IDC_CONGRATULATION_TEXT);
  }
};

// The undos part of the status bar as the program writes it, with the hint's note if any.
std::string Undos(bool french, int undos, const char* note = "") {
  return std::string(french ? "Annulations:" : "Undos:") + std::to_string(undos) + note;
}

// The cell under the keyboard's cursor, read as a debugger would, to judge the hint.
int CursorValue(const e2e::Session& session, CursorRecord* cursor) {
  *cursor = e2e::Read<CursorRecord>(session, "_Cursor");
  return e2e::ReadSnapshot(session).board[cursor->column][cursor->row];
}

// The hint on the opening of a no-guess game: a covered safe cell under the cursor for one undo
// (its focus told to screen readers as every move of the cursor is); spent to the last undo from
// the menu, then nothing at all.
void HintUntilNoUndoIsLeft(Player& player) {
  const e2e::Session& session = player.session;
  ASSERT_TRUE(e2e::Key(session, 'H'));
  CursorRecord cursor;
  const int value = CursorValue(session, &cursor);
  EXPECT_TRUE(cursor.shown && IsCoveredSafe(value)) << cursor.column << ", " << cursor.row;
  EXPECT_EQ(Undos(player.french, 11), e2e::StatusText(session, 2));
  for (int undos = 10; undos >= 0; --undos) {
    ASSERT_TRUE(e2e::Command(session, IDM_HINT));
    ASSERT_EQ(undos, e2e::ReadSnapshot(session).game.undosLeft);
  }
  const e2e::Snapshot before = e2e::ReadSnapshot(session);
  ASSERT_TRUE(e2e::Key(session, 'H'));
  const e2e::Snapshot after = e2e::ReadSnapshot(session);
  const CursorRecord now = e2e::Read<CursorRecord>(session, "_Cursor");
  EXPECT_EQ(0, memcmp(before.board, after.board, sizeof before.board));
  EXPECT_EQ(std::vector<int>({0, cursor.column, cursor.row}),
            std::vector<int>({after.game.undosLeft, now.column, now.row}));
  EXPECT_EQ(Undos(player.french, 0), e2e::StatusText(session, 2));
  EXPECT_EQ(nullptr, e2e::FindDialog(session, 0));
}

// One no-guess game from its first press to its win. The first game spends its undos on hints;
// the second asks for one once only mines are left.
void WinByLogic(Player& player, int game) {
  const e2e::Session& session = player.session;
  SCOPED_TRACE(testing::Message() << "game " << game << (player.french ? ", French" : ""));
  ASSERT_TRUE(e2e::Key(session, VK_F2));
  const std::string mines = e2e::StatusText(session, 1);
  player.total = atoi(mines.c_str() + mines.find(':') + 1);
  ASSERT_EQ(kSide * kSide / kHardRatio, player.total);
  // The first press anywhere; a hint before it does nothing.
  ASSERT_TRUE(e2e::Key(session, 'H'));
  EXPECT_EQ(GS_READY, e2e::ReadSnapshot(session).state);
  ASSERT_TRUE(e2e::PressCell(session, 1 + game * 7 % kSide, 1 + game * 11 % kSide, e2e::kLeft));
  const e2e::Snapshot opened = e2e::ReadSnapshot(session);
  ASSERT_EQ(GS_RUNNING, opened.state);
  ASSERT_EQ(kNoGuessDealt, opened.game.noGuess);
  if (game % 25 == 0) {
    ASSERT_NO_FATAL_FAILURE(HintUntilNoUndoIsLeft(player));
  }
  ASSERT_TRUE(player.UncoverSafeCells());
  if (game % 25 == 1) {
    ASSERT_TRUE(e2e::Key(session, 'H'));
    CursorRecord cursor;
    EXPECT_EQ(kCoveredMine, CursorValue(session, &cursor));
    EXPECT_EQ(Undos(player.french, 11, "  Mine"), e2e::StatusText(session, 2));
    // The note stays through a redraw (the window moved), and goes when the cursor leaves.
    ASSERT_TRUE(PostMessageA(session.window, WM_MOVE, 0, 0) && e2e::Flush(session));
    EXPECT_EQ(Undos(player.french, 11, "  Mine"), e2e::StatusText(session, 2));
    ASSERT_TRUE(e2e::Keys(session, {cursor.column > 1 ? VK_LEFT : VK_RIGHT}));
    EXPECT_EQ(Undos(player.french, 11), e2e::StatusText(session, 2));
  }
  HWND dialog = player.FlagMines();
  ASSERT_NE(nullptr, dialog) << "no win";
  ASSERT_TRUE(e2e::ClickButton(session, dialog, IDC_OK) && e2e::WaitForGone(dialog));
  const e2e::Snapshot won = e2e::ReadSnapshot(session);
  ASSERT_EQ(GS_OVER, won.state);
  EXPECT_EQ(game % 25 == 0 ? 0 : game % 25 == 1 ? 11 : 12, won.game.undosLeft);
  ASSERT_EQ(nullptr, e2e::FindDialog(session, 0));
}

TEST(NoGuess, OptionHintAndFiftyGamesWonByLogicInBothLanguagesThroughRestarts) {
  std::string file;
  {
    // Off by default; checked from the menu.
    e2e::Session session;
    ASSERT_TRUE(e2e::Start(session, FullTable()));
    EXPECT_EQ(0, e2e::MenuState(session, IDM_NO_GUESS));
    ASSERT_TRUE(e2e::Command(session, IDM_NO_GUESS));
    EXPECT_EQ(MF_CHECKED, e2e::MenuState(session, IDM_NO_GUESS));
    Player player{session};
    int rounds = 0;
    const DWORD started = GetTickCount();
    for (int game = 0; game < 50; ++game) {
      if (game == 25) {
        ASSERT_TRUE(e2e::Command(session, IDM_LANGUAGE));
        player.french = true;
        EXPECT_EQ(MF_CHECKED, e2e::MenuState(session, IDM_NO_GUESS)) << "kept by the language";
      }
      ASSERT_NO_FATAL_FAILURE(WinByLogic(player, game));
      rounds += player.rounds;
      player.rounds = 0;
    }
    printf("no-guess: 50 games of 16 x 16 at ratio 4 won by logic in %d rounds, %lu ms\n", rounds,
           GetTickCount() - started);
    ASSERT_TRUE(e2e::Close(session));
    ASSERT_TRUE(e2e::ReadSettingsFile(session, &file));
    EXPECT_EQ("sanshasard=1", e2e::Line(file, 30));
  }
  // Kept through the file: the first press deals a no-guess game. Off again, in English.
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session, file));
  EXPECT_EQ(MF_CHECKED, e2e::MenuState(session, IDM_NO_GUESS));
  ASSERT_TRUE(e2e::PressCell(session, 8, 8, e2e::kLeft));
  EXPECT_EQ(kNoGuessDealt, e2e::ReadSnapshot(session).game.noGuess);
  ASSERT_TRUE(e2e::Command(session, IDM_NO_GUESS));
  EXPECT_EQ(0, e2e::MenuState(session, IDM_NO_GUESS));
  ASSERT_TRUE(e2e::Command(session, IDM_LANGUAGE));
  ASSERT_TRUE(e2e::Close(session));
  ASSERT_TRUE(e2e::ReadSettingsFile(session, &file));
  EXPECT_EQ("noguess=0", e2e::Line(file, 30));  // read back as the settings file's tests show
}

}  // namespace
