#include "framework/base/tracked_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "platform/profile/machine_profile.h"
#include "tests/support/started_log_fixture.h"

namespace {

MemoryBlockHeader* HeaderOf(void* block) { return static_cast<MemoryBlockHeader*>(block) - 1; }

// The log line of a block: `described` is "size:..  file:..  line:..", `data`
// the "data:<..> [..]" end; the ID and the address come from the block.
std::string Record(void* block, const char* described, const char* data) {
    char line[512];
    std::snprintf(line, sizeof(line), "0:\t%s  ID:%u  addr:%016llx  %s\r\n", described,
                  static_cast<unsigned>(HeaderOf(block)->fields.ID),
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(block)), data);
    return line;
}

class TrackedMemoryTest : public testsupport::StartedLogTest {
protected:
    void SetUp() override {
        StartedLogTest::SetUp();
        // Blocks that were live before the test (none when it runs alone) are
        // listed behind the test's own.
        DumpMemoryAllocations();
        const std::string dump = LogText();
        const size_t start = dump.find("Alloc memory dump\r\n") + 19;
        const size_t end = dump.find("0:\tTotal size:");
        earlierRecords_ = dump.substr(start, end - start);
        std::sscanf(dump.c_str() + end, "0:\tTotal size:%d(%*fkb)  Alloc num:%d", &earlierSize_,
                    &earlierCount_);
        StartLogFile();
    }

    std::string Dump(const std::vector<std::string>& records, int size, int count) const {
        std::string dump = "0:\r\n0:Alloc memory dump\r\n";
        for (const std::string& record : records) dump += record;
        dump += earlierRecords_;
        char totals[128];
        std::snprintf(totals, sizeof(totals), "0:\tTotal size:%d(%.3fkb)  Alloc num:%d\r\n0:\r\n",
                      earlierSize_ + size, (earlierSize_ + size) / 1024.0, earlierCount_ + count);
        return dump + totals;
    }

    static void* AllocText(const char* text, const char* name, int line) {
        void* block = AllocMemory(std::strlen(text), name, line);
        if (block != nullptr) std::memcpy(block, text, std::strlen(text));
        return block;
    }

private:
    std::string earlierRecords_;
    int earlierSize_ = 0;
    int earlierCount_ = 0;
};

TEST_F(TrackedMemoryTest, DumpListsLiveBlocksNewestFirstWithTheTotals) {
    void* first = AllocText("abc", "alloc.cpp", 10);
    void* second = AllocMemory(100, "", 20);
    void* third = AllocText("\x01 ~\x7f\x80", "", 30);
    for (void* block : {first, second, third}) {
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % 16, 0u);
    }
    EXPECT_EQ(HeaderOf(second)->fields.ID, uint16_t(HeaderOf(first)->fields.ID + 1));
    EXPECT_EQ(HeaderOf(third)->fields.ID, uint16_t(HeaderOf(first)->fields.ID + 2));
    FreeMemory(second);
    FreeMemory(nullptr);

    DumpMemoryAllocations();
    EXPECT_EQ(
        LogText(),
        Dump({Record(third, "size:5(0.005kb)  file:  line:30", "data:<. ~\x7f.> [01 20 7e 7f 80]"),
              Record(first, "size:3(0.003kb)  file:alloc.cpp  line:10", "data:<abc> [61 62 63]")},
             8, 2));
    EXPECT_EQ(CheckMemoryAllocations(), 0);

    // Emptied, the list takes the next block as its first again.
    FreeMemory(third);
    FreeMemory(first);
    void* again = AllocText("z", "again.cpp", 40);
    StartLogFile();
    DumpMemoryAllocations();
    EXPECT_EQ(
        LogText(),
        Dump({Record(again, "size:1(0.001kb)  file:again.cpp  line:40", "data:<z> [7a]")}, 1, 1));
    FreeMemory(again);
}

