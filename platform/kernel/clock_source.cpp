#include "platform/kernel/clock_source.h"

#include <time.h>

#include "platform/profile/machine_profile.h"

namespace platform::detail {

std::mutex& ManualClockLock() {
    static std::mutex* lock = new std::mutex;  // used by threads still running at exit
    return *lock;
}

uint64_t MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000000ull + static_cast<uint64_t>(now.tv_nsec);
}

uint64_t ReadManualNanoseconds() {
    std::lock_guard<std::mutex> guard(ManualClockLock());
    ClockProfile& clock = Profile().clock;
    clock.manualNanoseconds += clock.advanceNanosecondsPerRead;
    return clock.manualNanoseconds;
}

uint64_t PeekManualNanoseconds() {
    std::lock_guard<std::mutex> guard(ManualClockLock());
    return Profile().clock.manualNanoseconds;
}

uint64_t ScaleExactly(uint64_t value, uint64_t numerator, uint64_t denominator) {
    if (denominator == 0) return 0;
    unsigned __int128 product = static_cast<unsigned __int128>(value) * numerator;
    return static_cast<uint64_t>(product / denominator);
}

}  // namespace platform::detail
