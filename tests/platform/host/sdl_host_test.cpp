// The SDL2 host under the offscreen video driver: the window opens at the
// client size with its UTF-8 title, SDL2 events arrive as window messages
// (the close button as WM_CLOSE through the queue), records and SDL2 windows
// follow each other, and the clipboard crosses between Shift-JIS and UTF-8.
// SDL2 is the platform library's private dependency: its headers are reached
// through the system include folder.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/host/sdl_host.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/icon_resources.h"
#include "platform/user/user.h"
#include "tests/support/test_support.h"

namespace {

std::vector<MSG> received;

LRESULT CALLBACK RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    received.push_back(MSG{window, message, wParam, lParam, 0, {}});
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

constexpr DWORD kWindowStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE;

class SdlHostTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        PlatformTest::SetUp();
        platform::Profile().display.classLockDirectory = folder.hostPath();
        ASSERT_TRUE(platform::host::DisplayAvailable()) << SDL_GetError();
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = RecordingProcedure;
        windowClass.lpszClassName = "HostTestWindow";
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
        received.clear();
    }
    // A shown window-mode window whose client area is 640 by 480 at (100, 80).
    HWND MakeWindow(const char* title = "") {
        RECT rect{0, 0, 640, 480};
        AdjustWindowRectEx(&rect, kWindowStyle, FALSE, kWindowExStyle);
        HWND window =
            CreateWindowExA(kWindowExStyle, "HostTestWindow", title, kWindowStyle, 100 + rect.left, 80 + rect.top,
                            rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, nullptr, nullptr);
        ShowWindow(window, SW_SHOW);
        UpdateWindow(window);
        Pump();
        return window;
    }
    static void Pump() {
        MSG message{};
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    static LONG FullScreen640x480() {
        DEVMODEA request{};
        request.dmSize = sizeof(request);
        request.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
        request.dmPelsWidth = 640;
        request.dmPelsHeight = 480;
        request.dmBitsPerPel = 32;
        return ChangeDisplaySettingsA(&request, CDS_FULLSCREEN);
    }
    static void Push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }
    static SDL_Event WindowEvent(SDL_Window* window, Uint8 kind) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = kind;
        event.window.windowID = SDL_GetWindowID(window);
        return event;
    }
    static std::vector<UINT> Messages(std::initializer_list<UINT> kinds) {
        std::vector<UINT> messages;
        for (const MSG& message : received)
            if (std::find(kinds.begin(), kinds.end(), message.message) != kinds.end())
                messages.push_back(message.message);
        return messages;
    }

    testsupport::TemporaryFolder folder;
};

TEST_F(SdlHostTest, WindowOpensAtTheClientSizeAndTheCloseButtonReachesWmCloseThroughTheQueue) {
    int desktopWidth = 0, desktopHeight = 0;
    SDL_DisplayMode mode;
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &mode), 0);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), mode.w);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), mode.h);

    HWND window = MakeWindow("テスト窓");
    SDL_Window* shown = platform::host::WindowOf(window);
    ASSERT_NE(shown, nullptr);
    SDL_GetWindowSize(shown, &desktopWidth, &desktopHeight);
    EXPECT_EQ(desktopWidth, 640);
    EXPECT_EQ(desktopHeight, 480);
    int x = 0, y = 0;
    SDL_GetWindowPosition(shown, &x, &y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 80);
    EXPECT_EQ(SDL_GetWindowTitle(shown), Utf8(u8"テスト窓"));
    EXPECT_TRUE(SDL_GetWindowFlags(shown) & SDL_WINDOW_SHOWN);
    EXPECT_FALSE(SDL_GetWindowFlags(shown) & SDL_WINDOW_BORDERLESS);

    // The program sets its own icon, which goes to the SDL2 window.
    std::vector<uint32_t> pixels(32 * 32, 0xFF2060A0u);
    platform::RegisterIconResource(101, 32, 32, pixels.data());
    HICON icon = LoadIconA(reinterpret_cast<HINSTANCE>(0x400000), MAKEINTRESOURCEA(101));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon)), 0);
    Pump();

    received.clear();
    Push(WindowEvent(shown, SDL_WINDOWEVENT_CLOSE));
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    EXPECT_EQ(Messages({WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}),
              (std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}));
    EXPECT_EQ(platform::host::WindowOf(window), nullptr);  // the SDL2 window went with it
}

