// The base input pin: its allocator, the checks on each received sample,
// end of stream and flushes.
#include <new>

#include "framework/sound/movie/base_filter.h"
#include "framework/sound/movie/base_pin.h"
#include "framework/sound/movie/memory_allocator.h"

K_CBaseInputPin::K_CBaseInputPin(const char* objectName, K_CBaseFilter* filter, K_CCritSec* lock, HRESULT* result,
                                 LPCWSTR name)
    : K_CBasePin(objectName, filter, lock, result, name, PINDIR_INPUT) {}

K_CBaseInputPin::~K_CBaseInputPin() {
    if (allocator_ != nullptr) allocator_->Release();
}

HRESULT K_CBaseInputPin::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IMemInputPin)) return K_GetInterface(static_cast<IMemInputPin*>(this), object);
    return K_CBasePin::NonDelegatingQueryInterface(iid, object);
}

HRESULT WINAPI K_CBaseInputPin::GetAllocator(IMemAllocator** allocator) {
    if (allocator == nullptr) return E_POINTER;
    K_CAutoLock lock(lock_);
    if (allocator_ == nullptr) {
        HRESULT result = S_OK;
        auto* made = new (std::nothrow) K_CMemAllocator("K_CBaseInputPin allocator", nullptr, &result);
        if (made == nullptr) return E_OUTOFMEMORY;
        if (FAILED(result)) {
            made->Release();
            return result;
        }
        allocator_ = made;
    }
    allocator_->AddRef();
    *allocator = allocator_;
    return S_OK;
}

HRESULT WINAPI K_CBaseInputPin::NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) {
    if (allocator == nullptr) return E_POINTER;
    K_CAutoLock lock(lock_);
    allocator->AddRef();
    if (allocator_ != nullptr) allocator_->Release();
    allocator_ = allocator;
    readOnly_ = readOnly != FALSE;
    return S_OK;
}

HRESULT WINAPI K_CBaseInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) { return E_NOTIMPL; }

HRESULT K_CBaseInputPin::CheckStreaming() {
    if (!IsConnected()) return VFW_E_NOT_CONNECTED;
    if (IsStopped()) return VFW_E_WRONG_STATE;
    if (flushing_.load()) return S_FALSE;
    if (runTimeError_.load()) return VFW_E_RUNTIME_ERROR;
    return S_OK;
}

HRESULT WINAPI K_CBaseInputPin::Receive(IMediaSample* sample) {
    if (sample == nullptr) return E_POINTER;
    HRESULT result = CheckStreaming();
    if (result != S_OK) return result;

    AM_MEDIA_TYPE* changed = nullptr;
    if (sample->GetMediaType(&changed) != S_OK || changed == nullptr) return S_OK;
    const K_CMediaType type(*changed);
    K_DeleteMediaType(changed);
    result = CheckMediaType(&type);
    if (result == S_OK) {
        result = SetMediaType(&type);
        if (SUCCEEDED(result)) return S_OK;
    }
    // A stream that changed into something this pin cannot take ends here.
    if (!FAILED(result)) result = VFW_E_TYPE_NOT_ACCEPTED;
    runTimeError_.store(true);
    filter_->NotifyEvent(EC_ERRORABORT, result, 0);
    return result;
}

HRESULT WINAPI K_CBaseInputPin::EndOfStream() { return CheckStreaming(); }

HRESULT WINAPI K_CBaseInputPin::BeginFlush() {
    flushing_.store(true);
    return S_OK;
}

HRESULT WINAPI K_CBaseInputPin::EndFlush() {
    flushing_.store(false);
    runTimeError_.store(false);
    return S_OK;
}

HRESULT K_CBaseInputPin::BreakConnect() {
    if (allocator_ != nullptr) {
        allocator_->Decommit();
        allocator_->Release();
        allocator_ = nullptr;
    }
    readOnly_ = false;
    return S_OK;
}

HRESULT K_CBaseInputPin::Inactive() {
    runTimeError_.store(false);
    flushing_.store(false);
    return allocator_ != nullptr ? allocator_->Decommit() : S_OK;
}