TEST_F(TrackedMemoryTest, RecordShowsSixteenBytesAndTheNameTail) {
    void* block = AllocMemory(40, "12345abcdefghijklmno", -1);
    for (int i = 0; i < 40; i++)
        static_cast<unsigned char*>(block)[i] = static_cast<unsigned char>('A' + i);
    void* unnamed = AllocText("q", nullptr, 7);

    LogMemoryBlockRecord(HeaderOf(block));
    LogMemoryBlockRecord(HeaderOf(unnamed));
    EXPECT_EQ(LogText(),
              Record(block, "size:40(0.039kb)  file:abcdefghijklmno  line:65535",
                     "data:<ABCDEFGHIJKLMNOP> [41 42 43 44 45 46 47 48 49 4a 4b 4c 4d 4e 4f 50]") +
                  Record(unnamed, "size:1(0.001kb)  file:  line:7", "data:<q> [71]"));
    FreeMemory(block);
    FreeMemory(unnamed);
}

TEST_F(TrackedMemoryTest, BlocksOfSizeZeroAreTraced) {
    void* block = AllocMemory(0, "zero.cpp", 5);
    const std::string allocated =
        "0:mem alloc  " +
        Record(block, "size:0(0.000kb)  file:zero.cpp  line:5", "data:<> ]").substr(2);
    EXPECT_EQ(LogText(), allocated);

    block = ReallocMemory(block, 0, "again.cpp", 6);
    const std::string resized =
        "0:mem realloc  " +
        Record(block, "size:0(0.000kb)  file:again.cpp  line:6", "data:<> ]").substr(2);
    EXPECT_EQ(LogText(), allocated + resized);

    void* grown = ReallocMemory(block, 4, "", 7);
    EXPECT_EQ(LogText(), allocated + resized);  // not traced at size 4
    block = ReallocMemory(grown, 0, "", 8);
    const size_t mark = LogText().size();
    const std::string freed =
        "0:mem free  " + Record(block, "size:0(0.000kb)  file:  line:8", "data:<> ]").substr(2);
    FreeMemory(block);
    EXPECT_EQ(LogSince(mark), freed);
}

TEST_F(TrackedMemoryTest, ResizedBlockKeepsItsPlaceWithANewIdAndZeroedGrowth) {
    void* first = AllocText("first", "a.cpp", 1);
    void* middle = AllocText("12345678", "b.cpp", 2);
    void* last = AllocText("last", "c.cpp", 3);
    const uint16_t lastId = HeaderOf(last)->fields.ID;

    middle = ReallocMemory(middle, 20, "grow.cpp", 77);
    ASSERT_NE(middle, nullptr);
    EXPECT_EQ(HeaderOf(middle)->fields.ID, uint16_t(lastId + 1));
    EXPECT_EQ(std::memcmp(middle, "12345678\0\0\0\0\0\0\0\0\0\0\0\0", 20), 0);

    void* fresh = ReallocMemory(nullptr, 2, "fresh.cpp", 9);
    ASSERT_NE(fresh, nullptr);
    std::memcpy(fresh, "hi", 2);

    DumpMemoryAllocations();
    EXPECT_EQ(
        LogText(),
        Dump(
            {Record(fresh, "size:2(0.002kb)  file:fresh.cpp  line:9", "data:<hi> [68 69]"),
             Record(last, "size:4(0.004kb)  file:c.cpp  line:3", "data:<last> [6c 61 73 74]"),
             Record(middle, "size:20(0.020kb)  file:grow.cpp  line:77",
                    "data:<12345678........> [31 32 33 34 35 36 37 38 00 00 00 00 00 00 00 00]"),
             Record(first, "size:5(0.005kb)  file:a.cpp  line:1", "data:<first> [66 69 72 73 74]")},
            31, 4));
    EXPECT_EQ(CheckMemoryAllocations(), 0);

    // Resizing the newest block keeps it the newest.
    fresh = ReallocMemory(fresh, 3, "", 10);
    void* newest = AllocText("n", "", 11);
    StartLogFile();
    DumpMemoryAllocations();
    EXPECT_EQ(
        LogText().find(Record(newest, "size:1(0.001kb)  file:  line:11", "data:<n> [6e]") +
                       Record(fresh, "size:3(0.003kb)  file:  line:10", "data:<hi.> [68 69 00]")),
        LogText().find("0:\t"));
    for (void* block : {first, middle, last, fresh, newest}) FreeMemory(block);
}

