// Events and threads as objects that a wait can be satisfied by. All of them
// share one lock and one condition variable: a wait on several objects then
// sees every change, and a wait for all of them takes them all at once.
// Private to the platform.
#pragma once

#include <condition_variable>
#include <mutex>

#include "platform/kernel/kernel_objects.h"

namespace platform::detail {

std::mutex& WaitLock();
// Notified (to all) whenever an object becomes signalled or a thread may go on.
std::condition_variable& WaitChanged();

struct WaitableObject : KernelObject {
    using KernelObject::KernelObject;
    // Both called with WaitLock() held.
    virtual bool IsSignalled() const = 0;
    // What a satisfied wait does to the object (an auto-reset event resets).
    virtual void Acquire() {}
};

struct EventObject final : WaitableObject {
    static constexpr ObjectKind Kind = ObjectKind::Event;
    EventObject(bool manual, bool initial)
        : WaitableObject(Kind), manualReset(manual), signalled(initial) {}
    bool IsSignalled() const override { return signalled; }
    void Acquire() override {
        if (!manualReset) signalled = false;
    }

    const bool manualReset;
    bool signalled;  // guarded by WaitLock()
};

}  // namespace platform::detail
