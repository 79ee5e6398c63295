// Sound handles: the table of sound records, making, finding and deleting
// them, the load type, and the sound lock that guards all of it.
//
// A SoundHandle (kind 0x10000000, 32768 slots) names a SoundRecord, which
// holds either a memory sound (the whole PCM data uploaded into up to ten
// buffers that can sound at the same time) or a stream sound (one ring
// buffer that the stream thread keeps filling from its data source).
#pragma once

#include <cstdint>

#include "framework/base/base_functions.h"
#include "framework/base/handle_table.h"
#include "framework/base/scoped_lock.h"
#include "framework/sound/sound_buffer_voice.h"
#include "framework/sound/sound_converter.h"

constexpr int kSoundHandleKind = 0x10000000;
constexpr int kSoundSlotCount = 32768;
constexpr int kSoundVoiceLimit = 10;

// Load types: how a sound file becomes a sound.
enum : int {
    kSoundLoadMemory = 0,        // converted to PCM whole and uploaded
    kSoundLoadStreamMemory = 2,  // a stream sound read from a memory copy of the file
    kSoundLoadStreamFile = 3,    // a stream sound read from the file while it plays
};

// The data source of a stream sound.
struct StreamSourceEntry {
    uint8_t loopCount;  // passes over the data per loop: 0, play it once per pass
    int32_t dataType;   // kSoundLoadStreamMemory or kSoundLoadStreamFile
    void* image;        // the memory copy of the file (memory data only)
    uint32_t imageSize;
    StreamSource memoryStream;  // over the memory copy
    int32_t endSample;          // -1: the whole data
    SoundConverter converter;   // reads the data
};

struct SoundRecord {
    int32_t check;  // the check value of the handle that owns the record
    SoundBufferVoice voices[kSoundVoiceLimit];
    WAVEFORMATEX format;
    int32_t isStream;
    int32_t lastPlayType;   // of the last play of a stream sound
    int32_t playStartTime;  // GetMillisecondCount() when last started

    // The ring buffer of a stream sound, in bytes; writePosition is -800
    // until the first fill.
    uint32_t ringBufferSize;
    int32_t writePosition;
    int32_t writeLimit;
    StreamSourceEntry source;
    uint8_t sourceOwnsStream;  // the file stream is closed with the sound

    // Progress of a stream sound.
    int32_t sourceCount;  // 0 or 1
    int32_t sourceIndex;  // 0 while the data plays, 1 once its end is written
    int32_t loopCounter;
    uint32_t sourceBytesDone;
    uint32_t totalSamples;
    uint32_t playedBytes;
    uint32_t lastPlayCursor;
    uint8_t streamActive;
    uint8_t ending;
    uint8_t finished;
    uint32_t loopPending;  // loop wraps written that the cursor has not reached
    uint32_t endWriteOffset;
    uint32_t endPlayCursor;  // where the cursor stood when the end was last looked for
    uint32_t loopWriteOffset;  // the first of the pending wraps
    uint32_t loopPassBytes;    // the bytes of one pass: the distance between wraps
    HandleListNode streamListNode;

    // The PCM data of a memory sound, shared by reference count.
    uint32_t dataSize;
    void* pcmData;
    int32_t* pcmRefCount;
    int32_t voiceFilled[kSoundVoiceLimit];  // 0: the voice still needs the data
    int32_t voiceCount;
    int32_t currentVoice;  // the voice started last

    int32_t volume;     // hundredths of a decibel: 0 full, -10000 silent
    int32_t pan;        // hundredths of a decibel, always 0
    uint32_t frequency;  // Hz: the data's own rate
};

extern HandleTable SoundHandleTable;

// Take and leave the sound lock (recursive). Only while the sound system is
// started, which made the lock.
void EnterSoundLock();
void LeaveSoundLock();

// Holds the sound lock from its making to the end of its scope, so that no
// way out of a function leaves the lock held.
using SoundLockGuard = ScopedLock<EnterSoundLock, LeaveSoundLock>;

// `handle` is -1 at every call: a new handle with a zeroed record, or -1
// when the table is full or the record cannot be allocated (each logged).
int AddSoundData(int handle);
// The record of a live sound handle while the sound system is started, or
// null.
SoundRecord* GetSoundRecord(int handle);
// Stops the sound and frees its buffers, its data or its stream source and
// its record. `flag` has no effect. 0, or -1 for a bad handle or when the
// sound system is not started.
int DeleteSoundHandle(int handle, int flag);
// Deletes every sound; -1 when the sound system is not started, else 0.
int DeleteAllSoundHandles(int flag);

// 0, 2 or 3 (1 is kept as 0); -1 for any other value, which changes nothing.
int SetSoundLoadType(int type);
int GetSoundLoadType();
// What start-up resets the load type to.
void ResetSoundLoadType();
