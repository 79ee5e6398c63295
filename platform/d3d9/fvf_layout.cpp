// The parts of an FVF vertex, in the order they lie in memory: position
// (with blend weights), normal, point size, diffuse, specular, texture
// coordinate sets.
#include "platform/d3d9/fvf_layout.h"

namespace platform::d3d9 {

FvfLayout LayoutOfFvf(DWORD fvf) {
    FvfLayout layout;
    uint32_t offset = 0;
    switch (fvf & 0x400Eu) {
        case D3DFVF_XYZRHW:
            layout.pretransformed = true;
            layout.positionFloats = 4;
            offset = 16;
            break;
        case 0x4002u:  // XYZW
            layout.positionFloats = 4;
            offset = 16;
            break;
        case D3DFVF_XYZ:
            offset = 12;
            break;
        default:  // XYZ with from one to five blend weights after it (0x6 to 0xE)
            offset = 12 + 4 * (((fvf & 0xEu) - 0x4u) / 2);
            break;
    }
    if (fvf & D3DFVF_NORMAL) offset += 12;
    if (fvf & 0x020u) offset += 4;  // point size
    if (fvf & D3DFVF_DIFFUSE) {
        layout.diffuse = offset;
        offset += 4;
    }
    if (fvf & D3DFVF_SPECULAR) {
        layout.specular = offset;
        offset += 4;
    }
    layout.texCoordSets = (fvf >> D3DFVF_TEXCOUNT_SHIFT) & 0xFu;
    if (layout.texCoordSets > 8) layout.texCoordSets = 8;
    for (uint32_t set = 0; set < layout.texCoordSets; ++set) {
        static constexpr uint32_t kFloats[4] = {2, 3, 4, 1};
        layout.texCoords[set] = offset;
        layout.texCoordFloats[set] = kFloats[(fvf >> (16 + 2 * set)) & 3u];
        offset += 4 * layout.texCoordFloats[set];
    }
    return layout;
}

}  // namespace platform::d3d9
