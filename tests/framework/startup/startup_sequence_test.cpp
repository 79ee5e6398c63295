#include <gtest/gtest.h>

#include <string>

#include "framework/base/framework_lock.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/softrender/memimg.h"
#include "platform/com/com.h"
#include "platform/profile/machine_profile.h"
#include "tests/framework/startup/startup_fixture.h"

namespace startuptest {
namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(StartupTest, AStartBringsEveryComponentUpAndTheEndTakesThemDown) {
    ChangeWindowMode(1);
    ASSERT_EQ(InitFramework(), 0);
    EXPECT_EQ(FrameworkInitialised, 1);
    EXPECT_EQ(FrameworkStarting, 0);
    EXPECT_NE(GetMainWindowHandle(), nullptr);
    EXPECT_EQ(ComInitialised, 1);
    EXPECT_TRUE(CoIsInitialisedOnThisThread());
    EXPECT_EQ(GraphicsSystemUp, 1);
    // The software path draws into the primary screen image; the hardware
    // path has none.
    EXPECT_EQ(IsMemImgValid(&PrimaryScreenMemImg), HardwarePathFlag ? 0 : 1);
    EXPECT_EQ(GetDrawTarget(), -4);
    EXPECT_EQ(WindowsVersionCode, 0x109);
    EXPECT_EQ(CpuHasMmx, 1);
    EXPECT_EQ(PumpMessagesLocked(), 0);

    EXPECT_EQ(EndFramework(), 0);
    EXPECT_EQ(FrameworkInitialised, 0);
    EXPECT_EQ(GetMainWindowHandle(), nullptr);
    EXPECT_EQ(ComInitialised, 0);
    EXPECT_FALSE(CoIsInitialisedOnThisThread());
    EXPECT_EQ(GraphicsSystemUp, 0);
    EXPECT_EQ(IsMemImgValid(&PrimaryScreenMemImg), 0);
    EXPECT_EQ(PumpMessagesLocked(), -1);
}

TEST_F(StartupTest, ASecondStartAndAnEndBeforeAnyStartDoNothing) {
    const std::string before = LogText();
    EXPECT_EQ(EndFramework(), 0);
    EXPECT_EQ(LogText(), before);
    EXPECT_EQ(FrameworkLockWaiterCount(), 0);

    ChangeWindowMode(1);
    ASSERT_EQ(InitFramework(), 0);
    HWND window = GetMainWindowHandle();
    const std::string started = LogText();
    EXPECT_EQ(InitFramework(), 0);
    EXPECT_EQ(LogText(), started);
    EXPECT_EQ(GetMainWindowHandle(), window);
}

TEST_F(StartupTest, TheFrameworkStartsAndEndsRepeatedlyInOneProcess) {
    ChangeWindowMode(1);
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(InitFramework(), 0) << round;
        EXPECT_EQ(PumpMessagesLocked(), 0);
        ASSERT_EQ(EndFramework(), 0);
        EXPECT_EQ(FrameworkInitialised, 0);
    }
    // The last start's log ends with an empty allocation dump.
    EXPECT_TRUE(Contains(LinesSince(0), "Total size:0(0.000kb)  Alloc num:0"));
}

TEST_F(StartupTest, TwentyFourBitColourIsRefusedOnA24BitDesktopInWindowModeOrWhenRequested) {
    struct Case {
        int desktopBits;
        int windowMode;
        int requestedBits;
        bool refused;
    };
    const Case cases[] = {
        {24, 1, 16, true},  {24, 0, 16, false}, {32, 1, 24, true},
        {32, 0, 24, true},  {32, 1, 32, false}, {16, 1, 16, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.desktopBits << " " << c.windowMode << " " << c.requestedBits);
        ResetFramework();
        platform::Profile().display.desktopBitsPerPixel = c.desktopBits;
        ChangeWindowMode(c.windowMode);
        RequestedScreenMode.colorBits = c.requestedBits;
        const int result = InitFramework();
        EXPECT_EQ(FrameworkStarting, 0);
        if (c.refused) {
            EXPECT_EQ(result, -1);
            EXPECT_EQ(FrameworkInitialised, 0);
            const std::string lines = LinesSince(0);
            const std::string refusal = "ＫＩＬＮライブラリは２４ビットカラーモードに対応していません\r\n";
            ASSERT_GE(lines.size(), refusal.size());
            EXPECT_EQ(lines.substr(lines.size() - refusal.size()), refusal);
            EXPECT_EQ(GetMainWindowHandle(), nullptr);
        } else {
            EXPECT_EQ(result, 0);
            EXPECT_EQ(EndFramework(), 0);
        }
    }
}

TEST_F(StartupTest, AFullScreenSizeNoDisplayModeOffersStartsInWindowMode) {
    struct Case {
        int width;
        int height;
        int softwareOnly;
        int windowModeAfter;
    };
    const Case cases[] = {
        {800, 600, 0, 0},
        {720, 400, 0, 1},
        {320, 240, 0, 0},  // shown doubled at 640 by 480
        {320, 240, 1, 1},
    };
    platform::Profile().display.displayModes = {{640, 480, 16, 60}, {800, 600, 16, 60}, {640, 480, 32, 60}, {720, 400, 8, 60}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " software " << c.softwareOnly);
        ResetFramework();
        RequestedScreenMode.width = c.width;
        RequestedScreenMode.height = c.height;
        SetUseHardwareAcceleration(c.softwareOnly ? 0 : 1);
        ASSERT_EQ(InitFramework(), 0);
        EXPECT_EQ(IsWindowModeOn(), c.windowModeAfter);
        DEVMODEA mode{};
        EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
        if (c.windowModeAfter) {
            EXPECT_EQ(mode.dmPelsWidth, 1280u);  // the display keeps the desktop
        } else {
            EXPECT_EQ(mode.dmPelsWidth, c.width == 320 ? 640u : static_cast<DWORD>(c.width));
            EXPECT_EQ(mode.dmBitsPerPel, 16u);
        }
        EXPECT_EQ(EndFramework(), 0);
        EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
        EXPECT_EQ(mode.dmPelsWidth, 1280u);
    }
    // Only a setter before start-up.
    ASSERT_EQ(InitFramework(), 0);
    EXPECT_EQ(SetUseHardwareAcceleration(0), -1);
    EXPECT_EQ(SoftwareRenderOnlyFlag, 1);
}

TEST_F(StartupTest, AFailedStartTakesDownWhatItBroughtUpAndCanBeRetried) {
    // A second copy of the program is refused at window creation, after COM
    // was initialised.
    ChangeWindowMode(1);
    SetMainWindowTitle("二重起動の検査");
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "二重起動の検査";
    RegisterClassExA(&windowClass);
    HWND other = CreateWindowExA(0, "二重起動の検査", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);

    EXPECT_EQ(InitFramework(), -1);
    EXPECT_EQ(FrameworkInitialised, 0);
    EXPECT_EQ(FrameworkStarting, 0);
    EXPECT_EQ(ComInitialised, 0);
    EXPECT_FALSE(CoIsInitialisedOnThisThread());
    EXPECT_TRUE(Contains(LinesSince(0), "ＣＯＭを終了... 完了\r\n"));

    DestroyWindow(other);
    UnregisterClassA("二重起動の検査", nullptr);
    EXPECT_EQ(InitFramework(), 0);
}

}  // namespace
}  // namespace startuptest
