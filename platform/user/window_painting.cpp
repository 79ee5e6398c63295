// What waits to be repainted: the update area that makes WM_PAINT, its
// validation, and UpdateWindow.
#include "platform/kernel/kernel.h"
#include "platform/user/window_records.h"
#include "platform/user/window_system.h"

namespace platform::detail {

bool FindWindowToPaint(DWORD threadId, HWND filter, HWND& window) {
    if (filter == HWND_THREAD_MESSAGES) return false;
    std::lock_guard<std::mutex> guard(WindowLock());
    for (const auto& record : AllWindowsLocked()) {
        if (record->threadId != threadId || !record->updatePending || !IsVisible(*record) || record->destroying)
            continue;
        if (filter != nullptr && record->handle != filter) continue;
        window = record->handle;
        return true;
    }
    return false;
}

bool ValidateWindow(HWND window, RECT* updated) {
    std::lock_guard<std::mutex> guard(WindowLock());
    std::shared_ptr<WindowRecord> record = FindWindowRecordLocked(window);
    if (!record || !record->updatePending) return false;
    record->updatePending = false;
    if (updated != nullptr) *updated = record->updateRect;
    record->updateRect = RECT{};
    return true;
}

}  // namespace platform::detail

using namespace platform::detail;

BOOL WINAPI UpdateWindow(HWND window) {
    std::shared_ptr<WindowRecord> record = FindWindowRecord(window);
    if (!record) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    bool waiting = false;
    {
        std::lock_guard<std::mutex> guard(WindowLock());
        waiting = record->updatePending && IsVisible(*record);
    }
    if (waiting) SendMessageA(window, WM_PAINT, 0, 0);
    return TRUE;
}
