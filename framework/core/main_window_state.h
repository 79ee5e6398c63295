// The window side of the framework core: one record per process.
#pragma once

#include "platform/win_types.h"

struct MainWindowState {
    HWND windowHandle;  // null before the window exists
};

extern MainWindowState MainWindow;

HWND GetMainWindowHandle();
