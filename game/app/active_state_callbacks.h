// What a scene's sounds and the play-time clock do while the window is in
// the background. A scene registers one of these with
// SetActiveStateCallback and clears it with (0, 0) before it returns.
#pragma once

#include <cstdint>

struct PlayTimer;

// What OnActiveChangeStage works on: the scene's music, its clock, and
// whether the clock may run again when the window comes back (null: never).
struct ActiveStageRecord {
    int soundHandle;
    PlayTimer* timer;
    bool (*condition)();
};

// The argument of OnActiveChangeBgm and OnActiveChangeResumeSound: the sound
// handle itself.
inline void* SoundHandleArgument(int handle) { return reinterpret_cast<void*>(static_cast<intptr_t>(handle)); }

// Music that loops: stopped in the background, resumed where it stood.
void OnActiveChangeBgm(int active, void* soundHandle);
// The scene's music as above; the clock stands while the window is in the
// background and runs again when the record's condition allows.
void OnActiveChangeStage(int active, void* record);
// A sound played once: stopped in the background and played on from where
// it stood, unless it had not begun or was about to end.
void OnActiveChangeResumeSound(int active, void* soundHandle);
