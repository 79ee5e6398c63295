// Per-thread initialisation of the component-object library. Only a count is
// kept: there are no apartments to set up, but the framework pairs its calls
// and objects may check that their creator initialised the library.
#include "platform/com/com.h"

namespace {
thread_local int initialisationCount = 0;
}

HRESULT WINAPI CoInitialize(LPVOID /*reserved*/) {
    ++initialisationCount;
    return initialisationCount == 1 ? S_OK : S_FALSE;
}

void WINAPI CoUninitialize(void) {
    if (initialisationCount > 0) --initialisationCount;
}

bool CoIsInitialisedOnThisThread() { return initialisationCount > 0; }
