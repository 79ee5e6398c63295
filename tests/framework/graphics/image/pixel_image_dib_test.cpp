// Pixel images handed to GDI as top-down DIBs, for each preset format.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "framework/base/tracked_memory.h"
#include "framework/graphics/image/pixel_image.h"
#include "framework/graphics/image/pixel_image_dib.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/test_support.h"

namespace {

// The header with room for a whole palette behind it.
struct DibHeader {
    BITMAPINFOHEADER info;
    RGBQUAD palette[256];
};

class PixelImageDibTest : public testsupport::PlatformTest {
protected:
    void TearDown() override {
        if (result_ == 1) FreeMemory(bits_);
        FreePixelImage(&image_);
        testsupport::PlatformTest::TearDown();
    }
    void Make(int (*preset)(PixelFormat*), int width, int height) {
        PixelFormat format{};
        preset(&format);
        ASSERT_EQ(AllocPixelImageAs(width, height, &format, &image_), 0);
        // Every byte of the block numbered, padding included.
        for (int i = 0; i < image_.pitch * height; ++i) image_.pixels[i] = static_cast<uint8_t>(i * 7 + 1);
    }
    int ToDib(int forceCopy, int force24) {
        if (result_ == 1) FreeMemory(bits_);
        std::memset(&header_, 0xCC, sizeof header_);
        bits_ = nullptr;
        result_ = PixelImageToDib(&image_, reinterpret_cast<BITMAPINFO*>(&header_), &bits_, forceCopy, force24);
        return result_;
    }
    void ExpectHeader(int bitCount) const {
        EXPECT_EQ(header_.info.biSize, 40u);
        EXPECT_EQ(header_.info.biWidth, image_.width);
        EXPECT_EQ(header_.info.biHeight, -image_.height);
        EXPECT_EQ(header_.info.biPlanes, 1);
        EXPECT_EQ(header_.info.biBitCount, bitCount);
        EXPECT_EQ(header_.info.biCompression, BI_RGB);
        EXPECT_EQ(header_.info.biSizeImage, 0u);
    }
    // The DIB's blue, green, red bytes of a pixel of a 24-bit DIB.
    uint32_t Dib24At(int x, int y) const {
        const int pitch = (image_.width * 3 + 3) / 4 * 4;
        const uint8_t* p = static_cast<const uint8_t*>(bits_) + y * pitch + x * 3;
        return static_cast<uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
    }
    uint32_t ImageRgbAt(int x, int y) const {
        int red = 0, green = 0, blue = 0;
        ReadPixelRgba(const_cast<PixelImage*>(&image_), x, y, &red, &green, &blue, nullptr);
        return static_cast<uint32_t>(red) << 16 | green << 8 | blue;
    }
    void ExpectSameColours() const {
        for (int y = 0; y < image_.height; ++y)
            for (int x = 0; x < image_.width; ++x) EXPECT_EQ(Dib24At(x, y), ImageRgbAt(x, y)) << x << ", " << y;
    }

    PixelImage image_{};
    DibHeader header_{};
    void* bits_ = nullptr;
    int result_ = 0;
};

TEST_F(PixelImageDibTest, EightBitImagesKeepTheirIndicesAndPalette) {
    for (int (*preset)(PixelFormat*) : {UsePalette8Format, UseGray8Format}) {
        FreePixelImage(&image_);
        Make(preset, 5, 3);  // pitch 8, as the DIB's
        image_.format.palette[7] = PaletteColor{1, 2, 3, 4};
        EXPECT_EQ(ToDib(0, 0), 0);
        ExpectHeader(8);
        EXPECT_EQ(bits_, image_.pixels);
        EXPECT_EQ(std::memcmp(header_.palette, image_.format.palette, sizeof header_.palette), 0);

        EXPECT_EQ(ToDib(1, 0), 1);
        ASSERT_NE(bits_, image_.pixels);
        for (int y = 0; y < 3; ++y)
            EXPECT_EQ(std::memcmp(static_cast<uint8_t*>(bits_) + y * 8, image_.pixels + y * image_.pitch, 5), 0);
    }
}

TEST_F(PixelImageDibTest, AnEightBitImageOfAnotherPitchIsCopiedRowByRow) {
    Make(UseGray8Format, 6, 2);
    image_.pitch = 6;  // as a loader may leave it
    EXPECT_EQ(ToDib(0, 0), 1);
    const auto* rows = static_cast<const uint8_t*>(bits_);
    EXPECT_EQ(std::memcmp(rows, image_.pixels, 6), 0);
    EXPECT_EQ(std::memcmp(rows + 8, image_.pixels + 6, 6), 0);
}

TEST_F(PixelImageDibTest, BlueGreenRedImagesAreHandedOverWhenThePitchFits) {
    Make(UseRgb24Format, 5, 3);  // pitch 16, as the DIB's
    EXPECT_EQ(ToDib(0, 0), 0);
    ExpectHeader(24);
    EXPECT_EQ(bits_, image_.pixels);
    EXPECT_EQ(ToDib(1, 0), 1);
    ExpectSameColours();

    image_.pitch = 15;  // rows packed without padding
    image_.height = 2;
    EXPECT_EQ(ToDib(0, 0), 1);
    ExpectSameColours();
}

TEST_F(PixelImageDibTest, OtherFormatsAreConvertedTo24Bits) {
    const struct {
        const char* what;
        int (*preset)(PixelFormat*);
        int force24;
    } cases[] = {
        {"X8R8G8B8", UseXrgb32Format, 0},
        {"A8R8G8B8", UseArgb32Format, 0},
        {"palette forced to 24 bits", UsePalette8Format, 1},
        {"grey forced to 24 bits", UseGray8Format, 1},
    };
    for (const auto& c : cases) {
        FreePixelImage(&image_);
        Make(c.preset, 3, 2);
        for (int i = 0; i < 256; ++i) image_.format.palette[i] = PaletteColor{uint8_t(i), uint8_t(255 - i), 9, 0};
        EXPECT_EQ(ToDib(0, c.force24), 1) << c.what;
        ExpectHeader(24);
        ExpectSameColours();
    }
}

TEST_F(PixelImageDibTest, AFailedCopyGivesMinusOne) {
    Make(UseXrgb32Format, 4, 4);
    platform::Profile().failures.heap.failAllocationNumber = 1;
    EXPECT_EQ(ToDib(0, 0), -1);
    FreePixelImage(&image_);
    EXPECT_EQ(ToDib(0, 0), -1);  // no pixels at all
}

}  // namespace
