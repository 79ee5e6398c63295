// Media samples: times, flags, data length and the attached media type.
#include "framework/sound/movie/media_sample.h"

#include "framework/sound/movie/media_type.h"
#include "framework/sound/movie/memory_allocator.h"

K_CMediaSample::K_CMediaSample(const char* objectName, K_CBaseAllocator* allocator, HRESULT* result, BYTE* buffer,
                               LONG length)
    : objectName_(objectName),
      allocator_(allocator),
      references_(allocator != nullptr ? 0 : 1),
      buffer_(length >= 0 ? buffer : nullptr),
      size_(length >= 0 ? length : 0),
      actual_(length >= 0 ? length : 0) {
    if (length < 0 && result != nullptr) *result = E_INVALIDARG;
}

K_CMediaSample::~K_CMediaSample() { K_DeleteMediaType(mediaType_); }

HRESULT WINAPI K_CMediaSample::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMediaSample)) {
        *object = static_cast<IMediaSample*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG WINAPI K_CMediaSample::AddRef() { return static_cast<ULONG>(references_.fetch_add(1) + 1); }

ULONG WINAPI K_CMediaSample::Release() {
    const LONG left = references_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) {
        // A pooled sample goes back to its pool and stays alive there; the
        // pool may be gone too once this returns.
        if (allocator_ != nullptr)
            allocator_->ReleaseBuffer(this);
        else
            delete this;
    }
    return static_cast<ULONG>(left > 0 ? left : 0);
}

HRESULT WINAPI K_CMediaSample::GetPointer(BYTE** buffer) {
    if (buffer == nullptr) return E_POINTER;
    *buffer = buffer_;
    return S_OK;
}

LONG WINAPI K_CMediaSample::GetSize() { return size_; }

HRESULT WINAPI K_CMediaSample::GetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) {
    if (start == nullptr || end == nullptr) return E_POINTER;
    if (!timeValid_) return VFW_E_SAMPLE_TIME_NOT_SET;
    *start = start_;
    if (!stopValid_) {
        *end = start_ + 1;
        return VFW_S_NO_STOP_TIME;
    }
    *end = end_;
    return S_OK;
}

HRESULT WINAPI K_CMediaSample::SetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) {
    timeValid_ = start != nullptr;
    stopValid_ = start != nullptr && end != nullptr;
    if (timeValid_) start_ = *start;
    if (stopValid_) end_ = *end;
    return S_OK;
}

HRESULT WINAPI K_CMediaSample::IsSyncPoint() { return syncPoint_ ? S_OK : S_FALSE; }

HRESULT WINAPI K_CMediaSample::SetSyncPoint(BOOL syncPoint) {
    syncPoint_ = syncPoint != FALSE;
    return S_OK;
}

HRESULT WINAPI K_CMediaSample::IsPreroll() { return preroll_ ? S_OK : S_FALSE; }

HRESULT WINAPI K_CMediaSample::SetPreroll(BOOL preroll) {
    preroll_ = preroll != FALSE;
    return S_OK;
}

LONG WINAPI K_CMediaSample::GetActualDataLength() { return actual_; }

HRESULT WINAPI K_CMediaSample::SetActualDataLength(LONG length) {
    if (length < 0 || length > size_) return VFW_E_BUFFER_OVERFLOW;
    actual_ = length;
    return S_OK;
}

HRESULT WINAPI K_CMediaSample::GetMediaType(AM_MEDIA_TYPE** mediaType) {
    if (mediaType == nullptr) return E_POINTER;
    *mediaType = nullptr;
    if (mediaType_ == nullptr) return S_FALSE;
    *mediaType = K_CreateMediaType(mediaType_);
    return *mediaType != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT WINAPI K_CMediaSample::SetMediaType(AM_MEDIA_TYPE* mediaType) {
    K_DeleteMediaType(mediaType_);
    mediaType_ = nullptr;
    if (mediaType == nullptr) return S_OK;
    mediaType_ = K_CreateMediaType(mediaType);
    return mediaType_ != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT WINAPI K_CMediaSample::IsDiscontinuity() { return discontinuity_ ? S_OK : S_FALSE; }

HRESULT WINAPI K_CMediaSample::SetDiscontinuity(BOOL discontinuity) {
    discontinuity_ = discontinuity != FALSE;
    return S_OK;
}

HRESULT K_CMediaSample::SetPointer(BYTE* buffer, LONG length) {
    if (length < 0) return E_INVALIDARG;
    buffer_ = buffer;
    size_ = length;
    actual_ = length;
    return S_OK;
}

void K_CMediaSample::ResetProperties() {
    timeValid_ = false;
    stopValid_ = false;
    syncPoint_ = false;
    preroll_ = false;
    discontinuity_ = false;
    actual_ = size_;
    K_DeleteMediaType(mediaType_);
    mediaType_ = nullptr;
}
