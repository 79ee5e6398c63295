// The sample grabber: an in-place filter that hands every sample passing
// through it to a callback, optionally only for the kind of stream it was
// told to take, and optionally into a buffer the program provides.
#pragma once

#include <atomic>

#include "framework/sound/movie/memory_allocator.h"
#include "framework/sound/movie/transform_in_place.h"

// Called on the streaming thread for each sample, with its times (counted
// from the start of the stream's segment), whether the stream's type changed
// since the last call, and the user pointer. S_OK passes the sample on,
// S_FALSE drops it, an error stops the stream.
typedef HRESULT (*SampleGrabberCallback)(IMediaSample* sample, REFERENCE_TIME start, REFERENCE_TIME stop,
                                         BOOL typeChanged, void* user);

inline constexpr GUID CLSID_KSampleGrabber = {0x2FA4F053u, 0x6D60u, 0x4CB0u,
                                              {0x95u, 0x33u, 0x65u, 0x39u, 0x33u, 0x66u, 0x66u, 0x33u}};
inline constexpr GUID IID_IKSampleGrabber = {0x6B652FFFu, 0x11FEu, 0x4FCEu,
                                             {0x92u, 0x64u, 0x32u, 0x36u, 0x35u, 0x37u, 0x37u, 0x66u}};

struct IKSampleGrabber : IUnknown {
    // Null takes any type again.
    virtual HRESULT WINAPI SetAcceptedMediaType(const AM_MEDIA_TYPE* mediaType) = 0;
    // The input's type (the caller frees its format block); VFW_E_NOT_CONNECTED
    // without a connected input.
    virtual HRESULT WINAPI GetConnectedMediaType(AM_MEDIA_TYPE* mediaType) = 0;
    virtual HRESULT WINAPI SetCallback(SampleGrabberCallback callback, void* user) = 0;
    // Samples are then made over `buffer` (one buffer of the given
    // properties: cbPrefix bytes of prefix, then cbBuffer bytes) instead of
    // memory of their own. Only while neither pin is connected.
    virtual HRESULT WINAPI SetDeliveryBuffer(ALLOCATOR_PROPERTIES properties, BYTE* buffer) = 0;
};

// Samples over the program's delivery buffer instead of memory of its own.
class SampleGrabberAllocator : public K_CBaseAllocator {
public:
    SampleGrabberAllocator(const ALLOCATOR_PROPERTIES& properties, BYTE* buffer, HRESULT* result);
    ~SampleGrabberAllocator() override;

    // The alignment and prefix must be the delivery buffer's (VFW_E_BADALIGN),
    // and no more buffers or bytes than it has asked for (E_FAIL); the actual
    // properties are the delivery buffer's.
    HRESULT WINAPI SetProperties(ALLOCATOR_PROPERTIES* request, ALLOCATOR_PROPERTIES* actual) override;

protected:
    HRESULT Alloc() override;

private:
    ALLOCATOR_PROPERTIES properties_;
    BYTE* buffer_;
};

class K_CSampleGrabber;

class SampleGrabberInputPin : public K_CTransInPlaceInputPin {
public:
    SampleGrabberInputPin(K_CSampleGrabber* grabber, HRESULT* result);
    ~SampleGrabberInputPin() override;

    // The accepted type, at position 0 only.
    HRESULT GetMediaType(int position, K_CMediaType* type) override;
    // Every new type is reported to the next callback.
    HRESULT SetMediaType(const K_CMediaType* type) override;

    // With a delivery buffer: the private allocator and its properties only.
    HRESULT WINAPI GetAllocator(IMemAllocator** allocator) override;
    HRESULT WINAPI NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    HRESULT WINAPI GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) override;

    HRESULT SetDeliveryBuffer(const ALLOCATOR_PROPERTIES& properties, BYTE* buffer);
    // Whether the type changed since the last call, and clears it.
    bool TakeTypeChanged() { return typeChanged_.exchange(false); }

private:
    K_CSampleGrabber* grabber_;
    SampleGrabberAllocator* privateAllocator_ = nullptr;
    ALLOCATOR_PROPERTIES deliveryProperties_{};
    BYTE* deliveryBuffer_ = nullptr;
    std::atomic<bool> typeChanged_{false};
};

class K_CSampleGrabber : public K_CTransInPlaceFilter, public IKSampleGrabber {
public:
    // A grabber with one reference; null and E_OUTOFMEMORY when any part of
    // it cannot be made.
    static K_CSampleGrabber* Create(IUnknown* owner, HRESULT* result);

    K_CSampleGrabber(IUnknown* owner, HRESULT* result);
    ~K_CSampleGrabber() override;

    K_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    HRESULT WINAPI SetAcceptedMediaType(const AM_MEDIA_TYPE* mediaType) override;
    HRESULT WINAPI GetConnectedMediaType(AM_MEDIA_TYPE* mediaType) override;
    HRESULT WINAPI SetCallback(SampleGrabberCallback callback, void* user) override;
    HRESULT WINAPI SetDeliveryBuffer(ALLOCATOR_PROPERTIES properties, BYTE* buffer) override;

    // Each GUID of the accepted type that is not GUID_NULL must match.
    HRESULT CheckInputType(const K_CMediaType* type) override;
    // Calls the callback, under the grabber's lock.
    HRESULT Transform(IMediaSample* sample) override;

    // A copy of the accepted type.
    K_CMediaType AcceptedType();

private:
    SampleGrabberInputPin* GrabberInput() const { return static_cast<SampleGrabberInputPin*>(input_); }

    K_CMediaType accepted_;
    K_CCritSec grabberLock_;
    SampleGrabberCallback callback_ = nullptr;
    void* user_ = nullptr;
};
