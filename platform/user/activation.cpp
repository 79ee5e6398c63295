// Activation and focus: one active window for the program (none while the
// program is in the background), and the calls that change or report it.
// WM_ACTIVATEAPP goes to the windows of each thread that the activation
// leaves or reaches.
#include "platform/kernel/kernel.h"
#include "platform/user/window_records.h"
#include "platform/user/window_system.h"

namespace platform::detail {
namespace {

HWND activeWindow = nullptr;  // guarded by WindowLock()

bool StillActive(HWND window) {
    std::lock_guard<std::mutex> guard(WindowLock());
    return activeWindow == window;
}

}  // namespace

HWND ActiveWindowLocked() { return activeWindow; }

void ResetActivationLocked() { activeWindow = nullptr; }

bool ActivateWindow(HWND window, bool raise) {
    HWND previous = nullptr;
    bool previousMinimized = false, minimized = false;
    DWORD previousThread = 0, thread = 0;
    std::vector<HWND> leaving, coming;  // the windows of the threads losing and gaining activation
    {
        std::lock_guard<std::mutex> guard(WindowLock());
        previous = activeWindow;
        std::shared_ptr<WindowRecord> record;
        if (window != nullptr) {
            record = FindWindowRecordLocked(window);
            if (!record || !IsVisible(*record) || record->destroying) return false;
            minimized = record->placement == Placement::Minimized;
            thread = record->threadId;
        }
        if (window == previous) return true;
        if (record && raise) record->raiseRequested = true;
        if (std::shared_ptr<WindowRecord> before = FindWindowRecordLocked(previous)) {
            previousMinimized = before->placement == Placement::Minimized;
            previousThread = before->threadId;
        }
        activeWindow = window;
        if (previousThread != thread) {
            for (const auto& each : AllWindowsLocked()) {
                if (previousThread != 0 && each->threadId == previousThread) leaving.push_back(each->handle);
                if (thread != 0 && each->threadId == thread) coming.push_back(each->handle);
            }
        }
    }

    // The order a program sees: the window losing activation first, then
    // WM_ACTIVATEAPP to every window of a thread that loses or gains the
    // activation (lParam: the other thread), then the focus. A window
    // procedure that changes the activation again meanwhile ends this
    // sequence.
    if (previous != nullptr) {
        SendMessageA(previous, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, previousMinimized),
                     reinterpret_cast<LPARAM>(window));
        for (HWND each : leaving) SendMessageA(each, WM_ACTIVATEAPP, FALSE, static_cast<LPARAM>(thread));
        SendMessageA(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    }
    if (window == nullptr) return true;
    for (HWND each : coming)
        if (StillActive(window)) SendMessageA(each, WM_ACTIVATEAPP, TRUE, static_cast<LPARAM>(previousThread));
    if (StillActive(window))
        SendMessageA(window, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, minimized), reinterpret_cast<LPARAM>(previous));
    if (StillActive(window)) SendMessageA(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return true;
}

}  // namespace platform::detail

using namespace platform::detail;

HWND WINAPI SetActiveWindow(HWND window) {
    HWND previous = nullptr;
    {
        std::lock_guard<std::mutex> guard(WindowLock());
        previous = activeWindow;
    }
    if (!ActivateWindow(window, true)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return previous;
}

BOOL WINAPI SetForegroundWindow(HWND window) { return ActivateWindow(window, true) ? TRUE : FALSE; }

BOOL WINAPI BringWindowToTop(HWND window) {
    if (!FindWindowRecord(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    ActivateWindow(window, true);  // a hidden window only moves up
    return TRUE;
}

HWND WINAPI GetForegroundWindow(void) {
    std::lock_guard<std::mutex> guard(WindowLock());
    return activeWindow;
}

DWORD WINAPI GetWindowThreadProcessId(HWND window, LPDWORD processId) {
    std::shared_ptr<WindowRecord> record = FindWindowRecord(window);
    if (!record) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (processId != nullptr) *processId = GetCurrentProcessId();
    return record->threadId;
}

BOOL WINAPI AttachThreadInput(DWORD attachingThread, DWORD toThread, BOOL attach) {
    if (attachingThread == 0 || toThread == 0 || attachingThread == toThread) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}
