#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/graphics/draws/device_draws.h"
#include "framework/graphics/draws/draw_pipeline.h"
#include "tests/framework/graphics/device_test_support.h"

namespace graphicstest {
namespace {

constexpr float kHalfPi = 1.5707963267948966f;

// The hardware draws of graphics: the exact vertices they hand the batch.
class DeviceDrawsTest : public HardwareDrawTest {
protected:
    // Draws what the batch holds and returns the vertices of every draw call.
    template <typename Vertex>
    std::vector<std::vector<Vertex>> FlushedDraws() {
        Calls().clear();
        FlushVertexBatch();
        std::vector<std::vector<Vertex>> draws;
        for (const auto& call : CallsNamed("DrawPrimitiveUP")) draws.push_back(VerticesOf<Vertex>(call));
        Calls().clear();
        return draws;
    }
    std::vector<BatchVertexTex1> OneDraw() {
        const auto draws = FlushedDraws<BatchVertexTex1>();
        EXPECT_EQ(draws.size(), 1u);
        return draws.empty() ? std::vector<BatchVertexTex1>{} : draws[0];
    }

    static const GraphicRecord* Record(int handle) { return GetGraphicRecord(handle); }
};

struct Expected {
    float x, y, u, v;
};

// The six vertices top-left, top-right, bottom-left; bottom-right,
// bottom-left, top-right.
void ExpectQuad(const std::vector<BatchVertexTex1>& vertices, size_t first, const Expected (&corners)[4]) {
    static constexpr int kOrder[6] = {0, 1, 2, 3, 2, 1};
    ASSERT_GE(vertices.size(), first + 6);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(testing::Message() << "vertex " << first + i);
        const BatchVertexTex1& vertex = vertices[first + i];
        const Expected& corner = corners[kOrder[i]];
        EXPECT_FLOAT_EQ(vertex.x, corner.x);
        EXPECT_FLOAT_EQ(vertex.y, corner.y);
        EXPECT_FLOAT_EQ(vertex.u, corner.u);
        EXPECT_FLOAT_EQ(vertex.v, corner.v);
        EXPECT_FLOAT_EQ(vertex.z, 0.2f);
        EXPECT_FLOAT_EQ(vertex.rhw, 1.0f);
    }
}

TEST_F(DeviceDrawsTest, EachPieceIsTwoTrianglesAndTheBatchIsDrawnWhereTheTextureChanges) {
    SetDrawBrightnessRGB(255, 128, 0);
    const int graphic = MakeTextureGraphic(640, 32, {512, 128}, {32});
    EXPECT_EQ(DrawGraphicOnDevice(Record(graphic), 0, 0, 0.0f, 0.0f, 0, 1), 0);
    std::vector<std::string> draws;
    for (const std::string& call : TakeCalls()) {
        if (call.rfind("SetTexture(", 0) == 0 || call.rfind("DrawPrimitiveUP", 0) == 0) draws.push_back(call);
    }
    // The second piece's texture draws the first piece's triangles first.
    EXPECT_EQ(draws, (std::vector<std::string>{"SetTexture(0, object)", "DrawPrimitiveUP(4, 2, 28)",
                                               "SetTexture(0, object)"}));
    EXPECT_EQ(DeviceStates.stageTexture[0], TextureOf(graphic, 1));
    const std::vector<BatchVertexTex1> second = OneDraw();
    ASSERT_EQ(second.size(), 6u);
    ExpectQuad(second, 0, {{511.5f, -0.5f, 0, 0}, {639.5f, -0.5f, 1, 0}, {511.5f, 31.5f, 0, 1}, {639.5f, 31.5f, 1, 1}});
    // The colour is written into the first vertex of each triangle.
    EXPECT_EQ(second[0].diffuse, 0xFFFF8000u);
    EXPECT_EQ(second[3].diffuse, 0xFFFF8000u);
}

TEST_F(DeviceDrawsTest, ASecondIdenticalDrawSendsNothingAndJoinsTheBatch) {
    const int graphic = MakeTextureGraphic(32, 32, {32}, {32}, 1);
    DrawGraphicOnDevice(Record(graphic), 10, 10, 10.0f, 10.0f, 1, 1);
    TakeCalls();
    DrawGraphicOnDevice(Record(graphic), 50, 10, 50.0f, 10.0f, 1, 1);
    EXPECT_TRUE(TakeCalls().empty());
    const std::vector<BatchVertexTex1> vertices = OneDraw();
    EXPECT_EQ(vertices.size(), 12u);
}

TEST_F(DeviceDrawsTest, AGraphicMovedOutOfTheDrawAreaHasItsCornersMovedIn) {
    SetDrawAreaRect(0, 0, 64, 32);
    const int graphic = MakeTextureGraphic(64, 32, {64}, {32});
    DrawGraphicOnDevice(Record(graphic), 0, 0, 0.0f, 0.0f, 0, 1);
    ExpectQuad(OneDraw(), 0, {{-0.5f, -0.5f, 0, 0}, {63.5f, -0.5f, 1, 0}, {-0.5f, 31.5f, 0, 1}, {63.5f, 31.5f, 1, 1}});

    // One pixel left: the left edge comes in to the area's and its texture
    // coordinate with it, so pixel 0 (centre x = 0) still shows texel 1.
    DrawGraphicOnDevice(Record(graphic), -1, 0, -1.0f, 0.0f, 0, 1);
    const float u = 1.5f / 64.0f;
    const float v = 0.5f / 32.0f;
    ExpectQuad(OneDraw(), 0, {{0.0f, 0.0f, u, v}, {62.5f, 0.0f, 1, v}, {0.0f, 31.5f, u, 1}, {62.5f, 31.5f, 1, 1}});

    // A graphic wholly outside is still written, as triangles of no area.
    DrawGraphicOnDevice(Record(graphic), 100, 0, 100.0f, 0.0f, 0, 1);
    const std::vector<BatchVertexTex1> outside = OneDraw();
    ASSERT_EQ(outside.size(), 6u);
    for (const BatchVertexTex1& vertex : outside) EXPECT_FLOAT_EQ(vertex.x, 64.0f);
}

TEST_F(DeviceDrawsTest, AMirroredStretchKeepsItsMappingWhenClipped) {
    const int graphic = MakeTextureGraphic(64, 32, {64}, {32});
    EXPECT_EQ(DrawGraphicStretchedOnDevice(64, 0, 0, 32, 64.0f, 0.0f, 0.0f, 32.0f, Record(graphic), 0, 0), 0);
    ExpectQuad(OneDraw(), 0, {{63.5f, -0.5f, 0, 0}, {-0.5f, -0.5f, 1, 0}, {63.5f, 31.5f, 0, 1}, {-0.5f, 31.5f, 1, 1}});

    // 80 pixels wide from 64 to -16: the part left of the area is cut, and
    // the cut edge shows u = 64 / 80 of the way along.
    DrawGraphicStretchedOnDevice(64, 0, -16, 32, 64.0f, 0.0f, -16.0f, 32.0f, Record(graphic), 0, 0);
    ExpectQuad(OneDraw(), 0,
               {{63.5f, -0.5f, 0, 0}, {-0.5f, -0.5f, 0.8f, 0}, {63.5f, 31.5f, 0, 1}, {-0.5f, 31.5f, 0.8f, 1}});
}

TEST_F(DeviceDrawsTest, AnUnturnedRotationDrawsWhatTheDrawAtAPointDraws) {
    const int graphic = MakeTextureGraphic(64, 32, {64}, {32});
    DrawGraphicOnDevice(Record(graphic), 8, 14, 8.0f, 14.0f, 0, 1);
    const std::vector<BatchVertexTex1> atPoint = OneDraw();
    EXPECT_EQ(DrawGraphicRotatedOnDevice(Record(graphic), 40.0f, 30.0f, 1.0, 0.0, 0, 0), 0);
    const std::vector<BatchVertexTex1> rotated = OneDraw();
    ASSERT_EQ(rotated.size(), atPoint.size());
    for (size_t i = 0; i < rotated.size(); ++i) {
        EXPECT_FLOAT_EQ(rotated[i].x, atPoint[i].x);
        EXPECT_FLOAT_EQ(rotated[i].y, atPoint[i].y);
        EXPECT_FLOAT_EQ(rotated[i].u, atPoint[i].u);
        EXPECT_FLOAT_EQ(rotated[i].v, atPoint[i].v);
    }
}

TEST_F(DeviceDrawsTest, RotatedEdgesAlongTheGridLandOnPixelBorders) {
    const int graphic = MakeTextureGraphic(3, 3, {8}, {8});
    // Centred between pixels, turned by 0 or a right angle: the corners at 9
    // and 12 move to 8.5 and 11.5.
    for (const double angle : {0.0, static_cast<double>(kHalfPi)}) {
        SCOPED_TRACE(angle);
        DrawGraphicRotatedOnDevice(Record(graphic), 10.5f, 10.5f, 1.0, angle, 0, 0);
        for (const BatchVertexTex1& vertex : OneDraw()) {
            EXPECT_TRUE(vertex.x == 8.5f || vertex.x == 11.5f) << vertex.x;
            EXPECT_TRUE(vertex.y == 8.5f || vertex.y == 11.5f) << vertex.y;
        }
    }
    // On the grid, an odd-sized graphic unturned is a square of its own size.
    const float third = 3.0f / 8.0f;
    DrawGraphicRotatedOnDevice(Record(graphic), 10.0f, 10.0f, 1.0, 0.0, 0, 0);
    ExpectQuad(OneDraw(), 0, {{9, 9, 0, 0}, {12, 9, third, 0}, {9, 12, 0, third}, {12, 12, third, third}});
    // Mirrored, the right edge takes the left edge's texels.
    DrawGraphicRotatedOnDevice(Record(graphic), 10.0f, 10.0f, 1.0, 0.0, 0, 1);
    ExpectQuad(OneDraw(), 0, {{11, 9, 0, 0}, {8, 9, third, 0}, {11, 12, 0, third}, {8, 12, third, third}});
}

TEST_F(DeviceDrawsTest, ARectangleIsTwoTrianglesAndATrapezoidAGrid) {
    const int graphic = MakeTextureGraphic(32, 16, {32}, {16});
    const GraphicDrawPiece* piece = &Record(graphic)->drawPieces[0];
    BeginDeviceScene();
    SetupDrawPipeline(Record(graphic)->image, TextureOf(graphic, 0), 0);
    EXPECT_EQ(DrawGraphicFourCornersOnDevice(10, 10, 42, 10, 10.5f, 26, 42.5f, 26, piece), 0);
    ExpectQuad(OneDraw(), 0, {{10, 10, 0, 0}, {42, 10, 1, 0}, {10.5f, 26, 0, 1}, {42.5f, 26, 1, 1}});

    EXPECT_EQ(DrawGraphicFourCornersOnDevice(10, 10, 42, 10, 0, 26, 52, 26, piece), 0);
    const auto grids = CallsNamed("DrawIndexedPrimitiveUP");
    ASSERT_EQ(grids.size(), 1u);
    EXPECT_EQ(grids[0].Text(), "DrawIndexedPrimitiveUP(5, 0, 64, 122, 101, 28)");
    const std::vector<BatchVertexTex1> grid = VerticesOf<BatchVertexTex1>(grids[0]);
    ASSERT_EQ(grid.size(), 64u);
    const struct {
        int row, column;
        Expected at;
    } points[] = {
        {0, 0, {10, 10, 0, 0}},        {0, 7, {42, 10, 1, 0}},       {7, 0, {0, 26, 0, 1}},
        {7, 7, {52, 26, 1, 1}},        {7, 1, {52.0f / 7, 26, 1.0f / 7, 1}},
    };
    for (const auto& point : points) {
        SCOPED_TRACE(testing::Message() << point.row << ", " << point.column);
        const BatchVertexTex1& vertex = grid[point.row * 8 + point.column];
        EXPECT_NEAR(vertex.x, point.at.x, 1e-4);
        EXPECT_NEAR(vertex.y, point.at.y, 1e-4);
        EXPECT_NEAR(vertex.u, point.at.u, 1e-6);
        EXPECT_NEAR(vertex.v, point.at.v, 1e-6);
        EXPECT_EQ(vertex.diffuse, 0xFFFFFFFFu);
        EXPECT_FLOAT_EQ(vertex.rhw, 1.0f);
    }
}

// With a blend graphic set, each vertex also carries the blend graphic's
// coordinate of the graphic's pixel under it.
class BlendGraphicDrawsTest : public DeviceDrawsTest {
protected:
    void SetUp() override {
        DeviceDrawsTest::SetUp();
        const int blendImage = MakeTextureGraphic(64, 64, {64}, {64});
        blendGraphic_ = MakePartGraphic(blendImage, 8, 4, 48, 48);
        ASSERT_EQ(SetBlendGraphicAndParams(blendGraphic_, 0, 0), 0);
        graphic_ = MakeTextureGraphic(16, 16, {16}, {16});
        TakeCalls();
    }

