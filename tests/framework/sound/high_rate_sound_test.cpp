// Sounds whose rate lies above the highest one the device reports (48 kHz
// here, as the fixture's device has): Ogg Vorbis and WAVE files at 88.2,
// 96 and 192 kHz, mono and stereo, 8 and 16 bits, as memory sounds and as
// stream sounds. Each loads, keeps its own rate and is heard on the 44.1 kHz
// output for as long as it lasts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "framework/sound/sound_handles.h"
#include "framework/sound/sound_loading.h"
#include "framework/sound/sound_playback.h"
#include "framework/sound/sound_system_state.h"
#include "framework/sound/stream_sound.h"
#include "tests/framework/sound/sound_test_fixture.h"

namespace {

constexpr uint32_t kOutputRate = 44100;  // the primary format the device's 48 kHz gives
constexpr uint32_t kStepFrames = 1323;   // 30 ms of output

class HighRateSoundTest : public soundtest::SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        ASSERT_TRUE(StartSound());
        // The test refills the streams itself: the stream thread waits.
        lock_.emplace();
    }
    void TearDown() override {
        SetSoundLoadType(0);
        OggVorbisBytesPerSample = 2;
        lock_.reset();
        SoundTest::TearDown();
    }

    // Plays the sound once to its end, 30 ms of output and a refill at a
    // time, and gives what was heard (interleaved stereo).
    std::vector<int16_t> PlayOnce(int handle) {
        std::vector<int16_t> heard;
        EXPECT_EQ(PlaySoundHandle(handle, kPlayTypeBackground, 1), 0);
        for (int i = 0; i < 200 && CheckSoundHandlePlaying(handle) == 1; ++i) {
            const std::vector<int16_t> step = Mix(kStepFrames);
            heard.insert(heard.end(), step.begin(), step.end());
            ProcessStreamSound(handle);
        }
        EXPECT_EQ(CheckSoundHandlePlaying(handle), 0) << "the sound never ended";
        return heard;
    }

    std::optional<SoundLockGuard> lock_;
};

// The frames up to the last one that is not silent. A stream of 8-bit data
// ends in bytes of 127, heard as -256.
uint32_t HeardFrames(const std::vector<int16_t>& heard) {
    for (size_t frame = heard.size() / 2; frame > 0; --frame)
        if (std::abs(heard[2 * frame - 2]) > 256 || std::abs(heard[2 * frame - 1]) > 256)
            return static_cast<uint32_t>(frame);
    return 0;
}

TEST_F(HighRateSoundTest, FilesAboveTheDevicesHighestRateLoadAndAreHeardForTheirLength) {
    struct Case {
        const char* name;
        bool ogg;  // else WAVE
        uint32_t rate;
        int channels;
        int bits;
        int loadType;
    };
    const Case cases[] = {
        {"Ogg 96 kHz stereo, stream from the file", true, 96000, 2, 16, 3},
        {"Ogg 96 kHz stereo, stream from memory", true, 96000, 2, 16, 2},
        {"Ogg 96 kHz mono, in memory", true, 96000, 1, 16, 0},
        {"Ogg 96 kHz mono 8-bit, stream", true, 96000, 1, 8, 2},
        {"Ogg 96 kHz stereo 8-bit, in memory", true, 96000, 2, 8, 0},
        {"Ogg 88.2 kHz stereo, stream", true, 88200, 2, 16, 3},
        {"Ogg 192 kHz stereo, stream", true, 192000, 2, 16, 2},
        {"WAVE 96 kHz stereo, in memory", false, 96000, 2, 16, 0},
        {"WAVE 96 kHz stereo, stream", false, 96000, 2, 16, 3},
        {"WAVE 96 kHz mono 8-bit, in memory", false, 96000, 1, 8, 0},
        {"WAVE 96 kHz stereo 8-bit, stream", false, 96000, 2, 8, 2},
        {"WAVE 192 kHz mono, stream", false, 192000, 1, 16, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Half a second of a tone, or of one level (heard as that level at
        // every output frame).
        const uint32_t frames = c.rate / 2;
        std::string file;
        if (c.ogg) {
            OggVorbisBytesPerSample = c.bits / 8;
            file = soundtest::MakeOggVorbis(c.channels, c.rate, frames);
        } else {
            soundtest::WaveSpec spec;
            spec.channels = c.channels;
            spec.rate = c.rate;
            spec.bits = c.bits;
            const std::string frame = c.bits == 8 ? std::string(c.channels, '\x90') : soundtest::Le16(4096);
            for (uint32_t i = 0; i < frames * (c.bits == 8 ? 1 : c.channels); ++i) spec.data += frame;
            file = soundtest::MakeWave(spec);
        }
        SetSoundLoadType(c.loadType);
        const size_t mark = LogText().size();
        const int handle = LoadSoundFileToHandle(WriteFile(c.ogg ? "high.ogg" : "high.wav", file).c_str(), 1, -1);
        EXPECT_NE(handle, -1) << LinesSince(mark);
        if (handle == -1) continue;
        const SoundRecord* record = GetSoundRecord(handle);
        EXPECT_EQ(record->isStream, c.loadType != 0 ? 1 : 0);
        EXPECT_EQ(record->frequency, c.rate);
        EXPECT_EQ(record->format.nSamplesPerSec, c.rate);
        EXPECT_EQ(record->format.nChannels, c.channels);
        EXPECT_EQ(record->format.wBitsPerSample, c.bits);
        EXPECT_EQ(GetSoundHandleTotalSamples(handle), int(frames));
        EXPECT_EQ(GetSoundHandleTotalTimeMs(handle), 500);

        const std::vector<int16_t> heard = PlayOnce(handle);
        // Half a second at the data's own rate is half a second of output.
        EXPECT_LE(std::abs(int(HeardFrames(heard)) - int(kOutputRate / 2)), 4);
        if (!c.ogg) {
            const std::vector<int16_t> level(kOutputRate / 2 * 2 - 8, 4096);
            EXPECT_TRUE(std::equal(level.begin(), level.end(), heard.begin())) << "the level is not what was heard";
        }
        EXPECT_EQ(DeleteSoundHandle(handle, 0), 0);
    }
}

}  // namespace
