// The worked pixel values of the triangle spans, one table per family. Each row is drawn as a one-pixel triangle
// through RasterTriangleMemImg and through the span reference, and both must
// give the value the rules state.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/softrender/raster_triangle.h"
#include "blit_test_support.h"
#include "tests/support/reference_blit.h"
#include "tests/support/span_reference.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr int kNoGraphic = -1;

struct PixelCase {
    const char* what;
    int mode;
    int p;
    uint32_t bright;
    int weight;  // the blend graphic's weight G, or kNoGraphic
    int flag;
    uint32_t transparent;
    uint32_t texel;  // stored texel: an index, a word, a 16-bit cell (word | a << 16), a pixel; solid: the colour
    uint32_t entry;  // paletted: the palette entry of the index
    uint32_t dest;
    uint32_t expected;
};

class SpanCasesTest : public blittest::SoftwareDrawTest {
protected:
    // The pixel a one-pixel triangle leaves: the triangle (0,0) (1,0) (0,1)
    // covers pixels (0,0) and (1,0) of its first row; with texture coordinates
    // equal to the positions pixel (0,0) takes texel (0,0) of a 1 x 1 source
    // and pixel (1,0) lies outside it.
    uint32_t DrawFast(int depth, SpanSource kind, const PixelCase& c) {
        const int type = depth == 16 ? kMemImgColor565 : kMemImgColor32;
        auto dest = MakeTestImage(2, 1, type);
        WriteTestPixel(dest->get(), 0, 0, c.dest);
        UseSettings(c.mode, c.p, RECT{0, 0, 2, 1}, c.bright);
        const int vertices[12] = {0, 0, 0, 0, 1, 0, 1, 0, 0, 1, 0, 1};
        if (kind == kSpanSolid) {
            RasterTriangleMemImg(dest->get(), nullptr, vertices, 0, nullptr, static_cast<int>(c.texel),
                                 CurrentDrawSettings);
            return ReadTestPixel(dest->get(), 0, 0);
        }
        auto source = MakeTestImage(1, 1, type, kind == kSpanPaletted, kind == kSpanAlpha, c.transparent);
        WriteTestPixel(source->get(), 0, 0, c.texel);
        if (kind == kSpanPaletted) {
            if (depth == 16)
                static_cast<uint16_t*>(source->base()->paletteTable)[c.texel & 0xFF] = static_cast<uint16_t>(c.entry);
            else
                static_cast<uint32_t*>(source->base()->paletteTable)[c.texel & 0xFF] = c.entry;
        }
        std::unique_ptr<TestImage> graphic;
        if (c.weight != kNoGraphic) {
            // The fixture's weight table gives byte k the weight k.
            graphic = MakeTestImage(1, 1, kMemImgSingle8);
            WriteTestPixel(graphic->get(), 0, 0, static_cast<uint32_t>(c.weight));
        }
        RasterTriangleMemImg(dest->get(), source->get(), vertices, c.flag, graphic ? graphic->get() : nullptr, 0,
                             CurrentDrawSettings);
        EXPECT_EQ(ReadTestPixel(dest->get(), 1, 0), 0u) << "pixel (1, 0) maps outside the source";
        return ReadTestPixel(dest->get(), 0, 0);
    }

    static uint32_t DrawReference(int depth, SpanSource kind, const PixelCase& c) {
        SpanDraw draw;
        draw.depth = depth;
        draw.source = kind;
        draw.mode = c.mode;
        draw.p = c.p;
        draw.bright = c.bright;
        draw.hasMask = c.weight != kNoGraphic;
        draw.flag = c.flag != 0;
        draw.transparentColour = c.transparent;
        std::vector<uint32_t> palette(256, 0);
        palette[c.texel & 0xFF] = c.entry;
        draw.palette = palette.data();
        uint32_t texel = c.texel;
        if (kind == kSpanSolid) texel = SpanReferenceFill(depth, static_cast<int>(c.texel), c.bright);
        return SpanReferencePixel(draw, texel, draw.hasMask ? c.weight : 0, c.dest);
    }

    void Check(int depth, SpanSource kind, const std::vector<PixelCase>& cases) {
        for (const PixelCase& c : cases) {
            EXPECT_EQ(DrawFast(depth, kind, c), c.expected) << "draw: " << c.what;
            EXPECT_EQ(DrawReference(depth, kind, c), c.expected) << "reference: " << c.what;
        }
    }
};

