// The virtual sound output as tests drive it. Private to the platform (and
// to tests and benchmarks).
//
// With the machine profile's sound output set to Virtual, an initialised
// sound object mixes nothing by itself: each advance mixes that many frames
// at the output's rate, exactly as a device that consumed them would, and
// keeps them to be read.
#pragma once

#include <cstdint>
#include <vector>

namespace platform::dsound {

struct VirtualMix {
    uint32_t frequency = 0;
    int channels = 0;
    std::vector<int16_t> samples;  // interleaved
};

// Mixes `frames` frames. False when the virtual output is not the open one.
bool AdvanceVirtualOutput(uint32_t frames);
// What was mixed since the last take, in the output's format; the record is
// then emptied.
VirtualMix TakeVirtualOutput();

}  // namespace platform::dsound
