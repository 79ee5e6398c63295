// The setters: render target and depth surface, transforms, viewport and
// scissor, material and lights, render, texture-stage and sampler states,
// textures, the vertex layout, shaders and their constants. Each checks its
// arguments and, when they are right, changes the device's state; the
// renderer reads the state when it draws.
#include <cstring>

#include "platform/d3d9/device.h"
#include "platform/d3d9/texture.h"
#include "platform/d3d9/vertex_declaration.h"
#include "platform/d3d9/vertex_layouts.h"

namespace platform::d3d9 {
namespace {

D3DMATRIX* TransformSlot(DeviceState& state, D3DTRANSFORMSTATETYPE which) {
    switch (which) {
        case D3DTS_WORLD: return &state.world;
        case D3DTS_VIEW: return &state.view;
        case D3DTS_PROJECTION: return &state.projection;
        default:
            if (which >= D3DTS_TEXTURE0 && which <= D3DTS_TEXTURE7) return &state.textureTransforms[which - D3DTS_TEXTURE0];
            return nullptr;
    }
}

CallArguments& AddLight(CallArguments& arguments, const D3DLIGHT9& light) {
    arguments.Add(Int(light.Type)).Colour(light.Diffuse).Colour(light.Specular).Colour(light.Ambient);
    arguments.Reals(&light.Position.x, 3).Reals(&light.Direction.x, 3);
    const float rest[] = {light.Range,        light.Falloff, light.Attenuation0, light.Attenuation1,
                          light.Attenuation2, light.Theta,   light.Phi};
    return arguments.Reals(rest, 7);
}

// Whether `count` registers from `start` fit in `registers`, without overflow.
bool RegistersFit(UINT start, UINT count, UINT registers) { return uint64_t{start} + count <= registers; }

}  // namespace

HRESULT WINAPI Device::SetRenderTarget(DWORD index, IDirect3DSurface9* surface) {
    Surface* own = OwnSurface(surface);
    HRESULT result = D3D_OK;
    if (index >= core_->caps.NumSimultaneousRTs || own == nullptr || !own->Memory().IsRenderTarget()) {
        result = D3DERR_INVALIDCALL;
    } else {
        Bind(state_.renderTarget, own);
        // A new render target brings a viewport and scissor rectangle of its whole size.
        const SurfaceMemory& memory = own->Memory();
        state_.viewport = D3DVIEWPORT9{0, 0, memory.width, memory.height, 0.0f, 1.0f};
        state_.scissor = memory.Whole();
    }
    return Done(result, "SetRenderTarget", CallArguments().Add(Int(index)).Add(Obj(surface)));
}

HRESULT WINAPI Device::SetDepthStencilSurface(IDirect3DSurface9* surface) {
    Surface* own = OwnSurface(surface);
    HRESULT result = D3D_OK;
    if (surface != nullptr && (own == nullptr || own->Memory().role != SurfaceRole::DepthStencil)) {
        result = D3DERR_INVALIDCALL;
    } else {
        Bind(state_.depthStencil, own);
    }
    return Done(result, "SetDepthStencilSurface", CallArguments().Add(Obj(surface)));
}

HRESULT WINAPI Device::SetTransform(D3DTRANSFORMSTATETYPE which, const D3DMATRIX* matrix) {
    D3DMATRIX* slot = TransformSlot(state_, which);
    const HRESULT result = slot != nullptr && matrix != nullptr ? D3D_OK : D3DERR_INVALIDCALL;
    if (result == D3D_OK) *slot = *matrix;
    CallArguments arguments;
    arguments.Add(Int(which)).Reals(matrix != nullptr ? &matrix->m[0][0] : nullptr, 16);
    return Done(result, "SetTransform", arguments);
}

HRESULT WINAPI Device::SetViewport(const D3DVIEWPORT9* viewport) {
    HRESULT result = D3DERR_INVALIDCALL;
    CallArguments arguments;
    if (viewport != nullptr) {
        const SurfaceMemory& target = state_.renderTarget->Memory();
        const bool inside = uint64_t{viewport->X} + viewport->Width <= target.width &&
                            uint64_t{viewport->Y} + viewport->Height <= target.height;
        const bool depthRange = viewport->MinZ >= 0.0f && viewport->MinZ <= 1.0f && viewport->MaxZ >= 0.0f &&
                                viewport->MaxZ <= 1.0f;
        if (inside && depthRange) {
            state_.viewport = *viewport;
            result = D3D_OK;
        }
        arguments.Add(Int(viewport->X)).Add(Int(viewport->Y)).Add(Int(viewport->Width)).Add(Int(viewport->Height))
            .Add(Real(viewport->MinZ)).Add(Real(viewport->MaxZ));
    } else {
        arguments.Add(Obj(nullptr));
    }
    return Done(result, "SetViewport", arguments);
}

HRESULT WINAPI Device::SetScissorRect(const RECT* rect) {
    const HRESULT result =
        rect != nullptr && rect->left <= rect->right && rect->top <= rect->bottom ? D3D_OK : D3DERR_INVALIDCALL;
    if (result == D3D_OK) state_.scissor = *rect;
    return Done(result, "SetScissorRect", CallArguments().Rect(rect));
}

HRESULT WINAPI Device::SetMaterial(const D3DMATERIAL9* material) {
    CallArguments arguments;
    if (material == nullptr) return Done(D3DERR_INVALIDCALL, "SetMaterial", arguments.Add(Obj(nullptr)));
    state_.material = *material;
    arguments.Colour(material->Diffuse).Colour(material->Ambient).Colour(material->Specular)
        .Colour(material->Emissive).Add(Real(material->Power));
    return Done(D3D_OK, "SetMaterial", arguments);
}

HRESULT WINAPI Device::SetLight(DWORD index, const D3DLIGHT9* light) {
    CallArguments arguments;
    arguments.Add(Int(index));
    if (light == nullptr) return Done(D3DERR_INVALIDCALL, "SetLight", arguments.Add(Obj(nullptr)));
    AddLight(arguments, *light);
    if (light->Type < D3DLIGHT_POINT || light->Type > D3DLIGHT_DIRECTIONAL)
        return Done(D3DERR_INVALIDCALL, "SetLight", arguments);
    state_.lights[index].light = *light;
    return Done(D3D_OK, "SetLight", arguments);
}

HRESULT WINAPI Device::LightEnable(DWORD index, BOOL enable) {
    auto [slot, added] = state_.lights.try_emplace(index);
    if (added) slot->second.light = DefaultLight();
    slot->second.enabled = enable != FALSE;
    return Done(D3D_OK, "LightEnable", CallArguments().Add(Int(index)).Add(Int(enable)));
}

HRESULT WINAPI Device::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    const HRESULT result = IsKnownRenderState(state) ? D3D_OK : D3DERR_INVALIDCALL;
    if (result == D3D_OK) state_.renderStates[state] = value;
    return Done(result, "SetRenderState", CallArguments().Add(Int(state)).Add(Hex(value)));
}

