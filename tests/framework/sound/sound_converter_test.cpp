// The sound converter: which WAVE files it takes and the format it reports,
// reading, seeking and whole conversion of WAVE data, and Ogg Vorbis through
// the library's decoder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "framework/files/stream_functions.h"
#include "framework/sound/sound_converter.h"
#include "framework/base/tracked_memory.h"
#include "tests/framework/sound/sound_test_fixture.h"

namespace {

using soundtest::Chunk;
using soundtest::Le16;
using soundtest::Le32;
using soundtest::MakeWave;
using soundtest::WaveSpec;

class SoundConverterTest : public soundtest::SoundTest {
protected:
    // Opens a converter over a memory stream of `bytes`.
    int Open(const std::string& bytes) {
        bytes_ = bytes;
        stream_ = OpenMemoryStream(bytes_.data(), static_cast<uint32_t>(bytes_.size()));
        source_ = StreamSource{*GetMemoryStreamFunctions(), stream_};
        return OpenSoundConverter(&source_, &converter_);
    }
    void TearDown() override {
        if (converter_.open) CloseSoundConverter(&converter_);
        if (stream_ != 0) CloseMemoryStream(stream_);
        SoundTest::TearDown();
    }
    std::string ReadAll(int step) {
        std::string out;
        std::vector<char> buffer(step);
        for (;;) {
            const int read = ReadSoundConverterPcm(&converter_, buffer.data(), step);
            if (read <= 0) break;
            out.append(buffer.data(), read);
        }
        return out;
    }

