// The public draws on the hardware path: the vertices they hand the device
// for the same scene the software golden frames draw, the mirrored and part
// identities, and the four corners in their order.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "framework/base/base_functions.h"
#include "framework/base/framework_state.h"
#include "framework/graphics/draws/device_draws.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/draws/graphic_draws.h"
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

// Subtraction on a device without blend operations: the box around the draw
// is inverted, the graphic multiplied in and the box inverted again. A pixel
// of the graphic outside the box would be multiplied, not subtracted, so the
// box holds every pixel the graphic's triangles cover: those whose centres
// (whole coordinates, the top and left edges included) lie inside them. Cut
// toward zero, the box of a draw at 10.7 left out its last column and row.
TEST_F(PublicHardwareDrawsTest, TheEmulatedSubtractInvertsEveryPixelTheGraphicCovers) {
    Direct3DDevice.blendOperationCapable = 0;
    const int h = MakeTextureGraphic(32, 16, {32}, {16});
    SetBlendModeAndParam(3, 200);
    const std::function<int()> draws[] = {
        [&] { return DrawGraphicStretchedF(10.7f, 20.6f, 42.7f, 36.6f, h, 1); },
        [&] { return DrawGraphicStretchedF(10.5f, 20.5f, 42.5f, 36.5f, h, 1); },
        [&] { return DrawGraphicStretchedF(42.2f, 36.9f, 10.2f, 20.1f, h, 1); },
        [&] { return DrawGraphicStretchedF(-3.3f, -5.8f, 29.2f, 21.1f, h, 1); },
        [&] { return DrawGraphicFourCornersF(10.7f, 20.6f, 42.7f, 22.1f, 44.2f, 38.1f, 12.2f, 36.6f, h, 1); },
        [&] { return DrawGraphicRectStretchedF(10.7f, 20.6f, 30.7f, 40.6f, 4, 4, 8, 8, h, 1); },
    };
    for (size_t i = 0; i < std::size(draws); ++i) {
        Calls().clear();
        ASSERT_EQ(draws[i](), 0) << i;
        FlushVertexBatch();
        std::vector<std::vector<BatchVertex>> boxes;
        std::vector<BatchVertexTex1> graphic;
        for (const auto& call : CallsNamed("DrawPrimitiveUP")) {
            if (call.arguments[2].integer == static_cast<int64_t>(sizeof(BatchVertex))) {
                boxes.push_back(VerticesOf<BatchVertex>(call));
            } else {
                const auto vertices = VerticesOf<BatchVertexTex1>(call);
                graphic.insert(graphic.end(), vertices.begin(), vertices.end());
            }
        }
        ASSERT_EQ(boxes.size(), 2u) << i;
        ASSERT_EQ(boxes[0].size(), 6u) << i;
        ASSERT_FALSE(graphic.empty()) << i;
        float boxLeft = boxes[0][0].x, boxRight = boxLeft, boxTop = boxes[0][0].y, boxBottom = boxTop;
        for (const BatchVertex& v : boxes[0]) {
            boxLeft = std::min(boxLeft, v.x);
            boxRight = std::max(boxRight, v.x);
            boxTop = std::min(boxTop, v.y);
            boxBottom = std::max(boxBottom, v.y);
        }
        float left = graphic[0].x, right = left, top = graphic[0].y, bottom = top;
        for (const BatchVertexTex1& v : graphic) {
            left = std::min(left, v.x);
            right = std::max(right, v.x);
            top = std::min(top, v.y);
            bottom = std::max(bottom, v.y);
        }
        // The box covers the pixels from its left edge up to its right edge;
        // the graphic those from ceil(left) up to ceil(right).
        EXPECT_LE(boxLeft, std::ceil(left)) << i;
        EXPECT_GE(boxRight, std::ceil(right)) << i;
        EXPECT_LE(boxTop, std::ceil(top)) << i;
        EXPECT_GE(boxBottom, std::ceil(bottom)) << i;
        // No wider than the pixels the graphic reaches into.
        EXPECT_GE(boxLeft, std::floor(left)) << i;
        EXPECT_LE(boxRight, std::ceil(right) + 1.0f) << i;
        if (i == 0) {
            // The pixels 11 to 42 and 21 to 36 are drawn; the box reaches one
            // further left and up, which the two inversions leave as it was.
            EXPECT_EQ(boxLeft, 10.0f);
            EXPECT_EQ(boxTop, 20.0f);
            EXPECT_EQ(boxRight, 43.0f);
            EXPECT_EQ(boxBottom, 37.0f);
        }
        // The second inversion is the same box.
        ASSERT_EQ(boxes[1].size(), 6u) << i;
        EXPECT_EQ(std::memcmp(boxes[0].data(), boxes[1].data(), 6 * sizeof(BatchVertex)), 0) << i;
    }
    Direct3DDevice.blendOperationCapable = 1;
}

