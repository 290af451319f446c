// support_tests.cpp: the text and file helpers: extensions, trims, stamps and the open-error
// message. The fatal open and the file replacement are tested through the store's saves.
#include <gtest/gtest.h>

#include <utime.h>

#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "support/support.h"
#include "tests/support/scratch_dir.h"

namespace {

TEST(ReplaceExtension, ReplacesOrAppendsAndLowersWithinTheBuffer) {
  const struct {
    const char *path, *extension;
    size_t capacity;
    const char* expected;
  } cases[] = {
      {"C:\\GAMES\\PLAY.EXE", "INI", 64, "C:\\GAMES\\PLAY.ini"},
      {"README", "HLP", 64, "README.hlp"},
      {"NOTES.TEXT", "INI", 64, "NOTES.TEXT.ini"},
      {"PLAY.", "INI", 64, "PLAY.ini"},
      {"C:\\A.B\\C", "INI", 64, "C:\\A.ini"},
      {"GAME.EXE", "Hlp", 64, "GAME.hlp"},
      {".", "INI", 64, ".ini"},
      {"", "INI", 64, ".ini"},
      {"GAME.EXE", "TEXT", 64, "GAME.tex"},  // three characters of the new extension at most
      {"PLAY.EXE", "INI", 9, "PLAY.ini"},    // exactly enough room
      {"README", "HLP", 9, "README.h"},      // too little: what fits is kept
      {"README", "HLP", 7, "README"},
      {"PLAY.E", "INI", 7, "PLAY.i"},
  };
  for (const auto& c : cases) {
    char buffer[64];
    memset(buffer, '#', sizeof buffer);
    snprintf(buffer, sizeof buffer, "%s", c.path);
    EXPECT_EQ(ReplaceExtension(buffer, c.capacity, c.extension), buffer);
    EXPECT_STREQ(buffer, c.expected) << c.path << " capacity " << c.capacity;
    // Nothing past the capacity may change.
    EXPECT_EQ(std::string(buffer + c.capacity, sizeof buffer - c.capacity),
              std::string(sizeof buffer - c.capacity, '#'));
  }
  char unterminated[4] = {'A', 'B', 'C', 'D'};
  ReplaceExtension(unterminated, sizeof unterminated, "INI");
  EXPECT_EQ(std::string(unterminated, 4), "ABCD");
}

// Blanks only, not tabs; the sanitizers catch a walk before the buffer of an empty text.
TEST(Trim, LeadingAndTrailingBlanks) {
  const struct {
    const char *text, *leading;
    int trimmed;
    const char* trailing;
  } cases[] = {{"   Player", "Player", 1, "   Player"},
               {"Player   ", "Player   ", 0, "Player"},
               {"   ", "", 1, ""},
               {"\tX", "\tX", 0, "\tX"},
               {"Player\t", "Player\t", 0, "Player\t"},
               {"A B ", "A B ", 0, "A B"},
               {"", "", 0, ""}};
  for (const auto& c : cases) {
    std::vector<char> text(c.text, c.text + strlen(c.text) + 1);
    EXPECT_EQ(TrimLeadingBlanks(text.data()), c.trimmed) << '"' << c.text << '"';
    EXPECT_STREQ(text.data(), c.leading);
    text.assign(c.text, c.text + strlen(c.text) + 1);
    TrimTrailingBlanks(text.data());
    EXPECT_STREQ(text.data(), c.trailing);
  }
}

using FileStampTest = ScratchDirTest;

TEST_F(FileStampTest, ZeroForWhatIsNoPlainFileElseTheLocalWriteTimeInFatForm) {
  EXPECT_EQ(FileStamp(Path("missing.ini").c_str()), 0);
  EXPECT_EQ(FileStamp(dir_), 0);
  EXPECT_EQ(FileStamp(WriteWhole(Path(".hidden.ini"), "x").c_str()), 0);
  EXPECT_EQ(FileStamp((WriteWhole(Path("file"), "x") + "/inside").c_str()), 0);
  const std::string path = WriteWhole(Path("plain.ini"), "");
  struct tm when = {};
  when.tm_year = 2024 - 1900, when.tm_mon = 2, when.tm_mday = 17;  // 17 March 2024
  when.tm_hour = 13, when.tm_min = 45, when.tm_sec = 31, when.tm_isdst = -1;
  struct utimbuf times;
  times.actime = times.modtime = mktime(&when);
  ASSERT_EQ(utime(path.c_str(), &times), 0);
  const uint32_t stamp = static_cast<uint32_t>(FileStamp(path.c_str()));
  // Years since 1980, month, day, hours, minutes, seconds / 2.
  EXPECT_EQ(std::vector<uint32_t>({44, 3, 17, 13, 45, 15}),
            std::vector<uint32_t>({stamp >> 25, (stamp >> 21) & 0xF, (stamp >> 16) & 0x1F,
                                   (stamp >> 11) & 0x1F, (stamp >> 5) & 0x3F, stamp & 0x1F}));
  // Before 1980 the format has no stamp: the file still exists, so the result is -1.
  times.actime = times.modtime = 86400 * 365;
  ASSERT_EQ(utime(path.c_str(), &times), 0);
  EXPECT_EQ(FileStamp(path.c_str()), -1);
}

TEST(OpenError, MessageIsTheFrenchPrefixThenThePathCutAt255) {
  char message[kFatalMessageSize];
  ComposeOpenError(message, "C:\\GAMES\\PLAY.ini");
  EXPECT_STREQ(message, "Erreur \xE0 l'ouverture du fichier : C:\\GAMES\\PLAY.ini");
  const std::string longPath(400, 'p');
  memset(message, '#', sizeof message);
  ComposeOpenError(message, longPath.c_str());
  EXPECT_EQ(std::string(message),
            "Erreur \xE0 l'ouverture du fichier : " + longPath.substr(0, 221));
}

}  // namespace
