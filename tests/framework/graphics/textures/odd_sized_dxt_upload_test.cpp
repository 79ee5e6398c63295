// Block-compressed pictures whose sides are not multiples of 4 (nor powers of
// two) on the hardware path: their rows of blocks hold width / 4 rounded up,
// so each texture piece takes the picture's own blocks, and a device without
// the block format shows the blocks decoded one by one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "framework/graphics/handles/graphic_creation.h"
#include "framework/graphics/image/block_compressed_expansion.h"
#include "tests/framework/graphics/hardware_graphics_test_support.h"

namespace graphicstest {
namespace {

// Bytes that look like nothing in particular, the same on every run.
std::string Scrambled(size_t size, uint32_t seed) {
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<char>(seed >> 16);
    }
    return bytes;
}

size_t BlockBytes(uint32_t kind) { return kind == 1 ? 8 : 16; }

class OddSizedDxtUploadTest : public HardwareGraphicsTest {
protected:
    // A picture of width x height pixels in `kind` blocks (plus further
    // levels when mipCount is set), made into a graphic.
    int MakePicture(uint32_t kind, int width, int height, const std::string& blocks, uint32_t mipCount = 0) {
        TestImage image;
        MakeRawImage(image, DxtFormat(kind), width, height, 0, mipCount, blocks);
        return MakeGraphFromPixelImage(image.get(), nullptr, 0, 0, 0);
    }
};

// The block of the picture at block (bx, by), rows holding `across` blocks.
std::string PictureBlock(const std::string& blocks, uint32_t kind, int across, int bx, int by) {
    return blocks.substr((static_cast<size_t>(by) * across + bx) * BlockBytes(kind), BlockBytes(kind));
}

// The block at (bx, by) of a texture level `textureWidth` pixels wide.
std::string TextureBlock(const std::string& level, uint32_t kind, int textureWidth, int bx, int by) {
    return PictureBlock(level, kind, textureWidth / 4, bx, by);
}

TEST_F(OddSizedDxtUploadTest, EachPieceTakesThePicturesOwnBlocksFromRowsRoundedUp) {
    StartGraphics(32);
    // 702 pixels cut into pieces of 512, 128 and 64: rows of 176 blocks, the
    // last of them two pixels wide; 2 rows of blocks.
    constexpr int kWidth = 702;
    constexpr int kHeight = 8;
    constexpr int kAcross = 176;
    for (uint32_t kind : {1u, 3u}) {
        SCOPED_TRACE(kind);
        const std::string blocks = Scrambled(kAcross * 2 * BlockBytes(kind), kind);
        const int handle = MakePicture(kind, kWidth, kHeight, blocks);
        ASSERT_GE(handle, 0);
        const GraphicImage* block = BlockOf(handle);
        ASSERT_EQ(block->pieceCount, 3);
        for (int i = 0; i < block->pieceCount; ++i) {
            const TexturePiece& piece = block->pieces[i];
            const std::string level = LevelBytes(static_cast<IDirect3DTexture9*>(piece.texture), 0,
                                                 piece.textureWidth / 4 * 2 * BlockBytes(kind));
            for (int by = 0; by < 2; ++by)
                for (int bx = 0; bx < (piece.usedWidth + 3) / 4; ++bx)
                    EXPECT_EQ(TextureBlock(level, kind, piece.textureWidth, bx, by),
                              PictureBlock(blocks, kind, kAcross, piece.x / 4 + bx, by))
                        << "piece " << i << " block " << bx << ", " << by;
        }
        DeleteGraphicHandle(handle, 0);
    }
}

// With the device's DXT5 format, or without it (the texture then takes the
// blocks decoded, in the 32-bit alpha format).
class OddSizedDxtPictureTest : public OddSizedDxtUploadTest, public testing::WithParamInterface<bool> {};

TEST_P(OddSizedDxtPictureTest, APictureOfOddSidesShowsItsBlocks) {
    const bool offered = GetParam();
    if (!offered) std::erase(platform::Profile().direct3d.textureFormats, platform::FourCc('D', 'X', 'T', '5'));
    StartGraphics(32);
    // 203 x 137: 51 x 35 blocks in one texture of 256 x 256.
    constexpr int kWidth = 203;
    constexpr int kHeight = 137;
    constexpr int kAcross = 51;
    constexpr int kDown = 35;
    const std::string blocks = Scrambled(kAcross * kDown * 16, 7);
    const int handle = MakePicture(5, kWidth, kHeight, blocks);
    ASSERT_GE(handle, 0);
    IDirect3DTexture9* texture = TextureOf(handle);
    int wrong = 0;
    if (offered) {
        ASSERT_EQ(Direct3DDevice.textureFormats[10], D3DFMT_DXT5);
        const std::string level = LevelBytes(texture, 0, 64 * 64 * 16);
        for (int by = 0; by < kDown; ++by)
            for (int bx = 0; bx < kAcross; ++bx)
                if (TextureBlock(level, 5, 256, bx, by) != PictureBlock(blocks, 5, kAcross, bx, by)) ++wrong;
    } else {
        ASSERT_EQ(Direct3DDevice.textureFormats[10], D3DFMT_A8R8G8B8);
        const std::vector<uint32_t> level = ReadLevel(texture, 0, 4);
        for (int by = 0; by < kDown; ++by)
            for (int bx = 0; bx < kAcross; ++bx) {
                // The block decoded alone, as a picture of one block.
                TestImage one;
                MakeRawImage(one, DxtFormat(5), 4, 4, 0, 0, PictureBlock(blocks, 5, kAcross, bx, by));
                ASSERT_EQ(ExpandSpecialFormat(one.get()), 0);
                for (int y = 0; y < 4 && by * 4 + y < kHeight; ++y)
                    for (int x = 0; x < 4 && bx * 4 + x < kWidth; ++x) {
                        uint32_t want = 0;
                        std::memcpy(&want, one->pixels + y * one->pitch + x * 4, 4);
                        if (level[(by * 4 + y) * 256 + bx * 4 + x] != want) ++wrong;
                    }
            }
    }
    EXPECT_EQ(wrong, 0);
    DeleteGraphicHandle(handle, 0);
}

INSTANTIATE_TEST_SUITE_P(Dxt5, OddSizedDxtPictureTest, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "Offered" : "NotOffered";
                         });

