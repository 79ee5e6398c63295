// The texture upload on the hardware path: conversion into each texture's
// format with the transparent colour keyed to alpha, block-compressed images
// copied or expanded, mip levels copied or made, render targets through a
// staging surface, and the failures of each step.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/graphics/draw_settings.h"
#include "framework/graphics/handles/graphic_creation.h"
#include "framework/graphics/image/block_compressed_expansion.h"
#include "framework/graphics/textures/texture_upload.h"
#include "tests/framework/graphics/hardware_graphics_test_support.h"

namespace graphicstest {
namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class TextureUploadTest : public HardwareGraphicsTest {
protected:
    // A graphic of a fresh block, as SetupGraphicImage makes it.
    static int MakeGraphic(int width, int height, int alpha, int compressedKind, int mipLevels) {
        const int handle = AllocGraphicHandle();
        return SetupGraphicImage(handle, width, height, alpha, 0, compressedKind, mipLevels) == 0 ? handle : -1;
    }
    static int Upload(int handle, RECT rect, int x, int y, PixelImage* image, PixelImage* alpha = nullptr,
                      int oneBytePerPixel = 0, int useTransparentColor = 0, int imageCoordinates = 0) {
        return TransferImageToTexture(handle, &rect, x, y, image, alpha, oneBytePerPixel, useTransparentColor,
                                      imageCoordinates);
    }
};

constexpr uint32_t kRgb = 0xFFFFFF;

TEST_F(TextureUploadTest, AnEmptyRectangleTouchesNothingAndTheRectangleIsCutToTheImage) {
    StartGraphics(32);
    SetNewGraphTransFlag(0);
    const int handle = MakeGraphic(8, 8, 0, 0, -1);
    TestImage image;
    MakeImage32(image, 4, 4, false, [](int x, int y) { return 0xFF000000u | static_cast<uint32_t>(y * 16 + x + 1); });
    TakeCalls();
    EXPECT_EQ(Upload(handle, {2, 2, 2, 4}, 0, 0, image.get()), 0);
    EXPECT_EQ(Upload(handle, {2, 3, 4, 3}, 0, 0, image.get()), 0);
    EXPECT_TRUE(TakeCalls().empty());
    EXPECT_EQ(ReadLevel(TextureOf(handle), 0, 4), std::vector<uint32_t>(64, 0));

    // The pending draws go first; a rectangle reaching past the image is cut
    // to it, and the destination moves with its corner.
    QueueVertices(3);
    EXPECT_EQ(Upload(handle, {-2, -1, 100, 100}, 0, 0, image.get()), 0);
    const std::vector<std::string> calls = TakeCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), "DrawPrimitiveUP(4, 1, 20)");
    const std::vector<uint32_t> level = ReadLevel(TextureOf(handle), 0, 4);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 1 && y < 5;
            EXPECT_EQ(level[y * 8 + x] & kRgb, inside ? static_cast<uint32_t>((y - 1) * 16 + (x - 2) + 1) : 0u)
                << x << ", " << y;
        }

    EXPECT_EQ(Upload(-1, {0, 0, 4, 4}, 0, 0, image.get()), -1);
    EXPECT_EQ(TransferImageToTexture(handle, nullptr, 0, 0, image.get(), nullptr, 0, 0, 0), -1);
    DeleteGraphicHandle(handle, 0);
}

