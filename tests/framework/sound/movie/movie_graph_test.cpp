// The movie renderer at the end of a graph: built by Connect, Render and
// RenderFile from a synthetic source (through a decoder when the source's
// frames are packed), frames shown at their time on a test clock or at once
// without one, the graph's states, positions, restart and completion, and
// state changes while the source keeps delivering.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <ostream>
#include <random>
#include <thread>
#include <vector>

#include "framework/base/tracked_memory.h"
#include "framework/sound/movie/movie_renderer_filter.h"
#include "platform/com/com.h"
#include "tests/support/step_clock.h"
#include "tests/support/synthetic_filters.h"
#include "tests/support/test_support.h"
#include "tests/support/thread_activity.h"

namespace {

using testsupport::SyntheticStream;
using testsupport::WaitUntil;

constexpr REFERENCE_TIME kClockStart = 5000000;
constexpr REFERENCE_TIME kFrame = 400000;
constexpr LONG kGenerous = 20000;

// Records every frame it shows: its number (the synthetic frames carry it in
// their first byte), the sample's time and the clock's.
class RecordingRenderer final : public MovieRendererFilter {
public:
    struct Shown {
        int frame;
        REFERENCE_TIME sampleStart;
        REFERENCE_TIME clockTime;
    };

    explicit RecordingRenderer(HRESULT* result) : MovieRendererFilter(nullptr, result) {}

    HRESULT DoRenderSample(IMediaSample* sample) override {
        const HRESULT result = MovieRendererFilter::DoRenderSample(sample);
        Shown shown{frameBuffer != nullptr ? frameBuffer[0] : -1, -1, -1};
        REFERENCE_TIME end = 0;
        sample->GetTime(&shown.sampleStart, &end);
        if (clock_ != nullptr) clock_->GetTime(&shown.clockTime);
        std::lock_guard<std::mutex> hold(lock_);
        shown_.push_back(shown);
        return result;
    }

    std::vector<Shown> AllShown() {
        std::lock_guard<std::mutex> hold(lock_);
        return shown_;
    }
    size_t Count() {
        std::lock_guard<std::mutex> hold(lock_);
        return shown_.size();
    }

private:
    std::mutex lock_;
    std::vector<Shown> shown_;
};

enum class Way { Connect, Render, RenderFile };

template <class Interface>
Interface* Query(IUnknown* object, REFIID iid) {
    void* found = nullptr;
    EXPECT_EQ(object->QueryInterface(iid, &found), S_OK);
    return static_cast<Interface*>(found);
}

class MovieGraphTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        void* made = nullptr;
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, &made), S_OK);
        graph_ = static_cast<IGraphBuilder*>(made);
        control_ = Query<IMediaControl>(graph_, IID_IMediaControl);
        seeking_ = Query<IMediaSeeking>(graph_, IID_IMediaSeeking);
        events_ = Query<IMediaEvent>(graph_, IID_IMediaEvent);
        filter_ = Query<IMediaFilter>(graph_, IID_IMediaFilter);
        HRESULT result = S_OK;
        renderer_ = new RecordingRenderer(&result);
        ASSERT_EQ(result, S_OK);
        ASSERT_EQ(graph_->AddFilter(renderer_, L"MovieRenderer"), S_OK);
        clock_ = testsupport::StepClock::Make(kClockStart);
    }

    void TearDown() override {
        filter_->Release();
        events_->Release();
        seeking_->Release();
        control_->Release();
        graph_->Release();
        uint8_t* buffer = renderer_->frameBuffer;
        renderer_->Release();
        FreeMemory(buffer);
        clock_->Release();
        CoUninitialize();
        PlatformTest::TearDown();
    }

    void Build(const SyntheticStream& stream, Way way) {
        if (way == Way::RenderFile) {
            testsupport::RegisterSyntheticFilters();
            testsupport::SyntheticSource::SetRegisteredStream(stream);
            ASSERT_EQ(graph_->RenderFile(L"C:\\movies\\clip.synthetic", nullptr), S_OK);
            return;
        }
        testsupport::RegisterSyntheticFilters();
        testsupport::SyntheticSource* source = testsupport::SyntheticSource::Make(stream);
        ASSERT_EQ(graph_->AddFilter(source, L"Source"), S_OK);
        source->Release();
        if (way == Way::Connect)
            ASSERT_EQ(graph_->Connect(source->Output(), renderer_->GetPin(0)), S_OK);
        else
            ASSERT_EQ(graph_->Render(source->Output()), S_OK);
    }

    LONGLONG Current() {
        LONGLONG position = -1;
        EXPECT_EQ(seeking_->GetCurrentPosition(&position), S_OK);
        return position;
    }
    LONGLONG Stop() {
        LONGLONG position = -1;
        EXPECT_EQ(seeking_->GetStopPosition(&position), S_OK);
        return position;
    }
    FILTER_STATE State(HRESULT expected = S_OK) {
        OAFilterState state = -1;
        EXPECT_EQ(control_->GetState(kGenerous, &state), expected);
        return static_cast<FILTER_STATE>(state);
    }
    // Waits until the renderer waits on the clock for `due` (clock time).
    void WaitForAdviceAt(REFERENCE_TIME due) {
        ASSERT_TRUE(WaitUntil([&] { return clock_->NextDue() == due; })) << "due " << due;
    }
    bool HasFilter(REFCLSID clsid) {
        IEnumFilters* filters = nullptr;
        EXPECT_EQ(graph_->EnumFilters(&filters), S_OK);
        bool found = false;
        IBaseFilter* filter = nullptr;
        ULONG fetched = 0;
        while (filters->Next(1, &filter, &fetched) == S_OK) {
            CLSID id{};
            filter->GetClassID(&id);
            found = found || IsEqualCLSID(id, clsid);
            filter->Release();
        }
        filters->Release();
        return found;
    }

    IGraphBuilder* graph_ = nullptr;
    IMediaControl* control_ = nullptr;
    IMediaSeeking* seeking_ = nullptr;
    IMediaEvent* events_ = nullptr;
    IMediaFilter* filter_ = nullptr;
    RecordingRenderer* renderer_ = nullptr;
    testsupport::StepClock* clock_ = nullptr;
};

