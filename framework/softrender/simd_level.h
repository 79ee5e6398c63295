// Which vector instructions the software draws run on: the 128-bit SSE2
// instructions that every x86-64 processor has, or the 256-bit AVX2 ones
// where the processor (and the operating system) has them. The choice is made
// once, at start-up, from the processor the program runs on; it changes no
// pixel, only how many pixels a loop step takes.
#pragma once

#include <cstddef>
#include <cstdint>

enum class SimdLevel : uint8_t {
    kSse2,
    kAvx2,
};

// How the AVX2 loops fetch 32-bit texels from scattered places (a stretched,
// rotated or sheared source): one load a texel, or the processor's gather
// instruction. Both give the same lanes, but which is quicker differs from
// one processor to another (on some the gather takes three times as long),
// so the choice is made once, at start-up, by timing both.
enum class GatherFetch : uint8_t {
    kLoads,
    kHardware,
};

namespace simd_level {
extern SimdLevel g_active;
extern GatherFetch g_gatherFetch;
extern size_t g_streamingCopyBytes;
}  // namespace simd_level

// The level the draws use now.
inline SimdLevel ActiveSimdLevel() { return simd_level::g_active; }

// Whether a draw whose rows are `rowBytes` bytes long runs on the AVX2 loops:
// a row shorter than one 256-bit step has no such step to take, and the
// 128-bit loops draw it without the wider loops' cost of starting and ending.
inline bool UseAvx2Loops(size_t rowBytes) { return ActiveSimdLevel() == SimdLevel::kAvx2 && rowBytes >= 32; }

// The highest level this processor runs.
SimdLevel HighestSimdLevel();

// Makes the draws use `level`, or the highest level the processor runs when
// that is lower; returns the level now in use. The tests and the benchmark
// use it to run both kinds of loop on one machine.
SimdLevel UseSimdLevel(SimdLevel level);

// The way the AVX2 loops fetch texels now.
inline GatherFetch ActiveGatherFetch() { return simd_level::g_gatherFetch; }

// The way that was the quicker when timed at start-up (kLoads on a processor
// without AVX2).
GatherFetch TimedGatherFetch();

// Makes the AVX2 loops fetch texels by `fetch`; returns the way before. The
// tests and the benchmark use it to run both ways on one machine.
GatherFetch UseGatherFetch(GatherFetch fetch);

// Copies that write more bytes than this store past the caches: three
// quarters of the share of the last-level cache that each core of this
// processor has. A larger copy would only push out of the cache what the
// next draws need, and waiting for each destination line to be read in
// first costs more than it gives.
inline size_t StreamingCopyBytes() { return simd_level::g_streamingCopyBytes; }

// Makes copies of `bytes` bytes and more store past the caches; returns the
// size before. The tests use it to reach that path with small images.
size_t UseStreamingCopyBytes(size_t bytes);
