// accessible_bench.cpp: times a screen reader's walk of the whole grid inside the real program:
// every cell's name and value asked of the grid's accessible object on the program's own thread
// (by the end-to-end driver's probe, loaded there), beside one full redraw of the same grid.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "tests/e2e/driver.h"

namespace {

constexpr int kDefaultRounds = 200;
constexpr double kGoalMs = 5.0;  // a screen reader's whole pass, well inside a key press
int Rounds = kDefaultRounds;

struct Timing {
  double median, fastest, slowest;
};

Timing Summarise(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return {n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2, values.front(),
          values.back()};
}

void PrintTiming(const char* what, Timing timing) {
  printf("%-46s %9.3f ms %9.3f ms %9.3f ms\n", what, timing.median, timing.fastest, timing.slowest);
}

// A 30 x 30 hard game with 21-pixel tiles after See solution, as the redraw bench draws it:
// every cell shows what lies under it, so the values come from every kind of tile.
TEST(AccessibleBench, WalkOfEveryCellBesideARedraw) {
  e2e::Session session;
  ASSERT_TRUE(e2e::Start(session, e2e::SettingsText(30, 21, 4)));
  ASSERT_TRUE(e2e::Command(session, IDM_SEE_SOLUTION));
  auto report = std::make_unique<WalkReport>();
  std::vector<double> walks, redraws;
  for (int round = 0; round < Rounds; ++round) {
    ASSERT_TRUE(e2e::WalkCells(session, report.get()));
    ASSERT_EQ(30 * 30, report->cells);
    ASSERT_EQ(0, report->failures);
    walks.push_back(report->walkMs);
    redraws.push_back(report->redrawMs);
  }
  const Timing walk = Summarise(walks), redraw = Summarise(redraws);
  printf(
      "== screen readers: every cell's name and value asked inside torvane.exe, 30 x 30,\n"
      "   solution view, %d rounds, wall time\n",
      Rounds);
  printf("%-46s %12s %12s %12s\n", "operation", "median", "fastest", "slowest");
  PrintTiming("walk: 900 names and 900 values", walk);
  PrintTiming("limit: one full redraw of the same grid", redraw);
  printf("ratio walk / redraw: %.1fx\n", walk.median / redraw.median);
  printf("goal walk under %.0f ms: %s\n", kGoalMs, walk.median < kGoalMs ? "met" : "MISSED");
  EXPECT_TRUE(e2e::Close(session));
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc > 1) Rounds = std::max(1, std::min(atoi(argv[1]), 5000));
  return RUN_ALL_TESTS();
}
