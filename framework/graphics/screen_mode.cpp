// The screen is not set up by anything yet, so every query answers with the
// values that stand when nothing was requested.
#include "framework/graphics/screen_mode.h"

int GetScreenColorBitDepth() { return 16; }

int GetMainScreenSize(int* width, int* height) {
    if (width != nullptr) *width = 640;
    if (height != nullptr) *height = 480;
    return 0;
}
