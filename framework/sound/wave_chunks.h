// Finding the "fmt " and "data" chunks of a RIFF/WAVE file, shared by the
// readers of PCM and of compressed WAVE data. Internal to framework/sound.
#pragma once

#include <cstdint>

#include "framework/sound/sound_converter_kinds.h"

struct WaveChunks {
    uint32_t fmtPosition;  // of the "fmt " chunk's body
    uint32_t fmtSize;
    uint32_t dataStart;  // of the "data" chunk's body
    // The data chunk's size, cut to where the stream ends when it claims
    // more than the stream holds.
    uint32_t dataSize;
};

// Reads the stream from its start: "RIFF", "WAVE", a "bext" chunk that is
// skipped if there is one, the "fmt " chunk, then chunks skipped (with their
// pad byte) up to the "data" chunk. False when the stream is no such file.
bool FindWaveChunks(const StreamSource& source, WaveChunks* chunks);

// Reads up to `bytes` bytes of the "fmt " body into `body`: the count read,
// or 0 when the stream refuses.
uint32_t ReadWaveFormatBody(const StreamSource& source, const WaveChunks& chunks, void* body, uint32_t bytes);

uint32_t Little32(const uint8_t* bytes);
uint16_t Little16(const uint8_t* bytes);