// Paletted source, 32-bit destination.
TEST_F(SpanCasesTest, PalettedSource32) {
    Check(32, kSpanPaletted, {
        {"mode 0 copies the whole entry", 0, 0, kWhite, kNoGraphic, 0, 0, 5, 0xAA112233, 0x55000000, 0xAA112233},
        {"mode 0 brightened keeps byte 3", 0, 0, 0xFFFFFE, kNoGraphic, 0, 0, 5, 0xAA112233, 0x55000000, 0x55112232},
        {"the transparent index is skipped", 0, 0, kWhite, kNoGraphic, 1, 5, 5, 0xAA112233, 0x55000000, 0x55000000},
        {"in every mode", 2, 255, kWhite, 200, 1, 5, 5, 0xAA112233, 0x55000000, 0x55000000},
        {"a transparent colour above 255 never matches", 0, 0, kWhite, kNoGraphic, 1, 0x105, 5, 0xAA112233,
         0x55000000, 0xAA112233},
        {"mode 1 at p 0 draws nothing", 1, 0, kWhite, kNoGraphic, 0, 0, 5, 0xAA112233, 0x55000000, 0x55000000},
        {"mode 2 at p 0 draws nothing", 2, 0, kWhite, kNoGraphic, 0, 0, 5, 0xAA112233, 0x55000000, 0x55000000},
        {"mode 3 at p 0 sets the low bits of green and red", 3, 0, kWhite, kNoGraphic, 0, 0, 5, 0xFFFFFF, 0xAB102030,
         0x00112130},
        {"mode 2: 240 + 32 saturates, byte 3 = 1", 2, 255, kWhite, kNoGraphic, 0, 0, 5, 0x00202020, 0x00F0F0F0,
         0x01FFFFFF},
        {"mode 2: green 1 + green 1 = 1", 2, 255, kWhite, kNoGraphic, 0, 0, 5, 0x00000100, 0x00000100, 0x00000100},
        {"mode 2: blue 255 + 1 sets green's low bit", 2, 255, kWhite, kNoGraphic, 0, 0, 5, 0x00000001, 0x000000FF,
         0x000001FF},
        {"mode 3: blue 16 - 32 gives red 1", 3, 255, kWhite, kNoGraphic, 0, 0, 5, 0x00000020, 0x00000010, 0x00010000},
        {"mode 4 ignores p; white gives 255 D >> 8", 4, 0, kWhite, kNoGraphic, 0, 0, 5, 0x00FFFFFF, 0x12804001,
         0x127F3F00},
        {"mode 10: black over black at 255 gives 254", 10, 255, kWhite, kNoGraphic, 0, 0, 5, 0, 0, 0x00FEFEFE},
    });
}

