#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <set>
#include <string>

#include "platform/kernel/kernel.h"
#include "tests/support/test_support.h"

namespace {

// Sets TMPDIR for the test and puts the old value back afterwards.
class TempDirVariable {
public:
    explicit TempDirVariable(const char* value) {
        if (const char* old = std::getenv("TMPDIR")) saved_ = old;
        if (value != nullptr)
            setenv("TMPDIR", value, 1);
        else
            unsetenv("TMPDIR");
    }
    ~TempDirVariable() {
        if (saved_)
            setenv("TMPDIR", saved_->c_str(), 1);
        else
            unsetenv("TMPDIR");
    }

private:
    std::optional<std::string> saved_;
};

class TempFilesTest : public testsupport::PlatformTest {
protected:
    std::string Hex(UINT number) const {
        char digits[16];
        std::snprintf(digits, sizeof(digits), "%X", number);
        return digits;
    }
    bool HostFileExists(const std::string& name) const {
        struct stat info;
        return stat((folder.hostPath() + "/" + name).c_str(), &info) == 0;
    }

    testsupport::TemporaryFolder folder;
};

TEST_F(TempFilesTest, TempPathIsTheHostsTempFolderWindowsShaped) {
    {
        TempDirVariable variable((folder.hostPath() + "//").c_str());
        const std::string expected = folder.windowsPath() + "\\";
        char buffer[MAX_PATH];
        EXPECT_EQ(GetTempPathA(sizeof(buffer), buffer), expected.size());
        EXPECT_EQ(std::string(buffer), expected);

        char small[4];
        std::memset(small, '#', sizeof(small));
        EXPECT_EQ(GetTempPathA(sizeof(small), small), expected.size() + 1) << "the size it needs";
        for (char c : small) EXPECT_EQ(c, '#');
        EXPECT_EQ(GetTempPathA(static_cast<DWORD>(expected.size()), buffer), expected.size() + 1)
            << "no room for the terminator";
    }
    const char* fallbacks[] = {nullptr, "relative/tmp"};
    for (const char* value : fallbacks) {
        TempDirVariable variable(value);
        char buffer[MAX_PATH];
        EXPECT_EQ(GetTempPathA(sizeof(buffer), buffer), 7u);
        EXPECT_STREQ(buffer, "C:\\tmp\\");
    }
    // A folder whose last character ends in the byte of a backslash still
    // gets its own backslash.
    const std::string japanese = folder.hostPath() + reinterpret_cast<const char*>(u8"/表");
    TempDirVariable variable(japanese.c_str());
    char buffer[MAX_PATH];
    ASSERT_GT(GetTempPathA(sizeof(buffer), buffer), 0u);
    EXPECT_EQ(std::string(buffer), folder.windowsPath() + "\\表\\");
}

TEST_F(TempFilesTest, AFreeNumberIsFoundAndItsFileCreated) {
    const std::string base = folder.windowsPath() + "\\";
    char name[MAX_PATH];
    const UINT first = GetTempFileNameA(base.c_str(), "tmp", 0, name);
    ASSERT_NE(first, 0u);
    ASSERT_LE(first, 0xFFFFu);
    EXPECT_EQ(std::string(name), base + "tmp" + Hex(first) + ".tmp");
    EXPECT_TRUE(HostFileExists("tmp" + Hex(first) + ".tmp"));
    EXPECT_EQ(folder.readFile("tmp" + Hex(first) + ".tmp"), "");

    // The next number is taken already, under another letter case: it is
    // passed over and its file left alone.
    const UINT next = first == 0xFFFF ? 1 : first + 1;
    std::string taken = "TMP" + Hex(next) + ".TMP";
    for (char& c : taken) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::ofstream(folder.hostPath() + "/" + taken) << "keep";
    // This time the folder comes without its closing backslash.
    const UINT second = GetTempFileNameA(folder.windowsPath().c_str(), "tmp", 0, name);
    ASSERT_NE(second, 0u);
    EXPECT_NE(second, next);
    EXPECT_EQ(std::string(name), base + "tmp" + Hex(second) + ".tmp");
    EXPECT_EQ(folder.readFile(taken), "keep");

    std::set<std::string> names;
    for (int i = 0; i < 20; ++i) {
        ASSERT_NE(GetTempFileNameA(base.c_str(), "", 0, name), 0u);
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 20u) << "every call gets a name of its own";
}

TEST_F(TempFilesTest, AGivenNumberOnlyMakesTheName) {
    const std::string base = folder.windowsPath() + "\\";
    const struct {
        const char* prefix;
        UINT unique;
        std::string name;
    } cases[] = {
        {"tmp", 0x1A2B, "tmp1A2B.tmp"},
        {"prefix", 0x7, "pre7.tmp"},         // three characters of the prefix
        {"日本語ab", 0x10, "日本語10.tmp"},  // a double-byte character counts as one
        {"", 0xFFFF, "FFFF.tmp"},
        {nullptr, 0x12345, "2345.tmp"},      // the low 16 bits of the number
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        char name[MAX_PATH];
        EXPECT_EQ(GetTempFileNameA(base.c_str(), c.prefix, c.unique, name), c.unique);
        EXPECT_EQ(std::string(name), base + c.name);
        EXPECT_FALSE(HostFileExists(c.name));
    }
    // "表" ends in the byte of a backslash, which is no separator.
    char name[MAX_PATH];
    EXPECT_EQ(GetTempFileNameA((base + "表").c_str(), "x", 1, name), 1u);
    EXPECT_EQ(std::string(name), base + "表\\x1.tmp");
}

TEST_F(TempFilesTest, FailuresWriteNothing) {
    char name[MAX_PATH];
    std::memset(name, '#', sizeof(name));
    // The longest folder leaves room for the longest name; one more byte is refused.
    const std::string longest = folder.windowsPath() + "\\" +
                                std::string(MAX_PATH - 14 - folder.windowsPath().size() - 1, 'a');
    ASSERT_EQ(longest.size(), static_cast<size_t>(MAX_PATH - 14));
    EXPECT_EQ(GetTempFileNameA((longest + "a").c_str(), "tmp", 1, name), 0u);
    EXPECT_EQ(GetLastError(), ERROR_BUFFER_OVERFLOW);
    EXPECT_EQ(name[0], '#');
    EXPECT_EQ(GetTempFileNameA(longest.c_str(), "tmp", 0xFFFF, name), 0xFFFFu);
    EXPECT_EQ(std::strlen(name), longest.size() + 12);

    std::memset(name, '#', sizeof(name));
    const std::string missing = folder.windowsPath() + "\\missing";
    EXPECT_EQ(GetTempFileNameA(missing.c_str(), "tmp", 0, name), 0u);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(name[0], '#');
    EXPECT_EQ(GetTempFileNameA(nullptr, "tmp", 0, name), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
