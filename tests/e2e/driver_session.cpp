// driver_session.cpp: starting torvane.exe in a private folder, keeping pace with its message
// loop, and its end: the exit code and the settings file it leaves.
#include "tests/e2e/driver_internal.h"

#include "tests/e2e/probe.h"

#include <cstdio>
#include <cstring>

namespace e2e {
using namespace internal;

// Ends a program that the test left running (a failed ASSERT) and releases the handles.
Session::~Session() {
  if (process.hProcess == nullptr) return;
  if (TerminateProcess(process.hProcess, 99)) WaitForSingleObject(process.hProcess, kTimeoutMs);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
}

std::string SettingsText(int grid, int size, int ratio, bool french, int sound,
                         const char* scores) {
  char text[128];
  snprintf(text, sizeof text,
           french ? "ratio=%d\r\ngrille=%d\r\nlarg=%d\r\nlang=0\r\nsons=%d\r\n"
                  : "ratio=%d\r\ngrid=%d\r\nsize=%d\r\nlang=1000\r\nsound=%d\r\n",
           ratio, grid, size, sound);
  return text + std::string(scores);  // scores of any length: a full table passes 256 bytes
}

bool Prepare(Session& session, const std::string& settings) {
  PathOfTest(session.folder, sizeof session.folder, "");
  char program[MAX_PATH];
  snprintf(program, sizeof program, "%s\\torvane.exe", session.folder);
  snprintf(session.settingsPath, sizeof session.settingsPath, "%s\\torvane.ini", session.folder);
  CreateDirectoryA(WorkRoot(), nullptr);
  CreateDirectoryA(session.folder, nullptr);
  DeleteFileA(session.settingsPath);
  RemoveDirectoryA(session.settingsPath);  // a folder in its place, left by an earlier run
  if (!CopyFileA(ProgramPath(), program, FALSE)) {
    fprintf(stderr, "e2e: cannot copy %s to %s\n", ProgramPath(), program);
    return false;
  }
  // The help file goes along where the build made one, as an installation copies both.
  char helpFile[MAX_PATH], helpCopy[MAX_PATH];
  snprintf(helpFile, sizeof helpFile, "%s", ProgramPath());
  snprintf(strrchr(helpFile, '.'), sizeof ".hlp", ".hlp");
  snprintf(helpCopy, sizeof helpCopy, "%s\\torvane.hlp", session.folder);
  DeleteFileA(helpCopy);
  if (GetFileAttributesA(helpFile) != INVALID_FILE_ATTRIBUTES &&
      !CopyFileA(helpFile, helpCopy, FALSE)) {
    fprintf(stderr, "e2e: cannot copy %s to %s\n", helpFile, helpCopy);
    return false;
  }
  if (settings.empty()) return true;
  FILE* file = fopen(session.settingsPath, "wb");
  if (file == nullptr) return false;
  const bool written = fwrite(settings.data(), 1, settings.size(), file) == settings.size();
  return fclose(file) == 0 && written;
}

bool Launch(Session& session) {
  char program[MAX_PATH];
  snprintf(program, sizeof program, "%s\\torvane.exe", session.folder);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  char commandLine[MAX_PATH + 2];
  snprintf(commandLine, sizeof commandLine, "\"%s\"", program);
  if (!CreateProcessA(program, commandLine, nullptr, nullptr, FALSE, 0, nullptr, session.folder,
                      &startup, &session.process)) {
    fprintf(stderr, "e2e: cannot start %s (error %lu)\n", program, GetLastError());
    return false;
  }
  return true;
}

bool Start(Session& session, const std::string& settings) {
  return Prepare(session, settings) && StartPrepared(session);
}

bool StartPrepared(Session& session) {
  if (!Launch(session)) return false;
  WaitForInputIdle(session.process.hProcess, kTimeoutMs);
  bool shown = WaitUntil(
      [&] {
        session.window = FindTopLevel(session.process.dwProcessId, "TORVANE", nullptr, 0);
        return session.window != nullptr || !IsRunning(session);
      },
      2 * kTimeoutMs);
  if (!shown || session.window == nullptr) {
    fprintf(stderr, "e2e: no visible TORVANE window\n");
    return false;
  }
  // Start-up runs before the message loop, so the loop answering means start-up is over.
  return Sync(session);
}

::testing::AssertionResult Ended(Session& session, DWORD expectedCode) {
  DWORD code = 0;
  if (session.process.hProcess == nullptr ||
      WaitForSingleObject(session.process.hProcess, kTimeoutMs) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(session.process.hProcess, &code)) {
    return ::testing::AssertionFailure() << "the program did not end";
  }
  if (code != expectedCode) return ::testing::AssertionFailure() << "exit code " << code;
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult Close(Session& session) {
  if (!Usable(session) || !PostMessageA(session.window, WM_CLOSE, 0, 0))
    return ::testing::AssertionFailure() << "no window to close";
  return Ended(session);
}

bool ReadSettingsFile(const Session& session, std::string* text) {
  text->clear();
  FILE* file = fopen(session.settingsPath, "rb");
  if (file == nullptr) return false;
  char chunk[4096];
  size_t got;
  while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) text->append(chunk, got);
  fclose(file);
  return true;
}

std::string Line(const std::string& text, int line) {
  size_t start = 0;
  for (int i = 1; i < line && start != std::string::npos; ++i) {
    start = text.find("\r\n", start);
    if (start != std::string::npos) start += 2;
  }
  size_t end = start == std::string::npos ? start : text.find("\r\n", start);
  return end == std::string::npos ? "<none>" : text.substr(start, end - start);
}

bool StartIn(Session& session, const char* folder) {
  snprintf(session.folder, sizeof session.folder, "%s", folder);
  snprintf(session.settingsPath, sizeof session.settingsPath, "%s\\torvane.ini", folder);
  return StartPrepared(session);
}

std::string BuildPath(const char* utf8) {
  wchar_t wide[MAX_PATH];
  char ansi[MAX_PATH];
  BOOL lossy = FALSE;
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, wide, MAX_PATH) == 0 ||
      WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, MAX_PATH, nullptr, &lossy) == 0 || lossy) {
    return "";
  }
  for (char* p = ansi; *p; ++p)
    if (*p == '/') *p = '\\';
  return ansi;
}

