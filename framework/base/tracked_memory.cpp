// The tracked allocator: one list of live blocks in allocation order, guarded
// headers, totals, and the dump that shutdown writes to the log.
#include "framework/base/tracked_memory.h"

#include <cstring>

#include "framework/base/base_functions.h"
#include "framework/base/format_text.h"
#include "framework/base/log.h"
#include "platform/platform.h"

static_assert(sizeof(MemoryBlockHeader) % 16 == 0);

namespace {

// Never allocated; its next link is the oldest block.
MemoryBlockHeader MemoryListHead;
// The newest block; null before the first allocation, the list head when the
// list has become empty again.
MemoryBlockHeader* MemoryListTail = nullptr;
// 64 bits, so that no number of blocks can wrap it.
int64_t MemoryTotalSize = 0;
int MemoryBlockCount = 0;
uint16_t MemoryNextID = 0;
// Blocks of exactly this size are traced in the log.
uint32_t MemoryTracedSize = 0;

CRITICAL_SECTION MemoryLock;
int MemoryLockMade = 0;

// Recursive: log output from inside the lock may allocate on the same thread.
// Made by the first call, which must not race with another (the first
// allocation happens on the main thread during start-up).
class MemoryLockScope {
public:
    MemoryLockScope() {
        if (!MemoryLockMade) {
            InitializeCriticalSection(&MemoryLock);
            MemoryLockMade = 1;
        }
        EnterCriticalSection(&MemoryLock);
    }
    ~MemoryLockScope() { LeaveCriticalSection(&MemoryLock); }
    MemoryLockScope(const MemoryLockScope&) = delete;
    MemoryLockScope& operator=(const MemoryLockScope&) = delete;
};

MemoryBlockHeader* HeaderOf(void* block) { return static_cast<MemoryBlockHeader*>(block) - 1; }
void* BlockOf(MemoryBlockHeader* header) { return header + 1; }

void RewriteGuard(MemoryBlockHeader* header) {
    CopyMemoryBytes(&header->guard, &header->fields, sizeof(header->fields));
}

void DescribeBlock(MemoryBlockHeader* header, const char* sourceName, int line) {
    char* tail = header->fields.sourceNameTail;
    FillMemoryBytes(tail, 0, sizeof(header->fields.sourceNameTail));
    if (sourceName != nullptr) {
        const size_t length = std::strlen(sourceName);
        const size_t kept = sizeof(header->fields.sourceNameTail) - 1;
        CopyString(tail, length > kept ? sourceName + (length - kept) : sourceName);
    }
    header->fields.line = static_cast<uint16_t>(line);
    header->fields.ID = MemoryNextID++;
}

void TraceBlock(const char* what, MemoryBlockHeader* header) {
    if (header->fields.size != MemoryTracedSize) return;
    WriteLogLine(what);
    LogMemoryBlockRecord(header);
}

// Appends to a bounded line; what does not fit is dropped.
class LineBuilder {
public:
    // `buffer` already holds a terminated text, which is kept.
    LineBuilder(char* buffer, size_t size)
        : buffer_(buffer), size_(size), length_(std::strlen(buffer)) {}
    void append(const char* text) {
        while (*text != '\0' && length_ + 1 < size_) buffer_[length_++] = *text++;
        buffer_[length_] = '\0';
    }
    void dropLast() {
        if (length_ > 0) buffer_[--length_] = '\0';
    }

private:
    char* buffer_;
    size_t size_;
    size_t length_;
};

}  // namespace

int LogMemoryBlockRecord(const MemoryBlockHeader* header) {
    const MemoryBlockFields& fields = header->fields;
    const unsigned char* data = reinterpret_cast<const unsigned char*>(header + 1);
    size_t shown = fields.size < 16 ? fields.size : 16;
    // A damaged size field must not lead the record past the heap block.
    const SIZE_T heapSize = HeapSize(GetProcessHeap(), 0, header);
    if (heapSize != static_cast<SIZE_T>(-1) && heapSize >= sizeof(MemoryBlockHeader) &&
        heapSize - sizeof(MemoryBlockHeader) < shown)
        shown = heapSize - sizeof(MemoryBlockHeader);

    char line[256];
    FormatString(line, sizeof(line),
                 "\tsize:%d(%.3fkb)  file:%s  line:%d  ID:%d  addr:%016llx  data:<",
                 static_cast<int>(fields.size), fields.size * (1.0 / 1024), fields.sourceNameTail,
                 static_cast<int>(fields.line), static_cast<int>(fields.ID),
                 static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(data)));
    LineBuilder builder(line, sizeof(line));

    for (size_t i = 0; i < shown; i++) {
        const char character[2] = {
            data[i] >= 0x20 && data[i] <= 0x7F ? static_cast<char>(data[i]) : '.', '\0'};
        builder.append(character);
    }
    builder.append("> [");
    for (size_t i = 0; i < shown; i++) {
        char hex[4];
        FormatString(hex, sizeof(hex), "%02x ", data[i]);
        builder.append(hex);
    }
    // The last blank (or the "[" when no byte is shown) gives way to the end.
    builder.dropLast();
    builder.append("]\n");
    return WriteLogLine(line);
}

