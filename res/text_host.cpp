// text_host.cpp: LoadText for the host build, read from the compiled-in string table.
#include <cstring>

#include "res/string_table.h"
#include "res/text.h"

int32_t LanguageOffset = 0;

namespace {
char TextBuffer[kTextBufferSize];
}

const char* LoadText(int id) {
  // Computed wide so that a wild offset cannot overflow; string ids are 16-bit on Windows.
  int64_t full = static_cast<int64_t>(id) + LanguageOffset;
  const char* text =
      full >= 1 && full <= 0xFFFF ? FindStringEntry(static_cast<int>(full)) : nullptr;
  if (text == nullptr) text = "";
  // Like LoadStringA with a 512-byte buffer: at most 511 characters and the terminator.
  size_t length = strlen(text);
  if (length > kTextBufferSize - 1) length = kTextBufferSize - 1;
  memcpy(TextBuffer, text, length);
  TextBuffer[length] = '\0';
  return TextBuffer;
}
