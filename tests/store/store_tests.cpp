// store_tests.cpp: the settings-and-scores file: defaults, validation, lines counted by
// position, the score lines, the exact bytes written, and saves that fail without loss.
// The extra lines too, and a save that takes in what another copy wrote meanwhile.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstring>
#include <string>

#include "game/game.h"
#include "game/statistics.h"
#include "res/text.h"
#include "store/settings_file.h"
#include "support/support.h"
#include "tests/support/scratch_dir.h"

namespace {

const char kOptions[] = "ratio=5\r\ngrid=16\r\nsize=18\r\nlang=1000\r\nsound=1\r\n";

std::string EmptyEntries(int count) {
  std::string lines;
  for (int i = 0; i < count; ++i) lines += "0, \r\n";
  return lines;
}

const char kZeroStatistics[] =
    "easy=0 0 0 0 0\r\nmedium=0 0 0 0 0\r\nhard=0 0 0 0 0\r\neasy.noguess=0 0 0 0 0\r\n"
    "medium.noguess=0 0 0 0 0\r\nhard.noguess=0 0 0 0 0\r\n";

// The records as the program starts: all zero.
void ResetRecords() {
  Settings = SettingsRecord{};
  LanguageOffset = 0;
  memset(ScoreTable, 0, sizeof ScoreTable);
  memset(Statistics, 0, sizeof Statistics);
  StatisticsWereReset = 0;
}

// The figures of one category, "played won clean streak longest", or of all (-1), "|" after each.
std::string Figures(int category) {
  std::string text;
  for (int i = category < 0 ? 0 : category; i <= (category < 0 ? 5 : category); ++i) {
    const StatisticsRecord& s = Statistics[i];
    char line[64];
    snprintf(line, sizeof line, "%d %d %d %d %d%s", s.played, s.won, s.cleanWins, s.streak,
             s.longestStreak, category < 0 ? "|" : "");
    text += line;
  }
  return text;
}

// The five options as loaded, in file order, for one comparison per state.
std::string Options() {
  char text[96];
  snprintf(text, sizeof text, "ratio=%d grid=%d size=%d lang=%d sound=%d", Settings.ratio,
           Settings.grid, Settings.size, LanguageOffset, Settings.sound);
  return text;
}

// The score table up to its last non-empty entry, "score name|" each.
std::string Scores() {
  std::string text, entry;
  for (const ScoreEntry& e : ScoreTable) {
    entry += std::to_string(e.score) + " " + e.name + "|";
    if (e.score != 0 || e.name[0] != 0) text += entry, entry.clear();
  }
  return text;
}

void SetEntry(int index, int32_t score, const char* name) {
  ScoreTable[index].score = score;
  snprintf(ScoreTable[index].name, sizeof ScoreTable[index].name, "%s", name);
}

class SettingsFile : public ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    path_ = Path("TORVANE.ini");
    ResetRecords();
  }
  void Load(const std::string& content) {
    ResetRecords();
    WriteWhole(path_, content);
    LoadSettings(path_.c_str());
  }

  std::string path_;
};

TEST_F(SettingsFile, MissingFileGivesTheDefaultsAndIsCreatedAtSave) {
  LoadSettings(path_.c_str());
  EXPECT_EQ(Options(), "ratio=6 grid=10 size=18 lang=1000 sound=0");
  SaveSettings(path_.c_str());
  EXPECT_EQ(ReadWhole(path_), "ratio=6\r\ngrid=10\r\nsize=18\r\nlang=1000\r\nsound=0\r\n" +
                                  EmptyEntries(24) + "noguess=0\r\n" + kZeroStatistics);
  EXPECT_EQ(ReadWhole(path_ + kSaveSuffix), "<missing>");
}

