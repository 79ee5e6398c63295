// The compressed formats the manager's decoders take, and the PCM each one
// decodes to. Private to platform/acm.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/acm/acm.h"

namespace platform::acm {

enum class Codec { MsAdpcm, ImaAdpcm, ALaw, MuLaw, Gsm610, MpegLayer3 };

struct SourceFormat {
    Codec codec;
    uint16_t channels;
    uint32_t rate;
    // Source bytes of one block: what is converted whole. A-law and mu-law
    // blocks are one sample per channel; MPEG audio goes by frames instead.
    uint16_t blockAlign;
    uint16_t bitsPerSample;
    // Samples per channel that one block decodes to; 0 for MPEG audio, whose
    // frames tell.
    uint32_t samplesPerBlock;
    // MS ADPCM: the predictor pairs the blocks name by index.
    std::vector<std::array<int16_t, 2>> adpcmCoefficients;
};

// Reads a wave format: false for a tag no decoder takes or a shape its
// decoder cannot decode (no channels, rate or block align; a block too
// small for its header; a sample size the decoder does not know) or a
// format that contradicts itself (more samples per block than the block
// holds, a predictor table longer than the bytes behind the format). Reads
// the cbSize bytes behind the format where the tag has any the decoder
// needs.
bool DescribeSource(const WAVEFORMATEX* format, SourceFormat* out);

// 16-bit PCM with the source's channels and rate.
WAVEFORMATEX PcmOutput(const SourceFormat& source);

// Bytes of one output sample frame.
inline uint32_t OutputFrameBytes(const SourceFormat& source) { return source.channels * 2u; }

}  // namespace platform::acm
