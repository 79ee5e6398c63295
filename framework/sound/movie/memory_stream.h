// A byte stream over a block of memory, for the memory reader: data the
// program already holds, served as if it arrived at a given rate (or all at
// once).
#pragma once

#include <cstdint>

#include "framework/sound/movie/async_reader.h"

class K_CMemStream : public AsyncByteStream {
public:
    // No simulated arrival rate: every byte is there from the start.
    static constexpr uint32_t kNoRateLimit = 0xFFFFFFFFu;

    // A stream over `length` bytes at `data` (not owned), arriving at
    // `kbPerSecond`; null when out of memory.
    static K_CMemStream* Create(const BYTE* data, LONGLONG length, uint32_t kbPerSecond);

    K_CMemStream(const BYTE* data, LONGLONG length, uint32_t kbPerSecond);
    ~K_CMemStream() override = default;

    // S_FALSE for a position below 0 or past the length; the length itself
    // is allowed (the next read gives nothing).
    HRESULT SetPointer(LONGLONG position) override;
    // Up to `count` bytes from the position on; with a rate limit it first
    // sleeps until they would have arrived.
    HRESULT Read(BYTE* buffer, DWORD count, BOOL aligned, LPDWORD bytesRead) override;
    // The length; `available` what the rate allows by now.
    LONGLONG Size(LONGLONG* available = nullptr) override;
    DWORD Alignment() override { return 1; }
    void Lock() override { lock_.Lock(); }
    void Unlock() override { lock_.Unlock(); }

private:
    K_CCritSec lock_;
    const BYTE* data_;
    LONGLONG length_;
    LONGLONG position_ = 0;
    uint32_t kbPerSecond_;
    uint32_t startTime_;
};
