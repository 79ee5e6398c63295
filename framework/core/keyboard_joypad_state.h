// The keyboard and joypad state as the window side calls it.
#pragma once

// 1 when the key state was read anew, else 0.
int RefreshKeyboardState();
// Acquires the input devices again with the cooperative level for the
// window's new state. Returns 0.
int ReacquireInputDevices();