// Direct-colour source, 32-bit destination, modes 0 to 3.
TEST_F(SpanCasesTest, DirectSource32ModesZeroToThree) {
    Check(32, kSpanPlain, {
        {"mode 0 white copies all four bytes", 0, 0, kWhite, kNoGraphic, 0, 0, 0xAA112233, 0, 0x55000000, 0xAA112233},
        {"mode 1 at 255 is mode 0", 1, 255, kWhite, kNoGraphic, 0, 0, 0xAA112233, 0, 0x55000000, 0xAA112233},
        {"mode 0 brightened keeps byte 3", 0, 0, 0xFEFFFF, kNoGraphic, 0, 0, 0xAA112233, 0, 0x55000000, 0x55102233},
        {"mode 0 draws regardless of p", 0, 0, kWhite, kNoGraphic, 0, 0, 0x00000001, 0, 0x55000000, 0x00000001},
        {"modes 1, 2, 3 at p 0 draw nothing", 3, 0, kWhite, kNoGraphic, 0, 0, 0x00000001, 0, 0x55000000, 0x55000000},
        {"the key is compared in all 32 bits", 0, 0, kWhite, kNoGraphic, 1, 0x00112233, 0xFF112233, 0, 0, 0xFF112233},
        {"a texel equal to the key is skipped", 0, 0, kWhite, kNoGraphic, 1, 0xFF112233, 0xFF112233, 0, 7, 7},
        {"mode 2: (48, 32, 16) + (3, 2, 1)", 2, 255, kWhite, kNoGraphic, 0, 0, 0x00010203, 0, 0x00102030, 0x00112233},
        {"mode 2: 128 + 128 saturates, byte 3 = 1", 2, 255, kWhite, kNoGraphic, 0, 0, 0x00808080, 0, 0xAA808080,
         0x01FFFFFF},
        {"mode 3: (48, 32, 16) - (3, 2, 1)", 3, 255, kWhite, kNoGraphic, 0, 0, 0x00010203, 0, 0x00102030, 0x00111F2D},
        {"G = 0 leaves mode 0's colour", 0, 0, kWhite, 0, 0, 0, 0x00FFFFFF, 0, 0x12345678, 0x12345678},
        {"G = 0 leaves mode 1's colour", 1, 100, kWhite, 0, 0, 0, 0x00FFFFFF, 0, 0x12345678, 0x12345678},
        {"G = 0 gives mode 2 T = 0", 2, 100, kWhite, 0, 0, 0, 0x00FFFFFF, 0, 0x7F102030, 0x00102030},
        {"G = 0 gives mode 3 T = 0", 3, 100, kWhite, 0, 0, 0, 0x00FFFFFF, 0, 0xFF000000, 0x00010100},
    });
    Check(32, kSpanAlpha, {
        {"a = 0, flag 0: weight 0", 0, 0, kWhite, kNoGraphic, 0, 0, 0x00FFFFFF, 0, 0x12345678, 0x12345678},
        {"a = 0, flag 1: skipped", 0, 0, kWhite, kNoGraphic, 1, 0, 0x00FFFFFF, 0, 0x12345678, 0x12345678},
        {"a = 255, flag 0: Lerp(255, 8) gives 254", 0, 0, kWhite, kNoGraphic, 0, 0, 0xFFFFFFFF, 0, 0, 0x00FEFEFE},
        {"a = 255, flag 1: copied", 0, 0, kWhite, kNoGraphic, 1, 0, 0xFFFFFFFF, 0, 0, 0xFFFFFFFF},
        {"a = 255, flag 0: 200 over 10 gives 199", 0, 0, kWhite, kNoGraphic, 0, 0, 0xFFC8C8C8, 0, 0x000A0A0A,
         0x00C7C7C7},
        {"a = 255, flag 1: 200 over 10 gives 200", 0, 0, kWhite, kNoGraphic, 1, 0, 0xFFC8C8C8, 0, 0x000A0A0A,
         0xFFC8C8C8},
        {"graphic, a = 255, flag 1: Lerp(G, 8)", 0, 0, kWhite, 255, 1, 0, 0xFFFFFFFF, 0, 0, 0x00FEFEFE},
        {"graphic, a = 255, flag 0: Lerp(65025, 16)", 0, 0, kWhite, 255, 0, 0, 0xFFFFFFFF, 0, 0, 0x00FDFDFD},
        {"mode 2, T = 0 (a = 0, flag 0): byte 3 becomes 0", 2, 255, kWhite, kNoGraphic, 0, 0, 0x00FFFFFF, 0,
         0x7F102030, 0x00102030},
        {"mode 3, T = 0: black becomes green 1, red 1", 3, 255, kWhite, kNoGraphic, 0, 0, 0x00FFFFFF, 0, 0xFF000000,
         0x00010100},
    });
}