struct KeyCase {
    const char* name;
    int transFlag;          // the graphic's format: keyed (A8R8G8B8) or plain (X8R8G8B8)
    bool alphaImage;
    int oneBytePerPixel;
    uint32_t keyPixel;      // what the pixel of the transparent colour becomes
    uint32_t otherPixel;
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

class KeyToAlphaTest : public TextureUploadTest, public testing::WithParamInterface<KeyCase> {};

TEST_P(KeyToAlphaTest, TheTransparentColourBecomesAlphaOnlyWhereNothingElseGivesIt) {
    const KeyCase& c = GetParam();
    StartGraphics(32);
    SetDrawTransparentColor(0x00FF00);
    SetNewGraphTransFlag(c.transFlag);
    const int handle = MakeGraphic(8, 8, 0, 0, -1);
    TestImage image;
    MakeImage32(image, 2, 1, false, [](int x, int) { return x == 0 ? 0xFF00FF00u : 0xFF804020u; });
    TestImage alpha;
    MakeImage32(alpha, 2, 1, false, [](int x, int) { return x == 0 ? 0x00400000u : 0x00C00000u; });
    EXPECT_EQ(Upload(handle, {0, 0, 2, 1}, 0, 0, image.get(), c.alphaImage ? alpha.get() : nullptr,
                     c.oneBytePerPixel, 1),
              0);
    const std::vector<uint32_t> level = ReadLevel(TextureOf(handle), 0, 4);
    EXPECT_EQ(level[0], c.keyPixel);
    EXPECT_EQ(level[1], c.otherPixel);
    DeleteGraphicHandle(handle, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KeyToAlphaTest,
    testing::Values(KeyCase{"KeyedTexture", 1, false, 0, 0x0000FF00u, 0xFF804020u},
                    KeyCase{"WithAnAlphaImage", 1, true, 0, 0x4000FF00u, 0xC0804020u},
                    KeyCase{"OneBytePerPixelTakesRed", 1, false, 1, 0x0000FF00u, 0x80804020u},
                    KeyCase{"TextureWithoutAlpha", 0, false, 0, 0xFF00FF00u, 0xFF804020u}),
    [](const testing::TestParamInfo<KeyCase>& info) { return info.param.name; });

// With the device's DXT3 format, or without it (the index then takes the
// 32-bit alpha format).
class BlockCompressedUploadTest : public TextureUploadTest, public testing::WithParamInterface<bool> {};

TEST_P(BlockCompressedUploadTest, ABlockCompressedImageIsCopiedIntoItsOwnKindAndExpandedForOthers) {
    const bool offered = GetParam();
    if (!offered) std::erase(platform::Profile().direct3d.textureFormats, platform::FourCc('D', 'X', 'T', '3'));
    StartGraphics(32);
    // 16 by 8 pixels: 4 by 2 blocks of 16 bytes.
    const std::string blocks = Counting(128, 7);
    TestImage image;
    MakeRawImage(image, DxtFormat(3), 16, 8, 0, 0, blocks);
    TestImage expanded;
    MakeRawImage(expanded, DxtFormat(3), 16, 8, 0, 0, blocks);
    ASSERT_EQ(ExpandSpecialFormat(expanded.get()), 0);

    const int handle = MakeGraphFromPixelImage(image.get(), nullptr, 0, 0, 0);
    ASSERT_GE(handle, 0);
    EXPECT_EQ(BlockOf(handle)->formatIndex, 8);
    if (offered) {
        EXPECT_EQ(Direct3DDevice.textureFormats[8], D3DFMT_DXT3);
        EXPECT_EQ(LevelBytes(TextureOf(handle), 0, blocks.size()), blocks);
    } else {
        EXPECT_EQ(Direct3DDevice.textureFormats[8], D3DFMT_A8R8G8B8);
        const std::vector<uint32_t> level = ReadLevel(TextureOf(handle), 0, 4);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 16; ++x) {
                uint32_t want = 0;
                std::memcpy(&want, expanded->pixels + y * expanded->pitch + x * 4, 4);
                EXPECT_EQ(level[y * 16 + x], want) << x << ", " << y;
            }
    }
    DeleteGraphicHandle(handle, 0);
}

INSTANTIATE_TEST_SUITE_P(Dxt3, BlockCompressedUploadTest, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "Offered" : "NotOffered";
                         });

TEST_F(TextureUploadTest, APlainImageIsRefusedByABlockCompressedTextureWhichStaysAsItWas) {
    StartGraphics(32);
    TestImage image;
    MakeImage32(image, 16, 16, true, [](int x, int y) { return 0xFF000000u | static_cast<uint32_t>(x * y); });
    for (int levels : {-1, 3}) {
        SCOPED_TRACE(levels);
        const int handle = MakeGraphic(16, 16, 1, 5, levels);
        ASSERT_GE(handle, 0);
        const std::string before = LevelBytes(TextureOf(handle), 0, 256);
        const size_t mark = LogMark();
        EXPECT_EQ(FillGraphicFromImage(image.get(), nullptr, 0, 0, handle, 0), 0);
        EXPECT_EQ(LinesSince(mark), "DXTフォーマットのテクスチャに標準形式のイメージを転送することはできません");
        EXPECT_EQ(LevelBytes(TextureOf(handle), 0, 256), before);
        DeleteGraphicHandle(handle, 0);
    }
}

