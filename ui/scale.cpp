// scale.cpp: the display's scale as Windows tells it: the window's DPI, and the frame around a
// client area at a DPI, through the functions of later Windows where user32 has them.
#include "ui/program.h"

namespace {

using DpiForWindow = UINT(WINAPI*)(HWND);
using FrameForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

// Looked up at run time rather than imported: Windows XP's loader refuses an exe that imports a
// function its user32 lacks, and these came with Windows 10 1607.
template <typename Function>
Function User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  FARPROC found = user32 != NULL ? GetProcAddress(user32, name) : NULL;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}

}  // namespace

int WindowDpi(HWND window) {
  const DpiForWindow dpiForWindow = User32Function<DpiForWindow>("GetDpiForWindow");
  const UINT dpi = dpiForWindow != NULL ? dpiForWindow(window) : 0;
  if (dpi != 0) return static_cast<int>(dpi);
  // Before Windows 10 one DPI serves every screen, and a process that declares it follows the
  // scale (Vista to 8.1) is told it here; XP gives its own setting.
  HDC screen = GetDC(NULL);
  const int screenDpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(NULL, screen);
  return screenDpi;
}

void FrameAround(int dpi, RECT* rect) {
  const FrameForDpi frameForDpi = User32Function<FrameForDpi>("AdjustWindowRectExForDpi");
  if (frameForDpi != NULL) {
    frameForDpi(rect, kMainWindowStyle, TRUE, 0, static_cast<UINT>(dpi));
  } else {
    AdjustWindowRectEx(rect, kMainWindowStyle, TRUE, 0);
  }
}