TEST_F(TrackedMemoryTest, ZeroedAllocationClearsTheBlock) {
    void* block = AllocZeroedMemory(64, "", 0);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::memcmp(block, std::string(64, '\0').data(), 64), 0);
    FreeMemory(block);
}

TEST_F(TrackedMemoryTest, HeapRefusalDumpsTheListAndReturnsNull) {
    void* kept = AllocText("keep", "kept.cpp", 4);
    StartLogFile();

    platform::Profile().failures.heap.failAllocationNumber = 1;
    EXPECT_EQ(AllocMemory(8, "", 0), nullptr);
    const std::string dump =
        Dump({Record(kept, "size:4(0.004kb)  file:kept.cpp  line:4", "data:<keep> [6b 65 65 70]")},
             4, 1);
    EXPECT_EQ(LogText(), dump);

    platform::Profile().failures.heap.failAllocationNumber = 1;
    EXPECT_EQ(ReallocMemory(kept, 4096, "", 0), nullptr);
    EXPECT_EQ(LogText(), dump + dump);
    EXPECT_EQ(std::memcmp(kept, "keep", 4), 0);
    EXPECT_EQ(CheckMemoryAllocations(), 0);
    FreeMemory(kept);
}

TEST_F(TrackedMemoryTest, SizesTheHeaderCannotHoldAreRefused) {
    void* block = AllocText("ok", "", 0);
    for (size_t size : {MaxTrackedBlockSize + 1, SIZE_MAX, SIZE_MAX - 16}) {
        EXPECT_EQ(AllocMemory(size, "", 0), nullptr);
        EXPECT_EQ(ReallocMemory(block, size, "", 0), nullptr);
    }
    EXPECT_EQ(std::memcmp(block, "ok", 2), 0);
    EXPECT_EQ(CheckMemoryAllocations(), 0);
    FreeMemory(block);
}

struct DamageCase {
    size_t offset;          // into the header
    const char* described;  // the damaged block's record, as the check shows it
};

void PrintTo(const DamageCase& c, std::ostream* out) { *out << "header byte " << c.offset; }

class HeaderDamageTest : public TrackedMemoryTest,
                         public ::testing::WithParamInterface<DamageCase> {};

TEST_P(HeaderDamageTest, CheckReportsTheDamagedBlock) {
    void* older = AllocText("old", "old.cpp", 1);
    void* newer = AllocText("new", "new.cpp", 2);
    StartLogFile();

    unsigned char* byte = reinterpret_cast<unsigned char*>(HeaderOf(older)) + GetParam().offset;
    const unsigned char original = *byte;
    *byte = 'X';
    EXPECT_EQ(CheckMemoryAllocations(), -1);
    EXPECT_EQ(LogText(),
              "0:以下のメモリ確保情報が破損しました" +
                  Record(older, GetParam().described, "data:<old> [6f 6c 64]").substr(2));

    *byte = original;
    EXPECT_EQ(CheckMemoryAllocations(), 0);
    FreeMemory(newer);
    FreeMemory(older);
}

INSTANTIATE_TEST_SUITE_P(Bytes, HeaderDamageTest,
                         ::testing::Values(DamageCase{0, "size:3(0.003kb)  file:Xld.cpp  line:1"},
                                           DamageCase{offsetof(MemoryBlockFields, line),
                                                      "size:3(0.003kb)  file:old.cpp  line:88"},
                                           DamageCase{offsetof(MemoryBlockHeader, guard) + 1,
                                                      "size:3(0.003kb)  file:old.cpp  line:1"},
                                           DamageCase{sizeof(MemoryBlockHeader) - 1,
                                                      "size:3(0.003kb)  file:old.cpp  line:1"}));

TEST_F(TrackedMemoryTest, IdWrapsFrom65535ToZero) {
    void* block = AllocMemory(1, "", 0);
    while (HeaderOf(block)->fields.ID != 65535) {
        FreeMemory(block);
        block = AllocMemory(1, "", 0);
    }
    void* next = AllocMemory(1, "", 0);
    EXPECT_EQ(HeaderOf(next)->fields.ID, 0);
    FreeMemory(next);
    FreeMemory(block);
}

}  // namespace
