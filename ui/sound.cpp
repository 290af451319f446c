// sound.cpp: the sound effects, played from the program's WAVE resources or beeped.
#include <windows.h>
#include <mmsystem.h>

#include "game/game.h"
#include "game/seam.h"
#include "res/resource_ids.h"
#include "ui/on_demand.h"
#include "ui/program.h"

namespace {
// Asked once, on the first effect with sound on; -1 until then.
int32_t WaveDeviceCount = -1;

// Without a wave device, effect n beeps as type n * 16: MB_OK, MB_ICONHAND, MB_ICONQUESTION, ...
constexpr UINT kBeepTypeStep = 16;
}  // namespace

void PlayEffect(SoundEffect effect) {
  if (Settings.sound == 0) return;
  if (WaveDeviceCount == -1) WaveDeviceCount = static_cast<int32_t>(OnDemandWaveOutGetNumDevs());
  if (WaveDeviceCount != 0) {
    // Asynchronous and never cutting a sound short: a flood fill is heard once.
    OnDemandPlaySoundA(MAKEINTRESOURCEA(SOUND_BASE + effect), Instance,
                       SND_RESOURCE | SND_NOSTOP | SND_ASYNC);
    return;
  }
  MessageBeep(static_cast<UINT>(effect) * kBeepTypeStep);
}
