// MPEG-1 and MPEG-2 Layer III frame headers as the manager's MPEG decoder
// walks its source by them. Private to platform/acm.
#pragma once

#include <cstdint>

namespace platform::acm {

struct Layer3Frame {
    uint32_t bytes;    // of the whole frame, header included
    uint32_t samples;  // per channel: 1152 (MPEG-1) or 576 (MPEG-2)
    uint32_t rate;
};

// Reads the 4 header bytes at `bytes`: false unless they start a Layer III
// frame with a known rate and bitrate (free-format frames, whose length no
// header tells, are not taken).
bool ReadLayer3Frame(const uint8_t* bytes, Layer3Frame* frame);

// The smallest frame a Layer III stream at `rate` can have, and the samples
// per channel of each frame; false for a rate no Layer III stream has.
bool SmallestLayer3Frame(uint32_t rate, Layer3Frame* frame);

}  // namespace platform::acm