TEST_F(SdlHostTest, KeysTextMouseAndFocusArriveAsWindowMessages) {
    HWND window = MakeWindow();
    SDL_Window* shown = platform::host::WindowOf(window);
    ASSERT_NE(shown, nullptr);
    received.clear();

    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.windowID = SDL_GetWindowID(shown);
    key.key.keysym.scancode = SDL_SCANCODE_A;
    key.key.keysym.sym = SDLK_a;
    Push(key);
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    text.text.windowID = SDL_GetWindowID(shown);
    std::strcpy(text.text.text, Utf8(u8"あ").c_str());
    Push(text);
    key.type = SDL_KEYUP;
    Push(key);
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.windowID = SDL_GetWindowID(shown);
    motion.motion.x = 10;
    motion.motion.y = 20;
    Push(motion);
    Push(WindowEvent(shown, SDL_WINDOWEVENT_FOCUS_LOST));
    Pump();

    // The focus change is sent, so it is handled before the input posted ahead of it.
    ASSERT_EQ(Messages({WM_ACTIVATE}), std::vector<UINT>{WM_ACTIVATE});
    std::vector<MSG> input;
    for (const MSG& message : received)
        if (message.message == WM_KEYDOWN || message.message == WM_KEYUP || message.message == WM_CHAR ||
            message.message == WM_MOUSEMOVE || message.message == WM_ACTIVATE)
            input.push_back(message);
    ASSERT_EQ(input.size(), 6u);
    EXPECT_EQ(LOWORD(input[0].wParam), WA_INACTIVE);
    EXPECT_EQ(input[1].message, WM_KEYDOWN);
    EXPECT_EQ(input[1].wParam, static_cast<WPARAM>('A'));
    EXPECT_EQ((input[1].lParam >> 16) & 0xFF, 0x1E);
    EXPECT_EQ(input[2].message, WM_CHAR);  // あ in Shift-JIS, byte by byte
    EXPECT_EQ(input[2].wParam, 0x82u);
    EXPECT_EQ(input[3].wParam, 0xA0u);
    EXPECT_EQ(input[4].message, WM_KEYUP);
    EXPECT_EQ(input[5].message, WM_MOUSEMOVE);
    EXPECT_EQ(input[5].lParam, MAKELPARAM(10, 20));
    POINT cursor{};
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, 110);
    EXPECT_EQ(cursor.y, 100);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
}

TEST_F(SdlHostTest, RecordAndSdlWindowFollowEachOther) {
    HWND window = MakeWindow();
    SDL_Window* shown = platform::host::WindowOf(window);
    ASSERT_NE(shown, nullptr);

    SetWindowPos(window, nullptr, 200, 150, 330, 270, SWP_NOZORDER);
    Pump();
    int x = 0, y = 0, width = 0, height = 0;
    SDL_GetWindowPosition(shown, &x, &y);
    SDL_GetWindowSize(shown, &width, &height);
    EXPECT_EQ(x, 205);
    EXPECT_EQ(y, 174);
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 241);

    // The host resizes: the window procedure hears of it.
    received.clear();
    SDL_SetWindowSize(shown, 800, 600);
    Pump();
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 600);
    EXPECT_EQ(Messages({WM_SIZING, WM_SIZE}), (std::vector<UINT>{WM_SIZING, WM_SIZE}));

    // Hidden and shown again, with the full-screen style: no frame, so the
    // same outer rectangle is all client area.
    ShowWindow(window, SW_HIDE);
    Pump();
    EXPECT_FALSE(SDL_GetWindowFlags(shown) & SDL_WINDOW_SHOWN);
    SetWindowLongA(window, GWL_STYLE, WS_POPUP);
    SetWindowLongA(window, GWL_EXSTYLE, WS_EX_TOPMOST);
    ShowWindow(window, SW_SHOW);
    Pump();
    EXPECT_TRUE(SDL_GetWindowFlags(shown) & SDL_WINDOW_SHOWN);
    SDL_GetWindowSize(shown, &width, &height);
    EXPECT_EQ(width, 810);
    EXPECT_EQ(height, 629);
}

