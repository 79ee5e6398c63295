// The reader's behaviour on small archives made by the test writer: keys,
// opening and refusing, folder walks, lookups, listings, wildcards and the
// member stream's counts and seeks.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/base/tracked_memory.h"
#include "tests/framework/archive/archive_reader_fixture.h"

namespace archivereadertest {
namespace {

std::vector<uint8_t> Key(const char* text) {
    std::vector<uint8_t> key(ArchiveKeySize);
    DeriveArchiveKey(text, key.data());
    return key;
}

TEST(ArchiveKey, FillRepeatsShortTextsAndCutsLongOnes) {
    EXPECT_EQ(Key("ab"), Key("abababababab"));
    EXPECT_EQ(Key("abcde"), Key("abcdeabcdeab"));
    EXPECT_EQ(Key("0123456789ABxyz"), Key("0123456789AB"));
    EXPECT_NE(Key("ab"), Key("ba"));
    // An empty text is no key text (its fill by repetition could not end).
    EXPECT_EQ(Key(""), Key(nullptr));
    archivetest::ArchiveKey writerKey = archivetest::KeyFromText("Kiln-17-char-key!");
    EXPECT_EQ(Key("Kiln-17-char-key!"), std::vector<uint8_t>(writerKey.begin(), writerKey.end()));
}

TEST(ArchiveKey, SetterKeepsTwelveCharactersAndNullClears) {
    EXPECT_EQ(SetArchiveKeyText("Kiln-17-char-key!"), 0);
    EXPECT_EQ(ArchiveKeyText.isSet, 1);
    EXPECT_STREQ(ArchiveKeyText.text, "Kiln-17-char");
    EXPECT_EQ(SetArchiveKeyText(nullptr), 0);
    EXPECT_EQ(ArchiveKeyText.isSet, 0);
}

TEST(ArchiveKey, XorFollowsTheFilePositionAtAnyStartAndLength) {
    archivetest::ArchiveKey key = archivetest::KeyFromText("key");
    for (uint32_t position = 0; position < 30; ++position) {
        for (uint32_t length = 0; length < 40; ++length) {
            std::string bytes(length + 1, '\x5A');
            std::string expected = bytes.substr(0, length);
            archivetest::ApplyKey(expected, key, position);
            XorWithArchiveKey(length, bytes.data() + 1, position, key.data());
            EXPECT_EQ(bytes.substr(1), expected) << position << "+" << length;
            EXPECT_EQ(bytes[0], '\x5A');
        }
    }
}

// Root: README.TXT (10 bytes), Data\ReadMe.txt, Data\Sub\表.txt, ソ (a folder
// whose name's trail byte is a backslash) with x.bin, and the packed P.BIN.
class ArchiveReaderSmallTest : public ArchiveReaderTest {
protected:
    std::string Build(uint16_t version = 3, const char* keyText = "key") {
        archivetest::ArchiveWriter writer(version);
        writer.AddFile("README.TXT", "0123456789");
        writer.AddFile("Data\\ReadMe.txt", "inner readme");
        writer.AddFile("Data\\Sub\\表.txt", "hyou");
        writer.AddFile("ソ\\x.bin", "so");
        writer.AddFile("P.BIN", std::string(5000, 'p') + "tail", true);
        return writer.Build(keyText);
    }
    void OpenSmall() { ASSERT_EQ(OpenBytes(Build(), OpenWay::Memory, "key"), 0); }
};

TEST_F(ArchiveReaderSmallTest, MemoryOpenRestoresTheImageAndRefusesWithoutChangingIt) {
    std::string stored = Build();
    ASSERT_EQ(OpenBytes(stored, OpenWay::Memory, "key"), 0);
    EXPECT_EQ(OpenArchiveInMemory(&record_, image_.data(), static_cast<uint32_t>(image_.size()), "key"), -1)
        << "a record already open";
    ShutArchive(&record_);
    EXPECT_EQ(std::string(image_.begin(), image_.end()), stored);

    // Wrong key text (and not the fallback key either), not an archive, too new.
    const std::string refused[] = {Build(3, "other"), std::string(100, 'x'), Build(4, "key")};
    for (const std::string& bytes : refused) {
        for (OpenWay way : kOpenWays) {
            EXPECT_EQ(OpenBytes(bytes, way, "key"), -1) << OpenWayName(way);
            EXPECT_EQ(record_.image, nullptr);
            EXPECT_EQ(record_.file, 0u);
        }
        EXPECT_EQ(std::string(image_.begin(), image_.end()), bytes);
    }
}

TEST_F(ArchiveReaderSmallTest, LookupIgnoresLetterCaseButNotTwoByteCharacters) {
    OpenSmall();
    for (const char* path : {"data\\readme.txt", "DATA\\README.TXT", "Data/ReadMe.txt", "\\data\\readme.txt"})
        EXPECT_EQ(ReadMember(path, 0), "inner readme") << path;
    EXPECT_EQ(ReadMember("data\\sub\\表.TXT", 0), "hyou");
    EXPECT_EQ(ReadMember("ソ\\X.BIN", 0), "so");
    EXPECT_EQ(ReadMember("data\\sub\\俵.txt", 0), "<missing>") << "another two-byte character";
    EXPECT_EQ(FindArchiveFileEntry(&record_, "Data"), nullptr) << "a folder is no file";
    EXPECT_EQ(FindArchiveFileEntry(&record_, "Data\\Sub"), nullptr);
    // Only the last element names the file: a file in the middle of a path
    // is no folder.
    EXPECT_EQ(FindArchiveFileEntry(&record_, "README.TXT\\X"), nullptr);
    EXPECT_EQ(FindArchiveFileEntry(&record_, "Data\\Nothing\\ReadMe.txt"), nullptr);
    EXPECT_NE(FindArchiveFileEntry(&record_, "Data\\ReadMe.txt\\"), nullptr);
}

TEST_F(ArchiveReaderSmallTest, DirectoryWalks) {
    OpenSmall();
    const ArchiveDirectoryRecord* root = record_.currentDirectory;
    EXPECT_EQ(ChangeArchiveDirectory(&record_, "..", 1, nullptr), -1);
    EXPECT_EQ(record_.currentDirectory, root);
    ASSERT_EQ(ChangeArchiveDirectory(&record_, "data\\sub\\", 1, nullptr), 0);
    const ArchiveDirectoryRecord* sub = record_.currentDirectory;
    EXPECT_NE(sub, root);
    EXPECT_EQ(ChangeArchiveDirectory(&record_, ".", 1, nullptr), 0);
    EXPECT_EQ(record_.currentDirectory, sub);
    // A leading separator starts at the root; a failing walk restores on request.
    ArchiveSearchName failed;
    EXPECT_EQ(ChangeArchiveDirectory(&record_, "\\Data\\Nope", 1, &failed), -1);
    EXPECT_EQ(record_.currentDirectory, sub);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(failed.searchForm)), "NOPE");
    EXPECT_EQ(ChangeArchiveDirectory(&record_, "\\Data\\ReadMe.txt", 0, nullptr), -1) << "a file is no folder";
    EXPECT_EQ(ChangeArchiveDirectory(&record_, "/", 1, nullptr), 0);
    EXPECT_EQ(record_.currentDirectory, root);
    ASSERT_EQ(ChangeArchiveDirectory(&record_, "Data\\Sub", 1, nullptr), 0);
    ASSERT_EQ(ChangeArchiveDirectory(&record_, "..", 1, nullptr), 0);
    ASSERT_EQ(ChangeArchiveDirectory(&record_, "..", 1, nullptr), 0);
    EXPECT_EQ(record_.currentDirectory, root);
}

