// Where windows stand and whether they show: AdjustWindowRectEx, the
// rectangle queries, SetWindowPos, MoveWindow, ShowWindow, and the WM_SIZE
// and WM_MOVE notices that follow every change.
#include <algorithm>

#include "platform/kernel/kernel.h"
#include "platform/user/window_records.h"
#include "platform/user/window_system.h"

namespace platform::detail {
namespace {

enum class Activation { Activate, None, Deactivate };

WPARAM SizeKind(Placement placement) {
    switch (placement) {
        case Placement::Minimized: return SIZE_MINIMIZED;
        case Placement::Maximized: return SIZE_MAXIMIZED;
        case Placement::Normal: break;
    }
    return SIZE_RESTORED;
}

// Under the lock: the placement and the style bits that tell it.
void ApplyPlacementLocked(WindowRecord& window, Placement placement, const RECT& desktop) {
    if (window.placement == placement) return;
    const bool wasMinimized = window.placement == Placement::Minimized;
    window.placement = placement;
    window.style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
    if (placement == Placement::Minimized) window.style |= WS_MINIMIZE;
    if (placement == Placement::Maximized) {
        window.style |= WS_MAXIMIZE;
        window.maximizedRect = desktop;
    }
    if (wasMinimized && IsVisible(window)) InvalidateClientLocked(window);
}

RECT DesktopRect() {
    LONG width = 0, height = 0;
    DesktopSize(width, height);
    return RECT{0, 0, width, height};
}

}  // namespace

void NotifyGeometry(HWND window, bool redraw) {
    // WM_SIZE first, then WM_MOVE, each from the state as it is when the
    // message goes out: a window procedure that moves the window again while
    // handling one of them has already been told of that change.
    WPARAM kind = 0;
    LPARAM size = 0;
    bool sendSize = false;
    {
        std::lock_guard<std::mutex> guard(WindowLock());
        std::shared_ptr<WindowRecord> record = FindWindowRecordLocked(window);
        if (!record) return;
        const RECT client = ClientRectOnScreenLocked(*record);
        const bool resized = !record->sizeNotified || Width(client) != record->notifiedWidth ||
                             Height(client) != record->notifiedHeight;
        if (resized || record->notifiedPlacement != record->placement) {
            sendSize = true;
            record->sizeNotified = true;
            record->notifiedWidth = Width(client);
            record->notifiedHeight = Height(client);
            record->notifiedPlacement = record->placement;
            kind = SizeKind(record->placement);
            size = MAKELPARAM(Width(client), Height(client));
            if (resized && redraw && IsVisible(*record)) InvalidateClientLocked(*record);
        }
    }
    if (sendSize) SendMessageA(window, WM_SIZE, kind, size);

    LPARAM origin = 0;
    {
        std::lock_guard<std::mutex> guard(WindowLock());
        std::shared_ptr<WindowRecord> record = FindWindowRecordLocked(window);
        if (!record) return;
        const RECT client = ClientRectOnScreenLocked(*record);
        if (record->moveNotified && record->notifiedOrigin.x == client.left &&
            record->notifiedOrigin.y == client.top)
            return;
        record->moveNotified = true;
        record->notifiedOrigin = POINT{client.left, client.top};
        origin = MAKELPARAM(client.left, client.top);
    }
    SendMessageA(window, WM_MOVE, 0, origin);
}

void SetPlacement(HWND window, Placement placement) {
    const RECT desktop = DesktopRect();
    {
        std::lock_guard<std::mutex> guard(WindowLock());
        std::shared_ptr<WindowRecord> record = FindWindowRecordLocked(window);
        if (!record) return;
        ApplyPlacementLocked(*record, placement, desktop);
    }
    NotifyGeometry(window, true);
}

}  // namespace platform::detail

using namespace platform::detail;

BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle) {
    if (rect == nullptr) return FALSE;
    const FrameInsets insets = InsetsFor(style, exStyle, menu != FALSE);
    rect->left -= insets.left;
    rect->top -= insets.top;
    rect->right += insets.right;
    rect->bottom += insets.bottom;
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect) {
    std::lock_guard<std::mutex> guard(WindowLock());
    std::shared_ptr<WindowRecord> record = FindWindowRecordLocked(window);
    if (!record || rect == nullptr) {
        SetLastError(record ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    *rect = CurrentWindowRectLocked(*record);
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND window, LPRECT rect) {
    std::lock_guard<std::mutex> guard(WindowLock());
    std::shared_ptr<WindowRecord> record = FindWindowRecordLocked(window);
    if (!record || rect == nullptr) {
        SetLastError(record ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const RECT client = ClientRectOnScreenLocked(*record);
    *rect = RECT{0, 0, Width(client), Height(client)};
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND window, LPPOINT point) {
    std::lock_guard<std::mutex> guard(WindowLock());
    std::shared_ptr<WindowRecord> record = FindWindowRecordLocked(window);
    if (!record || point == nullptr) {
        SetLastError(record ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const RECT client = ClientRectOnScreenLocked(*record);
    point->x += client.left;
    point->y += client.top;
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    bool wasVisible = false, hidden = false, wasActive = false;
    {
        std::lock_guard<std::mutex> guard(WindowLock());
        std::shared_ptr<WindowRecord> record = FindWindowRecordLocked(window);
        if (!record) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        RECT& rect = CurrentWindowRectLocked(*record);
        if (!(flags & SWP_NOMOVE)) {
            rect.right += x - rect.left;
            rect.bottom += y - rect.top;
            rect.left = x;
            rect.top = y;
        }
        if (!(flags & SWP_NOSIZE)) {
            rect.right = rect.left + std::max(width, 0);
            rect.bottom = rect.top + std::max(height, 0);
        }
        if (!(flags & SWP_NOZORDER)) {
            if (insertAfter == HWND_TOPMOST) record->exStyle |= WS_EX_TOPMOST;
            if (insertAfter == HWND_NOTOPMOST) record->exStyle &= ~WS_EX_TOPMOST;
        }
        wasVisible = IsVisible(*record);
        if ((flags & SWP_SHOWWINDOW) && !wasVisible) {
            record->style |= WS_VISIBLE;
            if (!(flags & SWP_NOREDRAW)) InvalidateClientLocked(*record);
        }
        if ((flags & SWP_HIDEWINDOW) && wasVisible) {
            record->style &= ~WS_VISIBLE;
            hidden = true;
        }
        wasActive = ActiveWindowLocked() == window;
    }
    if (hidden && wasActive) ActivateWindow(nullptr, false);
    if (!(flags & SWP_NOACTIVATE) && !hidden) ActivateWindow(window, true);
    NotifyGeometry(window, !(flags & SWP_NOREDRAW));
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(window, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0u : SWP_NOREDRAW));
}

BOOL WINAPI ShowWindow(HWND window, int command) {
    Activation activation = Activation::Activate;
    bool changesPlacement = true;
    Placement placement = Placement::Normal;
    switch (command) {
        case SW_HIDE: activation = Activation::Deactivate; break;
        case SW_SHOWNORMAL:
        case SW_RESTORE:
        case SW_SHOWDEFAULT: break;
        case SW_SHOW: changesPlacement = false; break;
        case SW_SHOWNA:
            changesPlacement = false;
            activation = Activation::None;
            break;
        case SW_SHOWNOACTIVATE: activation = Activation::None; break;
        case SW_SHOWMAXIMIZED: placement = Placement::Maximized; break;
        case SW_SHOWMINIMIZED: placement = Placement::Minimized; break;
        case SW_MINIMIZE:
            placement = Placement::Minimized;
            activation = Activation::Deactivate;
            break;
        case SW_SHOWMINNOACTIVE:
            placement = Placement::Minimized;
            activation = Activation::None;
            break;
        default: SetLastError(ERROR_INVALID_PARAMETER); return FALSE;
    }

    const RECT desktop = DesktopRect();
    bool wasVisible = false, wasActive = false;
    {
        std::lock_guard<std::mutex> guard(WindowLock());
        std::shared_ptr<WindowRecord> record = FindWindowRecordLocked(window);
        if (!record) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        wasVisible = IsVisible(*record);
        wasActive = ActiveWindowLocked() == window;
        if (command == SW_HIDE) {
            if (!wasVisible) return FALSE;
            record->style &= ~WS_VISIBLE;
        } else {
            record->style |= WS_VISIBLE;
            if (!wasVisible) InvalidateClientLocked(*record);
            if (changesPlacement) ApplyPlacementLocked(*record, placement, desktop);
        }
    }
    if (activation == Activation::Activate) ActivateWindow(window, true);
    if (activation == Activation::Deactivate && wasActive) ActivateWindow(nullptr, false);
    if (command != SW_HIDE) NotifyGeometry(window, true);
    return wasVisible ? TRUE : FALSE;
}
