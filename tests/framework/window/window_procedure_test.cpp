// The window procedure: the close sequence (the user's close box and the
// framework's own end), refused system commands, typed characters, activation
// changes and the active-state callback, display changes and the hit test.
#include <ostream>

#include "platform/user/window_system_events.h"
#include "tests/support/main_window_fixture.h"

namespace windowtest {
namespace {

bool Exists(HWND window) {
    RECT rect;
    return GetWindowRect(window, &rect) != FALSE;
}

class WindowProcedureTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        SeenMessages.clear();
        window = StartWindowMode();
        ASSERT_NE(window, nullptr);
        ProcessWindowMessages();
    }
    static std::string TakeTypedBytes() {
        std::string bytes;
        char character[2];
        while (int length = GetInputChar(character, 1)) bytes.append(character, length);
        return bytes;
    }
    HWND window = nullptr;
};

TEST_F(WindowProcedureTest, TheCloseBoxClosesAndDestroysTheWindowAndThePumpReportsTheEnd) {
    const size_t mark = LogText().size();
    platform::detail::events::CloseRequested(window);
    EXPECT_EQ(ProcessWindowMessages(), -1);
    EXPECT_EQ(LinesSince(mark),
              "ウインドウを閉じようとしています\r\n"
              "ウインドウが破棄されようとしています\r\n"
              "ソフトを終了する準備が整いました\r\n");
    EXPECT_EQ(IsQuitPosted(), 1);
    EXPECT_EQ(MainWindow.windowDestroyed, 1);
    EXPECT_EQ(MainWindow.closeState, 4);
    EXPECT_EQ(ProcessWindowMessages(), -1);
}

TEST_F(WindowProcedureTest, TheFrameworksOwnEndClosesTheWindowThroughItsWmClose) {
    MainWindow.closeState = 1;  // as shutdown sets it
    MainWindow.settings.keepWindowOnClose = 1;  // the end destroys the window all the same
    const size_t mark = LogText().size();
    EXPECT_EQ(DestroyMainWindow(), 0);
    EXPECT_EQ(LinesSince(mark),
              "ウインドウを閉じようとしています\r\n"
              "ウインドウが破棄されようとしています\r\n"
              "ソフトを終了する準備が整いました\r\n");
    EXPECT_EQ(GetMainWindowHandle(), nullptr);
    EXPECT_EQ(IsCloseRequested(), 1);
    EXPECT_EQ(IsQuitPosted(), 1);
    EXPECT_FALSE(Exists(window));
    // The class went with it: it can be registered again.
    WNDCLASSEXA again{};
    again.cbSize = sizeof(again);
    again.lpfnWndProc = DefWindowProcA;
    again.lpszClassName = MainWindow.settings.className;
    EXPECT_NE(RegisterClassExA(&again), 0);
    // Without a window there is nothing more to do.
    EXPECT_EQ(DestroyMainWindow(), 0);
}

TEST_F(WindowProcedureTest, KeepWindowOnCloseKeepsItUntilTheFrameworkEnds) {
    MainWindow.settings.keepWindowOnClose = 1;
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Exists(window));
    EXPECT_EQ(MainWindow.closeState, 4);
    EXPECT_EQ(IsQuitPosted(), 0);
}

