// A lock held from the making of a guard to the end of its scope, so that no
// way out of a function leaves it held. `Enter` and `Leave` are the lock's
// own calls; each lock names its guard as an alias of this.
#pragma once

template <void (*Enter)(), void (*Leave)()>
class ScopedLock {
public:
    [[nodiscard]] ScopedLock() { Enter(); }
    ~ScopedLock() { Leave(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;
};
