// GetDesktopWindow: one fixed handle for the whole process.
#include "platform/user/user.h"

HWND WINAPI GetDesktopWindow(void) {
    // Below the range that window and GDI handles count up in (from
    // 0x20000000) and far above the kernel's, so it never names an object.
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1FFFFFF0u));
}
