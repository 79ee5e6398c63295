// The movie renderer on its own: the types it takes, the frame layout it
// reads from them, frames copied top row first, samples that do not hold a
// whole frame, and changes of type once it has a frame buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "framework/base/tracked_memory.h"
#include "framework/sound/movie/media_sample.h"
#include "framework/sound/movie/movie_renderer_filter.h"
#include "tests/support/synthetic_filters.h"
#include "tests/support/test_support.h"

namespace {

using testsupport::VideoType;

constexpr GUID kAudioType = {0x73647561u, 0x0000u, 0x0010u, {0x80u, 0x00u, 0x00u, 0xAAu, 0x00u, 0x38u, 0x9Bu, 0x71u}};

class MovieRendererFilterTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        renderer_ = MakeRenderer();
    }
    void TearDown() override {
        Discard(renderer_);
        PlatformTest::TearDown();
    }

    static MovieRendererFilter* MakeRenderer() {
        HRESULT result = E_FAIL;
        MovieRendererFilter* renderer = MovieRendererFilter::Create(nullptr, &result);
        EXPECT_EQ(result, S_OK);
        return renderer;
    }
    // The frame buffer outlives the renderer: the movie frees it, and so do
    // the tests.
    static void Discard(MovieRendererFilter* renderer) {
        uint8_t* buffer = renderer->frameBuffer;
        renderer->Release();
        FreeMemory(buffer);
    }

    // Renders `bytes` as one sample (over the test's buffer).
    HRESULT Render(std::vector<uint8_t>& bytes, LONG actualLength) {
        HRESULT made = S_OK;
        auto* sample = new K_CMediaSample("test sample", nullptr, &made, bytes.data(), static_cast<LONG>(bytes.size()));
        sample->SetActualDataLength(actualLength);
        const HRESULT result = renderer_->DoRenderSample(sample);
        sample->Release();
        return result;
    }

    MovieRendererFilter* renderer_ = nullptr;
};

TEST_F(MovieRendererFilterTest, AcceptsOnlyVideoInfoVideoInTwentyFourBitRgbCheckedInOrder) {
    K_CMediaType rgb24 = VideoType(MEDIASUBTYPE_RGB24, 4, 3, true, 24);
    K_CMediaType noFormat = rgb24;
    noFormat.SetFormatType(&GUID_NULL);
    K_CMediaType audio = rgb24;
    audio.SetType(&kAudioType);
    K_CMediaType rgb32 = VideoType(MEDIASUBTYPE_RGB32, 4, 3, true, 32);
    K_CMediaType packed = VideoType(testsupport::kPackedFramesSubtype, 4, 3, true, 24);
    // Two faults at once: the earlier test decides.
    K_CMediaType audioWithoutFormat = audio;
    audioWithoutFormat.SetFormatType(&GUID_NULL);
    K_CMediaType audioRgb32 = rgb32;
    audioRgb32.SetType(&kAudioType);
    // Format blocks that no frame buffer can be made from.
    K_CMediaType shortFormat = rgb24;
    shortFormat.SetFormat(rgb24.Format(), sizeof(VIDEOINFOHEADER) - 1);
    K_CMediaType noWidth = VideoType(MEDIASUBTYPE_RGB24, 0, 3, true, 24);
    K_CMediaType noHeight = VideoType(MEDIASUBTYPE_RGB24, 4, 0, true, 24);
    K_CMediaType negativeWidth = VideoType(MEDIASUBTYPE_RGB24, -4, 3, true, 24);
    K_CMediaType huge = VideoType(MEDIASUBTYPE_RGB24, 0x10000, 0x10000, true, 24);

    const struct {
        const char* what;
        const K_CMediaType* type;
        HRESULT expected;
    } cases[] = {
        {"null", nullptr, E_POINTER},
        {"not VideoInfo", &noFormat, E_INVALIDARG},
        {"not video", &audio, E_FAIL},
        {"not RGB24: 32-bit", &rgb32, E_FAIL},
        {"not RGB24: compressed", &packed, E_FAIL},
        {"not VideoInfo and not video", &audioWithoutFormat, E_INVALIDARG},
        {"not video and not RGB24", &audioRgb32, E_FAIL},
        {"format block too short", &shortFormat, E_INVALIDARG},
        {"no width", &noWidth, E_INVALIDARG},
        {"no height", &noHeight, E_INVALIDARG},
        {"negative width", &negativeWidth, E_INVALIDARG},
        {"frame too large for a buffer", &huge, E_INVALIDARG},
        {"RGB24", &rgb24, S_OK},
    };
    for (const auto& c : cases) EXPECT_EQ(renderer_->CheckMediaType(c.type), c.expected) << c.what;
}

