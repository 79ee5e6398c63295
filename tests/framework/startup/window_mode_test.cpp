#include <gtest/gtest.h>

#include <string>

#include "framework/base/time_functions.h"
#include "framework/window/window_style.h"
#include "platform/profile/machine_profile.h"
#include "tests/framework/startup/startup_fixture.h"

namespace startuptest {
namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

using WindowModeTest = StartupTest;

TEST_F(WindowModeTest, BeforeStartUpAChangeOnlyChoosesTheMode) {
    size_t mark = LogText().size();
    EXPECT_EQ(ChangeWindowMode(0), 0);
    EXPECT_EQ(LinesSince(mark), "ChangeWindowMode実行 \r\n");
    mark = LogText().size();
    EXPECT_EQ(ChangeWindowMode(1), 0);
    EXPECT_EQ(LinesSince(mark), "ChangeWindowMode実行 \r\nウインドウモードフラグが立てられました\r\n");
    EXPECT_EQ(IsWindowModeOn(), 1);
    EXPECT_EQ(GetMainWindowHandle(), nullptr);

    ASSERT_EQ(InitFramework(), 0);
    const DWORD style = static_cast<DWORD>(GetWindowLongA(GetMainWindowHandle(), GWL_STYLE));
    EXPECT_EQ(style & ~WS_VISIBLE, WindowStyleTable[0].windowModeStyle);
}

TEST_F(WindowModeTest, AfterStartUpAChangeRestylesRebuildsTheScreenAndWaitsForTheDisplay) {
    ASSERT_EQ(InitFramework(), 0);  // full screen: the display shows 640 by 480
    HWND window = GetMainWindowHandle();
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)) & WS_EX_TOPMOST, WS_EX_TOPMOST);

    const size_t mark = LogText().size();
    const int start = GetMillisecondCount();
    EXPECT_EQ(ChangeWindowMode(1), 0);
    const int waited = GetMillisecondCount() - start;
    EXPECT_EQ(MainWindow.DisplayChangeSeen, 1);  // the display went back to the desktop
    EXPECT_LT(waited, 2000);
    EXPECT_EQ(MainWindow.WindowModeChanging, 0);
    const std::string lines = LinesSince(mark);
    EXPECT_TRUE(Contains(lines, "画面モード変更処理を開始します\r\n"));
    EXPECT_TRUE(Contains(lines, "ウインドウスタイルをウインドウモード用に変更します... 完了\r\n"));
    EXPECT_TRUE(Contains(lines, "画面モード変更処理は正常に終了しました\r\n"));
    DEVMODEA mode{};
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
    EXPECT_EQ(mode.dmPelsWidth, 1280u);
    const DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    EXPECT_EQ(style, WindowStyleTable[0].windowModeStyle | WS_VISIBLE);

    // The same mode again: the line and nothing else.
    const size_t again = LogText().size();
    EXPECT_EQ(ChangeWindowMode(1), 0);
    EXPECT_EQ(LinesSince(again), "ChangeWindowMode実行 \r\n");

    EXPECT_EQ(ChangeWindowMode(0), 0);
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
    EXPECT_EQ(mode.dmPelsWidth, 640u);
    EXPECT_EQ(MainWindow.DisplayChangeSeen, 1);
}

TEST_F(WindowModeTest, AChangeThatLeavesTheDisplayAsItWasStopsWaitingAfterTwoSeconds) {
    // The desktop already is the full-screen mode: no display change comes.
    platform::Profile().display.desktopWidth = 640;
    platform::Profile().display.desktopHeight = 480;
    platform::Profile().display.desktopBitsPerPixel = 16;
    ChangeWindowMode(1);
    ASSERT_EQ(InitFramework(), 0);
    const int start = GetMillisecondCount();
    EXPECT_EQ(ChangeWindowMode(0), 0);
    const int waited = GetMillisecondCount() - start;
    EXPECT_EQ(MainWindow.DisplayChangeSeen, 0);
    EXPECT_GE(waited, 2000);
    // The wait ends at the first pump pass after two seconds; a pass may
    // present the front screen on its timer, paced by the vertical blank.
    EXPECT_LT(waited, 2150);
    EXPECT_EQ(MainWindow.WindowModeChanging, 0);
    EXPECT_EQ(IsWindowModeOn(), 0);
}

