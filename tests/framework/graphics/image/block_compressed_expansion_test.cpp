// Expanding DXT1 to DXT5 blocks into A8R8G8B8 pixels, from hand-made blocks.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "framework/base/tracked_memory.h"
#include "framework/graphics/image/block_compressed_expansion.h"
#include "framework/graphics/image/pixel_image.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/test_support.h"

namespace {

struct Pixel {
    int red, green, blue, alpha;
    bool operator==(const Pixel&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Pixel& p) {
    return out << "(" << p.red << ", " << p.green << ", " << p.blue << ", " << p.alpha << ")";
}

const Pixel kWhite = {255, 255, 255, 255};

class BlockExpansionTest : public testsupport::PlatformTest {
protected:
    void TearDown() override {
        FreePixelImage(&image_);
        testsupport::PlatformTest::TearDown();
    }
    // An image of block data as the DDS loader leaves it.
    void Load(uint32_t kind, int width, int height, const std::vector<uint8_t>& blocks) {
        DefinePixelFormat(&image_.format, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
        image_.format.specialFormat = kind;
        image_.format.bitsPerPixel = kind == kDxt1Pixels ? 4 : 8;
        image_.width = width;
        image_.height = height;
        image_.pitch = 0;
        image_.pixels = static_cast<uint8_t*>(AllocMemory(blocks.size(), __FILE__, __LINE__));
        std::memcpy(image_.pixels, blocks.data(), blocks.size());
    }
    void Expand() {
        ASSERT_EQ(ExpandSpecialFormat(&image_), 0);
        ASSERT_EQ(image_.format.specialFormat, kPlainPixels);
        ASSERT_EQ(image_.format.bitsPerPixel, 32);
        ASSERT_EQ(image_.format.alphaMask, 0xFF000000u);
        ASSERT_EQ(image_.pitch, image_.width * 4);
    }
    Pixel At(int x, int y) const {
        const uint8_t* p = image_.pixels + y * image_.pitch + x * 4;
        return Pixel{p[2], p[1], p[0], p[3]};
    }
    // The pixels of the first block, row by row.
    std::vector<Pixel> FirstBlock() const {
        std::vector<Pixel> pixels;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) pixels.push_back(At(x, y));
        return pixels;
    }
    PixelImage image_{};
};

// Every row takes palette indices 0, 1, 2, 3 from left to right.
constexpr uint8_t kIndices0123 = 0xE4;

TEST_F(BlockExpansionTest, Dxt1PalettesByTheOrderOfTheEndpoints) {
    const struct {
        const char* what;
        std::vector<uint8_t> block;
        Pixel palette[4];
    } cases[] = {
        {"colour 0 = colour 1: index 3 is transparent black",
         {0x00, 0x00, 0x00, 0x00, kIndices0123, kIndices0123, kIndices0123, kIndices0123},
         {{0, 0, 0, 255}, {0, 0, 0, 255}, {0, 0, 0, 255}, {0, 0, 0, 0}}},
        {"colour 0 above colour 1: four colours in thirds",
         {0xFF, 0xFF, 0x00, 0x00, kIndices0123, kIndices0123, kIndices0123, kIndices0123},
         {kWhite, {0, 0, 0, 255}, {170, 170, 170, 255}, {85, 85, 85, 255}}},
        {"colour 0 below colour 1: the half-way colour, then transparent",
         {0x00, 0x00, 0x00, 0xF8, kIndices0123, kIndices0123, kIndices0123, kIndices0123},
         {{0, 0, 0, 255}, {255, 0, 0, 255}, {127, 0, 0, 255}, {127, 0, 0, 0}}},
        {"endpoints widen by truncation: 5-6-5 (1, 1, 1)",
         {0x21, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
         {{8, 4, 8, 255}, {8, 4, 8, 255}, {8, 4, 8, 255}, {8, 4, 8, 255}}},
    };
    for (const auto& c : cases) {
        FreePixelImage(&image_);
        Load(kDxt1Pixels, 4, 4, c.block);
        Expand();
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) EXPECT_EQ(At(x, y), c.palette[x]) << c.what << " at " << x << ", " << y;
    }
}

TEST_F(BlockExpansionTest, Dxt3AlphaIsFourBitsAPixelScaledUp) {
    // Pixel k has alpha value k; the colour half is plain white.
    Load(kDxt3Pixels, 4, 4,
         {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    Expand();
    const std::vector<Pixel> pixels = FirstBlock();
    for (int k = 0; k < 16; ++k) EXPECT_EQ(pixels[k], (Pixel{255, 255, 255, k * 17})) << k;
}

TEST_F(BlockExpansionTest, Dxt5AlphaTablesByTheOrderOfTheEndpoints) {
    // Pixel k takes alpha index k mod 8 in both halves of the index bits.
    const std::vector<uint8_t> indices = {0x88, 0xC6, 0xFA, 0x88, 0xC6, 0xFA};
    const std::vector<uint8_t> white = {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    const struct {
        uint8_t alpha0, alpha1;
        int table[8];
    } cases[] = {
        {0, 255, {0, 255, 51, 102, 153, 204, 0, 255}},
        {255, 0, {255, 0, 218, 182, 145, 109, 72, 36}},
        {100, 100, {100, 100, 100, 100, 100, 100, 0, 255}},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> block = {c.alpha0, c.alpha1};
        block.insert(block.end(), indices.begin(), indices.end());
        block.insert(block.end(), white.begin(), white.end());
        FreePixelImage(&image_);
        Load(kDxt5Pixels, 4, 4, block);
        Expand();
        const std::vector<Pixel> pixels = FirstBlock();
        for (int k = 0; k < 16; ++k)
            EXPECT_EQ(pixels[k].alpha, c.table[k % 8]) << int{c.alpha0} << "/" << int{c.alpha1} << " pixel " << k;
    }
}

TEST_F(BlockExpansionTest, PremultipliedColourIsDividedByItsAlpha) {
    // Colour 0 is 5-6-5 (8, 16, 8) = (65, 64, 65); colour 1 is white.
    const std::vector<uint8_t> colorHalf = {0x08, 0x42, 0xFF, 0xFF, 0x40, 0x00, 0x00, 0x00};
    const Pixel dark = {65, 64, 65, 255};
    // DXT2: alpha values 0, 8, 15, 8, then 15; pixel 3 takes white.
    std::vector<uint8_t> block = {0x80, 0x8F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    block.insert(block.end(), colorHalf.begin(), colorHalf.end());
    Load(kDxt2Pixels, 4, 4, block);
    Expand();
    std::vector<Pixel> pixels = FirstBlock();
    EXPECT_EQ(pixels[0], (Pixel{0, 0, 0, 0}));          // alpha 0: no colour to recover
    EXPECT_EQ(pixels[1], (Pixel{121, 120, 121, 136}));  // 65 x 255 / 136
    EXPECT_EQ(pixels[2], dark);
    EXPECT_EQ(pixels[3], (Pixel{255, 255, 255, 136}));  // 478 stops at 255
    EXPECT_EQ(pixels[15], dark);

    // DXT4: alpha 255 and 0, pixel 0 takes index 1 (0), pixel 1 index 2 (218).
    FreePixelImage(&image_);
    block = {0xFF, 0x00, 0x11, 0x00, 0x00, 0x00, 0x00, 0x00};
    block.insert(block.end(), colorHalf.begin(), colorHalf.end());
    block[12] = 0x00;  // every pixel takes colour 0
    Load(kDxt4Pixels, 4, 4, block);
    Expand();
    pixels = FirstBlock();
    EXPECT_EQ(pixels[0], (Pixel{0, 0, 0, 0}));
    EXPECT_EQ(pixels[1], (Pixel{76, 74, 76, 218}));
    EXPECT_EQ(pixels[2], dark);
}

TEST_F(BlockExpansionTest, BlocksAreLaidOutRowOfBlocksAfterRowOfBlocks) {
    // Solid red, green, blue and white blocks.
    Load(kDxt1Pixels, 8, 8,
         {0x00, 0xF8, 0, 0, 0, 0, 0, 0, 0xE0, 0x07, 0, 0, 0, 0, 0, 0,
          0x1F, 0x00, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0});
    image_.mipCount = 3;
    Expand();
    EXPECT_EQ(image_.pitch, 32);
    EXPECT_EQ(image_.mipCount, 3u);
    EXPECT_EQ(At(3, 3), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(At(4, 0), (Pixel{0, 255, 0, 255}));
    EXPECT_EQ(At(0, 4), (Pixel{0, 0, 255, 255}));
    EXPECT_EQ(At(7, 7), kWhite);
}

TEST_F(BlockExpansionTest, PartlyUsedBlocksOnTheRightAndBottomEdgesAreDecodedToo) {
    // Sides that are not a multiple of 4 end in blocks only partly inside the
    // image; each row of blocks holds width / 4 rounded up, and an image
    // smaller than a block has one block.
    const struct {
        int width, height;
    } sizes[] = {{6, 6}, {3, 3}, {4, 2}, {9, 4}, {5, 9}, {1, 1}};
    // Solid blocks: red, green, blue, white, then again.
    const uint8_t colours[4][2] = {{0x00, 0xF8}, {0xE0, 0x07}, {0x1F, 0x00}, {0xFF, 0xFF}};
    const Pixel pixels[4] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, kWhite};
    for (const auto& size : sizes) {
        FreePixelImage(&image_);
        const int across = (size.width + 3) / 4;
        const int down = (size.height + 3) / 4;
        std::vector<uint8_t> blocks;
        for (int i = 0; i < across * down; ++i)
            blocks.insert(blocks.end(), {colours[i % 4][0], colours[i % 4][1], 0, 0, 0, 0, 0, 0});
        Load(kDxt1Pixels, size.width, size.height, blocks);
        Expand();
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x)
                EXPECT_EQ(At(x, y), pixels[(y / 4 * across + x / 4) % 4])
                    << size.width << "x" << size.height << " at " << x << ", " << y;
    }
}

TEST_F(BlockExpansionTest, AFailedAllocationKeepsTheBlocks) {
    Load(kDxt1Pixels, 4, 4, {0xFF, 0xFF, 0, 0, 0, 0, 0, 0});
    const uint8_t* blocks = image_.pixels;
    platform::Profile().failures.heap.failAllocationNumber = 1;
    EXPECT_EQ(ExpandSpecialFormat(&image_), -1);
    EXPECT_EQ(image_.pixels, blocks);
    EXPECT_EQ(image_.format.specialFormat, kDxt1Pixels);
    EXPECT_EQ(image_.pitch, 0);
    Expand();
    EXPECT_EQ(ExpandSpecialFormat(&image_), 0);  // already plain
}

}  // namespace
