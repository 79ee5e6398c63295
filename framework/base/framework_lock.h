// The framework-wide lock: recursive, and fair (waiting threads are served
// strictly first in, first out, each woken through an event of its own).
// Start-up, shutdown and the locked message pump take it.
#pragma once

#include "framework/base/scoped_lock.h"

void EnterFrameworkLock();
void LeaveFrameworkLock();

// Holds the framework lock from its making to the end of its scope.
using FrameworkLockGuard = ScopedLock<EnterFrameworkLock, LeaveFrameworkLock>;

// Closes the waiter events and the critical section; the next
// EnterFrameworkLock makes them again. Run while no other thread uses the lock.
void TearDownFrameworkLock();

// The number of threads queued for the lock (0 while it is not made). Lets
// tests line threads up in a known order.
int FrameworkLockWaiterCount();

// 1 when the calling thread owns the lock (at any depth), else 0; 0 while the
// lock is not made.
int FrameworkLockHeldByThisThread();
