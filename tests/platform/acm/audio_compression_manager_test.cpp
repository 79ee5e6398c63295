// The audio compression manager: which formats it decodes and to what PCM,
// how much of a source one conversion takes (whole blocks or frames, only
// as many as the destination holds), the size query, headers and handles,
// and injected failures.
#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
}

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/acm/acm.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/test_support.h"

namespace {

std::string ReadFixture(const std::string& name) {
    std::ifstream file(std::string(KILN_TEST_DATA_DIR) + "/sound/" + name, std::ios::binary);
    EXPECT_TRUE(file.good()) << name;
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

uint32_t Le32At(const std::string& bytes, size_t at) {
    return uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8 |
           uint32_t(uint8_t(bytes[at + 2])) << 16 | uint32_t(uint8_t(bytes[at + 3])) << 24;
}

// The "fmt " body (at least 18 bytes) and the data of a WAVE fixture.
struct WaveParts {
    std::string format;
    std::string data;
    WAVEFORMATEX* Format() { return reinterpret_cast<WAVEFORMATEX*>(format.data()); }
};

WaveParts SplitWave(const std::string& file) {
    WaveParts parts;
    for (size_t at = 12; at + 8 <= file.size();) {
        const std::string id = file.substr(at, 4);
        const uint32_t size = Le32At(file, at + 4);
        if (id == "fmt ") parts.format = file.substr(at + 8, size);
        if (id == "data") parts.data = file.substr(at + 8, size);
        at += 8 + size + (size & 1);
    }
    if (parts.format.size() < sizeof(WAVEFORMATEX)) parts.format.resize(sizeof(WAVEFORMATEX));
    return parts;
}

std::string FormatBytes(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t blockAlign, uint16_t bits,
                        const std::vector<uint16_t>& extra = {}) {
    WAVEFORMATEX format{tag, channels, rate, rate * blockAlign, blockAlign, bits, uint16_t(extra.size() * 2)};
    std::string bytes(reinterpret_cast<const char*>(&format), sizeof format);
    for (uint16_t word : extra) bytes += std::string{char(word & 0xFF), char(word >> 8)};
    return bytes;
}

// The samples-per-block word, the count and the seven standard predictor
// pairs of an MS ADPCM format.
std::vector<uint16_t> AdpcmTable(uint16_t samplesPerBlock) {
    return {samplesPerBlock, 7, 256, 0, 512, uint16_t(-256), 0, 0, 192, 64, 240, 0, 460, uint16_t(-208), 392,
            uint16_t(-232)};
}

// MS ADPCM decoded as the format's rules say, written out plainly: per
// block, a header per channel (the index of its predictor pair, the step,
// the latest sample and the one before it), the two header samples (the
// older first), then a nibble per sample, high nibble first, channels taking
// turns. A block naming a pair the table lacks gives nothing.
std::vector<int16_t> ReferenceMsAdpcm(const std::string& data, int channels, size_t blockAlign,
                                      size_t samplesPerBlock, const std::vector<std::array<int, 2>>& pairs) {
    const int adaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230};
    std::vector<int16_t> out;
    for (size_t start = 0; start + blockAlign <= data.size(); start += blockAlign) {
        const uint8_t* block = reinterpret_cast<const uint8_t*>(data.data()) + start;
        auto word = [block](size_t at) { return int(int16_t(block[at] | block[at + 1] << 8)); };
        int first[2], second[2], step[2], latest[2], before[2];
        bool known = true;
        for (int c = 0; c < channels; ++c) {
            if (block[c] >= pairs.size()) {
                known = false;
                break;
            }
            first[c] = pairs[block[c]][0];
            second[c] = pairs[block[c]][1];
            step[c] = word(channels + 2 * c);
            latest[c] = word(3 * channels + 2 * c);
            before[c] = word(5 * channels + 2 * c);
        }
        if (!known) continue;
        for (int c = 0; c < channels; ++c) out.push_back(int16_t(before[c]));
        for (int c = 0; c < channels; ++c) out.push_back(int16_t(latest[c]));
        for (size_t frame = 2; frame < samplesPerBlock; ++frame) {
            for (int c = 0; c < channels; ++c) {
                const size_t n = (frame - 2) * channels + c;
                const uint8_t byte = block[7 * channels + n / 2];
                const int nibble = n % 2 == 0 ? byte >> 4 : byte & 15;
                const long long predicted =
                    (static_cast<long long>(latest[c]) * first[c] + static_cast<long long>(before[c]) * second[c]) /
                        256 +
                    static_cast<long long>(nibble >= 8 ? nibble - 16 : nibble) * step[c];
                const int sample = static_cast<int>(std::clamp(predicted, -32768LL, 32767LL));
                step[c] = std::max(16, adaptation[nibble] * step[c] / 256);
                before[c] = latest[c];
                latest[c] = sample;
                out.push_back(int16_t(sample));
            }
        }
    }
    return out;
}

std::string BytesOf(const std::vector<int16_t>& samples) {
    return std::string(reinterpret_cast<const char*>(samples.data()), samples.size() * 2);
}

// FFmpeg's decode of MS ADPCM blocks (the standard table only), which the
// manager's output for that table stays equal to.
std::vector<int16_t> FfmpegMsAdpcm(const std::string& data, int channels, int blockAlign) {
    std::vector<int16_t> out;
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_ADPCM_MS);
    AVCodecContext* context = avcodec_alloc_context3(codec);
    av_channel_layout_default(&context->ch_layout, channels);
    context->sample_rate = 22050;
    context->block_align = blockAlign;
    EXPECT_EQ(avcodec_open2(context, codec, nullptr), 0);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    for (size_t at = 0; at + blockAlign <= data.size(); at += blockAlign) {
        EXPECT_EQ(av_new_packet(packet, blockAlign), 0);
        std::memcpy(packet->data, data.data() + at, blockAlign);
        if (avcodec_send_packet(context, packet) != 0) {
            av_packet_unref(packet);
            continue;
        }
        av_packet_unref(packet);
        while (avcodec_receive_frame(context, frame) == 0) {
            const bool planar = av_sample_fmt_is_planar(static_cast<AVSampleFormat>(frame->format)) != 0;
            for (int i = 0; i < frame->nb_samples; ++i) {
                for (int c = 0; c < channels; ++c) {
                    const int16_t* plane = reinterpret_cast<const int16_t*>(frame->extended_data[planar ? c : 0]);
                    out.push_back(plane[planar ? i : i * channels + c]);
                }
            }
            av_frame_unref(frame);
        }
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&context);
    return out;
}