TEST_F(TextureUploadTest, ImagesThatCarryTheirLevelsAreCopiedLevelByLevel) {
    StartGraphics(32);
    // Block data: 8 by 8 in DXT1 with 4 levels, 32 + 8 + 8 + 8 bytes.
    const std::string blocks = Counting(56, 3);
    TestImage dxt;
    MakeRawImage(dxt, DxtFormat(1), 8, 8, 0, 4, blocks);
    const int compressed = MakeGraphFromPixelImage(dxt.get(), nullptr, 0, 0, 0);
    ASSERT_GE(compressed, 0);
    EXPECT_EQ(BlockOf(compressed)->mipLevelCount, 4);
    const size_t offsets[] = {0, 32, 40, 48, 56};
    for (int level = 0; level < 4; ++level) {
        const size_t count = offsets[level + 1] - offsets[level];
        EXPECT_EQ(LevelBytes(TextureOf(compressed), level, count), blocks.substr(offsets[level], count)) << level;
    }
    DeleteGraphicHandle(compressed, 0);

    // Plain levels in another format than the texture's are converted, each
    // found by the level sizes of the loader.
    SetNewGraphTransFlag(0);
    for (int bytesPerPixel : {4, 3}) {
        SCOPED_TRACE(bytesPerPixel);
        PixelFormat format{};
        bytesPerPixel == 4 ? UseXrgb32Format(&format) : UseRgb24Format(&format);
        const uint32_t colours[4] = {0x102030, 0x405060, 0x708090, 0xA0B0C0};
        std::string data;
        for (int level = 0; level < 4; ++level) {
            const int side = 8 >> level;
            for (int i = 0; i < side * side; ++i)
                data.append(reinterpret_cast<const char*>(&colours[level]), static_cast<size_t>(bytesPerPixel));
        }
        TestImage image;
        MakeRawImage(image, format, 8, 8, 8 * bytesPerPixel, 4, data);
        const int handle = MakeGraphFromPixelImage(image.get(), nullptr, 0, 0, 0);
        ASSERT_GE(handle, 0);
        for (int level = 0; level < 4; ++level) {
            const int side = 8 >> level;
            for (uint32_t value : ReadLevel(TextureOf(handle), level, 4)) EXPECT_EQ(value & kRgb, colours[level]) << side;
        }
        DeleteGraphicHandle(handle, 0);
    }
}

