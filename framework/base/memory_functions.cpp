// Byte-block fill, compare, copy and move. A zero count touches nothing, so
// callers may pass null blocks with it.
#include <cstring>

#include "framework/base/base_functions.h"

void FillMemoryBytes(void* destination, int value, uint32_t count) {
    if (count == 0) return;
    std::memset(destination, static_cast<unsigned char>(value), count);
}

int CompareMemoryBytes(const void* a, const void* b, uint32_t count) {
    if (count == 0) return 0;
    return std::memcmp(a, b, count) == 0 ? 0 : 1;
}

// The ranges do not overlap (overlapping callers use MoveMemoryBytes).
void CopyMemoryBytes(void* destination, const void* source, uint32_t count) {
    if (count == 0) return;
    std::memcpy(destination, source, count);
}

// The result is always the source's old contents, whatever the overlap.
void MoveMemoryBytes(void* destination, const void* source, uint32_t count) {
    if (count == 0 || destination == source) return;
    std::memmove(destination, source, count);
}
