// DefWindowProcA: what happens to a message that a window procedure hands on.
#include "platform/user/window_records.h"
#include "platform/user/window_system.h"

using namespace platform::detail;

namespace {

bool Contains(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

LRESULT HitTest(HWND window, LPARAM lParam) {
    const POINT point{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
    std::lock_guard<std::mutex> guard(WindowLock());
    std::shared_ptr<WindowRecord> record = FindWindowRecordLocked(window);
    if (!record) return HTNOWHERE;
    const RECT client = ClientRectOnScreenLocked(*record);
    if (Contains(client, point)) return HTCLIENT;
    if (!Contains(CurrentWindowRectLocked(*record), point)) return HTNOWHERE;
    if ((record->style & WS_CAPTION) == WS_CAPTION && point.y < client.top) return HTCAPTION;
    return HTBORDER;
}

}  // namespace

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE: DestroyWindow(window); return 0;

        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_CLOSE: SendMessageA(window, WM_CLOSE, 0, 0); break;
                case SC_MINIMIZE: ShowWindow(window, SW_MINIMIZE); break;
                case SC_MAXIMIZE: ShowWindow(window, SW_MAXIMIZE); break;
                case SC_RESTORE: ShowWindow(window, SW_RESTORE); break;
                default: break;
            }
            return 0;

        case WM_PAINT: ValidateWindow(window, nullptr); return 0;

        case WM_SETTEXT: {
            std::lock_guard<std::mutex> guard(WindowLock());
            std::shared_ptr<WindowRecord> record = FindWindowRecordLocked(window);
            if (!record) return FALSE;
            record->text = lParam != 0 ? reinterpret_cast<LPCSTR>(lParam) : "";
            return TRUE;
        }

        case WM_SETICON: {
            std::lock_guard<std::mutex> guard(WindowLock());
            std::shared_ptr<WindowRecord> record = FindWindowRecordLocked(window);
            if (!record) return 0;
            HICON& slot = wParam == ICON_BIG ? record->bigIcon : record->smallIcon;
            HICON previous = slot;
            slot = reinterpret_cast<HICON>(lParam);
            return reinterpret_cast<LRESULT>(previous);
        }

        case WM_SETCURSOR: {
            // Over the client area the class cursor; a framework that hid the
            // cursor keeps it hidden through the display count.
            if (LOWORD(lParam) != HTCLIENT) return FALSE;
            HCURSOR cursor = nullptr;
            {
                std::lock_guard<std::mutex> guard(WindowLock());
                std::shared_ptr<WindowRecord> record = FindWindowRecordLocked(window);
                if (!record || record->windowClass->cursor == nullptr) return FALSE;
                cursor = record->windowClass->cursor;
            }
            SetCursor(cursor);
            return TRUE;
        }

        case WM_NCHITTEST: return HitTest(window, lParam);

        case WM_SIZING:
        case WM_MOVING: return TRUE;

        default: return 0;
    }
}
