// FindWindowA, and the per-user class locks through which it sees the
// windows of other processes of this program: every window holds a shared
// lock on a file named after its class, and a process that finds the file
// locked knows that a window of that class exists elsewhere.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "platform/profile/machine_profile.h"
#include "platform/user/window_records.h"
#include "platform/user/window_system.h"

namespace platform::detail {
namespace {

bool IsAtom(LPCSTR name) { return reinterpret_cast<ULONG_PTR>(name) <= 0xFFFF; }

// A folder only this user can write to, so that nobody else can plant or
// hold our locks.
bool IsPrivateFolder(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
           (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// Empty when no safe folder can be had: then windows are not seen across
// processes at all.
std::string LockFolder() {
    const std::string& chosen = Profile().display.classLockDirectory;
    if (!chosen.empty()) return chosen;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/' && IsPrivateFolder(runtime)) return runtime;
    const std::string fallback = "/tmp/kiln-" + std::to_string(geteuid());
    mkdir(fallback.c_str(), 0700);
    return IsPrivateFolder(fallback) ? fallback : std::string();
}

// Class names may be any Shift-JIS text of up to 255 bytes: the file is named
// after a hash of the folded name instead.
std::string LockPath(const std::string& className) {
    const std::string folder = LockFolder();
    if (folder.empty()) return {};
    uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (unsigned char byte : FoldClassName(className.c_str())) {
        hash ^= byte;
        hash *= 1099511628211ull;
    }
    char name[64];
    std::snprintf(name, sizeof(name), "/kiln-window-class-%016llx.lock", static_cast<unsigned long long>(hash));
    return folder + name;
}

bool HeldByAnotherProcess(const std::string& className) {
    const std::string path = LockPath(className);
    if (path.empty()) return false;
    const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (file < 0) return false;
    bool held = false;
    if (flock(file, LOCK_EX | LOCK_NB) == 0)
        flock(file, LOCK_UN);
    else
        held = errno == EWOULDBLOCK;
    close(file);
    return held;
}

// Stands for a window of another process: one handle per class, never a
// window of this process.
HWND ForeignWindowLocked(const std::string& className) {
    static auto* handles = new std::map<std::string, HWND>;  // guarded by WindowLock()
    HWND& handle = (*handles)[FoldClassName(className.c_str())];
    if (handle == nullptr) handle = static_cast<HWND>(NewUserHandle());
    return handle;
}

}  // namespace

int TakeClassLock(const std::string& className) {
    const std::string path = LockPath(className);
    if (path.empty()) return -1;
    const int file = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (file < 0) return -1;
    int result;
    do result = flock(file, LOCK_SH);  // waits out a probe of another process
    while (result != 0 && errno == EINTR);
    if (result != 0) {
        close(file);
        return -1;
    }
    return file;
}

void ReleaseClassLock(int descriptor) {
    if (descriptor >= 0) close(descriptor);
}

}  // namespace platform::detail

using namespace platform::detail;

HWND WINAPI FindWindowA(LPCSTR className, LPCSTR windowName) {
    {
        std::lock_guard<std::mutex> guard(WindowLock());
        std::shared_ptr<WindowClassRecord> windowClass;
        if (className != nullptr) {
            windowClass = FindClassLocked(className);
        }
        if (className == nullptr || windowClass) {
            for (const auto& record : AllWindowsLocked()) {
                if (windowClass && record->windowClass != windowClass) continue;
                if (windowName != nullptr && record->text != windowName) continue;
                return record->handle;
            }
        }
    }
    // Another process's window text is not known; only its class is.
    if (className == nullptr || IsAtom(className) || windowName != nullptr) return nullptr;
    if (!HeldByAnotherProcess(className)) return nullptr;
    std::lock_guard<std::mutex> guard(WindowLock());
    return ForeignWindowLocked(className);
}
