#include "tests/support/test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/kernel/exit_process_handler.h"
#include "tests/support/library_pins.h"
#include "platform/profile/machine_profile.h"

namespace testsupport {

namespace {

// Each test process keeps its window-class locks in a folder of its own, so
// that test programs running side by side never see each other's windows as
// a second instance of the program.
const std::string& PrivateClassLockFolder() {
    static TemporaryFolder folder;
    return folder.hostPath();
}

void ResetPlatform() {
    // The reset stops the display, which may unload what a test loaded.
    KeepLoadedLibraries();
    platform::ResetMachine();
    platform::Profile().display.classLockDirectory = PrivateClassLockFolder();
}

}  // namespace

void PlatformTest::SetUp() { ResetPlatform(); }

void PlatformTest::TearDown() { ResetPlatform(); }

TemporaryFolder::TemporaryFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kiln-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    if (made == nullptr) throw std::runtime_error("cannot make a temporary folder");
    hostPath_ = made;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(hostPath_, ignored);
}

std::string TemporaryFolder::windowsPath() const {
    std::string path = "C:" + hostPath_;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string TemporaryFolder::readFile(const std::string& name) const {
    std::ifstream in(hostPath_ + "/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void InterceptExitProcess() {
    platform::SetExitProcessHandler([](unsigned int code) { throw ProcessExited{code}; });
}

}  // namespace testsupport