HRESULT WINAPI Device::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
    Texture* own = texture != nullptr ? Texture::From(texture) : nullptr;
    HRESULT result = D3D_OK;
    // System-memory textures are for copying from, never for drawing with.
    if (stage >= kSamplers ||
        (texture != nullptr && (own == nullptr || own->Core() != core_ || own->Pool() == D3DPOOL_SYSTEMMEM))) {
        result = D3DERR_INVALIDCALL;
    } else {
        Bind(state_.textures[stage], own);
    }
    return Done(result, "SetTexture", CallArguments().Add(Int(stage)).Add(Obj(texture)));
}

HRESULT WINAPI Device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    const HRESULT result = stage < kTextureStages && IsKnownStageState(type) ? D3D_OK : D3DERR_INVALIDCALL;
    if (result == D3D_OK) state_.stageStates[stage][type] = value;
    return Done(result, "SetTextureStageState", CallArguments().Add(Int(stage)).Add(Int(type)).Add(Hex(value)));
}

HRESULT WINAPI Device::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
    const HRESULT result = sampler < kSamplers && IsKnownSamplerState(type) ? D3D_OK : D3DERR_INVALIDCALL;
    if (result == D3D_OK) state_.samplerStates[sampler][type] = value;
    return Done(result, "SetSamplerState", CallArguments().Add(Int(sampler)).Add(Int(type)).Add(Hex(value)));
}

