// settings_file.cpp: the settings-and-scores file: five option lines counted by position,
// then up to 24 score lines, CR LF text in the ANSI code page.
#include "store/settings_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "game/game.h"
#include "res/resource_ids.h"
#include "res/text.h"
#include "support/support.h"

namespace {

// fgets reads at most 63 characters at a time: a longer line comes in pieces, each a line.
constexpr int kLineBufferSize = 64;

// The option lines in file order, with the string id of each line's format.
enum OptionLine { kRatioLine, kGridLine, kSizeLine, kLangLine, kSoundLine, kOptionLines };
constexpr int kOptionFormat[kOptionLines] = {IDS_KEY_RATIO, IDS_KEY_GRID, IDS_KEY_SIZE,
                                             IDS_KEY_LANG, IDS_KEY_SOUND};

int32_t* OptionField(int line) {
  switch (line) {
    case kRatioLine: return &Settings.ratio;
    case kGridLine: return &Settings.grid;
    case kSizeLine: return &Settings.size;
    case kLangLine: return &LanguageOffset;
    default: return &Settings.sound;
  }
}

// The language of a missing file, and of a language value that is neither French nor English.
constexpr int32_t kDefaultLanguage = ENGLISH_OFFSET;

void ValidateOption(int line) {
  int32_t& value = *OptionField(line);
  switch (line) {
    case kRatioLine:
      if (!IsValidRatio(value)) value = kDefaultRatio;
      break;
    case kGridLine:
      if (!IsValidGrid(value)) value = kDefaultGrid;
      break;
    case kSizeLine:
      if (!IsValidSize(value)) value = kDefaultSize;
      break;
    case kLangLine:
      if (value != 0 && value != ENGLISH_OFFSET) value = kDefaultLanguage;
      break;
    default:  // any sound value is valid: non-zero means on
      break;
  }
}

// The name part of a score line: after the comma, cut at the last CR, leading blanks gone,
// at most the 24 characters an entry holds.
void ReadName(char* afterComma, ScoreEntry& entry) {
  // A line from an editor that ends lines with LF alone must not leave the LF in the name.
  size_t end = strlen(afterComma);
  if (end > 0 && afterComma[end - 1] == '\n') afterComma[end - 1] = 0;
  char* carriageReturn = strrchr(afterComma, '\r');
  if (carriageReturn != nullptr) *carriageReturn = 0;
  while (*afterComma == ' ') ++afterComma;
  size_t length = strlen(afterComma);
  if (length > kNameLength) length = kNameLength;
  memcpy(entry.name, afterComma, length);
  entry.name[length] = 0;
}

// Writes one line and its CR LF; 0 when the stream refused any of it.
int WriteLine(FILE* stream, const char* line) {
  return fputs(line, stream) >= 0 && fputs("\r\n", stream) >= 0;
}

int WriteContent(FILE* stream) {
  char line[kLineBufferSize];
  for (int option = 0; option < kOptionLines; ++option) {
    FormatText(line, sizeof line, kOptionFormat[option], *OptionField(option));
    if (!WriteLine(stream, line)) return 0;
  }
  for (const ScoreEntry& entry : ScoreTable) {
    // The precision guards against a name that lost its terminator.
    snprintf(line, sizeof line, "%d, %.*s", static_cast<int>(entry.score), kNameLength, entry.name);
    if (!WriteLine(stream, line)) return 0;
  }
  return 1;
}

// The most a save writes: every line at its longest, with its CR LF. A save in place can write
// over no more of the old file than this, so that is all of it that is kept; whatever lies
// beyond is past anything the reader takes in, and only a cut that ends a good save drops it.
constexpr size_t kMostWritten = (kOptionLines + kScoreEntries) * (kLineBufferSize - 1 + 2);

// Puts the old bytes back through a stream of its own: the one that failed may still hold bytes
// it could not write, which its closing may yet write. An old file no longer than what was kept
// gets its length back too. A file the save made is removed again. 1 when that all went well.
int RestoreFile(const char* path, const char* old, size_t kept, bool made) {
  if (made) return remove(path) == 0;
  FILE* stream = fopen(path, "r+b");
  if (stream == nullptr) return 0;
  const int cut = kept == kMostWritten || CutFile(stream, static_cast<long>(kept));
  const int written = fwrite(old, 1, kept, stream) == kept;
  return CommitAndClose(stream) && cut && written;
}

// Writes the file over itself, for a folder that takes no new file. What the save can write
// over is kept first, and any failure on the way puts it back before it is reported like a
// failed open.
void SaveInPlace(const char* path) {
  FILE* stream = fopen(path, "r+b");
  // Only a file that is not there at all is made afresh, for writing alone: nothing of it can be
  // lost. One that is there but refuses reading is never emptied.
  const bool made = stream == nullptr && errno == ENOENT;
  if (made) stream = fopen(path, "wb");
  if (stream == nullptr) ReportOpenError(path);
  static char old[kMostWritten];
  const size_t kept = made ? 0 : fread(old, 1, sizeof old, stream);
  if (ferror(stream)) {
    fclose(stream);
    ReportOpenError(path);
  }
  int saved =
      fseek(stream, 0, SEEK_SET) == 0 && WriteContent(stream) && CutFile(stream, ftell(stream));
  saved = CommitAndClose(stream) && saved;
  // Should the old bytes not go back either, the message is the same.
  if (!saved) {
    RestoreFile(path, old, kept, made);
    ReportOpenError(path);
  }
}

}  // namespace

