// Fonts on the hardware path with the fixed test glyph source, on the device
// that keeps its bytes (the CPU renderer): the cache graphics, the texels of
// cached glyphs, the rectangles a string draw hands the device, vertical
// text, the emulated subtract blend, a lost cache graphic and a rebuilt
// device.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "framework/base/framework_state.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/font/font_handles.h"
#include "framework/graphics/font/font_record.h"
#include "framework/graphics/font/glyph_cache.h"
#include "framework/graphics/font/string_drawing.h"
#include "framework/graphics/screen/screen_flip.h"
#include "framework/graphics/screen/screen_mode_change.h"
#include "framework/graphics/draws/vertex_batch.h"
#include "tests/framework/graphics/hardware_graphics_test_support.h"

namespace graphicstest {
namespace {

class HardwareStringsTest : public HardwareGraphicsTest {
protected:
    void SetUp() override {
        HardwareGraphicsTest::SetUp();
        platform::Profile().fonts.testGlyphSource = true;
        StartGraphics(32);
        FrameworkInitialised = 1;
        SelectDrawTarget(-2);
        SetDrawAreaRect(0, 0, 640, 480);
        TakeCalls();
    }
    void TearDown() override {
        FrameworkInitialised = 0;
        HardwareGraphicsTest::TearDown();
    }

    static int Level(int code, int x, int y) { return (x + 2 * y + code) % 17; }
    static uint16_t Grey(int level) { return level == 0 ? 0x0FFF : static_cast<uint16_t>(((level << 12) - 1) | 0x0FFF); }

    // Every vertex the batch sends, in order, as quads of six.
    std::vector<BatchVertexTex1> Flushed() {
        FlushVertexBatch();
        std::vector<BatchVertexTex1> all;
        for (const auto& call : CallsNamed("DrawPrimitiveUP")) {
            const auto vertices = VerticesOf<BatchVertexTex1>(call);
            all.insert(all.end(), vertices.begin(), vertices.end());
        }
        Calls().clear();
        return all;
    }
    struct Box {
        float left, top, right, bottom, uLeft, vTop;
        DWORD diffuse;
    };
    static Box BoxOf(const std::vector<BatchVertexTex1>& vertices, size_t quad) {
        Box box{1e9f, 1e9f, -1e9f, -1e9f, 1e9f, 1e9f, vertices[quad * 6].diffuse};
        for (size_t i = quad * 6; i < quad * 6 + 6; ++i) {
            const BatchVertexTex1& v = vertices[i];
            box.left = std::min(box.left, v.x);
            box.top = std::min(box.top, v.y);
            box.right = std::max(box.right, v.x);
            box.bottom = std::max(box.bottom, v.y);
            box.uLeft = std::min(box.uLeft, v.u);
            box.vTop = std::min(box.vTop, v.v);
        }
        return box;
    }
};

TEST_F(HardwareStringsTest, EachTypeGetsItsCacheGraphicAndItsTexelLayout) {
    struct Case {
        int type;
        D3DFORMAT format;
        bool edgeGraphic;
    } cases[] = {{0, D3DFMT_A1R5G5B5, false}, {1, D3DFMT_A1R5G5B5, true}, {2, D3DFMT_A4R4G4B4, false},
                 {3, D3DFMT_A4R4G4B4, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        const size_t mark = LogMark();
        const int font = CreateFontToHandle(nullptr, 8, -1, c.type, -1, -1, 0);
        EXPECT_EQ(LinesSince(mark), "");
        const FontRecord* record = GetFontRecord(font);
        ASSERT_EQ(record->textureCache, 1);
        EXPECT_EQ(record->cacheMemory, nullptr);
        ASSERT_EQ(IsValidGraphicHandle(record->cacheGraphic), 1);
        EXPECT_EQ(IsValidGraphicHandle(record->edgeGraphic), c.edgeGraphic ? 1 : 0);
        EXPECT_EQ(GetGraphicRecord(record->cacheGraphic)->width, c.edgeGraphic ? 1024 : 512);
        EXPECT_EQ(record->cacheBaseImage.width, c.edgeGraphic ? 1024 : 512);
        EXPECT_EQ(record->cacheBaseImage.format.alphaMask, c.format == D3DFMT_A4R4G4B4 ? 0xF000u : 0x8000u);
        IDirect3DSurface9* surface = nullptr;
        TextureOf(record->cacheGraphic)->GetSurfaceLevel(0, &surface);
        D3DSURFACE_DESC description{};
        surface->GetDesc(&description);
        surface->Release();
        EXPECT_EQ(description.Format, c.format);
        if (c.edgeGraphic) {
            EXPECT_EQ(GetGraphicRecord(record->edgeGraphic)->x, 512);
            EXPECT_EQ(GetGraphicRecord(record->edgeGraphic)->width, 512);
        }
        DeleteFontHandle(font);
    }
}

// Size 8, 'A': a 3 by 5 glyph; cell 0 starts at (1, 1).
TEST_F(HardwareStringsTest, CachedGlyphsReachTheTextureAsWhiteOfTheirCoverage) {
    const int plain = CreateFontToHandle(nullptr, 8, -1, 0, -1, -1, 0);
    const int grey = CreateFontToHandle(nullptr, 8, -1, 2, -1, -1, 0);
    const int edged = CreateFontToHandle(nullptr, 8, -1, 3, -1, 1, 0);
    for (int font : {plain, grey, edged}) ASSERT_EQ(PrepareStringGlyphs(-1, "A", font, nullptr, nullptr), 0);

    const auto plainTexels = ReadLevel(TextureOf(GetFontRecord(plain)->cacheGraphic), 0, 2);
    const auto greyTexels = ReadLevel(TextureOf(GetFontRecord(grey)->cacheGraphic), 0, 2);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool inBox = x < 3 && y < 5;
            const int level = inBox ? Level('A', x, y) : 0;
            const size_t at = static_cast<size_t>((1 + y) * 512 + 1 + x);
            EXPECT_EQ(plainTexels[at], inBox ? (level >= 8 ? 0xFFFFu : 0x7FFFu) : 0u) << x << "," << y;
            EXPECT_EQ(greyTexels[at], inBox ? Grey(level) : 0u) << x << "," << y;
        }

    // Edged and grey: the glyph one pixel in on the left, its edge (the
    // union of the coverages of the four neighbours) on the right.
    const auto texels = ReadLevel(TextureOf(GetFontRecord(edged)->cacheGraphic), 0, 2);
    int edge[7][5] = {};
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 3; ++x) {
            const int g = Level('A', x, y);
            if (g == 0) continue;
            const int points[4][2] = {{0, -1}, {-1, 0}, {1, 0}, {0, 1}};
            for (const auto& p : points) {
                int& e = edge[1 + y + p[1]][1 + x + p[0]];
                e = (256 - (16 - e) * (16 - g)) / 16;
            }
        }
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 5; ++x) {
            const bool inGlyph = x >= 1 && x < 4 && y >= 1 && y < 6;
            const int level = inGlyph ? Level('A', x - 1, y - 1) : 0;
            EXPECT_EQ(texels[static_cast<size_t>((1 + y) * 1024 + 1 + x)], Grey(level)) << x << "," << y;
            EXPECT_EQ(texels[static_cast<size_t>((1 + y) * 1024 + 513 + x)], Grey(edge[y][x])) << x << "," << y;
        }
}

