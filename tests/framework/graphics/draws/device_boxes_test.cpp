#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "framework/graphics/draws/device_draws.h"
#include "tests/framework/graphics/device_test_support.h"

namespace graphicstest {
namespace {

// Boxes on the hardware path and the switch to the sub back buffer.
class DeviceBoxesTest : public HardwareDrawTest {
protected:
    // Draws what the batch holds and returns the untextured vertices drawn.
    std::vector<BatchVertex> Flushed() {
        Calls().clear();
        FlushVertexBatch();
        const auto draws = CallsNamed("DrawPrimitiveUP");
        EXPECT_EQ(draws.size(), 1u);
        if (draws.empty()) return {};
        EXPECT_EQ(draws[0].Text().rfind("DrawPrimitiveUP(4, ", 0), 0u);
        return VerticesOf<BatchVertex>(draws[0]);
    }

    static int White() { return static_cast<int>(MakeScreenColorCode(255, 255, 255)); }
};

struct Band {
    float left, top, right, bottom;
};

// The rectangles that the quads of a run of vertices cover, each quad
// checked to be the two triangles top-left, top-right, bottom-left and
// bottom-right, bottom-left, top-right.
std::vector<Band> Bands(const std::vector<BatchVertex>& vertices) {
    std::vector<Band> bands;
    for (size_t first = 0; first + 6 <= vertices.size(); first += 6) {
        const BatchVertex* v = &vertices[first];
        const Band band = {v[0].x, v[0].y, v[3].x, v[3].y};
        const float expected[6][2] = {{band.left, band.top},    {band.right, band.top},   {band.left, band.bottom},
                                      {band.right, band.bottom}, {band.left, band.bottom}, {band.right, band.top}};
        for (int i = 0; i < 6; ++i) {
            EXPECT_FLOAT_EQ(v[i].x, expected[i][0]) << "vertex " << first + i;
            EXPECT_FLOAT_EQ(v[i].y, expected[i][1]) << "vertex " << first + i;
        }
        bands.push_back(band);
    }
    return bands;
}

TEST_F(DeviceBoxesTest, AFilledBoxCoversItsPixelsWhicheverWayItsCornersCome) {
    EXPECT_EQ(DrawRectFilledOnDevice(10, 10, 20, 30, White()), 0);
    const std::vector<BatchVertex> ordered = Flushed();
    ASSERT_EQ(ordered.size(), 6u);
    const std::vector<Band> bands = Bands(ordered);
    EXPECT_FLOAT_EQ(bands[0].left, 10.0f);
    EXPECT_FLOAT_EQ(bands[0].top, 10.0f);
    EXPECT_FLOAT_EQ(bands[0].right, 20.0f);
    EXPECT_FLOAT_EQ(bands[0].bottom, 30.0f);
    EXPECT_FLOAT_EQ(ordered[0].z, 0.2f);

    EXPECT_EQ(DrawRectFilledOnDevice(20, 30, 10, 10, White()), 0);
    const std::vector<BatchVertex> reversed = Flushed();
    ASSERT_EQ(reversed.size(), ordered.size());
    for (size_t i = 0; i < reversed.size(); ++i) {
        EXPECT_FLOAT_EQ(reversed[i].x, ordered[i].x);
        EXPECT_FLOAT_EQ(reversed[i].y, ordered[i].y);
    }

    // Clipped to the draw area.
    SetDrawAreaRect(15, 0, 640, 25);
    DrawRectFilledOnDevice(10, 10, 20, 30, White());
    const std::vector<Band> clipped = Bands(Flushed());
    ASSERT_EQ(clipped.size(), 1u);
    EXPECT_FLOAT_EQ(clipped[0].left, 15.0f);
    EXPECT_FLOAT_EQ(clipped[0].bottom, 25.0f);
}

TEST_F(DeviceBoxesTest, ABoxWithNothingToCoverQueuesNothing) {
    const struct {
        const char* name;
        int x1, y1, x2, y2;
    } cases[] = {
        {"no width", 10, 10, 10, 20},
        {"no height", 10, 10, 20, 10},
        {"outside the draw area", 700, 0, 800, 10},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DrawRectFilledOnDevice(c.x1, c.y1, c.x2, c.y2, White()), 0) << c.name;
        EXPECT_EQ(DrawVertexBatch.vertexCount, 0) << c.name;
    }
    EXPECT_TRUE(CallsNamed("DrawPrimitiveUP").empty());