    std::string bytes_;
    uintptr_t stream_ = 0;
    StreamSource source_{};
    SoundConverter converter_{};
};

std::string FormatBody(uint16_t tag, uint16_t channels, uint32_t rate, uint32_t average, uint16_t blockAlign,
                       uint16_t bits) {
    return Le16(tag) + Le16(channels) + Le32(rate) + Le32(average) + Le16(blockAlign) + Le16(bits);
}

TEST_F(SoundConverterTest, WaveFilesItTakesAndRefuses) {
    const std::string data = soundtest::BytesOf(soundtest::Samples16(250, 2));
    struct Case {
        const char* name;
        WaveSpec spec;
        bool opens;
        uint32_t dataSize;
    };
    auto spec = [&](auto change) {
        WaveSpec s;
        s.data = data;
        change(s);
        return s;
    };
    const Case cases[] = {
        {"plain", spec([](WaveSpec&) {}), true, 1000},
        // Bits are taken from the block align; the average is recomputed.
        {"16-byte format with odd bits and average", spec([](WaveSpec& s) {
             s.fmtBody = FormatBody(1, 2, 44100, 12345, 4, 99);
         }),
         true, 1000},
        {"18-byte format with extra size", spec([](WaveSpec& s) {
             s.fmtBody = FormatBody(1, 2, 44100, 176400, 4, 16) + Le16(22);
         }),
         true, 1000},
        {"longer format cut to 18 bytes", spec([](WaveSpec& s) {
             s.fmtBody = FormatBody(1, 2, 44100, 176400, 4, 16) + Le16(0) + "junk";
         }),
         true, 1000},
        {"bext before the format", spec([](WaveSpec& s) { s.chunksBeforeFmt = Chunk("bext", std::string(602, 'b')); }),
         true, 1000},
        {"odd chunk with its pad before the data", spec([](WaveSpec& s) {
             s.chunksBeforeData = Chunk("LIST", std::string(13, 'l')) + Chunk("fact", Le32(250));
         }),
         true, 1000},
        {"data chunk longer than the file", spec([](WaveSpec& s) { s.declaredDataSize = 4000; }), true, 1000},
        {"trailing part of a block", spec([](WaveSpec& s) { s.data += "xy"; }), true, 1000},
        {"LIST before the format", spec([](WaveSpec& s) { s.chunksBeforeFmt = Chunk("LIST", "INFOabcd"); }), false, 0},
        {"zero block align", spec([](WaveSpec& s) { s.fmtBody = FormatBody(1, 2, 44100, 0, 0, 16); }), false, 0},
        {"block align against the bits", spec([](WaveSpec& s) { s.fmtBody = FormatBody(1, 2, 44100, 0, 6, 16) + Le16(0); }),
         false, 0},
        {"no channels", spec([](WaveSpec& s) { s.fmtBody = FormatBody(1, 0, 44100, 0, 4, 16); }), false, 0},
        {"no rate", spec([](WaveSpec& s) { s.fmtBody = FormatBody(1, 2, 0, 0, 4, 16); }), false, 0},
        {"format body of 14 bytes", spec([](WaveSpec& s) { s.fmtBody = FormatBody(1, 2, 44100, 0, 4, 16).substr(0, 14); }),
         false, 0},
        {"compressed tag", spec([](WaveSpec& s) { s.fmtBody = FormatBody(2, 2, 44100, 0, 4, 16); }), false, 0},
        {"no data chunk", WaveSpec{}, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string file = MakeWave(c.spec);
        if (std::string(c.name) == "no data chunk") file = file.substr(0, file.size() - 8);
        const bool noData = std::string(c.name) == "no data chunk";
        const int blocks = LiveBlocks();
        ASSERT_EQ(Open(file), (c.opens && !noData) ? 0 : -1);
        if (converter_.open) {
            WAVEFORMATEX format{};
            GetSoundConverterFormat(&converter_, &format);
            EXPECT_EQ(format.wFormatTag, 1);
            EXPECT_EQ(format.nChannels, 2);
            EXPECT_EQ(format.nSamplesPerSec, 44100u);
            EXPECT_EQ(format.nAvgBytesPerSec, 176400u);
            EXPECT_EQ(format.nBlockAlign, 4);
            EXPECT_EQ(format.wBitsPerSample, 16);
            EXPECT_EQ(format.cbSize, 0);
            EXPECT_EQ(GetSoundConverterPcmSize(&converter_), c.dataSize);
            EXPECT_EQ(ReadAll(333), data);
            CloseSoundConverter(&converter_);
        }
        CloseMemoryStream(stream_);
        stream_ = 0;
        EXPECT_EQ(LiveBlocks(), blocks);
    }
}

TEST_F(SoundConverterTest, ReadsEndWithWhatIsLeftAndThenNothing) {
    const std::string data = soundtest::BytesOf(soundtest::Samples16(300, 1));
    WaveSpec spec;
    spec.channels = 1;
    spec.data = data;
    ASSERT_EQ(Open(MakeWave(spec)), 0);
    std::vector<char> buffer(1000);
    EXPECT_EQ(ReadSoundConverterPcm(&converter_, buffer.data(), 500), 500);
    EXPECT_EQ(ReadSoundConverterPcm(&converter_, buffer.data() + 500, 500), 100);
    EXPECT_EQ(std::string(buffer.data(), 600), data);
    EXPECT_EQ(converter_.atEnd, 1);
    EXPECT_EQ(ReadSoundConverterPcm(&converter_, buffer.data(), 500), 0);
    EXPECT_EQ(ReadSoundConverterPcm(&converter_, buffer.data(), 500), 0);

    // A seek starts the data again; one within 15 bytes does nothing.
    ASSERT_EQ(SeekSoundConverter(&converter_, 100), 0);
    EXPECT_EQ(ReadSoundConverterPcm(&converter_, buffer.data(), 20), 20);
    EXPECT_EQ(std::string(buffer.data(), 20), data.substr(200, 20));
    ASSERT_EQ(SeekSoundConverter(&converter_, 105), 0);
    EXPECT_EQ(converter_.pcmPosition, 220u);
    EXPECT_EQ(ReadSoundConverterPcm(&converter_, buffer.data(), 10), 10);
    EXPECT_EQ(std::string(buffer.data(), 10), data.substr(220, 10));

    // Data shorter than 16 bytes read to its end starts again on a seek back.
    CloseSoundConverter(&converter_);
    CloseMemoryStream(stream_);
    spec.data = data.substr(0, 6);
    ASSERT_EQ(Open(MakeWave(spec)), 0);
    EXPECT_EQ(ReadSoundConverterPcm(&converter_, buffer.data(), 500), 6);
    EXPECT_EQ(converter_.atEnd, 1);
    ASSERT_EQ(SeekSoundConverter(&converter_, 0), 0);
    EXPECT_EQ(converter_.atEnd, 0);
    EXPECT_EQ(ReadSoundConverterPcm(&converter_, buffer.data(), 500), 6);
    EXPECT_EQ(std::string(buffer.data(), 6), data.substr(0, 6));
}

// A stream whose seeks fail once the converter is open.
bool gRefuseSeeks = false;
int RefusingSeek(uintptr_t stream, int32_t offset, int origin) {
    return gRefuseSeeks ? -1 : MemStreamSeek(stream, offset, origin);
}

TEST_F(SoundConverterTest, AFailedSeekIsReported) {
    WaveSpec spec;
    spec.data = soundtest::BytesOf(soundtest::Samples16(300, 2));
    bytes_ = MakeWave(spec);
    stream_ = OpenMemoryStream(bytes_.data(), static_cast<uint32_t>(bytes_.size()));
    source_ = StreamSource{*GetMemoryStreamFunctions(), stream_};
    source_.functions.seek = RefusingSeek;
    gRefuseSeeks = false;
    ASSERT_EQ(OpenSoundConverter(&source_, &converter_), 0);
    gRefuseSeeks = true;
    EXPECT_EQ(SeekSoundConverter(&converter_, 200), -1);
    gRefuseSeeks = false;
    EXPECT_EQ(SeekSoundConverter(&converter_, 200), 0);
}

TEST_F(SoundConverterTest, WholeConversionOfATruncatedWave) {
    const std::string data = soundtest::BytesOf(soundtest::Samples16(500, 2));
    WaveSpec spec;
    spec.data = data;
    spec.declaredDataSize = 1 << 20;
    ASSERT_EQ(Open(MakeWave(spec)), 0);
    std::vector<char> skip(64);
    ReadSoundConverterPcm(&converter_, skip.data(), 64);
    WAVEFORMATEX format{};
    void* pcm = nullptr;
    int bytes = 0;
    ASSERT_EQ(ConvertWholeSoundToPcm(&converter_, &format, &pcm, &bytes), 0);
    EXPECT_EQ(bytes, 2000);
    EXPECT_EQ(std::string(static_cast<const char*>(pcm), bytes), data);
    EXPECT_EQ(format.nBlockAlign, 4);
    FreeMemory(pcm);
}

TEST_F(SoundConverterTest, OggVorbisLengthReadAndSeek) {
    const uint32_t frames = 22050 + 77;
    ASSERT_EQ(Open(soundtest::MakeOggVorbis(2, 22050, frames)), 0);
    EXPECT_EQ(converter_.kind, kSoundConverterOggVorbis);
    WAVEFORMATEX format{};
    GetSoundConverterFormat(&converter_, &format);
    EXPECT_EQ(format.nChannels, 2);
    EXPECT_EQ(format.nSamplesPerSec, 22050u);
    EXPECT_EQ(format.wBitsPerSample, 16);
    EXPECT_EQ(format.nBlockAlign, 4);
    EXPECT_EQ(format.nAvgBytesPerSec, 88200u);
    EXPECT_EQ(GetSoundConverterPcmSize(&converter_), frames * 4);

    void* pcm = nullptr;
    int bytes = 0;
    ASSERT_EQ(ConvertWholeSoundToPcm(&converter_, &format, &pcm, &bytes), 0);
    ASSERT_EQ(bytes, static_cast<int>(frames * 4));
    const std::string whole(static_cast<const char*>(pcm), bytes);
    FreeMemory(pcm);
    // The decoded samples are the encoded tone: signed, interleaved, each
    // channel its own, within the loss of the coding (2% of full scale).
    int worst = 0;
    for (uint32_t i = 0; i < frames - 1; ++i) {
        for (int c = 0; c < 2; ++c) {
            int16_t sample = 0;
            std::memcpy(&sample, whole.data() + (i * 2 + c) * 2, 2);
            const int expected = static_cast<int>(std::lround(0.25 * 32768 * std::sin(0.05f * float(i) * float(c + 1))));
            worst = std::max(worst, std::abs(sample - expected));
        }
    }
    EXPECT_LE(worst, 655);

    ASSERT_EQ(SeekSoundConverter(&converter_, 10000), 0);
    EXPECT_EQ(converter_.atEnd, 0);
    std::vector<char> buffer(4000);
    ASSERT_EQ(ReadSoundConverterPcm(&converter_, buffer.data(), 4000), 4000);
    EXPECT_EQ(std::string(buffer.data(), 4000), whole.substr(40000, 4000));
    ASSERT_EQ(SeekSoundConverter(&converter_, frames - 10), 0);
    EXPECT_EQ(ReadSoundConverterPcm(&converter_, buffer.data(), 4000), 40);
    EXPECT_EQ(ReadSoundConverterPcm(&converter_, buffer.data(), 4000), 0);
}

// The links of a chained file each have their format, the output one: it is
// the links of the first one's format, up to the first of another.
TEST_F(SoundConverterTest, AChainedOggVorbisFileEndsWhereItsFormatChanges) {
    const std::string same = soundtest::MakeOggVorbis(2, 22050, 5000, 0.3f, 1) +
                             soundtest::MakeOggVorbis(2, 22050, 3000, 0.3f, 2);
    ASSERT_EQ(Open(same), 0);
    const std::string expected = ReadAll(4096);
    ASSERT_EQ(expected.size(), size_t(8000 * 4));
    CloseSoundConverter(&converter_);
    CloseMemoryStream(stream_);

    ASSERT_EQ(Open(same + soundtest::MakeOggVorbis(1, 44100, 4000, 0.3f, 3) +
                   soundtest::MakeOggVorbis(2, 22050, 1000, 0.3f, 4)),
              0);
    WAVEFORMATEX format{};
    GetSoundConverterFormat(&converter_, &format);
    EXPECT_EQ(format.nChannels, 2);
    EXPECT_EQ(format.nSamplesPerSec, 22050u);
    EXPECT_EQ(GetSoundConverterPcmSize(&converter_), 8000u * 4);
    EXPECT_TRUE(ReadAll(4096) == expected);
    // Seeking stays within those links.
    ASSERT_EQ(SeekSoundConverter(&converter_, 6000), 0);
    EXPECT_TRUE(ReadAll(4096) == expected.substr(6000 * 4));
    EXPECT_EQ(SeekSoundConverter(&converter_, 8001), -1);
}

TEST_F(SoundConverterTest, DataOfNoKnownKindIsRefused) {
    const int blocks = LiveBlocks();
    EXPECT_EQ(Open(std::string(5000, 'z')), -1);
    EXPECT_EQ(converter_.open, 0);
    CloseMemoryStream(stream_);
    stream_ = 0;
    EXPECT_EQ(LiveBlocks(), blocks);
    std::vector<char> buffer(16);
    EXPECT_EQ(ReadSoundConverterPcm(&converter_, buffer.data(), 16), -1);
    EXPECT_EQ(CloseSoundConverter(&converter_), -1);
}

}  // namespace
