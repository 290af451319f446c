// store_tests.cpp: the settings-and-scores file: defaults, validation, lines counted by
// position, the score lines, the exact bytes written, and saves that fail without loss.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/game.h"
#include "res/text.h"
#include "store/settings_file.h"
#include "support/support.h"
#include "tests/support/scratch_dir.h"

namespace {

std::string EmptyEntries(int count) {
  std::string lines;
  for (int i = 0; i < count; ++i) lines += "0, \r\n";
  return lines;
}

class SettingsFile : public ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    path_ = Path("TORVANE.ini");
    ResetRecords();
  }

  // The records as the program starts: all zero.
  static void ResetRecords() {
    Settings = SettingsRecord{};
    LanguageOffset = 0;
    memset(ScoreTable, 0, sizeof ScoreTable);
  }
  void WriteFile(const std::string& content) { WriteWhole(path_, content); }
  static std::string ReadFile(const std::string& path) { return ReadWhole(path); }
  void Load(const std::string& content) {
    WriteFile(content);
    LoadSettings(path_.c_str());
  }
  // The five options as loaded, in file order, for one comparison per state.
  static std::string Options() {
    char text[96];
    snprintf(text, sizeof text, "ratio=%d grid=%d size=%d lang=%d sound=%d", Settings.ratio,
             Settings.grid, Settings.size, LanguageOffset, Settings.sound);
    return text;
  }
  static void SetEntry(int index, int32_t score, const char* name) {
    ScoreTable[index].score = score;
    snprintf(ScoreTable[index].name, sizeof ScoreTable[index].name, "%s", name);
  }

  std::string path_;
};

TEST_F(SettingsFile, MissingFileGivesTheDefaultsAndIsCreatedAtSave) {
  LoadSettings(path_.c_str());
  EXPECT_EQ(Options(), "ratio=6 grid=10 size=18 lang=1000 sound=0");
  SaveSettings(path_.c_str());
  EXPECT_EQ(ReadFile(path_),
            "ratio=6\r\ngrid=10\r\nsize=18\r\nlang=1000\r\nsound=0\r\n" + EmptyEntries(24));
  EXPECT_EQ(ReadFile(path_ + kSaveSuffix), "<missing>");
}

TEST_F(SettingsFile, EmptyFileKeepsFrenchAndValidatesTheRest) {
  Load("");
  EXPECT_EQ(Options(), "ratio=6 grid=10 size=18 lang=0 sound=0");
  for (const ScoreEntry& entry : ScoreTable) EXPECT_EQ(entry.score, 0);
}

TEST_F(SettingsFile, OptionsAreValidated) {
  Load("ratio=3\r\ngrid=31\r\nsize=20\r\nlang=1\r\nsound=5\r\n");
  EXPECT_EQ(Options(), "ratio=6 grid=10 size=18 lang=1000 sound=5");
  SaveSettings(path_.c_str());
  EXPECT_THAT(ReadFile(path_), ::testing::HasSubstr("\r\nsound=5\r\n"));

  ResetRecords();
  Load("ratio=4\r\ngrid=9\r\nsize=15\r\nlang=0\r\nsound=-1\r\n");
  EXPECT_EQ(Options(), "ratio=4 grid=10 size=15 lang=0 sound=-1");

  ResetRecords();
  Load("ratio=5\r\ngrid=30\r\nsize=21\r\nlang=1000\r\n");
  EXPECT_EQ(Options(), "ratio=5 grid=30 size=21 lang=1000 sound=0");
}

TEST_F(SettingsFile, LinesCountByPositionAndOnlyTheTextAfterTheEqualsSignCounts) {
  Load("sound=1\r\nratio=5\r\n");
  EXPECT_EQ(Settings.ratio, 6);  // 1, then validated
  EXPECT_EQ(Settings.grid, 10);  // 5, then validated

  ResetRecords();
  Load("ratio= 5\r\n");
  EXPECT_EQ(Settings.ratio, 5);
  ResetRecords();
  Load("ratio=5x\r\n");
  EXPECT_EQ(Settings.ratio, 5);
  ResetRecords();
  Load("ratio5\r\ngrid=\t+12\r\nsize=18=21\r\n");
  EXPECT_EQ(Settings.ratio, 6);
  EXPECT_EQ(Settings.grid, 12);
  EXPECT_EQ(Settings.size, 18);
}

TEST_F(SettingsFile, ALongLineIsReadIn63CharacterPieces) {
  // 63 characters, then "=25" as the second line.
  std::string first = "ratio=5" + std::string(56, 'x');
  Load(first + "=25\r\nsize=21\r\nlang=0\r\nsound=1\r\n7, Ann\r\n");
  EXPECT_EQ(Options(), "ratio=5 grid=25 size=21 lang=0 sound=1");
  EXPECT_EQ(ScoreTable[0].score, 7);
  EXPECT_STREQ(ScoreTable[0].name, "Ann");
}

