// Keeping the key state current (from DirectInput, or from the window's key
// state through the conversion table) and handing the devices back to
// DirectInput when the window's activity changes.
#include "framework/input/keyboard_joypad_state.h"

#include <cstring>

#include "framework/base/framework_state.h"
#include "framework/input/input_state.h"
#include "framework/window/main_window.h"

namespace {

// The version code of Windows Vista: from there on the key state always
// comes from the window's key state.
constexpr int WindowsVistaVersionCode = 0x108;

bool EventSignalled(HANDLE event) { return event != nullptr && WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

int RefreshFromDirectInput() {
    InputState& input = InputDeviceState;
    const uint32_t now = timeGetTime();
    if (now == input.keyboardRefreshTime && !EventSignalled(input.keyboardEvent)) return 0;
    if (ProcessWindowMessages() != 0 || input.keyboardDevice == nullptr) return 0;
    IDirectInputDevice2A* keyboard = input.keyboardDevice;
    if (FAILED(keyboard->GetDeviceState(sizeof(input.keyState), input.keyState))) {
        if (FAILED(keyboard->Acquire())) return 0;
        if (FAILED(keyboard->GetDeviceState(sizeof(input.keyState), input.keyState))) return 0;
    }
    input.keyboardRefreshTime = now;
    if (EventSignalled(input.keyboardEvent)) ResetEvent(input.keyboardEvent);
    // The right Shift key is always taken from the window's key state.
    BYTE windowsKeys[256];
    std::memset(windowsKeys, 0, sizeof(windowsKeys));
    GetKeyboardState(windowsKeys);
    input.keyState[DIK_RSHIFT] = windowsKeys[VK_RSHIFT];
    return 1;
}

// The window's key state belongs to the thread that runs the window.
bool CallingThreadOwnsWindowKeys() {
    return MainWindow.mainThreadId != 0 && GetCurrentThreadId() == MainWindow.mainThreadId;
}

int RefreshFromWindowKeys() {
    InputState& input = InputDeviceState;
    if (!CallingThreadOwnsWindowKeys()) return 0;
    const uint32_t now = timeGetTime();
    if (now == input.keyboardRefreshTime) return 0;
    input.keyboardRefreshTime = now;
    if (ProcessWindowMessages() != 0) return 0;
    BYTE windowsKeys[256];
    std::memset(windowsKeys, 0, sizeof(windowsKeys));
    GetKeyboardState(windowsKeys);
    std::memset(input.keyState, 0, sizeof(input.keyState));
    for (const VirtualKeyToKeyCode& row : VirtualKeyConversionTable)
        input.keyState[row.keyCode] = windowsKeys[row.virtualKey];
    return 1;
}

}  // namespace

int RefreshKeyboardState() {
    InputState& input = InputDeviceState;
    // The pump this runs inside is run again from here; that inner pass
    // leaves the key state alone.
    if (input.keyboardRefreshBusy) return 0;
    input.keyboardRefreshBusy = 1;
    const bool directInput =
        !input.noDirectInput && input.keyboardDevice != nullptr && WindowsVersionCode < WindowsVistaVersionCode;
    const int result = directInput ? RefreshFromDirectInput() : RefreshFromWindowKeys();
    input.keyboardRefreshBusy = 0;
    return result;
}

int ReacquireInputDevices() {
    InputState& input = InputDeviceState;
    if (!HasDirectInputInterface()) return 0;
    const DWORD level = IsWindowActive() == 1 ? DISCL_EXCLUSIVE | DISCL_FOREGROUND : DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
    for (int i = 0; i < input.padCount && i < MaxJoypads; i++) {
        IDirectInputDevice2A* device = input.pads[i].device;
        if (device == nullptr) continue;
        device->Unacquire();
        device->SetCooperativeLevel(GetMainWindowHandle(), level);
        device->Acquire();
    }
    if (input.keyboardDevice != nullptr) {
        input.keyboardDevice->Unacquire();
        input.keyboardDevice->Acquire();
    }
    return 0;
}
