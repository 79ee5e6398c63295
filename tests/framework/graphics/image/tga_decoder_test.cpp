// TGA images: colour-mapped and true-colour, raw and run-length, turned top
// down and left to right; maps, packets and data that do not fit.
#include "tests/framework/graphics/image/image_file_fixtures.h"

namespace imagetest {
namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

std::vector<uint32_t> AllPixels(const PixelImage& image) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) pixels.push_back(PixelAt(image, x, y));
    return pixels;
}

struct TgaCase {
    const char* name;
    TgaPicture picture;
    int bits;
    uint32_t alphaMask;
    std::vector<uint32_t> pixels;  // top row first, left to right
};

TEST_F(ImageDecoderTest, TgaDecodesEveryTypeTopDownAndLeftToRight) {
    // Three 24-bit pixels A, B, C, D of a 2 x 2 image.
    const std::string abcd = Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    const TgaCase cases[] = {
        {"raw, top down", {2, 2, 2, 24, 0x20, 0, 0, 0, 0, "", "", abcd}, 24, 0, {0x030201, 0x060504, 0x090807, 0x0C0B0A}},
        {"raw, bottom up", {2, 2, 2, 24, 0x00, 0, 0, 0, 0, "id", "", abcd}, 24, 0,
         {0x090807, 0x0C0B0A, 0x030201, 0x060504}},
        {"raw, right to left", {2, 2, 2, 24, 0x30, 0, 0, 0, 0, "", "", abcd}, 24, 0,
         {0x060504, 0x030201, 0x0C0B0A, 0x090807}},
        // Bottom up with eight alpha bits.
        {"32 bits, descriptor 0x08", {2, 2, 2, 32, 0x08, 0, 0, 0, 0, "", "", Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16})},
         32, 0xFF000000, {0x0C0B0A09, 0x100F0E0D, 0x04030201, 0x08070605}},
        {"16 bits", {2, 2, 1, 16, 0x20, 0, 0, 0, 0, "", "", Bytes({0x1F, 0x80, 0x00, 0x7C})}, 16, 0, {0x801F, 0x7C00}},
        // A repeat packet of three and a literal packet of one.
        {"run-length", {10, 2, 2, 24, 0x20, 0, 0, 0, 0, "", "", Bytes({0x82, 1, 2, 3, 0x00, 4, 5, 6})}, 24, 0,
         {0x030201, 0x030201, 0x030201, 0x060504}},
        // A packet that runs past the last pixel is cut there.
        {"run-length overrun", {10, 2, 1, 24, 0x20, 0, 0, 0, 0, "", "", Bytes({0xFF, 1, 2, 3})}, 24, 0,
         {0x030201, 0x030201}},
        // The map starts at index 2; indices 2 and 3 name its entries.
        {"colour-mapped", {1, 3, 1, 8, 0x20, 1, 2, 2, 24, "", Bytes({1, 2, 3, 4, 5, 6}), Bytes({3, 2, 0})}, 24, 0,
         {0x060504, 0x030201, 0}},
        {"colour-mapped run-length", {9, 3, 1, 8, 0x20, 1, 0, 2, 32, "", Bytes({1, 2, 3, 4, 5, 6, 7, 8}), Bytes({0x81, 1, 0x00, 0})},
         32, 0xFF000000, {0x08070605, 0x08070605, 0x04030201}},
        // A true-colour image may carry a map: its pixels come after it.
        {"true colour with a map", {2, 1, 1, 24, 0x20, 1, 0, 2, 16, "", Bytes({9, 9, 9, 9}), Bytes({1, 2, 3})}, 24, 0,
         {0x030201}},
        // The footer's bytes are not run-length data.
        {"run-length with footer", {10, 2, 1, 24, 0x20, 0, 0, 0, 0, "", "", Bytes({0x81, 7, 8, 9}), true}, 24, 0,
         {0x090807, 0x090807}},
    };
    for (const TgaCase& c : cases) {
        SCOPED_TRACE(c.name);
        OwnedImage image;
        ASSERT_EQ(DecodeWith(DecodeTga, WriteTga(c.picture), image.get()), 0);
        EXPECT_EQ(image->format.bitsPerPixel, c.bits);
        EXPECT_EQ(image->format.alphaMask, c.alphaMask);
        EXPECT_EQ(image->pitch, c.picture.width * c.bits / 8);
        EXPECT_EQ(AllPixels(image.image), c.pixels);
    }
}