    TermGraphicsDevice();
    EXPECT_EQ(DrawRectFilledOnDevice(0, 0, 10, 10, 0), -1);
    EXPECT_EQ(DrawRectFrameOnDevice(0, 0, 10, 10, 0), -1);
}

TEST_F(DeviceBoxesTest, TheBoxColourIsTimesTheBrightColourWithTheBlendParameterAsAlpha) {
    SetDrawBrightnessRGB(128, 128, 128);
    DrawRectFilledOnDevice(0, 0, 4, 4, White());
    std::vector<BatchVertex> vertices = Flushed();
    ASSERT_EQ(vertices.size(), 6u);
    EXPECT_EQ(vertices[0].diffuse, 0xFF808080u);
    EXPECT_EQ(vertices[3].diffuse, 0xFF808080u);

    SetBlendModeAndParam(1, 128);
    SetDrawBrightnessRGB(255, 64, 255);
    DrawRectFrameOnDevice(0, 0, 4, 4, static_cast<int>(MakeScreenColorCode(255, 255, 0)));
    vertices = Flushed();
    ASSERT_EQ(vertices.size(), 24u);
    for (size_t i = 0; i < vertices.size(); i += 3) EXPECT_EQ(vertices[i].diffuse, 0x80FF4000u) << i;
}

TEST_F(DeviceBoxesTest, EachPixelOfAnOutlineIsCoveredOnce) {
    std::map<std::pair<int, int>, int> expected;
    for (int x = 10; x < 20; ++x) {
        expected[{x, 10}] = 1;
        expected[{x, 19}] = 1;
    }
    for (int y = 11; y < 19; ++y) {
        expected[{10, y}] = 1;
        expected[{19, y}] = 1;
    }
    // Given in order, and right to left.
    for (const int x1 : {10, 20}) {
        SCOPED_TRACE(x1);
        EXPECT_EQ(DrawRectFrameOnDevice(x1, 10, 30 - x1, 20, White()), 0);
        std::map<std::pair<int, int>, int> covered;
        for (const Band& band : Bands(Flushed())) {
            for (int y = static_cast<int>(band.top); y < static_cast<int>(band.bottom); ++y) {
                for (int x = static_cast<int>(band.left); x < static_cast<int>(band.right); ++x) ++covered[{x, y}];
            }
        }
        EXPECT_EQ(covered, expected);
    }
}

TEST_F(DeviceBoxesTest, ABoxLetsGoOfTheGraphicsTexture) {
    const int graphic = MakeTextureGraphic(8, 8, {8}, {8});
    DrawGraphicOnDevice(GetGraphicRecord(graphic), 0, 0, 0.0f, 0.0f, 0, 1);
    TakeCalls();
    DrawRectFilledOnDevice(0, 0, 4, 4, White());
    // The graphic's triangles are drawn in their own layout first.
    const auto draws = CallsNamed("DrawPrimitiveUP");
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].Text(), "DrawPrimitiveUP(4, 2, 28)");
    EXPECT_EQ(DeviceStates.texture, nullptr);
    EXPECT_EQ(DeviceStates.stageTexture[0], nullptr);
    EXPECT_EQ(DrawVertexBatch.format, 0);
    EXPECT_EQ(Flushed().size(), 6u);
}

