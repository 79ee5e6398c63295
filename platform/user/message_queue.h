// Per-thread message queues: posted messages, messages sent from other
// threads, the quit request, timers and the thread's key state. Private to
// the platform.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

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
    // Guarded by the sender's queue lock.
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

struct ThreadQueue {
    explicit ThreadQueue(DWORD id) : threadId(id) {}

    const DWORD threadId;
    std::mutex lock;
    // Signalled whenever something arrives for the thread or a message it
    // sent has been answered.
    std::condition_variable changed;

    // Guarded by `lock`.
    std::deque<MSG> posted;
    std::deque<std::shared_ptr<SentMessage>> incoming;
    bool quitPosted = false;
    int quitCode = 0;
    bool alive = true;
    // Counts every arrival (posted, sent, quit), so that a wait can tell
    // that something came even when a mouse move only replaced another.
    uint64_t arrivals = 0;
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

// Handles the messages that other threads have sent to the calling thread.
void HandleIncomingSentMessages(ThreadQueue& queue);

// Drops what is posted to the window and its timers.
void ForgetWindowMessages(ThreadQueue& queue, HWND window);

// Empties every queue (posted messages, quit requests, timers, key state).
void ClearAllQueues();

}  // namespace platform::detail