TEST_F(MovieRendererFilterTest, PitchIsTheRowSizeRoundedToFourBytes) {
    const struct {
        int32_t width;
        int32_t pitch;
    } cases[] = {{1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}};
    for (const auto& c : cases) {
        MovieRendererFilter* renderer = MakeRenderer();
        const K_CMediaType type = VideoType(MEDIASUBTYPE_RGB24, c.width, 7, true, 24);
        ASSERT_EQ(renderer->SetMediaType(&type), S_OK) << c.width;
        EXPECT_EQ(renderer->framePitch, c.pitch) << c.width;
        EXPECT_EQ(renderer->frameWidth, c.width);
        EXPECT_NE(renderer->frameBuffer, nullptr);
        Discard(renderer);
    }
}

TEST_F(MovieRendererFilterTest, HeightSignGivesTheRowOrderAndAPositiveHeight) {
    const struct {
        bool bottomUp;
        uint32_t flag;
    } cases[] = {{true, 1}, {false, 0}};
    for (const auto& c : cases) {
        MovieRendererFilter* renderer = MakeRenderer();
        const K_CMediaType type = VideoType(MEDIASUBTYPE_RGB24, 5, 6, c.bottomUp, 24);
        ASSERT_EQ(renderer->SetMediaType(&type), S_OK);
        EXPECT_EQ(renderer->bottomUp, c.flag);
        EXPECT_EQ(renderer->frameHeight, 6);
        EXPECT_EQ(renderer->newFrame.load(), 0u);
        Discard(renderer);
    }
}

TEST_F(MovieRendererFilterTest, FramesEndUpTopRowFirst) {
    testsupport::SyntheticStream stream;
    stream.width = 5;
    stream.height = 3;
    const std::vector<uint8_t> top = testsupport::SyntheticFrameTopDown(stream, 9);
    const size_t pitch = static_cast<size_t>(testsupport::Rgb24Pitch(stream.width));
    for (const bool bottomUp : {true, false}) {
        MovieRendererFilter* renderer = MakeRenderer();
        std::swap(renderer, renderer_);
        const K_CMediaType type = VideoType(MEDIASUBTYPE_RGB24, stream.width, stream.height, bottomUp, 24);
        ASSERT_EQ(renderer_->SetMediaType(&type), S_OK);
        std::vector<uint8_t> sample(top.size());
        for (size_t row = 0; row < 3; ++row) {
            const size_t placed = bottomUp ? 2 - row : row;
            std::memcpy(sample.data() + placed * pitch, top.data() + row * pitch, pitch);
        }
        EXPECT_EQ(Render(sample, static_cast<LONG>(sample.size())), S_OK);
        EXPECT_EQ(renderer_->newFrame.load(), 1u);
        EXPECT_EQ(std::vector<uint8_t>(renderer_->frameBuffer, renderer_->frameBuffer + top.size()), top)
            << (bottomUp ? "bottom-up" : "top-down");
        std::swap(renderer, renderer_);
        Discard(renderer);
    }
}

TEST_F(MovieRendererFilterTest, CopiesNoMoreThanAFrameAndDropsASampleShorterThanOne) {
    const K_CMediaType type = VideoType(MEDIASUBTYPE_RGB24, 4, 2, false, 24);
    ASSERT_EQ(renderer_->SetMediaType(&type), S_OK);
    const size_t frame = 12 * 2;
    std::memset(renderer_->frameBuffer, 0xEE, frame);

    std::vector<uint8_t> tooShort(frame, 0x11);
    EXPECT_EQ(Render(tooShort, static_cast<LONG>(frame - 1)), S_FALSE);
    EXPECT_EQ(renderer_->newFrame.load(), 0u);
    EXPECT_EQ(renderer_->frameBuffer[0], 0xEE);

    // A sample larger than a frame: the frame buffer's end is where the
    // copy stops (an overrun would show under the address sanitizer).
    std::vector<uint8_t> tooLong(frame * 3, 0x22);
    EXPECT_EQ(Render(tooLong, static_cast<LONG>(tooLong.size())), S_OK);
    EXPECT_EQ(renderer_->newFrame.load(), 1u);
    EXPECT_EQ(renderer_->frameBuffer[frame - 1], 0x22);

    EXPECT_EQ(renderer_->DoRenderSample(nullptr), E_POINTER);
}

