// The in-place transform between a source and a renderer: each sample
// changed where it is and passed on, the upstream buffers handed through or
// copied when the downstream pin insists on its own, dropped samples, and
// the end of the stream passed on.
#include <gtest/gtest.h>

#include <atomic>

#include "framework/base/tracked_memory.h"
#include "framework/sound/movie/movie_renderer_filter.h"
#include "framework/sound/movie/transform_in_place.h"
#include "platform/com/com.h"
#include "tests/framework/sound/movie/probe_filter.h"
#include "tests/support/synthetic_filters.h"
#include "tests/support/test_support.h"

namespace {

using testsupport::SyntheticStream;

constexpr GUID kInverterClass = {0x494E5645u, 1, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
constexpr LONG kGenerous = 20000;

// Inverts every byte; drops every odd frame when asked to.
class Inverter final : public K_CTransInPlaceFilter {
public:
    explicit Inverter(bool dropOddFrames)
        : K_CTransInPlaceFilter("Inverter", nullptr, kInverterClass, nullptr), dropOdd_(dropOddFrames) {}

    HRESULT CheckInputType(const K_CMediaType* type) override {
        return IsEqualGUID(*type->Subtype(), MEDIASUBTYPE_RGB24) ? S_OK : S_FALSE;
    }
    HRESULT Transform(IMediaSample* sample) override {
        REFERENCE_TIME start = 0;
        REFERENCE_TIME end = 0;
        sample->GetTime(&start, &end);
        if (dropOdd_ && (start / SyntheticStream{}.frameDuration) % 2 == 1) return S_FALSE;
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        for (LONG i = 0; i < sample->GetActualDataLength(); ++i) data[i] = static_cast<BYTE>(~data[i]);
        transformed.fetch_add(1);
        return S_OK;
    }

    std::atomic<int> transformed{0};

private:
    bool dropOdd_;
};

std::vector<uint8_t> InvertedBottomUp(const SyntheticStream& stream, int frame) {
    const std::vector<uint8_t> top = testsupport::SyntheticFrameTopDown(stream, frame);
    const size_t pitch = static_cast<size_t>(testsupport::Rgb24Pitch(stream.width));
    std::vector<uint8_t> bytes(top.size());
    for (int row = 0; row < stream.height; ++row)
        for (size_t i = 0; i < pitch; ++i)
            bytes[static_cast<size_t>(stream.height - 1 - row) * pitch + i] =
                static_cast<uint8_t>(~top[static_cast<size_t>(row) * pitch + i]);
    return bytes;
}

class TransformInPlaceTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        void* made = nullptr;
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, &made), S_OK);
        graph_ = static_cast<IGraphBuilder*>(made);
        ASSERT_EQ(graph_->QueryInterface(IID_IMediaControl, &made), S_OK);
        control_ = static_cast<IMediaControl*>(made);
        ASSERT_EQ(graph_->QueryInterface(IID_IMediaEvent, &made), S_OK);
        events_ = static_cast<IMediaEvent*>(made);
        ASSERT_EQ(graph_->QueryInterface(IID_IMediaFilter, &made), S_OK);
        static_cast<IMediaFilter*>(made)->SetSyncSource(nullptr);
        static_cast<IMediaFilter*>(made)->Release();
    }
    void TearDown() override {
        events_->Release();
        control_->Release();
        // The graph lets the renderer go before its frame buffer is freed.
        graph_->Release();
        if (renderer_ != nullptr) {
            uint8_t* buffer = renderer_->frameBuffer;
            renderer_->Release();
            FreeMemory(buffer);
        }
        CoUninitialize();
        PlatformTest::TearDown();
    }

    // Source -> inverter -> `renderer`, with the inverter put in first so
    // that rendering the source finds it.
    Inverter* Build(bool dropOddFrames, IBaseFilter* renderer) {
        auto* inverter = new Inverter(dropOddFrames);
        EXPECT_EQ(graph_->AddFilter(inverter, L"Inverter"), S_OK);
        EXPECT_EQ(graph_->AddFilter(renderer, L"Renderer"), S_OK);
        testsupport::SyntheticSource* source = testsupport::SyntheticSource::Make(stream_);
        EXPECT_EQ(graph_->AddFilter(source, L"Source"), S_OK);
        EXPECT_EQ(graph_->Render(source->Output()), S_OK);
        EXPECT_TRUE(inverter->InputPin()->IsConnected());
        EXPECT_TRUE(inverter->OutputPin()->IsConnected());
        source->Release();
        inverter->Release();
        return inverter;
    }
    void PlayToTheEnd() {
        ASSERT_EQ(control_->Run(), S_OK);
        LONG code = 0;
        ASSERT_EQ(events_->WaitForCompletion(kGenerous, &code), S_OK);
        EXPECT_EQ(code, EC_COMPLETE);
    }

    SyntheticStream stream_;
    MovieRendererFilter* renderer_ = nullptr;
    IGraphBuilder* graph_ = nullptr;
    IMediaControl* control_ = nullptr;
    IMediaEvent* events_ = nullptr;
};

TEST_F(TransformInPlaceTest, ChangesEachSampleInTheUpstreamBufferAndPassesItOn) {
    HRESULT result = S_OK;
    renderer_ = MovieRendererFilter::Create(nullptr, &result);
    Inverter* inverter = Build(false, renderer_);
    EXPECT_EQ(inverter->InputPin()->Allocator(), inverter->OutputPin()->Allocator());
    PlayToTheEnd();
    EXPECT_EQ(inverter->transformed.load(), 3);
    // The renderer turned the inverted bottom-up rows top row first.
    const std::vector<uint8_t> sent = InvertedBottomUp(stream_, 2);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(std::vector<uint8_t>(renderer_->frameBuffer + row * 12, renderer_->frameBuffer + row * 12 + 12),
                  std::vector<uint8_t>(sent.begin() + (2 - row) * 12, sent.begin() + (3 - row) * 12));
}

TEST_F(TransformInPlaceTest, CopiesIntoTheDownstreamBuffersAndDropsWhatItDrops) {
    probe::Settings takesVideo{{}, {MEDIASUBTYPE_RGB24}};
    takesVideo.ownAllocatorOnly = true;
    auto* probe = new probe::ProbeFilter(PINDIR_INPUT, takesVideo);
    stream_.frames = 4;
    Inverter* inverter = Build(true, probe);
    IMemAllocator* upstream = inverter->InputPin()->Allocator();
    EXPECT_NE(upstream, inverter->OutputPin()->Allocator());
    PlayToTheEnd();

    const std::vector<probe::Received> received = probe->AllReceived();
    ASSERT_EQ(received.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        const int frame = static_cast<int>(i) * 2;
        EXPECT_EQ(received[i].start, frame * stream_.frameDuration);
        EXPECT_EQ(received[i].bytes, InvertedBottomUp(stream_, frame));
        EXPECT_NE(received[i].pool, upstream);
    }
    probe->Release();
}

}  // namespace
