// Timers on the manual clock: when WM_TIMER comes, how removal restarts the
// period, thread timers with procedures, and waiting for a timer.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/kernel/kernel.h"
#include "platform/kernel/manual_clock.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/user.h"
#include "tests/support/test_support.h"

namespace {

std::atomic<int> procedureCalls{0};
std::atomic<UINT_PTR> procedureTimer{0};

void CALLBACK CountingTimerProcedure(HWND window, UINT message, UINT_PTR timerId, DWORD time) {
    ++procedureCalls;
    procedureTimer = timerId;
}

void CALLBACK OtherTimerProcedure(HWND window, UINT message, UINT_PTR timerId, DWORD time) { procedureCalls += 100; }

class TimerTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        platform::Profile().display.host = platform::HostDisplayUse::Off;
        platform::Profile().display.classLockDirectory = folder.hostPath();
        platform::UseManualClock(true);
        procedureCalls = 0;
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "TimerTestWindow";
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
        window = CreateWindowExA(0, "TimerTestWindow", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                 nullptr);
    }
    bool TimerWaiting(UINT remove, MSG& message) {
        return PeekMessageA(&message, nullptr, WM_TIMER, WM_TIMER, remove) != FALSE;
    }

    testsupport::TemporaryFolder folder;
    HWND window = nullptr;
};

TEST_F(TimerTest, WindowTimerComesWhenDueStaysUntilTakenAndComesAgainAfterItsPeriod) {
    ASSERT_EQ(SetTimer(window, 5, 100, nullptr), 5u);
    MSG message{};
    platform::AdvanceManualClockMilliseconds(99);
    EXPECT_FALSE(TimerWaiting(PM_NOREMOVE, message));
    platform::AdvanceManualClockMilliseconds(1);
    ASSERT_TRUE(TimerWaiting(PM_NOREMOVE, message));
    EXPECT_EQ(message.hwnd, window);
    EXPECT_EQ(message.wParam, 5u);
    ASSERT_TRUE(TimerWaiting(PM_REMOVE, message));  // still there after a look
    EXPECT_FALSE(TimerWaiting(PM_NOREMOVE, message));

    platform::AdvanceManualClockMilliseconds(99);
    EXPECT_FALSE(TimerWaiting(PM_NOREMOVE, message));
    platform::AdvanceManualClockMilliseconds(1);
    EXPECT_TRUE(TimerWaiting(PM_NOREMOVE, message));

    // Setting it again restarts it; killing it ends it.
    ASSERT_EQ(SetTimer(window, 5, 300, nullptr), 5u);
    platform::AdvanceManualClockMilliseconds(299);
    EXPECT_FALSE(TimerWaiting(PM_NOREMOVE, message));
    EXPECT_TRUE(KillTimer(window, 5));
    platform::AdvanceManualClockMilliseconds(1000);
    EXPECT_FALSE(TimerWaiting(PM_NOREMOVE, message));
    EXPECT_FALSE(KillTimer(window, 5));
}

TEST_F(TimerTest, ThreadTimerGetsAnIdOfItsOwnAndOnlyItsOwnProcedureIsCalled) {
    const UINT_PTR id = SetTimer(nullptr, 77, 0, CountingTimerProcedure);  // a period of 0 becomes the minimum
    ASSERT_NE(id, 0u);
    MSG message{};
    platform::AdvanceManualClockMilliseconds(USER_TIMER_MINIMUM - 1);
    EXPECT_FALSE(TimerWaiting(PM_NOREMOVE, message));
    platform::AdvanceManualClockMilliseconds(1);
    ASSERT_TRUE(TimerWaiting(PM_REMOVE, message));
    EXPECT_EQ(message.hwnd, nullptr);
    EXPECT_EQ(message.wParam, id);

    // A WM_TIMER whose procedure is not the timer's own is not called.
    MSG forged = message;
    forged.lParam = reinterpret_cast<LPARAM>(OtherTimerProcedure);
    DispatchMessageA(&forged);
    EXPECT_EQ(procedureCalls.load(), 0);

    DispatchMessageA(&message);
    EXPECT_EQ(procedureCalls.load(), 1);
    EXPECT_EQ(procedureTimer.load(), id);
    EXPECT_TRUE(KillTimer(nullptr, id));
}

TEST_F(TimerTest, GetMessageWaitsUntilATimerIsDue) {
    ASSERT_EQ(SetTimer(window, 9, 50, nullptr), 9u);
    std::thread clock([] {
        Sleep(20);
        platform::AdvanceManualClockMilliseconds(50);
    });
    MSG message{};
    ASSERT_EQ(GetMessageA(&message, nullptr, 0, 0), TRUE);
    clock.join();
    EXPECT_EQ(message.message, WM_TIMER);
    EXPECT_EQ(message.wParam, 9u);
}

TEST_F(TimerTest, TimersOfAWindowBelongToItsThreadAndEndWithIt) {
    std::thread([&] { EXPECT_EQ(SetTimer(window, 1, 100, nullptr), 0u); }).join();
    ASSERT_EQ(SetTimer(window, 1, 100, nullptr), 1u);
    ASSERT_TRUE(DestroyWindow(window));
    platform::AdvanceManualClockMilliseconds(100);
    MSG message{};
    EXPECT_FALSE(TimerWaiting(PM_NOREMOVE, message));
}

}  // namespace