TEST_F(HardwareStringsTest, EachCharacterIsItsEdgeThenItsGlyphAsPartsOfTheCache) {
    const int font = CreateFontToHandle(nullptr, 8, -1, 3, -1, 1, 0);
    const uint32_t text = MakeScreenColorCode(255, 255, 0), edge = MakeScreenColorCode(0, 0, 128);
    SetDrawBrightnessRGB(255, 128, 255);
    ASSERT_EQ(DrawStringWithFont(10, 20, "A B", static_cast<int>(text), font, static_cast<int>(edge), 0), 0);
    EXPECT_EQ(GetDrawBrightColor(), 0xFF80FFu);
    const auto vertices = Flushed();
    ASSERT_EQ(vertices.size(), 4u * 6u);  // the space draws nothing
    // 'A' at pen 0, 'B' at pen 6 + 6 (the space's advance 4 + 2): each box
    // 5 by 7 from (x + pen + 1, y + 1); a part is the graphic clipped to its
    // box, so the texture coordinates start half a texel into the cell.
    const float lefts[2] = {11.0f, 23.0f};
    for (int n = 0; n < 2; ++n) {
        SCOPED_TRACE(n);
        const Box edgeBox = BoxOf(vertices, static_cast<size_t>(2 * n));
        const Box glyphBox = BoxOf(vertices, static_cast<size_t>(2 * n + 1));
        for (const Box& box : {edgeBox, glyphBox}) {
            EXPECT_FLOAT_EQ(box.left, lefts[n]);
            EXPECT_FLOAT_EQ(box.right, lefts[n] + 5);
            EXPECT_FLOAT_EQ(box.top, 21.0f);
            EXPECT_FLOAT_EQ(box.bottom, 28.0f);
        }
        // The cell of its slot (0, and 2 after the space) in the first
        // column of cells of 16, in each half.
        EXPECT_FLOAT_EQ(edgeBox.uLeft, 513.5f / 1024.0f);
        EXPECT_FLOAT_EQ(glyphBox.uLeft, 1.5f / 1024.0f);
        const float vTop = (1.5f + static_cast<float>((n == 0 ? 0 : 2) * 16)) / 512.0f;
        EXPECT_FLOAT_EQ(edgeBox.vTop, vTop);
        EXPECT_FLOAT_EQ(glyphBox.vTop, vTop);
        // The bright colour scales each colour: the edge's, then the text's.
        EXPECT_EQ(edgeBox.diffuse, 0xFF000080u);
        EXPECT_EQ(glyphBox.diffuse, 0xFFFF8000u);
    }
}

