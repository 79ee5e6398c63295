// Calls on names rather than open files: deleting, renaming, attributes and
// the current directory (the host process's own, shown Windows-shaped).
#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/kernel/file_objects.h"
#include "platform/kernel/kernel.h"
#include "platform/kernel/path_mapping.h"

namespace {

DWORD ErrorForName(int error, const std::string& hostPath) {
    return error == ENOENT ? platform::detail::MissingFileError(hostPath)
                           : platform::detail::ErrorFromErrno(error);
}

}  // namespace

// A file open without FILE_SHARE_DELETE is not deleted. One whose opens all
// share deletion loses its name at once, as on POSIX; Windows would keep the
// name until the last handle closes. Nothing here relies on the difference.
BOOL WINAPI DeleteFileA(LPCSTR fileName) {
    std::string hostPath;
    DWORD error = ERROR_SUCCESS;
    if (!platform::detail::MapPath(fileName, hostPath, error)) {
        SetLastError(error);
        return FALSE;
    }
    struct stat info;
    if (lstat(hostPath.c_str(), &info) != 0) {
        SetLastError(ErrorForName(errno, hostPath));
        return FALSE;
    }
    if (S_ISDIR(info.st_mode)) {  // folders are removed by another call
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    const platform::detail::FileIdentity identity{static_cast<uint64_t>(info.st_dev),
                                                  static_cast<uint64_t>(info.st_ino)};
    if (!platform::detail::UnlinkIfSharingAllows(identity, hostPath, error)) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI MoveFileExA(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags) {
    std::string from;
    std::string to;
    DWORD error = ERROR_SUCCESS;
    if (!platform::detail::MapPath(existingFileName, from, error) ||
        !platform::detail::MapPath(newFileName, to, error)) {
        SetLastError(error);
        return FALSE;
    }
    struct stat info;
    if (lstat(from.c_str(), &info) != 0) {
        SetLastError(ErrorForName(errno, from));
        return FALSE;
    }
    if (lstat(to.c_str(), &info) == 0) {
        if ((flags & MOVEFILE_REPLACE_EXISTING) == 0) {
            SetLastError(ERROR_ALREADY_EXISTS);
            return FALSE;
        }
        if (S_ISDIR(info.st_mode)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
    }
    if (rename(from.c_str(), to.c_str()) != 0) {
        SetLastError(platform::detail::ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI GetFileAttributesA(LPCSTR fileName) {
    std::string hostPath;
    DWORD error = ERROR_SUCCESS;
    if (!platform::detail::MapPath(fileName, hostPath, error)) {
        SetLastError(error);
        return INVALID_FILE_ATTRIBUTES;
    }
    struct stat info;
    if (stat(hostPath.c_str(), &info) != 0) {
        SetLastError(ErrorForName(errno, hostPath));
        return INVALID_FILE_ATTRIBUTES;
    }
    return platform::detail::HostFileAttributes(hostPath, S_ISDIR(info.st_mode));
}

DWORD WINAPI GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer) {
    // Asked for at every file the framework opens: a longer buffer than the
    // one on the stack only for a directory that needs it.
    char onStack[MAX_PATH * 4];
    std::vector<char> larger;
    char* host = onStack;
    size_t size = sizeof(onStack);
    while (getcwd(host, size) == nullptr) {
        if (errno != ERANGE || size > (1u << 20)) {
            SetLastError(platform::detail::ErrorFromErrno(errno));
            return 0;
        }
        size *= 2;
        larger.resize(size);
        host = larger.data();
    }
    std::string windowsPath;
    if (!platform::detail::HostToWindowsPath(host, windowsPath)) {
        SetLastError(ERROR_INVALID_NAME);
        return 0;
    }
    const size_t needed = windowsPath.size() + 1;
    if (buffer == nullptr || bufferLength < needed) return static_cast<DWORD>(needed);
    std::memcpy(buffer, windowsPath.c_str(), needed);
    return static_cast<DWORD>(windowsPath.size());
}

BOOL WINAPI SetCurrentDirectoryA(LPCSTR pathName) {
    std::string hostPath;
    DWORD error = ERROR_SUCCESS;
    if (!platform::detail::MapPath(pathName, hostPath, error)) {
        SetLastError(error);
        return FALSE;
    }
    struct stat info;
    if (stat(hostPath.c_str(), &info) != 0) {
        SetLastError(ErrorForName(errno, hostPath));
        return FALSE;
    }
    if (!S_ISDIR(info.st_mode)) {
        SetLastError(ERROR_DIRECTORY);
        return FALSE;
    }
    if (chdir(hostPath.c_str()) != 0) {
        SetLastError(ErrorForName(errno, hostPath));
        return FALSE;
    }
    return TRUE;
}
