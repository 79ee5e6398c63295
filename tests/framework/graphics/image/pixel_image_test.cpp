// Pixel images: allocation, per-pixel access, mirroring, clearing, halving,
// the clipped copy, scaling and the handle table.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "framework/base/tracked_memory.h"
#include "framework/graphics/image/cpu_image_handles.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/image/pixel_image.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/test_support.h"

namespace {

class PixelImageTest : public testsupport::PlatformTest {
protected:
    void TearDown() override {
        for (PixelImage* image : {&a_, &b_}) FreePixelImage(image);
        testsupport::PlatformTest::TearDown();
    }
    static PixelFormat Format(int bits, uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha) {
        PixelFormat format{};
        DefinePixelFormat(&format, bits, red, green, blue, alpha);
        return format;
    }
    static uint32_t ValueAt(const PixelImage& image, int x, int y) {
        uint32_t value = 0;
        std::memcpy(&value, image.pixels + y * image.pitch + x * image.format.bytesPerPixel,
                    image.format.bytesPerPixel);
        return value;
    }
    static void SetValue(PixelImage* image, int x, int y, uint32_t value) {
        std::memcpy(image->pixels + y * image->pitch + x * image->format.bytesPerPixel, &value,
                    image->format.bytesPerPixel);
    }
    // Every pixel of an image numbered row * 16 + column (+ base).
    static void Number(PixelImage* image, uint32_t base = 0) {
        for (int y = 0; y < image->height; ++y) {
            for (int x = 0; x < image->width; ++x) SetValue(image, x, y, base + static_cast<uint32_t>(y * 16 + x));
        }
    }
    PixelImage a_{};
    PixelImage b_{};
};

TEST_F(PixelImageTest, PitchIsTheRowRoundedUpToFourBytes) {
    struct Case {
        int bits, width, pitch;
    } const cases[] = {{24, 5, 16}, {24, 4, 12}, {8, 1, 4}, {8, 9, 12}, {16, 3, 8}, {32, 3, 12}};
    for (const Case& c : cases) {
        PixelImage image{};
        const PixelFormat format = Format(c.bits, 0xFF0000, 0xFF00, 0xFF, 0);
        ASSERT_EQ(AllocPixelImageAs(c.width, 2, &format, &image), 0);
        EXPECT_EQ(image.pitch, c.pitch) << c.bits << " bits x " << c.width;
        EXPECT_EQ(image.mipCount, 0u);
        std::memset(image.pixels, 0, static_cast<size_t>(image.pitch) * 2);
        FreePixelImage(&image);
        const PixelImage zero{};
        EXPECT_EQ(std::memcmp(&image, &zero, sizeof image), 0);
    }
    ASSERT_EQ(AllocArgb32PixelImage(2, 2, &a_), 0);
    EXPECT_EQ(a_.format.alphaMask, 0xFF000000u);
    ASSERT_EQ(AllocXrgb32PixelImage(2, 2, &b_), 0);
    EXPECT_EQ(b_.format.spareMask, 0xFF000000u);
}

TEST_F(PixelImageTest, AFailedAllocationLeavesTheRecordAlone) {
    a_.width = 77;
    platform::Profile().failures.heap.failAllocationNumber = 1;
    EXPECT_EQ(AllocXrgb32PixelImage(4, 4, &a_), -1);
    EXPECT_EQ(a_.width, 77);
    EXPECT_EQ(a_.pixels, nullptr);
    EXPECT_EQ(AllocXrgb32PixelImage(-1, 4, &a_), -1);
}

TEST_F(PixelImageTest, ReadPixelCodePutsEachChannelAtTheTopOfItsByte) {
    const PixelFormat rgb565 = Format(16, 0xF800, 0x07E0, 0x001F, 0);
    ASSERT_EQ(AllocPixelImageAs(2, 1, &rgb565, &a_), 0);
    SetValue(&a_, 0, 0, 0xFFFF);
    SetValue(&a_, 1, 0, 0x0821);
    EXPECT_EQ(ReadPixelCode(&a_, 0, 0), 0x00F8FCF8u);
    EXPECT_EQ(ReadPixelCode(&a_, 1, 0), 0x00080408u);
    // Out of the image: nothing read.
    EXPECT_EQ(ReadPixelCode(&a_, 2, 0), 0u);
    EXPECT_EQ(ReadPixelCode(&a_, 0, -1), 0u);

    ASSERT_EQ(AllocArgb32PixelImage(1, 1, &b_), 0);
    SetValue(&b_, 0, 0, 0x80112233);
    EXPECT_EQ(ReadPixelCode(&b_, 0, 0), 0x80112233u);

    PixelImage palette{};
    PixelFormat format{};
    UsePalette8Format(&format);
    format.palette[4] = PaletteColor{0x33, 0x22, 0x11, 0x99};
    ASSERT_EQ(AllocPixelImageAs(1, 1, &format, &palette), 0);
    palette.pixels[0] = 4;
    EXPECT_EQ(ReadPixelCode(&palette, 0, 0), 0x112233u);
    FreePixelImage(&palette);
}

TEST_F(PixelImageTest, WriteAndReadPixelRgbaRoundTripAndRefuseOutsidePositions) {
    const PixelFormat formats[] = {Format(16, 0xF800, 0x07E0, 0x001F, 0), Format(24, 0xFF0000, 0xFF00, 0xFF, 0),
                                   Format(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000),
                                   Format(16, 0x0F00, 0x00F0, 0x000F, 0xF000)};
    for (const PixelFormat& format : formats) {
        PixelImage image{};
        ASSERT_EQ(AllocPixelImageAs(3, 2, &format, &image), 0);
        std::memset(image.pixels, 0, static_cast<size_t>(image.pitch) * 2);
        EXPECT_EQ(WritePixelRgba(&image, 2, 1, 255, 0, 255, 255), 0);
        int red = -1, green = -1, blue = -1, alpha = -1;
        EXPECT_EQ(ReadPixelRgba(&image, 2, 1, &red, &green, &blue, &alpha), 0);
        EXPECT_EQ(red, 255);
        EXPECT_EQ(green, 0);
        EXPECT_EQ(blue, 255);
        EXPECT_EQ(alpha, format.alphaMask ? 255 : 0);
        for (const auto& [x, y] : {std::pair{3, 0}, {0, 2}, {-1, 0}, {0, -1}}) {
            EXPECT_EQ(WritePixelRgba(&image, x, y, 1, 2, 3, 4), -1);
            red = -7;
            EXPECT_EQ(ReadPixelRgba(&image, x, y, &red, nullptr, nullptr, nullptr), -1);
            EXPECT_EQ(red, -7);
        }
        FreePixelImage(&image);
    }
}

TEST_F(PixelImageTest, PaletteImagesWriteTheNearestIndexAndReadTheEntry) {
    PixelFormat format{};
    UsePalette8Format(&format);
    format.palette[2] = PaletteColor{10, 20, 30, 40};
    ASSERT_EQ(AllocPixelImageAs(2, 1, &format, &a_), 0);
    EXPECT_EQ(WritePixelRgba(&a_, 1, 0, 31, 19, 11, 0), 0);
    EXPECT_EQ(a_.pixels[1], 2);
    int red, green, blue, alpha;
    EXPECT_EQ(ReadPixelRgba(&a_, 1, 0, &red, &green, &blue, &alpha), 0);
    EXPECT_EQ(red, 30);
    EXPECT_EQ(green, 20);
    EXPECT_EQ(blue, 10);
    EXPECT_EQ(alpha, 40);
}

// One DXT1 block of 4 x 4 red pixels (colour 0 pure red, every index 0).
void MakeRedDxt1Block(PixelImage* image) {
    DefinePixelFormat(&image->format, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
    image->format.specialFormat = kDxt1Pixels;
    image->format.bitsPerPixel = 4;
    image->width = 4;
    image->height = 4;
    image->pixels = static_cast<uint8_t*>(AllocZeroedMemory(8, __FILE__, __LINE__));
    image->pixels[1] = 0xF8;
}

TEST_F(PixelImageTest, BlockCompressedImagesAreExpandedBeforeAnyPixelAccess) {
    MakeRedDxt1Block(&a_);
    int rgba[4] = {};
    EXPECT_EQ(ReadPixelRgba(&a_, 3, 3, &rgba[0], &rgba[1], &rgba[2], &rgba[3]), 0);
    EXPECT_EQ(a_.format.specialFormat, kPlainPixels);
    EXPECT_EQ(rgba[0], 255);
    EXPECT_EQ(rgba[1], 0);
    EXPECT_EQ(rgba[3], 255);
    FreePixelImage(&a_);

    // Blocks that cannot be expanded make every access fail and stay as they are.
    MakeRedDxt1Block(&a_);
    ASSERT_EQ(AllocXrgb32PixelImage(4, 4, &b_), 0);
    int red = -1;
    platform::Profile().failures.heap.failAllocationNumber = 1;
    EXPECT_EQ(ReadPixelRgba(&a_, 0, 0, &red, nullptr, nullptr, nullptr), -1);
    EXPECT_EQ(red, -1);
    platform::Profile().failures.heap.failAllocationNumber = 1;
    EXPECT_EQ(WritePixelRgba(&a_, 0, 0, 1, 2, 3, 4), -1);
    platform::Profile().failures.heap.failAllocationNumber = 1;
    EXPECT_EQ(CopyPixelImageRect(0, 0, 4, 4, 0, 0, &a_, &b_), -1);
    EXPECT_EQ(a_.format.specialFormat, kDxt1Pixels);
}

TEST_F(PixelImageTest, MirrorReversesEveryRowForEachPixelSize) {
    for (int bits : {8, 16, 24, 32}) {
        PixelImage image{};
        const PixelFormat format = Format(bits, 0xFF0000, 0xFF00, 0xFF, 0);
        ASSERT_EQ(AllocPixelImageAs(5, 2, &format, &image), 0);
        Number(&image, bits == 8 ? 0 : 0x10100);
        EXPECT_EQ(MirrorPixelImage(&image), 0);
        const uint32_t sizeMask = bits == 32 ? 0xFFFFFFFF : (1u << bits) - 1;
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 5; ++x) {
                EXPECT_EQ(ValueAt(image, x, y) & sizeMask,
                          ((bits == 8 ? 0 : 0x10100) + static_cast<uint32_t>(y * 16 + 4 - x)) & sizeMask)
                    << bits << " bits at " << x << "," << y;
            }
        }
        FreePixelImage(&image);
    }
    PixelImage empty{};
    EXPECT_EQ(MirrorPixelImage(&empty), -1);
}

