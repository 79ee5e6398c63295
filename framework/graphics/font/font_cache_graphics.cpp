// The graphics a font keeps its glyphs in on the hardware path: one 16-bit
// graphic of the cache's size (twice as wide for edged fonts, the edges in the
// right half) and, for edged fonts, a graphic that shows that right half.
#include <cstring>

#include "framework/base/tracked_memory.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/font/font_record.h"
#include "framework/graphics/font/glyph_cache.h"
#include "framework/graphics/handles/graphic_creation.h"
#include "framework/graphics/textures/graphic_formats.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/image/pixel_image.h"
#include "platform/d3d9/d3d9.h"

namespace {

// Every pixel of the new graphic becomes white with alpha 0.
int FillWithClearWhite(const FontRecord& record, int graphic, int width, int height) {
    PixelImage clear{};
    const bool grey = record.fontType & kFontTypeAntialiasedBit;
    if (AllocPixelImageAs(width, height, GlyphCachePixelFormat(record.fontType), &clear) != 0) return -1;
    const uint16_t white = grey ? 0x0FFF : 0x7FFF;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint16_t*>(clear.pixels + static_cast<size_t>(y) * clear.pitch);
        for (int x = 0; x < width; ++x) row[x] = white;
    }
    const int result = FillGraphicFromImage(&clear, nullptr, 0, 0, graphic, 0);
    FreePixelImage(&clear);
    return result;
}

}  // namespace

const PixelFormat* GlyphCachePixelFormat(int fontType) {
    return GetPresetPixelFormat(fontType & kFontTypeAntialiasedBit ? D3DFMT_A4R4G4B4 : D3DFMT_A1R5G5B5);
}

int BuildFontCacheGraphics(int handle) {
    FontRecord* record = GetFontRecord(handle);
    if (record == nullptr) return -1;
    if (record->cacheLost != 1) return 0;
    // What is left of the graphics the cache lost (the edge graphic outlives
    // a cache graphic deleted on its own) goes first, so that none leaks.
    const int oldCache = record->cacheGraphic, oldEdge = record->edgeGraphic;
    record->cacheGraphic = record->edgeGraphic = -1;
    if (IsValidGraphicHandle(oldEdge)) DeleteGraphicHandle(oldEdge, 0);
    if (IsValidGraphicHandle(oldCache)) {
        SetGraphicNotifyFlag(oldCache, nullptr);
        DeleteGraphicHandle(oldCache, 0);
    }
    record->cacheLost = 0;

    const int savedAlpha = GetNewGraphAlphaFlag();
    const int savedTrans = GetNewGraphTransFlag();
    const int savedDepth = GetNewGraphColorDepth();
    const int savedHardware = GetUseHardwareAcceleration();
    const bool grey = record->fontType & kFontTypeAntialiasedBit;
    const bool edged = record->fontType & kFontTypeEdgedBit;
    SetNewGraphAlphaFlag(grey ? 1 : 0);
    SetNewGraphTransFlag(grey ? 0 : 1);
    SetNewGraphColorDepth(16);
    SetUseHardwareAcceleration(1);
    const int width = edged ? record->cacheWidth * 2 : record->cacheWidth;
    const int cache = MakeEmptyGraphic(width, record->cacheHeight);
    int edge = -1;
    if (cache != -1 && edged) edge = DerivePartGraphic(record->cacheWidth, 0, record->cacheWidth, record->cacheHeight, cache);
    SetNewGraphAlphaFlag(savedAlpha);
    SetNewGraphTransFlag(savedTrans);
    SetNewGraphColorDepth(savedDepth);
    SetUseHardwareAcceleration(savedHardware);

    // An edged font cannot draw without its edge graphic.
    if (cache == -1 || (edged && edge == -1)) {
        if (cache != -1) DeleteGraphicHandle(cache, 0);
        return -1;
    }
    record->cacheGraphic = cache;
    record->edgeGraphic = edge;
    SetGraphicNotifyFlag(cache, &record->cacheLost);
    FillWithClearWhite(*record, cache, width, record->cacheHeight);
    ResetGlyphCache(handle);
    return 0;
}
