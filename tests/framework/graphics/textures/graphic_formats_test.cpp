#include <gtest/gtest.h>

#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/textures/graphic_formats.h"
#include "framework/graphics/handles/graphic_image.h"
#include "framework/graphics/image/pixel_format.h"

namespace graphicstest {
namespace {

struct ClassifyCase {
    uint8_t hardware, alpha, renderTarget, compressed, alphaTest, colorBits;
    int index;
};

TEST(GraphicFormatsTest, TheDescriptionChoosesTheFormatIndex) {
    const ClassifyCase cases[] = {
        {1, 0, 0, 0, 0, 16, 0},  {1, 0, 0, 0, 0, 32, 1},  {1, 0, 0, 0, 0, 24, 1},  {1, 1, 0, 0, 0, 16, 2},
        {1, 1, 0, 0, 1, 32, 3},  {1, 0, 0, 0, 1, 16, 4},  {1, 0, 0, 0, 1, 32, 5},  {1, 1, 0, 1, 0, 32, 6},
        {1, 1, 0, 5, 0, 16, 10}, {1, 0, 1, 0, 0, 16, 11}, {1, 0, 1, 0, 0, 32, 12}, {1, 0, 1, 0, 1, 16, 13},
        {1, 1, 1, 0, 0, 32, 13}, {0, 0, 1, 0, 1, 16, 15}, {0, 1, 1, 0, 0, 16, 16}, {0, 0, 1, 0, 0, 32, 17},
        {0, 1, 1, 0, 0, 32, 18},
    };
    for (const ClassifyCase& c : cases) {
        GraphicImage description{};
        description.hardware = c.hardware;
        description.alphaChannel = c.alpha;
        description.renderTarget = c.renderTarget;
        description.compressedKind = c.compressed;
        description.alphaTest = c.alphaTest;
        description.colorBits = c.colorBits;
        EXPECT_EQ(ClassifyPixelFormat(&description), c.index) << "case with index " << c.index;
    }
}

TEST(GraphicFormatsTest, EachTextureFormatIndexHasItsPixelFormat) {
    EXPECT_EQ(GetFormatIndexPixelFormat(14), nullptr);
    EXPECT_EQ(GetFormatIndexPixelFormat(-1), nullptr);

    const PixelFormat* dxt1 = GetFormatIndexPixelFormat(6);
    ASSERT_NE(dxt1, nullptr);
    EXPECT_EQ(dxt1->bitsPerPixel, 4);
    EXPECT_EQ(dxt1->specialFormat, 1u);
    EXPECT_EQ(dxt1->bytesPerPixel, 4);  // the 32-bit alpha layout underneath
    EXPECT_EQ(dxt1->alphaMask, 0xFF000000u);
    EXPECT_EQ(GetFormatIndexPixelFormat(10)->bitsPerPixel, 8);
    EXPECT_EQ(GetFormatIndexPixelFormat(10)->specialFormat, 5u);

    const PixelFormat* alpha16 = GetFormatIndexPixelFormat(2);
    EXPECT_EQ(alpha16->bitsPerPixel, 16);
    EXPECT_EQ(alpha16->redMask, 0x0F00u);
    EXPECT_EQ(alpha16->alphaMask, 0xF000u);
    EXPECT_EQ(GetFormatIndexPixelFormat(4)->alphaMask, 0x8000u);
    EXPECT_EQ(GetFormatIndexPixelFormat(12)->alphaMask, 0u);
    EXPECT_EQ(GetFormatIndexPixelFormat(13)->alphaMask, 0xFF000000u);
    EXPECT_EQ(GetFormatIndexPixelFormat(0)->specialFormat, 0u);

    // The font graphics' formats come from the same table.
    EXPECT_EQ(GetFontGraphicPixelFormat(1, 0, 0, 0), GetFormatIndexPixelFormat(2));
    EXPECT_EQ(GetFontGraphicPixelFormat(0, 1, 1, 0), GetFormatIndexPixelFormat(5));
    EXPECT_EQ(GetFontGraphicPixelFormat(0, 0, 1, 1), GetFormatIndexPixelFormat(12));
}

TEST(GraphicFormatsTest, PresetFormatsCoverThePackedDirect3DFormatsOnly) {
    const PixelFormat* argb = GetPresetPixelFormat(D3DFMT_A8R8G8B8);
    ASSERT_NE(argb, nullptr);
    EXPECT_EQ(argb->bitsPerPixel, 32);
    EXPECT_EQ(argb->alphaMask, 0xFF000000u);
    const PixelFormat* abgr10 = GetPresetPixelFormat(D3DFMT_A2B10G10R10);
    EXPECT_EQ(abgr10->redMask, 0x3FFu);
    EXPECT_EQ(abgr10->blueMask, 0x3FF00000u);
    EXPECT_EQ(GetPresetPixelFormat(D3DFMT_R8G8B8)->bytesPerPixel, 3);
    EXPECT_EQ(GetPresetPixelFormat(D3DFMT_A8R3G3B2)->alphaMask, 0xFF00u);
    EXPECT_EQ(GetPresetPixelFormat(D3DFMT_A8R8G8B8), argb);
    for (D3DFORMAT other : {D3DFMT_UNKNOWN, D3DFMT_DXT1, D3DFMT_DXT5, D3DFMT_D16, D3DFMT_YUY2, static_cast<D3DFORMAT>(28)})
        EXPECT_EQ(GetPresetPixelFormat(other), nullptr) << other;
}

}  // namespace
}  // namespace graphicstest
