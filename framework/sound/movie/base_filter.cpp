// The base filter: states passed on to the pins, the clock, graph membership
// and events, and the enumerator of its pins.
#include "framework/sound/movie/base_filter.h"

#include <cwchar>

K_CBaseFilter::K_CBaseFilter(const char* objectName, IUnknown* owner, K_CCritSec* lock, REFCLSID clsid)
    : K_CUnknown(objectName, owner), lock_(lock), clsid_(clsid) {}

K_CBaseFilter::~K_CBaseFilter() {
    if (clock_ != nullptr) clock_->Release();
}

HRESULT K_CBaseFilter::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IBaseFilter) || IsEqualIID(iid, IID_IMediaFilter) || IsEqualIID(iid, IID_IPersist))
        return K_GetInterface(static_cast<IBaseFilter*>(this), object);
    return K_CUnknown::NonDelegatingQueryInterface(iid, object);
}

HRESULT WINAPI K_CBaseFilter::GetClassID(CLSID* classId) {
    if (classId == nullptr) return E_POINTER;
    *classId = clsid_;
    return S_OK;
}

HRESULT WINAPI K_CBaseFilter::Stop() {
    K_CAutoLock lock(lock_);
    HRESULT outcome = S_OK;
    if (state_.load() != State_Stopped) {
        // Every pin goes inactive even when one of them fails.
        for (int i = 0; i < GetPinCount(); ++i) {
            K_CBasePin* pin = GetPin(i);
            if (pin == nullptr || !pin->IsConnected()) continue;
            const HRESULT result = pin->Inactive();
            if (FAILED(result) && SUCCEEDED(outcome)) outcome = result;
        }
    }
    state_.store(State_Stopped);
    return outcome;
}

HRESULT WINAPI K_CBaseFilter::Pause() {
    K_CAutoLock lock(lock_);
    if (state_.load() == State_Stopped) {
        for (int i = 0; i < GetPinCount(); ++i) {
            K_CBasePin* pin = GetPin(i);
            if (pin == nullptr || !pin->IsConnected()) continue;
            const HRESULT result = pin->Active();
            if (FAILED(result)) return result;
        }
    }
    state_.store(State_Paused);
    return S_OK;
}

HRESULT WINAPI K_CBaseFilter::Run(REFERENCE_TIME start) {
    K_CAutoLock lock(lock_);
    start_ = start;
    if (state_.load() == State_Stopped) {
        const HRESULT result = Pause();
        if (FAILED(result)) return result;
    }
    for (int i = 0; i < GetPinCount(); ++i) {
        K_CBasePin* pin = GetPin(i);
        if (pin == nullptr || !pin->IsConnected()) continue;
        const HRESULT result = pin->Run(start);
        if (FAILED(result)) return result;
    }
    state_.store(State_Running);
    return S_OK;
}

HRESULT WINAPI K_CBaseFilter::GetState(DWORD milliseconds, FILTER_STATE* state) {
    if (state == nullptr) return E_POINTER;
    *state = state_.load();
    return S_OK;
}

HRESULT WINAPI K_CBaseFilter::SetSyncSource(IReferenceClock* clock) {
    K_CAutoLock lock(lock_);
    if (clock != nullptr) clock->AddRef();
    if (clock_ != nullptr) clock_->Release();
    clock_ = clock;
    return S_OK;
}

HRESULT WINAPI K_CBaseFilter::GetSyncSource(IReferenceClock** clock) {
    if (clock == nullptr) return E_POINTER;
    K_CAutoLock lock(lock_);
    *clock = clock_;
    if (clock_ != nullptr) clock_->AddRef();
    return S_OK;
}

HRESULT WINAPI K_CBaseFilter::EnumPins(IEnumPins** enumerator) {
    if (enumerator == nullptr) return E_POINTER;
    *enumerator = new K_CEnumPins(this);
    return S_OK;
}

HRESULT WINAPI K_CBaseFilter::FindPin(LPCWSTR id, IPin** pin) {
    if (id == nullptr || pin == nullptr) return E_POINTER;
    K_CAutoLock lock(lock_);
    for (int i = 0; i < GetPinCount(); ++i) {
        K_CBasePin* candidate = GetPin(i);
        if (candidate != nullptr && std::wcscmp(candidate->Name(), id) == 0) {
            *pin = candidate;
            candidate->AddRef();
            return S_OK;
        }
    }
    *pin = nullptr;
    return VFW_E_NOT_FOUND;
}

HRESULT WINAPI K_CBaseFilter::QueryFilterInfo(FILTER_INFO* info) {
    if (info == nullptr) return E_POINTER;
    K_CAutoLock lock(lock_);
    const size_t kept = name_.size() < 127 ? name_.size() : 127;
    std::wmemcpy(info->achName, name_.c_str(), kept);
    info->achName[kept] = L'\0';
    info->pGraph = graph_;
    if (graph_ != nullptr) graph_->AddRef();
    return S_OK;
}

HRESULT WINAPI K_CBaseFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
    K_CAutoLock lock(lock_);
    // The graph holds us; holding it back would keep both alive for ever.
    graph_ = graph;
    sink_ = nullptr;
    if (graph != nullptr) {
        void* sink = nullptr;
        if (SUCCEEDED(graph->QueryInterface(IID_IMediaEventSink, &sink))) {
            sink_ = static_cast<IMediaEventSink*>(sink);
            sink_->Release();
        }
    }
    name_ = name != nullptr ? name : L"";
    return S_OK;
}

HRESULT K_CBaseFilter::NotifyEvent(LONG eventCode, LONG_PTR param1, LONG_PTR param2) {
    IMediaEventSink* sink = sink_;
    if (sink == nullptr) return E_NOTIMPL;
    if (eventCode == EC_COMPLETE) param2 = reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this));
    return sink->Notify(eventCode, param1, param2);
}

HRESULT K_CBaseFilter::StreamTime(REFERENCE_TIME& time) {
    K_CAutoLock lock(lock_);
    if (clock_ == nullptr) return VFW_E_NO_CLOCK;
    const HRESULT result = clock_->GetTime(&time);
    if (FAILED(result)) return result;
    time -= start_;
    return S_OK;
}

K_CEnumPins::K_CEnumPins(K_CBaseFilter* filter) : K_CUnknown("K_CEnumPins", nullptr), filter_(filter) {
    filter_->AddRef();
}

K_CEnumPins::~K_CEnumPins() { filter_->Release(); }

HRESULT K_CEnumPins::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IEnumPins)) return K_GetInterface(static_cast<IEnumPins*>(this), object);
    return K_CUnknown::NonDelegatingQueryInterface(iid, object);
}

HRESULT WINAPI K_CEnumPins::Next(ULONG count, IPin** pins, ULONG* fetched) {
    if (pins == nullptr) return E_POINTER;
    if (fetched == nullptr && count != 1) return E_INVALIDARG;
    ULONG made = 0;
    while (made < count && position_ < filter_->GetPinCount()) {
        K_CBasePin* pin = filter_->GetPin(position_++);
        if (pin == nullptr) break;
        pin->AddRef();
        pins[made++] = pin;
    }
    if (fetched != nullptr) *fetched = made;
    return made == count ? S_OK : S_FALSE;
}

HRESULT WINAPI K_CEnumPins::Reset() {
    position_ = 0;
    return S_OK;
}
