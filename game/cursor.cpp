// cursor.cpp: the keyboard's cursor: shown, moved within the grid, and hidden by the mouse.
#include "game/game.h"
#include "game/seam.h"

void MoveCursor(GridKey key) {
  int32_t column = Cursor.column;
  int32_t row = Cursor.row;
  switch (key) {
    case GK_LEFT: --column; break;
    case GK_RIGHT: ++column; break;
    case GK_UP: --row; break;
    case GK_DOWN: ++row; break;
    case GK_HOME: column = 1; break;
    case GK_END: column = Game.columns; break;
    case GK_PAGE_UP: row = 1; break;
    case GK_PAGE_DOWN: row = Game.rows; break;
    default: return;  // not a moving key
  }
  if (!Cursor.shown) {
    // The player's first key after the mouse shows where the cursor is before moving it.
    Cursor.shown = 1;
  } else {
    column = ClampToGrid(column, Game.columns);
    row = ClampToGrid(row, Game.rows);
    if (column == Cursor.column && row == Cursor.row) return;  // against an edge
    Cursor.column = column;
    Cursor.row = row;
  }
  CursorChanged();
}

void HideCursor() {
  if (!Cursor.shown) return;
  Cursor.shown = 0;
  CursorChanged();
}