TEST_F(ArchiveReaderSmallTest, ListingsAndPatterns) {
    OpenSmall();
    EXPECT_EQ(List("*"), (std::vector<std::string>{".", "README.TXT", "Data", "ソ", "P.BIN"}));
    EXPECT_EQ(List("data\\*"), (std::vector<std::string>{".", "..", "ReadMe.txt", "Sub"}));
    EXPECT_EQ(List("Data\\*.txt"), (std::vector<std::string>{"ReadMe.txt"}));
    // '?' takes one byte, not one character.
    EXPECT_EQ(List("DATA\\SUB\\??.TXT"), (std::vector<std::string>{"表.txt"}));
    EXPECT_EQ(List("DATA\\SUB\\?.TXT"), (std::vector<std::string>{"<none>"}));
    EXPECT_EQ(List("*.BIN"), (std::vector<std::string>{"P.BIN"}));
    EXPECT_EQ(List("Nowhere\\*"), (std::vector<std::string>{"<none>"}));
    EXPECT_EQ(List("*.XYZ"), (std::vector<std::string>{"<none>"}));
    EXPECT_EQ(List((std::string(261, 'A')).c_str()), (std::vector<std::string>{"<none>"})) << "pattern too long";

    FileInfoRecord info;
    uintptr_t find = FindFirstInArchive(&record_, "README.TXT", &info);
    ASSERT_NE(find, InvalidFindHandle);
    EXPECT_EQ(info.isDirectory, 0);
    EXPECT_EQ(info.sizeLow, 10u);
    EXPECT_EQ(info.sizeHigh, 0u);
    EXPECT_GT(info.creationTime.Year, 2000);
    FreeMemory(reinterpret_cast<void*>(find));
}

