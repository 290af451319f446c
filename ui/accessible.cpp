// accessible.cpp: the grid as screen readers read it: the accessible object of the main window's
// client area, whose children are the cells, and the events that tell them what changed.
#include "ui/program.h"

#include <commctrl.h>
#include <oleacc.h>
#include <wchar.h>

#include "game/game.h"
#include "res/resource_ids.h"
#include "res/text.h"
#include "ui/on_demand.h"

namespace {

// The grid as drawn: at most kMaxGrid cells a side.
int Columns() {
  return Game.columns < kMaxGrid ? Game.columns : kMaxGrid;
}
int Rows() {
  return Game.rows < kMaxGrid ? Game.rows : kMaxGrid;
}
LONG CellCount() {
  return Columns() * Rows();
}

// Child ids: CHILDID_SELF (0) is the grid itself, then the cells row by row.
LONG ChildIdOf(int column, int row) {
  return (row - 1) * Columns() + column;
}
int ColumnOf(LONG child) {
  return static_cast<int>((child - 1) % Columns()) + 1;
}
int RowOf(LONG child) {
  return static_cast<int>((child - 1) / Columns()) + 1;
}

constexpr LONG kNoChild = -1;

// The child a VARIANT names, or kNoChild when it is of another type or names no child here.
LONG ChildOf(const VARIANT& child) {
  if (child.vt != VT_I4 || child.lVal < CHILDID_SELF || child.lVal > CellCount()) return kNoChild;
  return child.lVal;
}

void SetChild(VARIANT* out, LONG child) {
  out->vt = VT_I4;
  out->lVal = child;
}

HRESULT AnswerWide(const WCHAR* text, BSTR* out) {
  *out = OnDemandSysAllocString(text);
  return *out != NULL ? S_OK : E_OUTOFMEMORY;
}

// The program's texts are Windows-1252 bytes whatever the system's ANSI code page, so they are
// widened by that code page.
constexpr UINT kTextCodePage = 1252;

// A program text as a new BSTR in *out.
HRESULT AnswerText(const char* text, BSTR* out) {
  WCHAR wide[kTextBufferSize];
  if (MultiByteToWideChar(kTextCodePage, 0, text, -1, wide, kTextBufferSize) == 0) wide[0] = 0;
  return AnswerWide(wide, out);
}

// The status bar's texts as shown, the empty ones left out, joined by single blanks. They are
// read wide: the system holds them as the ANSI code page made them.
HRESULT AnswerStatusTexts(BSTR* out) {
  constexpr size_t kPartSize = 64;
  WCHAR text[kStatusParts * kPartSize] = L"";
  size_t used = 0;
  for (int part = 0; StatusBar != NULL && part < kStatusParts; ++part) {
    const WPARAM index = static_cast<WPARAM>(part);
    const WORD length = LOWORD(SendMessageW(StatusBar, SB_GETTEXTLENGTHW, index, 0));
    if (length == 0 || length >= kPartSize) continue;
    if (used > 0) text[used++] = L' ';
    SendMessageW(StatusBar, SB_GETTEXTW, index, reinterpret_cast<LPARAM>(text + used));
    used += wcslen(text + used);
  }
  return AnswerWide(text, out);
}

// The checks of a call for a text: E_POINTER, E_INVALIDARG, or S_FALSE with *out emptied, which
// answers "no such text" for the texts no child has, and lets the callers with a text go on.
HRESULT NoText(VARIANT child, BSTR* out) {
  if (out == NULL) return E_POINTER;
  *out = NULL;
  return ChildOf(child) == kNoChild ? E_INVALIDARG : S_FALSE;
}

HRESULT Name(LONG child, BSTR* out) {
  if (child == CHILDID_SELF) {
    WCHAR title[kTextBufferSize];
    if (GetWindowTextW(MainWindow, title, kTextBufferSize) == 0) title[0] = 0;
    return AnswerWide(title, out);
  }
  char text[kTextBufferSize];
  FormatText(text, sizeof text, IDS_CELL_NAME, ColumnOf(child), RowOf(child));
  return AnswerText(text, out);
}

HRESULT Value(LONG child, BSTR* out) {
  if (child == CHILDID_SELF) return AnswerStatusTexts(out);
  return AnswerText(LoadText(IDS_TILE_TEXT_BASE + ShownTile(ColumnOf(child), RowOf(child))), out);
}

// A game over is won when every mine carries a flag and no flag is wrong; otherwise its
// solution was asked for.
bool GameWon() {
  return GameState == GS_OVER && Game.minesLeft == 0 && AllMinesFlagged();
}

// The grid's description: the state of a game that takes no move now, or 0 while it does.
int GameStateText() {
  if (GameState == GS_EXPLODED)
    return Game.undosLeft > 0 ? IDS_GRID_WAITING_UNDO : IDS_GRID_NO_UNDO_LEFT;
  if (GameState == GS_OVER) return GameWon() ? IDS_GRID_WON : IDS_GRID_SOLUTION;
  return 0;
}

// A cell's default action, what Space does there, offered only where it acts: the id of its
// name, or 0.
int ActionText(LONG child) {
  const int column = ColumnOf(child), row = RowOf(child);
  if (GameState <= GS_RUNNING && IsCovered(Board[column][row])) return IDS_CELL_ACTION;
  return ChordActs(column, row) ? IDS_CELL_CHORD : 0;
}

// The keyboard's cursor is the focus inside the grid: its cell, or the grid while it is hidden.
LONG CursorChild() {
  if (!Cursor.shown || Cursor.column > Columns() || Cursor.row > Rows()) return CHILDID_SELF;
  return ChildIdOf(Cursor.column, Cursor.row);
}

// Neither the grid nor a cell holds the focus while the window is inactive or under a dialog.
bool HoldsKeyboardFocus() {
  return MainWindow != NULL && GetFocus() == MainWindow && GetForegroundWindow() == MainWindow;
}

LONG State(LONG child) {
  LONG state = STATE_SYSTEM_FOCUSABLE;
  if (child == CursorChild() && HoldsKeyboardFocus()) state |= STATE_SYSTEM_FOCUSED;
  // A game lost or over takes no move at any cell.
  if (child != CHILDID_SELF && GameState > GS_RUNNING) state |= STATE_SYSTEM_UNAVAILABLE;
  return state;
}

// The child's rectangle in client coordinates; the grid's is its cells', without the status bar.
RECT ClientArea(LONG child) {
  const int size = Scale.tile;  // as the screen shows it
  RECT area = {0, 0, Columns() * size, Rows() * size};
  if (child == CHILDID_SELF) return area;
  area.left = (ColumnOf(child) - 1) * size;
  area.top = (RowOf(child) - 1) * size;
  area.right = area.left + size;
  area.bottom = area.top + size;
  return area;
}

HRESULT HitTest(LONG x, LONG y, VARIANT* out) {
  out->vt = VT_EMPTY;
  POINT point = {x, y};
  const RECT grid = ClientArea(CHILDID_SELF);
  // Before the first deal the tiles have no size, and no point lies in the grid.
  if (Game.size <= 0 || !ScreenToClient(MainWindow, &point) || !PtInRect(&grid, point))
    return S_FALSE;
  SetChild(out, ChildIdOf(point.x / Scale.tile + 1, point.y / Scale.tile + 1));
  return S_OK;
}

// The cells around a cell; the grid's first and last cells from the grid itself.
HRESULT Navigate(LONG direction, LONG start, VARIANT* out) {
  out->vt = VT_EMPTY;
  if (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD) {
    if (start != CHILDID_SELF) return E_INVALIDARG;
    SetChild(out, direction == NAVDIR_FIRSTCHILD ? 1 : CellCount());
    return S_OK;
  }
  if (direction < NAVDIR_UP || direction > NAVDIR_PREVIOUS) return E_INVALIDARG;
  if (start == CHILDID_SELF) return S_FALSE;  // the grid's neighbours are the window's business
  int column = ColumnOf(start), row = RowOf(start);
  LONG next = start;
  switch (direction) {
    case NAVDIR_UP: --row; break;
    case NAVDIR_DOWN: ++row; break;
    case NAVDIR_LEFT: --column; break;
    case NAVDIR_RIGHT: ++column; break;
    case NAVDIR_NEXT: ++next; break;
    default: --next; break;  // NAVDIR_PREVIOUS
  }
  if (next == start) {
    if (column < 1 || column > Columns() || row < 1 || row > Rows()) return S_FALSE;
    next = ChildIdOf(column, row);
  }
  if (next < 1 || next > CellCount()) return S_FALSE;
  SetChild(out, next);
  return S_OK;
}

// The one grid object of the program: it lives as long as the program, so counting its
// references never frees it, and no call can leave it or its answers half made.
class GridAccessible : public IAccessible {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (object == NULL) return E_POINTER;
    *object = NULL;
    if (id != __uuidof(IUnknown) && id != __uuidof(IDispatch) && id != __uuidof(IAccessible))
      return E_NOINTERFACE;
    *object = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&references));
  }
  ULONG STDMETHODCALLTYPE Release() override {
    return static_cast<ULONG>(InterlockedDecrement(&references));
  }

  // Screen readers ask through IAccessible; the dispatch interface is not served.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == NULL) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info != NULL) *info = NULL;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (parent == NULL) return E_POINTER;
    *parent = NULL;
    return OnDemandAccessibleObjectFromWindow(MainWindow, static_cast<DWORD>(OBJID_WINDOW),
                                              __uuidof(IDispatch),
                                              reinterpret_cast<void**>(parent));
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (count == NULL) return E_POINTER;
    *count = CellCount();
    return S_OK;
  }
  // The cells are simple elements, with no object of their own.
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    if (object == NULL) return E_POINTER;
    *object = NULL;
    const LONG id = ChildOf(child);
    if (id == kNoChild) return E_INVALIDARG;
    if (id != CHILDID_SELF) return S_FALSE;
    return QueryInterface(__uuidof(IDispatch), reinterpret_cast<void**>(object));
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    const HRESULT checked = NoText(child, name);
    return checked == S_FALSE ? Name(child.lVal, name) : checked;
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    const HRESULT checked = NoText(child, value);
    return checked == S_FALSE ? Value(child.lVal, value) : checked;
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    const HRESULT checked = NoText(child, description);
    if (checked != S_FALSE || child.lVal != CHILDID_SELF || GameStateText() == 0) return checked;
    return AnswerText(LoadText(GameStateText()), description);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (role == NULL) return E_POINTER;
    role->vt = VT_EMPTY;
    const LONG id = ChildOf(child);
    if (id == kNoChild) return E_INVALIDARG;
    SetChild(role, id == CHILDID_SELF ? ROLE_SYSTEM_TABLE : ROLE_SYSTEM_CELL);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (state == NULL) return E_POINTER;
    state->vt = VT_EMPTY;
    const LONG id = ChildOf(child);
    if (id == kNoChild) return E_INVALIDARG;
    SetChild(state, State(id));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return NoText(child, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    if (topic == NULL) return E_POINTER;
    *topic = -1;
    return NoText(child, file);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return NoText(child, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (focus == NULL) return E_POINTER;
    focus->vt = VT_EMPTY;
    if (HoldsKeyboardFocus()) SetChild(focus, CursorChild());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (selection == NULL) return E_POINTER;
    selection->vt = VT_EMPTY;
    return DISP_E_MEMBERNOTFOUND;  // cells are never selected
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    const HRESULT checked = NoText(child, action);
    if (checked != S_FALSE) return checked;
    if (child.lVal == CHILDID_SELF) return S_FALSE;
    const int text = ActionText(child.lVal);
    return text != 0 ? AnswerText(LoadText(text), action) : DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT child) override {
    return ChildOf(child) == kNoChild ? E_INVALIDARG : DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT child) override {
    if (left == NULL || top == NULL || width == NULL || height == NULL) return E_POINTER;
    *left = *top = *width = *height = 0;
    const LONG id = ChildOf(child);
    if (id == kNoChild) return E_INVALIDARG;
    RECT area = ClientArea(id);
    MapWindowPoints(MainWindow, NULL, reinterpret_cast<POINT*>(&area), 2);
    *left = area.left;
    *top = area.top;
    *width = area.right - area.left;
    *height = area.bottom - area.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    if (end == NULL) return E_POINTER;
    end->vt = VT_EMPTY;
    const LONG id = ChildOf(start);
    return id == kNoChild ? E_INVALIDARG : Navigate(direction, id, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
    if (child == NULL) return E_POINTER;
    return HitTest(x, y, child);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    const LONG id = ChildOf(child);
    if (id == kNoChild) return E_INVALIDARG;
    if (id == CHILDID_SELF) return DISP_E_MEMBERNOTFOUND;
    // While a dialog of the program is up, the grid takes no key and no press.
    if (!IsWindowEnabled(MainWindow)) return E_FAIL;
    if (ActionText(id) == 0) return DISP_E_MEMBERNOTFOUND;
    UncoverCell(ColumnOf(id), RowOf(id));  // what Space does there
    AnnounceChanges(MainWindow);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  LONG references = 0;
};

GridAccessible Grid;

// What screen readers were last told: each cell's tile, the grid's size, language, counters and
// description, the focused cell. Each input's changes are told once it has been handled, by
// comparing with these.
struct Announced {
  int columns;
  int rows;
  int32_t language;
  int tiles[kMaxGrid][kMaxGrid];  // [column - 1][row - 1]
  int32_t minesLeft;
  int32_t undosLeft;
  int description;  // GameStateText
  LONG focus;       // the cursor's cell, or CHILDID_SELF while it is hidden
};
Announced Told;

}  // namespace

LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam) {
  // The object id travels as a 32-bit value, whatever the width of lParam.
  if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT))
    return DefWindowProcA(window, WM_GETOBJECT, wParam, lParam);
  // The first question of a screen reader begins COM, which serves the object, on this thread.
  StartComOnDemand();
  return OnDemandLresultFromObject(__uuidof(IAccessible), wParam, &Grid);
}