TEST_F(SdlHostTest, PixelsPaintedIntoTheWindowReachItsSurface) {
    HWND window = MakeWindow();
    HDC context = GetDC(window);
    const RECT area{0, 0, 640, 480};
    HBRUSH brush = CreateSolidBrush(RGB(10, 200, 30));
    FillRect(context, &area, brush);
    ReleaseDC(window, context);
    DeleteObject(brush);
    Pump();
    SDL_Surface* surface = SDL_GetWindowSurface(platform::host::WindowOf(window));
    ASSERT_NE(surface, nullptr);
    ASSERT_EQ(surface->format->BytesPerPixel, 4);
    Uint8 red = 0, green = 0, blue = 0;
    const Uint32 pixel = static_cast<const Uint32*>(surface->pixels)[surface->pitch / 4 * 479 + 639];
    SDL_GetRGB(pixel, surface->format, &red, &green, &blue);
    EXPECT_EQ(red, 10);
    EXPECT_EQ(green, 200);
    EXPECT_EQ(blue, 30);
}

TEST_F(SdlHostTest, ClipboardTextCrossesBetweenShiftJisAndUtf8) {
    const char copied[] = "コピー\r\n2行目";
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(copied));
    std::memcpy(GlobalLock(block), copied, sizeof(copied));
    GlobalUnlock(block);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
    char* hostText = SDL_GetClipboardText();
    EXPECT_EQ(std::string(hostText), Utf8(u8"コピー\n2行目"));
    SDL_free(hostText);

    // Copied elsewhere, with a character Shift-JIS lacks.
    const std::string elsewhere = Utf8(u8"貼り付け\n") + "\xF0\x9F\x98\x80!";  // an emoji, in UTF-8
    ASSERT_EQ(SDL_SetClipboardText(elsewhere.c_str()), 0);
    ASSERT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE pasted = GetClipboardData(CF_TEXT);
    ASSERT_NE(pasted, nullptr);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(pasted)), "貼り付け\r\n?!");
    GlobalUnlock(pasted);
    CloseClipboard();
}

TEST_F(SdlHostTest, CursorAndScreenSaverSwitchesReachTheHost) {
    MakeWindow();
    ShowCursor(FALSE);
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, FALSE, nullptr, SPIF_SENDCHANGE);
    Pump();
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_FALSE(SDL_IsScreenSaverEnabled());
    ShowCursor(TRUE);
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, SPIF_SENDCHANGE);
    Pump();
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    EXPECT_TRUE(SDL_IsScreenSaverEnabled());
}

