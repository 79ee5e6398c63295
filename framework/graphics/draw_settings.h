// The framework's current drawing state: what every draw reads to decide how
// it combines with its target and where it may draw.
//
// Only the fields that the software blits read are here so far; the setters
// with their clamping and the reset belong with the rest of the settings.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

struct DrawSettings {
    // How a draw combines with the target: 0 to 4, 10 and 11 draw; 5 to 9 and
    // any value above 11 draw nothing.
    int blendMode = 0;
    // Strength of the blend mode, 0 to 255.
    int blendParam = 0;
    // Colour multiplied into every draw, 0x00RRGGBB (blue in byte 0, green in
    // byte 1, red in byte 2); all three 255 means no brightening.
    uint32_t brightColor = 0x00FFFFFF;
    // The clip rectangle of every draw; right and bottom exclusive. Empty until
    // a draw target sets it.
    RECT drawArea = {0, 0, 0, 0};
};

extern DrawSettings CurrentDrawSettings;