void AnnounceChanges(HWND window) {
  if (window == NULL) return;
  const int columns = Columns(), rows = Rows();
  // Cells of a grid of another size are other children: they are told of all at once.
  const bool sameGrid = columns == Told.columns && rows == Told.rows;
  for (int column = 1; column <= columns; ++column) {
    for (int row = 1; row <= rows; ++row) {
      const int tile = ShownTile(column, row);
      if (tile == Told.tiles[column - 1][row - 1]) continue;
      Told.tiles[column - 1][row - 1] = tile;
      if (sameGrid)
        NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, window, OBJID_CLIENT, ChildIdOf(column, row));
    }
  }
  // Cells of another grid, or named in another language: readers fetch the children again.
  const bool sameLanguage = LanguageOffset == Told.language;
  if (!sameGrid || !sameLanguage) {
    Told.columns = columns;
    Told.rows = rows;
    Told.language = LanguageOffset;
    NotifyWinEvent(EVENT_OBJECT_REORDER, window, OBJID_CLIENT, CHILDID_SELF);
  }
  // The value's counters, not its clock: a reader speaks every value change of its focus.
  if (Game.minesLeft != Told.minesLeft || Game.undosLeft != Told.undosLeft) {
    Told.minesLeft = Game.minesLeft;
    Told.undosLeft = Game.undosLeft;
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, window, OBJID_CLIENT, CHILDID_SELF);
  }
  const int description = GameStateText();
  if (description != Told.description || (!sameLanguage && description != 0)) {
    Told.description = description;
    NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, window, OBJID_CLIENT, CHILDID_SELF);
  }
  // The cursor shown or moved (or the same place with another id in a grid of another size), or
  // hidden by a press: the grid holds the focus again.
  const LONG focus = CursorChild();
  if (HoldsKeyboardFocus() && (focus != Told.focus || (!sameGrid && focus != CHILDID_SELF)))
    NotifyWinEvent(EVENT_OBJECT_FOCUS, window, OBJID_CLIENT, focus);
  Told.focus = focus;
}

void AnnounceFocus(HWND window) {
  Told.focus = CursorChild();
  if (Told.focus != CHILDID_SELF)
    NotifyWinEvent(EVENT_OBJECT_FOCUS, window, OBJID_CLIENT, Told.focus);
}
