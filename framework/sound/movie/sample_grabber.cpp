// The sample grabber filter: the type it accepts, the callback each sample
// goes to, the connected type and the delivery buffer handed to its input.
#include "framework/sound/movie/sample_grabber.h"

#include <new>

K_CSampleGrabber* K_CSampleGrabber::Create(IUnknown* owner, HRESULT* result) {
    HRESULT made = S_OK;
    auto* grabber = new (std::nothrow) K_CSampleGrabber(owner, &made);
    if (grabber == nullptr) made = E_OUTOFMEMORY;
    if (grabber != nullptr && FAILED(made)) {
        grabber->NonDelegatingRelease();
        grabber = nullptr;
    }
    if (result != nullptr) *result = made;
    return grabber;
}

K_CSampleGrabber::K_CSampleGrabber(IUnknown* owner, HRESULT* result)
    : K_CTransInPlaceFilter("SampleGrabber", owner, CLSID_KSampleGrabber, result) {
    HRESULT made = S_OK;
    input_ = new (std::nothrow) SampleGrabberInputPin(this, &made);
    if ((input_ == nullptr || FAILED(made)) && result != nullptr) *result = FAILED(made) ? made : E_OUTOFMEMORY;
}

K_CSampleGrabber::~K_CSampleGrabber() = default;

HRESULT K_CSampleGrabber::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IKSampleGrabber)) return K_GetInterface(static_cast<IKSampleGrabber*>(this), object);
    return K_CTransInPlaceFilter::NonDelegatingQueryInterface(iid, object);
}

HRESULT WINAPI K_CSampleGrabber::SetAcceptedMediaType(const AM_MEDIA_TYPE* mediaType) {
    K_CAutoLock lock(&grabberLock_);
    if (mediaType == nullptr) {
        accepted_.Clear();
        return S_OK;
    }
    return accepted_.Set(*mediaType);
}

K_CMediaType K_CSampleGrabber::AcceptedType() {
    K_CAutoLock lock(&grabberLock_);
    return accepted_;
}

HRESULT WINAPI K_CSampleGrabber::GetConnectedMediaType(AM_MEDIA_TYPE* mediaType) {
    if (mediaType == nullptr) return E_POINTER;
    K_CAutoLock lock(&filterLock_);
    if (input_ == nullptr || !input_->IsConnected()) return VFW_E_NOT_CONNECTED;
    return K_CopyMediaType(mediaType, &input_->CurrentMediaType());
}

HRESULT WINAPI K_CSampleGrabber::SetCallback(SampleGrabberCallback callback, void* user) {
    K_CAutoLock lock(&grabberLock_);
    callback_ = callback;
    user_ = user;
    return S_OK;
}

HRESULT WINAPI K_CSampleGrabber::SetDeliveryBuffer(ALLOCATOR_PROPERTIES properties, BYTE* buffer) {
    K_CAutoLock lock(&filterLock_);
    if (input_ == nullptr) return E_UNEXPECTED;
    if (input_->IsConnected() || (output_ != nullptr && output_->IsConnected())) return E_INVALIDARG;
    return GrabberInput()->SetDeliveryBuffer(properties, buffer);
}

HRESULT K_CSampleGrabber::CheckInputType(const K_CMediaType* type) {
    if (type == nullptr) return E_POINTER;
    K_CAutoLock lock(&grabberLock_);
    const GUID* wanted[] = {accepted_.Type(), accepted_.Subtype(), accepted_.FormatType()};
    const GUID* offered[] = {type->Type(), type->Subtype(), type->FormatType()};
    for (int i = 0; i < 3; ++i) {
        if (!IsEqualGUID(*wanted[i], GUID_NULL) && !IsEqualGUID(*wanted[i], *offered[i])) return VFW_E_TYPE_REFUSED;
    }
    return S_OK;
}

HRESULT K_CSampleGrabber::Transform(IMediaSample* sample) {
    K_CAutoLock lock(&grabberLock_);
    if (callback_ == nullptr) return S_OK;
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    if (FAILED(sample->GetTime(&start, &stop))) start = stop = 0;
    const REFERENCE_TIME segmentStart = input_->CurrentStartTime();
    const BOOL changed = GrabberInput()->TakeTypeChanged() ? TRUE : FALSE;
    return callback_(sample, start + segmentStart, stop + segmentStart, changed, user_);
}
