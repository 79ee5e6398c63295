// Background music as the window side and shutdown call it.
#pragma once

// Updates the pieces' play flags; -1 when sound is not started, else 0.
int PollMusicPlayState();
// The MIDI device's notification: loop or close the piece. Returns 0.
int HandleMciNotify();
// Stops and forgets the current background music. Returns 0.
int StopCurrentMusic();
