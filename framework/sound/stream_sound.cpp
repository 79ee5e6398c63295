// Stand-in until stream sounds are built.
// No sound can become a stream sound yet: setting one up fails, so no record
// is ever a stream sound and the rest finds nothing to do.
#include "framework/sound/stream_sound.h"

int AddStreamSoundFile(const char*, uint8_t, int, int, int) { return -1; }

int AddStreamSoundMemory(const void*, int, uint8_t, int, int, int) { return -1; }

int AddSreamSound(const StreamSource*, uint8_t, int, int, int*, int) { return -1; }

int CreateStreamRingBuffer(const WAVEFORMATEX*, int) { return -1; }

int PrepareStreamSound(int) { return 0; }

int PlayStreamSoundHandle(int, int, int) { return -1; }

int StopStreamSound(int) { return 0; }

int CheckStreamSoundPlaying(int) { return 0; }

int ProcessStreamSound(int) { return 0; }

int UpdateStreamPlayedPosition(int, int) { return 0; }

int GetStreamSoundPlayedBytes(int) { return 0; }

int GetStreamSoundPlayTimeMs(int) { return 0; }

int LoadWholeStreamToMemory(const StreamSource*, void**, int*) { return -1; }

void ReleaseStreamSoundSource(SoundRecord*) {}
