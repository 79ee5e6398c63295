// RIFF/WAVE files with PCM data: finding the "fmt " and "data" chunks, and
// reading the data a block at a time.
#include <cstring>

#include "framework/sound/sound_converter_kinds.h"

namespace {

constexpr int64_t kLargestPosition = 0x7FFFFFFF;

struct ChunkHeader {
    char id[4];
    uint32_t size;
};

uint32_t Little32(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}
uint16_t Little16(const uint8_t* bytes) { return uint16_t(bytes[0] | bytes[1] << 8); }

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

// The "fmt " body as the PCM output format. A body shorter than the 16
// bytes of a format, or a format whose sizes do not agree, is refused: the
// block align is what every size and position of the data is counted in.
bool ReadPcmFormat(SoundConverter* converter, const ChunkHeader& header) {
    const StreamSource& source = converter->source;
    const int32_t position = TellStream(source);
    if (position < 0 || header.size < 16) return false;
    converter->fmtChunkPos = static_cast<uint32_t>(position);
    converter->fmtChunkSize = header.size;

    uint8_t body[18] = {};
    const uint32_t wanted = header.size < 18 ? header.size : 18;
    if (ReadStreamBytes(source, body, wanted) != wanted) return false;
    if (SeekStream(source, position, 0) != 0 || !SkipChunkBody(source, header)) return false;

    WAVEFORMATEX format{};
    format.wFormatTag = Little16(body);
    format.nChannels = Little16(body + 2);
    format.nSamplesPerSec = Little32(body + 4);
    format.nBlockAlign = Little16(body + 12);
    format.wBitsPerSample = Little16(body + 14);
    if (format.wFormatTag != WAVE_FORMAT_PCM) return false;
    if (format.nChannels < 1 || format.nSamplesPerSec == 0) return false;
    if (header.size == 16) format.wBitsPerSample = static_cast<WORD>(format.nBlockAlign / format.nChannels * 8);
    if (format.nBlockAlign == 0 || format.nBlockAlign != format.nChannels * format.wBitsPerSample / 8) return false;
    const uint64_t average = uint64_t(format.nBlockAlign) * format.nSamplesPerSec;
    if (average > kLargestPosition) return false;
    format.nAvgBytesPerSec = static_cast<DWORD>(average);
    format.cbSize = 0;
    converter->format = format;
    return true;
}

}  // namespace

int OpenWavePcm(SoundConverter* converter) {
    const StreamSource& source = converter->source;
    ChunkHeader header;
    char wave[4];
    if (!ReadChunkHeader(source, &header) || !IsChunk(header, "RIFF")) return -1;
    if (ReadStreamBytes(source, wave, 4) != 4 || std::memcmp(wave, "WAVE", 4) != 0) return -1;

    if (!ReadChunkHeader(source, &header)) return -1;
    if (IsChunk(header, "bext")) {
        if (!SkipChunkBody(source, header) || !ReadChunkHeader(source, &header)) return -1;
    }
    if (!IsChunk(header, "fmt ") || !ReadPcmFormat(converter, header)) return -1;

    for (;;) {
        if (!ReadChunkHeader(source, &header)) return -1;
        if (IsChunk(header, "data")) break;
        if (!SkipChunkBody(source, header)) return -1;
    }
    const int32_t dataStart = TellStream(source);
    if (dataStart < 0) return -1;

    // A data chunk that claims more than the stream holds ends where the
    // stream does, and a trailing part of a block is no sample.
    if (SeekStream(source, 0, 2) != 0) return -1;
    const int32_t end = TellStream(source);
    if (end < dataStart || SeekStream(source, dataStart, 0) != 0) return -1;
    uint32_t size = header.size;
    if (size > uint32_t(end - dataStart)) size = uint32_t(end - dataStart);
    size -= size % converter->format.nBlockAlign;

    converter->dataStart = static_cast<uint32_t>(dataStart);
    converter->dataSize = size;
    converter->kind = kSoundConverterWavePcm;
    converter->bufferSize = converter->format.nAvgBytesPerSec;
    return 0;
}

int RefillWavePcm(SoundConverter* converter) {
    const StreamSource& source = converter->source;
    const int32_t position = TellStream(source);
    if (position < 0) return -1;
    const int64_t done = int64_t(position) - converter->dataStart;
    if (done < 0 || done >= converter->dataSize) return -1;
    const uint32_t remaining = converter->dataSize - static_cast<uint32_t>(done);
    const uint32_t wanted = remaining < converter->bufferSize ? remaining : converter->bufferSize;
    // A stream that delivers nothing has ended, whatever the chunk said.
    const uint32_t read = ReadStreamBytes(source, converter->buffer, wanted);
    if (read == 0) return -1;
    converter->bufferBytes = read;
    return 0;
}
