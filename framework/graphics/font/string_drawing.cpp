// The public string draws: the checks every draw makes, the mask hooks and
// the rectangle they need, the emulated subtract blend, and the choice of
// path: glyphs from the cache graphic on the hardware path, glyph pixels
// written into memory images on the software path.
#include "framework/graphics/font/string_drawing.h"

#include "framework/base/log.h"
#include "framework/graphics/draws/device_draws.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/font/font_handles.h"
#include "framework/graphics/font/font_record.h"
#include "framework/graphics/font/glyph_cache.h"
#include "framework/graphics/font/glyph_pixel_writes.h"
#include "framework/graphics/draws/graphic_draw_coordinates.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/screen/mask_screen.h"
#include "framework/graphics/models/matrix_math.h"
#include "framework/graphics/draws/subtract_emulation.h"
#include "framework/softrender/blit_memimg.h"
#include "framework/softrender/memimg.h"
#include "framework/window/main_window.h"

namespace {

constexpr int kFrontScreen = -4;

// The draw area set directly, as the software path reads it.
void UseDrawArea(const RECT& area) {
    DrawSettings& settings = CurrentDrawSettings;
    settings.drawArea = area;
    settings.drawAreaFloat[0] = static_cast<float>(area.left);
    settings.drawAreaFloat[1] = static_cast<float>(area.top);
    settings.drawAreaFloat[2] = static_cast<float>(area.right);
    settings.drawAreaFloat[3] = static_cast<float>(area.bottom);
    settings.drawAreaEmpty = area.right <= area.left || area.bottom <= area.top ? 1 : 0;
}

}  // namespace

int DrawStringWithFont(int x, int y, const char* text, int colour, int handle, int edgeColour, int vertical) {
    DrawSettings& settings = CurrentDrawSettings;
    if (text == nullptr || text[0] == '\0' || settings.drawAreaEmpty) return 0;
    const FontRecord* record = GetFontRecord(handle);
    if (record == nullptr) {
        WriteLogLine("フォントハンドル値が異常です\n");
        return -1;
    }
    WaitWhileInactive();
    const bool textureCache = record->textureCache != 0;
    const bool masked = MaskScreenEffectiveFlag != 0;
    RECT rect = {};
    if ((settings.blendMode == kBlendModeSubtract && textureCache) || masked || settings.drawTarget == kFrontScreen) {
        const RECT& area = settings.drawArea;
        rect = vertical ? RECT{x, y, CoordinateSum(x, record->size, 3), area.bottom}
                        : RECT{x, y, area.right, CoordinateSum(y, record->size, 3)};
        if (rect.left >= area.right) return 0;
        if (masked) BeginMaskedDraw(rect);
    }
    int result;
    if (textureCache && settings.blendMode == kBlendModeSubtract && !Direct3DDevice.blendOperationCapable)
        result = DrawWithEmulatedSubtract(
            rect, [&] { return DrawStringTextureCache(handle, x, y, text, colour, edgeColour, vertical); });
    else if (textureCache)
        result = DrawStringTextureCache(handle, x, y, text, colour, edgeColour, vertical);
    else
        result = DrawStringSoftware(handle, x, y, text, colour, edgeColour, vertical);
    if (masked) EndMaskedDraw(rect);
    return result;
}

int DrawStringDefaultFont(int x, int y, const char* text, int colour, int edgeColour) {
    RefreshDefaultFont();
    return DrawStringWithFont(x, y, text, colour, GetDefaultFontHandle(), edgeColour, 0);
}

int DrawStringTextureCache(int handle, int x, int y, const char* text, int colour, int edgeColour, int vertical) {
    const FontRecord* record = GetFontRecord(handle);
    if (record == nullptr) return -1;
    if (!record->textureCache) return 0;
    if (record->cacheLost) BuildFontCacheGraphics(handle);
    const int result = DrawFontString(1, x, y, text, colour, nullptr, &CurrentDrawSettings.drawArea, handle,
                                      edgeColour, vertical, nullptr);
    return result < 0 ? -1 : 0;
}

int DrawStringSoftware(int handle, int x, int y, const char* text, int colour, int edgeColour, int vertical) {
    const FontRecord* record = GetFontRecord(handle);
    if (record == nullptr) return -1;
    MEMIMG* target = SoftwareDrawTarget;
    if (target == nullptr || !IsMemImgValid(target)) return 0;
    DrawSettings& settings = CurrentDrawSettings;
    int extent[2] = {0, 0};
    if (DrawFontString(0, 0, 0, text, colour, nullptr, nullptr, handle, edgeColour, vertical, extent) < 0) return -1;
    const bool grey = record->fontType & kFontTypeAntialiasedBit;

    // Opaque plain glyphs go straight into the target.
    if (!grey && (settings.blendMode == kBlendModeNone ||
                  (settings.blendMode == kBlendModeAlpha && settings.blendParam == 255))) {
        const RECT area = settings.drawArea;
        return DrawFontString(1, x, y, text, colour, target, &area, handle, edgeColour, vertical, nullptr) < 0 ? -1
                                                                                                               : 0;
    }

    // Everything else is drawn into a work image and blitted with the blend
    // mode.
    MEMIMG& work = grey ? ScreenWorkAlphaMemImg : ScreenWorkMemImg;
    if (!IsMemImgValid(&work)) return 0;
    const RECT savedArea = settings.drawArea;
    float savedFloat[4];
    for (int i = 0; i < 4; ++i) savedFloat[i] = settings.drawAreaFloat[i];
    const int savedEmpty = settings.drawAreaEmpty;
    const uint32_t savedBright = GetDrawBrightColor();

    RECT rect = {0, 0, extent[0], extent[1]};
    const RECT screen = {0, 0, work.width, work.height};
    ClipRectTo(&rect, &screen);
    int result = 0;
    if (rect.right > rect.left && rect.bottom > rect.top) {
        UseDrawArea(rect);
        uint32_t transparent = 0;
        if (!grey) {
            uint32_t text32 = 0, edge32 = 0, unused = 0;
            ScaleStringColour(colour, &text32, &unused);
            ScaleStringColour(edgeColour, &edge32, &unused);
            // A pixel value that neither colour takes, within the pixel's size.
            const uint32_t mask = work.base->colorType == kMemImgColor565 ? 0xFFFFu : 0xFFFFFFFFu;
            transparent = work.base->transparentColor & mask;
            while (transparent == text32 || transparent == edge32) transparent = (transparent + 1) & mask;
            work.base->transparentColor = transparent;
        }
        FillMemImgRect(&work, &rect, transparent);
        result = DrawFontString(1, 0, 0, text, colour, &work, &rect, handle, edgeColour, vertical, nullptr) < 0 ? -1
                                                                                                                : 0;

        RECT blitArea = {x, y, CoordinateSum(x, rect.right), CoordinateSum(y, rect.bottom)};
        ClipRectTo(&blitArea, &savedArea);
        UseDrawArea(blitArea);
        if (!settings.drawAreaEmpty) {
            SetDrawBrightnessColor(0xFFFFFF);
            MEMIMG view{};
            MakeSubMemImg(&view, &work, 0, 0, rect.right, rect.bottom);
            BlitMemImg(target, &view, x, y, 1, settings.blendImage, settings);
            FreeMemImg(&view);
        }
    }
    settings.drawArea = savedArea;
    for (int i = 0; i < 4; ++i) settings.drawAreaFloat[i] = savedFloat[i];
    settings.drawAreaEmpty = savedEmpty;
    SetDrawBrightnessColor(savedBright);
    return result;
}
