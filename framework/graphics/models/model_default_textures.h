// The model system's three default textures: an 8 x 8 opaque white image
// and two 256 x 8 four-step grey ramps, each kept as a run-length-encoded
// true-colour TGA file in memory.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kModelDefaultTextureCount = 3;
// The graphics the refill puts them into; -1 until made.
extern int ModelDefaultTextureHandles[kModelDefaultTextureCount];
// The file bytes of default texture 0 (white), 1 or 2 (the ramps).
const uint8_t* ModelDefaultTextureFile(int index, size_t* size);
