#include <gtest/gtest.h>

#include <string>

#include "framework/base/fatal_exit.h"
#include "framework/base/framework_lock.h"
#include "tests/framework/startup/startup_fixture.h"

namespace startuptest {
namespace {

class FatalExitTest : public StartupTest {
protected:
    void SetUp() override {
        StartupTest::SetUp();
        testsupport::InterceptExitProcess();
    }

    // The exit code, or -2 when the process was not ended.
    static long long ExitCodeOf(void (*call)()) {
        try {
            call();
        } catch (const testsupport::ProcessExited& exited) {
            return exited.exitCode;
        }
        return -2;
    }
};

TEST_F(FatalExitTest, BeforeStartUpNothingIsLoggedOrShutDownAndTheCodeIsMinusOne) {
    StartDirectory[0] = '\0';  // as before any start: the log has no home yet
    const std::string before = LogText();
    EXPECT_EQ(ExitCodeOf([] { FatalErrorExit("まだ始まっていません"); }), 0xFFFFFFFFll);
    EXPECT_EQ(LogText(), before);
    EXPECT_EQ(FrameworkInitialised, 0);
}

TEST_F(FatalExitTest, AfterStartUpTheReasonIsLoggedAndEverythingShutDown) {
    ChangeWindowMode(1);
    ASSERT_EQ(InitFramework(), 0);
    // Held, as when a locked step fails: the fatal exit takes no lock and
    // leaves none behind.
    EnterFrameworkLock();
    const size_t mark = LogText().size();
    EXPECT_EQ(ExitCodeOf([] { FatalErrorExitFormat("画像ハンドルが足りません %d 個", 32768); }), 0xFFFFFFFFll);

    const std::string lines = LinesSince(mark);
    EXPECT_EQ(lines.find("画像ハンドルが足りません 32768 個\r\n"), 0u) << lines;
    EXPECT_NE(lines.find("DirectSound の終了処理は正常に終了しました\r\n"), std::string::npos);
    EXPECT_NE(lines.find("ＣＯＭを終了... 完了\r\n"), std::string::npos);
    EXPECT_EQ(FrameworkInitialised, 0);
    EXPECT_EQ(GetMainWindowHandle(), nullptr);

    // The lock was torn down: it is made afresh, free, on its next use.
    EXPECT_EQ(FrameworkLockWaiterCount(), 0);
    ASSERT_EQ(InitFramework(), 0);
    EXPECT_EQ(EndFramework(), 0);
}

TEST_F(FatalExitTest, AnOverlongFormattedReasonIsCutToTheBuffer) {
    ChangeWindowMode(1);
    ASSERT_EQ(InitFramework(), 0);
    const size_t mark = LogText().size();
    static const std::string longText(3000, 'x');
    EXPECT_EQ(ExitCodeOf([] { FatalErrorExitFormat("%s", longText.c_str()); }), 0xFFFFFFFFll);
    const std::string lines = LinesSince(mark);
    EXPECT_EQ(lines.substr(0, 1025), std::string(1023, 'x') + "\r\n");
}

}  // namespace
}  // namespace startuptest