TEST_F(PixelImageTest, ZeroRectClearsOnlyARectangleInsideTheImage) {
    ASSERT_EQ(AllocXrgb32PixelImage(4, 3, &a_), 0);
    Number(&a_, 1);
    EXPECT_EQ(ZeroPixelImageRect(&a_, 1, 1, 2, 2), 0);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            const bool cleared = x >= 1 && x < 3 && y >= 1;
            EXPECT_EQ(ValueAt(a_, x, y), cleared ? 0u : static_cast<uint32_t>(1 + y * 16 + x));
        }
    }
    struct Case {
        int x, y, width, height;
    } const outside[] = {{3, 0, 2, 1}, {0, 2, 1, 2}, {-1, 0, 1, 1}, {0, 0, -1, 1}};
    for (const Case& c : outside) EXPECT_EQ(ZeroPixelImageRect(&a_, c.x, c.y, c.width, c.height), -1);
    EXPECT_EQ(ValueAt(a_, 3, 0), 4u);
}

TEST_F(PixelImageTest, HalveAveragesGroupsChannelByChannel) {
    const PixelFormat xrgb = Format(32, 0xFF0000, 0xFF00, 0xFF, 0);
    ASSERT_EQ(AllocPixelImageAs(4, 2, &xrgb, &a_), 0);
    ASSERT_EQ(AllocPixelImageAs(2, 2, &xrgb, &b_), 0);
    std::memset(b_.pixels, 0xEE, static_cast<size_t>(b_.pitch) * 2);
    const uint32_t source[2][4] = {{0xFF102030, 0xFF112233, 0xFF000000, 0xFF0000FF},
                                   {0xFF102030, 0xFF112234, 0xFFFFFFFF, 0xFF000001}};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) SetValue(&a_, x, y, source[y][x]);
    }
    EXPECT_EQ(HalvePixelBlock(&xrgb, b_.pixels, b_.pitch, a_.pixels, a_.pitch, 0, 99, 0, 0, 4, 2), 0);
    // Sums divided by 4 with truncation; the spare byte is not set.
    EXPECT_EQ(ValueAt(b_, 0, 0), 0x00102131u);
    EXPECT_EQ(ValueAt(b_, 1, 0), 0x003F3F7Fu);
    EXPECT_EQ(ValueAt(b_, 0, 1), 0xEEEEEEEEu);

    // A single column averages pairs; a single pixel is copied.
    EXPECT_EQ(HalvePixelBlock(&xrgb, b_.pixels, b_.pitch, a_.pixels, a_.pitch, 1, 0, 1, 0, 1, 2), 0);
    EXPECT_EQ(ValueAt(b_, 1, 0), 0x00112233u);
    EXPECT_EQ(HalvePixelBlock(&xrgb, b_.pixels, b_.pitch, a_.pixels, a_.pitch, 0, 0, 2, 1, 1, 1), 0);
    EXPECT_EQ(ValueAt(b_, 0, 1), 0x00FFFFFFu);

    EXPECT_EQ(HalvePixelBlock(&xrgb, b_.pixels, b_.pitch, a_.pixels, a_.pitch, 0, 0, 0, 0, 3, 2), -1);
    EXPECT_EQ(HalvePixelBlock(&xrgb, b_.pixels, b_.pitch, a_.pixels, a_.pitch, 0, 0, 0, 0, 2, 3), -1);
    const PixelFormat rgb24 = Format(24, 0xFF0000, 0xFF00, 0xFF, 0);
    EXPECT_EQ(HalvePixelBlock(&rgb24, b_.pixels, b_.pitch, a_.pixels, a_.pitch, 0, 0, 0, 0, 2, 2), 0);
    EXPECT_EQ(ValueAt(b_, 0, 0), 0x00102131u);
}

