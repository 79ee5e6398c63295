// Background music as the window side calls it.
#pragma once

// Updates the pieces' play flags; -1 when sound is not started, else 0.
int PollMusicPlayState();
// The MIDI device's notification: loop or close the piece. Returns 0.
int HandleMciNotify();
