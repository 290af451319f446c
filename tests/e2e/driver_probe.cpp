// driver_probe.cpp: the probe library loaded into torvane.exe, as a debugger would load its
// helper: its procedures run there on threads of their own, and its variables are read there.
#include "tests/e2e/driver_internal.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace e2e {
namespace internal {

namespace {

constexpr char kProbeFile[] = "torvane_e2e_probe.dll";

// The probe library beside the test program.
const char* ProbePath() {
  static char path[MAX_PATH];
  if (path[0] == 0) {
    GetModuleFileNameA(nullptr, path, sizeof path);
    char* slash = strrchr(path, '\\');
    char* name = slash ? slash + 1 : path;
    snprintf(name, sizeof path - static_cast<size_t>(name - path), "%s", kProbeFile);
  }
  return path;
}

// Where a module of this file name lies in the process, or 0.
uintptr_t RemoteModule(HANDLE process, const char* fileName) {
  HMODULE modules[512];
  DWORD needed = 0;
  if (!EnumProcessModules(process, modules, sizeof modules, &needed)) return 0;
  const DWORD count = std::min<DWORD>(needed / sizeof modules[0], 512);
  for (DWORD i = 0; i < count; ++i) {
    char name[MAX_PATH];
    if (GetModuleBaseNameA(process, modules[i], name, sizeof name) != 0 &&
        _stricmp(name, fileName) == 0) {
      return reinterpret_cast<uintptr_t>(modules[i]);
    }
  }
  return 0;
}

// The probe in the program, loaded on first use; 0 when it cannot be.
uintptr_t RemoteProbe(const Session& session) {
  uintptr_t& module = const_cast<Session&>(session).probeModule;
  if (module != 0) return module;
  HANDLE process = session.process.hProcess;
  const size_t size = strlen(ProbePath()) + 1;
  void* remote = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  if (remote == nullptr) return 0;
  // kernel32 lies at the same address in every process, so our LoadLibraryA is theirs. The
  // thread's exit code holds only 32 bits of the module handle: the module list gives it whole.
  DWORD loaded = 0;
  if (WriteProcessMemory(process, remote, ProbePath(), size, nullptr) &&
      RunRemote(session, reinterpret_cast<uintptr_t>(&LoadLibraryA), remote, &loaded) &&
      loaded != 0) {
    module = RemoteModule(process, kProbeFile);
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return module;
}

}  // namespace

bool RunRemote(const Session& session, uintptr_t start, void* parameter, DWORD* exitCode) {
  HANDLE thread =
      CreateRemoteThread(session.process.hProcess, nullptr, 0,
                         reinterpret_cast<LPTHREAD_START_ROUTINE>(start), parameter, 0, nullptr);
  if (thread == nullptr) return false;
  bool done = WaitForSingleObject(thread, kTimeoutMs) == WAIT_OBJECT_0 &&
              GetExitCodeThread(thread, exitCode);
  CloseHandle(thread);
  return done;
}

uintptr_t ProbeExport(const Session& session, const char* name) {
  static HMODULE local = LoadLibraryA(ProbePath());
  if (local == nullptr || !IsRunning(session)) return 0;
  const uintptr_t here = reinterpret_cast<uintptr_t>(GetProcAddress(local, name));
  const uintptr_t module = here != 0 ? RemoteProbe(session) : 0;
  // The same file, so the export lies at the same distance from the start of either copy.
  return module != 0 ? module + (here - reinterpret_cast<uintptr_t>(local)) : 0;
}

}  // namespace internal

bool ChangeDpi(const Session& session, int dpi, const RECT& suggested) {
  const uintptr_t entry = internal::ProbeExport(session, kProbeDpiChangeExport);
  HANDLE process = session.process.hProcess;
  void* remote =
      entry != 0 ? VirtualAllocEx(process, nullptr, sizeof(DpiChange), MEM_COMMIT, PAGE_READWRITE)
                 : nullptr;
  if (remote == nullptr) return false;
  const DpiChange change = {session.window, static_cast<WPARAM>(dpi), suggested};
  DWORD handled = 0;
  const bool sent = WriteProcessMemory(process, remote, &change, sizeof change, nullptr) &&
                    internal::RunRemote(session, entry, remote, &handled);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return sent && handled != 0;
}

bool LieAboutVersion(const Session& session) {
  const uintptr_t lie = internal::ProbeExport(session, kProbeVersionLieExport);
  DWORD done = 0;
  return lie != 0 && internal::RunRemote(session, lie, nullptr, &done) && done;
}

bool HasLoaded(const Session& session, const char* dll) {
  return internal::RemoteModule(session.process.hProcess, dll) != 0;
}

bool WalkCells(const Session& session, WalkReport* report) {
  // The watch that Flush puts in place answers the walk, posted behind the messages before it.
  if (!Flush(session) ||
      !PostMessageA(session.window, RegisterWindowMessageA(kWalkMessage), 0, 0) ||
      !Flush(session)) {
    return false;
  }
  const uintptr_t remote = internal::ProbeExport(session, kWalkReportExport);
  return remote != 0 &&
         ReadProcessMemory(session.process.hProcess, reinterpret_cast<const void*>(remote), report,
                           sizeof *report, nullptr);
}

}  // namespace e2e
