// A line of kana and kanji in the installed Japanese gothic face, edged and
// anti-aliased as the game makes every font, drawn on the software path and
// on the hardware path through OpenGL (SDL2's offscreen driver): every
// character shows text and edge pixels inside its advance, and nothing is
// drawn outside the line. Tolerant of the face's shapes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include "framework/base/framework_state.h"
#include "framework/graphics/screen/back_buffer_access.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/font/font_handles.h"
#include "framework/graphics/font/font_record.h"
#include "framework/graphics/font/string_drawing.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/image/pixel_image.h"
#include "framework/graphics/screen/screen_flip.h"
#include "framework/graphics/draws/vertex_batch.h"
#include "platform/host/sdl_host.h"
#include "tests/framework/graphics/graphics_test_support.h"
#include "tests/framework/graphics/hardware_graphics_test_support.h"

namespace {

const char kLine[] = "かなカナ漢字";
constexpr int kCharacters = 6;
constexpr int kLeft = 20, kTop = 40, kSize = 24;

// Reads a pixel of the drawn screen as 0xRRGGBB.
using PixelReader = std::function<uint32_t(int x, int y)>;

bool Whitish(uint32_t rgb) { return (rgb >> 16 & 0xFF) > 200 && (rgb >> 8 & 0xFF) > 200 && (rgb & 0xFF) > 200; }
bool Bluish(uint32_t rgb) { return (rgb >> 16 & 0xFF) < 80 && (rgb >> 8 & 0xFF) < 80 && (rgb & 0xFF) > 150; }

// Every character's advance holds text and edge pixels; the line's
// surroundings keep the black background.
void ExpectDrawnLine(int font, const PixelReader& pixel) {
    const FontRecord* record = GetFontRecord(font);
    ASSERT_NE(record, nullptr);
    int pen = 0;
    for (int n = 0; n < kCharacters; ++n) {
        SCOPED_TRACE(n);
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(kLine) + 2 * n;
        const GlyphSlot* slot = record->index[bytes[0] | bytes[1] << 8].slot;
        ASSERT_NE(slot, nullptr);
        // A full-width character of the gothic face advances about one
        // size, and its edges add two edge widths.
        EXPECT_GE(slot->advance, kSize * 8 / 10 + 4);
        EXPECT_LE(slot->advance, kSize * 11 / 10 + 4);
        int text = 0, edge = 0;
        for (int y = kTop; y < kTop + record->lineHeight; ++y)
            for (int x = kLeft + pen; x < kLeft + pen + slot->advance; ++x) {
                const uint32_t rgb = pixel(x, y);
                text += Whitish(rgb) ? 1 : 0;
                edge += Bluish(rgb) ? 1 : 0;
            }
        EXPECT_GT(text, 10);
        EXPECT_GT(edge, 10);
        pen += slot->advance;
    }
    EXPECT_EQ(DrawFontString(0, 0, 0, kLine, 0, nullptr, nullptr, font, 0, 0, nullptr), pen);
    for (int x = 0; x < 640; ++x) {
        EXPECT_EQ(pixel(x, kTop - 3) & 0xFFFFFF, 0u) << x;
        EXPECT_EQ(pixel(x, kTop + record->lineHeight + 2) & 0xFFFFFF, 0u) << x;
    }
    for (int y = kTop; y < kTop + record->lineHeight; ++y) {
        EXPECT_EQ(pixel(kLeft - 3, y) & 0xFFFFFF, 0u) << y;
        EXPECT_EQ(pixel(kLeft + pen + 3, y) & 0xFFFFFF, 0u) << y;
    }
}

using RealFontSoftwareTest = graphicstest::GraphicsTest;

TEST_F(RealFontSoftwareTest, AnEdgedAntialiasedLineDrawsEveryCharacter) {
    platform::Profile().fonts.testGlyphSource = false;
    SelectDrawTarget(-2);
    SetDrawAreaRect(0, 0, 640, 480);
    FillMemImgRect(&PrimaryScreenMemImg, nullptr, 0);
    const int font = CreateFontToHandle(nullptr, kSize, -1, 3, -1, 2, 0);
    ASSERT_GE(font, 0);
    ASSERT_EQ(DrawStringWithFont(kLeft, kTop, kLine, static_cast<int>(MakeScreenColorCode(255, 255, 255)), font,
                                 static_cast<int>(MakeScreenColorCode(0, 0, 255)), 0),
              0);
    const PixelFormat* format = PrimaryScreenMemImg.base->format;
    ExpectDrawnLine(font, [&](int x, int y) {
        uint32_t value = 0;
        std::memcpy(&value, PrimaryScreenMemImg.pixels + y * PrimaryScreenMemImg.base->pitch + x * 2, 2);
        int r = 0, g = 0, b = 0;
        RgbaFromPixelCode(format, value, &r, &g, &b, nullptr);
        return static_cast<uint32_t>(r << 16 | g << 8 | b);
    });
}

class RealFontOpenGlTest : public graphicstest::HardwareGraphicsTest {
protected:
    void SetUp() override {
        HardwareGraphicsTest::SetUp();
        platform::Profile().display.host = platform::HostDisplayUse::Automatic;
        platform::Profile().direct3d.renderer = platform::Direct3DRenderer::OpenGL;
        if (!platform::host::DisplayAvailable()) return Missing("SDL2's video did not start");
        platform::Profile().display.desktopBitsPerPixel = 32;
        MakeWindow(1);
        ASSERT_EQ(InitGraphicsSystem(), 0);
        if (IsDirect3DPathInUse() != 1) return Missing("no OpenGL context for the device");
        FrameworkInitialised = 1;
    }
    void TearDown() override {
        FrameworkInitialised = 0;
        HardwareGraphicsTest::TearDown();
    }
    void Missing(const char* why) {
        if (std::getenv("CI") != nullptr)
            GTEST_FAIL() << "OpenGL is required under CI: " << why;
        else
            GTEST_SKIP() << "No OpenGL: " << why;
    }
};

TEST_F(RealFontOpenGlTest, AnEdgedAntialiasedLineDrawsEveryCharacter) {
    SelectDrawTarget(-2);
    SetDrawAreaRect(0, 0, 640, 480);
    ClearTargetScreen();
    const int font = CreateFontToHandle(nullptr, kSize, -1, 3, -1, 2, 0);
    ASSERT_GE(font, 0);
    ASSERT_EQ(GetFontRecord(font)->textureCache, 1);
    ASSERT_EQ(DrawStringWithFont(kLeft, kTop, kLine, static_cast<int>(MakeScreenColorCode(255, 255, 255)), font,
                                 static_cast<int>(MakeScreenColorCode(0, 0, 255)), 0),
              0);
    FlushVertexBatch();
    const int rect[4] = {0, 0, 640, 480};
    PixelImage image{};
    ASSERT_EQ(LockBackBuffer(rect, &image), 0);
    ExpectDrawnLine(font, [&](int x, int y) {
        uint32_t value = 0;
        std::memcpy(&value, image.pixels + y * image.pitch + x * image.format.bytesPerPixel,
                    image.format.bytesPerPixel);
        int r = 0, g = 0, b = 0;
        RgbaFromPixelCode(&image.format, value, &r, &g, &b, nullptr);
        return static_cast<uint32_t>(r << 16 | g << 8 | b);
    });
    UnlockBackBuffer();
}

}  // namespace
