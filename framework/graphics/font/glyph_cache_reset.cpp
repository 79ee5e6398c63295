// Emptying a font's glyph cache.
#include <cstring>

#include "framework/graphics/font/font_record.h"
#include "framework/graphics/font/glyph_cache.h"

int ResetGlyphCache(int handle) {
    FontRecord* record = GetFontRecord(handle);
    if (record == nullptr) return -1;
    std::memset(record->index, 0, sizeof record->index);
    std::memset(record->slots, 0, sizeof record->slots);
    for (int slot = 0; slot < record->slotCount; ++slot) record->slots[slot].cellNumber = slot;
    record->slots[record->slotCount].cellNumber = -1;
    record->nextSlot = 0;
    return 0;
}
