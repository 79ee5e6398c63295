// Joypad vibration as the window side calls it.
#pragma once

// Starts or stops the pads' effects for the request and the window's state.
// Returns 0.
int ApplyJoypadVibration();
// Ends vibrations whose time is over. Returns 0.
int TickJoypadVibration();
