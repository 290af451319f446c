// test_window.cpp: the main window of the real program: size and centring, menus in both
// languages, the keys, the status bar and clock, the tiles on screen, repainting, and the ways out.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"

namespace {

// A settings file for the given grid side and tile size, English, sound off.
struct SettingsText {
  char text[128];
  SettingsText(int grid, int size, int lang = 1000) {
    snprintf(text, sizeof text, "ratio=6\r\ngrid=%d\r\nsize=%d\r\nlang=%d\r\nsound=0\r\n", grid,
             size, lang);
  }
};

void ScreenSize(int* width, int* height) {
  HDC screen = GetDC(nullptr);
  *width = GetDeviceCaps(screen, HORZRES);
  *height = GetDeviceCaps(screen, VERTRES);
  ReleaseDC(nullptr, screen);
}

// Where the window belongs on the screen: centred, truncating, pulled back inside.
POINT CentredOrigin(int width, int height) {
  int screenWidth, screenHeight;
  ScreenSize(&screenWidth, &screenHeight);
  POINT origin = {(screenWidth - width) / 2, (screenHeight - height) / 2};
  if (origin.x < 0) origin.x = 0;
  if (origin.y < 0) origin.y = 0;
  return origin;
}

std::string StatusPart(const e2e::Session& session, int part) {
  char text[128] = {};
  if (!e2e::StatusText(session, part, text, sizeof text)) return "<unreadable>";
  return text;
}

std::string ItemText(const e2e::Session& session, int command) {
  char text[128] = {};
  if (!e2e::MenuItemText(session, command, text, sizeof text)) return "<unreadable>";
  return text;
}

std::string BarTitle(const e2e::Session& session, int position) {
  char text[128] = {};
  if (!e2e::MenuTitle(session, position, text, sizeof text)) return "<unreadable>";
  return text;
}

// The first grid cell, in column order, whose value satisfies the test; false if none.
bool FindCell(const e2e::Snapshot& snapshot, bool (*wanted)(int value), int* column, int* row) {
  for (int c = 1; c <= snapshot.game.columns; ++c) {
    for (int r = 1; r <= snapshot.game.rows; ++r) {
      if (wanted(snapshot.board[c][r])) {
        *column = c;
        *row = r;
        return true;
      }
    }
  }
  return false;
}

bool IsMine(int value) {
  return value == kCoveredMine;
}
bool IsCoveredNumber(int value) {
  return value <= -2 && value >= -9;
}
bool IsCoveredEmpty(int value) {
  return value == -1;
}
bool IsCoveredSafe(int value) {
  return value <= -1 && value >= -9;
}

struct StatusWait {
  const e2e::Session* session;
  int part;
  const char* text;
};

bool StatusReads(void* context) {
  const StatusWait* wait = static_cast<StatusWait*>(context);
  return StatusPart(*wait->session, wait->part) == wait->text;
}

// ---- Images: the screen under the client area, and the tiles inside the program's file.

struct Image {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;  // top-down, 0x00BBGGRR without the alpha byte
  COLORREF At(int x, int y) const { return pixels[y * width + x]; }
};

// Copies a device context's rectangle into an Image through a 32-bit top-down DIB.
bool CopyToImage(HDC source, int x, int y, int width, int height, Image* image) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!section) return false;
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(memory, section);
  const BOOL copied = BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
  GdiFlush();
  image->width = width;
  image->height = height;
  image->pixels.resize(static_cast<size_t>(width) * height);
  const DWORD* quads = static_cast<const DWORD*>(bits);
  for (size_t i = 0; i < image->pixels.size(); ++i) {
    const DWORD quad = quads[i];  // 0x00RRGGBB in a DIB
    image->pixels[i] = RGB((quad >> 16) & 0xFF, (quad >> 8) & 0xFF, quad & 0xFF);
  }
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(section);
  return copied != 0;
}

