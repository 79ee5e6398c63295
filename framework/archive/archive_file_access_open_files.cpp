// Files opened through the archive-aware set: the open-file table of 512
// slots, and the routines that serve a handle either from a file inside an
// archive or from a plain file.
#include "framework/archive/archive_file_access.h"

#include "framework/base/log.h"
#include "framework/files/plain_file_stream.h"
#include "framework/base/tracked_memory.h"

ArcOpenFileTable ArcOpenFiles = {};

namespace {

// The record behind a handle of this set, or null for anything else: a value
// without the marker bits, a slot out of range, or an empty slot.
ArcStreamRecord* RecordOf(uintptr_t file) {
    if ((file & ~ArcFileHandleSlotMask) != ArcFileHandleMarker) return nullptr;
    const uintptr_t slot = file & ArcFileHandleSlotMask;
    if (slot >= static_cast<uintptr_t>(ArchiveOpenFileLimit)) return nullptr;
    return ArcOpenFiles.slots[slot];
}

uintptr_t HandleOf(int slot) { return static_cast<uintptr_t>(slot) | ArcFileHandleMarker; }

}  // namespace

uintptr_t ArcStreamOpen(const char* path, int cacheFlag, int unused, int asyncFlag) {
    if (ArcOpenFiles.filesOpen >= ArchiveOpenFileLimit) {
        WriteLogLine("同時に開けるファイルの数が限界を超えました\n");
        return 0;
    }
    int slot = 0;
    while (slot < ArchiveOpenFileLimit && ArcOpenFiles.slots[slot] != nullptr) ++slot;
    if (slot == ArchiveOpenFileLimit) return 0;  // the count disagrees with the table
    auto* record =
        static_cast<ArcStreamRecord*>(AllocZeroedMemory(sizeof(ArcStreamRecord), __FILE__, __LINE__));
    if (record == nullptr) {
        WriteLogLine("ファイルの情報を格納するメモリの確保に失敗しました\n");
        return 0;
    }
    ArcOpenFiles.slots[slot] = record;

    char innerPath[ArchivePathBufferSize];
    const int located = LocateArchiveForPath(path, &record->cacheSlot, nullptr, innerPath);
    bool opened = false;
    if (located == 0) {
        // No plain file is tried: the archive on the path holds the file or
        // nothing does.
        record->inArchive = 1;
        ArchiveRecord* archive = &ArchiveCache.slots[record->cacheSlot]->record;
        // A path running through a member file (DATA\README.TXT\X.PNG)
        // names nothing: the member lookup refuses it.
        opened = OpenArchiveMember(&record->archiveStream, archive, innerPath, asyncFlag) == 0;
        if (!opened) ReleaseCachedArchive(record->cacheSlot);
    } else if (located == -1) {
        record->inArchive = 0;
        record->plainStream = Win32FileOpen(path, cacheFlag, 1, asyncFlag);
        opened = record->plainStream != 0;
    }
    if (!opened) {
        FreeMemory(record);
        ArcOpenFiles.slots[slot] = nullptr;
        return 0;
    }
    ++ArcOpenFiles.filesOpen;
    return HandleOf(slot);
}

int ArcStreamClose(uintptr_t file) {
    ArcStreamRecord* record = RecordOf(file);
    if (record == nullptr) return -1;
    if (record->inArchive) {
        // The archive stays cached until a cleanup finds it unused.
        ReleaseCachedArchive(record->cacheSlot);
        CloseArchiveMember(&record->archiveStream);
    } else {
        Win32FileClose(record->plainStream);
    }
    ArcOpenFiles.slots[file & ArcFileHandleSlotMask] = nullptr;
    FreeMemory(record);
    --ArcOpenFiles.filesOpen;
    return 0;
}

int32_t ArcStreamTell(uintptr_t file) {
    ArcStreamRecord* record = RecordOf(file);
    if (record == nullptr) return -1;
    return record->inArchive ? TellArchiveMember(&record->archiveStream)
                             : Win32FileTell(record->plainStream);
}

int ArcStreamSeek(uintptr_t file, int32_t offset, int origin) {
    ArcStreamRecord* record = RecordOf(file);
    if (record == nullptr) return -1;
    return record->inArchive ? SeekArchiveMember(&record->archiveStream, offset, origin)
                             : Win32FileSeek(record->plainStream, offset, origin);
}

uint32_t ArcStreamRead(void* buffer, uint32_t elementSize, uint32_t count, uintptr_t file) {
    ArcStreamRecord* record = RecordOf(file);
    if (record == nullptr) return static_cast<uint32_t>(-1);
    if (!record->inArchive) return Win32FileRead(buffer, elementSize, count, record->plainStream);
    // The product is taken whole: a wrapped one would deliver a wrong count,
    // and no member is larger than the signed 32-bit range.
    const uint64_t wanted = static_cast<uint64_t>(elementSize) * count;
    const uint32_t bytes = wanted > 0x7FFFFFFFu ? 0x7FFFFFFFu : static_cast<uint32_t>(wanted);
    return ReadArchiveMember(&record->archiveStream, buffer, bytes);
}

int ArcStreamEof(uintptr_t file) {
    ArcStreamRecord* record = RecordOf(file);
    if (record == nullptr) return -1;
    return record->inArchive ? ArchiveMemberEof(&record->archiveStream)
                             : Win32FileEof(record->plainStream);
}

int ArcStreamIdle(uintptr_t file) {
    ArcStreamRecord* record = RecordOf(file);
    if (record == nullptr) return -1;
    return record->inArchive ? PollArchiveMemberRead(&record->archiveStream)
                             : Win32FileIdleCheck(record->plainStream);
}

void ArcStreamWaitUntilIdle(uintptr_t file) {
    ArcStreamRecord* record = RecordOf(file);
    if (record == nullptr) return;
    if (record->inArchive)
        WaitForArchiveMemberRead(&record->archiveStream);
    else
        Win32FileWaitUntilIdle(record->plainStream);
}