// Direct-colour source, 32-bit destination, modes 4, 10 and 11.
TEST_F(SpanCasesTest, DirectSource32ModesFourTenEleven) {
    Check(32, kSpanPlain, {
        {"mode 4: 255 x 255 gives 254, byte 3 kept", 4, 0, kWhite, kNoGraphic, 0, 0, 0xFFFFFFFF, 0, 0x12FFFFFF,
         0x12FEFEFE},
        {"mode 10: black at 255 over black gives 254", 10, 255, kWhite, kNoGraphic, 0, 0, 0, 0, 0x12000000, 0x12FEFEFE},
        {"mode 10, black bright colour: 200 goes to 0", 10, 255, 0, kNoGraphic, 0, 0, 0x00123456, 0, 0x00C8C8C8, 0},
        {"mode 11: 255 over 200 gives 199", 11, 255, kWhite, kNoGraphic, 0, 0, 0x00FFFFFF, 0, 0x00C8C8C8, 0x00C7C7C7},
        {"mode 10 at p 0 changes nothing", 10, 0, kWhite, kNoGraphic, 0, 0, 0x00123456, 0, 0x00C8C8C8, 0x00C8C8C8},
        {"mode 11 at p 0 changes nothing", 11, 0, kWhite, kNoGraphic, 0, 0, 0x00123456, 0, 0x00C8C8C8, 0x00C8C8C8},
        {"mode 10 with G = 0 changes nothing", 10, 255, kWhite, 0, 0, 0, 0x00123456, 0, 0x00C8C8C8, 0x00C8C8C8},
        {"a texel differing from the key in byte 3 is drawn", 4, 0, kWhite, kNoGraphic, 1, 0x00FFFFFF, 0xFFFFFFFF, 0,
         0x00FFFFFF, 0x00FEFEFE},
        {"a texel equal to the key is skipped", 4, 0, kWhite, kNoGraphic, 1, 0xFFFFFFFF, 0xFFFFFFFF, 0, 0x00FFFFFF,
         0x00FFFFFF},
    });
    Check(32, kSpanAlpha, {
        {"mode 4: a = 255, flag 0 gives 253", 4, 0, kWhite, kNoGraphic, 0, 0, 0xFFFFFFFF, 0, 0x12FFFFFF, 0x12FDFDFD},
        {"mode 4: a = 255, flag 1 gives 254", 4, 0, kWhite, kNoGraphic, 1, 0, 0xFFFFFFFF, 0, 0x12FFFFFF, 0x12FEFEFE},
        {"mode 4: a = 0 is black, flag 0", 4, 0, kWhite, kNoGraphic, 0, 0, 0x00FFFFFF, 0, 0x12345678, 0x12000000},
        {"mode 4: a = 0 is black, flag 1", 4, 0, kWhite, kNoGraphic, 1, 0, 0x00FFFFFF, 0, 0x12345678, 0x12000000},
        {"mode 10: a = 0 changes nothing", 10, 255, kWhite, kNoGraphic, 1, 0, 0x00123456, 0, 0x12345678, 0x12345678},
        {"mode 11: a = 0 changes nothing", 11, 255, kWhite, kNoGraphic, 0, 0, 0x00123456, 0, 0x12345678, 0x12345678},
    });
}

// Paletted source, 16-bit destination.
TEST_F(SpanCasesTest, PalettedSource16) {
    Check(16, kSpanPaletted, {
        {"the transparent index is skipped", 1, 100, kWhite, kNoGraphic, 1, 9, 9, 0xFFFF, 0x1234, 0x1234},
        {"without the flag it is drawn", 0, 0, kWhite, kNoGraphic, 0, 9, 9, 0xFFFF, 0x1234, 0xFFFF},
        {"mode 1 at 255 is mode 0", 1, 255, kWhite, kNoGraphic, 0, 9, 9, 0xABCD, 0x1234, 0xABCD},
        {"mode 1 at 0 draws nothing", 1, 0, kWhite, kNoGraphic, 0, 9, 9, 0xABCD, 0x1234, 0x1234},
        {"mode 3 at 0: 0x0000 becomes 0x0800", 3, 0, kWhite, kNoGraphic, 0, 0x100, 9, 0xFFFF, 0x0000, 0x0800},
        {"mode 3 at 0: 0xFFFF becomes (31, 62, 31)", 3, 0, kWhite, kNoGraphic, 0, 0x100, 9, 0xFFFF, 0xFFFF, 0xFFDF},
        {"mode 10 at 0 changes nothing", 10, 0, kWhite, kNoGraphic, 0, 0, 9, 0x1234, 0x5678, 0x5678},
        {"mode 11 at 0 changes nothing", 11, 0, kWhite, kNoGraphic, 0, 0, 9, 0x1234, 0x5678, 0x5678},
        {"mode 10 at 254: black over black gives (30, 62, 30)", 10, 254, kWhite, kNoGraphic, 0, 0, 9, 0x0000, 0x0000,
         0xF7DE},
        {"mode 2: 0x0001 + 0x001F = 0x003F", 2, 255, kWhite, kNoGraphic, 0, 0, 9, 0x0001, 0x001F, 0x003F},
        {"mode 4 with G = 0 writes 0", 4, 0, kWhite, 0, 0, 0, 9, 0xFFFF, 0xFFFF, 0x0000},
        {"a bright colour white in its low 24 bits", 0, 0, 0xAAFFFFFF, kNoGraphic, 0, 0, 9, 0xABCD, 0, 0xABCD},
        {"a black bright colour turns the source black", 0, 0, 0, kNoGraphic, 0, 0, 9, 0xABCD, 0x1234, 0x0000},
        {"mode 0 with G = 255: red 31 over 0 gives 30", 0, 0, kWhite, 255, 0, 0, 9, 0xF800, 0x0000, 0xF000},
    });
}

