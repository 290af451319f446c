// text.h: the one text lookup of the program, in the language in force.
#pragma once

#include <cstddef>
#include <cstdint>

// 0 for French, 1000 for English: added to every French string id.
extern int32_t LanguageOffset;

constexpr int kTextBufferSize = 512;

// The text of French id `id` in the current language, in one shared buffer that the next
// call overwrites. An id without text gives "".
const char* LoadText(int id);

// Formats into buffer (of size bytes, always terminated) the text of French id `id`, a printf
// format of the string table, with the arguments; the result of vsnprintf.
int FormatText(char* buffer, size_t size, int id, ...);
