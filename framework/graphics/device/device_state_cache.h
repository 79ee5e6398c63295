// The device state cache: every state the framework sets on the Direct3D 9
// device goes through one setter here, which keeps the value last sent and
// calls the device only when the new value differs (or the force-set flag
// is on). A setter that sends first draws the pending vertex batch, so that
// queued vertices keep the state they were queued under.
//
// Without a device the sampler-filter, anisotropy, Z, draw-input, viewport,
// scissor and render-target setters return -1 and the others 0; none of them
// does anything.
#pragma once

#include "framework/graphics/draws/blend_states.h"
#include "framework/graphics/device/direct3d_device.h"

constexpr int kDeviceSamplerCount = 8;
constexpr int kDeviceLightCount = 256;
// The lights whose values programmable shaders read from constant registers.
constexpr int kShaderLightCount = 4;

struct DeviceStateCache {
    // While 1, every setter sends its value even when the cache holds it.
    int forceSet;

    // Each entry holds the value last sent; until something is sent, the
    // device's own default where the device has one the cache re-sends.
    int zEnable;
    int zWriteEnable;
    int zFunc = D3DCMP_LESSEQUAL;
    int depthBias;
    int cullMode;  // 0 none, 1 counter-clockwise, 2 clockwise
    int shadeMode = D3DSHADE_GOURAUD;
    int specularEnable;
    int lightingEnable;
    float ambient[4];  // R, G, B, A from 0 to 1

    int fogEnable;
    int fogMode;  // 0 none, 1 exponential, 2 squared exponential, 3 linear
    DWORD fogColor;
    float fogStart;
    float fogEnd;
    float fogDensity;

    // 255 after a device creation, so that the first value is always sent.
    int diffuseMaterialSource;
    int specularMaterialSource;

    int filterMode;  // 0 point, 1 linear, 2 anisotropic
    DWORD magFilter[kDeviceSamplerCount];
    DWORD minFilter[kDeviceSamplerCount];
    DWORD mipFilter[kDeviceSamplerCount];
    int maxAnisotropy;
    int samplerMaxAnisotropy[kDeviceSamplerCount];
    int addressU[kDeviceSamplerCount];
    int addressV[kDeviceSamplerCount];
    // Samplers 0 to samplersInUse - 1 take the filter and anisotropy; the
    // blend states keep the count.
    int samplersInUse = kDeviceSamplerCount;

    DWORD texCoordIndex[kDeviceSamplerCount] = {0, 1, 2, 3, 4, 5, 6, 7};
    int textureTransformUse[kDeviceSamplerCount];
    D3DMATRIX textureTransform[kDeviceSamplerCount];

    // The inputs of the blend states of the next draw.
    IDirect3DTexture9* texture;
    IDirect3DTexture9* blendTexture;
    int blendTextureParam1;
    int blendTextureParam2;
    int blendMode;
    int alphaChannel;
    int transparentColor;
    // Whether the bright colour and the blend parameter take part.
    int brightFlag;
    int blendParamFlag;
    int statesDirty;
    int textureDirty;
    DrawBlendStateBlock userStateBlock;
    int userStateBlockTexturesAreHandles;
    int userStateBlockInForce;