bool Sync(const Session& session) {
  return Usable(session) && Send(session.window, WM_NULL, 0, 0);
}

// Posted messages are handled in the order they were posted, so once a marker posted behind
// them has been handled, so have they. The probe inside the program tells when it has: a state
// of the window that the program itself may change (a style bit, say) could be undone by a later
// message before it was seen.
bool Flush(const Session& session) {
  if (!Usable(session)) return false;
  Session& watched = const_cast<Session&>(session);
  if (watched.flushSeen == 0) {
    DWORD watching = 0;
    const uintptr_t watch = ProbeExport(session, kProbeWatchExport);
    if (watch == 0 || !RunRemote(session, watch, session.window, &watching) || !watching) {
      return false;
    }
    watched.flushSeen = ProbeExport(session, kFlushSeenExport);
    if (watched.flushSeen == 0) return false;
  }
  const WPARAM marker = ++watched.flushes;
  if (!PostMessageA(session.window, RegisterWindowMessageA(kFlushMessage), marker, 0)) {
    return false;
  }
  return WaitUntil([&] {
    WPARAM seen = 0;
    // A program that the flushed messages ended has nothing left to handle.
    return !IsRunning(session) ||
           (ReadProcessMemory(session.process.hProcess,
                              reinterpret_cast<const void*>(session.flushSeen), &seen, sizeof seen,
                              nullptr) &&
            seen == marker);
  });
}

}  // namespace e2e
