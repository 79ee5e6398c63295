// A log started in a fresh temporary folder on the manual clock, so that every
// time stamp is known; the log tests and the allocator tests read it back.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "framework/base/framework_state.h"
#include "framework/base/log.h"
#include "platform/platform.h"
#include "tests/support/test_support.h"

namespace testsupport {

class StartedLogTest : public PlatformTest {
protected:
    void SetUp() override;
    void TearDown() override;

    static void SetStartDirectory(const std::string& directory);

    std::string LogText() const { return folder_.readFile("Log.txt"); }
    // What the log received since `mark`, a length of LogText().
    std::string LogSince(size_t mark) const { return LogText().substr(mark); }

    // The log since `mark` without the time stamps at the line starts.
    std::string LinesSince(size_t mark) const;

    TemporaryFolder folder_;

private:
    std::string previousDirectory_;
};

}  // namespace testsupport