// Lines count by position, whatever their key; only the text after the first '=' counts.
TEST_F(SettingsFile, OptionsAreReadByPositionAndValidated) {
  const std::string huge = "99999999999999999999";
  const struct {
    std::string content;
    const char* options;
  } cases[] = {
      {"", "ratio=6 grid=10 size=18 lang=0 sound=0"},
      {"ratio=3\r\ngrid=31\r\nsize=20\r\nlang=1\r\nsound=5\r\n",
       "ratio=6 grid=10 size=18 lang=1000 sound=5"},
      {"ratio=4\r\ngrid=9\r\nsize=15\r\nlang=0\r\nsound=-1\r\n",
       "ratio=4 grid=10 size=15 lang=0 sound=-1"},
      {"ratio=5\r\ngrid=30\r\nsize=21\r\nlang=1000\r\n",
       "ratio=5 grid=30 size=21 lang=1000 sound=0"},
      {"sound=1\r\nratio=5\r\n", "ratio=6 grid=10 size=18 lang=0 sound=0"},
      {"ratio= 5\r\n", "ratio=5 grid=10 size=18 lang=0 sound=0"},
      {"ratio=5x\r\n", "ratio=5 grid=10 size=18 lang=0 sound=0"},
      {"ratio5\r\ngrid=\t+12\r\nsize=18=21\r\n", "ratio=6 grid=12 size=18 lang=0 sound=0"},
      {"ratio=4\ngrid=20\nsize=21\nlang=0\nsound=1\n", "ratio=4 grid=20 size=21 lang=0 sound=1"},
      {"ratio=" + huge + "\r\ngrid=-" + huge + "\r\nsize=18\r\nlang=0\r\nsound=2147483648",
       "ratio=6 grid=10 size=18 lang=0 sound=2147483647"},
      {"ratio= +4z\r\ngrid=- 7\r\nsize=18\r\nlang=0\r\nsound=-2147483649",
       "ratio=4 grid=10 size=18 lang=0 sound=-2147483648"},
      // 63 characters, then "=25" as the second line.
      {"ratio=5" + std::string(56, 'x') + "=25\r\nsize=21\r\nlang=0\r\nsound=1\r\n",
       "ratio=5 grid=25 size=21 lang=0 sound=1"},
  };
  for (const auto& c : cases) {
    Load(c.content);
    EXPECT_EQ(Options(), c.options) << c.content;
    EXPECT_EQ(Scores(), "") << c.content;
  }
  // A sound value the file allows is written back as it was.
  Load(cases[1].content);
  SaveSettings(path_.c_str());
  EXPECT_NE(ReadWhole(path_).find("\r\nsound=5\r\n"), std::string::npos);
}

TEST_F(SettingsFile, ScoreLinesInTheirSpellingsUntilALineWithoutComma) {
  const std::string nameOf58(58, 'N');
  const struct {
    std::string lines;
    std::string scores;
  } cases[] = {
      {"1234, Bob\r\n1234,Bob\r\n1234,   Bob\r\n0, \r\n-5, A, B \r\n",
       "1234 Bob|1234 Bob|1234 Bob|0 |-5 A, B |"},
      {"10, Ann\r\n500\r\n30, Cid\r\n", "10 Ann|500 |"},
      // Cut to the 24 characters an entry holds; the rest of the line is the next piece, which
      // has no comma and ends the reading.
      {"100, " + nameOf58 + "TAIL\r\n7, After\r\n", "100 " + std::string(24, 'N') + "|"},
      {"7, Ann\n8, Max\n", "7 Ann|8 Max|"},
  };
  for (const auto& c : cases) {
    Load(kOptions + c.lines);
    EXPECT_EQ(Scores(), c.scores) << c.lines;
  }

  // A bare number is the last score read: it keeps its entry's name and the entries after it.
  ResetRecords();
  SetEntry(1, 1, "Kept");
  SetEntry(2, 2, "Untouched");
  WriteWhole(path_, kOptions + cases[1].lines);
  LoadSettings(path_.c_str());
  EXPECT_EQ(Scores(), "10 Ann|500 Kept|2 Untouched|");

  // 24 lines at most: a 25th is not read.
  std::string lines, expected;
  for (int i = 1; i <= 25; ++i) {
    lines += std::to_string(i) + ", P" + std::to_string(i) + "\r\n";
    if (i <= 24) expected += std::to_string(i) + " P" + std::to_string(i) + "|";
  }
  Load(kOptions + lines);
  EXPECT_EQ(Scores(), expected);
}

