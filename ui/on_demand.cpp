// on_demand.cpp: the system DLLs that start-up does without, loaded with their functions at
// their first need. Under Wine each imported DLL and those it brings cost start-up several
// milliseconds; none of these is needed to show the grid.
#include "ui/on_demand.h"

#include <mmsystem.h>

#include "res/resource_ids.h"
#include "res/text.h"
#include "ui/program.h"

namespace {

enum Dll { kOle32, kOleAut32, kOleAcc, kShell32, kWinmm, kDlls };
constexpr const char* kDllNames[kDlls] = {"ole32.dll", "oleaut32.dll", "oleacc.dll", "shell32.dll",
                                          "winmm.dll"};
HMODULE Modules[kDlls];
bool Told[kDlls];  // the player was told that this DLL, or one of its functions, is missing

// One function of a DLL: looked up once, at its first call.
struct Function {
  Dll dll;
  const char* name;
  FARPROC address;
  bool sought;
};

// From the system's own folder, by its full path: a file of the same name beside the program (or
// in the current folder) is never loaded in its place.
HMODULE LoadSystemDll(const char* name) {
  char path[MAX_PATH + 16];
  const UINT length = GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return NULL;
  lstrcatA(path, "\\");
  lstrcatA(path, name);
  return LoadLibraryA(path);
}

FARPROC Find(Function& function) {
  if (function.sought) return function.address;
  function.sought = true;
  HMODULE& module = Modules[function.dll];
  if (module == NULL) module = LoadSystemDll(kDllNames[function.dll]);
  if (module != NULL) function.address = GetProcAddress(module, function.name);
  if (function.address == NULL && !Told[function.dll]) {
    Told[function.dll] = true;
    char message[kTextBufferSize];
    FormatText(message, sizeof message, IDS_DLL_MISSING, kDllNames[function.dll], function.name);
    MessageBoxA(MainWindow, message, LoadText(IDS_CAPTION), MB_ICONWARNING | MB_OK);
  }
  return function.address;
}

// The function found, as the type its system header declares; null when missing. Through the
// generic function type, as a looked-up procedure is called.
template <typename Declared>
Declared* As(Function& function) {
  return reinterpret_cast<Declared*>(reinterpret_cast<void (*)()>(Find(function)));
}

bool ComStarted;  // CoInitialize succeeded: CoUninitialize is owed at exit

}  // namespace

bool StartComOnDemand() {
  static Function initialize = {kOle32, "CoInitialize", NULL, false};
  const bool tried = initialize.sought;
  auto* call = As<decltype(CoInitialize)>(initialize);
  if (call != NULL && !tried) ComStarted = SUCCEEDED(call(NULL));
  return call != NULL;
}

void EndComOnDemand() {
  static Function uninitialize = {kOle32, "CoUninitialize", NULL, false};
  auto* call = ComStarted ? As<decltype(CoUninitialize)>(uninitialize) : NULL;
  if (call != NULL) call();
}

LRESULT OnDemandLresultFromObject(REFIID interfaceId, WPARAM wParam, LPUNKNOWN object) {
  static Function function = {kOleAcc, "LresultFromObject", NULL, false};
  auto* call = As<decltype(LresultFromObject)>(function);
  return call != NULL ? call(interfaceId, wParam, object) : 0;
}

HRESULT OnDemandAccessibleObjectFromWindow(HWND window, DWORD objectId, REFIID interfaceId,
                                           void** object) {
  static Function function = {kOleAcc, "AccessibleObjectFromWindow", NULL, false};
  auto* call = As<decltype(AccessibleObjectFromWindow)>(function);
  return call != NULL ? call(window, objectId, interfaceId, object) : E_NOTIMPL;
}

BSTR OnDemandSysAllocString(const OLECHAR* text) {
  static Function function = {kOleAut32, "SysAllocString", NULL, false};
  auto* call = As<decltype(SysAllocString)>(function);
  return call != NULL ? call(text) : NULL;
}

BOOL OnDemandShellExecuteExA(SHELLEXECUTEINFOA* information) {
  static Function function = {kShell32, "ShellExecuteExA", NULL, false};
  auto* call = As<decltype(ShellExecuteExA)>(function);
  if (call != NULL) return call(information);
  SetLastError(ERROR_DLL_NOT_FOUND);
  return FALSE;
}

UINT OnDemandWaveOutGetNumDevs() {
  static Function function = {kWinmm, "waveOutGetNumDevs", NULL, false};
  auto* call = As<decltype(waveOutGetNumDevs)>(function);
  return call != NULL ? call() : 0;
}

BOOL OnDemandPlaySoundA(LPCSTR sound, HMODULE module, DWORD flags) {
  static Function function = {kWinmm, "PlaySoundA", NULL, false};
  auto* call = As<decltype(PlaySoundA)>(function);
  return call != NULL ? call(sound, module, flags) : FALSE;
}
