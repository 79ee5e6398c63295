// The refill of a stream sound's ring: a little ahead of the play cursor,
// from the converter, then silence once the data has ended, and the stop
// once the last data byte has been played. A looping sound's data starts
// again right after its end.
#include <algorithm>
#include <cstring>

#include "framework/sound/sound_system_state.h"
#include "framework/sound/stream_sound.h"

namespace {

// The queue below which a refill writes more than an eighth of a second,
// in 1/512 seconds (0.375 s).
constexpr uint32_t kLowQueue = 192;

uint32_t DownToBlocks(uint32_t bytes, uint32_t block) { return bytes / block * block; }
uint32_t UpToBlocks(uint32_t bytes, uint32_t block) { return (bytes + block - 1) / block * block; }

// Whether the cursor lies in the span from the write position forward to the
// write limit: the quarter second after what was written, where the cursor is
// only after an underrun or when more than 3/4 second is queued.
bool InWriteSpan(uint32_t cursor, int32_t write, int32_t limit) {
    const int64_t p = cursor;
    if (write < limit) return write < p && p < limit;
    if (limit < write) return p < limit || p > write;
    return false;
}

uint32_t PlayCursor(SoundRecord* record) {
    DWORD cursor = 0;
    record->voices[0].buffer->GetCurrentPosition(&cursor, nullptr);
    return cursor;
}

bool RingPlays(SoundRecord* record) {
    uint32_t status = 0;
    return GetSoundBufferVoiceStatus(&record->voices[0], &status) == 0 && (status & DSBSTATUS_PLAYING) != 0;
}

// Writes `bytes` of silence at `offset` (wrapping); the bytes written.
uint32_t WriteSilence(SoundRecord* record, uint32_t offset, uint32_t bytes) {
    void* part1 = nullptr;
    void* part2 = nullptr;
    uint32_t size1 = 0;
    uint32_t size2 = 0;
    if (LockSoundBufferVoice(&record->voices[0], offset % record->ringBufferSize, bytes, &part1, &size1, &part2,
                             &size2) != 0)
        return 0;
    // 8-bit data is unsigned, 16-bit data signed.
    const int silence = record->format.wBitsPerSample == 8 ? 127 : 0;
    std::memset(part1, silence, size1);
    if (part2 != nullptr) std::memset(part2, silence, size2);
    UnlockSoundBufferVoice(&record->voices[0], part1, size1, part2, size2);
    return size1 + size2;
}

// The span of the ring a refill has locked: one or two pieces.
struct LockedSpan {
    uint8_t* part[2];
    uint32_t size[2];
};

// Reads from the converter into the span from `offset` on, up to `bytes`
// (the second piece once the first is full). The bytes delivered: fewer
// only when the data ends.
uint32_t ReadIntoSpan(SoundConverter* converter, const LockedSpan& span, uint32_t offset, uint32_t bytes) {
    uint32_t done = 0;
    while (done < bytes) {
        const uint32_t at = offset + done;
        const int piece = at < span.size[0] ? 0 : 1;
        const uint32_t within = piece == 0 ? at : at - span.size[0];
        if (span.part[piece] == nullptr || within >= span.size[piece]) break;
        const uint32_t room = std::min(span.size[piece] - within, bytes - done);
        const int got = ReadSoundConverterPcm(converter, span.part[piece] + within, static_cast<int>(room));
        if (got <= 0) break;
        done += static_cast<uint32_t>(got);
        if (static_cast<uint32_t>(got) < room) break;
    }
    return done;
}

// Fills `bytes` of the span from `offset` on with silence.
void SilenceInSpan(const SoundRecord* record, const LockedSpan& span, uint32_t offset, uint32_t bytes) {
    const int silence = record->format.wBitsPerSample == 8 ? 127 : 0;
    for (int piece = 0; piece < 2 && bytes != 0; ++piece) {
        if (span.part[piece] == nullptr || offset >= span.size[piece]) {
            offset -= std::min(offset, span.size[piece]);
            continue;
        }
        const uint32_t run = std::min(span.size[piece] - offset, bytes);
        std::memset(span.part[piece] + offset, silence, run);
        bytes -= run;
        offset = 0;
    }
}

// A looping sound's data has ended at ring offset `end`: it starts again
// there. Every wrap written and not yet played is counted; the passes
// between them are all the same length.
void WrapLoop(SoundRecord* record, uint32_t end) {
    // The loop count is 0: every end is the end of a pass over the data.
    record->loopCounter = 0;
    record->finished = 1;
    record->sourceIndex = 0;
    if (record->loopPending == 0) record->loopWriteOffset = end % record->ringBufferSize;
    ++record->loopPending;
    record->loopPassBytes = record->sourceBytesDone;
    record->sourceBytesDone = 0;
    SeekSoundConverter(&record->source.converter, 0);
}

// The data of a sound played once has ended at ring offset `end`: from now
// on the refill writes silence and waits for the cursor to reach the end.
// Returns the bytes of silence written after the end.
uint32_t EndOfData(SoundRecord* record, uint32_t end, uint32_t cursor, bool firstFill) {
    record->loopCounter = 0;
    record->sourceIndex = 1;
    record->finished = 1;
    record->ending = 1;
    record->endWriteOffset = end % record->ringBufferSize;
    record->endPlayCursor = firstFill ? 0 : cursor;
    return WriteSilence(record, end, DownToBlocks(record->format.nAvgBytesPerSec / 8, record->format.nBlockAlign));
}

// Whether the cursor has reached the end of the data. The distance is
// measured from where the cursor stood at the last look, so that however
// far it moved since (less than the ring), it cannot step over the end.
bool EndPlayed(SoundRecord* record, uint32_t cursor) {
    const uint32_t ring = record->ringBufferSize;
    const uint32_t toEnd = (record->endWriteOffset + ring - record->endPlayCursor) % ring;
    const uint32_t moved = (cursor + ring - record->endPlayCursor) % ring;
    if (moved >= toEnd) return true;
    record->endPlayCursor = cursor;
    return false;
}

}  // namespace

