// test_harness.cpp: the driver itself against the real program: start and close, the records read
// from memory agree with the window, posted input is waited for, the texts of the exe under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "res/string_table.h"
#include "tests/e2e/driver.h"

namespace {

int CountLines(const char* text, bool* allCrLf) {
  int lines = 0;
  *allCrLf = true;
  for (const char* p = text; *p; ++p) {
    if (*p != '\n') continue;
    ++lines;
    if (p == text || p[-1] != '\r') *allCrLf = false;
  }
  return lines;
}

TEST(Harness, StartsInPrivateFolderAndWritesSettingsAtClose) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session));
  char className[32] = {};
  GetClassNameA(session.window, className, sizeof className);
  EXPECT_STREQ("TORVANE", className);
  EXPECT_TRUE(IsWindowVisible(session.window));
  // No settings file before the program ends: it is written once, at exit.
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(session.settingsPath));

  DWORD exitCode = 12345;
  ASSERT_TRUE(e2e::Close(session, &exitCode));
  EXPECT_EQ(0u, exitCode);
  char text[4096];
  size_t length = 0;
  ASSERT_TRUE(e2e::ReadSettingsFile(session, text, sizeof text, &length))
      << "no settings file at " << session.settingsPath;
  bool allCrLf = false;
  EXPECT_EQ(29, CountLines(text, &allCrLf)) << text;
  EXPECT_TRUE(allCrLf) << text;
  EXPECT_FALSE(e2e::IsRunning(session));
}

TEST(Harness, QuitCommandEndsTheProgramLikeClosing) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session));
  // Flush copes with a program that its flushed command ends.
  ASSERT_TRUE(e2e::PostCommand(session, IDM_QUIT));
  DWORD exitCode = 12345;
  ASSERT_TRUE(e2e::WaitForExit(session, &exitCode));
  EXPECT_EQ(0u, exitCode);
  char text[4096];
  EXPECT_TRUE(e2e::ReadSettingsFile(session, text, sizeof text));
}

// If the map addresses were wrong, these records would not agree with what the window shows.
TEST(Harness, RecordsReadFromMemoryAgreeWithTheWindow) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session, "ratio=5\r\ngrid=14\r\nsize=21\r\nlang=1000\r\nsound=0\r\n"));
  e2e::Snapshot snapshot;
  ASSERT_TRUE(e2e::ReadSnapshot(session, &snapshot));
  EXPECT_EQ(GS_READY, snapshot.state);
  EXPECT_EQ(14, snapshot.game.columns);
  EXPECT_EQ(14, snapshot.game.rows);
  EXPECT_EQ(5, snapshot.game.ratio);
  EXPECT_EQ(21, snapshot.game.size);
  EXPECT_EQ(snapshot.game.totalMines, snapshot.game.minesLeft);

  int mines = 0;
  for (int column = 0; column < kBoardSide; ++column) {
    for (int row = 0; row < kBoardSide; ++row) {
      signed char cell = snapshot.board[column][row];
      bool inGrid = column >= 1 && column <= 14 && row >= 1 && row <= 14;
      if (!inGrid) {
        EXPECT_EQ(0, cell) << "border cell " << column << "," << row;
        continue;
      }
      EXPECT_TRUE(cell >= -16 && cell <= -1) << "cell " << column << "," << row << " = " << +cell;
      if (cell == kCoveredMine) ++mines;
    }
  }
  EXPECT_EQ(snapshot.game.totalMines, mines);

  RECT client;
  ASSERT_TRUE(e2e::ClientRect(session.window, &client));
  EXPECT_EQ(14 * 21, client.right - client.left);
  char status[64];
  ASSERT_TRUE(e2e::StatusText(session, 1, status, sizeof status));
  char expected[64];
  snprintf(expected, sizeof expected, "Mines:%d", static_cast<int>(snapshot.game.minesLeft));
  EXPECT_STREQ(expected, status);

  // The language in memory follows the command.
  int32_t language = -1;
  ASSERT_TRUE(e2e::ReadSymbol(session, "_LanguageOffset", &language, sizeof language));
  EXPECT_EQ(1000, language);
  ASSERT_TRUE(e2e::SendCommand(session, IDM_LANGUAGE));
  ASSERT_TRUE(e2e::ReadSymbol(session, "_LanguageOffset", &language, sizeof language));
  EXPECT_EQ(0, language);
}

