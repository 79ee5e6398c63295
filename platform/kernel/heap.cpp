// The process heap over the C runtime. Each block carries a 16-byte header
// with its size in front of the caller's bytes, so that HeapSize can answer
// and the caller's bytes stay 16-byte aligned.
//
// The machine profile can refuse an allocation: its heap failure number
// counts allocations (HeapAlloc and HeapReAlloc) from the moment the test sets
// it, so 1 makes the very next one fail.
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/kernel/heap_accounting.h"
#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"

namespace {

constexpr size_t kAlignment = 16;
constexpr uint64_t kBlockMark = 0x4B494C4E48454150ull;  // tells our blocks from stray pointers

struct alignas(kAlignment) BlockHeader {
    size_t bytes;
    uint64_t mark;
};
static_assert(sizeof(BlockHeader) == kAlignment);

// A recognisable value for the process heap handle; there is only the one heap.
HANDLE const kProcessHeap = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x00150000));

struct Accounting {
    std::mutex lock;
    uint64_t count = 0;            // allocations since the last reset
    uint64_t armedNumber = 0;      // the profile value the count below belongs to
    uint64_t countWhenArmed = 0;   // `count` when the profile value was last seen changing
};

Accounting& TheAccounting() {
    static Accounting* accounting = new Accounting;  // used by threads still running at exit
    return *accounting;
}

void ResetAccounting() {
    Accounting& accounting = TheAccounting();
    std::lock_guard<std::mutex> guard(accounting.lock);
    accounting.count = 0;
    accounting.armedNumber = 0;
    accounting.countWhenArmed = 0;
}

const platform::ResetHook kAccountingReset(ResetAccounting);

// Counts one allocation and says whether the profile makes it fail.
bool CountAllocationAndCheckFailure() {
    Accounting& accounting = TheAccounting();
    std::lock_guard<std::mutex> guard(accounting.lock);
    platform::HeapFailures& failures = platform::Profile().failures.heap;
    if (failures.failAllocationNumber != accounting.armedNumber) {
        accounting.armedNumber = failures.failAllocationNumber;
        accounting.countWhenArmed = accounting.count;
    }
    ++accounting.count;
    if (accounting.armedNumber == 0) return false;
    uint64_t number = accounting.count - accounting.countWhenArmed;
    if (failures.failEveryAllocationFromThere) return number >= accounting.armedNumber;
    if (number != accounting.armedNumber) return false;
    // A single failure is spent: setting the same number again arms it anew.
    failures.failAllocationNumber = 0;
    accounting.armedNumber = 0;
    return true;
}

BlockHeader* HeaderOf(LPCVOID memory) {
    auto* header = reinterpret_cast<BlockHeader*>(
        const_cast<unsigned char*>(static_cast<const unsigned char*>(memory)) - sizeof(BlockHeader));
    return header->mark == kBlockMark ? header : nullptr;
}

void* NewBlock(size_t bytes) {
    if (bytes > SIZE_MAX - 2 * kAlignment) return nullptr;
    size_t total = (sizeof(BlockHeader) + bytes + kAlignment - 1) / kAlignment * kAlignment;
    auto* header = static_cast<BlockHeader*>(std::aligned_alloc(kAlignment, total));
    if (header == nullptr) return nullptr;
    header->bytes = bytes;
    header->mark = kBlockMark;
    return header + 1;
}

void FreeBlock(BlockHeader* header) {
    header->mark = 0;
    std::free(header);
}

}  // namespace

namespace platform {

uint64_t HeapAllocationCount() {
    Accounting& accounting = TheAccounting();
    std::lock_guard<std::mutex> guard(accounting.lock);
    return accounting.count;
}

}  // namespace platform

HANDLE WINAPI GetProcessHeap(void) { return kProcessHeap; }

LPVOID WINAPI HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
    if (CountAllocationAndCheckFailure()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    void* memory = NewBlock(bytes);
    if (memory == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (flags & HEAP_ZERO_MEMORY) std::memset(memory, 0, bytes);
    return memory;
}

LPVOID WINAPI HeapReAlloc(HANDLE heap, DWORD flags, LPVOID memory, SIZE_T bytes) {
    BlockHeader* old = memory != nullptr ? HeaderOf(memory) : nullptr;
    if (old == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (CountAllocationAndCheckFailure()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    size_t oldBytes = old->bytes;
    if (flags & HEAP_REALLOC_IN_PLACE_ONLY) {
        // A block can shrink where it is; it cannot grow there.
        if (bytes > oldBytes) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        old->bytes = bytes;
        return memory;
    }
    void* moved = NewBlock(bytes);
    if (moved == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;  // the old block stays valid
    }
    std::memcpy(moved, memory, oldBytes < bytes ? oldBytes : bytes);
    if ((flags & HEAP_ZERO_MEMORY) && bytes > oldBytes)
        std::memset(static_cast<unsigned char*>(moved) + oldBytes, 0, bytes - oldBytes);
    FreeBlock(old);
    return moved;
}

BOOL WINAPI HeapFree(HANDLE heap, DWORD flags, LPVOID memory) {
    if (memory == nullptr) return TRUE;
    BlockHeader* header = HeaderOf(memory);
    if (header == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    FreeBlock(header);
    return TRUE;
}

SIZE_T WINAPI HeapSize(HANDLE heap, DWORD flags, LPCVOID memory) {
    BlockHeader* header = memory != nullptr ? HeaderOf(memory) : nullptr;
    if (header == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return static_cast<SIZE_T>(-1);
    }
    return header->bytes;
}
