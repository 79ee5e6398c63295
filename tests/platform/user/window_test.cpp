// Window classes and windows: registration, creation and destruction, the
// close road, geometry and styles, showing, activation and WM_PAINT.
#include <ostream>
#include <gtest/gtest.h>

#include <vector>

#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/user.h"
#include "platform/user/window_system_events.h"
#include "tests/support/test_support.h"

namespace {

std::vector<MSG> received;  // what the window procedure was handed, in order
CREATESTRUCTA lastCreation{};

// Records, then behaves as a program's procedure: the end of the window ends
// the program.
LRESULT CALLBACK RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    received.push_back(MSG{window, message, wParam, lParam, 0, {}});
    if (message == WM_CREATE) lastCreation = *reinterpret_cast<CREATESTRUCTA*>(lParam);
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK RefusingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    received.push_back(MSG{window, message, wParam, lParam, 0, {}});
    return message == WM_CREATE ? -1 : DefWindowProcA(window, message, wParam, lParam);
}

// The window-mode styles of the framework's first style row.
constexpr DWORD kWindowStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE;

class WindowTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        platform::Profile().display.host = platform::HostDisplayUse::Off;
        platform::Profile().display.desktopWidth = 1280;
        platform::Profile().display.desktopHeight = 1024;
        platform::Profile().display.classLockDirectory = folder.hostPath();
        ASSERT_NE(Register("TestWindow", RecordingProcedure), 0);
        received.clear();
    }
    static ATOM Register(const char* name, WNDPROC procedure, UINT size = sizeof(WNDCLASSEXA)) {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = size;
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = procedure;
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.lpszClassName = name;
        return RegisterClassExA(&windowClass);
    }
    // A window-mode window whose client area is 640 by 480 at (100, 200).
    static HWND MakeWindow(DWORD style = kWindowStyle) {
        RECT rect{0, 0, 640, 480};
        AdjustWindowRectEx(&rect, style, FALSE, kWindowExStyle);
        return CreateWindowExA(kWindowExStyle, "TestWindow", "Title", style, 100 + rect.left, 200 + rect.top,
                               rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, nullptr, nullptr);
    }
    static std::vector<UINT> Messages() {
        std::vector<UINT> messages;
        for (const MSG& message : received) messages.push_back(message.message);
        return messages;
    }
    static const MSG* Find(UINT message) {
        for (const MSG& each : received)
            if (each.message == message) return &each;
        return nullptr;
    }

    testsupport::TemporaryFolder folder;
};

struct FrameCase {
    const char* name;
    DWORD style;
    DWORD exStyle;
    BOOL menu;
    RECT expected;  // AdjustWindowRectEx of (0, 0, 640, 480)
};
// Cases print as their names, so test names are the same in every run.
inline void PrintTo(const FrameCase& c, std::ostream* out) { *out << c.name; }

class AdjustWindowRectTest : public WindowTest, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(AdjustWindowRectTest, AddsTheFrameCaptionAndMenuOfTheStyles) {
    const FrameCase& each = GetParam();
    RECT rect{0, 0, 640, 480};
    ASSERT_TRUE(AdjustWindowRectEx(&rect, each.style, each.menu, each.exStyle));
    EXPECT_EQ(rect.left, each.expected.left);
    EXPECT_EQ(rect.top, each.expected.top);
    EXPECT_EQ(rect.right, each.expected.right);
    EXPECT_EQ(rect.bottom, each.expected.bottom);
}

// The framework's style rows, with the classic frame sizes of the profile:
// caption 19, tool caption 15, menu 19, fixed frame 3, sizing frame 4, edge 2.
INSTANTIATE_TEST_SUITE_P(
    StyleRows, AdjustWindowRectTest,
    ::testing::Values(FrameCase{"CaptionWithEdges", 0x80CA0000, 0x300, FALSE, {-5, -24, 645, 485}},
                      FrameCase{"PopupWithEdges", 0x80080000, 0x300, FALSE, {-2, -2, 642, 482}},
                      FrameCase{"BarePopup", 0x80080000, 0, FALSE, {0, 0, 640, 480}},
                      FrameCase{"ToolWindow", 0x80CA0000, 0x80, FALSE, {-3, -18, 643, 483}},
                      FrameCase{"CaptionWindowEdge", 0x80C80000, 0x100, FALSE, {-3, -22, 643, 483}},
                      FrameCase{"Sizable", 0x80CA0000 | WS_THICKFRAME, 0x300, FALSE, {-6, -25, 646, 486}},
                      FrameCase{"WithMenu", 0x80CA0000, 0x300, TRUE, {-5, -43, 645, 485}},
                      FrameCase{"FullScreen", 0x80000000, 0x8, FALSE, {0, 0, 640, 480}},
                      FrameCase{"NoStyle", 0, 0, FALSE, {0, 0, 640, 480}}),
    [](const ::testing::TestParamInfo<FrameCase>& info) { return std::string(info.param.name); });

