// Stand-in until the sound system is built.
// The sound system's start and end. No output device is opened yet, so
// starting only marks it started.
#include "framework/sound/sound_system.h"

#include "framework/base/log.h"

namespace {
int SoundSystemStarted = 0;
}

int InitSoundSystem() {
    SoundSystemStarted = 1;
    return 0;
}

int TermSoundSystem() {
    if (!SoundSystemStarted) return -1;
    SoundSystemStarted = 0;
    WriteLogFormat("DirectSound の終了処理は正常に終了しました");
    return 0;
}