TEST_F(DeviceBoxesTest, ABoxUnderACallersStateBlockStillWritesUntexturedVertices) {
    const int graphic = MakeTextureGraphic(8, 8, {8}, {8});
    DrawGraphicOnDevice(GetGraphicRecord(graphic), 0, 0, 0.0f, 0.0f, 0, 1);
    DrawBlendStateBlock block = {};
    block.alphaFunc = D3DCMP_ALWAYS;
    block.textureFactor = 0xFFFFFFFFu;
    block.srcBlend = block.destBlend = block.blendOp = kBlendStateKept;
    SetDeviceUserStateBlock(&block, 0);
    EXPECT_EQ(DrawVertexBatch.format, 1);
    DrawRectFilledOnDevice(0, 0, 4, 4, White());
    EXPECT_EQ(DrawVertexBatch.format, 0);
    const std::vector<Band> bands = Bands(Flushed());
    ASSERT_EQ(bands.size(), 1u);
    EXPECT_FLOAT_EQ(bands[0].right, 4.0f);
    SetDeviceUserStateBlock(nullptr, 0);
}

TEST_F(DeviceBoxesTest, AnOutlineDrawsTheBatchFirstOnlyWhenItWouldNotFit) {
    DrawRectFilledOnDevice(0, 0, 4, 4, White());  // the untextured states
    FlushVertexBatch();
    const int capacity = BatchFormats[0].capacity;
    const struct {
        int queued;
        D3DPRIMITIVETYPE type;
        bool drawnFirst;
    } cases[] = {
        {capacity - 24, D3DPT_TRIANGLELIST, false},
        {capacity - 23, D3DPT_TRIANGLELIST, true},
        {3, D3DPT_LINELIST, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.queued);
        QueueVertices(c.queued, c.type);
        Calls().clear();
        DrawRectFrameOnDevice(0, 0, 10, 10, White());
        EXPECT_EQ(CallsNamed("DrawPrimitiveUP").size(), c.drawnFirst ? 1u : 0u);
        EXPECT_EQ(DrawVertexBatch.vertexCount, c.drawnFirst ? 24 : capacity);
        FlushVertexBatch();
    }
}

TEST_F(DeviceBoxesTest, TheSubBackBufferIsMadeAndFilledOnce) {
    BeginDeviceScene();
    QueueVertices(3);
    TakeCalls();
    EXPECT_EQ(SwitchToSubBackBuffer(), 0);
    std::vector<std::string> calls = TakeCalls();
    std::erase_if(calls, [](const std::string& call) { return call.rfind("SetFVF(", 0) == 0; });
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[0].rfind("DrawPrimitiveUP", 0), 0u);
    EXPECT_EQ(calls[1], "EndScene()");
    EXPECT_EQ(calls[2].rfind("CreateRenderTarget(", 0), 0u);
    EXPECT_EQ(calls[3], "StretchRect(object, null, object, null, 0)");
    EXPECT_EQ(calls[4], "SetRenderTarget(0, object)");
    EXPECT_EQ(calls[5], "SetViewport(0, 0, 640, 480, 0, 1)");
    EXPECT_EQ(Direct3DDevice.inScene, 0);
    EXPECT_EQ(DeviceStates.renderTarget, Direct3DDevice.subBackBuffer);
    EXPECT_EQ(DeviceStates.forceSet, 0);

    EXPECT_EQ(SwitchToSubBackBuffer(), 0);
    EXPECT_TRUE(TakeCalls().empty());
}

TEST_F(DeviceBoxesTest, ASubBackBufferThatCannotBeMadeLeavesTheTarget) {
    IDirect3DSurface9* target = DeviceStates.renderTarget;
    BeginDeviceScene();
    platform::Profile().failures.direct3d.createRenderTarget = true;
    EXPECT_EQ(SwitchToSubBackBuffer(), -1);
    EXPECT_EQ(Direct3DDevice.inScene, 0);
    EXPECT_EQ(DeviceStates.renderTarget, target);
    EXPECT_TRUE(CallsNamed("SetRenderTarget").empty());
    EXPECT_TRUE(CallsNamed("StretchRect").empty());
}

}  // namespace
}  // namespace graphicstest
