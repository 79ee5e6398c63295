// The in-place transform: its pins, the allocator handed through, and each
// sample transformed (in its own buffer or in a copy) and passed on.
#include "framework/sound/movie/transform_in_place.h"

#include <cstring>
#include <new>

#include "framework/sound/movie/media_type.h"

K_CTransInPlaceInputPin::K_CTransInPlaceInputPin(const char* objectName, K_CTransInPlaceFilter* filter,
                                                 HRESULT* result, LPCWSTR name)
    : K_CBaseInputPin(objectName, filter, filter->FilterLock(), result, name), transform_(filter) {}

HRESULT K_CTransInPlaceInputPin::CheckMediaType(const K_CMediaType* type) {
    const HRESULT result = transform_->CheckInputType(type);
    if (result != S_OK) return result;
    K_CTransInPlaceOutputPin* output = transform_->OutputPin();
    if (output != nullptr && output->IsConnected())
        return output->GetConnected()->QueryAccept(type) == S_OK ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    return S_OK;
}

HRESULT K_CTransInPlaceInputPin::GetMediaType(int position, K_CMediaType* type) {
    if (position < 0) return E_INVALIDARG;
    K_CTransInPlaceOutputPin* output = transform_->OutputPin();
    if (position > 0 || output == nullptr || !output->IsConnected()) return VFW_S_NO_MORE_ITEMS;
    *type = output->CurrentMediaType();
    return S_OK;
}

HRESULT WINAPI K_CTransInPlaceInputPin::Receive(IMediaSample* sample) {
    const HRESULT result = K_CBaseInputPin::Receive(sample);
    if (result != S_OK) return result;
    return transform_->Receive(sample);
}

HRESULT WINAPI K_CTransInPlaceInputPin::EndOfStream() {
    const HRESULT result = CheckStreaming();
    if (result != S_OK) return result;
    return transform_->EndOfStream();
}

HRESULT WINAPI K_CTransInPlaceInputPin::BeginFlush() {
    K_CBaseInputPin::BeginFlush();
    return transform_->BeginFlush();
}

HRESULT WINAPI K_CTransInPlaceInputPin::EndFlush() {
    K_CBaseInputPin::EndFlush();
    return transform_->EndFlush();
}

HRESULT WINAPI K_CTransInPlaceInputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    K_CBaseInputPin::NewSegment(start, stop, rate);
    return transform_->NewSegment(start, stop, rate);
}

K_CTransInPlaceOutputPin::K_CTransInPlaceOutputPin(const char* objectName, K_CTransInPlaceFilter* filter,
                                                   HRESULT* result, LPCWSTR name)
    : K_CBaseOutputPin(objectName, filter, filter->FilterLock(), result, name), transform_(filter) {}

HRESULT K_CTransInPlaceOutputPin::CheckConnect(IPin* pin) {
    K_CTransInPlaceInputPin* input = transform_->InputPin();
    if (input == nullptr || !input->IsConnected()) return VFW_E_NOT_CONNECTED;
    return K_CBaseOutputPin::CheckConnect(pin);
}

HRESULT K_CTransInPlaceOutputPin::CheckMediaType(const K_CMediaType* type) {
    K_CTransInPlaceInputPin* input = transform_->InputPin();
    if (input == nullptr || !input->IsConnected()) return VFW_E_NOT_CONNECTED;
    return *type == input->CurrentMediaType() ? S_OK : S_FALSE;
}

HRESULT K_CTransInPlaceOutputPin::GetMediaType(int position, K_CMediaType* type) {
    if (position < 0) return E_INVALIDARG;
    K_CTransInPlaceInputPin* input = transform_->InputPin();
    if (position > 0 || input == nullptr || !input->IsConnected()) return VFW_S_NO_MORE_ITEMS;
    *type = input->CurrentMediaType();
    return S_OK;
}

HRESULT K_CTransInPlaceOutputPin::DecideAllocator(IMemInputPin* pin, IMemAllocator** allocator) {
    K_CTransInPlaceInputPin* input = transform_->InputPin();
    IMemAllocator* upstream = input != nullptr ? input->Allocator() : nullptr;
    // Read-only buffers cannot be changed in place: those are copied into
    // buffers of our own choosing.
    const bool shareable = upstream != nullptr && !(input->IsReadOnly() && transform_->ModifiesData());
    if (shareable && SUCCEEDED(pin->NotifyAllocator(upstream, input->IsReadOnly() ? TRUE : FALSE))) {
        upstream->AddRef();
        *allocator = upstream;
        return S_OK;
    }
    return K_CBaseOutputPin::DecideAllocator(pin, allocator);
}

