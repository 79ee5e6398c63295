// The sample pool: properties, buffers made at commit, waits for a free
// sample, and samples that go back to the pool with their last reference.
#include "platform/dshow/sample_pool.h"

#include <condition_variable>
#include <memory>
#include <new>
#include <mutex>
#include <vector>

#include "platform/dshow/graph_objects.h"

namespace platform::dshow {
namespace {

class SamplePool;

class PooledSample final : public IMediaSample {
public:
    PooledSample(SamplePool* pool, BYTE* buffer, LONG size) : pool_(pool), buffer_(buffer), size_(size) {}
    ~PooledSample() { DeleteMediaType(mediaType_); }

    HRESULT WINAPI QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IMediaSample)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IMediaSample*>(this);
        AddRef();
        return S_OK;
    }
    ULONG WINAPI AddRef() override { return references_.fetch_add(1) + 1; }
    ULONG WINAPI Release() override;

    HRESULT WINAPI GetPointer(BYTE** buffer) override {
        if (buffer == nullptr) return E_POINTER;
        *buffer = buffer_;
        return S_OK;
    }
    LONG WINAPI GetSize() override { return size_; }
    HRESULT WINAPI GetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) override {
        if (start == nullptr || end == nullptr) return E_POINTER;
        if (!timed_) return VFW_E_SAMPLE_TIME_NOT_SET;
        *start = start_;
        *end = stopped_ ? end_ : start_ + 1;
        return stopped_ ? S_OK : VFW_S_NO_STOP_TIME;
    }
    HRESULT WINAPI SetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) override {
        timed_ = start != nullptr;
        stopped_ = timed_ && end != nullptr;
        if (timed_) start_ = *start;
        if (stopped_) end_ = *end;
        return S_OK;
    }
    HRESULT WINAPI IsSyncPoint() override { return syncPoint_ ? S_OK : S_FALSE; }
    HRESULT WINAPI SetSyncPoint(BOOL syncPoint) override {
        syncPoint_ = syncPoint != FALSE;
        return S_OK;
    }
    HRESULT WINAPI IsPreroll() override { return preroll_ ? S_OK : S_FALSE; }
    HRESULT WINAPI SetPreroll(BOOL preroll) override {
        preroll_ = preroll != FALSE;
        return S_OK;
    }
    LONG WINAPI GetActualDataLength() override { return actual_; }
    HRESULT WINAPI SetActualDataLength(LONG length) override {
        if (length < 0 || length > size_) return VFW_E_BUFFER_OVERFLOW;
        actual_ = length;
        return S_OK;
    }
    HRESULT WINAPI GetMediaType(AM_MEDIA_TYPE** mediaType) override {
        if (mediaType == nullptr) return E_POINTER;
        *mediaType = nullptr;
        if (mediaType_ == nullptr) return S_FALSE;
        auto* copy = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
        if (copy == nullptr) return E_OUTOFMEMORY;
        if (!CopyMediaType(*copy, *mediaType_)) {
            DeleteMediaType(copy);
            return E_OUTOFMEMORY;
        }
        *mediaType = copy;
        return S_OK;
    }
    HRESULT WINAPI SetMediaType(AM_MEDIA_TYPE* mediaType) override {
        DeleteMediaType(mediaType_);
        mediaType_ = nullptr;
        if (mediaType == nullptr) return S_OK;
        auto* copy = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
        if (copy == nullptr) return E_OUTOFMEMORY;
        if (!CopyMediaType(*copy, *mediaType)) {
            DeleteMediaType(copy);
            return E_OUTOFMEMORY;
        }
        mediaType_ = copy;
        return S_OK;
    }
    HRESULT WINAPI IsDiscontinuity() override { return discontinuity_ ? S_OK : S_FALSE; }
    HRESULT WINAPI SetDiscontinuity(BOOL discontinuity) override {
        discontinuity_ = discontinuity != FALSE;
        return S_OK;
    }

    // What a sample forgets when it goes back to the pool.
    void Reset() {
        timed_ = stopped_ = syncPoint_ = preroll_ = discontinuity_ = false;
        actual_ = size_;
        DeleteMediaType(mediaType_);
        mediaType_ = nullptr;
    }

private:
    SamplePool* pool_;
    std::atomic<ULONG> references_{0};
    BYTE* buffer_;
    LONG size_;
    LONG actual_ = 0;
    bool timed_ = false;
    bool stopped_ = false;
    REFERENCE_TIME start_ = 0;
    REFERENCE_TIME end_ = 0;
    bool syncPoint_ = false;
    bool preroll_ = false;
    bool discontinuity_ = false;
    AM_MEDIA_TYPE* mediaType_ = nullptr;
};

class SamplePool final : public com::Object<SamplePool, IMemAllocator> {
public:
    HRESULT WINAPI SetProperties(ALLOCATOR_PROPERTIES* request, ALLOCATOR_PROPERTIES* actual) override {
        if (request == nullptr || actual == nullptr) return E_POINTER;
        std::lock_guard<std::mutex> hold(lock_);
        if (committed_) return VFW_E_ALREADY_COMMITTED;
        if (free_.size() != samples_.size()) return VFW_E_BUFFERS_OUTSTANDING;
        if (request->cbAlign <= 0 || (request->cbAlign & (request->cbAlign - 1)) != 0) return VFW_E_BADALIGN;
        if (request->cBuffers <= 0 || request->cbBuffer <= 0 || request->cbPrefix < 0) return E_INVALIDARG;
        // Every sample is back: the next commit makes them to the new sizes.
        free_.clear();
        samples_.clear();
        memory_.clear();
        properties_ = *request;
        *actual = properties_;
        set_ = true;
        return S_OK;
    }

