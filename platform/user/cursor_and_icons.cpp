// The cursor (its shape, display count, position and clip rectangle) and
// icons (the stock application icon and the icon resources the platform has
// been given). The host shows the cursor while CursorShown() holds and puts
// icons with pixels on its windows.
#include <algorithm>
#include <map>

#include "platform/kernel/kernel.h"
#include "platform/user/icon_resources.h"
#include "platform/user/window_records.h"
#include "platform/user/window_system.h"

namespace platform::detail {
namespace {

constexpr WORD kStockResourceId = 32512;  // IDC_ARROW and IDI_APPLICATION

struct CursorState {
    // Its own lock: the position is read when messages are posted, with a
    // queue lock held.
    std::mutex lock;
    HCURSOR arrow = static_cast<HCURSOR>(NewUserHandle());
    HICON applicationIcon = static_cast<HICON>(NewUserHandle());
    HCURSOR current = arrow;
    int displayCount = 0;
    POINT position{0, 0};
    bool clipped = false;
    RECT clip{};
    std::map<HICON, IconPixels> icons;
    std::map<WORD, HICON> iconResources;
};

CursorState& State() {
    static CursorState* state = new CursorState;  // outlives threads still running at exit
    return *state;
}

bool IsIntegerResource(LPCSTR name) { return reinterpret_cast<ULONG_PTR>(name) <= 0xFFFF; }

WORD ResourceId(LPCSTR name) { return static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)); }

}  // namespace

POINT CursorPosition() {
    CursorState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    return state.position;
}

void SetCursorPosition(POINT position) {
    CursorState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    state.position = position;
}

bool CursorShown() {
    CursorState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    return state.displayCount >= 0 && state.current != nullptr;
}

void ResetCursor() {
    CursorState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    state.current = state.arrow;
    state.displayCount = 0;
    state.position = POINT{0, 0};
    state.clipped = false;
}

bool IconPixelsOf(HICON icon, IconPixels& pixels) {
    CursorState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    auto found = state.icons.find(icon);
    if (found == state.icons.end()) return false;
    pixels = found->second;
    return true;
}

void ForgetIconResources() {
    CursorState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    state.icons.clear();
    state.iconResources.clear();
}

}  // namespace platform::detail

namespace platform {

void RegisterIconResource(WORD id, int32_t width, int32_t height, const uint32_t* pixels) {
    if (width <= 0 || height <= 0 || pixels == nullptr) return;
    detail::IconPixels icon;
    icon.width = width;
    icon.height = height;
    icon.pixels.assign(pixels, pixels + static_cast<size_t>(width) * static_cast<size_t>(height));
    detail::CursorState& state = detail::State();
    std::lock_guard<std::mutex> guard(state.lock);
    HICON& handle = state.iconResources[id];
    if (handle == nullptr) handle = static_cast<HICON>(detail::NewUserHandle());
    state.icons[handle] = std::move(icon);
}

}  // namespace platform

using namespace platform::detail;

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
    if (instance == nullptr && IsIntegerResource(name) && ResourceId(name) == kStockResourceId) return State().arrow;
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    if (IsIntegerResource(name)) {
        CursorState& state = State();
        std::lock_guard<std::mutex> guard(state.lock);
        if (instance == nullptr && ResourceId(name) == kStockResourceId) return state.applicationIcon;
        if (instance != nullptr) {
            auto found = state.iconResources.find(ResourceId(name));
            if (found != state.iconResources.end()) return found->second;
        }
    }
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
}

HCURSOR WINAPI SetCursor(HCURSOR cursor) {
    CursorState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    HCURSOR previous = state.current;
    state.current = cursor;
    return previous;
}

int WINAPI ShowCursor(BOOL show) {
    CursorState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    state.displayCount += show ? 1 : -1;
    return state.displayCount;
}

BOOL WINAPI GetCursorPos(LPPOINT point) {
    if (point == nullptr) return FALSE;
    *point = CursorPosition();
    return TRUE;
}

BOOL WINAPI ClipCursor(const RECT* rect) {
    CursorState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    state.clipped = rect != nullptr;
    if (rect != nullptr) state.clip = *rect;
    return TRUE;
}