// The level's pixels, with those outside (0, 0)-(right, bottom) expected 0.
void ExpectLevel(IDirect3DTexture9* texture, int level, int width, int height, int right, int bottom, uint32_t colour) {
    const std::vector<uint32_t> pixels = ReadLevel(texture, level, 4);
    ASSERT_EQ(pixels.size(), static_cast<size_t>(width * height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool inside = x < right && y < bottom;
            EXPECT_EQ(pixels[y * width + x] & (inside ? kRgb : 0xFFFFFFFF), inside ? colour : 0u)
                << "level " << level << " at " << x << ", " << y;
        }
}

TEST_F(TextureUploadTest, MadeLevelsHalveTheOverlapAndStayInsideItsRectangleAtEachLevel) {
    StartGraphics(32);
    SetNewGraphTransFlag(0);
    const int handle = MakeGraphic(100, 60, 0, 0, 8);
    ASSERT_GE(handle, 0);
    TestImage image;
    MakeImage32(image, 100, 60, false, [](int, int) { return 0xFF336699u; });
    EXPECT_EQ(FillGraphicFromImage(image.get(), nullptr, 0, 0, handle, 0), 0);
    // A 128 x 64 scratch pair: its levels are the texture's; the image's edge
    // is carried out, so every made pixel keeps the colour.
    struct Level {
        int width, height, right, bottom;
    };
    const Level levels[8] = {{128, 64, 100, 60}, {64, 32, 50, 30}, {32, 16, 25, 15}, {16, 8, 12, 7},
                             {8, 4, 6, 3},       {4, 2, 3, 1},      {2, 1, 1, 1},     {1, 1, 1, 1}};
    for (int level = 0; level < 8; ++level) {
        const Level& l = levels[level];
        ExpectLevel(TextureOf(handle), level, l.width, l.height, l.right, l.bottom, 0x336699);
    }
    DeleteGraphicHandle(handle, 0);
}

TEST_F(TextureUploadTest, ALevelRectangleThatShiftsToNothingIsMovedOutByOne) {
    StartGraphics(32);
    SetNewGraphTransFlag(0);
    const int handle = MakeGraphic(8, 8, 0, 0, 4);
    TestImage dot;
    MakeImage32(dot, 1, 1, false, [](int, int) { return 0xFFABCDEFu; });
    EXPECT_EQ(FillGraphicFromImage(dot.get(), nullptr, 2, 2, handle, 0), 0);
    // (2, 2)-(3, 3) is (1, 1)-(2, 2) at level 1 and (0, 0)-(1, 1) below.
    const int expected[4][2] = {{2, 2}, {1, 1}, {0, 0}, {0, 0}};
    for (int level = 0; level < 4; ++level) {
        const int side = 8 >> level;
        const std::vector<uint32_t> pixels = ReadLevel(TextureOf(handle), level, 4);
        for (int i = 0; i < side * side; ++i) {
            const bool dotHere = i == expected[level][1] * side + expected[level][0];
            EXPECT_EQ(pixels[i] & (dotHere ? kRgb : 0xFFFFFFFF), dotHere ? 0xABCDEFu : 0u) << level << ": " << i;
        }
    }

    // Four pixels average into one at the next level.
    TestImage square;
    MakeImage32(square, 2, 2, false, [](int x, int y) { return 0xFF000000u | static_cast<uint32_t>((x + 2 * y) * 0x40); });
    EXPECT_EQ(FillGraphicFromImage(square.get(), nullptr, 4, 4, handle, 0), 0);
    EXPECT_EQ(ReadLevel(TextureOf(handle), 1, 4)[2 * 4 + 2] & kRgb, 0x60u);
    DeleteGraphicHandle(handle, 0);
}

TEST_F(TextureUploadTest, ARenderTargetTakesItsPixelsThroughAStagingSurface) {
    StartGraphics(32);
    SetNewGraphDrawTargetFlag(1);
    const int handle = MakeEmptyGraphic(16, 16);
    ASSERT_GE(handle, 0);
    TestImage image;
    MakeImage32(image, 16, 16, false, [](int x, int y) { return 0xFF000000u | static_cast<uint32_t>(y << 8 | x); });
    TakeCalls();
    EXPECT_EQ(Upload(handle, {4, 4, 12, 10}, 2, 3, image.get()), 0);
    const std::vector<std::string> calls = TakeCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], "CreateOffscreenPlainSurface(8, 6, 22, 2, object)");
    EXPECT_EQ(calls[1], "UpdateSurface(object, 0, 0, 8, 6, object, 2, 3)");

    // Read back through system memory: the rectangle landed at (2, 3).
    IDirect3DDevice9* device = Direct3DDevice.device;
    IDirect3DSurface9* copy = nullptr;
    ASSERT_EQ(device->CreateOffscreenPlainSurface(16, 16, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &copy, nullptr), D3D_OK);
    ASSERT_EQ(device->GetRenderTargetData(static_cast<IDirect3DSurface9*>(BlockOf(handle)->pieces[0].surface), copy),
              D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            uint32_t value = 0;
            std::memcpy(&value, static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch + x * 4, 4);
            const bool inside = x >= 2 && x < 10 && y >= 3 && y < 9;
            EXPECT_EQ(value & kRgb, inside ? static_cast<uint32_t>((y + 1) << 8 | (x + 2)) : 0u) << x << ", " << y;
        }
    copy->UnlockRect();
    copy->Release();

    const size_t mark = LogMark();
    platform::Profile().failures.direct3d.createOffscreenPlainSurface = true;
    EXPECT_EQ(Upload(handle, {0, 0, 16, 16}, 0, 0, image.get()), -1);
    EXPECT_EQ(LinesSince(mark), "画像転送用のシステムメモリテクスチャの作成に失敗しました");
    DeleteGraphicHandle(handle, 0);
}

