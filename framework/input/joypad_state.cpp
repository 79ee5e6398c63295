// Reading the joypads and answering the key and pad queries. The queries
// wait while the window is inactive and start input when it is stopped.
#include <cstring>

#include "framework/input/input_devices.h"
#include "framework/input/input_state.h"
#include "framework/input/keyboard_joypad_state.h"
#include "framework/window/main_window.h"

namespace {

bool EventSignalled(HANDLE event) { return event != nullptr && WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

void RefreshFromJoystickCalls(int padIndex) {
    JoypadRecord& pad = InputDeviceState.pads[padIndex];
    const uint32_t now = timeGetTime();
    if (now == pad.refreshTime) return;
    pad.refreshTime = now;
    JOYINFOEX info;
    std::memset(&info, 0, sizeof(info));
    info.dwSize = sizeof(JOYINFOEX);
    info.dwFlags = JOY_RETURNALL;
    if (joyGetPosEx(static_cast<UINT>(padIndex), &info) != JOYERR_NOERROR) {
        std::memset(&pad.state, 0, sizeof(pad.state));
        return;
    }
    pad.state.lX = ConvertJoystickAxis(info.dwXpos);
    pad.state.lY = ConvertJoystickAxis(info.dwYpos);
    pad.state.lZ = pad.hasZAndR ? ConvertJoystickAxis(info.dwZpos) : 0;
    pad.state.lRz = pad.hasZAndR ? ConvertJoystickAxis(info.dwRpos) : 0;
    for (int button = 0; button < 24; button++) pad.state.rgbButtons[button] = (info.dwButtons >> button) & 1 ? 0x80 : 0;
}

// True when input has been ended under the pump's feet.
bool PadGone(int padIndex) {
    return !HasDirectInputInterface() || InputDeviceState.pads[padIndex].device == nullptr;
}

int RefreshFromDirectInput(int padIndex) {
    JoypadRecord& pad = InputDeviceState.pads[padIndex];
    if (pad.device == nullptr) return 0;
    const uint32_t now = timeGetTime();
    if (now == pad.refreshTime && !EventSignalled(pad.event)) return 0;
    pad.refreshTime = now;
    pad.device->Poll();
    DIJOYSTATE state;
    if (SUCCEEDED(pad.device->GetDeviceState(sizeof(state), &state))) {
        pad.state = state;
    } else {
        if (ProcessWindowMessages() != 0 || PadGone(padIndex)) return -1;
        if (SUCCEEDED(pad.device->Acquire())) {
            if (ProcessWindowMessages() != 0 || PadGone(padIndex)) return -1;
            if (SUCCEEDED(pad.device->GetDeviceState(sizeof(state), &state))) pad.state = state;
        }
    }
    if (EventSignalled(pad.event)) ResetEvent(pad.event);
    return 0;
}

int PadBits(const DIJOYSTATE& state) {
    unsigned int bits = 0;
    if (state.lY > 0) bits |= 0x1;
    if (state.lX < 0) bits |= 0x2;
    if (state.lX > 0) bits |= 0x4;
    if (state.lY < 0) bits |= 0x8;
    for (int button = 0; button < 24; button++)
        if (state.rgbButtons[button] & 0x80) bits |= 0x10u << button;
    return static_cast<int>(bits);
}

int KeyMapBits(int mapIndex) {
    const InputState& input = InputDeviceState;
    unsigned int bits = 0;
    for (int entry = 0; entry < PadKeyMapEntries; entry++) {
        for (int key : input.padKeyMaps[mapIndex][entry]) {
            if (key >= 0 && key < 256 && (input.keyState[key] & 0x80)) {
                bits |= 1u << entry;
                break;
            }
        }
    }
    return static_cast<int>(bits);
}

}  // namespace

int RefreshJoypadState(int padIndex) {
    if (padIndex < 0 || padIndex >= MaxJoypads) return -1;
    if (InputDeviceState.noDirectInput) {
        RefreshFromJoystickCalls(padIndex);
        return 0;
    }
    return RefreshFromDirectInput(padIndex);
}

int IsKeyHeld(int keyCode) {
    WaitWhileInactive();
    int started = 0;
    // A start, failed or not, has read no key: nothing is held. The start's
    // -1 would read as "held" to every caller that tests the result.
    if (StartInputInsteadOfQuery(started)) return 0;
    if (keyCode < 0 || keyCode > 255) return 0;
    RefreshKeyboardState();
    return (InputDeviceState.keyState[keyCode] & 0x80) ? 1 : 0;
}

int ReadJoypadButtons(int inputType) {
    const int padIndex = (inputType & ~KeyboardFlag) - 1;
    const bool withKeyboard = (inputType & KeyboardFlag) != 0;
    WaitWhileInactive();
    int started = 0;
    // A start reads no pad: no bits. The start's -1 would read as every
    // button held at once.
    if (StartInputInsteadOfQuery(started)) return 0;
    const InputState& input = InputDeviceState;
    const bool padInUse = padIndex >= 0 && padIndex < input.padCount;
    if (!padInUse && padIndex != -1 && input.padCount > 0 && !withKeyboard) return 0;
    int bits = 0;
    if (padInUse) {
        RefreshJoypadState(padIndex);
        bits = PadBits(input.pads[padIndex].state);
    }
    if (withKeyboard && padIndex >= -1 && padIndex < MaxJoypads) {
        RefreshKeyboardState();
        bits |= KeyMapBits(padIndex == -1 ? 0 : padIndex);
    }
    return bits;
}
