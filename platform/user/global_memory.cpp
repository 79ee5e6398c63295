// Global memory blocks, the currency of the clipboard. A block's handle is
// its address; the table tells blocks from other pointers, so that a stray
// handle is refused instead of freed or read.
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/kernel/kernel.h"
#include "platform/user/user.h"

namespace {

struct Block {
    SIZE_T size = 0;
    unsigned locks = 0;
};

struct BlockTable {
    std::mutex lock;
    std::map<void*, Block> blocks;
};

BlockTable& Table() {
    static BlockTable* table = new BlockTable;  // outlives threads still running at exit
    return *table;
}

}  // namespace

HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes) {
    void* memory =
        (flags & GMEM_ZEROINIT) ? std::calloc(bytes != 0 ? bytes : 1, 1) : std::malloc(bytes != 0 ? bytes : 1);
    if (memory == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    BlockTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    table.blocks[memory] = Block{bytes, 0};
    return memory;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL memory) {
    if (memory == nullptr) return nullptr;
    BlockTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.blocks.find(memory);
    if (found == table.blocks.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return memory;
    }
    table.blocks.erase(found);
    std::free(memory);
    return nullptr;
}

LPVOID WINAPI GlobalLock(HGLOBAL memory) {
    BlockTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.blocks.find(memory);
    if (found == table.blocks.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    ++found->second.locks;
    return memory;
}

BOOL WINAPI GlobalUnlock(HGLOBAL memory) {
    BlockTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.blocks.find(memory);
    if (found == table.blocks.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (found->second.locks > 0) --found->second.locks;
    if (found->second.locks == 0) {
        SetLastError(ERROR_SUCCESS);  // unlocked: FALSE with no error
        return FALSE;
    }
    return TRUE;
}

SIZE_T WINAPI GlobalSize(HGLOBAL memory) {
    BlockTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.blocks.find(memory);
    if (found == table.blocks.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return found->second.size;
}
