#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "framework/files/plain_directory.h"
#include "platform/platform.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/stream_file_fixture.h"

namespace {

class FileFindTest : public streamtest::StreamFileTest {
protected:
    void SetUp() override {
        StreamFileTest::SetUp();
        // A folder of its own, apart from the log file of the fixture.
        ASSERT_EQ(mkdir(HostPath("list").c_str(), 0755), 0);
        WriteFile("list/b.txt", "bbb");
        WriteFile("list/a.txt", std::string(10, 'a'));
        WriteFile("list/ab.txt", "");
        WriteFile("list/c.dat", "c");
        WriteFile("list/B2.txt", "");
        ASSERT_EQ(mkdir(HostPath("list/sub").c_str(), 0755), 0);
    }

    std::string ListFolder() const { return folder_.windowsPath() + "\\list"; }

    // The names of a whole listing, or a single "-1" when it finds nothing.
    std::vector<std::string> List(const std::string& pattern) {
        FileInfoRecord record{};
        const uintptr_t find = Win32FindFirst((ListFolder() + "\\" + pattern).c_str(), &record);
        if (find == InvalidFindHandle) return {"-1"};
        std::vector<std::string> names;
        do names.push_back(record.name);
        while (Win32FindNext(find, &record) == 0 && names.size() < 20);
        EXPECT_EQ(Win32FindClose(find), 0);
        return names;
    }
};

TEST_F(FileFindTest, ListsMatchingNamesInByteOrder) {
    using Names = std::vector<std::string>;
    struct Case {
        const char* pattern;
        Names names;
    };
    const Case cases[] = {
        {"*", {".", "..", "B2.txt", "a.txt", "ab.txt", "b.txt", "c.dat", "sub"}},
        {"*.txt", {"B2.txt", "a.txt", "ab.txt", "b.txt"}},
        {"?.txt", {"a.txt", "b.txt"}},
        {"b*", {"B2.txt", "b.txt"}},
        {"A*.TXT", {"a.txt", "ab.txt"}},
        {"b.txt", {"b.txt"}},
        {"*.png", {"-1"}},
        {"missing\\*", {"-1"}},
    };
    for (const Case& c : cases) EXPECT_EQ(List(c.pattern), c.names) << c.pattern;
}

TEST_F(FileFindTest, FillsTheRecordAndLeavesItAloneAtTheEnd) {
    platform::Profile().clock.useHostZone = false;
    platform::Profile().clock.localOffsetMinutes = 9 * 60;
    // 2020-01-02 03:04:05 UTC.
    const timeval times[2] = {{1577934245, 0}, {1577934245, 0}};
    ASSERT_EQ(utimes(HostPath("list/a.txt").c_str(), times), 0);

    FileInfoRecord record{};
    const uintptr_t find = Win32FindFirst((ListFolder() + "\\a*").c_str(), &record);
    ASSERT_NE(find, InvalidFindHandle);
    EXPECT_STREQ(record.name, "a.txt");
    EXPECT_EQ(record.isDirectory, 0);
    EXPECT_EQ(record.sizeLow, 10u);
    EXPECT_EQ(record.sizeHigh, 0u);
    const DateRecord local = {2020, 1, 2, 12, 4, 5};
    EXPECT_EQ(std::memcmp(&record.lastWriteTime, &local, sizeof(local)), 0);

    ASSERT_EQ(Win32FindNext(find, &record), 0);
    EXPECT_STREQ(record.name, "ab.txt");
    EXPECT_EQ(record.sizeLow, 0u);
    const FileInfoRecord last = record;
    EXPECT_EQ(Win32FindNext(find, &record), -1);
    EXPECT_EQ(std::memcmp(&record, &last, sizeof(record)), 0);
    EXPECT_EQ(Win32FindClose(find), 0);

    // A listing may be walked without a record.
    const uintptr_t bare = Win32FindFirst((ListFolder() + "\\s*").c_str(), nullptr);
    ASSERT_NE(bare, InvalidFindHandle);
    EXPECT_EQ(Win32FindNext(bare, nullptr), -1);
    EXPECT_EQ(Win32FindClose(bare), 0);
}

// Find data whose name fills all MAX_PATH bytes without a terminator is cut
// to fit the record, never between the two bytes of one character.
TEST(FillFileInfoRecordTest, AnUnterminatedNameIsCutBetweenCharacters) {
    struct Case {
        std::string name;  // MAX_PATH bytes, no terminator
        std::string recorded;
    };
    const Case cases[] = {
        // The 259th byte is a lead byte.
        {std::string(258, 'a') + "\x82\xA0", std::string(258, 'a')},
        // The 259th byte is a second byte.
        {std::string(257, 'b') + "\x82\xA0" + "c", std::string(257, 'b') + "\x82\xA0"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(c.name.size(), static_cast<size_t>(MAX_PATH));
        WIN32_FIND_DATAA findData{};
        std::memcpy(findData.cFileName, c.name.data(), MAX_PATH);
        FileInfoRecord record{};
        FillFileInfoRecord(&record, &findData);
        EXPECT_EQ(std::string(record.name), c.recorded);
    }
}

TEST_F(FileFindTest, MarksDirectories) {
    FileInfoRecord record{};
    const uintptr_t find = Win32FindFirst((ListFolder() + "\\sub").c_str(), &record);
    ASSERT_NE(find, InvalidFindHandle);
    EXPECT_EQ(record.isDirectory, 1);
    EXPECT_EQ(record.sizeLow, 0u);
    EXPECT_EQ(Win32FindClose(find), 0);
}

TEST_F(FileFindTest, ChangesAndReportsTheCurrentDirectory) {
    const std::string sub = ListFolder() + "\\sub";
    EXPECT_NE(Win32SetCurrentDir(sub.c_str()), 0);
    char buffer[MAX_PATH] = {};
    EXPECT_EQ(Win32GetCurrentDir(buffer), static_cast<int>(sub.size()));
    EXPECT_EQ(std::string(buffer), sub);
    EXPECT_EQ(Win32SetCurrentDir((folder_.windowsPath() + "\\missing").c_str()), 0);
    EXPECT_EQ(Win32GetCurrentDir(buffer), static_cast<int>(sub.size()));
}

}  // namespace
