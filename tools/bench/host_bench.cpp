// host_bench.cpp: host benchmarks of a deal, a flood fill and a settings-file round trip, each
// beside the least work on the same data, with the ratios and the goals printed; then the times
// of 10,000 no-guess deals at each ratio beside the plain deal.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unistd.h>
#include <vector>

#include "game/game.h"
#include "game/solver.h"
#include "res/text.h"
#include "store/settings_file.h"
#include "tools/fake_window/fake_window.h"

namespace {

constexpr int kSide = 30;
constexpr int kRepetitions = 5;

void UseThirtyHard() {
  Settings.grid = kSide;
  Settings.ratio = 4;
  Settings.size = 21;
  Settings.sound = 0;
}

// --- deal and encode -----------------------------------------------------------------------

void DealAndEncode(benchmark::State& state) {
  UseThirtyHard();
  uint32_t seed = 1;
  for (auto _ : state) {
    DealBoardWithSeed(seed++);  // a new layout each time, as every real deal is
    EncodeNeighbours();
    benchmark::ClobberMemory();
  }
  if (Game.totalMines != kSide * kSide / 4) state.SkipWithError("the deal placed a wrong count");
}

// The least a deal can do: clear the board once.
void DealBaselineMemset(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(&Board[0][0]);
    memset(Board, 0, sizeof Board);
    benchmark::ClobberMemory();
  }
}

// --- flood fill ----------------------------------------------------------------------------

// A 30 x 30 grid without a single mine: every cell is covered with no neighbouring mine (-1),
// so one flood from the corner (1, 1) uncovers all 900 cells, each of them empty, raising the
// flood effect 900 times and recursing as deep as the rules ever can. No real deal is larger.
signed char OpenBoard[kBoardSide][kBoardSide];

void PrepareOpenBoard() {
  UseThirtyHard();
  DealBoardWithSeed(1);  // sets the Game's side; the layout is then replaced
  EncodeNeighbours();
  memset(OpenBoard, 0, sizeof OpenBoard);
  for (int column = 1; column <= kSide; ++column)
    for (int row = 1; row <= kSide; ++row) OpenBoard[column][row] = -1;
  GameState = GS_RUNNING;
}

bool BoardAllUncoveredEmpty() {
  for (int column = 0; column < kBoardSide; ++column)
    for (int row = 0; row < kBoardSide; ++row)
      if (Board[column][row] != 0) return false;
  return true;
}

void FullFlood(benchmark::State& state) {
  PrepareOpenBoard();
  memcpy(Board, OpenBoard, sizeof Board);
  ResetFakeWindow();  // its counters then hold every flood of this run
  int before = FakeWindow.effects[EFFECT_FLOOD];
  FloodReveal(1, 1);
  if (!BoardAllUncoveredEmpty() || FakeWindow.effects[EFFECT_FLOOD] - before != kSide * kSide) {
    state.SkipWithError("the flood did not uncover the 900 empty cells");
    return;
  }
  for (auto _ : state) {
    memcpy(Board, OpenBoard, sizeof Board);  // every flood needs a covered board again
    FloodReveal(1, 1);
    benchmark::ClobberMemory();
  }
}

// The least a flood can do on the same data: bring the covered board back.
void FloodBaselineCopy(benchmark::State& state) {
  PrepareOpenBoard();
  for (auto _ : state) {
    benchmark::DoNotOptimize(&OpenBoard[0][0]);
    memcpy(Board, OpenBoard, sizeof Board);
    benchmark::ClobberMemory();
  }
}

// --- settings file -------------------------------------------------------------------------

char SettingsFolder[64];
char SettingsFilePath[128];
char FullFileBytes[4096];
size_t FullFileLength;

// A full file: every option set and all 24 score entries holding a 24-character name.
bool PrepareFullSettingsFile() {
  if (SettingsFilePath[0] != '\0') return FullFileLength > 0;
  snprintf(SettingsFolder, sizeof SettingsFolder, "/tmp/torvane-bench-XXXXXX");
  if (mkdtemp(SettingsFolder) == nullptr) return false;
  snprintf(SettingsFilePath, sizeof SettingsFilePath, "%s/torvane.ini", SettingsFolder);
  UseThirtyHard();
  Settings.sound = 1;
  LanguageOffset = 1000;
  for (int i = 0; i < kScoreEntries; ++i) {
    ScoreTable[i].score = 40000 - 1000 * i;
    snprintf(ScoreTable[i].name, sizeof ScoreTable[i].name, "Player %02d of the benches", i);
  }
  SaveSettings(SettingsFilePath);
  FILE* file = fopen(SettingsFilePath, "rb");
  if (file == nullptr) return false;
  FullFileLength = fread(FullFileBytes, 1, sizeof FullFileBytes, file);
  fclose(file);
  return FullFileLength > 0;
}

