// DIB pixels onto a window: rows bottom up and top down, 16-bit channel
// masks widened to 8 bits, the source counted from the lower-left corner,
// stretching by nearest pixels, and the calls that are refused.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/window_records.h"
#include "tests/support/test_support.h"

namespace {

struct Info {
    BITMAPINFOHEADER header;
    DWORD masks[3];
};

class DibToDeviceTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        platform::Profile().display.host = platform::HostDisplayUse::Off;
        platform::Profile().display.classLockDirectory = folder.hostPath();
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "DibTestWindow";
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
        // A frameless window: its client area is 4 by 4 pixels.
        window = CreateWindowExA(0, "DibTestWindow", "", WS_POPUP, 0, 0, 4, 4, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        context = GetDC(window);
    }
    void TearDown() override {
        ReleaseDC(window, context);
        PlatformTest::TearDown();
    }
    uint32_t Pixel(int x, int y) {
        auto record = platform::detail::FindWindowRecord(window);
        return record->pixels[static_cast<size_t>(y * record->pixelWidth + x)];
    }
    static Info Header(int width, int height, int bits, DWORD compression, DWORD r = 0, DWORD g = 0, DWORD b = 0) {
        Info info{};
        info.header.biSize = sizeof(BITMAPINFOHEADER);
        info.header.biWidth = width;
        info.header.biHeight = height;
        info.header.biPlanes = 1;
        info.header.biBitCount = static_cast<WORD>(bits);
        info.header.biCompression = compression;
        info.masks[0] = r;
        info.masks[1] = g;
        info.masks[2] = b;
        return info;
    }
    static const BITMAPINFO* AsInfo(const Info& info) { return reinterpret_cast<const BITMAPINFO*>(&info); }

    testsupport::TemporaryFolder folder;
    HWND window = nullptr;
    HDC context = nullptr;
};

TEST_F(DibToDeviceTest, RowsBottomUpAndTopDownLandTheRightWayUp) {
    // Two rows of two 32-bit pixels: stored first is 0x111111 0x222222.
    const uint32_t pixels[4] = {0x111111, 0x222222, 0x333333, 0x444444};
    const Info bottomUp = Header(2, 2, 32, BI_RGB);
    EXPECT_EQ(SetDIBitsToDevice(context, 0, 0, 2, 2, 0, 0, 0, 2, pixels, AsInfo(bottomUp), DIB_RGB_COLORS), 2);
    EXPECT_EQ(Pixel(0, 0), 0x333333u);
    EXPECT_EQ(Pixel(1, 1), 0x222222u);
    const Info topDown = Header(2, -2, 32, BI_RGB);
    EXPECT_EQ(SetDIBitsToDevice(context, 2, 2, 2, 2, 0, 0, 0, 2, pixels, AsInfo(topDown), DIB_RGB_COLORS), 2);
    EXPECT_EQ(Pixel(2, 2), 0x111111u);
    EXPECT_EQ(Pixel(3, 3), 0x444444u);
}

TEST_F(DibToDeviceTest, SixteenBitMasksAreWidenedSoThatFullReadsAsWhite) {
    // 5-6-5 and 5-5-5, each row padded to four bytes.
    const uint16_t rgb565[4] = {0xFFFF, 0xF800, 0x0010, 0x0000};
    const Info info565 = Header(2, -2, 16, BI_BITFIELDS, 0xF800, 0x07E0, 0x001F);
    EXPECT_EQ(SetDIBitsToDevice(context, 0, 0, 2, 2, 0, 0, 0, 2, rgb565, AsInfo(info565), DIB_RGB_COLORS), 2);
    EXPECT_EQ(Pixel(0, 0), 0xFFFFFFu);
    EXPECT_EQ(Pixel(1, 0), 0xFF0000u);
    EXPECT_EQ(Pixel(0, 1), 0x000084u);  // 16 of 31: 10000b widened to 10000100b
    const uint16_t rgb555[2] = {0x7C00, 0x03E0};
    const Info info555 = Header(2, -1, 16, BI_BITFIELDS, 0x7C00, 0x03E0, 0x001F);
    EXPECT_EQ(SetDIBitsToDevice(context, 2, 3, 2, 1, 0, 0, 0, 1, rgb555, AsInfo(info555), DIB_RGB_COLORS), 1);
    EXPECT_EQ(Pixel(2, 3), 0xFF0000u);
    EXPECT_EQ(Pixel(3, 3), 0x00FF00u);
}

