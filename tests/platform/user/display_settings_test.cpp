#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "platform/platform.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/test_support.h"

namespace {

class DisplaySettingsTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        platform::Profile().display.host = platform::HostDisplayUse::Off;
        platform::Profile().display.desktopWidth = 1280;
        platform::Profile().display.desktopHeight = 1024;
        platform::Profile().display.desktopBitsPerPixel = 32;
    }

    static DEVMODEA Mode(DWORD number) {
        DEVMODEA mode{};
        mode.dmSize = sizeof(mode);
        EXPECT_TRUE(EnumDisplaySettingsA(nullptr, number, &mode));
        return mode;
    }

    static DEVMODEA Request(DWORD width, DWORD height, DWORD bits) {
        DEVMODEA mode{};
        mode.dmSize = sizeof(mode);
        mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
        mode.dmPelsWidth = width;
        mode.dmPelsHeight = height;
        mode.dmBitsPerPel = bits;
        return mode;
    }

    // The WM_DISPLAYCHANGE messages waiting for `window`.
    static std::vector<MSG> DisplayChanges(HWND window) {
        std::vector<MSG> changes;
        MSG message{};
        while (PeekMessageA(&message, window, WM_DISPLAYCHANGE, WM_DISPLAYCHANGE, PM_REMOVE))
            changes.push_back(message);
        return changes;
    }

    static HWND MakeWindow() {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "display test";
        RegisterClassExA(&windowClass);
        return CreateWindowExA(0, "display test", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                               nullptr);
    }
};

TEST_F(DisplaySettingsTest, ListsTheProfileModesInOrderAndStopsAtTheEnd) {
    platform::Profile().display.displayModes = {{800, 600, 16, 60}, {1024, 768, 32, 75}};
    const DEVMODEA second = Mode(1);
    EXPECT_EQ(second.dmPelsWidth, 1024u);
    EXPECT_EQ(second.dmPelsHeight, 768u);
    EXPECT_EQ(second.dmBitsPerPel, 32u);
    EXPECT_EQ(second.dmDisplayFrequency, 75u);
    DEVMODEA past{};
    EXPECT_FALSE(EnumDisplaySettingsA(nullptr, 2, &past));
    EXPECT_FALSE(EnumDisplaySettingsA("\\\\.\\DISPLAY2", 0, &past));
}

TEST_F(DisplaySettingsTest, WithoutAProfileListTheDesktopAndSmallerUsualSizesAreOffered) {
    std::vector<DEVMODEA> modes;
    DEVMODEA mode{};
    for (DWORD number = 0; EnumDisplaySettingsA(nullptr, number, &mode); ++number) modes.push_back(mode);
    auto offered = [&](DWORD width, DWORD height, DWORD bits) {
        for (const DEVMODEA& listed : modes)
            if (listed.dmPelsWidth == width && listed.dmPelsHeight == height && listed.dmBitsPerPel == bits)
                return true;
        return false;
    };
    for (DWORD bits : {16u, 32u}) {
        EXPECT_TRUE(offered(1280, 1024, bits));
        EXPECT_TRUE(offered(640, 480, bits));
        EXPECT_FALSE(offered(1600, 1200, bits));  // larger than the desktop
    }
    EXPECT_FALSE(offered(320, 240, 16));
}

