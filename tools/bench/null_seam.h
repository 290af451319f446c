// null_seam.h: what the counting window seam of the host benchmarks lets them check.
#pragma once

constexpr int kBenchEffects = 6;
extern int BenchEffectCount[kBenchEffects];  // calls of PlayEffect, per effect
