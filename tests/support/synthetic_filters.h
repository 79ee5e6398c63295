// Filters that tests build graphs from: a source of generated video frames
// (which also loads "files" whose names end in ".synthetic") and a decoder
// from the source's packed frames to 24- or 32-bit RGB. Both are made on the
// framework's filter base classes and can be put into the platform's filter
// registry.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/sound/movie/base_filter.h"
#include "framework/sound/movie/base_pin.h"

namespace testsupport {

// Frames that only the synthetic decoder takes: 24-bit RGB rows under
// another name.
inline constexpr GUID kPackedFramesSubtype = {0x5445535Au, 0x0001u, 0x0001u, {1, 2, 3, 4, 5, 6, 7, 8}};
inline constexpr GUID CLSID_SyntheticSource = {0x5445535Au, 0x0002u, 0x0001u, {1, 2, 3, 4, 5, 6, 7, 8}};
inline constexpr GUID CLSID_SyntheticDecoder = {0x5445535Au, 0x0003u, 0x0001u, {1, 2, 3, 4, 5, 6, 7, 8}};

struct SyntheticStream {
    int32_t width = 4;
    int32_t height = 3;
    // Rows arrive bottom row first (a positive height in the format).
    bool bottomUp = true;
    GUID subtype = MEDIASUBTYPE_RGB24;
    // Frames in the stream; -1: it never ends.
    int frames = 3;
    REFERENCE_TIME frameDuration = 400000;  // 40 ms
    bool timed = true;
    // Each sample is this many bytes short of a whole frame.
    LONG shortBy = 0;
};

// Channel `channel` (0 blue, 1 green, 2 red) of pixel (x, y), rows counted
// from the top, in frame `frame`.
uint8_t SyntheticPixel(int frame, int x, int y, int channel);
// Bytes per row of 24-bit pixels, rounded up to 4.
int32_t Rgb24Pitch(int32_t width);
// The frame as 24-bit rows top row first, Rgb24Pitch bytes each.
std::vector<uint8_t> SyntheticFrameTopDown(const SyntheticStream& stream, int frame);
// A video type with a VideoInfo format of that size and row order.
K_CMediaType VideoType(const GUID& subtype, int32_t width, int32_t height, bool bottomUp, WORD bitCount);

class SyntheticSource;

class SyntheticSourcePin final : public K_CBaseOutputPin, public IMediaSeeking {
public:
    SyntheticSourcePin(SyntheticSource* source, HRESULT* result);
    ~SyntheticSourcePin() override;

    K_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    HRESULT CheckMediaType(const K_CMediaType* type) override;
    HRESULT GetMediaType(int position, K_CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    // Streaming starts when the filter leaves stopped and ends when it stops.
    HRESULT Active() override;
    HRESULT Inactive() override;

    HRESULT WINAPI GetStopPosition(LONGLONG* stop) override;
    // The end of the last frame delivered.
    HRESULT WINAPI GetCurrentPosition(LONGLONG* current) override;
    // A new current position flushes the stream and starts it again there.
    HRESULT WINAPI SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) override;

    int Delivered() const { return delivered_.load(); }

private:
    void StartStreaming();
    void StopStreaming();
    void Stream(int first, REFERENCE_TIME segmentStart);

    SyntheticSource* source_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<int> delivered_{0};
    std::atomic<LONGLONG> reached_{0};
    LONGLONG position_ = 0;
    std::atomic<LONGLONG> stop_{-1};  // -1: the stream's end
};

class SyntheticSource final : public K_CBaseFilter, public IFileSourceFilter {
public:
    // A source with one reference.
    static SyntheticSource* Make(const SyntheticStream& stream);
    // What the sources the registry makes will stream.
    static void SetRegisteredStream(const SyntheticStream& stream);
    static HRESULT RegistryFactory(REFIID iid, void** object);

    explicit SyntheticSource(const SyntheticStream& stream);
    ~SyntheticSource() override;

    K_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    // Takes names that end in ".synthetic"; others are missing files.
    HRESULT WINAPI Load(LPCWSTR fileName, const AM_MEDIA_TYPE* mediaType) override;

    int GetPinCount() override { return 1; }
    K_CBasePin* GetPin(int n) override { return n == 0 ? pin_ : nullptr; }

    IPin* Output() const { return pin_; }
    SyntheticSourcePin* OutputPin() const { return pin_; }
    const SyntheticStream& Stream() const { return stream_; }
    const K_CMediaType& Offered() const { return offered_; }
    int Delivered() const { return pin_->Delivered(); }

private:
    K_CCritSec lock_;
    SyntheticStream stream_;
    K_CMediaType offered_;
    SyntheticSourcePin* pin_ = nullptr;
};

class SyntheticDecoder;

class SyntheticDecoderInput final : public K_CBaseInputPin {
public:
    SyntheticDecoderInput(SyntheticDecoder* decoder, HRESULT* result);
    HRESULT CheckMediaType(const K_CMediaType* type) override;
    HRESULT WINAPI Receive(IMediaSample* sample) override;
    HRESULT WINAPI EndOfStream() override;
    HRESULT WINAPI BeginFlush() override;
    HRESULT WINAPI EndFlush() override;
    HRESULT WINAPI NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

private:
    SyntheticDecoder* decoder_;
};

class SyntheticDecoderOutput final : public K_CBaseOutputPin {
public:
    SyntheticDecoderOutput(SyntheticDecoder* decoder, HRESULT* result);
    HRESULT CheckConnect(IPin* pin) override;
    HRESULT CheckMediaType(const K_CMediaType* type) override;
    // 32-bit RGB first, then 24-bit.
    HRESULT GetMediaType(int position, K_CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;

private:
    SyntheticDecoder* decoder_;
};

class SyntheticDecoder final : public K_CBaseFilter {
public:
    static HRESULT RegistryFactory(REFIID iid, void** object);

    SyntheticDecoder();
    ~SyntheticDecoder() override;

    int GetPinCount() override { return 2; }
    K_CBasePin* GetPin(int n) override;

    // Turns a packed frame into the output's RGB and delivers it.
    HRESULT Decode(IMediaSample* sample);
    SyntheticDecoderInput* Input() const { return input_; }
    SyntheticDecoderOutput* Output() const { return output_; }

private:
    K_CCritSec lock_;
    SyntheticDecoderInput* input_ = nullptr;
    SyntheticDecoderOutput* output_ = nullptr;
};

// Puts the synthetic source (a file source) and decoder into the platform's
// filter registry until the machine is reset.
void RegisterSyntheticFilters();

}  // namespace testsupport
