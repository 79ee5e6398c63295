// The graphics system is not started in this build: there is no screen to set
// up again, and no restore routine is registered.
#include "framework/graphics/screen_mode_change.h"

#include "framework/graphics/screen_mode.h"

int ApplyScreenModeChange(int width, int height, int colorBits, int force, int refreshRate) { return 0; }

int ReapplyScreenMode() { return 0; }

int GetScreenModeInfo(int* width, int* height, int* colorBits) {
    GetMainScreenSize(width, height);
    if (colorBits != nullptr) *colorBits = GetScreenColorBitDepth();
    return 0;
}

int IsGraphicsRestoreCallbackSet() { return 0; }
