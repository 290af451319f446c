// seam.h: what the rules need from the window. The program implements these with Win32
// (ui/), the host tests with a recording fake; the rules never include a Windows header.
#pragma once

// The sound effects. Effect n plays the program's WAVE resource SOUND_BASE + n (res/); 3 is
// never played, and 0 has no sound of its own (the system's default sound or beep).
enum SoundEffect : int {
  EFFECT_REJECTED = 0,   // a press outside the grid or on a cell it cannot act on
  EFFECT_START_UP = 1,   // the program starts
  EFFECT_EXPLOSION = 2,  // a mine uncovered
  EFFECT_FLOOD = 4,      // once for each empty cell a flood fill uncovers
  EFFECT_UNDO = 5,       // an explosion taken back
};
constexpr int kEffectCount = 6;  // effect numbers run from 0 to 5

void RedrawGame();  // redraw the whole grid and the mine and undo counters
void PlayEffect(SoundEffect effect);
void StartClock();              // one-second clock timer on the main window, kept in Game
void StopClock();               // stop it with the identifier kept in Game
void ShowClock(int seconds);    // status-bar time part, "%d'%02d"
void EnableUndo(bool enabled);  // the Undo menu item
void ShowCongratulation();      // modal congratulation dialog; computes the score as it opens
void AskName(char* buffer);     // modal name dialog into a kNameBufferSize-byte buffer
void CursorChanged();           // the keyboard's cursor was shown, hidden or moved
// The side of a tile as the window shows it, in pixels: the tile size, or a whole multiple of an
// art size near it on a display scaled up. The mouse's points are in these pixels.
int ScreenTileSize();
void ShowHintIsMine();   // the status text: the hint's cell is a mine
void ShowGuessNeeded();  // modal message: nothing can be proven, no undo spent