TEST_F(SettingsFile, ScoreLinesInTheirSpellings) {
  const char* options = "ratio=5\r\ngrid=16\r\nsize=18\r\nlang=1000\r\nsound=1\r\n";
  Load(std::string(options) + "1234, Bob\r\n1234,Bob\r\n1234,   Bob\r\n0, \r\n-5, A, B \r\n");
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(ScoreTable[i].score, 1234) << i;
    EXPECT_STREQ(ScoreTable[i].name, "Bob") << i;
  }
  EXPECT_EQ(ScoreTable[3].score, 0);
  EXPECT_STREQ(ScoreTable[3].name, "");
  EXPECT_EQ(ScoreTable[4].score, -5);
  EXPECT_STREQ(ScoreTable[4].name, "A, B ");
  for (int i = 5; i < kScoreEntries; ++i) EXPECT_EQ(ScoreTable[i].score, 0) << i;

  // A cancelled name is a single blank: its line has two blanks and reads back empty.
  ResetRecords();
  SetEntry(0, 900, " ");
  SaveSettings(path_.c_str());
  EXPECT_THAT(ReadFile(path_), ::testing::HasSubstr("\r\n900,  \r\n"));
  ResetRecords();
  LoadSettings(path_.c_str());
  EXPECT_EQ(ScoreTable[0].score, 900);
  EXPECT_STREQ(ScoreTable[0].name, "");
}

TEST_F(SettingsFile, ALineWithoutCommaEndsTheScores) {
  const char* options = "ratio=5\r\ngrid=16\r\nsize=18\r\nlang=1000\r\nsound=1\r\n";
  SetEntry(1, 1, "Kept");
  SetEntry(2, 2, "Untouched");
  Load(std::string(options) + "10, Ann\r\n500\r\n30, Cid\r\n");
  EXPECT_EQ(ScoreTable[0].score, 10);
  EXPECT_EQ(ScoreTable[1].score, 500);
  EXPECT_STREQ(ScoreTable[1].name, "Kept");
  EXPECT_EQ(ScoreTable[2].score, 2);
  EXPECT_STREQ(ScoreTable[2].name, "Untouched");
}

TEST_F(SettingsFile, TwentyFourScoreLinesAtMost) {
  std::string content = "ratio=5\r\ngrid=16\r\nsize=18\r\nlang=1000\r\nsound=1\r\n";
  for (int i = 1; i <= 25; ++i) content += std::to_string(i) + ", P" + std::to_string(i) + "\r\n";
  Load(content);
  for (int i = 0; i < kScoreEntries; ++i) {
    EXPECT_EQ(ScoreTable[i].score, i + 1);
    EXPECT_EQ(std::string(ScoreTable[i].name), "P" + std::to_string(i + 1));
  }
}

TEST_F(SettingsFile, HandEditedValuesCannotOverrunAnything) {
  // A name of 58 characters is cut to the 24 an entry holds; the rest of its line comes as the
  // next piece, which has no comma and ends the reading.
  std::string name(58, 'N');
  Load(
      "ratio=99999999999999999999\r\ngrid=-99999999999999999999\r\nsize=18\r\nlang=0\r\n"
      "sound=99999999999999999999\r\n100, " +
      name + "TAIL\r\n7, After\r\n");
  EXPECT_EQ(Settings.ratio, 6);
  EXPECT_EQ(Settings.grid, 10);
  EXPECT_EQ(Settings.sound, INT32_MAX);
  EXPECT_EQ(ScoreTable[0].score, 100);
  EXPECT_EQ(std::string(ScoreTable[0].name), std::string(24, 'N'));
  EXPECT_EQ(ScoreTable[1].score, 0);
  EXPECT_STREQ(ScoreTable[1].name, "");
}

TEST_F(SettingsFile, LeadingIntegerSaturates) {
  EXPECT_EQ(LeadingInteger(" \t\n\v\f\r-42z"), -42);
  EXPECT_EQ(LeadingInteger("+7"), 7);
  EXPECT_EQ(LeadingInteger("- 7"), 0);
  EXPECT_EQ(LeadingInteger("2147483648"), INT32_MAX);
  EXPECT_EQ(LeadingInteger("-2147483648"), INT32_MIN);
  EXPECT_EQ(LeadingInteger("-99999999999999999999999999"), INT32_MIN);
}

TEST_F(SettingsFile, WritesTheExactLinesInTheLanguageInForce) {
  Settings = SettingsRecord{5, 16, 18, 1};
  LanguageOffset = 1000;
  SetEntry(0, 2736, "Alice");
  SetEntry(1, 1125, "Bob");
  SaveSettings(path_.c_str());
  EXPECT_EQ(
      ReadFile(path_),
      "ratio=5\r\ngrid=16\r\nsize=18\r\nlang=1000\r\nsound=1\r\n2736, Alice\r\n1125, Bob\r\n" +
          EmptyEntries(22));

  LanguageOffset = 0;
  SaveSettings(path_.c_str());
  EXPECT_EQ(ReadFile(path_),
            "ratio=5\r\ngrille=16\r\nlarg=18\r\nlang=0\r\nsons=1\r\n2736, Alice\r\n1125, Bob\r\n" +
                EmptyEntries(22));
}

