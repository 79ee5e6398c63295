// Where the parts of a vertex of a flexible vertex format lie: its position
// (pre-transformed with a reciprocal of w, or to be transformed), its
// diffuse and specular colours and its texture coordinate sets, with their
// offsets and sizes. Private to platform/d3d9.
#pragma once

#include <cstdint>

#include "platform/d3d9/d3d9.h"

namespace platform::d3d9 {

struct FvfLayout {
    static constexpr uint32_t kNone = ~0u;

    bool pretransformed = false;   // XYZRHW: screen x, y, depth z and 1/w
    uint32_t positionFloats = 3;   // 3, or 4 for XYZRHW and XYZW
    uint32_t diffuse = kNone;      // offsets in bytes, kNone when absent
    uint32_t specular = kNone;
    uint32_t texCoordSets = 0;
    uint32_t texCoords[8] = {};    // offsets of the sets
    uint32_t texCoordFloats[8] = {};
};

// The layout of a valid FVF (see FvfVertexSize).
FvfLayout LayoutOfFvf(DWORD fvf);

}  // namespace platform::d3d9
