#include "framework/window/main_window_state.h"

#include <cstring>

#include "framework/base/format_text.h"
#include "framework/base/framework_state.h"

MainWindowState MainWindow = {};

void ResetMainWindowState() {
    // The record is large (the menu table and the dropped-file list); keep the
    // settings aside rather than copying the whole record twice.
    static MainWindowSettings kept;
    kept = MainWindow.settings;
    MainWindow = MainWindowState{};
    MainWindow.settings = kept;
    FrameworkInitialised = 0;
}

HWND GetMainWindowHandle() { return MainWindow.windowHandle; }
int IsWindowModeOn() { return MainWindow.settings.windowModeFlag; }
int IsWindowActive() { return MainWindow.activeFlag; }
int IsCloseRequested() { return MainWindow.closeRequested; }
int IsQuitPosted() { return MainWindow.quitFlag; }
int IsMmxAvailable() { return CpuHasMmx; }

void CopyTextBounded(char* destination, size_t size, const char* source) {
    if (size == 0) return;
    const size_t length = ShiftJisSafeLength(source, strnlen(source, size - 1));
    std::memmove(destination, source, length);
    destination[length] = '\0';
}
