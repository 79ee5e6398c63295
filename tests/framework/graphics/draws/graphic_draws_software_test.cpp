// The public draws on the software path, read back from the primary screen
// memory image: where each draw lands, what the draw area and bad handles do,
// and a whole scene in blend modes 0 to 2 against the renderer itself.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "framework/base/framework_state.h"
#include "framework/graphics/draws/draw_observer.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/draws/graphic_draws.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/screen/mask_screen.h"
#include "framework/softrender/fill_box.h"
#include "framework/softrender/raster_triangle.h"
#include "framework/softrender/rotate_blit.h"
#include "framework/softrender/stretch_blit.h"
#include "framework/softrender/blit_memimg.h"
#include "framework/softrender/line_draw.h"
#include "tests/framework/graphics/graphics_test_support.h"

namespace graphicstest {
namespace {

uint32_t Pixel(const MEMIMG& image, int x, int y) {
    const int bytes = image.base->format->bytesPerPixel;
    uint32_t value = 0;
    std::memcpy(&value, image.pixels + y * image.base->pitch + x * bytes, static_cast<size_t>(bytes));
    return value;
}

void SetPixel(MEMIMG& image, int x, int y, uint32_t value) {
    const int bytes = image.base->format->bytesPerPixel;
    std::memcpy(image.pixels + y * image.base->pitch + x * bytes, &value, static_cast<size_t>(bytes));
}

std::vector<uint8_t> Bytes(const MEMIMG& image) {
    std::vector<uint8_t> out;
    const size_t row = static_cast<size_t>(image.width * image.base->format->bytesPerPixel);
    for (int y = 0; y < image.height; ++y) out.insert(out.end(), image.pixels + y * image.base->pitch,
                                                      image.pixels + y * image.base->pitch + row);
    return out;
}

class SoftwareDrawsTest : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        savedInitialised_ = FrameworkInitialised;
        FrameworkInitialised = 1;
        SelectDrawTarget(-2);
        FillMemImgRect(&PrimaryScreenMemImg, nullptr, 0);
    }
    void TearDown() override {
        FrameworkInitialised = savedInitialised_;
        GraphicsTest::TearDown();
    }
    // A graphic whose every pixel is a different nonzero 5-6-5 value.
    static int PatternGraphic(int width, int height) {
        const int handle = MakeSoftwareGraphic(width, height);
        MEMIMG& image = GetGraphicRecord(handle)->memImg;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) SetPixel(image, x, y, static_cast<uint32_t>(1 + x + y * width));
        return handle;
    }
    static uint32_t Screen(int x, int y) { return Pixel(PrimaryScreenMemImg, x, y); }
    // Pixels of the screen outside the rectangle that are not 0.
    static int TouchedOutside(int left, int top, int right, int bottom) {
        int count = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                if ((x < left || x >= right || y < top || y >= bottom) && Screen(x, y) != 0) ++count;
        return count;
    }

private:
    int savedInitialised_ = 0;
};

TEST_F(SoftwareDrawsTest, AtAPointAndMirroredFillTheSameRectangle) {
    const int h = PatternGraphic(32, 16);
    const MEMIMG& image = GetGraphicRecord(h)->memImg;
    ASSERT_EQ(DrawGraphicAtPoint(10, 20, h, 1), 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) ASSERT_EQ(Screen(10 + x, 20 + y), Pixel(image, x, y)) << x << "," << y;
    EXPECT_EQ(TouchedOutside(10, 20, 42, 36), 0);

    FillMemImgRect(&PrimaryScreenMemImg, nullptr, 0);
    ASSERT_EQ(DrawGraphicMirrored(10, 20, h, 1), 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) ASSERT_EQ(Screen(10 + x, 20 + y), Pixel(image, 31 - x, y)) << x << "," << y;
    EXPECT_EQ(TouchedOutside(10, 20, 42, 36), 0);
}

