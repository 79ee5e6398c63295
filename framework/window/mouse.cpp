#include "framework/window/mouse.h"

#include "framework/base/base_functions.h"
#include "framework/window/main_window_state.h"
#include "framework/window/menus.h"
#include "framework/window/tool_bar.h"
#include "framework/window/window_mode.h"

int SetMouseCursorVisible(int setting) {
    if (setting != -1) MainWindow.cursorVisibleSetting = setting;
    const int show = MainWindow.cursorVisibleSetting == 1 || IsMenuShown() ? 1 : 0;
    if (setting != -1 && show == MainWindow.cursorAppliedState) return 0;
    if (show) {
        while (ShowCursor(TRUE) < 0) {
        }
    } else {
        while (ShowCursor(FALSE) >= 0) {
        }
    }
    PostMessageA(MainWindow.windowHandle, WM_SETCURSOR, reinterpret_cast<WPARAM>(MainWindow.windowHandle), 0);
    MainWindow.cursorAppliedState = show;
    return 0;
}

int GetMouseClientPosition(int* x, int* y) {
    POINT cursor{};
    GetCursorPos(&cursor);
    int positionX = cursor.x, positionY = cursor.y;
    if (MainWindow.settings.windowModeFlag) {
        // Through the getter, so that a rate that was never set (or that a
        // drag left at 0) reads as 1.0 instead of dividing by zero.
        double rateX = 1.0, rateY = 1.0;
        GetWindowScaleRates(&rateX, &rateY);
        const RECT& client = MainWindow.ClientScreenRect;
        positionX = DoubleToInt((cursor.x - client.left) / rateX);
        positionY = DoubleToInt((cursor.y - (client.top + GetToolBarHeight())) / rateY);
    }
    if (x != nullptr) *x = positionX;
    if (y != nullptr) *y = positionY;
    return 0;
}

void RecordMouseClick(int button) {
    if (MainWindow.mouseClickCount >= MouseClickLogSize) return;
    MouseClickRecord& record = MainWindow.mouseClicks[MainWindow.mouseClickCount];
    record.button = button;
    GetMouseClientPosition(&record.x, &record.y);
    ++MainWindow.mouseClickCount;
}
