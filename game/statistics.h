// statistics.h: the games counted per difficulty, and what another copy of the program running
// at the same time counted or entered in the best scores, merged in before the file is written.
#pragma once

#include <cstdint>

#include "game/game.h"

// Every count stops here: the sum of two never overflows, and the dialog's columns hold it.
constexpr int32_t kMaxCount = 999999;

// The figures of one difficulty. A game counts when it is won, or when it is left after a press
// that uncovered something: by New game (a deal of the settings dialog too), See solution or
// quitting. A left game is lost.
struct StatisticsRecord {
  int32_t played;
  int32_t won;
  int32_t cleanWins;      // won without an undo used (an explosion taken back is one)
  int32_t streak;         // the latest games: n > 0 won in a row, -n lost in a row
  int32_t longestStreak;  // the most games won in a row
};

// Easy, medium and hard, then the same for games dealt without guessing.
constexpr int kLevels = 3;
constexpr int kStatisticsCategories = 2 * kLevels;

extern StatisticsRecord Statistics[kStatisticsCategories];
extern int32_t StatisticsWereReset;  // 1 after the player's Reset, until the save

// The game on the board ends: won (at the winning flag), or left (LeaveGame). A game that was
// counted, or never uncovered anything, is not counted by LeaveGame. Its category is its ratio
// and whether it was dealt without guessing.
void CountGame(bool won);
void LeaveGame();
void ResetStatistics();

// A record read from a file whose figures contradict one another (more won than played, a
// streak longer than the games or than the longest): the figures at fault become 0.
void ValidateStatistics(StatisticsRecord& record);

// At the save, the file as it is now (`inFile`) and as this copy last read or wrote it
// (`asRead`): the games another copy counted meanwhile are added to this copy's. Where both
// copies played, the streak is this copy's, joined to the other's when all of this copy's games
// went one way, and the longest streak the longer one. After a Reset here only the other copy's
// counts are added.
void MergeStatistics(const StatisticsRecord (&inFile)[kStatisticsCategories],
                     const StatisticsRecord (&asRead)[kStatisticsCategories]);

// The best-score table's entry rule, for a win and for another copy's entries: the first empty
// entry, else the first of the smallest scores; -1 when that one is above `score`.
int ScoreCandidate(int32_t score);
// An entry another copy made, entered by that rule with its name.
void MergeScore(const ScoreEntry& entry);