// The 29 lines as ever, then the extra lines, every key in the language in force: the option,
// then a line of statistics per category, the longest figures held at the limit.
TEST_F(SettingsFile, WritesTheExactLinesInTheLanguageInForce) {
  Settings = SettingsRecord{5, 16, 18, 1, 1};
  SetEntry(0, 2736, "Alice");
  SetEntry(1, 1125, "Bob");
  SetEntry(2, 900, " ");  // a cancelled name: two blanks, read back empty
  Statistics[1] = {12, 5, 3, -2, 4};
  Statistics[5] = {kMaxCount, kMaxCount, kMaxCount, kMaxCount, kMaxCount};
  const std::string scores = "2736, Alice\r\n1125, Bob\r\n900,  \r\n" + EmptyEntries(21);
  const std::string figures[] = {"=0 0 0 0 0\r\n", "=12 5 3 -2 4\r\n",
                                 "=999999 999999 999999 999999 999999\r\n"};
  LanguageOffset = 1000;
  SaveSettings(path_.c_str());
  EXPECT_EQ(ReadWhole(path_), kOptions + scores + "noguess=1\r\neasy" + figures[0] + "medium" +
                                  figures[1] + "hard" + figures[0] + "easy.noguess" + figures[0] +
                                  "medium.noguess" + figures[0] + "hard.noguess" + figures[2]);
  LanguageOffset = 0;
  SaveSettings(path_.c_str());
  EXPECT_EQ(ReadWhole(path_), "ratio=5\r\ngrille=16\r\nlarg=18\r\nlang=0\r\nsons=1\r\n" + scores +
                                  "sanshasard=1\r\nfacile" + figures[0] + "moyen" + figures[1] +
                                  "difficile" + figures[0] + "facile.sanshasard" + figures[0] +
                                  "moyen.sanshasard" + figures[0] + "difficile.sanshasard" +
                                  figures[2]);
  ResetRecords();
  LoadSettings(path_.c_str());
  EXPECT_EQ(Scores(), "2736 Alice|1125 Bob|900 |");
  EXPECT_EQ(Settings.noGuess, 1);
  EXPECT_EQ(Figures(1) + "|" + Figures(5), "12 5 3 -2 4|999999 999999 999999 999999 999999");
}

