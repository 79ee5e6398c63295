// The sound converter's common part: trying each kind in turn, the buffered
// read, seeking, the whole conversion and closing.
#include "framework/sound/sound_converter.h"

#include <cstring>

#include "framework/base/tracked_memory.h"
#include "framework/sound/sound_converter_kinds.h"

namespace {

// The next block into the empty buffer; -1 at the end of the data.
int Refill(SoundConverter* converter) {
    converter->bufferOffset = 0;
    converter->bufferBytes = 0;
    switch (converter->kind) {
        case kSoundConverterWavePcm: return RefillWavePcm(converter);
        case kSoundConverterAcm: return RefillAcm(converter);
        case kSoundConverterOggVorbis: return RefillOggVorbis(converter);
        case kSoundConverterDecodedPcm: return RefillDecodedPcm(converter);
        default: return -1;
    }
}

void CloseKind(SoundConverter* converter) {
    if (converter->kind == kSoundConverterAcm) CloseAcm(converter);
    if (converter->kind == kSoundConverterOggVorbis) CloseOggVorbis(converter);
    if (converter->kind == kSoundConverterDecodedPcm) CloseDecodedPcm(converter);
}

}  // namespace

int OpenSoundConverter(const StreamSource* source, SoundConverter* converter) {
    std::memset(converter, 0, sizeof *converter);
    converter->source = *source;
    int (*const kinds[])(SoundConverter*) = {OpenWavePcm, OpenAcmWave, OpenOggVorbis, OpenAcmMp3};
    bool found = false;
    for (auto open : kinds) {
        if (SeekStream(converter->source, 0, 0) == 0 && open(converter) == 0) {
            found = true;
            break;
        }
    }
    // The DirectShow decoder reads the stream itself.
    if (!found && OpenDecodedMp3(converter) != 0) return -1;

    converter->buffer = static_cast<uint8_t*>(AllocMemory(converter->bufferSize, __FILE__, __LINE__));
    if (converter->buffer == nullptr) {
        CloseKind(converter);
        return -1;
    }
    converter->bufferBytes = 0;
    converter->bufferOffset = 0;
    converter->pcmPosition = 0;
    converter->open = 1;
    converter->atEnd = 0;
    return 0;
}

int ReadSoundConverterPcm(SoundConverter* converter, void* destination, int bytes) {
    if (!converter->open) return -1;
    if (converter->atEnd || bytes <= 0) return 0;
    uint8_t* out = static_cast<uint8_t*>(destination);
    uint32_t delivered = 0;
    const uint32_t wanted = static_cast<uint32_t>(bytes);
    while (delivered < wanted) {
        if (converter->bufferBytes == 0 && Refill(converter) != 0) {
            converter->atEnd = 1;
            break;
        }
        uint32_t step = wanted - delivered;
        if (step > converter->bufferBytes) step = converter->bufferBytes;
        std::memcpy(out + delivered, converter->buffer + converter->bufferOffset, step);
        delivered += step;
        converter->bufferOffset += step;
        converter->bufferBytes -= step;
        converter->pcmPosition += step;
    }
    return static_cast<int>(delivered);
}

int SeekSoundConverter(SoundConverter* converter, int sample) {
    const int64_t target = int64_t(converter->format.nBlockAlign) * sample;
    const int64_t distance = target - converter->pcmPosition;
    // A seek that would hardly move is let go, unless the data has ended:
    // then it starts the data again however short the data is (a loop of a
    // few samples seeks back fewer than 16 bytes).
    if (!converter->atEnd && distance > -16 && distance < 16) return 0;
    if (target < 0 || target > 0x7FFFFFFF) return -1;
    converter->atEnd = 0;
    // The compressed kinds move through their own buffer.
    if (converter->kind == kSoundConverterAcm) return SeekAcm(converter, static_cast<uint32_t>(target));
    switch (converter->kind) {
        case kSoundConverterWavePcm:
            if (target + converter->dataStart > 0x7FFFFFFF ||
                SeekStream(converter->source, static_cast<int32_t>(converter->dataStart + target), 0) != 0)
                return -1;
            break;
        case kSoundConverterOggVorbis:
            if (SeekOggVorbis(converter, sample) != 0) return -1;
            break;
        case kSoundConverterDecodedPcm: SeekDecodedPcm(converter, static_cast<uint32_t>(target)); break;
        default: return -1;
    }
    converter->bufferBytes = 0;
    converter->bufferOffset = 0;
    converter->pcmPosition = static_cast<uint32_t>(target);
    return 0;
}

int GetSoundConverterFormat(const SoundConverter* converter, WAVEFORMATEX* out) {
    *out = converter->format;
    return 0;
}

uint32_t GetSoundConverterPcmSize(SoundConverter* converter) {
    switch (converter->kind) {
        case kSoundConverterWavePcm: return converter->dataSize;
        case kSoundConverterAcm: return AcmPcmSize(converter);
        case kSoundConverterOggVorbis: return OggVorbisPcmSize(converter);
        case kSoundConverterDecodedPcm: return DecodedPcmSize(converter);
        default: return 0;
    }
}

int ConvertWholeSoundToPcm(SoundConverter* converter, WAVEFORMATEX* format, void** pcm, int* bytes) {
    const uint32_t size = GetSoundConverterPcmSize(converter);
    // At least one byte, so that an empty sound still has a block to free.
    void* block = AllocMemory(size != 0 ? size : 1, __FILE__, __LINE__);
    if (block == nullptr) return -1;
    SeekSoundConverter(converter, 0);
    uint32_t delivered = 0;
    if (converter->kind == kSoundConverterWavePcm) {
        // Straight from the stream, from the data's start whatever was read.
        if (SeekStream(converter->source, static_cast<int32_t>(converter->dataStart), 0) == 0)
            delivered = ReadStreamBytes(converter->source, block, size);
        converter->bufferBytes = 0;
        converter->pcmPosition = delivered;
    } else {
        const int read = ReadSoundConverterPcm(converter, block, static_cast<int>(size));
        delivered = read > 0 ? static_cast<uint32_t>(read) : 0;
    }
    *format = converter->format;
    *pcm = block;
    *bytes = static_cast<int>(delivered);
    return 0;
}

int CloseSoundConverter(SoundConverter* converter) {
    if (!converter->open) return -1;
    FreeMemory(converter->buffer);
    converter->buffer = nullptr;
    CloseKind(converter);
    converter->open = 0;
    return 0;
}