void* AllocMemory(size_t size, const char* sourceName, int line) {
    MemoryLockScope lock;
    if (size > MaxTrackedBlockSize) return nullptr;

    auto* header = static_cast<MemoryBlockHeader*>(
        HeapAlloc(GetProcessHeap(), 0, sizeof(MemoryBlockHeader) + size));
    if (header == nullptr) {
        DumpMemoryAllocations();
        CheckMemoryAllocations();
        return nullptr;
    }

    header->fields.size = static_cast<uint32_t>(size);
    DescribeBlock(header, sourceName, line);

    if (MemoryListTail == nullptr) MemoryListTail = &MemoryListHead;
    MemoryListTail->fields.next = header;
    header->fields.previous = MemoryListTail;
    header->fields.next = nullptr;
    MemoryListTail = header;

    RewriteGuard(header);
    RewriteGuard(header->fields.previous);

    MemoryTotalSize += static_cast<int64_t>(size);
    MemoryBlockCount++;

    TraceBlock("mem alloc  ", header);
    return BlockOf(header);
}

void* AllocZeroedMemory(size_t size, const char* sourceName, int line) {
    void* block = AllocMemory(size, sourceName, line);
    if (block != nullptr) FillMemoryBytes(block, 0, static_cast<uint32_t>(size));
    return block;
}

void FreeMemory(void* block) {
    if (block == nullptr) return;
    MemoryLockScope lock;
    MemoryBlockHeader* header = HeaderOf(block);
    MemoryBlockHeader* previous = header->fields.previous;
    MemoryBlockHeader* next = header->fields.next;

    MemoryTotalSize -= header->fields.size;
    MemoryBlockCount--;

    previous->fields.next = next;
    if (next != nullptr) next->fields.previous = previous;
    if (MemoryListTail == header) MemoryListTail = previous;

    if (next != nullptr) RewriteGuard(next);
    RewriteGuard(previous);

    TraceBlock("mem free  ", header);
    HeapFree(GetProcessHeap(), 0, header);
}

void* ReallocMemory(void* block, size_t size, const char* sourceName, int line) {
    if (block == nullptr) return AllocMemory(size, sourceName, line);
    MemoryLockScope lock;
    if (size > MaxTrackedBlockSize) return nullptr;

    MemoryBlockHeader* oldHeader = HeaderOf(block);
    // The old header may be gone once the heap has moved the block.
    MemoryBlockHeader* previous = oldHeader->fields.previous;
    MemoryBlockHeader* next = oldHeader->fields.next;
    const uint32_t oldSize = oldHeader->fields.size;
    const bool wasTail = MemoryListTail == oldHeader;

    auto* header = static_cast<MemoryBlockHeader*>(HeapReAlloc(
        GetProcessHeap(), HEAP_ZERO_MEMORY, oldHeader, sizeof(MemoryBlockHeader) + size));
    if (header == nullptr) {
        DumpMemoryAllocations();
        return nullptr;
    }

    DescribeBlock(header, sourceName, line);

    previous->fields.next = header;
    if (next != nullptr) next->fields.previous = header;
    if (wasTail) MemoryListTail = header;

    MemoryTotalSize -= oldSize;
    header->fields.size = static_cast<uint32_t>(size);
    MemoryTotalSize += static_cast<int64_t>(size);

    RewriteGuard(header);
    RewriteGuard(previous);
    if (next != nullptr) RewriteGuard(next);

    TraceBlock("mem realloc  ", header);
    return BlockOf(header);
}

int DumpMemoryAllocations() {
    MemoryLockScope lock;
    WriteLogLine("\n");
    WriteLogLine("Alloc memory dump\n");
    for (MemoryBlockHeader* header = MemoryListTail; header != nullptr && header != &MemoryListHead;
         header = header->fields.previous)
        LogMemoryBlockRecord(header);
    WriteLogFormat("\tTotal size:%lld(%.3fkb)  Alloc num:%d",
                   static_cast<long long>(MemoryTotalSize),
                   static_cast<double>(MemoryTotalSize) * (1.0 / 1024), MemoryBlockCount);
    WriteLogLine("\n");
    return 0;
}

int CheckMemoryAllocations() {
    MemoryLockScope lock;
    for (MemoryBlockHeader* header = MemoryListTail; header != nullptr && header != &MemoryListHead;
         header = header->fields.previous) {
        if (CompareMemoryBytes(&header->fields, &header->guard, sizeof(header->fields)) != 0) {
            WriteLogLine("以下のメモリ確保情報が破損しました");
            LogMemoryBlockRecord(header);
            return -1;
        }
    }
    return 0;
}
