// The table behind every kind of handle: a handle is a plain int that names a
// record in one kind's table.
//
// A handle value holds, from the top: bit 31 always 0 (a negative value is no
// handle; -1 is the universal "none" and failure value), the kind in bits 27
// to 30, an 11-bit check value in bits 16 to 26 and the slot index in bits 0
// to 15. A handle stays valid only while its check value equals the one kept
// in its record, so a stale handle of a reused slot is refused.
//
// Each kind keeps one HandleTable: its record pointers, the number of live
// records, a high-water index (one past the highest slot in use) and a running
// check counter. Records are allocated zero-filled by the framework allocator;
// each kind says where in its record the check value (an int) is kept.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kHandleKindMask = 0x78000000;
constexpr int kHandleCheckMask = 0x07FF0000;
constexpr int kHandleCheckShift = 16;
constexpr int kHandleSlotMask = 0x0000FFFF;
// Check values run from 0 to 2047 and then start again at 0.
constexpr int kHandleCheckLimit = 2048;

struct HandleTable {
    int32_t kind;          // the kind's type value, e.g. 0x08000000
    int32_t slotCount;     // at most 65536
    size_t checkOffset;    // byte offset of the check value in a record
    void** slots;          // slotCount record pointers, null where a slot is empty
    int32_t liveCount;
    int32_t highWater;     // one past the highest slot in use
    int32_t checkCounter;  // the check value the next record gets
};

// kind | check << 16 | slot.
inline int MakeHandleValue(int kind, int check, int slot) {
    return kind | (check << kHandleCheckShift & kHandleCheckMask) | (slot & kHandleSlotMask);
}
inline int HandleSlotIndex(int handle) { return handle & kHandleSlotMask; }

// The record of a live handle of the table's kind, or null at the first of the
// five tests that fails: the value is negative; its kind bits differ from the
// table's; its slot is not below the slot count; the slot is empty; the
// record's check value differs from the handle's. Writes no log line.
void* GetHandleRecord(const HandleTable* table, int handle);
// The check value kept in a record.
int GetRecordCheckValue(const HandleTable* table, const void* record);

// The slot a new record takes: the high-water index while it is below the
// slot count, else the first empty slot from slot 0; -1 when every slot is in
// use.
int ChooseHandleSlot(const HandleTable* table);

// Results of AllocHandleRecord besides a handle.
enum : int {
    kHandleTableFull = -1,
    kHandleRecordNotAllocated = -2,
};
// Makes a zero-filled record of `recordSize` bytes in the slot ChooseHandleSlot
// picks, stamps it with the check counter (which then moves on, wrapping after
// 2047), counts it live and raises the high-water index when the slot was at
// it. Returns the new handle, kHandleTableFull when the live count has reached
// the slot count, or kHandleRecordNotAllocated when the allocator refuses (the
// table is then unchanged). `recordSize` must hold the check value.
int AllocHandleRecord(HandleTable* table, size_t recordSize, const char* sourceName, int line);

// Frees the record of a handle that GetHandleRecord accepted and empties its
// slot. When the slot was the highest in use, the high-water index moves down
// past every empty slot below it (to 0 when no record is left). -1 for a
// handle that names no live record.
int ReleaseHandleRecord(HandleTable* table, int handle);

// Calls `deleteOne` with the handle of every live record and `argument`,
// walking from slot 0 while the slot is below the high-water index, which is
// read again after every call: the walk ends early once the top records are
// gone, and a deletion may take other records with it. Returns 0.
int DeleteAllHandles(HandleTable* table, int (*deleteOne)(int handle, int argument), int argument);
