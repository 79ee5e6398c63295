// Waiting for an archive file read whole, and closing what a record holds.
#include "framework/archive/archive_reader.h"
#include "framework/archive/archive_reader_parts.h"
#include "framework/files/plain_file_stream.h"
#include "framework/base/tracked_memory.h"
#include "platform/platform.h"

int CompleteWholeArchiveRead(ArchiveRecord* record) {
    if (!record->wholeReadPending) return 1;
    if (!Win32FileIdleCheck(record->wholeReadStream)) return 0;
    Win32FileClose(record->wholeReadStream);
    record->wholeReadStream = 0;
    // The image is decoded in one pass once all of it has arrived.
    XorWithArchiveKey(record->size, record->image, 0, record->key);
    record->wholeReadPending = 0;
    return 1;
}

void WaitForWholeArchiveRead(ArchiveRecord* record) {
    if (!record->wholeReadPending) return;
    Win32FileWaitUntilIdle(record->wholeReadStream);
    CompleteWholeArchiveRead(record);
}

int CheckArchiveLoadDone(ArchiveRecord* record) { return CompleteWholeArchiveRead(record); }

uint8_t* FinishAsyncArchiveRead(ArchiveRecord* record) {
    WaitForWholeArchiveRead(record);
    return record->heldInMemory ? record->image : nullptr;
}

int ReleaseArchiveRecord(ArchiveRecord* record) {
    if (record->image == nullptr && record->file == 0) return 0;
    WaitForWholeArchiveRead(record);
    if (!record->heldInMemory) {
        Win32FileClose(record->file);
        FreeMemory(record->tableBlock);
    } else if (!record->callersImage) {
        FreeMemory(record->image);
        FreeMemory(record->tableBlock);
    } else {
        // The caller's image goes back to its stored form.
        XorWithArchiveKey(record->size, record->image, 0, record->key);
    }
    ZeroArchiveRecord(record);
    return 0;
}

int ShutArchive(ArchiveRecord* record) {
    ReleaseArchiveRecord(record);
    ZeroArchiveRecord(record);
    return 0;
}
