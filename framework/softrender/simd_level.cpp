// The vector instruction level of the software draws, the AVX2 loops' way of
// fetching scattered texels and the size of the last-level cache, found once.
#include "framework/softrender/simd_level.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "framework/softrender/draw_loops.h"

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

// Times the AVX2 pass's copy of a stretched row with each way of fetching
// (by loads it runs the 128-bit loop), each way
// in turn several times, and returns the way with the best time: another
// program that takes the processor for a moment slows one try, not the
// choice. The rows are 2048 pixels sampled from 1366 as the stretched blit
// samples them, all in the nearest cache; the whole takes about a tenth of a
// millisecond. Both ways give the same pixels, so the choice changes only
// how long a draw takes.
GatherFetch TimeGatherFetch() {
    if (g_highest != SimdLevel::kAvx2) return GatherFetch::kLoads;
    constexpr int kWidth = 2048;
    constexpr int kSourceWidth = kWidth * 2 / 3;
    constexpr int kRows = 8;
    constexpr int kTries = 7;
    std::vector<int32_t> columns(kWidth);
    const int32_t step = kWidth * 65536 / kSourceWidth;
    SampleColumns<false>(columns.data(), kWidth, step, step, 1);
    std::vector<uint32_t> source(kSourceWidth, 0x00808080u);
    std::vector<uint32_t> dest(kWidth);
    // In the processor's time-stamp ticks. Compiled for AVX2, as the loop it
    // times is drawn into its caller.
    const auto time = [&]<bool kHardware>() __attribute__((target("avx2"))) {
        const uint64_t start = __rdtsc();
        for (int row = 0; row < kRows; ++row)
            simd_avx2::stretch_gather::GatherCopyRow<4, 4, kHardware>(
                reinterpret_cast<const uint8_t*>(source.data()), columns.data(),
                reinterpret_cast<uint8_t*>(dest.data()), kWidth, false);
        return static_cast<uint64_t>(__rdtsc() - start);
    };
    uint64_t loads = std::numeric_limits<uint64_t>::max();
    uint64_t hardware = loads;
    for (int i = 0; i < kTries; ++i) {
        loads = std::min(loads, time.template operator()<false>());
        hardware = std::min(hardware, time.template operator()<true>());
    }
    return hardware < loads ? GatherFetch::kHardware : GatherFetch::kLoads;
}

const GatherFetch g_timedGatherFetch = TimeGatherFetch();

}  // namespace

namespace simd_level {
SimdLevel g_active = g_highest;
GatherFetch g_gatherFetch = g_timedGatherFetch;
size_t g_streamingCopyBytes = DetectStreamingCopyBytes();
}  // namespace simd_level

SimdLevel HighestSimdLevel() { return g_highest; }

SimdLevel UseSimdLevel(SimdLevel level) {
    simd_level::g_active = level < g_highest ? level : g_highest;
    return simd_level::g_active;
}

GatherFetch TimedGatherFetch() { return g_timedGatherFetch; }

GatherFetch UseGatherFetch(GatherFetch fetch) {
    const GatherFetch before = simd_level::g_gatherFetch;
    simd_level::g_gatherFetch = fetch;
    return before;
}

size_t UseStreamingCopyBytes(size_t bytes) {
    const size_t before = simd_level::g_streamingCopyBytes;
    simd_level::g_streamingCopyBytes = bytes;
    return before;
}
