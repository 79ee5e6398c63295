// Brushes and FillRect.
#include <algorithm>
#include <map>
#include <mutex>

#include "platform/gdi/dib_sections.h"
#include "platform/gdi/font_objects.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/kernel.h"

namespace platform::detail {
namespace {

struct Brush {
    COLORREF color = 0;
    bool hollow = false;
    bool stock = false;
};

struct BrushTable {
    std::mutex lock;
    std::map<HGDIOBJ, Brush> brushes;
    HGDIOBJ stock[NULL_BRUSH + 1] = {};

    BrushTable() {
        const COLORREF colors[] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128),
                                   RGB(64, 64, 64),    RGB(0, 0, 0),       0};
        for (int index = WHITE_BRUSH; index <= NULL_BRUSH; ++index) {
            stock[index] = NewUserHandle();
            brushes[stock[index]] = Brush{colors[index], index == NULL_BRUSH, true};
        }
    }
};

BrushTable& Brushes() {
    static BrushTable* table = new BrushTable;  // outlives threads still running at exit
    return *table;
}

bool FindBrush(HBRUSH handle, Brush& found) {
    BrushTable& table = Brushes();
    std::lock_guard<std::mutex> guard(table.lock);
    auto match = table.brushes.find(handle);
    if (match == table.brushes.end()) return false;
    found = match->second;
    return true;
}

// Colour references are 0x00BBGGRR; pixels are 0x00RRGGBB.
uint32_t PixelOf(COLORREF color) {
    return (static_cast<uint32_t>(GetRValue(color)) << 16) | (static_cast<uint32_t>(GetGValue(color)) << 8) |
           GetBValue(color);
}

}  // namespace
}  // namespace platform::detail

using namespace platform::detail;

HGDIOBJ WINAPI GetStockObject(int index) {
    if (index < WHITE_BRUSH || index > NULL_BRUSH) return nullptr;
    return Brushes().stock[index];
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    HBRUSH handle = static_cast<HBRUSH>(NewUserHandle());
    BrushTable& table = Brushes();
    std::lock_guard<std::mutex> guard(table.lock);
    table.brushes[handle] = Brush{color & 0x00FFFFFFu, false, false};
    return handle;
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
    {
        BrushTable& table = Brushes();
        std::lock_guard<std::mutex> guard(table.lock);
        auto found = table.brushes.find(object);
        if (found != table.brushes.end()) {
            if (!found->second.stock) table.brushes.erase(found);
            return TRUE;
        }
    }
    // Not a brush: the other objects a program deletes are fonts and DIB sections.
    if (DeleteFont(object)) return TRUE;
    return DeleteDibSection(object) ? TRUE : FALSE;
}

int WINAPI FillRect(HDC deviceContext, const RECT* rect, HBRUSH brush) {
    DeviceContext context;
    Brush fill;
    if (rect == nullptr || !FindDeviceContext(deviceContext, context) || !FindBrush(brush, fill)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (fill.hollow || context.window == nullptr) return 1;  // nothing to paint, or the screen

    std::lock_guard<std::mutex> guard(WindowLock());
    std::shared_ptr<WindowRecord> window = FindWindowRecordLocked(context.window);
    if (!window) return 0;
    uint32_t* pixels = WindowPixelsLocked(*window);
    RECT area{std::max<LONG>(rect->left, 0), std::max<LONG>(rect->top, 0),
              std::min<LONG>(rect->right, window->pixelWidth), std::min<LONG>(rect->bottom, window->pixelHeight)};
    if (context.clipped) {
        area.left = std::max(area.left, context.clip.left);
        area.top = std::max(area.top, context.clip.top);
        area.right = std::min(area.right, context.clip.right);
        area.bottom = std::min(area.bottom, context.clip.bottom);
    }
    if (area.left >= area.right || area.top >= area.bottom) return 1;
    const uint32_t pixel = PixelOf(fill.color);
    for (LONG y = area.top; y < area.bottom; ++y)
        std::fill_n(pixels + static_cast<ptrdiff_t>(y) * window->pixelWidth + area.left, area.right - area.left,
                    pixel);
    window->pixelsChanged = true;
    return 1;
}
