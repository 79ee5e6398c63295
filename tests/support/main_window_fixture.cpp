#include "tests/support/main_window_fixture.h"

#include "platform/profile/machine_profile.h"
#include "platform/user/user.h"

namespace windowtest {

void MainWindowTest::SetUp() {
    StartedLogTest::SetUp();
    platform::Profile().display.host = platform::HostDisplayUse::Off;
    platform::Profile().display.classLockDirectory = folder_.hostPath();
    platform::Profile().display.desktopWidth = kDesktopWidth;
    platform::Profile().display.desktopHeight = kDesktopHeight;
    platform::Profile().display.totalPhysicalMemory = 512ull << 20;
    platform::Profile().display.availablePhysicalMemory = 256ull << 20;
    // No performance counter unless a test asks for one: the accuracy
    // test would otherwise wait for a manual clock that nothing moves.
    platform::Profile().clock.performanceFrequency = 0;
    ResetWindowSide();
}

void MainWindowTest::TearDown() {
    FreeDroppedFileList();
    ResetWindowSide();
    StartedLogTest::TearDown();
}

void MainWindowTest::ResetWindowSide() {
    MainWindow.settings = MainWindowSettings{};
    ResetMainWindowState();
    char character[2];
    while (GetInputChar(character, 1) != 0) {
    }
}

HWND MainWindowTest::StartWindowMode(const char* title) {
    ChangeWindowMode(1);
    SetMainWindowTitle(title);
    EXPECT_EQ(CreateMainWindow(), 0);
    return GetMainWindowHandle();
}

void MainWindowTest::PumpUntilQuiet() {
    for (int i = 0; i < 100 && ProcessWindowMessages() == 0; ++i) {
    }
}

}  // namespace windowtest
