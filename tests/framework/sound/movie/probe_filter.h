// A filter of one pin, input or output, that offers and takes the media
// types a test gives it, counts its broken connections and, as an input,
// keeps every sample it receives and reports the end of its stream.
#pragma once

#include <mutex>
#include <vector>

#include "framework/sound/movie/base_filter.h"
#include "framework/sound/movie/base_pin.h"

namespace probe {

inline constexpr GUID kTypeA = {0x50524F42u, 1, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
inline constexpr GUID kTypeB = {0x50524F42u, 2, 0, {0, 0, 0, 0, 0, 0, 0, 2}};
inline constexpr GUID kTypeC = {0x50524F42u, 3, 0, {0, 0, 0, 0, 0, 0, 0, 3}};

// A complete video type of that subtype.
K_CMediaType Typed(const GUID& subtype);

struct Settings {
    std::vector<GUID> offered;   // subtypes, in order
    std::vector<GUID> accepted;  // subtypes; video only
    bool failComplete = false;
    // An input that takes samples only in buffers of its own allocator.
    bool ownAllocatorOnly = false;
};

struct Received {
    std::vector<uint8_t> bytes;
    REFERENCE_TIME start;
    IMemAllocator* pool;
};

class ProbeFilter;

class ProbeInput final : public K_CBaseInputPin {
public:
    ProbeInput(ProbeFilter* filter, HRESULT* result);
    HRESULT CheckMediaType(const K_CMediaType* type) override;
    HRESULT GetMediaType(int position, K_CMediaType* type) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;
    HRESULT WINAPI NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    HRESULT WINAPI Receive(IMediaSample* sample) override;
    HRESULT WINAPI EndOfStream() override;

private:
    ProbeFilter* probe_;
};

class ProbeOutput final : public K_CBaseOutputPin {
public:
    ProbeOutput(ProbeFilter* filter, HRESULT* result);
    HRESULT CheckMediaType(const K_CMediaType* type) override;
    HRESULT GetMediaType(int position, K_CMediaType* type) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;

private:
    ProbeFilter* probe_;
};

class ProbeFilter final : public K_CBaseFilter {
public:
    // With one reference.
    ProbeFilter(PIN_DIRECTION direction, Settings settings);
    ~ProbeFilter() override;

    int GetPinCount() override { return 1; }
    K_CBasePin* GetPin(int n) override { return n == 0 ? pin_ : nullptr; }
    K_CBasePin* Pin() const { return pin_; }

    const Settings& settings() const { return settings_; }
    int breaks = 0;

    std::vector<Received> AllReceived();
    void Keep(Received received);

private:
    K_CCritSec lock_;
    Settings settings_;
    K_CBasePin* pin_ = nullptr;
    std::mutex receivedLock_;
    std::vector<Received> received_;
};

}  // namespace probe
