// The vector instruction level of the software draws and the size of the
// last-level cache, found once.
#include "framework/softrender/simd_level.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace {

SimdLevel Detect() {
#if defined(__x86_64__) || defined(__i386__)
    // Also true only when the operating system saves the 256-bit registers.
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) return SimdLevel::kAvx2;
#endif
    return SimdLevel::kSse2;
}

// Three quarters of the largest cache's size over the cores that share it,
// from the processor's cache descriptions; 8 MiB where it gives none.
size_t DetectStreamingCopyBytes() {
    size_t share = 0;
#if defined(__x86_64__) || defined(__i386__)
    unsigned eax, ebx, ecx, edx;
    if (__get_cpuid_max(0, nullptr) >= 4) {
        for (unsigned i = 0; i < 16; ++i) {
            __cpuid_count(4, i, eax, ebx, ecx, edx);
            if ((eax & 31) == 0) break;  // no more caches
            if ((eax & 31) == 2) continue;  // instructions only
            const size_t ways = ((ebx >> 22) & 0x3FF) + 1;
            const size_t partitions = ((ebx >> 12) & 0x3FF) + 1;
            const size_t lineBytes = (ebx & 0xFFF) + 1;
            const size_t sets = size_t{ecx} + 1;
            const size_t sharing = ((eax >> 14) & 0xFFF) + 1;
            const size_t perCore = ways * partitions * lineBytes * sets / sharing;
            if (perCore > share) share = perCore;
        }
    }
#endif
    return share != 0 ? share / 4 * 3 : size_t{8} << 20;
}

const SimdLevel g_highest = Detect();

}  // namespace

namespace simd_level {
SimdLevel g_active = g_highest;
size_t g_streamingCopyBytes = DetectStreamingCopyBytes();
}  // namespace simd_level

SimdLevel HighestSimdLevel() { return g_highest; }

SimdLevel UseSimdLevel(SimdLevel level) {
    simd_level::g_active = level < g_highest ? level : g_highest;
    return simd_level::g_active;
}

size_t UseStreamingCopyBytes(size_t bytes) {
    const size_t before = simd_level::g_streamingCopyBytes;
    simd_level::g_streamingCopyBytes = bytes;
    return before;
}
