// A media sample: a buffer that moves down a filter graph with its times,
// flags and an optional change of media type. It points into memory it does
// not own (the allocator's block or a caller's buffer); when its last
// reference goes, it goes back to its allocator's free list.
#pragma once

#include <atomic>

#include "platform/dshow/dshow.h"

class K_CBaseAllocator;

class K_CMediaSample : public IMediaSample {
public:
    // A sample over `buffer` (`length` bytes). With an allocator it starts
    // free, with no reference; without one it starts with one reference and
    // deletes itself when released.
    K_CMediaSample(const char* objectName, K_CBaseAllocator* allocator, HRESULT* result, BYTE* buffer = nullptr,
                   LONG length = 0);
    virtual ~K_CMediaSample();
    K_CMediaSample(const K_CMediaSample&) = delete;
    K_CMediaSample& operator=(const K_CMediaSample&) = delete;

    HRESULT WINAPI QueryInterface(REFIID iid, void** object) override;
    ULONG WINAPI AddRef() override;
    ULONG WINAPI Release() override;

    HRESULT WINAPI GetPointer(BYTE** buffer) override;
    LONG WINAPI GetSize() override;
    HRESULT WINAPI GetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) override;
    HRESULT WINAPI SetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) override;
    HRESULT WINAPI IsSyncPoint() override;
    HRESULT WINAPI SetSyncPoint(BOOL syncPoint) override;
    HRESULT WINAPI IsPreroll() override;
    HRESULT WINAPI SetPreroll(BOOL preroll) override;
    LONG WINAPI GetActualDataLength() override;
    HRESULT WINAPI SetActualDataLength(LONG length) override;
    HRESULT WINAPI GetMediaType(AM_MEDIA_TYPE** mediaType) override;
    HRESULT WINAPI SetMediaType(AM_MEDIA_TYPE* mediaType) override;
    HRESULT WINAPI IsDiscontinuity() override;
    HRESULT WINAPI SetDiscontinuity(BOOL discontinuity) override;

    // Points the sample at another buffer; the actual length becomes the
    // whole buffer.
    HRESULT SetPointer(BYTE* buffer, LONG length);

private:
    friend class K_CBaseAllocator;

    // What a sample forgets when it goes back to its allocator.
    void ResetProperties();

    const char* objectName_;
    K_CBaseAllocator* allocator_;
    std::atomic<LONG> references_;
    BYTE* buffer_;
    LONG size_;
    LONG actual_;
    bool timeValid_ = false;
    bool stopValid_ = false;
    REFERENCE_TIME start_ = 0;
    REFERENCE_TIME end_ = 0;
    bool syncPoint_ = false;
    bool preroll_ = false;
    bool discontinuity_ = false;
    AM_MEDIA_TYPE* mediaType_ = nullptr;
};
