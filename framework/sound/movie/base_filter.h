// The base of the framework's filters: the filter's state (stopped, paused,
// running) passed on to its connected pins, the reference clock and stream
// time, the pins and their enumerator, membership of a graph and the events
// the filter reports to it. All of it under the filter lock the derived
// filter hands in.
#pragma once

#include <atomic>
#include <string>

#include "framework/sound/movie/base_pin.h"
#include "framework/sound/movie/delegating_unknown.h"
#include "framework/sound/movie/sync_utilities.h"

class K_CBaseFilter : public K_CUnknown, public IBaseFilter {
public:
    K_CBaseFilter(const char* objectName, IUnknown* owner, K_CCritSec* lock, REFCLSID clsid);
    ~K_CBaseFilter() override;

    K_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    HRESULT WINAPI GetClassID(CLSID* classId) override;
    // Connected pins go inactive, then the state is stopped.
    HRESULT WINAPI Stop() override;
    // From stopped, connected pins go active first.
    HRESULT WINAPI Pause() override;
    // Pauses first when stopped; keeps `start` as the stream's start on the
    // clock and runs the connected pins.
    HRESULT WINAPI Run(REFERENCE_TIME start) override;
    HRESULT WINAPI GetState(DWORD milliseconds, FILTER_STATE* state) override;
    HRESULT WINAPI SetSyncSource(IReferenceClock* clock) override;
    HRESULT WINAPI GetSyncSource(IReferenceClock** clock) override;
    HRESULT WINAPI EnumPins(IEnumPins** enumerator) override;
    HRESULT WINAPI FindPin(LPCWSTR id, IPin** pin) override;
    HRESULT WINAPI QueryFilterInfo(FILTER_INFO* info) override;
    HRESULT WINAPI JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;

    virtual int GetPinCount() = 0;
    // Null for a number out of range.
    virtual K_CBasePin* GetPin(int n) = 0;

    // Reports to the graph; EC_COMPLETE carries this filter as its second
    // parameter. E_NOTIMPL outside a graph.
    HRESULT NotifyEvent(LONG eventCode, LONG_PTR param1, LONG_PTR param2);
    // The clock's time less the stream's start; VFW_E_NO_CLOCK without one.
    HRESULT StreamTime(REFERENCE_TIME& time);

    FILTER_STATE State() const { return state_.load(); }
    bool IsStopped() const { return state_.load() == State_Stopped; }
    bool IsActive() const { return state_.load() != State_Stopped; }
    K_CCritSec* FilterLock() const { return lock_; }
    IFilterGraph* GetFilterGraph() const { return graph_; }

protected:
    K_CCritSec* lock_;
    std::atomic<FILTER_STATE> state_{State_Stopped};
    IReferenceClock* clock_ = nullptr;
    REFERENCE_TIME start_ = 0;
    CLSID clsid_;
    IFilterGraph* graph_ = nullptr;
    IMediaEventSink* sink_ = nullptr;
    std::wstring name_;
};

// A filter's pins by number, from its GetPin.
class K_CEnumPins : public K_CUnknown, public IEnumPins {
public:
    explicit K_CEnumPins(K_CBaseFilter* filter);
    ~K_CEnumPins() override;

    K_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    HRESULT WINAPI Next(ULONG count, IPin** pins, ULONG* fetched) override;
    HRESULT WINAPI Reset() override;

private:
    K_CBaseFilter* filter_;
    int position_ = 0;
};
