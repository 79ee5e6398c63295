// The GetLastError codes of failed host file calls: errno mapped to the Windows
// code, and a missing file told apart from a missing folder.
#include <errno.h>
#include <sys/stat.h>

#include "platform/kernel/file_objects.h"

namespace platform::detail {

DWORD ErrorFromErrno(int error) {
    switch (error) {
        case ENOENT: return ERROR_FILE_NOT_FOUND;
        case ENOTDIR: return ERROR_PATH_NOT_FOUND;
        case EEXIST: return ERROR_FILE_EXISTS;
        case EACCES:
        case EPERM:
        case EISDIR:
        case EROFS:
        case ETXTBSY: return ERROR_ACCESS_DENIED;
        case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
        case EMFILE:
        case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
        case ENOSPC:
        case EDQUOT: return ERROR_DISK_FULL;
        case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
        case EBADF: return ERROR_INVALID_HANDLE;
        case EINVAL: return ERROR_INVALID_PARAMETER;
        default: return ERROR_ACCESS_DENIED;
    }
}

DWORD MissingFileError(const std::string& hostPath) {
    const size_t slash = hostPath.find_last_of('/');
    const std::string folder = slash == 0 || slash == std::string::npos ? "/" : hostPath.substr(0, slash);
    struct stat info;
    if (stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return ERROR_FILE_NOT_FOUND;
    return ERROR_PATH_NOT_FOUND;
}

}  // namespace platform::detail
