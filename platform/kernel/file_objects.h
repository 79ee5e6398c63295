// Open files. Each handle keeps what it was opened for (access, sharing,
// the host path) so that checks across handles can be made when files are
// opened. Private to the platform.
#pragma once

#include <unistd.h>

#include <string>

#include "platform/kernel/kernel.h"
#include "platform/kernel/kernel_objects.h"

namespace platform::detail {

struct FileObject final : KernelObject {
    static constexpr ObjectKind Kind = ObjectKind::File;
    FileObject(int descriptor, DWORD access, DWORD share, std::string path)
        : KernelObject(Kind), fd(descriptor), desiredAccess(access), shareMode(share),
          hostPath(std::move(path)) {}
    ~FileObject() override { close(fd); }

    const int fd;
    const DWORD desiredAccess;
    const DWORD shareMode;
    const std::string hostPath;
};

// The GetLastError code for a failed host file call.
DWORD ErrorFromErrno(int error);
// ERROR_FILE_NOT_FOUND when the folder of `hostPath` exists, else
// ERROR_PATH_NOT_FOUND: what Windows tells apart for a missing file.
DWORD MissingFileError(const std::string& hostPath);

}  // namespace platform::detail
