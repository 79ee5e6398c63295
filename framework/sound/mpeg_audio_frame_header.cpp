// MPEG audio frame headers: version, layer, rate, bitrate, and the frame
// length and sample count they give.
#include "framework/sound/mpeg_audio_frame_header.h"

namespace {

// kbit/s by version (MPEG-1, MPEG-2), layer (I, II, III) and index; index 0
// is free format.
constexpr int32_t kBitrates[2][3][15] = {
    {
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
    },
    {
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
    },
};

constexpr int32_t kSampleRates[2][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}};

}  // namespace

int ParseMpegAudioFrameHeader(MpegAudioFrameHeader* header, const uint8_t bytes[4]) {
    if (bytes[0] != 0xFF || (bytes[1] & 0xF0) != 0xF0) return -2;
    MpegAudioFrameHeader parsed{};
    parsed.isMpeg2 = (bytes[1] & 0x08) == 0 ? 1 : 0;
    parsed.layer = 3 - ((bytes[1] >> 1) & 3);
    parsed.bitrateIndex = bytes[2] >> 4;
    parsed.rateIndex = (bytes[2] >> 2) & 3;
    if (parsed.layer == 3 || parsed.bitrateIndex == 15 || parsed.rateIndex == 3) return -1;
    parsed.padding = (bytes[2] >> 1) & 1;
    parsed.channels = (bytes[3] >> 6) == 3 ? 1 : 2;
    parsed.sampleRate = kSampleRates[parsed.isMpeg2][parsed.rateIndex];
    parsed.bitrate = kBitrates[parsed.isMpeg2][parsed.layer][parsed.bitrateIndex];
    if (parsed.layer == 0) {
        parsed.frameBytes = (12000 * parsed.bitrate / parsed.sampleRate + parsed.padding) * 4;
        parsed.samplesPerFrame = 384;
    } else if (parsed.layer == 2 && parsed.isMpeg2) {
        parsed.frameBytes = 72000 * parsed.bitrate / parsed.sampleRate + parsed.padding;
        parsed.samplesPerFrame = 576;
    } else {
        parsed.frameBytes = 144000 * parsed.bitrate / parsed.sampleRate + parsed.padding;
        parsed.samplesPerFrame = 1152;
    }
    // A free-format frame's length is not in its header: its padding bit
    // alone is no length.
    if (parsed.bitrate == 0) parsed.frameBytes = 0;
    *header = parsed;
    return 0;
}
