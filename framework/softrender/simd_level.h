// Which vector instructions the software draws run on: the 128-bit SSE2
// instructions that every x86-64 processor has, or the 256-bit AVX2 ones
// where the processor (and the operating system) has them. The choice is made
// once, at start-up, from the processor the program runs on; it changes no
// pixel, only how many pixels a loop step takes.
#pragma once

#include <cstdint>

enum class SimdLevel : uint8_t {
    kSse2,
    kAvx2,
};

namespace simd_level {
extern SimdLevel g_active;
}  // namespace simd_level

// The level the draws use now.
inline SimdLevel ActiveSimdLevel() { return simd_level::g_active; }

// The highest level this processor runs.
SimdLevel HighestSimdLevel();

// Makes the draws use `level`, or the highest level the processor runs when
// that is lower; returns the level now in use. The tests and the benchmark
// use it to run both kinds of loop on one machine.
SimdLevel UseSimdLevel(SimdLevel level);
