// Taking messages from the calling thread's queue: PeekMessageA and
// GetMessageA, in the order sent, posted, quit, paint, timer.
#include <algorithm>
#include <chrono>

#include "platform/kernel/kernel.h"
#include "platform/user/host_display.h"
#include "platform/user/message_pollers.h"
#include "platform/user/message_queue.h"
#include "platform/user/window_records.h"
#include "platform/user/window_system.h"
#include "platform/winmm/winmm.h"

namespace platform::detail {
namespace {

bool PassesWindowFilter(HWND messageWindow, HWND filter) {
    if (filter == nullptr) return true;
    if (filter == HWND_THREAD_MESSAGES) return messageWindow == nullptr;
    return messageWindow == filter;
}

bool PassesRange(UINT message, UINT filterMin, UINT filterMax) {
    if (filterMin == 0 && filterMax == 0) return true;
    return message >= filterMin && message <= filterMax;
}

bool IsKeyMessage(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
}

// `arrivals` receives the queue's arrival count as it was when the queue was
// looked at, for a wait that follows.
bool Peek(MSG& found, HWND filter, UINT filterMin, UINT filterMax, bool remove, uint64_t* arrivals = nullptr) {
    std::shared_ptr<ThreadQueue> queue = CurrentThreadQueue();
    HandleIncomingSentMessages(*queue);
    PumpHostEvents();
    RunMessagePollers();

    {
        std::lock_guard<std::mutex> guard(queue->lock);
        if (arrivals != nullptr) *arrivals = queue->arrivals;
        auto& posted = queue->posted;
        auto match = std::find_if(posted.begin(), posted.end(), [&](const MSG& message) {
            return PassesWindowFilter(message.hwnd, filter) &&
                   PassesRange(message.message, filterMin, filterMax);
        });
        if (match != posted.end()) {
            found = *match;
            if (remove) {
                posted.erase(match);
                if (IsKeyMessage(found.message)) UpdateKeyState(queue->keyState, found);
            }
            return true;
        }
        if (queue->quitPosted && (filter == nullptr || filter == HWND_THREAD_MESSAGES) &&
            PassesRange(WM_QUIT, filterMin, filterMax)) {
            found = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(queue->quitCode), 0, timeGetTime(),
                        CursorPosition()};
            if (remove) queue->quitPosted = false;
            return true;
        }
    }

    HWND toPaint = nullptr;
    if (PassesRange(WM_PAINT, filterMin, filterMax) && FindWindowToPaint(queue->threadId, filter, toPaint)) {
        found = MSG{toPaint, WM_PAINT, 0, 0, timeGetTime(), CursorPosition()};
        return true;
    }
    if (PassesRange(WM_TIMER, filterMin, filterMax) && TakeDueTimer(*queue, filter, remove, found))
        return true;
    return false;
}

// Sleeps until something may have arrived: anything sent or posted wakes the
// wait; a timer's due time, the host's events and the idle pollers' sources
// are looked at again after a short while.
void WaitForMore(ThreadQueue& queue, uint64_t arrivalsSeen) {
    DWORD timeout = MillisecondsUntilNextTimer(queue);
    if (OnHostVideoThread() || HaveMessagePollers()) timeout = std::min<DWORD>(timeout, 5);
    timeout = std::max<DWORD>(timeout, 1);
    std::unique_lock<std::mutex> lock(queue.lock);
    auto arrived = [&] { return queue.arrivals != arrivalsSeen || !queue.incoming.empty(); };
    if (timeout == INFINITE)
        queue.changed.wait(lock, arrived);
    else
        queue.changed.wait_for(lock, std::chrono::milliseconds(timeout), arrived);
}

}  // namespace
}  // namespace platform::detail

using namespace platform::detail;

BOOL WINAPI PeekMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    MSG found{};
    if (!Peek(found, window, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0)) return FALSE;
    if (message != nullptr) *message = found;
    return TRUE;
}

BOOL WINAPI GetMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax) {
    if (window != nullptr && window != HWND_THREAD_MESSAGES && !FindWindowRecord(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    std::shared_ptr<ThreadQueue> queue = CurrentThreadQueue();
    MSG found{};
    uint64_t arrivalsSeen = 0;
    while (!Peek(found, window, filterMin, filterMax, true, &arrivalsSeen)) WaitForMore(*queue, arrivalsSeen);
    if (message != nullptr) *message = found;
    return found.message == WM_QUIT ? FALSE : TRUE;
}
