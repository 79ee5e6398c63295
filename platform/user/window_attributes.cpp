// A window's attributes: styles and window procedure (Get/SetWindowLong),
// its text and its region.
#include "platform/kernel/kernel.h"
#include "platform/user/window_records.h"
#include "platform/user/window_system.h"

using namespace platform::detail;

namespace {

// Reads (and with `value`, replaces) an attribute; false for an unknown
// window or index.
bool AccessAttribute(HWND window, int index, const LONG_PTR* value, LONG_PTR& previous) {
    std::lock_guard<std::mutex> guard(WindowLock());
    std::shared_ptr<WindowRecord> record = FindWindowRecordLocked(window);
    if (!record) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    switch (index) {
        case GWL_STYLE:
            previous = static_cast<LONG>(record->style);
            if (value) record->style = static_cast<DWORD>(*value);
            return true;
        case GWL_EXSTYLE:
            previous = static_cast<LONG>(record->exStyle);
            if (value) record->exStyle = static_cast<DWORD>(*value);
            return true;
        case GWLP_WNDPROC:
            previous = reinterpret_cast<LONG_PTR>(record->procedure);
            if (value) record->procedure = reinterpret_cast<WNDPROC>(*value);
            return true;
        default: SetLastError(ERROR_INVALID_INDEX); return false;
    }
}

}  // namespace

LONG WINAPI GetWindowLongA(HWND window, int index) {
    if (index == GWL_WNDPROC) {  // would be cut to 32 bits
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    LONG_PTR previous = 0;
    return AccessAttribute(window, index, nullptr, previous) ? static_cast<LONG>(previous) : 0;
}

LONG WINAPI SetWindowLongA(HWND window, int index, LONG value) {
    if (index == GWL_WNDPROC) {  // a 32-bit value cannot hold a procedure here
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    const LONG_PTR wide = value;
    LONG_PTR previous = 0;
    return AccessAttribute(window, index, &wide, previous) ? static_cast<LONG>(previous) : 0;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND window, int index) {
    LONG_PTR previous = 0;
    return AccessAttribute(window, index, nullptr, previous) ? previous : 0;
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
    if (index == GWLP_WNDPROC && value == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    LONG_PTR previous = 0;
    return AccessAttribute(window, index, &value, previous) ? previous : 0;
}

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text) {
    if (!FindWindowRecord(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0 ? TRUE : FALSE;
}

int WINAPI SetWindowRgn(HWND window, HRGN region, BOOL redraw) {
    std::lock_guard<std::mutex> guard(WindowLock());
    std::shared_ptr<WindowRecord> record = FindWindowRecordLocked(window);
    if (!record) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    record->region = region;
    return 1;
}
