// The hook that lets tests see ExitProcess without the process ending.
// Private to the platform (and to tests).
#pragma once

#include <functional>

namespace platform {

// Called by ExitProcess instead of ending the process (empty: end the
// process). ResetMachine() empties it.
void SetExitProcessHandler(std::function<void(unsigned int exitCode)> handler);

}  // namespace platform
