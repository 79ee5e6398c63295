// A guard in front of the Vorbis decoder: the decoder builds the codebooks
// of a setup header when it starts to decode, and some it cannot survive: a
// codebook whose dimension is 0 makes it divide by zero (or loop for ever)
// once it decodes with that book; one whose code lengths over- or under-fill
// the code tree it fails to build, leaving its tables half made for the next
// call to divide by zero; one of too many entries overflows the stack it
// builds the book on. The codebooks are checked in the setup header before
// the decoder decodes anything, and a stream that has such a book is
// refused as damaged.
#pragma once

#include <ogg/ogg.h>

#include <cstddef>
#include <cstdint>

// Whether the decoder can build every codebook of a setup header (the whole
// packet, from its type byte 5 and "vorbis") and survive it: each has a
// dimension of 1 or more, code lengths that fill the code tree exactly (a
// book of a single code of length 1 or of no code aside, as the decoder
// takes them) and no more used entries than the decoder's stack holds. A
// header whose codebooks cannot be walked within the packet (cut short, a
// lost sync, an unknown lookup type) is refused too: the decoder reads the
// same layout and would refuse it as well.
bool VorbisSetupCodebooksUsable(const uint8_t* packet, size_t bytes);

// Follows the bytes that the decoder reads, in the order it reads them, and
// checks the setup header of every Vorbis stream that begins in them (each
// link of a chained file has its own, and a file may carry several streams
// side by side). The decoder reads a stream's headers straight on from its
// first page, so the watch sees each setup header whole as the decoder
// reads it, however the decoder seeks between them.
struct VorbisSetupWatch {
    struct Stream {
        ogg_stream_state state;
        int packets;  // header packets taken out so far
    };
    ogg_sync_state sync;
    // The streams whose headers are being read: a block of the framework's
    // allocator.
    Stream* streams;
    int streamCount;
    int streamCapacity;
    // A damaged setup header was seen, or bytes could not be followed.
    bool damaged;
};

void StartVorbisSetupWatch(VorbisSetupWatch* watch);
void EndVorbisSetupWatch(VorbisSetupWatch* watch);
// The bytes read next; sets `damaged` when a damaged setup header ends in
// them. Once damaged, the watch reads nothing more. Bytes read after a seek
// need no restart: a page cut short by the seek fails its checksum, and the
// pages after it are found again in the bytes kept.
void WatchVorbisBytes(VorbisSetupWatch* watch, const void* bytes, size_t size);
