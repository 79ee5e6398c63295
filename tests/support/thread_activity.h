// What the host's kernel tells of a thread: whether it is asleep, and how
// often it has been switched out. A thread that waits without polling stays
// asleep, and is not switched in and out, while nothing it waits for happens.
#pragma once

#include <cstdint>
#include <functional>

namespace testsupport {

// The calling thread's id as the host's kernel knows it.
long HostThreadId();
// Voluntary and involuntary context switches of the thread so far.
uint64_t HostThreadSwitches(long hostThreadId);
// Waits, with a generous time-out, until the thread is asleep; false when it
// never is.
bool WaitUntilHostThreadSleeps(long hostThreadId);

// Waits, with a generous time-out, until `condition` holds; false when it
// never does.
bool WaitUntil(const std::function<bool()>& condition);

}  // namespace testsupport
