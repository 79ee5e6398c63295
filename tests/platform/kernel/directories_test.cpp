// Folders made by name.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/kernel/kernel.h"
#include "tests/support/test_support.h"

namespace {

class DirectoriesTest : public testsupport::PlatformTest {};

TEST_F(DirectoriesTest, CreateDirectoryMakesOneFolder) {
    testsupport::TemporaryFolder folder;
    const std::string made = folder.windowsPath() + "\\Made";
    EXPECT_TRUE(CreateDirectoryA(made.c_str(), nullptr));
    EXPECT_TRUE(std::filesystem::is_directory(folder.hostPath() + "/Made"));
    EXPECT_FALSE(CreateDirectoryA(made.c_str(), nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(CreateDirectoryA((folder.windowsPath() + "\\No\\Parent").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

}  // namespace
