#include "framework/window/tool_bar.h"

#include "framework/window/main_window_state.h"

namespace {

constexpr UINT ToolBarDeleteButton = WM_USER + 22;
constexpr int SeparatorButton = 3;

int ButtonCount() {
    const int count = MainWindow.toolBarButtonCount;
    return count < 0 ? 0 : count > ToolBarButtonTableSize ? ToolBarButtonTableSize : count;
}

}  // namespace

int FindToolBarButtonIndex(int id) {
    if (!MainWindow.toolBarExists) return -1;
    for (int i = 0; i < ButtonCount(); ++i) {
        const ToolBarButtonRecord& button = MainWindow.toolBarButtons[i];
        if (button.id == id && button.type != SeparatorButton) return i;
    }
    return -1;
}

int GetToolBarHeight() {
    if (!MainWindow.toolBarExists) return 0;
    RECT rect{};
    GetWindowRect(MainWindow.toolBarWindow, &rect);
    return rect.bottom - rect.top;
}

int DeleteAllToolBarButtons() {
    if (!MainWindow.toolBarExists) return -1;
    for (int i = 0; i < ButtonCount(); ++i) SendMessageA(MainWindow.toolBarWindow, ToolBarDeleteButton, 0, 0);
    MainWindow.toolBarButtonCount = 0;
    return 0;
}

int GetWindowRectWithToolBar(RECT* rect) {
    const int height = GetToolBarHeight();
    *rect = MainWindow.ClientScreenRect;
    rect->top += height;
    rect->bottom += height;
    return 0;
}