bool CaptureClient(const e2e::Session& session, int width, int height, Image* image) {
  POINT origin = {0, 0};
  if (!ClientToScreen(session.window, &origin)) return false;
  HDC screen = GetDC(nullptr);
  const bool ok = CopyToImage(screen, origin.x, origin.y, width, height, image);
  ReleaseDC(nullptr, screen);
  return ok;
}

// The fourteen tiles of one size, read from the program's own resources.
struct TileSet {
  Image tiles[TILE_COUNT + 1];  // by offset, 1 to 14
};

bool LoadTileSet(int size, TileSet* set) {
  HMODULE module = LoadLibraryExA(e2e::ProgramPath(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return false;
  const int base = size == 15 ? TILE_BASE_15 : size == 18 ? TILE_BASE_18 : TILE_BASE_21;
  bool ok = true;
  HDC memory = CreateCompatibleDC(nullptr);
  for (int offset = 1; offset <= TILE_COUNT && ok; ++offset) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(module, MAKEINTRESOURCEA(base + offset), IMAGE_BITMAP, 0, 0, 0));
    if (!bitmap) {
      ok = false;
      break;
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    ok = CopyToImage(memory, 0, 0, size, size, &set->tiles[offset]);
    SelectObject(memory, old);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  FreeLibrary(module);
  return ok;
}

enum View { kCoveredView, kPlayView, kSolutionView };

// Which tile shows a cell value in each view.
int ExpectedTile(int value, View view) {
  if (view == kCoveredView) return TILE_COVERED;
  if (value >= 1 && value <= 8) return value;
  if (value == 0) return TILE_EMPTY;
  if (view == kPlayView) {
    if (value <= -17) return TILE_FLAG;
    if (value == 15) return TILE_EXPLODED;
    return TILE_COVERED;
  }
  if (value == -32) return TILE_FLAG;
  if (value <= -17) return TILE_WRONG_FLAG;
  if (value == -16 || value == 15) return TILE_MINE;
  if (value == -1) return TILE_EMPTY;
  return -1 - value;  // a covered number
}

// Every cell on screen against the tile its value calls for in this view.
::testing::AssertionResult GridShows(const e2e::Session& session, View view) {
  e2e::Snapshot snapshot;
  if (!e2e::ReadSnapshot(session, &snapshot)) return ::testing::AssertionFailure() << "no memory";
  const int size = snapshot.game.size;
  TileSet set;
  if (!LoadTileSet(size, &set)) return ::testing::AssertionFailure() << "no tiles in the exe";
  Image screen;
  if (!CaptureClient(session, snapshot.game.columns * size, snapshot.game.rows * size, &screen))
    return ::testing::AssertionFailure() << "no capture";
  for (int c = 1; c <= snapshot.game.columns; ++c) {
    for (int r = 1; r <= snapshot.game.rows; ++r) {
      const int value = snapshot.board[c][r];
      const int tile = ExpectedTile(value, view);
      const Image& expected = set.tiles[tile];
      for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
          const COLORREF seen = screen.At((c - 1) * size + x, (r - 1) * size + y);
          if (seen != expected.At(x, y)) {
            return ::testing::AssertionFailure()
                   << "cell (" << c << ", " << r << ") value " << value << " should show tile "
                   << tile << ": pixel (" << x << ", " << y << ") is " << std::hex << seen
                   << " instead of " << expected.At(x, y);
          }
        }
      }
    }
  }
  return ::testing::AssertionSuccess();
}

struct GridWait {
  const e2e::Session* session;
  View view;
};

bool GridIsShown(void* context) {
  const GridWait* wait = static_cast<GridWait*>(context);
  return GridShows(*wait->session, wait->view);
}

int32_t State(const e2e::Session& session) {
  e2e::Snapshot snapshot;
  return e2e::ReadSnapshot(session, &snapshot) ? snapshot.state : 99;
}

}  // namespace

// ---- Size and place.

