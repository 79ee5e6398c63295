// The states a device starts with, and which states it knows.
#include "platform/d3d9/device_state.h"

#include <bit>

namespace platform::d3d9 {
namespace {

D3DMATRIX Identity() {
    D3DMATRIX matrix{};
    matrix._11 = matrix._22 = matrix._33 = matrix._44 = 1.0f;
    return matrix;
}

DWORD FloatBits(float value) { return std::bit_cast<DWORD>(value); }

struct StateDefault {
    D3DRENDERSTATETYPE state;
    DWORD value;
};

const StateDefault kRenderStateDefaults[] = {
    {D3DRS_ZENABLE, D3DZB_FALSE},
    {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
    {D3DRS_ZWRITEENABLE, TRUE},
    {D3DRS_ALPHATESTENABLE, FALSE},
    {D3DRS_SRCBLEND, D3DBLEND_ONE},
    {D3DRS_DESTBLEND, D3DBLEND_ZERO},
    {D3DRS_CULLMODE, D3DCULL_CCW},
    {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
    {D3DRS_ALPHAREF, 0},
    {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},
    {D3DRS_DITHERENABLE, FALSE},
    {D3DRS_ALPHABLENDENABLE, FALSE},
    {D3DRS_FOGENABLE, FALSE},
    {D3DRS_SPECULARENABLE, FALSE},
    {D3DRS_FOGCOLOR, 0},
    {D3DRS_FOGSTART, FloatBits(0.0f)},
    {D3DRS_FOGEND, FloatBits(1.0f)},
    {D3DRS_FOGDENSITY, FloatBits(1.0f)},
    {D3DRS_TEXTUREFACTOR, 0xFFFFFFFFu},
    {D3DRS_LIGHTING, TRUE},
    {D3DRS_AMBIENT, 0},
    {D3DRS_FOGVERTEXMODE, D3DFOG_NONE},
    {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
    {D3DRS_SPECULARMATERIALSOURCE, D3DMCS_COLOR2},
    {D3DRS_BLENDOP, D3DBLENDOP_ADD},
    {D3DRS_DEPTHBIAS, 0},
};

}  // namespace

bool IsKnownRenderState(DWORD state) {
    for (const StateDefault& known : kRenderStateDefaults)
        if (known.state == state) return true;
    return false;
}

bool IsKnownStageState(DWORD type) {
    switch (type) {
        case D3DTSS_COLOROP: case D3DTSS_COLORARG1: case D3DTSS_COLORARG2:
        case D3DTSS_ALPHAOP: case D3DTSS_ALPHAARG1: case D3DTSS_ALPHAARG2:
        case D3DTSS_TEXCOORDINDEX: case D3DTSS_TEXTURETRANSFORMFLAGS:
            return true;
        default:
            return false;
    }
}

bool IsKnownSamplerState(DWORD type) {
    switch (type) {
        case D3DSAMP_ADDRESSU: case D3DSAMP_ADDRESSV: case D3DSAMP_MAGFILTER:
        case D3DSAMP_MINFILTER: case D3DSAMP_MIPFILTER: case D3DSAMP_MAXANISOTROPY:
            return true;
        default:
            return false;
    }
}

D3DLIGHT9 DefaultLight() {
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 0.0f};
    light.Direction = D3DVECTOR{0.0f, 0.0f, 1.0f};
    return light;
}

void SetDefaultStates(DeviceState& state, bool depthSurface) {
    for (const StateDefault& known : kRenderStateDefaults) state.renderStates[known.state] = known.value;
    state.renderStates[D3DRS_ZENABLE] = depthSurface ? D3DZB_TRUE : D3DZB_FALSE;
    for (DWORD stage = 0; stage < kTextureStages; ++stage) {
        DWORD* stageStates = state.stageStates[stage];
        stageStates[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        stageStates[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        stageStates[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        stageStates[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        stageStates[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        stageStates[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        stageStates[D3DTSS_TEXCOORDINDEX] = stage;
        stageStates[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_DISABLE;
        state.textureTransforms[stage] = Identity();
    }
    for (DWORD sampler = 0; sampler < kSamplers; ++sampler) {
        DWORD* samplerStates = state.samplerStates[sampler];
        samplerStates[D3DSAMP_ADDRESSU] = D3DTADDRESS_WRAP;
        samplerStates[D3DSAMP_ADDRESSV] = D3DTADDRESS_WRAP;
        samplerStates[D3DSAMP_MAGFILTER] = D3DTEXF_POINT;
        samplerStates[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
        samplerStates[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
        samplerStates[D3DSAMP_MAXANISOTROPY] = 1;
    }
    state.world = state.view = state.projection = Identity();
}

}  // namespace platform::d3d9
