// The present hook: the seam a benchmark times the present with, around
// every present and only while it is set.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/base/framework_state.h"
#include "framework/graphics/draws/graphic_draws.h"
#include "framework/graphics/screen/screen_flip.h"
#include "framework/window/main_window_state.h"
#include "platform/user/window_records.h"
#include "tests/framework/graphics/hardware_graphics_test_support.h"

namespace graphicstest {
namespace {

// What the hook saw: the phase, and the window's pixel (3, 3) at that time.
std::vector<std::string> Seen;

uint32_t WindowPixel(int x, int y) {
    auto record = platform::detail::FindWindowRecord(MainWindow.windowHandle);
    return record->pixels[static_cast<size_t>(y * record->pixelWidth + x)];
}

void RecordPresent(int phase) {
    char text[32];
    std::snprintf(text, sizeof text, "%d 0x%06X", phase, WindowPixel(3, 3));
    Seen.push_back(text);
}

class PresentHookTest : public HardwareGraphicsTest {
protected:
    void SetUp() override {
        HardwareGraphicsTest::SetUp();
        Seen.clear();
        SoftwareRenderOnlyFlag = 1;
        MakeWindow(1);
        ASSERT_EQ(InitGraphicsSystem(), 0);
        FrameworkInitialised = 1;
        SetWaitVSyncFlag(0);
    }
    void TearDown() override {
        SetPresentHook(nullptr);
        FrameworkInitialised = 0;
        HardwareGraphicsTest::TearDown();
    }
};

TEST_F(PresentHookTest, TheHookIsCalledAroundEachPresentWhileSet) {
    SetPresentHook(&RecordPresent);
    DrawRectFilled(0, 0, 8, 8, 0xF800);
    ASSERT_EQ(PresentBackBuffer(), 0);
    // Before the present the window is still black; after it, red.
    EXPECT_EQ(Seen, (std::vector<std::string>{"0 0x000000", "1 0xFF0000"}));

    // A present that shows nothing is seen too, and keeps its result.
    Seen.clear();
    FrameworkInitialised = 0;
    EXPECT_EQ(PresentBackBuffer(), -1);
    EXPECT_EQ(Seen.size(), 2u);
    FrameworkInitialised = 1;

    // Taken away, the present goes on as before, unseen.
    Seen.clear();
    SetPresentHook(nullptr);
    DrawRectFilled(0, 0, 8, 8, 0x001F);
    ASSERT_EQ(PresentBackBuffer(), 0);
    EXPECT_EQ(WindowPixel(3, 3), 0x0000FFu);
    EXPECT_TRUE(Seen.empty());
}

}  // namespace
}  // namespace graphicstest