TEST_F(OddSizedDxtUploadTest, APictureWithItsLevelsFillsTheLevelsOfALargerTexture) {
    StartGraphics(32);
    // 12 x 6 in DXT1 with 4 levels: 3 x 2 blocks, then 6 x 3, 3 x 1 and
    // 1 x 1 pixels in 2 x 1, 1 and 1 block. The texture is 16 x 8.
    const std::string blocks = Scrambled((6 + 2 + 1 + 1) * 8, 11);
    const int handle = MakePicture(1, 12, 6, blocks, 4);
    ASSERT_GE(handle, 0);
    ASSERT_EQ(BlockOf(handle)->mipLevelCount, 4);
    struct Level {
        int textureWidth, across, down;
        size_t offset;
    } const levels[] = {{16, 3, 2, 0}, {8, 2, 1, 48}, {4, 1, 1, 64}, {2, 1, 1, 72}};
    for (int i = 0; i < 4; ++i) {
        const Level& l = levels[i];
        const int textureAcross = std::max(1, l.textureWidth / 4);
        const std::string level = LevelBytes(TextureOf(handle), i, static_cast<size_t>(textureAcross) * l.down * 8);
        for (int by = 0; by < l.down; ++by)
            for (int bx = 0; bx < l.across; ++bx)
                EXPECT_EQ(level.substr((static_cast<size_t>(by) * textureAcross + bx) * 8, 8),
                          blocks.substr(l.offset + (static_cast<size_t>(by) * l.across + bx) * 8, 8))
                    << "level " << i << " block " << bx << ", " << by;
    }
    DeleteGraphicHandle(handle, 0);
}

}  // namespace
}  // namespace graphicstest
