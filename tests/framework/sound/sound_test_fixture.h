// What the sound tests share: a started sound system on the virtual output
// with a fixed device list and fixed capabilities, a check that each test
// gives back the blocks it took, and sound files made in memory (WAVE by
// hand, Ogg Vorbis with the library's encoder).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/sound/sound_handles.h"
#include "tests/support/main_window_fixture.h"

namespace soundtest {

// 16-bit samples (interleaved) of a pattern that differs per frame and channel.
std::vector<int16_t> Samples16(uint32_t frames, int channels, int seed = 1);

// A RIFF/WAVE file around raw data. `chunksBeforeFmt` and `chunksBeforeData`
// are whole chunks (header and body) put in front of the "fmt " and the
// "data" chunk; `declaredDataSize` replaces the data chunk's size when not
// -1; `fmtBody` replaces the format's 16 bytes when not empty.
struct WaveSpec {
    int channels = 2;
    uint32_t rate = 44100;
    int bits = 16;
    std::string data;
    std::string fmtBody;
    std::string chunksBeforeFmt;
    std::string chunksBeforeData;
    int64_t declaredDataSize = -1;
};
std::string MakeWave(const WaveSpec& spec);
// A 16-bit PCM file of the samples.
std::string MakeWave16(const std::vector<int16_t>& samples, int channels, uint32_t rate);
std::string Chunk(const char id[4], const std::string& body);
std::string Le16(uint16_t value);
std::string Le32(uint32_t value);
std::string BytesOf(const std::vector<int16_t>& samples);

// An Ogg Vorbis file of `frames` frames of a quiet tone, encoded at
// `quality` (-0.1 to 1) as stream `serial`.
std::string MakeOggVorbis(int channels, long rate, uint32_t frames, float quality = 0.3f, int serial = 1234);

class SoundTest : public windowtest::MainWindowTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the sound system on the virtual output; true when it started.
    bool StartSound();
    // The allocator's count of live blocks, as its dump tells it.
    int LiveBlocks();
    // Writes a file into the test's folder and gives its Windows-shaped path.
    std::string WriteFile(const std::string& name, const std::string& bytes);

    // Mixes `frames` frames of output and gives them (interleaved stereo).
    static std::vector<int16_t> Mix(uint32_t frames);
    // Loads the file at `path` and expects it refused: -1, the log since
    // holding `lines` in their order and the path, and no handle and no
    // block more than `blocks` left behind.
    void ExpectLoadRefused(const std::string& path, int bufferCount, const std::vector<std::string>& lines,
                           int blocks);

    int blocksAtStart_ = 0;
};

}  // namespace soundtest
