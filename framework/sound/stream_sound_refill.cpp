// The refill of a stream sound's ring: a little ahead of the play cursor,
// from the converter, then silence once the data has ended, and the stop
// once the last data byte has been played. A looping sound's data starts
// again right after its end.
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

// The data has ended at ring offset `end`: the end of the sound, or the wrap
// of a loop. Returns the bytes of silence written after the end.
uint32_t EndOfData(SoundRecord* record, uint32_t end, uint32_t cursor, bool firstFill) {
    // The loop count is 0: every end is the end of a pass over the data.
    ++record->loopCounter;
    const bool looping = record->lastPlayType == 3;
    // The previous wrap has not been played yet: the wrap waits.
    if (looping && record->loopPending) return 0;
    record->loopCounter = 0;
    record->sourceIndex = 1;
    record->finished = 1;
    const uint32_t ring = record->ringBufferSize;
    if (!looping) {
        record->ending = 1;
        record->endWriteOffset = end % ring;
        record->endPlayCursor = firstFill ? 0 : cursor;
        return WriteSilence(record, end, DownToBlocks(record->format.nAvgBytesPerSec / 8, record->format.nBlockAlign));
    }
    record->sourceIndex = 0;
    record->loopPending = 1;
    record->loopWriteOffset = end % ring;
    record->sourceBytesDone = 0;
    SeekSoundConverter(&record->source.converter, 0);
    return 0;
}

// Whether the cursor has reached the end of the data since the end was
// written, allowing the ring one wrap.
bool EndPlayed(const SoundRecord* record, uint32_t cursor) {
    const uint32_t ring = record->ringBufferSize;
    const uint32_t toEnd = (record->endWriteOffset + ring - record->endPlayCursor) % ring;
    const uint32_t played = (cursor + ring - record->endPlayCursor) % ring;
    return played >= toEnd;
}

// Reads up to the two pieces' sizes from the converter: the second piece
// only once the first is full. The bytes delivered.
uint32_t ReadIntoPieces(SoundConverter* converter, void* part1, uint32_t size1, void* part2, uint32_t size2) {
    const int first = ReadSoundConverterPcm(converter, part1, static_cast<int>(size1));
    if (first <= 0) return 0;
    uint32_t delivered = static_cast<uint32_t>(first);
    if (delivered == size1 && part2 != nullptr && size2 != 0) {
        const int second = ReadSoundConverterPcm(converter, part2, static_cast<int>(size2));
        if (second > 0) delivered += static_cast<uint32_t>(second);
    }
    return delivered;
}

}  // namespace

int ProcessStreamSound(int handle) {
    if (!SoundSystemStarted()) return -1;
    EnterSoundLock();
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr || !record->isStream || !record->streamActive) {
        LeaveSoundLock();
        return record == nullptr ? -1 : 0;
    }
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
            if (write != -800) {
                LeaveSoundLock();
                return 0;
            }
            size = DownToBlocks(average * 3 / 4, block);
        } else {
            if (InWriteSpan(cursor, write, limit)) {
                LeaveSoundLock();
                return -1;
            }
            start = static_cast<uint32_t>(write);
            size = eighth;
            const uint32_t queued = (start + ring - cursor) % ring;
            const uint32_t queuedTime = static_cast<uint32_t>(uint64_t(queued) * 512 / average);
            if (queuedTime < kLowQueue)
                size = DownToBlocks(static_cast<uint32_t>(uint64_t(kLowQueue - queuedTime) * average / 512), block);
        }

        if (size == 0) {
            LeaveSoundLock();
            return 0;
        }
        void* part1 = nullptr;
        void* part2 = nullptr;
        uint32_t size1 = 0;
        uint32_t size2 = 0;
        if (LockSoundBufferVoice(&record->voices[0], start, size, &part1, &size1, &part2, &size2) != 0) {
            LeaveSoundLock();
            return -1;
        }
        const uint32_t delivered = ReadIntoPieces(&record->source.converter, part1, size1, part2, size2);
        UnlockSoundBufferVoice(&record->voices[0], part1, size1, part2, size2);
        record->sourceBytesDone += delivered;
        uint32_t written = delivered;
        // Only a refill that gets nothing finds the end: a short read is
        // written and the next refill finds nothing.
        if (delivered == 0) written += EndOfData(record, start, cursor, firstFill);

        if (firstFill) {
            write = static_cast<int32_t>(written);
            limit = 0;
            LeaveSoundLock();
            return 0;
        }
        write += static_cast<int32_t>(written);
    } else {
        if (EndPlayed(record, cursor)) {
            StopSoundBufferVoice(&record->voices[0]);
            record->ending = 0;
            record->sourceBytesDone = 0;
            record->playedBytes = 0;
            record->loopPending = 0;
            record->loopCounter = 0;
            record->sourceIndex = 0;
            record->streamActive = 0;
            LeaveSoundLock();
            return 0;
        }
        if (InWriteSpan(cursor, write, limit)) {
            LeaveSoundLock();
            return -1;
        }
        write += static_cast<int32_t>(WriteSilence(record, static_cast<uint32_t>(write), eighth));
    }

    if (write >= static_cast<int32_t>(ring)) write -= static_cast<int32_t>(ring);
    limit = write - static_cast<int32_t>(UpToBlocks(average * 3 / 4, block));
    if (limit < 0) limit += static_cast<int32_t>(ring);
    LeaveSoundLock();
    return 0;
}
