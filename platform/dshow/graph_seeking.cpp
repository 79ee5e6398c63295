// The graph's position in the media: the stop position the streams report,
// the current position from the clock's stream time (or, without a clock,
// from the streams), the stop position itself once every renderer has
// finished, and seeks that restart the streams at a new position.
#include "platform/dshow/filter_graph.h"

namespace platform::dshow {

namespace {

// The seeking of the stream that feeds `output`: the pin's own, its
// filter's, or further upstream.
Ref<IMediaSeeking> UpstreamSeeking(IPin* output, int depth) {
    if (depth > 16) return Ref<IMediaSeeking>();
    if (Ref<IMediaSeeking> seeking = Ref<IMediaSeeking>::Query(output, IID_IMediaSeeking)) return seeking;
    const Ref<IBaseFilter> filter = FilterOf(output);
    if (Ref<IMediaSeeking> seeking = Ref<IMediaSeeking>::Query(filter.get(), IID_IMediaSeeking)) return seeking;
    for (const Ref<IPin>& pin : PinsOf(filter.get())) {
        if (DirectionOf(pin.get()) != PINDIR_INPUT) continue;
        const Ref<IPin> feeding = PeerOf(pin.get());
        if (!feeding) continue;
        if (Ref<IMediaSeeking> seeking = UpstreamSeeking(feeding.get(), depth + 1)) return seeking;
    }
    return Ref<IMediaSeeking>();
}

}  // namespace

std::vector<Ref<IMediaSeeking>> FilterGraph::Seekers() const {
    std::vector<Ref<IMediaSeeking>> seekers;
    auto add = [&](Ref<IMediaSeeking> seeking) {
        if (!seeking) return;
        for (const Ref<IMediaSeeking>& known : seekers)
            if (SameObject(known.get(), seeking.get())) return;
        seekers.push_back(std::move(seeking));
    };
    // Each renderer's stream is sought where it can be: at the renderer, or
    // upstream at the filters that produce it.
    for (const Member& member : members_) {
        if (!IsRenderer(member.filter.get())) continue;
        if (Ref<IMediaSeeking> own = Ref<IMediaSeeking>::Query(member.filter.get(), IID_IMediaSeeking)) {
            add(std::move(own));
            continue;
        }
        for (const Ref<IPin>& pin : PinsOf(member.filter.get())) {
            if (DirectionOf(pin.get()) != PINDIR_INPUT) continue;
            if (const Ref<IPin> feeding = PeerOf(pin.get())) add(UpstreamSeeking(feeding.get(), 0));
        }
    }
    return seekers;
}

HRESULT WINAPI FilterGraph::GetStopPosition(LONGLONG* stop) {
    if (stop == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(lock_);
    bool found = false;
    // The graph ends when its longest stream does.
    for (const Ref<IMediaSeeking>& seeking : Seekers()) {
        LONGLONG position = 0;
        if (FAILED(seeking->GetStopPosition(&position))) continue;
        if (!found || position > *stop) *stop = position;
        found = true;
    }
    return found ? S_OK : E_NOTIMPL;
}

LONGLONG FilterGraph::StreamPosition() {
    REFERENCE_TIME streamTime = pausedStreamTime_;
    if (state_.load() == State_Running) streamTime = ClockNow() - runStart_;
    return startPosition_ + (streamTime > 0 ? streamTime : 0);
}

HRESULT WINAPI FilterGraph::GetCurrentPosition(LONGLONG* current) {
    if (current == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(lock_);
    LONGLONG stop = 0;
    const bool hasStop = SUCCEEDED(GetStopPosition(&stop));
    // Every stream has been played out.
    if (hasStop && Completed()) {
        *current = stop;
        return S_OK;
    }
    LONGLONG position = startPosition_;
    if (clock_) {
        position = StreamPosition();
    } else {
        // Without a clock the streams run as fast as they can: they know
        // best how far they got.
        for (const Ref<IMediaSeeking>& seeking : Seekers()) {
            LONGLONG reached = 0;
            if (SUCCEEDED(seeking->GetCurrentPosition(&reached)) && reached > position) position = reached;
        }
    }
    *current = hasStop && position > stop ? stop : position;
    return S_OK;
}

HRESULT WINAPI FilterGraph::SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) {
    const DWORD currentMode = currentFlags & AM_SEEKING_PositioningBitsMask;
    const DWORD stopMode = stopFlags & AM_SEEKING_PositioningBitsMask;
    if ((currentMode != AM_SEEKING_NoPositioning && current == nullptr) ||
        (stopMode != AM_SEEKING_NoPositioning && stop == nullptr))
        return E_POINTER;
    const auto known = [](DWORD mode) {
        return mode == AM_SEEKING_NoPositioning || mode == AM_SEEKING_AbsolutePositioning ||
               mode == AM_SEEKING_RelativePositioning;
    };
    if (!known(currentMode) || !known(stopMode)) return E_INVALIDARG;

    std::lock_guard<std::recursive_mutex> hold(lock_);
    const std::vector<Ref<IMediaSeeking>> seekers = Seekers();
    if (seekers.empty()) return E_NOTIMPL;

    LONGLONG newCurrent = 0;
    if (currentMode != AM_SEEKING_NoPositioning) {
        newCurrent = *current;
        if (currentMode == AM_SEEKING_RelativePositioning) {
            LONGLONG now = 0;
            GetCurrentPosition(&now);
            newCurrent += now;
        }
        if (newCurrent < 0) newCurrent = 0;
    }
    LONGLONG newStop = 0;
    if (stopMode != AM_SEEKING_NoPositioning) {
        newStop = *stop;
        if (stopMode == AM_SEEKING_RelativePositioning) {
            LONGLONG now = 0;
            if (SUCCEEDED(GetStopPosition(&now))) newStop += now;
        }
    }

    // A running graph pauses while its streams start again, and runs on
    // with stream time starting afresh.
    const bool moving = currentMode != AM_SEEKING_NoPositioning;
    const bool wasRunning = moving && state_.load() == State_Running;
    if (wasRunning) PauseFilters();

    HRESULT outcome = S_OK;
    for (const Ref<IMediaSeeking>& seeking : seekers) {
        const HRESULT result =
            seeking->SetPositions(moving ? &newCurrent : nullptr,
                                  moving ? AM_SEEKING_AbsolutePositioning : AM_SEEKING_NoPositioning,
                                  stopMode != AM_SEEKING_NoPositioning ? &newStop : nullptr,
                                  stopMode != AM_SEEKING_NoPositioning ? AM_SEEKING_AbsolutePositioning
                                                                       : AM_SEEKING_NoPositioning);
        if (FAILED(result) && SUCCEEDED(outcome)) outcome = result;
    }

    if (moving) {
        startPosition_ = newCurrent;
        pausedStreamTime_ = 0;
        ResetCompletion();
    }
    if (wasRunning) {
        runStart_ = ClockNow();
        const HRESULT result = RunFilters(runStart_);
        if (FAILED(result) && SUCCEEDED(outcome)) outcome = result;
    }
    return outcome;
}

}  // namespace platform::dshow
