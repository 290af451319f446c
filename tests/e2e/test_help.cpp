// test_help.cpp: the help beside the program, as each Windows gets it. Told it runs on Windows XP,
// F1 and Help > Help open the platform's help viewer on the help file at its contents, from a deep
// folder too, and the program's end closes the viewer (HELP_QUIT); told it runs on Windows 10,
// they open the help page of the language in force through the shell, or say which page is
// missing (or why not), in XP's compatibility mode too, the shell loaded at the first need.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "res/string_table.h"
#include "tests/e2e/driver.h"

namespace {

using e2e::RegistryValue;

// The Windows version that Wine reports to torvane.exe, read when the program starts.
RegistryValue WindowsVersion(const char* version) {
  return RegistryValue(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\torvane.exe", "Version",
                       version);
}

// The viewer is another program, started on the first call; its first start may be slow.
constexpr DWORD kViewerTimeoutMs = 30000;

std::string Caption(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// What other programs of the desktop show: the help viewer's window (captioned with the help
// file's title) and the texts of any message boxes, such as one saying a file cannot be found.
struct Others {
  DWORD program = 0;
  HWND viewer = nullptr;
  std::string boxes;
  DWORD shower = 0;  // the process that shows the viewer or a box
};

BOOL CALLBACK AppendText(HWND child, LPARAM context) {
  *reinterpret_cast<std::string*>(context) += " " + Caption(child);
  return TRUE;
}

BOOL CALLBACK NoteWindow(HWND window, LPARAM context) {
  Others* others = reinterpret_cast<Others*>(context);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == others->program || process == GetCurrentProcessId() || !IsWindowVisible(window))
    return TRUE;
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  if (Caption(window) == FindStringEntry(IDS_CAPTION)) {
    others->viewer = window;
    others->shower = process;
  } else if (strcmp(className, "#32770") == 0) {
    others->shower = process;
    others->boxes += "[" + Caption(window) + ":";
    EnumChildWindows(window, AppendText, reinterpret_cast<LPARAM>(&others->boxes));
    others->boxes += "]";
  }
  return TRUE;
}

Others LookAround(const e2e::Session& session) {
  Others others;
  others.program = session.process.dwProcessId;
  EnumWindows(NoteWindow, reinterpret_cast<LPARAM>(&others));
  return others;
}

// Waits for the viewer's window, or for a message box in its place.
Others WaitForViewer(const e2e::Session& session) {
  Others others;
  e2e::WaitUntil(
      [&] {
        others = LookAround(session);
        return others.viewer != nullptr || !others.boxes.empty();
      },
      kViewerTimeoutMs);
  return others;
}

// The texts of the viewer's panes: its contents topic offers the two languages.
BOOL CALLBACK AppendPaneText(HWND child, LPARAM context) {
  char text[4096] = {};
  DWORD_PTR got = 0;
  if (SendMessageTimeoutA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                          SMTO_NORMAL, e2e::kTimeoutMs, &got) != 0) {
    *reinterpret_cast<std::string*>(context) += std::string(text) + "\n";
  }
  return TRUE;
}

std::string Shown(HWND viewer) {
  std::string text;
  EnumChildWindows(viewer, AppendPaneText, reinterpret_cast<LPARAM>(&text));
  return text;
}

// A viewer left open by a failing test would serve the next test's calls: end it.
struct EndViewerAtExit {
  const e2e::Session& session;
  ~EndViewerAtExit() {
    const DWORD process = LookAround(session).shower;
    if (process == 0) return;
    HANDLE viewer = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, process);
    if (viewer == nullptr) return;
    TerminateProcess(viewer, 1);
    WaitForSingleObject(viewer, e2e::kTimeoutMs);
    CloseHandle(viewer);
  }
};

// Moves the prepared program, help file and settings into another folder, then starts it there:
// one deep enough that the help file's path has 128 characters or more, where the viewer's
// OpenFile gives up on a long path; or, for an ordinary path, Wine's temporary folder (the build
// may lie deep enough itself).
bool StartMoved(e2e::Session& session, bool deep) {
  if (!e2e::Prepare(session, e2e::SettingsText())) return false;
  char temporary[MAX_PATH] = {};
  GetTempPathA(sizeof temporary, temporary);
  std::string folder = deep ? std::string(session.folder) + "\\Un dossier au nom long "
                            : std::string(temporary) + "torvane-help";
  if (deep) folder.append(folder.size() < 130 ? 130 - folder.size() : 1, 'x');
  CreateDirectoryA(folder.c_str(), nullptr);  // or left by an earlier run
  for (const char* name : {"\\torvane.exe", "\\torvane.hlp", "\\torvane.ini"}) {
    if (!MoveFileExA((session.folder + std::string(name)).c_str(), (folder + name).c_str(),
                     MOVEFILE_REPLACE_EXISTING))
      return false;
  }
  return (folder.size() + strlen("\\torvane.hlp") >= OFS_MAXPATHNAME) == deep &&
         e2e::StartIn(session, folder.c_str());
}