TEST_F(MovieRendererFilterTest, WithoutABufferASampleIsAcceptedAndNothingCopied) {
    std::vector<uint8_t> bytes(64, 0x33);
    EXPECT_EQ(Render(bytes, 64), S_OK);
    EXPECT_EQ(renderer_->newFrame.load(), 0u);
}

TEST_F(MovieRendererFilterTest, FrameBufferStaysWhereItIsOnceMade) {
    const K_CMediaType first = VideoType(MEDIASUBTYPE_RGB24, 4, 3, true, 24);
    ASSERT_EQ(renderer_->SetMediaType(&first), S_OK);
    uint8_t* const buffer = renderer_->frameBuffer;

    const K_CMediaType flipped = VideoType(MEDIASUBTYPE_RGB24, 4, 3, false, 24);
    EXPECT_EQ(renderer_->SetMediaType(&flipped), S_OK);
    EXPECT_EQ(renderer_->frameBuffer, buffer);
    EXPECT_EQ(renderer_->bottomUp, 0u);

    const K_CMediaType larger = VideoType(MEDIASUBTYPE_RGB24, 8, 6, true, 24);
    EXPECT_EQ(renderer_->SetMediaType(&larger), VFW_E_TYPE_NOT_ACCEPTED);
    EXPECT_EQ(renderer_->frameBuffer, buffer);
    EXPECT_EQ(renderer_->frameWidth, 4);
    EXPECT_EQ(renderer_->frameHeight, 3);
    EXPECT_EQ(renderer_->framePitch, 12);
}

// The stream itself changes size: the sample that brings the new type is
// refused, the buffer stays, and the stream stops.
TEST_F(MovieRendererFilterTest, ChangeOfSizeInTheStreamIsRefused) {
    testsupport::SyntheticSource* source = testsupport::SyntheticSource::Make(testsupport::SyntheticStream{});
    IPin* input = renderer_->GetPin(0);
    ASSERT_EQ(source->Output()->Connect(input, nullptr), S_OK);
    uint8_t* const buffer = renderer_->frameBuffer;
    ASSERT_NE(buffer, nullptr);
    ASSERT_EQ(renderer_->SetSyncSource(nullptr), S_OK);
    ASSERT_EQ(renderer_->Run(0), S_OK);

    void* found = nullptr;
    ASSERT_EQ(input->QueryInterface(IID_IMemInputPin, &found), S_OK);
    auto* samples = static_cast<IMemInputPin*>(found);
    std::vector<uint8_t> bytes(16 * 6 * 3 * 2, 0x44);
    HRESULT made = S_OK;
    auto* sample = new K_CMediaSample("test sample", nullptr, &made, bytes.data(), static_cast<LONG>(bytes.size()));
    K_CMediaType larger = VideoType(MEDIASUBTYPE_RGB24, 16, 6, true, 24);
    sample->SetMediaType(&larger);
    EXPECT_EQ(samples->Receive(sample), VFW_E_TYPE_NOT_ACCEPTED);
    EXPECT_EQ(renderer_->frameBuffer, buffer);
    EXPECT_EQ(renderer_->newFrame.load(), 0u);
    sample->SetMediaType(nullptr);
    EXPECT_EQ(samples->Receive(sample), VFW_E_RUNTIME_ERROR);
    sample->Release();
    samples->Release();

    renderer_->Stop();
    input->Disconnect();
    source->Output()->Disconnect();
    source->Release();
}

TEST_F(MovieRendererFilterTest, RefusesThirtyTwoBitAndCompressedProposals) {
    for (const GUID& subtype : {MEDIASUBTYPE_RGB32, testsupport::kPackedFramesSubtype}) {
        testsupport::SyntheticStream stream;
        stream.subtype = subtype;
        testsupport::SyntheticSource* source = testsupport::SyntheticSource::Make(stream);
        EXPECT_TRUE(FAILED(source->Output()->Connect(renderer_->GetPin(0), nullptr)));
        EXPECT_FALSE(renderer_->GetPin(0)->IsConnected());
        EXPECT_FALSE(source->OutputPin()->IsConnected());
        EXPECT_EQ(renderer_->frameBuffer, nullptr);
        source->Release();
    }
}

}  // namespace
