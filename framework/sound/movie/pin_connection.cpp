// The base pin: connecting with an agreed media type, disconnecting, and what
// a pin tells of itself.
#include <cwchar>

#include "framework/sound/movie/base_filter.h"
#include "framework/sound/movie/base_pin.h"

K_CBasePin::K_CBasePin(const char* objectName, K_CBaseFilter* filter, K_CCritSec* lock, HRESULT* result,
                       LPCWSTR name, PIN_DIRECTION direction)
    : K_CUnknown(objectName, nullptr),
      filter_(filter),
      lock_(lock),
      name_(name != nullptr ? name : L""),
      direction_(direction) {}

K_CBasePin::~K_CBasePin() {
    // The filter disconnects its pins before it goes; this is the last
    // resort for a filter deleted outside a graph.
    if (connected_ != nullptr) connected_->Release();
}

HRESULT K_CBasePin::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IPin)) return K_GetInterface(static_cast<IPin*>(this), object);
    return K_CUnknown::NonDelegatingQueryInterface(iid, object);
}

ULONG K_CBasePin::NonDelegatingAddRef() { return filter_->AddRef(); }

ULONG K_CBasePin::NonDelegatingRelease() { return filter_->Release(); }

bool K_CBasePin::IsStopped() const { return filter_->IsStopped(); }

HRESULT WINAPI K_CBasePin::Connect(IPin* receivePin, const AM_MEDIA_TYPE* mediaType) {
    if (receivePin == nullptr) return E_POINTER;
    K_CAutoLock lock(lock_);
    if (connected_ != nullptr) return VFW_E_ALREADY_CONNECTED;
    if (!IsStopped()) return VFW_E_NOT_STOPPED;
    if (mediaType == nullptr) return AgreeMediaType(receivePin, nullptr);
    const K_CMediaType proposed(*mediaType);
    return AgreeMediaType(receivePin, &proposed);
}

HRESULT K_CBasePin::AgreeMediaType(IPin* receivePin, const K_CMediaType* proposed) {
    if (proposed != nullptr && !proposed->IsPartiallySpecified()) return AttemptConnection(receivePin, proposed);

    HRESULT failure = VFW_E_NO_ACCEPTABLE_TYPES;
    for (int side = 0; side < 2; ++side) {
        IEnumMediaTypes* types = nullptr;
        const HRESULT listed = side == 0 ? receivePin->EnumMediaTypes(&types) : EnumMediaTypes(&types);
        if (FAILED(listed) || types == nullptr) continue;
        const HRESULT result = TryMediaTypes(receivePin, proposed, types);
        types->Release();
        if (SUCCEEDED(result)) return S_OK;
        // The first real refusal says more than "nothing was acceptable".
        if (failure == VFW_E_NO_ACCEPTABLE_TYPES && result != VFW_E_NO_ACCEPTABLE_TYPES) failure = result;
    }
    return failure;
}

HRESULT K_CBasePin::TryMediaTypes(IPin* receivePin, const K_CMediaType* partial, IEnumMediaTypes* types) {
    HRESULT failure = VFW_E_NO_ACCEPTABLE_TYPES;
    for (;;) {
        AM_MEDIA_TYPE* offered = nullptr;
        ULONG fetched = 0;
        if (types->Next(1, &offered, &fetched) != S_OK || fetched != 1 || offered == nullptr) break;
        const K_CMediaType candidate(*offered);
        K_DeleteMediaType(offered);
        if (!candidate.MatchesPartial(partial)) continue;
        const HRESULT result = AttemptConnection(receivePin, &candidate);
        if (SUCCEEDED(result)) return S_OK;
        if (failure == VFW_E_NO_ACCEPTABLE_TYPES) failure = result;
    }
    return failure;
}

HRESULT K_CBasePin::AttemptConnection(IPin* receivePin, const K_CMediaType* type) {
    HRESULT result = CheckConnect(receivePin);
    if (FAILED(result)) {
        BreakConnect();
        return result;
    }
    result = CheckMediaType(type);
    if (result != S_OK) {
        BreakConnect();
        return FAILED(result) ? result : VFW_E_TYPE_NOT_ACCEPTED;
    }
    connected_ = receivePin;
    connected_->AddRef();
    result = SetMediaType(type);
    if (SUCCEEDED(result)) {
        result = receivePin->ReceiveConnection(this, type);
        if (SUCCEEDED(result)) {
            result = CompleteConnect(receivePin);
            if (SUCCEEDED(result)) return S_OK;
            receivePin->Disconnect();
        }
    }
    BreakConnect();
    connected_->Release();
    connected_ = nullptr;
    mediaType_.Clear();
    return FAILED(result) ? result : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT WINAPI K_CBasePin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mediaType) {
    if (connector == nullptr || mediaType == nullptr) return E_POINTER;
    K_CAutoLock lock(lock_);
    if (connected_ != nullptr) return VFW_E_ALREADY_CONNECTED;
    if (!IsStopped()) return VFW_E_NOT_STOPPED;
    HRESULT result = CheckConnect(connector);
    if (FAILED(result)) {
        BreakConnect();
        return result;
    }
    const K_CMediaType type(*mediaType);
    result = CheckMediaType(&type);
    if (result != S_OK) {
        BreakConnect();
        return FAILED(result) ? result : VFW_E_TYPE_NOT_ACCEPTED;
    }
    connected_ = connector;
    connected_->AddRef();
    result = SetMediaType(&type);
    if (SUCCEEDED(result)) {
        result = CompleteConnect(connector);
        if (SUCCEEDED(result)) return S_OK;
    }
    BreakConnect();
    connected_->Release();
    connected_ = nullptr;
    mediaType_.Clear();
    return result;
}