class AcmTest : public testsupport::PlatformTest {
protected:
    void TearDown() override {
        if (stream_ != nullptr) acmStreamClose(stream_, 0);
        PlatformTest::TearDown();
    }

    MMRESULT Open(WAVEFORMATEX* source) {
        if (stream_ != nullptr) acmStreamClose(stream_, 0);
        stream_ = nullptr;
        WAVEFORMATEX pcm{};
        pcm.wFormatTag = WAVE_FORMAT_PCM;
        const MMRESULT suggested = acmFormatSuggest(nullptr, source, &pcm, sizeof pcm, ACM_FORMATSUGGESTF_WFORMATTAG);
        if (suggested != MMSYSERR_NOERROR) return suggested;
        return acmStreamOpen(&stream_, nullptr, source, &pcm, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME);
    }

    // One conversion of `source` into `room` bytes; the destination's bytes
    // past `room` must stay as they were.
    MMRESULT Convert(const std::string& source, uint32_t room, DWORD* used, std::string* output) {
        std::vector<uint8_t> destination(room + 64, 0xA5);
        std::string copy = source;
        ACMSTREAMHEADER header{};
        header.cbStruct = sizeof header;
        header.pbSrc = reinterpret_cast<LPBYTE>(copy.data());
        header.cbSrcLength = static_cast<DWORD>(copy.size());
        header.pbDst = destination.data();
        header.cbDstLength = room;
        EXPECT_EQ(acmStreamPrepareHeader(stream_, &header, 0), MMSYSERR_NOERROR);
        const MMRESULT result = acmStreamConvert(stream_, &header, ACM_STREAMCONVERTF_BLOCKALIGN);
        EXPECT_EQ(acmStreamUnprepareHeader(stream_, &header, 0), MMSYSERR_NOERROR);
        for (size_t i = room; i < destination.size(); ++i) EXPECT_EQ(destination[i], 0xA5) << "byte " << i;
        EXPECT_LE(header.cbSrcLengthUsed, header.cbSrcLength);
        EXPECT_LE(header.cbDstLengthUsed, room);
        *used = header.cbSrcLengthUsed;
        output->assign(reinterpret_cast<const char*>(destination.data()), header.cbDstLengthUsed);
        return result;
    }

    HACMSTREAM stream_ = nullptr;
};

