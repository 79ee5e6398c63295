// The mixer's loops against a plain mix that does each output frame in full,
// as the arithmetic is written down: for every format, rate pair, start
// (with and without a fraction), gain and end, in chunks of any size, the
// two give the same sums and leave the voice in the same state.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/dsound/mixer.h"
#include "tests/platform/dsound/sound_fixture.h"

namespace {

using platform::dsound::Gains;
using platform::dsound::MixVoice;
using platform::dsound::SoundData;
using platform::dsound::Voice;

int32_t SampleOf(const SoundData& data, uint32_t frame, int channel) {
    const uint32_t index = frame * data.format.nChannels + channel;
    if (data.format.wBitsPerSample == 8) return (data.bytes[index] - 128) * 256;
    int16_t sample;
    std::memcpy(&sample, data.bytes.get() + 2 * index, 2);
    return sample;
}

// Each output frame on its own, every test made every time.
void ReferenceMix(Voice& voice, int32_t* mix, uint32_t frames, uint32_t outputRate) {
    const SoundData& data = *voice.data;
    const uint64_t step = ((uint64_t{voice.frequency} << 32) + outputRate - 1) / outputRate;
    const uint64_t end = uint64_t{data.frames} << 32;
    for (uint32_t i = 0; i < frames && voice.playing; ++i) {
        const uint32_t index = static_cast<uint32_t>(voice.position >> 32);
        const uint32_t next = index + 1 < data.frames ? index + 1 : (voice.looping ? 0 : index);
        const int32_t fraction = static_cast<int32_t>((voice.position >> 17) & 0x7FFF);
        for (int side = 0; side < 2; ++side) {
            const int channel = data.format.nChannels == 1 ? 0 : side;
            const int32_t a = SampleOf(data, index, channel);
            const int32_t b = SampleOf(data, next, channel);
            const int32_t sample = a + (((b - a) * fraction) >> 15);
            mix[2 * i + side] += (sample * (side == 0 ? voice.gains.left : voice.gains.right)) >> 16;
        }
        voice.position += step;
        if (voice.position >= end) {
            if (voice.looping) {
                voice.position %= end;
            } else {
                voice.playing = false;
                voice.position = 0;
            }
        }
    }
}

struct Case {
    WORD bits;
    WORD channels;
    uint32_t frames;
    uint32_t frequency;
    uint32_t outputRate;
    bool looping;
    uint64_t start;  // 32.32
    LONG volume;
    LONG pan;
};

TEST(MixReferenceTest, TheMixersLoopsGiveThePlainMixExactly) {
    const uint64_t half = uint64_t{1} << 31;
    const Case cases[] = {
        {16, 2, 1000, 44100, 44100, false, 0, 0, 0},
        {16, 2, 1000, 44100, 44100, true, 3ull << 32, -250, 0},
        {16, 2, 1000, 44100, 44100, true, (3ull << 32) + half, 0, 0},  // own rate, off the frames
        {16, 1, 777, 22050, 44100, false, 0, 0, 3000},
        {16, 1, 777, 22050, 44100, true, 776ull << 32, -1200, -200},
        {16, 2, 500, 48000, 44100, true, 0, 0, 0},
        {16, 2, 500, 11025, 48000, false, 10ull << 32, -10000, 0},
        {16, 2, 3, 200000, 8000, true, 0, 0, 0},  // many wraps a frame
        {16, 1, 1, 44100, 44100, true, 0, 0, 0},  // one frame
        {16, 1, 1, 32000, 44100, false, 0, -100, 100},
        {8, 2, 640, 32000, 44100, true, 0, -700, 0},
        {8, 1, 640, 8000, 22050, false, 639ull << 32, 0, -10000},
        {8, 1, 640, 44100, 44100, false, 100ull << 32, 0, 0},
        {8, 2, 2, 100, 44100, true, 1ull << 32, 0, 0},
    };
    const uint32_t chunkSizes[] = {1, 37, 220, 4096};
    uint32_t seed = 12345;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << "-bit " << c.channels << " channels, " << c.frames
                                        << " frames at " << c.frequency << " into " << c.outputRate
                                        << (c.looping ? " looping" : " once"));
        const WAVEFORMATEX format = soundtest::PcmFormat(c.bits, c.channels, c.frequency);
        auto data = std::make_shared<SoundData>(format, c.frames * format.nBlockAlign);
        for (uint32_t i = 0; i < data->size; ++i) {
            seed = seed * 1103515245u + 12345u;
            data->bytes[i] = static_cast<uint8_t>(seed >> 16);
        }
        Voice fresh;
        fresh.data = data;
        fresh.position = c.start;
        fresh.frequency = c.frequency;
        fresh.volume = c.volume;
        fresh.pan = c.pan;
        fresh.gains = platform::dsound::GainsOf(c.volume, c.pan);
        fresh.playing = true;
        fresh.looping = c.looping;
        const uint32_t total = 3 * c.frames + 500;
        Voice expectedVoice = fresh;
        std::vector<int32_t> expected(2 * total, 11);
        ReferenceMix(expectedVoice, expected.data(), total, c.outputRate);
        for (uint32_t chunk : chunkSizes) {
            SCOPED_TRACE(testing::Message() << "chunks of " << chunk);
            Voice voice = fresh;
            std::vector<int32_t> mixed(2 * total, 11);
            for (uint32_t done = 0; done < total; done += chunk)
                MixVoice(voice, mixed.data() + 2 * done, std::min(chunk, total - done), c.outputRate);
            ASSERT_EQ(mixed, expected);
            EXPECT_EQ(voice.position, expectedVoice.position);
            EXPECT_EQ(voice.playing, expectedVoice.playing);
        }
    }
}

TEST(MixReferenceTest, StoringSaturatesAndAMonoOutputTakesTheMean) {
    const int32_t mix[] = {40000, -40000, 100, 301, -7, -8, 32767, 32768};
    int16_t stereo[8];
    platform::dsound::StoreMix(mix, stereo, 4, 2);
    EXPECT_EQ(std::vector<int16_t>(stereo, stereo + 8),
              (std::vector<int16_t>{32767, -32768, 100, 301, -7, -8, 32767, 32767}));
    int16_t mono[4];
    platform::dsound::StoreMix(mix, mono, 4, 1);
    EXPECT_EQ(std::vector<int16_t>(mono, mono + 4), (std::vector<int16_t>{0, 200, -8, 32767}));
}

}  // namespace
