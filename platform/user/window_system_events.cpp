// What the host reports, as window messages, and the mirror it reads.
#include "platform/user/window_system_events.h"

#include "platform/user/window_system.h"

namespace platform::detail {
namespace {

// Under the lock: the record of a window still in the normal placement, or null.
std::shared_ptr<WindowRecord> NormalWindowLocked(HWND window) {
    std::shared_ptr<WindowRecord> record = FindWindowRecordLocked(window);
    if (!record || record->placement != Placement::Normal || record->destroying) return nullptr;
    return record;
}

void ApplyProposedRect(HWND window, const RECT& proposed) {
    {
        std::lock_guard<std::mutex> guard(WindowLock());
        std::shared_ptr<WindowRecord> record = NormalWindowLocked(window);
        if (!record) return;
        record->normalRect = proposed;
    }
    NotifyGeometry(window, true);
}

}  // namespace

std::vector<WindowMirror> TakeWindowMirrors(DWORD threadId) {
    std::vector<WindowMirror> mirrors;
    std::lock_guard<std::mutex> guard(WindowLock());
    for (const auto& record : AllWindowsLocked()) {
        if (record->threadId != threadId) continue;
        WindowMirror mirror;
        mirror.handle = record->handle;
        mirror.visible = IsVisible(*record);
        mirror.placement = record->placement;
        mirror.client = ClientRectOnScreenLocked(*record);
        mirror.text = record->text;
        mirror.bordered = (record->style & (WS_CAPTION | WS_THICKFRAME)) != 0;
        mirror.resizable = (record->style & WS_THICKFRAME) != 0;
        mirror.topmost = (record->exStyle & WS_EX_TOPMOST) != 0;
        mirror.icon = record->bigIcon != nullptr        ? record->bigIcon
                      : record->windowClass->icon != nullptr ? record->windowClass->icon
                                                            : record->smallIcon;
        mirror.raise = record->raiseRequested;
        record->raiseRequested = false;
        mirror.pixelsChanged = record->pixelsChanged;
        if (record->pixelsChanged) {
            mirror.pixelWidth = record->pixelWidth;
            mirror.pixelHeight = record->pixelHeight;
            mirror.pixels = record->pixels;
            record->pixelsChanged = false;
        }
        mirrors.push_back(std::move(mirror));
    }
    return mirrors;
}

namespace events {

void ClientMoved(HWND window, LONG x, LONG y) {
    RECT proposed{};
    {
        std::lock_guard<std::mutex> guard(WindowLock());
        std::shared_ptr<WindowRecord> record = NormalWindowLocked(window);
        if (!record) return;
        const RECT client = ClientRectOnScreenLocked(*record);
        if (client.left == x && client.top == y) return;  // where we put it ourselves
        proposed = record->normalRect;
        proposed.left += x - client.left;
        proposed.right += x - client.left;
        proposed.top += y - client.top;
        proposed.bottom += y - client.top;
    }
    SendMessageA(window, WM_MOVING, 0, reinterpret_cast<LPARAM>(&proposed));
    ApplyProposedRect(window, proposed);
}

void ClientResized(HWND window, LONG width, LONG height) {
    RECT proposed{};
    {
        std::lock_guard<std::mutex> guard(WindowLock());
        std::shared_ptr<WindowRecord> record = NormalWindowLocked(window);
        if (!record) return;
        const RECT client = ClientRectOnScreenLocked(*record);
        if (Width(client) == width && Height(client) == height) return;
        proposed = record->normalRect;
        proposed.right += width - Width(client);
        proposed.bottom += height - Height(client);
    }
    // The host does not say which edge was dragged; the bottom-right corner
    // is where a window grows from.
    SendMessageA(window, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&proposed));
    ApplyProposedRect(window, proposed);
}

void PlacementChanged(HWND window, Placement placement) { SetPlacement(window, placement); }

void FocusChanged(HWND window, bool gained) {
    if (gained) {
        ActivateWindow(window, false);
        return;
    }
    bool active = false;
    {
        std::lock_guard<std::mutex> guard(WindowLock());
        active = ActiveWindowLocked() == window;
    }
    if (active) ActivateWindow(nullptr, false);
}

void CloseRequested(HWND window) { PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

void Gone(HWND window) { DestroyWindow(window); }

void Exposed(HWND window) {
    std::lock_guard<std::mutex> guard(WindowLock());
    std::shared_ptr<WindowRecord> record = FindWindowRecordLocked(window);
    if (record && IsVisible(*record)) InvalidateClientLocked(*record);
}

void Key(HWND window, UINT virtualKey, UINT scanCode, bool extended, bool down, bool repeat, bool altHeld,
         bool controlHeld) {
    const bool system = (altHeld && !controlHeld) || virtualKey == VK_F10;
    const UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    DWORD flags = 1;  // repeat count
    flags |= (scanCode & 0xFF) << 16;
    if (extended) flags |= 1u << 24;
    if (altHeld && system) flags |= 1u << 29;
    if (repeat || !down) flags |= 1u << 30;  // the key was down before
    if (!down) flags |= 1u << 31;
    PostMessageA(window, message, virtualKey, static_cast<LPARAM>(flags));
}

void Text(HWND window, const std::string& shiftJis) {
    for (unsigned char byte : shiftJis) PostMessageA(window, WM_CHAR, byte, 1);
}

void Mouse(HWND window, UINT message, LONG x, LONG y, WPARAM keys) {
    POINT screen{x, y};
    if (!ClientToScreen(window, &screen)) return;
    SetCursorPosition(screen);
    const LRESULT hit = SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
    SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(hit, message));
    PostMessageA(window, message, keys, MAKELPARAM(x, y));
}

}  // namespace events
}  // namespace platform::detail
