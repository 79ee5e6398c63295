// The 55 vertex declarations. Every element is in stream 0 with the default
// method; the texture coordinate sets are FLOAT4 each, 16 bytes apart from
// where their base layout ends.
#include "framework/graphics/shaders/vertex_declarations.h"

#include "framework/graphics/device/device_state_cache.h"

IDirect3DVertexDeclaration9* ShaderVertexDeclarations[kDeclarationLayoutCount][kDeclarationTexCoordVariants] = {};
IDirect3DVertexDeclaration9* ModelVertexDeclaration = nullptr;

namespace {

constexpr int kMostBaseElements = 10;

struct BaseLayout {
    D3DVERTEXELEMENT9 elements[kMostBaseElements];
    int count;
    WORD texCoordStart;
};

constexpr D3DVERTEXELEMENT9 Element(WORD offset, D3DDECLTYPE type, D3DDECLUSAGE usage, BYTE index) {
    return D3DVERTEXELEMENT9{0, offset, type, D3DDECLMETHOD_DEFAULT, usage, index};
}

constexpr D3DVERTEXELEMENT9 Position = Element(0, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION, 0);

constexpr BaseLayout kLayouts[kDeclarationLayoutCount] = {
    // A0
    {{Position, Element(12, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 0),
      Element(24, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 0), Element(28, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 1)},
     4, 32},
    // A1
    {{Position, Element(12, D3DDECLTYPE_UBYTE4, D3DDECLUSAGE_BLENDINDICES, 0),
      Element(16, D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_BLENDWEIGHT, 0), Element(32, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 0),
      Element(44, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 0), Element(48, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 1)},
     6, 52},
    // A2
    {{Position, Element(12, D3DDECLTYPE_UBYTE4, D3DDECLUSAGE_BLENDINDICES, 0),
      Element(16, D3DDECLTYPE_UBYTE4, D3DDECLUSAGE_BLENDINDICES, 1),
      Element(20, D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_BLENDWEIGHT, 0), Element(36, D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_BLENDWEIGHT, 1),
      Element(52, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 0), Element(64, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 0),
      Element(68, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 1)},
     8, 72},
    // B0
    {{Position, Element(12, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 0),
      Element(24, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 1), Element(36, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 2),
      Element(48, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 0), Element(52, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 1)},
     6, 56},
    // B1
    {{Position, Element(12, D3DDECLTYPE_UBYTE4, D3DDECLUSAGE_BLENDINDICES, 0),
      Element(16, D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_BLENDWEIGHT, 0), Element(32, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 0),
      Element(44, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 1), Element(56, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 2),
      Element(68, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 0), Element(72, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 1)},
     8, 76},
    // B2
    {{Position, Element(12, D3DDECLTYPE_UBYTE4, D3DDECLUSAGE_BLENDINDICES, 0),
      Element(16, D3DDECLTYPE_UBYTE4, D3DDECLUSAGE_BLENDINDICES, 1),
      Element(20, D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_BLENDWEIGHT, 0), Element(36, D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_BLENDWEIGHT, 1),
      Element(52, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 0), Element(64, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 1),
      Element(76, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 2), Element(88, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 0),
      Element(92, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 1)},
     10, 96},
};

// Models: two two-float coordinate sets, the second starting at 36 as the
// model files lay them out.
constexpr D3DVERTEXELEMENT9 kModelDeclaration[] = {
    Position,
    Element(12, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 0),
    Element(24, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 0),
    Element(28, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 1),
    Element(32, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD, 0),
    Element(36, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD, 1),
    D3DDECL_END(),
};

}  // namespace

int ReleaseVertexDeclarations() {
    if (IDirect3DDevice9* device = Direct3DDevice.device) {
        device->SetVertexShader(nullptr);
        device->SetPixelShader(nullptr);
        ForgetDeviceShaders();
    }
    for (auto& layout : ShaderVertexDeclarations) {
        for (IDirect3DVertexDeclaration9*& declaration : layout) ReleaseObject(declaration);
    }
    ReleaseObject(ModelVertexDeclaration);
    return 0;
}

int CreateVertexDeclarations() {
    ReleaseVertexDeclarations();
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr) return 0;
    for (int layout = 0; layout < kDeclarationLayoutCount; ++layout) {
        const BaseLayout& base = kLayouts[layout];
        for (int sets = 0; sets < kDeclarationTexCoordVariants; ++sets) {
            D3DVERTEXELEMENT9 elements[kMostBaseElements + kDeclarationTexCoordVariants] = {};
            int count = 0;
            for (int i = 0; i < base.count; ++i) elements[count++] = base.elements[i];
            for (int set = 0; set < sets; ++set) {
                elements[count++] = Element(static_cast<WORD>(base.texCoordStart + 16 * set), D3DDECLTYPE_FLOAT4,
                                            D3DDECLUSAGE_TEXCOORD, static_cast<BYTE>(set));
            }
            elements[count] = D3DDECL_END();
            if (device->CreateVertexDeclaration(elements, &ShaderVertexDeclarations[layout][sets]) != D3D_OK)
                ShaderVertexDeclarations[layout][sets] = nullptr;
        }
    }
    if (device->CreateVertexDeclaration(kModelDeclaration, &ModelVertexDeclaration) != D3D_OK)
        ModelVertexDeclaration = nullptr;
    return 0;
}
