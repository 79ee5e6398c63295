// The upload from two DIB sections (the bitmap mode): the same picture put
// into a graphic from its bitmaps and from pixel images holding the same
// bytes must give the same graphic, on every kind of storage; bitmaps that
// cannot be read as the format says are refused.
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "framework/graphics/draw_settings.h"
#include "framework/graphics/handles/graphic_creation.h"
#include "framework/graphics/textures/graphic_formats.h"
#include "framework/graphics/textures/texture_upload.h"
#include "platform/gdi/gdi.h"
#include "tests/framework/graphics/graphics_test_support.h"
#include "tests/framework/graphics/hardware_graphics_test_support.h"

namespace graphicstest {
namespace {

constexpr int kWidth = 13;
constexpr int kHeight = 7;
constexpr uint32_t kKey = 0x00FF00;

// A picture held twice: in two top-down 32-bit DIB sections (colour, and
// alpha in the red channel) and in two pixel images of the same bytes.
class Picture {
public:
    Picture() {
        color_ = MakeSection(&colorBits_);
        alpha_ = MakeSection(&alphaBits_);
        AllocXrgb32PixelImage(kWidth, kHeight, image_.get());
        AllocXrgb32PixelImage(kWidth, kHeight, alphaImage_.get());
        UseXrgb32Format(&format_);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                // Every fifth pixel is the transparent colour.
                const uint32_t colour = (x + y) % 5 == 0 ? kKey : 0x102030u * static_cast<uint32_t>(x + 1) + 7u * y;
                const uint32_t alpha = static_cast<uint32_t>(x * 19 + y * 3) << 16;
                colorBits_[y * kWidth + x] = colour;
                alphaBits_[y * kWidth + x] = alpha;
                std::memcpy(image_->pixels + y * image_->pitch + x * 4, &colour, 4);
                std::memcpy(alphaImage_->pixels + y * alphaImage_->pitch + x * 4, &alpha, 4);
            }
    }
    ~Picture() {
        DeleteObject(color_);
        DeleteObject(alpha_);
    }

    // The rectangle (1, 2)-(13, 7) of the picture at (3, 1), from the
    // bitmaps or from the pixel images.
    int Upload(int handle, bool fromBitmaps, bool withAlpha, int useTransparentColor) {
        RECT rect = {1, 2, kWidth, kHeight};
        if (fromBitmaps)
            return TransferImageToTexture(handle, &format_, color_, withAlpha ? alpha_ : nullptr, &rect, 3, 1, 1,
                                          nullptr, nullptr, 0, useTransparentColor, 0);
        return TransferImageToTexture(handle, nullptr, nullptr, nullptr, &rect, 3, 1, 0, image_.get(),
                                      withAlpha ? alphaImage_.get() : nullptr, 0, useTransparentColor, 0);
    }

    HBITMAP color_ = nullptr;
    HBITMAP alpha_ = nullptr;
    PixelFormat format_{};

private:
    static HBITMAP MakeSection(uint32_t** bits) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* pixels = nullptr;
        HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
        *bits = static_cast<uint32_t*>(pixels);
        return section;
    }

    uint32_t* colorBits_ = nullptr;
    uint32_t* alphaBits_ = nullptr;
    TestImage image_;
    TestImage alphaImage_;
};

