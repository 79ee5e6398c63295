// WaitForSingleObject and WaitForMultipleObjects on events, threads and
// change notifications, in real time.
#include <new>
#include <vector>

#include "platform/kernel/kernel.h"
#include "platform/kernel/threads.h"
#include "platform/kernel/waitable_objects.h"

namespace platform::detail {

bool LookUpWaitHandles(DWORD count, const HANDLE* handles, bool all, WaitObjects& objects) {
    if (count > MAXIMUM_WAIT_OBJECTS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    ShortList<std::shared_ptr<KernelObject>, MAXIMUM_WAIT_OBJECTS> found;
    LookUpHandles(handles, count, found);
    bool notifications = false;
    for (DWORD i = 0; i < count; ++i) {
        std::shared_ptr<WaitableObject> object;
        if (handles[i] == kCurrentThreadPseudoHandle) {
            object = ThreadFromHandle(handles[i]);
        } else if (found[i] && (found[i]->kind == ObjectKind::Event || found[i]->kind == ObjectKind::Thread ||
                                found[i]->kind == ObjectKind::ChangeNotification)) {
            notifications |= found[i]->kind == ObjectKind::ChangeNotification;
            object = std::static_pointer_cast<WaitableObject>(std::move(found[i]));
        }
        if (!object) {
            SetLastError(ERROR_INVALID_HANDLE);
            return false;
        }
        if (all)
            for (DWORD earlier = 0; earlier < i; ++earlier)
                if (objects[earlier] == object) {
                    SetLastError(ERROR_INVALID_PARAMETER);
                    return false;
                }
        objects.push_back(std::move(object));
    }
    // Whatever the file system has reported so far reaches the notifications
    // before the wait looks at them.
    if (notifications) TakeFileSystemChanges();
    return true;
}

bool LookUpWaitHandles(DWORD count, const HANDLE* handles, bool all,
                       std::vector<std::shared_ptr<WaitableObject>>& objects) {
    WaitObjects found;
    objects.clear();
    if (!LookUpWaitHandles(count, handles, all, found)) return false;
    for (DWORD i = 0; i < count; ++i) objects.push_back(std::move(found[i]));
    return true;
}

}  // namespace platform::detail

DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    return WaitForMultipleObjects(1, &handle, FALSE, milliseconds);
}

DWORD WINAPI WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                    DWORD milliseconds) {
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || handles == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    try {
        platform::detail::WaitObjects objects;
        if (!platform::detail::LookUpWaitHandles(count, handles, waitAll != FALSE, objects)) return WAIT_FAILED;
        platform::detail::WaitSource* sources[MAXIMUM_WAIT_OBJECTS];
        for (DWORD i = 0; i < count; ++i) sources[i] = objects[i].get();
        const size_t satisfied = platform::detail::WaitForSources(sources, count, waitAll != FALSE, milliseconds);
        if (satisfied == platform::detail::kWaitTimedOut) return WAIT_TIMEOUT;
        return WAIT_OBJECT_0 + static_cast<DWORD>(satisfied);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return WAIT_FAILED;
    }
}
