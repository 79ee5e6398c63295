// Compressed WAVE and MP3 data through the audio compression manager: the
// stream from the source format to 16-bit PCM, the conversion a block at a
// time from the copy of the compressed data, the seek that starts the
// stream again from the first compressed byte to go back, the size, and
// closing.
#include <algorithm>

#include "framework/base/tracked_memory.h"
#include "framework/sound/sound_converter_kinds.h"

namespace {

// Compressed bytes handed to the manager at a time. A source block larger
// than that is handed whole: the manager converts nothing but whole blocks.
uint32_t ChunkBytes(const SoundConverter* converter) {
    constexpr uint32_t kChunkBytes = 2048;
    return std::max<uint32_t>(kChunkBytes, converter->acmSourceFormat->nBlockAlign);
}

int OpenStream(SoundConverter* converter) {
    converter->acmStream = nullptr;
    if (acmStreamOpen(&converter->acmStream, nullptr, converter->acmSourceFormat, &converter->format, nullptr, 0, 0,
                      ACM_STREAMOPENF_NONREALTIME) != MMSYSERR_NOERROR) {
        converter->acmStream = nullptr;
        return -1;
    }
    converter->acmConsumed = 0;
    return 0;
}

}  // namespace

int StartAcmConversion(SoundConverter* converter) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    if (acmFormatSuggest(nullptr, converter->acmSourceFormat, &format, sizeof format,
                         ACM_FORMATSUGGESTF_WFORMATTAG) != MMSYSERR_NOERROR)
        return -1;
    // Every size and position of the output is counted in its blocks.
    if (format.wFormatTag != WAVE_FORMAT_PCM || format.nBlockAlign == 0 || format.nAvgBytesPerSec == 0) return -1;
    format.cbSize = 0;
    converter->format = format;
    return OpenStream(converter);
}

int RefillAcm(SoundConverter* converter) {
    if (converter->acmStream == nullptr || converter->acmConsumed >= converter->acmDataSize) return -1;
    const uint32_t left = converter->acmDataSize - converter->acmConsumed;
    ACMSTREAMHEADER header{};
    header.cbStruct = sizeof header;
    header.pbSrc = converter->acmData + converter->acmConsumed;
    header.cbSrcLength = std::min(ChunkBytes(converter), left);
    header.pbDst = converter->buffer;
    header.cbDstLength = converter->bufferSize;
    bool converted = false;
    if (acmStreamPrepareHeader(converter->acmStream, &header, 0) == MMSYSERR_NOERROR) {
        converted =
            acmStreamConvert(converter->acmStream, &header, ACM_STREAMCONVERTF_BLOCKALIGN) == MMSYSERR_NOERROR;
        acmStreamUnprepareHeader(converter->acmStream, &header, 0);
    }
    // Nothing more comes out of data that gives nothing now.
    if (!converted || header.cbDstLengthUsed == 0) {
        converter->acmConsumed = converter->acmDataSize;
        return -1;
    }
    converter->acmConsumed += std::min(header.cbSrcLengthUsed, left);
    converter->bufferBytes = std::min(header.cbDstLengthUsed, converter->bufferSize);
    return 0;
}

int SeekAcm(SoundConverter* converter, uint32_t target) {
    if (target < converter->pcmPosition) {
        // The manager's decoders only go forward: start again from the
        // first compressed byte.
        if (converter->acmStream != nullptr) acmStreamClose(converter->acmStream, 0);
        converter->pcmPosition = 0;
        converter->bufferBytes = 0;
        converter->bufferOffset = 0;
        if (OpenStream(converter) != 0) return -1;
    }
    while (uint64_t(converter->pcmPosition) + converter->bufferBytes < target) {
        converter->pcmPosition += converter->bufferBytes;
        converter->bufferBytes = 0;
        converter->bufferOffset = 0;
        // The data ended first: the seek stops there.
        if (RefillAcm(converter) != 0) return 0;
    }
    const uint32_t skip = target - converter->pcmPosition;
    converter->bufferOffset += skip;
    converter->bufferBytes -= skip;
    converter->pcmPosition = target;
    return 0;
}

uint32_t AcmPcmSize(SoundConverter* converter) {
    if (converter->acmTotalSamples >= 0)
        return static_cast<uint32_t>(converter->acmTotalSamples) * converter->format.nBlockAlign;
    DWORD bytes = 0;
    if (converter->acmStream == nullptr ||
        acmStreamSize(converter->acmStream, converter->acmDataSize, &bytes, ACM_STREAMSIZEF_SOURCE) !=
            MMSYSERR_NOERROR)
        return 0;
    return bytes;
}

void CloseAcm(SoundConverter* converter) {
    if (converter->acmStream != nullptr) acmStreamClose(converter->acmStream, 0);
    converter->acmStream = nullptr;
    FreeMemory(converter->acmSourceFormat);
    converter->acmSourceFormat = nullptr;
    FreeMemory(converter->acmData);
    converter->acmData = nullptr;
    converter->acmDataSize = 0;
    converter->acmConsumed = 0;
}