// The display's modes are the host's, with the usual sizes it lacks: the
// offscreen driver runs one mode, its desktop of 1024 by 768, and 640 by 480
// and 800 by 600 are offered besides, every size at 16 and 32 bits at the
// desktop's rate. A switch to the display's own size shows the full-screen
// window in that mode, and the way back leaves full screen.
TEST_F(SdlHostTest, TheDisplaysOwnModeAndTheUsualSizesAreOffered) {
    SDL_DisplayMode desktop{};
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
    ASSERT_EQ(desktop.w, 1024);
    ASSERT_EQ(desktop.h, 768);
    std::vector<std::vector<DWORD>> modes;
    DEVMODEA mode{};
    mode.dmSize = sizeof(mode);
    for (DWORD number = 0; EnumDisplaySettingsA(nullptr, number, &mode); ++number)
        modes.push_back({mode.dmPelsWidth, mode.dmPelsHeight, mode.dmBitsPerPel, mode.dmDisplayFrequency});
    EXPECT_EQ(modes, (std::vector<std::vector<DWORD>>{{640, 480, 16, 60},
                                                       {800, 600, 16, 60},
                                                       {1024, 768, 16, 60},
                                                       {640, 480, 32, 60},
                                                       {800, 600, 32, 60},
                                                       {1024, 768, 32, 60}}));

    DEVMODEA request{};
    request.dmSize = sizeof(request);
    request.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    request.dmPelsWidth = static_cast<DWORD>(desktop.w);
    request.dmPelsHeight = static_cast<DWORD>(desktop.h);
    request.dmBitsPerPel = 16;
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "HostTestWindow", "", WS_POPUP | WS_VISIBLE, 0, 0, desktop.w,
                                  desktop.h, nullptr, nullptr, nullptr, nullptr);
    Pump();
    SDL_Window* shown = platform::host::WindowOf(window);
    ASSERT_NE(shown, nullptr);
    EXPECT_FALSE(SDL_GetWindowFlags(shown) & SDL_WINDOW_FULLSCREEN);
    EXPECT_EQ(ChangeDisplaySettingsA(&request, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(SDL_GetWindowFlags(shown) & SDL_WINDOW_FULLSCREEN_DESKTOP, static_cast<Uint32>(SDL_WINDOW_FULLSCREEN));
    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    EXPECT_FALSE(SDL_GetWindowFlags(shown) & SDL_WINDOW_FULLSCREEN);

    // Switched again, a window that takes a frame leaves full screen.
    EXPECT_EQ(ChangeDisplaySettingsA(&request, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    EXPECT_TRUE(SDL_GetWindowFlags(shown) & SDL_WINDOW_FULLSCREEN);
    SetWindowLongA(window, GWL_STYLE, kWindowStyle | WS_VISIBLE);
    SetWindowLongA(window, GWL_EXSTYLE, kWindowExStyle);
    Pump();
    EXPECT_FALSE(SDL_GetWindowFlags(shown) & SDL_WINDOW_FULLSCREEN);
    ChangeDisplaySettingsA(nullptr, 0);
}

// A size the display lacks is shown full screen on the desktop's mode: the
// mode's screen scaled to fit the display (640 by 480 on 1024 by 768), each
// window's pixels at their scaled place with black around them, the mouse
// scaled back; the window keeps the client area the program gave it.
TEST_F(SdlHostTest, ASizeTheDisplayLacksIsShownScaledOnTheDesktopsMode) {
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "HostTestWindow", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480,
                                  nullptr, nullptr, nullptr, nullptr);
    Pump();
    SDL_Window* shown = platform::host::WindowOf(window);
    ASSERT_NE(shown, nullptr);
    ASSERT_EQ(FullScreen640x480(), DISP_CHANGE_SUCCESSFUL);
    Pump();
    EXPECT_EQ(SDL_GetWindowFlags(shown) & SDL_WINDOW_FULLSCREEN_DESKTOP, static_cast<Uint32>(SDL_WINDOW_FULLSCREEN_DESKTOP));
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);

    // The left half red, the right half blue.
    auto paint = [&](const RECT& area, COLORREF colour) {
        HDC context = GetDC(window);
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(context, &area, brush);
        DeleteObject(brush);
        ReleaseDC(window, context);
    };
    paint(RECT{0, 0, 320, 480}, RGB(255, 0, 0));
    paint(RECT{320, 0, 640, 480}, RGB(0, 0, 255));
    Pump();
    auto pixelAt = [&](int x, int y) {
        SDL_Surface* surface = SDL_GetWindowSurface(shown);
        EXPECT_NE(surface, nullptr);
        if (surface == nullptr || x >= surface->w || y >= surface->h) return Uint32{0xDEADBEEF};
        Uint8 red = 0, green = 0, blue = 0;
        SDL_GetRGB(static_cast<const Uint32*>(surface->pixels)[surface->pitch / 4 * y + x], surface->format, &red,
                   &green, &blue);
        return Uint32{red} << 16 | Uint32{green} << 8 | blue;
    };
    SDL_Surface* surface = SDL_GetWindowSurface(shown);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->w, 1024);
    EXPECT_EQ(surface->h, 768);
    EXPECT_EQ(pixelAt(0, 0), 0xFF0000u);
    EXPECT_EQ(pixelAt(511, 767), 0xFF0000u);  // from column 319
    EXPECT_EQ(pixelAt(512, 0), 0x0000FFu);    // from column 320
    EXPECT_EQ(pixelAt(1023, 767), 0x0000FFu);

    received.clear();
    for (const SDL_Point& at : {SDL_Point{1023, 767}, SDL_Point{512, 384}}) {
        SDL_Event motion{};
        motion.type = SDL_MOUSEMOTION;
        motion.motion.windowID = SDL_GetWindowID(shown);
        motion.motion.x = at.x;
        motion.motion.y = at.y;
        Push(motion);
        Pump();
    }
    std::vector<LPARAM> moves;
    for (const MSG& message : received)
        if (message.message == WM_MOUSEMOVE) moves.push_back(message.lParam);
    EXPECT_EQ(moves, (std::vector<LPARAM>{MAKELPARAM(639, 479), MAKELPARAM(320, 240)}));

    // A window lower and flatter than the screen shows at its place, with
    // black above and below it.
    SetWindowPos(window, nullptr, 0, 40, 640, 400, SWP_NOZORDER);
    paint(RECT{0, 0, 640, 400}, RGB(255, 255, 255));
    Pump();
    GetClientRect(window, &client);
    EXPECT_EQ(client.bottom, 400);
    EXPECT_EQ(pixelAt(500, 63), 0u);
    EXPECT_EQ(pixelAt(500, 64), 0xFFFFFFu);
    EXPECT_EQ(pixelAt(500, 703), 0xFFFFFFu);
    EXPECT_EQ(pixelAt(500, 704), 0u);

    // Back on the desktop's mode the window is an ordinary one again.
    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    Pump();
    EXPECT_FALSE(SDL_GetWindowFlags(shown) & SDL_WINDOW_FULLSCREEN);
    int width = 0, height = 0;
    SDL_GetWindowSize(shown, &width, &height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 400);
}