TEST_F(PixelImageTest, CopyClipsAgainstBothImages) {
    ASSERT_EQ(AllocXrgb32PixelImage(4, 4, &a_), 0);
    ASSERT_EQ(AllocXrgb32PixelImage(3, 3, &b_), 0);
    Number(&a_, 0x100);
    struct Case {
        int srcX, srcY, width, height, dstX, dstY;
        // Expected destination: -1 untouched, else the source pixel (x, y) as y * 16 + x.
        int expected[3][3];
    } const cases[] = {
        {0, 0, 4, 4, 0, 0, {{0x00, 0x01, 0x02}, {0x10, 0x11, 0x12}, {0x20, 0x21, 0x22}}},
        {-1, 0, 2, 1, 0, 0, {{-1, 0x00, -1}, {-1, -1, -1}, {-1, -1, -1}}},
        {0, 0, 2, 2, -1, 1, {{-1, -1, -1}, {0x01, -1, -1}, {0x11, -1, -1}}},
        {2, 2, 5, 5, 1, 1, {{-1, -1, -1}, {-1, 0x22, 0x23}, {-1, 0x32, 0x33}}},
        {0, 0, 2, 2, 3, 0, {{-1, -1, -1}, {-1, -1, -1}, {-1, -1, -1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.srcX << "," << c.srcY << " " << c.width << "x" << c.height
                                        << " to " << c.dstX << "," << c.dstY);
        std::memset(b_.pixels, 0, static_cast<size_t>(b_.pitch) * 3);
        EXPECT_EQ(CopyPixelImageRect(c.srcX, c.srcY, c.width, c.height, c.dstX, c.dstY, &a_, &b_), 0);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 3; ++x) {
                const int e = c.expected[y][x];
                EXPECT_EQ(ValueAt(b_, x, y), e < 0 ? 0u : 0x100u + static_cast<uint32_t>(e)) << x << "," << y;
            }
        }
    }
}

