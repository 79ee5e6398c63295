// How platform code makes one of its calls reachable through GetProcAddress.
// Private to the platform.
//
// Only entries that the framework looks up by name at run time are
// registered: the ones it links to directly need no entry here.
#pragma once

#include "platform/kernel/kernel.h"

namespace platform {

// Makes `entry` the export `name` of the built-in library `module` (named as
// LoadLibraryA takes it). False when no built-in library has that name.
// Registering a name again replaces the entry.
bool RegisterModuleExport(const char* module, const char* name, FARPROC entry);

}  // namespace platform
