// Sound buffer voices: one playable DirectSound secondary buffer of a sound.
// Every other sound component touches a buffer only through these calls;
// each tests the voice's valid flag and then makes one call on its buffer.
//
// Results are 0 on success and -1 when the voice is not in the state the
// call needs (or is null) or the buffer's call fails, except where a call
// says otherwise.
#pragma once

#include <cstdint>

#include "platform/dsound/dsound.h"

struct SoundBufferVoice {
    int32_t valid;               // 1 while the voice holds a buffer
    IDirectSoundBuffer* buffer;  // owned by the voice
};

// Makes the voice's buffer on the sound system's DirectSound object; -1 when
// the voice is valid already (its buffer is kept), when sound is not
// started, or when the buffer cannot be made.
int CreateSoundBufferVoice(SoundBufferVoice* voice, const DSBUFFERDESC* description);
// Makes the voice's buffer a duplicate of the valid `source`'s: it shares the
// source's memory with a cursor of its own.
int DuplicateSoundBufferVoice(SoundBufferVoice* voice, const SoundBufferVoice* source);
// Releases the buffer and clears the voice.
int ReleaseSoundBufferVoice(SoundBufferVoice* voice);
// Starts the buffer, looping when `loop` is not 0. Returns the buffer's own
// result code (0 on success); -1 for a voice that is not valid.
int PlaySoundBufferVoice(SoundBufferVoice* voice, int loop);
// 0 for a valid voice, whatever the buffer answers.
int StopSoundBufferVoice(SoundBufferVoice* voice);
// The buffer's status bits; DSBSTATUS_PLAYING is the one callers test.
int GetSoundBufferVoiceStatus(SoundBufferVoice* voice, uint32_t* status);
// Locks `bytes` at `offset`: two pieces when the range runs past the end.
int LockSoundBufferVoice(SoundBufferVoice* voice, uint32_t offset, uint32_t bytes, void** part1, uint32_t* size1,
                         void** part2, uint32_t* size2);
int UnlockSoundBufferVoice(SoundBufferVoice* voice, void* part1, uint32_t size1, void* part2, uint32_t size2);
// The three settings and the position return 0 for a valid voice, whatever
// the buffer answers (a buffer without that control ignores them).
int SetSoundBufferVoiceFrequency(SoundBufferVoice* voice, uint32_t hz);
// Hundredths of a decibel, -10000 (left) to 10000 (right).
int SetSoundBufferVoicePan(SoundBufferVoice* voice, int32_t pan);
// Hundredths of a decibel, -10000 (silent) to 0.
int SetSoundBufferVoiceVolume(SoundBufferVoice* voice, int32_t volume);
int SetSoundBufferVoicePosition(SoundBufferVoice* voice, uint32_t byteOffset);
