// test_fatal.cpp: a settings file that exists but cannot be opened for reading and writing stops
// the start with the fatal message box, exit code 1 and the file left as it was.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

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

TEST(Fatal, ASettingsFileThatCannotBeOpenedForWritingEndsTheStartWithTheMessage) {
  const std::string settings = e2e::SettingsText(16, 21, 5, true, 1, "120, Ann\r\n");
  e2e::Session session;
  ASSERT_TRUE(e2e::Prepare(session, settings));
  WriteLock lock(session.settingsPath);
  ASSERT_NE(INVALID_HANDLE_VALUE, lock.file) << session.settingsPath;
  ASSERT_TRUE(e2e::Launch(session));

  TopLevels found = {};
  ASSERT_TRUE(e2e::WaitUntil([&] {
    found = SurveyProgram(session);
    return found.box != nullptr || WaitForSingleObject(session.process.hProcess, 0) == 0;
  }));
  ASSERT_NE(nullptr, found.box) << "the program ended without the message box";
  EXPECT_EQ(0, found.mainWindows);

  // The caption is string 500 as the exe holds it; the text names the path the program derived
  // from its own (the message's static control is 0xFFFF on Windows and under Wine).
  HMODULE exe = LoadLibraryExA(e2e::ProgramPath(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, exe) << e2e::ProgramPath();
  char caption[256] = {};
  ASSERT_GT(LoadStringA(exe, IDS_CAPTION, caption, sizeof caption), 0);
  FreeLibrary(exe);
  EXPECT_EQ(caption, e2e::Text(found.box));
  EXPECT_EQ(std::string("Erreur \xE0 l'ouverture du fichier : ") + session.settingsPath,
            e2e::Text(found.box, 0xFFFF));
  EXPECT_EQ(1, VisibleButtons(found.box));
  HWND ok = GetDlgItem(found.box, IDOK);
  ASSERT_TRUE(ok != nullptr && IsWindowVisible(ok));

  ASSERT_TRUE(PostMessageA(ok, BM_CLICK, 0, 0));
  EXPECT_TRUE(e2e::Ended(session, 1));
  std::string file;
  ASSERT_TRUE(e2e::ReadSettingsFile(session, &file));
  EXPECT_EQ(settings, file);
}

}  // namespace