// Told it runs on Windows XP: from a deep folder F1 and Help > Help, from an ordinary one F1 alone.
void OpenTheViewerAndQuit(bool deep) {
  const RegistryValue xp = WindowsVersion("winxp");
  e2e::Session session;
  ASSERT_TRUE(StartMoved(session, deep));
  ASSERT_EQ(nullptr, LookAround(session).viewer) << "a help viewer is open already";
  EndViewerAtExit ending{session};
  const e2e::Snapshot before = e2e::ReadSnapshot(session);

  HWND viewer = nullptr;
  for (const bool byKey : {true, false}) {
    SCOPED_TRACE(byKey ? "F1" : "Help > Help");
    // Posted without waiting: the program's help call waits until the viewer has the file.
    ASSERT_TRUE(byKey ? e2e::Key(session, VK_F1, nullptr, false)
                      : PostMessageA(session.window, WM_COMMAND, IDM_HELP, 0));
    const Others others = WaitForViewer(session);
    ASSERT_NE(nullptr, others.viewer) << "no help viewer; message boxes: " << others.boxes;
    EXPECT_EQ("", others.boxes);
    viewer = others.viewer;
    const std::string shown = Shown(viewer);
    for (const char* offer : {"Choose your language.", "Fran\347ais", "English"})
      EXPECT_NE(std::string::npos, shown.find(offer)) << offer << " is not in:\n" << shown;

    // The program answers again, with its game as it was.
    ASSERT_TRUE(e2e::Flush(session));
    const e2e::Snapshot after = e2e::ReadSnapshot(session);
    EXPECT_EQ(before.state, after.state);
    EXPECT_EQ(0, memcmp(before.board, after.board, sizeof before.board));
    if (!deep) break;
    if (byKey) {
      // The player closes the viewer, which ends; Help > Help then starts it anew.
      DWORD process = 0;
      GetWindowThreadProcessId(viewer, &process);
      HANDLE closing = OpenProcess(SYNCHRONIZE, FALSE, process);
      ASSERT_NE(nullptr, closing);
      EXPECT_TRUE(PostMessageA(viewer, WM_CLOSE, 0, 0));
      EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(closing, kViewerTimeoutMs));
      CloseHandle(closing);
    }
  }

  // Game > Quit: the program ends as ever, and its HELP_QUIT closes the viewer.
  ASSERT_TRUE(PostMessageA(session.window, WM_COMMAND, IDM_QUIT, 0));
  ASSERT_TRUE(e2e::Ended(session));
  EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(viewer); }, kViewerTimeoutMs))
      << "the viewer stayed open";
  std::string file;
  ASSERT_TRUE(e2e::ReadSettingsFile(session, &file));
  EXPECT_EQ(e2e::SettingsText(), file.substr(0, e2e::SettingsText().size()));
  for (const char* name : {"\\torvane.exe", "\\torvane.hlp", "\\torvane.ini"})
    if (!deep) DeleteFileA((session.folder + std::string(name)).c_str());
  if (!deep) RemoveDirectoryA(session.folder);  // Wine's temporary folder: none left in the prefix
}

TEST(Help, AsWindowsXpF1AndHelpOpenTheViewerAtTheContentsAndQuitClosesIt) {
  OpenTheViewerAndQuit(true);
  OpenTheViewerAndQuit(false);
}

// The file's whole text, or "" when it is missing.
std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

