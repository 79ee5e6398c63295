#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <string>

#include "platform/kernel/kernel.h"
#include "platform/kernel/path_mapping.h"
#include "tests/support/test_support.h"

namespace {

class FilesTest : public testsupport::PlatformTest {
protected:
    std::string WindowsName(const std::string& name) const { return folder.windowsPath() + "\\" + name; }
    void WriteHostFile(const std::string& name, const std::string& bytes) const {
        std::ofstream(folder.hostPath() + "/" + name, std::ios::binary) << bytes;
    }
    static bool Write(HANDLE file, const std::string& bytes) {
        DWORD written = 0;
        return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
               written == bytes.size();
    }
    static std::string Read(HANDLE file, DWORD bytes) {
        std::string buffer(bytes, '\0');
        DWORD got = 0;
        if (!ReadFile(file, buffer.data(), bytes, &got, nullptr)) return "<failed>";
        buffer.resize(got);
        return buffer;
    }

    testsupport::TemporaryFolder folder;
};

TEST_F(FilesTest, CreateAppendReadSeekSizeAndDelete) {
    const std::string name = WindowsName("log.txt");
    HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(Write(file, "hello"));
    CloseHandle(file);

    file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_END), 5u);
    EXPECT_TRUE(Write(file, " world"));
    CloseHandle(file);
    EXPECT_EQ(folder.readFile("log.txt"), "hello world");

    file = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD high = 7;
    EXPECT_EQ(GetFileSize(file, &high), 11u);
    EXPECT_EQ(high, 0u);
    EXPECT_EQ(SetFilePointer(file, 6, nullptr, FILE_BEGIN), 6u);
    EXPECT_EQ(Read(file, 100), "world");
    EXPECT_EQ(Read(file, 100), "") << "at the end a read succeeds with nothing";
    EXPECT_EQ(SetFilePointer(file, -3, nullptr, FILE_CURRENT), 8u);
    EXPECT_EQ(Read(file, 2), "rl");

    EXPECT_EQ(SetFilePointer(file, -20, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), ERROR_NEGATIVE_SEEK);
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 10u) << "a refused seek leaves the pointer";

    LONG moveHigh = 1;
    EXPECT_EQ(SetFilePointer(file, 16, &moveHigh, FILE_BEGIN), 16u);
    EXPECT_EQ(moveHigh, 1);
    moveHigh = -1;  // with the high part, -16 from 4 GiB + 16
    EXPECT_EQ(SetFilePointer(file, -16, &moveHigh, FILE_CURRENT), 0u);
    EXPECT_EQ(moveHigh, 1);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);

    EXPECT_FALSE(Write(file, "x"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    CloseHandle(file);

    EXPECT_NE(GetFileAttributesA(name.c_str()) & FILE_ATTRIBUTE_ARCHIVE, 0u);
    EXPECT_TRUE(DeleteFileA(name.c_str()));
    EXPECT_EQ(GetFileAttributesA(name.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(DeleteFileA(name.c_str()));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(Write(file, "x")) << "closed handle";
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

struct DispositionCase {
    DWORD disposition;
    bool exists;
    bool opens;
    DWORD error;            // GetLastError afterwards
    const char* contents;   // of the file afterwards (nullptr: no file)
};

TEST_F(FilesTest, CreationDispositions) {
    const DispositionCase cases[] = {
        {CREATE_NEW, false, true, ERROR_SUCCESS, ""},
        {CREATE_NEW, true, false, ERROR_FILE_EXISTS, "old"},
        {CREATE_ALWAYS, false, true, ERROR_SUCCESS, ""},
        {CREATE_ALWAYS, true, true, ERROR_ALREADY_EXISTS, ""},
        {OPEN_EXISTING, false, false, ERROR_FILE_NOT_FOUND, nullptr},
        {OPEN_EXISTING, true, true, ERROR_SUCCESS, "old"},
        {OPEN_ALWAYS, false, true, ERROR_SUCCESS, ""},
        {OPEN_ALWAYS, true, true, ERROR_ALREADY_EXISTS, "old"},
        {TRUNCATE_EXISTING, false, false, ERROR_FILE_NOT_FOUND, nullptr},
        {TRUNCATE_EXISTING, true, true, ERROR_SUCCESS, ""},
        {0, true, false, ERROR_INVALID_PARAMETER, "old"},
    };
    int index = 0;
    for (const DispositionCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "disposition " << c.disposition << (c.exists ? " on a file" : " on nothing"));
        const std::string name = "case" + std::to_string(index++);
        if (c.exists) WriteHostFile(name, "old");
        SetLastError(12345);
        HANDLE file = CreateFileA(WindowsName(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  c.disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_EQ(file != INVALID_HANDLE_VALUE, c.opens);
        EXPECT_EQ(GetLastError(), c.error);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        struct stat info;
        const bool present = stat((folder.hostPath() + "/" + name).c_str(), &info) == 0;
        EXPECT_EQ(present, c.contents != nullptr);
        if (present && c.contents != nullptr) {
            EXPECT_EQ(folder.readFile(name), c.contents);
        }
    }

    HANDLE file = CreateFileA(WindowsName("missing\\file").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    file = CreateFileA(folder.windowsPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(file, INVALID_HANDLE_VALUE) << "a folder is not opened as a file";
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST_F(FilesTest, ComponentsMatchWithoutRegardToLetterCase) {
    mkdir((folder.hostPath() + "/Data").c_str(), 0755);
    mkdir((folder.hostPath() + "/Data/Sub").c_str(), 0755);
    WriteHostFile("Data/Sub/File.TXT", "found");

    HANDLE file = CreateFileA(WindowsName("DATA\\sub\\file.txt").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Read(file, 10), "found");
    CloseHandle(file);

    // A new file goes into the folder that exists under another case.
    file = CreateFileA(WindowsName("data/SUB/New.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0,
                       nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_EQ(GetFileAttributesA(WindowsName("Data\\Sub\\New.txt").c_str()), FILE_ATTRIBUTE_ARCHIVE);

    std::string host;
    ASSERT_TRUE(platform::MapWindowsPath(WindowsName("data\\.\\sub\\..\\SUB\\FILE.txt").c_str(), host));
    EXPECT_EQ(host, folder.hostPath() + "/Data/Sub/File.TXT");
}

TEST_F(FilesTest, ShiftJisNamesRoundTripThroughTheHost) {
    // "表" ends in the byte of a backslash in Shift-JIS; it must not split the name.
    const std::string name = "日本語の表.txt";
    ASSERT_NE(name.find('\\'), std::string::npos) << "the literal is not Shift-JIS";
    HANDLE file = CreateFileA(WindowsName(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    struct stat info;
    const char* utf8 = reinterpret_cast<const char*>(u8"/日本語の表.txt");
    EXPECT_EQ(stat((folder.hostPath() + utf8).c_str(), &info), 0);

    const std::string folderName = "フォルダ";
    ASSERT_EQ(mkdir((folder.hostPath() + reinterpret_cast<const char*>(u8"/フォルダ")).c_str(), 0755), 0);
    char saved[MAX_PATH];
    ASSERT_GT(GetCurrentDirectoryA(MAX_PATH, saved), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(WindowsName(folderName).c_str()));
    char current[MAX_PATH];
    const std::string expected = WindowsName(folderName);
    EXPECT_EQ(GetCurrentDirectoryA(MAX_PATH, current), expected.size());
    EXPECT_EQ(std::string(current), expected);
    EXPECT_NE(GetFileAttributesA("..\\日本語の表.txt"), INVALID_FILE_ATTRIBUTES) << "relative to it";
    ASSERT_TRUE(SetCurrentDirectoryA(saved));
}

TEST_F(FilesTest, CurrentDirectoryTooSmallABufferGetsTheNeededSizeAndNothingWritten) {
    ASSERT_TRUE(SetCurrentDirectoryA(folder.windowsPath().c_str()));
    const std::string expected = folder.windowsPath();
    char buffer[8];
    std::memset(buffer, '#', sizeof(buffer));
    EXPECT_EQ(GetCurrentDirectoryA(sizeof(buffer), buffer), expected.size() + 1);
    for (char c : buffer) EXPECT_EQ(c, '#');
    EXPECT_EQ(GetCurrentDirectoryA(0, nullptr), expected.size() + 1);

    EXPECT_FALSE(SetCurrentDirectoryA("no such folder"));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    WriteHostFile("plain", "");
    EXPECT_FALSE(SetCurrentDirectoryA("plain"));
    EXPECT_EQ(GetLastError(), ERROR_DIRECTORY);
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
    EXPECT_EQ(GetCurrentDirectoryA(sizeof(buffer), buffer), 3u);
    EXPECT_STREQ(buffer, "C:\\");
}

TEST_F(FilesTest, PathsLongerThanMaxPathAreRefused) {
    ASSERT_TRUE(SetCurrentDirectoryA(folder.windowsPath().c_str()));
    const std::string longName(MAX_PATH, 'a');
    HANDLE file = CreateFileA(longName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_EQ(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILENAME_EXCED_RANGE);

    // Short enough alone, too long once the current directory is put in front.
    const std::string relative(MAX_PATH - 1 - folder.windowsPath().size(), 'b');
    std::string host;
    EXPECT_FALSE(platform::MapWindowsPath(relative.c_str(), host));
    EXPECT_TRUE(platform::MapWindowsPath(relative.substr(1).c_str(), host));
    EXPECT_EQ(GetFileAttributesA(relative.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), ERROR_FILENAME_EXCED_RANGE);
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
}

TEST_F(FilesTest, WindowsShapedPathsMapToHostPaths) {
    const struct {
        const char* windows;
        const char* host;
    } cases[] = {
        {"C:\\", "/"},
        {"c:/", "/"},
        {"D:\\", "/"},
        {"C:\\kiln-no-such\\x\\..\\y", "/kiln-no-such/y"},
        {"\\kiln-no-such/.//z\\", "/kiln-no-such/z"},
        {"C:\\..\\..\\kiln-no-such", "/kiln-no-such"},
    };
    for (const auto& c : cases) {
        std::string host;
        ASSERT_TRUE(platform::MapWindowsPath(c.windows, host)) << c.windows;
        EXPECT_EQ(host, c.host) << c.windows;
    }
    std::string host;
    EXPECT_FALSE(platform::MapWindowsPath("C:\\\x81", host)) << "half a double-byte character";
    EXPECT_FALSE(platform::MapWindowsPath("", host));
    EXPECT_FALSE(platform::MapWindowsPath(nullptr, host));
}

}  // namespace
