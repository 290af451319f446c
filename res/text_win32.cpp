// text_win32.cpp: LoadText for the program, read from its own STRINGTABLE resources.
#include <windows.h>

#include "res/text.h"

int32_t LanguageOffset = 0;

namespace {
char TextBuffer[kTextBufferSize];
}

const char* LoadText(int id) {
  // String ids are 16-bit: an id out of range would wrap onto another text, so it has none.
  int64_t full = static_cast<int64_t>(id) + LanguageOffset;
  int length = 0;
  if (full >= 1 && full <= 0xFFFF)
    length = LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(full), TextBuffer,
                         kTextBufferSize);
  // A missing string block may leave the buffer untouched: the previous text must not show.
  if (length <= 0) TextBuffer[0] = '\0';
  return TextBuffer;
}