TEST_F(PixelImageTest, CopyBetweenPaletteImagesRemapsToTheNearestEntry) {
    PixelFormat from{}, to{};
    UsePalette8Format(&from);
    UsePalette8Format(&to);
    from.palette[1] = PaletteColor{0, 0, 250, 0};   // red
    from.palette[2] = PaletteColor{250, 0, 0, 0};   // blue
    to.palette[7] = PaletteColor{255, 0, 0, 0};
    to.palette[9] = PaletteColor{0, 0, 255, 0};
    ASSERT_EQ(AllocPixelImageAs(3, 1, &from, &a_), 0);
    ASSERT_EQ(AllocPixelImageAs(3, 1, &to, &b_), 0);
    a_.pixels[0] = 1;
    a_.pixels[1] = 2;
    a_.pixels[2] = 0;
    EXPECT_EQ(CopyPixelImageRect(0, 0, 3, 1, 0, 0, &a_, &b_), 0);
    EXPECT_EQ(std::vector<uint8_t>(b_.pixels, b_.pixels + 3), (std::vector<uint8_t>{9, 7, 0}));
}

TEST_F(PixelImageTest, ScaleOfEqualSizesIsTheClippedCopy) {
    ASSERT_EQ(AllocXrgb32PixelImage(4, 4, &a_), 0);
    ASSERT_EQ(AllocXrgb32PixelImage(4, 4, &b_), 0);
    Number(&a_, 0xFF000000);
    std::memset(b_.pixels, 0, static_cast<size_t>(b_.pitch) * 4);
    EXPECT_EQ(ScalePixelImageRect(1, 1, 3, 4, &a_, 2, 0, 4, 3, &b_, 1), 0);
    EXPECT_EQ(ValueAt(b_, 2, 0), 0xFF000011u);
    EXPECT_EQ(ValueAt(b_, 3, 2), 0xFF000032u);
    EXPECT_EQ(ValueAt(b_, 1, 0), 0u);
}