struct BuildCase {
    const char* name;
    Way way;
    GUID subtype;
};

void PrintTo(const BuildCase& build, std::ostream* out) { *out << build.name; }

class MovieGraphBuildTest : public MovieGraphTest, public ::testing::WithParamInterface<BuildCase> {};

TEST_P(MovieGraphBuildTest, FramesAreShownWhenTheClockReachesTheirTime) {
    ASSERT_EQ(filter_->SetSyncSource(clock_), S_OK);
    SyntheticStream stream;
    stream.subtype = GetParam().subtype;
    Build(stream, GetParam().way);
    // Frames the renderer cannot take reach it through the decoder.
    EXPECT_EQ(HasFilter(testsupport::CLSID_SyntheticDecoder),
              IsEqualGUID(stream.subtype, testsupport::kPackedFramesSubtype));
    AM_MEDIA_TYPE connected{};
    ASSERT_EQ(renderer_->GetPin(0)->ConnectionMediaType(&connected), S_OK);
    EXPECT_TRUE(IsEqualGUID(connected.subtype, MEDIASUBTYPE_RGB24));
    K_FreeMediaType(connected);
    EXPECT_EQ(Stop(), 3 * kFrame);

    ASSERT_EQ(control_->Run(), S_OK);
    ASSERT_TRUE(WaitUntil([&] { return renderer_->Count() == 1; }));
    for (int frame = 1; frame < 3; ++frame) {
        WaitForAdviceAt(kClockStart + frame * kFrame);
        clock_->Advance(kFrame - 1);
        EXPECT_EQ(renderer_->Count(), static_cast<size_t>(frame)) << "frame " << frame << " came early";
        clock_->Advance(1);
        ASSERT_TRUE(WaitUntil([&] { return renderer_->Count() == static_cast<size_t>(frame) + 1; }));
    }
    const std::vector<RecordingRenderer::Shown> shown = renderer_->AllShown();
    for (int frame = 0; frame < 3; ++frame) {
        EXPECT_EQ(shown[frame].frame, frame);
        EXPECT_EQ(shown[frame].sampleStart, frame * kFrame);
        EXPECT_EQ(shown[frame].clockTime, kClockStart + frame * kFrame);
    }
    EXPECT_EQ(std::vector<uint8_t>(renderer_->frameBuffer, renderer_->frameBuffer + 12 * 3),
              testsupport::SyntheticFrameTopDown(stream, 2));
    EXPECT_EQ(Current(), 2 * kFrame);

    // The end of the stream comes when the last frame's time is over.
    LONG code = 0;
    WaitForAdviceAt(kClockStart + 3 * kFrame);
    EXPECT_EQ(events_->WaitForCompletion(0, &code), E_ABORT);
    clock_->Advance(kFrame);
    EXPECT_EQ(events_->WaitForCompletion(kGenerous, &code), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    EXPECT_EQ(Current(), 3 * kFrame);
}

INSTANTIATE_TEST_SUITE_P(Ways, MovieGraphBuildTest,
                         ::testing::Values(BuildCase{"Connect", Way::Connect, MEDIASUBTYPE_RGB24},
                                           BuildCase{"Render", Way::Render, MEDIASUBTYPE_RGB24},
                                           BuildCase{"ConnectThroughDecoder", Way::Connect,
                                                     testsupport::kPackedFramesSubtype},
                                           BuildCase{"RenderFileThroughDecoder", Way::RenderFile,
                                                     testsupport::kPackedFramesSubtype}),
                         [](const ::testing::TestParamInfo<BuildCase>& info) { return info.param.name; });

TEST_F(MovieGraphTest, WithoutAClockFramesAreShownAtOnce) {
    ASSERT_EQ(filter_->SetSyncSource(nullptr), S_OK);
    SyntheticStream stream;
    stream.frames = 5;
    Build(stream, Way::Connect);
    ASSERT_EQ(control_->Run(), S_OK);
    LONG code = 0;
    ASSERT_EQ(events_->WaitForCompletion(kGenerous, &code), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    const std::vector<RecordingRenderer::Shown> shown = renderer_->AllShown();
    ASSERT_EQ(shown.size(), 5u);
    for (int frame = 0; frame < 5; ++frame) {
        EXPECT_EQ(shown[frame].frame, frame);
        EXPECT_EQ(shown[frame].clockTime, -1);
    }
    EXPECT_EQ(renderer_->newFrame.load(), 1u);
    EXPECT_EQ(Current(), 5 * kFrame);
}

TEST_F(MovieGraphTest, RunPauseAndStop) {
    ASSERT_EQ(filter_->SetSyncSource(clock_), S_OK);
    Build(SyntheticStream{}, Way::Connect);
    EXPECT_EQ(State(), State_Stopped);

    // Paused, the first frame waits in the renderer, not shown yet.
    ASSERT_EQ(control_->Pause(), S_OK);
    EXPECT_EQ(State(), State_Paused);
    EXPECT_EQ(renderer_->Count(), 0u);
    EXPECT_EQ(Current(), 0);

    ASSERT_EQ(control_->Run(), S_OK);
    EXPECT_EQ(State(), State_Running);
    ASSERT_TRUE(WaitUntil([&] { return renderer_->Count() == 1; }));
    clock_->Advance(kFrame / 2);
    EXPECT_EQ(Current(), kFrame / 2);

    // Stream time stands still in pause, and goes on from there.
    ASSERT_EQ(control_->Pause(), S_OK);
    EXPECT_EQ(State(), State_Paused);
    clock_->Advance(10 * kFrame);
    EXPECT_EQ(Current(), kFrame / 2);
    EXPECT_EQ(renderer_->Count(), 1u);
    ASSERT_EQ(control_->Run(), S_OK);
    WaitForAdviceAt(clock_->Now() + kFrame / 2);
    clock_->Advance(kFrame / 2);
    ASSERT_TRUE(WaitUntil([&] { return renderer_->Count() == 2; }));

    // After a stop the stream starts again from where it was last put.
    ASSERT_EQ(control_->Stop(), S_OK);
    EXPECT_EQ(State(), State_Stopped);
    EXPECT_EQ(Current(), 0);
    ASSERT_EQ(control_->Run(), S_OK);
    ASSERT_TRUE(WaitUntil([&] { return renderer_->Count() == 3; }));
    EXPECT_EQ(renderer_->AllShown()[2].frame, 0);
}

TEST_F(MovieGraphTest, PauseIsCompleteOnlyOnceAFrameHasArrived) {
    Build(SyntheticStream{}, Way::Connect);
    // The renderer paused on its own: its source never starts.
    ASSERT_EQ(renderer_->Pause(), S_OK);
    FILTER_STATE state = State_Stopped;
    EXPECT_EQ(renderer_->GetState(0, &state), VFW_S_STATE_INTERMEDIATE);
    EXPECT_EQ(state, State_Paused);
    ASSERT_EQ(renderer_->Stop(), S_OK);

    ASSERT_EQ(control_->Pause(), S_OK);
    EXPECT_EQ(renderer_->GetState(kGenerous, &state), S_OK);
}

TEST_F(MovieGraphTest, SetPositionsToZeroPlaysAgainFromTheStart) {
    ASSERT_EQ(filter_->SetSyncSource(clock_), S_OK);
    SyntheticStream stream;
    stream.frames = 2;
    Build(stream, Way::Render);
    ASSERT_EQ(control_->Run(), S_OK);
    ASSERT_TRUE(WaitUntil([&] { return renderer_->Count() == 1; }));
    WaitForAdviceAt(kClockStart + kFrame);
    clock_->Advance(kFrame);
    WaitForAdviceAt(kClockStart + 2 * kFrame);
    clock_->Advance(kFrame);
    LONG code = 0;
    ASSERT_EQ(events_->WaitForCompletion(kGenerous, &code), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    EXPECT_EQ(Current(), Stop());

    // As a looping movie does: back to 0, run on.
    LONGLONG zero = 0;
    ASSERT_EQ(seeking_->SetPositions(&zero, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning),
              S_OK);
    ASSERT_EQ(control_->Run(), S_OK);
    EXPECT_EQ(Current(), 0);
    EXPECT_EQ(events_->WaitForCompletion(0, &code), E_ABORT);
    ASSERT_TRUE(WaitUntil([&] { return renderer_->Count() == 3; }));
    EXPECT_EQ(renderer_->AllShown()[2].frame, 0);
    EXPECT_EQ(renderer_->AllShown()[2].clockTime, kClockStart + 2 * kFrame);
}

// A source that never ends, states and seeks in a random order, and a reader
// that takes the frames as the movie code does: nothing may hang, leak or
// race.
TEST_F(MovieGraphTest, StateChangesAndFlushesWhileTheSourceKeepsDelivering) {
    ASSERT_EQ(filter_->SetSyncSource(nullptr), S_OK);
    SyntheticStream stream;
    stream.frames = -1;
    Build(stream, Way::Connect);

    std::atomic<bool> reading{true};
    std::thread reader([&] {
        uint8_t copy[12 * 3];
        while (reading.load()) {
            if (renderer_->newFrame.exchange(0) == 0) continue;
            K_CAutoLock hold(renderer_->RendererLock());
            std::memcpy(copy, renderer_->frameBuffer, sizeof(copy));
        }
    });

    std::mt19937 random(2024);
    for (int step = 0; step < 300; ++step) {
        OAFilterState state = 0;
        LONGLONG zero = 0;
        switch (random() % 5) {
            case 0:
                EXPECT_EQ(control_->Run(), S_OK);
                break;
            case 1:
                EXPECT_EQ(control_->Pause(), S_OK);
                break;
            case 2:
                EXPECT_EQ(control_->Stop(), S_OK);
                break;
            case 3:
                EXPECT_EQ(seeking_->SetPositions(&zero, AM_SEEKING_AbsolutePositioning, nullptr,
                                                 AM_SEEKING_NoPositioning),
                          S_OK);
                break;
            default:
                EXPECT_TRUE(SUCCEEDED(control_->GetState(0, &state)));
                break;
        }
    }
    // Still streaming after all that.
    ASSERT_EQ(control_->Run(), S_OK);
    const size_t before = renderer_->Count();
    EXPECT_TRUE(WaitUntil([&] { return renderer_->Count() > before + 10; }));
    reading.store(false);
    reader.join();
    EXPECT_EQ(control_->Stop(), S_OK);
}

}  // namespace