TEST_F(WindowProcedureTest, ScreenSaverAndMonitorPowerCommandsAreRefused) {
    EXPECT_EQ(SendMessageA(window, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 1);
    EXPECT_EQ(SendMessageA(window, WM_SYSCOMMAND, SC_MONITORPOWER, 2), 1);
    EXPECT_EQ(SendMessageA(window, WM_SYSCOMMAND, SC_KEYMENU, 0), 0);  // no system-key lock: the default
    EXPECT_TRUE(Exists(window));
}

struct TypedCase {
    UINT message;
    WPARAM wParam;
    std::string bytes;  // what reaches the character buffer
};

TEST_F(WindowProcedureTest, TypedCharactersAndEditingKeysReachTheCharacterBuffer) {
    const TypedCase cases[] = {
        {WM_CHAR, 0x0A, "\x0D"},  // Ctrl+Enter's line feed becomes a carriage return
        {WM_CHAR, 0x0D, "\x0D"},
        {WM_CHAR, 'A', "A"},
        {WM_CHAR, 0x20, " "},
        {WM_CHAR, 0x08, "\x08"},
        {WM_CHAR, 0x1B, "\x1B"},
        {WM_CHAR, 0x16, "\x16"},  // Ctrl+V
        {WM_CHAR, 0x02, ""},      // other control characters are dropped
        {WM_CHAR, 0x1F, ""},
        {WM_KEYDOWN, VK_LEFT, "\x1D"},
        {WM_KEYDOWN, VK_DELETE, "\x10"},
        {WM_KEYDOWN, VK_NEXT, "\x15"},
        {WM_KEYDOWN, 'A', ""},  // not an editing key
    };
    for (const TypedCase& typed : cases) {
        SendMessageA(window, typed.message, typed.wParam, 0);
        EXPECT_EQ(TakeTypedBytes(), typed.bytes) << typed.message << " " << typed.wParam;
    }
    // A two-byte character typed byte by byte arrives whole.
    SendMessageA(window, WM_CHAR, 0x82, 0);
    SendMessageA(window, WM_CHAR, 0xA0, 0);
    EXPECT_EQ(TakeTypedBytes(), "あ");

    // A full buffer takes nothing more.
    for (int i = 0; i < InputCharBufferSlots - 1; ++i) SendMessageA(window, WM_CHAR, 'x', 0);
    EXPECT_EQ(IsInputCharBufferFull(), 1);
    SendMessageA(window, WM_CHAR, 'y', 0);
    SendMessageA(window, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(TakeTypedBytes(), std::string(InputCharBufferSlots - 1, 'x'));
}

std::vector<std::pair<int, int>> callbacks;  // (argument, cursor still clipped)

void RecordActiveState(int active, void* argument) {
    EXPECT_EQ(argument, &callbacks);
    EXPECT_EQ(IsWindowActive(), active);
    callbacks.push_back({active, MainWindow.cursorClipped});
}

TEST_F(WindowProcedureTest, ActivationChangesReachTheActiveStateCallbackLast) {
    callbacks.clear();
    MainWindow.settings.clipCursor = 1;
    MainWindow.cursorClipped = 1;
    SetActiveStateCallback(RecordActiveState, &callbacks);

    SendMessageA(window, WM_ACTIVATEAPP, TRUE, 0);  // nothing
    EXPECT_TRUE(callbacks.empty());
    SendMessageA(window, WM_ACTIVATE, WA_INACTIVE, 0);
    SendMessageA(window, WM_ACTIVATE, WA_CLICKACTIVE, 0);
    SendMessageA(window, WM_ACTIVATEAPP, FALSE, 0);  // deactivates as WM_ACTIVATE would
    // The cursor is released before the callback runs.
    EXPECT_EQ(callbacks, (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}, {0, 0}}));

    // While the window is being made only the flag follows.
    MainWindow.creatingFlag = 1;
    SendMessageA(window, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(IsWindowActive(), 1);
    EXPECT_EQ(callbacks.size(), 3u);
    MainWindow.creatingFlag = 0;

    SetActiveStateCallback(nullptr, nullptr);
    SendMessageA(window, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(callbacks.size(), 3u);
    EXPECT_EQ(IsWindowActive(), 0);
}

struct DisplayCase {
    const char* name;
    int windowMode;
    WPARAM bits;
    int width, height;
    bool fatal;
};
// Cases print as their names, so test names are the same in every run.
inline void PrintTo(const DisplayCase& c, std::ostream* out) { *out << c.name; }

class DisplayChangeTest : public MainWindowTest, public ::testing::WithParamInterface<DisplayCase> {};

TEST_P(DisplayChangeTest, OnlyAModeTheScreenCannotLiveWithClosesTheProgram) {
    const DisplayCase& change = GetParam();
    if (change.windowMode) ChangeWindowMode(1);
    ASSERT_EQ(CreateMainWindow(), 0);
    HWND window = GetMainWindowHandle();
    ProcessWindowMessages();
    const size_t mark = LogText().size();
    SeenMessages.clear();
    MainWindow.settings.windowProcedureHook = RecordMessage;

    const LPARAM size = MAKELPARAM(change.width, change.height);
    SendMessageA(window, WM_DISPLAYCHANGE, change.bits, size);
    SendMessageA(window, WM_DISPLAYCHANGE, change.bits, size);  // the second posts no second close
    if (change.fatal) {
        EXPECT_EQ(LinesSince(mark),
                  "復元関数が登録されていないためか画面が２４ビットカラーに変更されたため終了します\r\n"
                  "またはスクリーンが小さすぎるためか色ビット数の違いが大きいためか終了します\r\n"
                  "復元関数が登録されていないためか画面が２４ビットカラーに変更されたため終了します\r\n"
                  "またはスクリーンが小さすぎるためか色ビット数の違いが大きいためか終了します\r\n");
        EXPECT_EQ(MainWindow.DisplayChangeSeen, 0);
        EXPECT_EQ(IsCloseRequested(), 1);
        EXPECT_EQ(ProcessWindowMessages(), -1);
        EXPECT_EQ(CountSeen(WM_CLOSE), 1);
    } else {
        EXPECT_EQ(LinesSince(mark), "");
        EXPECT_EQ(MainWindow.DisplayChangeSeen, 1);
        EXPECT_EQ(IsCloseRequested(), 0);
        EXPECT_EQ(ProcessWindowMessages(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, DisplayChangeTest,
    ::testing::Values(DisplayCase{"SameModeAsTheScreen", 1, 16, 640, 480, false},
                      DisplayCase{"FullScreenAnyMode", 0, 24, 320, 200, false},
                      DisplayCase{"TwentyFourBits", 1, 24, 1024, 768, true},
                      // Without a graphics-restore routine any other mode is fatal.
                      DisplayCase{"LargerDesktop", 1, 32, 1920, 1080, true},
                      DisplayCase{"SmallerDesktop", 1, 16, 600, 480, true}),
    [](const ::testing::TestParamInfo<DisplayCase>& info) { return info.param.name; });

TEST_F(MainWindowTest, WithoutTheDirect3DPathTheTopRowsAreNoMenuArea) {
    ASSERT_EQ(CreateMainWindow(), 0);  // full screen
    HWND window = GetMainWindowHandle();
    // The menu area answers only on the Direct3D path; here the client area
    // answers as it would without the framework.
    EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(100, 3)), HTCLIENT);
    EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(100, 3)),
              DefWindowProcA(window, WM_NCHITTEST, 0, MAKELPARAM(100, 3)));
}

TEST_F(WindowProcedureTest, MovingTheWindowMovesTheClientRectangle) {
    SendMessageA(window, WM_MOVE, 0, MAKELPARAM(-8, 20));
    EXPECT_EQ(MainWindow.ClientScreenRect.left, -8);
    EXPECT_EQ(MainWindow.ClientScreenRect.top, 20);
    EXPECT_EQ(MainWindow.ClientScreenRect.right, -8 + 640);
    EXPECT_EQ(MainWindow.ClientScreenRect.bottom, 20 + 480);
}

TEST_F(WindowProcedureTest, DraggingAnEdgeKeepsTheScreensAspectRatioAndSetsTheScaleRates) {
    RECT outer{}, client{};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    const int frameWidth = (outer.right - outer.left) - client.right;
    const int frameHeight = (outer.bottom - outer.top) - client.bottom;

    RECT proposed{100, 100, 100 + 960 + frameWidth, 100 + 123 + frameHeight};
    SendMessageA(window, WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&proposed));
    EXPECT_EQ(proposed.bottom - proposed.top - frameHeight, 720);
    EXPECT_DOUBLE_EQ(MainWindow.settings.WindowScaleRateX, 1.5);
    EXPECT_DOUBLE_EQ(MainWindow.settings.WindowScaleRateY, 1.5);

    proposed = RECT{100, 100, 100 + 5 + frameWidth, 100 + 240 + frameHeight};
    SendMessageA(window, WM_SIZING, WMSZ_BOTTOM, reinterpret_cast<LPARAM>(&proposed));
    EXPECT_EQ(proposed.right - proposed.left - frameWidth, 320);
    EXPECT_DOUBLE_EQ(MainWindow.settings.WindowScaleRateX, 0.5);
}

}  // namespace
}  // namespace windowtest
