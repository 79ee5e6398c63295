// The one way a thread waits in the platform: on wait sources (events,
// threads that end, a thread's message queue). Each waiting thread has a
// wake-up of its own; a source keeps a list of the waits registered on it
// and, when it becomes signalled, wakes only those. A thread can so wait for
// any or all of several sources at once, with a time-out, without polling.
// Private to the platform.
#pragma once

#include <cstddef>
#include <mutex>

#include "platform/win_types.h"

namespace platform::detail {

struct Waiter;

// One source's entry for a wait registered on it; kept by the waiting thread.
struct WaitRegistration {
    Waiter* waiter = nullptr;
    size_t index = 0;  // the source's place in the wait
    WaitRegistration* previous = nullptr;
    WaitRegistration* next = nullptr;
};

class WaitSource {
public:
    WaitSource() = default;
    virtual ~WaitSource() = default;
    WaitSource(const WaitSource&) = delete;
    WaitSource& operator=(const WaitSource&) = delete;

    // Guards the source's state (what IsSignalled reads) and its waits.
    std::mutex lock;

    // Both called with `lock` held.
    virtual bool IsSignalled() const = 0;
    // What a satisfied wait does to the source (an auto-reset event resets).
    virtual void Acquire() {}

    // Called with `lock` held when the source may have become signalled. In
    // the order they came, waits for any one source are handed this one
    // (acquired on their behalf) for as long as it stays signalled, so that
    // an auto-reset event releases exactly one of them; waits for all of
    // several sources are told to look again.
    void WakeWaiters();

    // With `lock` held: enters or removes a wait.
    void Register(WaitRegistration& registration);
    void Unregister(WaitRegistration& registration);

private:
    WaitRegistration* first_ = nullptr;  // the oldest wait
    WaitRegistration* last_ = nullptr;
};

inline constexpr size_t kWaitTimedOut = static_cast<size_t>(-1);

// Waits until one of the sources is signalled and returns its index (the
// lowest of those found signalled together), or with `all` until every one
// is signalled at once and returns 0. What it returns is acquired: with
// `all`, every source, atomically. `milliseconds` counts on the host's
// monotonic clock; INFINITE waits for ever; kWaitTimedOut when the time ran
// out. With `all` no source may be given twice.
size_t WaitForSources(WaitSource* const* sources, size_t count, bool all, DWORD milliseconds);

}  // namespace platform::detail
