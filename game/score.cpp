// score.cpp: the score of a won game and the table of the 24 best scores.
#include <cstring>

#include "game/game.h"
#include "game/seam.h"
#include "game/statistics.h"

int32_t ComputeScore(int32_t* minutes, int32_t* seconds) {
  *minutes = Game.elapsedSeconds / 60;
  *seconds = Game.elapsedSeconds % 60;
  int32_t base = Game.totalMines + Game.undosLeft - *minutes / 2;
  if (base < 0) base = 1;  // a very slow game still earns a little; exactly 0 stays 0
  const int32_t score = Game.columns * ((8 - Game.ratio) * base);
  Game.lastScore = score;
  return score;
}

void EnterScore() {
  const int candidate = ScoreCandidate(Game.lastScore);
  if (candidate < 0) return;
  ScoreEntry& entry = ScoreTable[candidate];
  entry.score = Game.lastScore;

  // The dialog starts from a single blank and ends it as it likes; whatever it leaves, only
  // what fits the entry is kept.
  char name[kNameBufferSize] = " ";
  AskName(name);
  name[sizeof name - 1] = '\0';
  memset(entry.name, 0, sizeof entry.name);
  for (size_t i = 0; i + 1 < sizeof entry.name && name[i] != '\0'; ++i) entry.name[i] = name[i];
}

void ClearScores() {
  for (ScoreEntry& entry : ScoreTable) {
    entry.score = 0;
    entry.name[0] = '\0';
  }
}

int ScoresBestFirst(int (&order)[kScoreEntries]) {
  int count = 0;
  for (; count < kScoreEntries && ScoreTable[count].score != 0; ++count) {
    // Inserted from the back: an entry passes only lower scores, so equal ones keep table order.
    const int32_t score = ScoreTable[count].score;
    int at = count;
    for (; at > 0 && ScoreTable[order[at - 1]].score < score; --at) order[at] = order[at - 1];
    order[at] = count;
  }
  return count;
}