TEST_F(WindowTest, FrameSizesComeFromTheProfile) {
    platform::Profile().display.frame.caption = 26;
    RECT rect{0, 0, 640, 480};
    AdjustWindowRectEx(&rect, kWindowStyle, FALSE, kWindowExStyle);
    EXPECT_EQ(rect.top, -31);
    EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 26);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
}

TEST_F(WindowTest, ClassesAreRegisteredOnceWhateverTheCaseAndOnlyWithAKnownRecordSize) {
    EXPECT_NE(Register("Legacy", RecordingProcedure, 48), 0);  // the 32-bit record size
    EXPECT_EQ(Register("Odd", RecordingProcedure, 47), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Register("TESTWINDOW", RecordingProcedure), 0);
    EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);

    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);

    HWND window = CreateWindowExA(0, "testwindow", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(UnregisterClassA("TestWindow", nullptr));
    EXPECT_EQ(GetLastError(), ERROR_CLASS_HAS_WINDOWS);
    DestroyWindow(window);
    EXPECT_TRUE(UnregisterClassA("TestWindow", nullptr));
    EXPECT_NE(Register("TestWindow", RecordingProcedure), 0);  // a restart registers it again
}

TEST_F(WindowTest, CreationSendsCreateWithTheCreationRecordAndMinusOneRefusesIt) {
    HWND window = MakeWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(Messages(), std::vector<UINT>{WM_CREATE});  // nothing more until it is shown
    EXPECT_EQ(lastCreation.style, static_cast<LONG>(kWindowStyle));
    EXPECT_EQ(lastCreation.dwExStyle, kWindowExStyle);
    EXPECT_STREQ(lastCreation.lpszName, "Title");
    EXPECT_EQ(lastCreation.cx, 650);

    ASSERT_NE(Register("Refusing", RefusingProcedure), 0);
    received.clear();
    EXPECT_EQ(CreateWindowExA(0, "Refusing", "", WS_POPUP | WS_VISIBLE, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                              nullptr),
              nullptr);
    EXPECT_EQ(Messages(), (std::vector<UINT>{WM_CREATE, WM_DESTROY}));
    EXPECT_EQ(FindWindowA("Refusing", nullptr), nullptr);
}

TEST_F(WindowTest, ClientAreaAndWindowRectangleFollowTheStyles) {
    HWND window = MakeWindow();
    RECT client{}, outer{};
    ASSERT_TRUE(GetClientRect(window, &client));
    ASSERT_TRUE(GetWindowRect(window, &outer));
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    EXPECT_EQ(outer.left, 95);
    EXPECT_EQ(outer.top, 176);
    POINT corner{0, 0};
    ASSERT_TRUE(ClientToScreen(window, &corner));
    EXPECT_EQ(corner.x, 100);
    EXPECT_EQ(corner.y, 200);

    // The full-screen style has no frame: the same window rectangle is all client.
    EXPECT_EQ(SetWindowLongA(window, GWL_STYLE, WS_POPUP), static_cast<LONG>(kWindowStyle));
    SetWindowLongA(window, GWL_EXSTYLE, WS_EX_TOPMOST);
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 650);
    EXPECT_EQ(client.bottom, 509);

    // A window procedure does not fit in 32 bits here.
    EXPECT_EQ(GetWindowLongA(window, GWL_WNDPROC), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(RecordingProcedure));
}

