// The sound-handle table: making a sound's record, finding it by its
// handle, deleting one sound or all of them, and the load type.
#include "framework/sound/sound_handles.h"

#include <cstddef>

#include "framework/base/log.h"
#include "framework/base/tracked_memory.h"
#include "framework/sound/sound_playback.h"
#include "framework/sound/sound_system_state.h"
#include "framework/sound/stream_sound.h"

namespace {
void* SoundSlots[kSoundSlotCount];
int SoundLoadType = kSoundLoadMemory;
}  // namespace

HandleTable SoundHandleTable = {
    kSoundHandleKind, kSoundSlotCount, offsetof(SoundRecord, check), SoundSlots, 0, 0, 0,
};

void EnterSoundLock() { EnterCriticalSection(&SoundLock); }

void LeaveSoundLock() { LeaveCriticalSection(&SoundLock); }

int AddSoundData(int handle) {
    if (!SoundSystemStarted()) return -1;
    int made;
    {
        SoundLockGuard lock;
        made = AllocHandleRecord(&SoundHandleTable, sizeof(SoundRecord), __FILE__, __LINE__);
    }
    if (made == kHandleTableFull) return WriteLogLine("サウンドの数が許容量を越えました\n");
    if (made < 0) return WriteLogLine("メモリ領域の確保に失敗しました in AddSoundData\n");
    return made;
}

SoundRecord* GetSoundRecord(int handle) {
    if (!SoundSystemStarted()) return nullptr;
    return static_cast<SoundRecord*>(GetHandleRecord(&SoundHandleTable, handle));
}

int DeleteSoundHandle(int handle, int flag) {
    if (!SoundSystemStarted()) return -1;
    SoundLockGuard lock;
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    if (record->isStream) {
        StopStreamSound(handle);
        ReleaseStreamSoundSource(record);
    } else {
        if (record->voices[0].valid) StopSoundHandle(handle);
        // Every voice that holds a buffer, in use or not.
        for (SoundBufferVoice& voice : record->voices) {
            if (voice.valid) ReleaseSoundBufferVoice(&voice);
        }
        if (record->pcmRefCount != nullptr && --*record->pcmRefCount == 0) {
            FreeMemory(record->pcmData);
            FreeMemory(record->pcmRefCount);
        }
        record->pcmData = nullptr;
        record->pcmRefCount = nullptr;
    }
    return ReleaseHandleRecord(&SoundHandleTable, handle);
}

int DeleteAllSoundHandles(int flag) {
    if (!SoundSystemStarted()) return -1;
    SoundLockGuard lock;
    DeleteAllHandles(&SoundHandleTable, DeleteSoundHandle, flag);
    return 0;
}

int SetSoundLoadType(int type) {
    if (static_cast<unsigned>(type) > 3u) return -1;
    SoundLoadType = type == 1 ? kSoundLoadMemory : type;
    return 0;
}

int GetSoundLoadType() { return SoundLoadType; }

void ResetSoundLoadType() { SoundLoadType = kSoundLoadMemory; }
