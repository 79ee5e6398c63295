#include "tests/support/main_window_fixture.h"

#include "platform/user/user.h"

namespace windowtest {

void MainWindowTest::SetUp() {
    StartedLogTest::SetUp();
    platform::ResetUserProfile();
    platform::User().host = platform::HostDisplayUse::Off;
    platform::User().classLockDirectory = folder_.hostPath();
    platform::User().desktopWidth = kDesktopWidth;
    platform::User().desktopHeight = kDesktopHeight;
    platform::User().totalPhysicalMemory = 512ull << 20;
    platform::User().availablePhysicalMemory = 256ull << 20;
    // No performance counter unless a test asks for one: the accuracy
    // test would otherwise wait for a manual clock that nothing moves.
    platform::Profile().clock.performanceFrequency = 0;
    platform::ResetWindowSystem();
    ResetWindowSide();
}

void MainWindowTest::TearDown() {
    FreeDroppedFileList();
    ResetWindowSide();
    platform::ResetWindowSystem();
    platform::ResetUserProfile();
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
