// The Null Renderer: one input pin that takes any type and any allocator,
// discards each sample at once and reports the end of the stream to the
// graph while running (or when it next runs).
#include "platform/dshow/null_renderer.h"

#include <atomic>
#include <cwchar>
#include <mutex>
#include <string>

#include "platform/dshow/graph_objects.h"

namespace platform::dshow {
namespace {

class NullRenderer;

class NullRendererPin final : public IPin, public IMemInputPin {
public:
    explicit NullRendererPin(NullRenderer* filter) : filter_(filter) {}
    ~NullRendererPin() {
        if (connected_ != nullptr) connected_->Release();
        FreeMediaType(type_);
    }

    HRESULT WINAPI QueryInterface(REFIID iid, void** object) override;
    ULONG WINAPI AddRef() override;
    ULONG WINAPI Release() override;

    HRESULT WINAPI Connect(IPin* receivePin, const AM_MEDIA_TYPE* mediaType) override { return E_UNEXPECTED; }
    HRESULT WINAPI ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mediaType) override;
    HRESULT WINAPI Disconnect() override;
    HRESULT WINAPI ConnectedTo(IPin** pin) override;
    HRESULT WINAPI ConnectionMediaType(AM_MEDIA_TYPE* mediaType) override;
    HRESULT WINAPI QueryPinInfo(PIN_INFO* info) override;
    HRESULT WINAPI QueryDirection(PIN_DIRECTION* direction) override {
        if (direction == nullptr) return E_POINTER;
        *direction = PINDIR_INPUT;
        return S_OK;
    }
    HRESULT WINAPI QueryAccept(const AM_MEDIA_TYPE* mediaType) override {
        if (mediaType == nullptr) return E_POINTER;
        return Takes(*mediaType) ? S_OK : S_FALSE;
    }
    HRESULT WINAPI EnumMediaTypes(IEnumMediaTypes** enumerator) override {
        return MakeEmptyMediaTypeEnumerator(enumerator);
    }
    HRESULT WINAPI EndOfStream() override;
    HRESULT WINAPI BeginFlush() override {
        flushing_.store(true);
        return S_OK;
    }
    HRESULT WINAPI EndFlush() override;
    HRESULT WINAPI NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override { return S_OK; }

    HRESULT WINAPI GetAllocator(IMemAllocator** allocator) override {
        if (allocator != nullptr) *allocator = nullptr;
        return VFW_E_NO_ALLOCATOR;
    }
    HRESULT WINAPI NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override {
        return allocator != nullptr ? S_OK : E_POINTER;
    }
    HRESULT WINAPI GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) override { return E_NOTIMPL; }
    HRESULT WINAPI Receive(IMediaSample* sample) override;

    bool Connected();
    void StopFlushing() { flushing_.store(false); }
    bool Takes(const AM_MEDIA_TYPE& mediaType) const;

private:
    NullRenderer* filter_;
    std::mutex lock_;
    IPin* connected_ = nullptr;
    AM_MEDIA_TYPE type_{};
    std::atomic<bool> flushing_{false};
};

class NullRenderer final : public com::Object<NullRenderer, IBaseFilter> {
public:
    // A renderer of class `clsid` that takes streams of `majorType`
    // (GUID_NULL: any).
    NullRenderer(REFCLSID clsid, REFGUID majorType) : pin_(this), clsid_(clsid), majorType_(majorType) {}
    ~NullRenderer() override {
        if (clock_ != nullptr) clock_->Release();
    }

