// The MPEG audio frame header: sync, version, layer, rate, bitrate, and the
// frame length and sample count of each layer and version.
#include <gtest/gtest.h>

#include "framework/sound/mpeg_audio_frame_header.h"

namespace {

TEST(MpegAudioFrameHeaderTest, HeadersAndWhatTheyGive) {
    struct Case {
        const char* name;
        uint8_t bytes[4];
        int result;
        int isMpeg2, layer, sampleRate, bitrate, frameBytes, samplesPerFrame, channels;
    };
    const Case cases[] = {
        {"MPEG-1 Layer III 128k 44100", {0xFF, 0xFB, 0x90, 0x64}, 0, 0, 2, 44100, 128, 417, 1152, 2},
        {"the same with padding", {0xFF, 0xFB, 0x92, 0x64}, 0, 0, 2, 44100, 128, 418, 1152, 2},
        {"MPEG-1 Layer III 320k 32000 mono", {0xFF, 0xFA, 0xE8, 0xC0}, 0, 0, 2, 32000, 320, 1440, 1152, 1},
        {"MPEG-2 Layer III 32k 22050 mono", {0xFF, 0xF3, 0x40, 0xC4}, 0, 1, 2, 22050, 32, 104, 576, 1},
        {"MPEG-2 Layer III 8k 24000 padded", {0xFF, 0xF3, 0x16, 0x00}, 0, 1, 2, 24000, 8, 25, 576, 2},
        {"MPEG-1 Layer II 128k 48000", {0xFF, 0xFD, 0x84, 0x00}, 0, 0, 1, 48000, 128, 384, 1152, 2},
        {"MPEG-2 Layer II 64k 24000", {0xFF, 0xF5, 0x84, 0x00}, 0, 1, 1, 24000, 64, 384, 1152, 2},
        {"MPEG-1 Layer I 32k 44100", {0xFF, 0xFF, 0x10, 0x00}, 0, 0, 0, 44100, 32, 32, 384, 2},
        {"the same with padding", {0xFF, 0xFF, 0x12, 0x00}, 0, 0, 0, 44100, 32, 36, 384, 2},
        {"MPEG-2 Layer I 256k 16000", {0xFF, 0xF7, 0xE8, 0x00}, 0, 1, 0, 16000, 256, 768, 384, 2},
        {"free format, padded", {0xFF, 0xFB, 0x02, 0x00}, 0, 0, 2, 44100, 0, 0, 1152, 2},
        {"no sync: first byte", {0xFE, 0xFB, 0x90, 0x64}, -2},
        {"no sync: second byte", {0xFF, 0xE3, 0x90, 0x64}, -2},
        {"reserved layer", {0xFF, 0xF9, 0x90, 0x64}, -1},
        {"bitrate index 15", {0xFF, 0xFB, 0xF0, 0x64}, -1},
        {"rate index 3", {0xFF, 0xFB, 0x9C, 0x64}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MpegAudioFrameHeader header{};
        ASSERT_EQ(ParseMpegAudioFrameHeader(&header, c.bytes), c.result);
        if (c.result != 0) continue;
        EXPECT_EQ(header.isMpeg2, c.isMpeg2);
        EXPECT_EQ(header.layer, c.layer);
        EXPECT_EQ(header.sampleRate, c.sampleRate);
        EXPECT_EQ(header.bitrate, c.bitrate);
        EXPECT_EQ(header.frameBytes, c.frameBytes);
        EXPECT_EQ(header.samplesPerFrame, c.samplesPerFrame);
        EXPECT_EQ(header.channels, c.channels);
    }
}

}  // namespace
