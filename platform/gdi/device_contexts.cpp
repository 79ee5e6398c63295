// Device contexts: the screen's and a window's, those of painting, device
// capabilities, and the client-area pixels they draw into.
#include <algorithm>
#include <map>
#include <mutex>

#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/window_system.h"

namespace platform::detail {
namespace {

struct ContextTable {
    std::mutex lock;
    std::map<HDC, DeviceContext> contexts;
};

ContextTable& Contexts() {
    static ContextTable* table = new ContextTable;  // outlives threads still running at exit
    return *table;
}

HDC AddContext(const DeviceContext& context) {
    HDC handle = static_cast<HDC>(NewUserHandle());
    ContextTable& table = Contexts();
    std::lock_guard<std::mutex> guard(table.lock);
    table.contexts[handle] = context;
    return handle;
}

// Removes a context of the given kind made for the window; false when there
// is none.
bool RemoveContext(HDC deviceContext, HWND window, bool painting) {
    ContextTable& table = Contexts();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.contexts.find(deviceContext);
    if (found == table.contexts.end() || found->second.window != window || found->second.painting != painting)
        return false;
    table.contexts.erase(found);
    return true;
}

}  // namespace

bool FindDeviceContext(HDC deviceContext, DeviceContext& found) {
    ContextTable& table = Contexts();
    std::lock_guard<std::mutex> guard(table.lock);
    auto match = table.contexts.find(deviceContext);
    if (match == table.contexts.end()) return false;
    found = match->second;
    return true;
}

uint32_t* WindowPixelsLocked(WindowRecord& window) {
    const RECT client = ClientRectOnScreenLocked(window);
    const LONG width = Width(client), height = Height(client);
    if (width != window.pixelWidth || height != window.pixelHeight) {
        std::vector<uint32_t> resized(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
        const LONG keepWidth = std::min(width, window.pixelWidth), keepHeight = std::min(height, window.pixelHeight);
        for (LONG y = 0; y < keepHeight; ++y)
            std::copy_n(window.pixels.begin() + static_cast<ptrdiff_t>(y) * window.pixelWidth, keepWidth,
                        resized.begin() + static_cast<ptrdiff_t>(y) * width);
        window.pixels.swap(resized);
        window.pixelWidth = width;
        window.pixelHeight = height;
    }
    return window.pixels.data();
}

}  // namespace platform::detail

using namespace platform::detail;

HDC WINAPI GetDC(HWND window) {
    if (window != nullptr && !FindWindowRecord(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return AddContext(DeviceContext{window, false, false, {}});
}

int WINAPI ReleaseDC(HWND window, HDC deviceContext) { return RemoveContext(deviceContext, window, false) ? 1 : 0; }

HDC WINAPI BeginPaint(HWND window, LPPAINTSTRUCT paint) {
    if (paint == nullptr || !FindWindowRecord(window)) {
        SetLastError(paint == nullptr ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    RECT updated{};
    const bool waiting = ValidateWindow(window, &updated);
    *paint = PAINTSTRUCT{};
    paint->fErase = waiting ? TRUE : FALSE;
    paint->rcPaint = updated;
    paint->hdc = AddContext(DeviceContext{window, true, true, updated});
    return paint->hdc;
}

BOOL WINAPI EndPaint(HWND window, const PAINTSTRUCT* paint) {
    if (paint != nullptr) RemoveContext(paint->hdc, window, true);
    return TRUE;
}

int WINAPI GetDeviceCaps(HDC deviceContext, int index) {
    DeviceContext context;
    if (!FindDeviceContext(deviceContext, context)) return 0;
    LONG width = 0, height = 0;
    switch (index) {
        case HORZRES:
        case VERTRES:
            DesktopSize(width, height);
            return index == HORZRES ? width : height;
        case BITSPIXEL: return platform::Profile().display.desktopBitsPerPixel;
        case PLANES: return 1;
        default: return 0;
    }
}
