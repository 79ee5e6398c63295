// The base output pin: the allocator it agrees with its peer, and delivery
// of samples, end of stream, flushes and segments downstream.
#include <new>

#include "framework/sound/movie/base_filter.h"
#include "framework/sound/movie/base_pin.h"
#include "framework/sound/movie/memory_allocator.h"

K_CBaseOutputPin::K_CBaseOutputPin(const char* objectName, K_CBaseFilter* filter, K_CCritSec* lock,
                                   HRESULT* result, LPCWSTR name)
    : K_CBasePin(objectName, filter, lock, result, name, PINDIR_OUTPUT) {}

HRESULT K_CBaseOutputPin::CheckConnect(IPin* pin) {
    HRESULT result = K_CBasePin::CheckConnect(pin);
    if (FAILED(result)) return result;
    void* made = nullptr;
    result = pin->QueryInterface(IID_IMemInputPin, &made);
    if (FAILED(result)) return E_NOINTERFACE;
    inputPin_ = static_cast<IMemInputPin*>(made);
    return S_OK;
}

HRESULT K_CBaseOutputPin::BreakConnect() {
    if (allocator_ != nullptr) {
        allocator_->Decommit();
        allocator_->Release();
        allocator_ = nullptr;
    }
    if (inputPin_ != nullptr) {
        inputPin_->Release();
        inputPin_ = nullptr;
    }
    return S_OK;
}

HRESULT K_CBaseOutputPin::CompleteConnect(IPin* receivePin) { return DecideAllocator(inputPin_, &allocator_); }

HRESULT K_CBaseOutputPin::DecideAllocator(IMemInputPin* pin, IMemAllocator** allocator) {
    *allocator = nullptr;
    ALLOCATOR_PROPERTIES request{};
    // What the peer asks for is a wish; without one the sizes are ours.
    if (FAILED(pin->GetAllocatorRequirements(&request))) request = ALLOCATOR_PROPERTIES{};
    if (request.cbAlign <= 0) request.cbAlign = 1;

    HRESULT result = pin->GetAllocator(allocator);
    if (SUCCEEDED(result) && *allocator != nullptr) {
        ALLOCATOR_PROPERTIES wanted = request;
        result = DecideBufferSize(*allocator, &wanted);
        if (SUCCEEDED(result)) result = pin->NotifyAllocator(*allocator, FALSE);
        if (SUCCEEDED(result)) return S_OK;
    }
    if (*allocator != nullptr) {
        (*allocator)->Release();
        *allocator = nullptr;
    }

    result = InitAllocator(allocator);
    if (FAILED(result)) return result;
    ALLOCATOR_PROPERTIES wanted = request;
    result = DecideBufferSize(*allocator, &wanted);
    if (SUCCEEDED(result)) result = pin->NotifyAllocator(*allocator, FALSE);
    if (SUCCEEDED(result)) return S_OK;
    (*allocator)->Release();
    *allocator = nullptr;
    return result;
}

HRESULT K_CBaseOutputPin::InitAllocator(IMemAllocator** allocator) {
    HRESULT result = S_OK;
    auto* made = new (std::nothrow) K_CMemAllocator("K_CBaseOutputPin allocator", nullptr, &result);
    if (made == nullptr) return E_OUTOFMEMORY;
    if (FAILED(result)) {
        made->Release();
        return result;
    }
    *allocator = made;
    return S_OK;
}

HRESULT K_CBaseOutputPin::Active() {
    if (allocator_ == nullptr) return VFW_E_NO_ALLOCATOR;
    return allocator_->Commit();
}

HRESULT K_CBaseOutputPin::Inactive() {
    if (allocator_ == nullptr) return VFW_E_NO_ALLOCATOR;
    return allocator_->Decommit();
}

HRESULT WINAPI K_CBaseOutputPin::EndOfStream() { return E_UNEXPECTED; }

HRESULT WINAPI K_CBaseOutputPin::BeginFlush() { return E_UNEXPECTED; }

HRESULT WINAPI K_CBaseOutputPin::EndFlush() { return E_UNEXPECTED; }

HRESULT K_CBaseOutputPin::GetDeliveryBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* end,
                                            DWORD flags) {
    if (sample == nullptr) return E_POINTER;
    *sample = nullptr;
    if (allocator_ == nullptr) return VFW_E_NO_ALLOCATOR;
    return allocator_->GetBuffer(sample, start, end, flags);
}

HRESULT K_CBaseOutputPin::Deliver(IMediaSample* sample) {
    if (inputPin_ == nullptr) return VFW_E_NOT_CONNECTED;
    return inputPin_->Receive(sample);
}

HRESULT K_CBaseOutputPin::DeliverEndOfStream() {
    if (connected_ == nullptr) return VFW_E_NOT_CONNECTED;
    return connected_->EndOfStream();
}

HRESULT K_CBaseOutputPin::DeliverBeginFlush() {
    if (connected_ == nullptr) return VFW_E_NOT_CONNECTED;
    return connected_->BeginFlush();
}

HRESULT K_CBaseOutputPin::DeliverEndFlush() {
    if (connected_ == nullptr) return VFW_E_NOT_CONNECTED;
    return connected_->EndFlush();
}

HRESULT K_CBaseOutputPin::DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    NewSegment(start, stop, rate);
    if (connected_ == nullptr) return VFW_E_NOT_CONNECTED;
    return connected_->NewSegment(start, stop, rate);
}
