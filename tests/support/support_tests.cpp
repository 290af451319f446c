// support_tests.cpp: the text and file helpers: extensions, trims, stamps, the open-or-fail
// message and the one-step file replacement.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>
#include <utime.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "support/support.h"
#include "tests/support/scratch_dir.h"

namespace {

std::string Extended(const char* path, const char* extension, size_t capacity = 64) {
  char buffer[64];
  memset(buffer, '#', sizeof buffer);
  snprintf(buffer, sizeof buffer, "%s", path);
  EXPECT_EQ(ReplaceExtension(buffer, capacity, extension), buffer);
  // Nothing past the capacity may change.
  for (size_t i = capacity; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], '#') << "byte " << i;
  return buffer;
}

TEST(ReplaceExtension, ReplacesOrAppendsAndLowersTheNewExtension) {
  EXPECT_EQ(Extended("C:\\GAMES\\PLAY.EXE", "INI"), "C:\\GAMES\\PLAY.ini");
  EXPECT_EQ(Extended("C:\\GAMES\\PLAY.EXE", "HLP"), "C:\\GAMES\\PLAY.hlp");
  EXPECT_EQ(Extended("README", "HLP"), "README.hlp");
  EXPECT_EQ(Extended("NOTES.TEXT", "INI"), "NOTES.TEXT.ini");
  EXPECT_EQ(Extended("PLAY.", "INI"), "PLAY.ini");
  EXPECT_EQ(Extended("C:\\A.B\\C", "INI"), "C:\\A.ini");
  EXPECT_EQ(Extended("GAME.EXE", "Hlp"), "GAME.hlp");
  EXPECT_EQ(Extended("A.B", "INI"), "A.ini");
  EXPECT_EQ(Extended(".", "INI"), ".ini");
  EXPECT_EQ(Extended("", "INI"), ".ini");
  // Only three characters of the new extension are taken.
  EXPECT_EQ(Extended("GAME.EXE", "TEXT"), "GAME.tex");
}

TEST(ReplaceExtension, NeverWritesPastTheBuffer) {
  // Exactly enough room: the three old characters make way for three new ones.
  EXPECT_EQ(Extended("PLAY.EXE", "INI", 9), "PLAY.ini");
  // Too little room: what fits is kept, the rest of the buffer is untouched.
  EXPECT_EQ(Extended("README", "HLP", 9), "README.h");
  EXPECT_EQ(Extended("README", "HLP", 7), "README");
  EXPECT_EQ(Extended("PLAY.E", "INI", 7), "PLAY.i");
  char unterminated[4] = {'A', 'B', 'C', 'D'};
  ReplaceExtension(unterminated, sizeof unterminated, "INI");
  EXPECT_EQ(std::string(unterminated, 4), "ABCD");
}

TEST(Trim, LeadingBlanks) {
  char text[16] = "   Player";
  EXPECT_EQ(TrimLeadingBlanks(text), 1);
  EXPECT_STREQ(text, "Player");
  EXPECT_EQ(TrimLeadingBlanks(text), 0);
  EXPECT_STREQ(text, "Player");
  char blanks[8] = "   ";
  EXPECT_EQ(TrimLeadingBlanks(blanks), 1);
  EXPECT_STREQ(blanks, "");
  char tab[8] = "\tX";
  EXPECT_EQ(TrimLeadingBlanks(tab), 0);
  EXPECT_STREQ(tab, "\tX");
}

TEST(Trim, TrailingBlanks) {
  char text[16] = "Player   ";
  TrimTrailingBlanks(text);
  EXPECT_STREQ(text, "Player");
  char tab[16] = "Player\t";
  TrimTrailingBlanks(tab);
  EXPECT_STREQ(tab, "Player\t");
  char inner[16] = "A B ";
  TrimTrailingBlanks(inner);
  EXPECT_STREQ(inner, "A B");
  // Sanitizers catch a walk before the buffer here.
  char empty[1] = "";
  TrimTrailingBlanks(empty);
  EXPECT_STREQ(empty, "");
  char blanks[4] = "   ";
  TrimTrailingBlanks(blanks);
  EXPECT_STREQ(blanks, "");
}