void SettingsRoundTrip(benchmark::State& state) {
  if (!PrepareFullSettingsFile()) {
    state.SkipWithError("cannot write the settings file");
    return;
  }
  memset(ScoreTable, 0, sizeof ScoreTable);
  LoadSettings(SettingsFilePath);
  if (ScoreTable[kScoreEntries - 1].score != 40000 - 1000 * (kScoreEntries - 1) ||
      Settings.grid != kSide) {
    state.SkipWithError("the settings file did not read back");
    return;
  }
  for (auto _ : state) {
    LoadSettings(SettingsFilePath);
    SaveSettings(SettingsFilePath);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(FullFileLength) * 2);
}

// The least a round trip can do: read the same bytes, then write them back.
void SettingsBaselineReadWrite(benchmark::State& state) {
  if (!PrepareFullSettingsFile()) {
    state.SkipWithError("cannot write the settings file");
    return;
  }
  static char bytes[4096];
  for (auto _ : state) {
    FILE* file = fopen(SettingsFilePath, "rb");
    size_t length = fread(bytes, 1, sizeof bytes, file);
    fclose(file);
    file = fopen(SettingsFilePath, "wb");
    fwrite(bytes, 1, length, file);
    fclose(file);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(FullFileLength) * 2);
}

void RemoveSettingsFolder() {
  if (SettingsFilePath[0] == '\0') return;
  unlink(SettingsFilePath);
  rmdir(SettingsFolder);
}

// --- the report ------------------------------------------------------------------------------

#define TORVANE_BENCH(function)      \
  BENCHMARK(function)                \
      ->Unit(benchmark::kNanosecond) \
      ->Repetitions(kRepetitions)    \
      ->ReportAggregatesOnly(true)

TORVANE_BENCH(DealAndEncode);
TORVANE_BENCH(DealBaselineMemset);
TORVANE_BENCH(FullFlood);
TORVANE_BENCH(FloodBaselineCopy);
TORVANE_BENCH(SettingsRoundTrip);
TORVANE_BENCH(SettingsBaselineReadWrite);

struct Comparison {
  const char* what;
  const char* measured;
  const char* baseline;
  const char* baselineWhat;
  double goalNanoseconds;  // 0: no goal
};

const Comparison kComparisons[] = {
    {"deal + encode, 30 x 30, ratio 4", "DealAndEncode", "DealBaselineMemset",
     "memset of the board", 20000},
    {"full flood, 30 x 30, 900 empty cells", "FullFlood", "FloodBaselineCopy", "copy of the board",
     20000},
    {"LoadSettings + SaveSettings, 24 scores", "SettingsRoundTrip", "SettingsBaselineReadWrite",
     "fread + fwrite of its bytes", 0},
};

constexpr int kMaxResults = 16;
struct Result {
  char name[64];
  double cpuNanoseconds;
  double wallNanoseconds;
};
Result Results[kMaxResults];
int ResultCount;

void KeepResult(const char* name, double cpuNanoseconds, double wallNanoseconds) {
  if (ResultCount == kMaxResults) return;
  Result& result = Results[ResultCount++];
  snprintf(result.name, sizeof result.name, "%s", name);
  result.cpuNanoseconds = cpuNanoseconds;
  result.wallNanoseconds = wallNanoseconds;
}

const Result* FindResult(const char* name) {
  for (int i = 0; i < ResultCount; ++i)
    if (strcmp(Results[i].name, name) == 0) return &Results[i];
  return nullptr;
}

// Prints the usual table and keeps each benchmark's median of the repetitions.
class MedianKeeper : public benchmark::ConsoleReporter {
 public:
  // Colours only on a terminal, so that a report pasted from a pipe stays readable.
  MedianKeeper() : ConsoleReporter(isatty(1) ? OO_ColorTabular : OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
      if (median || single)
        KeepResult(run.run_name.function_name.c_str(), run.GetAdjustedCPUTime(),
                   run.GetAdjustedRealTime());
    }
  }
};

void PrintTime(double nanoseconds) {
  if (nanoseconds >= 1000)
    printf(" %9.2f us", nanoseconds / 1000);
  else
    printf(" %9.0f ns", nanoseconds);
}

