// test_help.cpp: the help file beside the program: F1 and Help > Help open the platform's help
// viewer on it at its contents, and the program's end closes the viewer (HELP_QUIT).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "res/string_table.h"
#include "tests/e2e/driver.h"

namespace {

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

TEST(Help, F1AndHelpOpenTheViewerAtTheContentsAndQuitClosesIt) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session));
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
}

}  // namespace
