// The fatal exit on its own, below the start-up: the reason is logged, the
// shutdown it was handed runs with the lock still as the failing step left
// it, then the lock is torn down and the process ends with -1.
#include "framework/base/fatal_exit.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/base/framework_lock.h"
#include "framework/base/log.h"
#include "tests/support/started_log_fixture.h"
#include "tests/support/test_support.h"

namespace {

struct SeenShutdown {
    int calls = 0;
    int lockHeld = 0;
} Seen;

int RecordingShutdown() {
    ++Seen.calls;
    Seen.lockHeld = FrameworkLockHeldByThisThread();
    WriteLogLine("shut down\n");
    return 0;
}

class FatalExitTest : public testsupport::StartedLogTest {
protected:
    void SetUp() override {
        StartedLogTest::SetUp();
        testsupport::InterceptExitProcess();
        Seen = SeenShutdown{};
        previous_ = SetFatalExitShutdown(nullptr);
    }
    void TearDown() override {
        SetFatalExitShutdown(previous_);
        StartedLogTest::TearDown();
    }

    // The exit code, or -2 when the process was not ended.
    static long long ExitCodeOf(const char* reason) {
        try {
            FatalErrorExit(reason);
        } catch (const testsupport::ProcessExited& exited) {
            return exited.exitCode;
        }
        return -2;
    }

    FatalExitShutdown previous_ = nullptr;
};

TEST_F(FatalExitTest, TheShutdownHandedOverRunsAfterTheReasonAndBeforeTheLockGoes) {
    EXPECT_EQ(SetFatalExitShutdown(RecordingShutdown), nullptr);
    EnterFrameworkLock();
    const size_t mark = LogText().size();
    EXPECT_EQ(ExitCodeOf("no memory"), 0xFFFFFFFFll);
    EXPECT_EQ(LinesSince(mark), "no memory\r\nshut down\r\n");
    EXPECT_EQ(Seen.calls, 1);
    EXPECT_EQ(Seen.lockHeld, 1);
    EXPECT_EQ(FrameworkLockHeldByThisThread(), 0);
    EXPECT_EQ(SetFatalExitShutdown(nullptr), RecordingShutdown);
}

TEST_F(FatalExitTest, WithoutAShutdownTheReasonIsLoggedAndTheProcessEnds) {
    EnterFrameworkLock();
    const size_t mark = LogText().size();
    EXPECT_EQ(ExitCodeOf("no memory"), 0xFFFFFFFFll);
    EXPECT_EQ(LinesSince(mark), "no memory\r\n");
    EXPECT_EQ(Seen.calls, 0);
    EXPECT_EQ(FrameworkLockHeldByThisThread(), 0);
}

}  // namespace
