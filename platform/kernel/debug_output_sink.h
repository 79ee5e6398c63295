// What tests read of the debug-output sink that OutputDebugStringA writes
// to. Private to the platform (and to tests).
#pragma once

#include <string>

namespace platform {

// Everything written with OutputDebugStringA since the last clear (or
// ResetMachine()), byte for byte.
std::string DebugOutputText();
void ClearDebugOutput();

}  // namespace platform