TEST(WindowFrame, SizedToTheGridAndCentredAtEveryTileSizeAndSide) {
  for (int size : {15, 18, 21}) {
    for (int grid : {10, 30}) {
      SCOPED_TRACE(testing::Message() << "grid " << grid << ", tiles " << size);
      e2e::Session session;
      ASSERT_TRUE(e2e::Start(session, SettingsText(grid, size).text));
      RECT rect;
      ASSERT_TRUE(e2e::WindowRect(session.window, &rect));
      const int width = grid * size + 6;
      const int height =
          GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYMENU) + grid * size + 28;
      EXPECT_EQ(width, rect.right - rect.left);
      EXPECT_EQ(height, rect.bottom - rect.top);
      const POINT origin = CentredOrigin(width, height);
      EXPECT_EQ(origin.x, rect.left);
      EXPECT_EQ(origin.y, rect.top);
      EXPECT_TRUE(GridShows(session, kCoveredView));
      DWORD code = 99;
      ASSERT_TRUE(e2e::Close(session, &code));
      EXPECT_EQ(0u, code);
    }
  }
}

TEST(WindowFrame, NewGameKeyDealsAgainAndBringsAMovedWindowBackToTheCentre) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session));
  RECT centred;
  ASSERT_TRUE(e2e::WindowRect(session.window, &centred));

  e2e::Snapshot snapshot;
  ASSERT_TRUE(e2e::ReadSnapshot(session, &snapshot));
  int column, row;
  ASSERT_TRUE(FindCell(snapshot, IsCoveredNumber, &column, &row));
  ASSERT_TRUE(e2e::PressCell(session, column, row, e2e::kLeft));
  ASSERT_EQ(GS_RUNNING, State(session));

  ASSERT_TRUE(SetWindowPos(session.window, nullptr, 7, 9, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
  ASSERT_TRUE(e2e::Sync(session));
  RECT moved;
  ASSERT_TRUE(e2e::WindowRect(session.window, &moved));
  ASSERT_EQ(7, moved.left);

  ASSERT_TRUE(e2e::PressKey(session, VK_F2));
  RECT after;
  ASSERT_TRUE(e2e::WindowRect(session.window, &after));
  EXPECT_EQ(centred.left, after.left);
  EXPECT_EQ(centred.top, after.top);
  ASSERT_TRUE(e2e::ReadSnapshot(session, &snapshot));
  EXPECT_EQ(GS_READY, snapshot.state);  // dealt and drawn all covered
  EXPECT_EQ(snapshot.game.totalMines, snapshot.game.minesLeft);
  EXPECT_EQ("", StatusPart(session, 0));  // a fresh status bar has no time yet
  EXPECT_TRUE(GridShows(session, kCoveredView));
}

// ---- Menus, language and keys.

TEST(WindowMenus, TitleAndMenusInEnglishThenFrenchThenBack) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session));
  struct Texts {
    const char* bar[3];
    const char* items[9];
  };
  const int commands[9] = {100, 101, 102, 103, 200, 201, 202, 300, 301};
  const Texts english = {{"&Game", "&Options", "&Help"},
                         {"New Game\tF2", "See Solution", "Undo last move", "Quit", "Settings",
                          "Display scores", "Fran\347ais", "About the Torvane", "Help"}};
  const Texts french = {
      {"&Partie", "&Options", "&Aide"},
      {"Nouvelle partie\tF2", "Voir solution", "Annuler dernier coup", "Quitter", "Param\350tres",
       "Afficher scores", "English", "A propos du Torvane", "Aide"}};
  const Texts* expected[3] = {&english, &french, &english};
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(testing::Message() << "after " << round << " language switches");
    if (round > 0) {
      ASSERT_TRUE(e2e::SendCommand(session, IDM_LANGUAGE));
    }
    char title[64] = {};
    ASSERT_TRUE(e2e::WindowTitle(session.window, title, sizeof title));
    EXPECT_STREQ("Torvane", title);
    for (int position = 0; position < 3; ++position)
      EXPECT_EQ(expected[round]->bar[position], BarTitle(session, position));
    for (int i = 0; i < 9; ++i) {
      EXPECT_EQ(expected[round]->items[i], ItemText(session, commands[i])) << commands[i];
      const int state = commands[i] == IDM_UNDO ? MF_GRAYED : 0;
      EXPECT_EQ(state, e2e::MenuItemState(session, commands[i]) & MF_GRAYED) << commands[i];
    }
  }
}