// Direct-colour source, 16-bit destination, modes 0 to 3. Colours in the comments are (red, green, blue).
TEST_F(SpanCasesTest, DirectSource16ModesZeroToThree) {
    Check(16, kSpanPlain, {
        {"mode 1 at 255 is mode 0", 1, 255, kWhite, kNoGraphic, 0, 0, 0xABCD, 0, 0x1234, 0xABCD},
        {"modes 1, 2, 3 at 0 draw nothing", 2, 0, kWhite, kNoGraphic, 0, 0, 0xABCD, 0, 0x1234, 0x1234},
        {"the key is skipped with the flag", 0, 0, kWhite, kNoGraphic, 1, 0xABCD, 0xABCD, 0, 0x1234, 0x1234},
        {"and copied without it", 0, 0, kWhite, kNoGraphic, 0, 0xABCD, 0xABCD, 0, 0x1234, 0xABCD},
        {"(255, 255, 254) is not white: blue 31 becomes 30", 0, 0, 0xFFFFFE, kNoGraphic, 0, 0, 0x001F, 0, 0, 0x001E},
        {"mode 1 at 128: red 31 over 0 gives 15", 1, 128, kWhite, kNoGraphic, 0, 0, 0xF800, 0, 0x0000, 0x7800},
        {"mode 1 at 128: red 0 over 31 gives 16", 1, 128, kWhite, kNoGraphic, 0, 0, 0x0000, 0, 0xF800, 0x8000},
        {"mode 2: (10, 20, 5) + (1, 1, 1)", 2, 255, kWhite, kNoGraphic, 0, 0, 0x0821, 0, 0x5285, 0x5AA6},
        {"mode 2: (1, 1, 1) + (1, 1, 1)", 2, 255, kWhite, kNoGraphic, 0, 0, 0x0821, 0, 0x0821, 0x0822},
        {"mode 2: (0, 0, 31) + (0, 0, 1)", 2, 255, kWhite, kNoGraphic, 0, 0, 0x0001, 0, 0x001F, 0x003F},
        {"mode 2: (0, 62, 0) + (0, 2, 0)", 2, 255, kWhite, kNoGraphic, 0, 0, 0x0040, 0, 0x07C0, 0x0FC0},
        {"mode 2: (31, 63, 31) stays", 2, 255, kWhite, kNoGraphic, 0, 0, 0x1234, 0, 0xFFFF, 0xFFFF},
        {"mode 3: (10, 20, 5) - 0", 3, 255, kWhite, kNoGraphic, 0, 0, 0x0000, 0, 0x5285, 0x5A85},
        {"mode 3: (10, 20, 5) - (1, 1, 1)", 3, 255, kWhite, kNoGraphic, 0, 0, 0x0821, 0, 0x5285, 0x5A84},
        {"mode 3: (31, 63, 31) - (31, 63, 31)", 3, 255, kWhite, kNoGraphic, 0, 0, 0xFFFF, 0, 0xFFFF, 0x0800},
        {"mode 3: (0, 62, 0) - (0, 2, 0)", 3, 255, kWhite, kNoGraphic, 0, 0, 0x0040, 0, 0x07C0, 0x0F80},
        {"a key above 0xFFFF skips nothing", 0, 0, kWhite, kNoGraphic, 1, 0x1ABCD, 0xABCD, 0, 0x1234, 0xABCD},
    });
    Check(16, kSpanAlpha, {
        {"a = 255, flag 1 copies", 0, 0, kWhite, kNoGraphic, 1, 0, 0x00FFF800, 0, 0x0000, 0xF800},
        {"a = 255, flag 0: red 31 over 0 gives 30", 0, 0, kWhite, kNoGraphic, 0, 0, 0x00FFF800, 0, 0x0000, 0xF000},
        {"a = 0, flag 1 leaves D", 0, 0, kWhite, kNoGraphic, 1, 0, 0x0000F800, 0, 0x1234, 0x1234},
        {"a = 0, flag 0 leaves D", 0, 0, kWhite, kNoGraphic, 0, 0, 0x0000F800, 0, 0x1234, 0x1234},
        {"mode 1 at 128, a = 128: red 31 over 0 gives 7", 1, 128, kWhite, kNoGraphic, 1, 0, 0x0080F800, 0, 0x0000,
         0x3800},
        {"mode 1 at 128, a = 128: red 0 over 31 gives 23", 1, 128, kWhite, kNoGraphic, 1, 0, 0x00800000, 0, 0xF800,
         0xB800},
        {"the key is not compared for an alpha source", 0, 0, kWhite, kNoGraphic, 1, 0xF800, 0x00FFF800, 0, 0x0000,
         0xF800},
    });
}

