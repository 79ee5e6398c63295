// Share modes across the process. Every open of a file that asks for read or
// write access is recorded with that access and its share mode; a later open
// or a deletion that the recorded ones forbid is refused with
// ERROR_SHARING_VIOLATION, by the Windows rules. Files are told apart by
// device and inode, so every name that leads to a file (another letter case,
// a link) meets the same records; while an open is recorded its descriptor
// is held, so the inode cannot be reused under it. Private to the platform.
#pragma once

#include <sys/types.h>

#include <compare>
#include <cstdint>
#include <string>

#include "platform/win_types.h"

namespace platform::detail {

struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    auto operator<=>(const FileIdentity&) const = default;
};

// Records an open of `file` when it agrees with every open already recorded:
// each of them must share the access it asks for, and it must share the
// access each of them has. An open that asks for neither reading nor writing
// is neither checked nor recorded (openId 0). False on a conflict.
bool RecordOpen(const FileIdentity& file, DWORD desiredAccess, DWORD shareMode, uint64_t& openId);
// Forgets the open; called when its file object goes.
void ReleaseOpen(const FileIdentity& file, uint64_t openId);

// Removes the name `hostPath` of `file` when every open of the file shares
// deletion, in one step with the check. False with `error` set otherwise.
bool UnlinkIfSharingAllows(const FileIdentity& file, const std::string& hostPath, DWORD& error);

}  // namespace platform::detail