TEST_F(HardwareStringsTest, VerticalGlyphsAreTheCacheTurnedBehindANarrowDrawArea) {
    const int font = CreateFontToHandle(nullptr, 8, -1, 3, -1, 1, 0);  // line height 10
    ASSERT_EQ(DrawStringWithFont(100, 50, "A", 0xFFFFFF, font, 0, 1), 0);
    const auto vertices = Flushed();
    ASSERT_EQ(vertices.size(), 12u);
    // right = 100 + 10 - 1, top = 50 + 1; the cache's point (1, 1) lands
    // there, so its corner (0, 0) lies at (right + 1, top - 1), less half a
    // pixel, and its x runs down the screen: texel (1 + c, 1 + r) is drawn
    // at pixel (right - 1 - r, top + c), as on the software path.
    for (size_t quad = 0; quad < 2; ++quad) {
        const BatchVertexTex1* corner = nullptr;
        for (size_t i = quad * 6; i < quad * 6 + 6; ++i)
            if (vertices[i].y == 49.5f && vertices[i].x == 109.5f) corner = &vertices[i];
        const float width = quad == 0 ? 512.0f : 1024.0f;
        for (size_t i = quad * 6; i < quad * 6 + 6; ++i) {
            if (vertices[i].u * 1024.0f == (quad == 0 ? 512.0f : 0.0f))
                EXPECT_FLOAT_EQ(vertices[i].y, 49.5f);
            else
                EXPECT_FLOAT_EQ(vertices[i].y, 49.5f + width);
        }
        ASSERT_NE(corner, nullptr) << quad;
        EXPECT_FLOAT_EQ(corner->u, quad == 0 ? 0.5f : 0.0f);
        EXPECT_FLOAT_EQ(corner->v, 0.0f);
    }
    EXPECT_EQ(DeviceNow().scissor.left, 0);
    EXPECT_EQ(CurrentDrawSettings.drawArea.right, 640);
    EXPECT_EQ(DrawFontString(0, 0, 0, "A", 0, nullptr, nullptr, font, 0, 1, nullptr), 6);
}

TEST_F(HardwareStringsTest, WithoutBlendOperationsSubtractIsInvertMultiplyInvert) {
    const int font = CreateFontToHandle(nullptr, 8, -1, 0, -1, -1, 0);
    Direct3DDevice.blendOperationCapable = 0;
    SetBlendModeAndParam(3, 200);
    ASSERT_EQ(DrawStringWithFont(10, 20, "A", 0xFFFFFF, font, 0, 0), 0);
    FlushVertexBatch();
    const auto draws = CallsNamed("DrawPrimitiveUP");
    Calls().clear();
    ASSERT_EQ(draws.size(), 3u);
    // The text rectangle, filled before and after, reaches the area's right
    // and size + 3 down; the glyph between goes in at the caller's parameter.
    struct RectVertex {
        float x, y, z, rhw;
        DWORD diffuse;
    };
    for (size_t n : {0u, 2u}) {
        const auto corners = VerticesOf<RectVertex>(draws[n]);
        ASSERT_FALSE(corners.empty());
        float left = 1e9f, right = -1e9f, bottom = -1e9f;
        for (const RectVertex& v : corners) {
            left = std::min(left, v.x);
            right = std::max(right, v.x);
            bottom = std::max(bottom, v.y);
        }
        EXPECT_FLOAT_EQ(left, 10.0f);
        EXPECT_FLOAT_EQ(right, 640.0f);
        EXPECT_FLOAT_EQ(bottom, 31.0f);
    }
    EXPECT_EQ(VerticesOf<BatchVertexTex1>(draws[1])[0].diffuse >> 24, 200u);
    EXPECT_EQ(CurrentDrawSettings.blendMode, 3);
    EXPECT_EQ(CurrentDrawSettings.blendParam, 200);
    // Text starting at the area's right edge is not drawn at all.
    EXPECT_EQ(DrawStringWithFont(640, 20, "A", 0xFFFFFF, font, 0, 0), 0);
    EXPECT_TRUE(Flushed().empty());
}

