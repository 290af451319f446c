// sounds.cpp: synthesises the four WAVE effects as 8-bit mono PCM files.
#include <cmath>
#include <cstring>

#include "game/seam.h"
#include "tools/assetgen/art.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMaxSamples = 1444;

// A small fixed noise source, so every build makes the same bang.
double Noise(uint32_t* state) {
  *state = *state * 1103515245u + 12345u;
  return ((*state >> 16) & 0x7FFF) / 16383.5 - 1.0;
}

// The explosion: filtered noise and a falling thud that swell from silence and stop short.
void Explosion(double* wave, int count) {
  uint32_t state = 20261208u;
  double low = 0;
  for (int i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / count;
    low += 0.35 * (Noise(&state) - low);
    const double thud = std::sin(2 * kPi * (90 + 140 * (1 - t)) * i / 11025.0);
    const double swell = t < 0.85 ? t / 0.85 : (1 - t) / 0.15;
    wave[i] = swell * swell * (0.7 * low + 0.3 * thud);
  }
}

// The flood fill: a bright rising sweep that swells to full scale midway, then fades.
void Sweep(double* wave, int count) {
  double phase = 0;
  for (int i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / count;
    phase += 2 * kPi * (520 + 700 * t) / 11025.0;
    const double swell = std::sin(kPi * t);
    wave[i] = swell * swell * (std::sin(phase) + 0.25 * std::sin(2 * phase));
  }
}

// The undo: two quick falling notes, a rewind.
void Rewind(double* wave, int count) {
  double phase = 0;
  for (int i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / count;
    const double pitch = t < 0.5 ? 1320 : 880;
    phase += 2 * kPi * pitch / 11025.0;
    const double local = t < 0.5 ? t * 2 : (t - 0.5) * 2;
    const double envelope = std::sin(kPi * local) * (t < 0.5 ? 0.8 : 1.0);
    wave[i] = envelope * std::sin(phase);
  }
}

// Maps the wave so its deepest trough lands on `low` and its highest crest on `high`.
void Quantise(const double* wave, int count, int low, int high, uint8_t* out) {
  double top = 0;
  double bottom = 0;
  for (int i = 0; i < count; ++i) {
    if (wave[i] > top) top = wave[i];
    if (wave[i] < bottom) bottom = wave[i];
  }
  for (int i = 0; i < count; ++i) {
    double value = 128;
    if (wave[i] > 0 && top > 0) value = 128 + (high - 128) * wave[i] / top;
    if (wave[i] < 0 && bottom < 0) value = 128 - (128 - low) * wave[i] / bottom;
    long rounded = std::lround(value);
    if (rounded < low) rounded = low;
    if (rounded > high) rounded = high;
    out[i] = static_cast<uint8_t>(rounded);
  }
}

struct SoundPlan {
  int effect;
  uint32_t rate;
  int samples;
  int low;  // the quietest and loudest sample values the effect reaches
  int high;
  void (*synthesise)(double* wave, int count);  // null: silence
};

// One plan per effect with a sound of its own, in ascending order: kSoundEffects lists them.
constexpr SoundPlan kPlans[kSoundCount] = {
    {EFFECT_START_UP, 6000, 5, 128, 128, nullptr},
    {EFFECT_EXPLOSION, 11025, 361, 72, 185, Explosion},
    {EFFECT_FLOOD, 11025, 1444, 0, 255, Sweep},
    {EFFECT_UNDO, 11025, 704, 56, 192, Rewind},
};

}  // namespace

const int kSoundEffects[kSoundCount] = {kPlans[0].effect, kPlans[1].effect, kPlans[2].effect,
                                        kPlans[3].effect};

size_t BuildSoundFile(int id, uint8_t* out, size_t capacity) {
  const SoundPlan* plan = nullptr;
  for (const SoundPlan& candidate : kPlans) {
    if (SOUND_BASE + candidate.effect == id) plan = &candidate;
  }
  if (plan == nullptr || out == nullptr) return 0;
  // A chunk of odd length is followed by a pad byte, as RIFF requires.
  const size_t dataBytes = static_cast<size_t>(plan->samples);
  const size_t padded = dataBytes + (dataBytes & 1);
  const size_t fileBytes = 12 + 8 + 16 + 8 + padded;
  if (capacity < fileBytes) return 0;

  double wave[kMaxSamples];
  memset(wave, 0, sizeof wave);
  if (plan->synthesise != nullptr) plan->synthesise(wave, plan->samples);

  uint8_t* p = out;
  memcpy(p, "RIFF", 4);
  Put32(p + 4, static_cast<uint32_t>(fileBytes - 8));
  memcpy(p + 8, "WAVE", 4);
  memcpy(p + 12, "fmt ", 4);
  Put32(p + 16, 16);
  Put16(p + 20, 1);  // PCM
  Put16(p + 22, 1);  // mono
  Put32(p + 24, plan->rate);
  Put32(p + 28, plan->rate);  // bytes per second: one byte per sample
  Put16(p + 32, 1);           // block align
  Put16(p + 34, 8);           // bits per sample
  memcpy(p + 36, "data", 4);
  Put32(p + 40, static_cast<uint32_t>(dataBytes));
  Quantise(wave, plan->samples, plan->low, plan->high, p + 44);
  if (padded != dataBytes) p[44 + dataBytes] = 0;
  return fileBytes;
}
