// format_text.cpp: the string table's texts that are printf formats, filled in.
#include <cstdarg>
#include <cstdio>

#include "res/text.h"

int FormatText(char* buffer, size_t size, int id, ...) {
  va_list arguments;
  va_start(arguments, id);
  // The format is one of the program's own texts (the file's option lines, the congratulation),
  // never anything from outside; no compiler can check it against arguments it cannot see.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  const int result = vsnprintf(buffer, size, LoadText(id), arguments);
#pragma GCC diagnostic pop
  va_end(arguments);
  return result;
}
