// The walk along a string that both string paths and the measuring share:
// the characters listed and their new glyphs cached in one go, then each
// glyph drawn at the pen position (a part of the cache graphic, or its codes
// written into a memory image) and the pen moved on by its advance and the
// font's spacing.
#include <cstring>

#include "framework/base/log.h"
#include "framework/base/tracked_memory.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/font/font_handles.h"
#include "framework/graphics/font/font_record.h"
#include "framework/graphics/font/glyph_cache.h"
#include "framework/graphics/font/glyph_pixel_writes.h"
#include "framework/graphics/font/string_drawing.h"
#include "framework/graphics/draws/graphic_draw_coordinates.h"
#include "framework/graphics/draws/graphic_draws.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/models/matrix_math.h"

namespace {

constexpr int kFixedListBytes = 256;

struct StringColours {
    GlyphColours codes;
    uint32_t textRgb;
    uint32_t edgeRgb;
};

}  // namespace

void ScaleStringColour(int colour, uint32_t* code, uint32_t* rgb) {
    const DrawSettings& settings = CurrentDrawSettings;
    int red = 0, green = 0, blue = 0;
    SplitScreenColorCode(static_cast<uint32_t>(colour), &red, &green, &blue);
    red = red * settings.brightRed / 255;
    green = green * settings.brightGreen / 255;
    blue = blue * settings.brightBlue / 255;
    *code = MakeScreenColorCode(red, green, blue) & ~MakeScreenColorCode(0, 0, 0);
    *rgb = static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | static_cast<uint32_t>(blue);
}

namespace {

int KeyOf(const CharacterEntry& entry) { return entry.bytes[0] | entry.bytes[1] << 8; }

bool IsSpace(const CharacterEntry& entry) {
    return (entry.bytes[0] == 0x20 && entry.bytes[1] == 0) || (entry.bytes[0] == 0x81 && entry.bytes[1] == 0x40);
}

// One glyph from the cache graphic (and first its edge from the edge
// graphic), horizontally as a part, vertically as the whole graphic turned
// a quarter turn clockwise behind a draw area that shows the one cell.
void DrawGlyphFromGraphic(const FontRecord& record, const GlyphSlot& slot, int cellX, int cellY, int x, int y,
                          int pen, int vertical, const StringColours& colours) {
    const bool edged = record.fontType & kFontTypeEdgedBit;
    if (!vertical) {
        const int left = CoordinateSum(x, pen, slot.xOffset), top = CoordinateSum(y, slot.yOffset);
        if (edged) {
            SetDrawBrightnessColor(colours.edgeRgb);
            DrawGraphicPart(left, top, cellX, cellY, slot.width, slot.height, record.edgeGraphic, 1, 0);
        }
        SetDrawBrightnessColor(colours.textRgb);
        DrawGraphicPart(left, top, cellX, cellY, slot.width, slot.height, record.cacheGraphic, 1, 0);
        return;
    }
    DrawSettings& settings = CurrentDrawSettings;
    const RECT savedArea = settings.drawArea;
    const RECT savedRequest = settings.requestedDrawArea;
    const int right = CoordinateSum(x, record.lineHeight, -slot.yOffset);
    const int top = CoordinateSum(y, slot.xOffset, pen);
    RECT area = {CoordinateSum(right, -slot.height, -1), top, CoordinateSum(right, 1), CoordinateSum(top, slot.width)};
    ClipRectTo(&area, &savedArea);
    if (area.right > area.left && area.bottom > area.top) {
        SetDrawAreaRect(area.left, area.top, area.right, area.bottom);
        // The cache's point (cellX, cellY) lands on (right, top); the
        // four-corner draw itself moves the corners half a pixel up and left
        // onto the pixel centres.
        auto turned = [&](int graphic, float width, float height) {
            const float fx = static_cast<float>(int64_t{right} + cellY);
            const float fy = static_cast<float>(int64_t{top} - cellX);
            DrawGraphicFourCornersF(fx, fy, fx, fy + width, fx - height, fy + width, fx - height, fy, graphic, 1);
        };
        const float height = static_cast<float>(record.cacheHeight);
        if (edged) {
            SetDrawBrightnessColor(colours.edgeRgb);
            turned(record.edgeGraphic, static_cast<float>(record.cacheWidth), height);
        }
        SetDrawBrightnessColor(colours.textRgb);
        turned(record.cacheGraphic, static_cast<float>(edged ? record.cacheWidth * 2 : record.cacheWidth), height);
        SetDrawAreaRect(savedArea.left, savedArea.top, savedArea.right, savedArea.bottom);
    }
    settings.requestedDrawArea = savedRequest;
}

}  // namespace