// CPU time is the cost of the code itself; wall time adds whatever else the machine runs.
void PrintComparisons() {
  printf("\n== host: median of the repetitions, per operation; goals judged on CPU time\n");
  printf("%-40s %12s %12s %8s %12s %12s  %s\n", "operation", "cpu", "base cpu", "ratio", "wall",
         "base wall", "goal");
  for (const Comparison& comparison : kComparisons) {
    const Result* measured = FindResult(comparison.measured);
    const Result* baseline = FindResult(comparison.baseline);
    printf("%-40s", comparison.what);
    if (measured == nullptr || baseline == nullptr) {
      printf(" failed: see the errors above\n");
      continue;
    }
    PrintTime(measured->cpuNanoseconds);
    PrintTime(baseline->cpuNanoseconds);
    printf(" %7.1fx", measured->cpuNanoseconds / baseline->cpuNanoseconds);
    PrintTime(measured->wallNanoseconds);
    PrintTime(baseline->wallNanoseconds);
    if (comparison.goalNanoseconds > 0)
      printf("  goal under %.0f us: %s", comparison.goalNanoseconds / 1000,
             measured->cpuNanoseconds < comparison.goalNanoseconds ? "met" : "MISSED");
    printf("\n%-40s   baseline: %s\n", "", comparison.baselineWhat);
  }
}

// --- no-guess deals ---------------------------------------------------------------------------

double CpuNanoseconds() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

// The n-th of sorted times in a thousand: 500 the median, 990 the 99th percentile.
double Permille(const std::vector<double>& sorted, size_t permille) {
  return sorted[std::min(sorted.size() - 1, sorted.size() * permille / 1000)];
}

// Goals in milliseconds for 30 x 30, by ratio 4, 5, 6: the median and the 99th percentile.
constexpr double kNoGuessGoals[3][2] = {{50, 250}, {10, 50}, {5, 20}};

// 10,000 draws of a seed and a first press at random: the no-guess deal given that press
// (DealNoGuessLayout), timed beside the plain deal of the same seed (DealBoardWithSeed and
// EncodeNeighbours), and every layout checked once, untimed, to be solved from the press.
void TimeNoGuessDeals(int side) {
  constexpr int kDraws = 10000;
  for (int ratio = kEasyRatio; ratio >= kHardRatio; --ratio) {
    Settings = {ratio, side, 21, 0};
    std::vector<double> noGuess, plain;
    DealGenerator draws;
    SeedGenerator(draws, static_cast<uint32_t>(side * 10 + ratio));
    int unsolved = 0;
    for (int draw = 0; draw < kDraws; ++draw) {
      const uint32_t seed =
          static_cast<uint32_t>(NextDraw(draws)) << 15 | static_cast<uint32_t>(NextDraw(draws));
      const int column = 1 + NextDraw(draws) % side, row = 1 + NextDraw(draws) % side;
      const double start = CpuNanoseconds();
      DealBoardWithSeed(seed);
      EncodeNeighbours();
      const double dealt = CpuNanoseconds();
      const bool found = DealNoGuessLayout(seed, column, row);
      const double done = CpuNanoseconds();
      plain.push_back(dealt - start);
      noGuess.push_back(done - dealt);
      unsolved += !found || !SolvesFromPress(column, row);
    }
    std::sort(noGuess.begin(), noGuess.end());
    std::sort(plain.begin(), plain.end());
    const double median = Permille(noGuess, 500) / 1e6, high = Permille(noGuess, 990) / 1e6;
    printf(
        "%2d x %2d ratio %d: median %7.3f ms, 99th percentile %7.3f ms, worst %7.3f ms;"
        " plain deal median %6.1f us; %d of %d solved from the press\n",
        side, side, ratio, median, high, noGuess.back() / 1e6, Permille(plain, 500) / 1e3,
        kDraws - unsolved, kDraws);
    if (side == 30) {
      const double* goal = kNoGuessGoals[ratio - kHardRatio];
      printf(
          "   no-guess 30 x 30 ratio %d, goal median under %.0f ms: %s, 99th percentile under "
          "%.0f ms: %s\n",
          ratio, goal[0], median < goal[0] ? "met" : "MISSED", goal[1],
          high < goal[1] ? "met" : "MISSED");
    }
    if (unsolved > 0) printf("   no-guess, goal every deal solved from its press: MISSED\n");
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  MedianKeeper reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  RemoveSettingsFolder();
  PrintComparisons();
  printf("\n== host: no-guess deals given the first press, 10,000 draws each, CPU time\n");
  TimeNoGuessDeals(16);
  TimeNoGuessDeals(30);
  return 0;
}
