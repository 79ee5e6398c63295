// The desktop profile and the reset of the window system for tests.
#include "platform/user/user_profile.h"

#include "platform/user/host_display.h"
#include "platform/user/message_queue.h"
#include "platform/user/window_records.h"
#include "platform/user/window_system.h"

namespace platform {

UserProfile& User() {
    static UserProfile* profile = new UserProfile;  // read by threads still running at exit
    return *profile;
}

void ResetUserProfile() { User() = UserProfile{}; }

void ResetWindowSystem() {
    detail::StopHostDisplay();
    std::vector<int> classLocks;
    {
        std::lock_guard<std::mutex> guard(detail::WindowLock());
        std::vector<HWND> windows;
        for (const auto& record : detail::AllWindowsLocked()) {
            windows.push_back(record->handle);
            classLocks.push_back(record->classLockFile);
            record->classLockFile = -1;
        }
        for (HWND window : windows) detail::RemoveWindowLocked(window);
        detail::ForgetAllClassesLocked();
        detail::ResetActivationLocked();
    }
    for (int classLock : classLocks) detail::ReleaseClassLock(classLock);
    detail::ClearAllQueues();
    detail::ResetCursor();
    detail::ResetClipboard();
    detail::DestroyAllMenus();
    detail::ForgetIconResources();
    detail::ResetSystemParameters();
}

}  // namespace platform
