// The subtract blend where the device has no blend operations: the area is
// inverted (white drawn in the subtract mode, whose device row without blend
// operations is (1 - dest) * src), the drawing added by its alpha, and the
// area inverted again, since dest - src * a = 1 - ((1 - dest) + src * a).
// Shared by the graphic and string draws.
#pragma once

#include "framework/graphics/draws/device_draws.h"
#include "framework/graphics/draw_settings.h"
#include "platform/win_types.h"

template <class Draw>
int DrawWithEmulatedSubtract(const RECT& area, Draw draw) {
    const int param = CurrentDrawSettings.blendParam;
    const uint32_t bright = GetDrawBrightColor();
    const auto invert = [&] {
        SetBlendModeAndParam(kBlendModeSubtract, 255);
        SetDrawBrightnessRGB(255, 255, 255);
        DrawRectFilledOnDevice(area.left, area.top, area.right, area.bottom,
                               static_cast<int>(MakeScreenColorCode(255, 255, 255)));
        SetDrawBrightnessColor(bright);
    };
    invert();
    SetBlendModeAndParam(kBlendModeDeviceAdd, param);
    const int result = draw();
    invert();
    SetBlendModeAndParam(kBlendModeSubtract, param);
    return result;
}
