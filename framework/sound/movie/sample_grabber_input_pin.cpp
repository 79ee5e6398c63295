// The grabber's input pin, which offers the accepted type and reports type
// changes, and its private allocator over the program's delivery buffer.
#include <new>

#include "framework/sound/movie/sample_grabber.h"

SampleGrabberAllocator::SampleGrabberAllocator(const ALLOCATOR_PROPERTIES& properties, BYTE* buffer,
                                               HRESULT* result)
    : K_CBaseAllocator("SampleGrabberAllocator", nullptr, result), properties_(properties), buffer_(buffer) {}

SampleGrabberAllocator::~SampleGrabberAllocator() {
    K_CAutoLock lock(&lock_);
    Free();
}

HRESULT WINAPI SampleGrabberAllocator::SetProperties(ALLOCATOR_PROPERTIES* request, ALLOCATOR_PROPERTIES* actual) {
    if (request == nullptr || actual == nullptr) return E_POINTER;
    if (request->cbAlign != properties_.cbAlign || request->cbPrefix != properties_.cbPrefix) return VFW_E_BADALIGN;
    if (request->cBuffers > properties_.cBuffers || request->cbBuffer > properties_.cbBuffer) return E_FAIL;
    ALLOCATOR_PROPERTIES whole = properties_;
    return K_CBaseAllocator::SetProperties(&whole, actual);
}

HRESULT SampleGrabberAllocator::Alloc() {
    // Each buffer takes its size raised to the alignment, its prefix first.
    const LONGLONG alignment = alignment_ > 0 ? alignment_ : 1;
    const LONGLONG stride = prefix_ + (static_cast<LONGLONG>(size_) + alignment - 1) / alignment * alignment;
    for (LONG i = 0; i < count_; ++i) {
        HRESULT result = S_OK;
        BYTE* start = buffer_ + stride * i + prefix_;
        auto* sample = new (std::nothrow) K_CMediaSample("SampleGrabberAllocator sample", this, &result, start, size_);
        if (sample == nullptr) return E_OUTOFMEMORY;
        AddSample(sample);
    }
    return S_OK;
}

SampleGrabberInputPin::SampleGrabberInputPin(K_CSampleGrabber* grabber, HRESULT* result)
    : K_CTransInPlaceInputPin("SampleGrabberInputPin", grabber, result, L"Input"), grabber_(grabber) {}

SampleGrabberInputPin::~SampleGrabberInputPin() {
    if (privateAllocator_ != nullptr) privateAllocator_->Release();
}

HRESULT SampleGrabberInputPin::GetMediaType(int position, K_CMediaType* type) {
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    if (type == nullptr) return E_POINTER;
    *type = grabber_->AcceptedType();
    return S_OK;
}

HRESULT SampleGrabberInputPin::SetMediaType(const K_CMediaType* type) {
    typeChanged_.store(true);
    return K_CTransInPlaceInputPin::SetMediaType(type);
}

HRESULT WINAPI SampleGrabberInputPin::GetAllocator(IMemAllocator** allocator) {
    if (allocator == nullptr) return E_POINTER;
    {
        K_CAutoLock lock(lock_);
        if (privateAllocator_ != nullptr) {
            privateAllocator_->AddRef();
            *allocator = privateAllocator_;
            return S_OK;
        }
    }
    return K_CTransInPlaceInputPin::GetAllocator(allocator);
}

HRESULT WINAPI SampleGrabberInputPin::NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) {
    if (allocator == nullptr) return E_POINTER;
    {
        K_CAutoLock lock(lock_);
        if (privateAllocator_ != nullptr) {
            if (allocator != static_cast<IMemAllocator*>(privateAllocator_)) return E_FAIL;
            if (readOnly && grabber_->ModifiesData()) return E_FAIL;
        }
    }
    return K_CTransInPlaceInputPin::NotifyAllocator(allocator, readOnly);
}

HRESULT WINAPI SampleGrabberInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) {
    if (properties == nullptr) return E_POINTER;
    {
        K_CAutoLock lock(lock_);
        if (privateAllocator_ != nullptr) {
            *properties = deliveryProperties_;
            return S_OK;
        }
    }
    return K_CTransInPlaceInputPin::GetAllocatorRequirements(properties);
}

HRESULT SampleGrabberInputPin::SetDeliveryBuffer(const ALLOCATOR_PROPERTIES& properties, BYTE* buffer) {
    if (properties.cBuffers != 1) return E_INVALIDARG;
    if (buffer == nullptr) return E_POINTER;
    HRESULT result = S_OK;
    auto* made = new (std::nothrow) SampleGrabberAllocator(properties, buffer, &result);
    if (made == nullptr) return E_OUTOFMEMORY;
    if (FAILED(result)) {
        made->Release();
        return result;
    }
    K_CAutoLock lock(lock_);
    if (privateAllocator_ != nullptr) privateAllocator_->Release();
    privateAllocator_ = made;
    deliveryProperties_ = properties;
    deliveryBuffer_ = buffer;
    return S_OK;
}