TEST(WindowMenus, UndoGrayedAtStartEnabledByAnExplosionKeptAcrossLanguagesGrayedByEscape) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session));
  EXPECT_NE(0, e2e::MenuItemState(session, IDM_UNDO) & MF_GRAYED);

  e2e::Snapshot snapshot;
  ASSERT_TRUE(e2e::ReadSnapshot(session, &snapshot));
  int column, row;
  ASSERT_TRUE(FindCell(snapshot, IsMine, &column, &row));
  ASSERT_TRUE(e2e::PressCell(session, column, row, e2e::kLeft));
  ASSERT_EQ(GS_EXPLODED, State(session));
  EXPECT_EQ(0, e2e::MenuItemState(session, IDM_UNDO));
  ASSERT_TRUE(e2e::SendCommand(session, IDM_LANGUAGE));
  EXPECT_EQ(0, e2e::MenuItemState(session, IDM_UNDO)) << "the switch must keep the state";
  EXPECT_EQ("Annuler dernier coup", ItemText(session, IDM_UNDO));

  ASSERT_TRUE(e2e::PressKey(session, VK_ESCAPE));
  ASSERT_TRUE(e2e::ReadSnapshot(session, &snapshot));
  EXPECT_EQ(GS_RUNNING, snapshot.state);
  EXPECT_EQ(kCoveredMine, snapshot.board[column][row]);
  EXPECT_EQ(2, snapshot.game.undosLeft);
  EXPECT_NE(0, e2e::MenuItemState(session, IDM_UNDO) & MF_GRAYED);
  ASSERT_TRUE(e2e::SendCommand(session, IDM_LANGUAGE));
  EXPECT_NE(0, e2e::MenuItemState(session, IDM_UNDO) & MF_GRAYED);
}

TEST(WindowMenus, F3ChangesNothing) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session));
  e2e::Snapshot snapshot;
  ASSERT_TRUE(e2e::ReadSnapshot(session, &snapshot));
  int column, row;
  ASSERT_TRUE(FindCell(snapshot, IsCoveredNumber, &column, &row));
  ASSERT_TRUE(e2e::PressCell(session, column, row, e2e::kLeft));
  ASSERT_TRUE(SetWindowPos(session.window, nullptr, 5, 5, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
  ASSERT_TRUE(e2e::Sync(session));

  e2e::Snapshot before, after;
  RECT rectBefore, rectAfter;
  ASSERT_TRUE(e2e::ReadSnapshot(session, &before));
  ASSERT_TRUE(e2e::WindowRect(session.window, &rectBefore));
  ASSERT_TRUE(e2e::PressKey(session, VK_F3));
  ASSERT_TRUE(e2e::ReadSnapshot(session, &after));
  ASSERT_TRUE(e2e::WindowRect(session.window, &rectAfter));
  EXPECT_EQ(0, memcmp(before.board, after.board, sizeof before.board));
  EXPECT_EQ(before.state, after.state);
  EXPECT_EQ(before.game.minesLeft, after.game.minesLeft);
  EXPECT_EQ(rectBefore.left, rectAfter.left);  // no new game: it would have re-centred
  EXPECT_EQ(rectBefore.top, rectAfter.top);
  EXPECT_EQ(nullptr, e2e::FindAnyDialog(session));
  EXPECT_TRUE(e2e::IsRunning(session));
}

// ---- Status bar and clock.

TEST(WindowStatus, CountersAtStartAndTheirLabelsFollowTheLanguageAtTheNextRedraw) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session));
  EXPECT_EQ("", StatusPart(session, 0));
  EXPECT_EQ("Mines:16", StatusPart(session, 1));
  EXPECT_EQ("Undos:3", StatusPart(session, 2));

  ASSERT_TRUE(e2e::SendCommand(session, IDM_LANGUAGE));
  EXPECT_EQ("Undos:3", StatusPart(session, 2)) << "labels change at the next redraw only";
  e2e::Snapshot snapshot;
  ASSERT_TRUE(e2e::ReadSnapshot(session, &snapshot));
  int column, row;
  ASSERT_TRUE(FindCell(snapshot, IsCoveredSafe, &column, &row));
  ASSERT_TRUE(e2e::PressCell(session, column, row, e2e::kRight));  // a flag: 15 left
  EXPECT_EQ("Mines:15", StatusPart(session, 1));
  EXPECT_EQ("Annulations:3", StatusPart(session, 2));
}

