// The set-up before each hardware draw: every state through its cached
// setter, so that a run of draws with the same settings costs no device call.
#include "framework/graphics/draws/draw_pipeline.h"

#include "framework/graphics/draws/blend_states.h"
#include "framework/graphics/device/device_state_setters.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/handles/graphic_image.h"
#include "framework/graphics/models/light_table.h"
#include "framework/graphics/draws/vertex_batch.h"

DrawPipelineSetup LastDrawPipelineSetup = {nullptr, nullptr, 0};

void ClearLastDrawPipelineSetup() { LastDrawPipelineSetup = DrawPipelineSetup{nullptr, nullptr, 0}; }

namespace {

D3DCOLORVALUE ToColour(const FLOAT4& value) { return D3DCOLORVALUE{value.x, value.y, value.z, value.w}; }

void TakeOffShaders(IDirect3DDevice9* device) {
    DeviceStateCache& cache = DeviceStates;
    if (cache.vertexShader != nullptr) {
        FlushVertexBatch();
        device->SetVertexShader(nullptr);
        cache.vertexShader = nullptr;
        // The next draw sends its own vertex format or layout again.
        cache.fvf = 0;
        cache.vertexDeclaration = nullptr;
    }
    if (cache.pixelShader != nullptr) {
        FlushVertexBatch();
        device->SetPixelShader(nullptr);
        cache.pixelShader = nullptr;
    }
}

void SetUpLighting(int flags) {
    DrawSettings& settings = CurrentDrawSettings;
    if (!(flags & kPipelineLighting) || settings.lightingOff) {
        SetDeviceLightingEnable(0);
        return;
    }
    if (LightsNeedSending()) {
        FlushLightsToDevice();
    } else {
        SetDeviceLightingEnable(1);
    }
    if (settings.materialChanged) {
        const MaterialSettings& source = settings.material;
        const D3DMATERIAL9 material = {ToColour(source.diffuse), ToColour(source.ambient), ToColour(source.specular),
                                       ToColour(source.emissive), source.power};
        SetDeviceMaterial(&material);
        settings.materialChanged = 0;
    }
}

void SetUpDepth(int flags) {
    const DrawSettings& settings = CurrentDrawSettings;
    const DepthSettings& depth = flags & kPipeline3DDepth ? settings.depthSet3D : settings.depthSet2D;
    if (!depth.enable) {
        SetDeviceZEnable(0);
        return;
    }
    SetDeviceZEnable(depth.enable);
    SetDeviceZWriteEnable(depth.write);
    SetDeviceZFunc(depth.function);
    SetDeviceDepthBias(depth.bias);
}

// The inputs of the blend states: the graphic's transparency, whether the
// bright colour and the blend parameter take part, the texture and the mode.
void SetUpBlendInputs(const GraphicImage* drawInfo, IDirect3DTexture9* texture, int flags) {
    const DrawSettings& settings = CurrentDrawSettings;
    DeviceStateCache& cache = DeviceStates;
    int alphaChannel = 0;
    int transparentColor = 0;
    if (texture != nullptr && drawInfo != nullptr && (flags & kPipelineTransparent) &&
        (drawInfo->alphaChannel || drawInfo->alphaTest)) {
        const bool keepsOwnFlags =
            (settings.blendMode == kBlendModeNone || settings.blendMode == kBlendModeKeepTarget) &&
            ((flags & kPipelineKeepOwnAlpha) || settings.filterMode != 1);
        if (keepsOwnFlags) {
            alphaChannel = drawInfo->alphaChannel ? 1 : 0;
            transparentColor = drawInfo->alphaTest ? 1 : 0;
        } else {
            // Filtered edges, or any other mode, blend the graphic's edges.
            alphaChannel = 1;
        }
    }
    const int bright = (flags & kPipelineForceBright) || settings.brightColor != 0x00FFFFFFu ? 1 : 0;
    const bool paramActs =
        (flags & kPipelineForceBlendParam) || settings.blendMode != kBlendModeNone || settings.blendParamInMode0;
    const int blendParam = paramActs ? 1 : 0;
    if (bright != cache.brightFlag || blendParam != cache.blendParamFlag) {
        cache.brightFlag = bright;
        cache.blendParamFlag = blendParam;
        cache.statesDirty = 1;
    }
    if (texture != cache.texture) SetCurrentDrawTexture(texture);
    SetDeviceDrawBlendMode(settings.blendMode, alphaChannel, transparentColor);
    if (cache.statesDirty || cache.textureDirty) ApplyDrawBlendStates(nullptr, 1, 0);
}

// A sampler's address modes go as a pair when either differs.
void SetAddressModes(int sampler, int u, int v) {
    DeviceStateCache& cache = DeviceStates;
    if (cache.addressU[sampler] == u && cache.addressV[sampler] == v && !cache.forceSet) return;
    const int forced = cache.forceSet;
    cache.forceSet = 1;
    SetDeviceSamplerAddressU(sampler, u);
    SetDeviceSamplerAddressV(sampler, v);
    cache.forceSet = forced;
}

}  // namespace

int SetupDrawPipeline(const GraphicImage* drawInfo, IDirect3DTexture9* texture, int flags) {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr) return -1;
    DeviceStateCache& cache = DeviceStates;
    const DrawSettings& settings = CurrentDrawSettings;

    if (!(flags & kPipelineKeepShaders)) TakeOffShaders(device);
    SetUpLighting(flags);
    const int specular = (flags & kPipelineSpecular) && !settings.specularOff ? 1 : 0;
    SendCachedRenderState(cache.specularEnable, specular, D3DRS_SPECULARENABLE, static_cast<DWORD>(specular), 0, false);
    SetUpDepth(flags);
    SetDeviceFogEnable(flags & kPipelineFog ? settings.fogEnable : 0);
    if (!(flags & kPipelineKeepBlendStates)) SetUpBlendInputs(drawInfo, texture, flags);
    const int shade = flags & kPipelineGouraud ? D3DSHADE_GOURAUD : D3DSHADE_FLAT;
    SendCachedRenderState(cache.shadeMode, shade, D3DRS_SHADEMODE, static_cast<DWORD>(shade), 0, false);
    SetDeviceSamplerFilter(settings.filterMode);
    SetDeviceMaxAnisotropy(settings.maxAnisotropy);
    SetDeviceCullMode(settings.cullMode);
    if (flags & kPipelineAddressModes) {
        for (int sampler = 0; sampler < kSamplerStageCount; ++sampler)
            SetAddressModes(sampler, settings.textureAddressU[sampler], settings.textureAddressV[sampler]);
    } else {
        for (int sampler = 0; sampler < 4; ++sampler) SetAddressModes(sampler, kTextureAddressClamp, kTextureAddressClamp);
    }
    LastDrawPipelineSetup = DrawPipelineSetup{drawInfo, texture, flags};
    return 0;
}