// Past the 29th line, by key in either language, whatever the language line says: the option and
// the figures of each category. An unknown key is passed over, a missing or damaged option gives
// 0, and each figure damaged, out of range or missing, or at odds with those before it (more won
// than played, a streak beyond the longest or the losses), becomes 0 alone; nothing else in the
// file is lost, and nothing of what the records held before is kept. Before the 29th line, lines
// count by position: a key there is no extra line, even after the score lines have ended.
TEST_F(SettingsFile, ExtraLinesAreReadByKeyInEitherLanguage) {
  const std::string ann = kOptions + std::string("7, Ann\r\n"), full = ann + EmptyEntries(23);
  const struct {
    std::string content;
    int32_t noGuess;
    int category;
    const char* figures;
    const char* scores = "7 Ann|";
  } cases[] = {
      {full, 0, 0, "0 0 0 0 0"},
      {full + "noguess=1\r\n", 1, 0, "0 0 0 0 0"},
      {full + "sanshasard=1\n", 1, 0, "0 0 0 0 0"},
      {full + "colour=7\r\nnoguess=1 \r\nsize=2\r\n", 1, 0, "0 0 0 0 0"},
      {full + "noguess=2\r\n", 0, 0, "0 0 0 0 0"},
      {full + "noguess=1x\r\n", 0, 0, "0 0 0 0 0"},
      {full + "noguess=\r\n", 0, 0, "0 0 0 0 0"},
      {full + "noguess=99999999999\r\n", 0, 0, "0 0 0 0 0"},
      {full + "NoGuess=1\r\n", 0, 0, "0 0 0 0 0"},
      {full + "noguess=1\r\nnoguess=0\r\n", 0, 0, "0 0 0 0 0"},
      {ann + "noguess=1\r\neasy=1 1 1 1 1\r\n", 0, 0, "0 0 0 0 0"},
      {ann + "600\r\n" + EmptyEntries(22) + "noguess=1\r\n", 1, 0, "0 0 0 0 0", "7 Ann|600 |"},
      {full + "easy=12 5 3 -2 4\r\n", 0, 0, "12 5 3 -2 4"},
      {full + "moyen= 12  5 3 2 4 \n", 0, 1, "12 5 3 2 4"},
      {full + "noguess=1\r\ndifficile.sanshasard=1 1 1 1 1\r\nhard.noguess=2 1 0 -1 1", 1, 5,
       "2 1 0 -1 1"},
      {full + "easy=12 5 3 x 4\r\n", 0, 0, "12 5 3 0 4"},
      {full + "easy=12 5 3 -2 4z\r\n", 0, 0, "12 5 3 -2 0"},
      {full + "easy=12 5\r\n", 0, 0, "12 5 0 0 0"},
      {full + "easy=12 13 3 1 1\r\n", 0, 0, "12 0 0 0 0"},
      {full + "easy=12 5 6 1 4\r\n", 0, 0, "12 5 0 1 4"},
      {full + "easy=12 5 3 5 4\r\n", 0, 0, "12 5 3 0 4"},
      {full + "easy=12 5 3 -8 4\r\n", 0, 0, "12 5 3 0 4"},
      {full + "easy=12 5 3 1 6\r\n", 0, 0, "12 5 3 0 0"},
      {full + "easy=1000000 5 3 1 4\r\n", 0, 0, "0 0 0 0 0"},
      {full + "easy=-1 0 0 0 0\r\n", 0, 0, "0 0 0 0 0"},
      {full + "easy=99999999999999999999 1 1 1 1\r\n", 0, 0, "0 0 0 0 0"},
      {full + "Easy=12 5 3 -2 4\r\neasy 12 5 3 -2 4\r\n", 0, 0, "0 0 0 0 0"},
  };
  for (const auto& c : cases) {
    ResetRecords();
    Settings.noGuess = 1;  // not what the file leaves unless it says so
    Statistics[c.category] = {3, 1, 1, 1, 1};
    WriteWhole(path_, c.content);
    LoadSettings(path_.c_str());
    EXPECT_EQ(Settings.noGuess, c.noGuess) << c.content;
    EXPECT_EQ(Figures(c.category), c.figures) << c.content;
    EXPECT_EQ(Options() + " " + Scores(),
              "ratio=5 grid=16 size=18 lang=1000 sound=1 " + std::string(c.scores))
        << c.content;
  }
}

TEST_F(SettingsFile, EveryStateReadsBackAsWritten) {
  const int32_t sounds[] = {0, 1, 5, -3, INT32_MAX, INT32_MIN};
  const int32_t sizes[] = {15, 18, 21};
  const char* names[] = {
      "", "Bob", "A, B", "x", "Trailing  ", "\xC9lise \xE0 Z\xFC", "24 characters long name!"};
  // Every grid side three times, with every ratio, size, language and several sounds mixed in.
  for (int round = 0; round < 63; ++round) {
    Settings = {4 + round / 21, kMinGrid + round % 21, sizes[(round / 2) % 3], sounds[round % 6]};
    LanguageOffset = round % 2 == 0 ? 0 : 1000;
    for (int i = 0; i < kScoreEntries; ++i) {
      const int32_t score = (round * 7919 + i * 104729) % 100000 - (i == 3 ? 100000 : 0);
      SetEntry(i, i == 23 ? INT32_MIN : score, names[(round + i) % 7]);
    }
    for (int category = 0; category < kStatisticsCategories; ++category) {
      const int32_t played = (round * 99991 + category * 7) % (kMaxCount + 1), won = played / 3;
      Statistics[category] = {played, won, won / 2, round % 3 ? won / 5 : won - played, won / 4};
    }
    const std::string options = Options(), scores = Scores(), figures = Figures(-1);
    SaveSettings(path_.c_str());
    ResetRecords();
    LoadSettings(path_.c_str());
    ASSERT_EQ(Options(), options) << round;
    ASSERT_EQ(Scores(), scores) << round;
    ASSERT_EQ(Figures(-1), figures) << round;
  }
}

