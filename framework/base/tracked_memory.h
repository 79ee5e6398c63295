// The tracked memory allocator: every framework block carries a header with its
// size, source name, line and serial number, all live blocks form one list in
// allocation order, the totals are kept, headers are guarded against damage,
// and the live blocks can be dumped to the log.
#pragma once

#include <cstddef>
#include <cstdint>

void* AllocMemory(size_t size, const char* sourceName, int line);
void* AllocZeroedMemory(size_t size, const char* sourceName, int line);
void* ReallocMemory(void* block, size_t size, const char* sourceName, int line);
void FreeMemory(void* block);
int DumpMemoryAllocations();
int CheckMemoryAllocations();

struct MemoryBlockHeader;
int LogMemoryBlockRecord(const MemoryBlockHeader* header);

// The largest block that can be asked for; larger sizes are refused (null), as
// the header keeps sizes in 32 bits and the log shows them as signed ints.
constexpr size_t MaxTrackedBlockSize = 0x7FFFFFFF;

struct MemoryBlockFields {
    char sourceNameTail[16];  // the last 15 characters of the source name
    uint16_t ID;
    uint16_t line;
    uint32_t size;  // as asked for, header not counted
    MemoryBlockHeader* previous;
    MemoryBlockHeader* next;
};

// In front of every block; the caller's block starts right behind it. The
// header is a multiple of 16 bytes, so the block keeps the heap's alignment.
struct alignas(16) MemoryBlockHeader {
    MemoryBlockFields fields;
    MemoryBlockFields guard;  // a copy of `fields`; a difference means damage
};
