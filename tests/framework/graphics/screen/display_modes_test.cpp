// The display-mode list: only modes of 16 bits and more, the out-of-range
// entry, the search that ignores the refresh rate, and an empty list after a
// refused allocation.
#include <gtest/gtest.h>

#include "framework/graphics/screen/display_modes.h"
#include "platform/platform.h"
#include "platform/profile/machine_profile.h"

namespace {

class DisplayModesTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::ResetMachine();
        ForgetDisplayModes();
        platform::Profile().display.displayModes = {
            {640, 480, 8, 60}, {640, 480, 16, 75}, {800, 600, 32, 60}, {1024, 768, 8, 60}, {640, 480, 32, 0}};
    }
    void TearDown() override {
        ForgetDisplayModes();
        platform::ResetMachine();
    }
};

TEST_F(DisplayModesTest, ListsOnlyModesOfSixteenBitsAndMore) {
    ASSERT_EQ(GetDisplayModeCount(), 3);
    const DisplayModeRecord expected[] = {{640, 480, 16, 75}, {800, 600, 32, 60}, {640, 480, 32, 0}};
    for (int index = 0; index < 3; ++index) {
        const DisplayModeRecord mode = GetDisplayModeEntry(index);
        EXPECT_EQ(mode.width, expected[index].width) << index;
        EXPECT_EQ(mode.height, expected[index].height) << index;
        EXPECT_EQ(mode.colorBits, expected[index].colorBits) << index;
        EXPECT_EQ(mode.refreshRate, expected[index].refreshRate) << index;
    }
    for (int index : {-1, 3}) {
        const DisplayModeRecord mode = GetDisplayModeEntry(index);
        EXPECT_EQ(mode.width, -1);
        EXPECT_EQ(mode.height, -1);
        EXPECT_EQ(mode.colorBits, -1);
        EXPECT_EQ(mode.refreshRate, -1);
    }
}

TEST_F(DisplayModesTest, FindsAModeWhateverItsRefreshRate) {
    struct Case {
        int width, height, bits, found;
    } cases[] = {{640, 480, 16, 1}, {640, 480, 32, 1}, {800, 600, 32, 1},
                 {640, 480, 8, 0},  {1024, 768, 8, 0}, {800, 600, 16, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(FindDisplayMode(c.width, c.height, c.bits), c.found) << c.width << "x" << c.height << "x" << c.bits;
}

TEST_F(DisplayModesTest, ARefusedAllocationLeavesAnEmptyListAndTheNextListingBuildsIt) {
    platform::Profile().failures.heap.failAllocationNumber = 1;
    EXPECT_EQ(GetDisplayModeCount(), 0);
    EXPECT_EQ(FindDisplayMode(640, 480, 16), 0);

    int count = -5;
    DisplayModeRecord* list = nullptr;
    ListDisplayModes(&count, &list);
    EXPECT_EQ(count, 3);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list[2].colorBits, 32);
    ListDisplayModes(&count, &list);  // frees the list it is handed
    EXPECT_EQ(count, 3);
    HeapFree(GetProcessHeap(), 0, list);
}

}  // namespace
