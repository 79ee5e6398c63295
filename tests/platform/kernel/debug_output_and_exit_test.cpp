#include <thread>

#include "platform/kernel/debug_output_sink.h"
#include "platform/kernel/exit_process_handler.h"
#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/test_support.h"

namespace {

using DebugOutputAndExitTest = testsupport::PlatformTest;

TEST_F(DebugOutputAndExitTest, DebugOutputCollectsTextFromEveryThreadUntilCleared) {
    OutputDebugStringA("one\n");
    std::thread([] { OutputDebugStringA("two\n"); }).join();
    OutputDebugStringA(nullptr);
    EXPECT_EQ(platform::DebugOutputText(), "one\ntwo\n");
    platform::ClearDebugOutput();
    EXPECT_EQ(platform::DebugOutputText(), "");
}

TEST_F(DebugOutputAndExitTest, ExitProcessCallsTheHandlerWithTheCode) {
    testsupport::InterceptExitProcess();
    try {
        ExitProcess(3);
        FAIL() << "ExitProcess returned";
    } catch (const testsupport::ProcessExited& exited) {
        EXPECT_EQ(exited.exitCode, 3u);
    }
}

TEST_F(DebugOutputAndExitTest, ResettingTheMachineClearsTheSinkAndTheHandler) {
    OutputDebugStringA("x");
    platform::SetExitProcessHandler([](unsigned) { throw 1; });
    platform::ResetMachine();
    EXPECT_EQ(platform::DebugOutputText(), "");
    EXPECT_EXIT(ExitProcess(7), ::testing::ExitedWithCode(7), "");
}

}  // namespace
