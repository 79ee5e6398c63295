// The base of the platform's own filters: the state (stopped, paused,
// running) with what the filter and its pins do as it changes, the reference
// clock, the pins listed and found by name, membership of a graph and the
// events reported to it. All of it under the filter's one lock, which its
// pins take too. Private to platform/dshow.
//
//     class Decoder final : public FilterObject<Decoder, IMediaSeeking> { ... };
//
// The filter lists its pins (Pins) and its class (ClassId), and overrides
// the hooks of the state changes it acts on.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "platform/dshow/graph_objects.h"

namespace platform::dshow {

class BasePin;

class BaseFilter : public IBaseFilter {
public:
    HRESULT WINAPI GetClassID(CLSID* classId) override;
    // The state is stopped, the pins let go of the stream (BasePin::Stopped),
    // then OnStopping under the lock and OnStopped without it.
    HRESULT WINAPI Stop() override;
    // From stopped, the pins and the filter start first (Starting,
    // OnStarting); a failure there leaves the filter stopped.
    HRESULT WINAPI Pause() override;
    // Starts as Pause does when stopped; the state is running before
    // OnRunning and the pins' Running.
    HRESULT WINAPI Run(REFERENCE_TIME start) override;
    // Nothing to wait for: a pause is complete at once.
    HRESULT WINAPI GetState(DWORD milliseconds, FILTER_STATE* state) override;
    HRESULT WINAPI SetSyncSource(IReferenceClock* clock) override;
    HRESULT WINAPI GetSyncSource(IReferenceClock** clock) override;
    HRESULT WINAPI EnumPins(IEnumPins** enumerator) override;
    HRESULT WINAPI FindPin(LPCWSTR id, IPin** pin) override;
    HRESULT WINAPI QueryFilterInfo(FILTER_INFO* info) override;
    // The graph holds the filter: the filter keeps the graph and its event
    // sink without a reference.
    HRESULT WINAPI JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;

    // The filter's lock: its state, its connections, what it streams from.
    std::recursive_mutex& Lock() { return lock_; }
    FILTER_STATE State() const { return state_.load(); }
    bool IsStopped() const { return state_.load() == State_Stopped; }
    // Reports `eventCode` to the graph with this filter as the second
    // parameter; nothing outside a graph.
    void NotifyGraph(LONG eventCode, LONG_PTR param1);

protected:
    BaseFilter() = default;
    virtual ~BaseFilter() = default;

    virtual CLSID ClassId() const = 0;
    // The pins the filter has now, in its order; under the lock.
    virtual std::vector<BasePin*> Pins() = 0;

    // The state changes, each under the lock unless said otherwise.
    // Leaving stopped; a failure keeps the filter stopped.
    virtual HRESULT OnStarting() { return S_OK; }
    // Paused or running now.
    virtual void OnPaused() {}
    virtual void OnRunning() {}
    // Stopped now; then, without the lock, what may wait for a streaming
    // thread that needs it.
    virtual void OnStopping() {}
    virtual void OnStopped() {}

private:
    // From stopped: the pins' Starting, then OnStarting.
    HRESULT LeaveStopped();

    std::recursive_mutex lock_;
    std::atomic<FILTER_STATE> state_{State_Stopped};
    Ref<IReferenceClock> clock_;
    IFilterGraph* graph_ = nullptr;
    std::atomic<IMediaEventSink*> sink_{nullptr};
    std::wstring name_;
};

}  // namespace platform::dshow

namespace platform::com {
template <>
struct InterfaceId<dshow::BaseFilter> {
    static constexpr const GUID& value = IID_IBaseFilter;
};
}  // namespace platform::com

namespace platform::dshow {

// A filter object on the base: its reference count, and one interface
// pointer for the filter and the interfaces it derives from, beside the
// `Others` it lists.
template <class Derived, class... Others>
class FilterObject : public com::Object<Derived, BaseFilter, Others...> {
public:
    HRESULT WINAPI QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (IsEqualIID(iid, IID_IBaseFilter) || IsEqualIID(iid, IID_IMediaFilter) || IsEqualIID(iid, IID_IPersist)) {
            *object = static_cast<IBaseFilter*>(this);
            this->AddRef();
            return S_OK;
        }
        return com::Object<Derived, BaseFilter, Others...>::QueryInterface(iid, object);
    }
};

}  // namespace platform::dshow
