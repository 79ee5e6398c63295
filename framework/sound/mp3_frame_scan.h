// Where the MPEG audio frames of an MP3 file lie: past a leading ID3v2 tag,
// before a trailing ID3v1 tag, from the first frame header on. Internal to
// framework/sound.
#pragma once

#include <cstdint>

#include "framework/sound/mpeg_audio_frame_header.h"

struct Mp3Frames {
    uint32_t firstFrame;  // offset in the scanned bytes
    uint32_t dataEnd;     // where the frames end
    uint64_t totalSamples;
    MpegAudioFrameHeader firstHeader;
};

// The bytes an ID3v2 tag at the start of a file takes (with its footer),
// or 0 without one. `bytes` holds the file's first 10 bytes.
uint32_t LeadingId3Bytes(const uint8_t bytes[10]);

// Scans `size` bytes from their start: each frame is found byte by byte
// from where the one before it ends, and counted; the frames end where the
// next one would start at or beyond `size`. False when no frame is found, or
// a frame header does not parse or gives no length.
bool ScanMp3Frames(const uint8_t* bytes, uint32_t size, Mp3Frames* frames);
