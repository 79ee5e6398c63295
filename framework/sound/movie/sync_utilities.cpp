// Kernel events for the framework's filters.
#include "framework/sound/movie/sync_utilities.h"

K_CAMEvent::K_CAMEvent(bool manualReset)
    : event_(CreateEventA(nullptr, manualReset ? TRUE : FALSE, FALSE, nullptr)) {}

K_CAMEvent::~K_CAMEvent() {
    if (event_ != nullptr) CloseHandle(event_);
}

void K_CAMEvent::Set() { SetEvent(event_); }

void K_CAMEvent::Reset() { ResetEvent(event_); }

bool K_CAMEvent::Wait(DWORD milliseconds) { return WaitForSingleObject(event_, milliseconds) == WAIT_OBJECT_0; }
