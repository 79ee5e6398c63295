// Thread objects. Private to the platform.
#pragma once

#include <memory>

#include "platform/kernel/kernel.h"
#include "platform/kernel/waitable_objects.h"

namespace platform::detail {

// What GetCurrentThread returns: stands for the calling thread.
inline const HANDLE kCurrentThreadPseudoHandle = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2));

struct ThreadObject final : WaitableObject {
    static constexpr ObjectKind Kind = ObjectKind::Thread;
    explicit ThreadObject(DWORD id) : WaitableObject(Kind), threadId(id) {}
    bool IsSignalled() const override { return finished; }

    const DWORD threadId;
    LPTHREAD_START_ROUTINE start = nullptr;
    LPVOID parameter = nullptr;
    // Guarded by WaitLock().
    DWORD suspendCount = 0;
    bool finished = false;
    DWORD exitCode = STILL_ACTIVE;
    int priority = THREAD_PRIORITY_NORMAL;
};

// The object of a thread handle, with GetCurrentThread's pseudo handle
// standing for the calling thread; nullptr when it is no thread handle.
std::shared_ptr<ThreadObject> ThreadFromHandle(HANDLE handle);

}  // namespace platform::detail
