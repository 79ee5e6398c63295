// Waiting on wait sources. A waiting thread registers itself with every
// source of its wait and sleeps on its own condition variable; a source that
// becomes signalled wakes only the waits registered on it.
//
// A wait for any one source is handed the source by the thread that signals
// it (which acquires it on the waiter's behalf), so an auto-reset event goes
// to exactly one waiter and is never lost to a waiter that has meanwhile
// been satisfied by another source or has timed out. A wait for all sources
// is only told to look again: it then locks every source, in address order,
// and takes them all or none.
//
// Lock order: a source's lock before a waiter's; several sources' locks only
// in address order.
#include "platform/kernel/wait_sources.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <optional>
#include <vector>

namespace platform::detail {

struct Waiter {
    explicit Waiter(bool forAll) : all(forAll) {}

    const bool all;
    std::mutex lock;
    std::condition_variable woken;
    // Guarded by `lock`.
    bool over = false;                     // decided: sources leave it alone
    size_t handedOver = kWaitTimedOut;     // for any: the source given to it
    bool lookAgain = false;                // for all: a source became signalled
};

void WaitSource::Register(WaitRegistration& registration) {
    registration.previous = last_;
    registration.next = nullptr;
    if (last_ != nullptr)
        last_->next = &registration;
    else
        first_ = &registration;
    last_ = &registration;
}

void WaitSource::Unregister(WaitRegistration& registration) {
    if (registration.previous != nullptr)
        registration.previous->next = registration.next;
    else
        first_ = registration.next;
    if (registration.next != nullptr)
        registration.next->previous = registration.previous;
    else
        last_ = registration.previous;
    registration.previous = registration.next = nullptr;
}

void WaitSource::WakeWaiters() {
    for (WaitRegistration* each = first_; each != nullptr && IsSignalled(); each = each->next) {
        Waiter& waiter = *each->waiter;
        std::lock_guard<std::mutex> guard(waiter.lock);
        if (waiter.over || waiter.handedOver != kWaitTimedOut) continue;
        if (waiter.all) {
            waiter.lookAgain = true;
        } else {
            Acquire();
            waiter.handedOver = each->index;
        }
        waiter.woken.notify_one();
    }
}

namespace {

using Clock = std::chrono::steady_clock;

std::optional<Clock::time_point> DeadlineAfter(DWORD milliseconds) {
    if (milliseconds == INFINITE) return std::nullopt;
    return Clock::now() + std::chrono::milliseconds(milliseconds);
}

// Sleeps on the waiter's own wake-up until `ready` (checked with its lock
// held) or the deadline; returns whether it became ready.
template <typename Ready>
bool SleepOn(Waiter& waiter, std::unique_lock<std::mutex>& lock, const std::optional<Clock::time_point>& deadline,
           Ready ready) {
    if (!deadline) {
        waiter.woken.wait(lock, ready);
        return true;
    }
    return waiter.woken.wait_until(lock, *deadline, ready);
}

size_t WaitForAny(WaitSource* const* sources, size_t count, DWORD milliseconds) {
    if (milliseconds == 0) {
        for (size_t i = 0; i < count; ++i) {
            std::lock_guard<std::mutex> guard(sources[i]->lock);
            if (sources[i]->IsSignalled()) {
                sources[i]->Acquire();
                return i;
            }
        }
        return kWaitTimedOut;
    }
    const std::optional<Clock::time_point> deadline = DeadlineAfter(milliseconds);
    Waiter waiter(false);
    std::vector<WaitRegistration> registrations(count);  // made before anything is registered
    size_t registered = 0;
    size_t result = kWaitTimedOut;
    bool decided = false;
    // Takes the first source found signalled; a source registered earlier
    // may hand itself over meanwhile, and then that is the result.
    while (registered < count && !decided) {
        WaitSource& source = *sources[registered];
        std::lock_guard<std::mutex> sourceGuard(source.lock);
        std::lock_guard<std::mutex> waiterGuard(waiter.lock);
        if (waiter.handedOver != kWaitTimedOut) {
            result = waiter.handedOver;
            decided = true;
        } else if (source.IsSignalled()) {
            source.Acquire();
            result = registered;
            decided = true;
        } else {
            registrations[registered].waiter = &waiter;
            registrations[registered].index = registered;
            source.Register(registrations[registered]);
            ++registered;
        }
        waiter.over = decided;
    }
    if (!decided) {
        std::unique_lock<std::mutex> lock(waiter.lock);
        SleepOn(waiter, lock, deadline, [&] { return waiter.handedOver != kWaitTimedOut; });
        // Handed over at the last moment counts: the source is already taken.
        result = waiter.handedOver;
        waiter.over = true;
    }
    for (size_t i = 0; i < registered; ++i) {
        std::lock_guard<std::mutex> guard(sources[i]->lock);
        sources[i]->Unregister(registrations[i]);
    }
    return result;
}

// Locks every source (`ordered` holds them in address order) and takes them
// all when every one is signalled.
bool TryTakeAll(const std::vector<WaitSource*>& ordered) {
    for (WaitSource* source : ordered) source->lock.lock();
    const bool all = std::all_of(ordered.begin(), ordered.end(), [](WaitSource* source) {
        return source->IsSignalled();
    });
    if (all)
        for (WaitSource* source : ordered) source->Acquire();
    for (auto source = ordered.rbegin(); source != ordered.rend(); ++source) (*source)->lock.unlock();
    return all;
}

size_t WaitForAll(WaitSource* const* sources, size_t count, DWORD milliseconds) {
    std::vector<WaitSource*> ordered(sources, sources + count);
    std::sort(ordered.begin(), ordered.end(), std::less<WaitSource*>());
    if (milliseconds == 0) return TryTakeAll(ordered) ? 0 : kWaitTimedOut;

    const std::optional<Clock::time_point> deadline = DeadlineAfter(milliseconds);
    Waiter waiter(true);
    std::vector<WaitRegistration> registrations(count);
    for (size_t i = 0; i < count; ++i) {
        std::lock_guard<std::mutex> guard(sources[i]->lock);
        registrations[i].waiter = &waiter;
        registrations[i].index = i;
        sources[i]->Register(registrations[i]);
    }
    // Registered before the first look, so that no change after it is missed.
    size_t result = kWaitTimedOut;
    for (;;) {
        if (TryTakeAll(ordered)) {
            result = 0;
            break;
        }
        std::unique_lock<std::mutex> lock(waiter.lock);
        if (!SleepOn(waiter, lock, deadline, [&] { return waiter.lookAgain; })) {
            waiter.over = true;
            break;
        }
        waiter.lookAgain = false;
    }
    for (size_t i = 0; i < count; ++i) {
        std::lock_guard<std::mutex> guard(sources[i]->lock);
        sources[i]->Unregister(registrations[i]);
    }
    return result;
}

}  // namespace

size_t WaitForSources(WaitSource* const* sources, size_t count, bool all, DWORD milliseconds) {
    return all ? WaitForAll(sources, count, milliseconds) : WaitForAny(sources, count, milliseconds);
}

}  // namespace platform::detail
