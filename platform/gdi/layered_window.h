// The layered-window call, and what tests read of its last use. Private to
// the platform (and to tests). A user32 call, kept with GDI: it takes its
// picture from a device context's bitmap, and the window system below knows
// nothing of device contexts.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/user/user.h"

// Reached by programs only through GetProcAddress(user32, "UpdateLayeredWindow").
BOOL WINAPI UpdateLayeredWindow(HWND window, HDC screen, POINT* destinationPoint, SIZE* size, HDC source,
                                POINT* sourcePoint, DWORD key, BLENDFUNCTION* blend, DWORD flags);

namespace platform {

// The last call that a window took, with a copy of the picture it was given.
struct LayeredWindowUpdate {
    HWND window = nullptr;
    HDC screen = nullptr;
    bool hasDestination = false;
    POINT destination{};
    SIZE size{};
    HDC source = nullptr;
    POINT sourcePoint{};
    DWORD key = 0;
    bool hasBlend = false;
    BLENDFUNCTION blend{};
    DWORD flags = 0;
    // size.cx x size.cy pixels, rows top down, as 32-bit values read from the
    // source bitmap (little-endian: blue, green, red, alpha).
    std::vector<uint32_t> pixels;
    int callCount = 0;  // calls the window took since ResetMachine()
};

// False when the window took no call since ResetMachine().
bool LastLayeredWindowUpdate(HWND window, LayeredWindowUpdate& update);

}  // namespace platform
