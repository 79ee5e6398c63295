// Stand-in until graphic handles as draw targets and the mask screen is built.
// The draw target and the draw area. Only the two screens can be targets so
// far; the mask screen never has buffers.
#include "framework/graphics/draw_target.h"

#include "framework/window/main_window_state.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/screen_mode.h"

namespace {

constexpr int kBackBuffer = -2;
constexpr int kFrontScreen = -4;
constexpr unsigned int kPresentMilliseconds = 32;

int DrawTarget = kBackBuffer;
RECT GivenDrawArea = {0, 0, 0, 0};
int DrawAreaGiven = 0;

void TargetSize(int* width, int* height) { GetMainScreenSize(width, height); }

}  // namespace

int GetDrawTarget() { return DrawTarget; }

int SelectDrawTarget(int target) {
    if (!GraphicsSystemUp) return -1;
    if (target != kBackBuffer && target != kFrontScreen) return -1;
    DrawTarget = target;
    int width = 0, height = 0;
    TargetSize(&width, &height);
    SetDrawAreaRect(0, 0, width, height);
    if (target == kFrontScreen && MainWindow.windowHandle != nullptr)
        SetTimer(MainWindow.windowHandle, FrontScreenPresentTimerId, kPresentMilliseconds, nullptr);
    return 0;
}

int GetMaskScreenUse() { return 0; }

int SetMaskScreenUse(int flag) { return -1; }

int SetDrawAreaRect(int left, int top, int right, int bottom) {
    GivenDrawArea = RECT{left, top, right, bottom};
    DrawAreaGiven = 1;
    if (left > right) {
        const int swap = left;
        left = right;
        right = swap;
    }
    if (top > bottom) {
        const int swap = top;
        top = bottom;
        bottom = swap;
    }
    int width = 0, height = 0;
    TargetSize(&width, &height);
    auto clamp = [](int value, int limit) { return value < 0 ? 0 : (value > limit ? limit : value); };
    CurrentDrawSettings.drawArea = RECT{clamp(left, width), clamp(top, height), clamp(right, width),
                                        clamp(bottom, height)};
    return 0;
}

int ReapplyDrawAreaRect() {
    if (!DrawAreaGiven) return -1;
    return SetDrawAreaRect(GivenDrawArea.left, GivenDrawArea.top, GivenDrawArea.right, GivenDrawArea.bottom);
}

void ForgetDrawTarget() {
    if (DrawTarget == kFrontScreen && MainWindow.windowHandle != nullptr)
        KillTimer(MainWindow.windowHandle, FrontScreenPresentTimerId);
    DrawTarget = kBackBuffer;
    DrawAreaGiven = 0;
    CurrentDrawSettings.drawArea = RECT{0, 0, 0, 0};
}
