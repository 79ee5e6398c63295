// Memory allocators: pools of media samples that an output pin fills and an
// input pin takes. The base keeps the pool, its properties and the waits for
// a free sample, and leaves making and freeing the buffers to Alloc and Free;
// K_CMemAllocator makes them in one block of memory it owns.
#pragma once

#include "framework/sound/movie/delegating_unknown.h"
#include "framework/sound/movie/generic_list.h"
#include "framework/sound/movie/media_sample.h"
#include "framework/sound/movie/sync_utilities.h"

class K_CBaseAllocator : public K_CUnknown, public IMemAllocator {
public:
    K_CBaseAllocator(const char* objectName, IUnknown* owner, HRESULT* result);
    ~K_CBaseAllocator() override;

    K_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    // Refused while committed (VFW_E_ALREADY_COMMITTED) or while samples are
    // out (VFW_E_BUFFERS_OUTSTANDING); the alignment must be a power of two
    // (VFW_E_BADALIGN) and the counts positive (E_INVALIDARG).
    HRESULT WINAPI SetProperties(ALLOCATOR_PROPERTIES* request, ALLOCATOR_PROPERTIES* actual) override;
    HRESULT WINAPI GetProperties(ALLOCATOR_PROPERTIES* properties) override;
    // Makes the buffers (Alloc) when the properties changed; VFW_E_SIZENOTSET
    // before any properties were set.
    HRESULT WINAPI Commit() override;
    // Samples still out come back to the pool later; the buffers are freed
    // once all of them are back.
    HRESULT WINAPI Decommit() override;
    HRESULT WINAPI GetBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* end,
                             DWORD flags) override;
    // Called by a sample whose last reference went.
    HRESULT WINAPI ReleaseBuffer(IMediaSample* sample) override;

protected:
    // Makes `count_` samples of `size_` bytes (with `prefix_` bytes before
    // each, `alignment_` kept) and adds them with AddSample. Called under the
    // allocator's lock.
    virtual HRESULT Alloc() = 0;
    // Deletes every sample of the pool; derived allocators free their memory
    // after calling it. Called under the lock, with every sample back.
    virtual void Free();

    // Puts a new sample into the pool (free).
    void AddSample(K_CMediaSample* sample);

    K_CCritSec lock_;
    LONG count_ = 0;
    LONG size_ = 0;
    LONG alignment_ = 0;
    LONG prefix_ = 0;

private:
    // Frees the buffers when a decommit waits for the last sample.
    void FreeWhenAllBack();

    K_CGenericList<K_CMediaSample> all_;
    K_CGenericList<K_CMediaSample> free_;
    K_CAMEvent freed_{true};  // set while a sample is free or the pool is decommitted
    bool committed_ = false;
    bool decommitting_ = false;
    bool changed_ = false;
    bool propertiesSet_ = false;
};

class K_CMemAllocator : public K_CBaseAllocator {
public:
    K_CMemAllocator(const char* objectName, IUnknown* owner, HRESULT* result);
    ~K_CMemAllocator() override;

protected:
    HRESULT Alloc() override;
    void Free() override;

private:
    BYTE* memory_ = nullptr;
    size_t memoryAlignment_ = 0;
};
