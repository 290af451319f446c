// test_package.cpp: the unzipped download, run where a player may put it: a folder whose path
// holds a space and an accented letter (package.contents in tests/package unzips it there first).
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/driver.h"

namespace {

TEST(Package, TheUnzippedProgramPlaysAndWritesItsSettingsBesideItself) {
  const std::string folder = e2e::BuildPath(E2E_UNZIPPED);
  ASSERT_NE("", folder) << "the code page has no letter for " << E2E_UNZIPPED;
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder + "\\torvane.exe").c_str()))
      << folder;
  ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder + "\\torvane.ini").c_str()))
      << "the download should hold no settings file";

  e2e::Session session;
  ASSERT_TRUE(e2e::StartIn(session, folder.c_str()));
  // A corner never hides a mine: it is uncovered and starts the clock; a flag goes on another.
  ASSERT_TRUE(e2e::PressCell(session, 1, 1, e2e::kLeft));
  EXPECT_EQ("0'00", e2e::StatusText(session, 0));
  ASSERT_TRUE(e2e::PressCell(session, 10, 10, e2e::kRight));
  EXPECT_EQ("Mines:15", e2e::StatusText(session, 1));
  ASSERT_TRUE(e2e::Command(session, IDM_LANGUAGE));

  ASSERT_TRUE(e2e::Close(session));
  std::string file;
  ASSERT_TRUE(e2e::ReadSettingsFile(session, &file)) << session.settingsPath;
  const std::string french = e2e::SettingsText(10, 18, 6, true);
  EXPECT_EQ(french, file.substr(0, french.size()));
}

}  // namespace
