// The small reader that the game uses for its own text and data files, over
// the file-access table in force: open, size, block read, line read,
// character read and the end test.
#pragma once

#include <cstdint>

// Opens for reading, never with the read cache; asynchronous reads when
// asyncFlag is non-zero. The handle, or 0.
uintptr_t OpenFileForRead(const char* path, int asyncFlag);
// The size in bytes, or -1 when the file cannot be opened.
int GetFileSizeByName(const char* path);
// Reads the whole block as one element: 1 when it was delivered, 0 when less
// than the block remained (then nothing is delivered).
int ReadFileBytes(void* buffer, int byteCount, uintptr_t file);
// 1 when the position is at the end of the file (the end flag is not used).
int IsFileAtEnd(uintptr_t file);
// One line of at most bufferLength - 1 bytes, zero-terminated, without its
// CR LF; a two-byte Shift-JIS character is split only when its trail byte
// cannot be had. The line's length, or -1 at the end of the file, when
// nothing could be read or when bufferLength is below 2.
int ReadFileLine(char* buffer, int bufferLength, uintptr_t file);
// The next byte (0 to 255), or -1 at the end or when nothing could be read.
int ReadFileChar(uintptr_t file);
