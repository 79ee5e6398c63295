// Folder change notifications: FindFirstChangeNotificationA,
// FindNextChangeNotification and FindCloseChangeNotification, over inotify.
//
// A notification is a wait source of its own, signalled once a name in its
// folder has been created, deleted or renamed (of a file or of a folder, as
// its filter asks), or once the folder itself has gone; it stays signalled
// until FindNextChangeNotification.
//
// One inotify instance serves the process. What it reports is taken in two
// ways: a thread of its own waits for reports, so that a wait with a time-out
// wakes when a change comes; and every wait on a notification first takes
// whatever the instance holds, so that a change made before the wait began
// (by this process or any other) is always seen by that wait, however late
// the thread runs.
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <new>
#include <string>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/kernel/file_objects.h"
#include "platform/kernel/kernel.h"
#include "platform/kernel/path_mapping.h"
#include "platform/kernel/waitable_objects.h"

namespace platform::detail {
namespace {

constexpr DWORD kNameFilters = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME;
constexpr uint32_t kNameEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
// The folder itself deleted, moved away or unmounted, or its watch gone.
constexpr uint32_t kFolderGone = IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED;

struct ChangeNotificationObject final : WaitableObject {
    static constexpr ObjectKind Kind = ObjectKind::ChangeNotification;
    ChangeNotificationObject(int watchDescriptor, DWORD notifyFilter)
        : WaitableObject(Kind), watch(watchDescriptor), filter(notifyFilter) {}
    ~ChangeNotificationObject() override;
    bool IsSignalled() const override { return signalled; }

    const int watch;
    const DWORD filter;
    bool signalled = false;  // guarded by `lock`
};

using Notifications = std::vector<std::weak_ptr<ChangeNotificationObject>>;

struct Watches {
    // Guards everything below. Taken before any notification's own lock.
    std::mutex lock;
    int instance = -1;
    bool readerStarted = false;
    std::unordered_map<int, Notifications> byWatch;
};

Watches& TheWatches() {
    static Watches* watches = new Watches;  // the reader thread uses it until the process ends
    return *watches;
}

void Signal(ChangeNotificationObject& notification) {
    std::lock_guard<std::mutex> guard(notification.lock);
    notification.signalled = true;
    notification.WakeWaiters();
}

bool Concerns(const inotify_event& event, DWORD filter) {
    if (event.mask & kFolderGone) return true;
    if (!(event.mask & kNameEvents)) return false;
    return (filter & ((event.mask & IN_ISDIR) ? FILE_NOTIFY_CHANGE_DIR_NAME : FILE_NOTIFY_CHANGE_FILE_NAME)) != 0;
}

// With `watches.lock` held: reads every report the instance holds and
// signals the notifications they concern. The notifications signalled go to
// `touched`, so that none is destroyed (which takes the lock) while it is held.
void TakeReports(Watches& watches, std::vector<std::shared_ptr<ChangeNotificationObject>>& touched) {
    if (watches.instance < 0) return;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t got = read(watches.instance, buffer, sizeof(buffer));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return;  // EAGAIN: nothing more is held
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) {
                // Reports were lost: any folder may have changed.
                for (auto& [watch, notifications] : watches.byWatch)
                    for (auto& weak : notifications)
                        if (auto notification = weak.lock()) touched.push_back(std::move(notification));
                continue;
            }
            auto found = watches.byWatch.find(event->wd);
            if (found == watches.byWatch.end()) continue;
            for (auto& weak : found->second) {
                auto notification = weak.lock();
                if (notification && Concerns(*event, notification->filter)) touched.push_back(std::move(notification));
            }
            // The kernel has dropped the watch: nothing more comes for it.
            if (event->mask & IN_IGNORED) watches.byWatch.erase(found);
        }
    }
}

void SignalAll(std::vector<std::shared_ptr<ChangeNotificationObject>>& touched) {
    for (auto& notification : touched) Signal(*notification);
}

void ReaderThread(Watches* watches) {
    pollfd ready{watches->instance, POLLIN, 0};
    for (;;) {
        if (poll(&ready, 1, -1) < 0 && errno != EINTR) return;
        std::vector<std::shared_ptr<ChangeNotificationObject>> touched;
        {
            std::lock_guard<std::mutex> guard(watches->lock);
            TakeReports(*watches, touched);
            SignalAll(touched);
        }
    }
}

