#include <sys/stat.h>
#include <sys/time.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/kernel/kernel.h"
#include "tests/support/test_support.h"

namespace {

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

class FindFilesTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        for (const std::string& name : {std::string("b.txt"), std::string("A.TXT"), std::string("c.dat"),
                                        std::string("readme"), Utf8(u8"日本語.txt"), Utf8(u8"表.txt"),
                                        Utf8(u8"ア.txt"), Utf8(u8"ヂ.txt"), Utf8(u8"caf\u00e9.txt")})
            WriteHostFile(name, "12345");
        mkdir((folder.hostPath() + "/sub").c_str(), 0755);
        WriteHostFile("sub/inner.txt", "");
    }
    void WriteHostFile(const std::string& name, const std::string& bytes) const {
        std::ofstream(folder.hostPath() + "/" + name, std::ios::binary) << bytes;
    }
    std::string Pattern(const std::string& pattern) const { return folder.windowsPath() + "\\" + pattern; }

    // Every name the listing gives, in its order; empty when FindFirstFileA fails.
    static std::vector<std::string> List(const std::string& pattern) {
        std::vector<std::string> names;
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA(pattern.c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return names;
        do {
            names.push_back(data.cFileName);
        } while (FindNextFileA(find, &data));
        EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
        EXPECT_TRUE(FindClose(find));
        return names;
    }

    testsupport::TemporaryFolder folder;
};

using Names = std::vector<std::string>;