TEST_F(AcmTest, SuggestsSixteenBitPcmForWhatItDecodes) {
    std::vector<uint16_t> otherTable = AdpcmTable(500);
    otherTable[2] = 300;  // the first pair's first half
    struct Case {
        const char* name;
        std::string format;
        bool decodes;
    };
    const Case cases[] = {
        {"MS ADPCM with the standard table", FormatBytes(2, 2, 22050, 1024, 4, AdpcmTable(1012)), true},
        {"MS ADPCM without a table", FormatBytes(2, 1, 22050, 512, 4), true},
        {"MS ADPCM with a table of its own", FormatBytes(2, 1, 22050, 512, 4, otherTable), true},
        {"MS ADPCM with one pair", FormatBytes(2, 1, 22050, 512, 4, {1012, 1, 256, 0}), true},
        {"MS ADPCM with its samples per block only", FormatBytes(2, 1, 22050, 256, 4, {500}), true},
        {"MS ADPCM with an empty table", FormatBytes(2, 1, 22050, 512, 4, {1012, 0}), false},
        {"MS ADPCM with fewer pairs than it counts", FormatBytes(2, 1, 22050, 512, 4, {1012, 2, 256, 0}), false},
        {"MS ADPCM with more samples per block than the block holds",
         FormatBytes(2, 1, 8000, 256, 4, AdpcmTable(501)), false},
        {"MS ADPCM with a block of one sample", FormatBytes(2, 1, 8000, 256, 4, AdpcmTable(1)), false},
        {"MS ADPCM of 3 bits", FormatBytes(2, 1, 22050, 512, 3), false},
        {"MS ADPCM block smaller than its header", FormatBytes(2, 2, 22050, 13, 4), false},
        {"IMA ADPCM", FormatBytes(0x11, 1, 11025, 256, 4, {505}), true},
        {"IMA ADPCM with more samples per block than the block holds", FormatBytes(0x11, 1, 11025, 256, 4, {506}),
         false},
        {"IMA ADPCM with no samples per block", FormatBytes(0x11, 1, 11025, 256, 4, {0}), false},
        {"IMA ADPCM of 3 bits", FormatBytes(0x11, 1, 11025, 256, 3, {505}), false},
        {"IMA ADPCM block smaller than its header", FormatBytes(0x11, 2, 11025, 7, 4), false},
        {"A-law", FormatBytes(6, 1, 8000, 1, 8), true},
        {"mu-law stereo", FormatBytes(7, 2, 8000, 2, 8), true},
        {"mu-law with a block of one byte for two channels", FormatBytes(7, 2, 8000, 1, 8), false},
        {"GSM 6.10", FormatBytes(0x31, 1, 8000, 65, 0, {320}), true},
        {"GSM 6.10 in stereo", FormatBytes(0x31, 2, 8000, 65, 0, {320}), false},
        {"GSM 6.10 declaring 160 samples per block", FormatBytes(0x31, 1, 8000, 65, 0, {160}), false},
        {"Layer III at 44100", FormatBytes(0x55, 2, 44100, 1, 0, {1, 0, 0, 417, 1, 1393}), true},
        {"Layer III at 16000", FormatBytes(0x55, 1, 16000, 1, 0), true},
        {"Layer III at 11025 (MPEG 2.5)", FormatBytes(0x55, 1, 11025, 1, 0), false},
        {"PCM", FormatBytes(1, 2, 44100, 4, 16), false},
        {"an unknown tag", FormatBytes(0x161, 2, 44100, 4096, 16), false},
        {"no channels", FormatBytes(6, 0, 8000, 1, 8), false},
        {"three channels", FormatBytes(6, 3, 8000, 3, 8), false},
        {"no rate", FormatBytes(6, 1, 0, 1, 8), false},
        {"no block align", FormatBytes(0x55, 1, 44100, 0, 0), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string format = c.format;
        const WAVEFORMATEX* source = reinterpret_cast<const WAVEFORMATEX*>(format.data());
        WAVEFORMATEX pcm{};
        pcm.wFormatTag = WAVE_FORMAT_PCM;
        const MMRESULT result = acmFormatSuggest(nullptr, reinterpret_cast<WAVEFORMATEX*>(format.data()), &pcm,
                                                 sizeof pcm, ACM_FORMATSUGGESTF_WFORMATTAG);
        if (!c.decodes) {
            EXPECT_EQ(result, ACMERR_NOTPOSSIBLE);
            EXPECT_EQ(Open(reinterpret_cast<WAVEFORMATEX*>(format.data())), ACMERR_NOTPOSSIBLE);
            continue;
        }
        ASSERT_EQ(result, MMSYSERR_NOERROR);
        EXPECT_EQ(pcm.wFormatTag, WAVE_FORMAT_PCM);
        EXPECT_EQ(pcm.nChannels, source->nChannels);
        EXPECT_EQ(pcm.nSamplesPerSec, source->nSamplesPerSec);
        EXPECT_EQ(pcm.wBitsPerSample, 16);
        EXPECT_EQ(pcm.nBlockAlign, source->nChannels * 2);
        EXPECT_EQ(pcm.nAvgBytesPerSec, source->nSamplesPerSec * source->nChannels * 2);
        EXPECT_EQ(pcm.cbSize, 0);
        EXPECT_EQ(Open(reinterpret_cast<WAVEFORMATEX*>(format.data())), MMSYSERR_NOERROR);
    }

    std::string alaw = FormatBytes(6, 1, 8000, 1, 8);
    auto* source = reinterpret_cast<WAVEFORMATEX*>(alaw.data());
    WAVEFORMATEX other{};
    other.wFormatTag = 6;
    EXPECT_EQ(acmFormatSuggest(nullptr, source, &other, sizeof other, ACM_FORMATSUGGESTF_WFORMATTAG),
              ACMERR_NOTPOSSIBLE);
    WAVEFORMATEX pcm{};
    pcm.wFormatTag = WAVE_FORMAT_PCM;
    EXPECT_EQ(acmFormatSuggest(nullptr, source, &pcm, 14, ACM_FORMATSUGGESTF_WFORMATTAG), MMSYSERR_INVALPARAM);
    platform::Profile().failures.acm.formatSuggest = true;
    EXPECT_EQ(acmFormatSuggest(nullptr, source, &pcm, sizeof pcm, ACM_FORMATSUGGESTF_WFORMATTAG),
              ACMERR_NOTPOSSIBLE);
}

TEST_F(AcmTest, TheLargestFormatHoldsEveryFormatItDecodes) {
    DWORD bytes = 0;
    ASSERT_EQ(acmMetrics(nullptr, ACM_METRIC_MAX_SIZE_FORMAT, &bytes), MMSYSERR_NOERROR);
    EXPECT_EQ(bytes, FormatBytes(2, 1, 8000, 256, 4, AdpcmTable(500)).size());
    EXPECT_GE(bytes, sizeof(MPEGLAYER3WAVEFORMAT));
    EXPECT_EQ(acmMetrics(nullptr, 1, &bytes), MMSYSERR_NOTSUPPORTED);
    EXPECT_EQ(acmMetrics(reinterpret_cast<HACMOBJ>(1), ACM_METRIC_MAX_SIZE_FORMAT, &bytes), MMSYSERR_INVALHANDLE);
    platform::Profile().failures.acm.metrics = true;
    EXPECT_EQ(acmMetrics(nullptr, ACM_METRIC_MAX_SIZE_FORMAT, &bytes), MMSYSERR_NOTSUPPORTED);
}

TEST_F(AcmTest, StreamsOpenOnlyToTheSuggestedPcm) {
    std::string format = FormatBytes(7, 2, 8000, 2, 8);
    auto* source = reinterpret_cast<WAVEFORMATEX*>(format.data());
    WAVEFORMATEX pcm{};
    pcm.wFormatTag = WAVE_FORMAT_PCM;
    ASSERT_EQ(acmFormatSuggest(nullptr, source, &pcm, sizeof pcm, ACM_FORMATSUGGESTF_WFORMATTAG), MMSYSERR_NOERROR);
    struct Case {
        const char* name;
        WAVEFORMATEX destination;
        HACMDRIVER driver;
        DWORD flags;
        MMRESULT result;
    };
    WAVEFORMATEX eightBit = pcm;
    eightBit.wBitsPerSample = 8;
    eightBit.nBlockAlign = 2;
    eightBit.nAvgBytesPerSec = 16000;
    WAVEFORMATEX otherRate = pcm;
    otherRate.nSamplesPerSec = 11025;
    otherRate.nAvgBytesPerSec = 11025 * 4;
    const Case cases[] = {
        {"the suggestion", pcm, nullptr, ACM_STREAMOPENF_NONREALTIME, MMSYSERR_NOERROR},
        {"8-bit PCM", eightBit, nullptr, ACM_STREAMOPENF_NONREALTIME, ACMERR_NOTPOSSIBLE},
        {"another rate", otherRate, nullptr, ACM_STREAMOPENF_NONREALTIME, ACMERR_NOTPOSSIBLE},
        {"a driver", pcm, reinterpret_cast<HACMDRIVER>(8), ACM_STREAMOPENF_NONREALTIME, MMSYSERR_INVALHANDLE},
        {"an asynchronous stream", pcm, nullptr, 0x00000002u, MMSYSERR_INVALFLAG},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HACMSTREAM stream = reinterpret_cast<HACMSTREAM>(1);
        WAVEFORMATEX destination = c.destination;
        EXPECT_EQ(acmStreamOpen(&stream, c.driver, source, &destination, nullptr, 0, 0, c.flags), c.result);
        EXPECT_EQ(stream != nullptr, c.result == MMSYSERR_NOERROR);
        if (stream != nullptr) {
            EXPECT_EQ(acmStreamClose(stream, 0), MMSYSERR_NOERROR);
        }
    }

    platform::Profile().failures.acm.streamOpens = 1;
    EXPECT_EQ(acmStreamOpen(&stream_, nullptr, source, &pcm, nullptr, 0, 0, 0), MMSYSERR_NOMEM);
    EXPECT_EQ(stream_, nullptr);
    EXPECT_EQ(acmStreamOpen(&stream_, nullptr, source, &pcm, nullptr, 0, 0, 0), MMSYSERR_NOERROR);
}

TEST_F(AcmTest, BlocksAreConvertedWholeAndOnlyAsManyAsTheDestinationHolds) {
    struct Fixture {
        const char* wave;
        const char* decoded;
        uint32_t blockAlign;
        uint32_t samplesPerBlock;
    };
    const Fixture fixtures[] = {
        {"ms_adpcm_stereo.wav", "ms_adpcm_stereo.s16", 256, 244},
        {"ima_adpcm_mono.wav", "ima_adpcm_mono.s16", 256, 505},
        {"alaw_mono.wav", "alaw_mono.s16", 1, 1},
        {"mulaw_stereo.wav", "mulaw_stereo.s16", 2, 1},
        {"gsm_mono.wav", "gsm_mono.s16", 65, 320},
    };
    // Source and destination as whole blocks (and their output) plus bytes
    // short of one more.
    struct Case {
        uint32_t sourceBlocks;
        uint32_t sourceExtra;
        uint32_t roomBlocks;
        uint32_t roomExtra;
    };
    const Case cases[] = {{3, 0, 3, 0}, {3, 1, 10, 0}, {4, 0, 2, 1}, {0, 1, 5, 0}, {5, 0, 0, 1}, {1, 0, 1, 0}};
    for (const Fixture& fixture : fixtures) {
        SCOPED_TRACE(fixture.wave);
        WaveParts wave = SplitWave(ReadFixture(fixture.wave));
        const std::string decoded = ReadFixture(fixture.decoded);
        const uint32_t blockOutput = fixture.samplesPerBlock * wave.Format()->nChannels * 2;
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.sourceBlocks << "+" << c.sourceExtra << " into " << c.roomBlocks
                                            << "+" << c.roomExtra);
            // Extras are less than a block on either side.
            const uint32_t sourceExtra = fixture.blockAlign == 1 ? 0 : c.sourceExtra;
            const uint32_t roomExtra = blockOutput == 2 ? 0 : c.roomExtra;
            ASSERT_EQ(Open(wave.Format()), MMSYSERR_NOERROR);
            DWORD sourceSize = 0;
            ASSERT_EQ(acmStreamSize(stream_, fixture.blockAlign * c.sourceBlocks + sourceExtra, &sourceSize,
                                    ACM_STREAMSIZEF_SOURCE),
                      MMSYSERR_NOERROR);
            EXPECT_EQ(sourceSize, blockOutput * c.sourceBlocks);

            DWORD used = 0;
            std::string output;
            ASSERT_EQ(Convert(wave.data.substr(0, fixture.blockAlign * c.sourceBlocks + sourceExtra),
                              blockOutput * c.roomBlocks + roomExtra, &used, &output),
                      MMSYSERR_NOERROR);
            const uint32_t blocks = std::min(c.sourceBlocks, c.roomBlocks);
            EXPECT_EQ(used, blocks * fixture.blockAlign);
            EXPECT_EQ(output.size(), blocks * blockOutput);
            EXPECT_EQ(output, decoded.substr(0, output.size()));
        }
    }
}

