// The loading screen's first frame on both render paths: the same draw is
// seen, and the captured frame shows the cell at its place.
#include <gtest/gtest.h>

#include "game/framework/resource_managers.h"
#include "tests/support/game/game_test.h"

namespace {

class RenderPathTest : public gametest::GameTest, public testing::WithParamInterface<gametest::RenderPath> {};

TEST_P(RenderPathTest, TheLoadingCellIsSeenAndDrawnAlike) {
    ASSERT_TRUE(StartFramework(GetParam()));
    WriteLoadingSheet();
    ReloadLoadingDrawer();
    const char* names[] = {nullptr};
    int handles[1] = {};
    ASSERT_TRUE(LoadTexturesWithProgress(names, nullptr, handles, 1));
    ASSERT_EQ(OpenFrameDraws().size(), 1u);
    EXPECT_EQ(gametest::Describe(OpenFrameDraws()[0]),
              "DrawGraphicPart now_loading.png 384,440 part 0,0,256,32 trans 0 blend 0/0 bright 255,255,255");
    int width = 0, height = 0;
    const std::vector<uint32_t> pixels = CaptureFrame(&width, &height);
    ASSERT_EQ(width, 640);
    ASSERT_EQ(height, 480);
    // The sheet's blue, within what a 16-bit screen keeps of it.
    const uint32_t inside = pixels[450 * 640 + 500];
    EXPECT_NEAR(static_cast<int>((inside >> 16) & 0xFF), 0x33, 8);
    EXPECT_NEAR(static_cast<int>((inside >> 8) & 0xFF), 0x66, 8);
    EXPECT_NEAR(static_cast<int>(inside & 0xFF), 0xCC, 8);
    EXPECT_EQ(pixels[430 * 640 + 500], 0u);
    EXPECT_EQ(pixels[450 * 640 + 380], 0u);
}

INSTANTIATE_TEST_SUITE_P(BothPaths, RenderPathTest,
                         testing::Values(gametest::RenderPath::Software, gametest::RenderPath::OpenGL),
                         [](const testing::TestParamInfo<gametest::RenderPath>& info) {
                             return info.param == gametest::RenderPath::OpenGL ? std::string("OpenGL")
                                                                                : std::string("Software");
                         });

}  // namespace