// A display runs its own modes only (a panel often one); the sizes a program
// asks for are offered besides, up to the desktop's and 640 by 480 always,
// and a switch to one is made. The list runs from the smallest size up, at
// 16 bits and then at 32, each size at the display's own rates.
TEST_F(DisplaySettingsTest, ADisplayOfItsOwnModesOffersTheUsualSizesBesides) {
    struct Case {
        const char* name;
        std::vector<platform::DisplayMode> own;
        int32_t desktopWidth, desktopHeight;
        std::vector<std::vector<DWORD>> offered;  // width, height, bits, rate
        std::vector<std::vector<DWORD>> notOffered;
    };
    const Case cases[] = {
        {"one mode, 1280 by 1024",
         {{1280, 1024, 32, 60}},
         1280,
         1024,
         {{640, 480, 16, 60}, {640, 480, 32, 60}, {800, 600, 32, 60}, {1280, 720, 32, 60}, {1280, 1024, 32, 60}},
         {{1366, 768, 32, 60}, {1600, 1200, 32, 60}, {320, 240, 16, 60}}},
        {"a wide panel",
         {{1366, 768, 32, 60}},
         1366,
         768,
         {{640, 480, 32, 60}, {1024, 768, 16, 60}, {1280, 720, 32, 60}, {1366, 768, 16, 60}},
         {{1280, 960, 32, 60}, {1280, 1024, 32, 60}}},
        {"smaller than 640 by 480", {{512, 384, 32, 70}}, 512, 384, {{512, 384, 32, 70}, {640, 480, 32, 60}},
         {{800, 600, 32, 60}}},
        {"two rates", {{1920, 1080, 32, 60}, {1920, 1080, 32, 144}}, 1920, 1080,
         {{1920, 1080, 16, 60}, {1920, 1080, 16, 144}, {1920, 1080, 32, 144}, {1600, 900, 32, 60}},
         {{1920, 1080, 32, 75}, {2560, 1440, 32, 60}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::ResetMachine();
        platform::Profile().display.host = platform::HostDisplayUse::Off;
        platform::Profile().display.desktopWidth = c.desktopWidth;
        platform::Profile().display.desktopHeight = c.desktopHeight;
        platform::Profile().display.ownModes = c.own;
        std::vector<std::vector<DWORD>> modes;
        DEVMODEA mode{};
        for (DWORD number = 0; EnumDisplaySettingsA(nullptr, number, &mode); ++number)
            modes.push_back({mode.dmPelsWidth, mode.dmPelsHeight, mode.dmBitsPerPel, mode.dmDisplayFrequency});
        auto listed = [&](const std::vector<DWORD>& wanted) {
            return std::find(modes.begin(), modes.end(), wanted) != modes.end();
        };
        for (const std::vector<DWORD>& wanted : c.offered) EXPECT_TRUE(listed(wanted)) << wanted[0] << "x" << wanted[1];
        for (const std::vector<DWORD>& wanted : c.notOffered)
            EXPECT_FALSE(listed(wanted)) << wanted[0] << "x" << wanted[1];
        EXPECT_TRUE(std::is_sorted(modes.begin(), modes.end(), [](const std::vector<DWORD>& a, const std::vector<DWORD>& b) {
            return std::make_tuple(a[2], a[0], a[1]) < std::make_tuple(b[2], b[0], b[1]);
        }));

        DEVMODEA request = Request(640, 480, 32);
        EXPECT_EQ(ChangeDisplaySettingsA(&request, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
        EXPECT_EQ(Mode(ENUM_CURRENT_SETTINGS).dmPelsWidth, 640u);
        EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    }
}

TEST_F(DisplaySettingsTest, ASwitchChangesTheModeInForceAndTellsEveryWindow) {
    HWND window = MakeWindow();
    ASSERT_NE(window, nullptr);
    DEVMODEA request = Request(640, 480, 16);
    EXPECT_EQ(ChangeDisplaySettingsA(&request, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);

    const DEVMODEA current = Mode(ENUM_CURRENT_SETTINGS);
    EXPECT_EQ(current.dmPelsWidth, 640u);
    EXPECT_EQ(current.dmBitsPerPel, 16u);
    EXPECT_EQ(Mode(ENUM_REGISTRY_SETTINGS).dmPelsWidth, 1280u);
    std::vector<MSG> changes = DisplayChanges(window);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].wParam, 16u);
    EXPECT_EQ(LOWORD(changes[0].lParam), 640);
    EXPECT_EQ(HIWORD(changes[0].lParam), 480);

    // The same mode again changes nothing and says nothing.
    EXPECT_EQ(ChangeDisplaySettingsA(&request, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    EXPECT_TRUE(DisplayChanges(window).empty());

    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    changes = DisplayChanges(window);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].wParam, 32u);
    EXPECT_EQ(LOWORD(changes[0].lParam), 1280);
    EXPECT_EQ(HIWORD(changes[0].lParam), 1024);
    EXPECT_EQ(Mode(ENUM_CURRENT_SETTINGS).dmPelsWidth, 1280u);
}

TEST_F(DisplaySettingsTest, AModeNotOfferedAndATestSwitchLeaveTheDisplayAlone) {
    HWND window = MakeWindow();
    DEVMODEA missing = Request(320, 240, 16);
    EXPECT_EQ(ChangeDisplaySettingsA(&missing, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
    DEVMODEA offered = Request(800, 600, 32);
    EXPECT_EQ(ChangeDisplaySettingsA(&offered, CDS_TEST), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(Mode(ENUM_CURRENT_SETTINGS).dmPelsWidth, 1280u);
    EXPECT_TRUE(DisplayChanges(window).empty());

    // Only the fields named are taken; the rest stay those of the mode in force.
    DEVMODEA bitsOnly{};
    bitsOnly.dmFields = DM_BITSPERPEL;
    bitsOnly.dmBitsPerPel = 16;
    EXPECT_EQ(ChangeDisplaySettingsA(&bitsOnly, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(Mode(ENUM_CURRENT_SETTINGS).dmPelsWidth, 1280u);
    EXPECT_EQ(Mode(ENUM_CURRENT_SETTINGS).dmBitsPerPel, 16u);
}

}  // namespace