int DrawFontString(int draw, int x, int y, const char* text, int colour, MEMIMG* target, const RECT* clip,
                   int handle, int edgeColour, int vertical, int* extent) {
    FontRecord* record = GetFontRecord(handle);
    if (record == nullptr) return -1;
    StringColours colours{};
    ScaleStringColour(colour, &colours.codes.text, &colours.textRgb);
    ScaleStringColour(edgeColour, &colours.codes.edge, &colours.edgeRgb);
    if (text == nullptr || text[0] == '\0') {
        if (extent != nullptr) {
            extent[0] = vertical ? record->lineHeight : 0;
            extent[1] = vertical ? 0 : record->lineHeight;
        }
        return 0;
    }
    const int length = static_cast<int>(std::strlen(text));

    static CharacterEntry fixedList[kFixedListBytes];
    CharacterEntry* list = fixedList;
    CharacterEntry* allocated = nullptr;
    if (length > kFixedListBytes) {
        allocated = static_cast<CharacterEntry*>(
            AllocMemory(sizeof(CharacterEntry) * static_cast<size_t>(length), __FILE__, __LINE__));
        if (allocated == nullptr) return -1;
        list = allocated;
    }
    int count = 0;
    if (PrepareStringGlyphs(-1, text, handle, list, &count) != 0) {
        if (allocated != nullptr) FreeMemory(allocated);
        return -1;
    }

    RECT whole = {};
    if (target != nullptr && clip == nullptr) {
        whole = RECT{0, 0, target->width, target->height};
        clip = &whole;
    }
    const bool hardware = draw && target == nullptr && record->textureCache;
    const DrawSettings& settings = CurrentDrawSettings;
    const int savedBlendGraphic = settings.blendGraphic;
    const int savedParam1 = settings.blendGraphicParam1, savedParam2 = settings.blendGraphicParam2;
    const uint32_t savedBright = GetDrawBrightColor();
    // The glyphs are drawn without the blend graphic.
    if (hardware) SetBlendGraphicAndParams(-1, 0, 0);

    int pen = 0;
    int result = 0;
    for (int n = 0; n < count; ++n) {
        const CharacterEntry& entry = list[n];
        GlyphIndexEntry& index = record->index[KeyOf(entry)];
        // Characters beyond the cache's slots were not cached up front.
        if (!index.cached && CacheGlyphs(handle, 1, &entry) == nullptr) {
            WriteLogLine("テキストキャッシュの作成に失敗しました");
            result = -1;
            break;
        }
        const GlyphSlot& slot = *index.slot;
        if (draw && !IsSpace(entry) && (slot.width != 0 || slot.height != 0)) {
            const int column = slot.cellNumber / record->cellsPerColumn;
            const int cellX = column * record->cellSize + 1;
            const int cellY = (slot.cellNumber - column * record->cellsPerColumn) * record->cellSize + 1;
            if (target != nullptr) {
                if (vertical)
                    WriteGlyphPixels(*record, slot, target, *clip,
                                     CoordinateSum(x, record->lineHeight, -slot.yOffset),
                                     CoordinateSum(y, slot.xOffset, pen), 1, colours.codes);
                else
                    WriteGlyphPixels(*record, slot, target, *clip, CoordinateSum(x, pen, slot.xOffset),
                                     CoordinateSum(y, slot.yOffset), 0, colours.codes);
            } else if (hardware) {
                DrawGlyphFromGraphic(*record, slot, cellX, cellY, x, y, pen, vertical, colours);
            }
        }
        // A spacing may be anything; the pen is held in the int range.
        pen = CoordinateSum(pen, slot.advance, record->spacing);
    }

    if (hardware) {
        SetBlendGraphicAndParams(savedBlendGraphic, savedParam1, savedParam2);
        SetDrawBrightnessColor(savedBright);
    }
    if (allocated != nullptr) FreeMemory(allocated);
    if (result != 0) return result;
    if (extent != nullptr) {
        extent[0] = vertical ? record->lineHeight : pen;
        extent[1] = vertical ? pen : record->lineHeight;
    }
    return pen;
}
