// Flexible vertex formats and vertex declarations: their checks and sizes.
#include "platform/d3d9/vertex_layouts.h"

#include <algorithm>

namespace platform::d3d9 {
namespace {

constexpr DWORD kPositionMask = 0x400Eu;
constexpr DWORD kXyzw = 0x4002u;
constexpr DWORD kPsize = 0x020u;
constexpr DWORD kTexCountMask = 0xF00u;
constexpr DWORD kLastBetaUbyte4 = 0x1000u;
constexpr DWORD kLastBetaColor = 0x8000u;
// Two bits per texture coordinate set from bit 16: how many floats it has.
constexpr DWORD kTexCoordSizeMask = 0xFFFF0000u;
constexpr DWORD kKnownBits = kPositionMask | D3DFVF_NORMAL | kPsize | D3DFVF_DIFFUSE | D3DFVF_SPECULAR |
                             kTexCountMask | kLastBetaUbyte4 | kLastBetaColor | kTexCoordSizeMask;

constexpr UINT kMostElements = 64;
constexpr BYTE kEndStream = 0xFF;

UINT PositionSize(DWORD position) {
    switch (position) {
        case D3DFVF_XYZ: return 12;
        case D3DFVF_XYZRHW: return 16;
        case kXyzw: return 16;
        case 0x6: case 0x8: case 0xA: case 0xC: case 0xE:  // XYZ with one to five blend weights
            return 12 + 4 * ((position - 0x4) / 2);
        default: return 0;
    }
}

UINT TypeSize(BYTE type) {
    switch (type) {
        case D3DDECLTYPE_FLOAT1: return 4;
        case D3DDECLTYPE_FLOAT2: return 8;
        case D3DDECLTYPE_FLOAT3: return 12;
        case D3DDECLTYPE_FLOAT4: return 16;
        case D3DDECLTYPE_SHORT4: case D3DDECLTYPE_SHORT4N: case D3DDECLTYPE_USHORT4N: case D3DDECLTYPE_FLOAT16_4:
            return 8;
        default: return 4;
    }
}

}  // namespace

UINT FvfVertexSize(DWORD fvf) {
    if ((fvf & ~kKnownBits) != 0) return 0;
    const UINT positionSize = PositionSize(fvf & kPositionMask);
    if (positionSize == 0) return 0;
    if ((fvf & kPositionMask) == D3DFVF_XYZRHW && (fvf & D3DFVF_NORMAL) != 0) return 0;
    const DWORD sets = (fvf & kTexCountMask) >> D3DFVF_TEXCOUNT_SHIFT;
    if (sets > 8) return 0;
    UINT size = positionSize;
    if (fvf & D3DFVF_NORMAL) size += 12;
    if (fvf & kPsize) size += 4;
    if (fvf & D3DFVF_DIFFUSE) size += 4;
    if (fvf & D3DFVF_SPECULAR) size += 4;
    for (DWORD set = 0; set < sets; ++set) {
        switch ((fvf >> (16 + 2 * set)) & 3u) {
            case 0: size += 8; break;   // two floats
            case 1: size += 12; break;  // three
            case 2: size += 16; break;  // four
            default: size += 4; break;  // one
        }
    }
    return size;
}

bool ReadDeclaration(const D3DVERTEXELEMENT9* elements, std::vector<D3DVERTEXELEMENT9>& read) {
    read.clear();
    if (elements == nullptr) return false;
    for (UINT i = 0; i <= kMostElements; ++i) {
        const D3DVERTEXELEMENT9& element = elements[i];
        if (element.Stream == kEndStream) return element.Type == D3DDECLTYPE_UNUSED;
        if (i == kMostElements) return false;
        if (element.Stream > 15 || element.Type >= D3DDECLTYPE_UNUSED || element.Method > 6 ||
            element.Usage > D3DDECLUSAGE_SAMPLE || element.Offset % 4 != 0)
            return false;
        const bool repeated = std::any_of(read.begin(), read.end(), [&](const D3DVERTEXELEMENT9& earlier) {
            return earlier.Usage == element.Usage && earlier.UsageIndex == element.UsageIndex;
        });
        if (repeated) return false;
        read.push_back(element);
    }
    return false;
}

UINT DeclarationStreamZeroSize(const std::vector<D3DVERTEXELEMENT9>& elements) {
    UINT size = 0;
    for (const D3DVERTEXELEMENT9& element : elements)
        if (element.Stream == 0) size = std::max<UINT>(size, element.Offset + TypeSize(element.Type));
    return size;
}

}  // namespace platform::d3d9
