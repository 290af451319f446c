// play.cpp: deals a seeded board, plays the moves and keys given on its command line, prints it.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/game.h"
#include "tools/fake_window/fake_window.h"

// What the rules asked of the window since the call at `from` of the stand-in's log, as text.
// With verbose off only the win is told.
static int PrintWindowCalls(int from, bool verbose) {
  const int to = FakeWindow.calls < kFakeLogCapacity ? FakeWindow.calls : kFakeLogCapacity;
  for (int i = from; i < to; ++i) {
    const SeamRecord& call = FakeWindow.log[i];
    if (call.kind == CALL_SHOW_CONGRATULATION) {
      printf("won in %d'%02d, score %d\n", Game.elapsedSeconds / 60, Game.elapsedSeconds % 60,
             call.argument);
    }
    if (!verbose) continue;
    switch (call.kind) {
      case CALL_PLAY_EFFECT: printf("effect %d\n", call.argument); break;
      case CALL_START_CLOCK: printf("clock started\n"); break;
      case CALL_STOP_CLOCK: printf("clock stopped\n"); break;
      case CALL_SHOW_CLOCK:
        printf("clock %d'%02d\n", call.argument / 60, call.argument % 60);
        break;
      case CALL_ENABLE_UNDO: printf("undo %s\n", call.argument ? "enabled" : "grayed"); break;
      case CALL_HINT_IS_MINE: printf("hint: a mine\n"); break;
      case CALL_GUESS_NEEDED: printf("hint: a guess is needed\n"); break;
      default: break;
    }
  }
  return to;
}

static const char* StateName() {
  switch (GameState) {
    case GS_NEW: return "NEW";
    case GS_READY: return "READY";
    case GS_RUNNING: return "RUNNING";
    case GS_OVER: return "OVER";
    case GS_EXPLODED: return "EXPLODED";
    default: return "?";
  }
}

// '#' covered, 'F' flag, '.' empty, '1'-'8' numbers, '*' exploded mine; with reveal (and once
// the game is over) 'M' a mine, 'x' a wrong flag, and covered cells show what they hide.
static char CellSymbol(signed char value, bool reveal) {
  if (value >= 1 && value <= 8) return static_cast<char>('0' + value);
  if (value == 0) return '.';
  if (value == kExplodedMine) return reveal ? 'M' : '*';
  if (value == kFlaggedMine) return 'F';
  if (value < kCoveredMine) return reveal ? 'x' : 'F';
  if (!reveal) return '#';
  if (value == kCoveredMine) return 'M';
  return CellSymbol(static_cast<signed char>(~value), false);
}

static void PrintBoard(bool reveal) {
  int uncovered = 0;
  for (int c = 1; c <= Game.columns; ++c)
    for (int r = 1; r <= Game.rows; ++r) uncovered += Board[c][r] >= 0;
  printf("state=%s mines=%d undos=%d time=%d uncovered=%d empty-effects=%d\n", StateName(),
         Game.minesLeft, Game.undosLeft, Game.elapsedSeconds, uncovered,
         FakeWindow.effects[EFFECT_FLOOD]);
  printf("cursor=%d,%d %s\n", Cursor.column, Cursor.row, Cursor.shown ? "shown" : "hidden");
  for (int r = 1; r <= Game.rows; ++r) {
    char line[kMaxGrid + 1];
    for (int c = 1; c <= Game.columns; ++c) line[c - 1] = CellSymbol(Board[c][r], reveal);
    line[Game.columns] = '\0';
    printf("%s\n", line);
  }
}

static bool ParseCell(const char* text, unsigned* x, unsigned* y) {
  int column;
  int row;
  if (sscanf(text, "%d,%d", &column, &row) != 2 || column < 1 || row < 1 || column > 255 ||
      row > 255) {
    return false;
  }
  *x = static_cast<unsigned>((column - 1) * Game.size + Game.size / 2);
  *y = static_cast<unsigned>((row - 1) * Game.size + Game.size / 2);
  return true;
}

static int Usage() {
  fprintf(stderr,
          "usage: torvane_play [-v] [-r] [-n] [-g grid] [-d ratio] seed move...\n"
          "  -n: a no-guess game, dealt again at its first uncovering press\n"
          "moves: Lc,r left press, Rc,r right press, Mc,r middle press (chord), U undo,\n"
          "       S see solution, T clock tick, H hint, and the keys Kleft Kright Kup Kdown\n"
          "       Khome Kend Kpgup Kpgdn Kspace Kenter\n");
  return 2;
}

static bool ParseKey(const char* name, GridKey* key) {
  static const char* const kNames[] = {"left", "right", "up",   "down",  "home",
                                       "end",  "pgup",  "pgdn", "space", "enter"};
  for (int i = 0; i <= GK_ENTER; ++i) {
    if (strcmp(name, kNames[i]) == 0) {
      *key = static_cast<GridKey>(i);
      return true;
    }
  }
  return false;
}

int main(int argc, char** argv) {
  Settings = {6, 10, 15, 0};
  ResetFakeWindow();
  SetNameAnswer("play");
  bool verbose = false;
  bool reveal = false;
  int i = 1;
  for (; i < argc && argv[i][0] == '-'; ++i) {
    if (strcmp(argv[i], "-v") == 0) {
      verbose = true;
    } else if (strcmp(argv[i], "-r") == 0) {
      reveal = true;
    } else if (strcmp(argv[i], "-n") == 0) {
      Settings.noGuess = 1;
    } else if (strcmp(argv[i], "-g") == 0 && i + 1 < argc) {
      Settings.grid = atoi(argv[++i]);
    } else if (strcmp(argv[i], "-d") == 0 && i + 1 < argc) {
      Settings.ratio = atoi(argv[++i]);
    } else {
      return Usage();
    }
  }
  if (i >= argc) return Usage();
  DealBoardWithSeed(static_cast<uint32_t>(strtoul(argv[i++], nullptr, 10)));
  EncodeNeighbours();
  int printed = 0;
  for (; i < argc; ++i) {
    const char* move = argv[i];
    unsigned x;
    unsigned y;
    GridKey key;
    if (verbose) printf("> %s\n", move);
    if ((move[0] == 'L' || move[0] == 'R' || move[0] == 'M') && ParseCell(move + 1, &x, &y)) {
      if (move[0] == 'L') LeftPress(x, y);
      if (move[0] == 'R') RightPress(x, y);
      if (move[0] == 'M') MiddlePress(x, y);
    } else if (move[0] == 'K' && ParseKey(move + 1, &key)) {
      PressGridKey(key);
    } else if (strcmp(move, "U") == 0) {
      Undo();
    } else if (strcmp(move, "S") == 0) {
      SeeSolution();
    } else if (strcmp(move, "T") == 0) {
      ClockTick();
    } else if (strcmp(move, "H") == 0) {
      Hint();
    } else {
      fprintf(stderr, "bad move: %s\n", move);
      return Usage();
    }
    printed = PrintWindowCalls(printed, verbose);
  }
  PrintBoard(reveal || GameState == GS_OVER);
  return 0;
}
