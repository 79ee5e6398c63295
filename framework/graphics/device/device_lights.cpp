// The material, the ambient colour and the lights, with the constants that
// programmable shaders read for lights 0 to 3: vertex registers 14 + 7i to
// 20 + 7i (position and direction in view space, diffuse, specular, ambient
// times the material's ambient, range and attenuation, spot cone) and pixel
// registers 9 + 3i to 11 + 3i (diffuse, specular, ambient).
#include <cmath>
#include <cstring>

#include "framework/graphics/device/device_state_setters.h"
#include "framework/graphics/shaders/shader_pack.h"
#include "framework/graphics/draws/vertex_batch.h"

namespace {

int VertexLightRegister(int light) { return 14 + 7 * light; }
int PixelLightRegister(int light) { return 9 + 3 * light; }

D3DCOLORVALUE Times(const D3DCOLORVALUE& a, const D3DCOLORVALUE& b) {
    return D3DCOLORVALUE{a.r * b.r, a.g * b.g, a.b * b.b, a.a * b.a};
}

void SendColour(int (*send)(int, const float*, int), int reg, const D3DCOLORVALUE& colour) {
    send(reg, &colour.r, 1);
}

}  // namespace

void SendLightViewConstants(int light) {
    const DeviceStateCache& cache = DeviceStates;
    const D3DLIGHT9& record = cache.lights[light];
    float position[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float direction[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    TransformPointByMatrix(position, &record.Position.x, &cache.view);
    TransformDirectionByMatrix(direction, &record.Direction.x, &cache.view);
    SetVertexShaderConstants(VertexLightRegister(light), position, 1);
    SetVertexShaderConstants(VertexLightRegister(light) + 1, direction, 1);
}

int UpdateLightColourConstants() {
    const DeviceStateCache& cache = DeviceStates;
    const D3DCOLORVALUE materialAmbient = cache.material.Ambient;
    // Only lights 0 to 3 have registers.
    for (int light = 0; light <= cache.highestEnabledLight && light < kShaderLightCount; ++light) {
        if (!cache.lightEnabled[light]) continue;
        const D3DCOLORVALUE ambient = Times(cache.lights[light].Ambient, materialAmbient);
        SendColour(SetVertexShaderConstants, VertexLightRegister(light) + 4, ambient);
        SendColour(SetPixelShaderConstants, PixelLightRegister(light) + 2, ambient);
    }
    const D3DCOLORVALUE& emissive = cache.material.Emissive;
    const D3DCOLORVALUE global = {cache.ambient[0] * materialAmbient.r + emissive.r,
                                  cache.ambient[1] * materialAmbient.g + emissive.g,
                                  cache.ambient[2] * materialAmbient.b + emissive.b,
                                  cache.ambient[3] * materialAmbient.a + emissive.a};
    SendColour(SetVertexShaderConstants, 1, global);
    SendColour(SetPixelShaderConstants, 1, global);
    return 0;
}

int SetDeviceMaterial(const D3DMATERIAL9* material) {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr || material == nullptr) return 0;
    DeviceStateCache& cache = DeviceStates;
    if (std::memcmp(material, &cache.material, sizeof(D3DMATERIAL9)) == 0 && !cache.forceSet) return 0;
    FlushVertexBatch();
    const float power[4] = {material->Power, 0.0f, 0.0f, 0.0f};
    SendColour(SetVertexShaderConstants, 11, material->Diffuse);
    SendColour(SetVertexShaderConstants, 12, material->Specular);
    SetVertexShaderConstants(13, power, 1);
    SendColour(SetPixelShaderConstants, 2, material->Diffuse);
    SendColour(SetPixelShaderConstants, 3, material->Specular);
    SetPixelShaderConstants(4, power, 1);
    // The light colours read the new material.
    cache.material = *material;
    UpdateLightColourConstants();
    return device->SetMaterial(material) == D3D_OK ? 0 : -1;
}

int SetDeviceAmbientColor(DWORD color) {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr) return 0;
    FlushVertexBatch();
    DeviceStateCache& cache = DeviceStates;
    cache.ambient[0] = static_cast<float>((color >> 16) & 0xFF) / 255.0f;
    cache.ambient[1] = static_cast<float>((color >> 8) & 0xFF) / 255.0f;
    cache.ambient[2] = static_cast<float>(color & 0xFF) / 255.0f;
    cache.ambient[3] = static_cast<float>(color >> 24) / 255.0f;
    UpdateLightColourConstants();
    return device->SetRenderState(D3DRS_AMBIENT, color) == D3D_OK ? 0 : -1;
}

