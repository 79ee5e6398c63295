// Compressed WAVE and MP3 data through the compression manager: FFmpeg's own
// decoding of WAVE fixtures read whole and block by block, the ID3 tags and
// frame count of MP3 files, the seek that starts again from the first frame,
// the end of the data, the guard on compressed formats, injected failures,
// damaged files, and the sounds made from such files.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "framework/base/tracked_memory.h"
#include "framework/files/stream_functions.h"
#include "framework/sound/sound_converter.h"
#include "framework/sound/sound_handles.h"
#include "framework/sound/sound_loading.h"
#include "framework/sound/sound_playback.h"
#include "platform/profile/machine_profile.h"
#include "tests/framework/sound/sound_test_fixture.h"

namespace {

using soundtest::Le32;

std::string ReadFixture(const std::string& name) {
    std::ifstream file(std::string(KILN_TEST_DATA_DIR) + "/sound/" + name, std::ios::binary);
    EXPECT_TRUE(file.good()) << name;
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// Where the "fmt " body of a fixture made by FFmpeg lies.
constexpr size_t kFmtBody = 20;

// An ID3v2 tag of `bodyBytes` bytes of the given version and flags.
std::string Id3v2(uint8_t version, uint8_t flags, uint32_t bodyBytes, const std::string& footer = "") {
    std::string tag = "ID3";
    tag += char(version);
    tag += '\0';
    tag += char(flags);
    for (int shift = 21; shift >= 0; shift -= 7) tag += char((bodyBytes >> shift) & 0x7F);
    return tag + std::string(bodyBytes, 'x') + footer;
}

std::string Id3v1() { return "TAG" + std::string(125, 'y'); }

constexpr uint32_t kStereoMp3Frames = 13;

class CompressedConversionTest : public soundtest::SoundTest {
protected:
    int Open(const std::string& bytes) {
        // These tests are about the compression manager's kinds: the graph's
        // decoder, tried last, would take what they refuse.
        platform::Profile().directShow.filterGraph = false;
        if (converter_.open) CloseSoundConverter(&converter_);
        if (stream_ != 0) CloseMemoryStream(stream_);
        bytes_ = bytes;
        stream_ = OpenMemoryStream(bytes_.data(), static_cast<uint32_t>(bytes_.size()));
        source_ = StreamSource{*GetMemoryStreamFunctions(), stream_};
        return OpenSoundConverter(&source_, &converter_);
    }
    void Close() {
        if (converter_.open) CloseSoundConverter(&converter_);
        if (stream_ != 0) CloseMemoryStream(stream_);
        stream_ = 0;
    }
    void TearDown() override {
        Close();
        SoundTest::TearDown();
    }
    std::string Read(int bytes) {
        std::string out(bytes, '\0');
        const int read = ReadSoundConverterPcm(&converter_, out.data(), bytes);
        out.resize(read > 0 ? read : 0);
        return out;
    }
    std::string ReadAll(int step) {
        std::string out;
        for (std::string piece; !(piece = Read(step)).empty();) out += piece;
        return out;
    }
    std::string ConvertWhole() {
        WAVEFORMATEX format{};
        void* pcm = nullptr;
        int bytes = 0;
        EXPECT_EQ(ConvertWholeSoundToPcm(&converter_, &format, &pcm, &bytes), 0);
        std::string out(static_cast<const char*>(pcm), bytes);
        FreeMemory(pcm);
        return out;
    }

    std::string bytes_;
    uintptr_t stream_ = 0;
    StreamSource source_{};
    SoundConverter converter_{};
};

TEST_F(CompressedConversionTest, WaveFilesGiveWhatFfmpegDecodesWholeAndBlockByBlock) {
    struct Case {
        const char* wave;
        const char* decoded;
        int channels;
        uint32_t rate;
    };
    const Case cases[] = {
        {"ms_adpcm_stereo.wav", "ms_adpcm_stereo.s16", 2, 11025},
        {"ima_adpcm_mono.wav", "ima_adpcm_mono.s16", 1, 11025},
        {"alaw_mono.wav", "alaw_mono.s16", 1, 8000},
        {"mulaw_stereo.wav", "mulaw_stereo.s16", 2, 8000},
        {"gsm_mono.wav", "gsm_mono.s16", 1, 8000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.wave);
        const std::string wave = ReadFixture(c.wave);
        const std::string decoded = ReadFixture(c.decoded);
        ASSERT_EQ(Open(wave), 0);
        EXPECT_EQ(converter_.kind, kSoundConverterAcm);
        WAVEFORMATEX format{};
        GetSoundConverterFormat(&converter_, &format);
        EXPECT_EQ(format.wFormatTag, WAVE_FORMAT_PCM);
        EXPECT_EQ(format.nChannels, c.channels);
        EXPECT_EQ(format.nSamplesPerSec, c.rate);
        EXPECT_EQ(format.wBitsPerSample, 16);
        EXPECT_EQ(format.nBlockAlign, c.channels * 2);
        EXPECT_EQ(converter_.bufferSize, c.rate * c.channels * 2);
        EXPECT_EQ(GetSoundConverterPcmSize(&converter_), decoded.size());
        EXPECT_EQ(ConvertWhole(), decoded);
        for (int step : {4096, 999, 2}) {
            SCOPED_TRACE(step);
            ASSERT_EQ(Open(wave), 0);
            EXPECT_EQ(ReadAll(step), decoded);
        }
    }

    // Layer III frames in a WAVE file: the size is the compression manager's
    // bound, the data what the frames give.
    ASSERT_EQ(Open(ReadFixture("mp3_in_wave.wav")), 0);
    EXPECT_EQ(converter_.kind, kSoundConverterAcm);
    EXPECT_GE(GetSoundConverterPcmSize(&converter_), 10u * 576 * 2);
    EXPECT_EQ(ConvertWhole().size(), 10u * 576 * 2);
}

TEST_F(CompressedConversionTest, AnMp3BetweenId3TagsCountsItsFrames) {
    const std::string frames = ReadFixture("stereo_44100.mp3");
    const uint32_t pcmBytes = kStereoMp3Frames * 1152 * 4;
    // Bytes that would read as a broken frame header if they were scanned.
    const std::string broken = "\xFF\xFF\xFF\xFF";
    const std::string footer = std::string("3DI\x04\x00\x10", 6) + broken;
    struct Case {
        const char* name;
        std::string head;
        std::string tail;
    };
    const Case cases[] = {
        {"no tags", "", ""},
        {"ID3v2.3 and ID3v1", Id3v2(3, 0, 300), Id3v1()},
        {"ID3v2.4 with its footer", Id3v2(4, 0x10, 290, footer), ""},
        {"bytes between the tag and the first frame", Id3v2(3, 0, 20) + std::string(7, '\0'), Id3v1()},
        {"bytes before the ID3v1 tag", "", std::string(50, '\0') + Id3v1()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(Open(c.head + frames + c.tail), 0);
        EXPECT_EQ(converter_.kind, kSoundConverterAcm);
        EXPECT_EQ(converter_.acmTotalSamples, int32_t(kStereoMp3Frames * 1152));
        EXPECT_EQ(converter_.dataStart, c.head.size());
        EXPECT_EQ(converter_.dataSize, frames.size() + (c.tail.size() > 128 ? c.tail.size() - 128 : 0));
        EXPECT_EQ(converter_.bufferSize, 44100u * 4 * 4 / 3);
        const MPEGLAYER3WAVEFORMAT* source = reinterpret_cast<const MPEGLAYER3WAVEFORMAT*>(converter_.acmSourceFormat);
        EXPECT_EQ(source->wfx.wFormatTag, WAVE_FORMAT_MPEGLAYER3);
        EXPECT_EQ(source->wfx.nAvgBytesPerSec, 16000u);
        EXPECT_EQ(source->wfx.cbSize, 12);
        EXPECT_EQ(source->nBlockSize, 417 + ((uint8_t(frames[2]) >> 1) & 1));
        EXPECT_EQ(source->nCodecDelay, 700);
        EXPECT_EQ(GetSoundConverterPcmSize(&converter_), pcmBytes);
        EXPECT_EQ(ReadAll(5000).size(), pcmBytes);
    }

    // Without the footer flag those bytes are scanned, and fail the open.
    EXPECT_EQ(Open(Id3v2(3, 0x10, 290, footer) + frames), -1);
    // Free format gives no frame length.
    EXPECT_EQ(Open(std::string("\xFF\xFB\x02\x00", 4) + std::string(500, '\0')), -1);
}

TEST_F(CompressedConversionTest, OtherMpegAudio) {
    // MPEG-2 Layer III: 576 samples a frame.
    ASSERT_EQ(Open(ReadFixture("mono_22050.mp3")), 0);
    WAVEFORMATEX format{};
    GetSoundConverterFormat(&converter_, &format);
    EXPECT_EQ(format.nChannels, 1);
    EXPECT_EQ(format.nSamplesPerSec, 22050u);
    EXPECT_EQ(GetSoundConverterPcmSize(&converter_), 14u * 576 * 2);
    EXPECT_EQ(ConvertWhole().size(), 14u * 576 * 2);

    // Layer II is left to the converters after the compression manager.
    EXPECT_EQ(Open(ReadFixture("layer2_44100.mp2")), -1);
}

TEST_F(CompressedConversionTest, SeekingBackStartsAgainFromTheFirstFrame) {
    const std::string file = Id3v2(3, 0, 100) + ReadFixture("stereo_44100.mp3") + Id3v1();
    ASSERT_EQ(Open(file), 0);
    const std::string full = ReadAll(4000);
    ASSERT_EQ(full.size(), kStereoMp3Frames * 1152 * 4);
    ASSERT_EQ(converter_.atEnd, 1);

    // Back to the start: the data from its first byte again.
    ASSERT_EQ(SeekSoundConverter(&converter_, 0), 0);
    EXPECT_EQ(converter_.atEnd, 0);
    EXPECT_LE(converter_.acmConsumed, 2048u);
    EXPECT_EQ(Read(1000), full.substr(0, 1000));

    // Forward without starting again, within the buffer and past it.
    const uint32_t consumed = converter_.acmConsumed;
    ASSERT_EQ(SeekSoundConverter(&converter_, 1000), 0);
    EXPECT_EQ(converter_.acmConsumed, consumed);
    EXPECT_EQ(Read(400), full.substr(4000, 400));
    ASSERT_EQ(SeekSoundConverter(&converter_, 12000), 0);
    EXPECT_EQ(converter_.pcmPosition, 48000u);
    EXPECT_EQ(Read(400), full.substr(48000, 400));

    // Within 15 bytes either way nothing moves.
    for (int sample : {12100 + 3, 12100 - 3, 12100}) {
        ASSERT_EQ(SeekSoundConverter(&converter_, sample), 0);
        EXPECT_EQ(converter_.pcmPosition, 48400u);
    }
    EXPECT_EQ(Read(8), full.substr(48400, 8));

    // Back into the middle: started again and converted up to there.
    ASSERT_EQ(SeekSoundConverter(&converter_, 5000), 0);
    EXPECT_EQ(converter_.pcmPosition, 20000u);
    EXPECT_EQ(ReadAll(3000), full.substr(20000));

    // Past the end: the seek stops at the end and the next read ends the data.
    ASSERT_EQ(SeekSoundConverter(&converter_, 0), 0);
    ASSERT_EQ(SeekSoundConverter(&converter_, 1000000), 0);
    EXPECT_EQ(converter_.pcmPosition, full.size());
    EXPECT_EQ(Read(100), "");
    EXPECT_EQ(converter_.atEnd, 1);
}

TEST_F(CompressedConversionTest, ReadingPastTheEndGivesTheRestThenNothing) {
    const std::string decoded = ReadFixture("ima_adpcm_mono.s16");
    ASSERT_EQ(Open(ReadFixture("ima_adpcm_mono.wav")), 0);
    EXPECT_EQ(Read(int(decoded.size()) - 100), decoded.substr(0, decoded.size() - 100));
    EXPECT_EQ(Read(1000), decoded.substr(decoded.size() - 100));
    EXPECT_EQ(converter_.atEnd, 1);
    EXPECT_EQ(Read(1000), "");
    EXPECT_EQ(Read(1000), "");
}

TEST_F(CompressedConversionTest, CompressedFormatsAreCheckedBeforeTheyReachADecoder) {
    const std::string wave = ReadFixture("ms_adpcm_stereo.wav");
    const std::string decoded = ReadFixture("ms_adpcm_stereo.s16");
    ASSERT_EQ(wave.substr(kFmtBody - 8, 4), "fmt ");
    auto with = [&](size_t at, std::string bytes) { return wave.substr(0, at) + bytes + wave.substr(at + bytes.size()); };
    struct Case {
        const char* name;
        std::string file;
        bool opens;
    };
    const Case cases[] = {
        {"no channels", with(kFmtBody + 2, std::string(2, '\0')), false},
        {"no rate", with(kFmtBody + 4, std::string(4, '\0')), false},
        {"no block align", with(kFmtBody + 12, std::string(2, '\0')), false},
        // The extra bytes named by cbSize are only those the body holds.
        {"cbSize past the body", with(kFmtBody + 16, "\xFF\xFF"), true},
        {"a body cut short of the coefficients",
         with(kFmtBody - 4, Le32(20)).substr(0, kFmtBody + 20) + wave.substr(kFmtBody + 50), true},
        // The sizes the format declares must fit what is there.
        {"more samples per block than a block holds", with(kFmtBody + 18, soundtest::Le16(245)), false},
        {"more coefficient pairs than the body holds", with(kFmtBody + 20, soundtest::Le16(8)), false},
        {"no coefficient pairs", with(kFmtBody + 20, soundtest::Le16(0)), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(Open(c.file), c.opens ? 0 : -1);
        if (c.opens) {
            EXPECT_EQ(ConvertWhole(), decoded);
        }
    }

    // A table of its own is decoded with: each block's two header samples
    // are as before, what the pairs predict is not.
    std::string ownTable = wave;
    for (size_t pair = 0; pair < 7; ++pair) ownTable[kFmtBody + 22 + pair * 4] ^= 0x10;
    ASSERT_EQ(Open(ownTable), 0);
    const std::string own = ConvertWhole();
    ASSERT_EQ(own.size(), decoded.size());
    EXPECT_EQ(own.substr(0, 8), decoded.substr(0, 8));
    EXPECT_NE(own.substr(8, 968), decoded.substr(8, 968));

    // A 16-byte format body has no extra bytes.
    const std::string alaw = ReadFixture("alaw_mono.wav");
    ASSERT_EQ(alaw.substr(kFmtBody - 4, 4), Le32(18));
    ASSERT_EQ(Open(alaw.substr(0, kFmtBody - 4) + Le32(16) + alaw.substr(kFmtBody, 16) + alaw.substr(kFmtBody + 18)),
              0);
    EXPECT_EQ(ConvertWhole(), ReadFixture("alaw_mono.s16"));
}

TEST_F(CompressedConversionTest, InjectedFailures) {
    const std::string adpcm = ReadFixture("ms_adpcm_stereo.wav");
    const std::string mp3 = ReadFixture("stereo_44100.mp3");
    platform::AcmFailures& failures = platform::Profile().failures.acm;

    // Without the metric the MP3 format block has the format's own 30 bytes.
    failures.metrics = true;
    ASSERT_EQ(Open(mp3), 0);
    EXPECT_EQ(ConvertWhole().size(), kStereoMp3Frames * 1152 * 4);
    failures.metrics = false;

    failures.formatSuggest = true;
    EXPECT_EQ(Open(adpcm), -1);
    EXPECT_EQ(Open(mp3), -1);
    failures.formatSuggest = false;

    failures.streamOpens = 1;
    EXPECT_EQ(Open(adpcm), -1);
    EXPECT_EQ(failures.streamOpens, 0u);

    // A stream that cannot open again after a seek back ends the data.
    ASSERT_EQ(Open(mp3), 0);
    EXPECT_EQ(Read(20000).size(), 20000u);
    failures.streamOpens = 1;
    EXPECT_EQ(SeekSoundConverter(&converter_, 0), -1);
    EXPECT_EQ(Read(100), "");
    EXPECT_EQ(GetSoundConverterPcmSize(&converter_), kStereoMp3Frames * 1152 * 4);

    // A refused conversion ends the data.
    ASSERT_EQ(Open(adpcm), 0);
    failures.converts = 1;
    EXPECT_EQ(Read(100), "");
    EXPECT_EQ(converter_.atEnd, 1);
    ASSERT_EQ(Open(adpcm), 0);
    failures.prepareHeaders = 1;
    EXPECT_EQ(Read(100), "");
}

TEST_F(CompressedConversionTest, DamagedFilesEndTheirDataSafely) {
    const std::string adpcm = ReadFixture("ms_adpcm_stereo.wav");
    const std::string ima = ReadFixture("ima_adpcm_mono.wav");
    const std::string mp3 = Id3v2(3, 0, 40) + ReadFixture("stereo_44100.mp3") + Id3v1();
    const std::string decoded = ReadFixture("ms_adpcm_stereo.s16");

    // A data chunk cut inside a block: only the whole blocks before it.
    const size_t dataStart = adpcm.find("data") + 8;
    ASSERT_EQ(Open(adpcm.substr(0, dataStart + 256 * 5 + 100)), 0);
    EXPECT_EQ(GetSoundConverterPcmSize(&converter_), 5u * 244 * 4);
    EXPECT_EQ(ReadAll(1000), decoded.substr(0, 5 * 244 * 4));

    // Bytes changed at random, and files cut anywhere.
    std::mt19937 random(20240611);
    for (const std::string* original : {&adpcm, &ima, &mp3}) {
        for (int round = 0; round < 40; ++round) {
            std::string file = *original;
            const int changes = 1 + int(random() % 24);
            for (int i = 0; i < changes; ++i) file[random() % file.size()] = char(random());
            if (round % 4 == 3) file.resize(random() % file.size());
            SCOPED_TRACE(testing::Message() << "round " << round);
            if (Open(file) != 0) continue;
            const uint32_t size = GetSoundConverterPcmSize(&converter_);
            EXPECT_LE(ReadAll(3000).size(), size);
            SeekSoundConverter(&converter_, 100);
            SeekSoundConverter(&converter_, 0);
            EXPECT_LE(ConvertWhole().size(), size);
        }
    }
}

TEST_F(CompressedConversionTest, SoundsFromCompressedFiles) {
    ASSERT_TRUE(StartSound());
    const std::string adpcm = ReadFixture("ms_adpcm_stereo.wav");
    const std::string mp3 = Id3v2(3, 0, 100) + ReadFixture("stereo_44100.mp3") + Id3v1();
    struct Case {
        const char* name;
        const std::string* file;
        int loadType;
        int samples;
    };
    const Case cases[] = {
        {"ADPCM in memory", &adpcm, 0, 14 * 244},
        {"ADPCM streamed", &adpcm, 2, 14 * 244},
        {"MP3 in memory", &mp3, 0, kStereoMp3Frames * 1152},
        {"MP3 streamed", &mp3, 2, kStereoMp3Frames * 1152},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetSoundLoadType(c.loadType);
        const int handle = CreateSoundHandleFromStream(c.file->data(), int(c.file->size()), 1, -1);
        ASSERT_NE(handle, -1);
        EXPECT_EQ(GetSoundRecord(handle)->isStream, c.loadType == 2 ? 1 : 0);
        EXPECT_EQ(GetSoundHandleTotalSamples(handle), c.samples);
        EXPECT_EQ(DeleteSoundHandle(handle, 0), 0);
    }
    SetSoundLoadType(0);
}

}  // namespace
