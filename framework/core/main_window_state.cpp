#include "framework/core/main_window_state.h"

MainWindowState MainWindow = {};

HWND GetMainWindowHandle() { return MainWindow.windowHandle; }
