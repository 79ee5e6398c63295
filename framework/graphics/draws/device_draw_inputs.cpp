// The inputs of the blend states of the next draw: the texture, the blend
// mode with the graphic's alpha-channel and transparent-colour flags, the
// blend graphic's texture with its parameters, and a caller's own state
// block. They only record and mark the blend states for sending; the blend
// states reach the device when a draw applies them.
#include "framework/graphics/draws/blend_states.h"
#include "framework/graphics/device/device_state_setters.h"
#include "framework/graphics/draws/vertex_batch.h"

int SetCurrentDrawTexture(IDirect3DTexture9* texture) {
    if (Direct3DDevice.device == nullptr) return -1;
    DeviceStateCache& cache = DeviceStates;
    if (texture == cache.texture && !cache.forceSet) return 0;
    FlushVertexBatch();
    cache.textureDirty = 1;
    // Drawing with a texture and without one differ in their stage set-up.
    if ((texture == nullptr) != (cache.texture == nullptr)) cache.statesDirty = 1;
    cache.texture = texture;
    return 0;
}

int SetDeviceDrawBlendMode(int blendMode, int alphaChannel, int transparentColor) {
    if (Direct3DDevice.device == nullptr) return -1;
    DeviceStateCache& cache = DeviceStates;
    if (blendMode == cache.blendMode && alphaChannel == cache.alphaChannel &&
        transparentColor == cache.transparentColor && !cache.forceSet)
        return 0;
    cache.blendMode = blendMode;
    cache.alphaChannel = alphaChannel;
    cache.transparentColor = transparentColor;
    cache.statesDirty = 1;
    return 0;
}

int SetDeviceBlendTexture(IDirect3DTexture9* texture, int param1, int param2) {
    if (Direct3DDevice.device == nullptr) return -1;
    DeviceStateCache& cache = DeviceStates;
    if (!cache.forceSet &&
        ((texture == nullptr && cache.blendTexture == nullptr) ||
         (texture == cache.blendTexture && param1 == cache.blendTextureParam1 && param2 == cache.blendTextureParam2)))
        return 0;
    FlushVertexBatch();
    if (param1 != -1) cache.blendTextureParam1 = param1;
    if (param2 != -1) cache.blendTextureParam2 = param2;
    cache.blendTexture = texture;
    cache.statesDirty = 1;
    return 0;
}

int SetDeviceUserStateBlock(const DrawBlendStateBlock* block, int texturesAreHandles) {
    if (Direct3DDevice.device == nullptr) return -1;
    FlushVertexBatch();
    DeviceStateCache& cache = DeviceStates;
    if (block == nullptr) {
        cache.userStateBlockInForce = 0;
        return 0;
    }
    cache.userStateBlock = *block;
    cache.userStateBlockTexturesAreHandles = texturesAreHandles;
    cache.userStateBlockInForce = 1;
    cache.statesDirty = 1;
    cache.textureDirty = 1;
    ApplyDrawBlendStates(nullptr, 1, 0);
    return 0;
}
