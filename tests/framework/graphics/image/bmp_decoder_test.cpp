// Windows bitmaps: row order, palette images, run-length data, the kinds that
// become 24-bit images, and files that lie about themselves.
#include "framework/base/log.h"
#include "platform/profile/machine_profile.h"
#include "tests/framework/graphics/image/image_file_fixtures.h"

namespace imagetest {
namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

// The image's rows as hex-free byte strings of `bytes` each, top first.
std::vector<std::string> Rows(const PixelImage& image, int bytes) {
    std::vector<std::string> rows;
    for (int y = 0; y < image.height; ++y) rows.push_back(RowBytes(image, y, bytes));
    return rows;
}

const std::vector<uint32_t> kPalette16 = {0x000000, 0x102030, 0x405060, 0x708090, 0xA0B0C0, 0, 0, 0,
                                          0,        0,        0,        0,        0,        0, 0, 0xFFFFFF};

TEST_F(ImageDecoderTest, BmpRowsComeOutTopFirstWhicheverWayTheyAreStored) {
    // Two 24-bit rows of one pixel each, padded to four bytes.
    const std::string first = Bytes({1, 2, 3, 0});
    const std::string second = Bytes({4, 5, 6, 0});
    for (int height : {2, -2}) {
        OwnedImage image;
        ASSERT_EQ(DecodeWith(DecodeBmp, WriteBmp({1, height, 24, 0, 40, {}, {}, first + second}), image.get()), 0);
        EXPECT_EQ(image->height, 2);
        EXPECT_EQ(image->pitch, 4);
        EXPECT_EQ(image->format.bitsPerPixel, 24);
        // Positive heights store the bottom row first.
        const std::vector<std::string> expected =
            height > 0 ? std::vector<std::string>{second.substr(0, 3), first.substr(0, 3)}
                       : std::vector<std::string>{first.substr(0, 3), second.substr(0, 3)};
        EXPECT_EQ(Rows(image.image, 3), expected) << "height " << height;
    }
}

TEST_F(ImageDecoderTest, PaletteBitmapsKeepOneBytePerPixel) {
    struct Case {
        const char* name;
        BmpPicture picture;
        std::vector<std::string> rows;
        int pitch;
    } const cases[] = {
        {"8 bits", {3, 1, 8, 0, 40, kPalette16, {}, Bytes({4, 1, 15, 0})}, {Bytes({4, 1, 15})}, 4},
        {"4 bits", {5, -2, 4, 0, 40, kPalette16, {}, Bytes({0x12, 0x34, 0xF0, 0, 0x43, 0x21, 0x00, 0})},
         {Bytes({1, 2, 3, 4, 15}), Bytes({4, 3, 2, 1, 0})}, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OwnedImage image;
        ASSERT_EQ(DecodeWith(DecodeBmp, WriteBmp(c.picture), image.get()), 0);
        ASSERT_EQ(image->format.bytesPerPixel, 1);
        ASSERT_EQ(image->pitch, c.pitch);
        EXPECT_EQ(Rows(image.image, c.picture.width), c.rows);
        // Entries come with their reserved byte cleared.
        const PaletteColor entry = image->format.palette[2];
        EXPECT_EQ((std::vector<int>{entry.red, entry.green, entry.blue, entry.reserved}),
                  (std::vector<int>{0x40, 0x50, 0x60, 0}));
    }
}

TEST_F(ImageDecoderTest, PaletteIsReadBehindALargerInfoHeaderAndMayBeShort) {
    // A 124-byte info header, and a palette of only two entries before the pixels.
    BmpPicture picture{2, 1, 8, 0, 124, {0x112233, 0x445566}, {}, Bytes({1, 0, 0, 0})};
    OwnedImage image;
    ASSERT_EQ(DecodeWith(DecodeBmp, WriteBmp(picture), image.get()), 0);
    EXPECT_EQ(image->format.palette[1].red, 0x44);
    EXPECT_EQ(image->format.palette[0].blue, 0x33);
    EXPECT_EQ(image->format.palette[2].red, 0);
    EXPECT_EQ(RowBytes(image.image, 0, 2), Bytes({1, 0}));
}

struct RunLengthCase {
    const char* name;
    int bits;
    int width;
    int height;
    std::string data;
    std::vector<std::string> rows;  // top first
};

TEST_F(ImageDecoderTest, RunLengthBitmapsDecodeRunsLiteralsLinesAndDeltas) {
    const RunLengthCase cases[] = {
        {"runs and a padded literal", 8, 5, 2,
         Bytes({2, 7, 0, 3, 1, 2, 3, 0, 0, 0, 5, 9, 0, 1}),
         {Bytes({9, 9, 9, 9, 9}), Bytes({7, 7, 1, 2, 3})}},
        // The end-of-bitmap escape before the last row leaves the rest 0.
        {"early end", 8, 3, 3, Bytes({3, 5, 0, 0, 0, 1}), {Bytes({0, 0, 0}), Bytes({0, 0, 0}), Bytes({5, 5, 5})}},
        // A delta moves right and down from where it is.
        {"delta", 8, 4, 2, Bytes({1, 6, 0, 2, 2, 1, 1, 8, 0, 1}), {Bytes({0, 0, 0, 8}), Bytes({6, 0, 0, 0})}},
        // Runs and literals stop at the row's end.
        {"clipped", 8, 3, 2, Bytes({200, 4, 0, 0, 0, 5, 1, 2, 3, 4, 5, 0, 0, 1}), {Bytes({1, 2, 3}), Bytes({4, 4, 4})}},
        // Past the image, a delta ends the bitmap.
        {"delta outside", 8, 2, 2, Bytes({1, 3, 0, 2, 9, 0, 1, 4, 0, 1}), {Bytes({0, 0}), Bytes({3, 0})}},
        {"delta below", 8, 2, 2, Bytes({1, 3, 0, 2, 0, 2, 1, 4, 0, 1}), {Bytes({0, 0}), Bytes({3, 0})}},
        // Four bits: runs alternate the two nibbles; an odd literal ends on a high nibble.
        {"four bits", 4, 5, 2, Bytes({5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 1}),
         {Bytes({3, 4, 5, 0, 0}), Bytes({1, 2, 1, 2, 1})}},
    };
    for (const RunLengthCase& c : cases) {
        SCOPED_TRACE(c.name);
        const uint32_t compression = c.bits == 8 ? 1 : 2;
        OwnedImage image;
        ASSERT_EQ(DecodeWith(DecodeBmp, WriteBmp({c.width, c.height, c.bits, compression, 40, kPalette16, {}, c.data}),
                             image.get()),
                  0);
        ASSERT_EQ(image->format.bytesPerPixel, 1);
        ASSERT_EQ(image->pitch, (c.width + 3) / 4 * 4);
        EXPECT_EQ(Rows(image.image, c.width), c.rows);
    }
}

TEST_F(ImageDecoderTest, RunLengthDataThatStopsBeforeItsEndIsRefused) {
    for (const std::string& data : {Bytes({}), Bytes({2, 7}), Bytes({2, 7, 0, 5, 1, 2}), Bytes({2, 7, 0, 2, 1})}) {
        OwnedImage image;
        EXPECT_EQ(DecodeWith(DecodeBmp, WriteBmp({4, 2, 8, 1, 40, kPalette16, {}, data}), image.get()), -1);
        EXPECT_EQ(image->pixels, nullptr);
    }
}

TEST_F(ImageDecoderTest, DirectColourBitmapsBecome24BitsWithoutAlpha) {
    const std::string kOrange = Bytes({0, 0x80, 0xFF});
    const std::string kBlue = Bytes({0xFF, 0, 0});
    struct Case {
        const char* name;
        BmpPicture picture;
        std::string firstRow;  // blue, green, red of each pixel
    } const cases[] = {
        // Bits 1000 0001 01: entry 1 (orange) and entry 0 (blue).
        {"1 bit", {10, 1, 1, 0, 40, {0x0000FF, 0xFF8000}, {}, Bytes({0x81, 0x40, 0, 0})},
         kOrange + kBlue + kBlue + kBlue + kBlue + kBlue + kBlue + kOrange + kBlue + kOrange},
        {"16 bits, 5-5-5", {2, 1, 16, 0, 40, {}, {}, Bytes({0x1F, 0x00, 0x00, 0xFC})}, Bytes({0xFF, 0, 0, 0, 0, 0xFF})},
        {"16 bits, bit fields 5-6-5", {1, 1, 16, 3, 40, {}, {0xF800, 0x07E0, 0x001F}, Bytes({0x00, 0xF8, 0, 0})},
         Bytes({0, 0, 0xFF})},
        // White, black and a pixel of a different value in each channel:
        // every channel widens to the full range, v x 255 / (2^bits - 1)
        // cut toward zero, whatever its width.
        // 5-5-5: red 16 -> 131, green 1 -> 8, blue 30 -> 246.
        {"16 bits, 5-5-5, full range", {3, 1, 16, 0, 40, {}, {}, Bytes({0xFF, 0x7F, 0, 0, 0x3E, 0x40, 0, 0})},
         Bytes({0xFF, 0xFF, 0xFF, 0, 0, 0, 246, 8, 131})},
        // 5-6-5: red 16 -> 131, green 32 -> 129, blue 1 -> 8.
        {"16 bits, bit fields 5-6-5, full range",
         {3, 1, 16, 3, 40, {}, {0xF800, 0x07E0, 0x001F}, Bytes({0xFF, 0xFF, 0, 0, 0x01, 0x84, 0, 0})},
         Bytes({0xFF, 0xFF, 0xFF, 0, 0, 0, 8, 129, 131})},
        // 4-4-4: red 8 -> 136, green 1 -> 17, blue 14 -> 238.
        {"16 bits, bit fields 4-4-4, full range",
         {3, 1, 16, 3, 40, {}, {0x0F00, 0x00F0, 0x000F}, Bytes({0xFF, 0x0F, 0, 0, 0x1E, 0x08, 0, 0})},
         Bytes({0xFF, 0xFF, 0xFF, 0, 0, 0, 238, 17, 136})},
        {"32 bits", {1, 1, 32, 0, 40, {}, {}, Bytes({1, 2, 3, 0x80})}, Bytes({1, 2, 3})},
        {"32 bits, bit fields", {1, 1, 32, 3, 40, {}, {0xFF, 0xFF00, 0xFF0000}, Bytes({1, 2, 3, 0x80})},
         Bytes({3, 2, 1})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OwnedImage image;
        ASSERT_EQ(DecodeWith(DecodeBmp, WriteBmp(c.picture), image.get()), 0);
        ASSERT_EQ(image->format.bitsPerPixel, 24);
        EXPECT_EQ(image->format.alphaMask, 0u);
        ASSERT_EQ(image->pitch, (c.picture.width * 3 + 3) / 4 * 4);
        EXPECT_EQ(RowBytes(image.image, 0, c.picture.width * 3), c.firstRow);
    }
}

TEST_F(ImageDecoderTest, BmpLogsWhenTheConvertedImageHasNoMemory) {
    const std::string bmp = WriteBmp({2, 1, 16, 0, 40, {}, {}, Bytes({0, 0, 0, 0})});
    const size_t mark = LogText().size();
    // The memory stream is the first block, the pixel data the second and
    // the converted image the third.
    platform::Profile().failures.heap.failAllocationNumber = 3;
    OwnedImage image;
    EXPECT_EQ(DecodeWith(DecodeBmp, bmp, image.get()), -1);
    // The allocator reports its failure first.
    const std::string message = "２４ビットカラー化したグラフィックを格納するメモリ領域の確保に失敗しました";
    EXPECT_TRUE(LinesSince(mark).ends_with(message)) << LinesSince(mark);
}

TEST_F(ImageDecoderTest, BmpRefusesHeadersThatDoNotFitItsData) {
    const std::string rows = Bytes({1, 2, 3, 0, 4, 5, 6, 0});
    struct Case {
        const char* name;
        BmpPicture picture;
    } const cases[] = {
        {"pixel data short of its rows", {1, 3, 24, 0, 40, {}, {}, rows}},
        {"zero width", {0, 2, 24, 0, 40, {}, {}, rows}},
        {"negative width", {-1, 2, 24, 0, 40, {}, {}, rows}},
        {"zero height", {1, 0, 24, 0, 40, {}, {}, rows}},
        {"too wide", {16385, 1, 8, 0, 40, {}, {}, std::string(16388, '\0')}},
        {"height of the lowest int", {1, INT32_MIN, 24, 0, 40, {}, {}, rows}},
        {"two bits", {4, 2, 2, 0, 40, {0, 0, 0, 0}, {}, rows}},
        {"run-length with 24 bits", {1, 2, 24, 1, 40, {}, {}, rows}},
        {"bit fields with 24 bits", {1, 2, 24, 3, 40, {}, {1, 2, 4}, rows}},
        {"embedded PNG", {1, 2, 24, 5, 40, {}, {}, rows}},
        {"core header", {1, 2, 24, 0, 12, {}, {}, rows}},
    };
    for (const Case& c : cases) {
        OwnedImage image;
        EXPECT_EQ(DecodeWith(DecodeBmp, WriteBmp(c.picture), image.get()), -1) << c.name;
        EXPECT_EQ(image->pixels, nullptr);
    }
    // A pixel offset past the end of the file.
    std::string bmp = WriteBmp({1, 2, 24, 0, 40, {}, {}, rows});
    bmp[10] = static_cast<char>(0xF0);
    OwnedImage image;
    EXPECT_EQ(DecodeWith(DecodeBmp, bmp, image.get()), -1);
    EXPECT_EQ(DecodeWith(DecodeBmp, "BA" + bmp.substr(2), image.get()), -1);
}

}  // namespace
}  // namespace imagetest
