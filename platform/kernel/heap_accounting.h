// What tests read of the heap's own accounting. Private to the platform (and
// to tests).
#pragma once

#include <cstdint>

namespace platform {

// Heap allocation calls (HeapAlloc and HeapReAlloc, refused ones included)
// made since the last ResetMachine().
uint64_t HeapAllocationCount();

}  // namespace platform
