// What an activation change of the main window sets going, in order: input
// method, graphics device, movies, input devices, inactive picture, joypad
// vibration, and last the active-state callback of the current scene.
#include "framework/base/framework_state.h"
#include "framework/window/inactive_picture.h"
#include "framework/input/joypad_vibration.h"
#include "framework/input/keyboard_joypad_state.h"
#include "framework/base/log.h"
#include "framework/window/main_window_state.h"
#include "framework/textinput/text_input.h"
#include "framework/window/window_procedure_parts.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/device/graphics_device.h"
#include "framework/graphics/screen/screen_mode_change.h"
#include "framework/sound/movie/movie_playback.h"

namespace {

void BecomeActive(WPARAM wParam) {
    const MainWindowSettings& settings = MainWindow.settings;
    if (settings.imeUse == 1 && GetImeOpenState() == 1) StartImeReopen();
    if (settings.windowModeFlag && IsDirect3DPathInUse()) {
        EndDeviceScene();
        if (PresentDeviceBackBuffer() != 0) ReapplyScreenMode();
    }
    if (!settings.windowModeFlag && FrameworkInitialised == 1) {
        if (HIWORD(wParam) == 0) ReapplyScreenMode();  // not minimised
        ResumeSystemPausedMovies();
        ReacquireInputDevices();
    } else {
        if (!settings.runWhenInactive) ResumeSystemPausedMovies();
        ReacquireInputDevices();
    }
}

// False when the program is to end instead (the rest of the change is then
// skipped).
bool BecomeInactive(HWND window) {
    MainWindowState& state = MainWindow;
    const MainWindowSettings& settings = state.settings;
    bool moviesPaused = false;
    if (!settings.windowModeFlag) {
        // The platform keeps no display modes of its own to give back, so
        // the desktop needs no mode restored before the window is minimised.
        if (!IsDirect3DPathInUse()) ShowWindow(window, SW_MINIMIZE);
        if (!settings.windowModeFlag && GetDirectDrawObject() != nullptr) {
            if (!IsGraphicsRestoreCallbackSet() && !settings.userWindowFlag) {
                WriteLogLine("復元関数が登録されていないため終了します\n");
                if (!state.closeRequested) {
                    state.closeRequested = 1;
                    PostMessageA(window, WM_CLOSE, 0, 0);
                }
                return false;
            }
            SystemPauseAllMovies();
            moviesPaused = true;
        }
    }
    if (!moviesPaused) {
        if (!settings.runWhenInactive) SystemPauseAllMovies();
        ReacquireInputDevices();
    }
    if (settings.clipCursor) {
        ClipCursor(nullptr);
        state.cursorClipped = 0;
    }
    if (HDC deviceContext = GetDC(window)) {
        DrawInactivePicture();
        ReleaseDC(window, deviceContext);
    }
    return true;
}

}  // namespace

void HandleActivationChange(HWND window, WPARAM wParam) {
    MainWindowState& state = MainWindow;
    state.activeFlag = LOWORD(wParam) != 0 ? 1 : 0;
    if (state.creatingFlag == 1) return;
    if (state.activeFlag) {
        BecomeActive(wParam);
    } else if (!BecomeInactive(window)) {
        return;
    }
    ApplyJoypadVibration();
    if (state.activeStateCallback != nullptr)
        state.activeStateCallback(state.activeFlag, state.activeStateCallbackArgument);
    // The system-key lock on Windows outside the NT family tells the system
    // that a screen saver runs, which keeps the task-switch keys away.
    if (state.systemKeyLock && WindowsVersionCode < 0x104) {
        int scratch = 0;
        SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, static_cast<UINT>(state.activeFlag), &scratch, 0);
    }
}
