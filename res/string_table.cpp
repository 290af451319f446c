// string_table.cpp: the table of both languages built from strings.def.
#include "res/string_table.h"

#include "res/resource_ids.h"

#define TORVANE_NO_TEXT nullptr

// Declared extern in the header first, so this constexpr definition keeps external linkage.
constexpr StringEntry kStringTable[] = {
#define TORVANE_TEXT(id, french, english) {id, french},
#include "res/strings.def"
#undef TORVANE_TEXT
#define TORVANE_TEXT(id, french, english) {id + ENGLISH_OFFSET, english},
#include "res/strings.def"
#undef TORVANE_TEXT
};
constexpr int kStringCount = sizeof kStringTable / sizeof kStringTable[0];

namespace {

// Lookups bisect the table, so strings.def must list its ids in ascending order, and every
// French id must stay below the first English one.
constexpr bool IsAscending() {
  for (int i = 1; i < kStringCount; ++i)
    if (kStringTable[i - 1].id >= kStringTable[i].id) return false;
  return true;
}
static_assert(IsAscending(), "strings.def must list its ids once each, in ascending order");

}  // namespace

const char* FindStringEntry(int id) {
  int low = 0;
  int high = kStringCount;
  while (low < high) {
    int middle = low + (high - low) / 2;
    if (kStringTable[middle].id < id)
      low = middle + 1;
    else
      high = middle;
  }
  return low < kStringCount && kStringTable[low].id == id ? kStringTable[low].text : nullptr;
}
