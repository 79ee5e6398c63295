// The draw area: the clip rectangle of every draw, ordered and clamped to the
// draw target. On the hardware path it is the device's viewport and scissor
// rectangle too, and projected coordinates are mapped into it.
#include "framework/graphics/device/device_state_setters.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/draw_target.h"

namespace {

int Clamp(int value, int limit) { return value < 0 ? 0 : (value > limit ? limit : value); }

}  // namespace

int SetDrawAreaRect(int x1, int y1, int x2, int y2) {
    DrawSettings& settings = CurrentDrawSettings;
    settings.requestedDrawArea = RECT{x1, y1, x2, y2};
    int width = 0, height = 0;
    if (GetDrawTargetSize(&width, &height) != 0) return -1;
    if (x1 > x2) {
        const int swap = x1;
        x1 = x2;
        x2 = swap;
    }
    if (y1 > y2) {
        const int swap = y1;
        y1 = y2;
        y2 = swap;
    }
    x1 = Clamp(x1, width);
    x2 = Clamp(x2, width);
    y1 = Clamp(y1, height);
    y2 = Clamp(y2, height);
    settings.drawArea = RECT{x1, y1, x2, y2};
    settings.drawAreaFloat[0] = static_cast<float>(x1);
    settings.drawAreaFloat[1] = static_cast<float>(y1);
    settings.drawAreaFloat[2] = static_cast<float>(x2);
    settings.drawAreaFloat[3] = static_cast<float>(y2);
    settings.drawAreaEmpty = x1 == x2 || y1 == y2 ? 1 : 0;
    if (settings.drawAreaEmpty || !HardwarePathFlag) return 0;
    if (Direct3DDevice.device == nullptr) return -1;
    MakeViewportFromRect(x1, y1, x2, y2);
    SetDeviceScissorRect(&settings.drawArea);
    MATRIX viewport;
    MatrixViewport(&viewport, static_cast<float>(x1 + x2) * 0.5f, static_cast<float>(y1 + y2) * 0.5f,
                   static_cast<float>(x2 - x1), static_cast<float>(y2 - y1));
    MatrixInvert(&settings.drawAreaMatrix, &viewport);
    // The projection goes out again with the new mapping.
    SetProjectionMatrix(&settings.projectionMatrix);
    return 0;
}

int ReapplyDrawAreaRect() {
    const RECT given = CurrentDrawSettings.requestedDrawArea;
    return SetDrawAreaRect(given.left, given.top, given.right, given.bottom);
}
