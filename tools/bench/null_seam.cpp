// null_seam.cpp: the window calls of the rules, only counted, for the host benchmarks.
#include "game/seam.h"
#include "tools/bench/null_seam.h"

int BenchEffectCount[kBenchEffects];

void RedrawGame() {}
void PlayEffect(SoundEffect effect) {
  if (effect >= 0 && effect < kBenchEffects) ++BenchEffectCount[effect];
}
void StartClock() {}
void StopClock() {}
void ShowClock(int) {}
void EnableUndo(bool) {}
void ShowCongratulation() {}
void AskName(char* buffer) {
  buffer[0] = '\0';
}
