// Filled and outlined boxes on the hardware path: untextured triangles in
// the box colour times the bright colour, blended as the draw settings say.
// Box corners are whole pixels with no half-pixel shift, so a box from
// (x1, y1) to (x2, y2) covers the pixels x1 to x2 - 1 and y1 to y2 - 1.
#include "framework/graphics/draws/blend_states.h"
#include "framework/graphics/draws/device_draw_vertices.h"
#include "framework/graphics/draws/device_draws.h"
#include "framework/graphics/device/device_state_cache.h"
#include "framework/graphics/draws/draw_pipeline.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/models/matrix_math.h"
#include "framework/graphics/draws/vertex_batch.h"

namespace {

// A box draws without a texture: the current one is let go.
void DropCurrentTexture() {
    DeviceStateCache& cache = DeviceStates;
    if (cache.texture == nullptr && !cache.forceSet) return;
    FlushVertexBatch();
    cache.textureDirty = 1;
    if (cache.texture != nullptr) cache.statesDirty = 1;
    cache.texture = nullptr;
}

// The colour's channels times the draw colour's, with the draw colour's alpha.
DWORD BoxColour(int colour) {
    int red = 0, green = 0, blue = 0;
    SplitScreenColorCode(static_cast<uint32_t>(colour), &red, &green, &blue);
    const DrawSettings& settings = CurrentDrawSettings;
    const DWORD alpha = settings.diffuseColor >> 24;
    return alpha << 24 | static_cast<DWORD>(red * settings.brightRed / 255) << 16 |
           static_cast<DWORD>(green * settings.brightGreen / 255) << 8 |
           static_cast<DWORD>(blue * settings.brightBlue / 255);
}

// The blend states for an untextured draw, then the untextured vertex
// layout, whatever a caller's own state block chose.
void ApplyBoxStates() {
    const DeviceStateCache& cache = DeviceStates;
    if (cache.statesDirty || cache.textureDirty) ApplyDrawBlendStates(nullptr, 1, 0);
    SelectBatchFormat(kVertexFormatPlain);
}

}  // namespace

int DrawRectFilledOnDevice(int x1, int y1, int x2, int y2, int colour) {
    if (Direct3DDevice.device == nullptr) return -1;
    RECT box = {x1 < x2 ? x1 : x2, y1 < y2 ? y1 : y2, x1 < x2 ? x2 : x1, y1 < y2 ? y2 : y1};
    ClipRectTo(&box, &CurrentDrawSettings.drawArea);
    if (box.right <= box.left || box.bottom <= box.top) return 0;
    BeginDeviceScene();
    DropCurrentTexture();
    SetupDrawPipeline(nullptr, nullptr, kPipelineForceBright);
    const DWORD diffuse = BoxColour(colour);
    ApplyBoxStates();
    MakeRoomInBatch(6);
    AppendPlainQuad(static_cast<float>(box.left), static_cast<float>(box.top), static_cast<float>(box.right),
                    static_cast<float>(box.bottom), diffuse);
    return 0;
}

int DrawRectFrameOnDevice(int x1, int y1, int x2, int y2, int colour) {
    if (Direct3DDevice.device == nullptr) return -1;
    BeginDeviceScene();
    DropCurrentTexture();
    SetupDrawPipeline(nullptr, nullptr, kPipelineForceBright);
    const DWORD diffuse = BoxColour(colour);
    const float left = static_cast<float>(x1 < x2 ? x1 : x2);
    const float right = static_cast<float>(x1 < x2 ? x2 : x1);
    const float top = static_cast<float>(y1 < y2 ? y1 : y2);
    const float bottom = static_cast<float>(y1 < y2 ? y2 : y1);
    ApplyBoxStates();
    MakeRoomInBatch(24, true);
    // Four one-pixel bands, each pixel of the outline in exactly one.
    AppendPlainQuad(left, top, right, top + 1.0f, diffuse);
    AppendPlainQuad(right - 1.0f, top + 1.0f, right, bottom, diffuse);
    AppendPlainQuad(left, top + 1.0f, left + 1.0f, bottom, diffuse);
    AppendPlainQuad(left + 1.0f, bottom - 1.0f, right - 1.0f, bottom, diffuse);
    return 0;
}
