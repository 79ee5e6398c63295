// The reader filter and its output pin: the connection only with a peer that
// pulls through IAsyncReader, the media type it offers, and the reader's
// calls turned into requests on the queue.
#include <new>

#include "framework/sound/movie/async_reader.h"
#include "framework/sound/movie/memory_allocator.h"

namespace {

constexpr LONGLONG kUnitsPerByte = 10000000;

}  // namespace

AsyncReaderOutputPin::AsyncReaderOutputPin(HRESULT* result, AsyncReaderFilter* reader, AsyncIoQueue* queue,
                                           K_CCritSec* lock)
    : K_CBasePin("AsyncReaderOutputPin", reader, lock, result, L"Output", PINDIR_OUTPUT),
      reader_(reader),
      queue_(queue) {}

HRESULT AsyncReaderOutputPin::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IAsyncReader)) {
        askedForReader_ = true;
        return K_GetInterface(static_cast<IAsyncReader*>(this), object);
    }
    return K_CBasePin::NonDelegatingQueryInterface(iid, object);
}

HRESULT AsyncReaderOutputPin::CompleteConnect(IPin* receivePin) {
    return askedForReader_ ? K_CBasePin::CompleteConnect(receivePin) : E_FAIL;
}

HRESULT AsyncReaderOutputPin::BreakConnect() {
    askedForReader_ = false;
    return K_CBasePin::BreakConnect();
}

HRESULT AsyncReaderOutputPin::GetMediaType(int position, K_CMediaType* type) {
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    if (type == nullptr) return E_POINTER;
    if (reader_ == nullptr) return E_UNEXPECTED;
    *type = *reader_->MediaType();
    return S_OK;
}

HRESULT AsyncReaderOutputPin::CheckMediaType(const K_CMediaType* type) {
    K_CAutoLock lock(lock_);
    const K_CMediaType* ours = reader_->MediaType();
    if (!IsEqualGUID(*type->Type(), *ours->Type())) return S_FALSE;
    if (IsEqualGUID(*ours->Subtype(), GUID_NULL) || IsEqualGUID(*type->Subtype(), *ours->Subtype())) return S_OK;
    return S_FALSE;
}

HRESULT WINAPI AsyncReaderOutputPin::BeginFlush() { return queue_->BeginFlush(); }

HRESULT WINAPI AsyncReaderOutputPin::EndFlush() { return queue_->EndFlush(); }

HRESULT WINAPI AsyncReaderOutputPin::RequestAllocator(IMemAllocator* preferred, ALLOCATOR_PROPERTIES* properties,
                                                      IMemAllocator** actual) {
    if (preferred == nullptr || properties == nullptr || actual == nullptr) return E_POINTER;
    *actual = nullptr;
    const LONG alignment = queue_->Alignment();
    if (properties->cbAlign <= 0 || properties->cbAlign % alignment != 0) properties->cbAlign = alignment;

    ALLOCATOR_PROPERTIES granted{};
    if (SUCCEEDED(preferred->SetProperties(properties, &granted)) && granted.cbAlign > 0 &&
        granted.cbAlign % alignment == 0) {
        preferred->AddRef();
        *actual = preferred;
        return S_OK;
    }

    HRESULT result = S_OK;
    auto* own = new (std::nothrow) K_CMemAllocator("AsyncReader allocator", nullptr, &result);
    if (own == nullptr) return E_OUTOFMEMORY;
    if (SUCCEEDED(result)) result = own->SetProperties(properties, &granted);
    if (FAILED(result)) {
        own->Release();
        return result;
    }
    *actual = own;
    return S_OK;
}

HRESULT AsyncReaderOutputPin::RangeOf(IMediaSample* sample, LONGLONG* position, LONG* length, BYTE** buffer) {
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    HRESULT result = sample->GetTime(&start, &stop);
    if (FAILED(result)) return result;
    if (start < 0 || stop < start) return E_INVALIDARG;
    LONGLONG from = start / kUnitsPerByte;
    LONGLONG to = stop / kUnitsPerByte;

    // Reads stop at the end of the stream, raised to the alignment.
    const LONGLONG alignment = queue_->Alignment();
    LONGLONG total = 0;
    LONGLONG available = 0;
    queue_->Length(&total, &available);
    const LONGLONG end = alignment > 1 ? (total + alignment - 1) / alignment * alignment : total;
    if (to > end) {
        to = end < from ? from : end;
        REFERENCE_TIME cutStart = start;
        REFERENCE_TIME cutStop = to * kUnitsPerByte;
        sample->SetTime(&cutStart, &cutStop);
    }
    // The bytes must fit the sample's buffer.
    if (to - from > sample->GetSize()) return VFW_E_BUFFER_OVERFLOW;
    result = sample->GetPointer(buffer);
    if (FAILED(result)) return result;
    *position = from;
    *length = static_cast<LONG>(to - from);
    return S_OK;
}

HRESULT WINAPI AsyncReaderOutputPin::Request(IMediaSample* sample, DWORD_PTR user) {
    if (sample == nullptr) return E_POINTER;
    LONGLONG position = 0;
    LONG length = 0;
    BYTE* buffer = nullptr;
    const HRESULT result = RangeOf(sample, &position, &length, &buffer);
    if (FAILED(result)) return result;
    return queue_->Request(position, length, TRUE, buffer, sample, user);
}

HRESULT WINAPI AsyncReaderOutputPin::WaitForNext(DWORD milliseconds, IMediaSample** sample, DWORD_PTR* user) {
    if (sample == nullptr || user == nullptr) return E_POINTER;
    void* context = nullptr;
    LONG actual = 0;
    const HRESULT result = queue_->WaitForNext(milliseconds, &context, user, &actual);
    auto* filled = static_cast<IMediaSample*>(context);
    if (filled != nullptr) filled->SetActualDataLength(actual);
    *sample = filled;
    return result;
}

HRESULT WINAPI AsyncReaderOutputPin::SyncReadAligned(IMediaSample* sample) {
    if (sample == nullptr) return E_POINTER;
    LONGLONG position = 0;
    LONG length = 0;
    BYTE* buffer = nullptr;
    HRESULT result = RangeOf(sample, &position, &length, &buffer);
    if (FAILED(result)) return result;
    LONG actual = 0;
    result = queue_->SyncReadAligned(position, length, buffer, &actual, sample);
    sample->SetActualDataLength(actual);
    return result;
}

HRESULT WINAPI AsyncReaderOutputPin::SyncRead(LONGLONG position, LONG length, BYTE* buffer) {
    return queue_->SyncRead(position, length, buffer);
}

HRESULT WINAPI AsyncReaderOutputPin::Length(LONGLONG* total, LONGLONG* available) {
    return queue_->Length(total, available);
}

AsyncReaderFilter::AsyncReaderFilter(const char* objectName, IUnknown* owner, AsyncByteStream* stream,
                                     HRESULT* result)
    : K_CBaseFilter(objectName, owner, &filterLock_, CLSID_AsyncReader),
      queue_(stream),
      output_(result, this, &queue_, &filterLock_) {}

AsyncReaderFilter::~AsyncReaderFilter() {
    // The worker reads into buffers the peer owns: it ends before anything goes.
    queue_.Close();
}
