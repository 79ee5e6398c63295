// Listing through the archive-aware set, inside archives or on disk, and the
// full, upper-cased path form that the archive search walks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/archive/archive_file_access.h"
#include "tests/support/archive_file_access_fixture.h"

namespace {

using archiveaccesstest::ArchiveFileAccessTest;
using archivetest::ArchiveWriter;

// Every name a listing gives, with a slash after folders.
std::vector<std::string> ListAll(const char* pattern) {
    std::vector<std::string> names;
    FileInfoRecord info{};
    const uintptr_t find = FileAccessTableInForce.findFirst(pattern, &info);
    if (find == InvalidFindHandle) return names;
    do names.push_back(std::string(info.name) + (info.isDirectory ? "/" : ""));
    while (FileAccessTableInForce.findNext(find, &info) == 0);
    EXPECT_EQ(FileAccessTableInForce.findClose(find), 0);
    return names;
}

using Names = std::vector<std::string>;

TEST_F(ArchiveFileAccessTest, ListsInsideArchivesOrOnDisk) {
    ArchiveWriter writer;
    writer.AddFile("IMG\\A.PNG", "aa");
    writer.AddFile("IMG\\B.PNG", "bbb");
    writer.AddFile("IMG\\NOTE.TXT", "n");
    writer.AddFile("README.TXT", "r");
    WriteArchive("DATA.KPK", writer);
    MakeFolder("DATA");
    WriteFile("DATA/PLAIN.TXT", "not listed while the archive stands");
    MakeFolder("DISK");
    WriteFile("DISK/ONE.TXT", "1");

    EXPECT_EQ(ListAll("data\\img\\*.png"), (Names{"A.PNG", "B.PNG"}));
    EXPECT_EQ(ListAll("data\\*"), (Names{"./", "IMG/", "README.TXT"}));
    EXPECT_EQ(ListAll("data/img/*"), (Names{"./", "../", "A.PNG", "B.PNG", "NOTE.TXT"}));
    EXPECT_EQ(ListAll("data\\*.bmp"), Names{});
    EXPECT_EQ(ListAll("data\\missing\\*"), Names{});
    EXPECT_EQ(ListAll("disk\\*.txt"), Names{"ONE.TXT"});
    EXPECT_EQ(UseCount("DATA.KPK"), 0);

    // The sizes come from the archive's table.
    FileInfoRecord info{};
    const uintptr_t find = ArcStreamFindFirst("data\\img\\b.*", &info);
    ASSERT_NE(find, InvalidFindHandle);
    EXPECT_EQ(info.sizeLow, 3u);
    // An open listing is a use of its archive.
    EXPECT_EQ(UseCount("DATA.KPK"), 1);
    ShutAllArchives();
    EXPECT_EQ(UseCount("DATA.KPK"), 1);
    EXPECT_EQ(ArcStreamFindNext(find, &info), -1);
    ArcStreamFindClose(find);
    EXPECT_EQ(UseCount("DATA.KPK"), 0);

    EXPECT_EQ(ArcStreamFindNext(InvalidFindHandle, &info), -1);
    EXPECT_EQ(ArcStreamFindClose(InvalidFindHandle), -1);
}

TEST_F(ArchiveFileAccessTest, DirectoryRoutinesMoveOnlyTheProcessDirectory) {
    char before[MAX_PATH] = {};
    EXPECT_EQ(ArcStreamGetDir(before), 0);
    EXPECT_EQ(std::string(before), folder_.windowsPath());
    EXPECT_EQ(ArcStreamChDir("no-such-folder"), 0);
    char after[MAX_PATH] = {};
    ArcStreamGetDir(after);
    EXPECT_EQ(std::string(after), std::string(before));
}

struct FullPathCase {
    const char* path;
    std::string expected;  // "~" stands for the upper-cased current directory
};

TEST_F(ArchiveFileAccessTest, MakesFullUpperCasedPaths) {
    std::string current = folder_.windowsPath();
    for (char& c : current)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 0x20);
    const FullPathCase cases[] = {
        {"a.png", "~\\A.PNG"},
        {"img/./x/../a.png", "~\\IMG\\A.PNG"},
        {"..\\x", ""},  // the parent of the folder, below
        {"\\tmp\\b", "C:\\TMP\\B"},
        {"d:x", "D:\\X"},
        {"d:\\..\\..\\y", "D:\\Y"},
        {"//srv/share/f", "\\\\SRV\\SHARE\\F"},
        {"a\\..", "~\\A\\.."},  // a last ".." is a name
        {"dir\\\\f", "~\\DIR\\F"},
        // Two-byte characters stay whole: the trail byte 0x5C is no separator
        // and a trail byte in a to z is not upper-cased.
        {"\x95\x5c\\\x83\x61x", "~\\\x95\x5c\\\x83\x61X"},
    };
    for (const FullPathCase& item : cases) {
        SCOPED_TRACE(item.path);
        char full[ArchivePathBufferSize];
        ASSERT_EQ(ToUpperFullPath(item.path, full), 0);
        std::string expected = item.expected;
        if (item.expected.empty())
            expected = current.substr(0, current.rfind('\\')) + "\\X";
        else if (expected[0] == '~')
            expected = current + expected.substr(1);
        EXPECT_EQ(std::string(full), expected);
    }
    char full[ArchivePathBufferSize];
    ASSERT_EQ(ToUpperFullPath(nullptr, full), 0);
    EXPECT_EQ(std::string(full), current);

    // A form longer than the buffer is refused whole.
    const std::string longest(ArchivePathBufferSize - 1 - current.size() - 1, 'q');
    EXPECT_EQ(ToUpperFullPath(longest.c_str(), full), 0);
    EXPECT_EQ(std::string(full).size(), static_cast<size_t>(ArchivePathBufferSize - 1));
    EXPECT_EQ(ToUpperFullPath((longest + "q").c_str(), full), -1);
    EXPECT_EQ(full[0], '\0');
}

}  // namespace
