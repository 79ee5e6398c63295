// The shape of every program on the framework: start, pump until the window
// is closed, end. Run against the host's display (SDL2's offscreen driver
// under CTest, a real window on a desktop) on this machine's own facts.
#include <gtest/gtest.h>

#include <string>

#include "framework/startup/framework_startup.h"
#include "framework/base/framework_state.h"
#include "framework/window/main_window.h"
#include "framework/window/window_mode.h"
#include "framework/graphics/graphics_system.h"
#include "platform/platform.h"
#include "tests/support/test_support.h"

namespace {

class WindowProgramTest : public testsupport::PlatformTest, public testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        char previous[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, previous);
        previousDirectory_ = previous;
        ASSERT_TRUE(SetCurrentDirectoryA(folder_.windowsPath().c_str()));
        MainWindow.settings = MainWindowSettings{};
        ResetMainWindowState();
    }

    void TearDown() override {
        EndFramework();
        TermGraphicsSystem();
        MainWindow.settings = MainWindowSettings{};
        ResetMainWindowState();
        StartDirectory[0] = '\0';
        SetCurrentDirectoryA(previousDirectory_.c_str());
        PlatformTest::TearDown();
    }

    testsupport::TemporaryFolder folder_;
    std::string previousDirectory_;
};

// The program itself; the close that a user would make comes after a few frames.
int RunProgram(int windowMode, int* frames) {
    ChangeWindowMode(windowMode);
    SetMainWindowTitle("窓の検査");
    if (InitFramework() == -1) return -1;
    *frames = 0;
    while (PumpMessagesLocked() == 0) {
        if (++*frames == 5) PostMessageA(GetMainWindowHandle(), WM_CLOSE, 0, 0);
        if (*frames > 1000) break;  // a close that never arrives
    }
    EndFramework();
    return 0;
}

TEST_P(WindowProgramTest, StartsPumpsUntilClosedAndEndsLeavingItsLog) {
    int frames = 0;
    ASSERT_EQ(RunProgram(GetParam(), &frames), 0);
    EXPECT_GE(frames, 5);
    EXPECT_LE(frames, 1000);
    EXPECT_EQ(FrameworkInitialised, 0);

    const std::string log = folder_.readFile("Log.txt");
    for (const char* line : {"システムの情報を出力します\r\n", "ＣＯＭの初期化... 成功しました\r\n",
                             "ウインドウの作成に成功しました\r\n", "ウインドウを閉じようとしています\r\n",
                             "ＣＯＭを終了... 完了\r\n", "Alloc memory dump\r\n"})
        EXPECT_NE(log.find(line), std::string::npos) << line;
}

INSTANTIATE_TEST_SUITE_P(WindowAndFullScreen, WindowProgramTest, testing::Values(1, 0));

}  // namespace
