#include "framework/files/full_path.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/files/file_access_table.h"
#include "platform/platform.h"
#include "tests/support/test_support.h"

namespace {

constexpr const char* kRefused = "<-1>";

struct PathCase {
    const char* path;
    const char* base;
    const char* full;    // ToFullPath
    const char* strict;  // ToFullPathStrict; kRefused for -1
};

// "\x83\x5c" is one two-byte character whose trail byte is a backslash.
const PathCase kPathCases[] = {
    {"..\\x", "D:\\a\\b", "D:\\a\\x", "D:\\a\\x"},
    {"..", "D:\\a", "D:\\a\\..", "D:\\a\\.."},
    {"\\x", "E:\\y", "E:\\x", "E:\\x"},
    {"a//b", "D:\\", "D:\\a\\b", kRefused},
    {"\\\\srv\\share", "D:\\a", "\\\\srv\\share", kRefused},
    {"//srv/share", "D:\\a", "\\\\srv\\share", kRefused},
    {"D:..\\x", "C:\\w", "D:\\x", "D:\\x"},
    {"..\\x", "D:\\", "D:\\x", "D:\\x"},
    {"/x", "E:\\y", "E:\\y\\x", "E:\\x"},
    {"D:/x", "C:\\w", "D:\\x", "D:\\x"},
    {"D://x", "C:\\w", "D:\\x", kRefused},
    {".\\a\\.\\b\\", "C:\\w", "C:\\w\\a\\b", "C:\\w\\a\\b"},
    {"a/./b/.", "C:\\w", "C:\\w\\a\\b\\.", "C:\\w\\a\\b\\."},
    {"Sub\\File.TXT", "c:\\Dir", "c:\\Dir\\Sub\\File.TXT", "c:\\Dir\\Sub\\File.TXT"},
    {"C:\\a\\b", "D:\\z", "C:\\a\\b", "C:\\a\\b"},
    {"x", "C:\\w\\", "C:\\w\\x", "C:\\w\\x"},
    {"x", "C:\\w/", "C:\\w\\x", "C:\\w\\x"},
    {"", "C:\\w", "C:\\w", "C:\\w"},
    {"D:", "C:\\w", "D:", "D:"},
    {"\x83\x5c\\x", "C:\\w", "C:\\w\\\x83\x5c\\x", "C:\\w\\\x83\x5c\\x"},
    {"x", "C:\\a\x83\x5c", "C:\\a\x83\x5c\\x", "C:\\a\x83\x5c\\x"},
    {"a\\b\x83\x5c" "c\\..\\x", "C:\\w", "C:\\w\\a\\x", "C:\\w\\a\\x"},
    {"a\x82", "C:\\w", "C:\\w\\a\x82", "C:\\w\\a\x82"},
    {"\\\\srv\\..\\x", "C:\\w", "\\\\x", kRefused},
};

std::string Convert(int (*convert)(const char*, char*, const char*), const char* path, const char* base) {
    char output[MAX_PATH + 1];
    std::memset(output, '\x7f', sizeof(output));
    const int result = convert(path, output, base);
    EXPECT_EQ(output[MAX_PATH], '\x7f') << "written beyond MAX_PATH characters";
    if (result == -1) {
        EXPECT_STREQ(output, "");
        return kRefused;
    }
    EXPECT_EQ(result, 0);
    return output;
}

TEST(FullPathTest, ResolvesPathsAgainstTheBase) {
    for (const PathCase& c : kPathCases) {
        SCOPED_TRACE(testing::Message() << c.path << " against " << c.base);
        EXPECT_EQ(Convert(ToFullPath, c.path, c.base), c.full);
        EXPECT_EQ(Convert(ToFullPathStrict, c.path, c.base), c.strict);
    }
}

TEST(FullPathTest, ANullPathGivesTheBase) {
    EXPECT_EQ(Convert(ToFullPath, nullptr, "C:\\w\\"), "C:\\w\\");
    EXPECT_EQ(Convert(ToFullPathStrict, nullptr, "C:\\w"), "C:\\w");
}

TEST(FullPathTest, ANullBaseIsTheDirectoryOfTheTableInForce) {
    FileAccessTable table = PlainFileAccessSet;
    table.getDirectory = [](char* buffer) {
        std::strcpy(buffer, "Q:\\cur\\dir");
        return 10;
    };
    SetFileAccessTable(&table);
    EXPECT_EQ(Convert(ToFullPath, "..\\x", nullptr), "Q:\\cur\\x");
    EXPECT_EQ(Convert(ToFullPathStrict, "\\y", nullptr), "Q:\\y");
    EXPECT_EQ(Convert(ToFullPath, nullptr, nullptr), "Q:\\cur\\dir");
    SetFileAccessTable(nullptr);
}

TEST(FullPathTest, ResultsLongerThanMaxPathAreRefused) {
    const std::string base = "C:\\" + std::string(246, 'b');  // 249 characters
    for (auto convert : {ToFullPath, ToFullPathStrict}) {
        EXPECT_EQ(Convert(convert, std::string(9, 'x').c_str(), base.c_str()), base + "\\xxxxxxxxx");
        EXPECT_EQ(Convert(convert, std::string(10, 'x').c_str(), base.c_str()), kRefused);
        EXPECT_EQ(Convert(convert, ("a\\" + std::string(300, 'x')).c_str(), "C:\\"), kRefused);
        EXPECT_EQ(Convert(convert, ("C:\\" + std::string(300, 'x') + "\\..\\y").c_str(), "C:\\"),
                  kRefused);
        EXPECT_EQ(Convert(convert, nullptr, ("C:\\" + std::string(300, 'x')).c_str()), kRefused);
        EXPECT_EQ(Convert(convert, "x", ("C:\\" + std::string(300, 'x')).c_str()), kRefused);
    }
}

}  // namespace
