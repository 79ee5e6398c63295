// Making and destroying windows: CreateWindowExA and DestroyWindow.
#include <algorithm>

#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/host_display.h"
#include "platform/user/message_queue.h"
#include "platform/user/window_records.h"
#include "platform/user/window_system.h"

using namespace platform::detail;

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID parameter) {
    auto record = std::make_shared<WindowRecord>();
    std::shared_ptr<ThreadQueue> queue = CurrentThreadQueue();
    {
        std::lock_guard<std::mutex> guard(WindowLock());
        std::shared_ptr<WindowClassRecord> windowClass = FindClassLocked(className);
        if (!windowClass) {
            SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
            return nullptr;
        }
        record->handle = static_cast<HWND>(NewUserHandle());
        record->windowClass = windowClass;
        record->procedure = windowClass->procedure;
        // Shown, minimised and maximised come from ShowWindow below.
        record->style = style & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
        record->exStyle = exStyle;
        record->text = windowName != nullptr ? windowName : "";
        record->instance = instance;
        record->menu = menu;
        record->threadId = queue->threadId;
        record->queue = queue;
        record->normalRect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
        // Where a minimised window's icon stands, far off the desktop.
        const platform::FrameMetrics& metrics = platform::Profile().display.frame;
        record->iconicRect = RECT{-32000, -32000, -32000 + 160, -32000 + metrics.caption + 2 * metrics.fixedFrame};
        record->classLockFile = TakeClassLock(windowClass->name);
        ++windowClass->windowCount;
        AddWindowLocked(record);
    }
    const HWND window = record->handle;
    MirrorHostWindows();

    CREATESTRUCTA creation{parameter, instance, menu,  parent,           height,     width,
                           y,         x,        static_cast<LONG>(style), windowName, className, exStyle};
    if (SendMessageA(window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&creation)) == -1) {
        DestroyWindow(window);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!FindWindowRecord(window)) return nullptr;  // destroyed by its own WM_CREATE

    if (style & WS_VISIBLE)
        ShowWindow(window, (style & WS_MAXIMIZE)   ? SW_SHOWMAXIMIZED
                           : (style & WS_MINIMIZE) ? SW_SHOWMINIMIZED
                                                   : SW_SHOW);
    return window;
}

BOOL WINAPI DestroyWindow(HWND window) {
    std::shared_ptr<WindowRecord> record = FindWindowRecord(window);
    if (!record) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (record->threadId != GetCurrentThreadId()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    bool wasActive = false;
    {
        std::lock_guard<std::mutex> guard(WindowLock());
        if (record->destroying) return TRUE;  // asked again from its own WM_DESTROY
        record->destroying = true;
        record->style &= ~WS_VISIBLE;
        wasActive = ActiveWindowLocked() == window;
    }
    if (wasActive) ActivateWindow(nullptr, false);

    SendMessageA(window, WM_DESTROY, 0, 0);

    int classLock = -1;
    {
        std::lock_guard<std::mutex> guard(WindowLock());
        RemoveWindowLocked(window);
        --record->windowClass->windowCount;
        classLock = record->classLockFile;
        record->classLockFile = -1;
    }
    ForgetWindowMessages(*record->queue, window);
    ReleaseClassLock(classLock);
    MirrorHostWindows();
    return TRUE;
}
