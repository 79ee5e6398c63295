// The base of a filter that works on samples where they are, passing each
// one on downstream in the same buffer: an input pin, an output pin that
// offers only the input's type, and the upstream allocator handed through to
// the downstream pin when it takes it. When the two pins end up with
// different allocators (or the upstream buffers are read-only and the filter
// changes them), each sample is copied into a buffer of the output's
// allocator before Transform.
#pragma once

#include "framework/sound/movie/base_filter.h"
#include "framework/sound/movie/base_pin.h"
#include "framework/sound/movie/sync_utilities.h"

class K_CTransInPlaceFilter;

class K_CTransInPlaceInputPin : public K_CBaseInputPin {
public:
    K_CTransInPlaceInputPin(const char* objectName, K_CTransInPlaceFilter* filter, HRESULT* result, LPCWSTR name);

    // The filter's CheckInputType; once the output is connected, its peer
    // must take the type too.
    HRESULT CheckMediaType(const K_CMediaType* type) override;
    // Once the output is connected, the type it carries.
    HRESULT GetMediaType(int position, K_CMediaType* type) override;
    HRESULT WINAPI Receive(IMediaSample* sample) override;
    HRESULT WINAPI EndOfStream() override;
    HRESULT WINAPI BeginFlush() override;
    HRESULT WINAPI EndFlush() override;
    HRESULT WINAPI NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

protected:
    K_CTransInPlaceFilter* transform_;
};

class K_CTransInPlaceOutputPin : public K_CBaseOutputPin {
public:
    K_CTransInPlaceOutputPin(const char* objectName, K_CTransInPlaceFilter* filter, HRESULT* result,
                             LPCWSTR name);

    // Connects only after the input, with exactly the input's type.
    HRESULT CheckConnect(IPin* pin) override;
    HRESULT CheckMediaType(const K_CMediaType* type) override;
    HRESULT GetMediaType(int position, K_CMediaType* type) override;
    // The upstream allocator when the peer takes it, else the base's choice.
    HRESULT DecideAllocator(IMemInputPin* pin, IMemAllocator** allocator) override;
    // As many and as large buffers as upstream uses.
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;

private:
    K_CTransInPlaceFilter* transform_;
};

class K_CTransInPlaceFilter : public K_CBaseFilter {
public:
    // `modifiesData`: Transform writes into the samples, so read-only
    // upstream buffers are copied first.
    K_CTransInPlaceFilter(const char* objectName, IUnknown* owner, REFCLSID clsid, HRESULT* result,
                          bool modifiesData = true);
    ~K_CTransInPlaceFilter() override;

    int GetPinCount() override { return 2; }
    // Makes the pins a derived filter has not made itself.
    K_CBasePin* GetPin(int n) override;

    virtual HRESULT CheckInputType(const K_CMediaType* type) = 0;
    // S_OK passes the sample on, S_FALSE drops it, an error stops the stream.
    virtual HRESULT Transform(IMediaSample* sample) = 0;

    // From the input pin, on the streaming thread.
    virtual HRESULT Receive(IMediaSample* sample);
    virtual HRESULT EndOfStream();
    virtual HRESULT BeginFlush();
    virtual HRESULT EndFlush();
    virtual HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

    K_CTransInPlaceInputPin* InputPin() const { return input_; }
    K_CTransInPlaceOutputPin* OutputPin() const { return output_; }
    bool ModifiesData() const { return modifiesData_; }

protected:
    // A sample of the output's allocator with the input sample's times,
    // flags, type and data; null when none can be had.
    IMediaSample* Copy(IMediaSample* source);

    K_CCritSec filterLock_;
    K_CTransInPlaceInputPin* input_ = nullptr;
    K_CTransInPlaceOutputPin* output_ = nullptr;
    bool modifiesData_;
};