TEST_F(TextureUploadTest, ATextureThatCannotBeLockedFailsTheTransferAndItsCallers) {
    StartGraphics(32);
    // Textures of the default pool cannot be locked.
    SetNewGraphUnmanagedFlag(1);
    TestImage image;
    MakeImage32(image, 16, 16, false, [](int, int) { return 0xFF102030u; });
    const int live = GraphicHandleTable.liveCount;

    size_t mark = LogMark();
    EXPECT_EQ(MakeGraphFromPixelImage(image.get(), nullptr, 0, 0, 0), -1);
    EXPECT_EQ(LinesSince(mark), "テクスチャのロックに失敗しました");
    EXPECT_EQ(GraphicHandleTable.liveCount, live);

    const int single = MakeGraphic(16, 16, 0, 0, -1);
    mark = LogMark();
    EXPECT_EQ(RefillGraphFromPixelImage(image.get(), nullptr, single, 0, 0, 0), -1);
    EXPECT_EQ(LinesSince(mark), "テクスチャのロックに失敗しました");
    const int levels = MakeGraphic(16, 16, 0, 0, 3);
    mark = LogMark();
    EXPECT_EQ(FillGraphicFromImage(image.get(), nullptr, 0, 0, levels, 0), -1);
    EXPECT_EQ(LinesSince(mark), "ミップマップテクスチャのロックに失敗しました");

    // The scratch block of made levels cannot be had.
    SetNewGraphUnmanagedFlag(0);
    const int managed = MakeGraphic(16, 16, 0, 0, 3);
    mark = LogMark();
    platform::Profile().failures.heap.failAllocationNumber = 1;
    EXPECT_EQ(FillGraphicFromImage(image.get(), nullptr, 0, 0, managed, 0), -1);
    EXPECT_TRUE(EndsWith(LinesSince(mark), "テクスチャへ転送する画像を一時的に格納するメモリ領域の確保に失敗しました"));
    // An image of another size is refused before anything is touched.
    TestImage small;
    MakeImage32(small, 8, 16, false, [](int, int) { return 0u; });
    EXPECT_EQ(RefillGraphFromPixelImage(small.get(), nullptr, managed, 0, 0, 0), -1);
    EXPECT_EQ(RefillGraphFromPixelImage(image.get(), small.get(), managed, 0, 0, 0), -1);
    EXPECT_EQ(RefillGraphFromPixelImage(image.get(), nullptr, managed, 0, 0, 0), 0);
    for (int handle : {single, levels, managed}) DeleteGraphicHandle(handle, 0);
}

TEST_F(TextureUploadTest, APartGraphicRefilledAtItsTransferPositionGetsItsOwnPlaceBack) {
    StartGraphics(32);
    SetNewGraphTransFlag(0);
    TestImage first;
    MakeImage32(first, 16, 16, false, [](int x, int y) { return 0xFF000000u | static_cast<uint32_t>(y * 16 + x); });
    TestImage second;
    MakeImage32(second, 16, 16, false,
                [](int x, int y) { return 0xFF000000u | static_cast<uint32_t>(0x10000 + y * 16 + x); });
    const int whole = MakeGraphFromPixelImage(first.get(), nullptr, 0, 1, 0);
    const int part = DerivePartGraphic(4, 2, 8, 8, whole);
    ASSERT_GE(part, 0);
    const GraphicRecord* record = GetGraphicRecord(part);
    EXPECT_EQ(record->transferX, -4);
    EXPECT_EQ(record->transferY, -2);
    EXPECT_EQ(record->transferFlags, 1);

    // What the restore does with the file of the part: the whole image put
    // at the part's transfer position.
    EXPECT_EQ(FillGraphicFromImage(second.get(), nullptr, record->transferX, record->transferY, part,
                                   record->transferFlags),
              0);
    const std::vector<uint32_t> pixels = ReadLevel(TextureOf(whole), 0, 4);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool inPart = x >= 4 && x < 12 && y >= 2 && y < 10;
            EXPECT_EQ(pixels[y * 16 + x] & kRgb, static_cast<uint32_t>((inPart ? 0x10000 : 0) + y * 16 + x))
                << x << ", " << y;
        }
    // In the block's coordinates the destination is not moved by the part's place.
    TestImage dot;
    MakeImage32(dot, 1, 1, false, [](int, int) { return 0xFF777777u; });
    EXPECT_EQ(Upload(part, {0, 0, 1, 1}, 5, 3, dot.get(), nullptr, 0, 0, 1), 0);
    EXPECT_EQ(ReadLevel(TextureOf(whole), 0, 4)[3 * 16 + 5] & kRgb, 0x777777u);
    EXPECT_EQ(SetupDerivedGraphic(-1, whole, 0, 0, 1, 1), -1);

    // A movie frame fills the part with its own rectangle of the frame, where
    // the fill above had put the second image.
    EXPECT_EQ(TransferFrameImageToGraphic(first.get(), part), 0);
    const std::vector<uint32_t> framed = ReadLevel(TextureOf(whole), 0, 4);
    EXPECT_EQ(framed[2 * 16 + 4] & kRgb, 2u * 16 + 4);
    EXPECT_EQ(framed[9 * 16 + 11] & kRgb, 9u * 16 + 11);
    DeleteGraphicHandle(part, 0);
    DeleteGraphicHandle(whole, 0);
}

}  // namespace
}  // namespace graphicstest
