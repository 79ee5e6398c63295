// The blend graphic of the draw settings: a graphic whose pixels weight every
// draw, with its two parameters.
#include "framework/graphics/device/device_state_cache.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/draws/graphic_draw_parts.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/handles/graphic_image.h"
#include "framework/softrender/blend_tables.h"
#include "framework/window/main_window.h"

namespace {

int ClampToByte(int value) { return value < 0 ? 0 : (value > 255 ? 255 : value); }

// On the hardware path the blend graphic is the first texture of its image
// block; its size turns pixels into the texture's coordinates.
void KeepBlendTextureSize(const TexturePiece* piece) {
    DrawSettings& settings = CurrentDrawSettings;
    settings.blendTextureWidth = piece != nullptr ? static_cast<float>(piece->textureWidth) : 0.0f;
    settings.blendTextureHeight = piece != nullptr ? static_cast<float>(piece->textureHeight) : 0.0f;
    settings.blendTextureReciprocalWidth = piece != nullptr ? 1.0f / settings.blendTextureWidth : 0.0f;
    settings.blendTextureReciprocalHeight = piece != nullptr ? 1.0f / settings.blendTextureHeight : 0.0f;
}

}  // namespace

int SetBlendGraphicAndParams(int handle, int param1, int param2) {
    DrawSettings& settings = CurrentDrawSettings;
    if (settings.blendGraphic == handle && settings.blendGraphicParam1 == param1 &&
        settings.blendGraphicParam2 == param2) {
        return 0;
    }
    const GraphicRecord* record = nullptr;
    if (handle != -1) {
        record = GetGraphicRecord(handle);
        if (record == nullptr) return -1;
    }
    const bool hardware = HardwarePathFlag != 0;
    const TexturePiece* piece = nullptr;
    if (hardware) {
        if (Direct3DDevice.device == nullptr) return -1;
        // Refused before anything changes: the hardware path blends with a
        // texture only.
        if (record != nullptr) {
            if (GraphicFirstTexture(record) == nullptr) return -1;
            piece = &record->image->pieces[0];
        }
    }
    WaitWhileInactive();
    settings.blendGraphic = handle;
    settings.blendGraphicParam1 = ClampToByte(param1);
    settings.blendGraphicParam2 = ClampToByte(param2);
    settings.blendImage = record != nullptr && record->image != nullptr ? &record->image->memImg : nullptr;
    BuildParamTable(settings.blendGraphicParam1, settings.blendGraphicParam2);
    if (hardware) {
        SetDeviceBlendTexture(PieceTexture(piece), settings.blendGraphicParam1, settings.blendGraphicParam2);
        KeepBlendTextureSize(piece);
    }
    return 0;
}

int CheckBlendGraphicCovers(const GraphicRecord* record) {
    const GraphicRecord* blend = GetGraphicRecord(CurrentDrawSettings.blendGraphic);
    if (blend == nullptr) return -1;
    return blend->width < record->width || blend->height < record->height ? -1 : 0;
}

void ReleaseBlendGraphic(int handle) {
    DrawSettings& settings = CurrentDrawSettings;
    if (settings.blendGraphic != handle) return;
    settings.blendGraphic = -1;
    settings.blendImage = nullptr;
    // The device must not keep drawing with a texture about to be released.
    SetDeviceBlendTexture(nullptr, -1, -1);
    KeepBlendTextureSize(nullptr);
}
