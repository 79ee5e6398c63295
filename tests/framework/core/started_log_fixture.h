// A log started in a fresh temporary folder on the manual clock, so that every
// time stamp is known; the log tests and the allocator tests read it back.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "framework/core/framework_state.h"
#include "framework/core/log.h"
#include "platform/platform.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/test_support.h"

namespace testsupport {

class StartedLogTest : public PlatformTest {
protected:
    void SetUp() override {
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

    void TearDown() override {
        SetLogFileOutput(1);
        StartDirectory[0] = '\0';
        LogIndentDepth = 0;
        LogMidLine = 0;
        SetCurrentDirectoryA(previousDirectory_.c_str());
        PlatformTest::TearDown();
    }

    static void SetStartDirectory(const std::string& directory) {
        ASSERT_LT(directory.size(), sizeof(StartDirectory));
        std::snprintf(StartDirectory, sizeof(StartDirectory), "%s", directory.c_str());
    }

    std::string LogText() const { return folder_.readFile("Log.txt"); }
    // What the log received since `mark`, a length of LogText().
    std::string LogSince(size_t mark) const { return LogText().substr(mark); }

    // The log since `mark` without the time stamps at the line starts.
    std::string LinesSince(size_t mark) const {
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

    TemporaryFolder folder_;

private:
    std::string previousDirectory_;
};

}  // namespace testsupport
