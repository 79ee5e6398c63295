// The layered-window call, found by name as programs find it: what it takes
// from a DIB section in a memory device context, and what it refuses.
#include <cstring>

#include "platform/gdi/gdi.h"
#include "platform/gdi/layered_window.h"
#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/test_support.h"

namespace {

class LayeredWindowCallTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        platform::Profile().display.host = platform::HostDisplayUse::Off;
        const HMODULE user32 = LoadLibraryA("user32");
        update_ = reinterpret_cast<UpdateLayeredWindowRoutine>(
            reinterpret_cast<void (*)()>(GetProcAddress(user32, "UpdateLayeredWindow")));
        ASSERT_NE(update_, nullptr);
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "LayeredTestClass";
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
        layered_ = CreateWindowExA(WS_EX_LAYERED, "LayeredTestClass", "", WS_POPUP, 0, 0, 4, 3, nullptr, nullptr,
                                   nullptr, nullptr);
        plain_ = CreateWindowExA(0, "LayeredTestClass", "", WS_POPUP, 0, 0, 4, 3, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(layered_, nullptr);
        memory_ = CreateCompatibleDC(nullptr);
        ASSERT_NE(memory_, nullptr);
    }

    void TearDown() override {
        DeleteDC(memory_);
        PlatformTest::TearDown();
    }

    // A 4 by 3 DIB section whose pixel (x, y) holds 0xAA000000 | y << 8 | x.
    HBITMAP MakeSection(bool topDown, void** bits) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = 4;
        info.bmiHeader.biHeight = topDown ? -3 : 3;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
        auto* pixels = static_cast<uint32_t*>(*bits);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) pixels[(topDown ? y : 2 - y) * 4 + x] = 0xAA000000u | (y << 8) | x;
        return section;
    }

    UpdateLayeredWindowRoutine update_ = nullptr;
    HWND layered_ = nullptr;
    HWND plain_ = nullptr;
    HDC memory_ = nullptr;
};

TEST_F(LayeredWindowCallTest, TakesThePictureFromTheSelectedSectionInEitherRowOrder) {
    for (bool topDown : {true, false}) {
        void* bits = nullptr;
        HBITMAP section = MakeSection(topDown, &bits);
        ASSERT_NE(section, nullptr);
        HGDIOBJ stock = SelectObject(memory_, section);
        ASSERT_NE(stock, nullptr);
        POINT to{10, 20}, from{1, 1};
        SIZE size{3, 2};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ASSERT_TRUE(update_(layered_, nullptr, &to, &size, memory_, &from, 0, &blend, ULW_ALPHA));
        platform::LayeredWindowUpdate update;
        ASSERT_TRUE(platform::LastLayeredWindowUpdate(layered_, update));
        EXPECT_EQ(update.destination.x, 10);
        EXPECT_EQ(update.flags, ULW_ALPHA);
        EXPECT_EQ(update.blend.AlphaFormat, AC_SRC_ALPHA);
        ASSERT_EQ(update.pixels.size(), 6u);
        EXPECT_EQ(update.pixels[0], 0xAA000101u);
        EXPECT_EQ(update.pixels[5], 0xAA000203u);
        EXPECT_EQ(SelectObject(memory_, stock), section);
    }
}

TEST_F(LayeredWindowCallTest, RefusesWhatItCannotShow) {
    void* bits = nullptr;
    HBITMAP section = MakeSection(true, &bits);
    SIZE size{4, 3}, tooLarge{4, 4};
    POINT from{0, 0};
    EXPECT_FALSE(update_(layered_, nullptr, nullptr, &size, memory_, &from, 0, nullptr, ULW_ALPHA));  // stock bitmap
    SelectObject(memory_, section);
    EXPECT_FALSE(update_(plain_, nullptr, nullptr, &size, memory_, &from, 0, nullptr, ULW_ALPHA));
    EXPECT_FALSE(update_(layered_, nullptr, nullptr, &tooLarge, memory_, &from, 0, nullptr, ULW_ALPHA));
    EXPECT_FALSE(update_(nullptr, nullptr, nullptr, &size, memory_, &from, 0, nullptr, ULW_ALPHA));
    platform::LayeredWindowUpdate update;
    EXPECT_FALSE(platform::LastLayeredWindowUpdate(layered_, update));
    EXPECT_TRUE(update_(layered_, nullptr, nullptr, &size, memory_, &from, 0, nullptr, ULW_ALPHA));
}

TEST_F(LayeredWindowCallTest, SectionsAreOnlyMadeAs32BitRgb) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = -3;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biHeight = -100000;
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    info.bmiHeader.biHeight = -3;
    EXPECT_NE(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_NE(bits, nullptr);
}

}  // namespace
