// The subtract blend where the device has no blend operations: the area is
// inverted, the drawing multiplied in, and the area inverted again, since
// dest - src = 1 - ((1 - dest) * src). Shared by the graphic and string
// draws.
#pragma once

#include "framework/graphics/draws/device_draws.h"
#include "framework/graphics/draw_settings.h"
#include "platform/win_types.h"

template <class Draw>
int DrawWithEmulatedSubtract(const RECT& area, Draw draw) {
    constexpr int kSubtract = 3;
    constexpr int kMultiply = 5;
    const int param = CurrentDrawSettings.blendParam;
    const uint32_t bright = GetDrawBrightColor();
    const auto invert = [&] {
        SetBlendModeAndParam(kSubtract, 255);
        SetDrawBrightnessRGB(255, 255, 255);
        DrawRectFilledOnDevice(area.left, area.top, area.right, area.bottom,
                               static_cast<int>(MakeScreenColorCode(255, 255, 255)));
        SetDrawBrightnessColor(bright);
    };
    invert();
    SetBlendModeAndParam(kMultiply, param);
    const int result = draw();
    invert();
    SetBlendModeAndParam(kSubtract, param);
    return result;
}
