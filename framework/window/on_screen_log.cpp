// The on-screen log: its font, made once the window and the graphics are up,
// and the display flag that the screen flip asks every frame.
#include "framework/base/log.h"

#include "framework/window/main_window_state.h"
#include "framework/graphics/font/font_handles.h"
#include "framework/graphics/device/graphics_device.h"

namespace {

int OnScreenLogInitialised = 0;
int OnScreenLogFontSize = 0;
int OnScreenLogFontHandle = -1;
int OnScreenLogFontGone = 0;  // 1 while there is no font
int OnScreenLogDisplayFlag = 0;

}  // namespace

int InitOnScreenLog() {
    if (GetDirectDrawObject() == nullptr || GetMainWindowHandle() == nullptr) return -1;
    if (OnScreenLogInitialised) return 0;
    OnScreenLogInitialised = 1;
    OnScreenLogFontSize = 16;
    OnScreenLogFontHandle = -1;
    OnScreenLogFontGone = 1;
    RefreshOnScreenLogFont();
    OnScreenLogDisplayFlag = 0;
    return 0;
}

int RefreshOnScreenLogFont() {
    if (!OnScreenLogInitialised && InitOnScreenLog() == -1) return 0;
    if (OnScreenLogFontGone) {
        OnScreenLogFontHandle =
            CreateFontToHandle(nullptr, OnScreenLogFontSize, 4, 1, -1, -1, 0, -1);
        OnScreenLogFontGone = 0;
        // The font system sets the flag again whenever it deletes this font.
        SetFontDeleteFlagPointer(OnScreenLogFontHandle, &OnScreenLogFontGone);
    }
    return 0;
}

int GetOnScreenLogFlag() { return OnScreenLogDisplayFlag; }

// Reached only while the display flag is on, which nothing switches on.
int DrawOnScreenLog() { return 0; }

void EndOnScreenLog() {
    if (!OnScreenLogInitialised) return;
    if (!OnScreenLogFontGone) DeleteFontHandle(OnScreenLogFontHandle);
    OnScreenLogFontGone = 1;
    OnScreenLogFontHandle = -1;
    OnScreenLogInitialised = 0;
}
