// Caching glyphs: each new character takes the next slot round robin, is
// rasterised through GDI and rendered into its cell, with its edge for edged
// fonts: as 16-bit white pixels of varying alpha in the texture cache's CPU
// copy, which then goes to the cache graphic, or as small codes in the
// memory cache.
#include <algorithm>
#include <cstring>

#include "framework/base/tracked_memory.h"
#include "framework/graphics/font/font_handles.h"
#include "framework/graphics/font/font_record.h"
#include "framework/graphics/font/glyph_cache.h"
#include "framework/graphics/handles/graphic_creation.h"
#include "framework/graphics/image/pixel_image.h"
#include "framework/base/fatal_exit.h"

namespace {

// One 9 by 9 mask per edge size 2, 3 and 4; the centre is at (e, e).
const unsigned char EdgeShapeTable[3][9][9] = {
    {{0, 1, 1, 1, 0}, {1, 1, 1, 1, 1}, {1, 1, 1, 1, 1}, {1, 1, 1, 1, 1}, {0, 1, 1, 1, 0}},
    {{0, 0, 0, 1, 0, 0, 0},
     {0, 1, 1, 1, 1, 1, 0},
     {0, 1, 1, 1, 1, 1, 0},
     {1, 1, 1, 1, 1, 1, 1},
     {0, 1, 1, 1, 1, 1, 0},
     {0, 1, 1, 1, 1, 1, 0},
     {0, 0, 0, 1, 0, 0, 0}},
    {{0, 0, 1, 1, 1, 1, 1, 0, 0},
     {0, 1, 1, 1, 1, 1, 1, 1, 0},
     {1, 1, 1, 1, 1, 1, 1, 1, 1},
     {1, 1, 1, 1, 1, 1, 1, 1, 1},
     {1, 1, 1, 1, 1, 1, 1, 1, 1},
     {1, 1, 1, 1, 1, 1, 1, 1, 1},
     {1, 1, 1, 1, 1, 1, 1, 1, 1},
     {0, 1, 1, 1, 1, 1, 1, 1, 0},
     {0, 0, 1, 1, 1, 1, 1, 0, 0}},
};

bool InEdgeShape(int edge, int dx, int dy) {
    if (edge == 1) return (dx == 0) != (dy == 0) && dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1;
    if (edge >= 5) return true;
    return EdgeShapeTable[edge - 2][dy + edge][dx + edge] != 0;
}

// Renders a glyph bitmap (rows `pitch` bytes apart) into its cell of the
// memory cache; the caller has cut its size to the cell.
void RenderIntoMemoryCell(FontRecord& record, int cell, const uint8_t* bitmap, int pitch, int width, int height) {
    const int e = record.fontType & kFontTypeEdgedBit ? record.edgeSize : 0;
    const int size = record.cellSize;
    uint8_t* cellTop = record.cacheMemory + static_cast<size_t>(cell * size + 1) * record.cachePitch;
    const bool grey = record.fontType & kFontTypeAntialiasedBit;
    auto level = [&](int x, int y) -> int {
        if (grey) return bitmap[y * pitch + x];
        return (bitmap[y * pitch + x / 8] >> (7 - x % 8)) & 1;
    };
    auto pixel = [&](int x, int y) -> uint8_t* { return cellTop + static_cast<size_t>(y) * record.cachePitch + x; };
    // Cell pixels run from x 1 (the cell's origin) to 1 + size - 1.
    auto inside = [&](int x, int y) { return x >= 0 && x < size - 1 && y >= 0 && y < size; };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int g = level(x, y);
            if (g == 0) continue;
            const int px = 1 + e + x, py = e + y;
            switch (record.fontType) {
                case 0: {
                    uint8_t* row = cellTop + static_cast<size_t>(py) * record.cachePitch;
                    row[px / 8] = static_cast<uint8_t>(row[px / 8] | (0x80 >> (px % 8)));
                    break;
                }
                case 1:
                    *pixel(px, py) = 1;
                    for (int dy = -e; dy <= e; ++dy)
                        for (int dx = -e; dx <= e; ++dx)
                            if (InEdgeShape(e, dx, dy) && inside(px - 1 + dx, py + dy) &&
                                *pixel(px + dx, py + dy) != 1)
                                *pixel(px + dx, py + dy) = 2;
                    break;
                case 2:
                    *pixel(px, py) = static_cast<uint8_t>(g - 1);
                    break;
                default: {
                    *pixel(px, py) = static_cast<uint8_t>(*pixel(px, py) | (g - 1));
                    for (int dy = -e; dy <= e; ++dy)
                        for (int dx = -e; dx <= e; ++dx) {
                            if (!InEdgeShape(e, dx, dy) || !inside(px - 1 + dx, py + dy)) continue;
                            uint8_t* p = pixel(px + dx, py + dy);
                            if ((*p >> 4) < g - 1) *p = static_cast<uint8_t>((*p & 0x0F) | ((g - 1) << 4));
                        }
                    break;
                }
            }
        }
    }
}

