// globals.cpp: the window-side records of the program, shared by the main window, the drawing
// and the dialogs.
#include "ui/program.h"

HINSTANCE Instance;
HWND MainWindow;
HMENU MainMenu;
HACCEL Accelerators;
HWND StatusBar;
TileScale Scale;
char SettingsPath[kPathCapacity];
char HelpPath[kPathCapacity];
