// PNG decoding: what each colour type and bit depth becomes, from PNGs that
// libpng's writing side makes here.
#include <png.h>

#include "tests/framework/graphics/image/image_file_fixtures.h"

namespace imagetest {
namespace {

struct PngCase {
    const char* name;
    PngPicture picture;
    int bits;          // of the decoded format
    uint32_t redMask;  // of the decoded format
    uint32_t alphaMask;
    uint32_t spareMask;
    int pitch;
    std::vector<uint32_t> firstRow;  // pixel values of the top row
};

void PrintTo(const PngCase& c, std::ostream* out) { *out << c.name; }

class PngDecoderTest : public ImageDecoderTest, public testing::WithParamInterface<PngCase> {};

TEST_P(PngDecoderTest, DecodesEachKindIntoItsFormat) {
    const PngCase& c = GetParam();
    OwnedImage image;
    ASSERT_EQ(DecodeWith(DecodePng, WritePng(c.picture), image.get()), 0);
    ASSERT_EQ(image->width, c.picture.width);
    ASSERT_EQ(image->height, c.picture.height);
    EXPECT_EQ(image->format.bitsPerPixel, c.bits);
    EXPECT_EQ(image->format.bytesPerPixel, c.bits / 8);
    EXPECT_EQ(image->format.redMask, c.redMask);
    EXPECT_EQ(image->format.alphaMask, c.alphaMask);
    EXPECT_EQ(image->format.spareMask, c.spareMask);
    EXPECT_EQ(image->format.specialFormat, 0u);
    EXPECT_EQ(image->pitch, c.pitch);
    for (size_t x = 0; x < c.firstRow.size(); ++x) {
        EXPECT_EQ(PixelAt(image.image, static_cast<int>(x), 0), c.firstRow[x]) << "pixel " << x;
    }
}

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

const PngCase kPngCases[] = {
    // Four-bit indices 1, 2, 0 unpack to a byte each, in order.
    {"Palette4Bits", {3, 1, 4, PNG_COLOR_TYPE_PALETTE, false, {Bytes({0x12, 0x00})}, {10, 20, 30, 40, 50, 60, 70, 80, 90}, {}},
     8, 0xFF0000, 0, 0xFF000000, 3, {1, 2, 0}},
    {"PaletteWithTransparency",
     {2, 1, 8, PNG_COLOR_TYPE_PALETTE, false, {Bytes({0, 1})}, {10, 20, 30, 40, 50, 60}, {0x80}},
     32, 0xFF0000, 0xFF000000, 0, 8, {0x800A141E, 0xFF28323C}},
    // Sixteen-bit channels keep their high bytes.
    {"Rgb16Bits", {1, 1, 16, PNG_COLOR_TYPE_RGB, false, {Bytes({0x12, 0xFF, 0x34, 0x01, 0x56, 0x80})}, {}, {}},
     24, 0xFF0000, 0, 0, 3, {0x123456}},
    {"Gray1Bit", {3, 1, 1, PNG_COLOR_TYPE_GRAY, false, {Bytes({0xA0})}, {}, {}},
     8, 0xFF0000, 0, 0xFF000000, 3, {255, 0, 255}},
    // Grey with alpha: two bytes a pixel, the grey byte read as every colour.
    {"GrayAlpha", {2, 1, 8, PNG_COLOR_TYPE_GRAY_ALPHA, false, {Bytes({0x40, 0x11, 0x90, 0x22})}, {}, {}},
     16, 0xFF, 0, 0xFF00, 4, {0x1140, 0x2290}},
    {"Rgba", {1, 1, 8, PNG_COLOR_TYPE_RGB_ALPHA, false, {Bytes({1, 2, 3, 4})}, {}, {}},
     32, 0xFF0000, 0xFF000000, 0, 4, {0x04010203}},
    {"Rgb", {2, 1, 8, PNG_COLOR_TYPE_RGB, false, {Bytes({1, 2, 3, 4, 5, 6})}, {}, {}},
     24, 0xFF0000, 0, 0, 6, {0x010203, 0x040506}},
};

INSTANTIATE_TEST_SUITE_P(Kinds, PngDecoderTest, testing::ValuesIn(kPngCases),
                         [](const testing::TestParamInfo<PngCase>& info) { return std::string(info.param.name); });

TEST_F(ImageDecoderTest, PngKeepsThePaletteAndGreyRampOfItsFormat) {
    OwnedImage palette;
    ASSERT_EQ(DecodeWith(DecodePng, WritePng(kPngCases[0].picture), palette.get()), 0);
    const PaletteColor& second = palette->format.palette[1];
    EXPECT_EQ((std::vector<int>{second.blue, second.green, second.red, second.reserved}),
              (std::vector<int>{60, 50, 40, 0}));
    // Entries past the file's palette stay black.
    EXPECT_EQ(palette->format.palette[3].red, 0);

    OwnedImage grey;
    ASSERT_EQ(DecodeWith(DecodePng, WritePng(kPngCases[3].picture), grey.get()), 0);
    EXPECT_EQ(grey->format.palette[200].green, 200);
}

TEST_F(ImageDecoderTest, InterlacedPngGivesTheSamePixels) {
    PngPicture picture{9, 7, 8, PNG_COLOR_TYPE_RGB, false, {}, {}, {}};
    for (int y = 0; y < picture.height; ++y) {
        std::string row;
        for (int x = 0; x < picture.width; ++x) row += Bytes({x * 20, y * 30, x * y});
        picture.rows.push_back(row);
    }
    OwnedImage plain;
    ASSERT_EQ(DecodeWith(DecodePng, WritePng(picture), plain.get()), 0);
    picture.interlaced = true;
    OwnedImage interlaced;
    ASSERT_EQ(DecodeWith(DecodePng, WritePng(picture), interlaced.get()), 0);
    // The rows below are read by the picture's size.
    for (OwnedImage* image : {&plain, &interlaced}) {
        ASSERT_EQ((*image)->width, picture.width);
        ASSERT_EQ((*image)->height, picture.height);
        ASSERT_GE((*image)->pitch, 27);
    }
    for (int y = 0; y < picture.height; ++y) {
        EXPECT_EQ(RowBytes(interlaced.image, y, 27), RowBytes(plain.image, y, 27)) << "row " << y;
    }
    EXPECT_EQ(PixelAt(plain.image, 4, 5), static_cast<uint32_t>(80 << 16 | 150 << 8 | 20));
}

TEST_F(ImageDecoderTest, PngDeclinesOtherStreamsAndCutFiles) {
    const std::string png = WritePng(kPngCases[6].picture);
    OwnedImage image;
    // Every image is offered to this decoder: declining one prints nothing.
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(DecodeWith(DecodePng, "BM not a png at all", image.get()), -1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(DecodeWith(DecodePng, "", image.get()), -1);
    // Cut inside the signature, the header, the image data and the end chunk.
    for (size_t cut : {size_t{4}, size_t{20}, png.size() - 20, png.size() - 1}) {
        EXPECT_EQ(DecodeWith(DecodePng, png.substr(0, cut), image.get()), -1) << cut;
        EXPECT_EQ(image->pixels, nullptr);
    }
}

}  // namespace
}  // namespace imagetest
