// Stand-in until the Direct3D 9 path and the screen is built.
// The graphics system's start and end. Only the software path exists: the
// drawing screen is the primary screen memory image, and in full screen the
// display is switched to the screen's mode for as long as the system is up.
#include "framework/graphics/graphics_system.h"

#include "framework/base/framework_state.h"
#include "framework/window/main_window_state.h"
#include "framework/graphics/display_modes.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/draw_target.h"
#include "framework/graphics/font/font_handles.h"
#include "framework/graphics/graphic_handles.h"
#include "framework/graphics/screen_mode.h"
#include "framework/graphics/shader_handles.h"
#include "framework/softrender/blend_tables.h"
#include "platform/platform.h"

int SoftwareRenderOnlyFlag = 0;
int GraphicsSystemUp = 0;
MEMIMG PrimaryScreenMemImg = {};

namespace {

// Set while the display shows the screen's full-screen mode.
int DisplayModeSwitched = 0;

bool SwitchDisplayTo(int width, int height, int colorBits) {
    DEVMODEA mode{};
    mode.dmSize = sizeof(mode);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmBitsPerPel = static_cast<DWORD>(colorBits);
    if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) return false;
    DisplayModeSwitched = 1;
    return true;
}

void RestoreDisplay() {
    if (!DisplayModeSwitched) return;
    ChangeDisplaySettingsA(nullptr, 0);
    DisplayModeSwitched = 0;
}

int CreatePrimaryScreenMemImg(int width, int height, int colorBits) {
    return NewMemImg(&PrimaryScreenMemImg, width, height, colorBits == 16 ? 0 : 1);
}

}  // namespace

int SetUseHardwareAcceleration(int flag) {
    if (FrameworkInitialised) return -1;
    SoftwareRenderOnlyFlag = flag == 0 ? 1 : 0;
    return 0;
}

int InitGraphicsSystem() {
    if (GraphicsSystemUp) return 0;
    int width = 0, height = 0;
    GetMainScreenSize(&width, &height);
    const int colorBits = GetScreenColorBitDepth();
    const bool fullScreen = MainWindow.settings.windowModeFlag == 0;

    // A 320 by 240 screen is shown doubled on a 640 by 480 display.
    int displayWidth = width, displayHeight = height;
    if (fullScreen && width == 320 && height == 240) {
        displayWidth = 640;
        displayHeight = 480;
    }
    if (fullScreen && !SwitchDisplayTo(displayWidth, displayHeight, colorBits)) {
        TermGraphicsSystem();
        return -1;
    }
    if (CreatePrimaryScreenMemImg(width, height, colorBits) != 0) {
        TermGraphicsSystem();
        return -1;
    }

    GraphicsSystemUp = 1;
    ResetGraphicsSettings();
    BuildBlendTables();
    StartFontSystem();
    return 0;
}

int TermGraphicsSystem() {
    EndFontSystem();
    if (GraphicsSystemUp) {
        DeleteAllGraphicHandles(0);
        DeleteAllShaderHandles();
    }
    if (IsMemImgValid(&PrimaryScreenMemImg)) FreeMemImg(&PrimaryScreenMemImg);
    RestoreDisplay();
    // Listed afresh at the next start: the display may offer others by then.
    ForgetDisplayModes();
    if (!GraphicsSystemUp) return 0;
    ForgetDrawTarget();
    GraphicsSystemUp = 0;
    return 0;
}
