// Pins of the platform's own filters: the base pin with what every pin
// tells of itself and its connection, the output pin that offers one type
// and agrees an allocator with its peer, the input pin that takes the types
// its filter says, and the input pin of a renderer, which samples are pushed
// to and which reports the end of the stream. Private to platform/dshow.
//
// A pin lives inside its filter: its references are the filter's, and its
// connection and the filter's state changes are under the filter's lock.
#pragma once

#include <atomic>

#include "platform/dshow/base_filter.h"
#include "platform/dshow/graph_objects.h"

namespace platform::dshow {

class BasePin : public IPin {
public:
    // `name` lives as long as the pin.
    BasePin(BaseFilter& filter, const WCHAR* name, PIN_DIRECTION direction);
    virtual ~BasePin();
    BasePin(const BasePin&) = delete;
    BasePin& operator=(const BasePin&) = delete;

    HRESULT WINAPI QueryInterface(REFIID iid, void** object) override;
    ULONG WINAPI AddRef() override;
    ULONG WINAPI Release() override;

    // Breaks this side only, while the filter is stopped
    // (VFW_E_NOT_STOPPED); S_FALSE when there was no connection.
    HRESULT WINAPI Disconnect() override;
    HRESULT WINAPI ConnectedTo(IPin** pin) override;
    HRESULT WINAPI ConnectionMediaType(AM_MEDIA_TYPE* mediaType) override;
    HRESULT WINAPI QueryPinInfo(PIN_INFO* info) override;
    HRESULT WINAPI QueryDirection(PIN_DIRECTION* direction) override;
    // Taken and let go: the samples' times already count from the segment's
    // start.
    HRESULT WINAPI NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    const WCHAR* Name() const { return name_; }
    // Under the filter's lock, or on a streaming thread, which runs only
    // while the pin is connected.
    bool IsConnected() const { return static_cast<bool>(connected_); }
    IPin* PeerPin() const { return connected_.get(); }

    // The filter's state changes (see BaseFilter), under its lock.
    virtual void Starting() {}
    virtual void Running() {}
    virtual void Stopped() {}

protected:
    // Lets go of what the connection set up beside the peer and its type;
    // under the lock.
    virtual void BreakConnect() {}
    // Breaks the whole connection; under the lock.
    void Drop();

    BaseFilter& filter_;
    Ref<IPin> connected_;
    AM_MEDIA_TYPE type_{};

private:
    const WCHAR* name_;
    const PIN_DIRECTION direction_;
};

// An output pin that offers one type, delivers samples to a peer that takes
// them (IMemInputPin) and starts no connection of its own.
class OutputPin : public BasePin {
public:
    OutputPin(BaseFilter& filter, const WCHAR* name);
    ~OutputPin() override;

    // In the pin's own type: VFW_E_NO_ACCEPTABLE_TYPES when it has none, or
    // when `mediaType` names another; E_NOINTERFACE for a peer that takes no
    // samples; else what the peer's ReceiveConnection or the allocator
    // says.
    HRESULT WINAPI Connect(IPin* receivePin, const AM_MEDIA_TYPE* mediaType) override;
    // Output pins connect, they are not connected to: E_UNEXPECTED.
    HRESULT WINAPI ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mediaType) override;
    // S_OK for the pin's own type to the byte.
    HRESULT WINAPI QueryAccept(const AM_MEDIA_TYPE* mediaType) override;
    HRESULT WINAPI EnumMediaTypes(IEnumMediaTypes** enumerator) override;
    // Samples flow the other way: these are for input pins (E_UNEXPECTED).
    HRESULT WINAPI EndOfStream() override;
    HRESULT WINAPI BeginFlush() override;
    HRESULT WINAPI EndFlush() override;

