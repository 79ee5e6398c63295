// Reading PCM that was decoded into memory whole: blocks copied from the
// decoded block, seeks that only move the read position, and the block
// freed at the close.
#include <cstring>

#include "framework/base/tracked_memory.h"
#include "framework/sound/sound_converter_kinds.h"

int RefillDecodedPcm(SoundConverter* converter) {
    if (converter->decodedPosition >= converter->decodedBytes) return -1;
    uint32_t bytes = converter->decodedBytes - converter->decodedPosition;
    if (bytes > converter->bufferSize) bytes = converter->bufferSize;
    std::memcpy(converter->buffer, converter->decodedPcm + converter->decodedPosition, bytes);
    converter->decodedPosition += bytes;
    converter->bufferBytes = bytes;
    return 0;
}

void SeekDecodedPcm(SoundConverter* converter, uint32_t byte) { converter->decodedPosition = byte; }

uint32_t DecodedPcmSize(SoundConverter* converter) { return converter->decodedBytes; }

void CloseDecodedPcm(SoundConverter* converter) {
    FreeMemory(converter->decodedPcm);
    converter->decodedPcm = nullptr;
    converter->decodedCapacity = 0;
    converter->decodedBytes = 0;
    converter->decodedPosition = 0;
}
