// The host libraries' own logging. FFmpeg and ALSA write their complaints
// straight to the terminal (a damaged file probed as a movie, a machine
// without a sound card probed for one); a program of this system writes
// only its own messages there. Their errors go to the debug output instead
// (OutputDebugStringA, which KILN_DEBUG_OUTPUT=1 echoes to the terminal),
// ALSA's each once; what is less than an error goes nowhere. Private to the
// platform.
#pragma once

namespace platform {

// Takes the libraries' logging over; once for the process, later calls do
// nothing. The program's start calls it, and so does the audio start,
// before SDL2 probes ALSA.
void QuietHostLibraryLogs();

}  // namespace platform
