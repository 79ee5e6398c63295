// MP3 decoded through the filter graph: the PCM and format FFmpeg itself
// decodes from the same file, the decoded block's growth past its first
// size without loss, each step's failure and its log line, and every
// failed allocation cleaned up.
#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "framework/base/tracked_memory.h"
#include "framework/files/stream_functions.h"
#include "framework/sound/decoded_mp3_conversion.h"
#include "framework/sound/movie/media_sample.h"
#include "framework/sound/sound_converter.h"
#include "framework/window/main_window.h"
#include "platform/profile/machine_profile.h"
#include "tests/framework/sound/sound_test_fixture.h"

namespace {

std::string ReadFixture(const char* name) {
    std::ifstream file(std::string(KILN_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// What FFmpeg's own parser and decoder make of the bytes: the rate, the
// channels and every sample as a float, interleaved.
struct Reference {
    int rate = 0;
    int channels = 0;
    std::vector<float> samples;
};

void TakeFrames(AVCodecContext* context, AVFrame* frame, Reference& out) {
    while (avcodec_receive_frame(context, frame) == 0) {
        out.rate = frame->sample_rate;
        out.channels = frame->ch_layout.nb_channels;
        const auto format = static_cast<AVSampleFormat>(frame->format);
        for (int i = 0; i < frame->nb_samples; ++i) {
            for (int c = 0; c < out.channels; ++c) {
                if (format == AV_SAMPLE_FMT_FLTP)
                    out.samples.push_back(reinterpret_cast<const float*>(frame->extended_data[c])[i]);
                else if (format == AV_SAMPLE_FMT_S16P)
                    out.samples.push_back(reinterpret_cast<const int16_t*>(frame->extended_data[c])[i] / 32768.0f);
                else
                    ADD_FAILURE() << "decoder sample format " << frame->format;
            }
        }
        av_frame_unref(frame);
    }
}

Reference DecodeWithFfmpeg(const std::string& bytes) {
    Reference out;
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_MP3);
    AVCodecContext* context = avcodec_alloc_context3(codec);
    AVCodecParserContext* parser = av_parser_init(AV_CODEC_ID_MP3);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    EXPECT_EQ(avcodec_open2(context, codec, nullptr), 0);
    const uint8_t* data = reinterpret_cast<const uint8_t*>(bytes.data());
    size_t left = bytes.size();
    for (bool flushing = false;;) {
        uint8_t* frameData = nullptr;
        int frameSize = 0;
        const int used = av_parser_parse2(parser, context, &frameData, &frameSize, flushing ? nullptr : data,
                                          flushing ? 0 : static_cast<int>(left), AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
        if (!flushing) {
            data += used;
            left -= static_cast<size_t>(used);
        }
        if (frameSize > 0) {
            packet->data = frameData;
            packet->size = frameSize;
            if (avcodec_send_packet(context, packet) == 0) TakeFrames(context, frame, out);
        }
        if (flushing) break;
        if (left == 0) flushing = true;
    }
    avcodec_send_packet(context, nullptr);
    TakeFrames(context, frame, out);
    av_frame_free(&frame);
    av_packet_free(&packet);
    av_parser_close(parser);
    avcodec_free_context(&context);
    return out;
}

class DecodedMp3Test : public soundtest::SoundTest {
protected:
    void TearDown() override {
        if (converter_.open) CloseSoundConverter(&converter_);
        FreeMemory(converter_.decodedPcm);
        converter_.decodedPcm = nullptr;
        if (stream_ != 0) CloseMemoryStream(stream_);
        SoundTest::TearDown();
    }

    // Runs the graph conversion over a memory stream of `bytes`.
    int Convert(const std::string& bytes) {
        Point(bytes);
        return ConvertMp3ToPcm(&converter_);
    }

    void Point(const std::string& bytes) {
        if (stream_ != 0) CloseMemoryStream(stream_);
        FreeMemory(converter_.decodedPcm);
        bytes_ = bytes;
        stream_ = OpenMemoryStream(bytes_.data(), static_cast<uint32_t>(bytes_.size()));
        converter_ = SoundConverter{};
        converter_.source = StreamSource{*GetMemoryStreamFunctions(), stream_};
    }

    std::string bytes_;
    uintptr_t stream_ = 0;
    SoundConverter converter_{};
};

TEST_F(DecodedMp3Test, TheConverterDecodesWhatFfmpegDecodesAndGrowsPastTenTimesTheData) {
    const std::string mp3 = ReadFixture("tone_44100_stereo_128k.mp3");
    ASSERT_FALSE(mp3.empty());
    const Reference reference = DecodeWithFfmpeg(mp3);
    ASSERT_EQ(reference.rate, 44100);
    ASSERT_EQ(reference.channels, 2);

    // The compression manager's path, which the converter tries first: its
    // length and format are what the graph must give too.
    Point(mp3);
    {
        const StreamSource source = converter_.source;
        ASSERT_EQ(OpenSoundConverter(&source, &converter_), 0);
    }
    ASSERT_NE(converter_.kind, kSoundConverterDecodedPcm);
    WAVEFORMATEX acmFormat{};
    GetSoundConverterFormat(&converter_, &acmFormat);
    const uint32_t acmSize = GetSoundConverterPcmSize(&converter_);
    CloseSoundConverter(&converter_);

    // With the compression manager turned off the graph decodes it.
    platform::Profile().failures.acm.streamOpens = 1000;
    Point(mp3);
    const size_t mark = LogText().size();
    const StreamSource source = converter_.source;
    ASSERT_EQ(OpenSoundConverter(&source, &converter_), 0);
    EXPECT_EQ(LinesSince(mark), "");
    EXPECT_EQ(converter_.kind, kSoundConverterDecodedPcm);

    WAVEFORMATEX format{};
    GetSoundConverterFormat(&converter_, &format);
    EXPECT_EQ(format.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(format.nChannels, 2);
    EXPECT_EQ(format.nSamplesPerSec, 44100u);
    EXPECT_EQ(format.nBlockAlign, 4);
    EXPECT_EQ(format.nAvgBytesPerSec, 176400u);
    EXPECT_EQ(format.wBitsPerSample, 16);
    EXPECT_EQ(format.cbSize, 0);
    EXPECT_EQ(converter_.bufferSize, 176400u);

    // 128 kbit/s stereo decodes to 11 times its size: the block grew.
    const uint32_t size = GetSoundConverterPcmSize(&converter_);
    ASSERT_EQ(size, reference.samples.size() * 2);
    EXPECT_EQ(size, acmSize);
    EXPECT_EQ(std::memcmp(&format, &acmFormat, sizeof format), 0);
    EXPECT_GT(size, 10 * mp3.size());

    void* pcm = nullptr;
    int bytes = 0;
    ASSERT_EQ(ConvertWholeSoundToPcm(&converter_, &format, &pcm, &bytes), 0);
    ASSERT_EQ(static_cast<uint32_t>(bytes), size);
    const auto* samples = static_cast<const int16_t*>(pcm);
    size_t worst = 0;
    for (size_t i = 0; i < reference.samples.size(); ++i) {
        const double expected = std::nearbyint(reference.samples[i] * 32768.0);
        const double clipped = expected > 32767 ? 32767 : (expected < -32768 ? -32768 : expected);
        if (std::fabs(samples[i] - clipped) > 1) {
            worst = i + 1;
            break;
        }
    }
    EXPECT_EQ(worst, 0u) << "first sample that differs, counted from 1";

    // A seek only moves the read position in the decoded block.
    ASSERT_EQ(SeekSoundConverter(&converter_, 1000), 0);
    int16_t frame[2] = {};
    ASSERT_EQ(ReadSoundConverterPcm(&converter_, frame, 4), 4);
    EXPECT_EQ(std::memcmp(frame, samples + 2000, 4), 0);
    FreeMemory(pcm);
}

// Samples of `length` bytes counting up from `first`, over memory of the test's.
struct OwnSample {
    std::vector<BYTE> bytes;
    K_CMediaSample* sample;
    OwnSample(size_t length, uint8_t first) : bytes(length) {
        for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<BYTE>(first + i * 7);
        sample = new K_CMediaSample("test sample", nullptr, nullptr, bytes.data(), static_cast<LONG>(length));
    }
    ~OwnSample() { sample->Release(); }
};

TEST_F(DecodedMp3Test, TheBlockGrowsInWholeMegabytesWithoutLosingData) {
    constexpr uint32_t kMiB = 0x100000;
    converter_.decodedPcm = static_cast<uint8_t*>(AllocMemory(1000, __FILE__, __LINE__));
    converter_.decodedCapacity = 1000;
    std::string expected;
    int growths = 0;
    uint32_t lastCapacity = converter_.decodedCapacity;
    // Odd sizes first, then sixteen megabytes in pieces of a quarter.
    std::vector<size_t> lengths = {600, 400, 1, 1500000, 5000, 3 * kMiB + 3};
    lengths.insert(lengths.end(), 64, kMiB / 4);
    for (size_t n = 0; n < lengths.size(); ++n) {
        SCOPED_TRACE(n);
        OwnSample piece(lengths[n], static_cast<uint8_t>(n * 31));
        expected.append(reinterpret_cast<const char*>(piece.bytes.data()), piece.bytes.size());
        ASSERT_EQ(AppendGrabbedPcm(piece.sample, 0, 0, FALSE, &converter_), S_OK);
        ASSERT_NE(converter_.decodedPcm, nullptr);
        ASSERT_EQ(converter_.decodedBytes, expected.size());
        ASSERT_GE(converter_.decodedCapacity, converter_.decodedBytes);
        if (converter_.decodedCapacity != lastCapacity) {
            ++growths;
            // Whole megabytes beyond the first size, and at least half again.
            EXPECT_EQ((converter_.decodedCapacity - 1000) % kMiB, 0u);
            EXPECT_GE(converter_.decodedCapacity, lastCapacity + lastCapacity / 2);
            lastCapacity = converter_.decodedCapacity;
        }
    }
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(converter_.decodedPcm), converter_.decodedBytes), expected);
    // Growing by a megabyte each time would copy the block some twenty
    // times on the way to twenty megabytes.
    EXPECT_LE(growths, 8);

    // A growth that fails loses the block; later samples are dropped.
    platform::Profile().failures.heap.failAllocationNumber = 1;
    OwnSample tooMuch(converter_.decodedCapacity, 1);
    EXPECT_EQ(AppendGrabbedPcm(tooMuch.sample, 0, 0, FALSE, &converter_), S_OK);
    EXPECT_EQ(converter_.decodedPcm, nullptr);
    OwnSample later(10, 1);
    EXPECT_EQ(AppendGrabbedPcm(later.sample, 0, 0, FALSE, &converter_), S_OK);
    EXPECT_EQ(converter_.decodedPcm, nullptr);
}

TEST_F(DecodedMp3Test, EachFailingStepLogsItsTextAndLeavesNothingBehind) {
    const std::string mp3 = ReadFixture("tone_44100_stereo_128k.mp3");
    struct Case {
        const char* name;
        void (*inject)();
        const char* line;
    };
    const Case cases[] = {
        {"no Null Renderer", [] { platform::Profile().directShow.nullRenderer = false; },
         "MP3変換用 NullRender の作成に失敗しました"},
        {"no filter graph", [] { platform::Profile().directShow.filterGraph = false; },
         "MP3変換用 IGraphBuilder の作成に失敗しました"},
        {"grabber refused", [] { platform::Profile().failures.directShow.addFilter = 1; },
         "サンプルグラバフィルタのグラフへの追加に失敗しました"},
        {"reader refused", [] { platform::Profile().failures.directShow.addFilter = 2; },
         "メモリファイルフィルタのグラフへの追加に失敗しました"},
        {"decoder refused", [] { platform::Profile().failures.directShow.addFilter = 3; }, "グラフの構築に失敗しました"},
        {"render refused", [] { platform::Profile().failures.directShow.render = true; }, "グラフの構築に失敗しました"},
        {"Null Renderer refused", [] { platform::Profile().failures.directShow.addFilter = 5; },
         "ヌルレンダラーフィルタのグラフへの追加に失敗しました"},
        {"exchange refused", [] { platform::Profile().failures.directShow.connect = true; },
         "既存レンダラーをNullレンダラーと交換する処理が失敗しました"},
        {"decoded output not plain PCM",
         [] { platform::Profile().directShow.mpegAudioExtensibleFormat = true; },
         "サポート外のオーディオフォーマットです。"},
        {"source reads fail", [] { platform::Profile().failures.directShow.mpegAudioReads = true; },
         "MP3変換の途中でエラーが発生しました"},
        {"program ending", [] { MainWindow.quitFlag = 1; }, "MP3変換の途中でソフトが終了しました"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::ResetMachine();
        MainWindow.quitFlag = 0;
        c.inject();
        Point(mp3);
        const int blocks = LiveBlocks();
        const size_t mark = LogText().size();
        EXPECT_EQ(ConvertMp3ToPcm(&converter_), -1);
        EXPECT_EQ(LinesSince(mark), std::string(c.line) + "\r\n");
        EXPECT_EQ(converter_.decodedPcm, nullptr);
        EXPECT_EQ(LiveBlocks(), blocks);
    }
    MainWindow.quitFlag = 0;
}

TEST_F(DecodedMp3Test, DataThatIsNoMpegAudioFailsToBuildTheGraph) {
    const size_t mark = LogText().size();
    EXPECT_EQ(Convert(std::string(5000, '\x55')), -1);
    EXPECT_EQ(LinesSince(mark), "グラフの構築に失敗しました\r\n");
    // Data that cannot be read into memory fails without a line.
    const size_t again = LogText().size();
    EXPECT_EQ(Convert(std::string()), -1);
    EXPECT_EQ(LinesSince(again), "");
}

TEST_F(DecodedMp3Test, EveryFailedAllocationEndsCleanlyWithItsLine) {
    const std::string mp3 = ReadFixture("tone_44100_stereo_128k.mp3");
    const std::set<std::string> known = {
        "",
        "PCMデータを格納するメモリ領域の確保に失敗しました\r\n",
        "PCMデータを格納するメモリ領域の再確保に失敗しました\r\n",
    };
    std::set<std::string> seen;
    int successesInARow = 0;
    for (uint64_t n = 1; n < 200 && successesInARow < 3; ++n) {
        SCOPED_TRACE(n);
        Point(mp3);
        const int blocks = LiveBlocks();
        const size_t mark = LogText().size();
        platform::Profile().failures.heap.failAllocationNumber = n;
        const int result = ConvertMp3ToPcm(&converter_);
        platform::Profile().failures.heap.failAllocationNumber = 0;
        // A refused allocation dumps the live blocks first; what follows
        // the dump is the conversion's own.
        std::string lines = LinesSince(mark);
        const size_t dumpEnd = lines.rfind("\r\n\r\n");
        if (dumpEnd != std::string::npos) lines = lines.substr(dumpEnd + 4);
        if (result == 0) {
            ++successesInARow;
            FreeMemory(converter_.decodedPcm);
            converter_.decodedPcm = nullptr;
        } else {
            successesInARow = 0;
            EXPECT_TRUE(known.count(lines)) << lines;
            seen.insert(lines);
        }
        EXPECT_EQ(LiveBlocks(), blocks);
    }
    EXPECT_EQ(seen, known);
}

}  // namespace
