// Running a graph: the clock its filters share (the program's choice, none,
// or the default clock), state changes passed to the filters downstream
// first, and stream time that goes on where a pause left it.
#include <chrono>

#include "platform/dshow/filter_graph.h"
#include "platform/dshow/reference_clock.h"

namespace platform::dshow {

std::vector<Ref<IBaseFilter>> FilterGraph::DownstreamFirst() const {
    std::vector<Ref<IBaseFilter>> order;
    std::vector<IBaseFilter*> visited;
    // A filter goes into the order after everything its outputs feed.
    auto visit = [&](auto& self, const Ref<IBaseFilter>& filter) -> void {
        for (IBaseFilter* seen : visited)
            if (SameObject(seen, filter.get())) return;
        visited.push_back(filter.get());
        for (const Ref<IPin>& pin : PinsOf(filter.get())) {
            if (DirectionOf(pin.get()) != PINDIR_OUTPUT) continue;
            const Ref<IPin> peer = PeerOf(pin.get());
            if (!peer) continue;
            const Ref<IBaseFilter> downstream = FilterOf(peer.get());
            if (downstream && IsMember(downstream.get())) self(self, downstream);
        }
        order.push_back(filter);
    };
    for (const Member& member : members_) visit(visit, member.filter);
    return order;
}

REFERENCE_TIME FilterGraph::ClockNow() const {
    REFERENCE_TIME now = 0;
    if (clock_) clock_->GetTime(&now);
    return now;
}

void FilterGraph::PrepareToStart() {
    if (!clockChosen_) {
        clock_ = Ref<IReferenceClock>(DefaultReferenceClock());
    }
    for (const Member& member : members_) member.filter->SetSyncSource(clock_.get());
    pausedStreamTime_ = 0;
    ResetCompletion();
}

HRESULT FilterGraph::PauseFilters() {
    for (const Ref<IBaseFilter>& filter : DownstreamFirst()) {
        const HRESULT result = filter->Pause();
        if (FAILED(result)) return result;
    }
    return S_OK;
}

HRESULT FilterGraph::RunFilters(REFERENCE_TIME start) {
    for (const Ref<IBaseFilter>& filter : DownstreamFirst()) {
        const HRESULT result = filter->Run(start);
        if (FAILED(result)) return result;
    }
    return S_OK;
}

HRESULT FilterGraph::StopFilters() {
    HRESULT outcome = S_OK;
    for (const Ref<IBaseFilter>& filter : DownstreamFirst()) {
        const HRESULT result = filter->Stop();
        if (FAILED(result) && SUCCEEDED(outcome)) outcome = result;
    }
    return outcome;
}

HRESULT WINAPI FilterGraph::Pause() {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    const FILTER_STATE state = state_.load();
    if (state == State_Paused) return S_OK;
    if (state == State_Stopped) PrepareToStart();
    if (state == State_Running && clock_) pausedStreamTime_ = ClockNow() - runStart_;
    const HRESULT result = PauseFilters();
    if (FAILED(result)) {
        StopFilters();
        state_.store(State_Stopped);
        return result;
    }
    state_.store(State_Paused);
    return S_OK;
}

HRESULT WINAPI FilterGraph::Run() {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    if (state_.load() == State_Running) return S_OK;
    if (state_.load() == State_Stopped) {
        const HRESULT paused = Pause();
        if (FAILED(paused)) return paused;
    }
    // Stream time goes on from where the pause left it.
    runStart_ = ClockNow() - pausedStreamTime_;
    const HRESULT result = RunFilters(runStart_);
    if (FAILED(result)) {
        StopFilters();
        state_.store(State_Stopped);
        return result;
    }
    state_.store(State_Running);
    return S_OK;
}

HRESULT WINAPI FilterGraph::Stop() {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    if (state_.load() == State_Stopped) return S_OK;
    const HRESULT result = StopFilters();
    state_.store(State_Stopped);
    pausedStreamTime_ = 0;
    ResetCompletion();
    return result;
}

HRESULT WINAPI FilterGraph::GetState(DWORD milliseconds, FILTER_STATE* state) {
    if (state == nullptr) return E_POINTER;
    std::vector<Ref<IBaseFilter>> filters;
    {
        std::lock_guard<std::recursive_mutex> hold(lock_);
        *state = state_.load();
        filters = Filters();
    }
    // The filters are asked without the graph's lock: a renderer may wait
    // for its first sample, which the graph's other calls must not block.
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    HRESULT outcome = S_OK;
    for (const Ref<IBaseFilter>& filter : filters) {
        DWORD left = milliseconds;
        if (milliseconds != INFINITE) {
            const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            left = remaining.count() > 0 ? static_cast<DWORD>(remaining.count()) : 0;
        }
        FILTER_STATE filterState = State_Stopped;
        const HRESULT result = filter->GetState(left, &filterState);
        if (FAILED(result)) return result;
        if (result == VFW_S_STATE_INTERMEDIATE) outcome = VFW_S_STATE_INTERMEDIATE;
    }
    return outcome;
}

HRESULT WINAPI FilterGraph::GetState(LONG milliseconds, OAFilterState* state) {
    if (state == nullptr) return E_POINTER;
    FILTER_STATE filterState = State_Stopped;
    const HRESULT result = GetState(static_cast<DWORD>(milliseconds), &filterState);
    *state = filterState;
    return result;
}

HRESULT WINAPI FilterGraph::GetClassID(CLSID* classId) {
    if (classId == nullptr) return E_POINTER;
    *classId = CLSID_FilterGraph;
    return S_OK;
}

HRESULT WINAPI FilterGraph::Run(REFERENCE_TIME start) { return Run(); }

HRESULT WINAPI FilterGraph::SetSyncSource(IReferenceClock* clock) {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    if (state_.load() != State_Stopped) return VFW_E_NOT_STOPPED;
    clock_ = Ref<IReferenceClock>::Share(clock);
    clockChosen_ = true;
    for (const Member& member : members_) member.filter->SetSyncSource(clock_.get());
    return S_OK;
}

HRESULT WINAPI FilterGraph::GetSyncSource(IReferenceClock** clock) {
    if (clock == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(lock_);
    *clock = Ref<IReferenceClock>(clock_).Detach();
    return S_OK;
}

}  // namespace platform::dshow
