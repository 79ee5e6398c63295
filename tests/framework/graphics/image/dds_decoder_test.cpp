// DDS surfaces: formats by mask and by number, DXT blocks kept as they are,
// mip levels measured by the shared level sizes, and headers that do not fit
// their data.
#include <cstring>

#include "framework/graphics/image/block_compressed_expansion.h"
#include "framework/graphics/image/mip_level_sizes.h"
#include "tests/framework/graphics/image/image_file_fixtures.h"

namespace imagetest {
namespace {

constexpr uint32_t kMipFlags = 0x1007 | 0x20000;
constexpr uint32_t kMipCaps = 0x1000 | 0x400000 | 0x8;

std::string Counting(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + 1);
    return bytes;
}

DdsPicture Dxt(int code, int width, int height, std::string data) {
    DdsPicture picture;
    picture.width = width;
    picture.height = height;
    picture.pixelFlags = 0x4;
    picture.fourCC = "DXT" + std::to_string(code);
    picture.bits = 0;
    picture.data = std::move(data);
    return picture;
}

TEST_F(ImageDecoderTest, DdsFormatNumber21LoadsAsA8R8G8B8) {
    DdsPicture picture;
    picture.width = 2;
    picture.height = 2;
    picture.pixelFlags = 0x4;
    picture.fourCC = FourCCNumber(21);
    picture.bits = 0;  // the number alone says how wide a pixel is
    picture.data = Counting(16);
    OwnedImage image;
    ASSERT_EQ(DecodeWith(DecodeDds, WriteDds(picture), image.get()), 0);
    EXPECT_EQ(image->format.bitsPerPixel, 32);
    EXPECT_EQ(image->format.alphaMask, 0xFF000000u);
    EXPECT_EQ(image->format.redMask, 0xFF0000u);
    ASSERT_EQ(image->height, 2);
    ASSERT_EQ(image->pitch, 8);
    EXPECT_EQ(image->mipCount, 0u);
    EXPECT_EQ(RowBytes(image.image, 1, 8), picture.data.substr(8));
}

TEST_F(ImageDecoderTest, DdsPixelFormatsByMasks) {
    struct Case {
        const char* name;
        uint32_t pixelFlags;
        uint32_t bits;
        uint32_t masks[4];
        uint32_t alphaMask;  // of the decoded format
    } const cases[] = {
        {"RGB with alpha", 0x41, 32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, 0xFF000000},
        {"RGB without the alpha flag", 0x40, 32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, 0},
        {"5-6-5", 0x40, 16, {0xF800, 0x7E0, 0x1F, 0}, 0},
        {"luminance", 0x20000, 8, {0xFF, 0, 0, 0}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DdsPicture picture;
        picture.width = 3;
        picture.height = 2;
        picture.pixelFlags = c.pixelFlags;
        picture.bits = c.bits;
        std::memcpy(picture.masks, c.masks, sizeof c.masks);
        picture.data = Counting(3 * 2 * c.bits / 8);
        OwnedImage image;
        ASSERT_EQ(DecodeWith(DecodeDds, WriteDds(picture), image.get()), 0);
        EXPECT_EQ(image->format.bitsPerPixel, c.bits);
        EXPECT_EQ(image->format.redMask, c.masks[0]);
        EXPECT_EQ(image->format.alphaMask, c.alphaMask);
        ASSERT_EQ(image->height, 2);
        ASSERT_EQ(image->pitch, static_cast<int>(3 * c.bits / 8));
        EXPECT_EQ(std::memcmp(image->pixels, picture.data.data(), picture.data.size()), 0);
    }
}

TEST_F(ImageDecoderTest, DxtBlocksAreKeptAsTheyAre) {
    struct Case {
        int code;
        int width;
        int height;
        size_t bytes;
    } const cases[] = {
        {1, 6, 6, 32},  // 2 x 2 blocks of 8 bytes: a partly used block counts
        {1, 2, 3, 8},   // smaller than a block: one block
        {1, 8, 4, 16},
        {3, 8, 8, 64},
        {5, 4, 4, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        // More data than the image holds: only its own blocks are read.
        const DdsPicture picture = Dxt(c.code, c.width, c.height, Counting(c.bytes + 40));
        OwnedImage image;
        ASSERT_EQ(DecodeWith(DecodeDds, WriteDds(picture), image.get()), 0);
        EXPECT_EQ(image->format.specialFormat, static_cast<uint32_t>(c.code));
        EXPECT_EQ(image->format.bitsPerPixel, c.code == 1 ? 4 : 8);
        EXPECT_EQ(image->format.alphaMask, 0xFF000000u);
        EXPECT_EQ(image->pitch, 0);
        EXPECT_EQ(image->width, c.width);
        EXPECT_EQ(MipChainByteCount(image->format, c.width, c.height, 0, 0), c.bytes);
        // What the image holds, by its own size, before its bytes are read.
        ASSERT_EQ(MipChainByteCount(image->format, image->width, image->height, image->pitch, image->mipCount),
                  c.bytes);
        EXPECT_EQ(std::memcmp(image->pixels, picture.data.data(), c.bytes), 0);
    }
}

// Bytes that look like nothing in particular, the same on every run.
std::string Scrambled(size_t size, uint32_t seed) {
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<char>(seed >> 16);
    }
    return bytes;
}

TEST_F(ImageDecoderTest, AnOddSizedDxtPictureDecodesAsItsBlocksOneByOne) {
    // 203 x 137 pixels: rows of 51 blocks (the last one three pixels wide),
    // 35 rows of blocks (the last one a pixel high), as encoders store them.
    constexpr int kWidth = 203;
    constexpr int kHeight = 137;
    constexpr int kAcross = 51;
    constexpr int kDown = 35;
    for (int code : {1, 3, 5}) {
        SCOPED_TRACE(code);
        const size_t blockBytes = code == 1 ? 8 : 16;
        const DdsPicture picture = Dxt(code, kWidth, kHeight, Scrambled(kAcross * kDown * blockBytes, code));
        OwnedImage image;
        ASSERT_EQ(DecodeWith(DecodeDds, WriteDds(picture), image.get()), 0);
        ASSERT_EQ(ExpandSpecialFormat(image.get()), 0);

        // Each block decoded alone, as a picture of one block, must be what
        // the whole picture shows at its place.
        int wrong = 0;
        for (int by = 0; by < kDown; ++by) {
            for (int bx = 0; bx < kAcross; ++bx) {
                OwnedImage one;
                const size_t at = (static_cast<size_t>(by) * kAcross + bx) * blockBytes;
                ASSERT_EQ(DecodeWith(DecodeDds, WriteDds(Dxt(code, 4, 4, picture.data.substr(at, blockBytes))),
                                     one.get()),
                          0);
                ASSERT_EQ(ExpandSpecialFormat(one.get()), 0);
                for (int y = 0; y < 4 && by * 4 + y < kHeight; ++y)
                    for (int x = 0; x < 4 && bx * 4 + x < kWidth; ++x)
                        if (PixelAt(image.image, bx * 4 + x, by * 4 + y) != PixelAt(one.image, x, y)) ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0);

        // A file that stops short of the last block is refused.
        DdsPicture cut = picture;
        cut.data.pop_back();
        OwnedImage refused;
        EXPECT_EQ(DecodeWith(DecodeDds, WriteDds(cut), refused.get()), -1);
        EXPECT_EQ(refused->pixels, nullptr);
    }
}

TEST_F(ImageDecoderTest, DdsMipLevelsFollowTheFirstAndMustAllBeThere) {
    struct Case {
        const char* name;
        DdsPicture picture;
        size_t bytes;
    };
    DdsPicture dxt5 = Dxt(5, 8, 8, "");
    dxt5.flags = kMipFlags;
    dxt5.caps = kMipCaps;
    dxt5.mipCount = 4;
    DdsPicture plain;
    plain.width = 4;
    plain.height = 2;
    plain.flags = kMipFlags;
    plain.caps = kMipCaps;
    plain.mipCount = 3;
    const Case cases[] = {
        // 2 x 2 blocks, then 4 x 4, 2 x 2 and 1 x 1 pixels in one block each.
        {"DXT5", dxt5, 64 + 16 + 16 + 16},
        // 4 x 2, 2 x 1 and 1 x 1 pixels of 4 bytes.
        {"plain", plain, 32 + 8 + 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DdsPicture picture = c.picture;
        picture.data = Counting(c.bytes);
        OwnedImage image;
        ASSERT_EQ(DecodeWith(DecodeDds, WriteDds(picture), image.get()), 0);
        ASSERT_EQ(image->mipCount, picture.mipCount);
        EXPECT_EQ(std::memcmp(image->pixels, picture.data.data(), c.bytes), 0);
        FreePixelImage(image.get());
        picture.data.pop_back();
        EXPECT_EQ(DecodeWith(DecodeDds, WriteDds(picture), image.get()), -1);
        EXPECT_EQ(image->pixels, nullptr);
        // Without the mipmap caps the count is not read.
        picture.caps = 0x1000;
        ASSERT_EQ(DecodeWith(DecodeDds, WriteDds(picture), image.get()), 0);
        EXPECT_EQ(image->mipCount, 0u);
        FreePixelImage(image.get());
    }
}

TEST(MipLevelSizes, LevelsAfterTheFirstNeverShrinkBelowOneBlockOrPixel) {
    PixelFormat dxt1{};
    dxt1.specialFormat = 1;
    PixelFormat dxt3{};
    dxt3.specialFormat = 3;
    PixelFormat rgb16{};
    DefinePixelFormat(&rgb16, 16, 0xF800, 0x7E0, 0x1F, 0);
    struct Case {
        const PixelFormat* format;
        int width, height, pitch;
        uint32_t level;
        uint64_t bytes;
    } const cases[] = {
        {&dxt1, 6, 6, 0, 0, 32},     {&dxt1, 6, 6, 0, 1, 8},       {&dxt1, 10, 10, 0, 1, 32},
        {&dxt3, 16, 4, 0, 0, 64},    {&dxt3, 16, 4, 0, 2, 16},     {&dxt3, 16, 4, 0, 9, 16},
        {&dxt1, 2, 2, 0, 0, 8},      {&dxt3, 203, 137, 0, 0, 51 * 35 * 16},
        {&dxt3, 203, 137, 0, 1, 26 * 17 * 16},
        {&rgb16, 5, 3, 12, 0, 36},   {&rgb16, 5, 3, 12, 1, 4},     {&rgb16, 5, 3, 12, 2, 2},
        {&rgb16, 5, 3, 12, 40, 2},   {&rgb16, 16384, 16384, 32768, 0, 536870912},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MipLevelByteCount(*c.format, c.width, c.height, c.pitch, c.level), c.bytes)
            << c.width << " x " << c.height << " level " << c.level;
    }
    EXPECT_EQ(MipChainByteCount(rgb16, 5, 3, 12, 3), 36u + 4u + 2u);
    EXPECT_EQ(FullMipChainLength(1, 1), 1u);
    EXPECT_EQ(FullMipChainLength(6, 17), 5u);
    EXPECT_EQ(FullMipChainLength(16384, 2), 15u);
}

TEST_F(ImageDecoderTest, DdsRefusesWhatItCannotDescribe) {
    struct Case {
        const char* name;
        DdsPicture picture;
    };
    auto plain = [](auto change) {
        DdsPicture picture;
        picture.width = 2;
        picture.height = 2;
        picture.data = Counting(64);
        change(picture);
        return picture;
    };
    const Case cases[] = {
        {"unknown FourCC", plain([](DdsPicture& p) { p.pixelFlags = 0x4; p.fourCC = "ATI2"; })},
        {"format number with other flags", plain([](DdsPicture& p) { p.pixelFlags = 0x44; p.fourCC = FourCCNumber(21); })},
        {"12 bits", plain([](DdsPicture& p) { p.bits = 12; })},
        {"no bits", plain([](DdsPicture& p) { p.bits = 0; })},
        {"pitch below the row", plain([](DdsPicture& p) { p.flags |= 0x8; p.pitch = 7; })},
        {"zero width", plain([](DdsPicture& p) { p.width = 0; })},
        {"too tall", plain([](DdsPicture& p) { p.height = 16385; })},
        {"negative width", plain([](DdsPicture& p) { p.width = -2; })},
        {"mip count past 1 x 1", plain([](DdsPicture& p) { p.flags = kMipFlags; p.caps = kMipCaps; p.mipCount = 3; })},
        {"huge mip count", plain([](DdsPicture& p) { p.flags = kMipFlags; p.caps = kMipCaps; p.mipCount = 0xFFFFFFFF; })},
        {"data short", plain([](DdsPicture& p) { p.data.resize(15); })},
        {"DXT data short", Dxt(1, 8, 8, Counting(31))},
    };
    for (const Case& c : cases) {
        OwnedImage image;
        EXPECT_EQ(DecodeWith(DecodeDds, WriteDds(c.picture), image.get()), -1) << c.name;
        EXPECT_EQ(image->pixels, nullptr);
    }
    OwnedImage image;
    EXPECT_EQ(DecodeWith(DecodeDds, "DDT " + WriteDds(plain([](DdsPicture&) {})).substr(4), image.get()), -1);
    // The fourth byte of the magic is not looked at; a row pitch with padding is kept.
    ASSERT_EQ(DecodeWith(DecodeDds, "DDS?" + WriteDds(plain([](DdsPicture& p) { p.flags |= 0x8; p.pitch = 12; })).substr(4),
                         image.get()),
              0);
    EXPECT_EQ(image->pitch, 12);
}

}  // namespace
}  // namespace imagetest
