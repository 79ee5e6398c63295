// MsgWaitForMultipleObjects: one wait on kernel objects and on the calling
// thread's message queue together.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <new>
#include <vector>

#include "platform/kernel/kernel.h"
#include "platform/kernel/waitable_objects.h"
#include "platform/user/message_pollers.h"
#include "platform/user/message_queue.h"
#include "platform/user/window_system.h"

namespace {

using namespace platform::detail;
using Clock = std::chrono::steady_clock;

// Nothing makes a window need painting from another thread, so the paint bit
// wakes nothing.
constexpr DWORD kPaintBit = 0x0020u;

QueueWakeConditions ConditionsOf(DWORD wakeMask) {
    QueueWakeConditions conditions;
    conditions.sent = (wakeMask & QS_SENDMESSAGE) != 0;
    // Every other kind of input (keys, the mouse, posted messages) is posted.
    conditions.posted = (wakeMask & ~(QS_SENDMESSAGE | QS_TIMER | kPaintBit)) != 0;
    return conditions;
}

uint64_t MillisecondsSince(Clock::time_point start) {
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

}  // namespace

DWORD WINAPI MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds,
                                       DWORD wakeMask) {
    // The queue takes the last place a wait has.
    if (count >= MAXIMUM_WAIT_OBJECTS || (count > 0 && handles == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    try {
        std::vector<std::shared_ptr<WaitableObject>> objects;
        if (!LookUpWaitHandles(count, handles, waitAll != FALSE, objects)) return WAIT_FAILED;
        WaitSource* sources[MAXIMUM_WAIT_OBJECTS];
        for (DWORD i = 0; i < count; ++i) sources[i] = objects[i].get();
        std::shared_ptr<ThreadQueue> queue = CurrentThreadQueue();

        const Clock::time_point start = Clock::now();
        for (;;) {
            PullMessageSources();
            DWORD slice = milliseconds;
            if (milliseconds != INFINITE)
                slice = static_cast<DWORD>(milliseconds - std::min<uint64_t>(MillisecondsSince(start), milliseconds));
            slice = std::min(slice, MillisecondsBetweenPulls());
            QueueWakeConditions conditions = ConditionsOf(wakeMask);
            if (wakeMask & QS_TIMER) {
                // A due timer counts as input; until one is due, the wait
                // looks again when the next one will be.
                const DWORD untilTimer = MillisecondsUntilNextTimer(*queue);
                conditions.timerDue = untilTimer == 0;
                if (!conditions.timerDue) slice = std::min(slice, untilTimer);
            }
            const size_t satisfied = WaitOnOwnQueue(*queue, conditions, sources, count, waitAll != FALSE, slice);
            if (satisfied != kWaitTimedOut) return WAIT_OBJECT_0 + static_cast<DWORD>(satisfied);
            if (milliseconds != INFINITE && MillisecondsSince(start) >= milliseconds) return WAIT_TIMEOUT;
        }
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return WAIT_FAILED;
    }
}
