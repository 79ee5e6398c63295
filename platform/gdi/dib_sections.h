// DIB sections and the memory device contexts they are selected into, as the
// window manager reads them. Private to the platform.
#pragma once

#include <cstdint>

#include "platform/gdi/gdi.h"

namespace platform::detail {

// The bitmap selected into a memory device context, rows top down.
struct SelectedBitmap {
    const uint8_t* pixels = nullptr;  // the first (top) row
    LONG width = 0;
    LONG height = 0;
    LONG rowStep = 0;  // bytes from one row to the one below it (negative for a bottom-up section)
};

// False for a device context that is not a memory one, or holds only the
// stock bitmap.
bool FindSelectedBitmap(HDC memoryContext, SelectedBitmap& found);

// Frees a DIB section that no memory device context holds; false when the
// handle is no DIB section or it is still selected.
bool DeleteDibSection(HGDIOBJ bitmap);

}  // namespace platform::detail