TEST_F(FindFilesTest, WildcardsMatchInAnyLetterCaseInByteOrder) {
    // "café" has no Shift-JIS form and is never listed. Byte order puts
    // upper-case 'A' before 'b', and the double-byte names after all ASCII.
    const Names everything = {".", "..", "A.TXT", "b.txt", "c.dat", "readme", "sub",
                              "ア.txt", "ヂ.txt", "日本語.txt", "表.txt"};
    const struct {
        const char* pattern;
        Names names;
    } cases[] = {
        {"*", everything},
        {"*.*", everything},
        {"*.txt", {"A.TXT", "b.txt", "ア.txt", "ヂ.txt", "日本語.txt", "表.txt"}},
        {"?.TXT", {"A.TXT", "b.txt", "ア.txt", "ヂ.txt", "表.txt"}},  // a double-byte character is one
        {"a.txt", {"A.TXT"}},
        {"SUB", {"sub"}},
        {"readme.*", {"readme"}},
        {"*e*", {"readme"}},
        {"r*m?", {"readme"}},
        {"*.d*t", {"c.dat"}},
        {"*語*", {"日本語.txt"}},
        {"表*", {"表.txt"}},  // its second byte is a backslash, not a separator
        // The second bytes of ア and ヂ are 'A' and 'a': double-byte characters are never case-folded.
        {"ア*", {"ア.txt"}},
        {"ヂ.TXT", {"ヂ.txt"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(List(Pattern(c.pattern)), c.names);
    }
}

TEST_F(FindFilesTest, FoldersAreListedWithDotEntriesAndTheRootWithout) {
    EXPECT_EQ(List(Pattern("SUB\\*")), (Names{".", "..", "inner.txt"})) << "the folder in another case";
    EXPECT_EQ(List(Pattern("sub/*.*")), (Names{".", "..", "inner.txt"}));
    char saved[MAX_PATH];
    ASSERT_GT(GetCurrentDirectoryA(MAX_PATH, saved), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.windowsPath().c_str()));
    EXPECT_EQ(List("sub\\*"), (Names{".", "..", "inner.txt"})) << "relative to the current directory";
    EXPECT_EQ(List("*.dat"), Names{"c.dat"});
    EXPECT_EQ(List("C:*.dat"), Names{"c.dat"}) << "a drive without a folder is the current directory";
    ASSERT_TRUE(SetCurrentDirectoryA(saved));

    const Names root = List("C:\\*");
    ASSERT_FALSE(root.empty());
    EXPECT_NE(root[0], ".");
    EXPECT_EQ(std::count(root.begin(), root.end(), ".."), 0);
}

TEST_F(FindFilesTest, FindDataDescribesTheEntry) {
    const std::string host = folder.hostPath() + "/b.txt";
    const timeval times[2] = {{1000000000, 0}, {1234567890, 500000}};  // access, write
    ASSERT_EQ(utimes(host.c_str(), times), 0);
    WIN32_FIND_DATAA data;
    std::memset(&data, 0x55, sizeof(data));
    HANDLE find = FindFirstFileA(Pattern("B.TXT").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cFileName, "b.txt") << "the name as it is stored";
    EXPECT_STREQ(data.cAlternateFileName, "");
    EXPECT_EQ(data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE),
              FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(data.nFileSizeHigh, 0u);
    EXPECT_EQ(data.nFileSizeLow, 5u);
    // 100 ns units since 1601: 2009-02-13 23:31:30.5 UTC.
    const uint64_t written = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                             data.ftLastWriteTime.dwLowDateTime;
    EXPECT_EQ(written, (1234567890ull + 11644473600ull) * 10000000ull + 5000000ull);
    const uint64_t accessed = (static_cast<uint64_t>(data.ftLastAccessTime.dwHighDateTime) << 32) |
                              data.ftLastAccessTime.dwLowDateTime;
    EXPECT_EQ(accessed, (1000000000ull + 11644473600ull) * 10000000ull);
    EXPECT_NE(data.ftCreationTime.dwHighDateTime, 0u);
    EXPECT_TRUE(FindClose(find));

    find = FindFirstFileA(Pattern("sub").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_EQ(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(data.nFileSizeLow, 0u);
    EXPECT_TRUE(FindClose(find));

    find = FindFirstFileA(Pattern("sub\\.*").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cFileName, ".");
    EXPECT_EQ(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(FindNextFileA(find, &data));
    EXPECT_STREQ(data.cFileName, "..");
    EXPECT_EQ(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(FindClose(find));
}

TEST_F(FindFilesTest, TheEndOfAListingLeavesTheDataAloneAndStaysTheEnd) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(Pattern("c.*").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cFileName, "c.dat");
    WIN32_FIND_DATAA before;
    std::memcpy(&before, &data, sizeof(data));
    for (int i = 0; i < 2; ++i) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_FALSE(FindNextFileA(find, &data));
        EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
        EXPECT_EQ(std::memcmp(&before, &data, sizeof(data)), 0);
    }
    EXPECT_EQ(WaitForSingleObject(find, 0), WAIT_FAILED) << "nothing to wait for";
    EXPECT_FALSE(CloseHandle(find)) << "a listing is not a kernel handle";
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_TRUE(FindClose(find));
    EXPECT_FALSE(FindClose(find));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(FindNextFileA(find, &data));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

    HANDLE file = CreateFileA(Pattern("c.dat").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FindClose(file)) << "a file is not a listing";
    EXPECT_TRUE(CloseHandle(file));
}

TEST_F(FindFilesTest, FailuresTellWhatIsMissing) {
    const struct {
        std::string pattern;
        DWORD error;
    } cases[] = {
        {Pattern("x*"), ERROR_FILE_NOT_FOUND},
        {Pattern("caf*"), ERROR_FILE_NOT_FOUND},  // the only match has no Shift-JIS form
        {Pattern("sub\\"), ERROR_FILE_NOT_FOUND},  // a folder path names no entry
        {Pattern("missing\\*"), ERROR_PATH_NOT_FOUND},
        {Pattern("s*\\*"), ERROR_INVALID_NAME},
        {Pattern("c.dat\\*"), ERROR_DIRECTORY},
        {Pattern(std::string(MAX_PATH, 'a')), ERROR_FILENAME_EXCED_RANGE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern.substr(0, 80));
        WIN32_FIND_DATAA data;
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(FindFirstFileA(c.pattern.c_str(), &data), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), c.error);
    }
}

TEST_F(FindFilesTest, TheListingIsTakenWhenItStarts) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(Pattern("*.dat").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    WriteHostFile("d.dat", "");
    EXPECT_FALSE(FindNextFileA(find, &data));
    EXPECT_TRUE(FindClose(find));
    EXPECT_EQ(List(Pattern("*.dat")), (Names{"c.dat", "d.dat"}));
}

}  // namespace