HRESULT WINAPI Device::SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) {
    VertexDeclaration* own = declaration != nullptr ? VertexDeclaration::From(declaration) : nullptr;
    HRESULT result = D3D_OK;
    if (declaration != nullptr && (own == nullptr || own->Core() != core_)) {
        result = D3DERR_INVALIDCALL;
    } else {
        // A declaration takes the place of the FVF.
        Bind(state_.declaration, own);
        state_.fvf = 0;
    }
    return Done(result, "SetVertexDeclaration", CallArguments().Add(Obj(declaration)));
}

HRESULT WINAPI Device::SetFVF(DWORD fvf) {
    const HRESULT result = fvf == 0 || FvfVertexSize(fvf) != 0 ? D3D_OK : D3DERR_INVALIDCALL;
    if (result == D3D_OK) {
        // An FVF takes the place of the declaration.
        Bind<VertexDeclaration>(state_.declaration, nullptr);
        state_.fvf = fvf;
    }
    return Done(result, "SetFVF", CallArguments().Add(Hex(fvf)));
}

HRESULT WINAPI Device::SetVertexShader(IDirect3DVertexShader9* shader) {
    VertexShader* own = shader != nullptr ? VertexShader::From(shader) : nullptr;
    const bool right = shader == nullptr || (own != nullptr && own->Core() == core_);
    if (right) Bind(state_.vertexShader, own);
    return Done(right ? D3D_OK : D3DERR_INVALIDCALL, "SetVertexShader", CallArguments().Add(Obj(shader)));
}

HRESULT WINAPI Device::SetPixelShader(IDirect3DPixelShader9* shader) {
    PixelShader* own = shader != nullptr ? PixelShader::From(shader) : nullptr;
    const bool right = shader == nullptr || (own != nullptr && own->Core() == core_);
    if (right) Bind(state_.pixelShader, own);
    return Done(right ? D3D_OK : D3DERR_INVALIDCALL, "SetPixelShader", CallArguments().Add(Obj(shader)));
}

HRESULT WINAPI Device::SetVertexShaderConstantF(UINT startRegister, const float* data, UINT vector4fCount) {
    const bool right = (data != nullptr || vector4fCount == 0) &&
                       RegistersFit(startRegister, vector4fCount, core_->caps.MaxVertexShaderConst);
    if (right && vector4fCount != 0)
        std::memcpy(state_.vertexConstants[startRegister], data, size_t{vector4fCount} * 4 * sizeof(float));
    CallArguments arguments;
    arguments.Add(Int(startRegister)).Add(Int(vector4fCount));
    if (right) arguments.Reals(data, size_t{vector4fCount} * 4);
    return Done(right ? D3D_OK : D3DERR_INVALIDCALL, "SetVertexShaderConstantF", arguments);
}

HRESULT WINAPI Device::SetVertexShaderConstantB(UINT startRegister, const BOOL* data, UINT boolCount) {
    const bool right =
        (data != nullptr || boolCount == 0) && RegistersFit(startRegister, boolCount, kVertexShaderBoolConstants);
    CallArguments arguments;
    arguments.Add(Int(startRegister)).Add(Int(boolCount));
    if (right) {
        for (UINT i = 0; i < boolCount; ++i) {
            state_.vertexBoolConstants[startRegister + i] = data[i];
            arguments.Add(Int(data[i]));
        }
    }
    return Done(right ? D3D_OK : D3DERR_INVALIDCALL, "SetVertexShaderConstantB", arguments);
}

HRESULT WINAPI Device::SetPixelShaderConstantF(UINT startRegister, const float* data, UINT vector4fCount) {
    const bool right = (data != nullptr || vector4fCount == 0) &&
                       RegistersFit(startRegister, vector4fCount, PixelShaderConstantCount(core_->caps));
    if (right && vector4fCount != 0)
        std::memcpy(state_.pixelConstants[startRegister], data, size_t{vector4fCount} * 4 * sizeof(float));
    CallArguments arguments;
    arguments.Add(Int(startRegister)).Add(Int(vector4fCount));
    if (right) arguments.Reals(data, size_t{vector4fCount} * 4);
    return Done(right ? D3D_OK : D3DERR_INVALIDCALL, "SetPixelShaderConstantF", arguments);
}

}  // namespace platform::d3d9
