// Drops are records in a table of their own, so that a stale or foreign
// handle given to the query is refused instead of being read, and a drop
// that is never finished is still owned by someone.
#include <map>
#include <memory>
#include <mutex>
#include <set>

#include "platform/kernel/kernel.h"
#include "platform/kernel/shift_jis.h"
#include "platform/profile/machine_profile.h"
#include "platform/shell/dropped_files_feed.h"
#include "platform/user/user.h"

namespace {

struct Drop {
    std::vector<std::string> names;  // Shift-JIS
};

struct DropState {
    std::mutex lock;
    std::map<HDROP, std::unique_ptr<Drop>> drops;
    std::set<HWND> acceptingWindows;
};

DropState& State() {
    static DropState state;
    return state;
}

// The machine's reset forgets which windows accept files and releases every
// drop not yet finished.
void ResetDroppedFiles() {
    DropState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    state.drops.clear();
    state.acceptingWindows.clear();
}

const platform::ResetHook kDropsReset(ResetDroppedFiles);

// How many of the first `limit` bytes of `name` can be copied without
// splitting a two-byte character.
size_t WholeCharacterLength(const std::string& name, size_t limit) {
    size_t length = 0;
    while (length < name.size()) {
        const size_t width =
            platform::IsShiftJisLeadByte(static_cast<unsigned char>(name[length])) &&
                    length + 1 < name.size()
                ? 2
                : 1;
        if (length + width > limit) break;
        length += width;
    }
    return length;
}

}  // namespace

UINT WINAPI DragQueryFileA(HDROP drop, UINT index, LPSTR buffer, UINT size) {
    DropState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    const auto found = state.drops.find(drop);
    if (found == state.drops.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    const std::vector<std::string>& names = found->second->names;
    if (index == 0xFFFFFFFFu) return static_cast<UINT>(names.size());
    if (index >= names.size()) return 0;
    const std::string& name = names[index];
    if (buffer == nullptr) return static_cast<UINT>(name.size());
    if (size == 0) return 0;
    const size_t length = WholeCharacterLength(name, size - 1);
    name.copy(buffer, length);
    buffer[length] = '\0';
    return static_cast<UINT>(length);
}

void WINAPI DragFinish(HDROP drop) {
    DropState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    state.drops.erase(drop);
}

void WINAPI DragAcceptFiles(HWND window, BOOL accept) {
    DropState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    if (accept)
        state.acceptingWindows.insert(window);
    else
        state.acceptingWindows.erase(window);
}

namespace platform {

bool AcceptsDroppedFiles(HWND window) {
    DropState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    return state.acceptingWindows.count(window) != 0;
}

bool PostDroppedFiles(HWND window, std::vector<std::string> windowsPaths) {
    if (windowsPaths.empty() || !AcceptsDroppedFiles(window)) return false;
    auto drop = std::make_unique<Drop>();
    drop->names = std::move(windowsPaths);
    const HDROP handle = drop.get();
    DropState& state = State();
    {
        std::lock_guard<std::mutex> guard(state.lock);
        state.drops[handle] = std::move(drop);
    }
    // Posted without the lock: the receiver may already be querying.
    if (PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(handle), 0)) return true;
    DragFinish(handle);
    return false;
}

size_t PendingDropCount() {
    DropState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    return state.drops.size();
}

}  // namespace platform
