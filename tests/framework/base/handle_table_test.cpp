// The handle table every kind of handle uses: the handle layout, the five
// validation tests, slot choice, the check counter, the high-water index and
// the delete-all walk.
#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "framework/base/handle_table.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/test_support.h"

namespace {

constexpr int kKind = 0x10000000;
constexpr int kSlots = 8;

// A record that keeps its check value behind another field, as records of
// some kinds do.
struct TestRecord {
    int payload;
    int check;
};

class HandleTableTest : public testsupport::PlatformTest {
protected:
    void TearDown() override {
        for (int slot = 0; slot < kSlots; ++slot) {
            if (slots_[slot] != nullptr) ReleaseHandleRecord(&table_, Handle(slot));
        }
        testsupport::PlatformTest::TearDown();
    }
    int Alloc() { return AllocHandleRecord(&table_, sizeof(TestRecord), __FILE__, __LINE__); }
    // The live handle of a slot, rebuilt from its record.
    int Handle(int slot) const {
        return MakeHandleValue(kKind, static_cast<const TestRecord*>(slots_[slot])->check, slot);
    }

    void* slots_[kSlots] = {};
    HandleTable table_ = {kKind, kSlots, offsetof(TestRecord, check), slots_, 0, 0, 0};
};

TEST_F(HandleTableTest, AHandleHoldsKindCheckAndSlot) {
    table_.checkCounter = 2046;
    const int first = Alloc();
    const int second = Alloc();
    const int third = Alloc();
    EXPECT_EQ(first, 0x17FE0000);  // check 2046, slot 0
    EXPECT_EQ(second, 0x17FF0001);  // check 2047, slot 1
    EXPECT_EQ(third, 0x10000002);  // the counter wrapped: check 0, slot 2
    EXPECT_EQ(static_cast<TestRecord*>(GetHandleRecord(&table_, second))->check, 2047);
    EXPECT_EQ(table_.liveCount, 3);
    EXPECT_EQ(table_.highWater, 3);
}

TEST_F(HandleTableTest, EachOfTheFiveTestsRefusesAHandle) {
    const int live = Alloc();
    const int stale = Alloc();
    ASSERT_EQ(ReleaseHandleRecord(&table_, stale), 0);
    const int reused = Alloc();  // the same slot with the next check value
    ASSERT_EQ(HandleSlotIndex(reused), HandleSlotIndex(stale));

    const struct {
        const char* what;
        int handle;
    } refused[] = {
        {"negative", -1},
        {"negative with the live bits", live | static_cast<int>(0x80000000u)},
        {"another kind, same slot and check", (live & ~kHandleKindMask) | 0x08000000},
        {"slot beyond the table", MakeHandleValue(kKind, 0, kSlots)},
        {"empty slot", MakeHandleValue(kKind, 0, 5)},
        {"stale check value", stale},
    };
    for (const auto& c : refused) EXPECT_EQ(GetHandleRecord(&table_, c.handle), nullptr) << c.what;
    EXPECT_NE(GetHandleRecord(&table_, live), nullptr);
    EXPECT_NE(GetHandleRecord(&table_, reused), nullptr);
    EXPECT_EQ(ReleaseHandleRecord(&table_, stale), -1);
    EXPECT_EQ(table_.liveCount, 2);
}

TEST_F(HandleTableTest, TheHighWaterIndexDropsPastEmptySlotsAndIsTakenBeforeLowerGaps) {
    std::vector<int> handles;
    for (int i = 0; i < 6; ++i) handles.push_back(Alloc());
    ReleaseHandleRecord(&table_, handles[1]);
    ReleaseHandleRecord(&table_, handles[3]);
    ReleaseHandleRecord(&table_, handles[4]);
    EXPECT_EQ(table_.highWater, 6);  // slot 5 is still in use
    ReleaseHandleRecord(&table_, handles[5]);
    EXPECT_EQ(table_.highWater, 3);  // past the empty slots 4 and 3
    // Slot 1 is free, but the high-water index is taken first.
    EXPECT_EQ(HandleSlotIndex(Alloc()), 3);
    EXPECT_EQ(table_.highWater, 4);

    // Deleting a record below the top leaves the index alone; deleting the
    // last record of all brings it to 0.
    for (int slot : {0, 2, 3}) ReleaseHandleRecord(&table_, Handle(slot));
    EXPECT_EQ(table_.highWater, 0);
    EXPECT_EQ(table_.liveCount, 0);
}

TEST_F(HandleTableTest, AFullRunOfSlotsIsScannedFromSlotZero) {
    std::vector<int> handles;
    for (int i = 0; i < kSlots; ++i) handles.push_back(Alloc());
    EXPECT_EQ(Alloc(), kHandleTableFull);
    ReleaseHandleRecord(&table_, handles[5]);
    ReleaseHandleRecord(&table_, handles[2]);
    EXPECT_EQ(table_.highWater, kSlots);
    EXPECT_EQ(ChooseHandleSlot(&table_), 2);
    EXPECT_EQ(HandleSlotIndex(Alloc()), 2);
    EXPECT_EQ(HandleSlotIndex(Alloc()), 5);
    EXPECT_EQ(ChooseHandleSlot(&table_), -1);
}

TEST_F(HandleTableTest, ARefusedAllocationLeavesTheTableAsItWas) {
    Alloc();
    const HandleTable before = table_;
    platform::Profile().failures.heap.failAllocationNumber = 1;
    EXPECT_EQ(Alloc(), kHandleRecordNotAllocated);
    EXPECT_EQ(table_.liveCount, before.liveCount);
    EXPECT_EQ(table_.highWater, before.highWater);
    EXPECT_EQ(table_.checkCounter, before.checkCounter);
    EXPECT_EQ(slots_[1], nullptr);
}

// The delete of the walk, with the table it works on.
HandleTable* WalkedTable = nullptr;
std::vector<int> Deleted;

int DeleteAndRecord(int handle, int argument) {
    Deleted.push_back(handle);
    EXPECT_EQ(argument, 77);
    return ReleaseHandleRecord(WalkedTable, handle);
}

// Deletes its record and the top record with it.
int DeleteWithTheTop(int handle, int argument) {
    DeleteAndRecord(handle, argument);
    const int top = WalkedTable->highWater - 1;
    if (top >= 0 && WalkedTable->slots[top] != nullptr) {
        const int check = static_cast<const TestRecord*>(WalkedTable->slots[top])->check;
        ReleaseHandleRecord(WalkedTable, MakeHandleValue(WalkedTable->kind, check, top));
    }
    return 0;
}

TEST_F(HandleTableTest, DeleteAllRebuildsEachHandleAndRereadsTheBoundEveryStep) {
    WalkedTable = &table_;
    std::vector<int> handles;
    for (int i = 0; i < 5; ++i) handles.push_back(Alloc());
    ReleaseHandleRecord(&table_, handles[1]);
    Deleted.clear();
    EXPECT_EQ(DeleteAllHandles(&table_, DeleteAndRecord, 77), 0);
    EXPECT_EQ(Deleted, (std::vector<int>{handles[0], handles[2], handles[3], handles[4]}));
    EXPECT_EQ(table_.liveCount, 0);

    // When each deletion takes the top record with it, the walk stops where
    // the records end instead of visiting slots that were emptied under it.
    handles.clear();
    for (int i = 0; i < 4; ++i) handles.push_back(Alloc());
    Deleted.clear();
    DeleteAllHandles(&table_, DeleteWithTheTop, 77);
    EXPECT_EQ(Deleted, (std::vector<int>{handles[0], handles[1]}));
    EXPECT_EQ(table_.liveCount, 0);
    EXPECT_EQ(table_.highWater, 0);
}

}  // namespace
