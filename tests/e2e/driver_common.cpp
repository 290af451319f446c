// driver_common.cpp: the paths, window searches and messages the parts of the driver share.
#include "tests/e2e/driver_internal.h"

#include <cstdio>
#include <cstring>

namespace e2e {
namespace internal {

namespace {
// A compiled-in Z: path of the build, with Windows separators.
const char* WindowsPath(const char* built, char* storage, size_t capacity) {
  if (storage[0] == 0) {
    snprintf(storage, capacity, "%s", built);
    for (char* p = storage; *p; ++p)
      if (*p == '/') *p = '\\';
  }
  return storage;
}
}  // namespace

const char* MapPath() {
  static char path[MAX_PATH];
  return WindowsPath(E2E_MAP, path, sizeof path);
}

const char* WorkRoot() {
  static char path[MAX_PATH];
  return WindowsPath(E2E_WORK, path, sizeof path);
}

bool Usable(const Session& session) {
  return session.window != nullptr && IsWindow(session.window);
}

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result) {
  DWORD_PTR ignored;
  return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kTimeoutMs,
                             result ? result : &ignored) != 0;
}

void PathOfTest(char* buffer, size_t capacity, const char* ending) {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const size_t root = static_cast<size_t>(snprintf(buffer, capacity, "%s\\", WorkRoot()));
  snprintf(buffer + root, capacity - root, "%s.%s%s", info->test_suite_name(), info->name(),
           ending);
  for (char* p = buffer + root; *p; ++p)
    if (strchr("\\/:*?\"<>|", *p)) *p = '_';
}

bool IsRunning(const Session& session) {
  return session.process.hProcess != nullptr &&
         WaitForSingleObject(session.process.hProcess, 0) == WAIT_TIMEOUT;
}

namespace {

struct WindowSearch {
  DWORD processId;
  const char* className;
  HWND owner;
  int controlId;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
  WindowSearch* s = reinterpret_cast<WindowSearch*>(context);
  DWORD processId = 0;
  char className[64];
  GetWindowThreadProcessId(window, &processId);
  if (processId != s->processId || !IsWindowVisible(window) ||
      GetClassNameA(window, className, sizeof className) == 0 ||
      strcmp(className, s->className) != 0 ||
      (s->owner != nullptr && GetWindow(window, GW_OWNER) != s->owner) ||
      (s->controlId != 0 && GetDlgItem(window, s->controlId) == nullptr)) {
    return TRUE;
  }
  s->found = window;
  return FALSE;
}

}  // namespace

HWND FindTopLevel(DWORD processId, const char* className, HWND owner, int controlId) {
  WindowSearch search = {processId, className, owner, controlId, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace internal

const char* ProgramPath() {
  static char path[MAX_PATH];
  return internal::WindowsPath(E2E_PROGRAM, path, sizeof path);
}

RegistryValue::RegistryValue(HKEY base, const std::string& path, const char* valueName,
                             const std::string& text)
    : root(base), key(path), name(valueName) {
  Replace(REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

RegistryValue::RegistryValue(HKEY base, const std::string& path, const char* valueName,
                             DWORD number)
    : root(base), key(path), name(valueName) {
  Replace(REG_DWORD, &number, sizeof number);
}

void RegistryValue::Replace(DWORD newType, const void* data, DWORD size) {
  BYTE bytes[1024];
  DWORD length = sizeof bytes;
  if (RegGetValueA(root, key.c_str(), name, RRF_RT_ANY, &type, bytes, &length) == ERROR_SUCCESS)
    old.assign(bytes, bytes + length);
  else
    type = REG_NONE;
  EXPECT_EQ(ERROR_SUCCESS, RegSetKeyValueA(root, key.c_str(), name, newType, data, size)) << key;
}

LSTATUS RegistryValue::Set(const std::string& text) const {
  return RegSetKeyValueA(root, key.c_str(), name, REG_SZ, text.c_str(),
                         static_cast<DWORD>(text.size() + 1));
}

RegistryValue::~RegistryValue() {
  if (type == REG_NONE)
    RegDeleteKeyValueA(root, key.c_str(), name);
  else
    RegSetKeyValueA(root, key.c_str(), name, type, old.data(), static_cast<DWORD>(old.size()));
}

RegistryValue DisplayDpi(DWORD dpi) {
  return RegistryValue(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", dpi);
}

}  // namespace e2e
