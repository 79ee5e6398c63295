// The per-user data folder. On this desktop the roaming application data of
// a user lives in the XDG data home.
#include <errno.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/kernel/kernel.h"
#include "platform/kernel/path_mapping.h"
#include "platform/shell/shell.h"

namespace {

std::string DataHome() {
    const char* data = std::getenv("XDG_DATA_HOME");
    // The XDG rules ignore a relative setting.
    if (data != nullptr && data[0] == '/') return data;
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') return {};
    return std::string(home) + "/.local/share";
}

// mkdir -p: every missing folder on the way.
bool MakeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

BOOL WINAPI SHGetSpecialFolderPathA(HWND, LPSTR path, int folder, BOOL create) {
    if (path == nullptr || folder != CSIDL_APPDATA) return FALSE;
    std::string host = DataHome();
    while (host.size() > 1 && host.back() == '/') host.pop_back();
    if (host.empty()) return FALSE;
    struct stat info;
    if (stat(host.c_str(), &info) != 0) {
        if (!create || !MakeFolders(host)) return FALSE;
    } else if (!S_ISDIR(info.st_mode)) {
        return FALSE;
    }
    std::string windows;
    if (!platform::detail::HostToWindowsPath(host, windows) || windows.size() >= MAX_PATH) return FALSE;
    std::memcpy(path, windows.c_str(), windows.size() + 1);
    return TRUE;
}
