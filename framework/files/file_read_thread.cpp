// The read thread of a plain file stream: it opens the file for itself
// (without sharing), carries out one command at a time, and while no command
// comes for 100 ms fills the read-ahead cache from where the last read ended.
#include "framework/base/base_functions.h"
#include "framework/files/file_read_thread.h"

namespace {

constexpr DWORD ReadAheadIdleMilliseconds = 100;

// Moves the thread's file pointer; positions up to 4 GiB are reached through
// the high word.
bool SetThreadFilePosition(Win32FileStream* stream, uint64_t position) {
    LONG high = static_cast<LONG>(position >> 32);
    return SetFilePointer(stream->threadFile, static_cast<LONG>(static_cast<uint32_t>(position)),
                          &high, FILE_BEGIN) != INVALID_SET_FILE_POINTER ||
           GetLastError() == ERROR_SUCCESS;
}

void ReadAhead(Win32FileStream* stream) {
    if (stream->threadFile == nullptr || stream->cacheFill >= FileReadAheadCacheSize) return;
    if (!SetThreadFilePosition(stream, uint64_t(stream->cacheFilePosition) + stream->cacheFill)) return;
    DWORD got = 0;
    ReadFile(stream->threadFile, stream->cache + stream->cacheFill,
             FileReadAheadCacheSize - stream->cacheFill, &got, nullptr);
    stream->cacheFill += got;
}

void CloseThreadFile(Win32FileStream* stream) {
    if (stream->threadFile != nullptr) CloseHandle(stream->threadFile);
    stream->threadFile = nullptr;
}

// The caller frees the record only once the thread has ended, so signalling
// the done event last is safe.
DWORD EndThread(Win32FileStream* stream) {
    SetEvent(stream->doneEvent);
    return 1;
}

}  // namespace

DWORD WINAPI Win32FileReadThread(LPVOID parameter) {
    auto* stream = static_cast<Win32FileStream*>(parameter);
    for (;;) {
        const DWORD waited = WaitForSingleObject(
            stream->commandEvent, stream->cache != nullptr ? ReadAheadIdleMilliseconds : INFINITE);
        if (waited == WAIT_TIMEOUT) {
            ReadAhead(stream);
            continue;
        }
        ResetEvent(stream->commandEvent);
        ResetEvent(stream->doneEvent);
        switch (stream->command) {
            case FileThreadOpen: {
                HANDLE file = CreateFileA(stream->fileName, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
                if (file == INVALID_HANDLE_VALUE) {
                    stream->openFailed = 1;
                    return EndThread(stream);
                }
                stream->threadFile = file;
                break;
            }
            case FileThreadCloseFile: CloseThreadFile(stream); break;
            case FileThreadRead: CarryOutFileRead(stream); break;
            case FileThreadSeek:
                SetThreadFilePosition(stream, stream->seekPosition);
                if (stream->cache != nullptr) {
                    stream->cacheFill = 0;
                    stream->cacheFilePosition = stream->seekPosition;
                }
                break;
            case FileThreadEnd:
                CloseThreadFile(stream);
                return EndThread(stream);
            default: break;
        }
        SetEvent(stream->doneEvent);
    }
}

void CarryOutFileRead(Win32FileStream* stream) {
    // Sequential reads start exactly at the cache's first byte; each hit moves
    // the cache's start forward.
    if (stream->cache != nullptr && stream->cacheFilePosition == stream->readFilePosition &&
        stream->cacheFill > 0) {
        const uint32_t n = stream->readSize < stream->cacheFill ? stream->readSize : stream->cacheFill;
        CopyMemoryBytes(stream->readDestination, stream->cache, n);
        stream->readDestination += n;
        stream->readFilePosition += n;
        stream->cacheFilePosition += n;
        stream->readSize -= n;
        stream->cacheFill -= n;
        if (stream->cacheFill > 0) MoveMemoryBytes(stream->cache, stream->cache + n, stream->cacheFill);
    }
    if (stream->readSize == 0) return;
    DWORD got = 0;
    if (SetThreadFilePosition(stream, stream->readFilePosition))
        ReadFile(stream->threadFile, stream->readDestination, stream->readSize, &got, nullptr);
    stream->readSize = got;
    if (stream->cache != nullptr) {
        // Read-ahead continues from the end of this read.
        stream->cacheFilePosition = stream->readFilePosition + got;
        stream->cacheFill = 0;
    }
}

void WaitForFileThreadIdle(Win32FileStream* stream) { WaitForSingleObject(stream->doneEvent, INFINITE); }

void PostFileThreadCommand(Win32FileStream* stream, FileThreadCommand command) {
    stream->command = command;
    ResetEvent(stream->doneEvent);
    SetEvent(stream->commandEvent);
}
