#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/graphics/device/device_state_setters.h"
#include "framework/graphics/shaders/vertex_declarations.h"
#include "framework/window/main_window_state.h"
#include "tests/framework/graphics/device_test_support.h"

namespace graphicstest {
namespace {

class VertexBatchTest : public DeviceLayerTest {
protected:
    void SetUp() override {
        DeviceLayerTest::SetUp();
        StartWindowed();
        TakeCalls();
    }
};

TEST_F(VertexBatchTest, AFlushDrawsThePrimitivesItsVerticesMake) {
    struct Case {
        D3DPRIMITIVETYPE type;
        int vertices;
        const char* draw;  // null: too few for one primitive, nothing drawn
    };
    const Case cases[] = {
        {D3DPT_TRIANGLELIST, 7, "DrawPrimitiveUP(4, 2, 20)"}, {D3DPT_LINELIST, 5, "DrawPrimitiveUP(2, 2, 20)"},
        {D3DPT_LINESTRIP, 5, "DrawPrimitiveUP(3, 4, 20)"},    {D3DPT_POINTLIST, 4, "DrawPrimitiveUP(1, 4, 20)"},
        {D3DPT_TRIANGLESTRIP, 5, "DrawPrimitiveUP(5, 3, 20)"}, {D3DPT_TRIANGLEFAN, 6, "DrawPrimitiveUP(6, 4, 20)"},
        {D3DPT_TRIANGLESTRIP, 1, nullptr},                    {D3DPT_TRIANGLELIST, 2, nullptr},
    };
    BeginDeviceScene();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << " with " << c.vertices);
        TakeCalls();
        QueueVertices(c.vertices, c.type);
        EXPECT_EQ(FlushVertexBatch(), 0);
        const std::vector<std::string> calls = TakeCalls();
        if (c.draw == nullptr) {
            EXPECT_TRUE(calls.empty());
        } else {
            ASSERT_FALSE(calls.empty());
            EXPECT_EQ(calls.back(), c.draw);
        }
        EXPECT_EQ(DrawVertexBatch.vertexCount, 0);
        EXPECT_EQ(DrawVertexBatch.writePointer, BatchBuffer(0));
    }
}

TEST_F(VertexBatchTest, AnEmptyFlushMakesNoCallAndOpensNoScene) {
    EXPECT_EQ(FlushVertexBatch(), 0);
    EXPECT_TRUE(TakeCalls().empty());
    EXPECT_EQ(Direct3DDevice.inScene, 0);
}

TEST_F(VertexBatchTest, TheFirstDrawOpensASceneAndTheFormatIsSentOnlyWhenItChanges) {
    QueueVertices(3);
    FlushVertexBatch();
    QueueVertices(6);
    FlushVertexBatch();
    DrawVertexBatch.format = 1;
    QueueVertices(3);
    FlushVertexBatch();
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"BeginScene()", "SetFVF(0x44)", "DrawPrimitiveUP(4, 1, 20)",
                                                     "DrawPrimitiveUP(4, 2, 20)", "SetFVF(0x144)",
                                                     "DrawPrimitiveUP(4, 1, 28)"}));
    EXPECT_EQ(DrawVertexBatch.writePointer, BatchBuffer(1));
}

TEST_F(VertexBatchTest, AfterTheQuitOrWithTheDiscardFlagTheBatchIsEmptiedUndrawn) {
    MainWindow.quitFlag = 1;
    QueueVertices(3);
    EXPECT_EQ(FlushVertexBatch(), 0);
    EXPECT_TRUE(TakeCalls().empty());
    EXPECT_EQ(DrawVertexBatch.vertexCount, 0);
    MainWindow.quitFlag = 0;

    DrawVertexBatch.discard = 1;
    QueueVertices(3);
    DrawVertexBatch.userVertexCount = 3;
    EXPECT_EQ(FlushVertexBatch(), 0);
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"BeginScene()"}));
    EXPECT_EQ(DrawVertexBatch.vertexCount, 0);
    EXPECT_EQ(DrawVertexBatch.userVertexCount, 0);
}

