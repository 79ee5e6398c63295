#include <cstdint>
#include <cstring>

#include "platform/kernel/heap_accounting.h"
#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/test_support.h"

namespace {

class HeapTest : public testsupport::PlatformTest {
protected:
    HANDLE heap = GetProcessHeap();
};

TEST_F(HeapTest, BlocksAreAlignedSizedAndZeroFilledOnRequest) {
    for (SIZE_T bytes : {SIZE_T{0}, SIZE_T{1}, SIZE_T{17}, SIZE_T{4096}}) {
        auto* block = static_cast<unsigned char*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, bytes));
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % 16, 0u);
        EXPECT_EQ(HeapSize(heap, 0, block), bytes);
        for (SIZE_T i = 0; i < bytes; ++i) ASSERT_EQ(block[i], 0) << "byte " << i;
        EXPECT_TRUE(HeapFree(heap, 0, block));
    }
}

TEST_F(HeapTest, ReAllocKeepsContentsAndZeroFillsOnlyTheGrownPart) {
    auto* block = static_cast<unsigned char*>(HeapAlloc(heap, 0, 8));
    std::memset(block, 0xAB, 8);
    block = static_cast<unsigned char*>(HeapReAlloc(heap, HEAP_ZERO_MEMORY, block, 100));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(HeapSize(heap, 0, block), 100u);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(block[i], 0xAB);
    for (int i = 8; i < 100; ++i) ASSERT_EQ(block[i], 0) << "byte " << i;
    HeapFree(heap, 0, block);
}

TEST_F(HeapTest, TheNthAllocationFailsCountingReAllocsAndLeavingTheOldBlockValid) {
    void* first = HeapAlloc(heap, 0, 16);
    std::memset(first, 0x5A, 16);
    platform::Profile().failures.heap.failAllocationNumber = 2;  // counted from here
    void* second = HeapAlloc(heap, 0, 16);
    ASSERT_NE(second, nullptr);
    SetLastError(0);
    EXPECT_EQ(HeapReAlloc(heap, 0, first, 64), nullptr);  // the second from here
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(HeapSize(heap, 0, first), 16u);
    EXPECT_EQ(static_cast<unsigned char*>(first)[15], 0x5A);
    void* third = HeapAlloc(heap, 0, 16);  // a single failure only
    EXPECT_NE(third, nullptr);
    EXPECT_EQ(platform::HeapAllocationCount(), 4u);
    for (void* block : {first, second, third}) HeapFree(heap, 0, block);
}

TEST_F(HeapTest, EveryAllocationFailsFromTheNumberOnWhenAsked) {
    platform::Profile().failures.heap.failAllocationNumber = 1;
    platform::Profile().failures.heap.failEveryAllocationFromThere = true;
    EXPECT_EQ(HeapAlloc(heap, 0, 1), nullptr);
    EXPECT_EQ(HeapAlloc(heap, 0, 1), nullptr);
    platform::Profile().failures.heap.failAllocationNumber = 0;
    void* block = HeapAlloc(heap, 0, 1);
    EXPECT_NE(block, nullptr);
    HeapFree(heap, 0, block);
}

TEST_F(HeapTest, InPlaceReAllocMayShrinkButNotGrow) {
    void* block = HeapAlloc(heap, 0, 64);
    EXPECT_EQ(HeapReAlloc(heap, HEAP_REALLOC_IN_PLACE_ONLY, block, 128), nullptr);
    EXPECT_EQ(HeapReAlloc(heap, HEAP_REALLOC_IN_PLACE_ONLY, block, 32), block);
    EXPECT_EQ(HeapSize(heap, 0, block), 32u);
    HeapFree(heap, 0, block);
}

}  // namespace
