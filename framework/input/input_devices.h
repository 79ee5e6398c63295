// Start-up and shutdown of the input devices: the keyboard, the mouse and the
// joypads, through DirectInput 7, else 8, else the joystick functions.
#pragma once

#include "platform/platform.h"

// 0 on success, also when input is started or a start is under way; -1 when
// the keyboard's change notification cannot be set up (fails framework
// start-up). A mouse or keyboard that cannot be set up ends the process.
int StartInputDevices();
// Returns 0.
int EndInputDevices();
// Finds the attached joypads again: -1 without a DirectInput interface, else 0.
int StartJoypads();
// -1 when input is not started, else 0.
int ReleaseJoypads();
// The enumeration callback of StartJoypads.
BOOL CALLBACK OnJoypadDeviceFound(LPCDIDEVICEINSTANCEA instance, LPVOID context);
// The lazy start of the queries: when input is not started, starts it (or,
// when the window has been asked to close, does not) and returns true with
// the start's result (0 when the window is closing) in `result`; false when
// input runs and the query may go on.
bool StartInputInsteadOfQuery(int& result);
