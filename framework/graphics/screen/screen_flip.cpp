// The software path's frame pacing: the DirectDraw object tells whether the
// display is in its vertical blank and waits for the next one.
#include "framework/graphics/screen/screen_flip.h"

#include "framework/graphics/device/graphics_device.h"
#include "platform/platform.h"

namespace {
int WaitVSync = 1;
DWORD LastVerticalBlankTime = 0;
}  // namespace

int GetWaitVSyncFlag() { return WaitVSync; }

int SetWaitVSyncFlag(int flag) {
    WaitVSync = flag;
    return 0;
}

DWORD WaitVerticalBlankInterval() {
    Sleep(0);
    IDirectDraw7* directDraw = GetDirectDrawObject();
    if (directDraw != nullptr) {
        BOOL inBlank = FALSE;
        directDraw->GetVerticalBlankStatus(&inBlank);
        if (!inBlank) directDraw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr);
    }
    LastVerticalBlankTime = timeGetTime();
    return LastVerticalBlankTime;
}

DWORD GetLastVerticalBlankTime() { return LastVerticalBlankTime; }
