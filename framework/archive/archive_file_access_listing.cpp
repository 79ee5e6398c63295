// Listing files through the archive-aware set, inside the archive that
// stands on the pattern's path or on disk where none does, and the current
// directory, which is the process's alone: archives are always searched from
// their root.
#include "framework/archive/archive_file_access.h"

#include "framework/base/tracked_memory.h"
#include "platform/platform.h"

int ArcStreamChDir(const char* path) {
    SetCurrentDirectoryA(path);
    return 0;
}

int ArcStreamGetDir(char* buffer) {
    GetCurrentDirectoryA(ArchivePathBufferSize, buffer);
    return 0;
}

uintptr_t ArcStreamFindFirst(const char* pattern, FileInfoRecord* info) {
    auto* record =
        static_cast<ArcFindRecord*>(AllocZeroedMemory(sizeof(ArcFindRecord), __FILE__, __LINE__));
    if (record == nullptr) return InvalidFindHandle;

    char innerPath[ArchivePathBufferSize];
    const int located = LocateArchiveForPath(pattern, &record->cacheSlot, nullptr, innerPath);
    if (located == 0) {
        record->inArchive = 1;
        record->find =
            FindFirstInArchive(&ArchiveCache.slots[record->cacheSlot]->record, innerPath, info);
        if (record->find == InvalidFindHandle) ReleaseCachedArchive(record->cacheSlot);
    } else if (located == -1) {
        record->find = Win32FindFirst(pattern, info);
    } else {
        record->find = InvalidFindHandle;
    }
    if (record->find == InvalidFindHandle) {
        FreeMemory(record);
        return InvalidFindHandle;
    }
    return reinterpret_cast<uintptr_t>(record);
}

namespace {

// A failed find-first's handle is refused rather than followed.
bool IsFindRecord(uintptr_t find) { return find != 0 && find != InvalidFindHandle; }

}  // namespace

int ArcStreamFindNext(uintptr_t find, FileInfoRecord* info) {
    if (!IsFindRecord(find)) return -1;
    auto* record = reinterpret_cast<ArcFindRecord*>(find);
    if (!record->inArchive) return Win32FindNext(record->find, info);
    auto* state = reinterpret_cast<ArchiveFindState*>(record->find);
    if (NextArchiveFindEntry(state, info) != 0) return -1;
    ++state->index;
    return 0;
}

int ArcStreamFindClose(uintptr_t find) {
    if (!IsFindRecord(find)) return -1;
    auto* record = reinterpret_cast<ArcFindRecord*>(find);
    if (record->inArchive) {
        FreeMemory(reinterpret_cast<void*>(record->find));
        ReleaseCachedArchive(record->cacheSlot);
    } else {
        Win32FindClose(record->find);
    }
    FreeMemory(record);
    return 0;
}
