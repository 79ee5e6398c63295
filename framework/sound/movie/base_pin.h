// Pins of the framework's filters: the base pin with the connection
// agreement, the output pin that picks an allocator and delivers, the input
// pin that takes samples, and the enumerator of a pin's media types.
//
// A pin lives inside its filter: its references are the filter's, and its
// state changes come from the filter under the filter's lock.
#pragma once

#include <string>

#include "framework/sound/movie/delegating_unknown.h"
#include "framework/sound/movie/media_type.h"
#include "framework/sound/movie/sync_utilities.h"

class K_CBaseFilter;

class K_CBasePin : public K_CUnknown, public IPin {
public:
    // `lock` is the filter's lock, which connections and state changes take.
    K_CBasePin(const char* objectName, K_CBaseFilter* filter, K_CCritSec* lock, HRESULT* result, LPCWSTR name,
               PIN_DIRECTION direction);
    ~K_CBasePin() override;

    K_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;
    ULONG NonDelegatingAddRef() override;
    ULONG NonDelegatingRelease() override;

    // Agrees a type with `receivePin`: the proposed type when it is complete;
    // otherwise the receiver's types, then our own, each that the proposal
    // allows. Each candidate is checked on our side, set, offered to the
    // receiver and the connection completed; any failure breaks it again.
    HRESULT WINAPI Connect(IPin* receivePin, const AM_MEDIA_TYPE* mediaType) override;
    HRESULT WINAPI ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mediaType) override;
    // Only while the filter is stopped (VFW_E_NOT_STOPPED); S_FALSE when
    // there was no connection.
    HRESULT WINAPI Disconnect() override;
    HRESULT WINAPI ConnectedTo(IPin** pin) override;
    HRESULT WINAPI ConnectionMediaType(AM_MEDIA_TYPE* mediaType) override;
    HRESULT WINAPI QueryPinInfo(PIN_INFO* info) override;
    HRESULT WINAPI QueryDirection(PIN_DIRECTION* direction) override;
    HRESULT WINAPI QueryAccept(const AM_MEDIA_TYPE* mediaType) override;
    HRESULT WINAPI EnumMediaTypes(IEnumMediaTypes** enumerator) override;
    // Keeps the segment: sample times count from its start.
    HRESULT WINAPI NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    // S_OK when the pin takes the type; S_FALSE or an error when not.
    virtual HRESULT CheckMediaType(const K_CMediaType* type) = 0;
    // The pin's own types by position: VFW_S_NO_MORE_ITEMS past the last
    // (the base offers none).
    virtual HRESULT GetMediaType(int position, K_CMediaType* type);
    // Keeps the connection's type.
    virtual HRESULT SetMediaType(const K_CMediaType* type);
    // The peer must have the other direction.
    virtual HRESULT CheckConnect(IPin* pin);
    // Undoes what CheckConnect and CompleteConnect set up.
    virtual HRESULT BreakConnect();
    virtual HRESULT CompleteConnect(IPin* receivePin);
    // The filter's state changes, for connected pins.
    virtual HRESULT Active();
    virtual HRESULT Inactive();
    virtual HRESULT Run(REFERENCE_TIME start);

    bool IsConnected() const { return connected_ != nullptr; }
    IPin* GetConnected() const { return connected_; }
    bool IsStopped() const;
    const K_CMediaType& CurrentMediaType() const { return mediaType_; }
    LPCWSTR Name() const { return name_.c_str(); }
    PIN_DIRECTION Direction() const { return direction_; }
    REFERENCE_TIME CurrentStartTime() const { return segmentStart_; }
    REFERENCE_TIME CurrentStopTime() const { return segmentStop_; }
    double CurrentRate() const { return segmentRate_; }

protected:
    HRESULT AgreeMediaType(IPin* receivePin, const K_CMediaType* proposed);
    HRESULT TryMediaTypes(IPin* receivePin, const K_CMediaType* partial, IEnumMediaTypes* types);
    HRESULT AttemptConnection(IPin* receivePin, const K_CMediaType* type);
    // Drops the connection; the caller holds the lock.
    HRESULT DisconnectInternal();

    K_CBaseFilter* filter_;
    K_CCritSec* lock_;
    std::wstring name_;
    PIN_DIRECTION direction_;
    IPin* connected_ = nullptr;
    K_CMediaType mediaType_;
    REFERENCE_TIME segmentStart_ = 0;
    REFERENCE_TIME segmentStop_ = 0x7FFFFFFFFFFFFFFF;
    double segmentRate_ = 1.0;
};

