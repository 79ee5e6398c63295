// Adds a by-name call to a built-in library while the program runs. Private
// to the platform.
//
// A folder's own by-name calls are listed in its registrations
// (platform/registrations.h), which the module table reads on first use;
// this adds an entry while the program runs, such as a test's probe.
#pragma once

#include "platform/kernel/kernel.h"

namespace platform {

// Makes `entry` the export `name` of the built-in library `module` (named as
// LoadLibraryA takes it). False when no built-in library has that name.
// Registering a name again replaces the entry.
bool RegisterModuleExport(const char* module, const char* name, FARPROC entry);

}  // namespace platform
