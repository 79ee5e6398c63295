// The clock sources: the host's monotonic clock, the manual clock's time
// (stepped by tests, moved on by every read as the profile asks, set back to 0
// when the machine is reset), and exact scaling between clock rates.
#include "platform/kernel/clock_source.h"

#include <time.h>

#include <mutex>

#include "platform/kernel/manual_clock.h"
#include "platform/profile/machine_profile.h"

namespace {

// The time on the manual clock. The lock is also held while the clock reads
// the per-read advance or switches the manual clock on or off.
struct ManualTime {
    std::mutex lock;
    uint64_t nanoseconds = 0;
};

ManualTime& TheManualTime() {
    static ManualTime* time = new ManualTime;  // used by threads still running at exit
    return *time;
}

void ResetManualTime() {
    ManualTime& time = TheManualTime();
    std::lock_guard<std::mutex> guard(time.lock);
    time.nanoseconds = 0;
}

const platform::ResetHook kManualTimeReset(ResetManualTime);

}  // namespace

namespace platform::detail {

uint64_t MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000000ull + static_cast<uint64_t>(now.tv_nsec);
}

uint64_t ReadManualNanoseconds() {
    ManualTime& time = TheManualTime();
    std::lock_guard<std::mutex> guard(time.lock);
    time.nanoseconds += Profile().clock.advanceNanosecondsPerRead;
    return time.nanoseconds;
}

uint64_t PeekManualNanoseconds() {
    ManualTime& time = TheManualTime();
    std::lock_guard<std::mutex> guard(time.lock);
    return time.nanoseconds;
}

uint64_t ScaleExactly(uint64_t value, uint64_t numerator, uint64_t denominator) {
    if (denominator == 0) return 0;
    unsigned __int128 product = static_cast<unsigned __int128>(value) * numerator;
    return static_cast<uint64_t>(product / denominator);
}

}  // namespace platform::detail

namespace platform {

void UseManualClock(bool on) {
    ManualTime& time = TheManualTime();
    std::lock_guard<std::mutex> guard(time.lock);
    Profile().clock.manual = on;
}

void AdvanceManualClockNanoseconds(uint64_t nanoseconds) {
    ManualTime& time = TheManualTime();
    std::lock_guard<std::mutex> guard(time.lock);
    time.nanoseconds += nanoseconds;
}

void AdvanceManualClockMilliseconds(uint64_t milliseconds) {
    AdvanceManualClockNanoseconds(milliseconds * 1000000ull);
}

uint64_t ManualClockNanoseconds() { return detail::PeekManualNanoseconds(); }

}  // namespace platform
