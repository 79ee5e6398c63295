// JPEG decoding from JPEGs that libjpeg's compression side makes here.
#include <cstdlib>

#include "tests/framework/graphics/image/image_file_fixtures.h"

namespace imagetest {
namespace {

// Each channel of a decoded pixel within `tolerance` of the colour: JPEG is
// lossy.
void ExpectColourNear(uint32_t value, int red, int green, int blue, int tolerance = 3) {
    EXPECT_NEAR(static_cast<int>((value >> 16) & 0xFF), red, tolerance);
    EXPECT_NEAR(static_cast<int>((value >> 8) & 0xFF), green, tolerance);
    EXPECT_NEAR(static_cast<int>(value & 0xFF), blue, tolerance);
}

TEST_F(ImageDecoderTest, ColourJpegComesOutBlueGreenRedWithItsOwnRowLength) {
    OwnedImage image;
    ASSERT_EQ(DecodeWith(DecodeJpeg, WriteSolidJpeg(3, 2, 3, {200, 40, 90}), image.get()), 0);
    ASSERT_EQ(image->width, 3);
    ASSERT_EQ(image->height, 2);
    EXPECT_EQ(image->pitch, 9);
    EXPECT_EQ(image->format.bitsPerPixel, 24);
    EXPECT_EQ(image->format.redMask, 0xFF0000u);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) ExpectColourNear(PixelAt(image.image, x, y), 200, 40, 90);
    }
}

TEST_F(ImageDecoderTest, GreyJpegComesOutAsGrey8) {
    std::vector<uint8_t> samples;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) samples.push_back(x < 8 ? 30 : 220);
    OwnedImage image;
    ASSERT_EQ(DecodeWith(DecodeJpeg, WriteJpeg(16, 8, 1, samples), image.get()), 0);
    ASSERT_EQ(image->width, 16);
    ASSERT_EQ(image->height, 8);
    ASSERT_EQ(image->pitch, 16);
    ASSERT_EQ(image->format.bytesPerPixel, 1);
    EXPECT_EQ(image->format.palette[77].red, 77);
    EXPECT_NEAR(PixelAt(image.image, 1, 1), 30, 4);
    EXPECT_NEAR(PixelAt(image.image, 14, 6), 220, 4);
}

TEST_F(ImageDecoderTest, ProgressiveJpegDecodes) {
    std::vector<uint8_t> samples;
    for (int i = 0; i < 24 * 24; ++i) samples.insert(samples.end(), {10, 120, 250});
    OwnedImage image;
    ASSERT_EQ(DecodeWith(DecodeJpeg, WriteJpeg(24, 24, 3, samples, true), image.get()), 0);
    ExpectColourNear(PixelAt(image.image, 23, 23), 10, 120, 250);
}

TEST_F(ImageDecoderTest, JpegCutShortAfterItsHeaderStillDecodes) {
    std::vector<uint8_t> samples;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) samples.insert(samples.end(), {static_cast<uint8_t>(x * 4), static_cast<uint8_t>(y * 4), 77});
    const std::string jpeg = WriteJpeg(64, 64, 3, samples);
    // The scan begins after the start-of-scan marker (0xFF 0xDA) and its header.
    const size_t scan = jpeg.find("\xFF\xDA");
    ASSERT_NE(scan, std::string::npos);
    for (size_t cut : {scan + 20, (scan + jpeg.size()) / 2, jpeg.size() - 2}) {
        OwnedImage image;
        ASSERT_EQ(DecodeWith(DecodeJpeg, jpeg.substr(0, cut), image.get()), 0) << cut;
        EXPECT_EQ(image->width, 64);
        EXPECT_EQ(image->height, 64);
        EXPECT_EQ(image->pitch, 192);
    }
    // Cut before the image starts: nothing to decode.
    OwnedImage image;
    EXPECT_EQ(DecodeWith(DecodeJpeg, jpeg.substr(0, scan), image.get()), -1);
    EXPECT_EQ(image->pixels, nullptr);
}

TEST_F(ImageDecoderTest, JpegDeclinesCmykAndOtherStreams) {
    OwnedImage image;
    EXPECT_EQ(DecodeWith(DecodeJpeg, WriteSolidJpeg(8, 8, 4, {0, 50, 100, 10}), image.get()), -1);
    EXPECT_EQ(DecodeWith(DecodeJpeg, "", image.get()), -1);
    // Every image is offered to this decoder: declining one prints nothing.
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(DecodeWith(DecodeJpeg, "\x89PNG\r\n\x1A\n and so on", image.get()), -1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(image->pixels, nullptr);
}

}  // namespace
}  // namespace imagetest
