// Taking messages from the calling thread's queue: PeekMessageA and
// GetMessageA, in the order sent, posted, quit, paint, timer.
#include <algorithm>

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

// Notes in the queue what it held when the thread looked, so that a wait
// that follows wakes only for what comes after.
bool Peek(MSG& found, HWND filter, UINT filterMin, UINT filterMax, bool remove) {
    std::shared_ptr<ThreadQueue> queue = CurrentThreadQueue();
    HandleIncomingSentMessages(*queue);
    PullMessageSources();

    {
        std::lock_guard<std::mutex> guard(queue->lock);
        queue->arrivalsSeen = queue->arrivals;
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

// Sleeps until something may have arrived: anything sent or posted since
// the last look wakes the wait; a timer's due time, and the host's events and
// the idle pollers' sources, are looked at again after a while.
void WaitForMore(ThreadQueue& queue) {
    DWORD timeout = std::min(MillisecondsUntilNextTimer(queue), MillisecondsBetweenPulls());
    timeout = std::max<DWORD>(timeout, 1);  // a due timer that the filter skips must not make this spin
    QueueWakeConditions anyMessage;
    anyMessage.posted = true;
    anyMessage.sent = true;
    WaitOnOwnQueue(queue, anyMessage, nullptr, 0, false, timeout);
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
    while (!Peek(found, window, filterMin, filterMax, true)) WaitForMore(*queue);
    if (message != nullptr) *message = found;
    return found.message == WM_QUIT ? FALSE : TRUE;
}