TEST_F(SoftwareDrawsTest, APartShowsOnlyItsColumnAndTheDrawAreaComesBack) {
    const int h = PatternGraphic(64, 32);
    const MEMIMG& image = GetGraphicRecord(h)->memImg;
    SetDrawAreaRect(0, 0, 400, 300);
    const RECT before = CurrentDrawSettings.drawArea;
    struct Case {
        int turn;
        int column;  // the graphic's column shown at x = 100 + i
        int step;
    } cases[] = {{0, 32, 1}, {1, 63, -1}};
    for (const Case& c : cases) {
        FillMemImgRect(&PrimaryScreenMemImg, nullptr, 0);
        ASSERT_EQ(DrawGraphicPart(100, 50, 32, 0, 32, 32, h, 1, c.turn), 0);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                ASSERT_EQ(Screen(100 + x, 50 + y), Pixel(image, c.column + c.step * x, y)) << c.turn << ": " << x;
        EXPECT_EQ(TouchedOutside(100, 50, 132, 82), 0) << c.turn;
        const RECT after = CurrentDrawSettings.drawArea;
        EXPECT_EQ(std::memcmp(&before, &after, sizeof(RECT)), 0);
        EXPECT_EQ(CurrentDrawSettings.drawAreaFloat[2], 400.0f);
        EXPECT_EQ(CurrentDrawSettings.drawAreaEmpty, 0);
    }
    // A part clipped away by the area: nothing drawn, the area as it was.
    FillMemImgRect(&PrimaryScreenMemImg, nullptr, 0);
    EXPECT_EQ(DrawGraphicPart(500, 50, 0, 0, 32, 32, h, 1, 0), 0);
    EXPECT_EQ(TouchedOutside(0, 0, 0, 0), 0);
    EXPECT_EQ(CurrentDrawSettings.drawAreaEmpty, 0);
}

TEST_F(SoftwareDrawsTest, AnEmptyAreaDrawsNothingAndADeletedHandleIsRefused) {
    const int h = PatternGraphic(8, 8);
    const int gone = PatternGraphic(8, 8);
    DeleteGraphicHandle(gone, 0);
    using Draw = int (*)(int);
    const Draw draws[] = {
        [](int g) { return DrawGraphicAtPoint(0, 0, g, 1); },
        [](int g) { return DrawGraphicMirrored(0, 0, g, 1); },
        [](int g) { return DrawGraphicPart(0, 0, 0, 0, 4, 4, g, 1, 1); },
        [](int g) { return DrawGraphicStretched(0, 0, 16, 16, g, 1); },
        [](int g) { return DrawGraphicStretchedF(0.5f, 0, 16, 16, g, 1); },
        [](int g) { return DrawGraphicRotated(20, 20, 2.0, 0.5, g, 1, 0); },
        [](int g) { return DrawGraphicFourCorners(0, 0, 9, 1, 8, 8, 1, 9, g, 1); },
        [](int g) { return DrawGraphicFourCornersF(0, 0, 9, 1, 8, 8, 1, 9, g, 1); },
    };
    for (const Draw draw : draws) EXPECT_EQ(draw(gone), -1);
    SetDrawAreaRect(10, 10, 10, 50);
    for (const Draw draw : draws) {
        EXPECT_EQ(draw(h), 0);
        EXPECT_EQ(draw(gone), 0);
    }
    EXPECT_EQ(DrawRectFilled(0, 0, 640, 480, 0xFFFF), 0);
    EXPECT_EQ(DrawRectFrame(0, 0, 640, 480, 0xFFFF), 0);
    EXPECT_EQ(TouchedOutside(0, 0, 0, 0), 0);
}

