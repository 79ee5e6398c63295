// The mask handle table: deleting one mask or all of them.
#include <cstring>

#include "framework/base/tracked_memory.h"
#include "framework/graphics/screen/mask_screen.h"

MaskRecord MaskTable[kMaskSlotCount];

int MakeMaskHandle(int check, int slot) { return ((check | 0x4000) << 16) | slot; }

int DeleteMask(int handle) {
    if (handle < 0 || (handle & 0x7C000000) != kMaskHandleKind) return -1;
    const int slot = handle & 0xFFFF;
    if (slot >= kMaskSlotCount) return -1;
    MaskRecord& record = MaskTable[slot];
    if (!record.inUse || MakeMaskHandle(record.check, slot) != handle) return -1;
    if (record.imageMemory != nullptr) FreeMemory(record.imageMemory);
    std::memset(&record, 0, sizeof(record));
    return 0;
}

int DeleteAllMasks() {
    for (int slot = 0; slot < kMaskSlotCount; ++slot)
        if (MaskTable[slot].inUse) DeleteMask(MakeMaskHandle(MaskTable[slot].check, slot));
    return 0;
}
