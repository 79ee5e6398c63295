// Per-thread message queues: posted messages, messages sent from other
// threads, the quit request, timers and the thread's key state. Private to
// the platform.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/kernel/wait_sources.h"
#include "platform/user/user.h"

namespace platform::detail {

struct ThreadQueue;

// A message sent from one thread to a window of another: the sender waits
// until the receiver has handled it (or has ended).
struct SentMessage {
    HWND window = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::shared_ptr<ThreadQueue> sender;
    // Guarded by the sender's queue lock; the sender waits on its own queue
    // for `done`.
    bool done = false;
    LRESULT result = 0;
};

struct Timer {
    HWND window = nullptr;
    UINT_PTR id = 0;
    UINT elapse = 0;
    DWORD due = 0;  // timeGetTime value from which the timer fires
    TIMERPROC procedure = nullptr;
};

// What the queue's own thread waits for while it waits on its queue. Only
// that thread ever waits on a queue, so the conditions live in the queue,
// set by the thread before each wait.
struct QueueWakeConditions {
    bool posted = false;  // something posted (a message, the quit request) since the thread last looked
    bool sent = false;    // a message sent from another thread, waiting to be handled
    bool timerDue = false;  // a timer is due (decided by the thread before it waits)
    const SentMessage* reply = nullptr;  // this message, sent by the thread, has been answered
};

// A thread's queue, and a wait source for its own thread: signalled when
// what the thread waits for (`awaited`) has come.
struct ThreadQueue final : WaitSource {
    explicit ThreadQueue(DWORD id) : threadId(id) {}
    bool IsSignalled() const override;

    const DWORD threadId;

    // Guarded by `lock`.
    std::deque<MSG> posted;
    std::deque<std::shared_ptr<SentMessage>> incoming;
    bool quitPosted = false;
    int quitCode = 0;
    bool alive = true;
    // Counts every posted arrival (messages, the quit request), so that a
    // wait can tell that something came even when a mouse move only replaced
    // another; `arrivalsSeen` is the count when the thread last looked.
    uint64_t arrivals = 0;
    uint64_t arrivalsSeen = 0;
    QueueWakeConditions awaited;
    std::vector<Timer> timers;
    // The key state as of the last key message taken from the queue.
    BYTE keyState[256] = {};
};

// The calling thread's queue, made on first use; it ends with the thread.
std::shared_ptr<ThreadQueue> CurrentThreadQueue();

// Appends a posted message (or, `atFront`, puts it before every other);
// false when the thread has ended. A mouse move replaces a mouse move for the
// same window still waiting at the end of the queue, so that a busy thread
// does not fall behind the pointer.
bool PostToQueue(ThreadQueue& queue, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                 bool atFront = false);

// Calls the window procedure of a window of the calling thread (nothing and
// 0 for a window that is gone).
LRESULT CallWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Waits, on the calling thread's own queue and on up to
// MAXIMUM_WAIT_OBJECTS - 1 other sources given before it, for what
// `conditions` ask of the queue; `all` and the result as WaitForSources, the
// queue being source `count`.
size_t WaitOnOwnQueue(ThreadQueue& queue, const QueueWakeConditions& conditions, WaitSource* const* others,
                      size_t count, bool all, DWORD milliseconds);

// Handles the messages that other threads have sent to the calling thread.
void HandleIncomingSentMessages(ThreadQueue& queue);

// Drops what is posted to the window and its timers.
void ForgetWindowMessages(ThreadQueue& queue, HWND window);

// Empties every queue (posted messages, quit requests, timers, key state).
void ClearAllQueues();

}  // namespace platform::detail
