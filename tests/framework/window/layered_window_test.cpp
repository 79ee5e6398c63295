// The screen image turned into the layered window's bitmap, checked on the
// picture the window received, and the inactive picture's refusals.
#include <cstring>

#include "framework/base/framework_state.h"
#include "framework/window/inactive_picture.h"
#include "framework/window/layered_window.h"
#include "framework/graphics/image/pixel_image.h"
#include "framework/graphics/screen/screen_image_access.h"
#include "platform/gdi/layered_window.h"
#include "tests/support/main_window_fixture.h"

namespace textinputtest {
namespace {

constexpr int Band = 26;
constexpr int VistaCode = 0x108;

class LayeredWindowTest : public windowtest::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        MainWindow.settings.LayeredWindowFlag = 1;
        window_ = StartWindowMode();
        ASSERT_NE(window_, nullptr);
        ASSERT_NE(MainWindow.layeredWindowEntry, nullptr);
        MainWindow.WindowFrameTopOffset = Band;
        savedVersion_ = WindowsVersionCode;
        WindowsVersionCode = VistaCode;
        SetDrawTransparentColor(0);
    }

    void TearDown() override {
        WindowsVersionCode = savedVersion_;
        FreePixelImage(&image_);
        DestroyMainWindow();
        LayeredWindowBitmap = LayeredWindowBitmapRecord{};
        MainWindowTest::TearDown();
    }

    // The screen image: 640 by 480 (or wider) in the given format.
    void MakeImage(int bits, uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha, int width = 640) {
        PixelFormat format{};
        DefinePixelFormat(&format, bits, red, green, blue, alpha);
        ASSERT_EQ(AllocPixelImageAs(width, 480, &format, &image_), 0);
        std::memset(image_.pixels, 0, static_cast<size_t>(image_.pitch) * 480);
    }

    template <typename Pixel>
    void Put(int x, int y, Pixel value) {
        reinterpret_cast<Pixel*>(image_.pixels + static_cast<ptrdiff_t>(y) * image_.pitch)[x] = value;
    }

    platform::LayeredWindowUpdate Update(int alphaFlag) {
        UpdateLayeredWindowImage(&image_, nullptr, alphaFlag);
        platform::LayeredWindowUpdate update;
        EXPECT_TRUE(platform::LastLayeredWindowUpdate(window_, update));
        return update;
    }

    static uint32_t At(const platform::LayeredWindowUpdate& update, int x, int y) {
        return update.pixels[static_cast<size_t>(y) * update.size.cx + x];
    }

    HWND window_ = nullptr;
    PixelImage image_{};
    int savedVersion_ = 0;
};

TEST_F(LayeredWindowTest, A32BitScreenKeysOutBlackUnderATransparentBand) {
    MakeImage(32, 0xFF0000, 0xFF00, 0xFF, 0);
    Put<uint32_t>(5, 0, 0x00123456);
    Put<uint32_t>(6, 0, 0xAB000000);  // black with junk in the spare byte
    const platform::LayeredWindowUpdate update = Update(0);
    EXPECT_EQ(update.size.cx, 640);
    EXPECT_EQ(update.size.cy, 480 + Band);
    EXPECT_EQ(update.flags, ULW_ALPHA);
    ASSERT_TRUE(update.hasBlend);
    EXPECT_EQ(update.blend.BlendOp, AC_SRC_OVER);
    EXPECT_EQ(update.blend.SourceConstantAlpha, 255);
    EXPECT_EQ(update.blend.AlphaFormat, AC_SRC_ALPHA);
    EXPECT_EQ(update.destination.x, MainWindow.MainWindowRect.left);
    EXPECT_EQ(update.destination.y, MainWindow.MainWindowRect.top);
    for (int y = 0; y < Band; ++y) ASSERT_EQ(At(update, 5, y), 0u) << y;
    EXPECT_EQ(At(update, 5, Band), 0xFF123456u);
    EXPECT_EQ(At(update, 6, Band), 0u);
    EXPECT_EQ(At(update, 0, Band + 479), 0u);
    EXPECT_EQ(LayeredWindowBitmap.width, 640);
    EXPECT_EQ(LayeredWindowBitmap.height, 480);
}

TEST_F(LayeredWindowTest, A565ScreenMovesEachChannelToTheTopOfItsByte) {
    MakeImage(16, 0xF800, 0x7E0, 0x1F, 0, 643);  // three pixels past the blocks of four
    SetDrawTransparentColor(0xFF00FF);
    Put<uint16_t>(0, 0, 0xFFFF);
    Put<uint16_t>(1, 0, 0xF81F);  // the key
    Put<uint16_t>(642, 479, 0x8410);
    const platform::LayeredWindowUpdate update = Update(0);
    EXPECT_EQ(At(update, 0, Band), 0xFFF8FCF8u);
    EXPECT_EQ(At(update, 1, Band), 0u);
    EXPECT_EQ(At(update, 2, Band), 0xFF000000u);  // black is not the key here
    const uint32_t* bitmap = static_cast<const uint32_t*>(LayeredWindowBitmap.pixels);
    EXPECT_EQ(bitmap[static_cast<size_t>(Band + 479) * 643 + 642], 0xFF808080u);
}

