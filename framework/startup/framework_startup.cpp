// Framework start-up: every component is brought up in a fixed order under
// the framework lock, and a start that fails part-way takes down again what
// it had brought up, so that the program can end cleanly or start again.
#include "framework/startup/framework_startup.h"

#include "framework/archive/archive_file_access.h"
#include "framework/files/file_access_table.h"
#include "framework/base/fatal_exit.h"
#include "framework/base/framework_lock.h"
#include "framework/startup/framework_shutdown.h"
#include "framework/base/framework_state.h"
#include "framework/input/input_devices.h"
#include "framework/base/log.h"
#include "framework/window/main_window.h"
#include "framework/textinput/text_input.h"
#include "framework/window/window_mode.h"
#include "framework/graphics/screen/display_modes.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/models/model_system.h"
#include "framework/graphics/screen/screen_mode.h"
#include "framework/graphics/screen/screen_mode_change.h"
#include "framework/sound/movie/yuv_to_rgb_tables.h"
#include "framework/sound/sound_system.h"
#include "platform/platform.h"

namespace {

// A full-screen request of a size the display does not offer starts in
// window mode, except 320 by 240 on the hardware path, which the graphics
// start shows doubled at 640 by 480.
void FallBackToWindowModeWhenSizeMissing() {
    if (MainWindow.settings.windowModeFlag) return;
    int width = 0, height = 0;
    GetMainScreenSize(&width, &height);
    const int count = GetDisplayModeCount();
    for (int index = 0; index < count; ++index) {
        const DisplayModeRecord mode = GetDisplayModeEntry(index);
        if (mode.width == width && mode.height == height) return;
    }
    if (width == 320 && height == 240 && !SoftwareRenderOnlyFlag) return;
    ChangeWindowMode(1);
}

bool RefuseTwentyFourBitColour() {
    HDC screen = GetDC(nullptr);
    const int desktopBits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
    if ((desktopBits == 24 && MainWindow.settings.windowModeFlag) || GetScreenColorBitDepth() == 24) {
        WriteLogLine("ＫＩＬＮライブラリは２４ビットカラーモードに対応していません\n");
        return true;
    }
    return false;
}

void InitialiseCom() {
    if (ComInitialised) return;
    WriteLogLine("ＣＯＭの初期化... ");
    if (CoInitialize(nullptr) >= 0) {
        WriteLogLine("成功しました\n");
        ComInitialised = 1;
    } else {
        // Start-up goes on without it.
        WriteLogLine("ＣＯＭの初期化に失敗しました\n");
    }
}

int FailStart() {
    ShutDownFrameworkComponents();
    FrameworkStarting = 0;
    return -1;
}

}  // namespace

int InitFramework() {
    if (FrameworkInitialised == 1) return 0;
    FrameworkLockGuard lock;
    return InitFrameworkCore();
}

int PumpMessagesLocked() {
    FrameworkLockGuard lock;
    return ProcessWindowMessages();
}

int InitFrameworkCore() {
    if (FrameworkInitialised == 1) return 0;
    FrameworkStarting = 1;

    FallBackToWindowModeWhenSizeMissing();
    InitYuvToRgbTables();
    ShutAllArchives();
    SetFileAccessTable(nullptr);
    FileAccessTableInForce.getDirectory(StartDirectory);
    StartLogFile();

    if (RefuseTwentyFourBitColour()) {
        FrameworkStarting = 0;
        return -1;
    }

    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    PerformanceCounterFrequency = static_cast<uint64_t>(frequency.QuadPart);
    UsePerformanceCounter = frequency.QuadPart != 0 ? 1 : 0;

    LogSystemInfo();
    // The file and memory stream sets are constant tables: nothing to fill.
    SetGraphicsRestoreCallback(nullptr);
    InitialiseCom();

    if (CreateMainWindow() == -1) return FailStart();
    if (StartInputDevices() == -1) return FailStart();
    InitSoundSystem();
    if (InitGraphicsSystem() < 0) return FailStart();
    StartTextInput();

    // From here on a fatal exit shuts the framework down.
    SetFatalExitShutdown(EndFrameworkCore);
    FrameworkInitialised = 1;
    if (!MainWindow.settings.windowModeFlag) ForceForegroundWindow(MainWindow.windowHandle, 1);
    InitOnScreenLog();
    SelectDrawTarget(-2);
    SelectDrawTarget(-4);
    StartModelSystem();

    FrameworkStarting = 0;
    return 0;
}