HRESULT WINAPI K_CBasePin::Disconnect() {
    K_CAutoLock lock(lock_);
    if (!IsStopped()) return VFW_E_NOT_STOPPED;
    return DisconnectInternal();
}

HRESULT K_CBasePin::DisconnectInternal() {
    if (connected_ == nullptr) return S_FALSE;
    const HRESULT result = BreakConnect();
    connected_->Release();
    connected_ = nullptr;
    mediaType_.Clear();
    return FAILED(result) ? result : S_OK;
}

HRESULT WINAPI K_CBasePin::ConnectedTo(IPin** pin) {
    if (pin == nullptr) return E_POINTER;
    K_CAutoLock lock(lock_);
    *pin = connected_;
    if (connected_ == nullptr) return VFW_E_NOT_CONNECTED;
    connected_->AddRef();
    return S_OK;
}

HRESULT WINAPI K_CBasePin::ConnectionMediaType(AM_MEDIA_TYPE* mediaType) {
    if (mediaType == nullptr) return E_POINTER;
    K_CAutoLock lock(lock_);
    if (connected_ == nullptr) {
        const K_CMediaType empty;
        *mediaType = empty;
        mediaType->pbFormat = nullptr;
        mediaType->cbFormat = 0;
        return VFW_E_NOT_CONNECTED;
    }
    return K_CopyMediaType(mediaType, &mediaType_);
}

HRESULT WINAPI K_CBasePin::QueryPinInfo(PIN_INFO* info) {
    if (info == nullptr) return E_POINTER;
    info->pFilter = filter_;
    filter_->AddRef();
    info->dir = direction_;
    const size_t kept = name_.size() < 127 ? name_.size() : 127;
    std::wmemcpy(info->achName, name_.c_str(), kept);
    info->achName[kept] = L'\0';
    return S_OK;
}

HRESULT WINAPI K_CBasePin::QueryDirection(PIN_DIRECTION* direction) {
    if (direction == nullptr) return E_POINTER;
    *direction = direction_;
    return S_OK;
}

HRESULT WINAPI K_CBasePin::QueryAccept(const AM_MEDIA_TYPE* mediaType) {
    if (mediaType == nullptr) return E_POINTER;
    const K_CMediaType type(*mediaType);
    return CheckMediaType(&type) == S_OK ? S_OK : S_FALSE;
}

HRESULT WINAPI K_CBasePin::EnumMediaTypes(IEnumMediaTypes** enumerator) {
    if (enumerator == nullptr) return E_POINTER;
    *enumerator = new K_CEnumMediaTypes(this);
    return S_OK;
}

HRESULT WINAPI K_CBasePin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    segmentStart_ = start;
    segmentStop_ = stop;
    segmentRate_ = rate;
    return S_OK;
}

HRESULT K_CBasePin::GetMediaType(int position, K_CMediaType* type) {
    if (position < 0) return E_INVALIDARG;
    return VFW_S_NO_MORE_ITEMS;
}

HRESULT K_CBasePin::SetMediaType(const K_CMediaType* type) {
    // A change of type arrives on the streaming thread.
    K_CAutoLock lock(lock_);
    return mediaType_.Set(*type);
}

HRESULT K_CBasePin::CheckConnect(IPin* pin) {
    PIN_DIRECTION other = PINDIR_INPUT;
    const HRESULT result = pin->QueryDirection(&other);
    if (FAILED(result)) return result;
    return other == direction_ ? VFW_E_INVALID_DIRECTION : S_OK;
}

HRESULT K_CBasePin::BreakConnect() { return S_OK; }

HRESULT K_CBasePin::CompleteConnect(IPin* receivePin) { return S_OK; }

HRESULT K_CBasePin::Active() { return S_OK; }

HRESULT K_CBasePin::Inactive() { return S_OK; }

HRESULT K_CBasePin::Run(REFERENCE_TIME start) { return S_OK; }

K_CEnumMediaTypes::K_CEnumMediaTypes(K_CBasePin* pin) : K_CUnknown("K_CEnumMediaTypes", nullptr), pin_(pin) {
    pin_->AddRef();
}

K_CEnumMediaTypes::~K_CEnumMediaTypes() { pin_->Release(); }

HRESULT K_CEnumMediaTypes::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IEnumMediaTypes)) return K_GetInterface(static_cast<IEnumMediaTypes*>(this), object);
    return K_CUnknown::NonDelegatingQueryInterface(iid, object);
}

HRESULT WINAPI K_CEnumMediaTypes::Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) {
    if (types == nullptr) return E_POINTER;
    if (fetched == nullptr && count != 1) return E_INVALIDARG;
    ULONG made = 0;
    while (made < count) {
        K_CMediaType type;
        if (pin_->GetMediaType(position_, &type) != S_OK) break;
        ++position_;
        types[made] = K_CreateMediaType(&type);
        if (types[made] == nullptr) break;
        ++made;
    }
    if (fetched != nullptr) *fetched = made;
    return made == count ? S_OK : S_FALSE;
}

HRESULT WINAPI K_CEnumMediaTypes::Reset() {
    position_ = 0;
    return S_OK;
}
