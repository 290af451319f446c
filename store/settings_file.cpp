// settings_file.cpp: the settings-and-scores file: five option lines counted by position,
// then up to 24 score lines, then extra key=value lines (options, statistics), CR LF text in the
// ANSI code page. A save first merges in what another copy of the program wrote meanwhile.
#include "store/settings_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "game/game.h"
#include "game/statistics.h"
#include "res/resource_ids.h"
#include "res/text.h"
#include "support/support.h"

namespace {

// fgets reads at most 63 characters at a time: a longer line comes in pieces, each a line.
constexpr int kLineBufferSize = 64;
// The options and the score lines; what follows is extra lines, read and written up to 127
// characters at a time: a line of statistics may hold more than 63.
constexpr int kFixedLines = 29;
constexpr int kExtraLineSize = 128;
constexpr int kStatisticsFigures = 5;  // played, won, won without undo, streak, longest streak

// The best scores and statistics as this copy last read or wrote the file: at a save, whatever
// else the file holds was written by another copy meanwhile.
ScoreEntry FileScores[kScoreEntries];
StatisticsRecord FileStatistics[kStatisticsCategories];

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

// One option of the extra lines: its key's format and its field, from 0 to high.
struct ExtraOption {
  int formatId;
  int32_t* field;
  int32_t high;
};
const ExtraOption kExtraOptions[] = {{IDS_KEY_NO_GUESS, &Settings.noGuess, 1}};

// The token at *text, up to the next blank or line end, as an integer from low to high; 0 for a
// token that is anything else (damaged, out of range, missing). *text moves past it.
int32_t TokenInteger(const char** text, int32_t low, int32_t high) {
  const char* const start = *text;
  const char* end = start;
  if (*end == '-' || *end == '+') ++end;
  const char* const digits = end;
  while (*end >= '0' && *end <= '9') ++end;
  const bool number = end > digits && (*end == '\0' || *end == ' ' || *end == '\r' || *end == '\n');
  while (*end != '\0' && *end != ' ' && *end != '\r' && *end != '\n') ++end;
  *text = end;
  // LeadingInteger holds a longer number at the 32-bit limits, outside any range given here.
  const int32_t integer = number ? LeadingInteger(start) : 0;
  return integer >= low && integer <= high ? integer : 0;
}

// Options are taken only from the file read at start-up; statistics into `statistics`, each
// figure damaged or out of range, or missing, becoming 0 alone.
void ReadExtraLine(const char* line, bool takeOptions, StatisticsRecord* statistics) {
  for (const ExtraOption& option : kExtraOptions) {
    const char* value = ExtraLineValue(line, option.formatId);
    if (value != nullptr && takeOptions) *option.field = ExtraLineInteger(value, 0, option.high);
  }
  for (int category = 0; category < kStatisticsCategories; ++category) {
    const char* value = ExtraLineValue(line, IDS_KEY_STATISTICS + category);
    if (value == nullptr) continue;
    int32_t figures[kStatisticsFigures];
    for (int32_t& figure : figures) {
      while (*value == ' ') ++value;
      figure = TokenInteger(&value, -kMaxCount, kMaxCount);
    }
    StatisticsRecord& record = statistics[category];
    record = {figures[0], figures[1], figures[2], figures[3], figures[4]};
    ValidateStatistics(record);
  }
}

// The file from its start: the options (into Settings only when taken), the score lines into
// `scores`, then the extra lines.
void ReadContent(FILE* stream, bool takeOptions, ScoreEntry* scores, StatisticsRecord* statistics) {
  char line[kExtraLineSize];
  for (int option = 0; option < kOptionLines; ++option) {
    if (fgets(line, kLineBufferSize, stream) != nullptr && takeOptions) {
      // The key before the "=" is not looked at: lines count by position.
      const char* equals = strchr(line, '=');
      if (equals != nullptr) *OptionField(option) = LeadingInteger(equals + 1);
    }
    if (takeOptions) ValidateOption(option);
  }

  int lines = kOptionLines;
  bool scoresEnded = false;
  for (; lines < kFixedLines && fgets(line, kLineBufferSize, stream) != nullptr; ++lines) {
    if (scoresEnded) continue;  // up to the 29th line, whatever it holds
    ScoreEntry& entry = scores[lines - kOptionLines];
    entry.score = LeadingInteger(line);
    char* comma = strchr(line, ',');
    if (comma == nullptr) {
      scoresEnded = true;
    } else {
      ReadName(comma + 1, entry);
    }
  }
  // A file that has no extra lines (any file of an older release) keeps their defaults.
  if (takeOptions) {
    for (const ExtraOption& option : kExtraOptions) *option.field = 0;
  }
  if (lines == kFixedLines) {
    while (fgets(line, sizeof line, stream) != nullptr)
      ReadExtraLine(line, takeOptions, statistics);
  }
}

// The same entry, as a read of the file gives it back: a name loses its leading blanks there.
bool SameEntry(const ScoreEntry& a, const ScoreEntry& b) {
  const char* first = a.name;
  const char* second = b.name;
  while (*first == ' ') ++first;
  while (*second == ' ') ++second;
  return a.score == b.score && strcmp(first, second) == 0;
}

// One read of the file just before it is written, so that two copies of the program running at
// once lose nothing of each other: the best scores that another copy entered since this one read
// the file enter this copy's table by the same rule, and the games it counted are added. Options
// stay this copy's. Nothing is locked: a copy that writes between this read and this write
// loses to this one, as every save of an older release did.
void MergeOtherCopies(const char* path) {
  static ScoreEntry scores[kScoreEntries];
  static StatisticsRecord statistics[kStatisticsCategories];
  memset(scores, 0, sizeof scores);
  // A key missing from the file (an older release wrote it last) leaves this copy's figures.
  memcpy(statistics, FileStatistics, sizeof statistics);
  FILE* stream = FileStamp(path) != 0 ? fopen(path, "rb") : nullptr;
  if (stream != nullptr) {
    ReadContent(stream, false, scores, statistics);
    fclose(stream);
  }
  bool known[kScoreEntries] = {};
  for (const ScoreEntry& entry : scores) {
    if (entry.score == 0) continue;  // an empty entry
    int read = 0;
    while (read < kScoreEntries && (known[read] || !SameEntry(FileScores[read], entry))) ++read;
    if (read < kScoreEntries) {
      known[read] = true;
    } else {
      MergeScore(entry);
    }
  }
  MergeStatistics(statistics, FileStatistics);
  memcpy(FileScores, ScoreTable, sizeof FileScores);
  memcpy(FileStatistics, Statistics, sizeof FileStatistics);
}

int WriteContent(FILE* stream) {
  char line[kExtraLineSize];
  for (int option = 0; option < kOptionLines; ++option) {
    FormatText(line, sizeof line, kOptionFormat[option], *OptionField(option));
    if (!WriteLine(stream, line)) return 0;
  }
  for (const ScoreEntry& entry : ScoreTable) {
    // The precision guards against a name that lost its terminator.
    snprintf(line, sizeof line, "%d, %.*s", static_cast<int>(entry.score), kNameLength, entry.name);
    if (!WriteLine(stream, line)) return 0;
  }
  for (const ExtraOption& option : kExtraOptions) {
    FormatText(line, sizeof line, option.formatId, *option.field);
    if (!WriteLine(stream, line)) return 0;
  }
  for (int category = 0; category < kStatisticsCategories; ++category) {
    const StatisticsRecord& record = Statistics[category];
    snprintf(line, sizeof line, "%s%d %d %d %d %d", LoadText(IDS_KEY_STATISTICS + category),
             static_cast<int>(record.played), static_cast<int>(record.won),
             static_cast<int>(record.cleanWins), static_cast<int>(record.streak),
             static_cast<int>(record.longestStreak));
    if (!WriteLine(stream, line)) return 0;
  }
  return 1;
}

// The most a save writes: every line at its longest, with its CR LF. A save in place can write
// over no more of the old file than this, so that is all of it that is kept; the rest of a longer
// file is left alone until the cut that ends a good save.
constexpr size_t kMostWritten =
    (kOptionLines + kScoreEntries + std::size(kExtraOptions) + kStatisticsCategories) *
    (kExtraLineSize - 1 + 2);

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

const char* ExtraLineValue(const char* line, int formatId) {
  constexpr int32_t kLanguages[] = {0, ENGLISH_OFFSET};
  for (const int32_t language : kLanguages) {
    // LoadText adds the language in force; the key of either language is wanted here.
    const char* format = LoadText(formatId + language - LanguageOffset);
    const char* equals = strchr(format, '=');
    if (equals == nullptr || equals == format) continue;
    const size_t keyLength = static_cast<size_t>(equals - format);
    if (strncmp(line, format, keyLength) == 0 && line[keyLength] == '=') {
      return line + keyLength + 1;
    }
  }
  return nullptr;
}

int32_t ExtraLineInteger(const char* value, int32_t low, int32_t high) {
  const int32_t integer = TokenInteger(&value, low, high);
  while (*value == ' ') ++value;
  if (*value == '\r') ++value;
  if (*value == '\n') ++value;
  return *value == '\0' ? integer : 0;
}

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
    // Sound, the scores and the statistics are left as they are: off and empty at start-up.
    Settings.ratio = kDefaultRatio;
    Settings.grid = kDefaultGrid;
    LanguageOffset = kDefaultLanguage;
    Settings.size = kDefaultSize;
  } else {
    FILE* stream = OpenFileOrDie(path, "r+b");
    memset(Statistics, 0, sizeof Statistics);  // what a file without them gives
    ReadContent(stream, true, ScoreTable, Statistics);
    fclose(stream);
  }
  memcpy(FileScores, ScoreTable, sizeof FileScores);
  memcpy(FileStatistics, Statistics, sizeof FileStatistics);
}

void SaveSettings(const char* path) {
  MergeOtherCopies(path);
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
