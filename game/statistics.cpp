// statistics.cpp: the games counted per difficulty, and another copy's games and best scores
// merged in at the save. No window here: the settings file's code links it.
#include "game/statistics.h"

#include <cstring>

StatisticsRecord Statistics[kStatisticsCategories];
int32_t StatisticsWereReset;

namespace {

// Each within kMaxCount of 0, so the sum cannot overflow before it is held.
int32_t Sum(int32_t a, int32_t b) {
  const int32_t sum = a + b;
  return sum > kMaxCount ? kMaxCount : sum < -kMaxCount ? -kMaxCount : sum;
}

int32_t Larger(int32_t a, int32_t b) {
  return a > b ? a : b;
}

// The figures that add up.
constexpr int32_t StatisticsRecord::*kCounts[] = {&StatisticsRecord::played, &StatisticsRecord::won,
                                                  &StatisticsRecord::cleanWins};

}  // namespace

void CountGame(bool won) {
  const int level = kEasyRatio - Game.ratio;  // easy, medium, hard
  StatisticsRecord& s =
      Statistics[(level >= 0 && level < kLevels ? level : 0) + (Game.noGuess ? kLevels : 0)];
  if (s.played >= kMaxCount) return;  // held there, with everything counted alongside
  ++s.played;
  if (!won) {
    s.streak = s.streak < 0 ? s.streak - 1 : -1;
    return;
  }
  ++s.won;
  s.cleanWins += Game.undosLeft >= UndosFor(Game.totalMines);
  s.streak = s.streak > 0 ? s.streak + 1 : 1;
  s.longestStreak = Larger(s.longestStreak, s.streak);
}

void LeaveGame() {
  if (GameState == GS_OVER || !Game.uncovered) return;
  CountGame(false);
  Game.uncovered = 0;  // counted once, however the game is then left
}

void ResetStatistics() {
  memset(Statistics, 0, sizeof Statistics);
  StatisticsWereReset = 1;
}

void ValidateStatistics(StatisticsRecord& record) {
  if (record.played < 0 || record.played > kMaxCount) record.played = 0;
  if (record.won < 0 || record.won > record.played) record.won = 0;
  if (record.cleanWins < 0 || record.cleanWins > record.won) record.cleanWins = 0;
  if (record.longestStreak < 0 || record.longestStreak > record.won) record.longestStreak = 0;
  if (record.streak > record.longestStreak || -record.streak > record.played - record.won) {
    record.streak = 0;
  }
}

void MergeStatistics(const StatisticsRecord (&inFile)[kStatisticsCategories],
                     const StatisticsRecord (&asRead)[kStatisticsCategories]) {
  for (int category = 0; category < kStatisticsCategories; ++category) {
    StatisticsRecord& s = Statistics[category];
    const StatisticsRecord& now = inFile[category];
    const StatisticsRecord& then = asRead[category];
    if (memcmp(&now, &then, sizeof now) == 0) continue;  // no other copy played here
    if (!StatisticsWereReset && memcmp(&s, &then, sizeof s) == 0) {
      s = now;  // only the other copy did
      continue;
    }
    // A count below the one read: the other copy was Reset, and holds only its games since.
    const StatisticsRecord since = now.played < then.played ? StatisticsRecord{} : then;
    const int32_t mine = s.played - then.played;  // without a Reset here
    for (int32_t StatisticsRecord::*count : kCounts)
      s.*count = Sum(s.*count, now.*count - since.*count);
    if (!StatisticsWereReset) {
      // This copy's games all went one way: they go on from the other copy's streak.
      if (mine > 0 && (s.streak >= mine || -s.streak >= mine)) {
        const int32_t way = s.streak > 0 ? mine : -mine;
        s.streak = (way > 0) == (now.streak > 0) && now.streak != 0 ? Sum(now.streak, way) : way;
      }
      s.longestStreak = Larger(Larger(s.longestStreak, now.longestStreak), s.streak);
    }
    ValidateStatistics(s);
  }
  StatisticsWereReset = 0;
}

int ScoreCandidate(int32_t score) {
  int candidate = 0;
  for (int i = 0; i < kScoreEntries; ++i) {
    if (ScoreTable[i].score == 0) {
      candidate = i;
      break;
    }
    if (ScoreTable[i].score < ScoreTable[candidate].score) candidate = i;
  }
  return ScoreTable[candidate].score > score ? -1 : candidate;
}

void MergeScore(const ScoreEntry& entry) {
  const int candidate = ScoreCandidate(entry.score);
  if (candidate >= 0) ScoreTable[candidate] = entry;
}
