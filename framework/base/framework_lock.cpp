#include "framework/base/framework_lock.h"

#include "platform/platform.h"

namespace {

constexpr int MaxFrameworkLockWaiters = 4096;

// One place in the queue. The event belongs to the place, not to the thread:
// when the queue moves up, thread id and event move together, so a waiting
// thread keeps waiting on the event that it took.
struct FrameworkLockWaiter {
    int threadId;
    HANDLE event;
};

struct FrameworkLockRecord {
    int depth;
    int held;
    int owner;  // -1 while free
    int waiterCount;
    FrameworkLockWaiter waiters[MaxFrameworkLockWaiters];
    int made;
    CRITICAL_SECTION section;
};

FrameworkLockRecord FrameworkLock;

// Holds the lock record's critical section for its scope.
class RecordSection {
public:
    [[nodiscard]] RecordSection() { EnterCriticalSection(&FrameworkLock.section); }
    ~RecordSection() { LeaveCriticalSection(&FrameworkLock.section); }
    RecordSection(const RecordSection&) = delete;
    RecordSection& operator=(const RecordSection&) = delete;
};

// All events are made at first use, so that taking and leaving the lock never
// creates or closes a kernel object.
void MakeFrameworkLock() {
    FrameworkLock.made = 1;
    for (FrameworkLockWaiter& waiter : FrameworkLock.waiters)
        waiter.event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    InitializeCriticalSection(&FrameworkLock.section);
}

// Index of the calling thread's place in the queue, or -1. Called inside the
// critical section.
int FindQueuedThread(int threadId) {
    for (int i = 0; i < FrameworkLock.waiterCount; i++)
        if (FrameworkLock.waiters[i].threadId == threadId) return i;
    return -1;
}

// The head leaves the queue: everyone moves up one place, and the head's
// event goes to the place that fell free at the end.
void RemoveQueueHead() {
    int count = FrameworkLock.waiterCount;
    HANDLE headEvent = FrameworkLock.waiters[0].event;
    for (int i = 1; i < count; i++) FrameworkLock.waiters[i - 1] = FrameworkLock.waiters[i];
    FrameworkLock.waiters[count - 1].threadId = 0;
    FrameworkLock.waiters[count - 1].event = headEvent;
    FrameworkLock.waiterCount = count - 1;
}

void TakeFrameworkLock(int threadId) {
    FrameworkLock.depth++;
    FrameworkLock.held = 1;
    FrameworkLock.owner = threadId;
}

}  // namespace

void EnterFrameworkLock() {
    if (!FrameworkLock.made) MakeFrameworkLock();
    const int threadId = static_cast<int>(GetCurrentThreadId());

    for (;;) {
        HANDLE event = nullptr;
        bool queueFull = false;
        {
            RecordSection section;
            const int queuedAt = FindQueuedThread(threadId);

            if (FrameworkLock.held && FrameworkLock.owner == threadId) {
                TakeFrameworkLock(threadId);
                return;
            }
            if (!FrameworkLock.held && FrameworkLock.waiterCount == 0) {
                TakeFrameworkLock(threadId);
                return;
            }
            if (!FrameworkLock.held && queuedAt == 0) {
                RemoveQueueHead();
                TakeFrameworkLock(threadId);
                return;
            }

            // Wait. A thread that already has a place (woken while it cannot
            // take the lock yet) waits again on its own event instead of
            // queueing twice; a newcomer queues at the end and never
            // overtakes a waiting thread. With the queue full, it tries again
            // a little later.
            if (queuedAt >= 0) {
                event = FrameworkLock.waiters[queuedAt].event;
            } else if (FrameworkLock.waiterCount >= MaxFrameworkLockWaiters) {
                queueFull = true;
            } else {
                FrameworkLockWaiter& place = FrameworkLock.waiters[FrameworkLock.waiterCount];
                place.threadId = threadId;
                event = place.event;
                FrameworkLock.waiterCount++;
            }
        }
        if (queueFull) {
            Sleep(1);
            continue;
        }
        // Manual-reset events: a signal given before this wait starts is kept.
        WaitForSingleObject(event, INFINITE);
        ResetEvent(event);
    }
}

void LeaveFrameworkLock() {
    if (!FrameworkLock.made) return;
    const int threadId = static_cast<int>(GetCurrentThreadId());

    HANDLE wake = nullptr;
    {
        RecordSection section;
        // Only the owner gives up a level; anyone else would corrupt the count.
        if (!FrameworkLock.held || FrameworkLock.owner != threadId) return;
        if (FrameworkLock.depth == 1) {
            FrameworkLock.held = 0;
            FrameworkLock.owner = -1;
            if (FrameworkLock.waiterCount > 0) wake = FrameworkLock.waiters[0].event;
        }
        FrameworkLock.depth--;
    }

    if (wake != nullptr) {
        SetEvent(wake);
        Sleep(0);
    }
}

void TearDownFrameworkLock() {
    if (!FrameworkLock.made) return;
    FrameworkLock.made = 0;
    for (FrameworkLockWaiter& waiter : FrameworkLock.waiters) {
        if (waiter.event != nullptr) CloseHandle(waiter.event);
        waiter.event = nullptr;
        waiter.threadId = 0;
    }
    DeleteCriticalSection(&FrameworkLock.section);
    // Remade, the lock starts free with an empty queue, as on first use (the
    // fatal exit may tear it down while its own thread still holds it).
    FrameworkLock.depth = 0;
    FrameworkLock.held = 0;
    FrameworkLock.owner = -1;
    FrameworkLock.waiterCount = 0;
}

int FrameworkLockWaiterCount() {
    if (!FrameworkLock.made) return 0;
    RecordSection section;
    return FrameworkLock.waiterCount;
}

int FrameworkLockHeldByThisThread() {
    if (!FrameworkLock.made) return 0;
    const int threadId = static_cast<int>(GetCurrentThreadId());
    RecordSection section;
    return FrameworkLock.held && FrameworkLock.owner == threadId ? 1 : 0;
}
