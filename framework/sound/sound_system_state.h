// The sound system's state that every sound component reads.
#pragma once

#include <atomic>
#include <cstdint>

#include "framework/base/base_functions.h"
#include "platform/dsound/dsound.h"
#include "platform/kernel/kernel.h"

// The DirectSound object; null while the sound system is not started.
extern IDirectSound* DirectSoundObject;
// The primary buffer (which sets the output format) and the silent buffer
// that plays from start to end of the sound system; either may be null.
extern IDirectSoundBuffer* PrimarySoundBuffer;
extern IDirectSoundBuffer* SilentSoundBuffer;

// The sound lock: recursive, made at start and deleted at the end. It guards
// the sound handle table, every sound record and the stream list.
extern CRITICAL_SECTION SoundLock;
// Every stream sound, between two sentinels; each node carries the sound's
// handle and its record.
extern HandleListNode StreamListHead;
extern HandleListNode StreamListTail;

// The bytes per sample that Ogg Vorbis data is decoded to.
extern int OggVorbisBytesPerSample;

// The stream thread and its terminate flag: 0 running, 1 asked to stop, 2
// stopped (the thread's last write).
extern HANDLE SoundStreamThread;
extern DWORD SoundStreamThreadId;
extern std::atomic<int> SoundStreamThreadTerminate;

// 1 while the sound system is started.
inline int SoundSystemStarted() { return DirectSoundObject != nullptr ? 1 : 0; }