// Direct-colour source, 16-bit destination, modes 4, 10 and 11.
TEST_F(SpanCasesTest, DirectSource16ModesFourTenEleven) {
    Check(16, kSpanPlain, {
        {"mode 4: white over white gives (30, 62, 30)", 4, 0, kWhite, kNoGraphic, 0, 0, 0xFFFF, 0, 0xFFFF, 0xF7DE},
        {"mode 4: black gives 0", 4, 0, kWhite, kNoGraphic, 0, 0, 0x0000, 0, 0xFFFF, 0x0000},
        {"mode 11 at 0 rewrites its own value", 11, 0, kWhite, kNoGraphic, 0, 0, 0x1234, 0, 0xABCD, 0xABCD},
        {"mode 10 at 0 rewrites its own value", 10, 0, kWhite, kNoGraphic, 0, 0, 0x1234, 0, 0xABCD, 0xABCD},
        {"mode 10 at 255: black over black gives 0xFFFF", 10, 255, kWhite, kNoGraphic, 0, 0, 0x0000, 0, 0x0000, 0xFFFF},
        {"mode 10, G = 255, p = 255: red 0 reaches 30", 10, 255, kWhite, 255, 0, 0, 0x0000, 0, 0x0000, 0xF7DE},
        {"mode 4 skips the key", 4, 0, kWhite, kNoGraphic, 1, 0x1234, 0x1234, 0, 0xABCD, 0xABCD},
        {"mode 10 skips the key", 10, 255, kWhite, kNoGraphic, 1, 0x1234, 0x1234, 0, 0xABCD, 0xABCD},
        {"mode 11 skips the key", 11, 255, kWhite, kNoGraphic, 1, 0x1234, 0x1234, 0, 0xABCD, 0xABCD},
        {"white in its low 24 bits is no brightening", 4, 0, 0x12FFFFFF, kNoGraphic, 0, 0, 0xFFFF, 0, 0xFFFF, 0xF7DE},
        {"mode 4 with a black bright colour writes black", 4, 0, 0, kNoGraphic, 0, 0, 0xFFFF, 0, 0xFFFF, 0x0000},
        {"mode 11 with a black bright colour moves to black", 11, 255, 0, kNoGraphic, 0, 0, 0xFFFF, 0, 0xFFFF, 0x0000},
    });
    Check(16, kSpanAlpha, {
        {"mode 4, flag 1: a = 0 turns black", 4, 0, kWhite, kNoGraphic, 1, 0, 0x0000FFFF, 0, 0xFFFF, 0x0000},
        {"mode 4, flag 1: a = 255 is unweighted", 4, 0, kWhite, kNoGraphic, 1, 0, 0x00FFFFFF, 0, 0xFFFF, 0xF7DE},
        {"mode 10, flag 1: a = 0 leaves D", 10, 255, kWhite, kNoGraphic, 1, 0, 0x00000000, 0, 0x1234, 0x1234},
        {"mode 10, flag 0: a = 0 rewrites D", 10, 255, kWhite, kNoGraphic, 0, 0, 0x00000000, 0, 0x1234, 0x1234},
        {"mode 11, a = 0 leaves D", 11, 255, kWhite, kNoGraphic, 1, 0, 0x00000000, 0, 0x1234, 0x1234},
    });
}

