// Windows-shaped Shift-JIS paths to host paths and back. Private to the
// platform (and to tests, which use platform::MapWindowsPath).
#pragma once

#include <string>
#include <string_view>

#include "platform/win_types.h"

namespace platform::detail {

// Maps `windowsPath` as the file calls do. On failure returns false with
// `error` the code GetLastError should report (ERROR_FILENAME_EXCED_RANGE for
// a path longer than MAX_PATH, ERROR_INVALID_NAME for a name that is not
// Shift-JIS, ...).
bool MapPath(const char* windowsPath, std::string& hostPath, DWORD& error);

// The Windows-shaped Shift-JIS form of an absolute host path ("/home/x" ->
// "C:\home\x"); false when a name has no Shift-JIS form.
bool HostToWindowsPath(std::string_view hostPath, std::string& windowsPath);

// Where the last component of `windowsPath` begins: just after its last
// separator, else after a leading drive ("C:name"), else 0. The second byte
// of a double-byte character is never taken for a separator. Equal to the
// length when the path ends in a separator (or is a bare drive).
size_t LastComponentOffset(const char* windowsPath);

}  // namespace platform::detail

namespace platform {

// Maps a Windows-shaped Shift-JIS path to a host path as the file calls do:
// the drive and backslashes to a POSIX path, the names to UTF-8, relative
// paths against the current directory, each missing component matched without
// regard to letter case. Returns false when the path cannot be mapped (too
// long, not convertible).
bool MapWindowsPath(const char* windowsPath, std::string& hostPath);

}  // namespace platform
