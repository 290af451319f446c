// pages_test.cpp: the help as web pages, from the same sources as the help file: every link
// lands on a heading of its page or of the other one, the two pages link to each other, and
// nothing comes from outside; and the read-me's wrapping of the help's lists.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "tools/helpgen/help.h"

namespace {

// One page of the help, from its source.
HelpPage Page(const char* path, const char* file, const char* language) {
  HelpPage page = {file, language, {}};
  // Read with stdio: the stream iterators trip GCC 12's null-dereference warning in optimised
  // builds.
  FILE* source = fopen(path, "rb");
  std::string text;
  for (int c; source != nullptr && (c = fgetc(source)) != EOF;) text += static_cast<char>(c);
  std::string error;
  EXPECT_TRUE(source != nullptr && ReadHelpSource(path, text, &page.document, &error))
      << path << error;
  if (source != nullptr) fclose(source);
  return page;
}

TEST(HelpPages, EveryLinkLandsOnAHeadingAndThePagesLinkToEachOtherOnly) {
  const std::vector<HelpPage> pages = {Page(TORVANE_HELP_FRENCH, "torvane-fr.htm", "fr"),
                                       Page(TORVANE_HELP_ENGLISH, "torvane-en.htm", "en")};
  std::vector<std::string> html;
  std::string error;
  ASSERT_TRUE(WriteHelpPages(pages, &html, &error)) << error;
  ASSERT_EQ(2u, html.size());

  std::map<std::string, std::set<std::string>> ids;  // page file, the ids of its headings
  const std::regex id("<h[12] id=\"([^\"]+)\">"), href("href=\"([^\"#]*)#?([^\"]*)\"");
  for (size_t p = 0; p < 2; ++p) {
    for (std::sregex_iterator m(html[p].begin(), html[p].end(), id), end; m != end; ++m)
      ids[pages[p].file].insert((*m)[1]);
    EXPECT_EQ(pages[p].document.topics.size(), ids[pages[p].file].size()) << pages[p].file;
  }
  for (size_t p = 0; p < 2; ++p) {
    SCOPED_TRACE(pages[p].file);
    const std::string& page = html[p];
    EXPECT_EQ(0u, page.find("<!DOCTYPE html>\n<html lang=\"" + pages[p].language + "\">"));
    EXPECT_NE(std::string::npos, page.find("<meta charset=\"utf-8\">"));
    for (const char* outside : {"<script", "src=", "<link", "http", "url("})
      EXPECT_EQ(std::string::npos, page.find(outside)) << outside;
    int toOther = 0;
    for (std::sregex_iterator m(page.begin(), page.end(), href), end; m != end; ++m) {
      const std::string file = (*m)[1].length() ? (*m)[1].str() : pages[p].file;
      const std::string target = (*m)[2];
      ASSERT_EQ(1u, ids.count(file)) << "a link to " << file;
      toOther += file != pages[p].file;
      EXPECT_TRUE(target.empty() || ids[file].count(target)) << file << "#" << target;
    }
    EXPECT_GE(toOther, 1) << "no link to the other page";
  }
  // The French texts arrive in UTF-8.
  EXPECT_NE(std::string::npos, html[0].find(">Le but et les r\xC3\xA8gles</h2>"));
}

// Lines end at 78 columns, counted in characters; French punctuation after a blank never starts
// a line.
TEST(Readme, ListsWrapWithinTheColumnsAndBadTemplatesAreRefused) {
  HelpDocument document;
  std::string error;
  const std::string word(74, 'x'), shorter(70, 'y'), wide = "\xC3\xA9" + std::string(77, '-');
  ASSERT_TRUE(ReadHelpSource("a.txt",
                             "== keys | Keys\n- **F9** : " + word + " " + shorter + " abcd ; fin\n",
                             &document, &error))
      << error;
  std::string text;
  ASSERT_TRUE(WriteReadme("# a comment\n" + wide + "\n@items keys\n", document, &text, &error))
      << error;
  EXPECT_EQ("\xEF\xBB\xBF" + wide + "\r\n- F9 :\r\n  " + word + "\r\n  " + shorter +
                "\r\n  abcd ; fin\r\n",
            text);

  EXPECT_FALSE(WriteReadme("@items nowhere\n", document, &text, &error));
  EXPECT_EQ(0u, error.find("read-me template:1: no topic \"nowhere\"")) << error;
  EXPECT_FALSE(WriteReadme("ok\n" + wide + "-\n", document, &text, &error));
  EXPECT_EQ(0u, error.find("read-me template:2: wider than 78 columns")) << error;
}

}  // namespace
