// What every test program shares: a fixture that puts the simulated machine
// back to its start around each test, and a temporary folder that is removed
// afterwards.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace testsupport {

// Resets the machine (every part of the profile and each subsystem's own
// state: windows, queues, input contexts, drops, pads, the manual time, the
// debug-output sink, the exit handler, ...) before and after each test;
// window-class locks go to a folder of the test process's own.
class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// A fresh folder under the host's temporary directory, removed with its
// contents when the object goes.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    // The host (POSIX) path.
    const std::string& hostPath() const { return hostPath_; }
    // The same folder as a Windows-shaped path ("C:\tmp\kiln-xxxx").
    std::string windowsPath() const;
    // The bytes of a file in the folder, or an empty string when it is missing.
    std::string readFile(const std::string& name) const;

private:
    std::string hostPath_;
};

// Thrown by the exit handler that InterceptExitProcess installs.
struct ProcessExited {
    unsigned int exitCode;
};

// Makes ExitProcess throw ProcessExited instead of ending the test program.
void InterceptExitProcess();

}  // namespace testsupport
