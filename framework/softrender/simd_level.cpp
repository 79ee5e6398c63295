// The vector instruction level of the software draws, found once.
#include "framework/softrender/simd_level.h"

namespace {

SimdLevel Detect() {
#if defined(__x86_64__) || defined(__i386__)
    // Also true only when the operating system saves the 256-bit registers.
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) return SimdLevel::kAvx2;
#endif
    return SimdLevel::kSse2;
}

const SimdLevel g_highest = Detect();

}  // namespace

namespace simd_level {
SimdLevel g_active = g_highest;
}  // namespace simd_level

SimdLevel HighestSimdLevel() { return g_highest; }

SimdLevel UseSimdLevel(SimdLevel level) {
    simd_level::g_active = level < g_highest ? level : g_highest;
    return simd_level::g_active;
}
