// The caller's side of the plain file stream: opening (directly, or by
// starting a read thread that opens the file itself), reading, seeking and
// closing.
#include <cstring>

#include "framework/base/base_functions.h"
#include "framework/files/file_read_thread.h"
#include "framework/base/log.h"
#include "framework/files/plain_file_stream.h"
#include "framework/base/tracked_memory.h"
#include "platform/platform.h"

namespace {

Win32FileStream* StreamOf(uintptr_t stream) { return reinterpret_cast<Win32FileStream*>(stream); }

HANDLE OpenSharedForReading(const char* path) {
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A thread handle is signalled once its thread has ended.
void WaitForThreadEnd(HANDLE thread) { WaitForSingleObject(thread, INFINITE); }

// Undoes what a failed thread-served open had made, except the thread.
void FreeThreadServedParts(Win32FileStream* stream) {
    FreeMemory(stream->cache);
    if (stream->commandEvent != nullptr) CloseHandle(stream->commandEvent);
    if (stream->doneEvent != nullptr) CloseHandle(stream->doneEvent);
}

uintptr_t OpenThreadServed(Win32FileStream* stream, const char* path) {
    // The size is learnt here; the thread opens the file again for itself.
    HANDLE probe = OpenSharedForReading(path);
    if (probe == INVALID_HANDLE_VALUE) {
        FreeMemory(stream);
        return 0;
    }
    stream->size = GetFileSize(probe, nullptr);
    CloseHandle(probe);

    if (stream->cacheFlag) {
        stream->cache = static_cast<uint8_t*>(AllocMemory(FileReadAheadCacheSize, __FILE__, __LINE__));
        if (stream->cache == nullptr) {
            FreeMemory(stream);
            WriteLogLine("ファイル読み込みキャッシュ用メモリの確保に失敗しました\n");
            return 0;
        }
    }
    stream->commandEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    stream->doneEvent = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    if (stream->commandEvent != nullptr && stream->doneEvent != nullptr)
        stream->threadHandle =
            CreateThread(nullptr, 0, Win32FileReadThread, stream, 0, &stream->threadId);
    if (stream->threadHandle == nullptr) {
        FreeThreadServedParts(stream);
        FreeMemory(stream);
        WriteLogLine("ファイルアクセス専用スレッドの作成に失敗しました\n");
        return 0;
    }

    WaitForFileThreadIdle(stream);
    CopyString(stream->fileName, path);
    PostFileThreadCommand(stream, FileThreadOpen);
    WaitForFileThreadIdle(stream);
    if (stream->openFailed) {
        FreeThreadServedParts(stream);
        WaitForThreadEnd(stream->threadHandle);
        CloseHandle(stream->threadHandle);
        FreeMemory(stream);
        WriteLogLine("ファイルのオープンに失敗しました\n");
        return 0;
    }
    stream->position = 0;
    stream->endFlag = 0;
    return reinterpret_cast<uintptr_t>(stream);
}

// The read is over: the position follows the bytes really delivered, and a
// read that delivered nothing found nothing left.
uint32_t FinishRead(Win32FileStream* stream, uint32_t delivered, uint32_t elementSize) {
    stream->position += delivered;
    if (delivered == 0) stream->endFlag = 1;
    return delivered / elementSize;
}

// The read of Win32FileRead; `wait` false returns as soon as a thread-served
// read has been handed to the thread.
uint32_t ReadElements(Win32FileStream* stream, void* buffer, uint32_t elementSize, uint32_t count,
                      bool wait) {
    if (elementSize == 0) return 0;
    if (stream->position >= stream->size) {
        stream->endFlag = 1;
        return 0;
    }
    // In 64 bits: element size times count, and the position plus that, can
    // exceed 32 bits. Only whole elements are ever delivered.
    const uint32_t remaining = stream->size - stream->position;
    if (uint64_t(elementSize) * count > remaining) count = remaining / elementSize;
    if (count == 0) {
        stream->endFlag = 1;
        return 0;
    }
    const uint32_t bytes = elementSize * count;

    if (stream->threadServed) {
        WaitForFileThreadIdle(stream);
        stream->readDestination = static_cast<uint8_t*>(buffer);
        stream->readFilePosition = stream->position;
        stream->readSize = bytes;
        if (!wait) {
            PostFileThreadCommand(stream, FileThreadRead);
            // The data is still on its way: the caller waits for the idle
            // check before using the buffer.
            stream->position += bytes;
            return count;
        }
        if (stream->cache == nullptr) {
            // Idle and without a window to fill, the thread only waits for
            // its next command: the read it would carry out for a caller who
            // waits for it anyway costs less here than two thread switches.
            CarryOutFileRead(stream);
        } else {
            PostFileThreadCommand(stream, FileThreadRead);
            WaitForFileThreadIdle(stream);
        }
        // The read advanced the destination past what the cache gave and
        // left in the read size what the file gave.
        const uint32_t delivered =
            static_cast<uint32_t>(stream->readDestination - static_cast<uint8_t*>(buffer)) +
            stream->readSize;
        return FinishRead(stream, delivered, elementSize);
    }

    DWORD got = 0;
    const BOOL read = ReadFile(stream->plainHandle, buffer, bytes, &got, nullptr);
    const uint32_t elements = FinishRead(stream, got, elementSize);
    return read ? elements : 0;
}

}  // namespace

uintptr_t Win32FileOpen(const char* path, int cacheFlag, int, int asyncFlag) {
    // The thread keeps the path in a MAX_PATH buffer; the file calls take no
    // longer path either.
    if (path == nullptr || std::strlen(path) >= MAX_PATH) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    auto* stream =
        static_cast<Win32FileStream*>(AllocZeroedMemory(sizeof(Win32FileStream), __FILE__, __LINE__));
    if (stream == nullptr) return 0;
    stream->cacheFlag = cacheFlag;
    stream->asyncFlag = asyncFlag;
    stream->threadServed = (cacheFlag != 0 || asyncFlag != 0) ? 1 : 0;
    if (stream->threadServed) return OpenThreadServed(stream, path);

    stream->plainHandle = OpenSharedForReading(path);
    if (stream->plainHandle == INVALID_HANDLE_VALUE) {
        FreeMemory(stream);
        return 0;
    }
    stream->size = GetFileSize(stream->plainHandle, nullptr);
    stream->position = 0;
    stream->endFlag = 0;
    return reinterpret_cast<uintptr_t>(stream);
}

int Win32FileClose(uintptr_t handle) {
    Win32FileStream* stream = StreamOf(handle);
    if (!stream->threadServed) {
        const BOOL closed = CloseHandle(stream->plainHandle);
        FreeMemory(stream);
        return closed ? 0 : -1;
    }
    // Waits for a read still under way, then for the thread's end.
    WaitForFileThreadIdle(stream);
    PostFileThreadCommand(stream, FileThreadEnd);
    WaitForFileThreadIdle(stream);
    WaitForThreadEnd(stream->threadHandle);
    CloseHandle(stream->threadHandle);
    FreeThreadServedParts(stream);
    FreeMemory(stream);
    return 0;
}

int32_t Win32FileTell(uintptr_t stream) { return static_cast<int32_t>(StreamOf(stream)->position); }

int Win32FileSeek(uintptr_t handle, int32_t offset, int origin) {
    Win32FileStream* stream = StreamOf(handle);
    int64_t target;
    switch (origin) {
        case 0: target = offset; break;
        case 1: target = int64_t(stream->position) + offset; break;
        case 2: target = int64_t(stream->size) + offset; break;
        default: return -1;
    }
    // A position is 32 bits unsigned: a target outside them is refused
    // rather than wrapped onto some other place in the file.
    if (target < 0 || target > int64_t(UINT32_MAX)) return -1;
    const uint32_t position = static_cast<uint32_t>(target);
    if (stream->threadServed) {
        WaitForFileThreadIdle(stream);
        // Every read command carries its own file position, so only the
        // read-ahead window needs to hear of a seek: without one, the round
        // trip to the thread would change nothing.
        if (stream->cache != nullptr) {
            stream->seekPosition = position;
            PostFileThreadCommand(stream, FileThreadSeek);
        }
    } else {
        LONG high = 0;
        if (SetFilePointer(stream->plainHandle, static_cast<LONG>(position), &high, FILE_BEGIN) ==
                INVALID_SET_FILE_POINTER &&
            GetLastError() != ERROR_SUCCESS)
            return -1;
    }
    stream->position = position;
    stream->endFlag = 0;
    return 0;
}

uint32_t Win32FileRead(void* buffer, uint32_t elementSize, uint32_t count, uintptr_t handle) {
    Win32FileStream* stream = StreamOf(handle);
    return ReadElements(stream, buffer, elementSize, count, stream->asyncFlag == 0);
}

uint32_t Win32FileReadAndWait(void* buffer, uint32_t elementSize, uint32_t count, uintptr_t handle) {
    return ReadElements(StreamOf(handle), buffer, elementSize, count, true);
}

int Win32FileEof(uintptr_t stream) { return StreamOf(stream)->endFlag ? -1 : 0; }

int Win32FileIdleCheck(uintptr_t handle) {
    Win32FileStream* stream = StreamOf(handle);
    if (!stream->threadServed) return 1;
    return WaitForSingleObject(stream->doneEvent, 0) == WAIT_OBJECT_0 ? 1 : 0;
}

void Win32FileWaitUntilIdle(uintptr_t handle) {
    Win32FileStream* stream = StreamOf(handle);
    if (stream->threadServed) WaitForFileThreadIdle(stream);
}
