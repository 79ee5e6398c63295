// Listing plain files through the system's find calls, each entry described
// by a FileInfoRecord.
#include "framework/base/base_functions.h"
#include "framework/base/format_text.h"
#include "framework/files/plain_directory.h"

uintptr_t Win32FindFirst(const char* pattern, FileInfoRecord* record) {
    WIN32_FIND_DATAA findData;
    HANDLE find = FindFirstFileA(pattern, &findData);
    if (find == INVALID_HANDLE_VALUE) return InvalidFindHandle;
    if (record != nullptr) FillFileInfoRecord(record, &findData);
    return reinterpret_cast<uintptr_t>(find);
}

int Win32FindNext(uintptr_t find, FileInfoRecord* record) {
    WIN32_FIND_DATAA findData;
    if (!FindNextFileA(reinterpret_cast<HANDLE>(find), &findData)) return -1;
    if (record != nullptr) FillFileInfoRecord(record, &findData);
    return 0;
}

int Win32FindClose(uintptr_t find) { return FindClose(reinterpret_cast<HANDLE>(find)) ? 0 : -1; }

void FillFileInfoRecord(FileInfoRecord* record, const WIN32_FIND_DATAA* findData) {
    // The name is copied within the record's MAX_PATH characters even should
    // the find data lack its terminator; such a cut never leaves the lead
    // byte of a two-byte character without its second byte.
    uint32_t length = 0;
    while (length < MAX_PATH - 1 && findData->cFileName[length] != '\0') ++length;
    if (findData->cFileName[length] != '\0')
        length = static_cast<uint32_t>(ShiftJisSafeLength(findData->cFileName, length));
    CopyMemoryBytes(record->name, findData->cFileName, length);
    record->name[length] = '\0';
    record->isDirectory = (findData->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
    record->sizeLow = findData->nFileSizeLow;
    record->sizeHigh = findData->nFileSizeHigh;
    FileTimeToDateRecord(&findData->ftCreationTime, &record->creationTime);
    FileTimeToDateRecord(&findData->ftLastWriteTime, &record->lastWriteTime);
}
