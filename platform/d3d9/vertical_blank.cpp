// The 60 Hz vertical blank on the host's clock or the manual clock.
#include "platform/d3d9/vertical_blank.h"

#include <chrono>
#include <cstdint>
#include <thread>

#include "platform/kernel/clock_source.h"
#include "platform/kernel/manual_clock.h"
#include "platform/profile/machine_profile.h"

namespace platform::d3d9 {
namespace {

constexpr uint64_t kRefreshRate = 60;
constexpr uint64_t kLinesPerFrame = 525;
constexpr uint64_t kBlankLines = 45;
constexpr uint64_t kNanosecondsPerSecond = 1000000000ull;

// The frame a moment lies in, and the first nanosecond of a frame (n / 60 s
// rounded up, so that the frame of a frame's start is that frame).
uint64_t FrameOf(uint64_t nanoseconds) { return detail::ScaleExactly(nanoseconds, kRefreshRate, kNanosecondsPerSecond); }
uint64_t FrameStart(uint64_t frame) {
    const unsigned __int128 scaled = static_cast<unsigned __int128>(frame) * kNanosecondsPerSecond;
    return static_cast<uint64_t>((scaled + kRefreshRate - 1) / kRefreshRate);
}

uint64_t BlankEnd(uint64_t frame) {
    return FrameStart(frame) + (FrameStart(frame + 1) - FrameStart(frame)) * kBlankLines / kLinesPerFrame;
}

uint64_t Now() {
    return Profile().clock.manual ? detail::ReadManualNanoseconds() : detail::MonotonicNanoseconds();
}

void WaitUntil(uint64_t now, uint64_t target) {
    if (target <= now) return;
    if (Profile().clock.manual) {
        AdvanceManualClockNanoseconds(target - now);
        return;
    }
    std::this_thread::sleep_for(std::chrono::nanoseconds(target - now));
    // A sleep may end early by the host's measure of it; finish on the clock itself.
    while (detail::MonotonicNanoseconds() < target) std::this_thread::yield();
}

}  // namespace

bool InVerticalBlank() {
    const uint64_t now = Now();
    return now < BlankEnd(FrameOf(now));
}

void WaitForVerticalBlankBegin() {
    const uint64_t now = Now();
    WaitUntil(now, FrameStart(FrameOf(now) + 1));
}

void WaitForVerticalBlankEnd() {
    const uint64_t now = Now();
    const uint64_t frame = FrameOf(now);
    const uint64_t end = BlankEnd(frame);
    WaitUntil(now, now < end ? end : BlankEnd(frame + 1));
}

}  // namespace platform::d3d9