// A message box must be seen and answered whatever the program shows: its
// dialog goes over the full-screen window when one is shown (every other
// window, the owner among them, is under it), else over its owner while the
// owner is seen (not hidden, not minimised, whatever the display's driver
// says of the window), else over a window kept on top; and while it is up no
// window is held above the others, which they are again once it is answered.
TEST_F(SdlHostTest, AMessageBoxGoesOverWhatWouldHideIt) {
    enum class Parent { None, FullScreen, Owner, Topmost };
    struct Case {
        const char* name;
        bool fullScreen;       // a window in full-screen style, the display switched
        bool framedTopmost;    // a framed window kept on top
        bool ordinary;         // an ordinary window, the owner when `owned`
        bool owned;
        int ownerShown;  // what ShowWindow then makes of the ordinary window (-1: nothing)
        Parent parent;
    };
    const Case cases[] = {
        {"no owner, full screen", true, false, false, false, -1, Parent::FullScreen},
        {"owner under the full-screen window", true, false, true, true, -1, Parent::FullScreen},
        {"owner seen", false, false, true, true, -1, Parent::Owner},
        {"owner seen beside a window kept on top", false, true, true, true, -1, Parent::Owner},
        {"no owner, a window kept on top", false, true, true, false, -1, Parent::Topmost},
        {"hidden owner", false, false, true, true, SW_HIDE, Parent::None},
        // The offscreen driver leaves a minimised window's flags as they were.
        {"minimised owner", false, false, true, true, SW_MINIMIZE, Parent::None},
        {"no owner, an ordinary window", false, false, true, false, -1, Parent::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND fullScreen = nullptr, topmost = nullptr, ordinary = nullptr;
        if (c.fullScreen) {
            fullScreen = CreateWindowExA(WS_EX_TOPMOST, "HostTestWindow", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480,
                                         nullptr, nullptr, nullptr, nullptr);
            Pump();
            ASSERT_EQ(FullScreen640x480(), DISP_CHANGE_SUCCESSFUL);
        }
        if (c.framedTopmost) {
            topmost = MakeWindow();
            SetWindowPos(topmost, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        }
        if (c.ordinary) ordinary = MakeWindow();
        if (c.ownerShown != -1) ShowWindow(ordinary, c.ownerShown);
        Pump();
        HWND keptOnTop = fullScreen != nullptr ? fullScreen : topmost;
        if (fullScreen != nullptr) {
            ASSERT_TRUE(SDL_GetWindowFlags(platform::host::WindowOf(fullScreen)) & SDL_WINDOW_FULLSCREEN);
        }
        ASSERT_EQ(platform::host::HeldOnTop(keptOnTop), keptOnTop != nullptr);

        int dialogs = 0;
        platform::host::DialogShown dialog;
        bool heldWhileUp = false;
        platform::host::CatchDialogs([&](const platform::host::DialogShown& shown) {
            ++dialogs;
            dialog = shown;
            heldWhileUp = platform::host::HeldOnTop(keptOnTop);
            return 1;
        });
        testing::internal::CaptureStderr();
        EXPECT_EQ(MessageBoxA(c.owned ? ordinary : nullptr, "Failed to load Title Sound.", nullptr,
                              MB_YESNO | MB_ICONHAND),
                  IDNO);
        testing::internal::GetCapturedStderr();
        platform::host::CatchDialogs({});

        EXPECT_EQ(dialogs, 1);
        EXPECT_EQ(dialog.text, "Failed to load Title Sound.");
        SDL_Window* expected = nullptr;
        switch (c.parent) {
            case Parent::None: break;
            case Parent::FullScreen: expected = platform::host::WindowOf(fullScreen); break;
            case Parent::Owner: expected = platform::host::WindowOf(ordinary); break;
            case Parent::Topmost: expected = platform::host::WindowOf(topmost); break;
        }
        EXPECT_EQ(dialog.parent, expected);
        EXPECT_FALSE(heldWhileUp);
        EXPECT_EQ(platform::host::HeldOnTop(keptOnTop), keptOnTop != nullptr);  // held again

        if (c.fullScreen) ChangeDisplaySettingsA(nullptr, 0);
        for (HWND window : {fullScreen, topmost, ordinary})
            if (window != nullptr) DestroyWindow(window);
        Pump();
    }
}

// A window that another program destroyed goes as if the program had
// destroyed it: its procedure hears WM_DESTROY (no WM_CLOSE: there is
// nothing left to ask), and the record and the SDL2 window are gone.
TEST_F(SdlHostTest, AWindowDestroyedFromOutsideGoesAway) {
    HWND window = MakeWindow();
    received.clear();
    ASSERT_TRUE(platform::host::ReportWindowGone(window));
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    EXPECT_EQ(Messages({WM_CLOSE, WM_DESTROY}), std::vector<UINT>{WM_DESTROY});
    RECT client{};
    EXPECT_FALSE(GetClientRect(window, &client));
    EXPECT_EQ(platform::host::WindowOf(window), nullptr);
}

}  // namespace
