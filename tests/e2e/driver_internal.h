// driver_internal.h: what the parts of the end-to-end driver share and the tests do not use.
#pragma once

#include "tests/e2e/driver.h"

namespace e2e {
namespace internal {

// Compiled-in Z: paths of the build, with Windows separators: the link map and the root of the
// tests' folders.
const char* MapPath();
const char* WorkRoot();
// WorkRoot()\<Suite>.<Test><ending>, usable as a file name.
void PathOfTest(char* buffer, size_t capacity, const char* ending);

bool Usable(const Session& session);  // the session's main window exists
bool IsRunning(const Session& session);
// A message sent with a timeout, so that a hung program fails the test instead of hanging it.
bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result = nullptr);
// A visible top-level window of the process with this class (and owner and control, if given).
HWND FindTopLevel(DWORD processId, const char* className, HWND owner, int controlId);

// The probe library (probe.cpp) inside the program, loaded there once per session: where one of
// its exports lies there (a thread procedure or a variable), or 0. Names as exported: a 32-bit
// __stdcall procedure carries the size of its arguments ("ProbeMenu@4").
uintptr_t ProbeExport(const Session& session, const char* name);
// Runs start(parameter) on a new thread of the program; the thread's exit code, or false.
bool RunRemote(const Session& session, uintptr_t start, void* parameter, DWORD* exitCode);

}  // namespace internal
}  // namespace e2e
