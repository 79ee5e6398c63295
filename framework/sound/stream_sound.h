// Stream sounds: a long sound played from its data source through a ring
// buffer of one second, which the stream thread refills every 30 ms.
#pragma once

#include <cstdint>

#include "framework/files/stream_functions.h"
#include "framework/sound/sound_handles.h"

// Makes the sound `handle` a stream sound reading the file at `path` (load
// type 3: read while it plays; 2: from a memory copy). 0 or -1 (logged).
int AddStreamSoundFile(const char* path, uint8_t loopCount, int handle, int loadType, int shareWith);
// The same from a sound file in memory, which is copied (the caller frees
// it). 0 or -1 (logged).
int AddStreamSoundMemory(const void* image, int size, uint8_t loopCount, int handle, int loadType, int shareWith);
// Sets the stream sound up from `source`: `dataType` 2 copies the data into
// memory (`*copied` = 1: the caller may close its stream), 3 reads the
// caller's stream while playing. 0 or -1 (logged).
int AddSreamSound(const StreamSource* source, uint8_t loopCount, int handle, int dataType, int* copied,
                  int shareWith);
// The ring buffer of one second for the stream sound `handle` in `format`;
// the sound becomes a stream sound in the stream list. 0 or -1 (logged).
int CreateStreamRingBuffer(const WAVEFORMATEX* format, int handle);
// Fills the ring for the first time unless the sound is already being
// served. 0, or -1 for a bad handle.
int PrepareStreamSound(int handle);
// Play types as for PlaySoundHandle. 0, or -1 for a bad handle.
int PlayStreamSoundHandle(int handle, int playType, int fromTop);
// Stops the ring and keeps the progress, so that a later play with fromTop
// 0 resumes.
int StopStreamSound(int handle);
// 1 while the ring plays, else 0.
int CheckStreamSoundPlaying(int handle);
// The refill; -1 when the play cursor lies in the span about to be written.
int ProcessStreamSound(int handle);
// Follows the play cursor (`cursor` -1: read it from the ring).
int UpdateStreamPlayedPosition(int handle, int cursor);
int GetStreamSoundPlayedBytes(int handle);
int GetStreamSoundPlayTimeMs(int handle);
// Reads the whole stream into a new block of the framework's allocator.
int LoadWholeStreamToMemory(const StreamSource* source, void** block, int* size);
// Deletion's part: out of the stream list, the converter closed, the memory
// copy freed, the streams closed and the ring released.
void ReleaseStreamSoundSource(SoundRecord* record);

// The stream thread's body: refills every active stream sound every 30 ms
// until asked to stop.
DWORD WINAPI SoundStreamThreadProc(LPVOID parameter);
