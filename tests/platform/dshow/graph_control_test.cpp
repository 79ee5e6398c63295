// Running a graph: the clock its filters get, its states, completion when
// every renderer has finished (or a filter gave up), the position in the
// media, and the volume of a graph without sound.
#include <gtest/gtest.h>

#include "platform/dshow/reference_clock.h"
#include "platform/kernel/manual_clock.h"
#include "platform/profile/machine_profile.h"
#include "tests/platform/dshow/graph_fixture.h"
#include "tests/support/step_clock.h"
#include "tests/support/thread_activity.h"

namespace {

using dshowtest::GraphTest;
using dshowtest::kGenerous;
using testsupport::SyntheticStream;

constexpr REFERENCE_TIME kMillisecond = 10000;

class GraphControlTest : public GraphTest {
protected:
    IReferenceClock* ClockOf(IBaseFilter* filter) {
        IReferenceClock* clock = nullptr;
        EXPECT_EQ(filter->GetSyncSource(&clock), S_OK);
        if (clock != nullptr) clock->Release();
        return clock;
    }
    IMediaEventSink* Sink() {
        void* sink = nullptr;
        EXPECT_EQ(graph_->QueryInterface(IID_IMediaEventSink, &sink), S_OK);
        static_cast<IMediaEventSink*>(sink)->Release();
        return static_cast<IMediaEventSink*>(sink);
    }
    HRESULT Wait(LONG milliseconds, LONG* code) { return events_->WaitForCompletion(milliseconds, code); }
    LONGLONG Current() {
        LONGLONG position = -1;
        EXPECT_EQ(seeking_->GetCurrentPosition(&position), S_OK);
        return position;
    }
};

TEST_F(GraphControlTest, FiltersGetTheChosenClockTheTestClockOrASystemClock) {
    IBaseFilter* renderer = AddNullRenderer();

    // Nothing chosen: a system clock of the graph's own, on the
    // performance counter (which the manual clock moves).
    platform::UseManualClock(true);
    ASSERT_EQ(control_->Pause(), S_OK);
    IReferenceClock* system = ClockOf(renderer);
    ASSERT_NE(system, nullptr);
    REFERENCE_TIME before = 0;
    REFERENCE_TIME after = 0;
    system->GetTime(&before);
    platform::AdvanceManualClockMilliseconds(25);
    system->GetTime(&after);
    EXPECT_EQ(after - before, 25 * kMillisecond);
    ASSERT_EQ(control_->Stop(), S_OK);

    // A test's clock in place of the system clock.
    testsupport::StepClock* step = testsupport::StepClock::Make();
    platform::dshow::SetDefaultReferenceClock(step);
    ASSERT_EQ(control_->Pause(), S_OK);
    EXPECT_EQ(ClockOf(renderer), step);
    IReferenceClock* graphClock = nullptr;
    ASSERT_EQ(filter_->GetSyncSource(&graphClock), S_OK);
    EXPECT_EQ(graphClock, step);
    graphClock->Release();

    // No clock at all, chosen while stopped only.
    EXPECT_EQ(filter_->SetSyncSource(nullptr), VFW_E_NOT_STOPPED);
    ASSERT_EQ(control_->Stop(), S_OK);
    ASSERT_EQ(filter_->SetSyncSource(nullptr), S_OK);
    EXPECT_EQ(ClockOf(renderer), nullptr);
    ASSERT_EQ(control_->Run(), S_OK);
    EXPECT_EQ(ClockOf(renderer), nullptr);
    step->Release();

    // The machine's reset takes the test's clock out again.
    platform::ResetMachine();
    IReferenceClock* fresh = platform::dshow::DefaultReferenceClock();
    EXPECT_NE(fresh, step);
    fresh->Release();
}

TEST_F(GraphControlTest, StatesReachEveryFilter) {
    testsupport::SyntheticSource* source = AddSource(SyntheticStream{});
    IBaseFilter* renderer = AddNullRenderer();
    ASSERT_EQ(graph_->Render(source->Output()), S_OK);
    const struct {
        HRESULT (IMediaControl::*change)();
        FILTER_STATE state;
    } steps[] = {{&IMediaControl::Pause, State_Paused},   {&IMediaControl::Run, State_Running},
                 {&IMediaControl::Pause, State_Paused},   {&IMediaControl::Stop, State_Stopped},
                 {&IMediaControl::Run, State_Running},    {&IMediaControl::Run, State_Running},
                 {&IMediaControl::Stop, State_Stopped},   {&IMediaControl::Stop, State_Stopped}};
    for (const auto& step : steps) {
        ASSERT_EQ((control_->*step.change)(), S_OK);
        OAFilterState state = -1;
        EXPECT_EQ(control_->GetState(kGenerous, &state), S_OK);
        EXPECT_EQ(state, step.state);
        for (IBaseFilter* filter : {static_cast<IBaseFilter*>(source), renderer}) {
            FILTER_STATE own = State_Stopped;
            filter->GetState(0, &own);
            EXPECT_EQ(own, step.state);
        }
    }
}

TEST_F(GraphControlTest, CompleteOnceEveryRendererHasFinished) {
    SyntheticStream empty;
    empty.frames = 0;
    for (const wchar_t* name : {L"First", L"Second"}) {
        testsupport::SyntheticSource* source = AddSource(empty, name);
        IBaseFilter* renderer = AddNullRenderer(name);
        ASSERT_EQ(graph_->Connect(source->Output(), InputOf(renderer)), S_OK);
    }
    LONG code = -1;
    EXPECT_EQ(Wait(0, &code), VFW_E_WRONG_STATE);
    EXPECT_EQ(Wait(0, nullptr), E_POINTER);

    // Paused, the renderers keep the end of their streams to themselves:
    // the graph hears only what the test tells it.
    ASSERT_EQ(control_->Pause(), S_OK);
    Sink()->Notify(EC_COMPLETE, S_OK, 0);
    EXPECT_EQ(Wait(0, &code), E_ABORT);
    EXPECT_EQ(code, 0);
    Sink()->Notify(EC_COMPLETE, S_OK, 0);
    EXPECT_EQ(Wait(0, &code), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    // A filter that gave up outweighs the finished ones.
    Sink()->Notify(EC_ERRORABORT, E_FAIL, 0);
    EXPECT_EQ(Wait(0, &code), S_OK);
    EXPECT_EQ(code, EC_ERRORABORT);

    // Stopped and started again, the graph waits for its renderers afresh,
    // which report when it runs.
    ASSERT_EQ(control_->Stop(), S_OK);
    ASSERT_EQ(control_->Pause(), S_OK);
    EXPECT_EQ(Wait(0, &code), E_ABORT);
    ASSERT_EQ(control_->Run(), S_OK);
    EXPECT_EQ(Wait(kGenerous, &code), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
}

TEST_F(GraphControlTest, PositionFollowsStreamTimeAndReachesTheStopAtTheEnd) {
    testsupport::StepClock* clock = testsupport::StepClock::Make(1000 * kMillisecond);
    ASSERT_EQ(filter_->SetSyncSource(clock), S_OK);
    SyntheticStream endless;
    endless.frames = -1;
    testsupport::SyntheticSource* source = AddSource(endless);
    AddNullRenderer();
    ASSERT_EQ(graph_->Render(source->Output()), S_OK);

    EXPECT_EQ(Current(), 0);
    ASSERT_EQ(control_->Run(), S_OK);
    clock->Advance(50 * kMillisecond);
    EXPECT_EQ(Current(), 50 * kMillisecond);
    ASSERT_EQ(control_->Pause(), S_OK);
    clock->Advance(500 * kMillisecond);
    EXPECT_EQ(Current(), 50 * kMillisecond);
    ASSERT_EQ(control_->Run(), S_OK);
    clock->Advance(10 * kMillisecond);
    EXPECT_EQ(Current(), 60 * kMillisecond);

    // A seek starts stream time afresh at the new position.
    LONGLONG target = 2000 * kMillisecond;
    ASSERT_EQ(seeking_->SetPositions(&target, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning),
              S_OK);
    EXPECT_EQ(Current(), target);
    clock->Advance(5 * kMillisecond);
    EXPECT_EQ(Current(), target + 5 * kMillisecond);
    LONGLONG back = -1000 * kMillisecond;
    ASSERT_EQ(seeking_->SetPositions(&back, AM_SEEKING_RelativePositioning, nullptr, AM_SEEKING_NoPositioning),
              S_OK);
    EXPECT_EQ(Current(), target - 995 * kMillisecond);

    // A stop position ahead of the clock caps the position; reaching the end
    // of every stream makes it the stop position.
    LONGLONG stop = target;
    ASSERT_EQ(seeking_->SetPositions(nullptr, AM_SEEKING_NoPositioning, &stop, AM_SEEKING_AbsolutePositioning),
              S_OK);
    LONGLONG reported = 0;
    EXPECT_EQ(seeking_->GetStopPosition(&reported), S_OK);
    EXPECT_EQ(reported, stop);
    LONG code = 0;
    ASSERT_EQ(events_->WaitForCompletion(kGenerous, &code), S_OK);
    EXPECT_EQ(Current(), stop);
    clock->Release();
}

TEST_F(GraphControlTest, SeekingNeedsAStreamAndPositionsItCanRead) {
    LONGLONG position = 0;
    EXPECT_EQ(seeking_->GetStopPosition(&position), E_NOTIMPL);
    EXPECT_EQ(seeking_->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning),
              E_NOTIMPL);
    EXPECT_EQ(seeking_->SetPositions(nullptr, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning),
              E_POINTER);
    EXPECT_EQ(seeking_->SetPositions(&position, 3, nullptr, AM_SEEKING_NoPositioning), E_INVALIDARG);
    EXPECT_EQ(seeking_->GetCurrentPosition(nullptr), E_POINTER);
    EXPECT_EQ(seeking_->GetCurrentPosition(&position), S_OK);
    EXPECT_EQ(position, 0);
}

TEST_F(GraphControlTest, VolumeNeedsAFilterThatPlaysSound) {
    AddNullRenderer();
    void* found = nullptr;
    ASSERT_EQ(graph_->QueryInterface(IID_IBasicAudio, &found), S_OK);
    auto* audio = static_cast<IBasicAudio*>(found);
    LONG volume = 1;
    EXPECT_EQ(audio->put_Volume(-100), E_NOTIMPL);
    EXPECT_EQ(audio->get_Volume(&volume), E_NOTIMPL);
    EXPECT_EQ(audio->get_Volume(nullptr), E_POINTER);
    audio->Release();
}

}  // namespace
