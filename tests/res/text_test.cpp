// text_test.cpp: LoadText in both languages, its one buffer, and the generated STRINGTABLE
// script read back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "res/resource_ids.h"
#include "res/string_script.h"
#include "res/string_table.h"
#include "res/text.h"
#include "tests/res/expected_texts.h"

namespace {

// LanguageOffset is process-wide: every test leaves it French.
class TextTest : public ::testing::Test {
 protected:
  void TearDown() override { LanguageOffset = 0; }
};

std::string Expected(const char* utf8) {
  std::string bytes;
  if (utf8 != nullptr) {
    EXPECT_TRUE(Utf8ToCp1252(utf8, &bytes)) << utf8;
  }
  return bytes;
}

TEST_F(TextTest, EveryIdGivesItsTextInEachLanguage) {
  for (int id = 400; id <= 521; ++id) {
    const ExpectedText* expected = FindExpectedText(id);
    std::string french = Expected(expected ? expected->french : nullptr);
    std::string english = Expected(expected ? expected->english : nullptr);

    LanguageOffset = 0;
    EXPECT_EQ(french, LoadText(id)) << "French " << id;
    EXPECT_EQ(english, LoadText(id + ENGLISH_OFFSET)) << "English by full id " << id;
    LanguageOffset = ENGLISH_OFFSET;
    EXPECT_EQ(english, LoadText(id)) << "English " << id;
  }
}

TEST_F(TextTest, AccentsAreWindows1252Bytes) {
  EXPECT_STREQ("Param\xE8tres", LoadText(IDS_SETTINGS));
  EXPECT_STREQ("Degr\xE9 de difficult\xE9", LoadText(IDS_LEVEL_GROUP));
  LanguageOffset = ENGLISH_OFFSET;
  EXPECT_STREQ(
      "Fran\xE7"
      "ais",
      LoadText(IDS_LANGUAGE));
}

TEST_F(TextTest, TextsOfOneLanguageOnlyAreEmptyInTheOther) {
  LanguageOffset = ENGLISH_OFFSET;
  LoadText(IDS_SETTINGS);  // a text in the buffer must not survive a missing one
  EXPECT_STREQ("", LoadText(IDS_GRID_GROUP));
  EXPECT_STREQ("Jokers", LoadText(IDS_JOKERS));
  LanguageOffset = 0;
  LoadText(IDS_SETTINGS);
  EXPECT_STREQ("", LoadText(IDS_JOKERS));
  EXPECT_STREQ("", LoadText(IDS_GRID_GROUP + ENGLISH_OFFSET));
}

TEST_F(TextTest, IdsOutsideTheTableAreEmpty) {
  const int ids[] = {0, -1, 1, 399, 403, 522, 1399, 1522, 65535, 65536 + 400, INT32_MIN, INT32_MAX};
  for (int id : ids) EXPECT_STREQ("", LoadText(id)) << id;
  // A wild offset (a damaged settings file) must neither wrap onto a text nor overflow.
  const int32_t offsets[] = {INT32_MAX, INT32_MIN, -400, 65536};
  for (int32_t offset : offsets) {
    LanguageOffset = offset;
    EXPECT_STREQ("", LoadText(IDS_MENU_GAME)) << offset;
  }
}

TEST_F(TextTest, EachCallOverwritesTheOneBuffer) {
  const char* first = LoadText(IDS_CONGRATULATION_TEXT);
  const char* second = LoadText(IDS_OK);
  EXPECT_EQ(first, second);
  EXPECT_STREQ("OK", first);
  const char* third = LoadText(IDS_MENU_HELP);
  EXPECT_EQ(first, third);
  EXPECT_STREQ("&Aide", second);
}

TEST(StringTable, HoldsExactlyTheProgramsTexts) {
  int texts = 0;
  for (int i = 0; i < kStringCount; ++i) {
    const StringEntry& entry = kStringTable[i];
    if (entry.text == nullptr) continue;
    ++texts;
    // LoadStringA keeps at most 511 characters in the program's buffer.
    EXPECT_LT(strlen(entry.text), static_cast<size_t>(kTextBufferSize)) << entry.id;
    bool english = entry.id >= 400 + ENGLISH_OFFSET;
    const ExpectedText* expected = FindExpectedText(entry.id - (english ? ENGLISH_OFFSET : 0));
    ASSERT_NE(nullptr, expected) << "unexpected id " << entry.id;
    EXPECT_NE(nullptr, english ? expected->english : expected->french) << entry.id;
  }
  int expected_texts = 0;
  for (int i = 0; i < kExpectedTextCount; ++i)
    expected_texts +=
        (kExpectedTexts[i].french != nullptr) + (kExpectedTexts[i].english != nullptr);
  EXPECT_EQ(expected_texts, texts);
}

// Reads back what a writer put into a temporary file.
std::string Captured(void (*write)(FILE*, const void*), const void* argument) {
  FILE* file = tmpfile();
  if (file == nullptr) return "(no temporary file)";
  write(file, argument);
  std::string text;
  rewind(file);
  for (int c; (c = fgetc(file)) != EOF;) text.push_back(static_cast<char>(c));
  fclose(file);
  return text;
}

TEST(StringScript, EscapesWhatTheScriptCannotHoldAsIs) {
  auto write = [](FILE* out, const void* text) {
    WriteScriptString(out, static_cast<const char*>(text));
  };
  EXPECT_EQ("\"\"", Captured(write, ""));
  EXPECT_EQ("\"say \"\"hi\"\"\"", Captured(write, "say \"hi\""));
  EXPECT_EQ("\"a\\\\b\\nc\\td\"", Captured(write, "a\\b\nc\td"));
  EXPECT_EQ("\"\\350t\\351\\001\\177\\377\"", Captured(write, "\xE8t\xE9\x01\x7F\xFF"));
  // A digit after an octal escape stays a character of its own (escapes take three digits).
  EXPECT_EQ("\"\\3502\"", Captured(write,
                                   "\xE8"
                                   "2"));
}

// The texts of a STRINGTABLE script, as a resource compiler reads its quoted strings.
bool ParseScriptString(const char*& p, std::string* text) {
  if (*p != '"') return false;
  ++p;
  text->clear();
  for (;;) {
    char c = *p++;
    if (c == '\0' || c == '\n') return false;
    if (c == '"') {
      if (*p != '"') return true;
      text->push_back('"');
      ++p;
    } else if (c == '\\') {
      char e = *p++;
      if (e == 'n') {
        text->push_back('\n');
      } else if (e == 't') {
        text->push_back('\t');
      } else if (e == '\\') {
        text->push_back('\\');
      } else if (e >= '0' && e <= '7') {
        int value = e - '0';
        for (int digits = 1; digits < 3 && *p >= '0' && *p <= '7'; ++digits)
          value = value * 8 + (*p++ - '0');
        text->push_back(static_cast<char>(value));
      } else {
        return false;
      }
    } else {
      text->push_back(c);
    }
  }
}

TEST(StringScript, GeneratedScriptGivesBackEveryText) {
  // Named by process so that two builds running their tests at once do not share the file.
  const std::string path =
      testing::TempDir() + "torvane_strings_" + std::to_string(getpid()) + ".rc";
  std::string command = std::string("\"") + STRINGSRC_PATH + "\" \"" + path + "\"";
  ASSERT_EQ(0, std::system(command.c_str()));
  FILE* file = fopen(path.c_str(), "rb");
  ASSERT_NE(nullptr, file);
  std::string script;
  for (int c; (c = fgetc(file)) != EOF;) script.push_back(static_cast<char>(c));
  fclose(file);
  remove(path.c_str());

  size_t pragma = script.find("#pragma code_page(1252)\n");
  size_t begin = script.find("\nSTRINGTABLE\nBEGIN\n");
  size_t end = script.find("\nEND\n");
  ASSERT_NE(std::string::npos, pragma);
  ASSERT_NE(std::string::npos, begin);
  ASSERT_NE(std::string::npos, end);
  EXPECT_LT(pragma, begin);
  EXPECT_EQ(script.size(), end + 5);

  int found = 0;
  int previous = 0;
  const char* p = script.c_str() + begin + strlen("\nSTRINGTABLE\nBEGIN\n");
  const char* stop = script.c_str() + end + 1;
  while (p < stop) {
    int id = 0;
    int used = 0;
    ASSERT_EQ(1, sscanf(p, "  %d, %n", &id, &used)) << p;
    p += used;
    std::string text;
    ASSERT_TRUE(ParseScriptString(p, &text)) << "id " << id;
    ASSERT_EQ('\n', *p) << "id " << id;
    ++p;
    EXPECT_GT(id, previous);
    previous = id;
    ++found;
    EXPECT_EQ(std::string(LoadText(id)), text) << "id " << id;
    EXPECT_NE(nullptr, FindStringEntry(id)) << "id " << id;
  }
  int texts = 0;
  for (int i = 0; i < kStringCount; ++i) texts += kStringTable[i].text != nullptr;
  EXPECT_EQ(texts, found);
}

}  // namespace