TEST_F(VertexBatchTest, UserVerticesAreDrawnFirstInWorldSpaceThenTheWorldMatrixComesBack) {
    for (int i = 0; i < 4; ++i) CurrentDrawSettings.worldMatrix.m[i][i] = 3.0f;
    auto* user = reinterpret_cast<UserVertex*>(BatchBuffer(kUserVertexFormat));
    user[0] = UserVertex{1.0f, 2.0f, 3.0f, 0xFF00FF00u, 0.5f, 0.25f};
    DrawVertexBatch.userVertexCount = 7;
    QueueVertices(3);
    FlushVertexBatch();
    const std::vector<platform::d3d9::RecordedCall>& calls = Calls();
    const std::vector<std::string> texts = platform::d3d9::CallTexts(calls);
    ASSERT_EQ(texts.size(), 7u);
    EXPECT_EQ(texts[0], "BeginScene()");
    EXPECT_EQ(texts[1], "SetFVF(0x142)");
    EXPECT_EQ(texts[2], "SetTransform(256, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1)");
    EXPECT_EQ(texts[3], "DrawPrimitiveUP(4, 2, 24)");
    EXPECT_EQ(texts[4], "SetTransform(256, 3, 0, 0, 0, 0, 3, 0, 0, 0, 0, 3, 0, 0, 0, 0, 3)");
    EXPECT_EQ(texts[5], "SetFVF(0x44)");
    EXPECT_EQ(texts[6], "DrawPrimitiveUP(4, 1, 20)");
    ASSERT_EQ(calls[3].vertices.size(), 6u * sizeof(UserVertex));
    EXPECT_EQ(std::memcmp(calls[3].vertices.data(), &user[0], sizeof(UserVertex)), 0);
    EXPECT_EQ(DrawVertexBatch.userWritePointer, BatchBuffer(kUserVertexFormat));
}

TEST_F(VertexBatchTest, PresetsGiveEveryVertexItsDepthRhwAndSpecular) {
    auto* plain = reinterpret_cast<BatchVertex*>(BatchBuffer(0));
    auto* textured = reinterpret_cast<BatchVertexTex1*>(BatchBuffer(1));
    auto* two = reinterpret_cast<BatchVertexTex2*>(BatchBuffer(2));
    plain[3224] = BatchVertex{1, 2, 3, 4, 5};
    textured[0].rhw = 7.0f;
    two[100].specular = 0;
    PresetBatchBuffers();
    EXPECT_EQ(plain[3224].z, 0.0f);
    EXPECT_EQ(plain[3224].rhw, 1.0f);
    EXPECT_EQ(plain[3224].x, 1.0f);  // draws write the rest
    EXPECT_EQ(textured[0].rhw, 1.0f);
    EXPECT_EQ(two[100].specular, 0xFFFFFFFFu);
    EXPECT_EQ(BatchFormats[0].capacity * BatchFormats[0].stride, 64500u);
    for (const BatchFormat& format : BatchFormats) EXPECT_LT(format.capacity * format.stride, 65536u);
}

std::vector<WORD> IndicesOf(const platform::d3d9::RecordedCall& call) {
    std::vector<WORD> indices(call.indices.size() / 2);
    std::memcpy(indices.data(), call.indices.data(), indices.size() * 2);
    return indices;
}

TEST_F(VertexBatchTest, AnEightByEightGridIsOneStripOf124Indices) {
    std::vector<BatchVertexTex1> grid(64);
    for (int i = 0; i < 64; ++i) grid[i] = BatchVertexTex1{float(i % 8), float(i / 8), 0, 1, 0xFFFFFFFFu, 0, 0};
    QueueVertices(3);
    EXPECT_EQ(DrawIndexedUserVertices(8, grid.data(), 8), 0);
    const std::vector<std::string> texts = platform::d3d9::CallTexts(Calls());
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[2], "DrawPrimitiveUP(4, 1, 20)");  // the batch first
    EXPECT_EQ(texts[3], "SetFVF(0x144)");
    EXPECT_EQ(texts[4], "DrawIndexedPrimitiveUP(5, 0, 64, 122, 101, 28)");
    const std::vector<WORD> indices = IndicesOf(Calls()[4]);
    ASSERT_EQ(indices.size(), 124u);
    const std::vector<WORD> firstRow = {8, 0, 9, 1, 10, 2, 11, 3, 12, 4, 13, 5, 14, 6, 15, 7};
    EXPECT_EQ(std::vector<WORD>(indices.begin(), indices.begin() + 16), firstRow);
    // The repeat and the join between rows make degenerate triangles.
    EXPECT_EQ(indices[16], 7);
    EXPECT_EQ(indices[17], 16);
    EXPECT_EQ(indices[18], 16);
    EXPECT_EQ(indices[19], 8);
    EXPECT_EQ(indices[123], 55);
    EXPECT_EQ(indices[122], 63);
}

TEST_F(VertexBatchTest, AGridTooLongForTheIndexListIsDrawnInSeveralStrips) {
    // 100 columns: 202 indices a row, so four rows fill the list.
    std::vector<BatchVertexTex1> grid(100 * 10);
    EXPECT_EQ(DrawIndexedUserVertices(100, grid.data(), 10), 0);
    std::vector<std::vector<WORD>> strips;
    for (const platform::d3d9::RecordedCall& call : Calls())
        if (call.name == "DrawIndexedPrimitiveUP") strips.push_back(IndicesOf(call));
    ASSERT_EQ(strips.size(), 3u);
    EXPECT_EQ(strips[0].size(), 201u + 3u * 202u);
    EXPECT_EQ(strips[1].size(), 201u + 3u * 202u);
    EXPECT_EQ(strips[2].size(), 200u);
    // A new strip starts on its row with no join.
    EXPECT_EQ(strips[1][0], 500);
    EXPECT_EQ(strips[1][1], 400);
    EXPECT_EQ(strips[2].back(), 899);
}

