// Files: opening and creating them (with the share modes of all opens of a
// file enforced across the process), reading, writing, the file pointer and
// the size, over POSIX descriptors.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <new>

#include "platform/kernel/file_objects.h"
#include "platform/kernel/kernel.h"
#include "platform/kernel/path_mapping.h"

using platform::detail::FileObject;

namespace {

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

HANDLE FailOpen(DWORD error) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

bool Exists(const std::string& hostPath) {
    struct stat info;
    return stat(hostPath.c_str(), &info) == 0;
}

}  // namespace

HANDLE WINAPI CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode,
                          LPSECURITY_ATTRIBUTES attributes, DWORD creationDisposition,
                          DWORD flagsAndAttributes, HANDLE templateFile) {
    std::string hostPath;
    DWORD error = ERROR_SUCCESS;
    if (!platform::detail::MapPath(fileName, hostPath, error)) return FailOpen(error);

    const bool reading = (desiredAccess & GENERIC_READ) != 0;
    const bool writing = (desiredAccess & GENERIC_WRITE) != 0;
    int flags = O_CLOEXEC | (writing ? (reading ? O_RDWR : O_WRONLY) : O_RDONLY);
    // Truncation waits until the share modes of the other opens have allowed
    // this one: a refused open must leave the file as it was.
    bool truncate = false;
    switch (creationDisposition) {
        case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
        case CREATE_ALWAYS:
            flags |= O_CREAT;
            truncate = true;
            break;
        case OPEN_EXISTING: break;
        case OPEN_ALWAYS: flags |= O_CREAT; break;
        case TRUNCATE_EXISTING:
            if (!writing) return FailOpen(ERROR_INVALID_PARAMETER);
            truncate = true;
            break;
        default: return FailOpen(ERROR_INVALID_PARAMETER);
    }
    const bool existed = Exists(hostPath);
    const int fd = open(hostPath.c_str(), flags, 0666);
    if (fd < 0) {
        const int openError = errno;
        if (openError == ENOENT) return FailOpen(platform::detail::MissingFileError(hostPath));
        return FailOpen(platform::detail::ErrorFromErrno(openError));
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        close(fd);  // a folder is no file to read or write
        return FailOpen(ERROR_ACCESS_DENIED);
    }
    const platform::detail::FileIdentity identity{static_cast<uint64_t>(info.st_dev),
                                                  static_cast<uint64_t>(info.st_ino)};
    uint64_t openId = 0;
    if (!platform::detail::RecordOpen(identity, desiredAccess, shareMode, openId)) {
        close(fd);
        return FailOpen(ERROR_SHARING_VIOLATION);
    }
    std::shared_ptr<FileObject> file;
    try {
        file = std::make_shared<FileObject>(fd, desiredAccess, shareMode, hostPath, identity, openId);
    } catch (const std::bad_alloc&) {
        platform::detail::ReleaseOpen(identity, openId);
        close(fd);
        return FailOpen(ERROR_NOT_ENOUGH_MEMORY);
    }
    // From here on the file object closes the descriptor and releases the record.
    if (truncate && info.st_size > 0) {
        // Overwriting asks for write permission even when the handle reads only.
        const int truncated = writing ? ftruncate(fd, 0) : ::truncate(hostPath.c_str(), 0);
        if (truncated != 0) return FailOpen(platform::detail::ErrorFromErrno(errno));
    }
    HANDLE handle = platform::detail::InsertHandle(std::move(file));
    if (handle == nullptr) return FailOpen(ERROR_NOT_ENOUGH_MEMORY);
    // Windows tells the caller that an "always" disposition met an existing file.
    const bool reportExisting =
        existed && (creationDisposition == CREATE_ALWAYS || creationDisposition == OPEN_ALWAYS);
    SetLastError(reportExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

BOOL WINAPI ReadFile(HANDLE handle, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
                     LPVOID overlapped) {
    if (bytesRead != nullptr) *bytesRead = 0;
    std::shared_ptr<FileObject> file = platform::detail::LookUpHandleOf<FileObject>(handle);
    if (!file) return Fail(ERROR_INVALID_HANDLE);
    if (!(file->desiredAccess & GENERIC_READ)) return Fail(ERROR_ACCESS_DENIED);
    if (buffer == nullptr && bytesToRead > 0) return Fail(ERROR_INVALID_PARAMETER);
    DWORD done = 0;
    while (done < bytesToRead) {
        ssize_t got = read(file->fd, static_cast<char*>(buffer) + done, bytesToRead - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            if (bytesRead != nullptr) *bytesRead = done;
            return Fail(platform::detail::ErrorFromErrno(errno));
        }
        if (got == 0) break;  // the end of the file: success with fewer bytes
        done += static_cast<DWORD>(got);
    }
    if (bytesRead != nullptr) *bytesRead = done;
    return TRUE;
}

BOOL WINAPI WriteFile(HANDLE handle, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
                      LPVOID overlapped) {
    if (bytesWritten != nullptr) *bytesWritten = 0;
    std::shared_ptr<FileObject> file = platform::detail::LookUpHandleOf<FileObject>(handle);
    if (!file) return Fail(ERROR_INVALID_HANDLE);
    if (!(file->desiredAccess & GENERIC_WRITE)) return Fail(ERROR_ACCESS_DENIED);
    if (buffer == nullptr && bytesToWrite > 0) return Fail(ERROR_INVALID_PARAMETER);
    DWORD done = 0;
    while (done < bytesToWrite) {
        ssize_t put = write(file->fd, static_cast<const char*>(buffer) + done, bytesToWrite - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            if (bytesWritten != nullptr) *bytesWritten = done;
            return Fail(put < 0 ? platform::detail::ErrorFromErrno(errno) : ERROR_DISK_FULL);
        }
        done += static_cast<DWORD>(put);
    }
    if (bytesWritten != nullptr) *bytesWritten = done;
    return TRUE;
}

DWORD WINAPI SetFilePointer(HANDLE handle, LONG distance, PLONG distanceHigh, DWORD moveMethod) {
    std::shared_ptr<FileObject> file = platform::detail::LookUpHandleOf<FileObject>(handle);
    if (!file) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_SET_FILE_POINTER;
    }
    // Without a high part the distance is a signed 32-bit value; with one the
    // two make a signed 64-bit distance.
    int64_t move = distance;
    if (distanceHigh != nullptr)
        move = static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*distanceHigh)) << 32) |
                                    static_cast<uint32_t>(distance));
    int64_t base;
    if (moveMethod == FILE_BEGIN) {
        base = 0;
    } else if (moveMethod == FILE_CURRENT) {
        base = lseek(file->fd, 0, SEEK_CUR);
    } else if (moveMethod == FILE_END) {
        struct stat info;
        base = fstat(file->fd, &info) == 0 ? info.st_size : -1;
    } else {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (base < 0) {
        SetLastError(platform::detail::ErrorFromErrno(errno));
        return INVALID_SET_FILE_POINTER;
    }
    if ((move > 0 && base > INT64_MAX - move) || base + move < 0) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return INVALID_SET_FILE_POINTER;
    }
    const int64_t position = base + move;
    // Without a high part to report it in, a position past 4 GiB cannot be
    // returned; the pointer stays where it was.
    if (distanceHigh == nullptr && position > 0xFFFFFFFEll) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (lseek(file->fd, position, SEEK_SET) < 0) {
        SetLastError(platform::detail::ErrorFromErrno(errno));
        return INVALID_SET_FILE_POINTER;
    }
    if (distanceHigh != nullptr) *distanceHigh = static_cast<LONG>(static_cast<uint64_t>(position) >> 32);
    // A low part of 0xFFFFFFFF is a valid position; the cleared error tells it apart.
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(position);
}

DWORD WINAPI GetFileSize(HANDLE handle, LPDWORD fileSizeHigh) {
    std::shared_ptr<FileObject> file = platform::detail::LookUpHandleOf<FileObject>(handle);
    if (!file) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_FILE_SIZE;
    }
    struct stat info;
    if (fstat(file->fd, &info) != 0) {
        SetLastError(platform::detail::ErrorFromErrno(errno));
        return INVALID_FILE_SIZE;
    }
    const uint64_t size = static_cast<uint64_t>(info.st_size);
    if (fileSizeHigh != nullptr) *fileSizeHigh = static_cast<DWORD>(size >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size);
}