    HRESULT WINAPI GetProperties(ALLOCATOR_PROPERTIES* properties) override {
        if (properties == nullptr) return E_POINTER;
        std::lock_guard<std::mutex> hold(lock_);
        *properties = properties_;
        return S_OK;
    }

    HRESULT WINAPI Commit() override {
        std::lock_guard<std::mutex> hold(lock_);
        if (committed_) return S_OK;
        if (!set_) return VFW_E_SIZENOTSET;
        if (samples_.empty()) {
            const size_t alignment = static_cast<size_t>(properties_.cbAlign);
            const auto roundUp = [alignment](size_t bytes) { return (bytes + alignment - 1) / alignment * alignment; };
            const size_t stride = roundUp(static_cast<size_t>(properties_.cbPrefix)) +
                                  roundUp(static_cast<size_t>(properties_.cbBuffer));
            for (LONG i = 0; i < properties_.cBuffers; ++i) {
                memory_.emplace_back(new (std::nothrow) BYTE[stride + alignment]);
                if (memory_.back() == nullptr) {
                    memory_.clear();
                    return E_OUTOFMEMORY;
                }
                const uintptr_t raw = reinterpret_cast<uintptr_t>(memory_.back().get());
                BYTE* aligned = reinterpret_cast<BYTE*>((raw + alignment - 1) / alignment * alignment);
                BYTE* buffer = aligned + roundUp(static_cast<size_t>(properties_.cbPrefix));
                samples_.emplace_back(std::make_unique<PooledSample>(this, buffer, properties_.cbBuffer));
                free_.push_back(samples_.back().get());
            }
        }
        committed_ = true;
        return S_OK;
    }

    HRESULT WINAPI Decommit() override {
        {
            std::lock_guard<std::mutex> hold(lock_);
            committed_ = false;
        }
        freed_.notify_all();
        return S_OK;
    }

    HRESULT WINAPI GetBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* end,
                             DWORD flags) override {
        if (sample == nullptr) return E_POINTER;
        *sample = nullptr;
        std::unique_lock<std::mutex> hold(lock_);
        freed_.wait(hold, [this] { return !committed_ || !free_.empty(); });
        if (!committed_) return VFW_E_NOT_COMMITTED;
        PooledSample* taken = free_.back();
        free_.pop_back();
        // A sample that is out keeps its pool.
        AddRef();
        taken->AddRef();
        if (start != nullptr) taken->SetTime(start, end);
        *sample = taken;
        return S_OK;
    }

    HRESULT WINAPI ReleaseBuffer(IMediaSample* sample) override {
        if (sample == nullptr) return E_POINTER;
        {
            std::lock_guard<std::mutex> hold(lock_);
            auto* pooled = static_cast<PooledSample*>(sample);
            pooled->Reset();
            free_.push_back(pooled);
        }
        freed_.notify_all();
        Release();
        return S_OK;
    }

private:
    std::mutex lock_;
    std::condition_variable freed_;
    ALLOCATOR_PROPERTIES properties_{};
    bool set_ = false;
    bool committed_ = false;
    std::vector<std::unique_ptr<BYTE[]>> memory_;
    std::vector<std::unique_ptr<PooledSample>> samples_;
    std::vector<PooledSample*> free_;
};

ULONG WINAPI PooledSample::Release() {
    const ULONG left = references_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) pool_->ReleaseBuffer(this);
    return left;
}

}  // namespace

HRESULT CreateSamplePool(IMemAllocator** allocator) {
    if (allocator == nullptr) return E_POINTER;
    return SamplePool::Create(IID_IMemAllocator, reinterpret_cast<void**>(allocator));
}

HRESULT SettleAllocator(IMemInputPin* peer, ALLOCATOR_PROPERTIES wanted, LONG leastBuffer, IMemAllocator** allocator) {
    *allocator = nullptr;
    Ref<IMemAllocator> offered;
    if (SUCCEEDED(peer->GetAllocator(offered.out())) && offered) {
        ALLOCATOR_PROPERTIES request = wanted;
        ALLOCATOR_PROPERTIES actual{};
        if (SUCCEEDED(offered->SetProperties(&request, &actual)) && actual.cbBuffer >= leastBuffer &&
            SUCCEEDED(peer->NotifyAllocator(offered.get(), FALSE))) {
            *allocator = offered.Detach();
            return S_OK;
        }
    }
    Ref<IMemAllocator> own;
    HRESULT result = CreateSamplePool(own.out());
    if (FAILED(result)) return result;
    ALLOCATOR_PROPERTIES actual{};
    result = own->SetProperties(&wanted, &actual);
    if (SUCCEEDED(result)) result = peer->NotifyAllocator(own.get(), FALSE);
    if (FAILED(result)) return result;
    *allocator = own.Detach();
    return S_OK;
}

}  // namespace platform::dshow
