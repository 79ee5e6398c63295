// The filter graph manager: the filters in the graph and their connections,
// building a graph from a file or a pin through the filter registry, running
// it on one reference clock (or none), its position in the media and its
// completion. Private to platform/dshow; programs reach it through
// CoCreateInstance (CLSID_FilterGraph).
//
// State changes reach the filters downstream first, so that a renderer is
// ready before its source starts, and stops before its source waits for it.
// Stopping brings stream time back to 0; the next run starts the streams
// again from the position last set (the start, unless SetPositions moved
// it). The graph stops its filters (whose streaming threads end with their
// Stop) before it lets them go.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "platform/dshow/filter_registry.h"
#include "platform/dshow/graph_objects.h"

namespace platform::dshow {

class FilterGraph final : public com::Object<FilterGraph, IGraphBuilder, IMediaControl, IMediaSeeking, IMediaEvent,
                                             IMediaFilter, IBasicAudio, IMediaEventSink> {
public:
    FilterGraph() = default;
    ~FilterGraph() override;

    // Also answers IFilterGraph and IPersist.
    HRESULT WINAPI QueryInterface(REFIID iid, void** object) override;

    // Membership (graph_membership.cpp).
    HRESULT WINAPI AddFilter(IBaseFilter* filter, LPCWSTR name) override;
    HRESULT WINAPI RemoveFilter(IBaseFilter* filter) override;
    HRESULT WINAPI EnumFilters(IEnumFilters** enumerator) override;
    HRESULT WINAPI ConnectDirect(IPin* output, IPin* input, const AM_MEDIA_TYPE* mediaType) override;
    HRESULT WINAPI Disconnect(IPin* pin) override;

    // Building (graph_building.cpp).
    HRESULT WINAPI Connect(IPin* output, IPin* input) override;
    HRESULT WINAPI Render(IPin* output) override;
    HRESULT WINAPI RenderFile(LPCWSTR file, LPCWSTR playList) override;

    // States and the clock (graph_control.cpp).
    HRESULT WINAPI Run() override;
    HRESULT WINAPI Pause() override;
    HRESULT WINAPI Stop() override;
    HRESULT WINAPI GetState(LONG milliseconds, OAFilterState* state) override;
    HRESULT WINAPI GetClassID(CLSID* classId) override;
    HRESULT WINAPI Run(REFERENCE_TIME start) override;
    HRESULT WINAPI GetState(DWORD milliseconds, FILTER_STATE* state) override;
    // Null: no clock, every renderer renders at once. Only while stopped.
    HRESULT WINAPI SetSyncSource(IReferenceClock* clock) override;
    HRESULT WINAPI GetSyncSource(IReferenceClock** clock) override;

    // Positions (graph_seeking.cpp).
    HRESULT WINAPI GetStopPosition(LONGLONG* stop) override;
    HRESULT WINAPI GetCurrentPosition(LONGLONG* current) override;
    HRESULT WINAPI SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) override;

    // Completion (graph_events.cpp).
    HRESULT WINAPI WaitForCompletion(LONG milliseconds, LONG* eventCode) override;
    HRESULT WINAPI Notify(LONG eventCode, LONG_PTR param1, LONG_PTR param2) override;

    // Volume of the filters that play sound (graph_audio.cpp).
    HRESULT WINAPI put_Volume(LONG volume) override;
    HRESULT WINAPI get_Volume(LONG* volume) override;

private:
    struct Member {
        Ref<IBaseFilter> filter;
        std::wstring name;
    };

    // Membership.
    bool IsMember(IBaseFilter* filter) const;
    bool NameTaken(const std::wstring& name) const;
    std::vector<Ref<IBaseFilter>> Filters() const;
    // Whether the pin's filter is in this graph.
    bool PinInGraph(IPin* pin) const;
    // A filter whose stream ends in it: connected inputs, no connected output.
    static bool IsRenderer(IBaseFilter* filter);

    // Building.
    HRESULT ConnectThroughRegistry(IPin* output, IPin* input, int depth);
    HRESULT RenderPin(IPin* output, int depth);
    HRESULT RenderOutputs(IBaseFilter* filter, int depth);
    // Connects `output` to the first free input of `filter` whose stream
    // then goes on through `next`; undoes the connection when it fails.
    template <class Next>
    HRESULT ConnectToFreeInput(IPin* output, IBaseFilter* filter, Next next);

    // States.
    std::vector<Ref<IBaseFilter>> DownstreamFirst() const;
    // From stopped: the clock handed to every filter, the count of
    // renderers taken.
    void PrepareToStart();
    HRESULT PauseFilters();
    HRESULT RunFilters(REFERENCE_TIME start);
    HRESULT StopFilters();
    REFERENCE_TIME ClockNow() const;

    // Positions.
    std::vector<Ref<IMediaSeeking>> Seekers() const;
    LONGLONG StreamPosition();

    // Completion.
    void ResetCompletion();
    bool Completed();

    std::recursive_mutex lock_;  // members, connections, states, positions
    std::vector<Member> members_;
    uint32_t addFilterCalls_ = 0;  // for the machine's refusal of the Nth
    std::atomic<FILTER_STATE> state_{State_Stopped};
    Ref<IReferenceClock> clock_;
    bool clockChosen_ = false;
    REFERENCE_TIME runStart_ = 0;         // the clock's time at stream time 0
    REFERENCE_TIME pausedStreamTime_ = 0;  // where stream time stands while not running
    LONGLONG startPosition_ = 0;           // the media position at stream time 0

    std::mutex eventLock_;  // only the completion below; taken on streaming threads
    std::condition_variable completionChanged_;
    int renderers_ = 0;
    int completions_ = 0;
    bool complete_ = false;
    LONG abortCode_ = 0;  // EC_ERRORABORT or EC_USERABORT once a filter gave up
};

HRESULT CreateFilterGraph(REFIID iid, void** object);

}  // namespace platform::dshow
