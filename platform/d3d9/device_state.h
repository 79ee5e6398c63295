// Everything a device has been told to draw with: render, texture-stage and
// sampler states, bound textures, transforms, viewport and scissor, the
// material and lights, the vertex layout, shaders and their constants, the
// render target and depth surface. The device keeps it and holds a reference
// to every object in it; renderers read it. Private to platform/d3d9.
#pragma once

#include <map>

#include "platform/d3d9/adapter.h"
#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/shaders.h"

namespace platform::d3d9 {

class Surface;
class Texture;
class VertexDeclaration;

struct LightSlot {
    D3DLIGHT9 light{};
    bool enabled = false;
};

struct DeviceState {
    // Indexed by the state numbers; only the known ones are ever set.
    static constexpr DWORD kRenderStates = 256;
    static constexpr DWORD kStageStates = 33;
    static constexpr DWORD kSamplerStates = 14;
    static constexpr DWORD kPixelShaderConstants = 224;

    DWORD renderStates[kRenderStates] = {};
    DWORD stageStates[kTextureStages][kStageStates] = {};
    DWORD samplerStates[kSamplers][kSamplerStates] = {};
    Texture* textures[kSamplers] = {};

    D3DMATRIX world{};
    D3DMATRIX view{};
    D3DMATRIX projection{};
    D3DMATRIX textureTransforms[kTextureStages] = {};

    D3DVIEWPORT9 viewport{};
    RECT scissor{};
    D3DMATERIAL9 material{};
    std::map<DWORD, LightSlot> lights;

    DWORD fvf = 0;
    VertexDeclaration* declaration = nullptr;
    VertexShader* vertexShader = nullptr;
    PixelShader* pixelShader = nullptr;
    float vertexConstants[kVertexShaderConstants][4] = {};
    BOOL vertexBoolConstants[kVertexShaderBoolConstants] = {};
    float pixelConstants[kPixelShaderConstants][4] = {};

    Surface* renderTarget = nullptr;
    Surface* depthStencil = nullptr;
};

// The states as a new device has them; Z is on when it has a depth surface.
void SetDefaultStates(DeviceState& state, bool depthSurface);

bool IsKnownRenderState(DWORD state);
bool IsKnownStageState(DWORD type);
bool IsKnownSamplerState(DWORD type);

// The light a device gives an index that is switched on before it was set:
// white, directional, shining along +z.
D3DLIGHT9 DefaultLight();

}  // namespace platform::d3d9
