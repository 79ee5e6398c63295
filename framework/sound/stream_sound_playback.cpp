// Playing and stopping stream sounds, and following what has been played.
// Each runs under the sound lock; play type 0's wait is outside it.
#include <algorithm>

#include "framework/base/time_functions.h"
#include "framework/sound/sound_playback.h"
#include "framework/sound/sound_system_state.h"
#include "framework/sound/stream_sound.h"
#include "framework/window/main_window.h"

namespace {

// The record of a stream sound, or null.
SoundRecord* StreamRecord(int handle) {
    SoundRecord* record = GetSoundRecord(handle);
    return record != nullptr && record->isStream ? record : nullptr;
}

bool RingPlays(SoundRecord* record) {
    uint32_t status = 0;
    return GetSoundBufferVoiceStatus(&record->voices[0], &status) == 0 && (status & DSBSTATUS_PLAYING) != 0;
}

// Back to the start of the data: the next preparation fills the ring anew.
void ResetProgress(SoundRecord* record) {
    record->sourceBytesDone = 0;
    record->playedBytes = 0;
    record->loopPending = 0;
    record->loopCounter = 0;
    record->sourceIndex = 0;
    record->streamActive = 0;
}

}  // namespace

int PrepareStreamSound(int handle) {
    if (!SoundSystemStarted()) return -1;
    SoundLockGuard lock;
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    if (record->isStream && !record->streamActive && !RingPlays(record)) {
        SetSoundBufferVoicePosition(&record->voices[0], 0);
        SeekSoundConverter(&record->source.converter,
                           static_cast<int>(record->sourceBytesDone / record->format.nBlockAlign));
        record->writePosition = -800;
        record->writeLimit = -1;
        record->lastPlayCursor = 0;
        record->ending = 0;
        record->streamActive = 1;
        ProcessStreamSound(handle);
    }
    return 0;
}

int PlayStreamSoundHandle(int handle, int playType, int fromTop) {
    if (!SoundSystemStarted()) return -1;
    {
        SoundLockGuard lock;
        SoundRecord* record = StreamRecord(handle);
        if (record == nullptr) return -1;
        if (fromTop == 0 && RingPlays(record)) return 0;
        StopStreamSound(handle);
        if (record->finished && (playType & 2) != (record->lastPlayType & 2)) {
            record->finished = 0;
            ResetProgress(record);
        }
        if (fromTop == 1) {
            record->finished = 0;
            if (record->playedBytes != 0) ResetProgress(record);
        }
        record->lastPlayType = playType;
        PrepareStreamSound(handle);

        SoundBufferVoice* ring = &record->voices[0];
        SetSoundBufferVoiceVolume(ring, record->volume);
        SetSoundBufferVoicePan(ring, record->pan);
        SetSoundBufferVoiceFrequency(ring, record->frequency);
        // The ring always loops; the refill stops it after the data's end.
        PlaySoundBufferVoice(ring, 1);
        record->playStartTime = GetMillisecondCount();
    }

    // The wait runs without the lock, so the stream thread can go on
    // refilling.
    if (playType == kPlayTypeWait) {
        while (ProcessWindowMessages() == 0 && CheckSoundHandlePlaying(handle) == 1) Sleep(1);
    }
    return 0;
}

int StopStreamSound(int handle) {
    if (!SoundSystemStarted()) return -1;
    SoundLockGuard lock;
    SoundRecord* record = StreamRecord(handle);
    if (record == nullptr) return -1;
    UpdateStreamPlayedPosition(handle, -1);
    uint32_t status = 0;
    if (GetSoundBufferVoiceStatus(&record->voices[0], &status) != 0) return -1;
    if (status & DSBSTATUS_PLAYING) StopSoundBufferVoice(&record->voices[0]);
    return 0;
}

int CheckStreamSoundPlaying(int handle) {
    if (!SoundSystemStarted()) return -1;
    SoundLockGuard lock;
    SoundRecord* record = StreamRecord(handle);
    return record == nullptr ? -1 : RingPlays(record) ? 1 : 0;
}

int UpdateStreamPlayedPosition(int handle, int cursor) {
    if (!SoundSystemStarted()) return -1;
    SoundLockGuard lock;
    SoundRecord* record = StreamRecord(handle);
    if (record == nullptr || !record->streamActive) return record == nullptr ? -1 : 0;
    uint32_t c = static_cast<uint32_t>(cursor);
    if (cursor == -1) {
        DWORD read = 0;
        record->voices[0].buffer->GetCurrentPosition(&read, nullptr);
        c = read;
    }
    const uint32_t last = record->lastPlayCursor;
    const uint32_t ring = record->ringBufferSize;
    if (c != last) {
        const uint32_t moved = c > last ? c - last : ring - last + c;
        // A wrap at the cursor seen last was reached then (or is a ring ahead).
        uint32_t toWrap = (record->loopWriteOffset + ring - last) % ring;
        if (toWrap == 0) toWrap = ring;
        if (record->loopPending != 0 && moved >= toWrap) {
            // The played bytes count again from the start of the last pass
            // begun: a short loop's further wraps lie a pass apart.
            uint32_t beyond = moved - toWrap;
            uint32_t passed = 1;
            const uint32_t pass = record->loopPassBytes;
            if (pass != 0) {
                const uint32_t more = std::min(beyond / pass, record->loopPending - 1);
                passed += more;
                beyond -= more * pass;
            }
            record->playedBytes = beyond;
            record->loopPending -= passed;
            record->loopWriteOffset = static_cast<uint32_t>((record->loopWriteOffset + uint64_t(passed) * pass) % ring);
        } else {
            record->playedBytes += moved;
        }
        record->lastPlayCursor = c;
    }
    return 0;
}

int GetStreamSoundPlayedBytes(int handle) {
    if (!SoundSystemStarted()) return -1;
    SoundLockGuard lock;
    SoundRecord* record = StreamRecord(handle);
    if (record == nullptr) return -1;
    UpdateStreamPlayedPosition(handle, -1);
    return static_cast<int>(record->playedBytes);
}

int GetStreamSoundPlayTimeMs(int handle) {
    if (!SoundSystemStarted()) return -1;
    SoundLockGuard lock;
    SoundRecord* record = StreamRecord(handle);
    if (record == nullptr) return -1;
    UpdateStreamPlayedPosition(handle, -1);
    const WAVEFORMATEX& format = record->format;
    const int64_t played = int64_t(record->playedBytes / format.nBlockAlign) * 1000 / format.nSamplesPerSec;
    const int64_t total = int64_t(record->totalSamples) * 1000 / format.nSamplesPerSec;
    return static_cast<int>(played < total ? played : total);
}
