// The keyboard and joypad state: refreshing it and the queries on it.
#pragma once

#include <cstdint>

// 1 when the key state was read anew, else 0.
int RefreshKeyboardState();
// Reads the pad (index from 0) at most once per millisecond: 0, or -1 for an
// index of 16 or more and when the program ends or input is ended while the
// pad is read again.
int RefreshJoypadState(int padIndex);
// 1 while the key (a DirectInput key code, 0 to 255) is down, else 0.
int IsKeyHeld(int keyCode);
// The pad's directions and buttons as bits (down 0x1, left 0x2, right 0x4,
// up 0x8, buttons 1 to 24 from 0x10); pad number from 1, plus 0x1000 to add
// the keyboard through the pad's key map.
int ReadJoypadButtons(int inputType);
// Acquires the input devices again with the cooperative level for the
// window's new state. Returns 0.
int ReacquireInputDevices();

// The raw joystick position (0 to 65535) as -1000 to 1000, the middle
// quarter reading 0.
int ConvertJoystickAxis(uint32_t position);
// The Windows path's table: virtual key to DirectInput key code.
struct VirtualKeyToKeyCode {
    uint8_t virtualKey;
    uint8_t keyCode;
};
extern const VirtualKeyToKeyCode VirtualKeyConversionTable[99];
