// The output pin: its one type offered and matched, the connection to a
// peer that takes samples, and the allocator agreed with it.
#include "platform/dshow/base_pin.h"

#include <cstring>
#include <utility>

#include "platform/dshow/sample_pool.h"

namespace platform::dshow {
namespace {

// A media type freed when it goes, unless taken.
struct HeldType {
    AM_MEDIA_TYPE type{};
    ~HeldType() { FreeMediaType(type); }
    AM_MEDIA_TYPE Take() { return std::exchange(type, AM_MEDIA_TYPE{}); }
};

// Whether `proposal` allows `ours`: each of its GUIDs is ours or left open.
bool Allows(const AM_MEDIA_TYPE& proposal, const AM_MEDIA_TYPE& ours) {
    const auto open = [](REFGUID asked, REFGUID offered) {
        return IsEqualGUID(asked, GUID_NULL) || IsEqualGUID(asked, offered);
    };
    return open(proposal.majortype, ours.majortype) && open(proposal.subtype, ours.subtype) &&
           open(proposal.formattype, ours.formattype);
}

}  // namespace

OutputPin::OutputPin(BaseFilter& filter, const WCHAR* name) : BasePin(filter, name, PINDIR_OUTPUT) {}

OutputPin::~OutputPin() { Drop(); }

void OutputPin::BreakConnect() {
    if (allocator_) allocator_->Decommit();
    allocator_ = Ref<IMemAllocator>();
    peerInput_ = Ref<IMemInputPin>();
}

HRESULT WINAPI OutputPin::Connect(IPin* receivePin, const AM_MEDIA_TYPE* mediaType) {
    if (receivePin == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(filter_.Lock());
    if (connected_) return VFW_E_ALREADY_CONNECTED;
    if (!filter_.IsStopped()) return VFW_E_NOT_STOPPED;
    if (DirectionOf(receivePin) != PINDIR_INPUT) return VFW_E_INVALID_DIRECTION;
    HeldType ours;
    // A pin with nothing to offer yet (a decoder whose input is not
    // connected) has no type the peer could accept.
    if (!OfferedType(ours.type)) return VFW_E_NO_ACCEPTABLE_TYPES;
    if (mediaType != nullptr && !Allows(*mediaType, ours.type)) return VFW_E_NO_ACCEPTABLE_TYPES;
    Ref<IMemInputPin> peer = Ref<IMemInputPin>::Query(receivePin, IID_IMemInputPin);
    if (!peer) return E_NOINTERFACE;
    HRESULT result = receivePin->ReceiveConnection(this, &ours.type);
    if (FAILED(result)) return result;
    Ref<IMemAllocator> allocator;
    result = DecideAllocator(peer.get(), allocator.out());
    if (FAILED(result)) {
        receivePin->Disconnect();
        return result;
    }
    connected_ = Ref<IPin>::Share(receivePin);
    peerInput_ = std::move(peer);
    allocator_ = std::move(allocator);
    type_ = ours.Take();
    return S_OK;
}

HRESULT OutputPin::DecideAllocator(IMemInputPin* peer, IMemAllocator** allocator) {
    ALLOCATOR_PROPERTIES wanted{};
    if (FAILED(peer->GetAllocatorRequirements(&wanted))) wanted = ALLOCATOR_PROPERTIES{};
    // What the peer asks for goes first; the rest is the pin's own.
    LONG leastBuffer = 1;
    SizeBuffers(wanted, leastBuffer);
    if (wanted.cbAlign <= 0) wanted.cbAlign = 1;
    if (wanted.cbPrefix < 0) wanted.cbPrefix = 0;
    return SettleAllocator(peer, wanted, leastBuffer, allocator);
}

HRESULT WINAPI OutputPin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mediaType) {
    return E_UNEXPECTED;
}

HRESULT WINAPI OutputPin::QueryAccept(const AM_MEDIA_TYPE* mediaType) {
    if (mediaType == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(filter_.Lock());
    HeldType ours;
    if (!OfferedType(ours.type)) return S_FALSE;
    const bool same = IsEqualGUID(mediaType->majortype, ours.type.majortype) &&
                      IsEqualGUID(mediaType->subtype, ours.type.subtype) &&
                      IsEqualGUID(mediaType->formattype, ours.type.formattype) &&
                      mediaType->cbFormat == ours.type.cbFormat && mediaType->pbFormat != nullptr &&
                      std::memcmp(mediaType->pbFormat, ours.type.pbFormat, ours.type.cbFormat) == 0;
    return same ? S_OK : S_FALSE;
}

HRESULT WINAPI OutputPin::EnumMediaTypes(IEnumMediaTypes** enumerator) {
    if (enumerator == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(filter_.Lock());
    HeldType ours;
    if (!OfferedType(ours.type)) return MakeEmptyMediaTypeEnumerator(enumerator);
    return MakeMediaTypeEnumerator({&ours.type}, enumerator);
}

HRESULT WINAPI OutputPin::EndOfStream() { return E_UNEXPECTED; }

HRESULT WINAPI OutputPin::BeginFlush() { return E_UNEXPECTED; }

HRESULT WINAPI OutputPin::EndFlush() { return E_UNEXPECTED; }

}  // namespace platform::dshow
