// settings_file.h: reading and writing the settings-and-scores file beside the program.
#pragma once

#include <cstdint>

// Fills Settings, LanguageOffset, ScoreTable and Statistics from the file; a missing file gives
// the defaults, malformed content falls back silently. Only something at the path (a file, a
// folder) that cannot be opened for reading and writing is fatal.
void LoadSettings(const char* path);

// Reads the file once more and takes in what another copy of the program saved there since this
// one read it (game/statistics.h), then writes the 29 lines of the file in the language in force,
// then its extra lines. The new content goes to a file beside it first and replaces the old one in
// one step, so a failed save leaves the old file as it was. Where no file can be created beside
// it, the file is written in place, and the old bytes it wrote over are put back if that fails. A
// save that fails is fatal and names path.
void SaveSettings(const char* path);

// The extra lines that follow the first 29 (which older releases stop at): "key=value", each key
// that of a format of the string table ("noguess=%d") in the language in force when written, and
// read in either language. Unknown keys are passed over. The statistics take a line a category,
// its key one of the string table's ("easy="), then five figures.
// The value text of line when its key is the key of format formatId in French or English; null
// for a line of any other key.
const char* ExtraLineValue(const char* line, int formatId);
// A value text that holds a decimal integer from low to high, and nothing else but blanks and the
// line end, gives that integer; a damaged or out-of-range value gives 0.
int32_t ExtraLineInteger(const char* value, int32_t low, int32_t high);

// The leading decimal integer of text: white space skipped, an optional sign, digits up to
// the first other character, no digits give 0. Saturates at the 32-bit limits.
int32_t LeadingInteger(const char* text);

// Appended to the settings path to name the file a save is written to before it replaces
// the old one.
constexpr char kSaveSuffix[] = ".new";
