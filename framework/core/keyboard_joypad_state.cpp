// The input devices are not started in this build: there is no key state to
// read and no device to acquire.
#include "framework/core/keyboard_joypad_state.h"

int RefreshKeyboardState() { return 0; }

int ReacquireInputDevices() { return 0; }
