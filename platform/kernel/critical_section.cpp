// Recursive critical sections: a std::recursive_mutex built in place in the
// structure's opaque storage.
#include <mutex>
#include <new>

#include "platform/kernel/kernel.h"

namespace {

static_assert(sizeof(std::recursive_mutex) <= sizeof(CRITICAL_SECTION::opaque));
static_assert(alignof(std::recursive_mutex) <= alignof(CRITICAL_SECTION));

std::recursive_mutex& MutexOf(LPCRITICAL_SECTION section) {
    return *std::launder(reinterpret_cast<std::recursive_mutex*>(section->opaque));
}

}  // namespace

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION section) {
    new (section->opaque) std::recursive_mutex;
}

void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION section) {
    MutexOf(section).~recursive_mutex();
}

void WINAPI EnterCriticalSection(LPCRITICAL_SECTION section) { MutexOf(section).lock(); }

void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION section) { MutexOf(section).unlock(); }

BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION section) {
    return MutexOf(section).try_lock() ? TRUE : FALSE;
}
