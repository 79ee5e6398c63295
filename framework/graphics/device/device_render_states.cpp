// The cached render states of depth, culling, shading, lighting and the
// material sources.
#include "framework/graphics/device/device_state_setters.h"

int SetDeviceZEnable(int value) {
    return SendCachedRenderState(DeviceStates.zEnable, value, D3DRS_ZENABLE, value == 1 ? D3DZB_TRUE : D3DZB_FALSE,
                                 -1, false);
}

int SetDeviceZWriteEnable(int value) {
    return SendCachedRenderState(DeviceStates.zWriteEnable, value, D3DRS_ZWRITEENABLE, static_cast<DWORD>(value), -1,
                                 false);
}

int SetDeviceZFunc(int value) {
    return SendCachedRenderState(DeviceStates.zFunc, value, D3DRS_ZFUNC, static_cast<DWORD>(value), -1, false);
}

int SetDeviceDepthBias(int value) {
    return SendCachedRenderState(DeviceStates.depthBias, value, D3DRS_DEPTHBIAS, static_cast<DWORD>(value), -1,
                                 false);
}

int SetDeviceCullMode(int mode) {
    const DWORD cull = mode == 0 ? D3DCULL_NONE : mode == 2 ? D3DCULL_CW : D3DCULL_CCW;
    return SendCachedRenderState(DeviceStates.cullMode, mode, D3DRS_CULLMODE, cull, 0, false);
}

void SendCachedShadeMode() {
    int& cached = DeviceStates.shadeMode;
    SendCachedRenderState(cached, cached, D3DRS_SHADEMODE, static_cast<DWORD>(cached), 0, false);
}

int SetDeviceDiffuseMaterialSource(int useVertexColour) {
    return SendCachedRenderState(DeviceStates.diffuseMaterialSource, useVertexColour, D3DRS_DIFFUSEMATERIALSOURCE,
                                 useVertexColour != 0 ? D3DMCS_COLOR1 : D3DMCS_MATERIAL, 0, true);
}

int SetDeviceSpecularMaterialSource(int useVertexColour) {
    return SendCachedRenderState(DeviceStates.specularMaterialSource, useVertexColour, D3DRS_SPECULARMATERIALSOURCE,
                                 useVertexColour != 0 ? D3DMCS_COLOR2 : D3DMCS_MATERIAL, 0, true);
}

int SetDeviceLightingEnable(int value) {
    return SendCachedRenderState(DeviceStates.lightingEnable, value, D3DRS_LIGHTING, static_cast<DWORD>(value), 0,
                                 true);
}