// A member name longer than the record's 259 characters is cut to fit, and
// the cut never leaves the lead byte of a two-byte character on its own.
TEST_F(ArchiveReaderTest, LongNamesAreCutBetweenCharacters) {
    const std::string kana = "\x82\xA0";  // one two-byte character
    struct Case {
        std::string name;
        std::string listed;
    };
    const Case cases[] = {
        // The 259th byte is a lead byte: the cut ends before its character.
        {std::string(258, 'A') + kana + "BBBB", std::string(258, 'A')},
        // The 259th byte is a second byte: its character is kept whole.
        {std::string(257, 'C') + kana + "DDDD", std::string(257, 'C') + kana},
        // Two-byte characters all the way: 129 of them fit.
        {[&] {
             std::string all;
             for (int i = 0; i < 140; ++i) all += kana;
             return all;
         }(),
         [&] {
             std::string fit;
             for (int i = 0; i < 129; ++i) fit += kana;
             return fit;
         }()},
        // A name of exactly 259 bytes is whole, even ending in a lead byte.
        {std::string(258, 'E') + "\x82", std::string(258, 'E') + "\x82"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.listed.substr(0, 1));
        archivetest::ArchiveWriter writer(3);
        writer.AddFile(c.name, "x");
        ASSERT_EQ(OpenBytes(writer.Build(nullptr), OpenWay::Memory, nullptr), 0);
        EXPECT_EQ(List("*"), (std::vector<std::string>{".", c.listed}));
        ShutArchive(&record_);
    }
}

// Only the pattern is limited: a folder whose path is longer than a pattern
// is listed as it is looked up.
TEST_F(ArchiveReaderTest, FoldersOnPathsLongerThanAPatternAreListed) {
    std::string deep;
    for (char folder = 'A'; folder < 'G'; ++folder) deep += std::string(deep.empty() ? "" : "\\") + std::string(50, folder);
    ASSERT_GT(deep.size(), static_cast<size_t>(ArchivePatternLength));
    archivetest::ArchiveWriter writer(3);
    writer.AddFile(deep + "\\INNER.TXT", "inner");
    for (OpenWay way : kOpenWays) {
        SCOPED_TRACE(OpenWayName(way));
        ASSERT_EQ(OpenBytes(writer.Build(nullptr), way, nullptr), 0);
        EXPECT_EQ(ReadMember((deep + "\\inner.txt").c_str(), 0), "inner");
        EXPECT_EQ(List((deep + "\\*").c_str()), (std::vector<std::string>{".", "..", "INNER.TXT"}));
        EXPECT_EQ(List((deep + "\\" + std::string(261, 'I')).c_str()), (std::vector<std::string>{"<none>"}))
            << "pattern too long";
        EXPECT_EQ(List((deep + "\\NOWHERE\\*").c_str()), (std::vector<std::string>{"<none>"}));
        ShutArchive(&record_);
    }
}

TEST(ArchiveWildcard, MatchesWithoutBacktracking) {
    struct Case {
        const char* name;
        const char* pattern;
        int result;
    } cases[] = {
        {"A.TXT", "*.TXT", 0},     {"A.B.TXT", "*.TXT", -1}, {"ABC", "A?C", 0},  {"ABC", "A?", -1},
        {"ABC", "*", 0},           {".", "*", 0},            {"ABC", "ABC", 0},  {"ABC", "ABD", -1},
        {"AB", "ABC", -1},         {"表.TXT", "表*", 0},      {"表", "俵", -1},   {"X", "**", 0},
        {"README.TXT", "R*.T?T", 0}, {"", "?", -1},
    };
    for (const Case& c : cases) EXPECT_EQ(MatchWildcardName(c.name, c.pattern), c.result) << c.name << " " << c.pattern;
}

TEST(ArchiveSearchNameTest, OverLongElementsAreRefused) {
    ArchiveSearchName name;
    int length = 0;
    std::string fits(1023, 'a');
    EXPECT_EQ(MakeArchiveSearchName(fits.c_str(), &name, &length), 0);
    EXPECT_EQ(length, 1023);
    EXPECT_EQ(name.unitCount, 256);
    std::string tooLong(1024, 'a');
    EXPECT_EQ(MakeArchiveSearchName(tooLong.c_str(), &name, &length), -1);
    EXPECT_EQ(name.unitCount, 0);
    // A separator ends the element; an element at a separator is empty.
    EXPECT_EQ(MakeArchiveSearchName("\\x", &name, &length), 0);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(name.unitCount, 1);
}

