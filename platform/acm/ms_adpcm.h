// MS ADPCM blocks decoded with the predictor table their format carries.
// Private to platform/acm.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace platform::acm {

// The seven predictor pairs a format without a table of its own uses.
extern const std::array<int16_t, 2> kStandardAdpcmCoefficients[7];

struct MsAdpcmLayout {
    uint16_t channels;    // 1 or 2
    uint16_t blockAlign;  // bytes of a block, header included
    // Sample frames a block decodes to: the two of the header and one per
    // nibble (per byte in stereo) after it, no more than the block holds.
    uint32_t samplesPerBlock;
    std::vector<std::array<int16_t, 2>> coefficients;  // at least one pair
};

// Sample frames a block of `blockAlign` bytes can hold at most: 0 when it
// is too small for its header.
uint32_t MsAdpcmBlockCapacity(uint16_t blockAlign, uint16_t channels);

// Decodes one block (`layout.blockAlign` bytes at `block`) and appends its
// interleaved 16-bit samples. False, with nothing appended, when a channel's
// header names a pair the table does not have.
bool DecodeMsAdpcmBlock(const MsAdpcmLayout& layout, const uint8_t* block, std::vector<int16_t>* samples);

}  // namespace platform::acm
