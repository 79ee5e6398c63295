// Device contexts and brushes: what FillRect leaves in a window's client-area
// pixels, painting's clip, device capabilities and brush lifetimes.
#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/window_records.h"
#include "tests/support/test_support.h"

namespace {

class DeviceContextTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        platform::Profile().display.host = platform::HostDisplayUse::Off;
        platform::Profile().display.desktopWidth = 1600;
        platform::Profile().display.desktopHeight = 900;
        platform::Profile().display.desktopBitsPerPixel = 16;
        platform::Profile().display.classLockDirectory = folder.hostPath();
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "PaintTestWindow";
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
        // A frameless window: its client area is 8 by 4 pixels.
        window = CreateWindowExA(0, "PaintTestWindow", "", WS_POPUP, 0, 0, 8, 4, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
    }
    // The window's pixels, one row a string: '.' black, 'R' red, 'W' white, '?' else.
    std::vector<std::string> Pixels() {
        std::vector<std::string> rows;
        auto record = platform::detail::FindWindowRecord(window);
        for (LONG y = 0; y < record->pixelHeight; ++y) {
            std::string row;
            for (LONG x = 0; x < record->pixelWidth; ++x) {
                const uint32_t pixel = record->pixels[static_cast<size_t>(y * record->pixelWidth + x)];
                row += pixel == 0 ? '.' : pixel == 0xFF0000 ? 'R' : pixel == 0xFFFFFF ? 'W' : '?';
            }
            rows.push_back(row);
        }
        return rows;
    }

    testsupport::TemporaryFolder folder;
    HWND window = nullptr;
};

TEST_F(DeviceContextTest, FillRectPaintsTheClientPixelsInsideTheClientArea) {
    HDC context = GetDC(window);
    ASSERT_NE(context, nullptr);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    const RECT overhanging{6, -3, 20, 2};
    EXPECT_EQ(FillRect(context, &overhanging, red), 1);
    const RECT inner{1, 2, 3, 4};
    EXPECT_EQ(FillRect(context, &inner, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))), 1);
    EXPECT_EQ(FillRect(context, &inner, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))), 1);  // paints nothing
    EXPECT_EQ(Pixels(), (std::vector<std::string>{"......RR", "......RR", ".WW.....", ".WW....."}));
    EXPECT_EQ(ReleaseDC(window, context), 1);
    EXPECT_EQ(ReleaseDC(window, context), 0);

    // A resized window keeps what overlaps.
    MoveWindow(window, 0, 0, 7, 5, FALSE);
    EXPECT_EQ(FillRect(context, &inner, red), 0);  // released
    HDC again = GetDC(window);
    const RECT none{0, 0, 0, 0};
    FillRect(again, &none, red);
    EXPECT_EQ(Pixels(), (std::vector<std::string>{"......R", "......R", ".WW....", ".WW....", "......."}));
    ReleaseDC(window, again);
}

TEST_F(DeviceContextTest, PaintingDrawsOnlyWhatWaitedToBeRepainted) {
    ShowWindow(window, SW_SHOWNA);  // the whole client area waits
    PAINTSTRUCT paint{};
    HDC context = BeginPaint(window, &paint);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(paint.rcPaint.right, 8);
    EXPECT_EQ(paint.rcPaint.bottom, 4);
    EXPECT_TRUE(paint.fErase);
    const RECT all{0, 0, 8, 4};
    FillRect(context, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_TRUE(EndPaint(window, &paint));
    MSG message{};
    EXPECT_FALSE(PeekMessageA(&message, window, WM_PAINT, WM_PAINT, PM_NOREMOVE));  // validated

    // Nothing waits now: a second paint draws nowhere.
    context = BeginPaint(window, &paint);
    EXPECT_EQ(paint.rcPaint.right - paint.rcPaint.left, 0);
    FillRect(context, &all, CreateSolidBrush(RGB(255, 0, 0)));
    EndPaint(window, &paint);
    EXPECT_EQ(Pixels(), (std::vector<std::string>{"WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "WWWWWWWW"}));
}

TEST_F(DeviceContextTest, CapabilitiesAreTheDesktopsAndTheScreenContextDrawsNowhere) {
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES), 16);
    EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 1600);
    EXPECT_EQ(GetDeviceCaps(screen, VERTRES), 900);
    const RECT all{0, 0, 100, 100};
    EXPECT_EQ(FillRect(screen, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 1);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 0);  // released
    EXPECT_EQ(GetDC(reinterpret_cast<HWND>(0x1234)), nullptr);
}

TEST_F(DeviceContextTest, DeletedBrushesAreRefusedAndStockBrushesStay) {
    HDC context = GetDC(window);
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    EXPECT_TRUE(DeleteObject(brush));
    const RECT all{0, 0, 8, 4};
    EXPECT_EQ(FillRect(context, &all, brush), 0);
    EXPECT_FALSE(DeleteObject(brush));
    HGDIOBJ white = GetStockObject(WHITE_BRUSH);
    EXPECT_TRUE(DeleteObject(white));
    EXPECT_EQ(FillRect(context, &all, static_cast<HBRUSH>(white)), 1);
    EXPECT_EQ(Pixels()[0], "WWWWWWWW");
    ReleaseDC(window, context);
}

}  // namespace
