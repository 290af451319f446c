// seam.h: what the rules need from the window. The program implements these with Win32
// (ui/), the host tests with a recording fake; the rules never include a Windows header.
#pragma once

void RedrawGame();              // redraw the whole grid and the mine and undo counters
void PlayEffect(int effect);    // sound effect 0 to 5
void StartClock();              // one-second clock timer on the main window, kept in Game
void StopClock();               // stop it with the identifier kept in Game
void ShowClock(int seconds);    // status-bar time part, "%d'%02d"
void EnableUndo(bool enabled);  // the Undo menu item
void ShowCongratulation();      // modal congratulation dialog; computes the score as it opens
void AskName(char* buffer);     // modal name dialog into a 64-byte buffer