class FileTest : public ScratchDirTest {
 protected:
  std::string Write(const char* name, const std::string& content) {
    return WriteWhole(Path(name), content);
  }
  static std::string Read(const std::string& path) { return ReadWhole(path); }
};

TEST_F(FileTest, StampIsZeroForWhatIsNoPlainFile) {
  EXPECT_EQ(FileStamp(Path("missing.ini").c_str()), 0);
  EXPECT_EQ(FileStamp(dir_), 0);
  EXPECT_EQ(FileStamp(Write(".hidden.ini", "x").c_str()), 0);
  EXPECT_EQ(FileStamp((Write("file", "x") + "/inside").c_str()), 0);
  EXPECT_NE(FileStamp(Write("plain.ini", "").c_str()), 0);
}

TEST_F(FileTest, StampIsTheLocalLastWriteTimeInFatForm) {
  std::string path = Write("plain.ini", "x");
  struct tm when = {};
  when.tm_year = 2024 - 1900;
  when.tm_mon = 2;  // March
  when.tm_mday = 17;
  when.tm_hour = 13;
  when.tm_min = 45;
  when.tm_sec = 31;
  when.tm_isdst = -1;
  struct utimbuf times;
  times.actime = times.modtime = mktime(&when);
  ASSERT_EQ(utime(path.c_str(), &times), 0);
  uint32_t stamp = static_cast<uint32_t>(FileStamp(path.c_str()));
  EXPECT_EQ(stamp >> 25, 2024u - 1980u);
  EXPECT_EQ((stamp >> 21) & 0xF, 3u);
  EXPECT_EQ((stamp >> 16) & 0x1F, 17u);
  EXPECT_EQ((stamp >> 11) & 0x1F, 13u);
  EXPECT_EQ((stamp >> 5) & 0x3F, 45u);
  EXPECT_EQ(stamp & 0x1F, 15u);

  // Before 1980 the format has no stamp: the file still exists, so the result is -1.
  times.actime = times.modtime = 86400 * 365;
  ASSERT_EQ(utime(path.c_str(), &times), 0);
  EXPECT_EQ(FileStamp(path.c_str()), -1);
}

TEST(OpenError, MessageIsTheFrenchPrefixThenThePathCutAt255) {
  char message[kFatalMessageSize];
  ComposeOpenError(message, "C:\\GAMES\\PLAY.ini");
  EXPECT_STREQ(message, "Erreur \xE0 l'ouverture du fichier : C:\\GAMES\\PLAY.ini");
  EXPECT_EQ(strlen(kOpenErrorPrefix), 34u);

  std::string longPath(400, 'p');
  memset(message, '#', sizeof message);
  ComposeOpenError(message, longPath.c_str());
  EXPECT_EQ(strlen(message), 255u);
  EXPECT_EQ(std::string(message), kOpenErrorPrefix + longPath.substr(0, 221));
}

TEST_F(FileTest, OpenFailureIsFatalWithTheFrenchMessage) {
  // Root may write a read-only file; a directory cannot be opened for update by anyone.
  EXPECT_EXIT(OpenFileOrDie(dir_, "r+b"), ::testing::ExitedWithCode(1),
              ::testing::StrEq(std::string(kOpenErrorPrefix) + dir_ + "\n"));
  std::string underFile = Write("file", "x") + "/settings.ini";
  EXPECT_EXIT(OpenFileOrDie(underFile.c_str(), "w+b"), ::testing::ExitedWithCode(1),
              ::testing::StrEq("Erreur \xE0 l'ouverture du fichier : " + underFile + "\n"));
}

TEST_F(FileTest, ReplaceFileWithPutsTheNewFileInPlace) {
  std::string target = Write("settings.ini", "old");
  std::string source = Write("settings.ini.new", "new");
  ASSERT_EQ(ReplaceFileWith(source.c_str(), target.c_str()), 1);
  EXPECT_EQ(Read(target), "new");
  EXPECT_EQ(Read(source), "<missing>");

  // A failed replacement leaves the target as it was.
  EXPECT_EQ(ReplaceFileWith(Path("absent").c_str(), target.c_str()), 0);
  EXPECT_EQ(Read(target), "new");
}

}  // namespace
