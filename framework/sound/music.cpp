// The music table and its entry points. The table is only ever looked up:
// no piece is loaded, so each entry point finds nothing to do.
#include "framework/sound/music.h"

#include <cstddef>

#include "framework/base/handle_table.h"
#include "framework/sound/sound_system_state.h"

namespace {

struct MusicRecord {
    int check;
};

void* MusicSlots[kMusicSlotCount];
HandleTable MusicHandleTable = {
    kMusicHandleKind, kMusicSlotCount, offsetof(MusicRecord, check), MusicSlots, 0, 0, 0,
};

bool MusicExists(int handle) {
    return SoundSystemStarted() && GetHandleRecord(&MusicHandleTable, handle) != nullptr;
}

}  // namespace

int CheckMusicHandlePlaying(int handle) { return MusicExists(handle) ? 0 : -1; }

int StopMusicHandle(int handle) { return MusicExists(handle) ? 0 : -1; }

int DeleteMusicHandle(int handle) {
    if (!MusicExists(handle)) return -1;
    StopMusicHandle(handle);
    return ReleaseHandleRecord(&MusicHandleTable, handle);
}

int DeleteAllMusicHandles() {
    if (!SoundSystemStarted()) return -1;
    for (int slot = 0; slot < kMusicSlotCount; ++slot) {
        const void* record = MusicSlots[slot];
        if (record != nullptr)
            DeleteMusicHandle(MakeHandleValue(kMusicHandleKind, GetRecordCheckValue(&MusicHandleTable, record), slot));
    }
    return 0;
}

int PollMusicPlayState() { return SoundSystemStarted() ? 0 : -1; }

int HandleMciNotify() { return 0; }

int StopCurrentMusic() { return 0; }