    static float U(float px) { return (8.0f + px) / 64.0f; }
    static float V(float py) { return (4.0f + py) / 64.0f; }

    static void ExpectBlendCorners(const std::vector<BatchVertexTex2>& vertices, const float (&graphicX)[4],
                                   const float (&graphicY)[4]) {
        static constexpr int kOrder[6] = {0, 1, 2, 3, 2, 1};
        ASSERT_EQ(vertices.size(), 6u);
        for (int i = 0; i < 6; ++i) {
            SCOPED_TRACE(i);
            EXPECT_FLOAT_EQ(vertices[i].u0, U(graphicX[kOrder[i]]));
            EXPECT_FLOAT_EQ(vertices[i].v0, V(graphicY[kOrder[i]]));
        }
    }

    int blendGraphic_ = -1;
    int graphic_ = -1;
};

TEST_F(BlendGraphicDrawsTest, SetZeroFollowsTheBlendGraphicsPlace) {
    EXPECT_EQ(DeviceStates.blendTexture, TextureOf(blendGraphic_, 0));
    DrawGraphicOnDevice(Record(graphic_), 100, 50, 100.0f, 50.0f, 0, 1);
    const auto draws = FlushedDraws<BatchVertexTex2>();
    ASSERT_EQ(draws.size(), 1u);
    const std::vector<BatchVertexTex2>& vertices = draws[0];
    ExpectBlendCorners(vertices, {0, 16, 0, 16}, {0, 0, 16, 16});
    EXPECT_FLOAT_EQ(vertices[0].x, 99.5f);
    EXPECT_FLOAT_EQ(vertices[1].u1, 1.0f);
    EXPECT_EQ(vertices[1].specular, 0xFFFFFFFFu);
}

TEST_F(BlendGraphicDrawsTest, AClippedStretchMovesTheBlendCoordinateByTheGraphicsPixels) {
    // Twice the size from x = -8: the area's edge at -0.5 shows the
    // graphic's pixel 4, in its own texture and in the blend graphic's.
    DrawGraphicStretchedOnDevice(-8, 0, 24, 32, -8.0f, 0.0f, 24.0f, 32.0f, Record(graphic_), 0, 0);
    const auto draws = FlushedDraws<BatchVertexTex2>();
    ASSERT_EQ(draws.size(), 1u);
    const BatchVertexTex2& topLeft = draws[0][0];
    EXPECT_FLOAT_EQ(topLeft.x, -0.5f);
    EXPECT_FLOAT_EQ(topLeft.u1, 4.0f / 16.0f);
    EXPECT_FLOAT_EQ(topLeft.u0, U(4.0f));
}

TEST_F(BlendGraphicDrawsTest, AFourCornerDrawWritesBothCoordinateSets) {
    const GraphicDrawPiece* piece = &Record(graphic_)->drawPieces[0];
    BeginDeviceScene();
    SetupDrawPipeline(Record(graphic_)->image, TextureOf(graphic_, 0), 0);
    ASSERT_EQ(DrawVertexBatch.format, 2);
    // Turned a quarter: the blend coordinates stay those of the piece's own
    // corners.
    DrawGraphicFourCornersOnDevice(40, 10, 40, 26, 24, 10, 24, 26, piece);
    const auto draws = FlushedDraws<BatchVertexTex2>();
    ASSERT_EQ(draws.size(), 1u);
    ExpectBlendCorners(draws[0], {0, 16, 0, 16}, {0, 0, 16, 16});
    EXPECT_FLOAT_EQ(draws[0][1].x, 40.0f);
    EXPECT_FLOAT_EQ(draws[0][1].y, 26.0f);
    EXPECT_FLOAT_EQ(draws[0][1].u1, 1.0f);

    DrawGraphicFourCornersOnDevice(10, 10, 26, 10, 0, 26, 36, 26, piece);
    const auto grids = CallsNamed("DrawIndexedPrimitiveUP");
    ASSERT_EQ(grids.size(), 1u);
    EXPECT_EQ(grids[0].Text(), "DrawIndexedPrimitiveUP(5, 0, 64, 122, 101, 40)");
    const std::vector<BatchVertexTex2> grid = VerticesOf<BatchVertexTex2>(grids[0]);
    ASSERT_EQ(grid.size(), 64u);
    EXPECT_NEAR(grid[63].u0, U(16), 1e-6);
    EXPECT_NEAR(grid[63].v0, V(16), 1e-6);
    EXPECT_NEAR(grid[7 * 8 + 0].x, 0.0f, 1e-4);
    EXPECT_NEAR(grid[7 * 8 + 0].u0, U(0), 1e-6);
    EXPECT_NEAR(grid[7 * 8 + 0].v0, V(16), 1e-6);
}

TEST_F(BlendGraphicDrawsTest, DeletingTheBlendGraphicTakesItsTextureOffTheDevice) {
    DeleteGraphicHandle(blendGraphic_, 0);
    EXPECT_EQ(DeviceStates.blendTexture, nullptr);
    EXPECT_EQ(CurrentDrawSettings.blendGraphic, -1);
    DrawGraphicOnDevice(Record(graphic_), 0, 0, 0.0f, 0.0f, 0, 1);
    EXPECT_EQ(DrawVertexBatch.format, 1);
}

TEST_F(DeviceDrawsTest, RefusedDraws) {
    const int graphic = MakeTextureGraphic(16, 16, {16}, {16});
    const GraphicRecord* record = Record(graphic);
    const GraphicDrawPiece* piece = &record->drawPieces[0];
    struct Case {
        const char* name;
        std::function<int()> draw;
    };
    const Case refused[] = {
        {"a stretch of no width", [&] { return DrawGraphicStretchedOnDevice(5, 0, 5, 10, 5, 0, 5, 10, record, 0, 0); }},
        {"a stretch of no height", [&] { return DrawGraphicStretchedOnDevice(0, 5, 9, 5, 0, 5, 9, 5, record, 0, 0); }},
        {"a scale of 0", [&] { return DrawGraphicRotatedOnDevice(record, 10, 10, 0.0, 1.0, 0, 0); }},
    };
    for (const Case& c : refused) EXPECT_EQ(c.draw(), -1) << c.name;
    EXPECT_EQ(DrawVertexBatch.vertexCount, 0);

    TermGraphicsDevice();
    const Case withoutDevice[] = {
        {"at a point", [&] { return DrawGraphicOnDevice(record, 0, 0, 0, 0, 0, 1); }},
        {"stretched", [&] { return DrawGraphicStretchedOnDevice(0, 0, 9, 9, 0, 0, 9, 9, record, 0, 0); }},
        {"rotated", [&] { return DrawGraphicRotatedOnDevice(record, 10, 10, 1.0, 1.0, 0, 0); }},
        {"on four corners", [&] { return DrawGraphicFourCornersOnDevice(0, 0, 9, 0, 0, 9, 9, 9, piece); }},
        {"set up", [&] { return SetupDrawPipeline(record->image, nullptr, 0); }},
    };
    for (const Case& c : withoutDevice) EXPECT_EQ(c.draw(), -1) << c.name;
}

}  // namespace
}  // namespace graphicstest
