// on_demand.h: the system DLLs that start-up does without (COM, screen readers' calls, the shell,
// sound), each loaded with its functions the first time one is needed.
#pragma once

#include <windows.h>
#include <oleacc.h>
#include <shellapi.h>

// COM on the program's thread, begun at its first need (a screen reader's first question, the
// first help page) rather than at start-up: false when ole32 is missing. EndComOnDemand, at
// exit, ends what was begun.
bool StartComOnDemand();
void EndComOnDemand();

// Each calls the system's function of the same name. Its DLL is loaded at the first call of any
// of its functions and stays for the run; where the DLL or the function is missing, the player
// is told once which, and the call fails as that function fails (LresultFromObject's answer is
// then 0, as for a window that serves no object of its own).
LRESULT OnDemandLresultFromObject(REFIID interfaceId, WPARAM wParam, LPUNKNOWN object);
HRESULT OnDemandAccessibleObjectFromWindow(HWND window, DWORD objectId, REFIID interfaceId,
                                           void** object);
BSTR OnDemandSysAllocString(const OLECHAR* text);
BOOL OnDemandShellExecuteExA(SHELLEXECUTEINFOA* information);
UINT OnDemandWaveOutGetNumDevs();
BOOL OnDemandPlaySoundA(LPCSTR sound, HMODULE module, DWORD flags);
