#include "framework/sound/sound_system_state.h"

IDirectSound* DirectSoundObject = nullptr;
IDirectSoundBuffer* PrimarySoundBuffer = nullptr;
IDirectSoundBuffer* SilentSoundBuffer = nullptr;
CRITICAL_SECTION SoundLock;
HandleListNode StreamListHead;
HandleListNode StreamListTail;
int OggVorbisBytesPerSample = 2;
HANDLE SoundStreamThread = nullptr;
DWORD SoundStreamThreadId = 0;
std::atomic<int> SoundStreamThreadTerminate{0};