    // What the streaming thread delivers through while connected.
    IMemAllocator* Allocator() const { return allocator_.get(); }
    IMemInputPin* Peer() const { return peerInput_.get(); }

protected:
    // The type the pin offers (the caller frees it); false while it has
    // none. Under the lock.
    virtual bool OfferedType(AM_MEDIA_TYPE& type) = 0;
    // Fills in what the peer left unasked in `wanted` (a count or size of 0
    // or less) and may raise the least buffer size the pin can deliver in
    // (1 unless raised).
    virtual void SizeBuffers(ALLOCATOR_PROPERTIES& wanted, LONG& leastBuffer) = 0;
    // Decommits and lets go of the allocator.
    void BreakConnect() override;

private:
    HRESULT DecideAllocator(IMemInputPin* peer, IMemAllocator** allocator);

    Ref<IMemInputPin> peerInput_;
    Ref<IMemAllocator> allocator_;
};

// An input pin that takes the types its filter says (Takes) and names none
// of its own.
class InputPin : public BasePin {
public:
    InputPin(BaseFilter& filter, const WCHAR* name);

    // Input pins are connected to: E_UNEXPECTED.
    HRESULT WINAPI Connect(IPin* receivePin, const AM_MEDIA_TYPE* mediaType) override;
    // From an output pin, while stopped, in a type the pin takes
    // (VFW_E_TYPE_NOT_ACCEPTED); then what CompleteConnect says.
    HRESULT WINAPI ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mediaType) override;
    HRESULT WINAPI QueryAccept(const AM_MEDIA_TYPE* mediaType) override;
    HRESULT WINAPI EnumMediaTypes(IEnumMediaTypes** enumerator) override;

protected:
    virtual bool Takes(const AM_MEDIA_TYPE& type) const = 0;
    // What the filter sets up for a connection from `connector` in `type`,
    // under the lock; a failure refuses the connection, and what was set up
    // by then is let go (BreakConnect).
    virtual HRESULT CompleteConnect(IPin* connector, const AM_MEDIA_TYPE& type);
};

// The input pin of a renderer: samples are pushed to it (IMemInputPin) in
// the allocator the output pin brings; the end of the stream reaches the
// graph (EC_COMPLETE) while the filter runs, or when it next runs.
class RendererInputPin : public InputPin, public IMemInputPin {
public:
    RendererInputPin(BaseFilter& filter, const WCHAR* name);

    HRESULT WINAPI QueryInterface(REFIID iid, void** object) override;
    ULONG WINAPI AddRef() override;
    ULONG WINAPI Release() override;

    // After the checks of every sample (CheckStreaming), the end is kept
    // until it is reported, once until the filter stops or a flush begins.
    HRESULT WINAPI EndOfStream() override;
    // Samples and the end are refused until EndFlush; an end not reported
    // yet is taken back.
    HRESULT WINAPI BeginFlush() override;
    HRESULT WINAPI EndFlush() override;

    // The pin has no allocator to offer (VFW_E_NO_ALLOCATOR) and takes any.
    HRESULT WINAPI GetAllocator(IMemAllocator** allocator) override;
    HRESULT WINAPI NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    HRESULT WINAPI GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) override;
    // After the checks (CheckStreaming), the sample is the renderer's
    // (Render).
    HRESULT WINAPI Receive(IMediaSample* sample) override;

    bool IsFlushing() const { return flushing_.load(); }

    void Starting() override;
    void Running() override;
    void Stopped() override;

protected:
    virtual HRESULT Render(IMediaSample* sample) = 0;
    // Under the lock, as a flush begins and as it ends.
    virtual void OnBeginFlush() {}
    virtual void OnEndFlush() {}

private:
    // VFW_E_NOT_CONNECTED, VFW_E_WRONG_STATE while the filter is stopped,
    // S_FALSE while flushing; S_OK otherwise.
    HRESULT CheckStreaming();
    void Report();

    std::atomic<bool> flushing_{false};
    // Under the filter's lock.
    bool endOfStream_ = false;
    bool reported_ = false;
};

}  // namespace platform::dshow