TEST_F(SoftwareDrawsTest, TheOutlineIsOnePixelRoundTheFilledBox) {
    ASSERT_EQ(DrawRectShape(5, 6, 15, 12, 0x1234, 1), 0);
    EXPECT_EQ(TouchedOutside(5, 6, 15, 12), 0);
    for (int y = 6; y < 12; ++y)
        for (int x = 5; x < 15; ++x) ASSERT_EQ(Screen(x, y), 0x1234u);
    FillMemImgRect(&PrimaryScreenMemImg, nullptr, 0);
    ASSERT_EQ(DrawRectShape(15, 12, 5, 6, 0x1234, 0), 0);
    EXPECT_EQ(TouchedOutside(5, 6, 15, 12), 0);
    for (int y = 6; y < 12; ++y)
        for (int x = 5; x < 15; ++x) {
            const bool edge = x == 5 || x == 14 || y == 6 || y == 11;
            ASSERT_EQ(Screen(x, y), edge ? 0x1234u : 0u) << x << "," << y;
        }
}

// The whole scene through the public draws equals the renderer's own calls
// with the corners in its order, mode by mode.
TEST_F(SoftwareDrawsTest, ASceneInModesZeroToTwoIsTheRenderersFrame) {
    const int h = PatternGraphic(24, 16);
    const MEMIMG& image = GetGraphicRecord(h)->memImg;
    MEMIMG reference = {};
    ASSERT_EQ(NewMemImg(&reference, 640, 480, -1), 0);
    for (int mode = 0; mode <= 2; ++mode) {
        SetBlendModeAndParam(mode, 160);
        FillMemImgRect(&PrimaryScreenMemImg, nullptr, 0x4208);
        FillMemImgRect(&reference, nullptr, 0x4208);

        DrawGraphicAtPoint(3, 4, h, 1);
        DrawGraphicMirrored(40, 4, h, 1);
        DrawGraphicPart(80, 4, 8, 4, 10, 8, h, 1, 0);
        DrawGraphicStretched(100, 10, 160, 70, h, 1);
        DrawGraphicStretchedF(230.7f, 10.2f, 170.9f, 50.0f, h, 1);
        DrawGraphicRotatedF(300.6f, 60.2f, 1.7, 0.6, h, 1, 0);
        DrawGraphicRotated(380, 60, 0.8, -2.0, h, 1, 1);
        DrawGraphicFourCorners(20, 200, 90, 190, 100, 260, 10, 250, h, 1);
        DrawGraphicFourCornersF(120.9f, 200.5f, 190.2f, 190.0f, 200.0f, 260.0f, 110.0f, 250.7f, h, 1);
        DrawRectFilled(300, 200, 340, 230, 0xF800);
        DrawRectFrame(350, 200, 390, 230, 0x07E0);

        BlitMemImg(&reference, &image, 3, 4, 1, nullptr, CurrentDrawSettings);
        const RECT mirrored = {64, 4, 40, 20};
        StretchBlitMemImg(&reference, &image, &mirrored, 1, nullptr, CurrentDrawSettings);
        const RECT saved = CurrentDrawSettings.drawArea;
        CurrentDrawSettings.drawArea = RECT{80, 4, 90, 12};
        BlitMemImg(&reference, &image, 72, 0, 1, nullptr, CurrentDrawSettings);
        CurrentDrawSettings.drawArea = saved;
        const RECT stretched = {100, 10, 160, 70};
        StretchBlitMemImg(&reference, &image, &stretched, 1, nullptr, CurrentDrawSettings);
        const RECT stretchedF = {230, 10, 170, 50};
        StretchBlitMemImg(&reference, &image, &stretchedF, 1, nullptr, CurrentDrawSettings);
        RotateBlitMemImg(&reference, &image, 300, 60, 0.6f, 1.7f, 1, 0, nullptr, CurrentDrawSettings);
        RotateBlitMemImg(&reference, &image, 380, 60, -2.0f, 0.8f, 1, 1, nullptr, CurrentDrawSettings);
        const int quad[8] = {20, 200, 90, 190, 10, 250, 100, 260};
        RasterQuadMemImg(&reference, &image, quad, 1, nullptr, CurrentDrawSettings);
        const int quadF[8] = {120, 200, 190, 190, 110, 250, 200, 260};
        RasterQuadMemImg(&reference, &image, quadF, 1, nullptr, CurrentDrawSettings);
        const RECT box = {300, 200, 340, 230};
        FillBoxMemImg(&reference, &box, 0xF800, CurrentDrawSettings);
        const MemImgLine lines[4] = {{350, 200, 390, 200, 0x07E0, 0},
                                     {389, 201, 389, 230, 0x07E0, 0},
                                     {350, 201, 350, 230, 0x07E0, 0},
                                     {351, 229, 389, 229, 0x07E0, 0}};
        LineListMemImg(&reference, lines, 4, CurrentDrawSettings);

        EXPECT_TRUE(Bytes(PrimaryScreenMemImg) == Bytes(reference)) << "mode " << mode;
    }
    FreeMemImg(&reference);
}

