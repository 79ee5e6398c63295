// Moving the virtual pads that the machine profile attaches, and what tests
// read of their rumble. The pads are SDL2 virtual joysticks that SDL2's
// input adapter attaches and holds (sdl_input.cpp). Private to the platform
// (and to tests).
#pragma once

#include <cstdint>

namespace platform {

// Moving a virtual pad (index into the profile's list); seen at the next
// read of the pad. Axis values run from -32768 to 32767; a hat takes the
// SDL2 hat bits (1 up, 2 right, 4 down, 8 left; 0 centred).
void SetVirtualPadAxis(int pad, int axis, int value);
void SetVirtualPadButton(int pad, int button, bool down);
void SetVirtualPadHat(int pad, int hat, int bits);

// The strength of a virtual pad's two motors as last set through the
// rumble (0 to 65535 each; both 0 while still).
struct PadRumble {
    uint16_t lowFrequency = 0;
    uint16_t highFrequency = 0;
};
PadRumble VirtualPadRumble(int pad);

}  // namespace platform
