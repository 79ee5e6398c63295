// Music handles: the entry points that the window side, the message pump and
// shutdown call for background music. No operation makes a music handle or
// chooses a current piece, so the music table stays empty and every music
// handle is refused.
#pragma once

constexpr int kMusicHandleKind = 0x58000000;
constexpr int kMusicSlotCount = 256;

// -1 when sound is not started or no music stands behind the handle.
int CheckMusicHandlePlaying(int handle);
int StopMusicHandle(int handle);
int DeleteMusicHandle(int handle);
// -1 when sound is not started, else 0 once every slot was visited.
int DeleteAllMusicHandles();
// The message pump's poll of the pieces' play state: -1 when sound is not
// started, else 0.
int PollMusicPlayState();
// The MIDI device's notification: nothing plays, so nothing is restarted or
// closed. Returns 0.
int HandleMciNotify();
// Stops and forgets the current background music: there is none. Returns 0.
int StopCurrentMusic();
