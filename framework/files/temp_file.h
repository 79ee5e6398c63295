// A new, empty temporary file in the system's temporary folder.
#pragma once

#include "platform/win_types.h"

// Creates the file (named with the prefix "tmp") opened for writing and
// returns its handle, or 0; copies its full path into `pathBuffer` (at least
// MAX_PATH characters) when one is given.
HANDLE CreateTempFile(char* pathBuffer);