TEST_F(SettingsFile, EveryStateReadsBackAsWritten) {
  const int32_t sounds[] = {0, 1, 5, -3, INT32_MAX, INT32_MIN};
  const int32_t sizes[] = {15, 18, 21};
  const char* names[] = {
      "", "Bob", "A, B", "x", "Trailing  ", "\xC9lise \xE0 Z\xFC", "24 characters long name!"};
  // Every grid side three times, with every ratio, size, language and several sounds mixed in.
  for (int round = 0; round < 63; ++round) {
    const SettingsRecord written{4 + round / 21, kMinGrid + round % 21, sizes[(round / 2) % 3],
                                 sounds[round % 6]};
    const int32_t lang = round % 2 == 0 ? 0 : 1000;
    Settings = written;
    LanguageOffset = lang;
    for (int i = 0; i < kScoreEntries; ++i) {
      int32_t score = (round * 7919 + i * 104729) % 100000 - (i == 3 ? 100000 : 0);
      SetEntry(i, i == 23 ? INT32_MIN : score, names[(round + i) % 7]);
    }
    ScoreEntry table[kScoreEntries];
    memcpy(table, ScoreTable, sizeof table);

    SaveSettings(path_.c_str());
    ResetRecords();
    LoadSettings(path_.c_str());
    ASSERT_EQ(Settings.ratio, written.ratio) << round;
    ASSERT_EQ(Settings.grid, written.grid) << round;
    ASSERT_EQ(Settings.size, written.size) << round;
    ASSERT_EQ(Settings.sound, written.sound) << round;
    ASSERT_EQ(LanguageOffset, lang) << round;
    for (int i = 0; i < kScoreEntries; ++i) {
      ASSERT_EQ(ScoreTable[i].score, table[i].score) << round << " " << i;
      ASSERT_STREQ(ScoreTable[i].name, table[i].name) << round << " " << i;
    }
  }
}

TEST_F(SettingsFile, UnixLineEndsDoNotEndUpInNames) {
  Load("ratio=4\ngrid=20\nsize=21\nlang=0\nsound=1\n55, Eve\n66, Max\n");
  EXPECT_EQ(Settings.grid, 20);
  EXPECT_STREQ(ScoreTable[0].name, "Eve");
  EXPECT_STREQ(ScoreTable[1].name, "Max");
}

TEST_F(SettingsFile, ASaveThatCannotCreateItsFileIsFatalAndNamesTheSettingsPath) {
  GTEST_FLAG_SET(death_test_style, "fast");  // the child must share this test's directory
  std::string file = Path("file");
  FILE* blocker = fopen(file.c_str(), "wb");
  ASSERT_NE(blocker, nullptr);
  fclose(blocker);
  std::string underFile = file + "/TORVANE.ini";
  EXPECT_EXIT(SaveSettings(underFile.c_str()), ::testing::ExitedWithCode(1),
              ::testing::StrEq("Erreur \xE0 l'ouverture du fichier : " + underFile + "\n"));
}

TEST_F(SettingsFile, AFailedSaveLeavesTheOldFileAsItWas) {
  GTEST_FLAG_SET(death_test_style, "fast");
  const std::string old = "ratio=4\r\ngrid=12\r\n";
  WriteFile(old);
  Settings = SettingsRecord{5, 16, 18, 1};

  // The new file cannot be created beside the old one.
  std::string temporary = path_ + kSaveSuffix;
  ASSERT_EQ(mkdir(temporary.c_str(), 0755), 0);
  EXPECT_EXIT(SaveSettings(path_.c_str()), ::testing::ExitedWithCode(1),
              ::testing::StrEq(std::string(kOpenErrorPrefix) + path_ + "\n"));
  EXPECT_EQ(ReadFile(path_), old);
  ASSERT_EQ(rmdir(temporary.c_str()), 0);

  // The replacement fails: what stands at the path (here a directory) stays, and the new file
  // is removed.
  std::string inside = path_ + "/keep";
  ASSERT_EQ(unlink(path_.c_str()), 0);
  ASSERT_EQ(mkdir(path_.c_str(), 0755), 0);
  FILE* keep = fopen(inside.c_str(), "wb");
  ASSERT_NE(keep, nullptr);
  fputs(old.c_str(), keep);
  fclose(keep);
  EXPECT_EXIT(SaveSettings(path_.c_str()), ::testing::ExitedWithCode(1),
              ::testing::StrEq(std::string(kOpenErrorPrefix) + path_ + "\n"));
  EXPECT_EQ(ReadFile(inside), old);
  EXPECT_EQ(ReadFile(temporary), "<missing>");
}

}  // namespace
