// Pinning the loaded libraries: each is opened once more, never to be
// closed, and marked as never to be unloaded.
#include "tests/support/library_pins.h"

#include <dlfcn.h>
#include <link.h>

namespace testsupport {

void KeepLoadedLibraries() {
#if defined(__SANITIZE_ADDRESS__)
    dl_iterate_phdr(
        [](dl_phdr_info* library, size_t, void*) {
            if (library->dlpi_name != nullptr && library->dlpi_name[0] != '\0')
                dlopen(library->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
#endif
}

}  // namespace testsupport
