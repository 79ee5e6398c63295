// RIFF/WAVE files with PCM data: the format from the "fmt " chunk, and
// reading the data a block at a time.
#include "framework/sound/wave_chunks.h"

namespace {

constexpr int64_t kLargestPosition = 0x7FFFFFFF;

// The "fmt " body as the PCM output format. A body shorter than the 16
// bytes of a format, or a format whose sizes do not agree, is refused: the
// block align is what every size and position of the data is counted in.
bool ReadPcmFormat(SoundConverter* converter, const WaveChunks& chunks) {
    if (chunks.fmtSize < 16) return false;
    uint8_t body[18] = {};
    const uint32_t wanted = chunks.fmtSize < 18 ? chunks.fmtSize : 18;
    if (ReadWaveFormatBody(converter->source, chunks, body, wanted) != wanted) return false;

    WAVEFORMATEX format{};
    format.wFormatTag = Little16(body);
    format.nChannels = Little16(body + 2);
    format.nSamplesPerSec = Little32(body + 4);
    format.nBlockAlign = Little16(body + 12);
    format.wBitsPerSample = Little16(body + 14);
    if (format.wFormatTag != WAVE_FORMAT_PCM) return false;
    if (format.nChannels < 1 || format.nSamplesPerSec == 0) return false;
    if (chunks.fmtSize == 16) format.wBitsPerSample = static_cast<WORD>(format.nBlockAlign / format.nChannels * 8);
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
    WaveChunks chunks;
    if (!FindWaveChunks(source, &chunks) || !ReadPcmFormat(converter, chunks)) return -1;
    if (SeekStream(source, static_cast<int32_t>(chunks.dataStart), 0) != 0) return -1;
    converter->fmtChunkPos = chunks.fmtPosition;
    converter->fmtChunkSize = chunks.fmtSize;
    // A trailing part of a block is no sample.
    converter->dataStart = chunks.dataStart;
    converter->dataSize = chunks.dataSize - chunks.dataSize % converter->format.nBlockAlign;
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