TEST(WindowStatus, LeftFirstPressShowsZeroAtOnceThenTheClockCounts) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session));
  e2e::Snapshot snapshot;
  ASSERT_TRUE(e2e::ReadSnapshot(session, &snapshot));
  int column, row;
  ASSERT_TRUE(FindCell(snapshot, IsCoveredNumber, &column, &row));
  ASSERT_TRUE(e2e::PressCell(session, column, row, e2e::kLeft));
  EXPECT_EQ("0'00", StatusPart(session, 0));
  StatusWait wait = {&session, 0, "0'02"};
  EXPECT_TRUE(e2e::WaitUntil(StatusReads, &wait, 3500)) << StatusPart(session, 0);
  ASSERT_TRUE(e2e::ReadSnapshot(session, &snapshot));
  EXPECT_GE(snapshot.game.elapsedSeconds, 2);
}

TEST(WindowStatus, RightFirstPressLeavesTheTimeEmptyUntilTheFirstTick) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session));
  e2e::Snapshot snapshot;
  ASSERT_TRUE(e2e::ReadSnapshot(session, &snapshot));
  int column, row;
  ASSERT_TRUE(FindCell(snapshot, IsCoveredSafe, &column, &row));
  ASSERT_TRUE(e2e::PressCell(session, column, row, e2e::kRight));
  EXPECT_EQ(GS_RUNNING, State(session));
  EXPECT_EQ("", StatusPart(session, 0));
  StatusWait wait = {&session, 0, "0'01"};
  EXPECT_TRUE(e2e::WaitUntil(StatusReads, &wait, 2500)) << StatusPart(session, 0);
}

// ---- The tiles on screen.

TEST(WindowDrawing, CoveredPlayAndSolutionViewsShowTheCellsTiles) {
  for (int size : {18, 21, 15}) {
    SCOPED_TRACE(testing::Message() << "tiles " << size);
    e2e::Session session;
    ASSERT_TRUE(e2e::Start(session, SettingsText(12, size).text));
    EXPECT_EQ(GS_READY, State(session));
    EXPECT_TRUE(GridShows(session, kCoveredView));

    // A right flag, a wrong flag, a number, an empty area, then an explosion.
    e2e::Snapshot snapshot;
    ASSERT_TRUE(e2e::ReadSnapshot(session, &snapshot));
    int column, row;
    ASSERT_TRUE(FindCell(snapshot, IsMine, &column, &row));
    ASSERT_TRUE(e2e::PressCell(session, column, row, e2e::kRight));
    ASSERT_TRUE(FindCell(snapshot, IsCoveredSafe, &column, &row));
    ASSERT_TRUE(e2e::PressCell(session, column, row, e2e::kRight));
    ASSERT_TRUE(e2e::ReadSnapshot(session, &snapshot));
    if (FindCell(snapshot, IsCoveredNumber, &column, &row)) {
      ASSERT_TRUE(e2e::PressCell(session, column, row, e2e::kLeft));
    }
    ASSERT_TRUE(e2e::ReadSnapshot(session, &snapshot));
    if (FindCell(snapshot, IsCoveredEmpty, &column, &row)) {
      ASSERT_TRUE(e2e::PressCell(session, column, row, e2e::kLeft));
    }
    ASSERT_TRUE(e2e::ReadSnapshot(session, &snapshot));
    ASSERT_TRUE(FindCell(snapshot, IsMine, &column, &row));
    ASSERT_TRUE(e2e::PressCell(session, column, row, e2e::kLeft));
    ASSERT_EQ(GS_EXPLODED, State(session));
    EXPECT_TRUE(GridShows(session, kPlayView));

    ASSERT_TRUE(e2e::SendCommand(session, IDM_SEE_SOLUTION));
    ASSERT_EQ(GS_OVER, State(session));
    EXPECT_TRUE(GridShows(session, kSolutionView));
  }
}