TEST_F(ArchiveReaderSmallTest, StoredReadsCountDownAndSeeksClamp) {
    for (OpenWay way : kOpenWays) {
        ASSERT_EQ(OpenBytes(Build(), way, "key"), 0);
        ArchiveFileStream stream;
        ASSERT_EQ(OpenArchiveMember(&stream, &record_, "readme.txt", 0), 0);
        char buffer[4];
        EXPECT_EQ(ReadArchiveMember(&stream, buffer, 4), 4u);
        EXPECT_EQ(ReadArchiveMember(&stream, buffer, 4), 4u);
        EXPECT_EQ(ArchiveMemberEof(&stream), 0);
        EXPECT_EQ(ReadArchiveMember(&stream, buffer, 4), 2u);
        EXPECT_EQ(std::string(buffer, 2), "89");
        EXPECT_EQ(ArchiveMemberEof(&stream), 0) << "reading to the end leaves the flag clear";
        EXPECT_EQ(ReadArchiveMember(&stream, buffer, 4), 0u);
        EXPECT_EQ(ArchiveMemberEof(&stream), -1);
        EXPECT_EQ(SeekArchiveMember(&stream, 20, 0), 0);
        EXPECT_EQ(TellArchiveMember(&stream), 10);
        EXPECT_EQ(ArchiveMemberEof(&stream), 0);
        EXPECT_EQ(SeekArchiveMember(&stream, -5, 0), 0);
        EXPECT_EQ(TellArchiveMember(&stream), 0);
        EXPECT_EQ(SeekArchiveMember(&stream, -3, 2), 0);
        EXPECT_EQ(ReadArchiveMember(&stream, buffer, 0xFFFFFFFFu), 3u) << "a huge count is not negative";
        EXPECT_EQ(std::string(buffer, 3), "789");
        CloseArchiveMember(&stream);
        ShutArchive(&record_);
    }
}

TEST_F(ArchiveReaderSmallTest, AsyncReadsFromDiskReturnAtOnceAndDecodeWhenDone) {
    ASSERT_EQ(OpenBytes(Build(), OpenWay::OnDisk, "key"), 0);
    ArchiveFileStream stream;
    ASSERT_EQ(OpenArchiveMember(&stream, &record_, "P.BIN", 1), 0);
    EXPECT_EQ(stream.pendingState, 1);
    std::string contents(5004, '\0');
    EXPECT_EQ(ReadArchiveMember(&stream, contents.data(), 5004), 5004u) << "waits for the packed data first";
    EXPECT_EQ(contents, std::string(5000, 'p') + "tail");
    CloseArchiveMember(&stream);

    ASSERT_EQ(OpenArchiveMember(&stream, &record_, "README.TXT", 1), 0);
    ASSERT_EQ(SeekArchiveMember(&stream, 3, 0), 0);
    char buffer[5] = {};
    EXPECT_EQ(ReadArchiveMember(&stream, buffer, 5), 5u);
    EXPECT_EQ(stream.pendingState, 2);
    while (PollArchiveMemberRead(&stream) == 0) Sleep(0);
    EXPECT_EQ(std::string(buffer, 5), "34567");
    EXPECT_EQ(TellArchiveMember(&stream), 8);
    CloseArchiveMember(&stream);
}

TEST_F(ArchiveReaderSmallTest, WholeReadWithoutWaitCompletesAtFirstUse) {
    ASSERT_EQ(OpenBytes(Build(), OpenWay::WholeNoWait, "key"), 0);
    while (CheckArchiveLoadDone(&record_) == 0) Sleep(0);
    EXPECT_EQ(record_.wholeReadPending, 0);
    uint8_t* image = FinishAsyncArchiveRead(&record_);
    ASSERT_NE(image, nullptr);
    uint32_t offset = 0, size = 0;
    ASSERT_EQ(FindArchiveEntryData(&record_, "README.TXT", &offset, &size), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(image) + offset, size), "0123456789");
    // The shader-pack loader's path: a packed member's data through the unpacker.
    ASSERT_EQ(FindArchiveEntryData(&record_, "P.BIN", &offset, &size), 0);
    std::string unpacked(UnpackArchiveData(image + offset, nullptr), '\0');
    EXPECT_EQ(UnpackArchiveData(image + offset, unpacked.data()), 5004u);
    EXPECT_EQ(unpacked, std::string(5000, 'p') + "tail");
}

TEST_F(ArchiveReaderSmallTest, OnDiskArchiveOfAnOldVersionStoresEverything) {
    ASSERT_EQ(OpenBytes(Build(1), OpenWay::OnDisk, "key"), 0);
    EXPECT_EQ(FinishAsyncArchiveRead(&record_), nullptr);
    EXPECT_EQ(ReadMember("p.bin", 0, 333), std::string(5000, 'p') + "tail");
}

}  // namespace
}  // namespace archivereadertest