TEST_F(ImageDecoderTest, TgaSixteenBitsIsX1R5G5B5) {
    OwnedImage image;
    ASSERT_EQ(DecodeWith(DecodeTga, WriteTga({2, 1, 1, 16, 0x20, 0, 0, 0, 0, "", "", Bytes({0, 0})}), image.get()), 0);
    EXPECT_EQ(image->format.redMask, 0x7C00u);
    EXPECT_EQ(image->format.greenMask, 0x3E0u);
    EXPECT_EQ(image->format.blueMask, 0x1Fu);
    EXPECT_EQ(image->format.spareMask, 0x8000u);
}

TEST_F(ImageDecoderTest, TgaTakes8192PixelsASideAndNoMore) {
    OwnedImage image;
    const TgaPicture wide{2, 8192, 1, 24, 0x20, 0, 0, 0, 0, "", "", std::string(8192 * 3, '\x11')};
    EXPECT_EQ(DecodeWith(DecodeTga, WriteTga(wide), image.get()), 0);
    EXPECT_EQ(image->width, 8192);
    FreePixelImage(image.get());
    TgaPicture wider = wide;
    wider.width = 8193;
    wider.data += "\x11\x11\x11";
    EXPECT_EQ(DecodeWith(DecodeTga, WriteTga(wider), image.get()), -1);
    TgaPicture taller{2, 1, 8193, 24, 0x20, 0, 0, 0, 0, "", "", std::string(8193 * 3, '\x11')};
    EXPECT_EQ(DecodeWith(DecodeTga, WriteTga(taller), image.get()), -1);
}

TEST_F(ImageDecoderTest, TgaRefusesWhatDoesNotFit) {
    const std::string rgb = Bytes({1, 2, 3, 4, 5, 6});
    struct Case {
        const char* name;
        TgaPicture picture;
    } const cases[] = {
        {"raw data short", {2, 3, 1, 24, 0x20, 0, 0, 0, 0, "", "", rgb}},
        {"run-length data short", {10, 3, 1, 24, 0x20, 0, 0, 0, 0, "", "", Bytes({0x81, 1, 2, 3})}},
        {"literal packet short", {10, 3, 1, 24, 0x20, 0, 0, 0, 0, "", "", Bytes({0x02, 1, 2, 3, 4})}},
        {"run-length data only in the footer", {10, 3, 1, 24, 0x20, 0, 0, 0, 0, "", "", Bytes({0x80, 1, 2, 3}), true}},
        {"map past entry 255", {1, 1, 1, 8, 0x20, 1, 255, 2, 24, "", rgb, Bytes({255})}},
        {"map short", {1, 1, 1, 8, 0x20, 1, 0, 3, 24, "", rgb, ""}},
        {"sixteen-bit indices", {1, 1, 1, 16, 0x20, 1, 0, 2, 24, "", rgb, Bytes({0, 0})}},
        {"grey type", {3, 1, 1, 24, 0x20, 0, 0, 0, 0, "", "", rgb}},
        {"type 11", {11, 1, 1, 24, 0x20, 0, 0, 0, 0, "", "", rgb}},
        {"15 bits", {2, 1, 1, 15, 0x20, 0, 0, 0, 0, "", "", rgb}},
        {"zero width", {2, 0, 1, 24, 0x20, 0, 0, 0, 0, "", "", rgb}},
    };
    for (const Case& c : cases) {
        OwnedImage image;
        EXPECT_EQ(DecodeWith(DecodeTga, WriteTga(c.picture), image.get()), -1) << c.name;
        EXPECT_EQ(image->pixels, nullptr);
    }
    // A nonzero origin; an ID field longer than the file.
    const std::string tga = WriteTga({2, 1, 1, 24, 0x20, 0, 0, 0, 0, "", "", rgb});
    for (size_t at : {size_t{8}, size_t{11}, size_t{0}}) {
        std::string damaged = tga;
        damaged[at] = static_cast<char>(200);
        OwnedImage image;
        EXPECT_EQ(DecodeWith(DecodeTga, damaged, image.get()), -1) << at;
    }
}

}  // namespace
}  // namespace imagetest
