// Events, threads and change notifications as objects that a wait can be
// satisfied by: each is a wait source of its own, with its own lock. Private
// to the platform.
#pragma once

#include <memory>
#include <vector>

#include "platform/kernel/kernel_objects.h"
#include "platform/kernel/wait_sources.h"

namespace platform::detail {

struct WaitableObject : KernelObject, WaitSource {
    using KernelObject::KernelObject;
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
    bool signalled;  // guarded by `lock`
};

// Signals the change notifications that the file system's changes reported
// so far concern.
void TakeFileSystemChanges();

// The objects behind the handles of a wait (GetCurrentThread's pseudo handle
// stands for the calling thread). False, with the last error set, when one
// is no event, thread or change notification, or when a wait for all names
// one twice (that could never be satisfied consistently). With a change
// notification among them, the changes reported so far are taken first, so
// that the wait sees every change made before it began.
bool LookUpWaitHandles(DWORD count, const HANDLE* handles, bool all,
                       std::vector<std::shared_ptr<WaitableObject>>& objects);
// The same into a list kept in place.
using WaitObjects = ShortList<std::shared_ptr<WaitableObject>, MAXIMUM_WAIT_OBJECTS>;
bool LookUpWaitHandles(DWORD count, const HANDLE* handles, bool all, WaitObjects& objects);

}  // namespace platform::detail