TEST_F(VertexBatchTest, GridsThatCannotBeOneStripAreRefused) {
    std::vector<BatchVertexTex1> grid(500 * 4);
    EXPECT_EQ(DrawIndexedUserVertices(1, grid.data(), 8), -1);
    EXPECT_EQ(DrawIndexedUserVertices(8, grid.data(), 1), -1);
    EXPECT_EQ(DrawIndexedUserVertices(500, grid.data(), 4), -1);  // a row overflows the index list
    EXPECT_EQ(DrawIndexedUserVertices(2, grid.data(), 40000), -1);  // past what 16-bit indices reach
    EXPECT_TRUE(TakeCalls().empty());
    EXPECT_EQ(DrawIndexedUserVertices(499, grid.data(), 2), 0);
    EXPECT_EQ(TakeCalls().back(), "DrawIndexedPrimitiveUP(5, 0, 998, 996, 101, 28)");
}

TEST_F(VertexBatchTest, FiftyFiveDeclarationsAreMadeAndReleased) {
    ASSERT_EQ(CreateVertexDeclarations(), 0);
    const std::vector<std::string> calls = TakeCalls();
    int made = 0;
    for (const std::string& call : calls) made += call.rfind("CreateVertexDeclaration(", 0) == 0 ? 1 : 0;
    EXPECT_EQ(made, 55);
    for (const auto& layout : ShaderVertexDeclarations)
        for (IDirect3DVertexDeclaration9* declaration : layout) EXPECT_NE(declaration, nullptr);
    // B2 with eight coordinate sets: ten base elements, then FLOAT4 TEXCOORD 7 at 96 + 112.
    const std::string& last = calls[calls.size() - 2];
    EXPECT_NE(last.find("0, 88, 4, 0, 10, 0, 0, 92, 4, 0, 10, 1, 0, 96, 3, 0, 5, 0,"), std::string::npos) << last;
    EXPECT_NE(last.find("0, 208, 3, 0, 5, 7, object)"), std::string::npos) << last;
    EXPECT_EQ(calls.back(), "CreateVertexDeclaration(0, 0, 2, 0, 0, 0, 0, 12, 2, 0, 3, 0, 0, 24, 4, 0, 10, 0, 0, 28, 4, "
                            "0, 10, 1, 0, 32, 1, 0, 5, 0, 0, 36, 1, 0, 5, 1, object)");
    IDirect3DVertexDeclaration9* kept = ShaderVertexDeclarations[0][0];
    kept->AddRef();
    ReleaseVertexDeclarations();
    EXPECT_EQ(kept->Release(), 0u);
    EXPECT_EQ(ModelVertexDeclaration, nullptr);
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"SetVertexShader(null)", "SetPixelShader(null)"}));
}

TEST(VectorTransformTest, PointsTakeTheTranslationAndDirectionsDoNot) {
    D3DMATRIX matrix = {};
    matrix.m[0][1] = 1.0f;   // x goes to y
    matrix.m[1][0] = -1.0f;  // y goes to -x
    matrix.m[2][2] = 2.0f;
    matrix.m[3][0] = 100.0f;
    matrix.m[3][1] = 200.0f;
    matrix.m[3][2] = 300.0f;
    const float point[3] = {1.0f, 2.0f, 3.0f};
    float out[3];
    EXPECT_EQ(TransformPointByMatrix(out, point, &matrix), out);
    EXPECT_EQ(out[0], 98.0f);
    EXPECT_EQ(out[1], 201.0f);
    EXPECT_EQ(out[2], 306.0f);
    EXPECT_EQ(TransformDirectionByMatrix(out, point, &matrix), out);
    EXPECT_EQ(out[0], -2.0f);
    EXPECT_EQ(out[1], 1.0f);
    EXPECT_EQ(out[2], 6.0f);
    // In place, with the sums of products kept in double precision.
    float inPlace[3] = {16777216.0f, 1.0f, 0.0f};
    D3DMATRIX sum = {};
    sum.m[0][0] = 1.0f;
    sum.m[1][0] = 1.0f;
    sum.m[3][0] = -16777216.0f;
    TransformPointByMatrix(inPlace, inPlace, &sum);
    EXPECT_EQ(inPlace[0], 1.0f);
}

}  // namespace
}  // namespace graphicstest