int ProcessStreamSound(int handle) {
    if (!SoundSystemStarted()) return -1;
    SoundLockGuard lock;
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr || !record->isStream || !record->streamActive) return record == nullptr ? -1 : 0;
    UpdateStreamPlayedPosition(handle, -1);
    const uint32_t block = record->format.nBlockAlign;
    const uint32_t average = record->format.nAvgBytesPerSec;
    const uint32_t ring = record->ringBufferSize;
    const uint32_t eighth = DownToBlocks(average / 8, block);
    const uint32_t cursor = PlayCursor(record);
    int32_t& write = record->writePosition;
    int32_t& limit = record->writeLimit;

    if (!record->ending) {
        const bool playing = RingPlays(record);
        const bool firstFill = !playing;
        uint32_t start = 0;
        uint32_t size = 0;
        if (!playing) {
            // Stopped: only a sound that was just prepared is filled.
            if (write != -800) return 0;
            size = DownToBlocks(average * 3 / 4, block);
        } else {
            if (InWriteSpan(cursor, write, limit)) return -1;
            start = static_cast<uint32_t>(write);
            size = eighth;
            const uint32_t queued = (start + ring - cursor) % ring;
            const uint32_t queuedTime = static_cast<uint32_t>(uint64_t(queued) * 512 / average);
            if (queuedTime < kLowQueue)
                size = DownToBlocks(static_cast<uint32_t>(uint64_t(kLowQueue - queuedTime) * average / 512), block);
        }

        if (size == 0) return 0;
        void* part1 = nullptr;
        void* part2 = nullptr;
        uint32_t size1 = 0;
        uint32_t size2 = 0;
        if (LockSoundBufferVoice(&record->voices[0], start, size, &part1, &size1, &part2, &size2) != 0) return -1;
        const LockedSpan span{{static_cast<uint8_t*>(part1), static_cast<uint8_t*>(part2)}, {size1, part2 ? size2 : 0}};
        SoundConverter* converter = &record->source.converter;
        uint32_t delivered = ReadIntoSpan(converter, span, 0, size);
        record->sourceBytesDone += delivered;
        // A read that comes short has met the end of the data, which is
        // written now: waiting for the next refill to find nothing would let
        // the cursor run past the end of a short sound first.
        bool ended = delivered < size;
        uint32_t written = delivered;
        if (ended && record->lastPlayType == 3) {
            // A loop goes on from the start of the data in the same refill,
            // as many times as a short sound needs.
            while (ended) {
                if (record->sourceBytesDone == 0) {
                    // A pass that gave nothing: there is no data to loop
                    // (or it can no longer be read). Silence instead.
                    SilenceInSpan(record, span, written, size - written);
                    written = size;
                    break;
                }
                WrapLoop(record, start + written);
                delivered = ReadIntoSpan(converter, span, written, size - written);
                record->sourceBytesDone += delivered;
                ended = delivered < size - written;
                written += delivered;
            }
        }
        UnlockSoundBufferVoice(&record->voices[0], part1, size1, part2, size2);
        if (ended && record->lastPlayType != 3) written += EndOfData(record, start + written, cursor, firstFill);

        if (firstFill) {
            write = static_cast<int32_t>(written);
            limit = 0;
            return 0;
        }
        write += static_cast<int32_t>(written);
    } else {
        if (EndPlayed(record, cursor)) {
            StopSoundBufferVoice(&record->voices[0]);
            // Played to its end (an end written by a fill before the play
            // had its mark cleared by a play from the top).
            record->finished = 1;
            record->ending = 0;
            record->sourceBytesDone = 0;
            record->playedBytes = 0;
            record->loopPending = 0;
            record->loopCounter = 0;
            record->sourceIndex = 0;
            record->streamActive = 0;
            return 0;
        }
        if (InWriteSpan(cursor, write, limit)) return -1;
        write += static_cast<int32_t>(WriteSilence(record, static_cast<uint32_t>(write), eighth));
    }

    if (write >= static_cast<int32_t>(ring)) write -= static_cast<int32_t>(ring);
    limit = write - static_cast<int32_t>(UpToBlocks(average * 3 / 4, block));
    if (limit < 0) limit += static_cast<int32_t>(ring);
    return 0;
}
