// sounds.cpp: synthesises the four WAVE effects as 8-bit mono PCM files.
#include "tools/assetgen/art.h"

#include <math.h>
#include <string.h>

const int kSoundIds[kSoundCount] = {3031, 3032, 3034, 3035};

namespace {

const double kPi = 3.14159265358979323846;
const int kMaxSamples = 1444;

struct SoundPlan {
  int id;
  unsigned rate;
  int samples;
  int low;  // the quietest and loudest sample values the effect reaches
  int high;
};

const SoundPlan kPlans[kSoundCount] = {
    {3031, 6000, 5, 128, 128},
    {3032, 11025, 361, 72, 185},
    {3034, 11025, 1444, 0, 255},
    {3035, 11025, 704, 56, 192},
};

// A small fixed noise source, so every build makes the same bang.
double Noise(unsigned* state) {
  *state = *state * 1103515245u + 12345u;
  return ((*state >> 16) & 0x7FFF) / 16383.5 - 1.0;
}

// The explosion: filtered noise and a falling thud that swell from silence and stop short.
void Explosion(double* wave, int count) {
  unsigned state = 20261208u;
  double low = 0;
  for (int i = 0; i < count; ++i) {
    const double t = (double)i / count;
    low += 0.35 * (Noise(&state) - low);
    const double thud = sin(2 * kPi * (90 + 140 * (1 - t)) * i / 11025.0);
    const double swell = t < 0.85 ? t / 0.85 : (1 - t) / 0.15;
    wave[i] = swell * swell * (0.7 * low + 0.3 * thud);
  }
}

// The flood fill: a bright rising sweep that swells to full scale midway, then fades.
void Sweep(double* wave, int count) {
  double phase = 0;
  for (int i = 0; i < count; ++i) {
    const double t = (double)i / count;
    phase += 2 * kPi * (520 + 700 * t) / 11025.0;
    const double swell = sin(kPi * t);
    wave[i] = swell * swell * (sin(phase) + 0.25 * sin(2 * phase));
  }
}

// The undo: two quick falling notes, a rewind.
void Rewind(double* wave, int count) {
  double phase = 0;
  for (int i = 0; i < count; ++i) {
    const double t = (double)i / count;
    const double pitch = t < 0.5 ? 1320 : 880;
    phase += 2 * kPi * pitch / 11025.0;
    const double local = t < 0.5 ? t * 2 : (t - 0.5) * 2;
    const double envelope = sin(kPi * local) * (t < 0.5 ? 0.8 : 1.0);
    wave[i] = envelope * sin(phase);
  }
}

// Maps the wave so its deepest trough lands on `low` and its highest crest on `high`.
void Quantise(const double* wave, int count, int low, int high, unsigned char* out) {
  double top = 0, bottom = 0;
  for (int i = 0; i < count; ++i) {
    if (wave[i] > top) top = wave[i];
    if (wave[i] < bottom) bottom = wave[i];
  }
  for (int i = 0; i < count; ++i) {
    double v = 128;
    if (wave[i] > 0 && top > 0) v = 128 + (high - 128) * wave[i] / top;
    if (wave[i] < 0 && bottom < 0) v = 128 - (128 - low) * wave[i] / bottom;
    long rounded = lround(v);
    if (rounded < low) rounded = low;
    if (rounded > high) rounded = high;
    out[i] = (unsigned char)rounded;
  }
}

}  // namespace

size_t BuildSoundFile(int id, unsigned char* out, size_t capacity) {
  const SoundPlan* plan = nullptr;
  for (const SoundPlan& candidate : kPlans) {
    if (candidate.id == id) plan = &candidate;
  }
  if (plan == nullptr || out == nullptr) return 0;
  // A chunk of odd length is followed by a pad byte, as RIFF requires.
  const size_t data_bytes = (size_t)plan->samples;
  const size_t padded = data_bytes + (data_bytes & 1);
  const size_t file_bytes = 12 + 8 + 16 + 8 + padded;
  if (capacity < file_bytes) return 0;

  double wave[kMaxSamples];
  memset(wave, 0, sizeof wave);
  if (id == 3032) Explosion(wave, plan->samples);
  if (id == 3034) Sweep(wave, plan->samples);
  if (id == 3035) Rewind(wave, plan->samples);

  unsigned char* p = out;
  memcpy(p, "RIFF", 4);
  Put32(p + 4, (unsigned long)(file_bytes - 8));
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
  Put32(p + 40, (unsigned long)data_bytes);
  Quantise(wave, plan->samples, plan->low, plan->high, p + 44);
  if (padded != data_bytes) p[44 + data_bytes] = 0;
  return file_bytes;
}
