// seam.cpp: what the rules ask of the window, done on the main window with Win32.
#include "game/seam.h"

#include <stdio.h>
#include <string.h>

#include "game/game.h"
#include "res/resource_ids.h"
#include "res/text.h"
#include "ui/program.h"

void RedrawGame() {
  RedrawBoard(MainWindow);
}

constexpr UINT kClockPeriodMs = 1000;

void StartClock() {
  // Setting timer 1 again replaces a clock left running by an earlier game.
  Game.clockTimer = SetTimer(MainWindow, CLOCK_TIMER_ID, kClockPeriodMs, NULL);
}

void StopClock() {
  KillTimer(MainWindow, Game.clockTimer);
}

void ShowClock(int seconds) {
  char text[32];
  snprintf(text, sizeof text, "%d'%02d", seconds / 60, seconds % 60);
  ShowStatusText(STATUS_TIME, text);
}

void EnableUndo(bool enabled) {
  EnableMenuItem(MainMenu, IDM_UNDO,
                 static_cast<UINT>(MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED)));
}

// The frame is drawn with the grid, so the grid is drawn again.
void CursorChanged() {
  RedrawBoard(MainWindow);
}

int ScreenTileSize() {
  return Scale.tile;
}

void ShowHintIsMine() {
  NoteHintMine();
}

void ShowGuessNeeded() {
  char message[kTextBufferSize];
  strcpy(message, LoadText(IDS_GUESS_NEEDED));
  MessageBoxA(MainWindow, message, LoadText(IDS_CAPTION), MB_ICONINFORMATION | MB_OK);
}