    // The blend states last sent; the device's defaults until then.
    int alphaTestEnable;
    int alphaRef;
    int alphaFunc = D3DCMP_ALWAYS;
    int alphaBlendEnable;
    DWORD textureFactor = 0xFFFFFFFFu;
    int srcBlend = D3DBLEND_ONE;
    int destBlend = D3DBLEND_ZERO;
    int blendOp = D3DBLENDOP_ADD;
    // The texture factor as pixel constant register 5 reads it: blue, green,
    // red and alpha from 0 to 1. Kept whether or not shaders are on.
    float textureFactorRegister[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    IDirect3DBaseTexture9* stageTexture[kDeviceSamplerCount];
    int stageColorOp[kDeviceSamplerCount] = {D3DTOP_MODULATE, D3DTOP_DISABLE, D3DTOP_DISABLE, D3DTOP_DISABLE,
                                             D3DTOP_DISABLE, D3DTOP_DISABLE, D3DTOP_DISABLE, D3DTOP_DISABLE};
    int stageColorArg1[kDeviceSamplerCount] = {D3DTA_TEXTURE, D3DTA_TEXTURE, D3DTA_TEXTURE, D3DTA_TEXTURE,
                                               D3DTA_TEXTURE, D3DTA_TEXTURE, D3DTA_TEXTURE, D3DTA_TEXTURE};
    int stageColorArg2[kDeviceSamplerCount] = {D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT,
                                               D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT};
    int stageAlphaOp[kDeviceSamplerCount] = {D3DTOP_SELECTARG1, D3DTOP_DISABLE, D3DTOP_DISABLE, D3DTOP_DISABLE,
                                             D3DTOP_DISABLE, D3DTOP_DISABLE, D3DTOP_DISABLE, D3DTOP_DISABLE};
    int stageAlphaArg1[kDeviceSamplerCount] = {D3DTA_TEXTURE, D3DTA_TEXTURE, D3DTA_TEXTURE, D3DTA_TEXTURE,
                                               D3DTA_TEXTURE, D3DTA_TEXTURE, D3DTA_TEXTURE, D3DTA_TEXTURE};
    int stageAlphaArg2[kDeviceSamplerCount] = {D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT,
                                               D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT};

    D3DVIEWPORT9 viewport;
    RECT scissor;
    IDirect3DSurface9* renderTarget;

    // The view matrix last sent, which puts the lights into view space.
    D3DMATRIX view;
    D3DMATERIAL9 material;
    D3DLIGHT9 lights[kDeviceLightCount];
    int lightEnabled[kDeviceLightCount];
    int highestEnabledLight;

    // Device objects, cleared whenever the device is created.
    IDirect3DVertexShader9* vertexShader;
    IDirect3DPixelShader9* pixelShader;
    IDirect3DVertexDeclaration9* vertexDeclaration;
    DWORD fvf;
};
extern DeviceStateCache DeviceStates;

int SetDeviceSamplerFilter(int mode);
int SetDeviceMaxAnisotropy(int value);
int SetDeviceZEnable(int value);
int SetDeviceZWriteEnable(int value);
int SetDeviceZFunc(int value);
int SetDeviceDepthBias(int value);
// 0 none, 2 clockwise, anything else counter-clockwise.
int SetDeviceCullMode(int mode);
int SetDeviceDiffuseMaterialSource(int useVertexColour);
int SetDeviceSpecularMaterialSource(int useVertexColour);
int SetDeviceLightingEnable(int value);
int SetDeviceFogEnable(int value);
int SetDeviceFogMode(int mode);
int SetDeviceFogColor(DWORD color);
int SetDeviceFogStartEnd(float start, float end);
int SetDeviceFogDensity(float density);
// Sampler 0 to 7, or -1 for all eight; -1 for a sampler above 7.
int SetDeviceSamplerAddressU(int sampler, int mode);
int SetDeviceSamplerAddressV(int sampler, int mode);
// Stage 0 to 7, or -1 for stages 0 to 3; use 1 turns the transform on.
int SetDeviceTextureTransforms(int stage, int use, const D3DMATRIX* matrix);
int ResetTexCoordIndexes();

// Transforms are not cached: their callers keep the matrices.
int SetDeviceWorldTransform(const D3DMATRIX* matrix);
int SendViewMatrix(const D3DMATRIX* matrix);
int SendProjectionMatrix(const D3DMATRIX* matrix);

int SetDeviceViewport(const D3DVIEWPORT9* viewport);
void MakeViewportFromRect(int left, int top, int right, int bottom);
int SetDeviceScissorRect(const RECT* rect);
int SetDeviceRenderTarget(IDirect3DSurface9* surface);

int SetDeviceMaterial(const D3DMATERIAL9* material);
// Packed ARGB.
int SetDeviceAmbientColor(DWORD color);
int SendLightToDevice(int index, const D3DLIGHT9* light);
int EnableDeviceLight(int index, int enable);
int UpdateLightColourConstants();

int SetCurrentDrawTexture(IDirect3DTexture9* texture);
int SetDeviceDrawBlendMode(int blendMode, int alphaChannel, int transparentColor);
// A parameter of -1 keeps the one cached.
int SetDeviceBlendTexture(IDirect3DTexture9* texture, int param1, int param2);
// Null takes the block out of force; a block is copied and applied at once.
int SetDeviceUserStateBlock(const DrawBlendStateBlock* block, int texturesAreHandles);

// Float registers reach the device only while programmable shaders are on.
int SetVertexShaderConstants(int firstRegister, const float* data, int count);
int SetPixelShaderConstants(int firstRegister, const float* data, int count);

// The states every new device gets.
int InitDeviceFixedStates();
// Sends every cached value again with the force-set flag on.
int ReapplyDeviceStates();
// A new device starts with no shader, declaration or FVF set.
void ForgetDeviceObjects();
// After SetVertexShader(null) and SetPixelShader(null): no shader and no
// declaration is cached as set.
void ForgetDeviceShaders();
