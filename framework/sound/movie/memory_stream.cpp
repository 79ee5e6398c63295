// The memory stream: positioning, reads (held back to the simulated arrival
// rate) and the bytes that have arrived.
#include "framework/sound/movie/memory_stream.h"

#include <cstring>
#include <new>

#include "platform/winmm/winmm.h"

K_CMemStream* K_CMemStream::Create(const BYTE* data, LONGLONG length, uint32_t kbPerSecond) {
    if (length < 0 || (length > 0 && data == nullptr)) return nullptr;
    return new (std::nothrow) K_CMemStream(data, length, kbPerSecond);
}

K_CMemStream::K_CMemStream(const BYTE* data, LONGLONG length, uint32_t kbPerSecond)
    : data_(data), length_(length), kbPerSecond_(kbPerSecond), startTime_(timeGetTime()) {}

HRESULT K_CMemStream::SetPointer(LONGLONG position) {
    if (position < 0 || position > length_) return S_FALSE;
    position_ = position;
    return S_OK;
}

HRESULT K_CMemStream::Read(BYTE* buffer, DWORD count, BOOL aligned, LPDWORD bytesRead) {
    K_CAutoLock lock(&lock_);
    LONGLONG wanted = count;
    if (wanted > length_ - position_) wanted = length_ - position_;
    if (wanted < 0) wanted = 0;
    if (kbPerSecond_ != kNoRateLimit && kbPerSecond_ != 0) {
        // A kilobyte per second is about a byte per millisecond.
        const LONGLONG due = (position_ + wanted) / kbPerSecond_;
        const LONGLONG elapsed = static_cast<uint32_t>(timeGetTime() - startTime_);
        if (elapsed < due) Sleep(static_cast<DWORD>(due - elapsed));
    }
    if (wanted > 0) std::memcpy(buffer, data_ + position_, static_cast<size_t>(wanted));
    position_ += wanted;
    if (bytesRead != nullptr) *bytesRead = static_cast<DWORD>(wanted);
    return S_OK;
}

LONGLONG K_CMemStream::Size(LONGLONG* available) {
    if (available != nullptr) {
        if (kbPerSecond_ == kNoRateLimit) {
            *available = length_;
        } else {
            const LONGLONG elapsed = static_cast<uint32_t>(timeGetTime() - startTime_);
            const LONGLONG arrived = static_cast<LONGLONG>(kbPerSecond_) * elapsed;
            *available = arrived < length_ ? arrived : length_;
        }
    }
    return length_;
}
