// Restyling the main window for the mode in force.
#include "framework/base/base_functions.h"
#include "framework/base/log.h"
#include "framework/window/main_window_state.h"
#include "framework/window/mouse.h"
#include "framework/window/tool_bar.h"
#include "framework/window/window_mode.h"
#include "framework/window/window_style.h"
#include "framework/graphics/screen/screen_mode.h"

namespace {

void StyleForFullScreen(HWND window, int screenWidth, int screenHeight) {
    WriteLogLine("ウインドウスタイルをフルスクリーンモード用に変更します... ");
    const WindowStyleRow& row = CurrentWindowStyleRow();
    SetWindowLongA(window, GWL_EXSTYLE, static_cast<LONG>(row.fullScreenExStyle));
    SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(row.fullScreenStyle));
    MainWindow.ClientScreenRect = RECT{0, 0, screenWidth, screenHeight};
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, screenWidth, screenHeight, SWP_NOREDRAW);
    SetMouseCursorVisible(0);
    WriteLogLine("完了\n");
}

void StyleForWindowMode(HWND window, int screenWidth, int screenHeight) {
    const MainWindowSettings& settings = MainWindow.settings;
    WriteLogLine("ウインドウスタイルをウインドウモード用に変更します... ");
    DWORD style = 0, exStyle = 0;
    GetWindowModeStyles(&style, &exStyle);
    SetWindowLongA(window, GWL_EXSTYLE, static_cast<LONG>(exStyle));
    SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(style));

    double rateX = 1.0, rateY = 1.0;
    GetWindowScaleRates(&rateX, &rateY);
    int clientWidth = DoubleToInt(screenWidth * rateX);
    int clientHeight = DoubleToInt(screenHeight * rateY) + GetToolBarHeight();
    if (settings.RequestedWindowSize.set) {
        clientWidth = settings.RequestedWindowSize.width;
        clientHeight = settings.RequestedWindowSize.height + GetToolBarHeight();
    }

    RECT rect{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const int shiftX = (MainWindow.DesktopMode.width - width) / 2;
    const int shiftY = (MainWindow.DesktopMode.height - height) / 2;
    int x = rect.left + shiftX;
    int y = rect.top + shiftY;
    if (settings.RequestedWindowPosition.set) {
        x = settings.RequestedWindowPosition.x;
        y = settings.RequestedWindowPosition.y;
    }
    SetWindowPos(window, HWND_NOTOPMOST, x, y, width, height, 0);
    SetWindowPos(window, HWND_TOP, x, y, width, height, 0);

    RECT& client = MainWindow.ClientScreenRect;
    GetClientRect(window, &client);
    ClientToScreen(window, reinterpret_cast<POINT*>(&client.left));
    ClientToScreen(window, reinterpret_cast<POINT*>(&client.right));

    // Keep the client area on the desktop: a window larger than the desktop
    // would otherwise hide its top-left corner.
    bool moved = false;
    if (client.left < 0) {
        const int by = -client.left;
        x += by;
        client.left = 0;
        client.right += by;
        moved = true;
    }
    if (client.top < 0) {
        const int by = -client.top;
        y += by;
        client.top = 0;
        client.bottom += by;
        moved = true;
    }
    if (moved) {
        if (settings.RequestedWindowPosition.set) {
            x = settings.RequestedWindowPosition.x;
            y = settings.RequestedWindowPosition.y;
        }
        SetWindowPos(window, HWND_TOP, x, y, width, height, 0);
    }
    SetMouseCursorVisible(1);
    WriteLogLine("完了\n");
}

}  // namespace

int UpdateWindowStyleForMode() {
    HWND window = MainWindow.windowHandle;
    if (window == nullptr || MainWindow.settings.userWindowFlag) return 0;
    int screenWidth = 0, screenHeight = 0;
    GetMainScreenSize(&screenWidth, &screenHeight);
    if (MainWindow.settings.windowModeFlag)
        StyleForWindowMode(window, screenWidth, screenHeight);
    else
        StyleForFullScreen(window, screenWidth, screenHeight);
    SetActiveWindow(window);
    PostMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), 0);
    return 0;
}
