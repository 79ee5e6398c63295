// Threads: creation (optionally suspended), exit codes, priorities, thread
// and process ids, Sleep and the per-thread last error.
//
// Priorities are recorded and reported back but do not change how the host
// schedules the thread: the framework only raises its own worker threads a
// little, which makes no difference it could observe.
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <system_error>
#include <thread>

#include "platform/kernel/kernel.h"
#include "platform/kernel/threads.h"

namespace platform::detail {
namespace {

// Ids are handed out once and never reused: nonzero, never -1, and fitting in
// a DWORD however many threads come and go.
std::atomic<DWORD> nextThreadId{1};

DWORD NewThreadId() {
    DWORD id = nextThreadId.fetch_add(1);
    if (id == 0 || id == 0xFFFFFFFFu) id = nextThreadId.fetch_add(1);  // wrapped: skip 0 and -1
    return id;
}

thread_local std::shared_ptr<ThreadObject> currentThread;
thread_local DWORD lastError = ERROR_SUCCESS;

// The object of the calling thread; threads this layer did not start (the
// main thread, host threads) get one the first time they ask.
const std::shared_ptr<ThreadObject>& CurrentThreadObject() {
    if (!currentThread) currentThread = std::make_shared<ThreadObject>(NewThreadId());
    return currentThread;
}

bool IsValidPriority(int priority) {
    return (priority >= THREAD_PRIORITY_LOWEST && priority <= THREAD_PRIORITY_HIGHEST) ||
           priority == THREAD_PRIORITY_TIME_CRITICAL || priority == THREAD_PRIORITY_IDLE;
}

void RunThread(std::shared_ptr<ThreadObject> thread) {
    currentThread = thread;
    WaitSource* gate = &thread->resume;
    WaitForSources(&gate, 1, false, INFINITE);
    DWORD exitCode = thread->start(thread->parameter);
    {
        std::lock_guard<std::mutex> guard(thread->lock);
        thread->exitCode = exitCode;
        thread->finished = true;
        thread->WakeWaiters();
    }
    currentThread.reset();
}

}  // namespace

std::shared_ptr<ThreadObject> ThreadFromHandle(HANDLE handle) {
    if (handle == kCurrentThreadPseudoHandle) return CurrentThreadObject();
    return LookUpHandleOf<ThreadObject>(handle);
}

}  // namespace platform::detail

using platform::detail::ThreadObject;

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES attributes, SIZE_T stackSize,
                           LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD creationFlags,
                           LPDWORD threadId) {
    if (start == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    try {
        auto thread = std::make_shared<ThreadObject>(platform::detail::NewThreadId());
        thread->start = start;
        thread->parameter = parameter;
        thread->resume.suspendCount = (creationFlags & CREATE_SUSPENDED) ? 1 : 0;
        HANDLE handle = platform::detail::InsertHandle(thread);
        if (handle == nullptr) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        try {
            std::thread(platform::detail::RunThread, thread).detach();
        } catch (const std::system_error&) {
            platform::detail::RemoveHandle(handle);
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        if (threadId != nullptr) *threadId = thread->threadId;
        return handle;
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

DWORD WINAPI ResumeThread(HANDLE handle) {
    std::shared_ptr<ThreadObject> thread = platform::detail::ThreadFromHandle(handle);
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0xFFFFFFFFu;
    }
    platform::detail::ResumeGate& gate = thread->resume;
    std::lock_guard<std::mutex> guard(gate.lock);
    const DWORD previous = gate.suspendCount;
    if (gate.suspendCount > 0) --gate.suspendCount;
    if (previous == 1) gate.WakeWaiters();
    return previous;
}

BOOL WINAPI SetThreadPriority(HANDLE handle, int priority) {
    std::shared_ptr<ThreadObject> thread = platform::detail::ThreadFromHandle(handle);
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!platform::detail::IsValidPriority(priority)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard<std::mutex> guard(thread->lock);
    thread->priority = priority;
    return TRUE;
}

int WINAPI GetThreadPriority(HANDLE handle) {
    constexpr int kPriorityErrorReturn = 0x7FFFFFFF;
    std::shared_ptr<ThreadObject> thread = platform::detail::ThreadFromHandle(handle);
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return kPriorityErrorReturn;
    }
    std::lock_guard<std::mutex> guard(thread->lock);
    return thread->priority;
}

BOOL WINAPI GetExitCodeThread(HANDLE handle, LPDWORD exitCode) {
    std::shared_ptr<ThreadObject> thread = platform::detail::ThreadFromHandle(handle);
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (exitCode == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard<std::mutex> guard(thread->lock);
    *exitCode = thread->exitCode;
    return TRUE;
}

HANDLE WINAPI GetCurrentThread(void) { return platform::detail::kCurrentThreadPseudoHandle; }

DWORD WINAPI GetCurrentThreadId(void) { return platform::detail::CurrentThreadObject()->threadId; }

DWORD WINAPI GetCurrentProcessId(void) { return static_cast<DWORD>(getpid()); }

void WINAPI Sleep(DWORD milliseconds) {
    if (milliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    if (milliseconds == INFINITE) {
        for (;;) std::this_thread::sleep_for(std::chrono::hours(24));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

DWORD WINAPI GetLastError(void) { return platform::detail::lastError; }

void WINAPI SetLastError(DWORD error) { platform::detail::lastError = error; }
