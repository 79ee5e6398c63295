// Playing sounds: play, stop, whether a sound plays, its volume, and its
// length and position. A stream sound is handed to the stream component by
// each of them.
//
// Every function that takes a handle answers -1 for a bad handle or when
// the sound system is not started, without a log line.
#pragma once

#include <cstdint>

// Play types.
enum : int {
    kPlayTypeWait = 0,        // play once and return when the sound has ended
    kPlayTypeBackground = 1,  // play once in the background
    kPlayTypeLoop = 3,        // play looping in the background
};

// Starts the next voice of a memory sound (the voices are used in turn).
// `fromTop` 1 plays from the start; any other value leaves a voice that
// plays as it is (0) or resumes where the last voice stands. Play type 0
// returns once the sound has ended or the program quits. 0 or -1.
int PlaySoundHandle(int handle, int playType, int fromTop);
// 1 while any voice plays, 0 when none does, -1 for a bad handle.
int CheckSoundHandlePlaying(int handle);
int StopSoundHandle(int handle);
// `volume` 0 (silent) to 255 (full), in the sound's decibel scale.
int SetSoundHandleVolume(int volume, int handle);
int GetSoundHandleTotalSamples(int handle);
int GetSoundHandleTotalTimeMs(int handle);
int GetSoundHandlePosition(int handle);
int GetSoundHandleBytePosition(int handle);
int GetSoundHandlePlayTimeMs(int handle);
// The volume in hundredths of a decibel for a 0 to 255 volume.
int32_t SoundVolumeToDecibels(int volume);
