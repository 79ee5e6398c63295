// WaitForSingleObject and WaitForMultipleObjects on events and threads, in
// real time.
#include <chrono>
#include <optional>
#include <vector>

#include "platform/kernel/kernel.h"
#include "platform/kernel/threads.h"
#include "platform/kernel/waitable_objects.h"

namespace platform::detail {

std::mutex& WaitLock() {
    static std::mutex* lock = new std::mutex;  // outlives threads still running at exit
    return *lock;
}

std::condition_variable& WaitChanged() {
    static std::condition_variable* changed = new std::condition_variable;
    return *changed;
}

}  // namespace platform::detail

namespace {

using platform::detail::WaitableObject;
using Clock = std::chrono::steady_clock;

std::shared_ptr<WaitableObject> WaitableFromHandle(HANDLE handle) {
    if (handle == platform::detail::kCurrentThreadPseudoHandle)
        return platform::detail::ThreadFromHandle(handle);
    std::shared_ptr<platform::detail::KernelObject> object = platform::detail::LookUpHandle(handle);
    using platform::detail::ObjectKind;
    if (!object || (object->kind != ObjectKind::Event && object->kind != ObjectKind::Thread)) return nullptr;
    return std::static_pointer_cast<WaitableObject>(object);
}

// Waits until `ready` (checked with the lock held) or the timeout. Returns
// whether it became ready.
template <typename Ready>
bool WaitUntil(std::unique_lock<std::mutex>& lock, DWORD milliseconds, Ready ready) {
    if (milliseconds == INFINITE) {
        platform::detail::WaitChanged().wait(lock, ready);
        return true;
    }
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    return platform::detail::WaitChanged().wait_until(lock, deadline, ready);
}

}  // namespace

DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    return WaitForMultipleObjects(1, &handle, FALSE, milliseconds);
}

DWORD WINAPI WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                    DWORD milliseconds) {
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || handles == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    std::vector<std::shared_ptr<WaitableObject>> objects;
    for (DWORD i = 0; i < count; ++i) {
        std::shared_ptr<WaitableObject> object = WaitableFromHandle(handles[i]);
        if (!object) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        // Waiting for all of one object twice cannot be satisfied consistently.
        if (waitAll)
            for (const auto& earlier : objects)
                if (earlier == object) {
                    SetLastError(ERROR_INVALID_PARAMETER);
                    return WAIT_FAILED;
                }
        objects.push_back(std::move(object));
    }

    std::unique_lock<std::mutex> lock(platform::detail::WaitLock());
    if (waitAll) {
        auto allSignalled = [&] {
            for (const auto& object : objects)
                if (!object->IsSignalled()) return false;
            return true;
        };
        if (!WaitUntil(lock, milliseconds, allSignalled)) return WAIT_TIMEOUT;
        for (const auto& object : objects) object->Acquire();
        return WAIT_OBJECT_0;
    }
    std::optional<DWORD> first;
    auto anySignalled = [&] {
        for (DWORD i = 0; i < count; ++i)
            if (objects[i]->IsSignalled()) {
                first = i;
                return true;
            }
        return false;
    };
    if (!WaitUntil(lock, milliseconds, anySignalled)) return WAIT_TIMEOUT;
    objects[*first]->Acquire();
    return WAIT_OBJECT_0 + *first;
}
