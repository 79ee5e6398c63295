// The share records of every open in the process: recording an open only when
// it and the recorded ones share each other's access, releasing it, and
// deleting a file only while every recorded open shares deletion.
#include "platform/kernel/file_sharing.h"

#include <errno.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <new>
#include <vector>

#include "platform/kernel/file_objects.h"
#include "platform/kernel/kernel.h"

namespace platform::detail {
namespace {

struct RecordedOpen {
    uint64_t id;
    DWORD access;  // GENERIC_READ and GENERIC_WRITE only
    DWORD share;
};

struct ShareTable {
    std::mutex lock;
    std::map<FileIdentity, std::vector<RecordedOpen>> opens;
    uint64_t nextId = 1;
};

ShareTable& Table() {
    static ShareTable* table = new ShareTable;  // outlives threads still running at exit
    return *table;
}

constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;

// Whether an open with `share` lets another open have `access`.
bool Shares(DWORD share, DWORD access) {
    if ((access & GENERIC_READ) && !(share & FILE_SHARE_READ)) return false;
    if ((access & GENERIC_WRITE) && !(share & FILE_SHARE_WRITE)) return false;
    return true;
}

}  // namespace

bool RecordOpen(const FileIdentity& file, DWORD desiredAccess, DWORD shareMode, uint64_t& openId) {
    openId = 0;
    const DWORD access = desiredAccess & kReadWrite;
    if (access == 0) return true;  // asks for nothing that sharing governs
    ShareTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.opens.find(file);
    if (found != table.opens.end()) {
        for (const RecordedOpen& open : found->second)
            if (!Shares(open.share, access) || !Shares(shareMode, open.access)) return false;
    }
    try {
        table.opens[file].push_back(RecordedOpen{table.nextId, access, shareMode});
    } catch (const std::bad_alloc&) {
        return false;
    }
    openId = table.nextId++;
    return true;
}

void ReleaseOpen(const FileIdentity& file, uint64_t openId) {
    if (openId == 0) return;
    ShareTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.opens.find(file);
    if (found == table.opens.end()) return;
    std::vector<RecordedOpen>& opens = found->second;
    for (auto open = opens.begin(); open != opens.end(); ++open) {
        if (open->id != openId) continue;
        opens.erase(open);
        break;
    }
    if (opens.empty()) table.opens.erase(found);
}

bool UnlinkIfSharingAllows(const FileIdentity& file, const std::string& hostPath, DWORD& error) {
    ShareTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.opens.find(file);
    if (found != table.opens.end()) {
        for (const RecordedOpen& open : found->second) {
            if (!(open.share & FILE_SHARE_DELETE)) {
                error = ERROR_SHARING_VIOLATION;
                return false;
            }
        }
    }
    if (unlink(hostPath.c_str()) != 0) {
        error = errno == ENOENT ? MissingFileError(hostPath) : ErrorFromErrno(errno);
        return false;
    }
    return true;
}

}  // namespace platform::detail
