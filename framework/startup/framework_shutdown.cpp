// Framework shutdown: every component is taken down in a fixed order, the
// message queue is drained, and the start-up directory is made current again.
#include "framework/startup/framework_shutdown.h"

#include "framework/archive/archive_file_access.h"
#include "framework/files/file_access_table.h"
#include "framework/base/framework_lock.h"
#include "framework/startup/framework_startup.h"
#include "framework/base/framework_state.h"
#include "framework/input/input_devices.h"
#include "framework/base/log.h"
#include "framework/window/main_window.h"
#include "framework/network/sockets.h"
#include "framework/base/tracked_memory.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/image/cpu_image_handles.h"
#include "framework/graphics/models/model_system.h"
#include "framework/sound/music.h"
#include "framework/sound/sound_system.h"
#include "platform/platform.h"

int ShutDownFrameworkComponents() {
    MainWindow.closeState = 1;
    EndOnScreenLog();
    EndNetwork();
    StopCurrentMusic();
    RemoveAllModels();
    TermGraphicsSystem();
    EndInputDevices();
    TermSoundSystem();
    DestroyMainWindow();
    if (ComInitialised == 1) {
        CoUninitialize();
        WriteLogLine("ＣＯＭを終了... 完了\n");
        ComInitialised = 0;
    }
    RemoveAllCpuImages();
    FrameworkInitialised = 0;

    // Once the window is gone the pump has nothing left to deliver; without
    // a window and a quit it would report "running" for ever.
    while (ProcessWindowMessages() == 0 && !MainWindow.quitFlag && !MainWindow.windowDestroyed) {
        if (MainWindow.windowHandle == nullptr) break;
    }

    FileAccessTableInForce.changeDirectory(StartDirectory);
    ShutAllArchives();
    DumpMemoryAllocations();
    return 0;
}

int EndFrameworkCore() {
    if (FrameworkInitialised == 0) return 0;
    return ShutDownFrameworkComponents();
}

int EndFramework() {
    if (FrameworkInitialised == 0) return 0;
    int result;
    {
        FrameworkLockGuard lock;
        result = EndFrameworkCore();
    }
    TearDownFrameworkLock();
    return result;
}
