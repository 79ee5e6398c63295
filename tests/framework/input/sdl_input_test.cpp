// Headless input through SDL2 under the offscreen video driver: key events
// pushed into SDL2's queue reach IsKeyHeld by both paths (DirectInput's key
// tracking and the window's key state).
// SDL2 is the platform library's private dependency: its headers are reached
// through the system include folder.
#include <SDL2/SDL.h>

#include <cstdlib>

#include "platform/host/sdl_host.h"
#include "platform/profile/machine_profile.h"
#include "tests/framework/input/input_fixture.h"

namespace inputtest {
namespace {

class SdlInputTest : public InputTest {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        InputTest::SetUp();
        platform::Profile().display.host = platform::HostDisplayUse::Automatic;
        ASSERT_TRUE(platform::host::DisplayAvailable()) << SDL_GetError();
    }

    void PushKey(SDL_Scancode scancode, SDL_Keycode symbol, bool down) {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.windowID = SDL_GetWindowID(platform::host::WindowOf(GetMainWindowHandle()));
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.scancode = scancode;
        event.key.keysym.sym = symbol;
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    }
};

TEST_F(SdlInputTest, PushedKeyEventsReachIsKeyHeldByBothPaths) {
    for (int version : {kWindowsXp, kWindows7}) {
        SCOPED_TRACE(version);
        WindowsVersionCode = version;
        StartWithWindow();
        ASSERT_NE(platform::host::WindowOf(GetMainWindowHandle()), nullptr);
        PushKey(SDL_SCANCODE_Z, SDLK_z, true);
        PushKey(SDL_SCANCODE_LEFT, SDLK_LEFT, true);
        PumpUntilQuiet();
        NextMillisecond();
        EXPECT_EQ(IsKeyHeld(DIK_Z), 1);
        EXPECT_EQ(IsKeyHeld(DIK_LEFT), 1);
        EXPECT_EQ(ReadJoypadButtons(0x1000), 0x2 | 0x10);
        PushKey(SDL_SCANCODE_Z, SDLK_z, false);
        PushKey(SDL_SCANCODE_LEFT, SDLK_LEFT, false);
        PumpUntilQuiet();
        NextMillisecond();
        EXPECT_EQ(IsKeyHeld(DIK_Z), 0);
        EXPECT_EQ(ReadJoypadButtons(0x1000), 0);
        EndInputDevices();
        DestroyMainWindow();
        ResetWindowSide();
    }
}

}  // namespace
}  // namespace inputtest
