// The blend graphic of the draw settings: a graphic whose pixels weight every
// draw, with its two parameters.
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/graphic_handles.h"
#include "framework/graphics/graphic_image.h"
#include "framework/softrender/blend_tables.h"
#include "framework/window/main_window.h"

namespace {

int ClampToByte(int value) { return value < 0 ? 0 : (value > 255 ? 255 : value); }

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
    WaitWhileInactive();
    settings.blendGraphic = handle;
    settings.blendGraphicParam1 = ClampToByte(param1);
    settings.blendGraphicParam2 = ClampToByte(param2);
    settings.blendImage = record != nullptr && record->image != nullptr ? &record->image->memImg : nullptr;
    BuildParamTable(settings.blendGraphicParam1, settings.blendGraphicParam2);
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
}