// Places and spacings at the ends of the int range, with the subtract
// emulated (which takes the line's rectangle): no glyph that lies off the
// screen reaches the device as anything that covers a pixel of it.
TEST_F(HardwareStringsTest, PlacesAndSpacingsAtTheEndsOfTheRangeDrawNothingOffTheScreen) {
    const int font = CreateFontToHandle(nullptr, 8, -1, 3, -1, 1, 0);
    Direct3DDevice.blendOperationCapable = 0;
    const auto coveredPixels = [&] {
        FlushVertexBatch();
        int covered = 0;
        for (const auto& call : CallsNamed("DrawPrimitiveUP")) {
            const size_t stride = static_cast<size_t>(call.arguments[2].integer);
            // The emulation's boxes cover the line as the area reaches; the
            // glyphs are the textured triangles.
            if (stride != sizeof(BatchVertexTex1)) continue;
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
                covered += std::max(std::ceil(low[0]), 0.0f) < std::min(std::ceil(high[0]), 640.0f) &&
                           std::max(std::ceil(low[1]), 0.0f) < std::min(std::ceil(high[1]), 480.0f);
            }
        }
        Calls().clear();
        return covered;
    };
    for (int mode : {0, 3}) {
        SetBlendModeAndParam(mode, 200);
        for (int vertical = 0; vertical <= 1; ++vertical)
            for (const auto& [x, y] : {std::pair{INT_MAX - 2, INT_MAX - 2}, std::pair{INT_MAX - 2, 10},
                                       std::pair{INT_MIN, INT_MIN}, std::pair{10, INT_MIN + 1}}) {
                EXPECT_EQ(DrawStringWithFont(x, y, "ABC", 0xFFFFFF, font, 0, vertical), 0);
                EXPECT_EQ(coveredPixels(), 0) << mode << ": " << x << "," << y << " vertical " << vertical;
            }
    }
    // Only the first character (its edge and its glyph) reaches the screen.
    SetBlendModeAndParam(0, 255);
    for (int spacing : {INT_MAX, INT_MIN}) {
        SetFontSpacing(spacing, font);
        for (int vertical = 0; vertical <= 1; ++vertical) {
            DrawStringWithFont(10, 20, "ABCD", 0xFFFFFF, font, 0, vertical);
            EXPECT_EQ(coveredPixels(), 4) << spacing << " vertical " << vertical;
        }
    }
    Direct3DDevice.blendOperationCapable = 1;
}

TEST_F(HardwareStringsTest, ALostCacheGraphicIsBuiltAgainByTheNextDraw) {
    const int font = CreateFontToHandle(nullptr, 8, -1, 3, -1, 1, 0);
    FontRecord* record = GetFontRecord(font);
    ASSERT_EQ(DrawStringWithFont(0, 0, "AB", 0xFFFFFF, font, 0, 0), 0);
    const int oldEdge = record->edgeGraphic;
    DeleteGraphicHandle(record->cacheGraphic, 0);
    EXPECT_EQ(record->cacheLost, 1);
    ASSERT_EQ(DrawStringWithFont(0, 0, "B", 0xFFFFFF, font, 0, 0), 0);
    EXPECT_EQ(record->cacheLost, 0);
    EXPECT_EQ(IsValidGraphicHandle(record->cacheGraphic), 1);
    EXPECT_EQ(IsValidGraphicHandle(oldEdge), 0);
    EXPECT_EQ(IsValidGraphicHandle(record->edgeGraphic), 1);
    // The cache started empty: 'B' took the first slot again.
    EXPECT_EQ(record->index['B'].slot, &record->slots[0]);
    EXPECT_EQ(record->index['A'].cached, 0u);
}

TEST_F(HardwareStringsTest, ARebuiltDeviceKeepsEveryFontHandleAndItsSpacing) {
    const int font = CreateFontToHandle(nullptr, 8, -1, 3, -1, 2, 0);
    SetFontSpacing(3, font);
    int gone = 0;
    SetFontDeleteFlagPointer(font, &gone);
    SetWaitVSyncFlag(0);
    ASSERT_EQ(ReapplyScreenMode(), 0);
    EXPECT_EQ(gone, 1);
    ASSERT_EQ(IsValidFontHandle(font), 1);
    const FontRecord* record = GetFontRecord(font);
    EXPECT_EQ(record->spacing, 3);
    EXPECT_EQ(record->fontType, 3);
    EXPECT_EQ(IsValidGraphicHandle(record->cacheGraphic), 1);
    ASSERT_EQ(DrawStringWithFont(0, 0, "A", 0xFFFFFF, font, 0, 0), 0);
    EXPECT_EQ(Flushed().size(), 12u);
    SetWaitVSyncFlag(1);
}

}  // namespace
}  // namespace graphicstest
