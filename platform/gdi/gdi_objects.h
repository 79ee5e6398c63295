// Device contexts, brushes and the client-area pixels of windows, as GDI's
// calls share them. Private to the platform.
#pragma once

#include <memory>

#include "platform/gdi/gdi.h"
#include "platform/user/window_records.h"

namespace platform::detail {

struct DeviceContext {
    HWND window = nullptr;  // null: the screen
    bool painting = false;  // made by BeginPaint, ended by EndPaint
    bool clipped = false;
    RECT clip{};  // client coordinates, when clipped
};

// A copy of the device context's record; false for an unknown handle.
bool FindDeviceContext(HDC deviceContext, DeviceContext& found);

// Under WindowLock(): the window's client-area pixels, resized to the client
// area first when it changed size (what was there is kept where the two
// overlap; new pixels are black).
uint32_t* WindowPixelsLocked(WindowRecord& window);

}  // namespace platform::detail
