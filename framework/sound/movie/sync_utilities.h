// The locks and events the framework's filters share among their threads:
// a recursive lock, a scope that holds it, and a kernel event.
#pragma once

#include "platform/kernel/kernel.h"

// A recursive lock over a critical section.
class K_CCritSec {
public:
    K_CCritSec() { InitializeCriticalSection(&section_); }
    ~K_CCritSec() { DeleteCriticalSection(&section_); }
    K_CCritSec(const K_CCritSec&) = delete;
    K_CCritSec& operator=(const K_CCritSec&) = delete;

    void Lock() { EnterCriticalSection(&section_); }
    void Unlock() { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

// Holds the lock for the life of the scope.
class K_CAutoLock {
public:
    explicit K_CAutoLock(K_CCritSec* lock) : lock_(lock) { lock_->Lock(); }
    ~K_CAutoLock() { lock_->Unlock(); }
    K_CAutoLock(const K_CAutoLock&) = delete;
    K_CAutoLock& operator=(const K_CAutoLock&) = delete;

private:
    K_CCritSec* lock_;
};

// A kernel event: manual reset stays set until reset; auto reset is reset by
// the wait it releases. Starts reset.
class K_CAMEvent {
public:
    explicit K_CAMEvent(bool manualReset = false);
    ~K_CAMEvent();
    K_CAMEvent(const K_CAMEvent&) = delete;
    K_CAMEvent& operator=(const K_CAMEvent&) = delete;

    void Set();
    void Reset();
    // True when the event was set within the time.
    bool Wait(DWORD milliseconds = INFINITE);
    // Null when the kernel could not make the event.
    HANDLE Handle() const { return event_; }

private:
    HANDLE event_;
};