TEST_F(LayeredWindowTest, OwnAlphaIsPremultiplied) {
    MakeImage(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
    SetDrawTransparentColor(0x00FF00);
    Put<uint32_t>(0, 0, 0x80FF0000);
    Put<uint32_t>(1, 0, 0xFF123456);
    Put<uint32_t>(2, 0, 0x00FFFFFF);
    Put<uint32_t>(3, 0, 0xFF00FF00);  // the key, though opaque
    const platform::LayeredWindowUpdate update = Update(1);
    EXPECT_EQ(At(update, 0, Band), 0x807F0000u);
    EXPECT_EQ(At(update, 1, Band), 0xFF123456u);
    EXPECT_EQ(At(update, 2, Band), 0u);
    EXPECT_EQ(At(update, 3, Band), 0u);
}

TEST_F(LayeredWindowTest, OtherFormatsGoThroughTheGeneralConversion) {
    MakeImage(24, 0xFF0000, 0xFF00, 0xFF, 0);
    SetDrawTransparentColor(0x010203);
    uint8_t* row = image_.pixels;
    row[0] = 0x56, row[1] = 0x34, row[2] = 0x12;  // blue, green, red
    row[3] = 0x03, row[4] = 0x02, row[5] = 0x01;  // the key
    const platform::LayeredWindowUpdate update = Update(0);
    EXPECT_EQ(At(update, 0, Band), 0xFF123456u);
    EXPECT_EQ(At(update, 1, Band), 0u);
    EXPECT_EQ(At(update, 2, Band), 0xFF000000u);
}

TEST_F(LayeredWindowTest, OlderSystemsGetAKeyedBandAndTheColourKey) {
    WindowsVersionCode = 0x106;
    MakeImage(32, 0xFF0000, 0xFF00, 0xFF, 0);
    SetDrawTransparentColor(0x102030);
    Put<uint32_t>(0, 0, 0x00ABCDEF);
    const platform::LayeredWindowUpdate update = Update(0);
    EXPECT_EQ(update.flags, ULW_COLORKEY);
    EXPECT_EQ(update.key, RGB(0x10, 0x20, 0x30));
    EXPECT_FALSE(update.hasBlend);
    EXPECT_EQ(At(update, 3, 0) & 0xFFFFFF, 0x102030u);
    EXPECT_EQ(At(update, 0, Band) & 0xFFFFFF, 0xABCDEFu);
}

TEST_F(LayeredWindowTest, ASecondUpdateOfTheSameSizeKeepsTheBitmap) {
    MakeImage(32, 0xFF0000, 0xFF00, 0xFF, 0);
    Update(0);
    const HBITMAP first = LayeredWindowBitmap.bitmap;
    static_cast<uint32_t*>(LayeredWindowBitmap.pixels)[0] = 0x11223344;  // in the band
    const platform::LayeredWindowUpdate update = Update(0);
    EXPECT_EQ(LayeredWindowBitmap.bitmap, first);
    EXPECT_EQ(update.callCount, 2);
    EXPECT_EQ(At(update, 0, 0), 0x11223344u);
}

TEST_F(LayeredWindowTest, NothingHappensWithoutTheEntry) {
    MakeImage(32, 0xFF0000, 0xFF00, 0xFF, 0);
    MainWindow.layeredWindowEntry = nullptr;
    UpdateLayeredWindowImage(&image_, nullptr, 0);
    platform::LayeredWindowUpdate update;
    EXPECT_FALSE(platform::LastLayeredWindowUpdate(window_, update));
    EXPECT_EQ(LayeredWindowBitmap.bitmap, nullptr);
}

class InactivePictureTest : public windowtest::MainWindowTest {
protected:
    void TearDown() override {
        InactivePicture = InactivePictureRecord{};
        MainWindowTest::TearDown();
    }
};

TEST_F(InactivePictureTest, NothingIsDrawnWithoutAPictureOrAGraphicForIt) {
    EXPECT_EQ(DrawInactivePicture(), -1);
    EXPECT_EQ(MainWindow.settings.runWhenInactive, 0);

    InactivePicture.set = 1;  // a picture without pixels makes no graphic
    InactivePicture.graphicHandle = -1;
    EXPECT_EQ(DrawInactivePicture(), -1);
    EXPECT_EQ(MainWindow.settings.runWhenInactive, 0);

    MainWindow.closeState = 1;  // the framework is ending
    EXPECT_EQ(DrawInactivePicture(), 0);
}

}  // namespace
}  // namespace textinputtest
