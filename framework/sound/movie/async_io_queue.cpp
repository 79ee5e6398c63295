// The reader's request queue: requests checked and queued, read by the
// worker thread in order or at once on the caller's thread, handed back
// through WaitForNext, and flushed.
#include <new>

#include "framework/sound/movie/async_reader.h"

AsyncRequest::AsyncRequest(AsyncIoQueue* queue, AsyncByteStream* stream, LONGLONG position, BOOL aligned,
                           LONG length, BYTE* buffer, void* context, DWORD_PTR user)
    : queue_(queue),
      stream_(stream),
      position_(position),
      aligned_(aligned),
      length_(length),
      buffer_(buffer),
      context_(context),
      user_(user) {}

HRESULT AsyncRequest::Complete() {
    stream_->Lock();
    HRESULT result = stream_->SetPointer(position_);
    if (result == S_OK) {
        DWORD read = 0;
        result = stream_->Read(buffer_, static_cast<DWORD>(length_), aligned_, &read);
        if (result == OLE_S_FIRST) {
            if (context_ != nullptr) static_cast<IMediaSample*>(context_)->SetDiscontinuity(TRUE);
            result = S_OK;
        }
        if (SUCCEEDED(result) && read < static_cast<DWORD>(length_)) {
            length_ = static_cast<LONG>(read);
            result = S_FALSE;
        }
    }
    stream_->Unlock();
    result_ = result;
    return result;
}

AsyncIoQueue::AsyncIoQueue(AsyncByteStream* stream) : stream_(stream) {}

AsyncIoQueue::~AsyncIoQueue() {
    Close();
    while (AsyncRequest* request = work_.RemoveHead()) delete request;
    while (AsyncRequest* request = done_.RemoveHead()) delete request;
}

void AsyncIoQueue::Close() {
    HANDLE worker = nullptr;
    {
        K_CAutoLock lock(&listLock_);
        worker = worker_;
        worker_ = nullptr;
    }
    if (worker == nullptr) return;
    stopEvent_.Set();
    WaitForSingleObject(worker, INFINITE);
    CloseHandle(worker);
    stopEvent_.Reset();
}

bool AsyncIoQueue::IsAligned(LONGLONG value) const {
    const LONGLONG alignment = stream_->Alignment();
    return alignment <= 1 || value % alignment == 0;
}

HRESULT AsyncIoQueue::StartWorker() {
    // Called under the list lock.
    if (worker_ != nullptr) return S_OK;
    DWORD id = 0;
    worker_ = CreateThread(nullptr, 0, WorkerEntry, this, 0, &id);
    if (worker_ != nullptr) return S_OK;
    const DWORD error = GetLastError();
    return error != 0 ? static_cast<HRESULT>((error & 0xFFFFu) | 0x80070000u) : E_FAIL;
}

HRESULT AsyncIoQueue::Request(LONGLONG position, LONG length, BOOL aligned, BYTE* buffer, void* context,
                              DWORD_PTR user) {
    if (position < 0 || length < 0) return E_INVALIDARG;
    if (length > 0 && buffer == nullptr) return E_POINTER;
    if (aligned &&
        (!IsAligned(position) || !IsAligned(length) || !IsAligned(static_cast<LONGLONG>(reinterpret_cast<uintptr_t>(buffer)))))
        return VFW_E_BADALIGN;
    auto* request =
        new (std::nothrow) AsyncRequest(this, stream_, position, aligned, length, buffer, context, user);
    if (request == nullptr) return E_OUTOFMEMORY;

    K_CAutoLock lock(&listLock_);
    if (flushing_) {
        delete request;
        return VFW_E_WRONG_STATE;
    }
    const HRESULT started = StartWorker();
    if (FAILED(started)) {
        delete request;
        return started;
    }
    work_.AddTail(request);
    workEvent_.Set();
    return S_OK;
}

HRESULT AsyncIoQueue::WaitForNext(DWORD milliseconds, void** context, DWORD_PTR* user, LONG* actual) {
    if (context == nullptr || user == nullptr || actual == nullptr) return E_POINTER;
    *context = nullptr;
    *user = 0;
    *actual = 0;
    for (;;) {
        if (!doneEvent_.Wait(milliseconds)) return VFW_E_TIMEOUT;
        AsyncRequest* request = nullptr;
        {
            K_CAutoLock lock(&listLock_);
            request = done_.RemoveHead();
            const bool flushDone = flushing_ && !waitingForFlush_;
            if (request == nullptr) {
                if (flushDone) return VFW_E_WRONG_STATE;
                doneEvent_.Reset();
                continue;
            }
            // A finished flush keeps the event set, so that every later
            // wait returns at once.
            if (done_.IsEmpty() && !flushDone) doneEvent_.Reset();
        }
        HRESULT result = request->Result();
        if (result == S_FALSE) {
            // Fewer bytes are right only at the end of the stream.
            const LONGLONG total = stream_->Size();
            result = request->Position() + request->ActualLength() == total ? S_OK : E_FAIL;
        }
        *actual = request->ActualLength();
        *context = request->Context();
        *user = request->User();
        delete request;
        return result;
    }
}