// A grey level 0 to 16 as A4R4G4B4 white: alpha level - 1, level 0 clear.
uint16_t GreyToCachePixel(int level, const PixelFormat& format) {
    const uint32_t colour = format.redMask | format.greenMask | format.blueMask;
    if (level == 0) return static_cast<uint16_t>(colour);
    const int shift = format.alphaShift + format.alphaWidth - 4;
    return static_cast<uint16_t>(((static_cast<uint32_t>(level) << shift) - 1) | colour);
}

// The pixels of a box of the cache's CPU copy, as an image of their own
// that shares the copy's rows.
PixelImage BoxOf(const PixelImage& image, int x, int y, int width, int height) {
    PixelImage box = image;
    box.pixels = image.pixels + static_cast<size_t>(y) * image.pitch + static_cast<size_t>(x) * image.format.bytesPerPixel;
    box.width = width;
    box.height = height;
    box.mipCount = 0;
    return box;
}

void TransferBox(FontRecord& record, int x, int y, int width, int height) {
    PixelImage box = BoxOf(record.cacheBaseImage, x, y, width, height);
    FillGraphicFromImage(&box, nullptr, x, y, record.cacheGraphic, 0);
}

// Renders a glyph bitmap (rows `pitch` bytes apart) into its cell of the
// texture cache's CPU copy at (cellX, cellY) and hands the changed pixels to
// the cache graphic; the caller has cut its size to the cell.
void RenderIntoTextureCell(FontRecord& record, int cellX, int cellY, const uint8_t* bitmap, int pitch, int width,
                           int height) {
    PixelImage& image = record.cacheBaseImage;
    const int e = record.fontType & kFontTypeEdgedBit ? record.edgeSize : 0;
    const int halfWidth = record.cacheWidth;
    const bool grey = record.fontType & kFontTypeAntialiasedBit;
    auto level = [&](int x, int y) -> int {
        if (grey) return bitmap[y * pitch + x];
        return (bitmap[y * pitch + x / 8] >> (7 - x % 8)) & 1;
    };
    auto pixel = [&](int x, int y) -> uint16_t* {
        return reinterpret_cast<uint16_t*>(image.pixels + static_cast<size_t>(y) * image.pitch) + x;
    };
    const int originX = cellX + e, originY = cellY + e;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int g = level(x, y);
            const int px = originX + x, py = originY + y;
            switch (record.fontType) {
                case 0:
                    *pixel(px, py) = g ? 0xFFFF : 0x7FFF;
                    break;
                case 1:
                    if (!g) break;
                    *pixel(px, py) = 0xFFFF;
                    for (int dy = -e; dy <= e; ++dy)
                        for (int dx = -e; dx <= e; ++dx) {
                            if (!InEdgeShape(e, dx, dy)) continue;
                            uint16_t* p = pixel(halfWidth + px + dx, py + dy);
                            if (!(*p & 0x8000)) *p = 0xFFFF;
                        }
                    break;
                case 2:
                    *pixel(px, py) = GreyToCachePixel(g, image.format);
                    break;
                default:
                    if (!g) break;
                    // Levels for now; turned into pixels once the box is done.
                    *pixel(px, py) = static_cast<uint16_t>(g);
                    for (int dy = -e; dy <= e; ++dy)
                        for (int dx = -e; dx <= e; ++dx) {
                            if (!InEdgeShape(e, dx, dy)) continue;
                            uint16_t* p = pixel(halfWidth + px + dx, py + dy);
                            // The union of the coverages of the glyph pixels
                            // around.
                            *p = static_cast<uint16_t>((256 - (16 - *p) * (16 - g)) / 16);
                        }
                    break;
            }
        }
    }
    const int boxWidth = width + 2 * e, boxHeight = height + 2 * e;
    if (record.fontType == 3) {
        for (int y = 0; y < boxHeight; ++y)
            for (int x = 0; x < boxWidth; ++x) {
                uint16_t* glyph = pixel(cellX + x, cellY + y);
                uint16_t* edge = pixel(halfWidth + cellX + x, cellY + y);
                *glyph = GreyToCachePixel(*glyph, image.format);
                *edge = GreyToCachePixel(*edge, image.format);
            }
    }
    if (e > 0) {
        TransferBox(record, cellX, cellY, boxWidth, boxHeight);
        TransferBox(record, halfWidth + cellX, cellY, boxWidth, boxHeight);
    } else {
        TransferBox(record, cellX, cellY, record.cellSize, record.cellSize);
    }
}

}  // namespace

