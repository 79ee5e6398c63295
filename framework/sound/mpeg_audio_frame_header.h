// The 4-byte header in front of every MPEG audio frame.
#pragma once

#include <cstdint>

struct MpegAudioFrameHeader {
    int32_t isMpeg2;  // 1 for the low sampling frequencies of MPEG-2, 0 for MPEG-1
    int32_t layer;    // 0 Layer I, 1 Layer II, 2 Layer III
    int32_t bitrateIndex;
    int32_t rateIndex;
    int32_t padding;
    int32_t channels;  // 1 for mono, else 2
    int32_t sampleRate;
    int32_t bitrate;  // kbit/s; 0 for free format, whose frames are not measured
    int32_t frameBytes;  // 0 for free format
    int32_t samplesPerFrame;
};

// 0; -2 when the bytes hold no sync (0xFF and a byte with its top 4 bits
// set); -1 for a reserved layer, bitrate index 15 or rate index 3.
int ParseMpegAudioFrameHeader(MpegAudioFrameHeader* header, const uint8_t bytes[4]);
