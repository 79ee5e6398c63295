// The roaming application-data folder is the XDG data home.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/shell/shell.h"
#include "tests/support/test_support.h"

namespace {

class SpecialFoldersTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        const char* previous = std::getenv("XDG_DATA_HOME");
        hadPrevious_ = previous != nullptr;
        if (hadPrevious_) previous_ = previous;
    }
    void TearDown() override {
        if (hadPrevious_) setenv("XDG_DATA_HOME", previous_.c_str(), 1);
        else unsetenv("XDG_DATA_HOME");
        PlatformTest::TearDown();
    }
    testsupport::TemporaryFolder folder_;
    bool hadPrevious_ = false;
    std::string previous_;
};

TEST_F(SpecialFoldersTest, ApplicationDataIsTheDataHomeMadeWhenAskedFor) {
    const std::string home = folder_.hostPath() + "/data home";
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    char path[MAX_PATH] = {};
    EXPECT_FALSE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_APPDATA, FALSE));
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_APPDATA, TRUE));
    EXPECT_EQ(std::string(path), folder_.windowsPath() + "\\data home");
    EXPECT_TRUE(std::filesystem::is_directory(home));
    EXPECT_TRUE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_APPDATA, FALSE));
    // Only that folder is known.
    EXPECT_FALSE(SHGetSpecialFolderPathA(nullptr, path, 0x0005, TRUE));
}

TEST_F(SpecialFoldersTest, APathTooLongForTheBufferIsRefused) {
    std::string home = folder_.hostPath();
    while (home.size() < MAX_PATH) home += "/deeper";
    std::filesystem::create_directories(home);
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    char path[MAX_PATH] = "untouched";
    EXPECT_FALSE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_APPDATA, TRUE));
    EXPECT_STREQ(path, "untouched");
}

}  // namespace