TEST_F(AcmTest, MsAdpcmDecodesWithTheFormatsOwnPredictorTable) {
    WaveParts wave = SplitWave(ReadFixture("ms_adpcm_stereo.wav"));
    const std::string standardDecode = ReadFixture("ms_adpcm_stereo.s16");
    const std::vector<std::array<int, 2>> standard = {{256, 0},  {512, -256}, {0, 0},     {192, 64},
                                                      {240, 0},  {460, -208}, {392, -232}};
    // The reference agrees with FFmpeg's decode of the standard table.
    ASSERT_EQ(BytesOf(ReferenceMsAdpcm(wave.data, 2, 256, 244, standard)), standardDecode);

    const std::vector<std::array<int, 2>> changed = {{300, -40}, {400, -200}, {16, 8},   {200, 50},
                                                     {250, -10}, {500, -250}, {380, -220}};
    std::vector<std::array<int, 2>> eight = changed;
    eight.push_back({128, 96});
    // Blocks that name the eighth pair, and one naming a ninth.
    std::string naming8 = wave.data;
    naming8[3 * 256] = 7;
    naming8[5 * 256 + 1] = 7;
    std::string naming9 = naming8;
    naming9[9 * 256 + 1] = 8;
    struct Case {
        const char* name;
        std::vector<std::array<int, 2>> pairs;
        uint16_t samplesPerBlock;
        std::string data;
    };
    const Case cases[] = {
        {"seven pairs of its own", changed, 244, wave.data},
        {"eight pairs, the eighth named by two blocks", eight, 244, naming8},
        {"a block naming a pair the table lacks", eight, 244, naming9},
        {"fewer samples per block than the block holds", changed, 200, wave.data},
        {"the standard table", standard, 244, naming9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint16_t> extra = {c.samplesPerBlock, uint16_t(c.pairs.size())};
        for (const auto& pair : c.pairs) {
            extra.push_back(uint16_t(pair[0]));
            extra.push_back(uint16_t(pair[1]));
        }
        std::string format = FormatBytes(2, 2, 11025, 256, 4, extra);
        ASSERT_EQ(Open(reinterpret_cast<WAVEFORMATEX*>(format.data())), MMSYSERR_NOERROR);
        DWORD size = 0;
        ASSERT_EQ(acmStreamSize(stream_, DWORD(c.data.size()), &size, ACM_STREAMSIZEF_SOURCE), MMSYSERR_NOERROR);
        EXPECT_EQ(size, 14u * c.samplesPerBlock * 4);
        DWORD used = 0;
        std::string output;
        ASSERT_EQ(Convert(c.data, size, &used, &output), MMSYSERR_NOERROR);
        EXPECT_EQ(used, c.data.size());
        const std::string expected = BytesOf(ReferenceMsAdpcm(c.data, 2, 256, c.samplesPerBlock, c.pairs));
        EXPECT_EQ(output, expected);
        if (c.pairs != standard) {
            EXPECT_NE(output.substr(0, 1000), standardDecode.substr(0, 1000));
        }
    }
}

TEST_F(AcmTest, MsAdpcmWithTheStandardTableGivesWhatFfmpegGivesForAnyBlock) {
    // Blocks of random bytes with pair indices the table has: every step
    // size, sample and nibble a damaged file can hold.
    std::mt19937 random(58);
    for (const int channels : {1, 2}) {
        for (const int blockAlign : {7 * channels + 1, 64, 512}) {
            SCOPED_TRACE(testing::Message() << channels << " channels, blocks of " << blockAlign);
            std::string data(size_t(blockAlign) * 40, '\0');
            for (char& byte : data) byte = char(random());
            for (size_t block = 0; block < 40; ++block) {
                for (int c = 0; c < channels; ++c) data[block * blockAlign + c] = char(random() % 7);
            }
            std::string format = FormatBytes(2, uint16_t(channels), 22050, uint16_t(blockAlign), 4);
            ASSERT_EQ(Open(reinterpret_cast<WAVEFORMATEX*>(format.data())), MMSYSERR_NOERROR);
            DWORD size = 0;
            ASSERT_EQ(acmStreamSize(stream_, DWORD(data.size()), &size, ACM_STREAMSIZEF_SOURCE), MMSYSERR_NOERROR);
            DWORD used = 0;
            std::string output;
            ASSERT_EQ(Convert(data, size, &used, &output), MMSYSERR_NOERROR);
            EXPECT_EQ(output.size(), size);
            EXPECT_EQ(output, BytesOf(FfmpegMsAdpcm(data, channels, blockAlign)));
        }
    }
}

TEST_F(AcmTest, AnImaAdpcmBlockGivesTheSamplesItsFormatDeclares) {
    WaveParts wave = SplitWave(ReadFixture("ima_adpcm_mono.wav"));
    const std::string decoded = ReadFixture("ima_adpcm_mono.s16");
    // The fixture's blocks hold 505 samples; a format declaring 400 has the
    // rest of each block as padding.
    std::string format = FormatBytes(0x11, 1, 11025, 256, 4, {400});
    ASSERT_EQ(Open(reinterpret_cast<WAVEFORMATEX*>(format.data())), MMSYSERR_NOERROR);
    DWORD used = 0;
    std::string output;
    ASSERT_EQ(Convert(wave.data, 7 * 400 * 2, &used, &output), MMSYSERR_NOERROR);
    EXPECT_EQ(used, 7u * 256);
    std::string expected;
    for (size_t block = 0; block < 7; ++block) expected += decoded.substr(block * 505 * 2, 400 * 2);
    EXPECT_EQ(output, expected);
}

TEST_F(AcmTest, LayerThreeFramesAreConvertedWholeAndBytesBetweenThemPassedOver) {
    const std::string mp3 = ReadFixture("stereo_44100.mp3");
    // The fixture's frames, as their headers give their lengths (MPEG-1 Layer
    // III at 128 kbit/s and 44100 Hz, with or without the padding byte).
    std::vector<std::string> frames;
    for (size_t at = 0; at + 4 <= mp3.size();) {
        ASSERT_EQ(uint8_t(mp3[at]), 0xFF);
        const size_t length = 417 + ((uint8_t(mp3[at + 2]) >> 1) & 1);
        frames.push_back(mp3.substr(at, length));
        at += length;
    }
    ASSERT_EQ(frames.size(), 13u);
    std::string format = FormatBytes(0x55, 2, 44100, 1, 0, {1, 0, 0, 417, 1, 1393});
    const uint32_t frameOutput = 1152 * 4;
    // The same frame header at 48000 Hz: a frame of 384 bytes of no part of
    // this stream.
    std::string otherRate = frames[0].substr(0, 4) + std::string(380, '\0');
    otherRate[2] = char((uint8_t(otherRate[2]) & 0xF1) | 0x04);

    struct Case {
        const char* name;
        std::string source;
        uint32_t room;
        DWORD used;
        uint32_t written;
    };
    const Case cases[] = {
        {"two frames and part of the third", frames[0] + frames[1] + frames[2].substr(0, 100), 10 * frameOutput,
         DWORD(frames[0].size() + frames[1].size()), 2 * frameOutput},
        {"bytes before the first frame", std::string(5, '\x11') + frames[0] + frames[1], 10 * frameOutput,
         DWORD(5 + frames[0].size() + frames[1].size()), 2 * frameOutput},
        {"room for one and a half frames", frames[0] + frames[1], frameOutput * 3 / 2, DWORD(frames[0].size()),
         frameOutput},
        {"no room for a frame", frames[0], frameOutput - 1, 0, 0},
        {"a frame at another rate", otherRate + frames[0], 10 * frameOutput,
         DWORD(otherRate.size() + frames[0].size()), frameOutput},
        {"less than a header", frames[0].substr(0, 3), 10 * frameOutput, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(Open(reinterpret_cast<WAVEFORMATEX*>(format.data())), MMSYSERR_NOERROR);
        DWORD used = 0;
        std::string output;
        ASSERT_EQ(Convert(c.source, c.room, &used, &output), MMSYSERR_NOERROR);
        EXPECT_EQ(used, c.used);
        EXPECT_EQ(output.size(), c.written);
    }

    // The whole file at once, and the size query, which never falls short.
    ASSERT_EQ(Open(reinterpret_cast<WAVEFORMATEX*>(format.data())), MMSYSERR_NOERROR);
    DWORD bound = 0;
    ASSERT_EQ(acmStreamSize(stream_, DWORD(mp3.size()), &bound, ACM_STREAMSIZEF_SOURCE), MMSYSERR_NOERROR);
    DWORD used = 0;
    std::string output;
    ASSERT_EQ(Convert(mp3, bound, &used, &output), MMSYSERR_NOERROR);
    EXPECT_EQ(used, mp3.size());
    EXPECT_EQ(output.size(), 13 * frameOutput);
    EXPECT_GE(bound, output.size());

    // Layer II frames under the Layer III tag give nothing.
    const std::string layer2 = ReadFixture("layer2_44100.mp2");
    std::string mono = FormatBytes(0x55, 1, 44100, 1, 0);
    ASSERT_EQ(Open(reinterpret_cast<WAVEFORMATEX*>(mono.data())), MMSYSERR_NOERROR);
    ASSERT_EQ(Convert(layer2, 1 << 20, &used, &output), MMSYSERR_NOERROR);
    EXPECT_EQ(output.size(), 0u);
}

TEST_F(AcmTest, HeadersMustBePreparedAndHandlesOpen) {
    std::string format = FormatBytes(6, 1, 8000, 1, 8);
    ASSERT_EQ(Open(reinterpret_cast<WAVEFORMATEX*>(format.data())), MMSYSERR_NOERROR);
    std::vector<uint8_t> source(100, 0x55), destination(400);
    ACMSTREAMHEADER header{};
    header.cbStruct = 84;  // any size is taken
    header.pbSrc = source.data();
    header.cbSrcLength = 50;
    header.pbDst = destination.data();
    header.cbDstLength = 400;
    EXPECT_EQ(acmStreamConvert(stream_, &header, ACM_STREAMCONVERTF_BLOCKALIGN), ACMERR_UNPREPARED);
    EXPECT_EQ(acmStreamUnprepareHeader(stream_, &header, 0), ACMERR_UNPREPARED);
    ASSERT_EQ(acmStreamPrepareHeader(stream_, &header, 0), MMSYSERR_NOERROR);
    EXPECT_NE(header.fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED, 0u);
    header.cbSrcLength = 100;  // more than it was prepared with
    EXPECT_EQ(acmStreamConvert(stream_, &header, ACM_STREAMCONVERTF_BLOCKALIGN), MMSYSERR_INVALPARAM);
    header.cbSrcLength = 40;
    EXPECT_EQ(acmStreamConvert(stream_, &header, 0x1000u), MMSYSERR_INVALFLAG);
    platform::Profile().failures.acm.converts = 1;
    EXPECT_EQ(acmStreamConvert(stream_, &header, ACM_STREAMCONVERTF_BLOCKALIGN), MMSYSERR_ERROR);
    EXPECT_EQ(header.cbDstLengthUsed, 0u);
    ASSERT_EQ(acmStreamConvert(stream_, &header, ACM_STREAMCONVERTF_BLOCKALIGN), MMSYSERR_NOERROR);
    EXPECT_EQ(header.cbSrcLengthUsed, 40u);
    EXPECT_EQ(header.cbDstLengthUsed, 80u);
    EXPECT_NE(header.fdwStatus & ACMSTREAMHEADER_STATUSF_DONE, 0u);
    EXPECT_EQ(acmStreamUnprepareHeader(stream_, &header, 0), MMSYSERR_NOERROR);

    DWORD bytes = 0;
    ASSERT_EQ(acmStreamClose(stream_, 0), MMSYSERR_NOERROR);
    const HACMSTREAM closed = stream_;
    stream_ = nullptr;
    const HACMSTREAM madeUp = reinterpret_cast<HACMSTREAM>(&header);
    for (HACMSTREAM handle : {closed, madeUp, HACMSTREAM(nullptr)}) {
        EXPECT_EQ(acmStreamPrepareHeader(handle, &header, 0), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(acmStreamConvert(handle, &header, 0), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(acmStreamSize(handle, 100, &bytes, ACM_STREAMSIZEF_SOURCE), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(acmStreamClose(handle, 0), MMSYSERR_INVALHANDLE);
    }
}

TEST_F(AcmTest, TheSizeQueryOfLayerThreeCountsTheSmallestFrames) {
    // 8 kbit/s at 24000 Hz: frames of 24 bytes and 576 samples; 32 kbit/s at
    // 48000 Hz: frames of 96 bytes and 1152 samples.
    struct Case {
        uint32_t rate;
        uint16_t channels;
        DWORD input;
        DWORD output;
    };
    const Case cases[] = {{24000, 2, 2048, 85 * 576 * 4}, {48000, 1, 2048, 21 * 1152 * 2}, {48000, 1, 95, 0}};
    for (const Case& c : cases) {
        std::string format = FormatBytes(0x55, c.channels, c.rate, 1, 0);
        ASSERT_EQ(Open(reinterpret_cast<WAVEFORMATEX*>(format.data())), MMSYSERR_NOERROR);
        DWORD bytes = 1;
        EXPECT_EQ(acmStreamSize(stream_, c.input, &bytes, ACM_STREAMSIZEF_SOURCE), MMSYSERR_NOERROR);
        EXPECT_EQ(bytes, c.output);
    }
    EXPECT_EQ(acmStreamSize(stream_, 100, nullptr, ACM_STREAMSIZEF_SOURCE), MMSYSERR_INVALPARAM);
    DWORD bytes = 0;
    EXPECT_EQ(acmStreamSize(stream_, 100, &bytes, 1u), MMSYSERR_INVALFLAG);
    platform::Profile().failures.acm.streamSize = true;
    EXPECT_EQ(acmStreamSize(stream_, 100, &bytes, ACM_STREAMSIZEF_SOURCE), MMSYSERR_ERROR);
}

}  // namespace
