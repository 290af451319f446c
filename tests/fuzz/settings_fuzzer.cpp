// settings_fuzzer.cpp: feeds arbitrary bytes to the settings reader as a file and checks that
// it yields valid settings, terminated names, and a state that reads back as it is written.
// Statistics that agree too, also when the save reads the file again to merge another copy's.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "game/game.h"
#include "game/statistics.h"
#include "res/text.h"
#include "store/settings_file.h"

namespace {

char ScratchDir[256], InputPath[512], SavedPath[512];

void RemoveScratchFiles() {
  remove(InputPath);
  remove(SavedPath);
  rmdir(ScratchDir);
}

void Check(bool condition, const char* what) {
  if (condition) return;
  fprintf(stderr, "settings fuzzer: %s\n", what);
  RemoveScratchFiles();
  abort();
}

// Loads path into records zeroed as at start-up and copies them out.
void LoadInto(const char* path, SettingsRecord* settings, int32_t* language, ScoreEntry* table,
              StatisticsRecord* statistics) {
  Settings = SettingsRecord{};
  LanguageOffset = 0;
  memset(ScoreTable, 0, sizeof ScoreTable);
  memset(Statistics, 0, sizeof Statistics);
  LoadSettings(path);
  *settings = Settings;
  *language = LanguageOffset;
  memcpy(table, ScoreTable, sizeof ScoreTable);
  memcpy(statistics, Statistics, sizeof Statistics);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (InputPath[0] == 0) {
    // Every input is saved once; a memory file system keeps that cheap when there is one.
    const char* base = getenv("TMPDIR");
    if (base == nullptr && access("/dev/shm", W_OK) == 0) base = "/dev/shm";
    snprintf(ScratchDir, sizeof ScratchDir, "%s/settings-fuzz-XXXXXX", base ? base : "/tmp");
    Check(mkdtemp(ScratchDir) != nullptr, "no scratch directory");
    snprintf(InputPath, sizeof InputPath, "%s/input.ini", ScratchDir);
    snprintf(SavedPath, sizeof SavedPath, "%s/saved.ini", ScratchDir);
    atexit(RemoveScratchFiles);
  }
  // The input twice: read from one, and saved over the other, which the save reads again first.
  for (const char* path : {InputPath, SavedPath}) {
    FILE* file = fopen(path, "wb");
    Check(file != nullptr, "cannot write the input file");
    if (size > 0) fwrite(data, 1, size, file);
    fclose(file);
  }

  SettingsRecord settings, again;
  int32_t language, languageAgain;
  ScoreEntry table[kScoreEntries], tableAgain[kScoreEntries];
  StatisticsRecord statistics[kStatisticsCategories], statisticsAgain[kStatisticsCategories];
  LoadInto(InputPath, &settings, &language, table, statistics);
  Check(settings.ratio >= 4 && settings.ratio <= 6, "ratio out of range");
  Check(settings.grid >= kMinGrid && settings.grid <= kMaxGrid, "grid out of range");
  Check(settings.size == 15 || settings.size == 18 || settings.size == 21, "bad size");
  Check(language == 0 || language == 1000, "bad language");
  Check(settings.noGuess == 0 || settings.noGuess == 1, "bad no-guess option");
  for (const StatisticsRecord& read : statistics) {
    StatisticsRecord valid = read;
    ValidateStatistics(valid);
    Check(memcmp(&valid, &read, sizeof valid) == 0, "statistics that disagree");
  }

  // Whatever was read must survive a save and a second load unchanged: the file the save reads
  // again holds nothing this copy did not read, so nothing is merged twice.
  SaveSettings(SavedPath);
  LoadInto(SavedPath, &again, &languageAgain, tableAgain, statisticsAgain);
  Check(memcmp(statistics, statisticsAgain, sizeof statistics) == 0,
        "statistics changed on a round trip");
  Check(memcmp(&settings, &again, sizeof settings) == 0, "settings changed on a round trip");
  Check(language == languageAgain, "language changed on a round trip");
  for (int i = 0; i < kScoreEntries; ++i) {
    Check(memchr(table[i].name, 0, sizeof table[i].name) != nullptr, "unterminated name");
    Check(table[i].score == tableAgain[i].score, "score changed on a round trip");
    Check(strcmp(table[i].name, tableAgain[i].name) == 0, "name changed on a round trip");
  }
  return 0;
}
