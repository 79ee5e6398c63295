// Timers: SetTimer and KillTimer, and the WM_TIMER messages the queue makes
// when one is due. Due times are timeGetTime values, so the manual clock
// steps timers as it steps everything else.
#include <algorithm>
#include <atomic>

#include "platform/kernel/kernel.h"
#include "platform/user/message_queue.h"
#include "platform/user/window_records.h"
#include "platform/user/window_system.h"
#include "platform/winmm/winmm.h"

namespace platform::detail {
namespace {

// Time from `now` to `due`, negative once it has passed; the clock wraps at 2^32.
int32_t Remaining(DWORD due, DWORD now) { return static_cast<int32_t>(due - now); }

// The queue that holds a window's timers, when the calling thread owns the
// window (timers belong to the window's own thread).
std::shared_ptr<ThreadQueue> QueueForTimer(HWND window) {
    if (window == nullptr) return CurrentThreadQueue();
    std::lock_guard<std::mutex> guard(WindowLock());
    std::shared_ptr<WindowRecord> record = FindWindowRecordLocked(window);
    if (!record) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (record->threadId != GetCurrentThreadId()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return record->queue;
}

}  // namespace

bool TakeDueTimer(ThreadQueue& queue, HWND filter, bool remove, MSG& message) {
    const DWORD now = timeGetTime();
    std::lock_guard<std::mutex> guard(queue.lock);
    for (Timer& timer : queue.timers) {
        const bool passes = filter == nullptr || (filter == HWND_THREAD_MESSAGES ? timer.window == nullptr
                                                                                 : timer.window == filter);
        if (!passes || Remaining(timer.due, now) > 0) continue;
        message = MSG{timer.window, WM_TIMER, timer.id, reinterpret_cast<LPARAM>(timer.procedure), now,
                      CursorPosition()};
        if (remove) timer.due = now + timer.elapse;
        return true;
    }
    return false;
}

DWORD MillisecondsUntilNextTimer(ThreadQueue& queue) {
    const DWORD now = timeGetTime();
    std::lock_guard<std::mutex> guard(queue.lock);
    DWORD nearest = INFINITE;
    for (const Timer& timer : queue.timers)
        nearest = std::min<DWORD>(nearest, static_cast<DWORD>(std::max<int32_t>(Remaining(timer.due, now), 0)));
    return nearest;
}

bool IsTimerProcedure(HWND window, UINT_PTR id, TIMERPROC procedure) {
    std::shared_ptr<ThreadQueue> queue = CurrentThreadQueue();
    std::lock_guard<std::mutex> guard(queue->lock);
    return std::any_of(queue->timers.begin(), queue->timers.end(), [&](const Timer& timer) {
        return timer.window == window && timer.id == id && timer.procedure == procedure;
    });
}

}  // namespace platform::detail

using namespace platform::detail;

UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR timerId, UINT elapse, TIMERPROC procedure) {
    std::shared_ptr<ThreadQueue> queue = QueueForTimer(window);
    if (!queue) return 0;
    // Thread timers get identifiers of their own, never 0.
    static std::atomic<UINT_PTR> nextThreadTimerId{0x7FFF};
    if (window == nullptr) {
        timerId = nextThreadTimerId.fetch_add(1);
        if (timerId == 0) timerId = nextThreadTimerId.fetch_add(1);
    }
    elapse = std::clamp<UINT>(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    const DWORD due = timeGetTime() + elapse;
    std::lock_guard<std::mutex> guard(queue->lock);
    if (!queue->alive) return 0;
    auto existing = std::find_if(queue->timers.begin(), queue->timers.end(), [&](const Timer& timer) {
        return timer.window == window && timer.id == timerId;
    });
    const Timer timer{window, timerId, elapse, due, procedure};
    if (existing != queue->timers.end())
        *existing = timer;  // setting an existing timer again restarts it
    else
        queue->timers.push_back(timer);
    // No wait to wake: timers are set by the queue's own thread, which a
    // wait on the queue reads the next due time from before it sleeps.
    return timerId != 0 ? timerId : 1;
}

BOOL WINAPI KillTimer(HWND window, UINT_PTR timerId) {
    std::shared_ptr<ThreadQueue> queue = QueueForTimer(window);
    if (!queue) return FALSE;
    std::lock_guard<std::mutex> guard(queue->lock);
    auto& timers = queue->timers;
    auto found = std::find_if(timers.begin(), timers.end(), [&](const Timer& timer) {
        return timer.window == window && timer.id == timerId;
    });
    if (found == timers.end()) return FALSE;
    timers.erase(found);
    return TRUE;
}
