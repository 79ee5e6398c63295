// Making sound handles from sound files and from files in memory: a memory
// sound converted to PCM whole, or a stream sound (by the load type, or for
// any sound longer than 180 seconds).
#pragma once

#include <cstdint>

#include "platform/winmm/winmm.h"

// The most voices one memory sound has.
constexpr int kMaxSoundBuffers = 10;

// A handle for the sound file at `path` with up to `bufferCount` voices
// (more than 10 are 10). `shareWith` is -1. The handle, or -1 (logged).
int LoadSoundFileToHandle(const char* path, int bufferCount, int shareWith);
int LoadSoundFile(const char* path, int bufferCount, int shareWith);
// A handle for a whole sound file in memory; a `bufferCount` above 10 is
// refused. The handle, or -1 (logged).
int CreateSoundHandleFromStream(const void* image, int size, int bufferCount, int shareWith);
// Makes the voices of a memory sound (`isStream` 0), or the ring buffer of
// a stream sound (1). A memory sound gets fewer voices when buffers cannot
// be duplicated, and none for a count below 1. 0 or -1 (logged).
int CreateSoundBuffersFromPcm(const WAVEFORMATEX* format, uint32_t dataBytes, int isStream, int voiceCount,
                              int handle);
// The whole file in a new block of the framework's allocator. 0 or -1
// (logged).
int LoadWholeFileToMemory(const char* path, void** block, int* size);
