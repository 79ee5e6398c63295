// The base filter: its state changes passed to its pins and to the filter's
// own hooks, its clock, its pins by name and its place in a graph.
#include "platform/dshow/base_filter.h"

#include <cwchar>

#include "platform/dshow/base_pin.h"

namespace platform::dshow {

HRESULT WINAPI BaseFilter::GetClassID(CLSID* classId) {
    if (classId == nullptr) return E_POINTER;
    *classId = ClassId();
    return S_OK;
}

HRESULT WINAPI BaseFilter::Stop() {
    {
        std::lock_guard<std::recursive_mutex> hold(lock_);
        state_.store(State_Stopped);
        for (BasePin* pin : Pins()) pin->Stopped();
        OnStopping();
    }
    OnStopped();
    return S_OK;
}

HRESULT BaseFilter::LeaveStopped() {
    if (state_.load() != State_Stopped) return S_OK;
    for (BasePin* pin : Pins()) pin->Starting();
    return OnStarting();
}

HRESULT WINAPI BaseFilter::Pause() {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    const HRESULT result = LeaveStopped();
    if (FAILED(result)) return result;
    state_.store(State_Paused);
    OnPaused();
    return S_OK;
}

HRESULT WINAPI BaseFilter::Run(REFERENCE_TIME start) {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    const HRESULT result = LeaveStopped();
    if (FAILED(result)) return result;
    state_.store(State_Running);
    OnRunning();
    for (BasePin* pin : Pins()) pin->Running();
    return S_OK;
}

HRESULT WINAPI BaseFilter::GetState(DWORD milliseconds, FILTER_STATE* state) {
    if (state == nullptr) return E_POINTER;
    *state = state_.load();
    return S_OK;
}

HRESULT WINAPI BaseFilter::SetSyncSource(IReferenceClock* clock) {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    clock_ = Ref<IReferenceClock>::Share(clock);
    return S_OK;
}

HRESULT WINAPI BaseFilter::GetSyncSource(IReferenceClock** clock) {
    if (clock == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(lock_);
    *clock = Ref<IReferenceClock>(clock_).Detach();
    return S_OK;
}

HRESULT WINAPI BaseFilter::EnumPins(IEnumPins** enumerator) {
    std::vector<Ref<IPin>> pins;
    {
        std::lock_guard<std::recursive_mutex> hold(lock_);
        for (BasePin* pin : Pins()) pins.push_back(Ref<IPin>::Share(pin));
    }
    return MakePinEnumerator(std::move(pins), enumerator);
}

HRESULT WINAPI BaseFilter::FindPin(LPCWSTR id, IPin** pin) {
    if (id == nullptr || pin == nullptr) return E_POINTER;
    *pin = nullptr;
    std::lock_guard<std::recursive_mutex> hold(lock_);
    for (BasePin* candidate : Pins()) {
        if (std::wcscmp(id, candidate->Name()) != 0) continue;
        *pin = Ref<IPin>::Share(candidate).Detach();
        return S_OK;
    }
    return VFW_E_NOT_FOUND;
}

HRESULT WINAPI BaseFilter::QueryFilterInfo(FILTER_INFO* info) {
    if (info == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(lock_);
    std::wcsncpy(info->achName, name_.c_str(), 127);
    info->achName[127] = L'\0';
    info->pGraph = Ref<IFilterGraph>::Share(graph_).Detach();
    return S_OK;
}

HRESULT WINAPI BaseFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    graph_ = graph;
    sink_.store(Ref<IMediaEventSink>::Query(graph, IID_IMediaEventSink).get());
    name_ = name != nullptr ? name : L"";
    return S_OK;
}

void BaseFilter::NotifyGraph(LONG eventCode, LONG_PTR param1) {
    if (IMediaEventSink* sink = sink_.load())
        sink->Notify(eventCode, param1, reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this)));
}

}  // namespace platform::dshow
