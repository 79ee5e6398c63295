// A guard in front of the Vorbis decoder: a codebook whose dimension is 0
// makes the decoder divide by zero (or loop for ever) once it decodes with
// that book, which ends the program. The codebooks are checked in the setup
// header before the decoder sees the header, and a stream that has such a
// book is refused as damaged.
#pragma once

#include <ogg/ogg.h>

#include <cstddef>
#include <cstdint>

// Whether the codebooks of a setup header (the whole packet, from its type
// byte 5 and "vorbis") all have a dimension of 1 or more. A header whose
// codebooks cannot be walked within the packet (cut short, a lost sync, an
// unknown lookup type) is refused too: the decoder reads the same layout and
// would refuse it as well.
bool VorbisSetupCodebooksUsable(const uint8_t* packet, size_t bytes);

// Follows the bytes that the decoder reads, in the order it reads them, and
// checks the setup header of every Vorbis stream that begins in them (each
// link of a chained file has its own). The decoder reads a stream's headers
// straight on from its first page, so the watch sees each setup header whole
// no later than the decoder could.
struct VorbisSetupWatch {
    static constexpr int kStreams = 4;
    struct Stream {
        ogg_stream_state state;
        int packets;  // header packets taken out so far
    };
    ogg_sync_state sync;
    Stream streams[kStreams];
    int streamCount;
    // A damaged setup header was seen.
    bool damaged;
};

void StartVorbisSetupWatch(VorbisSetupWatch* watch);
void EndVorbisSetupWatch(VorbisSetupWatch* watch);
// The bytes read next; false once a damaged setup header has been seen (in
// these bytes or before), after which no byte may reach the decoder.
bool WatchVorbisBytes(VorbisSetupWatch* watch, const void* bytes, size_t size);
// The reading moved: pages and headers in progress are dropped.
void RestartVorbisSetupWatch(VorbisSetupWatch* watch);
