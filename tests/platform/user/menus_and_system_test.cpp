// Menus read back item by item, the menu bar's share of the window, and the
// system facts: memory status, code page, parameters, cursor and icons.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/icon_resources.h"
#include "platform/user/user.h"
#include "platform/user/window_system.h"
#include "tests/support/test_support.h"

namespace {

std::vector<MSG> received;

LRESULT CALLBACK RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    received.push_back(MSG{window, message, wParam, lParam, 0, {}});
    return DefWindowProcA(window, message, wParam, lParam);
}

class MenusAndSystemTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        platform::Profile().display.host = platform::HostDisplayUse::Off;
        platform::Profile().display.classLockDirectory = folder.hostPath();
        received.clear();
    }

    testsupport::TemporaryFolder folder;
};

MENUITEMINFOA ItemInfo(UINT mask, char* buffer, UINT size) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = mask;
    info.dwTypeData = buffer;
    info.cch = size;
    return info;
}

TEST_F(MenusAndSystemTest, MenuItemsReadBackWithTheirTextCutToTheBuffer) {
    HMENU menu = CreateMenu(), submenu = CreatePopupMenu();
    ASSERT_TRUE(AppendMenuA(submenu, MF_STRING | MF_GRAYED, 201, "Open"));
    ASSERT_TRUE(AppendMenuA(menu, MF_STRING, 101, "ファイル"));
    ASSERT_TRUE(AppendMenuA(menu, MF_SEPARATOR, 0, nullptr));
    ASSERT_TRUE(AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), "More"));
    EXPECT_EQ(GetMenuItemCount(menu), 3);

    char name[128];
    MENUITEMINFOA info = ItemInfo(MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE, name, sizeof(name));
    ASSERT_TRUE(GetMenuItemInfoA(menu, 0, TRUE, &info));
    EXPECT_STREQ(name, "ファイル");
    EXPECT_EQ(info.cch, 8u);  // four two-byte characters
    EXPECT_EQ(info.wID, 101u);
    EXPECT_EQ(info.hSubMenu, nullptr);

    info = ItemInfo(MIIM_TYPE, name, sizeof(name));
    ASSERT_TRUE(GetMenuItemInfoA(menu, 1, TRUE, &info));
    EXPECT_EQ(info.fType, MFT_SEPARATOR);
    info = ItemInfo(MIIM_SUBMENU, nullptr, 0);
    ASSERT_TRUE(GetMenuItemInfoA(menu, 2, TRUE, &info));
    EXPECT_EQ(info.hSubMenu, submenu);

    // By command, through the submenu; a short buffer gets what fits and a terminator.
    char small[4];
    std::memset(small, 'x', sizeof(small));
    info = ItemInfo(MIIM_TYPE | MIIM_STATE, small, sizeof(small));
    ASSERT_TRUE(GetMenuItemInfoA(menu, 201, FALSE, &info));
    EXPECT_STREQ(small, "Ope");
    EXPECT_EQ(info.cch, 3u);
    EXPECT_NE(info.fState, 0u);  // greyed

    info = ItemInfo(MIIM_TYPE, name, sizeof(name));
    EXPECT_FALSE(GetMenuItemInfoA(menu, 3, TRUE, &info));
    info.cbSize = 48;  // the 32-bit record size
    EXPECT_TRUE(GetMenuItemInfoA(menu, 0, TRUE, &info));
    info.cbSize = 12;
    EXPECT_FALSE(GetMenuItemInfoA(menu, 0, TRUE, &info));

    EXPECT_TRUE(DestroyMenu(menu));
    EXPECT_EQ(GetMenuItemCount(submenu), -1);  // gone with its menu
    EXPECT_EQ(GetMenuItemCount(menu), -1);
}

