// The plain file stream: a file on disk read either directly or through a
// read thread of its own, which keeps a 128 KiB read-ahead cache and lets
// reads run asynchronously. The plain set of the file-access table installs
// these routines, and the archive-aware routines use them for files on disk.
//
// Handles are the address of the stream's record; 0 means the open failed.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

constexpr uint32_t FileReadAheadCacheSize = 131072;

// What the caller asks the read thread to do.
enum FileThreadCommand : int32_t {
    FileThreadOpen = 0,
    FileThreadCloseFile = 1,
    FileThreadRead = 2,
    FileThreadSeek = 3,
    FileThreadEnd = 4,
};

// One open plain file. While the done event is reset the read thread owns the
// command fields and its file handle; the caller writes them only after
// waiting for the done event, and itself keeps position, end flag and size.
// An idle thread without a cache only waits for its next command, so a
// caller who waits for a read anyway may then carry it out itself, on the
// thread's file. The cache belongs to the read thread alone, idle or not (it
// reads ahead while no command comes); the caller only frees it, after the
// thread's end.
struct Win32FileStream {
    HANDLE plainHandle;  // the file when no read thread serves the stream
    int32_t threadServed;
    int32_t cacheFlag;
    int32_t asyncFlag;
    int32_t endFlag;     // set by a read that finds nothing left; cleared by seek
    uint32_t position;   // logical read position
    uint32_t size;       // file size at open (low 32 bits)
    DWORD threadId;
    HANDLE threadHandle;
    HANDLE threadFile;   // the file as the read thread opened it
    HANDLE commandEvent; // manual reset; set to post a command
    HANDLE doneEvent;    // manual reset; signalled means idle
    int32_t command;
    int32_t openFailed;
    char fileName[MAX_PATH];
    uint8_t* readDestination;  // advanced while the thread copies from the cache
    uint32_t readFilePosition;
    uint32_t readSize;         // still to fetch; then the bytes the file read gave
    uint32_t seekPosition;
    uint8_t* cache;            // FileReadAheadCacheSize bytes with the cache flag, else null
    uint32_t cacheFilePosition;
    uint32_t cacheFill;
};

// `unused` is ignored (callers pass 1). The cache flag asks for the read-ahead
// cache; either flag puts the stream on a read thread, and the asynchronous
// flag lets reads return before their data has arrived (see the idle check).
uintptr_t Win32FileOpen(const char* path, int cacheFlag, int unused, int asyncFlag);
int Win32FileClose(uintptr_t stream);
int32_t Win32FileTell(uintptr_t stream);
int Win32FileSeek(uintptr_t stream, int32_t offset, int origin);
uint32_t Win32FileRead(void* buffer, uint32_t elementSize, uint32_t count, uintptr_t stream);
// Win32FileRead for a caller who waits for the data, also on a stream opened
// for asynchronous reads: the elements really delivered.
uint32_t Win32FileReadAndWait(void* buffer, uint32_t elementSize, uint32_t count, uintptr_t stream);
// -1 when the end flag is set, else 0.
int Win32FileEof(uintptr_t stream);
int Win32FileIdleCheck(uintptr_t stream);
// Blocks until the idle check would give 1: a read still under way has
// delivered its data.
void Win32FileWaitUntilIdle(uintptr_t stream);
