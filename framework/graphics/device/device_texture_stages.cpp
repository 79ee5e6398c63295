// The cached texture-stage states: which coordinate set each stage reads,
// and the texture-coordinate transforms.
#include "framework/graphics/device/device_state_setters.h"
#include "framework/graphics/draws/vertex_batch.h"

namespace {

constexpr int kAllTransformStages = 4;  // what stage -1 covers

D3DTRANSFORMSTATETYPE TextureTransform(int stage) {
    return static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0 + stage);
}

}  // namespace

int ResetTexCoordIndexes() {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr) return 0;
    DeviceStateCache& cache = DeviceStates;
    for (int stage = 0; stage < kDeviceSamplerCount; ++stage) {
        const DWORD index = static_cast<DWORD>(stage);
        if (cache.texCoordIndex[stage] == index && !cache.forceSet) continue;
        device->SetTextureStageState(index, D3DTSS_TEXCOORDINDEX, index);
        cache.texCoordIndex[stage] = index;
    }
    return 0;
}

// The force-set flag plays no part here: the transforms are re-sent by
// whoever set them. The use flag is kept as on (1) or off (0), so that any
// other value turns the transform off as the device was told.
int SetDeviceTextureTransforms(int stage, int use, const D3DMATRIX* matrix) {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr) return 0;
    const int on = use == 1 ? 1 : 0;
    // A transform turned on needs its matrix; one turned off may come without.
    if (on && matrix == nullptr) return 0;
    DeviceStateCache& cache = DeviceStates;
    if (stage == -1) {
        FlushVertexBatch();
        const DWORD flags = on ? D3DTTFF_COUNT3 : D3DTTFF_DISABLE;
        for (int each = 0; each < kAllTransformStages; ++each)
            device->SetTextureStageState(static_cast<DWORD>(each), D3DTSS_TEXTURETRANSFORMFLAGS, flags);
        if (on) {
            for (int each = 0; each < kAllTransformStages; ++each) device->SetTransform(TextureTransform(each), matrix);
        }
        for (int each = 0; each < kAllTransformStages; ++each) {
            cache.textureTransformUse[each] = on;
            if (matrix != nullptr) cache.textureTransform[each] = *matrix;
        }
        return 0;
    }
    if (stage < 0 || stage >= kDeviceSamplerCount) return 0;
    if (cache.textureTransformUse[stage] == 0 && !on) return 0;
    FlushVertexBatch();
    const DWORD index = static_cast<DWORD>(stage);
    if (on) {
        if (cache.textureTransformUse[stage] == 0)
            device->SetTextureStageState(index, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3);
        device->SetTransform(TextureTransform(stage), matrix);
    } else {
        device->SetTextureStageState(index, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    }
    cache.textureTransformUse[stage] = on;
    if (matrix != nullptr) cache.textureTransform[stage] = *matrix;
    return 0;
}