TEST_F(SoftwareDrawsTest, NothingIsDrawnBeforeTheFrameworkStartsOrAfterTheTargetWent) {
    const int h = PatternGraphic(8, 8);
    FrameworkInitialised = 0;
    EXPECT_EQ(DrawGraphicAtPoint(0, 0, h, 0), -1);
    FrameworkInitialised = 1;
    // A deleted target gives way to the back buffer: draws land there.
    const int target = PatternGraphic(16, 16);
    ASSERT_EQ(SelectDrawTarget(target), 0);
    DeleteGraphicHandle(target, 0);
    EXPECT_EQ(DrawGraphicAtPoint(0, 0, h, 0), 0);
    EXPECT_EQ(Screen(7, 7), Pixel(GetGraphicRecord(h)->memImg, 7, 7));
}

// The same draws with the mask screen in effect and passing everywhere, so
// that every draw also works out the rectangle it may touch.
class SoftwareMaskedDrawsTest : public SoftwareDrawsTest {
protected:
    void SetUp() override {
        SoftwareDrawsTest::SetUp();
        ASSERT_EQ(CreateMaskScreenBuffers(1), 0);
    }
    void TearDown() override {
        TerminateMaskScreen();
        SoftwareDrawsTest::TearDown();
    }
    static std::vector<uint8_t> FrameOf(const std::function<void()>& draw, int masked) {
        FillMemImgRect(&PrimaryScreenMemImg, nullptr, 0);
        EXPECT_EQ(SetMaskScreenUse(masked), 0);
        draw();
        SetMaskScreenUse(0);
        return Bytes(PrimaryScreenMemImg);
    }
};

// The rectangle a draw hands the mask holds every pixel the software path
// draws, which cuts float corners toward zero: rounded to the nearest pixel,
// the first column and row of a draw at 10.7 went missing.
TEST_F(SoftwareMaskedDrawsTest, EveryPixelOfAFractionalDrawComesThroughTheMask) {
    const int h = PatternGraphic(32, 16);
    const std::function<void()> draws[] = {
        [&] { DrawGraphicStretchedF(10.7f, 20.6f, 42.7f, 36.6f, h, 1); },
        [&] { DrawGraphicStretchedF(42.5f, 36.5f, 10.5f, 20.5f, h, 1); },
        [&] { DrawGraphicStretchedF(-5.5f, -3.7f, 20.2f, 10.9f, h, 1); },
        [&] { DrawGraphicFourCornersF(10.7f, 20.6f, 42.7f, 22.1f, 44.2f, 38.1f, 12.2f, 36.6f, h, 1); },
        [&] { DrawGraphicRectStretchedF(10.7f, 20.6f, 30.7f, 40.6f, 4, 4, 8, 8, h, 1); },
        [&] { DrawGraphicRotatedF(100.7f, 100.6f, 1.5, 0.4, h, 1, 0); },
    };
    for (size_t i = 0; i < std::size(draws); ++i) {
        const auto plain = FrameOf(draws[i], 0);
        EXPECT_TRUE(FrameOf(draws[i], 1) == plain) << "draw " << i;
    }
}

