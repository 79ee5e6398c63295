// The window side of framework shutdown: everything the window holds is given
// back, and the window itself goes through its own WM_CLOSE.
#include "framework/window/dropped_files.h"
#include "framework/window/inactive_picture.h"
#include "framework/window/layered_window.h"
#include "framework/window/main_window.h"
#include "framework/window/menus.h"
#include "framework/textinput/text_input.h"
#include "framework/window/tool_bar.h"
#include "framework/window/window_mode.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/image/pixel_image.h"
#include "platform/platform.h"

namespace {

void ReleaseWindowResources(HWND window) {
    MainWindowState& state = MainWindow;
    MainWindowSettings& settings = state.settings;

    state.cursorVisibleSetting = 1;
    if (state.cursorAppliedState != 1) {
        while (ShowCursor(TRUE) < 0) {
        }
        PostMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), 0);
        state.cursorAppliedState = 1;
    }
    if (state.messageHook != nullptr) {
        UnhookWindowsHookEx(state.messageHook);
        state.messageHook = nullptr;
    }
    if (settings.windowRegion != nullptr) {
        DeleteObject(settings.windowRegion);
        settings.windowRegion = nullptr;
    }
    if (settings.menuInUse) {
        if (settings.menuHandle != nullptr) {
            SetMenuDisplay(0);
            DestroyMenu(settings.menuHandle);
            settings.menuHandle = nullptr;
        }
        settings.menuInUse = 0;
        state.menuItemCount = 0;
    }
    if (state.toolBarExists && settings.windowModeFlag) {
        DeleteAllToolBarButtons();
        SendMessageA(state.toolBarWindow, WM_CLOSE, 0, 0);
        state.toolBarWindow = nullptr;
        DeleteObject(state.toolBarBitmap);
        state.toolBarBitmap = nullptr;
        state.toolBarExists = 0;
        ApplyWindowSizeAndPosition();
    }
}

}  // namespace

int DestroyMainWindow() {
    MainWindowState& state = MainWindow;
    MainWindowSettings& settings = state.settings;
    HWND window = state.windowHandle;
    if (window == nullptr) return 0;

    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, SPIF_SENDCHANGE);

    if (settings.noWindowFlag) {
        state.quitFlag = 1;
    } else {
        // Creation switched the input method off for the window; give it back.
        WINNLSEnableIME(window, TRUE);
        ReleaseWindowResources(window);
        if (settings.userWindowFlag) {
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(state.previousWindowProcedure));
            state.quitFlag = 1;
        } else {
            if (!state.closeRequested) {
                state.closeRequested = 1;
                PostMessageA(window, WM_CLOSE, 0, 0);
            }
            while (ProcessWindowMessages() == 0 && !state.windowDestroyed) {
            }
            UnregisterClassA(settings.className, state.instanceHandle);
        }
        DeleteAllKeyInputs();
        if (InactivePicture.set) {
            FreePixelImage(&InactivePicture.image);
            DeleteGraphicHandle(InactivePicture.graphicHandle, 0);
            InactivePicture.graphicHandle = 0;
        }
        FreeDroppedFileList();
    }

    TIMECAPS caps{};
    timeGetDevCaps(&caps, sizeof(caps));
    timeEndPeriod(caps.wPeriodMin);

    if (LayeredWindowBitmap.bitmap != nullptr) {
        DeleteObject(LayeredWindowBitmap.bitmap);
        LayeredWindowBitmap.bitmap = nullptr;
    }
    state.windowHandle = nullptr;
    return 0;
}