HRESULT AsyncIoQueue::SyncReadAligned(LONGLONG position, LONG length, BYTE* buffer, LONG* actual, void* context) {
    if (actual == nullptr) return E_POINTER;
    *actual = 0;
    if (position < 0 || length < 0) return E_INVALIDARG;
    if (length > 0 && buffer == nullptr) return E_POINTER;
    if (!IsAligned(position) || !IsAligned(length) ||
        !IsAligned(static_cast<LONGLONG>(reinterpret_cast<uintptr_t>(buffer))))
        return VFW_E_BADALIGN;
    AsyncRequest request(this, stream_, position, TRUE, length, buffer, context, 0);
    K_CAutoLock lock(&readerLock_);
    const HRESULT result = request.Complete();
    *actual = request.ActualLength();
    return result;
}

HRESULT AsyncIoQueue::SyncRead(LONGLONG position, LONG length, BYTE* buffer) {
    if (position < 0 || length < 0) return E_INVALIDARG;
    if (length > 0 && buffer == nullptr) return E_POINTER;
    if (IsAligned(position) && IsAligned(length) &&
        IsAligned(static_cast<LONGLONG>(reinterpret_cast<uintptr_t>(buffer)))) {
        LONG actual = 0;
        return SyncReadAligned(position, length, buffer, &actual, nullptr);
    }
    AsyncRequest request(this, stream_, position, FALSE, length, buffer, nullptr, 0);
    K_CAutoLock lock(&readerLock_);
    return request.Complete();
}

HRESULT AsyncIoQueue::Length(LONGLONG* total, LONGLONG* available) {
    if (total == nullptr || available == nullptr) return E_POINTER;
    *total = stream_->Size(available);
    return S_OK;
}

LONG AsyncIoQueue::Alignment() { return static_cast<LONG>(stream_->Alignment()); }

HRESULT AsyncIoQueue::BeginFlush() {
    {
        K_CAutoLock lock(&listLock_);
        flushing_ = true;
        // Waiting requests go back unread, with their time-out result.
        while (AsyncRequest* request = work_.RemoveHead()) done_.AddTail(request);
        workEvent_.Reset();
        if (inProgress_ > 0) waitingForFlush_ = true;
    }
    // The worker sets this once the request it reads is done.
    for (;;) {
        {
            K_CAutoLock lock(&listLock_);
            if (!waitingForFlush_) break;
        }
        allDoneEvent_.Wait();
    }
    doneEvent_.Set();
    return S_OK;
}

HRESULT AsyncIoQueue::EndFlush() {
    K_CAutoLock lock(&listLock_);
    flushing_ = false;
    if (done_.IsEmpty())
        doneEvent_.Reset();
    else
        doneEvent_.Set();
    return S_OK;
}

DWORD WINAPI AsyncIoQueue::WorkerEntry(LPVOID queue) {
    static_cast<AsyncIoQueue*>(queue)->Work();
    return 0;
}

void AsyncIoQueue::Work() {
    const HANDLE events[2] = {stopEvent_.Handle(), workEvent_.Handle()};
    for (;;) {
        const DWORD woken = WaitForMultipleObjects(2, events, FALSE, INFINITE);
        if (woken != WAIT_OBJECT_0 + 1) return;
        ProcessRequests();
    }
}

void AsyncIoQueue::ProcessRequests() {
    for (;;) {
        AsyncRequest* request = nullptr;
        {
            K_CAutoLock lock(&listLock_);
            request = work_.RemoveHead();
            if (work_.IsEmpty()) workEvent_.Reset();
            if (request == nullptr) return;
            ++inProgress_;
        }
        {
            K_CAutoLock lock(&readerLock_);
            request->Complete();
        }
        K_CAutoLock lock(&listLock_);
        done_.AddTail(request);
        doneEvent_.Set();
        if (--inProgress_ == 0 && waitingForFlush_) {
            waitingForFlush_ = false;
            allDoneEvent_.Set();
        }
    }
}