// The solid colour, and the solid triangle.
TEST_F(SpanCasesTest, SolidColour) {
    Check(32, kSpanSolid, {
        {"bright (255, 255, 0) scales each channel", 0, 0, 0xFFFF00, kNoGraphic, 0, 0, 0x00FFFFFF, 0, 0x12345678,
         0x00FFFF00},
        {"blue by bright blue, red by bright red", 0, 0, 0xFF0000, kNoGraphic, 0, 0, 0x00808080, 0, 0, 0x00800000},
        {"white draws the colour with byte 3", 0, 0, kWhite, kNoGraphic, 0, 0, 0xAB123456, 0, 0, 0xAB123456},
        {"mode 1 at 255 fills like mode 0", 1, 255, kWhite, kNoGraphic, 0, 0, 0xAB123456, 0, 0, 0xAB123456},
        {"mode 1 at 0 draws nothing", 1, 0, kWhite, kNoGraphic, 0, 0, 0xAB123456, 0, 7, 7},
        {"mode 2 at 0 draws nothing", 2, 0, kWhite, kNoGraphic, 0, 0, 0xAB123456, 0, 7, 7},
        {"mode 3 at 0 draws nothing", 3, 0, kWhite, kNoGraphic, 0, 0, 0xAB123456, 0, 7, 7},
        {"mode 10 at 0 changes nothing", 10, 0, kWhite, kNoGraphic, 0, 0, 0xAB123456, 0, 0x77665544, 0x77665544},
        {"mode 11 at 0 changes nothing", 11, 0, kWhite, kNoGraphic, 0, 0, 0xAB123456, 0, 0x77665544, 0x77665544},
        {"mode 2: 0xFF over 0x1", 2, 255, kWhite, kNoGraphic, 0, 0, 0xFF, 0, 0x1, 0x1FF},
        {"mode 2: 0xFFFFFF over 0xFFFFFF", 2, 255, kWhite, kNoGraphic, 0, 0, 0xFFFFFF, 0, 0xFFFFFF, 0x1FFFFFF},
        {"mode 3: 0 over 0xFF000000", 3, 255, kWhite, kNoGraphic, 0, 0, 0, 0, 0xFF000000, 0x10100},
        {"mode 3: 0xFFFFFF over 0xFFFFFF", 3, 255, kWhite, kNoGraphic, 0, 0, 0xFFFFFF, 0, 0xFFFFFF, 0x10100},
        {"mode 3: 0x1 over 0", 3, 255, kWhite, kNoGraphic, 0, 0, 0x1, 0, 0, 0x10000},
        {"mode 4: white over white, byte 3 kept", 4, 0, kWhite, kNoGraphic, 0, 0, 0xFFFFFF, 0, 0xFFFFFFFF, 0xFFFEFEFE},
        {"mode 1 at 128: white over black", 1, 128, kWhite, kNoGraphic, 0, 0, 0xFFFFFF, 0, 0, 0x7F7F7F},
        {"mode 10 at 255: black over black", 10, 255, kWhite, kNoGraphic, 0, 0, 0, 0, 0, 0xFEFEFE},
        {"modes 5 to 9 draw nothing", 7, 255, kWhite, kNoGraphic, 0, 0, 0xFFFFFF, 0, 7, 7},
    });
    Check(16, kSpanSolid, {
        {"mode 2: 0x0001 over 0x001F", 2, 255, kWhite, kNoGraphic, 0, 0, 0x0001, 0, 0x001F, 0x003F},
        {"mode 3: 0 over 0", 3, 255, kWhite, kNoGraphic, 0, 0, 0x0000, 0, 0x0000, 0x0800},
        {"mode 3: 0xFFFF over 0", 3, 255, kWhite, kNoGraphic, 0, 0, 0xFFFF, 0, 0x0000, 0x0000},
        {"mode 3: 0 over 0xFFFF", 3, 255, kWhite, kNoGraphic, 0, 0, 0x0000, 0, 0xFFFF, 0xFFDF},
        {"mode 4: white over white", 4, 0, kWhite, kNoGraphic, 0, 0, 0xFFFF, 0, 0xFFFF, 0xF7DE},
        {"each field by its own bright channel", 0, 0, 0xFFFF00, kNoGraphic, 0, 0, 0xFFFF, 0, 0, 0xFFE0},
        // The bits above the 5-6-5 colour are not part of it.
        {"a colour with bits above 16 brightened", 0, 0, 0x808080, kNoGraphic, 0, 0, 0xFFFFFFFF, 0, 0, 0x7BEF},
        {"and unbrightened", 0, 0, kWhite, kNoGraphic, 0, 0, 0x7FFF1234, 0, 0, 0x1234},
    });
}

}  // namespace
