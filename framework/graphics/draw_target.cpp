// Stand-in until the screen and the draw-target selection are built.
// The draw target. The two screens and graphics can be targets; the further
// screen codes and the mask screen are not there yet, and only the software
// path exists.
#include "framework/graphics/draw_target.h"

#include "framework/graphics/graphic_handles.h"
#include "framework/graphics/graphic_image.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/screen_mode.h"
#include "framework/window/main_window_state.h"

MEMIMG* SoftwareDrawTarget = nullptr;

namespace {

constexpr int kBackBuffer = -2;
constexpr int kFrontScreen = -4;
constexpr unsigned int kPresentMilliseconds = 32;

}  // namespace

int GetDrawTarget() { return CurrentDrawSettings.drawTarget; }

int SelectDrawTarget(int target) {
    if (!GraphicsSystemUp) return -1;
    MEMIMG* softwareTarget = &PrimaryScreenMemImg;
    if (target != kBackBuffer && target != kFrontScreen) {
        GraphicRecord* record = GetGraphicRecord(target);
        if (record == nullptr || record->image == nullptr || !record->image->renderTarget) return -1;
        softwareTarget = &record->memImg;
    }
    CurrentDrawSettings.drawTarget = target;
    SoftwareDrawTarget = softwareTarget;
    int width = 0, height = 0;
    GetDrawTargetSize(&width, &height);
    SetDrawAreaRect(0, 0, width, height);
    if (target == kFrontScreen && MainWindow.windowHandle != nullptr)
        SetTimer(MainWindow.windowHandle, FrontScreenPresentTimerId, kPresentMilliseconds, nullptr);
    return 0;
}

int GetDrawTargetSize(int* width, int* height) {
    const int target = CurrentDrawSettings.drawTarget;
    if (target < 0) return GetMainScreenSize(width, height);
    const GraphicRecord* record = GetGraphicRecord(target);
    if (record == nullptr) return -1;
    if (width != nullptr) *width = record->width;
    if (height != nullptr) *height = record->height;
    return 0;
}

void ReleaseGraphicDrawTarget(int handle) {
    if (CurrentDrawSettings.drawTarget != handle) return;
    if (SelectDrawTarget(kBackBuffer) == 0) return;
    CurrentDrawSettings.drawTarget = kBackBuffer;
    SoftwareDrawTarget = nullptr;
}

void ForgetDrawTarget() {
    if (CurrentDrawSettings.drawTarget == kFrontScreen && MainWindow.windowHandle != nullptr)
        KillTimer(MainWindow.windowHandle, FrontScreenPresentTimerId);
    CurrentDrawSettings.drawTarget = kBackBuffer;
    SoftwareDrawTarget = nullptr;
    SetDrawAreaRect(0, 0, 0, 0);
}
