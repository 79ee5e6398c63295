// The sample pool: properties, commit and decommit, waiting for a free
// sample, and the pool whose buffers live in one block of its own memory.
#include "framework/sound/movie/memory_allocator.h"

#include <new>

K_CBaseAllocator::K_CBaseAllocator(const char* objectName, IUnknown* owner, HRESULT* result)
    : K_CUnknown(objectName, owner) {
    if (freed_.Handle() == nullptr && result != nullptr) *result = E_OUTOFMEMORY;
}

K_CBaseAllocator::~K_CBaseAllocator() {
    // A derived allocator has freed its own buffers already; whatever samples
    // are left point nowhere that needs freeing.
    while (K_CMediaSample* sample = all_.RemoveHead()) delete sample;
}

HRESULT K_CBaseAllocator::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IMemAllocator)) return K_GetInterface(static_cast<IMemAllocator*>(this), object);
    return K_CUnknown::NonDelegatingQueryInterface(iid, object);
}

HRESULT WINAPI K_CBaseAllocator::SetProperties(ALLOCATOR_PROPERTIES* request, ALLOCATOR_PROPERTIES* actual) {
    if (request == nullptr || actual == nullptr) return E_POINTER;
    K_CAutoLock lock(&lock_);
    if (committed_) return VFW_E_ALREADY_COMMITTED;
    if (free_.GetCount() != all_.GetCount()) return VFW_E_BUFFERS_OUTSTANDING;
    if (request->cbAlign <= 0 || (request->cbAlign & (request->cbAlign - 1)) != 0) return VFW_E_BADALIGN;
    if (request->cBuffers <= 0 || request->cbBuffer <= 0 || request->cbPrefix < 0) return E_INVALIDARG;
    count_ = request->cBuffers;
    size_ = request->cbBuffer;
    alignment_ = request->cbAlign;
    prefix_ = request->cbPrefix;
    changed_ = true;
    propertiesSet_ = true;
    *actual = ALLOCATOR_PROPERTIES{count_, size_, alignment_, prefix_};
    return S_OK;
}

HRESULT WINAPI K_CBaseAllocator::GetProperties(ALLOCATOR_PROPERTIES* properties) {
    if (properties == nullptr) return E_POINTER;
    K_CAutoLock lock(&lock_);
    *properties = ALLOCATOR_PROPERTIES{count_, size_, alignment_, prefix_};
    return S_OK;
}

HRESULT WINAPI K_CBaseAllocator::Commit() {
    K_CAutoLock lock(&lock_);
    if (committed_) return S_OK;
    if (!propertiesSet_) return VFW_E_SIZENOTSET;
    // A decommit that still waits for samples keeps the buffers it has.
    decommitting_ = false;
    if (changed_ || all_.IsEmpty()) {
        if (free_.GetCount() != all_.GetCount()) return VFW_E_BUFFERS_OUTSTANDING;
        if (!all_.IsEmpty()) Free();
        const HRESULT result = Alloc();
        if (FAILED(result)) {
            Free();
            return result;
        }
        changed_ = false;
    }
    committed_ = true;
    if (free_.IsEmpty()) freed_.Reset();
    return S_OK;
}

HRESULT WINAPI K_CBaseAllocator::Decommit() {
    K_CAutoLock lock(&lock_);
    if (!committed_) return S_OK;
    committed_ = false;
    decommitting_ = true;
    // Every GetBuffer that waits looks again and finds the pool closed.
    freed_.Set();
    FreeWhenAllBack();
    return S_OK;
}

HRESULT WINAPI K_CBaseAllocator::GetBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* end,
                                           DWORD flags) {
    if (sample == nullptr) return E_POINTER;
    *sample = nullptr;
    for (;;) {
        {
            K_CAutoLock lock(&lock_);
            if (!committed_) return VFW_E_NOT_COMMITTED;
            if (K_CMediaSample* taken = free_.RemoveHead()) {
                if (free_.IsEmpty()) freed_.Reset();
                // An outstanding sample keeps its pool alive.
                NonDelegatingAddRef();
                taken->references_.store(1);
                if (start != nullptr && end != nullptr) taken->SetTime(start, end);
                *sample = taken;
                return S_OK;
            }
            freed_.Reset();
        }
        freed_.Wait();
    }
}

HRESULT WINAPI K_CBaseAllocator::ReleaseBuffer(IMediaSample* sample) {
    if (sample == nullptr) return E_POINTER;
    auto* pooled = static_cast<K_CMediaSample*>(sample);
    {
        K_CAutoLock lock(&lock_);
        pooled->ResetProperties();
        free_.AddTail(pooled);
        freed_.Set();
        FreeWhenAllBack();
    }
    NonDelegatingRelease();
    return S_OK;
}

void K_CBaseAllocator::Free() {
    while (K_CMediaSample* sample = all_.RemoveHead()) delete sample;
    while (free_.RemoveHead() != nullptr) {
    }
}

void K_CBaseAllocator::AddSample(K_CMediaSample* sample) {
    all_.AddTail(sample);
    free_.AddTail(sample);
}

void K_CBaseAllocator::FreeWhenAllBack() {
    if (!decommitting_ || free_.GetCount() != all_.GetCount()) return;
    decommitting_ = false;
    Free();
    // The next commit makes the buffers again.
    changed_ = true;
}

K_CMemAllocator::K_CMemAllocator(const char* objectName, IUnknown* owner, HRESULT* result)
    : K_CBaseAllocator(objectName, owner, result) {}

K_CMemAllocator::~K_CMemAllocator() {
    K_CAutoLock lock(&lock_);
    Free();
}

HRESULT K_CMemAllocator::Alloc() {
    // Each buffer starts on the alignment, with its prefix in front of it.
    const size_t alignment = static_cast<size_t>(alignment_);
    const auto roundUp = [alignment](size_t bytes) { return (bytes + alignment - 1) / alignment * alignment; };
    const size_t prefix = roundUp(static_cast<size_t>(prefix_));
    const size_t stride = prefix + roundUp(static_cast<size_t>(size_));
    const size_t total = stride * static_cast<size_t>(count_);
    if (total / static_cast<size_t>(count_) != stride) return E_OUTOFMEMORY;
    memoryAlignment_ = alignment < alignof(std::max_align_t) ? alignof(std::max_align_t) : alignment;
    memory_ = static_cast<BYTE*>(::operator new(total, std::align_val_t(memoryAlignment_), std::nothrow));
    if (memory_ == nullptr) return E_OUTOFMEMORY;
    for (LONG i = 0; i < count_; ++i) {
        HRESULT result = S_OK;
        BYTE* buffer = memory_ + stride * static_cast<size_t>(i) + prefix;
        auto* sample = new (std::nothrow) K_CMediaSample("K_CMemAllocator sample", this, &result, buffer, size_);
        if (sample == nullptr) return E_OUTOFMEMORY;
        AddSample(sample);
    }
    return S_OK;
}

void K_CMemAllocator::Free() {
    K_CBaseAllocator::Free();
    if (memory_ != nullptr) ::operator delete(memory_, std::align_val_t(memoryAlignment_));
    memory_ = nullptr;
}
