// The message pump: five messages a call while active, the inactive loop
// that holds the call until the window is active again, WM_QUIT remembered,
// calls before any window exists, and pumping again from inside the window
// procedure.
#include <ostream>

#include "platform/profile/machine_profile.h"
#include "tests/support/main_window_fixture.h"

namespace windowtest {
namespace {

constexpr UINT kCounted = WM_USER + 1;
constexpr UINT kPumpsAgain = WM_USER + 2;

class PumpTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        SeenMessages.clear();
        window = StartWindowMode();
        ASSERT_NE(window, nullptr);
        ProcessWindowMessages();  // what creation left queued
        MainWindow.settings.windowProcedureHook = RecordMessage;
        SeenMessages.clear();
    }
    HWND window = nullptr;
};

TEST_F(PumpTest, AnActiveWindowGetsAtMostFiveMessagesACall) {
    for (int i = 0; i < 8; ++i) PostMessageA(window, kCounted, i, 0);
    EXPECT_EQ(ProcessWindowMessages(), 0);
    EXPECT_EQ(CountSeen(kCounted), 5);
    EXPECT_EQ(ProcessWindowMessages(), 0);
    EXPECT_EQ(CountSeen(kCounted), 8);
    EXPECT_EQ(SeenMessages.back().wParam, 7u);
    EXPECT_EQ(ProcessWindowMessages(), 0);  // an empty queue: one pass, nothing more
    EXPECT_EQ(CountSeen(kCounted), 8);
}

TEST_F(PumpTest, MessagesPostedToTheThreadArePumpedToo) {
    PostMessageA(nullptr, kCounted, 0, 0);
    MSG seen{};
    EXPECT_EQ(ProcessWindowMessages(), 0);
    EXPECT_FALSE(PeekMessageA(&seen, nullptr, kCounted, kCounted, PM_NOREMOVE));
}

TEST_F(PumpTest, AWmQuitEndsTheCallAndEveryLaterCallReturnsMinusOne) {
    PostMessageA(window, kCounted, 0, 0);
    PostQuitMessage(0);
    EXPECT_EQ(ProcessWindowMessages(), -1);
    EXPECT_EQ(IsQuitPosted(), 1);
    EXPECT_EQ(CountSeen(kCounted), 1);

    PostMessageA(window, kCounted, 1, 0);
    EXPECT_EQ(ProcessWindowMessages(), -1);
    EXPECT_EQ(ProcessWindowMessages(), -1);
    EXPECT_EQ(CountSeen(kCounted), 1);  // nothing is dispatched any more
}

TEST_F(PumpTest, CallsWithoutAWindowReturnTheQuitFlagAtOnce) {
    PostMessageA(window, kCounted, 0, 0);
    HWND kept = MainWindow.windowHandle;
    MainWindow.windowHandle = nullptr;
    EXPECT_EQ(ProcessWindowMessages(), 0);
    MainWindow.quitFlag = 1;
    EXPECT_EQ(ProcessWindowMessages(), -1);
    EXPECT_EQ(CountSeen(kCounted), 0);
    MainWindow.windowHandle = kept;
    MainWindow.quitFlag = 0;
}

TEST_F(PumpTest, ThePumpCanBeCalledAgainFromInsideTheWindowProcedure) {
    static std::vector<int> order;
    order.clear();
    MainWindow.settings.windowProcedureHook = [](HWND, UINT message, WPARAM wParam, LPARAM) -> LRESULT {
        if (message == kCounted) order.push_back(static_cast<int>(wParam));
        if (message == kPumpsAgain) {
            order.push_back(-1);
            EXPECT_EQ(ProcessWindowMessages(), 0);
            order.push_back(-2);
        }
        return 0;
    };
    PostMessageA(window, kPumpsAgain, 0, 0);
    for (int i = 0; i < 3; ++i) PostMessageA(window, kCounted, i, 0);
    EXPECT_EQ(ProcessWindowMessages(), 0);
    EXPECT_EQ(order, (std::vector<int>{-1, 0, 1, 2, -2}));
}

TEST_F(PumpTest, APumpCallDuringTheTextInputStepReturnsAtOnce) {
    PostMessageA(window, kCounted, 0, 0);
    MainWindow.pumpReentryFlag = 1;
    EXPECT_EQ(ProcessWindowMessages(), 0);
    EXPECT_EQ(CountSeen(kCounted), 0);
    MainWindow.pumpReentryFlag = 0;
    EXPECT_EQ(ProcessWindowMessages(), 0);
    EXPECT_EQ(CountSeen(kCounted), 1);
}

// A timer on the manual clock brings the window back after three ticks.
constexpr UINT_PTR kTimer = 7;
constexpr int kTicksUntilActive = 3;
std::vector<int> activeStates;

