// Streams over a block of memory that the caller owns.
#include <cstdint>

#include "framework/base/base_functions.h"
#include "framework/files/stream_functions.h"
#include "framework/base/tracked_memory.h"

namespace {

MemoryStream* StreamOf(uintptr_t stream) { return reinterpret_cast<MemoryStream*>(stream); }

}  // namespace

uintptr_t OpenMemoryStream(const void* data, uint32_t size) {
    // Positions are signed 32-bit; a larger block could not be addressed.
    if (size > INT32_MAX) return 0;
    auto* stream = static_cast<MemoryStream*>(AllocMemory(sizeof(MemoryStream), __FILE__, __LINE__));
    if (stream == nullptr) return 0;
    stream->data = static_cast<const uint8_t*>(data);
    stream->size = size;
    stream->position = 0;
    stream->endFlag = 0;
    return reinterpret_cast<uintptr_t>(stream);
}

int32_t MemStreamTell(uintptr_t stream) { return StreamOf(stream)->position; }

int MemStreamSeek(uintptr_t handle, int32_t offset, int origin) {
    MemoryStream* stream = StreamOf(handle);
    int64_t target;
    switch (origin) {
        case 0: target = offset; break;
        case 1: target = int64_t(stream->position) + offset; break;
        case 2: target = int64_t(stream->size) + offset; break;
        default: return -1;
    }
    if (target > int64_t(stream->size)) target = stream->size;
    if (target < 0) target = 0;
    stream->position = static_cast<int32_t>(target);
    stream->endFlag = 0;
    return 0;
}

uint32_t MemStreamRead(void* buffer, uint32_t elementSize, uint32_t count, uintptr_t handle) {
    MemoryStream* stream = StreamOf(handle);
    const uint32_t position = static_cast<uint32_t>(stream->position);
    if (position == stream->size) {
        stream->endFlag = 1;
        return 0;
    }
    // Asking for nothing delivers nothing: the tail copy below is only for a
    // request of at least one element that less than one element can serve.
    if (elementSize == 0 || count == 0) return 0;
    const uint32_t remaining = stream->size - position;
    if (uint64_t(elementSize) * count > remaining) count = remaining / elementSize;
    if (count > 0) {
        const uint32_t bytes = elementSize * count;
        CopyMemoryBytes(buffer, stream->data + position, bytes);
        stream->position += static_cast<int32_t>(bytes);
        stream->endFlag = 0;
        return count;
    }
    // Less than one element is left: it is delivered and counts as one.
    CopyMemoryBytes(buffer, stream->data + position, remaining);
    stream->position = static_cast<int32_t>(stream->size);
    stream->endFlag = 0;
    return 1;
}

int MemStreamEof(uintptr_t stream) { return StreamOf(stream)->endFlag != 0 ? 1 : 0; }

int MemStreamIdleCheck(uintptr_t) { return 1; }

int CloseMemoryStream(uintptr_t stream) {
    FreeMemory(StreamOf(stream));
    return 0;
}
