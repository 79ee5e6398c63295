// Changing the screen mode: the graphics system is ended and started again
// for the new request, falling back to 640 by 480 for a 320 by 240 request,
// then to the previous mode and then to 640 by 480 in 16-bit colour. The
// request itself is kept here too, with what it answers while unset.
#include "framework/graphics/screen/screen_mode_change.h"

#include "framework/base/framework_state.h"
#include "framework/base/log.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/font/font_handles.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/screen/screen_mode.h"
#include "framework/base/fatal_exit.h"
#include "framework/window/main_window.h"
#include "framework/window/main_window_state.h"
#include "framework/window/window_mode.h"

namespace {

struct ScreenMode {
    ScreenModeRequest request;
    int doubled;  // the 320x240 flag
};

bool operator==(const ScreenModeRequest& a, const ScreenModeRequest& b) {
    return a.width == b.width && a.height == b.height && a.colorBits == b.colorBits && a.refreshRate == b.refreshRate;
}

struct DefaultFontKept {
    bool valid;
    char face[256];
    int size;
    int thickness;
};

bool StartScreen(const ScreenMode& mode) {
    RequestedScreenMode = mode.request;
    SetScreen320x240Flag(mode.doubled);
    return InitGraphicsSystem() == 0;
}

ScreenModeRequest CurrentMode() {
    ScreenModeRequest mode = RequestedScreenMode;
    GetMainScreenSize(&mode.width, &mode.height);
    mode.colorBits = GetScreenColorBitDepth();
    return mode;
}

}  // namespace

int ApplyScreenModeChange(int width, int height, int colorBits, int windowChange, int refreshRate) {
    const ScreenModeRequest current = CurrentMode();
    const ScreenMode old = {current, Screen320x240Flag};
    ScreenMode wanted = old;
    if (width != -1) wanted.request.width = width;
    if (height != -1) wanted.request.height = height;
    if (colorBits != -1) wanted.request.colorBits = colorBits;
    if (refreshRate != -1) wanted.request.refreshRate = refreshRate;
    int& w = wanted.request.width;
    int& h = wanted.request.height;
    const bool sizeKept = width == -1 && height == -1;
    if (!IsWindowModeOn() && w == 320 && h == 240) {
        wanted.doubled = 1;
        w = 640;
        h = 480;
    } else if (IsWindowModeOn() && windowChange && old.doubled && w == 640 && h == 480) {
        // Back in a window the screen is shown at its own 320 by 240.
        wanted.doubled = 0;
        w = 320;
        h = 240;
    } else if (!sizeKept || IsWindowModeOn()) {
        wanted.doubled = 0;
    }

    if (wanted.request == old.request && wanted.doubled == old.doubled && !windowChange) return 0;

    WriteLogLine("画面モード変更処理を開始します\n");
    IncreaseLogDepth();
    // The restart makes the default font afresh; it is to come back with the
    // size and thickness it had.
    DefaultFontKept kept{};
    if (GraphicsSystemUp && GetFontHandleInfo(kept.face, &kept.size, &kept.thickness, GetDefaultFontHandle()) == 0)
        kept.valid = true;
    if (!GraphicsSystemUp && !FrameworkInitialised) {
        // The new values take effect at the start.
        RequestedScreenMode = wanted.request;
        SetScreen320x240Flag(wanted.doubled);
        DecreaseLogDepth();
        return 0;
    }

    TermGraphicsSystem();
    bool started = StartScreen(wanted);
    if (!started && wanted.request.width == 320 && wanted.request.height == 240) {
        ScreenMode doubled = wanted;
        doubled.request.width = 640;
        doubled.request.height = 480;
        doubled.doubled = 1;
        started = StartScreen(doubled);
    }
    if (!started) started = StartScreen(old);
    if (!started) started = StartScreen(ScreenMode{ScreenModeRequest{640, 480, 16, 0}, 0});
    if (!started) FatalErrorExit("予期せぬ画面モード変更不能現象が起きました2\n");

    if (IsWindowModeOn()) UpdateWindowStyleForMode();
    if (kept.valid) SetDefaultFontSize(kept.face, kept.size, kept.thickness);
    DecreaseLogDepth();
    WriteLogLine("画面モード変更処理は正常に終了しました\n");
    ProcessWindowMessages();
    SelectDrawTarget(GetDrawTarget());
    return 0;
}

int GetScreenModeInfo(int* width, int* height, int* colorBits) {
    int w = 0, h = 0;
    GetMainScreenSize(&w, &h);
    if (Screen320x240Flag && w == 640 && h == 480) {
        w = 320;
        h = 240;
    }
    if (width != nullptr) *width = w;
    if (height != nullptr) *height = h;
    if (colorBits != nullptr) *colorBits = GetScreenColorBitDepth();
    return 0;
}

ScreenModeRequest RequestedScreenMode = {0, 0, 0, 0};

int GetScreenColorBitDepth() { return RequestedScreenMode.colorBits != 0 ? RequestedScreenMode.colorBits : 16; }

int GetMainScreenSize(int* width, int* height) {
    const bool set = RequestedScreenMode.width != 0 && RequestedScreenMode.height != 0;
    if (width != nullptr) *width = set ? RequestedScreenMode.width : 640;
    if (height != nullptr) *height = set ? RequestedScreenMode.height : 480;
    return 0;
}

int IsFullScreenMode() { return MainWindow.settings.windowModeFlag == 0 ? 1 : 0; }
