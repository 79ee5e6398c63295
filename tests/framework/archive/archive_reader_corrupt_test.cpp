// Damaged archives: every offset, count and size of the header, the tables
// and a packed member pointing out of bounds. Each must fail its open or the
// lookup or read it affects, in every way of opening, without reading out of
// bounds (the suite runs under the sanitizers).
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/framework/archive/archive_reader_fixture.h"

namespace archivereadertest {
namespace {

uint32_t Read32(const std::string& bytes, size_t at) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t{static_cast<uint8_t>(bytes[at + i])} << (8 * i);
    return v;
}
void Write32(std::string& bytes, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
}

// Where the writer put things in the decoded archive below.
struct Layout {
    explicit Layout(const std::string& b)
        : tableBlock(Read32(b, 12)), fileTable(tableBlock + Read32(b, 16)),
          directories(tableBlock + Read32(b, 20)), tableSize(Read32(b, 4)) {}
    size_t Entry(int index) const { return fileTable + 44 * index; }
    uint32_t tableBlock, fileTable, directories, tableSize;
    // Root: A.TXT (10 stored bytes at data offset 0), P.BIN (packed, right
    // after it), DIR (folder, directory record 16) holding F.TXT.
    static constexpr size_t kPackedData = 24 + 10;
};

enum class Fails { Open, MemberA, MemberP, MemberF, Listing };

struct Corruption {
    const char* what;
    std::function<void(std::string&, const Layout&)> damage;
    Fails fails;
};

const Corruption kCorruptions[] = {
    {"truncated inside the header", [](std::string& b, const Layout&) { b.resize(10); }, Fails::Open},
    {"truncated table block", [](std::string& b, const Layout&) { b.resize(b.size() - 5); }, Fails::Open},
    {"table block beyond the file", [](std::string& b, const Layout&) { Write32(b, 12, 0xFFFFFF00u); }, Fails::Open},
    {"table block size wraps round", [](std::string& b, const Layout&) { Write32(b, 4, 0xFFFFFFF0u); }, Fails::Open},
    {"data area beyond the file",
     [](std::string& b, const Layout&) { Write32(b, 8, static_cast<uint32_t>(b.size() + 1)); }, Fails::Open},
    {"file table beyond the block", [](std::string& b, const Layout& l) { Write32(b, 16, l.tableSize + 4); },
     Fails::Open},
    {"no room for the root record", [](std::string& b, const Layout& l) { Write32(b, 20, l.tableSize - 8); },
     Fails::Open},
    {"root entry count too large", [](std::string& b, const Layout& l) { Write32(b, l.directories + 8, 1000000); },
     Fails::Listing},
    {"root entries beyond the file table",
     [](std::string& b, const Layout& l) { Write32(b, l.directories + 12, 0x7FFFFFF0u); }, Fails::Listing},
    {"name offset beyond the block", [](std::string& b, const Layout& l) { Write32(b, l.Entry(0), 0xFFFFFFF0u); },
     Fails::MemberA},
    {"name unit count too large",
     [](std::string& b, const Layout& l) { b[l.tableBlock] = '\xFF'; b[l.tableBlock + 1] = '\xFF'; },
     Fails::MemberA},
    {"stored data beyond the file", [](std::string& b, const Layout& l) { Write32(b, l.Entry(0) + 32, 0xFFFFFFF0u); },
     Fails::MemberA},
    {"stored size beyond the file", [](std::string& b, const Layout& l) { Write32(b, l.Entry(0) + 36, 0x7FFFFFFFu); },
     Fails::MemberA},
    {"folder record beyond the table",
     [](std::string& b, const Layout& l) { Write32(b, l.Entry(2) + 32, 0xFFFFFFF0u); }, Fails::MemberF},
    {"packed size below its header", [](std::string& b, const Layout& l) { Write32(b, l.Entry(1) + 40, 5); },
     Fails::MemberP},
    {"packed size beyond the file", [](std::string& b, const Layout& l) { Write32(b, l.Entry(1) + 40, 0x7FFFFFF0u); },
     Fails::MemberP},
    {"contents far larger than packed data can give",
     [](std::string& b, const Layout& l) { Write32(b, l.Entry(1) + 36, 0x7FFFFFFFu); }, Fails::MemberP},
    {"packed header disagrees with the entry",
     [](std::string& b, const Layout&) { Write32(b, Layout::kPackedData, 5003); }, Fails::MemberP},
    {"code with both low bits set",
     [](std::string& b, const Layout&) { b[Layout::kPackedData + 11] = '\x04'; }, Fails::MemberP},
    {"distance before the output's start",
     [](std::string& b, const Layout&) { b[Layout::kPackedData + 9] = '\x00'; }, Fails::MemberP},
};

class ArchiveCorruption : public ArchiveReaderTest,
                          public testing::WithParamInterface<std::tuple<OpenWay, int>> {};

TEST_P(ArchiveCorruption, DamageFailsTheOpenOrTheReadItTouches) {
    auto [way, async] = GetParam();
    archivetest::ArchiveWriter writer(3);
    writer.AddFile("A.TXT", "0123456789");
    writer.AddFile("P.BIN", std::string(5000, 'p') + "tail", true);
    writer.AddFile("DIR\\F.TXT", "eff");
    const std::string good = writer.BuildDecoded();
    ASSERT_EQ(static_cast<uint8_t>(good[Layout::kPackedData + 8]), 0) << "the packed data's escape byte moved";

    for (const Corruption& c : kCorruptions) {
        SCOPED_TRACE(c.what);
        std::string bad = good;
        c.damage(bad, Layout(good));
        archivetest::ApplyKey(bad, archivetest::KeyFromText("key"));
        int opened = OpenBytes(bad, way, "key");
        if (c.fails == Fails::Open) {
            EXPECT_EQ(opened, -1);
            continue;
        }
        ASSERT_EQ(opened, 0);
        auto fails = [&](const char* path, const std::string& contents) {
            std::string got = ReadMember(path, async);
            EXPECT_TRUE(got == "<missing>" || got.empty()) << path << " gave " << got.size() << " bytes";
            (void)contents;
        };
        const std::string pData = std::string(5000, 'p') + "tail";
        if (c.fails == Fails::MemberA || c.fails == Fails::Listing) fails("A.TXT", "0123456789");
        else EXPECT_EQ(ReadMember("A.TXT", async), "0123456789");
        if (c.fails == Fails::MemberP || c.fails == Fails::Listing) fails("P.BIN", pData);
        else EXPECT_EQ(ReadMember("P.BIN", async), pData);
        if (c.fails == Fails::MemberF || c.fails == Fails::Listing) fails("DIR\\F.TXT", "eff");
        else EXPECT_EQ(ReadMember("DIR\\F.TXT", async), "eff");
        FileInfoRecord info;
        uintptr_t find = FindFirstInArchive(&record_, "*.TXT", &info);
        // A damaged root fails the listing; a damaged name leaves the entry out.
        if (c.fails == Fails::Listing) {
            EXPECT_EQ(find, InvalidFindHandle);
        }
        if (find != InvalidFindHandle) {
            if (c.fails != Fails::MemberA) {
                EXPECT_STREQ(info.name, "A.TXT");
            }
            FreeMemory(reinterpret_cast<void*>(find));
        }
        ShutArchive(&record_);
    }
}

INSTANTIATE_TEST_SUITE_P(AllWays, ArchiveCorruption, testing::Combine(testing::ValuesIn(kOpenWays), testing::Values(0, 1)),
                         [](const testing::TestParamInfo<std::tuple<OpenWay, int>>& info) {
                             return std::string(OpenWayName(std::get<0>(info.param))) +
                                    (std::get<1>(info.param) ? "Async" : "Sync");
                         });

TEST_F(ArchiveReaderTest, ParentOutsideTheTableFailsDotDot) {
    archivetest::ArchiveWriter writer(3);
    writer.AddFile("DIR\\F.TXT", "eff");
    std::string bytes = writer.BuildDecoded();
    Layout layout(bytes);
    Write32(bytes, layout.directories + 16 + 4, 0xFFFFF000u);
    archivetest::ApplyKey(bytes, archivetest::KeyFromText(nullptr));
    ASSERT_EQ(OpenBytes(bytes, OpenWay::Memory, nullptr), 0);
    ASSERT_EQ(ChangeArchiveDirectory(&record_, "DIR", 1, nullptr), 0);
    const ArchiveDirectoryRecord* dir = record_.currentDirectory;
    EXPECT_EQ(ChangeArchiveDirectory(&record_, "..", 1, nullptr), -1);
    EXPECT_EQ(record_.currentDirectory, dir);
}

// The root is the first directory record: a damaged parent field decides
// neither which folder lists ".." nor where ".." leads.
TEST_F(ArchiveReaderTest, TheRootIsTheFirstDirectoryRecordWhateverItsParentSays) {
    archivetest::ArchiveWriter writer(3);
    writer.AddFile("DIR\\F.TXT", "eff");
    const std::string good = writer.BuildDecoded();
    const Layout layout(good);
    const struct {
        uint32_t rootParent;
        uint32_t dirParent;
        int dirUp;  // ChangeArchiveDirectory("..") inside DIR
    } cases[] = {
        {ArchiveNoParent, 0, 0},  // as written
        {0, 0, 0},                // the root its own parent
        {16, 0, 0},               // the root a child of DIR
        {ArchiveNoParent, ArchiveNoParent, -1},
        {16, ArchiveNoParent, -1},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(testing::Message() << item.rootParent << " " << item.dirParent);
        std::string bytes = good;
        Write32(bytes, layout.directories + 4, item.rootParent);
        Write32(bytes, layout.directories + 16 + 4, item.dirParent);
        archivetest::ApplyKey(bytes, archivetest::KeyFromText(nullptr));
        ASSERT_EQ(OpenBytes(bytes, OpenWay::Memory, nullptr), 0);
        const ArchiveDirectoryRecord* root = record_.currentDirectory;
        EXPECT_EQ(List("*"), (std::vector<std::string>{".", "DIR"}));
        EXPECT_EQ(List("DIR\\*"), (std::vector<std::string>{".", "..", "F.TXT"}));
        EXPECT_EQ(ChangeArchiveDirectory(&record_, "..", 1, nullptr), -1);
        EXPECT_EQ(record_.currentDirectory, root);
        ASSERT_EQ(ChangeArchiveDirectory(&record_, "DIR", 1, nullptr), 0);
        EXPECT_EQ(ChangeArchiveDirectory(&record_, "..", 1, nullptr), item.dirUp);
        if (item.dirUp == 0) {
            EXPECT_EQ(record_.currentDirectory, root);
        }
        ShutArchive(&record_);
    }
}

// A packed member whose data turns out damaged only once its asynchronous
// read from disk is in has nothing to read, and its end says so, as the
// synchronous open refuses it.
TEST_F(ArchiveReaderTest, ADamagedPackedMemberReadAsynchronouslyEndsAtZero) {
    archivetest::ArchiveWriter writer(3);
    writer.AddFile("A.TXT", "0123456789");
    writer.AddFile("P.BIN", std::string(5000, 'p') + "tail", true);
    std::string bytes = writer.BuildDecoded();
    bytes[Layout::kPackedData + 11] = '\x04';  // a code with both low bits set
    archivetest::ApplyKey(bytes, archivetest::KeyFromText(nullptr));
    ASSERT_EQ(OpenBytes(bytes, OpenWay::OnDisk, nullptr), 0);
    ArchiveFileStream stream;
    EXPECT_EQ(OpenArchiveMember(&stream, &record_, "P.BIN", 0), -1);
    ASSERT_EQ(OpenArchiveMember(&stream, &record_, "P.BIN", 1), 0);
    EXPECT_EQ(SeekArchiveMember(&stream, 0, 2), 0);
    EXPECT_EQ(TellArchiveMember(&stream), 0);
    EXPECT_EQ(SeekArchiveMember(&stream, 100, 0), 0);
    EXPECT_EQ(TellArchiveMember(&stream), 0);
    char buffer[16];
    EXPECT_EQ(ReadArchiveMember(&stream, buffer, sizeof(buffer)), 0u);
    EXPECT_EQ(ArchiveMemberEof(&stream), -1);
    EXPECT_EQ(CloseArchiveMember(&stream), 0);
}

}  // namespace
}  // namespace archivereadertest
