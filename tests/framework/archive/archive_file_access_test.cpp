#include "framework/archive/archive_file_access.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/files/file_read_interface.h"
#include "framework/files/plain_file_stream.h"
#include "tests/support/archive_file_access_fixture.h"

namespace {

using archiveaccesstest::ArchiveFileAccessTest;
using archivetest::ArchiveWriter;
using streamtest::Pattern;

const std::string kImage = Pattern(5000, 1) + std::string(3000, 'z');  // packs well
const std::string kReadme = "the archive's readme\r\n";

ArchiveWriter DataArchive() {
    ArchiveWriter writer;
    writer.AddFile("IMG\\A.PNG", kImage, true);
    writer.AddFile("README.TXT", kReadme);
    writer.AddFile("TEN.BIN", "0123456789");
    return writer;
}

TEST_F(ArchiveFileAccessTest, IsTheDefaultSetUnlessArchivesAreSwitchedOff) {
    EXPECT_EQ(std::memcmp(&FileAccessTableInForce, &ArchiveFileAccessSet, sizeof(FileAccessTable)), 0);
    EXPECT_EQ(IsDefaultFileAccessTable(), 1);
    UseArchiveFiles(0);
    EXPECT_EQ(IsDefaultFileAccessTable(), 0);
    SetFileAccessTable(nullptr);
    EXPECT_EQ(std::memcmp(&FileAccessTableInForce, &PlainFileAccessSet, sizeof(FileAccessTable)), 0);
    UseArchiveFiles(1);
    SetFileAccessTable(nullptr);
    EXPECT_EQ(IsDefaultFileAccessTable(), 1);
}

struct MemberPath {
    const char* path;
    const std::string* contents;
};

TEST_F(ArchiveFileAccessTest, ReadsMembersThroughTheTableInAnySpelling) {
    WriteArchive("DATA.KPK", DataArchive());
    const std::string absolute = WindowsPath("Data\\Img\\A.png");
    const MemberPath cases[] = {
        {"data\\img\\a.png", &kImage},  {"DATA/IMG/A.PNG", &kImage},
        {absolute.c_str(), &kImage},    {"data\\.\\x\\..\\readme.txt", &kReadme},
        {".\\Data\\ReadMe.Txt", &kReadme},
    };
    for (const MemberPath& member : cases) {
        SCOPED_TRACE(member.path);
        const uintptr_t file = FileStreamOpen(member.path, 0, 1, 0);
        ASSERT_NE(file, 0u);
        EXPECT_EQ(file & ~ArcFileHandleSlotMask, ArcFileHandleMarker);
        EXPECT_EQ(ArcOpenFiles.slots[file & ArcFileHandleSlotMask]->inArchive, 1);
        EXPECT_EQ(ReadToEnd(file), *member.contents);
        EXPECT_NE(FileStreamEof(file), 0);
        EXPECT_EQ(FileStreamSeek(file, -4, 2), 0);
        EXPECT_EQ(FileStreamTell(file), static_cast<int32_t>(member.contents->size() - 4));
        EXPECT_EQ(FileStreamEof(file), 0);
        EXPECT_EQ(FileStreamIdleCheck(file), 1);
        EXPECT_EQ(FileStreamClose(file), 0);
    }
    // Every path led to one cache entry, opened once.
    EXPECT_EQ(ArchiveCache.entriesInUse, 1);
    EXPECT_EQ(UseCount("DATA.KPK"), 0);
    EXPECT_EQ(GetFileSizeByName("data\\img\\a.png"), static_cast<int>(kImage.size()));
}

TEST_F(ArchiveFileAccessTest, ReadsMembersAsynchronously) {
    WriteArchive("DATA.KPK", DataArchive());
    for (const char* path : {"data\\img\\a.png", "data\\readme.txt"}) {
        SCOPED_TRACE(path);
        const uintptr_t file = OpenFileForRead(path, 1);
        ASSERT_NE(file, 0u);
        std::string all;
        char block[1000];
        uint32_t got;
        while ((got = FileStreamRead(block, 1, sizeof(block), file)) != 0) {
            while (FileStreamIdleCheck(file) == 0) Sleep(0);
            all.append(block, got);
        }
        EXPECT_EQ(all, std::string(path).find("png") != std::string::npos ? kImage : kReadme);
        FileStreamClose(file);
    }
}

// The game's line and character reads wait for each asynchronous read of a
// member before they look at its bytes.
TEST_F(ArchiveFileAccessTest, ReadsLinesAndCharactersOfMembersOpenedAsynchronously) {
    std::string text;
    for (int line = 0; line < 40; ++line) text += "line " + std::to_string(line) + " of the script\r\n";
    ArchiveWriter writer;
    writer.AddFile("STORED.TXT", text, false);
    writer.AddFile("PACKED.TXT", text, true);
    WriteArchive("DATA.KPK", writer);
    for (const char* path : {"data\\stored.txt", "data\\packed.txt"}) {
        SCOPED_TRACE(path);
        uintptr_t file = OpenFileForRead(path, 1);
        ASSERT_NE(file, 0u);
        std::string lines;
        char buffer[64];  // a whole line and some of the next at each read
        for (int length; (length = ReadFileLine(buffer, sizeof(buffer), file)) >= 0;) lines.append(buffer, length);
        std::string expected = text;
        for (size_t at; (at = expected.find("\r\n")) != std::string::npos;) expected.erase(at, 2);
        EXPECT_EQ(lines, expected);
        FileStreamClose(file);

        file = OpenFileForRead(path, 1);
        ASSERT_NE(file, 0u);
        std::string characters;
        for (int c; (c = ReadFileChar(file)) >= 0;) characters += static_cast<char>(c);
        EXPECT_EQ(characters, text);
        FileStreamClose(file);
    }
}

TEST_F(ArchiveFileAccessTest, OpensArchivesKeyedWithTheKeyText) {
    // The setter keeps the first 12 characters of the game's longer text.
    WriteArchive("DATA.KPK", DataArchive(), "seventeen-chars!!");
    EXPECT_EQ(FileStreamOpen("data\\readme.txt", 0, 1, 0), 0u);  // no key: no archive, no plain file
    EXPECT_EQ(SetArchiveKeyForwarder("seventeen-chars!!"), 0);
    const uintptr_t file = FileStreamOpen("data\\readme.txt", 0, 1, 0);
    ASSERT_NE(file, 0u);
    EXPECT_EQ(ReadToEnd(file), kReadme);
    FileStreamClose(file);
}

TEST_F(ArchiveFileAccessTest, AnArchiveBesideAFolderOfTheSameNameWins) {
    MakeFolder("DATA");
    MakeFolder("DATA/IMG");
    WriteFile("DATA/IMG/A.PNG", "plain image");
    WriteFile("DATA/IMG/B.PNG", "plain only");
    WriteArchive("DATA.KPK", DataArchive());

    const uintptr_t file = FileStreamOpen("data\\img\\a.png", 0, 1, 0);
    ASSERT_NE(file, 0u);
    EXPECT_EQ(ReadToEnd(file), kImage);
    FileStreamClose(file);

    // A member the archive lacks is not looked for in the folder, and the
    // use the search took is given back.
    const size_t mark = LogText().size();
    EXPECT_EQ(FileStreamOpen("data\\img\\b.png", 0, 1, 0), 0u);
    EXPECT_EQ(UseCount("DATA.KPK"), 0);
    EXPECT_EQ(ArcOpenFiles.filesOpen, 0);
    EXPECT_EQ(LogSince(mark), "");
}

TEST_F(ArchiveFileAccessTest, APathRunningThroughAMemberFileOpensNothing) {
    WriteArchive("DATA.KPK", DataArchive());
    for (const char* path : {"data\\readme.txt\\x.png", "data\\img\\a.png\\a.png"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(FileStreamOpen(path, 0, 1, 0), 0u);
        EXPECT_EQ(UseCount("DATA.KPK"), 0);
    }
    // A folder named on the path still leads to its file.
    const uintptr_t file = FileStreamOpen("data\\img\\a.png", 0, 1, 0);
    EXPECT_NE(file, 0u);
    FileStreamClose(file);
}

TEST_F(ArchiveFileAccessTest, TheShallowestArchiveOnThePathHoldsTheFile) {
    // GAME.KPK stands on the path before GAME\DATA.KPK; the last component
    // never names an archive, even with an archive of that name beside it.
    ArchiveWriter game;
    game.AddFile("DATA\\README.TXT", "from GAME.KPK");
    game.AddFile("A.PNG", "A of GAME.KPK");
    MakeFolder("GAME");
    WriteArchive("GAME.KPK", game);
    WriteArchive("GAME/DATA.KPK", DataArchive());
    WriteFile("DATA", "a plain file named like the archive");
    WriteArchive("DATA.KPK", DataArchive());

    const struct {
        const char* path;
        std::string contents;
    } cases[] = {
        {"game\\data\\readme.txt", "from GAME.KPK"},
        {"data", "a plain file named like the archive"},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.path);
        const uintptr_t file = FileStreamOpen(item.path, 0, 1, 0);
        ASSERT_NE(file, 0u);
        EXPECT_EQ(ReadToEnd(file), item.contents);
        FileStreamClose(file);
    }
    EXPECT_EQ(CachedArchive("GAME\\DATA.KPK"), nullptr);

    // With the current directory inside GAME, a bare name is looked for in
    // the archive of the folder it stands in.
    ASSERT_EQ(ArcStreamChDir("game"), 0);
    const uintptr_t file = FileStreamOpen("a.png", 0, 1, 0);
    ASSERT_NE(file, 0u);
    EXPECT_EQ(ReadToEnd(file), "A of GAME.KPK");
    FileStreamClose(file);
    ArcStreamChDir("..");
}

TEST_F(ArchiveFileAccessTest, OpensPlainFilesWhereNoArchiveStandsWithTheFlagsPassedOn) {
    MakeFolder("PLAIN");
    WriteFile("PLAIN/TEN.BIN", "0123456789");
    for (const streamtest::StreamMode& mode : streamtest::kModes) {
        SCOPED_TRACE(mode.name);
        const uintptr_t file = FileStreamOpen("plain\\ten.bin", mode.cache, 1, mode.async);
        ASSERT_NE(file, 0u);
        const ArcStreamRecord* record = ArcOpenFiles.slots[file & ArcFileHandleSlotMask];
        ASSERT_EQ(record->inArchive, 0);
        const auto* stream = reinterpret_cast<const Win32FileStream*>(record->plainStream);
        EXPECT_EQ(stream->cacheFlag, mode.cache);
        EXPECT_EQ(stream->asyncFlag, mode.async);
        FileStreamClose(file);
    }
    EXPECT_EQ(ArchiveCache.entriesInUse, 0);
    EXPECT_EQ(FileStreamOpen("plain\\missing.bin", 0, 1, 0), 0u);
    EXPECT_EQ(ArcOpenFiles.filesOpen, 0);
}

TEST_F(ArchiveFileAccessTest, ReadCountsBytesInsideArchivesAndElementsInPlainFiles) {
    WriteArchive("DATA.KPK", DataArchive());
    MakeFolder("PLAIN");
    WriteFile("PLAIN/TEN.BIN", "0123456789");
    const struct {
        const char* path;
        uint32_t expected;
    } cases[] = {{"data\\ten.bin", 10}, {"plain\\ten.bin", 2}};
    for (const auto& item : cases) {
        SCOPED_TRACE(item.path);
        const uintptr_t file = FileStreamOpen(item.path, 0, 1, 0);
        ASSERT_NE(file, 0u);
        char buffer[12] = {};
        EXPECT_EQ(FileStreamRead(buffer, 4, 3, file), item.expected);
        EXPECT_EQ(std::string(buffer, 8), "01234567");
        FileStreamClose(file);
    }
    // An element size times count beyond 32 bits is not wrapped to a small
    // count.
    const uintptr_t file = FileStreamOpen("data\\ten.bin", 0, 1, 0);
    char buffer[10];
    EXPECT_EQ(FileStreamRead(buffer, 0x10000, 0x10001, file), 10u);
    FileStreamClose(file);
}

TEST_F(ArchiveFileAccessTest, UseCountsKeepArchivesInUseOpenAcrossCleanups) {
    WriteArchive("DATA.KPK", DataArchive());
    const uintptr_t image = FileStreamOpen("data\\img\\a.png", 0, 1, 0);
    const uintptr_t readme = FileStreamOpen("data\\readme.txt", 0, 1, 0);
    ASSERT_NE(image, 0u);
    ASSERT_NE(readme, 0u);
    EXPECT_EQ(ArchiveCache.entriesInUse, 1);
    EXPECT_EQ(UseCount("DATA.KPK"), 2);

    // Shutting the archives keeps the one that open files use.
    EXPECT_EQ(ShutAllArchives(), 0);
    EXPECT_EQ(UseCount("DATA.KPK"), 2);
    EXPECT_EQ(ReadToEnd(readme), kReadme);

    FileStreamClose(image);
    FileStreamClose(readme);
    EXPECT_EQ(UseCount("DATA.KPK"), 0);  // unused, still cached
    ShutAllArchives();
    EXPECT_EQ(CachedArchive("DATA.KPK"), nullptr);
    EXPECT_EQ(ArchiveCache.entriesInUse, 0);

    // The remembered archive's entry has gone: the next path under its
    // folder opens it again through the cache.
    EXPECT_EQ(RememberedArchive.folderLength, static_cast<int32_t>(WindowsPath("DATA").size()));
    const uintptr_t again = FileStreamOpen("data\\ten.bin", 0, 1, 0);
    ASSERT_NE(again, 0u);
    EXPECT_EQ(UseCount("DATA.KPK"), 1);
    FileStreamClose(again);

    // Switching archive use closes unused archives as well.
    UseArchiveFiles(0);
    EXPECT_EQ(ArchiveCache.entriesInUse, 0);
}

TEST_F(ArchiveFileAccessTest, RefusesThe513thOpenFileUntilOneCloses) {
    WriteArchive("DATA.KPK", DataArchive());
    std::vector<uintptr_t> files;
    for (int i = 0; i < ArchiveOpenFileLimit; ++i) {
        files.push_back(FileStreamOpen("data\\ten.bin", 0, 1, 0));
        ASSERT_NE(files.back(), 0u) << i;
    }
    const size_t mark = LogText().size();
    EXPECT_EQ(FileStreamOpen("data\\ten.bin", 0, 1, 0), 0u);
    EXPECT_NE(LogSince(mark).find("同時に開けるファイルの数が限界を超えました\r\n"), std::string::npos);
    EXPECT_EQ(UseCount("DATA.KPK"), ArchiveOpenFileLimit);

    FileStreamClose(files[100]);
    files[100] = FileStreamOpen("data\\ten.bin", 0, 1, 0);
    EXPECT_EQ(files[100], 100u | ArcFileHandleMarker);  // the first free slot
    for (uintptr_t file : files) FileStreamClose(file);
}

TEST_F(ArchiveFileAccessTest, RefusesHandlesThatAreNotOpenFilesOfTheSet) {
    WriteArchive("DATA.KPK", DataArchive());
    const uintptr_t open = FileStreamOpen("data\\ten.bin", 0, 1, 0);
    const uintptr_t closed = FileStreamOpen("data\\readme.txt", 0, 1, 0);
    FileStreamClose(closed);
    const uintptr_t slot = open & ArcFileHandleSlotMask;
    const uintptr_t refused[] = {
        0,
        slot,                                           // no marker bits
        slot | 0x70000000,                              // some of them
        slot | ArcFileHandleMarker | (uintptr_t(1) << 40),  // more than them
        ArcFileHandleMarker | ArchiveOpenFileLimit,     // beyond the table
        ArcFileHandleMarker | 0x0FFFFFFF,
        closed,                                         // an empty slot
    };
    char byte;
    for (uintptr_t handle : refused) {
        SCOPED_TRACE(handle);
        EXPECT_EQ(ArcStreamClose(handle), -1);
        EXPECT_EQ(ArcStreamTell(handle), -1);
        EXPECT_EQ(ArcStreamSeek(handle, 0, 0), -1);
        EXPECT_EQ(ArcStreamRead(&byte, 1, 1, handle), static_cast<uint32_t>(-1));
        EXPECT_EQ(ArcStreamEof(handle), -1);
        EXPECT_EQ(ArcStreamIdle(handle), -1);
    }
    EXPECT_EQ(ArcOpenFiles.filesOpen, 1);
    EXPECT_EQ(FileStreamClose(open), 0);
}

TEST_F(ArchiveFileAccessTest, RefusesPathsTooLongToSearch) {
    WriteArchive("DATA.KPK", DataArchive());
    const std::string longName(300, 'n');
    const std::string nearlyFull(255 - WindowsPath("").size() - 2, 'f');
    const std::string longPaths[] = {
        "data\\" + longName,
        longName + "\\a.png",
        nearlyFull + "\\a",  // fits, but its archive candidate does not
    };
    ArchiveExtension.length = 63;
    std::memset(ArchiveExtension.text, 'E', 63);
    for (size_t i = 0; i < std::size(longPaths); ++i) {
        SCOPED_TRACE(i);
        if (i == 2) {
            char full[ArchivePathBufferSize];
            ASSERT_EQ(ToUpperFullPath(longPaths[i].c_str(), full), 0);
        }
        EXPECT_EQ(FileStreamOpen(longPaths[i].c_str(), 0, 1, 0), 0u);
        EXPECT_EQ(ArcStreamFindFirst(longPaths[i].c_str(), nullptr), InvalidFindHandle);
    }
    EXPECT_EQ(ArcOpenFiles.filesOpen, 0);
}

}  // namespace
