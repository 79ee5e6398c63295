// Manual- and auto-reset events.
#include <new>

#include "platform/kernel/kernel.h"
#include "platform/kernel/waitable_objects.h"

using platform::detail::EventObject;

HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState,
                           LPCSTR name) {
    // Named events are shared between processes; the framework never names one.
    std::shared_ptr<EventObject> event;
    try {
        event = std::make_shared<EventObject>(manualReset != FALSE, initialState != FALSE);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    HANDLE handle = platform::detail::InsertHandle(std::move(event));
    if (handle == nullptr) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return handle;
}

static BOOL SetEventState(HANDLE handle, bool signalled) {
    std::shared_ptr<EventObject> event = platform::detail::LookUpHandleOf<EventObject>(handle);
    if (!event) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> guard(event->lock);
    event->signalled = signalled;
    if (signalled) event->WakeWaiters();
    return TRUE;
}

BOOL WINAPI SetEvent(HANDLE event) { return SetEventState(event, true); }

BOOL WINAPI ResetEvent(HANDLE event) { return SetEventState(event, false); }