// A pin's media types, from its GetMediaType by position.
class K_CEnumMediaTypes : public K_CUnknown, public IEnumMediaTypes {
public:
    explicit K_CEnumMediaTypes(K_CBasePin* pin);
    ~K_CEnumMediaTypes() override;

    K_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    HRESULT WINAPI Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override;
    HRESULT WINAPI Reset() override;

private:
    K_CBasePin* pin_;
    int position_ = 0;
};

class K_CBaseOutputPin : public K_CBasePin {
public:
    K_CBaseOutputPin(const char* objectName, K_CBaseFilter* filter, K_CCritSec* lock, HRESULT* result,
                     LPCWSTR name);

    // The peer must take samples (IMemInputPin).
    HRESULT CheckConnect(IPin* pin) override;
    HRESULT BreakConnect() override;
    // Agrees the allocator with the peer.
    HRESULT CompleteConnect(IPin* receivePin) override;
    // Commits and decommits the allocator.
    HRESULT Active() override;
    HRESULT Inactive() override;

    // Samples flow the other way: these are for input pins (E_UNEXPECTED).
    HRESULT WINAPI EndOfStream() override;
    HRESULT WINAPI BeginFlush() override;
    HRESULT WINAPI EndFlush() override;

    // Sets the allocator's properties for what this pin delivers.
    virtual HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) = 0;
    // The peer's allocator when it offers one and accepts the sizes, else one
    // of our own (InitAllocator).
    virtual HRESULT DecideAllocator(IMemInputPin* pin, IMemAllocator** allocator);
    virtual HRESULT InitAllocator(IMemAllocator** allocator);

    // Waits for a free sample of the agreed allocator.
    HRESULT GetDeliveryBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* end, DWORD flags);
    HRESULT Deliver(IMediaSample* sample);
    HRESULT DeliverEndOfStream();
    HRESULT DeliverBeginFlush();
    HRESULT DeliverEndFlush();
    HRESULT DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

    IMemAllocator* Allocator() const { return allocator_; }

protected:
    IMemAllocator* allocator_ = nullptr;
    IMemInputPin* inputPin_ = nullptr;
};

class K_CBaseInputPin : public K_CBasePin, public IMemInputPin {
public:
    K_CBaseInputPin(const char* objectName, K_CBaseFilter* filter, K_CCritSec* lock, HRESULT* result,
                    LPCWSTR name);
    ~K_CBaseInputPin() override;

    K_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    // A memory allocator of the pin's own, made on first use.
    HRESULT WINAPI GetAllocator(IMemAllocator** allocator) override;
    HRESULT WINAPI NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    HRESULT WINAPI GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) override;
    // The checks every received sample passes: streaming allowed, and a
    // change of type that the pin takes (it is then set). A refused change
    // stops the stream with EC_ERRORABORT.
    HRESULT WINAPI Receive(IMediaSample* sample) override;

    HRESULT WINAPI EndOfStream() override;
    HRESULT WINAPI BeginFlush() override;
    HRESULT WINAPI EndFlush() override;

    HRESULT BreakConnect() override;
    // Decommits the allocator, so that an upstream waiting for a buffer
    // wakes, and forgets a flush or error.
    HRESULT Inactive() override;

    // VFW_E_NOT_CONNECTED, VFW_E_WRONG_STATE when stopped, S_FALSE while
    // flushing, VFW_E_RUNTIME_ERROR after a refused stream; S_OK otherwise.
    HRESULT CheckStreaming();
    bool IsFlushing() const { return flushing_.load(); }
    bool IsReadOnly() const { return readOnly_; }
    IMemAllocator* Allocator() const { return allocator_; }

protected:
    IMemAllocator* allocator_ = nullptr;
    bool readOnly_ = false;
    std::atomic<bool> flushing_{false};
    std::atomic<bool> runTimeError_{false};
};