// What a hardware graphic holds: every level of its texture, or for a render
// target its surface read back through system memory.
std::vector<uint32_t> TextureContents(int handle) {
    const GraphicImage& block = *BlockOf(handle);
    std::vector<uint32_t> values;
    if (block.renderTarget) {
        IDirect3DSurface9* copy = nullptr;
        Direct3DDevice.device->CreateOffscreenPlainSurface(static_cast<UINT>(block.pieces[0].textureWidth),
                                                           static_cast<UINT>(block.pieces[0].textureHeight),
                                                           D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &copy, nullptr);
        Direct3DDevice.device->GetRenderTargetData(static_cast<IDirect3DSurface9*>(block.pieces[0].surface), copy);
        D3DLOCKED_RECT locked{};
        copy->LockRect(&locked, nullptr, D3DLOCK_READONLY);
        for (int y = 0; y < block.pieces[0].textureHeight; ++y)
            for (int x = 0; x < block.pieces[0].textureWidth; ++x) {
                uint32_t value = 0;
                std::memcpy(&value, static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch + x * 4, 4);
                values.push_back(value);
            }
        copy->UnlockRect();
        copy->Release();
        return values;
    }
    const int bytes = GetPresetPixelFormat(Direct3DDevice.textureFormats[block.formatIndex])->bytesPerPixel;
    for (int level = 0; level < (block.mipLevelCount > 1 ? block.mipLevelCount : 1); ++level) {
        const std::vector<uint32_t> pixels = ReadLevel(TextureOf(handle), level, bytes);
        values.insert(values.end(), pixels.begin(), pixels.end());
    }
    return values;
}

struct HardwareCase {
    const char* name;
    int alpha;        // the graphic has an alpha channel
    int transFlag;    // the graphic keys its transparent colour
    int levels;       // mip levels, -1 for one
    bool renderTarget;
    bool withAlpha;   // the upload carries the alpha picture
    int screenBits;
};

// CTest names each case after its printed value: the case's name, not its
// bytes, whose pointer changes at every build.
void PrintTo(const HardwareCase& c, std::ostream* out) { *out << c.name; }

class BitmapModeHardwareTest : public HardwareGraphicsTest, public testing::WithParamInterface<HardwareCase> {
protected:
    int MakeGraphic(const HardwareCase& c) {
        if (c.renderTarget) return MakeEmptyGraphic(16, 8);
        const int handle = AllocGraphicHandle();
        return SetupGraphicImage(handle, 16, 8, c.alpha, 0, 0, c.levels) == 0 ? handle : -1;
    }
};

