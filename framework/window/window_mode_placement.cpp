// The main window's size and position: fitting it to the scaled screen, and
// following it when it moves.
#include "framework/base/base_functions.h"
#include "framework/base/framework_state.h"
#include "framework/window/main_window_state.h"
#include "framework/window/tool_bar.h"
#include "framework/window/window_mode.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/screen/screen_mode.h"

int ApplyWindowSizeAndPosition() {
    MainWindowSettings& settings = MainWindow.settings;
    HWND window = MainWindow.windowHandle;
    RECT client{};
    if (settings.userWindowFlag || !GetClientRect(window, &client)) return 0;

    int screenWidth = 0, screenHeight = 0;
    GetMainScreenSize(&screenWidth, &screenHeight);
    double rateX = 1.0, rateY = 1.0;
    GetWindowScaleRates(&rateX, &rateY);
    const int scaledWidth = DoubleToInt(screenWidth * rateX);
    const int scaledHeight = DoubleToInt(screenHeight * rateY);

    RECT outer{};
    GetWindowRect(window, &outer);
    const int clientWidth = client.right - client.left;
    const int clientHeight = client.bottom - client.top;
    MainWindow.ClientScreenRect.right = MainWindow.ClientScreenRect.left + clientWidth;
    MainWindow.ClientScreenRect.bottom = MainWindow.ClientScreenRect.top + clientHeight;

    int width = scaledWidth, height = scaledHeight;
    if (settings.RequestedWindowSize.set || settings.FreeWindowSizeFlag) {
        width = settings.RequestedWindowSize.set ? settings.RequestedWindowSize.width : clientWidth;
        height = settings.RequestedWindowSize.set ? settings.RequestedWindowSize.height : clientHeight;
        if (width > scaledWidth) width = scaledWidth;
        if (height > scaledHeight) height = scaledHeight;
        if (settings.FreeWindowSizeFlag && settings.RequestedWindowSize.set && !FrameworkStarting)
            settings.RequestedWindowSize.set = 0;
    }

    RECT rect{outer.left, outer.top, 0, 0};
    rect.right = rect.left + (outer.right - outer.left - clientWidth) + width;
    rect.bottom = rect.top + (outer.bottom - outer.top - clientHeight) + GetToolBarHeight() + height;
    if (settings.RequestedWindowPosition.set) {
        const int moveX = settings.RequestedWindowPosition.x - rect.left;
        const int moveY = settings.RequestedWindowPosition.y - rect.top;
        rect = RECT{rect.left + moveX, rect.top + moveY, rect.right + moveX, rect.bottom + moveY};
        if (!FrameworkStarting) settings.RequestedWindowPosition.set = 0;
        if (settings.LayeredWindowFlag) {
            rect.right = rect.left + screenWidth;
            rect.bottom = rect.top + screenHeight + MainWindow.WindowFrameTopOffset;
        }
    }
    MoveWindow(window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);

    if (settings.windowModeFlag && MainWindow.WindowShownFlag == 0) {
        MainWindow.WindowShownFlag = 1;
        UpdateWindowStyleForMode();
    }
    return 0;
}

int OnMainWindowMove(LPARAM position) {
    RECT client{};
    if (MainWindow.settings.userWindowFlag || !GetClientRect(MainWindow.windowHandle, &client)) return 0;
    const int x = static_cast<SHORT>(LOWORD(position));
    const int y = static_cast<SHORT>(HIWORD(position));
    MainWindow.ClientScreenRect = RECT{x, y, x + client.right - client.left, y + client.bottom - client.top};
    if (GetDrawTarget() == -4) {
        const int maskUse = GetMaskScreenUse();
        SetMaskScreenUse(0);
        SetMaskScreenUse(maskUse);
    }
    ReapplyDrawAreaRect();
    return 0;
}
