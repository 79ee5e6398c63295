// The ID3v2 tag's length and the frame scan of MP3 files.
#include "framework/sound/mp3_frame_scan.h"

#include <cstring>

uint32_t LeadingId3Bytes(const uint8_t bytes[10]) {
    if (std::memcmp(bytes, "ID3", 3) != 0) return 0;
    const uint8_t version = bytes[3];
    const uint8_t flags = bytes[5];
    const uint32_t size = ((uint32_t(bytes[6]) * 128 + bytes[7]) * 128 + bytes[8]) * 128 + bytes[9];
    // A version 4 tag with its footer flag set ends in a 10-byte footer.
    const uint32_t footer = (version == 4 && (flags & 0x10) != 0) ? 10 : 0;
    return size + 10 + footer;
}

bool ScanMp3Frames(const uint8_t* bytes, uint32_t size, Mp3Frames* frames) {
    bool found = false;
    uint32_t position = 0;
    Mp3Frames scan{};
    for (;;) {
        while (position + 1 < size && !(bytes[position] == 0xFF && (bytes[position + 1] & 0xF0) == 0xF0))
            ++position;
        if (uint64_t(position) + 4 > size) {
            position = size;
            break;
        }
        MpegAudioFrameHeader header;
        if (ParseMpegAudioFrameHeader(&header, bytes + position) != 0 || header.frameBytes == 0) return false;
        if (!found) {
            found = true;
            scan.firstFrame = position;
            scan.firstHeader = header;
        }
        scan.totalSamples += uint32_t(header.samplesPerFrame);
        const uint64_t next = uint64_t(position) + uint32_t(header.frameBytes);
        if (next >= size) {
            position = size;
            break;
        }
        position = static_cast<uint32_t>(next);
    }
    if (!found) return false;
    scan.dataEnd = position;
    *frames = scan;
    return true;
}
