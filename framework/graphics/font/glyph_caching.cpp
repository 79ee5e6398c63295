// Caching glyphs: each new character takes the next slot round robin, is
// rasterised through GDI and rendered into its cell of the memory cache as
// small codes, with its edge for edged fonts.
#include <algorithm>
#include <cstring>

#include "framework/base/tracked_memory.h"
#include "framework/graphics/font/font_handles.h"
#include "framework/graphics/font/font_record.h"
#include "framework/graphics/font/glyph_cache.h"
#include "framework/startup/framework_startup.h"

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
        // The cell's rows, the row after the cell included, as the cell
        // starts one row down.
        if (!record->textureCache)
            std::memset(record->cacheMemory + static_cast<size_t>(slot->cellNumber * record->cellSize + 1) *
                                                  record->cachePitch,
                        0, static_cast<size_t>(record->cellSize) * record->cachePitch);

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
            // reaches a neighbour cell or past the cache.
            slot->width = static_cast<int16_t>(
                std::min(static_cast<int>(metrics.gmBlackBoxX), record->cellSize - 1 - 2 * e));
            slot->height = static_cast<int16_t>(
                std::min(static_cast<int>(metrics.gmBlackBoxY), record->cellSize - 2 * e));
            if (!record->textureCache)
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