// With `watches.lock` held: the instance and its reader, made the first time.
bool StartWatching(Watches& watches, DWORD& error) {
    if (watches.instance < 0) {
        watches.instance = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (watches.instance < 0) {
            error = errno == ENOMEM ? ERROR_NOT_ENOUGH_MEMORY : ERROR_TOO_MANY_OPEN_FILES;
            return false;
        }
    }
    if (!watches.readerStarted) {
        try {
            std::thread(ReaderThread, &watches).detach();
        } catch (const std::system_error&) {
            error = ERROR_NOT_ENOUGH_MEMORY;
            return false;
        }
        watches.readerStarted = true;
    }
    return true;
}

// With `watches.lock` held: ends the watch once no notification uses it.
void ForgetWatchIfUnused(Watches& watches, int watch) {
    auto found = watches.byWatch.find(watch);
    if (found != watches.byWatch.end()) {
        std::erase_if(found->second, [](const auto& weak) { return weak.expired(); });
        if (!found->second.empty()) return;
        watches.byWatch.erase(found);
    }
    inotify_rm_watch(watches.instance, watch);
}

ChangeNotificationObject::~ChangeNotificationObject() {
    Watches& watches = TheWatches();
    std::lock_guard<std::mutex> guard(watches.lock);
    // A watch the kernel has dropped (its folder went) is no longer listed.
    if (watches.byWatch.find(watch) != watches.byWatch.end()) ForgetWatchIfUnused(watches, watch);
}

HANDLE Fail(DWORD error) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

}  // namespace

void TakeFileSystemChanges() {
    Watches& watches = TheWatches();
    std::vector<std::shared_ptr<ChangeNotificationObject>> touched;
    std::lock_guard<std::mutex> guard(watches.lock);
    TakeReports(watches, touched);
    SignalAll(touched);
}

}  // namespace platform::detail

HANDLE WINAPI FindFirstChangeNotificationA(LPCSTR pathName, BOOL watchSubtree, DWORD notifyFilter) {
    using namespace platform::detail;
    if (pathName == nullptr || watchSubtree || notifyFilter == 0 || (notifyFilter & ~kNameFilters) != 0)
        return Fail(ERROR_INVALID_PARAMETER);
    std::string hostPath;
    DWORD error = ERROR_SUCCESS;
    if (!MapPath(pathName, hostPath, error)) return Fail(error);
    struct stat info;
    if (stat(hostPath.c_str(), &info) != 0) return Fail(errno == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno));
    if (!S_ISDIR(info.st_mode)) return Fail(ERROR_DIRECTORY);

    Watches& watches = TheWatches();
    std::vector<std::shared_ptr<ChangeNotificationObject>> touched;
    std::shared_ptr<ChangeNotificationObject> notification;
    {
        std::lock_guard<std::mutex> guard(watches.lock);
        if (!StartWatching(watches, error)) return Fail(error);
        // Reports from before the watch go to the notifications made before
        // it; what comes from here on reaches this one too.
        TakeReports(watches, touched);
        SignalAll(touched);
        const int watch = inotify_add_watch(watches.instance, hostPath.c_str(), kNameEvents | kFolderGone | IN_ONLYDIR);
        if (watch < 0) {
            const int watchError = errno;
            return Fail(watchError == ENOENT || watchError == ENOTDIR ? ERROR_PATH_NOT_FOUND
                        : watchError == ENOSPC                        ? ERROR_NOT_ENOUGH_MEMORY
                                                                      : ErrorFromErrno(watchError));
        }
        try {
            notification = std::make_shared<ChangeNotificationObject>(watch, notifyFilter);
            watches.byWatch[watch].push_back(notification);
        } catch (const std::bad_alloc&) {
            // This notification is not listed: its end finds nothing to do.
            ForgetWatchIfUnused(watches, watch);
            return Fail(ERROR_NOT_ENOUGH_MEMORY);
        }
    }
    HANDLE handle = InsertHandle(notification);
    if (handle == nullptr) return Fail(ERROR_NOT_ENOUGH_MEMORY);
    SetLastError(ERROR_SUCCESS);
    return handle;
}

BOOL WINAPI FindNextChangeNotification(HANDLE handle) {
    auto notification = platform::detail::LookUpHandleOf<platform::detail::ChangeNotificationObject>(handle);
    if (!notification) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> guard(notification->lock);
    notification->signalled = false;
    return TRUE;
}

BOOL WINAPI FindCloseChangeNotification(HANDLE handle) {
    using platform::detail::ObjectKind;
    if (!platform::detail::RemoveHandleIf(handle,
                                          [](ObjectKind kind) { return kind == ObjectKind::ChangeNotification; })) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
