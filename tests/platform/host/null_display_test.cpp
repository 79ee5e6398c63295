// A window's life with the null video adapter in force: made, shown, named,
// moved, its text copied and closed through the queue, all as records, with
// nothing ever reaching SDL2.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/host/host_video.h"
#include "platform/kernel/kernel.h"
#include "platform/user/host_display.h"
#include "platform/user/user.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/window_system_events.h"
#include "tests/support/test_support.h"

namespace {

std::vector<UINT> received;

LRESULT CALLBACK RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    received.push_back(message);
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

bool Received(UINT message) { return std::find(received.begin(), received.end(), message) != received.end(); }

class NullDisplayTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        platform::Profile().display.host = platform::HostDisplayUse::Off;
        ASSERT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u) << "an earlier test left SDL2 running";
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = RecordingProcedure;
        windowClass.lpszClassName = "NullDisplayTest";
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
        received.clear();
    }
    static void Pump() {
        MSG message{};
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
};

TEST_F(NullDisplayTest, AWindowLivesAsARecordAndNothingReachesSdl) {
    EXPECT_FALSE(platform::HostVideo().ShowsWindows());
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);  // no host desktop to take
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);

    HWND window = CreateWindowExA(0, "NullDisplayTest", "窓", WS_POPUP | WS_VISIBLE, 10, 20, 300, 200, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    Pump();
    EXPECT_TRUE(Received(WM_CREATE));
    EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(platform::OnHostVideoThread());
    EXPECT_EQ(platform::detail::HostWindowOf(window), 0u);

    ASSERT_TRUE(SetWindowTextA(window, "題名"));
    ASSERT_TRUE(MoveWindow(window, 40, 50, 640, 480, TRUE));
    Pump();
    EXPECT_TRUE(Received(WM_SETTEXT));
    EXPECT_TRUE(Received(WM_MOVE));
    EXPECT_TRUE(Received(WM_SIZE));
    // The record holds all a display would show.
    const std::vector<platform::detail::WindowMirror> mirrors =
        platform::detail::TakeWindowMirrors(GetCurrentThreadId());
    ASSERT_EQ(mirrors.size(), 1u);
    EXPECT_EQ(mirrors[0].text, "題名");
    EXPECT_TRUE(mirrors[0].visible);
    EXPECT_EQ(mirrors[0].client.left, 40);
    EXPECT_EQ(mirrors[0].client.right, 680);

    // The clipboard keeps its own text when there is no host clipboard.
    const char copied[] = "写し\r\n";
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(copied));
    std::memcpy(GlobalLock(block), copied, sizeof(copied));
    GlobalUnlock(block);
    ASSERT_TRUE(OpenClipboard(window));
    EmptyClipboard();
    ASSERT_EQ(SetClipboardData(CF_TEXT, block), block);
    HANDLE pasted = GetClipboardData(CF_TEXT);
    ASSERT_NE(pasted, nullptr);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(pasted)), copied);
    GlobalUnlock(pasted);
    CloseClipboard();

    received.clear();
    PostMessageA(window, WM_CLOSE, 0, 0);
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    EXPECT_TRUE(Received(WM_DESTROY));
    EXPECT_EQ(FindWindowA("NullDisplayTest", nullptr), nullptr);

    EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
}

// Without a display the host names no modes: the profile's serve, and
// without a list of its own the desktop's sizes at 16 and 32 bits.
TEST_F(NullDisplayTest, TheProfileServesTheDisplayModes) {
    std::vector<platform::DisplayMode> host;
    EXPECT_FALSE(platform::HostVideo().DisplayModes(host));
    EXPECT_TRUE(host.empty());

    DEVMODEA mode{};
    mode.dmSize = sizeof(mode);
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, 0, &mode));
    EXPECT_EQ(mode.dmPelsWidth, 640u);
    EXPECT_EQ(mode.dmBitsPerPel, 16u);

    platform::Profile().display.displayModes = {{512, 384, 32, 70}};
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, 0, &mode));
    EXPECT_EQ(mode.dmPelsWidth, 512u);
    EXPECT_EQ(mode.dmDisplayFrequency, 70u);
    EXPECT_FALSE(EnumDisplaySettingsA(nullptr, 1, &mode));
    DEVMODEA request = mode;
    request.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL | DM_DISPLAYFREQUENCY;
    EXPECT_EQ(ChangeDisplaySettingsA(&request, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode));
    EXPECT_EQ(mode.dmPelsWidth, 512u);
}

}  // namespace