    HRESULT WINAPI QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (IsEqualIID(iid, IID_IMediaFilter) || IsEqualIID(iid, IID_IPersist)) {
            *object = static_cast<IBaseFilter*>(this);
            AddRef();
            return S_OK;
        }
        return Object::QueryInterface(iid, object);
    }

    HRESULT WINAPI GetClassID(CLSID* classId) override {
        if (classId == nullptr) return E_POINTER;
        *classId = clsid_;
        return S_OK;
    }

    HRESULT WINAPI Stop() override {
        std::lock_guard<std::mutex> hold(lock_);
        state_.store(State_Stopped);
        endOfStream_ = false;
        pin_.StopFlushing();
        return S_OK;
    }

    HRESULT WINAPI Pause() override {
        std::lock_guard<std::mutex> hold(lock_);
        if (state_.load() == State_Stopped) endOfStream_ = false;
        state_.store(State_Paused);
        return S_OK;
    }

    HRESULT WINAPI Run(REFERENCE_TIME start) override {
        std::lock_guard<std::mutex> hold(lock_);
        if (state_.load() == State_Stopped) endOfStream_ = false;
        state_.store(State_Running);
        // An end of stream that came in pause is reported now.
        if (endOfStream_ && !reported_) Report();
        return S_OK;
    }

    // Nothing to wait for: a pause is complete at once.
    HRESULT WINAPI GetState(DWORD milliseconds, FILTER_STATE* state) override {
        if (state == nullptr) return E_POINTER;
        *state = state_.load();
        return S_OK;
    }

    HRESULT WINAPI SetSyncSource(IReferenceClock* clock) override {
        std::lock_guard<std::mutex> hold(lock_);
        return HoldReferenceClock(clock_, clock);
    }

    HRESULT WINAPI GetSyncSource(IReferenceClock** clock) override {
        if (clock == nullptr) return E_POINTER;
        std::lock_guard<std::mutex> hold(lock_);
        return HandOutReferenceClock(clock_, clock);
    }

    HRESULT WINAPI EnumPins(IEnumPins** enumerator) override {
        std::vector<Ref<IPin>> pins;
        pins.push_back(Ref<IPin>::Share(&pin_));
        return MakePinEnumerator(std::move(pins), enumerator);
    }

    HRESULT WINAPI FindPin(LPCWSTR id, IPin** pin) override {
        if (id == nullptr || pin == nullptr) return E_POINTER;
        *pin = nullptr;
        if (std::wcscmp(id, kPinName) != 0) return VFW_E_NOT_FOUND;
        *pin = &pin_;
        pin_.AddRef();
        return S_OK;
    }

    HRESULT WINAPI QueryFilterInfo(FILTER_INFO* info) override {
        if (info == nullptr) return E_POINTER;
        std::lock_guard<std::mutex> hold(lock_);
        return DescribeFilter(name_, graph_, info);
    }

    HRESULT WINAPI JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override {
        std::lock_guard<std::mutex> hold(lock_);
        graph_ = graph;
        sink_ = nullptr;
        // Weak, as the graph holds this filter.
        if (graph != nullptr) sink_ = Ref<IMediaEventSink>::Query(graph, IID_IMediaEventSink).get();
        name_ = name != nullptr ? name : L"";
        return S_OK;
    }

    FILTER_STATE State() const { return state_.load(); }
    const GUID& MajorType() const { return majorType_; }

    // A flush takes back an end of stream not reported yet.
    void Flushed() {
        std::lock_guard<std::mutex> hold(lock_);
        endOfStream_ = false;
    }

    // The pin's end of stream.
    HRESULT EndOfStream() {
        std::lock_guard<std::mutex> hold(lock_);
        if (state_.load() == State_Stopped) return VFW_E_WRONG_STATE;
        if (endOfStream_) return S_OK;
        endOfStream_ = true;
        reported_ = false;
        if (state_.load() == State_Running) Report();
        return S_OK;
    }

    static constexpr const WCHAR* kPinName = L"In";

private:
    void Report() {
        reported_ = true;
        if (sink_ != nullptr)
            sink_->Notify(EC_COMPLETE, S_OK, reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this)));
    }

    NullRendererPin pin_;
    const CLSID clsid_;
    const GUID majorType_;
    std::mutex lock_;
    std::atomic<FILTER_STATE> state_{State_Stopped};
    IReferenceClock* clock_ = nullptr;
    IFilterGraph* graph_ = nullptr;
    IMediaEventSink* sink_ = nullptr;
    std::wstring name_;
    bool endOfStream_ = false;
    bool reported_ = false;
};

