// The public draws on the hardware path: the vertices they hand the device
// for the same scene the software golden frames draw, the mirrored and part
// identities, and the four corners in their order.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "framework/base/base_functions.h"
#include "framework/base/framework_state.h"
#include "framework/graphics/device_draws.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/graphic_draws.h"
#include "tests/framework/graphics/device_test_support.h"

namespace graphicstest {
namespace {

class PublicHardwareDrawsTest : public HardwareDrawTest {
protected:
    void SetUp() override {
        HardwareDrawTest::SetUp();
        FrameworkInitialised = 1;
    }
    void TearDown() override {
        FrameworkInitialised = 0;
        HardwareDrawTest::TearDown();
    }
    // Every vertex the batch sends, in order.
    std::vector<BatchVertexTex1> Flushed() {
        Calls().clear();
        FlushVertexBatch();
        std::vector<BatchVertexTex1> all;
        for (const auto& call : CallsNamed("DrawPrimitiveUP")) {
            const auto vertices = VerticesOf<BatchVertexTex1>(call);
            all.insert(all.end(), vertices.begin(), vertices.end());
        }
        Calls().clear();
        return all;
    }
    // The leftmost and rightmost vertex.
    static std::pair<BatchVertexTex1, BatchVertexTex1> Ends(const std::vector<BatchVertexTex1>& vertices) {
        auto byX = [](const BatchVertexTex1& a, const BatchVertexTex1& b) { return a.x < b.x; };
        return {*std::min_element(vertices.begin(), vertices.end(), byX),
                *std::max_element(vertices.begin(), vertices.end(), byX)};
    }
};

TEST_F(PublicHardwareDrawsTest, TheSceneSendsWhatTheDeviceDrawsGiveInModesZeroToTwo) {
    const int h = MakeTextureGraphic(32, 16, {32}, {16});
    const GraphicRecord* record = GetGraphicRecord(h);
    for (int mode = 0; mode <= 2; ++mode) {
        SetBlendModeAndParam(mode, 160);
        DrawGraphicAtPoint(3, 4, h, 1);
        DrawGraphicMirrored(40, 4, h, 1);
        DrawGraphicStretchedF(230.7f, 10.2f, 170.9f, 50.0f, h, 1);
        DrawGraphicRotatedF(300.6f, 60.2f, 1.7, 0.6, h, 1, 0);
        DrawGraphicRotated(380, 60, 0.8, -2.0, h, 1, 1);
        DrawGraphicFourCorners(20, 200, 52, 200, 52, 216, 20, 216, h, 1);
        DrawRectFilled(300, 200, 340, 230, 0xF800);
        const auto scene = Flushed();

        DrawGraphicOnDevice(record, 3, 4, 3.0f, 4.0f, 1, 1);
        DrawGraphicStretchedOnDevice(72, 4, 40, 20, 72.0f, 4.0f, 40.0f, 20.0f, record, 1, 0);
        DrawGraphicStretchedOnDevice(230, 10, 170, 50, 230.7f, 10.2f, 170.9f, 50.0f, record, 1, 0);
        DrawGraphicRotatedOnDevice(record, 300.6f, 60.2f, 1.7, 0.6, 1, 0);
        DrawGraphicRotatedOnDevice(record, 380.0f, 60.0f, 0.8, -2.0, 1, 1);
        // An axis-aligned quad of int corners is the stretched draw.
        DrawGraphicStretchedOnDevice(20, 200, 52, 216, 20.0f, 200.0f, 52.0f, 216.0f, record, 1, 0);
        DrawRectFilledOnDevice(300, 200, 340, 230, 0xF800);
        const auto direct = Flushed();
        ASSERT_EQ(scene.size(), direct.size()) << "mode " << mode;
        EXPECT_EQ(std::memcmp(scene.data(), direct.data(), scene.size() * sizeof(BatchVertexTex1)), 0) << mode;
    }
}

TEST_F(PublicHardwareDrawsTest, MirroredCoversTheSameRectangleWithTheTextureReversed) {
    const int h = MakeTextureGraphic(32, 16, {32}, {16});
    DrawGraphicAtPoint(10, 20, h, 1);
    const auto plain = Flushed();
    DrawGraphicMirrored(10, 20, h, 1);
    const auto mirrored = Flushed();
    ASSERT_EQ(plain.size(), 6u);
    ASSERT_EQ(mirrored.size(), 6u);
    const auto [plainLeft, plainRight] = Ends(plain);
    const auto [mirroredLeft, mirroredRight] = Ends(mirrored);
    EXPECT_EQ(plainLeft.x, 9.5f);
    EXPECT_EQ(plainRight.x, 41.5f);
    EXPECT_EQ(mirroredLeft.x, 9.5f);
    EXPECT_EQ(mirroredRight.x, 41.5f);
    EXPECT_EQ(plainLeft.u, 0.0f);
    EXPECT_EQ(mirroredLeft.u, 1.0f);
    EXPECT_EQ(mirroredRight.u, 0.0f);
    for (const auto& v : mirrored) EXPECT_TRUE(v.y == 19.5f || v.y == 35.5f) << v.y;
}

TEST_F(PublicHardwareDrawsTest, APartIsClippedToItsColumnAndTheAreaComesBack) {
    const int h = MakeTextureGraphic(64, 32, {64}, {32});
    SetDrawAreaRect(0, 0, 400, 300);
    ASSERT_EQ(DrawGraphicPart(100, 50, 32, 0, 32, 32, h, 1, 0), 0);
    const auto part = Flushed();
    ASSERT_FALSE(part.empty());
    // The graphic lies at 68 (pixel centres half a pixel in); only its second
    // column is inside the part's area.
    const auto [left, right] = Ends(part);
    EXPECT_GE(left.x, 99.5f);
    EXPECT_LE(left.x, 100.0f);
    EXPECT_LE(right.x, 132.0f);
    EXPECT_GE(right.x, 131.5f);
    EXPECT_FLOAT_EQ(left.u, (left.x - 67.5f) / 64.0f);
    EXPECT_FLOAT_EQ(right.u, (right.x - 67.5f) / 64.0f);
    EXPECT_EQ(CurrentDrawSettings.drawArea.right, 400);
    EXPECT_EQ(CurrentDrawSettings.drawAreaFloat[2], 400.0f);
}

TEST_F(PublicHardwareDrawsTest, FourCornersGoTopLeftTopRightBottomRightBottomLeft) {
    const int h = MakeTextureGraphic(32, 16, {32}, {16});
    // A parallelogram: the graphic's corners in the caller's order.
    DrawGraphicFourCornersF(10, 10, 42, 14, 46, 30, 14, 26, h, 1);
    const auto quad = Flushed();
    ASSERT_EQ(quad.size(), 6u);
    // The batch's order: top-left, top-right, bottom-left; bottom-right,
    // bottom-left, top-right.
    const float expected[4][4] = {{9.5f, 9.5f, 0, 0}, {41.5f, 13.5f, 1, 0}, {13.5f, 25.5f, 0, 1}, {45.5f, 29.5f, 1, 1}};
    const int order[6] = {0, 1, 2, 3, 2, 1};
    for (int i = 0; i < 6; ++i) {
        EXPECT_FLOAT_EQ(quad[i].x, expected[order[i]][0]) << i;
        EXPECT_FLOAT_EQ(quad[i].y, expected[order[i]][1]) << i;
        EXPECT_FLOAT_EQ(quad[i].u, expected[order[i]][2]) << i;
        EXPECT_FLOAT_EQ(quad[i].v, expected[order[i]][3]) << i;
    }
}

TEST_F(PublicHardwareDrawsTest, ADeletedHandleIsRefusedAndAnEmptyAreaDrawsNothing) {
    const int h = MakeTextureGraphic(32, 16, {32}, {16});
    const int gone = MakeTextureGraphic(8, 8, {8}, {8});
    DeleteGraphicHandle(gone, 0);
    EXPECT_EQ(DrawGraphicAtPoint(0, 0, gone, 1), -1);
    EXPECT_EQ(DrawGraphicFourCorners(0, 0, 9, 1, 8, 8, 1, 9, gone, 1), -1);
    SetDrawAreaRect(5, 5, 5, 40);
    EXPECT_EQ(DrawGraphicAtPoint(0, 0, h, 1), 0);
    EXPECT_EQ(DrawGraphicRotated(20, 20, 1.0, 0.3, h, 1, 0), 0);
    EXPECT_EQ(DrawRectFrame(0, 0, 20, 20, 0xFFFF), 0);
    EXPECT_TRUE(Flushed().empty());
}

// A part stretched hands the device what the stretched draw of a graphic
// showing that part does: across texture pieces, mirrored and clipped by the
// draw area; and no graphic is left behind.
TEST_F(PublicHardwareDrawsTest, ARectStretchedIsTheStretchedDrawOfThePart) {
    const int h = MakeTextureGraphic(96, 40, {64, 32}, {32, 8});
    SetDrawAreaRect(0, 0, 400, 300);
    const int liveBefore = GraphicHandleTable.liveCount;
    struct Case {
        float x1, y1, x2, y2;
        int sx, sy, w, h;
        int partWidth, partHeight;  // after the cut at the graphic's edges
    } cases[] = {
        {10.9f, 20.2f, 70.5f, 52.7f, 50, 20, 30, 16, 30, 16},
        {230.7f, 10.2f, 170.9f, 50.0f, 0, 0, 96, 40, 96, 40},
        {380.0f, 280.0f, 420.0f, 332.0f, 60, 30, 60, 60, 36, 10},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(DrawGraphicRectStretchedF(c.x1, c.y1, c.x2, c.y2, c.sx, c.sy, c.w, c.h, h, 1), 0);
        const auto drawn = Flushed();
        ASSERT_FALSE(drawn.empty());
        const int part = MakePartGraphic(h, c.sx, c.sy, c.partWidth, c.partHeight);
        DrawGraphicStretchedOnDevice(FloatToInt(c.x1), FloatToInt(c.y1), FloatToInt(c.x2), FloatToInt(c.y2), c.x1,
                                     c.y1, c.x2, c.y2, GetGraphicRecord(part), 1, 0);
        const auto direct = Flushed();
        DeleteGraphicHandle(part, 0);
        ASSERT_EQ(drawn.size(), direct.size()) << c.sx;
        EXPECT_EQ(std::memcmp(drawn.data(), direct.data(), drawn.size() * sizeof(BatchVertexTex1)), 0) << c.sx;
    }
    EXPECT_EQ(GraphicHandleTable.liveCount, liveBefore);
    EXPECT_EQ(GetGraphicRecord(h)->image->referenceCount, 1);
}

}  // namespace
}  // namespace graphicstest
