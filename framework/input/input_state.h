// Internal to framework/input (and its tests): nothing outside the folder includes it.
// The input component's one process-wide record: the DirectInput interface
// and devices, the key state, the joypads' key maps and the joypads.
#pragma once

#include <cstdint>

#include "platform/platform.h"

constexpr int MaxJoypads = 16;
constexpr int PadKeyMapEntries = 32;
constexpr int PadKeysPerEntry = 4;
constexpr int KeyboardFlag = 0x1000;  // ReadJoypadButtons: add the keyboard through the pad's key map

struct JoypadRecord {
    IDirectInputDevice2A* device;  // version 7 or 8; null without DirectInput
    IDirectInputEffect* constantForceEffect;
    IDirectInputEffect* sineEffect;
    HANDLE event;  // manual reset, set by DirectInput when the pad changed
    DIJOYSTATE state;
    int hasZAndR;  // without DirectInput: the joystick has both a Z and an R axis
    uint32_t refreshTime;
    int vibrationRequested;
    int vibrationPower;  // 0 to 10000; 10000 at rest
    int vibrationTime;   // milliseconds; negative: until halted
    int vibrationElapsed;
    int vibrationTickTime;
    int constantEffectPlaying;
    int sineEffectPlaying;
    char instanceName[MAX_PATH];
    char productName[MAX_PATH];
};

struct InputState {
    int noDirectInput;  // kept by start-up's clearing and by shutdown
    int directInput8;
    // The interface (IDirectInput7A or IDirectInput8A), null while input is
    // not started, or InputWithoutDirectInput.
    void* directInput;
    IDirectInputDevice2A* mouseDevice;
    IDirectInputDevice2A* keyboardDevice;
    HANDLE keyboardEvent;
    uint32_t keyboardRefreshTime;
    uint8_t keyState[256];  // by DirectInput key code; 0x80 while down
    int padKeyMaps[MaxJoypads][PadKeyMapEntries][PadKeysPerEntry];  // negative: no key
    int padCount;
    JoypadRecord pads[MaxJoypads];
    uint8_t keyboardRefreshBusy;
    int startInProgress;  // kept by start-up's clearing
};

extern InputState InputDeviceState;

// The start marker of input started without DirectInput.
extern void* const InputWithoutDirectInput;

inline bool IsInputStarted() { return InputDeviceState.directInput != nullptr; }
inline bool HasDirectInputInterface() {
    return InputDeviceState.directInput != nullptr && InputDeviceState.directInput != InputWithoutDirectInput;
}
