#include "framework/files/temp_file.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/support/test_support.h"

namespace {

class TempFileTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        const char* previous = std::getenv("TMPDIR");
        hadTemp_ = previous != nullptr;
        if (hadTemp_) previousTemp_ = previous;
        setenv("TMPDIR", folder_.hostPath().c_str(), 1);
    }
    void TearDown() override {
        if (hadTemp_)
            setenv("TMPDIR", previousTemp_.c_str(), 1);
        else
            unsetenv("TMPDIR");
        PlatformTest::TearDown();
    }

    std::vector<std::string> FolderNames() const {
        std::vector<std::string> names;
        DIR* directory = opendir(folder_.hostPath().c_str());
        while (dirent* entry = directory ? readdir(directory) : nullptr)
            if (entry->d_name[0] != '.') names.push_back(entry->d_name);
        if (directory) closedir(directory);
        return names;
    }

    testsupport::TemporaryFolder folder_;
    bool hadTemp_ = false;
    std::string previousTemp_;
};

TEST_F(TempFileTest, CreatesANewEmptyFileForWritingAndGivesItsFullPath) {
    char path[MAX_PATH];
    std::memset(path, 0, sizeof(path));
    HANDLE file = CreateTempFile(path);
    ASSERT_NE(file, nullptr);
    const std::string name = path;
    const std::string folder = folder_.windowsPath() + "\\";
    EXPECT_EQ(name.compare(0, folder.size() + 3, folder + "tmp"), 0) << name;
    EXPECT_EQ(name.substr(name.size() - 4), ".tmp");
    ASSERT_EQ(FolderNames().size(), 1u);

    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, "hi", 2, &written, nullptr));
    EXPECT_EQ(written, 2u);
    // Opened without sharing.
    EXPECT_EQ(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(folder_.readFile(FolderNames()[0]), "hi");

    // Each call makes a file of its own; the path buffer may be left out.
    char second[MAX_PATH];
    HANDLE other = CreateTempFile(second);
    ASSERT_NE(other, nullptr);
    EXPECT_STRNE(second, path);
    HANDLE unnamed = CreateTempFile(nullptr);
    ASSERT_NE(unnamed, nullptr);
    EXPECT_EQ(FolderNames().size(), 3u);
    CloseHandle(other);
    CloseHandle(unnamed);
}

TEST_F(TempFileTest, FailsWhenTheTemporaryFolderIsMissing) {
    setenv("TMPDIR", (folder_.hostPath() + "/missing").c_str(), 1);
    char path[MAX_PATH] = "untouched";
    EXPECT_EQ(CreateTempFile(path), nullptr);
    EXPECT_STREQ(path, "untouched");
}

}  // namespace