TEST_P(BitmapModeHardwareTest, TheBitmapsGiveWhatPixelImagesOfTheSameBytesGive) {
    const HardwareCase& c = GetParam();
    StartGraphics(c.screenBits);
    SetDrawTransparentColor(kKey);
    SetNewGraphTransFlag(c.transFlag);
    SetNewGraphDrawTargetFlag(c.renderTarget ? 1 : 0);
    Picture picture;
    const int fromBitmaps = MakeGraphic(c);
    const int fromImages = MakeGraphic(c);
    ASSERT_GE(fromBitmaps, 0);
    ASSERT_GE(fromImages, 0);
    const std::vector<uint32_t> empty = TextureContents(fromBitmaps);

    EXPECT_EQ(picture.Upload(fromBitmaps, true, c.withAlpha, c.transFlag), 0);
    EXPECT_EQ(picture.Upload(fromImages, false, c.withAlpha, c.transFlag), 0);
    const std::vector<uint32_t> got = TextureContents(fromBitmaps);
    EXPECT_NE(got, empty);
    EXPECT_EQ(got, TextureContents(fromImages));
    DeleteGraphicHandle(fromBitmaps, 0);
    DeleteGraphicHandle(fromImages, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, BitmapModeHardwareTest,
    testing::Values(HardwareCase{"AlphaChannelWithAlphaPicture", 1, 0, -1, false, true, 32},
                    HardwareCase{"KeyedTransparentColour", 0, 1, -1, false, false, 32},
                    HardwareCase{"SixteenBitKeyed", 0, 1, -1, false, false, 16},
                    HardwareCase{"MadeMipLevels", 1, 0, 4, false, true, 32},
                    HardwareCase{"RenderTarget", 0, 0, -1, true, false, 32}),
    [](const testing::TestParamInfo<HardwareCase>& info) { return info.param.name; });

TEST_F(BitmapModeHardwareTest, BitmapsThatCannotBeReadAsTheFormatSaysAreRefused) {
    StartGraphics(32);
    SetNewGraphTransFlag(0);
    Picture picture;
    const int handle = AllocGraphicHandle();
    ASSERT_EQ(SetupGraphicImage(handle, 16, 8, 0, 0, 0, -1), 0);
    const std::vector<uint32_t> before = TextureContents(handle);
    PixelFormat rgb24{};
    UseRgb24Format(&rgb24);
    RECT rect = {0, 0, kWidth, kHeight};
    // Rows of 3 bytes a pixel would not be the section's 4-byte pixels.
    EXPECT_EQ(TransferImageToTexture(handle, &rgb24, picture.color_, nullptr, &rect, 0, 0, 1, nullptr, nullptr, 0,
                                     0, 0),
              -1);
    // No format, and handles that are no bitmaps, as colour or as alpha.
    EXPECT_EQ(TransferImageToTexture(handle, nullptr, picture.color_, nullptr, &rect, 0, 0, 1, nullptr, nullptr, 0,
                                     0, 0),
              -1);
    HDC context = CreateCompatibleDC(nullptr);
    EXPECT_EQ(TransferImageToTexture(handle, &picture.format_, static_cast<HBITMAP>(context), nullptr, &rect, 0, 0,
                                     1, nullptr, nullptr, 0, 0, 0),
              -1);
    EXPECT_EQ(TransferImageToTexture(handle, &picture.format_, picture.color_, static_cast<HBITMAP>(context), &rect,
                                     0, 0, 1, nullptr, nullptr, 0, 0, 0),
              -1);
    EXPECT_EQ(TransferImageToTexture(handle, &picture.format_, nullptr, nullptr, &rect, 0, 0, 1, nullptr, nullptr, 0,
                                     0, 0),
              -1);
    DeleteDC(context);
    EXPECT_EQ(TextureContents(handle), before);
    // An empty rectangle reads no bitmap.
    RECT empty = {4, 4, 4, 7};
    EXPECT_EQ(TransferImageToTexture(handle, nullptr, nullptr, nullptr, &empty, 0, 0, 1, nullptr, nullptr, 0, 0, 0),
              0);
    DeleteGraphicHandle(handle, 0);
}

using BitmapModeSoftwareTest = GraphicsTest;

// The rows of a software graphic's memory image.
std::string MemImgContents(int handle) {
    const MEMIMG& image = BlockOf(handle)->memImg;
    const MemImgBase& base = *image.base;
    std::string bytes;
    for (int y = 0; y < static_cast<int>(image.height); ++y)
        bytes.append(reinterpret_cast<const char*>(image.pixels + y * base.pitch),
                     static_cast<size_t>(image.width) * base.format->bytesPerPixel);
    return bytes;
}

TEST_F(BitmapModeSoftwareTest, TheBitmapsGiveWhatPixelImagesOfTheSameBytesGive) {
    SetDrawTransparentColor(kKey);
    for (int depth : {16, 32}) {
        for (bool withAlpha : {false, true}) {
            SCOPED_TRACE(testing::Message() << depth << " bits, alpha picture " << withAlpha);
            SetNewGraphColorDepth(depth);
            SetNewGraphAlphaFlag(withAlpha ? 1 : 0);
            Picture picture;
            const int fromBitmaps = MakeEmptyGraphic(16, 8);
            const int fromImages = MakeEmptyGraphic(16, 8);
            ASSERT_GE(fromBitmaps, 0);
            ASSERT_GE(fromImages, 0);
            for (int handle : {fromBitmaps, fromImages}) FillMemImgRect(&BlockOf(handle)->memImg, nullptr, 0);
            const std::string empty = MemImgContents(fromBitmaps);
            EXPECT_EQ(picture.Upload(fromBitmaps, true, withAlpha, 1), 0);
            EXPECT_EQ(picture.Upload(fromImages, false, withAlpha, 1), 0);
            EXPECT_NE(MemImgContents(fromBitmaps), empty);
            EXPECT_EQ(MemImgContents(fromBitmaps), MemImgContents(fromImages));
            DeleteGraphicHandle(fromBitmaps, 0);
            DeleteGraphicHandle(fromImages, 0);
        }
    }
    SetNewGraphColorDepth(0);
    SetNewGraphAlphaFlag(0);
}

}  // namespace
}  // namespace graphicstest
