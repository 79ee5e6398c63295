// Start-up and shutdown of the input devices: the keyboard, the mouse and the
// joypads, through DirectInput 7, else 8, else the joystick functions.
#pragma once

// 0 on success; -1 fails framework start-up.
int StartInputDevices();
int EndInputDevices();
