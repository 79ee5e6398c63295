// The chunk walk of RIFF/WAVE files.
#include "framework/sound/wave_chunks.h"

#include <cstring>

namespace {

constexpr int64_t kLargestPosition = 0x7FFFFFFF;

struct ChunkHeader {
    char id[4];
    uint32_t size;
};

bool ReadChunkHeader(const StreamSource& source, ChunkHeader* header) {
    uint8_t bytes[8];
    if (ReadStreamBytes(source, bytes, 8) != 8) return false;
    std::memcpy(header->id, bytes, 4);
    header->size = Little32(bytes + 4);
    return true;
}

bool IsChunk(const ChunkHeader& header, const char* id) { return std::memcmp(header.id, id, 4) == 0; }

// Moves past a chunk's body and its pad byte (bodies start at even offsets).
// False when that lies beyond what a stream position can hold.
bool SkipChunkBody(const StreamSource& source, const ChunkHeader& header) {
    const int32_t here = TellStream(source);
    if (here < 0) return false;
    const int64_t next = int64_t(here) + header.size + (header.size & 1);
    if (next > kLargestPosition) return false;
    return SeekStream(source, static_cast<int32_t>(next), 0) == 0;
}

}  // namespace

uint32_t Little32(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

uint16_t Little16(const uint8_t* bytes) { return uint16_t(bytes[0] | bytes[1] << 8); }

bool FindWaveChunks(const StreamSource& source, WaveChunks* chunks) {
    ChunkHeader header;
    char wave[4];
    if (!ReadChunkHeader(source, &header) || !IsChunk(header, "RIFF")) return false;
    if (ReadStreamBytes(source, wave, 4) != 4 || std::memcmp(wave, "WAVE", 4) != 0) return false;

    if (!ReadChunkHeader(source, &header)) return false;
    if (IsChunk(header, "bext")) {
        if (!SkipChunkBody(source, header) || !ReadChunkHeader(source, &header)) return false;
    }
    if (!IsChunk(header, "fmt ")) return false;
    const int32_t fmtPosition = TellStream(source);
    if (fmtPosition < 0 || !SkipChunkBody(source, header)) return false;
    chunks->fmtPosition = static_cast<uint32_t>(fmtPosition);
    chunks->fmtSize = header.size;

    for (;;) {
        if (!ReadChunkHeader(source, &header)) return false;
        if (IsChunk(header, "data")) break;
        if (!SkipChunkBody(source, header)) return false;
    }
    const int32_t dataStart = TellStream(source);
    if (dataStart < 0) return false;
    if (SeekStream(source, 0, 2) != 0) return false;
    const int32_t end = TellStream(source);
    if (end < dataStart || SeekStream(source, dataStart, 0) != 0) return false;
    chunks->dataStart = static_cast<uint32_t>(dataStart);
    chunks->dataSize = header.size < uint32_t(end - dataStart) ? header.size : uint32_t(end - dataStart);
    return true;
}

uint32_t ReadWaveFormatBody(const StreamSource& source, const WaveChunks& chunks, void* body, uint32_t bytes) {
    if (bytes > chunks.fmtSize) bytes = chunks.fmtSize;
    if (SeekStream(source, static_cast<int32_t>(chunks.fmtPosition), 0) != 0) return 0;
    return ReadStreamBytes(source, body, bytes);
}
