#include "framework/graphics/screen/screen_mode.h"

#include "framework/window/main_window_state.h"

ScreenModeRequest RequestedScreenMode = {0, 0, 0, 0};

int GetScreenColorBitDepth() { return RequestedScreenMode.colorBits != 0 ? RequestedScreenMode.colorBits : 16; }

int GetMainScreenSize(int* width, int* height) {
    const bool set = RequestedScreenMode.width != 0 && RequestedScreenMode.height != 0;
    if (width != nullptr) *width = set ? RequestedScreenMode.width : 640;
    if (height != nullptr) *height = set ? RequestedScreenMode.height : 480;
    return 0;
}

int IsFullScreenMode() { return MainWindow.settings.windowModeFlag == 0 ? 1 : 0; }
