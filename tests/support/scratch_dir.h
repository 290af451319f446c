// scratch_dir.h: a fresh folder for each file test, removed with all it holds afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

class ScratchDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* base = getenv("TMPDIR");
    snprintf(dir_, sizeof dir_, "%s/torvane-XXXXXX", base != nullptr ? base : "/tmp");
    ASSERT_NE(mkdtemp(dir_), nullptr);
  }
  void TearDown() override { EXPECT_EQ(system(("rm -rf '" + std::string(dir_) + "'").c_str()), 0); }

  std::string Path(const char* name) const { return std::string(dir_) + "/" + name; }

  // Writes content as the whole file and gives back its path.
  static std::string WriteWhole(const std::string& path, const std::string& content) {
    FILE* file = fopen(path.c_str(), "wb");
    EXPECT_NE(file, nullptr) << path;
    if (file != nullptr) fwrite(content.data(), 1, content.size(), file), fclose(file);
    return path;
  }

  // The bytes of a file, or "<missing>" when it cannot be opened.
  static std::string ReadWhole(const std::string& path) {
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) return "<missing>";
    std::string content;
    for (int c; (c = fgetc(file)) != EOF;) content += static_cast<char>(c);
    fclose(file);
    return content;
  }

  char dir_[256];
};
