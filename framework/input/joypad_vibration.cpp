// Joypad vibration: the constant force plays while a pad's vibration is
// requested and the sine joins it above half power; both are silenced while
// the window is inactive, the request staying for when it is active again.
#include "framework/input/joypad_vibration.h"

#include "framework/input/input_devices.h"
#include "framework/input/input_state.h"
#include "framework/window/main_window.h"
#include "framework/base/time_functions.h"

namespace {

// Above this power (of 10000) the sine plays too.
constexpr int SinePowerThreshold = 5000;

void PlayRequested(JoypadRecord& pad) {
    if (pad.constantForceEffect != nullptr && pad.vibrationRequested != pad.constantEffectPlaying) {
        if (pad.vibrationRequested == 1)
            pad.constantForceEffect->Start(1, 0);
        else
            pad.constantForceEffect->Stop();
        pad.constantEffectPlaying = pad.vibrationRequested;
    }
    const int sineWanted = pad.vibrationRequested == 1 && pad.vibrationPower > SinePowerThreshold ? 1 : 0;
    if (pad.sineEffect != nullptr && sineWanted != pad.sineEffectPlaying) {
        if (sineWanted == 1)
            pad.sineEffect->Start(1, 0);
        else
            pad.sineEffect->Stop();
        pad.sineEffectPlaying = sineWanted;
    }
}

void Silence(JoypadRecord& pad) {
    if (pad.constantForceEffect != nullptr && pad.constantEffectPlaying) pad.constantForceEffect->Stop();
    if (pad.sineEffect != nullptr && pad.sineEffectPlaying) pad.sineEffect->Stop();
    pad.constantEffectPlaying = 0;
    pad.sineEffectPlaying = 0;
}

}  // namespace

int ApplyJoypadVibration() {
    InputState& input = InputDeviceState;
    if (!HasDirectInputInterface()) return 0;
    const bool active = IsWindowActive() == 1;
    for (int i = 0; i < input.padCount && i < MaxJoypads; i++) {
        JoypadRecord& pad = input.pads[i];
        if (pad.device == nullptr) continue;
        if (active)
            PlayRequested(pad);
        else
            Silence(pad);
    }
    return 0;
}

int HaltJoypadVibration(int inputType) {
    const int padIndex = (inputType & ~KeyboardFlag) - 1;
    WaitWhileInactive();
    int started = 0;
    if (StartInputInsteadOfQuery(started)) return started;
    if (!HasDirectInputInterface()) return 0;
    InputState& input = InputDeviceState;
    if (padIndex < 0 || padIndex >= input.padCount || padIndex >= MaxJoypads) return 0;
    JoypadRecord& pad = input.pads[padIndex];
    if (pad.device == nullptr || pad.constantForceEffect == nullptr || !pad.vibrationRequested) return 0;
    pad.vibrationRequested = 0;
    pad.vibrationPower = 10000;
    ApplyJoypadVibration();
    return 0;
}

int TickJoypadVibration() {
    InputState& input = InputDeviceState;
    if (!HasDirectInputInterface()) return 0;
    const int now = GetMillisecondCount();
    for (int i = 0; i < input.padCount && i < MaxJoypads; i++) {
        JoypadRecord& pad = input.pads[i];
        if (!pad.vibrationRequested || pad.device == nullptr || pad.vibrationTime < 0 || now == pad.vibrationTickTime)
            continue;
        // The counter wrapped: this tick counts nothing.
        if (now < pad.vibrationTickTime) pad.vibrationTickTime = now;
        pad.vibrationElapsed += now - pad.vibrationTickTime;
        pad.vibrationTickTime = now;
        if (pad.vibrationElapsed >= pad.vibrationTime) HaltJoypadVibration(i + 1);
    }
    ApplyJoypadVibration();
    return 0;
}
