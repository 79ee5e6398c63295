// Thread objects. Private to the platform.
#pragma once

#include <memory>

#include "platform/kernel/kernel.h"
#include "platform/kernel/waitable_objects.h"

namespace platform::detail {

// What GetCurrentThread returns: stands for the calling thread.
inline const HANDLE kCurrentThreadPseudoHandle = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2));

// What a thread created suspended waits on before it runs: open once the
// suspend count is down to 0.
struct ResumeGate final : WaitSource {
    bool IsSignalled() const override { return suspendCount == 0; }
    DWORD suspendCount = 0;  // guarded by `lock`
};

// Signalled once the thread has ended.
struct ThreadObject final : WaitableObject {
    static constexpr ObjectKind Kind = ObjectKind::Thread;
    explicit ThreadObject(DWORD id) : WaitableObject(Kind), threadId(id) {}
    bool IsSignalled() const override { return finished; }

    const DWORD threadId;
    LPTHREAD_START_ROUTINE start = nullptr;
    LPVOID parameter = nullptr;
    ResumeGate resume;
    // Guarded by `lock`.
    bool finished = false;
    DWORD exitCode = STILL_ACTIVE;
    int priority = THREAD_PRIORITY_NORMAL;
};

// The object of a thread handle, with GetCurrentThread's pseudo handle
// standing for the calling thread; nullptr when it is no thread handle.
std::shared_ptr<ThreadObject> ThreadFromHandle(HANDLE handle);

}  // namespace platform::detail