// Frames arrive in one layout after another: a 16-bit layout read after a
// different one, and 32-bit masks in another order than 8:8:8, read as their
// own masks say.
TEST_F(DibToDeviceTest, EachLayoutIsReadByItsOwnMasksWhateverCameBefore) {
    const uint16_t value[2] = {0x7C00, 0x7C00};
    const Info info555 = Header(2, -1, 16, BI_BITFIELDS, 0x7C00, 0x03E0, 0x001F);
    const Info info565 = Header(2, -1, 16, BI_BITFIELDS, 0xF800, 0x07E0, 0x001F);
    ASSERT_EQ(SetDIBitsToDevice(context, 0, 0, 2, 1, 0, 0, 0, 1, value, AsInfo(info555), DIB_RGB_COLORS), 1);
    EXPECT_EQ(Pixel(0, 0), 0xFF0000u);
    ASSERT_EQ(SetDIBitsToDevice(context, 0, 0, 2, 1, 0, 0, 0, 1, value, AsInfo(info565), DIB_RGB_COLORS), 1);
    EXPECT_EQ(Pixel(1, 0), 0x7B8200u);  // red 01111 and green 100000 of 5-6-5, widened
    const uint32_t bgr[2] = {0x000000FF, 0xFF00FF00};
    const Info infoBgr = Header(2, -1, 32, BI_BITFIELDS, 0x000000FF, 0x0000FF00, 0x00FF0000);
    ASSERT_EQ(SetDIBitsToDevice(context, 0, 1, 2, 1, 0, 0, 0, 1, bgr, AsInfo(infoBgr), DIB_RGB_COLORS), 1);
    EXPECT_EQ(Pixel(0, 1), 0xFF0000u);
    EXPECT_EQ(Pixel(1, 1), 0x00FF00u);
}

TEST_F(DibToDeviceTest, AStretchDoublesTheSourceCountedFromTheLowerLeftCorner) {
    // A top-down 4 by 4 image; the upper-left 2 by 2 quarter is the source
    // (0, 2, 2, 2) counted from the bottom.
    std::vector<uint32_t> pixels(16);
    for (int i = 0; i < 16; ++i) pixels[static_cast<size_t>(i)] = static_cast<uint32_t>(i + 1);
    const Info info = Header(4, -4, 32, BI_RGB);
    EXPECT_EQ(StretchDIBits(context, 0, 0, 4, 4, 0, 2, 2, 2, pixels.data(), AsInfo(info), DIB_RGB_COLORS, SRCCOPY), 2);
    const uint32_t expected[4][4] = {{1, 1, 2, 2}, {1, 1, 2, 2}, {5, 5, 6, 6}, {5, 5, 6, 6}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(Pixel(x, y), expected[y][x]) << x << "," << y;
}

TEST_F(DibToDeviceTest, WhatCannotBeReadIsRefused) {
    const uint32_t pixels[4] = {};
    const Info good = Header(2, 2, 32, BI_RGB);
    const Info palette = Header(2, 2, 8, BI_RGB);
    const Info noPlanes = [] {
        Info info = Header(2, 2, 32, BI_RGB);
        info.header.biPlanes = 0;
        return info;
    }();
    EXPECT_EQ(SetDIBitsToDevice(context, 0, 0, 2, 2, 0, 0, 0, 2, nullptr, AsInfo(good), DIB_RGB_COLORS), 0);
    EXPECT_EQ(SetDIBitsToDevice(context, 0, 0, 2, 2, 0, 0, 0, 2, pixels, AsInfo(palette), DIB_RGB_COLORS), 0);
    EXPECT_EQ(SetDIBitsToDevice(context, 0, 0, 2, 2, 0, 0, 0, 2, pixels, AsInfo(noPlanes), DIB_RGB_COLORS), 0);
    EXPECT_EQ(SetDIBitsToDevice(context, 0, 0, 2, 2, 0, 0, 0, 1, pixels, AsInfo(good), DIB_RGB_COLORS), 0);
    EXPECT_EQ(StretchDIBits(context, 0, 0, 4, 4, 0, 0, 2, 2, pixels, AsInfo(good), DIB_RGB_COLORS, 0), 0);
    EXPECT_EQ(StretchDIBits(context, 0, 0, 0, 4, 0, 0, 2, 2, pixels, AsInfo(good), DIB_RGB_COLORS, SRCCOPY), 0);
    // A source reaching past the image copies only what lies inside it.
    EXPECT_EQ(SetDIBitsToDevice(context, 0, 0, 4, 4, 1, 0, 0, 2, pixels, AsInfo(good), DIB_RGB_COLORS), 2);
}

}  // namespace