GlyphSlot* CacheGlyphs(int handle, int count, const CharacterEntry* entries) {
    FontRecord* record = GetFontRecord(handle);
    if (record == nullptr || count <= 0) return nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = memory == nullptr ? nullptr : SelectObject(memory, record->gdiFont);
    if (memory == nullptr || previous == nullptr) FatalErrorExit("テキストキャッシュサーフェスのＤＣの取得に失敗しました");
    TEXTMETRICA text{};
    GetTextMetricsA(memory, &text);
    const int e = record->fontType & kFontTypeEdgedBit ? record->edgeSize : 0;
    const UINT format = record->fontType & kFontTypeAntialiasedBit ? GGO_GRAY4_BITMAP : GGO_BITMAP;
    const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    GlyphSlot* slot = nullptr;
    for (int n = 0; n < count; ++n) {
        const unsigned char* bytes = entries[n].bytes;
        slot = &record->slots[record->nextSlot];
        if (slot->inUse) {
            slot->backLink->cached = 0;
            slot->backLink->slot = nullptr;
            slot->inUse = 0;
        }
        GlyphIndexEntry& entry = record->index[bytes[0] | bytes[1] << 8];
        entry.cached = 1;
        entry.slot = slot;
        slot->backLink = &entry;
        slot->inUse = 1;
        const int column = slot->cellNumber / record->cellsPerColumn;
        const int cellX = column * record->cellSize + 1;
        const int cellY = (slot->cellNumber - column * record->cellsPerColumn) * record->cellSize + 1;
        if (record->textureCache) {
            ZeroPixelImageRect(&record->cacheBaseImage, cellX, cellY, record->cellSize, record->cellSize);
            if (e > 0)
                ZeroPixelImageRect(&record->cacheBaseImage, record->cacheWidth + cellX, cellY, record->cellSize,
                                   record->cellSize);
        } else {
            // The cell's rows, the row after the cell included, as the cell
            // starts one row down.
            std::memset(record->cacheMemory + static_cast<size_t>(slot->cellNumber * record->cellSize + 1) *
                                                  record->cachePitch,
                        0, static_cast<size_t>(record->cellSize) * record->cachePitch);
        }

        const bool twoBytes = bytes[1] != 0;
        const UINT code = twoBytes ? bytes[0] * 256u + bytes[1] : bytes[0];
        GLYPHMETRICS metrics{};
        const DWORD size = GetGlyphOutlineA(memory, code, format, &metrics, 0, nullptr, &identity);
        if (size == GDI_ERROR) FatalErrorExit("GetGlyphOutline 関数が失敗しました");
        const bool space = code == 0x20 || code == 0x8140;
        slot->advance = static_cast<int16_t>(metrics.gmCellIncX);
        slot->width = slot->height = 0;
        slot->xOffset = slot->yOffset = 0;
        // An empty black box or bitmap draws nothing: it only advances.
        if (!space && size != 0 && metrics.gmBlackBoxX != 0 && metrics.gmBlackBoxY != 0) {
            const int pitch = static_cast<int>(size / metrics.gmBlackBoxY) / 4 * 4;
            auto* buffer =
                static_cast<uint8_t*>(AllocZeroedMemory(size + 2 * static_cast<size_t>(pitch), __FILE__, __LINE__));
            if (buffer == nullptr) FatalErrorExit("アンチエイリアス文字取得用バッファの確保に失敗しました");
            if (GetGlyphOutlineA(memory, code, format, &metrics, size, buffer + pitch, &identity) == GDI_ERROR)
                FatalErrorExit("GetGlyphOutline 関数が失敗しました");
            slot->xOffset = static_cast<int16_t>(metrics.gmptGlyphOrigin.x);
            slot->yOffset = static_cast<int16_t>(text.tmAscent - metrics.gmptGlyphOrigin.y);
            // A glyph larger than its cell (a fallback face, an italic
            // overhang) is cut to the cell with its edge, so that it never
            // reaches a neighbour cell or past the cache. A memory cache row
            // holds one pixel less than a cell, as cells start at x 1.
            const int rowRoom = record->textureCache ? record->cellSize : record->cellSize - 1;
            slot->width = static_cast<int16_t>(std::min(static_cast<int>(metrics.gmBlackBoxX), rowRoom - 2 * e));
            slot->height = static_cast<int16_t>(
                std::min(static_cast<int>(metrics.gmBlackBoxY), record->cellSize - 2 * e));
            if (record->textureCache)
                RenderIntoTextureCell(*record, cellX, cellY, buffer + pitch, pitch, slot->width, slot->height);
            else
                RenderIntoMemoryCell(*record, slot->cellNumber, buffer + pitch, pitch, slot->width, slot->height);
            FreeMemory(buffer);
        }
        slot->advance = static_cast<int16_t>(slot->advance + 2 * e);
        slot->width = static_cast<int16_t>(slot->width + 2 * e);
        slot->height = static_cast<int16_t>(slot->height + 2 * e);
        record->nextSlot = record->nextSlot + 1 >= record->slotCount ? 0 : record->nextSlot + 1;
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
    return slot;
}

int PrepareStringGlyphs(int maxBytes, const char* string, int handle, CharacterEntry* entries, int* count) {
    FontRecord* record = GetFontRecord(handle);
    if (record == nullptr) return -1;
    int length = string == nullptr ? 0 : static_cast<int>(std::strlen(string));
    if (maxBytes >= 0 && maxBytes < length) length = maxBytes;
    static CharacterEntry fixedEntries[256];
    static CharacterEntry fixedNew[256];
    CharacterEntry* allocated = nullptr;
    CharacterEntry* listed = entries;
    CharacterEntry* fresh = fixedNew;
    if (length > 256) {
        // One buffer for the lists of a long string.
        allocated = static_cast<CharacterEntry*>(
            AllocMemory(static_cast<size_t>(length) * 8, __FILE__, __LINE__));
        if (allocated == nullptr) return -1;
        fresh = allocated;
        if (listed == nullptr) listed = allocated + length;
    } else if (listed == nullptr) {
        listed = fixedEntries;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(string);
    int characters = 0, newCount = 0;
    for (int at = 0; at < length;) {
        CharacterEntry entry{{bytes[at], 0, 0}};
        // A lead byte at the very end has no trail byte: it stands alone.
        if (IsMultiByteLeadByte(&bytes[at], record->charsetCode) && at + 1 < length) {
            entry.bytes[1] = bytes[at + 1];
            at += 2;
        } else {
            at += 1;
        }
        listed[characters++] = entry;
        GlyphIndexEntry& index = record->index[entry.bytes[0] | entry.bytes[1] << 8];
        if (!index.cached && newCount < record->slotCount) {
            index.cached = 1;
            fresh[newCount++] = entry;
        }
    }
    for (int n = 0; n < newCount; ++n) record->index[fresh[n].bytes[0] | fresh[n].bytes[1] << 8].cached = 0;
    if (newCount > 0) CacheGlyphs(handle, newCount, fresh);
    if (count != nullptr) *count = characters;
    if (allocated != nullptr) FreeMemory(allocated);
    return 0;
}