TEST_F(PixelImageTest, ScaleNearestAndBilinear) {
    ASSERT_EQ(AllocArgb32PixelImage(2, 1, &a_), 0);
    ASSERT_EQ(AllocArgb32PixelImage(4, 1, &b_), 0);
    SetValue(&a_, 0, 0, 0xFF000000);
    SetValue(&a_, 1, 0, 0xFF0000FF);
    EXPECT_EQ(ScalePixelImageRect(0, 0, 2, 1, &a_, 0, 0, 4, 1, &b_, 0), 0);
    EXPECT_EQ(ValueAt(b_, 0, 0), 0xFF000000u);
    EXPECT_EQ(ValueAt(b_, 1, 0), 0xFF000000u);
    EXPECT_EQ(ValueAt(b_, 2, 0), 0xFF0000FFu);
    EXPECT_EQ(ValueAt(b_, 3, 0), 0xFF0000FFu);
    // Step 0.5: weights (65535 - fx)(65535) >> 16 and fx x 65535 >> 16; the
    // right neighbour of the last pixel is the edge pixel itself.
    EXPECT_EQ(ScalePixelImageRect(0, 0, 2, 1, &a_, 0, 0, 4, 1, &b_, 1), 0);
    EXPECT_EQ(ValueAt(b_, 0, 0), 0xFE000000u);
    EXPECT_EQ(ValueAt(b_, 1, 0), 0xFE00007Fu);
    EXPECT_EQ(ValueAt(b_, 2, 0), 0xFE0000FEu);
    EXPECT_EQ(ValueAt(b_, 3, 0), 0xFE0000FEu);
}

