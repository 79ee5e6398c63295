// The stream interface through which every decoder and the archive reader read
// their data: six routines and a stream handle. Two sets exist, both constant
// for the life of the program: the file set, which forwards each call to the
// file-access table in force, and the memory set, which reads a block that
// the caller owns.
//
// Stream handles are pointer-sized unsigned integers; 0 is never a valid one.
#pragma once

#include <cstdint>

struct StreamFunctions {
    // The current position.
    int32_t (*tell)(uintptr_t stream);
    // origin: 0 from the start, 1 from the current position, 2 from the end.
    // 0 on success, -1 on failure.
    int (*seek)(uintptr_t stream, int32_t offset, int origin);
    // The number of elements delivered.
    uint32_t (*read)(void* buffer, uint32_t elementSize, uint32_t count, uintptr_t stream);
    // Non-zero when the end flag of the stream is set.
    int (*endOfFile)(uintptr_t stream);
    // 1 when no asynchronous read is pending on the stream, 0 while one runs.
    int (*idleCheck)(uintptr_t stream);
    // 0; no caller reads it.
    int (*close)(uintptr_t stream);
};

// What a decoder is handed: the routines of one set and the stream they read.
struct StreamSource {
    StreamFunctions functions;
    uintptr_t stream;
};

// The file set: FileStreamTell, FileStreamSeek, FileStreamRead, FileStreamEof,
// FileStreamIdleCheck, FileStreamClose. Open the file with FileStreamOpen.
const StreamFunctions* GetFileStreamFunctions();
// The memory set; its close frees the stream record, not the data.
const StreamFunctions* GetMemoryStreamFunctions();

// One open memory stream. The data is the caller's: never copied, never freed.
struct MemoryStream {
    const uint8_t* data;
    uint32_t size;
    int32_t position;  // always within 0..size
    int32_t endFlag;   // 1 after a read found the position at the end
};

// A stream over `size` bytes at `data` (which must outlive it), at position 0;
// 0 when the record cannot be allocated or the size does not fit the signed
// 32-bit position.
uintptr_t OpenMemoryStream(const void* data, uint32_t size);
int32_t MemStreamTell(uintptr_t stream);
int MemStreamSeek(uintptr_t stream, int32_t offset, int origin);
uint32_t MemStreamRead(void* buffer, uint32_t elementSize, uint32_t count, uintptr_t stream);
int MemStreamEof(uintptr_t stream);
int MemStreamIdleCheck(uintptr_t stream);
int CloseMemoryStream(uintptr_t stream);