// Windows 10 in the compatibility mode for XP too, whose GetVersion says 5.1.
TEST(Help, AsWindows10F1OpensThePageOfTheLanguageThroughTheShellOrSaysWhyNot) {
  const RegistryValue win10 = WindowsVersion("win10");
  e2e::Session session;
  ASSERT_TRUE(e2e::Prepare(session, e2e::SettingsText()));
  const std::string folder = session.folder, record = folder + "\\opened.txt";
  const std::string built = e2e::ProgramPath();
  const std::string pages[] = {"torvane-en.htm", "torvane-fr.htm"};
  for (const std::string& page : pages) {
    ASSERT_TRUE(CopyFileA((built.substr(0, built.rfind('\\') + 1) + page).c_str(),
                          (folder + "\\" + page).c_str(), FALSE))
        << page;
  }
  // The recorder stands in for the browser: .htm pages open with it. (Wine 8 looks for the
  // association in the classes root alone, which is the machine's, not in HKCU\Software\Classes.)
  const RegistryValue type(HKEY_CLASSES_ROOT, ".htm", nullptr, "Torvane.TestPage");
  const RegistryValue kind(HKEY_CLASSES_ROOT, "Torvane.TestPage", nullptr, "Torvane test page");
  const RegistryValue command(HKEY_CLASSES_ROOT, "Torvane.TestPage\\shell\\open\\command", nullptr,
                              "\"" + e2e::BuildPath(E2E_RECORDER) + "\" \"" + record + "\" \"%1\"");
  SetEnvironmentVariableA("__COMPAT_LAYER", "WinXPSp3");
  ASSERT_TRUE(e2e::StartPrepared(session));
  SetEnvironmentVariableA("__COMPAT_LAYER", nullptr);

  // Asked nothing yet, the program has loaded neither what screen readers nor what the shell
  // needs; the first question of a screen reader, then the first F1 below, are answered anyway.
  // (The probe that the version's lie needs brings oleacc and oleaut32.)
  for (const char* dll : {"oleacc.dll", "oleaut32.dll", "shell32.dll"})
    EXPECT_FALSE(e2e::HasLoaded(session, dll)) << dll << " loaded at start-up";
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  IAccessible* grid = nullptr;
  ASSERT_EQ(S_OK,
            AccessibleObjectFromWindow(session.window, static_cast<DWORD>(OBJID_CLIENT),
                                       __uuidof(IAccessible), reinterpret_cast<void**>(&grid)));
  BSTR value = nullptr;
  char narrow[64] = "";
  EXPECT_EQ(S_OK, grid->get_accValue(Child(1), &value));
  WideCharToMultiByte(CP_ACP, 0, value, -1, narrow, sizeof narrow, nullptr, nullptr);
  EXPECT_STREQ(FindStringEntry(IDS_TILE_TEXT_COVERED + ENGLISH_OFFSET), narrow);
  SysFreeString(value);
  grid->Release();

  ASSERT_TRUE(e2e::LieAboutVersion(session));

  // English first, then French after the switch: the page of the language in force. Then the
  // same with no program for pages, and with the pages gone: a message says why, and goes when
  // answered.
  for (int round = 0; round < 6; ++round) {
    const std::string page = folder + "\\" + pages[round % 2];
    SCOPED_TRACE(page);
    ASSERT_EQ(ERROR_SUCCESS, type.Set(round / 2 == 1 ? "Torvane.None" : "Torvane.TestPage"));
    ASSERT_TRUE(round < 4 || DeleteFileA(page.c_str()));
    DeleteFileA(record.c_str());
    ASSERT_TRUE(e2e::Key(session, VK_F1, nullptr, false));
    if (round < 2) {
      EXPECT_TRUE(e2e::WaitUntil([&] { return !ReadText(record).empty(); }, kViewerTimeoutMs))
          << "the shell opened no page";
      EXPECT_EQ(page, ReadText(record));
      ASSERT_TRUE(e2e::Flush(session));
      EXPECT_EQ(nullptr, e2e::FindDialog(session, 0)) << e2e::Text(e2e::FindDialog(session, 0));
    } else {
      HWND box = e2e::WaitForDialog(session, 0);
      ASSERT_NE(nullptr, box) << "no message";
      std::string message =
          FindStringEntry((round < 4 ? IDS_HELP_NO_BROWSER : IDS_HELP_PAGE_MISSING) +
                          (round % 2 == 0 ? ENGLISH_OFFSET : 0));
      EXPECT_EQ(FindStringEntry(IDS_CAPTION), e2e::Text(box));
      EXPECT_EQ(message.replace(message.find("%s"), 2, page), e2e::Text(box, 0xFFFF));
      ASSERT_TRUE(PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0));
      EXPECT_TRUE(e2e::WaitForGone(box));
      EXPECT_EQ("", ReadText(record));
    }
    ASSERT_TRUE(e2e::Command(session, IDM_LANGUAGE));
  }
  EXPECT_TRUE(e2e::Close(session));
  CoUninitialize();
}

// The text of the message box that the program shows now, once answered; "" when none comes.
std::string AnswerBox(const e2e::Session& session) {
  HWND box = e2e::WaitForDialog(session, 0);
  const std::string text = box != nullptr ? e2e::Text(box, 0xFFFF) : "";
  if (box != nullptr && PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0)) e2e::WaitForGone(box);
  return text;
}

TEST(Help, WithoutTheShellF1SaysOnceWhichDllIsMissingAndTheGameGoesOn) {
  const RegistryValue win10 = WindowsVersion("win10");
  // Wine leaves out a DLL that a program's overrides disable: as a Windows without it would.
  const RegistryValue noShell(
      HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\torvane.exe\\DllOverrides", "shell32", "");
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session, e2e::SettingsText()));
  std::string missing = FindStringEntry(IDS_DLL_MISSING + ENGLISH_OFFSET);
  missing.replace(missing.find("%s"), 2, "shell32.dll");
  missing.replace(missing.find("%s"), 2, "ShellExecuteExA");
  // The first F1 says what is missing, then that the page did not open; the second, only that.
  for (const bool first : {true, false}) {
    ASSERT_TRUE(e2e::Key(session, VK_F1, nullptr, false));
    if (first) {
      EXPECT_EQ(missing, AnswerBox(session));
    }
    EXPECT_EQ(0u, AnswerBox(session).find("The help page could not be opened"));
  }
  EXPECT_TRUE(e2e::Close(session));
}

}  // namespace