// Coordinates at the ends of the int range, and floats beyond it, are
// sums that leave the range (the rectangle of a part, the place of the
// graphic behind it, a box's outline, the rectangle handed to the mask):
// each draw lands where the exact sum would, off the screen, and draws
// nothing; a part wider than the graphic shows what the graphic has.
TEST_F(SoftwareMaskedDrawsTest, CoordinatesAtTheEndsOfTheRangeStayOffTheScreen) {
    const int h = PatternGraphic(64, 32);
    const MEMIMG& image = GetGraphicRecord(h)->memImg;
    constexpr int kMax = INT_MAX;
    constexpr int kMin = INT_MIN;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::function<int()> draws[] = {
        [&] { return DrawGraphicAtPoint(kMax - 4, kMax - 4, h, 1); },
        [&] { return DrawGraphicMirrored(kMax - 4, kMin, h, 1); },
        [&] { return DrawGraphicPart(kMax - 10, 0, 0, 0, 100, 100, h, 1, 0); },
        [&] { return DrawGraphicPart(10, 10, kMin, 0, 8, 8, h, 1, 0); },
        [&] { return DrawGraphicPart(kMin, kMin, 5, 5, 8, 8, h, 1, 0); },
        [&] { return DrawGraphicPart(10, 10, kMax, kMax, 8, 8, h, 1, 1); },
        [&] { return DrawGraphicPart(100, 50, 32, 0, kMax, 32, h, 1, 1); },
        [&] { return DrawGraphicStretched(kMax - 3, 0, kMax, 8, h, 1); },
        [&] { return DrawGraphicStretchedF(1e10f, 0.0f, 3e10f, 10.0f, h, 1); },
        [&] { return DrawGraphicStretchedF(-3e10f, -1e10f, -1e10f, -5e9f, h, 1); },
        [&] { return DrawGraphicStretchedF(nan, 0.0f, 10.0f, nan, h, 1); },
        [&] { return DrawGraphicRectStretchedF(1e10f, 1e10f, 3e10f, 3e10f, 0, 0, 8, 8, h, 1); },
        [&] { return DrawGraphicRotatedF(3e9f, 3e9f, 1.0, 0.5, h, 1, 0); },
        [&] { return DrawGraphicRotated(kMax, kMax, 1.0, 0.0, h, 1, 0); },
        [&] { return DrawGraphicRotated(kMin, kMin, 2.0, 1.0, h, 1, 1); },
        [&] { return DrawGraphicFourCornersF(1e20f, 1e20f, 2e20f, 1e20f, 2e20f, 2e20f, 1e20f, 2e20f, h, 1); },
        [&] { return DrawGraphicFourCorners(kMax - 9, kMax - 9, kMax, kMax - 9, kMax, kMax, kMax - 9, kMax, h, 1); },
        [&] { return DrawRectFrame(kMin, kMin, kMin, kMin, 0x1234); },
        [&] { return DrawRectFrame(kMax, kMax, kMax, kMax, 0x1234); },
        [&] { return DrawRectFrame(kMin, kMin, kMax, kMax, 0x1234); },
        [&] { return DrawRectFilled(kMax - 1, kMin, kMax, kMin + 1, 0x1234); },
    };
    for (size_t i = 0; i < std::size(draws); ++i) {
        for (int masked = 0; masked <= 1; ++masked) {
            FillMemImgRect(&PrimaryScreenMemImg, nullptr, 0);
            ASSERT_EQ(SetMaskScreenUse(masked), 0);
            EXPECT_EQ(draws[i](), 0) << "draw " << i;
            SetMaskScreenUse(0);
            EXPECT_EQ(TouchedOutside(0, 0, 0, 0), 0) << "draw " << i << (masked ? ", masked" : "");
        }
    }

    // A part far wider and higher than the graphic shows the graphic from
    // its source corner on.
    FillMemImgRect(&PrimaryScreenMemImg, nullptr, 0);
    ASSERT_EQ(SetMaskScreenUse(1), 0);
    ASSERT_EQ(DrawGraphicPart(100, 50, 32, 8, kMax, kMax, h, 1, 0), 0);
    SetMaskScreenUse(0);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 32; ++x) ASSERT_EQ(Screen(100 + x, 50 + y), Pixel(image, 32 + x, 8 + y)) << x << "," << y;
    EXPECT_EQ(TouchedOutside(100, 50, 132, 74), 0);
    // A box from one end of the range to the other fills the screen.
    ASSERT_EQ(DrawRectFilled(kMin, kMin, kMax, kMax, 0x1234), 0);
    EXPECT_EQ(Screen(0, 0), 0x1234u);
    EXPECT_EQ(Screen(639, 479), 0x1234u);
}

