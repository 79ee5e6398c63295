// Allocating, validating and releasing records of a handle table.
#include "framework/base/handle_table.h"

#include <cstring>

#include "framework/base/tracked_memory.h"

int GetRecordCheckValue(const HandleTable* table, const void* record) {
    int32_t check = 0;
    std::memcpy(&check, static_cast<const uint8_t*>(record) + table->checkOffset, sizeof check);
    return check;
}

void* GetHandleRecord(const HandleTable* table, int handle) {
    if (handle < 0) return nullptr;
    if ((handle & kHandleKindMask) != table->kind) return nullptr;
    const int slot = HandleSlotIndex(handle);
    if (slot >= table->slotCount) return nullptr;
    void* record = table->slots[slot];
    if (record == nullptr) return nullptr;
    if (GetRecordCheckValue(table, record) << kHandleCheckShift != (handle & kHandleCheckMask)) return nullptr;
    return record;
}

int ChooseHandleSlot(const HandleTable* table) {
    if (table->highWater < table->slotCount) return table->highWater;
    for (int slot = 0; slot < table->slotCount; ++slot) {
        if (table->slots[slot] == nullptr) return slot;
    }
    return -1;
}

int AllocHandleRecord(HandleTable* table, size_t recordSize, const char* sourceName, int line) {
    if (table->liveCount >= table->slotCount) return kHandleTableFull;
    const int slot = ChooseHandleSlot(table);
    if (slot < 0) return kHandleTableFull;
    void* record = AllocZeroedMemory(recordSize, sourceName, line);
    if (record == nullptr) return kHandleRecordNotAllocated;

    const int32_t check = table->checkCounter;
    std::memcpy(static_cast<uint8_t*>(record) + table->checkOffset, &check, sizeof check);
    table->checkCounter = check + 1 < kHandleCheckLimit ? check + 1 : 0;
    table->slots[slot] = record;
    ++table->liveCount;
    if (slot == table->highWater) ++table->highWater;
    return MakeHandleValue(table->kind, check, slot);
}

int ReleaseHandleRecord(HandleTable* table, int handle) {
    void* record = GetHandleRecord(table, handle);
    if (record == nullptr) return -1;
    const int slot = HandleSlotIndex(handle);
    table->slots[slot] = nullptr;
    --table->liveCount;
    if (slot == table->highWater - 1) {
        int top = slot;
        if (table->liveCount == 0) {
            top = 0;
        } else {
            while (top > 0 && table->slots[top - 1] == nullptr) --top;
        }
        table->highWater = top;
    }
    FreeMemory(record);
    return 0;
}

int DeleteAllHandles(HandleTable* table, int (*deleteOne)(int handle, int argument), int argument) {
    for (int slot = 0; slot < table->highWater; ++slot) {
        const void* record = table->slots[slot];
        if (record == nullptr) continue;
        deleteOne(MakeHandleValue(table->kind, GetRecordCheckValue(table, record), slot), argument);
    }
    return 0;
}
