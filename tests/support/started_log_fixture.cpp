#include "tests/support/started_log_fixture.h"

#include <cstdio>

#include "framework/base/framework_state.h"
#include "framework/base/log.h"
#include "platform/kernel/debug_output_sink.h"
#include "platform/kernel/manual_clock.h"
#include "platform/platform.h"

namespace testsupport {

void StartedLogTest::SetUp() {
    PlatformTest::SetUp();
    platform::UseManualClock(true);
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    previousDirectory_ = previous;
    // The log starts in the current directory, which start-up leaves at
    // StartDirectory.
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.windowsPath().c_str()));
    SetStartDirectory(folder_.windowsPath());
    SetLogFileOutput(1);
    StartLogFile();
    platform::ClearDebugOutput();
}

void StartedLogTest::TearDown() {
    SetLogFileOutput(1);
    StartDirectory[0] = '\0';
    LogIndentDepth = 0;
    LogMidLine = 0;
    SetCurrentDirectoryA(previousDirectory_.c_str());
    PlatformTest::TearDown();
}

void StartedLogTest::SetStartDirectory(const std::string& directory) {
    ASSERT_LT(directory.size(), sizeof(StartDirectory));
    std::snprintf(StartDirectory, sizeof(StartDirectory), "%s", directory.c_str());
}

std::string StartedLogTest::LinesSince(size_t mark) const {
    const std::string text = LogSince(mark);
    std::string lines;
    bool lineStart = true;
    for (size_t i = 0; i < text.size(); ++i) {
        if (lineStart) {
            size_t digits = i;
            while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
            if (digits > i && digits < text.size() && text[digits] == ':') i = digits + 1;
            if (i >= text.size()) break;
        }
        lines += text[i];
        lineStart = text[i] == '\n';
    }
    return lines;
}

}  // namespace testsupport
