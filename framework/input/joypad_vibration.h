// Joypad vibration: which of each pad's two effects play, for the request
// and the window's activity, and the countdown of a timed vibration.
#pragma once

// Starts or stops the pads' effects for the request and the window's state.
// Returns 0.
int ApplyJoypadVibration();
// Ends the pad's vibration (pad number from 1; 0x1000 is ignored). Returns
// 0, or the start's result when it starts input.
int HaltJoypadVibration(int inputType);
// Ends vibrations whose time is over. Returns 0.
int TickJoypadVibration();
