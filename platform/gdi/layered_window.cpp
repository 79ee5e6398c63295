// Layered windows: the per-pixel-alpha (or colour-keyed) picture of a
// WS_EX_LAYERED window. The picture is kept as the window's last update and
// shown in its client area over black, as far as the client area reaches
// into it; the window is not moved.
#include "platform/gdi/layered_window.h"

#include <map>
#include <mutex>

#include "platform/gdi/dib_sections.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/window_records.h"

namespace {

struct UpdateTable {
    std::mutex lock;
    std::map<HWND, platform::LayeredWindowUpdate> byWindow;
};

UpdateTable& Updates() {
    static UpdateTable* table = new UpdateTable;  // outlives threads still running at exit
    return *table;
}

void ForgetUpdates() {
    UpdateTable& table = Updates();
    std::lock_guard<std::mutex> guard(table.lock);
    table.byWindow.clear();
}

const platform::ResetHook kUpdatesReset(ForgetUpdates);

// As the window shows it: premultiplied colour over black, or black where
// the colour key matches.
uint32_t Shown(uint32_t pixel, const platform::LayeredWindowUpdate& update) {
    if (update.flags & ULW_COLORKEY) {
        const uint32_t keyAsPixel = ((update.key & 0xFF) << 16) | (update.key & 0xFF00) | ((update.key >> 16) & 0xFF);
        if ((pixel & 0x00FFFFFFu) == keyAsPixel) return 0;
    }
    return pixel & 0x00FFFFFFu;
}

void ShowInClientArea(const platform::LayeredWindowUpdate& update) {
    using namespace platform::detail;
    std::lock_guard<std::mutex> guard(WindowLock());
    std::shared_ptr<WindowRecord> window = FindWindowRecordLocked(update.window);
    if (!window) return;
    const RECT outer = CurrentWindowRectLocked(*window);
    const RECT client = ClientRectOnScreenLocked(*window);
    uint32_t* pixels = WindowPixelsLocked(*window);
    // The picture's top-left corner lies on the window's.
    const LONG offsetX = client.left - outer.left, offsetY = client.top - outer.top;
    for (LONG y = 0; y < window->pixelHeight; ++y) {
        const LONG row = y + offsetY;
        for (LONG x = 0; x < window->pixelWidth; ++x) {
            const LONG column = x + offsetX;
            const bool inside = row >= 0 && row < update.size.cy && column >= 0 && column < update.size.cx;
            pixels[static_cast<size_t>(y) * window->pixelWidth + x] =
                inside ? Shown(update.pixels[static_cast<size_t>(row) * update.size.cx + column], update) : 0;
        }
    }
    window->pixelsChanged = true;
}

}  // namespace

BOOL WINAPI UpdateLayeredWindow(HWND window, HDC screen, POINT* destinationPoint, SIZE* size, HDC source,
                                POINT* sourcePoint, DWORD key, BLENDFUNCTION* blend, DWORD flags) {
    std::shared_ptr<platform::detail::WindowRecord> record = platform::detail::FindWindowRecord(window);
    if (!record) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    platform::detail::SelectedBitmap bitmap;
    const POINT from = sourcePoint != nullptr ? *sourcePoint : POINT{0, 0};
    if ((record->exStyle & WS_EX_LAYERED) == 0 || size == nullptr || size->cx <= 0 || size->cy <= 0 ||
        !platform::detail::FindSelectedBitmap(source, bitmap) || from.x < 0 || from.y < 0 ||
        from.x > bitmap.width - size->cx || from.y > bitmap.height - size->cy) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }

    platform::LayeredWindowUpdate update;
    update.window = window;
    update.screen = screen;
    update.hasDestination = destinationPoint != nullptr;
    if (destinationPoint != nullptr) update.destination = *destinationPoint;
    update.size = *size;
    update.source = source;
    update.sourcePoint = from;
    update.key = key;
    update.hasBlend = blend != nullptr;
    if (blend != nullptr) update.blend = *blend;
    update.flags = flags;
    update.pixels.resize(static_cast<size_t>(size->cx) * static_cast<size_t>(size->cy));
    for (LONG y = 0; y < size->cy; ++y) {
        const uint8_t* row = bitmap.pixels + static_cast<ptrdiff_t>(from.y + y) * bitmap.rowStep + from.x * 4;
        for (LONG x = 0; x < size->cx; ++x) {
            const uint8_t* pixel = row + x * 4;
            update.pixels[static_cast<size_t>(y) * size->cx + x] =
                static_cast<uint32_t>(pixel[0]) | (static_cast<uint32_t>(pixel[1]) << 8) |
                (static_cast<uint32_t>(pixel[2]) << 16) | (static_cast<uint32_t>(pixel[3]) << 24);
        }
    }
    ShowInClientArea(update);

    UpdateTable& table = Updates();
    std::lock_guard<std::mutex> guard(table.lock);
    platform::LayeredWindowUpdate& kept = table.byWindow[window];
    update.callCount = kept.callCount + 1;
    kept = std::move(update);
    return TRUE;
}

namespace platform {

bool LastLayeredWindowUpdate(HWND window, LayeredWindowUpdate& update) {
    UpdateTable& table = Updates();
    std::lock_guard<std::mutex> guard(table.lock);
    const auto found = table.byWindow.find(window);
    if (found == table.byWindow.end()) return false;
    update = found->second;
    return true;
}

}  // namespace platform
