// RIFF/WAVE files with compressed data: the source format from the "fmt "
// chunk, the data chunk copied whole, and a compression manager stream.
#include <algorithm>

#include "framework/base/tracked_memory.h"
#include "framework/sound/wave_chunks.h"

namespace {

// A format and the 65535 bytes its cbSize can name at most.
constexpr uint32_t kLargestFormatBody = sizeof(WAVEFORMATEX) + 0xFFFF;

// The "fmt " body as a source format block. Its cbSize names no more bytes
// than the body holds (a 16-byte body has none), and a format without
// channels, rate or block align never reaches a decoder.
WAVEFORMATEX* ReadSourceFormat(const StreamSource& source, const WaveChunks& chunks) {
    const uint32_t bytes = std::min(chunks.fmtSize, kLargestFormatBody);
    if (bytes < 16) return nullptr;
    auto* format = static_cast<WAVEFORMATEX*>(
        AllocZeroedMemory(std::max<size_t>(bytes, sizeof(WAVEFORMATEX)), __FILE__, __LINE__));
    if (format == nullptr) return nullptr;
    if (ReadWaveFormatBody(source, chunks, format, bytes) != bytes || format->nChannels == 0 ||
        format->nSamplesPerSec == 0 || format->nBlockAlign == 0) {
        FreeMemory(format);
        return nullptr;
    }
    const uint32_t extra = bytes > sizeof(WAVEFORMATEX) ? bytes - uint32_t(sizeof(WAVEFORMATEX)) : 0;
    if (format->cbSize > extra) format->cbSize = static_cast<WORD>(extra);
    return format;
}

}  // namespace

int OpenAcmWave(SoundConverter* converter) {
    const StreamSource& source = converter->source;
    WaveChunks chunks;
    if (!FindWaveChunks(source, &chunks)) return -1;
    converter->acmSourceFormat = ReadSourceFormat(source, chunks);
    if (converter->acmSourceFormat == nullptr) return -1;
    converter->fmtChunkPos = chunks.fmtPosition;
    converter->fmtChunkSize = chunks.fmtSize;
    converter->dataStart = chunks.dataStart;
    converter->dataSize = chunks.dataSize;
    converter->acmTotalSamples = -1;

    // The whole data chunk, so that conversion never waits on the stream.
    converter->acmData = static_cast<uint8_t*>(AllocMemory(std::max(chunks.dataSize, 1u), __FILE__, __LINE__));
    if (converter->acmData == nullptr || SeekStream(source, static_cast<int32_t>(chunks.dataStart), 0) != 0) {
        CloseAcm(converter);
        return -1;
    }
    converter->acmDataSize = ReadStreamBytes(source, converter->acmData, chunks.dataSize);
    if (SeekStream(source, static_cast<int32_t>(chunks.dataStart), 0) != 0 || StartAcmConversion(converter) != 0) {
        CloseAcm(converter);
        return -1;
    }

    // One second of output, and never less than one source block gives: a
    // conversion into less room would give nothing.
    DWORD blockOutput = 0;
    if (acmStreamSize(converter->acmStream, converter->acmSourceFormat->nBlockAlign, &blockOutput,
                      ACM_STREAMSIZEF_SOURCE) != MMSYSERR_NOERROR)
        blockOutput = 0;
    converter->bufferSize = std::max<uint32_t>(converter->format.nAvgBytesPerSec, blockOutput);
    converter->kind = kSoundConverterAcm;
    return 0;
}
