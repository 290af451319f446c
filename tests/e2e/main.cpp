// main.cpp: the end-to-end test program's entry: gtest with a screenshot at each failure.
#include <gtest/gtest.h>

#include "tests/e2e/driver.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  e2e::InstallFailureScreenshots();
  return RUN_ALL_TESTS();
}