TEST_F(PixelImageTest, BilinearScaleReadsNothingOutsideTheSourceRectangle) {
    // A dark 2 x 2 rectangle at the top left of a 3 x 3 image whose last
    // column and row are white: none of the white may bleed into the result.
    ASSERT_EQ(AllocXrgb32PixelImage(3, 3, &a_), 0);
    ASSERT_EQ(AllocXrgb32PixelImage(4, 4, &b_), 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) SetValue(&a_, x, y, x == 2 || y == 2 ? 0xFFFFFFFFu : 0xFF101010u);
    EXPECT_EQ(ScalePixelImageRect(0, 0, 2, 2, &a_, 0, 0, 4, 4, &b_, 1), 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_LE(ValueAt(b_, x, y) & 0xFFFFFF, 0x101010u) << x << ", " << y;
}

TEST_F(PixelImageTest, ScaleRefusesRectanglesOutsideTheirImages) {
    ASSERT_EQ(AllocXrgb32PixelImage(4, 4, &a_), 0);
    ASSERT_EQ(AllocXrgb32PixelImage(4, 4, &b_), 0);
    struct Case {
        int src[4], dst[4];
    } const cases[] = {
        {{0, 0, 0, 4}, {0, 0, 4, 4}}, {{0, 0, 4, 4}, {0, 2, 4, 2}}, {{-1, 0, 2, 2}, {0, 0, 4, 4}},
        {{0, 0, 5, 4}, {0, 0, 4, 4}}, {{0, 0, 4, 4}, {0, 4, 4, 5}}, {{3, 0, 2, 4}, {0, 0, 4, 4}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScalePixelImageRect(c.src[0], c.src[1], c.src[2], c.src[3], &a_, c.dst[0], c.dst[1], c.dst[2],
                                      c.dst[3], &b_, 0),
                  -1);
    }
}

class CpuImageHandleTest : public testsupport::PlatformTest {
protected:
    void TearDown() override {
        RemoveAllCpuImages();
        testsupport::PlatformTest::TearDown();
    }
    // Puts a record with a 2 x 2 image into a slot, as a creator would.
    static int Add(int slot, uint32_t check) {
        auto* record = static_cast<CpuImageRecord*>(AllocZeroedMemory(sizeof(CpuImageRecord), "", 0));
        AllocXrgb32PixelImage(2, 2, &record->image);
        record->check = static_cast<int32_t>(check);
        CpuImageTable.slots[slot] = record;
        ++CpuImageTable.liveCount;
        if (slot >= CpuImageTable.highWater) CpuImageTable.highWater = slot + 1;
        return kCpuImageHandleKind | static_cast<int>(check) << 16 | slot;
    }
};

TEST_F(CpuImageHandleTest, RemoveChecksTheHandleAndMovesTheTopIndexDown) {
    const int first = Add(0, 5);
    Add(3, 2047);
    const int last = Add(9, 1);
    EXPECT_EQ(CpuImageTable.highWater, 10);
    const int refused[] = {-1, (last & ~0x78000000) | 0x08000000, last + (1 << 16), 0x70000000 | 4,
                           0x70000000 | 9000};
    for (int handle : refused) EXPECT_EQ(RemoveCpuImage(handle), -1) << std::hex << handle;
    EXPECT_EQ(CpuImageTable.liveCount, 3);
    EXPECT_EQ(RemoveCpuImage(last), 0);
    EXPECT_EQ(CpuImageTable.slots[9], nullptr);
    EXPECT_EQ(CpuImageTable.highWater, 4);
    EXPECT_EQ(CpuImageTable.liveCount, 2);
    EXPECT_EQ(RemoveCpuImage(last), -1);
    EXPECT_EQ(RemoveCpuImage(first), 0);
    EXPECT_EQ(CpuImageTable.highWater, 4);  // slot 3 is still the highest in use
}

TEST_F(CpuImageHandleTest, RemoveAllEmptiesTheTable) {
    Add(1, 7);
    Add(2, 0);
    Add(6, 100);
    EXPECT_EQ(ResetCpuImages(), 0);
    EXPECT_EQ(CpuImageTable.liveCount, 0);
    EXPECT_EQ(CpuImageTable.highWater, 0);
    for (int slot = 0; slot < 8; ++slot) EXPECT_EQ(CpuImageTable.slots[slot], nullptr);
}

}  // namespace
