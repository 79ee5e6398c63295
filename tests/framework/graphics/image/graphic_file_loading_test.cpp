// Loading graphics from image files: the texture bytes a small PNG leaves
// on 16- and 32-bit screens, with and without its "_a" alpha file, the same
// picture as memory-image pixels on the software path, the name kept for the
// restore, and files that are missing or no image.
#include <png.h>

#include <fstream>
#include <string>
#include <vector>

#include "framework/graphics/handles/graphic_creation.h"
#include "framework/graphics/handles/graphic_source_file.h"
#include "tests/framework/graphics/graphics_test_support.h"
#include "tests/framework/graphics/hardware_graphics_test_support.h"
#include "tests/framework/graphics/image/image_file_fixtures.h"

namespace imagetest {
namespace {

// 2 by 2: black (the transparent colour), red, green and 0x123456.
std::string ColourPng() {
    return WritePng({2, 2, 8, PNG_COLOR_TYPE_RGB, false,
                     {std::string("\x00\x00\x00\xFF\x00\x00", 6), std::string("\x00\xFF\x00\x12\x34\x56", 6)},
                     {},
                     {}});
}

// Grey levels 0x00, 0x40, 0x80 and 0xFF.
std::string AlphaPng() {
    return WritePng({2, 2, 8, PNG_COLOR_TYPE_GRAY, false, {std::string("\x00\x40", 2), std::string("\x80\xFF", 2)}, {}, {}});
}

void WriteFile(const testsupport::TemporaryFolder& folder, const std::string& name, const std::string& bytes) {
    std::ofstream(folder.hostPath() + "/" + name, std::ios::binary) << bytes;
}

std::string SourceName(int handle) {
    const GraphicSourceFileName* name = GetGraphicRecord(handle)->sourceFileName;
    return name != nullptr ? name->path : "";
}

struct HardwareCase {
    const char* name;
    int desktopBits;
    bool alphaFile;
    int formatIndex;
    int bytesPerPixel;
    std::vector<uint32_t> texels;  // the image's four pixels in the texture
};

void PrintTo(const HardwareCase& c, std::ostream* os) { *os << c.name; }

class HardwareGraphicFileTest : public graphicstest::HardwareGraphicsTest,
                                public testing::WithParamInterface<HardwareCase> {};

TEST_P(HardwareGraphicFileTest, ThePictureReachesTheTextureInItsFormat) {
    const HardwareCase& c = GetParam();
    WriteFile(folder_, "picture.png", ColourPng());
    if (c.alphaFile) WriteFile(folder_, "picture_a.png", AlphaPng());
    StartGraphics(c.desktopBits);
    const int handle = LoadGraphFile("picture.png", 0);
    ASSERT_GE(handle, 0);
    const GraphicImage* block = graphicstest::BlockOf(handle);
    EXPECT_EQ(block->formatIndex, c.formatIndex);
    EXPECT_EQ(block->pieces[0].textureWidth, 8);
    const std::vector<uint32_t> level = graphicstest::ReadLevel(graphicstest::TextureOf(handle), 0, c.bytesPerPixel);
    EXPECT_EQ((std::vector<uint32_t>{level[0], level[1], level[8], level[9]}), c.texels);
    EXPECT_EQ(SourceName(handle), folder_.windowsPath() + "\\picture.png");
    EXPECT_EQ(GetGraphicRecord(handle)->transferFlags, 0);
    DeleteGraphicHandle(handle, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, HardwareGraphicFileTest,
    testing::Values(
        HardwareCase{"Keyed16", 16, false, 4, 2, {0x0000, 0xFC00, 0x83E0, 0x88CA}},
        HardwareCase{"Keyed32", 32, false, 5, 4, {0x00000000, 0xFFFF0000, 0xFF00FF00, 0xFF123456}},
        HardwareCase{"AlphaFileOn16", 16, true, 3, 4, {0x00000000, 0x40FF0000, 0x8000FF00, 0xFF123456}},
        HardwareCase{"AlphaFileOn32", 32, true, 3, 4, {0x00000000, 0x40FF0000, 0x8000FF00, 0xFF123456}}),
    [](const testing::TestParamInfo<HardwareCase>& info) { return info.param.name; });

class SoftwareGraphicFileTest : public graphicstest::GraphicsTest {};

uint32_t MemImgPixel(const MEMIMG& image, int x, int y) {
    const MemImgBase& base = *image.base;
    const int bytes = base.format->bytesPerPixel;
    uint32_t value = 0;
    std::memcpy(&value, image.pixels + y * base.pitch + x * bytes, static_cast<size_t>(bytes));
    return value;
}

std::vector<uint32_t> FourPixels(int handle, uint32_t mask) {
    const MEMIMG& image = GetGraphicRecord(handle)->memImg;
    return {MemImgPixel(image, 0, 0) & mask, MemImgPixel(image, 1, 0) & mask, MemImgPixel(image, 0, 1) & mask,
            MemImgPixel(image, 1, 1) & mask};
}

TEST_F(SoftwareGraphicFileTest, ThePictureBecomesMemoryImagePixels) {
    WriteFile(folder_, "picture.png", ColourPng());
    const int plain = LoadGraphFile("picture.png", 0);
    ASSERT_GE(plain, 0);
    EXPECT_EQ(graphicstest::BlockOf(plain)->formatIndex, 15);
    EXPECT_EQ(FourPixels(plain, 0xFFFFFFFF), (std::vector<uint32_t>{0x0000, 0xF800, 0x07E0, 0x11AA}));

    // Mirrored, and the mirror kept for the reload.
    const int mirrored = LoadGraphicFile("picture.png", 0, 1, 0);
    EXPECT_EQ(FourPixels(mirrored, 0xFFFFFFFF), (std::vector<uint32_t>{0xF800, 0x0000, 0x11AA, 0x07E0}));
    EXPECT_EQ(GetGraphicRecord(mirrored)->transferFlags, 1);

    // The alpha file's grey goes beside each 5-6-5 pixel.
    WriteFile(folder_, "picture_a.png", AlphaPng());
    const int withAlpha = LoadGraphFile("picture.png", 0);
    EXPECT_EQ(graphicstest::BlockOf(withAlpha)->formatIndex, 16);
    EXPECT_EQ(FourPixels(withAlpha, 0xFFFFFF), (std::vector<uint32_t>{0x000000, 0x40F800, 0x8007E0, 0xFF11AA}));
    for (int handle : {plain, mirrored, withAlpha}) DeleteGraphicHandle(handle, 0);
}

TEST_F(SoftwareGraphicFileTest, APartKeepsTheFileNameWhenTheGraphicItCameFromGoes) {
    WriteFile(folder_, "picture.png", ColourPng());
    const int whole = LoadGraphFile("picture.png", 0);
    const int part = DerivePartGraphic(1, 0, 1, 2, whole);
    ASSERT_GE(part, 0);
    EXPECT_EQ(GetGraphicRecord(part)->sourceFileName, GetGraphicRecord(whole)->sourceFileName);
    DeleteGraphicHandle(whole, 0);
    EXPECT_EQ(SourceName(part), folder_.windowsPath() + "\\picture.png");
    EXPECT_EQ(GetGraphicRecord(part)->sourceFileName->referenceCount, 1);
    // Refilled from memory, the graphic no longer comes from the file.
    const std::string colour = ColourPng();
    const std::string alpha = AlphaPng();
    const int copy = LoadGraphFile("picture.png", 0);
    EXPECT_EQ(RefillGraphFromMemory(colour.data(), static_cast<int>(colour.size()), copy, alpha.data(),
                                    static_cast<int>(alpha.size()), 0, 0),
              0);
    EXPECT_EQ(GetGraphicRecord(copy)->sourceFileName, nullptr);
    EXPECT_EQ(RefillGraphFromMemory("no picture", 10, copy, nullptr, 0, 0, 0), -1);
    DeleteGraphicHandle(part, 0);
    DeleteGraphicHandle(copy, 0);
}

TEST_F(SoftwareGraphicFileTest, AMissingFileAndAFileThatIsNoImageAreLogged) {
    size_t mark = LogText().size();
    EXPECT_EQ(LoadGraphFile("missing.png", 0), -1);
    EXPECT_EQ(LinesSince(mark), "グラフィックファイル missing.png がありません\r\n");

    // Any other file is tried as a movie.
    WriteFile(folder_, "notes.txt", "no picture here");
    mark = LogText().size();
    EXPECT_EQ(LoadGraphFile("notes.txt", 0), -1);
    EXPECT_EQ(LinesSince(mark),
              "ファイル:notes.txt が開けませんでした\r\n"
              "ムービーファイルオープン処理時にエラーが発生しました\r\n"
              "右記のグラフィックファイルのロードに失敗しました：notes.txt \r\n\r\n");
    EXPECT_EQ(GraphicHandleTable.liveCount, 0);
}

}  // namespace
}  // namespace imagetest
