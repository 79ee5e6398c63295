#include "framework/window/window_mode.h"

#include "framework/base/base_functions.h"
#include "framework/base/framework_state.h"
#include "framework/base/log.h"
#include "framework/window/main_window.h"
#include "framework/window/menus.h"
#include "framework/base/time_functions.h"
#include "framework/graphics/screen/screen_mode_change.h"

namespace {

// How long a mode change waits for the display change. A switch that leaves
// the display as it was (a full-screen mode equal to the desktop's) brings
// none, and the wait would never end.
constexpr int kDisplayChangeWaitMilliseconds = 2000;

}  // namespace

int SetWindowModeFlag(int flag) {
    MainWindowSettings& settings = MainWindow.settings;
    settings.windowModeFlag = flag;
    if (flag != 0) {
        WriteLogLine("ウインドウモードフラグが立てられました\n");
        if (settings.menuInUse) SetMenu(MainWindow.windowHandle, settings.menuHandle);
    } else {
        WriteLogLine("ウインドウモードフラグが倒されました\n");
        if (settings.menuInUse) SetMenu(MainWindow.windowHandle, nullptr);
    }
    return 0;
}

int ChangeWindowMode(int flag) {
    WriteLogLine("ChangeWindowMode実行 \n");
    if (flag == MainWindow.settings.windowModeFlag) return 0;
    MainWindow.WindowShownFlag = 1;
    MainWindow.DisplayChangeSeen = 0;
    SetWindowModeFlag(flag);
    if (MainWindow.windowHandle == nullptr || MainWindow.settings.userWindowFlag) return 0;

    MainWindow.WindowModeChanging = 1;
    UpdateWindowStyleForMode();
    const int result = ApplyScreenModeChange(-1, -1, -1, 1, -1);
    const int waitStart = GetMillisecondCount();
    while (ProcessWindowMessages() == 0 && !MainWindow.DisplayChangeSeen) {
        // The masked counter wraps at 2^31; the difference is taken modulo that.
        if (((GetMillisecondCount() - waitStart) & 0x7FFFFFFF) >= kDisplayChangeWaitMilliseconds) break;
    }
    MainWindow.WindowModeChanging = 0;
    if (flag == 0) MainWindow.menuHoverState = 0;
    return result;
}

double GetWindowScaleRates(double* rateX, double* rateY) {
    MainWindowSettings& settings = MainWindow.settings;
    if (settings.WindowScaleRateX <= 0.0) settings.WindowScaleRateX = 1.0;
    if (settings.WindowScaleRateY <= 0.0) settings.WindowScaleRateY = 1.0;
    if (!settings.windowModeFlag) {
        if (rateX != nullptr) *rateX = 1.0;
        if (rateY != nullptr) *rateY = 1.0;
        return 1.0;
    }
    if (rateX != nullptr) *rateX = settings.WindowScaleRateX;
    if (rateY != nullptr) *rateY = settings.WindowScaleRateY;
    return settings.WindowScaleRateX;
}

int GetDesktopMode(int* width, int* height, int* colorBits) {
    int desktopWidth, desktopHeight, bits;
    if (FrameworkInitialised) {
        desktopWidth = MainWindow.DesktopMode.width;
        desktopHeight = MainWindow.DesktopMode.height;
        bits = MainWindow.DesktopMode.colorBits;
    } else {
        desktopWidth = GetSystemMetrics(SM_CXSCREEN);
        desktopHeight = GetSystemMetrics(SM_CYSCREEN);
        HDC screen = GetDC(nullptr);
        bits = GetDeviceCaps(screen, PLANES) * GetDeviceCaps(screen, BITSPIXEL);
        ReleaseDC(nullptr, screen);
    }
    if (width != nullptr) *width = desktopWidth;
    if (height != nullptr) *height = desktopHeight;
    if (colorBits != nullptr) *colorBits = bits;
    return 0;
}

void SetMainWindowTitle(const char* text) {
    if (text == nullptr) text = "";
    if (MainWindow.windowHandle != nullptr) SetWindowTextA(MainWindow.windowHandle, text);
    CopyTextBounded(MainWindow.settings.windowText, sizeof(MainWindow.settings.windowText), text);
}

int ForceForegroundWindow(HWND window, int topmost) {
    const DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const DWORD windowThread = GetWindowThreadProcessId(window, nullptr);
    AttachThreadInput(windowThread, foregroundThread, TRUE);

    DWORD savedTimeout = 0;
    SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &savedTimeout, 0);
    SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, 0);
    SetForegroundWindow(window);
    SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<LPVOID>(static_cast<ULONG_PTR>(savedTimeout)),
                          0);

    const BOOL detached = AttachThreadInput(windowThread, foregroundThread, FALSE);
    if (topmost == 1)
        return SetWindowPos(MainWindow.windowHandle, HWND_TOPMOST, 0, 0, 0, 0,
                            SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW);
    return detached;
}