// With the subtract emulated and its box worked out, coordinates at the ends
// of the int range and floats beyond it draw nothing on the screen.
TEST_F(PublicHardwareDrawsTest, CoordinatesAtTheEndsOfTheRangeStayOffTheScreen) {
    Direct3DDevice.blendOperationCapable = 0;
    const int h = MakeTextureGraphic(64, 32, {64}, {32});
    SetBlendModeAndParam(3, 200);
    constexpr int kMax = INT_MAX;
    constexpr int kMin = INT_MIN;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::function<int()> draws[] = {
        [&] { return DrawGraphicAtPoint(kMax - 4, kMax - 4, h, 1); },
        [&] { return DrawGraphicMirrored(kMax - 4, kMin, h, 1); },
        [&] { return DrawGraphicPart(kMax - 10, 0, 0, 0, 100, 100, h, 1, 0); },
        [&] { return DrawGraphicPart(10, 10, kMin, 0, 8, 8, h, 1, 0); },
        [&] { return DrawGraphicPart(10, 10, kMax, kMax, 8, 8, h, 1, 1); },
        [&] { return DrawGraphicStretchedF(1e10f, 0.0f, 3e10f, 10.0f, h, 1); },
        [&] { return DrawGraphicStretchedF(nan, 0.0f, 10.0f, nan, h, 1); },
        [&] { return DrawGraphicRotatedF(3e9f, 3e9f, 1.0, 0.5, h, 1, 0); },
        [&] { return DrawGraphicRotated(kMax, kMax, 1.0, 0.0, h, 1, 0); },
        [&] { return DrawGraphicFourCornersF(1e20f, 1e20f, 2e20f, 1e20f, 2e20f, 2e20f, 1e20f, 2e20f, h, 1); },
        [&] { return DrawGraphicRectStretchedF(1e10f, 1e10f, 3e10f, 3e10f, 0, 0, 8, 8, h, 1); },
        [&] { return DrawRectFrame(kMin, kMin, kMin, kMin, 0xFFFF); },
        [&] { return DrawRectFrame(kMax, kMax, kMax, kMax, 0xFFFF); },
    };
    for (size_t i = 0; i < std::size(draws); ++i) {
        Calls().clear();
        draws[i]();
        FlushVertexBatch();
        // No triangle that reaches the device covers a pixel centre of the
        // screen (a corner moved onto the draw area's edge leaves it flat).
        for (const auto& call : CallsNamed("DrawPrimitiveUP")) {
            const size_t stride = static_cast<size_t>(call.arguments[2].integer);
            for (size_t at = 0; at + 3 * stride <= call.vertices.size(); at += 3 * stride) {
                float low[2] = {0, 0}, high[2] = {0, 0};
                for (int corner = 0; corner < 3; ++corner) {
                    float xy[2];
                    std::memcpy(xy, call.vertices.data() + at + corner * stride, sizeof xy);
                    for (int axis = 0; axis < 2; ++axis) {
                        low[axis] = corner == 0 ? xy[axis] : std::min(low[axis], xy[axis]);
                        high[axis] = corner == 0 ? xy[axis] : std::max(high[axis], xy[axis]);
                    }
                }
                const bool covers = std::max(std::ceil(low[0]), 0.0f) < std::min(std::ceil(high[0]), 640.0f) &&
                                    std::max(std::ceil(low[1]), 0.0f) < std::min(std::ceil(high[1]), 480.0f);
                EXPECT_FALSE(covers) << "draw " << i << ": " << low[0] << "," << low[1] << " to " << high[0] << ","
                                     << high[1];
            }
        }
    }
    Direct3DDevice.blendOperationCapable = 1;
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

// A part that shows none of the graphic hands the device nothing and gives 0;
// a blend graphic narrower than the part and a deleted handle are refused.
TEST_F(PublicHardwareDrawsTest, ARectStretchedOfNoPartDrawsNothingAndRefusalsStay) {
    const int h = MakeTextureGraphic(96, 40, {64, 32}, {32, 8});
    const int gone = MakeTextureGraphic(8, 8, {8}, {8});
    DeleteGraphicHandle(gone, 0);
    const int liveBefore = GraphicHandleTable.liveCount;
    struct Case {
        const char* name;
        int sx, sy, w, h;
    } const nothing[] = {
        {"no width", 8, 8, 0, 8},
        {"negative height", 8, 8, 8, -1},
        {"at the right edge", 96, 0, 8, 8},
        {"at the bottom edge", 0, 40, 8, 8},
        {"corner left of the graphic", -4, 0, 8, 8},
    };
    for (const Case& c : nothing) {
        EXPECT_EQ(DrawGraphicRectStretchedF(10, 10, 50, 50, c.sx, c.sy, c.w, c.h, h, 1), 0) << c.name;
        EXPECT_TRUE(Flushed().empty()) << c.name;
    }
    EXPECT_EQ(DrawGraphicRectStretchedF(10, 10, 50, 50, 0, 0, 8, 8, gone, 1), -1);
    const int blend = MakeTextureGraphic(16, 16, {16}, {16});
    ASSERT_EQ(SetBlendGraphicAndParams(blend, 0, 0), 0);
    EXPECT_EQ(DrawGraphicRectStretchedF(10, 10, 50, 50, 0, 0, 32, 8, h, 1), -1);
    EXPECT_TRUE(Flushed().empty());
    EXPECT_EQ(DrawGraphicRectStretchedF(10, 10, 50, 50, 60, 30, 16, 16, h, 1), 0);
    EXPECT_FALSE(Flushed().empty());
    SetBlendGraphicAndParams(-1, 0, 0);
    EXPECT_EQ(GraphicHandleTable.liveCount, liveBefore + 1);
}

}  // namespace
}  // namespace graphicstest
