// string_table.h: the texts of both languages as one table, for the host LoadText and the
// generator of the STRINGTABLE script. The program itself reads its texts from its resources.
#pragma once

struct StringEntry {
  int id;            // French id, or French id + ENGLISH_OFFSET
  const char* text;  // Windows-1252 bytes, zero-terminated; null when the id has no text
};

// Every id of strings.def in both languages, in ascending id order: all French ids, then all
// English ones.
extern const StringEntry kStringTable[];
extern const int kStringCount;

// The text of `id` (either language), or null when that id has no text.
const char* FindStringEntry(int id);
