// Listing a folder: FindFirstFileA, FindNextFileA, FindClose.
//
// The pattern's last component may hold wildcards (see wildcard_match.h); the
// folder before it is mapped as every path is, so its letter case need not
// match. The folder is read once, when the listing starts; names with no
// Shift-JIS form are left out. A listing gives "." and ".." first (not at the
// root, as Windows does), then the other names in the order of their
// Shift-JIS bytes, so that it does not depend on the host's order. Short
// (8.3) names are not made: cAlternateFileName stays empty, as it does on
// Windows for a name that needs none.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "platform/kernel/file_objects.h"
#include "platform/kernel/kernel.h"
#include "platform/kernel/kernel_objects.h"
#include "platform/kernel/path_mapping.h"
#include "platform/kernel/shift_jis.h"
#include "platform/kernel/wildcard_match.h"

namespace {

using platform::detail::KernelObject;
using platform::detail::ObjectKind;

struct FindObject final : KernelObject {
    static constexpr ObjectKind Kind = ObjectKind::Find;
    FindObject() : KernelObject(Kind) {}

    std::mutex lock;
    std::vector<WIN32_FIND_DATAA> entries;
    size_t next = 0;
};

HANDLE FailFind(DWORD error) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

// The find data of the host file `hostPath` under the Shift-JIS `name`;
// false when it has gone meanwhile.
bool Describe(const std::string& hostPath, const std::string& name, WIN32_FIND_DATAA& data) {
    struct statx info;
    const unsigned wanted = STATX_BASIC_STATS | STATX_BTIME;
    // A dangling link is still listed, as the link itself.
    if (statx(AT_FDCWD, hostPath.c_str(), 0, wanted, &info) != 0 &&
        statx(AT_FDCWD, hostPath.c_str(), AT_SYMLINK_NOFOLLOW, wanted, &info) != 0)
        return false;
    std::memset(&data, 0, sizeof(data));
    const bool isDirectory = S_ISDIR(info.stx_mode);
    data.dwFileAttributes = platform::detail::HostFileAttributes(hostPath, isDirectory);
    const auto time = [](const statx_timestamp& t) {
        return platform::detail::FileTimeFromHost(t.tv_sec, t.tv_nsec);
    };
    // Not every file system keeps a birth time; the last change of the
    // contents is the nearest stand-in.
    data.ftCreationTime = time((info.stx_mask & STATX_BTIME) ? info.stx_btime : info.stx_mtime);
    data.ftLastAccessTime = time(info.stx_atime);
    data.ftLastWriteTime = time(info.stx_mtime);
    const uint64_t size = isDirectory ? 0 : info.stx_size;
    data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data.nFileSizeLow = static_cast<DWORD>(size);
    std::memcpy(data.cFileName, name.c_str(), name.size() + 1);  // the caller checked the length
    return true;
}

// The Shift-JIS names of the folder's entries other than "." and "..",
// sorted by their bytes; false with `error` set when it cannot be read.
bool ReadFolder(const std::string& hostFolder, std::vector<std::pair<std::string, std::string>>& names,
                DWORD& error) {
    DIR* directory = opendir(hostFolder.c_str());
    if (directory == nullptr) {
        error = platform::detail::ErrorFromErrno(errno);
        return false;
    }
    while (dirent* entry = readdir(directory)) {
        const std::string hostName = entry->d_name;
        if (hostName == "." || hostName == "..") continue;
        std::string name;
        if (!platform::Utf8ToShiftJis(hostName, name) || name.size() >= MAX_PATH) continue;
        names.emplace_back(std::move(name), hostName);
    }
    closedir(directory);
    std::sort(names.begin(), names.end());  // std::string compares bytes as unsigned
    return true;
}

}  // namespace

HANDLE WINAPI FindFirstFileA(LPCSTR fileName, WIN32_FIND_DATAA* findData) {
    if (fileName == nullptr || findData == nullptr) return FailFind(ERROR_INVALID_PARAMETER);
    if (strnlen(fileName, MAX_PATH) >= MAX_PATH) return FailFind(ERROR_FILENAME_EXCED_RANGE);
    const size_t nameAt = platform::detail::LastComponentOffset(fileName);
    std::string folder(fileName, nameAt);
    const std::string pattern(fileName + nameAt);
    if (pattern.empty()) return FailFind(ERROR_FILE_NOT_FOUND);  // "folder\" names no entry
    if (platform::detail::HasWildcard(folder)) return FailFind(ERROR_INVALID_NAME);
    if (folder.empty()) folder.push_back('.');

    std::string hostFolder;
    DWORD error = ERROR_SUCCESS;
    if (!platform::detail::MapPath(folder.c_str(), hostFolder, error)) return FailFind(error);
    struct stat info;
    if (stat(hostFolder.c_str(), &info) != 0) {
        const int statError = errno;
        return FailFind(statError == ENOENT || statError == ENOTDIR
                            ? ERROR_PATH_NOT_FOUND
                            : platform::detail::ErrorFromErrno(statError));
    }
    if (!S_ISDIR(info.st_mode)) return FailFind(ERROR_DIRECTORY);

    std::shared_ptr<FindObject> find;
    try {
        std::vector<std::pair<std::string, std::string>> names;  // Shift-JIS, host
        if (!ReadFolder(hostFolder, names, error)) return FailFind(error);
        const std::string prefix = hostFolder == "/" ? "" : hostFolder;
        if (!prefix.empty()) names.insert(names.begin(), {{".", "."}, {"..", ".."}});
        find = std::make_shared<FindObject>();
        for (const auto& [name, hostName] : names) {
            if (!platform::detail::MatchesWildcard(pattern, name)) continue;
            WIN32_FIND_DATAA data;
            if (Describe(prefix + "/" + hostName, name, data)) find->entries.push_back(data);
        }
    } catch (const std::bad_alloc&) {
        return FailFind(ERROR_NOT_ENOUGH_MEMORY);
    }
    if (find->entries.empty()) return FailFind(ERROR_FILE_NOT_FOUND);
    *findData = find->entries[0];
    find->next = 1;
    HANDLE handle = platform::detail::InsertHandle(std::move(find));
    if (handle == nullptr) return FailFind(ERROR_NOT_ENOUGH_MEMORY);
    SetLastError(ERROR_SUCCESS);
    return handle;
}

BOOL WINAPI FindNextFileA(HANDLE handle, WIN32_FIND_DATAA* findData) {
    std::shared_ptr<FindObject> find = platform::detail::LookUpHandleOf<FindObject>(handle);
    if (!find) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (findData == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard<std::mutex> guard(find->lock);
    if (find->next >= find->entries.size()) {  // the caller's data stays as it was
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    *findData = find->entries[find->next++];
    return TRUE;
}

BOOL WINAPI FindClose(HANDLE handle) {
    using platform::detail::ObjectKind;
    if (!platform::detail::RemoveHandleIf(handle, [](ObjectKind kind) { return kind == ObjectKind::Find; })) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
