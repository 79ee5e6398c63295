// The plain Win32 routines for the current directory and for listing files,
// as the plain set of the file-access table installs them, and the record that
// every listing of files fills.
#pragma once

#include <cstdint>

#include "framework/base/time_functions.h"
#include "platform/platform.h"

// One entry of a listing; filled here, by the archive-aware listing and by the
// archive directory listing.
struct FileInfoRecord {
    char name[MAX_PATH];  // without its folder
    int32_t isDirectory;
    uint32_t sizeLow;
    uint32_t sizeHigh;
    DateRecord creationTime;   // local time
    DateRecord lastWriteTime;  // local time
};

// Find handles are pointer-sized; this is the failure of a find-first.
constexpr uintptr_t InvalidFindHandle = ~uintptr_t(0);

// SetCurrentDirectoryA's non-zero/zero result.
int Win32SetCurrentDir(const char* path);
// GetCurrentDirectoryA into a buffer of MAX_PATH characters: the path's length,
// 0 on failure.
int Win32GetCurrentDir(char* buffer);
// The find handle after filling `record` (when given), or InvalidFindHandle.
uintptr_t Win32FindFirst(const char* pattern, FileInfoRecord* record);
// 0 after filling `record` (when given); -1 when no further file is found,
// which leaves the record as it was.
int Win32FindNext(uintptr_t find, FileInfoRecord* record);
int Win32FindClose(uintptr_t find);
void FillFileInfoRecord(FileInfoRecord* record, const WIN32_FIND_DATAA* findData);
