// No joypad has force feedback until the input devices are started.
#include "framework/core/joypad_vibration.h"

int ApplyJoypadVibration() { return 0; }

int TickJoypadVibration() { return 0; }
