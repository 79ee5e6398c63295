// Open files. Each handle keeps what it was opened for (access, sharing,
// the host path) and its place in the process-wide share records, which it
// gives up when it goes. Private to the platform.
#pragma once

#include <unistd.h>

#include <string>

#include "platform/kernel/file_sharing.h"
#include "platform/kernel/kernel.h"
#include "platform/kernel/kernel_objects.h"

namespace platform::detail {

struct FileObject final : KernelObject {
    static constexpr ObjectKind Kind = ObjectKind::File;
    FileObject(int descriptor, DWORD access, DWORD share, std::string path, FileIdentity file,
               uint64_t sharingId)
        : KernelObject(Kind), fd(descriptor), desiredAccess(access), shareMode(share),
          hostPath(std::move(path)), identity(file), openId(sharingId) {}
    ~FileObject() override {
        ReleaseOpen(identity, openId);
        close(fd);
    }

    const int fd;
    const DWORD desiredAccess;
    const DWORD shareMode;
    const std::string hostPath;
    const FileIdentity identity;
    const uint64_t openId;  // in the share records; 0 when not recorded
};

// The GetLastError code for a failed host file call.
DWORD ErrorFromErrno(int error);
// ERROR_FILE_NOT_FOUND when the folder of `hostPath` exists, else
// ERROR_PATH_NOT_FOUND: what Windows tells apart for a missing file.
DWORD MissingFileError(const std::string& hostPath);

// The Windows attributes of a host file or folder: a folder, or a file with
// the archive mark (as a freshly written file carries on Windows); read-only
// when the process may not write it.
DWORD HostFileAttributes(const std::string& hostPath, bool isDirectory);

// A host time as a file time (100 ns units since 1601-01-01 UTC); times
// before 1601 become 0.
FILETIME FileTimeFromHost(int64_t seconds, int64_t nanoseconds);

}  // namespace platform::detail