// A part stretched is the renderer's stretched blit of that part of the
// graphic onto the rectangle cut toward zero, in every mode and mirrored;
// the part is cut at the graphic's edges, and the temporary graphic that
// shows it is gone afterwards.
TEST_F(SoftwareDrawsTest, ARectStretchedIsThePartsStretchedBlit) {
    const int h = PatternGraphic(24, 16);
    const MEMIMG& image = GetGraphicRecord(h)->memImg;
    MEMIMG reference = {};
    ASSERT_EQ(NewMemImg(&reference, 640, 480, -1), 0);
    const int liveBefore = GraphicHandleTable.liveCount;
    const int sharesBefore = GetGraphicRecord(h)->image->referenceCount;
    struct Case {
        float x1, y1, x2, y2;
        int sx, sy, w, h;
        RECT expected;  // the rectangle the blit gets
        RECT part;      // the part of the graphic it shows
    } cases[] = {
        {10.9f, 20.2f, 70.5f, 52.7f, 4, 2, 10, 8, {10, 20, 70, 52}, {4, 2, 14, 10}},
        {230.7f, 10.2f, 170.9f, 50.0f, 0, 8, 24, 8, {230, 10, 170, 50}, {0, 8, 24, 16}},
        // Cut at the graphic's right and bottom edges.
        {300.0f, 300.0f, 340.0f, 332.0f, 20, 12, 40, 40, {300, 300, 340, 332}, {20, 12, 24, 16}},
    };
    for (int mode = 0; mode <= 2; ++mode) {
        SetBlendModeAndParam(mode, 160);
        FillMemImgRect(&PrimaryScreenMemImg, nullptr, 0x4208);
        FillMemImgRect(&reference, nullptr, 0x4208);
        for (const Case& c : cases) {
            ASSERT_EQ(DrawGraphicRectStretchedF(c.x1, c.y1, c.x2, c.y2, c.sx, c.sy, c.w, c.h, h, 1), 0);
            MEMIMG part = {};
            MakeSubMemImg(&part, &image, c.part.left, c.part.top, c.part.right - c.part.left,
                          c.part.bottom - c.part.top);
            StretchBlitMemImg(&reference, &part, &c.expected, 1, nullptr, CurrentDrawSettings);
            FreeMemImg(&part);
        }
        EXPECT_TRUE(Bytes(PrimaryScreenMemImg) == Bytes(reference)) << "mode " << mode;
    }
    FreeMemImg(&reference);
    EXPECT_EQ(GraphicHandleTable.liveCount, liveBefore);
    EXPECT_EQ(GetGraphicRecord(h)->image->referenceCount, sharesBefore);

    // An observer sees the draw once, as it was called, and not the
    // stretched draw it makes on its behalf.
    static std::vector<ObservedGraphicDraw> observed;
    observed.clear();
    SetGraphicDrawObserver([](const ObservedGraphicDraw& draw) { observed.push_back(draw); });
    DrawGraphicRectStretchedF(10.5f, 20.0f, 70.0f, 52.0f, 4, 2, 10, 8, h, 1);
    SetGraphicDrawObserver(nullptr);
    ASSERT_EQ(observed.size(), 1u);
    EXPECT_STREQ(observed[0].call, "DrawGraphicRectStretchedF");
    EXPECT_EQ(observed[0].pointCount, 2);
    EXPECT_EQ(observed[0].points[0], 10.5);
    EXPECT_EQ(observed[0].points[3], 52.0);
    const int source[4] = {4, 2, 10, 8};
    EXPECT_EQ(std::memcmp(observed[0].source, source, sizeof source), 0);
}

