// fake_window.cpp: records the calls of the rules to the window, for the host tests.
#include "fake_window.h"

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
  FakeWindow.congratulationComputesScore = true;
  SetNameAnswer(" ");
}

void SetNameAnswer(const char* text) {
  memset(FakeWindow.nameAnswer, 0, sizeof FakeWindow.nameAnswer);
  for (int i = 0; i < kFakeNameSize - 1 && text[i] != '\0'; ++i) FakeWindow.nameAnswer[i] = text[i];
}

int CountCalls(SeamCall kind) {
  int count = 0;
  const int recorded = FakeWindow.calls < kFakeLogCapacity ? FakeWindow.calls : kFakeLogCapacity;
  for (int i = 0; i < recorded; ++i) {
    if (FakeWindow.log[i].kind == kind) ++count;
  }
  return count;
}

int FindCall(SeamCall kind, int from) {
  const int recorded = FakeWindow.calls < kFakeLogCapacity ? FakeWindow.calls : kFakeLogCapacity;
  for (int i = from < 0 ? 0 : from; i < recorded; ++i) {
    if (FakeWindow.log[i].kind == kind) return i;
  }
  return -1;
}

void RedrawGame() {
  ++FakeWindow.redraws;
  Record(CALL_REDRAW_GAME, 0);
}

void PlayEffect(int effect) {
  if (effect >= 0 && effect < 6) ++FakeWindow.effects[effect];
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
  int score = 0;
  if (FakeWindow.congratulationComputesScore) {
    score = ComputeScore(&FakeWindow.congratulationMinutes, &FakeWindow.congratulationSeconds);
  }
  Record(CALL_SHOW_CONGRATULATION, score);
}

void AskName(char* buffer) {
  memcpy(FakeWindow.nameOffered, buffer, kFakeNameSize);
  memcpy(buffer, FakeWindow.nameAnswer, kFakeNameSize);
  Record(CALL_ASK_NAME, 0);
}
