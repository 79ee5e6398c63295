// Changing the screen mode: the graphics system is ended and started again
// for the new request, falling back to the previous mode and then to 640 by
// 480 in 16-bit colour.
#include "framework/graphics/screen_mode_change.h"

#include "framework/startup/framework_startup.h"
#include "framework/base/log.h"
#include "framework/window/main_window_state.h"
#include "framework/window/window_mode.h"
#include "framework/graphics/draw_target.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/screen_mode.h"

namespace {

GraphicsRestoreRoutine RestoreRoutine = nullptr;

// Graphics are only memory images so far, which survive a new screen as they are.
void DefaultGraphicsRestore() {}

bool StartScreen(const ScreenModeRequest& request) {
    RequestedScreenMode = request;
    TermGraphicsSystem();
    if (InitGraphicsSystem() != 0) return false;
    SelectDrawTarget(GetDrawTarget());
    return true;
}

}  // namespace

int ApplyScreenModeChange(int width, int height, int colorBits, int force, int refreshRate) {
    const ScreenModeRequest previous = RequestedScreenMode;
    ScreenModeRequest wanted = previous;
    if (width != -1) wanted.width = width;
    if (height != -1) wanted.height = height;
    if (colorBits != -1) wanted.colorBits = colorBits;
    if (refreshRate != -1) wanted.refreshRate = refreshRate;

    WriteLogFormat("画面モード変更処理を開始します");
    const int target = GetDrawTarget();
    if (!StartScreen(wanted) && !StartScreen(previous) && !StartScreen(ScreenModeRequest{640, 480, 16, 0}))
        FatalErrorExit("予期せぬ画面モード変更不能現象が起きました2");
    SelectDrawTarget(target);
    if (MainWindow.settings.windowModeFlag) UpdateWindowStyleForMode();
    WriteLogFormat("画面モード変更処理は正常に終了しました");
    return 0;
}

int ReapplyScreenMode() {
    if (!GraphicsSystemUp) return 0;
    const int target = GetDrawTarget();
    if (StartScreen(RequestedScreenMode)) {
        SelectDrawTarget(target);
        if (RestoreRoutine != nullptr) RestoreRoutine();
    }
    return 0;
}

int GetScreenModeInfo(int* width, int* height, int* colorBits) {
    GetMainScreenSize(width, height);
    if (colorBits != nullptr) *colorBits = GetScreenColorBitDepth();
    return 0;
}

int SetGraphicsRestoreCallback(GraphicsRestoreRoutine routine) {
    RestoreRoutine = routine != nullptr ? routine : DefaultGraphicsRestore;
    return 0;
}

int IsGraphicsRestoreCallbackSet() { return RestoreRoutine != nullptr ? 1 : 0; }