TEST_F(WindowModeTest, StyleRowsAndTheirExtraBits) {
    const WindowStyleRow expected[WindowStyleRowCount] = {
        {0x80CA0000u, 0x300u, 0x80000000u, 0x8u}, {0x80080000u, 0x300u, 0x80000000u, 0x8u},
        {0x80080000u, 0x000u, 0x80000000u, 0x8u}, {0x80CA0000u, 0x080u, 0x80000000u, 0x8u},
        {0x80080000u, 0x080u, 0x80000000u, 0x8u}, {0x80C80000u, 0x100u, 0x80000000u, 0x8u},
        {0x80CA0000u, 0x300u, 0x80000000u, 0x8u}, {0x80CB0000u, 0x300u, 0x80000000u, 0x8u},
        {0x81CB0000u, 0x300u, 0x80000000u, 0x8u}, {0x80CA0000u, 0x100u, 0x80000000u, 0x8u},
        {0u, 0u, 0u, 0u},
    };
    for (int row = 0; row < WindowStyleRowCount; ++row) {
        SCOPED_TRACE(row);
        MainWindow.settings.WindowStyleIndex = row;
        EXPECT_EQ(CurrentWindowStyleRow().windowModeStyle, expected[row].windowModeStyle);
        EXPECT_EQ(CurrentWindowStyleRow().windowModeExStyle, expected[row].windowModeExStyle);
        EXPECT_EQ(CurrentWindowStyleRow().fullScreenStyle, expected[row].fullScreenStyle);
        EXPECT_EQ(CurrentWindowStyleRow().fullScreenExStyle, expected[row].fullScreenExStyle);
    }

    MainWindow.settings.WindowStyleIndex = 0;
    MainWindow.settings.WindowHiddenFlag = 1;
    MainWindow.settings.LayeredWindowFlag = 1;
    MainWindow.settings.UserModeSwitchEnabled = 1;
    MainWindow.settings.WindowSizeChangeable = 1;
    MainWindow.WindowShownFlag = 1;
    DWORD style = 0, exStyle = 0;
    GetWindowModeStyles(&style, &exStyle);
    EXPECT_EQ(style, 0x80CA0000u + 0x10000u + 0x10000000u + 0x40000u);
    EXPECT_EQ(exStyle, 0x300u + 0x20u + 0x80000u);
}

TEST_F(WindowModeTest, ScaleRatesOfZeroOrLessReadAsOneAndFullScreenIsAlwaysOne) {
    struct Case {
        int windowMode;
        double storedX, storedY;
        double x, y;
    };
    const Case cases[] = {
        {1, 0.0, -2.0, 1.0, 1.0},
        {1, 2.0, 1.5, 2.0, 1.5},
        {0, 2.0, 3.0, 1.0, 1.0},
        {0, -1.0, 0.0, 1.0, 1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.windowMode << " " << c.storedX << " " << c.storedY);
        MainWindow.settings.windowModeFlag = c.windowMode;
        MainWindow.settings.WindowScaleRateX = c.storedX;
        MainWindow.settings.WindowScaleRateY = c.storedY;
        double x = 0, y = 0;
        EXPECT_EQ(GetWindowScaleRates(&x, &y), c.x);
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
        EXPECT_GT(MainWindow.settings.WindowScaleRateX, 0.0);
        EXPECT_GT(MainWindow.settings.WindowScaleRateY, 0.0);
        EXPECT_EQ(GetWindowScaleRates(nullptr, nullptr), c.x);
    }
}

TEST_F(WindowModeTest, ForegroundAndDesktopModeBeforeAndAfterStartUp) {
    int width = 0, height = 0, bits = 0;
    GetDesktopMode(&width, &height, &bits);
    EXPECT_EQ(width, 1280);
    EXPECT_EQ(bits, 32);

    ASSERT_EQ(InitFramework(), 0);  // full screen: brought to the front as top-most
    HWND window = GetMainWindowHandle();
    EXPECT_EQ(GetForegroundWindow(), window);
    // Once started, the desktop recorded at window creation is reported.
    platform::Profile().display.desktopWidth = 800;
    GetDesktopMode(&width, nullptr, nullptr);
    EXPECT_EQ(width, 1280);

    DWORD timeout = 0;
    SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &timeout, 0);
    EXPECT_EQ(timeout, 200000u);  // put back after the call
    // The window's thread is the foreground thread, which cannot attach to
    // itself: the detach fails, and without topmost its result is returned.
    EXPECT_EQ(ForceForegroundWindow(window, 0), 0);
    EXPECT_EQ(GetForegroundWindow(), window);
    EXPECT_NE(ForceForegroundWindow(window, 1), 0);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)) & WS_EX_TOPMOST, WS_EX_TOPMOST);

    SetMainWindowTitle("題名");
    EXPECT_STREQ(MainWindow.settings.windowText, "題名");
}

}  // namespace
}  // namespace startuptest