TEST_F(WindowTest, FirstShowActivatesThenTellsSizeAndPosition) {
    HWND window = MakeWindow();
    received.clear();
    EXPECT_FALSE(ShowWindow(window, SW_SHOW));  // was hidden
    EXPECT_EQ(Messages(), (std::vector<UINT>{WM_ACTIVATEAPP, WM_ACTIVATE, WM_SETFOCUS, WM_SIZE, WM_MOVE}));
    EXPECT_EQ(Find(WM_ACTIVATEAPP)->wParam, TRUE);
    EXPECT_EQ(Find(WM_ACTIVATE)->wParam, MAKEWPARAM(WA_ACTIVE, 0));
    EXPECT_EQ(Find(WM_SIZE)->wParam, SIZE_RESTORED);
    EXPECT_EQ(Find(WM_SIZE)->lParam, MAKELPARAM(640, 480));
    EXPECT_EQ(Find(WM_MOVE)->lParam, MAKELPARAM(100, 200));
    EXPECT_EQ(GetForegroundWindow(), window);
    EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE);

    // Showing made the client area wait for WM_PAINT; UpdateWindow sends it
    // at once and the default handling validates it.
    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, window, WM_PAINT, WM_PAINT, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&message, window, WM_PAINT, WM_PAINT, PM_REMOVE));  // until validated
    received.clear();
    EXPECT_TRUE(UpdateWindow(window));
    EXPECT_EQ(Messages(), std::vector<UINT>{WM_PAINT});
    EXPECT_FALSE(PeekMessageA(&message, window, WM_PAINT, WM_PAINT, PM_REMOVE));
    EXPECT_TRUE(ShowWindow(window, SW_SHOW));  // already visible and active: nothing more
}

TEST_F(WindowTest, PaintComesAfterPostedMessages) {
    HWND window = MakeWindow();
    ShowWindow(window, SW_SHOW);
    PostMessageA(window, WM_USER, 0, 0);
    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_USER);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_PAINT);
}

