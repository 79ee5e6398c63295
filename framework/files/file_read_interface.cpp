// The game's reader over the file-access table in force: whole files, blocks,
// lines and single characters.
#include "framework/files/file_read_interface.h"

#include "framework/base/base_functions.h"
#include "framework/files/file_access_table.h"

uintptr_t OpenFileForRead(const char* path, int asyncFlag) {
    return FileStreamOpen(path, 0, 1, asyncFlag != 0 ? 1 : 0);
}

int GetFileSizeByName(const char* path) {
    const uintptr_t file = OpenFileForRead(path, 0);
    if (file == 0) return -1;
    FileStreamSeek(file, 0, 2);
    const int size = FileStreamTell(file);
    FileStreamClose(file);
    return size;
}

int ReadFileBytes(void* buffer, int byteCount, uintptr_t file) {
    // A negative count would be taken as an element of nearly 4 GiB.
    if (byteCount < 0) return 0;
    return static_cast<int>(FileStreamRead(buffer, static_cast<uint32_t>(byteCount), 1, file));
}

int IsFileAtEnd(uintptr_t file) {
    const int32_t position = FileStreamTell(file);
    FileStreamSeek(file, 0, 2);
    const int32_t end = FileStreamTell(file);
    FileStreamSeek(file, position, 0);
    return position == end ? 1 : 0;
}

int ReadFileLine(char* buffer, int bufferLength, uintptr_t file) {
    // Below 2 there is no room for a byte and the terminator: a caller reading
    // until the end would never get there.
    if (buffer == nullptr || bufferLength < 2) return -1;
    if (FileStreamEof(file)) return -1;
    const int32_t start = FileStreamTell(file);
    const uint32_t asked = static_cast<uint32_t>(bufferLength) - 1;
    const uint32_t n = FileStreamRead(buffer, 1, asked, file);
    // A file opened for asynchronous reads has its data only once it is idle.
    FileStreamWaitUntilIdle(file);
    if (n == 0 || n > asked) return -1;
    // Fewer bytes than asked for: the file ends behind them.
    const bool fileEnded = n < asked;

    const auto* bytes = reinterpret_cast<const unsigned char*>(buffer);
    uint32_t i = 0;
    for (; i < n; ++i) {
        if (bytes[i] == 0) break;  // the rest of this read is skipped
        if (IsShiftJisLeadByte(bytes[i])) {
            if (i + 2 <= n) {
                ++i;  // the trail byte is never taken for CR, LF or zero
                continue;
            }
            // The trail byte was not read. When it cannot be had (the file
            // ends, or the buffer has room for this byte only) the lead byte
            // is a character of its own; otherwise the next line starts with
            // the whole character.
            if (fileEnded || i == 0) continue;
            FileStreamSeek(file, start + static_cast<int32_t>(i), 0);
            break;
        }
        if (bytes[i] == '\r' && i + 1 < n && bytes[i + 1] == '\n') {
            FileStreamSeek(file, start + static_cast<int32_t>(i) + 2, 0);
            break;
        }
    }
    buffer[i] = '\0';
    return static_cast<int>(i);
}

int ReadFileChar(uintptr_t file) {
    if (FileStreamEof(file)) return -1;
    unsigned char byte = 0;
    const uint32_t n = FileStreamRead(&byte, 1, 1, file);
    FileStreamWaitUntilIdle(file);
    return n == 1 ? byte : -1;
}