HRESULT WINAPI NullRendererPin::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPin)) {
        *object = static_cast<IPin*>(this);
    } else if (IsEqualIID(iid, IID_IMemInputPin)) {
        *object = static_cast<IMemInputPin*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

// The pin lives inside its filter and shares its count.
ULONG WINAPI NullRendererPin::AddRef() { return filter_->AddRef(); }

ULONG WINAPI NullRendererPin::Release() { return filter_->Release(); }

HRESULT WINAPI NullRendererPin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mediaType) {
    if (connector == nullptr || mediaType == nullptr) return E_POINTER;
    std::lock_guard<std::mutex> hold(lock_);
    if (connected_ != nullptr) return VFW_E_ALREADY_CONNECTED;
    if (filter_->State() != State_Stopped) return VFW_E_NOT_STOPPED;
    if (DirectionOf(connector) != PINDIR_OUTPUT) return VFW_E_INVALID_DIRECTION;
    if (!Takes(*mediaType)) return VFW_E_TYPE_NOT_ACCEPTED;
    FreeMediaType(type_);
    if (!CopyMediaType(type_, *mediaType)) return E_OUTOFMEMORY;
    connected_ = connector;
    connected_->AddRef();
    return S_OK;
}

HRESULT WINAPI NullRendererPin::Disconnect() {
    std::lock_guard<std::mutex> hold(lock_);
    if (filter_->State() != State_Stopped) return VFW_E_NOT_STOPPED;
    if (connected_ == nullptr) return S_FALSE;
    connected_->Release();
    connected_ = nullptr;
    FreeMediaType(type_);
    return S_OK;
}

HRESULT WINAPI NullRendererPin::ConnectedTo(IPin** pin) {
    if (pin == nullptr) return E_POINTER;
    std::lock_guard<std::mutex> hold(lock_);
    *pin = connected_;
    if (connected_ == nullptr) return VFW_E_NOT_CONNECTED;
    connected_->AddRef();
    return S_OK;
}

HRESULT WINAPI NullRendererPin::ConnectionMediaType(AM_MEDIA_TYPE* mediaType) {
    if (mediaType == nullptr) return E_POINTER;
    std::lock_guard<std::mutex> hold(lock_);
    if (connected_ == nullptr) {
        *mediaType = AM_MEDIA_TYPE{};
        return VFW_E_NOT_CONNECTED;
    }
    return CopyMediaType(*mediaType, type_) ? S_OK : E_OUTOFMEMORY;
}

HRESULT WINAPI NullRendererPin::QueryPinInfo(PIN_INFO* info) {
    if (info == nullptr) return E_POINTER;
    info->pFilter = filter_;
    filter_->AddRef();
    info->dir = PINDIR_INPUT;
    std::wcsncpy(info->achName, NullRenderer::kPinName, 127);
    info->achName[127] = L'\0';
    return S_OK;
}

bool NullRendererPin::Takes(const AM_MEDIA_TYPE& mediaType) const {
    const GUID& wanted = filter_->MajorType();
    return IsEqualGUID(wanted, GUID_NULL) || IsEqualGUID(wanted, mediaType.majortype);
}

bool NullRendererPin::Connected() {
    std::lock_guard<std::mutex> hold(lock_);
    return connected_ != nullptr;
}

HRESULT WINAPI NullRendererPin::EndOfStream() {
    if (!Connected()) return VFW_E_NOT_CONNECTED;
    if (flushing_.load()) return S_FALSE;
    return filter_->EndOfStream();
}

HRESULT WINAPI NullRendererPin::EndFlush() {
    flushing_.store(false);
    filter_->Flushed();
    return S_OK;
}

HRESULT WINAPI NullRendererPin::Receive(IMediaSample* sample) {
    if (sample == nullptr) return E_POINTER;
    if (!Connected()) return VFW_E_NOT_CONNECTED;
    if (filter_->State() == State_Stopped) return VFW_E_WRONG_STATE;
    if (flushing_.load()) return S_FALSE;
    return S_OK;
}

}  // namespace

HRESULT CreateNullRenderer(REFIID iid, void** object) {
    return NullRenderer::Create(iid, object, CLSID_NullRenderer, GUID_NULL);
}

HRESULT CreateDiscardingRenderer(REFCLSID clsid, REFGUID majorType, REFIID iid, void** object) {
    return NullRenderer::Create(iid, object, clsid, majorType);
}

}  // namespace platform::dshow
