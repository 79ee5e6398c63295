// The framework's raw "BGRA" images.
#include "tests/framework/graphics/image/image_file_fixtures.h"

namespace imagetest {
namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

TEST_F(ImageDecoderTest, BgraRawKeepsEightBitChannelsAndTheHighByteOfSixteen) {
    struct Case {
        const char* name;
        uint32_t depth;
        std::string data;
    } const cases[] = {
        {"8 bits", 0x08080808, Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16})},
        // 0x12FF keeps 0x12.
        {"16 bits", 0x10101010,
         Bytes({0xFF, 1, 0xFF, 2, 0, 3, 0, 4, 0x80, 5, 0x80, 6, 1, 7, 1, 8, 0, 9, 0, 10, 0, 11, 0, 12, 0, 13,
                0, 14, 0, 15, 0xFF, 16})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OwnedImage image;
        ASSERT_EQ(DecodeWith(DecodeBgraRaw, WriteBgra(c.depth, 2, 2, c.data), image.get()), 0);
        ASSERT_EQ(image->width, 2);
        ASSERT_EQ(image->height, 2);
        EXPECT_EQ(image->pitch, 8);
        EXPECT_EQ(image->format.bitsPerPixel, 32);
        EXPECT_EQ(image->format.alphaMask, 0xFF000000u);
        EXPECT_EQ(image->format.redMask, 0xFF0000u);
        EXPECT_EQ(PixelAt(image.image, 0, 0), 0x04030201u);
        EXPECT_EQ(PixelAt(image.image, 1, 1), 0x100F0E0Du);
    }
    OwnedImage image;
    ASSERT_EQ(DecodeWith(DecodeBgraRaw, WriteBgra(0x10101010, 1, 1, Bytes({0xFF, 0x12, 0, 0, 0, 0, 0, 0})), image.get()), 0);
    EXPECT_EQ(PixelAt(image.image, 0, 0) & 0xFF, 0x12u);
}

TEST_F(ImageDecoderTest, BgraRawRefusesOtherDepthsSizesAndShortData) {
    struct Case {
        const char* name;
        std::string bytes;
    } const cases[] = {
        {"depth 0x08080800", WriteBgra(0x08080800, 1, 1, "abcd")},
        {"8-bit data short", WriteBgra(0x08080808, 2, 1, "abcdefg")},
        {"16-bit data short", WriteBgra(0x10101010, 1, 2, "abcdefgh")},
        {"zero height", WriteBgra(0x08080808, 1, 0, "abcd")},
        {"negative width", WriteBgra(0x08080808, -1, 1, "abcd")},
        {"too wide", WriteBgra(0x08080808, 16385, 1, std::string(16385 * 4, 'x'))},
        {"other magic", "ARGB" + WriteBgra(0x08080808, 1, 1, "abcd").substr(4)},
        {"header cut", WriteBgra(0x08080808, 1, 1, "abcd").substr(0, 15)},
    };
    for (const Case& c : cases) {
        OwnedImage image;
        EXPECT_EQ(DecodeWith(DecodeBgraRaw, c.bytes, image.get()), -1) << c.name;
        EXPECT_EQ(image->pixels, nullptr);
    }
}

}  // namespace
}  // namespace imagetest