TEST_F(PumpTest, AnInactiveWindowHoldsTheCallUntilItIsActiveAgain) {
    activeStates.clear();
    SetActiveStateCallback([](int active, void*) { activeStates.push_back(active); }, nullptr);
    MainWindow.settings.windowProcedureHook = [](HWND window, UINT message, WPARAM wParam, LPARAM) -> LRESULT {
        RecordMessage(window, message, wParam, 0);
        // The timer stops with the activation: the pump's own later steps
        // (the keyboard refresh pumps once more) must not see further ticks.
        if (message == WM_TIMER && CountSeen(WM_TIMER) == kTicksUntilActive) {
            KillTimer(window, kTimer);
            SetActiveWindow(window);
        }
        return 0;
    };
    SetActiveWindow(nullptr);  // the program goes to the background
    ASSERT_EQ(IsWindowActive(), 0);
    platform::Profile().clock.advanceNanosecondsPerRead = 1000000;
    ASSERT_NE(SetTimer(window, kTimer, USER_TIMER_MINIMUM, nullptr), 0u);

    EXPECT_EQ(ProcessWindowMessages(), 0);
    EXPECT_EQ(CountSeen(WM_TIMER), kTicksUntilActive);
    EXPECT_EQ(IsWindowActive(), 1);
    KillTimer(window, kTimer);
    // WM_ACTIVATE and WM_ACTIVATEAPP each deactivate; only WM_ACTIVATE
    // activates.
    EXPECT_EQ(activeStates, (std::vector<int>{0, 0, 1}));
}

TEST_F(PumpTest, AnInactiveWindowLeavesTheCallWhenTheProgramEnds) {
    SetActiveWindow(nullptr);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(ProcessWindowMessages(), -1);
    EXPECT_EQ(IsQuitPosted(), 1);
}

struct WaitCase {
    const char* name;
    int windowMode;
    int runWhenInactive;
    bool waits;
};
// Cases print as their names, so test names are the same in every run.
inline void PrintTo(const WaitCase& c, std::ostream* out) { *out << c.name; }

class InactiveWaitTest : public MainWindowTest, public ::testing::WithParamInterface<WaitCase> {};

TEST_P(InactiveWaitTest, WaitsOnlyWhileTheWindowIsInactiveAndMayNotRunSo) {
    const WaitCase& wait = GetParam();
    if (wait.windowMode) ChangeWindowMode(1);
    ASSERT_EQ(CreateMainWindow(), 0);
    HWND window = GetMainWindowHandle();
    ProcessWindowMessages();
    MainWindow.settings.runWhenInactive = wait.runWhenInactive;
    SeenMessages.clear();
    MainWindow.settings.windowProcedureHook = [](HWND window, UINT message, WPARAM wParam, LPARAM) -> LRESULT {
        RecordMessage(window, message, wParam, 0);
        if (message == WM_TIMER && CountSeen(WM_TIMER) == 2) {
            KillTimer(window, kTimer);
            SetActiveWindow(window);
        }
        return 0;
    };
    WaitWhileInactive();  // active: returns at once
    EXPECT_EQ(CountSeen(WM_TIMER), 0);

    SetActiveWindow(nullptr);
    // A minimised full-screen window must be shown again to become active.
    ShowWindow(window, SW_SHOWNOACTIVATE);
    platform::Profile().clock.advanceNanosecondsPerRead = 1000000;
    SetTimer(window, kTimer, USER_TIMER_MINIMUM, nullptr);
    WaitWhileInactive();
    KillTimer(window, kTimer);
    if (wait.waits) {
        EXPECT_EQ(CountSeen(WM_TIMER), 2);
        EXPECT_EQ(IsWindowActive(), 1);
    } else {
        EXPECT_EQ(CountSeen(WM_TIMER), 0);
        EXPECT_EQ(IsWindowActive(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, InactiveWaitTest,
                         ::testing::Values(WaitCase{"WindowMode", 1, 0, true},
                                           WaitCase{"WindowModeRunningInactive", 1, 1, false},
                                           WaitCase{"FullScreen", 0, 0, true},
                                           WaitCase{"FullScreenRunningInactive", 0, 1, true}),
                         [](const ::testing::TestParamInfo<WaitCase>& info) { return info.param.name; });

TEST_F(MainWindowTest, WaitWhileInactiveReturnsWhenThereIsNoWindowToWaitFor) {
    ASSERT_EQ(GetMainWindowHandle(), nullptr);
    ASSERT_EQ(IsWindowActive(), 0);
    WaitWhileInactive();  // would pump for ever
    SUCCEED();
}

}  // namespace
}  // namespace windowtest
