// The calls of "user32" that programs look up by name rather than link to.
// Private to the platform: the module table reads them when it is first used,
// so they are there in every program whatever objects it happens to link.
#pragma once

#include <cstddef>

#include "platform/kernel/kernel.h"

namespace platform::detail {

struct NamedExport {
    const char* name;
    FARPROC entry;
};

// The entries, `count` set to how many there are.
const NamedExport* UserExports(size_t& count);

}  // namespace platform::detail
