// test_fatal.cpp: a settings file that cannot be opened: at the start (an existing file refusing
// writes, or a folder in its place) and at exit (a folder made in its place meanwhile), the fatal
// message box, then exit code 1; the ending program's window meanwhile.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"

namespace {

// The settings file held open by the test, others allowed to read it but not to write it, so
// the program's read-write open is refused as on a real system. A read-only attribute would
// not do: under Wine, root opens such a file for writing all the same.
struct WriteLock {
  HANDLE file;
  explicit WriteLock(const char* path)
      : file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~WriteLock() {
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
};

// The program's top-level windows, shown or not: its visible ownerless dialog, and how many
// windows of the main window's class it made.
struct TopLevels {
  DWORD processId;
  HWND box;
  int mainWindows;
};

BOOL CALLBACK Survey(HWND window, LPARAM context) {
  TopLevels* found = reinterpret_cast<TopLevels*>(context);
  DWORD processId = 0;
  char className[64] = {};
  GetWindowThreadProcessId(window, &processId);
  if (processId != found->processId || GetClassNameA(window, className, sizeof className) == 0) {
    return TRUE;
  }
  if (strcmp(className, "TORVANE") == 0) ++found->mainWindows;
  if (strcmp(className, "#32770") == 0 && IsWindowVisible(window) &&
      GetWindow(window, GW_OWNER) == nullptr) {
    found->box = window;
  }
  return TRUE;
}

TopLevels SurveyProgram(const e2e::Session& session) {
  TopLevels found = {session.process.dwProcessId, nullptr, 0};
  EnumWindows(Survey, reinterpret_cast<LPARAM>(&found));
  return found;
}

int VisibleButtons(HWND box) {
  int count = 0;
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    char className[16] = {};
    GetClassNameA(child, className, sizeof className);
    count += _stricmp(className, "Button") == 0 && IsWindowVisible(child);
  }
  return count;
}

// The program's ownerless error box, once it shows (null if the program ended without it).
HWND WaitForFatalBox(const e2e::Session& session, TopLevels* found) {
  e2e::WaitUntil([&] {
    *found = SurveyProgram(session);
    return found->box != nullptr || WaitForSingleObject(session.process.hProcess, 0) == 0;
  });
  return found->box;
}

// The box names the settings path after the French prefix, under the program's caption (string
// 500 as the exe holds it), with one button; OK ends the program with exit code 1.
void AnswerFatalBox(e2e::Session& session, HWND box) {
  HMODULE exe = LoadLibraryExA(e2e::ProgramPath(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, exe) << e2e::ProgramPath();
  char caption[256] = {};
  ASSERT_GT(LoadStringA(exe, IDS_CAPTION, caption, sizeof caption), 0);
  FreeLibrary(exe);
  EXPECT_EQ(caption, e2e::Text(box));
  // The message's static control is 0xFFFF on Windows and under Wine.
  EXPECT_EQ(std::string("Erreur \xE0 l'ouverture du fichier : ") + session.settingsPath,
            e2e::Text(box, 0xFFFF));
  EXPECT_EQ(1, VisibleButtons(box));
  HWND ok = GetDlgItem(box, IDOK);
  ASSERT_TRUE(ok != nullptr && IsWindowVisible(ok));
  // The box stays until it is answered.
  EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(session.process.hProcess, 200));
  ASSERT_TRUE(PostMessageA(ok, BM_CLICK, 0, 0));
  EXPECT_TRUE(e2e::Ended(session, 1));
}

TEST(Fatal, ASettingsFileThatCannotBeOpenedForWritingEndsTheStartWithTheMessage) {
  const std::string settings = e2e::SettingsText(16, 21, 5, true, 1, "120, Ann\r\n");
  e2e::Session session;
  ASSERT_TRUE(e2e::Prepare(session, settings));
  WriteLock lock(session.settingsPath);
  ASSERT_NE(INVALID_HANDLE_VALUE, lock.file) << session.settingsPath;
  ASSERT_TRUE(e2e::Launch(session));

  TopLevels found = {};
  HWND box = WaitForFatalBox(session, &found);
  ASSERT_NE(nullptr, box) << "the program ended without the message box";
  EXPECT_EQ(0, found.mainWindows);
  AnswerFatalBox(session, box);
  std::string file;
  ASSERT_TRUE(e2e::ReadSettingsFile(session, &file));
  EXPECT_EQ(settings, file);
}

// A folder in the settings file's place would lose the session at exit: the start ends there.
TEST(Fatal, AFolderInTheSettingsFilesPlaceEndsTheStartWithTheMessage) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Prepare(session, ""));
  ASSERT_TRUE(CreateDirectoryA(session.settingsPath, nullptr)) << session.settingsPath;
  ASSERT_TRUE(e2e::Launch(session));
  TopLevels found = {};
  ASSERT_NE(nullptr, WaitForFatalBox(session, &found)) << "the program ended without the box";
  EXPECT_EQ(0, found.mainWindows);
  AnswerFatalBox(session, found.box);
  EXPECT_NE(0u, GetFileAttributesA(session.settingsPath) & FILE_ATTRIBUTE_DIRECTORY);
}

// A folder made where the settings file belongs while the program runs: the save at exit,
// which cannot put a file there, shows the same message whichever way the program is left. The
// ending program's window is out of sight meanwhile, and a press posted to it draws nothing (a
// drawing through the cleared window handle would land on the screen's top left corner).
TEST(Fatal, ASettingsFileThatCannotBeWrittenAtExitEndsTheProgramWithTheMessage) {
  const struct {
    const char* name;
    UINT message;
    WPARAM wParam;
  } ways[] = {{"Game > Quit", WM_COMMAND, IDM_QUIT}, {"WM_CLOSE", WM_CLOSE, 0}};
  for (const auto& way : ways) {
    SCOPED_TRACE(way.name);
    e2e::Session session;
    ASSERT_TRUE(e2e::Prepare(session, ""));
    ASSERT_TRUE(e2e::StartPrepared(session));
    EXPECT_TRUE(e2e::WindowFits(session, 10, 18));
    ASSERT_TRUE(CreateDirectoryA(session.settingsPath, nullptr)) << session.settingsPath;

    ASSERT_TRUE(PostMessageA(session.window, way.message, way.wParam, 0));
    TopLevels found = {};
    HWND box = WaitForFatalBox(session, &found);
    ASSERT_NE(nullptr, box) << "the program ended without the message box";
    EXPECT_FALSE(IsWindowVisible(session.window));
    const int side = 4 * 18;  // four tiles a side
    const std::vector<DWORD> corner = e2e::ScreenPixels(0, 0, side, side);
    ASSERT_FALSE(corner.empty());
    ASSERT_TRUE(e2e::PressCell(session, 2, 2, e2e::kLeft, true));
    EXPECT_FALSE(e2e::WaitUntil([&] { return e2e::ScreenPixels(0, 0, side, side) != corner; }, 500))
        << "the press drew on the screen";
    AnswerFatalBox(session, box);
    const DWORD attributes = GetFileAttributesA(session.settingsPath);
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
              GetFileAttributesA((std::string(session.settingsPath) + ".new").c_str()));
  }
}

}  // namespace