TEST_F(WindowTest, MovingAndResizingTellOnlyWhatChanged) {
    HWND window = MakeWindow();
    ShowWindow(window, SW_SHOW);
    RECT outer{};
    GetWindowRect(window, &outer);
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    received.clear();

    EXPECT_TRUE(MoveWindow(window, outer.left, outer.top, width, height, TRUE));
    EXPECT_TRUE(Messages().empty());

    MoveWindow(window, 10, 20, width, height, TRUE);
    EXPECT_EQ(Messages(), std::vector<UINT>{WM_MOVE});
    EXPECT_EQ(received[0].lParam, MAKELPARAM(15, 44));
    EXPECT_FALSE(PeekMessageA(&message, window, WM_PAINT, WM_PAINT, PM_NOREMOVE));

    received.clear();
    SetWindowPos(window, nullptr, 0, 0, 330, 270, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW);
    EXPECT_EQ(Messages(), std::vector<UINT>{WM_SIZE});
    EXPECT_EQ(received[0].lParam, MAKELPARAM(320, 241));
    EXPECT_FALSE(PeekMessageA(&message, window, WM_PAINT, WM_PAINT, PM_NOREMOVE));  // no redraw asked
    SetWindowPos(window, nullptr, 0, 0, 331, 270, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(PeekMessageA(&message, window, WM_PAINT, WM_PAINT, PM_NOREMOVE));

    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(WindowTest, MinimisingDeactivatesAndRestoringBringsTheWindowBackWhereItWas) {
    HWND window = MakeWindow();
    ShowWindow(window, SW_SHOW);
    RECT before{};
    GetWindowRect(window, &before);
    received.clear();

    ShowWindow(window, SW_MINIMIZE);
    EXPECT_EQ(Messages(), (std::vector<UINT>{WM_ACTIVATE, WM_ACTIVATEAPP, WM_KILLFOCUS, WM_SIZE, WM_MOVE}));
    EXPECT_EQ(Find(WM_ACTIVATE)->wParam, MAKEWPARAM(WA_INACTIVE, 1));
    EXPECT_EQ(Find(WM_ACTIVATEAPP)->wParam, FALSE);
    EXPECT_EQ(Find(WM_SIZE)->wParam, SIZE_MINIMIZED);
    EXPECT_EQ(Find(WM_SIZE)->lParam, 0);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 0);

    MoveWindow(window, 0, 0, 50, 50, TRUE);  // moves the icon only
    received.clear();
    ShowWindow(window, SW_RESTORE);
    EXPECT_EQ(Messages(), (std::vector<UINT>{WM_ACTIVATEAPP, WM_ACTIVATE, WM_SETFOCUS, WM_SIZE, WM_MOVE}));
    EXPECT_EQ(Find(WM_SIZE)->wParam, SIZE_RESTORED);
    EXPECT_EQ(Find(WM_SIZE)->lParam, MAKELPARAM(640, 480));
    RECT after{};
    GetWindowRect(window, &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
}

TEST_F(WindowTest, HostFocusChangesActivateAndDeactivateTheProgram) {
    HWND window = MakeWindow();
    ShowWindow(window, SW_SHOW);
    received.clear();
    platform::detail::events::FocusChanged(window, false);
    EXPECT_EQ(Messages(), (std::vector<UINT>{WM_ACTIVATE, WM_ACTIVATEAPP, WM_KILLFOCUS}));
    EXPECT_EQ(Find(WM_ACTIVATE)->wParam, MAKEWPARAM(WA_INACTIVE, 0));
    received.clear();
    platform::detail::events::FocusChanged(window, true);
    EXPECT_EQ(Messages(), (std::vector<UINT>{WM_ACTIVATEAPP, WM_ACTIVATE, WM_SETFOCUS}));
    EXPECT_EQ(Find(WM_ACTIVATEAPP)->wParam, TRUE);
    EXPECT_EQ(GetForegroundWindow(), window);
}

TEST_F(WindowTest, ActivationMovingBetweenWindowsOfOneThreadLeavesTheProgramActive) {
    HWND first = MakeWindow(), second = MakeWindow();
    ShowWindow(first, SW_SHOW);
    received.clear();
    ShowWindow(second, SW_SHOW);
    ASSERT_GE(received.size(), 2u);
    EXPECT_EQ(received[0].hwnd, first);
    EXPECT_EQ(received[0].message, WM_ACTIVATE);
    EXPECT_EQ(received[0].wParam, MAKEWPARAM(WA_INACTIVE, 0));
    EXPECT_EQ(received[0].lParam, reinterpret_cast<LPARAM>(second));
    EXPECT_EQ(Find(WM_ACTIVATEAPP), nullptr);
    EXPECT_EQ(GetForegroundWindow(), second);
    EXPECT_EQ(SetActiveWindow(first), second);
    EXPECT_EQ(GetForegroundWindow(), first);
}

TEST_F(WindowTest, TheCloseButtonEndsTheWindowAndThenTheMessageLoop) {
    HWND window = MakeWindow();
    ShowWindow(window, SW_SHOW);
    received.clear();
    platform::detail::events::CloseRequested(window);
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    EXPECT_EQ(message.message, WM_QUIT);

    std::vector<UINT> closing;
    for (UINT each : Messages())
        if (each == WM_SYSCOMMAND || each == WM_CLOSE || each == WM_ACTIVATE || each == WM_DESTROY)
            closing.push_back(each);
    EXPECT_EQ(closing, (std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_ACTIVATE, WM_DESTROY}));
    EXPECT_EQ(Find(WM_SYSCOMMAND)->wParam, SC_CLOSE);
    RECT gone{};
    EXPECT_FALSE(GetWindowRect(window, &gone));
    EXPECT_EQ(GetForegroundWindow(), nullptr);
}

TEST_F(WindowTest, HostResizeProposesTheRectangleWhichTheProcedureMayChange) {
    HWND window = MakeWindow(kWindowStyle | WS_THICKFRAME);
    ShowWindow(window, SW_SHOW);
    SetWindowLongPtrA(window, GWLP_WNDPROC,
                      reinterpret_cast<LONG_PTR>(+[](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
                          if (message == WM_SIZING) {
                              auto* rect = reinterpret_cast<RECT*>(lParam);
                              EXPECT_EQ(wParam, static_cast<WPARAM>(WMSZ_BOTTOMRIGHT));
                              rect->bottom = rect->top + 300;  // keeps its own height
                          }
                          return RecordingProcedure(hwnd, message, wParam, lParam);
                      }));
    received.clear();
    platform::detail::events::ClientResized(window, 800, 600);
    EXPECT_EQ(Messages(), (std::vector<UINT>{WM_SIZING, WM_SIZE}));
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 300 - 25 - 6);
}

}  // namespace
