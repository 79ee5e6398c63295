// Making folders: the per-user data folder of a program is made beside the
// files it keeps there.
#include <errno.h>
#include <sys/stat.h>

#include "platform/kernel/file_objects.h"
#include "platform/kernel/kernel.h"
#include "platform/kernel/path_mapping.h"

BOOL WINAPI CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES) {
    std::string hostPath;
    DWORD error = ERROR_SUCCESS;
    if (!platform::detail::MapPath(pathName, hostPath, error)) {
        SetLastError(error);
        return FALSE;
    }
    if (mkdir(hostPath.c_str(), 0777) != 0) {
        if (errno == EEXIST) {
            SetLastError(ERROR_ALREADY_EXISTS);
        } else if (errno == ENOENT) {
            SetLastError(ERROR_PATH_NOT_FOUND);
        } else {
            SetLastError(platform::detail::ErrorFromErrno(errno));
        }
        return FALSE;
    }
    return TRUE;
}
