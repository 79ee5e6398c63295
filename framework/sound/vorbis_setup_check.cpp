// The codebook walk of a Vorbis setup header and the watch over the bytes
// the decoder reads. The header is bit-packed from the low bit of each byte
// up; after the packet type and "vorbis" come the count of codebooks less
// one (8 bits) and the codebooks, each: the sync 0x564342 (24 bits), the
// dimension (16), the entry count (24), the code lengths, ordered (a first
// length, then runs of entries per length) or not (one length per entry, or
// per used entry when sparse), and the lookup type (4): none, or a minimum
// and a delta (32 bits each), the bits per value less one (4), the sequence
// flag (1) and the values: for type 1 the side of the largest lattice whose
// points fit in the entries, for type 2 one per entry and dimension.
#include "framework/sound/vorbis_setup_check.h"

#include <cstring>

#include "framework/base/tracked_memory.h"

namespace {

// Reads `count` bits (at most 32) into `value`; false past the packet's end.
bool ReadBits(oggpack_buffer* bits, int count, uint32_t* value) {
    const long read = oggpack_read(bits, count);
    if (read < 0) return false;
    *value = static_cast<uint32_t>(read);
    return true;
}

// Passes over `count` bits; false when they run past the packet's end.
bool SkipBits(oggpack_buffer* bits, uint64_t count, size_t bytes) {
    if (count > uint64_t(bytes) * 8) return false;
    oggpack_adv(bits, static_cast<long>(count));
    return oggpack_bits(bits) <= long(bytes) * 8;
}

// The bits needed to write `value`: 0 for 0.
int BitLength(uint32_t value) {
    int length = 0;
    for (; value != 0; value >>= 1) ++length;
    return length;
}

// Whether base to the power `exponent` (1 or more) is at most `limit`.
bool PowerAtMost(uint64_t base, uint32_t exponent, uint64_t limit) {
    if (base <= 1) return base <= limit;
    uint64_t power = 1;
    for (uint32_t i = 0; i < exponent; ++i) {
        power *= base;
        if (power > limit) return false;
    }
    return true;
}

// The largest side whose power `dimensions` is at most `entries`.
uint32_t LatticeSide(uint32_t entries, uint32_t dimensions) {
    uint32_t low = 0;
    uint32_t high = entries;
    while (low < high) {
        const uint32_t middle = low + (high - low + 1) / 2;
        if (PowerAtMost(middle, dimensions, entries))
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

// The library builds a codebook's decode table on its stack: a pointer and
// an int for each used entry. Books of more used entries than fit well
// within a decoding thread's stack (8 MiB by default, less the frames
// below) end the program; the encoder's largest books have 6561 entries.
constexpr uint32_t kMostUsedEntries = (1u << 20) / (sizeof(void*) + sizeof(int));

// The code tree that a book's lengths describe, as the sum of 2^(32 - length)
// over its used entries: exactly 2^32 when the codes fill the tree.
struct CodeTree {
    uint64_t filled = 0;
    uint32_t used = 0;
    uint32_t firstLength = 0;
    void Add(uint32_t length, uint32_t entries) {
        if (entries == 0) return;
        if (used == 0) firstLength = length;
        filled += uint64_t(entries) << (32 - length);
        used += entries;
    }
    // The library builds no book whose codes over- or under-fill the tree,
    // save one of a single code of length 1 (or of none at all).
    bool Buildable() const {
        if (used > kMostUsedEntries) return false;
        if (used == 0 || (used == 1 && firstLength == 1)) return true;
        return filled == uint64_t(1) << 32;
    }
};

// Reads one codebook; false when its dimension is 0, the library could not
// build it, or it cannot be read.
bool ReadCodebook(oggpack_buffer* bits, size_t bytes) {
    uint32_t sync = 0;
    uint32_t dimensions = 0;
    uint32_t entries = 0;
    uint32_t ordered = 0;
    if (!ReadBits(bits, 24, &sync) || sync != 0x564342) return false;
    // Past a dimension of 0 the layout cannot be followed either: the size
    // of a type 1 lookup has no bound.
    if (!ReadBits(bits, 16, &dimensions) || dimensions == 0) return false;
    if (!ReadBits(bits, 24, &entries) || !ReadBits(bits, 1, &ordered)) return false;
    CodeTree tree;
    uint32_t length = 0;
    if (ordered) {
        if (!ReadBits(bits, 5, &length)) return false;
        // Each run takes at least one bit: the packet bounds the loop. The
        // lengths run from the first one up, one per run, to 32 at most.
        uint32_t run = 0;
        for (uint32_t entry = 0; entry < entries; entry += run) {
            if (++length > 32) return false;
            if (!ReadBits(bits, BitLength(entries - entry), &run) || run > entries - entry) return false;
            tree.Add(length, run);
        }
    } else {
        uint32_t sparse = 0;
        if (!ReadBits(bits, 1, &sparse)) return false;
        for (uint32_t entry = 0; entry < entries; ++entry) {
            uint32_t used = 1;
            if (sparse && !ReadBits(bits, 1, &used)) return false;
            if (used && !ReadBits(bits, 5, &length)) return false;
            if (used) tree.Add(length + 1, 1);
        }
    }
    if (!tree.Buildable()) return false;
    uint32_t lookup = 0;
    if (!ReadBits(bits, 4, &lookup)) return false;
    if (lookup == 0) return true;
    if (lookup > 2) return false;
    uint32_t valueBits = 0;
    if (!SkipBits(bits, 64, bytes) || !ReadBits(bits, 4, &valueBits) || !SkipBits(bits, 1, bytes)) return false;
    const uint64_t values = lookup == 1 ? LatticeSide(entries, dimensions) : uint64_t(entries) * dimensions;
    return SkipBits(bits, values * (valueBits + 1), bytes);
}

bool StartsWith(const ogg_packet& packet, const char (&head)[8]) {
    return packet.bytes >= 7 && std::memcmp(packet.packet, head, 7) == 0;
}

void DropStream(VorbisSetupWatch* watch, int index) {
    ogg_stream_clear(&watch->streams[index].state);
    watch->streams[index] = watch->streams[--watch->streamCount];
}

// Takes the stream's waiting header packets out and checks its setup
// header; the stream is let go after its three headers.
void TakeHeaders(VorbisSetupWatch* watch, int index) {
    VorbisSetupWatch::Stream& stream = watch->streams[index];
    ogg_packet packet;
    for (;;) {
        const int got = ogg_stream_packetout(&stream.state, &packet);
        if (got == 0) return;
        // A gap: the decoder gives up on these headers; the next packet is
        // still checked, in case it does not.
        if (got < 0) continue;
        if (StartsWith(packet, "\x05vorbis") &&
            !VorbisSetupCodebooksUsable(packet.packet, static_cast<size_t>(packet.bytes))) {
            watch->damaged = true;
            return;
        }
        if (++stream.packets == 3) {
            DropStream(watch, index);
            return;
        }
    }
}

// Room for one more stream; false when none can be had.
bool MakeRoom(VorbisSetupWatch* watch) {
    if (watch->streamCount < watch->streamCapacity) return true;
    const int capacity = watch->streamCapacity == 0 ? 2 : watch->streamCapacity * 2;
    void* grown = ReallocMemory(watch->streams, sizeof(VorbisSetupWatch::Stream) * size_t(capacity), __FILE__,
                                __LINE__);
    if (grown == nullptr) return false;
    watch->streams = static_cast<VorbisSetupWatch::Stream*>(grown);
    watch->streamCapacity = capacity;
    return true;
}

void TakePage(VorbisSetupWatch* watch, ogg_page* page) {
    const int serial = ogg_page_serialno(page);
    int index = 0;
    while (index < watch->streamCount && watch->streams[index].state.serialno != serial) ++index;
    if (ogg_page_bos(page)) {
        // A new stream under a number in use replaces the old one.
        if (index < watch->streamCount) DropStream(watch, index);
        ogg_stream_state candidate;
        ogg_stream_init(&candidate, serial);
        ogg_stream_pagein(&candidate, page);
        ogg_packet first;
        if (ogg_stream_packetpeek(&candidate, &first) != 1 || !StartsWith(first, "\x01vorbis")) {
            ogg_stream_clear(&candidate);
            return;
        }
        // A stream that cannot be followed cannot be let through either.
        if (!MakeRoom(watch)) {
            ogg_stream_clear(&candidate);
            watch->damaged = true;
            return;
        }
        index = watch->streamCount++;
        watch->streams[index] = {candidate, 0};
    } else if (index == watch->streamCount || ogg_stream_pagein(&watch->streams[index].state, page) != 0) {
        return;
    }
    TakeHeaders(watch, index);
}

}  // namespace

bool VorbisSetupCodebooksUsable(const uint8_t* packet, size_t bytes) {
    if (bytes < 7 || std::memcmp(packet, "\x05vorbis", 7) != 0) return false;
    oggpack_buffer bits;
    oggpack_readinit(&bits, const_cast<unsigned char*>(packet + 7), static_cast<int>(bytes - 7));
    uint32_t lastBook = 0;
    if (!ReadBits(&bits, 8, &lastBook)) return false;
    for (uint32_t book = 0; book <= lastBook; ++book) {
        if (!ReadCodebook(&bits, bytes - 7)) return false;
    }
    return true;
}

void StartVorbisSetupWatch(VorbisSetupWatch* watch) {
    ogg_sync_init(&watch->sync);
    watch->streams = nullptr;
    watch->streamCount = 0;
    watch->streamCapacity = 0;
    watch->damaged = false;
}

void EndVorbisSetupWatch(VorbisSetupWatch* watch) {
    while (watch->streamCount > 0) DropStream(watch, watch->streamCount - 1);
    ogg_sync_clear(&watch->sync);
    FreeMemory(watch->streams);
    watch->streams = nullptr;
    watch->streamCapacity = 0;
}

void WatchVorbisBytes(VorbisSetupWatch* watch, const void* bytes, size_t size) {
    if (watch->damaged || size == 0) return;
    char* buffer = ogg_sync_buffer(&watch->sync, static_cast<long>(size));
    // Bytes that cannot be followed cannot be let through either.
    if (buffer == nullptr) {
        watch->damaged = true;
        return;
    }
    std::memcpy(buffer, bytes, size);
    ogg_sync_wrote(&watch->sync, static_cast<long>(size));
    ogg_page page;
    while (!watch->damaged) {
        const int got = ogg_sync_pageout(&watch->sync, &page);
        if (got == 0) break;
        // Below 0: bytes skipped to the next page.
        if (got > 0) TakePage(watch, &page);
    }
}