// A part that is empty or whose corner lies outside the graphic shows none
// of it: nothing to draw, 0, as the other draws give.
TEST_F(SoftwareDrawsTest, ARectStretchedOfNoPartOfTheGraphicDrawsNothing) {
    const int h = PatternGraphic(24, 16);
    const int liveBefore = GraphicHandleTable.liveCount;
    struct Case {
        const char* name;
        int sx, sy, w, h;
    } const cases[] = {
        {"no width", 4, 2, 0, 4},
        {"no height", 4, 2, 4, 0},
        {"negative width", 4, 2, -3, 4},
        {"at the right edge", 24, 0, 4, 4},
        {"at the bottom edge", 0, 16, 4, 4},
        {"far beyond", INT_MAX, INT_MAX, 4, 4},
        {"corner left of the graphic", -1, 0, 4, 4},
        {"corner above the graphic", 0, -8, 4, 4},
        {"lowest corner, widest part", INT_MIN, INT_MIN, INT_MAX, INT_MAX},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DrawGraphicRectStretchedF(0, 0, 16, 16, c.sx, c.sy, c.w, c.h, h, 1), 0) << c.name;
        EXPECT_EQ(TouchedOutside(0, 0, 0, 0), 0) << c.name;
    }
    EXPECT_EQ(GraphicHandleTable.liveCount, liveBefore);
}

TEST_F(SoftwareDrawsTest, ARectStretchedRefusesWhatThePartDrawsRefuse) {
    const int h = PatternGraphic(24, 16);
    const int gone = PatternGraphic(8, 8);
    DeleteGraphicHandle(gone, 0);
    const int liveBefore = GraphicHandleTable.liveCount;
    EXPECT_EQ(DrawGraphicRectStretchedF(0, 0, 16, 16, 0, 0, 4, 4, gone, 1), -1);
    // The handle is refused before the part is looked at.
    EXPECT_EQ(DrawGraphicRectStretchedF(0, 0, 16, 16, 0, 0, 0, 4, gone, 1), -1);
    // A blend graphic narrower than the part refuses; one that covers the
    // part (but not the whole graphic) draws.
    const int blend = PatternGraphic(8, 8);
    SetBlendGraphicAndParams(blend, 0, 0);
    EXPECT_EQ(DrawGraphicRectStretchedF(0, 0, 16, 16, 0, 0, 12, 4, h, 1), -1);
    EXPECT_EQ(DrawGraphicRectStretchedF(0, 0, 16, 16, 4, 0, 8, 8, h, 1), 0);
    SetBlendGraphicAndParams(-1, 0, 0);
    FillMemImgRect(&PrimaryScreenMemImg, nullptr, 0);
    SetDrawAreaRect(10, 10, 10, 50);
    EXPECT_EQ(DrawGraphicRectStretchedF(0, 0, 16, 16, 0, 0, 4, 4, h, 1), 0);
    EXPECT_EQ(DrawGraphicRectStretchedF(0, 0, 16, 16, 0, 0, 4, 4, gone, 1), 0);
    EXPECT_EQ(TouchedOutside(0, 0, 0, 0), 0);
    EXPECT_EQ(GraphicHandleTable.liveCount, liveBefore + 1);
}

}  // namespace
}  // namespace graphicstest
