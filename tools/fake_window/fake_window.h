// fake_window.h: a recording stand-in for the window that the rules call (game/seam.h), for the
// host tests, the headless driver and the benchmarks. Link torvane_fake_window instead of ui/;
// call ResetFakeWindow() before each use.
#pragma once

#include "game/game.h"
#include "game/seam.h"

enum SeamCall : int {
  CALL_REDRAW_GAME,
  CALL_PLAY_EFFECT,  // argument: the effect
  CALL_START_CLOCK,
  CALL_STOP_CLOCK,           // argument: the clock timer stopped
  CALL_SHOW_CLOCK,           // argument: the seconds
  CALL_ENABLE_UNDO,          // argument: 1 enabled, 0 grayed
  CALL_SHOW_CONGRATULATION,  // argument: the score computed as the real dialog does
  CALL_ASK_NAME,
  CALL_CURSOR_CHANGED,  // argument: the cursor's cell packed, 0 when it is hidden
  CALL_HINT_IS_MINE,
  CALL_GUESS_NEEDED,
};

struct SeamRecord {
  SeamCall kind;
  int argument;
};

constexpr int kFakeLogCapacity = 4096;
constexpr int kFakeNameSize = kNameBufferSize;  // the size of the buffer AskName is handed

struct FakeWindowRecord {
  SeamRecord log[kFakeLogCapacity];  // calls in order; past capacity only counted
  int calls;                         // every call made, also those past capacity
  int effects[kEffectCount];         // PlayEffect calls per effect
  int redraws;
  int clockStarts;  // StartClock stores this count in Game.clockTimer
  // AskName copies all 64 bytes of nameAnswer into the buffer (a blank after a reset), and
  // keeps what the buffer held when it was called.
  char nameAnswer[kFakeNameSize];
  char nameOffered[kFakeNameSize];
  int screenTile;  // what ScreenTileSize answers; 0: Game.size, as at 96 DPI
};
extern FakeWindowRecord FakeWindow;

void ResetFakeWindow();
// Sets nameAnswer to text, cut to 63 bytes and zero-padded.
void SetNameAnswer(const char* text);