TEST(WindowDrawing, AnUncoveredWindowIsRepaintedFromTheBoard) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session));
  e2e::Snapshot snapshot;
  ASSERT_TRUE(e2e::ReadSnapshot(session, &snapshot));
  int column, row;
  ASSERT_TRUE(FindCell(snapshot, IsCoveredNumber, &column, &row));
  ASSERT_TRUE(e2e::PressCell(session, column, row, e2e::kLeft));
  ASSERT_TRUE(GridShows(session, kPlayView));

  // Paint over the grid on the screen, then have the system ask the program to repaint it.
  RECT client;
  ASSERT_TRUE(e2e::ClientRect(session.window, &client));
  HDC dc = GetDC(session.window);
  HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
  FillRect(dc, &client, magenta);
  DeleteObject(magenta);
  ReleaseDC(session.window, dc);
  GdiFlush();
  ASSERT_FALSE(GridShows(session, kPlayView)) << "the grid was not painted over";

  ASSERT_TRUE(InvalidateRect(session.window, nullptr, FALSE));
  GridWait wait = {&session, kPlayView};
  EXPECT_TRUE(e2e::WaitUntil(GridIsShown, &wait)) << GridShows(session, kPlayView).message();
  EXPECT_FALSE(GetUpdateRect(session.window, nullptr, FALSE)) << "the paint must validate";
}

// ---- The ways out, each writing the settings file at exit.

namespace {

void ExpectEndsAndWrites(void (*how)(e2e::Session&), const char* what) {
  SCOPED_TRACE(what);
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session));
  ASSERT_TRUE(e2e::SendCommand(session, IDM_LANGUAGE));  // French, to see it reach the file
  char text[2048];
  ASSERT_FALSE(e2e::ReadSettingsFile(session, text, sizeof text)) << "written before the end";
  how(session);
  DWORD code = 99;
  ASSERT_TRUE(e2e::WaitForExit(session, &code));
  EXPECT_EQ(0u, code);
  size_t length = 0;
  ASSERT_TRUE(e2e::ReadSettingsFile(session, text, sizeof text, &length));
  EXPECT_EQ(0, strncmp(text, "ratio=6\r\ngrille=10\r\nlarg=18\r\nlang=0\r\nsons=0\r\n", 45))
      << text;
  int lines = 0;
  for (size_t i = 0; i < length; ++i) lines += text[i] == '\n';
  EXPECT_EQ(29, lines);
}

void Quit(e2e::Session& session) {
  PostMessageA(session.window, WM_COMMAND, IDM_QUIT, 0);
}
void CloseMessage(e2e::Session& session) {
  PostMessageA(session.window, WM_CLOSE, 0, 0);
}
void AltF4(e2e::Session& session) {
  // What the keyboard gives for F4 with Alt held: the system key, with the Alt bit set.
  PostMessageA(session.window, WM_SYSKEYDOWN, VK_F4, 0x20000001 | (0x3E << 16));
}
void SystemMenuClose(e2e::Session& session) {
  PostMessageA(session.window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

}  // namespace

TEST(WindowExit, QuitCloseAltF4AndTheSystemMenuEachEndTheProgramAndWriteTheFile) {
  ExpectEndsAndWrites(Quit, "Quit");
  ExpectEndsAndWrites(CloseMessage, "WM_CLOSE");
  ExpectEndsAndWrites(AltF4, "Alt+F4");
  ExpectEndsAndWrites(SystemMenuClose, "system menu Close");
}