int SendLightToDevice(int index, const D3DLIGHT9* light) {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr || light == nullptr) return 0;
    FlushVertexBatch();
    DeviceStateCache& cache = DeviceStates;
    if (index >= 0 && index < kDeviceLightCount) cache.lights[index] = *light;
    if (index >= 0 && index < kShaderLightCount) {
        SendLightViewConstants(index);
        const int first = VertexLightRegister(index);
        const D3DCOLORVALUE ambient = Times(light->Ambient, cache.material.Ambient);
        const double cosHalfTheta = std::cos(light->Theta / 2.0);
        const double cosHalfPhi = std::cos(light->Phi / 2.0);
        const float range[4] = {light->Range * light->Range, light->Falloff, light->Attenuation0,
                                light->Attenuation1};
        const float cone[4] = {light->Attenuation2, static_cast<float>(cosHalfPhi),
                               static_cast<float>(1.0 / (cosHalfTheta - cosHalfPhi)), 0.0f};
        SendColour(SetVertexShaderConstants, first + 2, light->Diffuse);
        SendColour(SetVertexShaderConstants, first + 3, light->Specular);
        SendColour(SetVertexShaderConstants, first + 4, ambient);
        SetVertexShaderConstants(first + 5, range, 1);
        SetVertexShaderConstants(first + 6, cone, 1);
        const int pixelFirst = PixelLightRegister(index);
        SendColour(SetPixelShaderConstants, pixelFirst, light->Diffuse);
        SendColour(SetPixelShaderConstants, pixelFirst + 1, light->Specular);
        SendColour(SetPixelShaderConstants, pixelFirst + 2, ambient);
        UpdateLightColourConstants();
        // Whether the light has a position, and whether it has a cone.
        const BOOL kinds[2] = {light->Type == D3DLIGHT_POINT || light->Type == D3DLIGHT_SPOT,
                               light->Type == D3DLIGHT_SPOT};
        device->SetVertexShaderConstantB(static_cast<UINT>(5 + 3 * index), kinds, 2);
    }
    return device->SetLight(static_cast<DWORD>(index), light) == D3D_OK ? 0 : -1;
}

int EnableDeviceLight(int index, int enable) {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr) return 0;
    FlushVertexBatch();
    DeviceStateCache& cache = DeviceStates;
    if (index >= 0 && index < kDeviceLightCount) {
        cache.lightEnabled[index] = enable != 0 ? 1 : 0;
        if (enable != 0 && index > cache.highestEnabledLight) {
            cache.highestEnabledLight = index;
        } else if (enable == 0 && index == cache.highestEnabledLight) {
            int lower = index - 1;
            while (lower >= 0 && !cache.lightEnabled[lower]) --lower;
            cache.highestEnabledLight = lower >= 0 ? lower : 0;
        }
    }
    UpdateLightColourConstants();
    if (index >= 0 && index < kShaderLightCount && ProgrammableShadersOn) {
        const BOOL enabled = enable != 0 ? TRUE : FALSE;
        device->SetVertexShaderConstantB(static_cast<UINT>(4 + 3 * index), &enabled, 1);
    }
    return device->LightEnable(static_cast<DWORD>(index), enable != 0 ? TRUE : FALSE) == D3D_OK ? 0 : -1;
}

namespace {

float* Transform(float* out, const float* in, const D3DMATRIX* matrix, double translation) {
    const double x = in[0], y = in[1], z = in[2];
    double result[3];
    for (int column = 0; column < 3; ++column) {
        result[column] = x * matrix->m[0][column] + y * matrix->m[1][column] + z * matrix->m[2][column] +
                         translation * matrix->m[3][column];
    }
    for (int column = 0; column < 3; ++column) out[column] = static_cast<float>(result[column]);
    return out;
}

}  // namespace

float* TransformPointByMatrix(float* out, const float* point, const D3DMATRIX* matrix) {
    return Transform(out, point, matrix, 1.0);
}

float* TransformDirectionByMatrix(float* out, const float* direction, const D3DMATRIX* matrix) {
    return Transform(out, direction, matrix, 0.0);
}
