// The signals with which a Linux user or session asks a program to end
// (SIGTERM, SIGINT, SIGHUP), for the window system to turn into the close of
// the program's main window, as when the user closes it. Includes no SDL2
// header.
#pragma once

namespace platform {

// Called on a thread of the host's own, never in a signal handler, for each
// signal caught: the signal, and how many have been caught so far (1 for the
// first).
using EndSignalRoutine = void (*)(int signal, int count);

// From now on SIGTERM, SIGINT and SIGHUP go to `routine` rather than ending
// the process. The first call decides the routine; later ones change
// nothing. A process that this one forks (SDL2's for a dialog) ends on
// them, and when this one ends.
void CatchEndSignals(EndSignalRoutine routine);

// Ends the process as the signal would have ended it, after putting back a
// display mode that the program left the display in. From any thread.
[[noreturn]] void EndBySignal(int signal);

}  // namespace platform
