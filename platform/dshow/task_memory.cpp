// Memory that one object allocates and another frees.
#include <cstdlib>

#include "platform/dshow/dshow.h"

LPVOID WINAPI CoTaskMemAlloc(SIZE_T bytes) { return std::malloc(bytes != 0 ? bytes : 1); }

void WINAPI CoTaskMemFree(LPVOID memory) { std::free(memory); }
