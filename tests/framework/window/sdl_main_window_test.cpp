// The main window on the SDL2 host under the offscreen video driver: it opens
// at the client size with its title, and the close button reaches WM_CLOSE
// through the pump, which then reports the end of the program.
#include <SDL2/SDL.h>

#include <cstdlib>

#include "platform/host/sdl_host.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/main_window_fixture.h"

namespace windowtest {
namespace {

class SdlMainWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        MainWindowTest::SetUp();
        platform::Profile().display.host = platform::HostDisplayUse::Automatic;
        ASSERT_TRUE(platform::host::DisplayAvailable()) << SDL_GetError();
    }
};

TEST_F(SdlMainWindowTest, TheWindowOpensAtTheClientSizeAndTheCloseButtonEndsTheProgram) {
    HWND window = StartWindowMode("煉瓦窯");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(ProcessWindowMessages(), 0);

    SDL_Window* shown = platform::host::WindowOf(window);
    ASSERT_NE(shown, nullptr);
    int width = 0, height = 0, x = 0, y = 0;
    SDL_GetWindowSize(shown, &width, &height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    SDL_GetWindowPosition(shown, &x, &y);
    EXPECT_EQ(x, MainWindow.ClientScreenRect.left);
    EXPECT_EQ(y, MainWindow.ClientScreenRect.top);
    EXPECT_STREQ(SDL_GetWindowTitle(shown), reinterpret_cast<const char*>(u8"煉瓦窯"));
    EXPECT_TRUE(SDL_GetWindowFlags(shown) & SDL_WINDOW_SHOWN);

    const size_t mark = LogText().size();
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    close.window.windowID = SDL_GetWindowID(shown);
    ASSERT_EQ(SDL_PushEvent(&close), 1) << SDL_GetError();

    int result = 0;
    for (int i = 0; i < 100 && result == 0; ++i) result = ProcessWindowMessages();
    EXPECT_EQ(result, -1);
    EXPECT_EQ(LinesSince(mark),
              "ウインドウを閉じようとしています\r\n"
              "ウインドウが破棄されようとしています\r\n"
              "ソフトを終了する準備が整いました\r\n");
    EXPECT_EQ(IsQuitPosted(), 1);
    EXPECT_EQ(platform::host::WindowOf(window), nullptr);
    EXPECT_EQ(DestroyMainWindow(), 0);
    EXPECT_EQ(GetMainWindowHandle(), nullptr);
}

}  // namespace
}  // namespace windowtest
