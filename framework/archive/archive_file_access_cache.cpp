// The cache of open archives: 512 slots of archives kept on disk, each with a
// use count. An archive stays cached while unused until a cleanup closes it,
// so that the next file of the same archive costs no open.
#include "framework/archive/archive_file_access.h"

#include "framework/base/base_functions.h"
#include "framework/base/tracked_memory.h"

ArchiveCacheState ArchiveCache = {};

namespace {

bool FitsArchivePath(const char* path) {
    for (int i = 0; i < ArchivePathBufferSize; ++i)
        if (path[i] == '\0') return true;
    return false;
}

}  // namespace

int FindCachedArchive(const char* archivePath) {
    for (int slot = 0, seen = 0; slot < ArchiveCacheSize && seen < ArchiveCache.entriesInUse; ++slot) {
        ArchiveCacheEntry* entry = ArchiveCache.slots[slot];
        if (entry == nullptr) continue;
        ++seen;
        if (CompareStrings(entry->path, archivePath) == 0) {
            ++entry->useCount;
            return slot;
        }
    }
    return -1;
}

int OpenCachedArchive(int hint, const char* archivePath, int wholeFile, int noWait) {
    if (archivePath == nullptr || !FitsArchivePath(archivePath)) return -1;
    if (hint >= 0 && hint < ArchiveCacheSize && ArchiveCache.slots[hint] != nullptr &&
        CompareStrings(ArchiveCache.slots[hint]->path, archivePath) == 0) {
        ++ArchiveCache.slots[hint]->useCount;
        return hint;
    }

    int freeSlot = -1;
    for (int slot = 0, seen = 0; slot < ArchiveCacheSize && seen < ArchiveCache.entriesInUse; ++slot) {
        ArchiveCacheEntry* entry = ArchiveCache.slots[slot];
        if (entry == nullptr) {
            freeSlot = slot;
            continue;
        }
        ++seen;
        if (CompareStrings(entry->path, archivePath) == 0) {
            ++entry->useCount;
            return slot;
        }
    }
    if (ArchiveCache.entriesInUse >= ArchiveCacheSize) {
        CloseUnusedArchives();
        if (ArchiveCache.entriesInUse >= ArchiveCacheSize) return -1;
    }
    if (freeSlot < 0)
        for (freeSlot = 0; ArchiveCache.slots[freeSlot] != nullptr; ++freeSlot) {
        }

    // The entry holds the record from the start, so that the open fills it
    // in place.
    auto* entry = static_cast<ArchiveCacheEntry*>(
        AllocZeroedMemory(sizeof(ArchiveCacheEntry), __FILE__, __LINE__));
    if (entry == nullptr) return -1;
    ZeroArchiveRecord(&entry->record);
    const char* keyText = ArchiveKeyText.isSet == 1 ? ArchiveKeyText.text : nullptr;
    const int opened = wholeFile == 1
                           ? OpenArchiveFileWhole(&entry->record, archivePath, keyText, noWait)
                           : OpenArchiveFileOnDisk(&entry->record, archivePath, keyText);
    if (opened != 0) {
        FreeMemory(entry);
        return -1;
    }
    entry->useCount = 1;
    CopyString(entry->path, archivePath);
    ArchiveCache.slots[freeSlot] = entry;
    ++ArchiveCache.entriesInUse;
    return freeSlot;
}

void ReleaseCachedArchive(int32_t cacheSlot) {
    if (cacheSlot < 0 || cacheSlot >= ArchiveCacheSize) return;
    ArchiveCacheEntry* entry = ArchiveCache.slots[cacheSlot];
    if (entry != nullptr && entry->useCount > 0) --entry->useCount;
}

void CloseUnusedArchives() {
    const int inUseAtStart = ArchiveCache.entriesInUse;
    for (int slot = 0, seen = 0; slot < ArchiveCacheSize && seen < inUseAtStart; ++slot) {
        ArchiveCacheEntry* entry = ArchiveCache.slots[slot];
        if (entry == nullptr) continue;
        ++seen;
        if (entry->useCount > 0) continue;
        ShutArchive(&entry->record);
        FreeMemory(entry);
        ArchiveCache.slots[slot] = nullptr;
        --ArchiveCache.entriesInUse;
    }
}

int ShutAllArchives() {
    CloseUnusedArchives();
    ForgetMissingArchives();
    return 0;
}