HRESULT K_CTransInPlaceOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
    ALLOCATOR_PROPERTIES upstream{};
    K_CTransInPlaceInputPin* input = transform_->InputPin();
    if (input != nullptr && input->Allocator() != nullptr) input->Allocator()->GetProperties(&upstream);
    const LONG sampleSize = static_cast<LONG>(CurrentMediaType().lSampleSize);
    if (request->cBuffers < upstream.cBuffers) request->cBuffers = upstream.cBuffers;
    if (request->cBuffers < 1) request->cBuffers = 1;
    if (request->cbBuffer < upstream.cbBuffer) request->cbBuffer = upstream.cbBuffer;
    if (request->cbBuffer < sampleSize) request->cbBuffer = sampleSize;
    if (request->cbBuffer < 1) request->cbBuffer = 1;
    if (request->cbAlign < 1) request->cbAlign = 1;
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT result = allocator->SetProperties(request, &actual);
    if (FAILED(result)) return result;
    return actual.cbBuffer < request->cbBuffer ? E_FAIL : S_OK;
}

K_CTransInPlaceFilter::K_CTransInPlaceFilter(const char* objectName, IUnknown* owner, REFCLSID clsid,
                                             HRESULT* result, bool modifiesData)
    : K_CBaseFilter(objectName, owner, &filterLock_, clsid), modifiesData_(modifiesData) {}

K_CTransInPlaceFilter::~K_CTransInPlaceFilter() {
    delete output_;
    delete input_;
}

K_CBasePin* K_CTransInPlaceFilter::GetPin(int n) {
    K_CAutoLock lock(&filterLock_);
    if (input_ == nullptr) {
        HRESULT result = S_OK;
        input_ = new (std::nothrow) K_CTransInPlaceInputPin("K_CTransInPlaceInputPin", this, &result, L"Input");
    }
    if (output_ == nullptr && input_ != nullptr) {
        HRESULT result = S_OK;
        output_ = new (std::nothrow) K_CTransInPlaceOutputPin("K_CTransInPlaceOutputPin", this, &result, L"Output");
    }
    if (n == 0) return input_;
    if (n == 1) return output_;
    return nullptr;
}

IMediaSample* K_CTransInPlaceFilter::Copy(IMediaSample* source) {
    IMediaSample* copy = nullptr;
    if (FAILED(output_->GetDeliveryBuffer(&copy, nullptr, nullptr, 0)) || copy == nullptr) return nullptr;

    REFERENCE_TIME start = 0;
    REFERENCE_TIME end = 0;
    const HRESULT timing = source->GetTime(&start, &end);
    if (timing == S_OK)
        copy->SetTime(&start, &end);
    else if (SUCCEEDED(timing))
        copy->SetTime(&start, nullptr);
    copy->SetSyncPoint(source->IsSyncPoint() == S_OK);
    copy->SetPreroll(source->IsPreroll() == S_OK);
    copy->SetDiscontinuity(source->IsDiscontinuity() == S_OK);
    AM_MEDIA_TYPE* type = nullptr;
    if (source->GetMediaType(&type) == S_OK && type != nullptr) {
        copy->SetMediaType(type);
        K_DeleteMediaType(type);
    }

    BYTE* from = nullptr;
    BYTE* to = nullptr;
    const LONG length = source->GetActualDataLength();
    if (FAILED(source->GetPointer(&from)) || FAILED(copy->GetPointer(&to)) || length > copy->GetSize()) {
        copy->Release();
        return nullptr;
    }
    if (length > 0) std::memcpy(to, from, static_cast<size_t>(length));
    copy->SetActualDataLength(length);
    return copy;
}

HRESULT K_CTransInPlaceFilter::Receive(IMediaSample* sample) {
    const bool connected = output_ != nullptr && output_->IsConnected();
    IMediaSample* working = sample;
    if (connected && input_->Allocator() != output_->Allocator()) {
        working = Copy(sample);
        if (working == nullptr) return E_UNEXPECTED;
    }
    HRESULT result = Transform(working);
    if (result == S_OK && connected)
        result = output_->Deliver(working);
    else if (result == S_FALSE)
        result = S_OK;
    if (working != sample) working->Release();
    return result;
}

HRESULT K_CTransInPlaceFilter::EndOfStream() {
    if (output_ == nullptr || !output_->IsConnected()) return S_OK;
    return output_->DeliverEndOfStream();
}

HRESULT K_CTransInPlaceFilter::BeginFlush() {
    if (output_ == nullptr || !output_->IsConnected()) return S_OK;
    return output_->DeliverBeginFlush();
}

HRESULT K_CTransInPlaceFilter::EndFlush() {
    if (output_ == nullptr || !output_->IsConnected()) return S_OK;
    return output_->DeliverEndFlush();
}

HRESULT K_CTransInPlaceFilter::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    if (output_ == nullptr || !output_->IsConnected()) return S_OK;
    return output_->DeliverNewSegment(start, stop, rate);
}
