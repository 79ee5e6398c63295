// The base pin (what it tells of itself and of its connection), the input
// pin's side of a connection, and the renderer's input pin: the checks on
// each sample, flushes and the end of the stream.
#include "platform/dshow/base_pin.h"

#include <cwchar>

namespace platform::dshow {

BasePin::BasePin(BaseFilter& filter, const WCHAR* name, PIN_DIRECTION direction)
    : filter_(filter), name_(name), direction_(direction) {}

BasePin::~BasePin() { FreeMediaType(type_); }

HRESULT WINAPI BasePin::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IPin)) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IPin*>(this);
    AddRef();
    return S_OK;
}

ULONG WINAPI BasePin::AddRef() { return filter_.AddRef(); }

ULONG WINAPI BasePin::Release() { return filter_.Release(); }

void BasePin::Drop() {
    BreakConnect();
    connected_ = Ref<IPin>();
    FreeMediaType(type_);
}

HRESULT WINAPI BasePin::Disconnect() {
    std::lock_guard<std::recursive_mutex> hold(filter_.Lock());
    if (!filter_.IsStopped()) return VFW_E_NOT_STOPPED;
    if (!connected_) return S_FALSE;
    Drop();
    return S_OK;
}

HRESULT WINAPI BasePin::ConnectedTo(IPin** pin) {
    if (pin == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(filter_.Lock());
    *pin = Ref<IPin>(connected_).Detach();
    return *pin != nullptr ? S_OK : VFW_E_NOT_CONNECTED;
}

HRESULT WINAPI BasePin::ConnectionMediaType(AM_MEDIA_TYPE* mediaType) {
    if (mediaType == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(filter_.Lock());
    if (!connected_) {
        *mediaType = AM_MEDIA_TYPE{};
        return VFW_E_NOT_CONNECTED;
    }
    return CopyMediaType(*mediaType, type_) ? S_OK : E_OUTOFMEMORY;
}

HRESULT WINAPI BasePin::QueryPinInfo(PIN_INFO* info) {
    if (info == nullptr) return E_POINTER;
    info->pFilter = Ref<IBaseFilter>::Share(&filter_).Detach();
    info->dir = direction_;
    std::wcsncpy(info->achName, name_, 127);
    info->achName[127] = L'\0';
    return S_OK;
}

HRESULT WINAPI BasePin::QueryDirection(PIN_DIRECTION* direction) {
    if (direction == nullptr) return E_POINTER;
    *direction = direction_;
    return S_OK;
}

HRESULT WINAPI BasePin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) { return S_OK; }

InputPin::InputPin(BaseFilter& filter, const WCHAR* name) : BasePin(filter, name, PINDIR_INPUT) {}

HRESULT WINAPI InputPin::Connect(IPin* receivePin, const AM_MEDIA_TYPE* mediaType) { return E_UNEXPECTED; }

HRESULT WINAPI InputPin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mediaType) {
    if (connector == nullptr || mediaType == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(filter_.Lock());
    if (connected_) return VFW_E_ALREADY_CONNECTED;
    if (!filter_.IsStopped()) return VFW_E_NOT_STOPPED;
    if (DirectionOf(connector) != PINDIR_OUTPUT) return VFW_E_INVALID_DIRECTION;
    if (!Takes(*mediaType)) return VFW_E_TYPE_NOT_ACCEPTED;
    const HRESULT result = CompleteConnect(connector, *mediaType);
    if (FAILED(result)) return result;
    if (!CopyMediaType(type_, *mediaType)) {
        Drop();
        return E_OUTOFMEMORY;
    }
    connected_ = Ref<IPin>::Share(connector);
    return S_OK;
}

HRESULT InputPin::CompleteConnect(IPin* connector, const AM_MEDIA_TYPE& type) { return S_OK; }

HRESULT WINAPI InputPin::QueryAccept(const AM_MEDIA_TYPE* mediaType) {
    if (mediaType == nullptr) return E_POINTER;
    return Takes(*mediaType) ? S_OK : S_FALSE;
}

HRESULT WINAPI InputPin::EnumMediaTypes(IEnumMediaTypes** enumerator) {
    return MakeEmptyMediaTypeEnumerator(enumerator);
}

RendererInputPin::RendererInputPin(BaseFilter& filter, const WCHAR* name) : InputPin(filter, name) {}

HRESULT WINAPI RendererInputPin::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (!IsEqualIID(iid, IID_IMemInputPin)) return InputPin::QueryInterface(iid, object);
    *object = static_cast<IMemInputPin*>(this);
    AddRef();
    return S_OK;
}

ULONG WINAPI RendererInputPin::AddRef() { return InputPin::AddRef(); }

ULONG WINAPI RendererInputPin::Release() { return InputPin::Release(); }

HRESULT RendererInputPin::CheckStreaming() {
    {
        std::lock_guard<std::recursive_mutex> hold(filter_.Lock());
        if (!connected_) return VFW_E_NOT_CONNECTED;
    }
    if (filter_.IsStopped()) return VFW_E_WRONG_STATE;
    if (flushing_.load()) return S_FALSE;
    return S_OK;
}

void RendererInputPin::Report() {
    reported_ = true;
    filter_.NotifyGraph(EC_COMPLETE, S_OK);
}

HRESULT WINAPI RendererInputPin::EndOfStream() {
    const HRESULT result = CheckStreaming();
    if (result != S_OK) return result;
    std::lock_guard<std::recursive_mutex> hold(filter_.Lock());
    if (endOfStream_) return S_OK;
    endOfStream_ = true;
    reported_ = false;
    if (filter_.State() == State_Running) Report();
    return S_OK;
}

HRESULT WINAPI RendererInputPin::BeginFlush() {
    std::lock_guard<std::recursive_mutex> hold(filter_.Lock());
    flushing_.store(true);
    endOfStream_ = false;
    OnBeginFlush();
    return S_OK;
}

HRESULT WINAPI RendererInputPin::EndFlush() {
    std::lock_guard<std::recursive_mutex> hold(filter_.Lock());
    OnEndFlush();
    flushing_.store(false);
    return S_OK;
}

HRESULT WINAPI RendererInputPin::GetAllocator(IMemAllocator** allocator) {
    if (allocator != nullptr) *allocator = nullptr;
    return VFW_E_NO_ALLOCATOR;
}

HRESULT WINAPI RendererInputPin::NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) {
    return allocator != nullptr ? S_OK : E_POINTER;
}

HRESULT WINAPI RendererInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) { return E_NOTIMPL; }

HRESULT WINAPI RendererInputPin::Receive(IMediaSample* sample) {
    if (sample == nullptr) return E_POINTER;
    const HRESULT result = CheckStreaming();
    if (result != S_OK) return result;
    return Render(sample);
}

void RendererInputPin::Starting() { endOfStream_ = false; }

void RendererInputPin::Running() {
    // An end that came while paused is reported now.
    if (endOfStream_ && !reported_) Report();
}

void RendererInputPin::Stopped() {
    endOfStream_ = false;
    flushing_.store(false);
}

}  // namespace platform::dshow
