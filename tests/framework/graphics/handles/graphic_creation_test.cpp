// Graphics on the hardware path: the format a new graphic takes, its texture
// pieces and textures, its draw information, part graphics, and taking the
// textures down and up around a new device.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "framework/graphics/draw_settings.h"
#include "framework/graphics/handles/graphic_creation.h"
#include "framework/graphics/textures/graphic_textures.h"
#include "framework/graphics/shaders/shader_handles.h"
#include "tests/framework/graphics/hardware_graphics_test_support.h"

namespace graphicstest {
namespace {

using GraphicCreationTest = HardwareGraphicsTest;

// The CreateTexture calls since the list was last taken.
std::vector<std::string> TextureCalls(const std::vector<std::string>& calls) {
    std::vector<std::string> made;
    for (const std::string& call : calls)
        if (call.rfind("CreateTexture(", 0) == 0) made.push_back(call);
    return made;
}

TEST_F(GraphicCreationTest, AGraphicSmallerThanTheScreenGetsOneTextureWithItsDrawPiece) {
    StartGraphics(32);
    const int handle = MakeEmptyGraphic(100, 30);
    ASSERT_GE(handle, 0);
    EXPECT_EQ(TextureCalls(TakeCalls()), (std::vector<std::string>{"CreateTexture(128, 32, 1, 0x0, 21, 1, object)"}));
    const GraphicImage* block = BlockOf(handle);
    EXPECT_EQ(block->hardware, 1);
    EXPECT_EQ(block->formatIndex, 5);  // the transparent colour is in use on a 32-bit screen
    ASSERT_EQ(block->pieceCount, 1);
    EXPECT_NE(block->pieces[0].surface, nullptr);
    EXPECT_EQ(block->pieces[0].usedWidth, 100);
    EXPECT_EQ(block->pieces[0].usedHeight, 30);

    const GraphicRecord* record = GetGraphicRecord(handle);
    ASSERT_EQ(record->drawPieceCount, 1);
    const GraphicDrawPiece& piece = record->drawPieces[0];
    EXPECT_EQ(piece.piece, &block->pieces[0]);
    EXPECT_EQ(piece.width, 100);
    EXPECT_EQ(piece.height, 30);
    const GraphicDrawCorner expected[4] = {
        {0, 0, 0, 0}, {100, 0, 100.0f / 128, 0}, {0, 30, 0, 30.0f / 32}, {100, 30, 100.0f / 128, 30.0f / 32}};
    for (int corner = 0; corner < 4; ++corner) {
        EXPECT_FLOAT_EQ(piece.corners[corner].x, expected[corner].x);
        EXPECT_FLOAT_EQ(piece.corners[corner].y, expected[corner].y);
        EXPECT_FLOAT_EQ(piece.corners[corner].tu, expected[corner].tu);
        EXPECT_FLOAT_EQ(piece.corners[corner].tv, expected[corner].tv);
    }
    // Top-right and bottom-left lie on the diagonal, bottom-right below it.
    EXPECT_EQ(std::vector<int>(piece.onOrBelowDiagonal, piece.onOrBelowDiagonal + 4), (std::vector<int>{0, 1, 1, 1}));
    DeleteGraphicHandle(handle, 0);
}

TEST_F(GraphicCreationTest, AScreenSizedGraphicTakesTwoPiecesAndPartsShowWhatTheyOverlap) {
    StartGraphics(32);
    const int whole = MakeEmptyGraphic(640, 480);
    ASSERT_GE(whole, 0);
    EXPECT_EQ(TextureCalls(TakeCalls()), (std::vector<std::string>{"CreateTexture(512, 512, 1, 0x0, 21, 1, object)",
                                                                    "CreateTexture(128, 512, 1, 0x0, 21, 1, object)"}));
    EXPECT_EQ(GetGraphicRecord(whole)->drawPieceCount, 2);

    // Across the seam: a part of each piece.
    const int across = DerivePartGraphic(500, 100, 40, 20, whole);
    ASSERT_GE(across, 0);
    EXPECT_TRUE(TextureCalls(TakeCalls()).empty());
    const GraphicRecord* record = GetGraphicRecord(across);
    EXPECT_EQ(BlockOf(whole)->referenceCount, 2);
    ASSERT_EQ(record->drawPieceCount, 2);
    const GraphicDrawPiece& left = record->drawPieces[0];
    const GraphicDrawPiece& right = record->drawPieces[1];
    EXPECT_EQ((std::vector<int>{left.destX, left.destY, left.sourceX, left.sourceY, left.width, left.height}),
              (std::vector<int>{0, 0, 500, 100, 12, 20}));
    EXPECT_EQ((std::vector<int>{right.destX, right.destY, right.sourceX, right.sourceY, right.width, right.height}),
              (std::vector<int>{12, 0, 0, 100, 28, 20}));
    EXPECT_EQ(right.piece, &BlockOf(whole)->pieces[1]);
    EXPECT_FLOAT_EQ(right.corners[1].tu, 28.0f / 128);
    EXPECT_FLOAT_EQ(right.corners[3].tv, 120.0f / 512);

    // A part of a part, inside the second piece only, cut at the edges.
    const int corner = DerivePartGraphic(20, 10, 100, 100, across);
    ASSERT_GE(corner, 0);
    const GraphicRecord* inner = GetGraphicRecord(corner);
    EXPECT_EQ((std::vector<int>{inner->x, inner->y, inner->width, inner->height}),
              (std::vector<int>{520, 110, 20, 10}));
    ASSERT_EQ(inner->drawPieceCount, 1);
    EXPECT_EQ(inner->drawPieces[0].sourceX, 8);

    for (const auto& [x, y, source] : std::vector<std::tuple<int, int, int>>{
             {640, 0, whole}, {0, 480, whole}, {-1, 0, whole}, {0, -1, whole}, {40, 0, across}, {0, 0, -1}}) {
        EXPECT_EQ(DerivePartGraphic(x, y, 10, 10, source), -1) << x << ", " << y;
    }
    DeleteGraphicHandle(whole, 0);
    // The block stays with its parts.
    EXPECT_EQ(BlockOf(across)->referenceCount, 2);
    EXPECT_NE(BlockOf(across)->pieces[1].texture, nullptr);
    DeleteGraphicHandle(across, 0);
    DeleteGraphicHandle(corner, 0);
}

TEST_F(GraphicCreationTest, SquareTexturesOnlyGiveSquarePiecesAndDrawPiecesInEach) {
    platform::Profile().direct3d.squareOnlyTextures = true;
    StartGraphics(32);
    const int handle = MakeEmptyGraphic(640, 480);
    ASSERT_GE(handle, 0);
    const std::vector<std::string> made = TextureCalls(TakeCalls());
    ASSERT_EQ(made.size(), 5u);
    EXPECT_EQ(made[0], "CreateTexture(512, 512, 1, 0x0, 21, 1, object)");
    for (size_t i = 1; i < made.size(); ++i) EXPECT_EQ(made[i], "CreateTexture(128, 128, 1, 0x0, 21, 1, object)");
    const GraphicRecord* record = GetGraphicRecord(handle);
    ASSERT_EQ(record->drawPieceCount, 5);
    EXPECT_EQ(record->drawPieces[4].destY, 384);
    EXPECT_EQ(record->drawPieces[4].height, 96);
    DeleteGraphicHandle(handle, 0);
}

struct FormatCase {
    const char* name;
    int desktopBits;
    int colorDepth;
    int drawTarget;
    int transFlag;
    int alphaFlag;
    int unmanaged;
    int formatIndex;
    const char* createTexture;
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }

class GraphicFormatChoiceTest : public HardwareGraphicsTest, public testing::WithParamInterface<FormatCase> {};

TEST_P(GraphicFormatChoiceTest, TheScreenDepthAndTheNewGraphicOptionsChooseTheFormat) {
    const FormatCase& c = GetParam();
    StartGraphics(c.desktopBits);
    SetNewGraphColorDepth(c.colorDepth);
    SetNewGraphDrawTargetFlag(c.drawTarget);
    SetNewGraphTransFlag(c.transFlag);
    SetNewGraphAlphaFlag(c.alphaFlag);
    SetNewGraphUnmanagedFlag(c.unmanaged);
    const int handle = MakeEmptyGraphic(64, 64);
    ASSERT_GE(handle, 0);
    EXPECT_EQ(BlockOf(handle)->formatIndex, c.formatIndex);
    const std::vector<std::string> calls = TakeCalls();
    EXPECT_EQ(TextureCalls(calls), (std::vector<std::string>{c.createTexture}));
    // A render target starts cleared.
    const bool cleared = !calls.empty() && calls.back().rfind("ColorFill(object, null, 0x0)", 0) == 0;
    EXPECT_EQ(cleared, c.drawTarget == 1);
    DeleteGraphicHandle(handle, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, GraphicFormatChoiceTest,
    testing::Values(
        FormatCase{"KeyedOn16Bits", 16, 0, 0, 1, 0, 0, 4, "CreateTexture(64, 64, 1, 0x0, 25, 1, object)"},
        FormatCase{"PlainOn16Bits", 16, 0, 0, 0, 0, 0, 0, "CreateTexture(64, 64, 1, 0x0, 23, 1, object)"},
        FormatCase{"AlphaIs32BitsOn16Bits", 16, 0, 0, 1, 1, 0, 3, "CreateTexture(64, 64, 1, 0x0, 21, 1, object)"},
        FormatCase{"AskedFor32Bits", 16, 32, 0, 0, 0, 0, 1, "CreateTexture(64, 64, 1, 0x0, 22, 1, object)"},
        FormatCase{"KeyedOn32Bits", 32, 0, 0, 1, 0, 0, 5, "CreateTexture(64, 64, 1, 0x0, 21, 1, object)"},
        FormatCase{"PlainOn32Bits", 32, 0, 0, 0, 0, 0, 1, "CreateTexture(64, 64, 1, 0x0, 22, 1, object)"},
        FormatCase{"AskedFor16Bits", 32, 16, 0, 0, 0, 0, 0, "CreateTexture(64, 64, 1, 0x0, 23, 1, object)"},
        FormatCase{"Unmanaged", 32, 0, 0, 0, 0, 1, 1, "CreateTexture(64, 64, 1, 0x0, 22, 0, object)"},
        FormatCase{"DrawTargetOn16Bits", 16, 0, 1, 1, 1, 0, 11, "CreateTexture(64, 64, 1, 0x1, 23, 0, object)"},
        FormatCase{"DrawTargetOn32Bits", 32, 0, 1, 1, 0, 0, 12, "CreateTexture(64, 64, 1, 0x1, 22, 0, object)"}),
    [](const testing::TestParamInfo<FormatCase>& info) { return info.param.name; });

TEST_F(GraphicCreationTest, AGraphicThatCannotBeSetUpIsLoggedAndLeavesNoHandle) {
    StartGraphics(32);
    const int live = GraphicHandleTable.liveCount;

    size_t mark = LogMark();
    platform::Profile().failures.direct3d.createTexture = true;
    EXPECT_EQ(MakeEmptyGraphic(64, 64), -1);
    EXPECT_EQ(LinesSince(mark), "テクスチャの作成に失敗しました\r\n");
    platform::Profile().failures.direct3d.createTexture = false;
    EXPECT_EQ(GraphicHandleTable.liveCount, live);

    // 17 by 17 textures of the largest size, 8.
    mark = LogMark();
    Direct3DDevice.maxTextureSize = 8;
    EXPECT_EQ(MakeEmptyGraphic(17 * 8, 17 * 8), -1);
    EXPECT_EQ(LinesSince(mark), "グラフィックに必要なテクスチャの数が 256 枚を越えました\r\n");
    EXPECT_EQ(MakeEmptyGraphic(16 * 8, 16 * 8) >= 0, true);
    Direct3DDevice.maxTextureSize = 4096;

    mark = LogMark();
    Direct3DDevice.textureFormats[kTextureFormatDrawTarget32] = D3DFMT_UNKNOWN;
    SetNewGraphDrawTargetFlag(1);
    EXPECT_EQ(MakeEmptyGraphic(64, 64), -1);
    EXPECT_EQ(LinesSince(mark), "指定のフォーマットで作成できるテクスチャフォーマットがありませんでした\r\n");
    EXPECT_EQ(MakeEmptyGraphic(0, 64), -1);
    EXPECT_EQ(GraphicHandleTable.liveCount, live + 1);
}

TEST_F(GraphicCreationTest, TexturesGoBeforeTheDeviceAndComeBackEmptyOncePerBlock) {
    StartGraphics(32);
    const int whole = MakeEmptyGraphic(640, 480);
    const int part = DerivePartGraphic(0, 0, 32, 32, whole);
    const int other = MakeEmptyGraphic(16, 16);
    ASSERT_GE(part, 0);
    ASSERT_GE(other, 0);
    TakeCalls();

    EXPECT_EQ(ReleaseAllGraphicTextures(), 0);
    for (int handle : {whole, other}) {
        for (int i = 0; i < BlockOf(handle)->pieceCount; ++i) {
            EXPECT_EQ(BlockOf(handle)->pieces[i].texture, nullptr);
            EXPECT_EQ(BlockOf(handle)->pieces[i].surface, nullptr);
        }
    }
    EXPECT_EQ(RecreateAllGraphicTextures(), 0);
    // The default font's glyph cache (A1R5G5B5) comes back too.
    EXPECT_EQ(TextureCalls(TakeCalls()), (std::vector<std::string>{"CreateTexture(512, 512, 1, 0x0, 25, 1, object)",
                                                                    "CreateTexture(512, 512, 1, 0x0, 21, 1, object)",
                                                                    "CreateTexture(128, 512, 1, 0x0, 21, 1, object)",
                                                                    "CreateTexture(16, 16, 1, 0x0, 21, 1, object)"}));
    // The part's draw pieces still name the block's pieces, which have textures again.
    EXPECT_NE(GetGraphicRecord(part)->drawPieces[0].piece->texture, nullptr);
    for (int handle : {whole, part, other}) DeleteGraphicHandle(handle, 0);
}

TEST_F(GraphicCreationTest, UserShadersAreReleasedAndMadeAgainFromTheirByteCode) {
    StartGraphics(32);
    static const DWORD kCode[] = {D3DPS_VERSION(2, 0), 0x0000FFFF};
    const int handle = AllocHandleRecord(&ShaderHandleTable, sizeof(ShaderRecord), __FILE__, __LINE__);
    auto* record = static_cast<ShaderRecord*>(GetHandleRecord(&ShaderHandleTable, handle));
    record->pixelShader = 1;
    record->byteCode = kCode;
    record->codeSize = sizeof kCode;
    IDirect3DPixelShader9* shader = nullptr;
    ASSERT_EQ(Direct3DDevice.device->CreatePixelShader(kCode, &shader), D3D_OK);
    record->shader = shader;

    ReleaseAllGraphicTextures();
    EXPECT_EQ(record->shader, nullptr);
    TakeCalls();
    RecreateAllGraphicTextures();
    EXPECT_NE(record->shader, nullptr);
    // Besides the textures (the default font's glyph cache), one shader.
    std::vector<std::string> calls;
    for (const std::string& call : TakeCalls())
        if (call.rfind("CreateTexture(", 0) != 0) calls.push_back(call);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].rfind("CreatePixelShader(", 0), 0u);
    DeleteShaderHandle(handle);
}

}  // namespace
}  // namespace graphicstest
