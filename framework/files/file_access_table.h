// The one table of twelve file routines through which the framework and the
// game reach every file, the routines that install it, and the forwarding
// routines that call whatever table is in force at the moment of the call.
//
// File handles are pointer-sized unsigned integers, 0 meaning failure; a
// handle is valid only with the set of routines that opened it, so a table is
// installed before files are opened through it and not replaced while they
// are open.
#pragma once

#include <cstdint>

#include "framework/files/plain_directory.h"

struct FileAccessTable {
    // cacheFlag asks for the read-ahead cache; `unused` is ignored (callers
    // pass 1); asyncFlag lets reads return before their data has arrived.
    uintptr_t (*open)(const char* path, int cacheFlag, int unused, int asyncFlag);
    int (*close)(uintptr_t file);
    int32_t (*tell)(uintptr_t file);
    // origin: 0 start, 1 current, 2 end; 0 on success, -1 on failure.
    int (*seek)(uintptr_t file, int32_t offset, int origin);
    uint32_t (*read)(void* buffer, uint32_t elementSize, uint32_t count, uintptr_t file);
    int (*endOfFile)(uintptr_t file);
    int (*idleCheck)(uintptr_t file);
    int (*changeDirectory)(const char* path);
    // The buffer holds at least MAX_PATH characters.
    int (*getDirectory)(char* buffer);
    uintptr_t (*findFirst)(const char* pattern, FileInfoRecord* record);
    int (*findNext)(uintptr_t find, FileInfoRecord* record);
    int (*findClose)(uintptr_t find);
};

// The table in force. Read without a lock at every call: install tables at
// start-up, before other threads use files.
extern FileAccessTable FileAccessTableInForce;
// 1 when archive use is switched off; chooses the built-in set that
// SetFileAccessTable(nullptr) installs.
extern int PlainFilesFlag;
// The plain set: the Win32 file stream and the plain directory routines.
extern const FileAccessTable PlainFileAccessSet;

// With a table, copies its routines into the table in force; with null,
// installs the built-in set that the plain-files flag chooses. Returns 0.
int SetFileAccessTable(const FileAccessTable* table);
// 1 when the table in force is the built-in set the plain-files flag chooses.
int IsDefaultFileAccessTable();
// 0 switches archive use off, anything else on; takes effect at the next
// SetFileAccessTable(nullptr). A change closes the archives no file uses.
// Returns 0.
int UseArchiveFiles(int flag);
// Sets the key text of archives opened from now on (SetArchiveKeyText).
int SetArchiveKeyForwarder(const char* keyText);

// Each calls its routine of the table in force with the arguments unchanged.
uintptr_t FileStreamOpen(const char* path, int cacheFlag, int unused, int asyncFlag);
int FileStreamClose(uintptr_t file);
int32_t FileStreamTell(uintptr_t file);
int FileStreamSeek(uintptr_t file, int32_t offset, int origin);
uint32_t FileStreamRead(void* buffer, uint32_t elementSize, uint32_t count, uintptr_t file);
int FileStreamEof(uintptr_t file);
int FileStreamIdleCheck(uintptr_t file);

// Returns once the idle check of the table in force gives non-zero: blocking
// on the stream's own wake-up under the built-in sets, polling the idle check
// under a table of the caller's, whose streams it cannot see into.
void FileStreamWaitUntilIdle(uintptr_t file);
