// fake_window.cpp: records the calls of the rules to the window, where there is no window.
#include "tools/fake_window/fake_window.h"

#include <cstring>

#include "game/game.h"
#include "game/seam.h"

FakeWindowRecord FakeWindow;

static void Record(SeamCall kind, int argument) {
  if (FakeWindow.calls < kFakeLogCapacity) FakeWindow.log[FakeWindow.calls] = {kind, argument};
  ++FakeWindow.calls;
}

void ResetFakeWindow() {
  memset(&FakeWindow, 0, sizeof FakeWindow);
  SetNameAnswer(" ");
}

void SetNameAnswer(const char* text) {
  memset(FakeWindow.nameAnswer, 0, sizeof FakeWindow.nameAnswer);
  strncpy(FakeWindow.nameAnswer, text, kFakeNameSize - 1);
}

void RedrawGame() {
  ++FakeWindow.redraws;
  Record(CALL_REDRAW_GAME, 0);
}

void PlayEffect(SoundEffect effect) {
  if (effect >= 0 && effect < kEffectCount) ++FakeWindow.effects[effect];
  Record(CALL_PLAY_EFFECT, effect);
}

void StartClock() {
  Game.clockTimer = static_cast<uintptr_t>(++FakeWindow.clockStarts);
  Record(CALL_START_CLOCK, 0);
}

void StopClock() {
  Record(CALL_STOP_CLOCK, static_cast<int>(Game.clockTimer));
}

void ShowClock(int seconds) {
  Record(CALL_SHOW_CLOCK, seconds);
}

void EnableUndo(bool enabled) {
  Record(CALL_ENABLE_UNDO, enabled ? 1 : 0);
}

void ShowCongratulation() {
  int32_t minutes, seconds;
  Record(CALL_SHOW_CONGRATULATION, ComputeScore(&minutes, &seconds));
}

void AskName(char* buffer) {
  memcpy(FakeWindow.nameOffered, buffer, kFakeNameSize);
  memcpy(buffer, FakeWindow.nameAnswer, kFakeNameSize);
  Record(CALL_ASK_NAME, 0);
}

void CursorChanged() {
  Record(CALL_CURSOR_CHANGED, Cursor.shown ? PackCell(Cursor.column, Cursor.row) : 0);
}

// A question, not an action: nothing to record.
int ScreenTileSize() {
  return FakeWindow.screenTile > 0 ? FakeWindow.screenTile : Game.size;
}

void ShowHintIsMine() {
  Record(CALL_HINT_IS_MINE, 0);
}

void ShowGuessNeeded() {
  Record(CALL_GUESS_NEEDED, 0);
}