// Two copies of the program from one folder: at its save, a copy takes in what the other saved
// since its own read: that copy's new best scores by the entry rule, its games added (where this
// copy's games all went one way, they go on from that copy's streak). Options stay this copy's. A
// file written before the statistics (by an older release) leaves this copy's figures.
TEST_F(SettingsFile, ASaveTakesInWhatAnotherCopyWroteSinceItsRead) {
  const auto file = [](const char* options, const std::string& scores, const char* easy) {
    return options + scores +
           EmptyEntries(24 - static_cast<int>(std::count(scores.begin(), scores.end(), '\n'))) +
           (*easy ? std::string("sanshasard=1\r\nfacile=") + easy + "\r\n" : "");
  };
  const struct {
    const char *read, *readEasy;  // the file's score lines and easy figures as this copy read it
    int here;                     // this copy then entered 3 A (1), after Clear (2); was Reset (3)
    StatisticsRecord easy;        // this copy's easy figures at the end
    const char *other, *otherEasy, *scores, *figures;  // the other copy's file; then the result
  } cases[] = {
      {"", "", 1, {1, 1, 1, 1, 1}, "6, S\r\n", "1 1 1 1 1", "3 A|6 S|", "2 2 2 2 2"},
      {"5, B\r\n", "2 1 1 1 1", 0, {3, 2, 2, 2, 2}, "5, B\r\n", "2 1 1 1 1", "5 B|", "3 2 2 2 2"},
      {"", "2 1 1 1 1", 0, {2, 1, 1, 1, 1}, "", "3 1 1 -1 1", "", "3 1 1 -1 1"},
      {"", "2 1 1 1 1", 0, {4, 2, 2, 1, 1}, "", "4 3 3 3 3", "", "6 4 4 1 3"},
      {"", "2 1 1 1 1", 0, {4, 3, 3, 3, 3}, "", "3 1 1 -1 1", "", "5 3 3 2 3"},
      {"", "2 1 1 1 1", 0, {3, 2, 2, 2, 2}, "", "4 3 3 3 3", "", "5 4 4 4 4"},
      // The other copy was Reset: its games since count; after a Reset here, the other's since
      // this copy's read.
      {"", "5 3 3 1 2", 0, {6, 4, 4, 2, 2}, "", "1 0 0 -1 0", "", "7 4 4 1 2"},
      {"", "5 3 3 1 2", 3, {1, 1, 1, 1, 1}, "", "6 4 4 2 2", "", "2 2 2 1 1"},
      {"", "2 1 1 1 1", 0, {3, 2, 2, 2, 2}, "7, O\r\n", "", "7 O|", "3 2 2 2 2"},
      // Best scores cleared here stay cleared; the other's new one comes in.
      {"5, B\r\n4, C\r\n", "", 2, {}, "5, B\r\n4, C\r\n7, D\r\n", "", "3 A|7 D|", "0 0 0 0 0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << &c - cases);
    Load(file(kOptions, c.read, c.readEasy));
    if (c.here == 2) memset(ScoreTable, 0, sizeof ScoreTable);  // as Clear in the dialog
    if (c.here == 3) ResetStatistics();
    if (c.here == 1 || c.here == 2) MergeScore({3, "A"});  // by the rule a win enters
    Statistics[0] = c.easy;
    WriteWhole(path_, file("ratio=4\r\ngrille=20\r\nlarg=15\r\nlang=0\r\nsons=0\r\n", c.other,
                           c.otherEasy));
    SaveSettings(path_.c_str());
    // As this copy left it, and as the file it wrote reads back.
    for (int read = 0; read < 2; ++read, Load(ReadWhole(path_))) {
      EXPECT_EQ(Options() + " " + Scores() + Figures(0),
                "ratio=5 grid=16 size=18 lang=1000 sound=1 " + std::string(c.scores) + c.figures);
    }
  }
}

// As root any file opens for writing: the child gives up its rights first, so the read-only
// file really refuses it.
void BecomeNobody() {
  if (geteuid() != 0) return;
  if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
}

// A folder in the file's place too: the save at exit could not write there.
TEST_F(SettingsFile, AnExistingFileThatCannotBeOpenedForWritingIsFatalAndKeptAsItWas) {
  GTEST_FLAG_SET(death_test_style, "fast");
  ASSERT_EQ(chmod(dir_, 0755), 0);
  WriteWhole(path_, kOptions);
  ASSERT_EQ(chmod(path_.c_str(), 0444), 0);
  const std::string folder = Path("folder.ini");
  ASSERT_EQ(mkdir(folder.c_str(), 0777), 0);
  for (const std::string& path : {path_, folder}) {
    EXPECT_EXIT((BecomeNobody(), LoadSettings(path.c_str())), ::testing::ExitedWithCode(1),
                ::testing::StrEq("Erreur \xE0 l'ouverture du fichier : " + path + "\n"));
  }
  EXPECT_EQ(ReadWhole(path_), kOptions);
}

TEST_F(SettingsFile, ASaveThatCannotOpenItsFilesIsFatalAndKeepsTheOldFile) {
  GTEST_FLAG_SET(death_test_style, "fast");  // the child must share this test's directory
  const std::string fatal = "Erreur \xE0 l'ouverture du fichier : ";
  const std::string underFile = WriteWhole(Path("file"), "x") + "/TORVANE.ini";
  EXPECT_EXIT(SaveSettings(underFile.c_str()), ::testing::ExitedWithCode(1),
              ::testing::StrEq(fatal + underFile + "\n"));

  const std::string old = "ratio=4\r\ngrid=12\r\n", temporary = path_ + kSaveSuffix;
  // The replacement fails: what stands at the path (here a directory) stays, and the new file
  // is removed.
  ASSERT_EQ(mkdir(path_.c_str(), 0755), 0);
  WriteWhole(path_ + "/keep", old);
  EXPECT_EXIT(SaveSettings(path_.c_str()), ::testing::ExitedWithCode(1),
              ::testing::StrEq(fatal + path_ + "\n"));
  EXPECT_EQ(ReadWhole(path_ + "/keep"), old);
  EXPECT_EQ(ReadWhole(temporary), "<missing>");
}

// A child that gives up root's rights and, given a limit, may not grow a file past that many
// bytes: a write beyond it fails (EFBIG) instead of ending the process.
void SaveAsNobody(const std::string& path, rlim_t sizeLimit) {
  BecomeNobody();
  const struct rlimit limit = {sizeLimit, sizeLimit};
  if (sizeLimit != RLIM_INFINITY &&
      (signal(SIGXFSZ, SIG_IGN) == SIG_ERR || setrlimit(RLIMIT_FSIZE, &limit) != 0)) {
    _exit(3);
  }
  SaveSettings(path.c_str());
  exit(0);
}

// Where the folder takes no new file, the file itself is written in place if it lets us, and a
// write that fails on the way puts its old bytes back. A save that fails is fatal and leaves the
// file byte for byte as it was (or absent, as it was).
// An old file of any size works (a sparse 5 GiB one too), one that refuses reading is never
// emptied, and its last byte differs from the new one's there, so that a byte not put back shows.
TEST_F(SettingsFile, ASaveFallsBackToWritingInPlaceAndOtherwiseKeepsTheOldFile) {
  GTEST_FLAG_SET(death_test_style, "fast");
  const std::string fatal = "Erreur \xE0 l'ouverture du fichier : " + path_ + "\n";
  const std::string old = "ratio=4\r\ngrid=12\r\nsize=21", none = "<missing>";
  const std::string leftover = path_ + kSaveSuffix;
  const std::string saved = kOptions + std::string("2736, Alice\r\n") + EmptyEntries(23) +
                            "noguess=0\r\n" + kZeroStatistics;
  Load(saved);  // as read: where the file holds it again, the save takes in nothing more
  const std::string longer = saved + std::string(100, 'x') + "\r\n";
  std::string beyondKept;  // longer than any save writes
  for (int i = 0; i < 4000; ++i) beyondKept += static_cast<char>('a' + i % 26);
  const struct {
    mode_t folder, file;
    std::string old;
    bool leftover;     // a read-only file of the new file's name, left by an earlier run
    rlim_t sizeLimit;  // 100 bytes: room for the old file, not for the new one
    bool fails;
    off_t sparse = 0;  // the old file's length, made of a hole after its text
  } cases[] = {
      {0555, 0666, old, false, RLIM_INFINITY, false},
      {0555, 0666, longer, false, RLIM_INFINITY, false},
      {0555, 0666, old, false, RLIM_INFINITY, false, off_t{5} << 30},
      {0555, 0666, old, false, 100, true},
      {0555, 0666, beyondKept, false, 100, true},
      {0555, 0444, old, false, RLIM_INFINITY, true},
      {0555, 0222, old, false, RLIM_INFINITY, true},
      {0777, 0666, old, true, RLIM_INFINITY, false},
      {0777, 0666, none, true, RLIM_INFINITY, false},
      {0777, 0666, none, true, 100, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << &c - cases);
    ASSERT_EQ(chmod(dir_, 0755), 0);
    unlink(path_.c_str());
    unlink(leftover.c_str());
    ASSERT_TRUE(c.old == none || chmod(WriteWhole(path_, c.old).c_str(), c.file) == 0);
    ASSERT_TRUE(c.sparse == 0 || truncate(path_.c_str(), c.sparse) == 0);
    ASSERT_TRUE(!c.leftover || chmod(WriteWhole(leftover, "left").c_str(), 0444) == 0);
    ASSERT_EQ(chmod(dir_, c.folder), 0);
    EXPECT_EXIT(SaveAsNobody(path_, c.sizeLimit), ::testing::ExitedWithCode(c.fails ? 1 : 0),
                ::testing::StrEq(c.fails ? fatal : ""));
    EXPECT_EQ(ReadWhole(path_), c.fails ? c.old : saved);
    EXPECT_EQ(ReadWhole(leftover), c.leftover ? "left" : none);
  }

  // The new file is made, but a folder that keeps others' files (sticky) refuses the
  // replacement of one that is not ours: the old file stays and the new one goes.
  ASSERT_EQ(chmod(dir_, 0755), 0);
  if (geteuid() != 0) GTEST_SKIP() << "needs root to hand the file to another user";
  unlink(leftover.c_str());
  unlink(path_.c_str());  // made anew, so that it is root's
  ASSERT_EQ(chmod(WriteWhole(path_, old).c_str(), 0644), 0);
  ASSERT_EQ(chmod(dir_, 01777), 0);
  EXPECT_EXIT((BecomeNobody(), SaveSettings(path_.c_str())), ::testing::ExitedWithCode(1),
              ::testing::StrEq(fatal));
  EXPECT_EQ(ReadWhole(path_), old);
  EXPECT_EQ(ReadWhole(path_ + kSaveSuffix), "<missing>");
  ASSERT_EQ(chmod(dir_, 0755), 0);
}

}  // namespace