// Flush must not return before the posted presses are handled: a fast run of posted presses,
// each checked at once in memory, catches a flush that only waits for sent messages.
TEST(Harness, PostedPressesAreHandledWhenFlushReturns) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session, "ratio=4\r\ngrid=30\r\nsize=15\r\nlang=1000\r\nsound=0\r\n"));
  e2e::Snapshot snapshot;
  ASSERT_TRUE(e2e::ReadSnapshot(session, &snapshot));
  int presses = 0;
  for (int column = 1; column <= snapshot.game.columns && presses < 60; ++column) {
    for (int row = 1; row <= snapshot.game.rows && presses < 60; ++row) {
      if (snapshot.board[column][row] != kCoveredMine) continue;
      // A flag on a mine: the counter drops by one per press.
      ASSERT_TRUE(e2e::PostPressCell(session, column, row, e2e::kRight));
      ++presses;
      int32_t expectedLeft = snapshot.game.totalMines - presses;
      e2e::Snapshot after;
      ASSERT_TRUE(e2e::ReadSnapshot(session, &after));
      ASSERT_EQ(kFlaggedMine, after.board[column][row]) << "press " << presses;
      ASSERT_EQ(expectedLeft, after.game.minesLeft) << "press " << presses;
    }
  }
  EXPECT_EQ(60, presses);
  // A key goes through the program's accelerators and is waited for likewise: F2 deals anew.
  ASSERT_TRUE(e2e::PressKey(session, VK_F2));
  ASSERT_TRUE(e2e::ReadSnapshot(session, &snapshot));
  EXPECT_EQ(snapshot.game.totalMines, snapshot.game.minesLeft);
  EXPECT_EQ(GS_READY, snapshot.state);
}

// Every text of the string table as Windows hands it out of the exe (LoadStringA in the ANSI
// code page) equals the table the host build is made from.
TEST(Harness, ExeStringsUnderWineEqualTheTable) {
  HMODULE exe = LoadLibraryExA(e2e::ProgramPath(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, exe) << e2e::ProgramPath();
  int withText = 0;
  for (int i = 0; i < kStringCount; ++i)
    if (kStringTable[i].text != nullptr) ++withText;
  int compared = 0;
  for (int base : {400, 1400}) {
    for (int id = base; id <= base + 121; ++id) {
      char text[1024] = {};
      int length = LoadStringA(exe, static_cast<UINT>(id), text, sizeof text);
      const char* expected = FindStringEntry(id);
      if (expected == nullptr) {
        EXPECT_EQ(0, length) << "id " << id << " has text \"" << text << "\" in the exe only";
        continue;
      }
      EXPECT_STREQ(expected, text) << "id " << id;
      EXPECT_EQ(static_cast<int>(strlen(expected)), length) << "id " << id;
      ++compared;
    }
  }
  EXPECT_EQ(withText, compared) << "the table has texts outside 400-521 and 1400-1521";
  FreeLibrary(exe);
}

TEST(Harness, ScreenshotIsAWholeScreenBitmap) {
  char path[MAX_PATH];
  snprintf(path, sizeof path, "%s\\harness-screenshot.bmp", e2e::WorkRoot());
  CreateDirectoryA(e2e::WorkRoot(), nullptr);
  ASSERT_TRUE(e2e::SaveScreenshot(path));
  FILE* file = fopen(path, "rb");
  ASSERT_NE(nullptr, file);
  BITMAPFILEHEADER header = {};
  BITMAPINFOHEADER info = {};
  ASSERT_EQ(1u, fread(&header, sizeof header, 1, file));
  ASSERT_EQ(1u, fread(&info, sizeof info, 1, file));
  fseek(file, 0, SEEK_END);
  long size = ftell(file);
  fclose(file);
  DeleteFileA(path);
  EXPECT_EQ(0x4D42, header.bfType);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), info.biWidth);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), info.biHeight);
  EXPECT_EQ(24, info.biBitCount);
  EXPECT_EQ(static_cast<long>(header.bfSize), size);
}

}  // namespace
