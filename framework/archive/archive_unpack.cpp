// The archive's own LZ scheme. A packed block is a 9-byte header (unpacked
// size, packed size with the header, escape byte) and a token stream of
// literals and back-references. The unpacker is bounded by its input and its
// output: a token that would read past the packed bytes, write past the
// unpacked size or copy from before the output's start refuses the block.
#include <cstring>

#include "framework/archive/archive_reader.h"

namespace {

uint32_t ReadWord(const uint8_t* bytes) {
    uint32_t value;
    std::memcpy(&value, bytes, 4);
    return value;
}

// Copies `length` bytes from `distance` bytes back. When the copy runs over
// its own output, blocks that double in size repeat the last `distance`
// bytes, as a byte-by-byte copy would.
void CopyBackReference(uint8_t* out, uint32_t distance, uint32_t length) {
    const uint8_t* source = out - distance;
    if (length <= distance) {
        std::memcpy(out, source, length);
        return;
    }
    uint32_t copied = 0;
    uint32_t block = distance;
    while (copied < length) {
        uint32_t n = length - copied < block ? length - copied : block;
        std::memcpy(out + copied, source, n);
        copied += n;
        block *= 2;
    }
}

}  // namespace

int UnpackArchiveDataBounded(const uint8_t* packed, uint64_t available, uint8_t* destination,
                             uint32_t capacity) {
    if (available < ArchivePackedHeaderSize) return -1;
    uint32_t unpackedSize = ReadWord(packed);
    uint32_t packedSize = ReadWord(packed + 4);
    uint8_t escape = packed[8];
    if (packedSize < ArchivePackedHeaderSize || packedSize > available || unpackedSize != capacity) return -1;

    const uint8_t* in = packed + ArchivePackedHeaderSize;
    const uint8_t* end = packed + packedSize;
    uint32_t written = 0;
    while (in < end) {
        uint8_t byte = *in++;
        if (byte != escape || (in < end && *in == escape)) {
            if (byte == escape) ++in;
            if (written == capacity) return -1;
            destination[written++] = byte;
            continue;
        }
        if (in == end) return -1;
        uint32_t code = *in++;
        if (code > escape) --code;
        // Two low bits set would ask for four distance bytes, which the
        // format does not have.
        uint32_t distanceBytes = (code & 3) + 1;
        if (distanceBytes == 4) return -1;
        uint32_t length = code >> 3;
        if (code & 4) {
            if (in == end) return -1;
            length |= uint32_t{*in++} << 5;
        }
        length += 4;
        if (static_cast<uint64_t>(end - in) < distanceBytes) return -1;
        uint32_t distance = 0;
        for (uint32_t i = 0; i < distanceBytes; ++i) distance |= uint32_t{*in++} << (8 * i);
        distance += 1;
        if (distance > written || length > capacity - written) return -1;
        CopyBackReference(destination + written, distance, length);
        written += length;
    }
    return written == capacity ? 0 : -1;
}

uint32_t UnpackArchiveData(const void* packed, void* destination) {
    const auto* bytes = static_cast<const uint8_t*>(packed);
    uint32_t unpackedSize = ReadWord(bytes);
    uint32_t packedSize = ReadWord(bytes + 4);
    if (destination == nullptr || packedSize == ArchivePackedHeaderSize) return unpackedSize;
    // Bounded by the block's own header; the caller vouches that the block
    // holds that many bytes and the destination the unpacked size.
    if (UnpackArchiveDataBounded(bytes, packedSize, static_cast<uint8_t*>(destination), unpackedSize) != 0)
        return 0;
    return unpackedSize;
}
