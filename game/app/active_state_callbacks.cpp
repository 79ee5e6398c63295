// The three callbacks that stop and resume a scene's sounds (and the stage
// clock) as the window leaves and regains the foreground.
#include "game/app/active_state_callbacks.h"

#include "framework/base/time_functions.h"
#include "framework/sound/sound_playback.h"
#include "game/app/play_time.h"

namespace {

int HandleOf(void* argument) { return static_cast<int>(reinterpret_cast<intptr_t>(argument)); }

// A sound played once is not resumed this close to its end.
constexpr int kResumeMarginSamples = 50;

}  // namespace

void OnActiveChangeBgm(int active, void* soundHandle) {
    const int handle = HandleOf(soundHandle);
    if (active) {
        if (CheckSoundHandlePlaying(handle) == 0) PlaySoundHandle(handle, kPlayTypeLoop, 0);
    } else if (CheckSoundHandlePlaying(handle) == 1) {
        StopSoundHandle(handle);
    }
}

void OnActiveChangeStage(int active, void* argument) {
    ActiveStageRecord* record = static_cast<ActiveStageRecord*>(argument);
    if (!active) {
        if (CheckSoundHandlePlaying(record->soundHandle) == 1) StopSoundHandle(record->soundHandle);
        PlayTimer::Pause(record->timer);
        return;
    }
    if (CheckSoundHandlePlaying(record->soundHandle) == 0) PlaySoundHandle(record->soundHandle, kPlayTypeLoop, 0);
    // Only a clock that stands is restarted: a running one would lose the
    // time since its last start.
    if (record->timer->paused && record->condition != nullptr && record->condition()) {
        record->timer->start = static_cast<uint32_t>(GetMillisecondCount());
        record->timer->paused = false;
    }
}

void OnActiveChangeResumeSound(int active, void* soundHandle) {
    const int handle = HandleOf(soundHandle);
    if (active) {
        const int position = GetSoundHandlePosition(handle);
        const int total = GetSoundHandleTotalSamples(handle);
        if (CheckSoundHandlePlaying(handle) == 0 && position >= 1 && total > position + kResumeMarginSamples)
            PlaySoundHandle(handle, kPlayTypeBackground, 0);
    } else if (CheckSoundHandlePlaying(handle) == 1) {
        StopSoundHandle(handle);
    }
}
