// The reset of the window system that ResetMachine() runs.
#include "platform/user/host_display.h"
#include "platform/user/message_queue.h"
#include "platform/user/window_records.h"
#include "platform/user/window_system.h"

namespace platform::detail {

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

}  // namespace platform::detail
