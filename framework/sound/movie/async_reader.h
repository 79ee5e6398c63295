// The asynchronous reader: a source filter with one output pin that serves
// a byte stream through IAsyncReader, so that a parser downstream pulls the
// bytes it wants by position, queued or at once. Queued requests are read by
// one worker thread of the reader's own.
#pragma once

#include "framework/sound/movie/base_filter.h"
#include "framework/sound/movie/base_pin.h"
#include "framework/sound/movie/generic_list.h"
#include "framework/sound/movie/sync_utilities.h"

// The bytes a reader serves. Reads and positioning happen under the
// stream's own lock (Lock/Unlock), which the reader takes around each
// request.
class AsyncByteStream {
public:
    virtual ~AsyncByteStream() = default;
    // S_FALSE for a position before the start or past the end.
    virtual HRESULT SetPointer(LONGLONG position) = 0;
    // Up to `count` bytes from the position on; OLE_S_FIRST asks for a
    // discontinuity.
    virtual HRESULT Read(BYTE* buffer, DWORD count, BOOL aligned, LPDWORD bytesRead) = 0;
    // The whole length; `available` the bytes that have arrived so far.
    virtual LONGLONG Size(LONGLONG* available = nullptr) = 0;
    virtual DWORD Alignment() = 0;
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
};

class AsyncIoQueue;

// One read: where, how much, into which buffer, and how it went.
class AsyncRequest {
public:
    AsyncRequest(AsyncIoQueue* queue, AsyncByteStream* stream, LONGLONG position, BOOL aligned, LONG length,
                 BYTE* buffer, void* context, DWORD_PTR user);

    // Reads the bytes under the stream's lock and keeps the result: S_OK,
    // S_FALSE for fewer bytes than asked, or the stream's failure.
    HRESULT Complete();

    HRESULT Result() const { return result_; }
    LONG ActualLength() const { return length_; }
    LONGLONG Position() const { return position_; }
    void* Context() const { return context_; }
    DWORD_PTR User() const { return user_; }

private:
    AsyncIoQueue* queue_;
    AsyncByteStream* stream_;
    LONGLONG position_;
    BOOL aligned_;
    LONG length_;
    BYTE* buffer_;
    void* context_;  // the media sample, or null
    DWORD_PTR user_;
    HRESULT result_ = VFW_E_TIMEOUT;  // until it is completed
};

// The requests waiting to be read and those read, and the worker thread
// that reads them in the order they came.
class AsyncIoQueue {
public:
    explicit AsyncIoQueue(AsyncByteStream* stream);
    // Stops the worker and deletes every request left.
    ~AsyncIoQueue();
    AsyncIoQueue(const AsyncIoQueue&) = delete;
    AsyncIoQueue& operator=(const AsyncIoQueue&) = delete;

    // With `aligned`, the position, length and buffer address must be
    // multiples of the stream's alignment (VFW_E_BADALIGN). During a flush
    // VFW_E_WRONG_STATE.
    HRESULT Request(LONGLONG position, LONG length, BOOL aligned, BYTE* buffer, void* context, DWORD_PTR user);
    // The next read request, with its context, user word and the bytes read.
    // A short read counts as a success only when it reached the end of the
    // stream (else E_FAIL).
    HRESULT WaitForNext(DWORD milliseconds, void** context, DWORD_PTR* user, LONG* actual);
    HRESULT SyncReadAligned(LONGLONG position, LONG length, BYTE* buffer, LONG* actual, void* context);
    HRESULT SyncRead(LONGLONG position, LONG length, BYTE* buffer);
    HRESULT Length(LONGLONG* total, LONGLONG* available);
    LONG Alignment();
    // Every waiting request goes to the done list unread, and any being
    // read is waited for; WaitForNext then hands them back, and new requests
    // are refused until EndFlush.
    HRESULT BeginFlush();
    HRESULT EndFlush();
    // Stops the worker thread and waits for it.
    void Close();

private:
    static DWORD WINAPI WorkerEntry(LPVOID queue);
    void Work();
    void ProcessRequests();
    bool IsAligned(LONGLONG value) const;
    HRESULT StartWorker();

    K_CCritSec readerLock_;
    AsyncByteStream* stream_;
    K_CCritSec listLock_;
    bool flushing_ = false;
    K_CGenericList<AsyncRequest> work_;
    K_CGenericList<AsyncRequest> done_;
    K_CAMEvent workEvent_{true};
    K_CAMEvent doneEvent_{true};
    int inProgress_ = 0;
    bool waitingForFlush_ = false;
    K_CAMEvent allDoneEvent_{false};
    K_CAMEvent stopEvent_{true};
    HANDLE worker_ = nullptr;
};

class AsyncReaderFilter;

class AsyncReaderOutputPin : public K_CBasePin, public IAsyncReader {
public:
    AsyncReaderOutputPin(HRESULT* result, AsyncReaderFilter* reader, AsyncIoQueue* queue, K_CCritSec* lock);

    K_DECLARE_IUNKNOWN
    // Asking for IAsyncReader is what makes a peer acceptable.
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    // Refuses a peer that never asked for IAsyncReader.
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;
    HRESULT GetMediaType(int position, K_CMediaType* type) override;
    // The filter's major type, and its subtype unless that is left open.
    HRESULT CheckMediaType(const K_CMediaType* type) override;

    // Samples do not come in through an output pin.
    HRESULT WINAPI EndOfStream() override { return E_UNEXPECTED; }
    HRESULT WINAPI BeginFlush() override;
    HRESULT WINAPI EndFlush() override;

    HRESULT WINAPI RequestAllocator(IMemAllocator* preferred, ALLOCATOR_PROPERTIES* properties,
                                    IMemAllocator** actual) override;
    HRESULT WINAPI Request(IMediaSample* sample, DWORD_PTR user) override;
    HRESULT WINAPI WaitForNext(DWORD milliseconds, IMediaSample** sample, DWORD_PTR* user) override;
    HRESULT WINAPI SyncReadAligned(IMediaSample* sample) override;
    HRESULT WINAPI SyncRead(LONGLONG position, LONG length, BYTE* buffer) override;
    HRESULT WINAPI Length(LONGLONG* total, LONGLONG* available) override;

    bool PeerAskedForReader() const { return askedForReader_; }

private:
    // The byte range of a sample's times, cut at the end of the stream
    // (raised to the alignment); the sample's stop time follows the cut.
    HRESULT RangeOf(IMediaSample* sample, LONGLONG* position, LONG* length, BYTE** buffer);

    AsyncReaderFilter* reader_;
    AsyncIoQueue* queue_;
    bool askedForReader_ = false;
};

class AsyncReaderFilter : public K_CBaseFilter {
public:
    // A reader over `stream`, which it does not own and which must outlive it.
    AsyncReaderFilter(const char* objectName, IUnknown* owner, AsyncByteStream* stream, HRESULT* result);
    ~AsyncReaderFilter() override;

    int GetPinCount() override { return 1; }
    K_CBasePin* GetPin(int n) override { return n == 0 ? &output_ : nullptr; }

    const K_CMediaType* MediaType() const { return &mediaType_; }
    AsyncReaderOutputPin* OutputPin() { return &output_; }

protected:
    K_CCritSec filterLock_;
    AsyncIoQueue queue_;
    AsyncReaderOutputPin output_;
    K_CMediaType mediaType_;
};

// The class of the reader filter.
inline constexpr GUID CLSID_AsyncReader = {0xC553F2C0u, 0x1529u, 0x11D0u,
                                           {0xB4u, 0xD1u, 0x00u, 0x80u, 0x5Fu, 0x6Cu, 0xBBu, 0xEAu}};