int32_t LeadingInteger(const char* text) {
  while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  // Accumulated in 64 bits and held at the limit, so no digit count can overflow.
  const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
  int64_t value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + (*text - '0');
    if (value > limit) value = limit;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

void LoadSettings(const char* path) {
  if (FileStamp(path) == 0) {
    // No plain file to read. Yet whatever stands there (a folder, a hidden file that refuses
    // writing) and cannot be opened for reading and writing would fail the save at exit, losing
    // the session: that is fatal now, as for a plain file.
    if (FILE* there = fopen(path, "r+b")) {
      fclose(there);
    } else if (errno != ENOENT) {
      ReportOpenError(path);
    }
    // Sound and the scores are left as they are: off and empty at start-up.
    Settings.ratio = kDefaultRatio;
    Settings.grid = kDefaultGrid;
    LanguageOffset = kDefaultLanguage;
    Settings.size = kDefaultSize;
    return;
  }

  FILE* stream = OpenFileOrDie(path, "r+b");
  char line[kLineBufferSize];
  for (int option = 0; option < kOptionLines; ++option) {
    if (fgets(line, sizeof line, stream) != nullptr) {
      // The key before the "=" is not looked at: lines count by position.
      const char* equals = strchr(line, '=');
      if (equals != nullptr) *OptionField(option) = LeadingInteger(equals + 1);
    }
    ValidateOption(option);
  }

  for (ScoreEntry& entry : ScoreTable) {
    if (fgets(line, sizeof line, stream) == nullptr) break;
    entry.score = LeadingInteger(line);
    char* comma = strchr(line, ',');
    if (comma == nullptr) break;
    ReadName(comma + 1, entry);
  }
  fclose(stream);
}

void SaveSettings(const char* path) {
  // Room for any path the platform gives the program, plus the suffix.
  static char temporary[kPathCapacity + sizeof kSaveSuffix];
  const bool named = snprintf(temporary, sizeof temporary, "%s%s", path, kSaveSuffix) <
                     static_cast<int>(sizeof temporary);
  FILE* stream = named ? fopen(temporary, "w+b") : nullptr;
  if (stream == nullptr) {
    // A folder that takes no new file may still let the file itself be written: in place, then.
    SaveInPlace(path);
    return;
  }
  const int written = WriteContent(stream);
  if (!CommitAndClose(stream) || !written || !ReplaceFileWith(temporary, path)) {
    remove(temporary);
    ReportOpenError(path);
  }
}
