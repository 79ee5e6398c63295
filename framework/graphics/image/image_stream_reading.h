// Internal to framework/graphics/image (and its tests): how the image loaders
// read a stream source. Every loader reads files that come from outside, so
// each read is exact, each size is measured against what the stream still
// holds before anything is allocated for it, and every size is computed in
// 64 bits.
#pragma once

#include <cstdint>

#include "framework/base/tracked_memory.h"
#include "framework/files/stream_functions.h"

// Width and height above this are refused: it covers every texture the system
// makes and keeps every pixel block far below the allocator's limit.
constexpr int64_t kLargestImageSide = 16384;

inline bool IsUsableImageSide(int64_t side) { return side > 0 && side <= kLargestImageSide; }

// Whether a block of `size` bytes can be asked of the framework allocator.
inline bool FitsOneBlock(uint64_t size) { return size <= MaxTrackedBlockSize; }

// The current position; -1 when the stream reports none.
inline int64_t StreamPosition(const StreamSource& source) {
    return source.functions.tell(source.stream);
}

inline bool SeekStreamTo(const StreamSource& source, int64_t position) {
    if (position < 0 || position > INT32_MAX) return false;
    return source.functions.seek(source.stream, static_cast<int32_t>(position), 0) == 0;
}

// The stream's length, leaving the position where it was; -1 when the
// stream cannot tell it.
inline int64_t StreamLength(const StreamSource& source) {
    const int64_t here = StreamPosition(source);
    if (here < 0 || source.functions.seek(source.stream, 0, 2) != 0) return -1;
    const int64_t end = StreamPosition(source);
    if (!SeekStreamTo(source, here)) return -1;
    return end < here ? -1 : end;
}

// Reads exactly `size` bytes; false when fewer arrive. Byte-sized elements,
// so a short read never counts as a whole one.
inline bool ReadStreamBytes(const StreamSource& source, void* buffer, uint64_t size) {
    if (size == 0) return true;
    if (size > UINT32_MAX) return false;
    const auto count = static_cast<uint32_t>(size);
    return source.functions.read(buffer, 1, count, source.stream) == count;
}

// Moves the position on by `count` bytes without reading them; false when
// that passes the end of the stream.
inline bool SkipStreamBytes(const StreamSource& source, uint64_t count, int64_t length) {
    const int64_t here = StreamPosition(source);
    if (here < 0 || count > static_cast<uint64_t>(length - here)) return false;
    return SeekStreamTo(source, here + static_cast<int64_t>(count));
}

inline uint16_t LittleEndian16(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

inline uint32_t LittleEndian32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}
