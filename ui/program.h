// program.h: the window-side records and procedures that the main window, the drawing and
// the dialogs share.
#pragma once

#include <windows.h>

#include "res/tile_scale.h"
#include "support/support.h"

extern HINSTANCE Instance;
extern HWND MainWindow;  // null once WM_DESTROY has been handled: fatal boxes have no owner then
extern HMENU MainMenu;
extern HACCEL Accelerators;
extern HWND StatusBar;  // replaced by every layout

extern char SettingsPath[kPathCapacity];
extern char HelpPath[kPathCapacity];

// The status bar's three parts (time, mines left, undos left) by their right edges in pixels at
// 96 DPI (ScaleLength gives them at the window's); the last runs to the end of the bar.
inline constexpr int kStatusPartEdges[] = {40, 100, -1};
constexpr int kStatusParts = sizeof kStatusPartEdges / sizeof kStatusPartEdges[0];
enum StatusPart { STATUS_TIME, STATUS_MINES, STATUS_UNDOS };

// The display's scale: the main window's DPI and the tiles it makes of the tile size, decided by
// ChooseTileScale (res/tile_scale.h) whenever the tiles are loaded. Everything that maps pixels
// to cells reads Scale.tile, the side of a tile on the screen.
extern TileScale Scale;
// The window's DPI: GetDpiForWindow where user32 has it, else (and for a null window) the
// screen's (scale.cpp).
int WindowDpi(HWND window);
// Widens a client rectangle of the main window to its outer rectangle, frame and menu bar as the
// system draws them at this DPI (AdjustWindowRectExForDpi where user32 has it).
void FrameAround(int dpi, RECT* rect);

// The main window: a caption with the system menu and a minimise box, no sizing border, and the
// class's menu bar.
constexpr DWORD kMainWindowStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void LayoutWindow(HWND window);
SIZE MainWindowSize();  // the outer size that the layout gives the window for the dealt game
void CentreWindow(HWND window, HWND over);
// Where CentreWindow puts a window of this outer size: over `over`, or the screen when null.
POINT CentredPlace(int width, int height, HWND over);
void LocaliseMenu(HMENU menu);

// Drawing (draw.cpp).
void LoadTileBitmaps(int size);  // the fourteen tiles of this tile size, into their strip
extern int TileBitmapsSize;      // the size of the tiles loaded, 0 before the first load
// The loaded tiles side by side in one bitmap, from which every cell is drawn.
extern HBITMAP TileStrip;
inline int TileStripLeft(int tile, int size) {  // where tile offset 1 to 14 lies in the strip
  return (tile - 1) * size;
}
// A bitmap of 32 bits a pixel, rows from the top down, whose pixels lie at *bits (when given):
// true colour holds every pixel of the tiles unchanged.
HBITMAP CreateTrueColourBitmap(int width, int height, void** bits);
// The grid composed off the screen: brings its image up to date with the board, the view and the
// keyboard's cursor, and returns the memory context that holds it (the grid from the top left
// corner), or null when it cannot be made. RedrawBoard and WM_PAINT copy it to the window.
HDC ComposeGrid();
void ForgetComposedGrid();  // every cell composed again at the next redraw
void RedrawBoard(HWND window);
void PaintBoard(HWND window);  // WM_PAINT: validates, then draws as RedrawBoard does
void ShowStatusText(int part, const char* text);  // part: a StatusPart
// The hint's cell, under the cursor, is a mine: "Mine" after the undos while the cursor stays on
// it and it stays covered.
void NoteHintMine();
// The tile offset (1 to 14) that the grid shows at a cell now, in the view the game is in.
int ShownTile(int column, int row);

// Screen readers (accessible.cpp): the grid's accessible object, for WM_GETOBJECT, the events
// that tell them what a message changed, and the cursor's cell as the focus when the window
// takes the keyboard focus.
LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam);
void AnnounceChanges(HWND window);
void AnnounceFocus(HWND window);

// Dialog procedures (dialogs.cpp).
INT_PTR CALLBACK SettingsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK BestScoresDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK CongratulationDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK NameDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK StatisticsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
