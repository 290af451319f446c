// settings_fuzzer.cpp: feeds arbitrary bytes to the settings reader as a file and checks that
// it yields valid settings, terminated names, and a state that reads back as it is written.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/game.h"
#include "res/text.h"
#include "store/settings_file.h"

namespace {

char ScratchDir[256];
char InputPath[512];
char SavedPath[512];

void RemoveScratchFiles() {
  remove(InputPath);
  remove(SavedPath);
  rmdir(ScratchDir);
}

void Check(bool condition, const char* what) {
  if (!condition) {
    fprintf(stderr, "settings fuzzer: %s\n", what);
    RemoveScratchFiles();
    abort();
  }
}

void MakeScratchFiles() {
  // Every input is saved once; a memory file system keeps that cheap when there is one.
  const char* base = getenv("TMPDIR");
  if (base == nullptr && access("/dev/shm", W_OK) == 0) base = "/dev/shm";
  snprintf(ScratchDir, sizeof ScratchDir, "%s/settings-fuzz-XXXXXX",
           base != nullptr ? base : "/tmp");
  Check(mkdtemp(ScratchDir) != nullptr, "no scratch directory");
  snprintf(InputPath, sizeof InputPath, "%s/input.ini", ScratchDir);
  snprintf(SavedPath, sizeof SavedPath, "%s/saved.ini", ScratchDir);
  atexit(RemoveScratchFiles);
}

// As the program starts: every record zero.
void ResetRecords() {
  Settings = SettingsRecord{};
  LanguageOffset = 0;
  memset(ScoreTable, 0, sizeof ScoreTable);
}

void CheckValid() {
  Check(Settings.ratio >= 4 && Settings.ratio <= 6, "ratio out of range");
  Check(Settings.grid >= kMinGrid && Settings.grid <= kMaxGrid, "grid out of range");
  Check(Settings.size == 15 || Settings.size == 18 || Settings.size == 21, "bad size");
  Check(LanguageOffset == 0 || LanguageOffset == 1000, "bad language");
  for (const ScoreEntry& entry : ScoreTable) {
    Check(memchr(entry.name, 0, sizeof entry.name) != nullptr, "unterminated name");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (InputPath[0] == 0) MakeScratchFiles();
  FILE* file = fopen(InputPath, "wb");
  Check(file != nullptr, "cannot write the input file");
  if (size > 0) fwrite(data, 1, size, file);
  fclose(file);

  ResetRecords();
  LoadSettings(InputPath);
  CheckValid();

  // Whatever was read must survive a save and a second load unchanged.
  SettingsRecord settings = Settings;
  int32_t language = LanguageOffset;
  ScoreEntry table[kScoreEntries];
  memcpy(table, ScoreTable, sizeof table);
  SaveSettings(SavedPath);
  ResetRecords();
  LoadSettings(SavedPath);
  Check(memcmp(&settings, &Settings, sizeof settings) == 0, "settings changed on a round trip");
  Check(language == LanguageOffset, "language changed on a round trip");
  for (int i = 0; i < kScoreEntries; ++i) {
    Check(table[i].score == ScoreTable[i].score, "score changed on a round trip");
    Check(strcmp(table[i].name, ScoreTable[i].name) == 0, "name changed on a round trip");
  }
  return 0;
}