TEST_F(MenusAndSystemTest, AnAttachedMenuTakesItsBarFromTheClientArea) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = RecordingProcedure;
    windowClass.lpszClassName = "MenuTestWindow";
    ASSERT_NE(RegisterClassExA(&windowClass), 0);
    HWND window = CreateWindowExA(0, "MenuTestWindow", "", WS_POPUP | WS_CAPTION, 0, 0, 646, 505, nullptr, nullptr,
                                  nullptr, nullptr);
    ShowWindow(window, SW_SHOWNA);
    HMENU menu = CreateMenu();
    received.clear();
    ASSERT_TRUE(SetMenu(window, menu));
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].message, WM_SIZE);
    EXPECT_EQ(received[0].lParam, MAKELPARAM(640, 480 - 19));
    EXPECT_EQ(received[1].message, WM_MOVE);  // the client area starts below the bar
    EXPECT_EQ(received[1].lParam, MAKELPARAM(3, 22 + 19));
    ASSERT_TRUE(SetMenu(window, nullptr));
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.bottom, 480);
    EXPECT_FALSE(SetMenu(window, reinterpret_cast<HMENU>(0x1234)));
}

TEST_F(MenusAndSystemTest, MemoryStatusIsWhatA32BitProgramSees) {
    platform::Profile().display.totalPhysicalMemory = 16ull << 30;
    platform::Profile().display.availablePhysicalMemory = 3ull << 30;
    MEMORYSTATUS status{};
    GlobalMemoryStatus(&status);
    EXPECT_EQ(status.dwLength, sizeof(MEMORYSTATUS));
    EXPECT_EQ(status.dwTotalPhys, 0xFFFFFFFFu);
    EXPECT_EQ(status.dwAvailPhys, 3ull << 30);
    EXPECT_EQ(status.dwMemoryLoad, 82u);
    EXPECT_EQ(status.dwTotalVirtual, 0x7FFE0000u);

    platform::Profile().display.totalPhysicalMemory = 0;  // the host's own figures
    platform::Profile().display.availablePhysicalMemory = 0;
    GlobalMemoryStatus(&status);
    EXPECT_GT(status.dwTotalPhys, 0u);
    EXPECT_LE(status.dwAvailPhys, status.dwTotalPhys);
}

TEST_F(MenusAndSystemTest, CodePageAndParameters) {
    EXPECT_EQ(GetOEMCP(), 932u);
    platform::Profile().display.oemCodePage = 949;
    EXPECT_EQ(GetOEMCP(), 949u);

    DWORD timeout = 0;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &timeout, 0));
    ASSERT_TRUE(SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, SPIF_SENDCHANGE));
    DWORD cleared = 1;
    SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &cleared, 0);
    EXPECT_EQ(cleared, 0u);
    SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<LPVOID>(static_cast<ULONG_PTR>(timeout)),
                          SPIF_SENDCHANGE);
    SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &cleared, 0);
    EXPECT_EQ(cleared, timeout);

    EXPECT_TRUE(platform::detail::ScreenSaverAllowed());
    ASSERT_TRUE(SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, FALSE, nullptr, SPIF_SENDCHANGE));
    EXPECT_FALSE(platform::detail::ScreenSaverAllowed());
    EXPECT_FALSE(SystemParametersInfoA(0x7777, 0, nullptr, 0));
}

TEST_F(MenusAndSystemTest, CursorShowsWhileItsCountIsNotNegativeAndAShapeIsSet) {
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    ASSERT_NE(arrow, nullptr);
    EXPECT_TRUE(platform::detail::CursorShown());
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_FALSE(platform::detail::CursorShown());
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_EQ(SetCursor(nullptr), arrow);
    EXPECT_FALSE(platform::detail::CursorShown());
    EXPECT_EQ(SetCursor(arrow), nullptr);
    EXPECT_TRUE(platform::detail::CursorShown());
}

TEST_F(MenusAndSystemTest, IconsComeFromTheStockOrFromResourcesGivenToThePlatform) {
    HINSTANCE program = reinterpret_cast<HINSTANCE>(0x400000);
    EXPECT_NE(LoadIconA(nullptr, IDI_APPLICATION), nullptr);
    EXPECT_EQ(LoadIconA(program, MAKEINTRESOURCEA(101)), nullptr);
    const uint32_t pixels[4] = {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0x00000000};
    platform::RegisterIconResource(101, 2, 2, pixels);
    HICON icon = LoadIconA(program, MAKEINTRESOURCEA(101));
    ASSERT_NE(icon, nullptr);
    platform::detail::IconPixels read;
    ASSERT_TRUE(platform::detail::IconPixelsOf(icon, read));
    EXPECT_EQ(read.width, 2);
    EXPECT_EQ(read.pixels[2], 0xFFFF0000u);
}

}  // namespace
