// Per-thread message queues: order, filters, removal, WM_QUIT, sending within
// and across threads, waits on the queue together with events, and the keys
// that TranslateMessage turns into characters.
#include <gtest/gtest.h>

#include <ostream>
#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/kernel/kernel.h"
#include "platform/kernel/manual_clock.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/user.h"
#include "platform/user/window_system_events.h"
#include "tests/support/test_support.h"
#include "tests/support/thread_activity.h"

namespace {

std::mutex receivedLock;
std::vector<MSG> received;  // what the window procedures were handed; `time` holds the thread
std::atomic<HWND> partnerWindow{nullptr};

LRESULT CALLBACK RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    {
        std::lock_guard<std::mutex> guard(receivedLock);
        received.push_back(MSG{window, message, wParam, lParam, GetCurrentThreadId(), {}});
    }
    if (message == WM_USER + 50) return static_cast<LRESULT>(wParam * 2);
    // Sends on to the partner window while its own sender waits.
    if (message == WM_USER + 61) return SendMessageA(partnerWindow, WM_USER + 50, wParam, 0) + 1;
    return DefWindowProcA(window, message, wParam, lParam);
}

// The thread that handled the first message of that kind for that window.
DWORD HandledOn(HWND window, UINT message) {
    std::lock_guard<std::mutex> guard(receivedLock);
    for (const MSG& each : received)
        if (each.hwnd == window && each.message == message) return each.time;
    return 0;
}

std::vector<UINT> ReceivedMessages(UINT from, UINT to) {
    std::lock_guard<std::mutex> guard(receivedLock);
    std::vector<UINT> messages;
    for (const MSG& message : received)
        if (message.message >= from && message.message <= to) messages.push_back(message.message);
    return messages;
}

class MessageQueueTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        platform::Profile().display.host = platform::HostDisplayUse::Off;
        platform::Profile().display.classLockDirectory = folder.hostPath();
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = RecordingProcedure;
        windowClass.lpszClassName = "QueueTestWindow";
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
        std::lock_guard<std::mutex> guard(receivedLock);
        received.clear();
    }
    static HWND MakeWindow() {
        return CreateWindowExA(0, "QueueTestWindow", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                               nullptr);
    }

    testsupport::TemporaryFolder folder;
};

TEST_F(MessageQueueTest, PeekTakesTheFirstMessageThatPassesTheWindowAndRangeFilters) {
    HWND first = MakeWindow(), second = MakeWindow();
    ASSERT_TRUE(PostMessageA(first, WM_USER + 1, 11, 0));
    ASSERT_TRUE(PostMessageA(second, WM_USER + 2, 22, 0));
    ASSERT_TRUE(PostMessageA(nullptr, WM_USER + 3, 33, 0));
    ASSERT_TRUE(PostMessageA(first, WM_USER + 4, 44, 0));

    struct Case {
        HWND filter;
        UINT from, to;
        UINT expected;
    };
    const Case cases[] = {
        {second, 0, 0, WM_USER + 2},                    // that window only
        {HWND_THREAD_MESSAGES, 0, 0, WM_USER + 3},      // messages without a window only
        {nullptr, WM_USER + 4, WM_USER + 9, WM_USER + 4},  // the range skips the older ones
        {nullptr, 0, 0, WM_USER + 1},                   // no filter: the oldest
    };
    for (const Case& each : cases) {
        MSG message{};
        ASSERT_TRUE(PeekMessageA(&message, each.filter, each.from, each.to, PM_NOREMOVE));
        EXPECT_EQ(message.message, each.expected);
        MSG again{};
        ASSERT_TRUE(PeekMessageA(&again, each.filter, each.from, each.to, PM_REMOVE));  // still there
        EXPECT_EQ(again.message, each.expected);
    }
    EXPECT_FALSE(PeekMessageA(nullptr, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, QuitComesOnceEveryPostedMessageIsTakenAndEndsGetMessage) {
    HWND window = MakeWindow();
    PostMessageA(window, WM_USER + 1, 0, 0);
    PostQuitMessage(7);
    PostMessageA(window, WM_USER + 2, 0, 0);

    MSG message{};
    // A window filter never sees the quit request.
    EXPECT_FALSE(PeekMessageA(&message, window, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    EXPECT_EQ(GetMessageA(&message, nullptr, 0, 0), TRUE);
    EXPECT_EQ(message.message, WM_USER + 1u);
    EXPECT_EQ(GetMessageA(&message, nullptr, 0, 0), TRUE);
    EXPECT_EQ(message.message, WM_USER + 2u);
    EXPECT_EQ(GetMessageA(&message, nullptr, 0, 0), FALSE);
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 7u);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));  // taken once
}

TEST_F(MessageQueueTest, GetMessageRefusesAWindowFilterThatIsNoWindow) {
    MSG message{};
    EXPECT_EQ(GetMessageA(&message, reinterpret_cast<HWND>(0x1234), 0, 0), -1);
}

TEST_F(MessageQueueTest, SendingToAWindowOfAnotherThreadWaitsForThatThreadAndAnswersItsSendsMeanwhile) {
    HWND mine = MakeWindow();
    partnerWindow = mine;
    std::atomic<HWND> theirs{nullptr};
    std::atomic<DWORD> otherThread{0};
    std::thread other([&] {
        otherThread = GetCurrentThreadId();
        theirs = MakeWindow();
        MSG message{};
        while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    });
    while (theirs.load() == nullptr) std::this_thread::yield();

    // Handled on the other thread (woken from its GetMessageA), answered here.
    EXPECT_EQ(SendMessageA(theirs, WM_USER + 50, 21, 0), 42);
    EXPECT_EQ(HandledOn(theirs, WM_USER + 50), otherThread.load());

    // The other thread's procedure sends back to this thread's window while
    // this thread waits for it: this thread handles that send meanwhile.
    EXPECT_EQ(SendMessageA(theirs, WM_USER + 61, 5, 0), 11);
    EXPECT_EQ(HandledOn(mine, WM_USER + 50), GetCurrentThreadId());

    ASSERT_TRUE(PostMessageA(theirs, WM_QUIT, 0, 0));
    other.join();
}

TEST_F(MessageQueueTest, SendingToAWindowWhoseThreadEndedReturnsAtOnce) {
    std::atomic<HWND> orphan{nullptr};
    std::thread([&] { orphan = MakeWindow(); }).join();
    EXPECT_EQ(SendMessageA(orphan, WM_USER + 50, 3, 0), 0);
    EXPECT_FALSE(PostMessageA(orphan, WM_USER, 0, 0));
}

TEST_F(MessageQueueTest, DestroyingAWindowDropsWhatWasPostedToIt) {
    HWND doomed = MakeWindow(), kept = MakeWindow();
    PostMessageA(doomed, WM_USER + 1, 0, 0);
    PostMessageA(kept, WM_USER + 2, 0, 0);
    ASSERT_TRUE(DestroyWindow(doomed));
    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_USER, WM_USER + 9, PM_REMOVE));
    EXPECT_EQ(message.hwnd, kept);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_USER, WM_USER + 9, PM_REMOVE));
    const MSG stale{doomed, WM_USER + 50, 4, 0, 0, {}};
    EXPECT_EQ(DispatchMessageA(&stale), 0);  // nothing left of the window
    EXPECT_EQ(HandledOn(doomed, WM_USER + 50), 0u);
}

// Keys reported by the host, taken and translated as a pump would.
struct KeyCase {
    const char* name;
    std::vector<UINT> held;  // virtual keys held first
    UINT key;
    UINT scanCode;
    UINT expectedMessage;  // 0: no character
    WPARAM expectedCharacter;
};
// Cases print as their names, so test names are the same in every run.
inline void PrintTo(const KeyCase& c, std::ostream* out) { *out << c.name; }

class TranslateMessageTest : public MessageQueueTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(TranslateMessageTest, TypesTheControlCharacterOfTheKey) {
    const KeyCase& each = GetParam();
    HWND window = MakeWindow();
    const bool alt = std::find(each.held.begin(), each.held.end(), UINT{VK_MENU}) != each.held.end();
    const bool control = std::find(each.held.begin(), each.held.end(), UINT{VK_CONTROL}) != each.held.end();
    for (UINT held : each.held) platform::detail::events::Key(window, held, 0x1D, false, true, false, alt, control);
    platform::detail::events::Key(window, each.key, each.scanCode, false, true, false, alt, control);
    platform::detail::events::Key(window, each.key, each.scanCode, false, false, false, alt, control);

    MSG message{};
    std::vector<MSG> taken;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        taken.push_back(message);
    }
    // The held keys, the key down, maybe its character, the key up.
    const size_t downAt = each.held.size();
    ASSERT_GE(taken.size(), downAt + 2);
    EXPECT_EQ(taken[downAt].wParam, each.key);
    EXPECT_EQ((taken[downAt].lParam >> 16) & 0xFF, static_cast<LPARAM>(each.scanCode));
    if (each.expectedMessage == 0) {
        EXPECT_EQ(taken.size(), downAt + 2) << each.name;
        return;
    }
    ASSERT_EQ(taken.size(), downAt + 3) << each.name;
    EXPECT_EQ(taken[downAt + 1].message, each.expectedMessage) << each.name;
    EXPECT_EQ(taken[downAt + 1].wParam, each.expectedCharacter) << each.name;
    EXPECT_TRUE(taken[downAt + 2].message == WM_KEYUP || taken[downAt + 2].message == WM_SYSKEYUP);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TranslateMessageTest,
    ::testing::Values(KeyCase{"Enter", {}, VK_RETURN, 0x1C, WM_CHAR, 0x0D},
                      KeyCase{"Backspace", {}, VK_BACK, 0x0E, WM_CHAR, 0x08},
                      KeyCase{"Escape", {}, VK_ESCAPE, 0x01, WM_CHAR, 0x1B},
                      KeyCase{"CtrlC", {VK_CONTROL}, 'C', 0x2E, WM_CHAR, 0x03},
                      KeyCase{"CtrlV", {VK_CONTROL}, 'V', 0x2F, WM_CHAR, 0x16},
                      KeyCase{"CtrlEnter", {VK_CONTROL}, VK_RETURN, 0x1C, WM_CHAR, 0x0A},
                      KeyCase{"AltEnter", {VK_MENU}, VK_RETURN, 0x1C, WM_SYSCHAR, 0x0D},
                      KeyCase{"PlainLetter", {}, 'C', 0x2E, 0, 0},  // its text comes from the host
                      KeyCase{"Delete", {}, VK_DELETE, 0x53, 0, 0}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

TEST_F(MessageQueueTest, HostMouseMovesAskForTheCursorAndCoalesceWhileWaiting) {
    HWND window = CreateWindowExA(0, "QueueTestWindow", "", WS_POPUP, 200, 100, 320, 240, nullptr, nullptr,
                                  nullptr, nullptr);
    platform::detail::events::Mouse(window, WM_MOUSEMOVE, 10, 20, 0);
    platform::detail::events::Mouse(window, WM_MOUSEMOVE, 30, 40, MK_LBUTTON);

    POINT cursor{};
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, 230);
    EXPECT_EQ(cursor.y, 140);
    // Asked before each move was posted: hit test, then cursor for the client area.
    EXPECT_EQ(ReceivedMessages(WM_SETCURSOR, WM_NCHITTEST),
              (std::vector<UINT>{WM_NCHITTEST, WM_SETCURSOR, WM_NCHITTEST, WM_SETCURSOR}));
    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_MOUSEMOVE);
    EXPECT_EQ(message.lParam, MAKELPARAM(30, 40));
    EXPECT_EQ(message.wParam, MK_LBUTTON);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));  // one move, the latest
}

// What the queue, as one more source of a wait on an event, counts as input.
struct QueueWakeCase {
    const char* name;
    void (*arrange)(HWND window, HANDLE event);
    DWORD wakeMask;
    BOOL all;
    DWORD expected;
};

void PostOne(HWND window, HANDLE) { PostMessageA(window, WM_USER + 1, 0, 0); }
void PostOneAndLook(HWND window, HANDLE) {
    PostMessageA(window, WM_USER + 1, 0, 0);
    MSG message{};
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
}
void MakeATimerDue(HWND window, HANDLE) {
    platform::UseManualClock(true);
    SetTimer(window, 3, 50, nullptr);
    platform::AdvanceManualClockMilliseconds(50);
}
void SetTheEvent(HWND, HANDLE event) { SetEvent(event); }
void PostOneAndSetTheEvent(HWND window, HANDLE event) {
    PostOne(window, event);
    SetEvent(event);
}
void Nothing(HWND, HANDLE) {}

void PrintTo(const QueueWakeCase& c, std::ostream* os) { *os << c.name; }

class QueueWakeTest : public MessageQueueTest, public ::testing::WithParamInterface<QueueWakeCase> {};

TEST_P(QueueWakeTest, WaitWithoutTimeOut) {
    const QueueWakeCase& each = GetParam();
    HWND window = MakeWindow();
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    each.arrange(window, event);
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &event, each.all, 0, each.wakeMask), each.expected) << each.name;
    CloseHandle(event);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QueueWakeTest,
    ::testing::Values(
        QueueWakeCase{"Nothing", Nothing, QS_ALLINPUT, FALSE, WAIT_TIMEOUT},
        QueueWakeCase{"PostedSinceTheLastLook", PostOne, QS_ALLINPUT, FALSE, WAIT_OBJECT_0 + 1},
        QueueWakeCase{"PostedButLookedAtAlready", PostOneAndLook, QS_ALLINPUT, FALSE, WAIT_TIMEOUT},
        QueueWakeCase{"PostedWhileOnlySendsCount", PostOne, QS_SENDMESSAGE, FALSE, WAIT_TIMEOUT},
        QueueWakeCase{"TimerDue", MakeATimerDue, QS_TIMER, FALSE, WAIT_OBJECT_0 + 1},
        QueueWakeCase{"TimerDueWhileOnlyPostsCount", MakeATimerDue, QS_POSTMESSAGE, FALSE, WAIT_TIMEOUT},
        QueueWakeCase{"EventBeforeTheQueue", PostOneAndSetTheEvent, QS_ALLINPUT, FALSE, WAIT_OBJECT_0},
        QueueWakeCase{"AllButNothingPosted", SetTheEvent, QS_ALLINPUT, TRUE, WAIT_TIMEOUT},
        QueueWakeCase{"AllButTheEventUnset", PostOne, QS_ALLINPUT, TRUE, WAIT_TIMEOUT},
        QueueWakeCase{"AllThere", PostOneAndSetTheEvent, QS_ALLINPUT, TRUE, WAIT_OBJECT_0}),
    [](const ::testing::TestParamInfo<QueueWakeCase>& info) { return std::string(info.param.name); });

TEST_F(MessageQueueTest, WaitOnEventsAndTheQueueTakesOnlyWhatItReturns) {
    HANDLE events[2] = {CreateEventA(nullptr, FALSE, TRUE, nullptr), CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    HWND window = MakeWindow();
    PostMessageA(window, WM_USER + 1, 0, 0);
    EXPECT_EQ(MsgWaitForMultipleObjects(2, events, FALSE, 0, QS_ALLINPUT), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(events[0], 0), WAIT_TIMEOUT) << "the auto-reset event it returned was taken";

    // A failed wait for all takes nothing; a satisfied one takes every event
    // and leaves the message in the queue.
    SetEvent(events[0]);
    EXPECT_EQ(MsgWaitForMultipleObjects(2, events, TRUE, 0, QS_ALLINPUT), WAIT_TIMEOUT);
    SetEvent(events[1]);
    EXPECT_EQ(MsgWaitForMultipleObjects(2, events, TRUE, 0, QS_ALLINPUT), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForMultipleObjects(2, events, FALSE, 0), WAIT_TIMEOUT);
    MSG message{};
    EXPECT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));

    HANDLE bogus = reinterpret_cast<HANDLE>(0x4321);
    SetLastError(0);
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &bogus, FALSE, 0, QS_ALLINPUT), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    HANDLE twice[2] = {events[0], events[0]};
    EXPECT_EQ(MsgWaitForMultipleObjects(2, twice, TRUE, 0, QS_ALLINPUT), WAIT_FAILED);
    EXPECT_EQ(MsgWaitForMultipleObjects(1, nullptr, FALSE, 0, QS_ALLINPUT), WAIT_FAILED);
    for (HANDLE event : events) CloseHandle(event);
}

// Another thread waits on an event and its queue together; then one of them
// wakes it.
struct WakeCase {
    const char* name;
    enum { SetTheEvent, PostAMessage, SendAMessage } how;
    DWORD expected;
};

void PrintTo(const WakeCase& c, std::ostream* os) { *os << c.name; }

class EventOrQueueWakeTest : public MessageQueueTest, public ::testing::WithParamInterface<WakeCase> {};

TEST_P(EventOrQueueWakeTest, WakesForEitherAndSleepsUntilThen) {
    const WakeCase& each = GetParam();
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE unrelated = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HWND mine = MakeWindow();
    std::atomic<HWND> theirs{nullptr};
    std::atomic<long> hostId{0};
    std::atomic<DWORD> result{0xDEADBEEFu};
    std::thread waiter([&] {
        HWND window = MakeWindow();
        hostId = testsupport::HostThreadId();
        theirs = window;
        result = MsgWaitForMultipleObjects(1, &event, FALSE, 20000, QS_ALLINPUT);
        MSG message{};
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    });
    ASSERT_TRUE(testsupport::WaitUntil([&] { return theirs.load() != nullptr; }));
    ASSERT_TRUE(testsupport::WaitUntilHostThreadSleeps(hostId));

    // Events and queues that are not its own do not wake it, nor does time.
    const uint64_t switchesBefore = testsupport::HostThreadSwitches(hostId);
    for (int round = 0; round < 40; ++round) {
        SetEvent(unrelated);
        PostMessageA(mine, WM_USER + 2, 0, 0);
        Sleep(2);  // long enough for a waiter that polls to look a few times
    }
    EXPECT_LT(testsupport::HostThreadSwitches(hostId) - switchesBefore, 6u) << each.name;

    switch (each.how) {
        case WakeCase::SetTheEvent: SetEvent(event); break;
        case WakeCase::PostAMessage: PostMessageA(theirs, WM_USER + 1, 0, 0); break;
        case WakeCase::SendAMessage: EXPECT_EQ(SendMessageA(theirs, WM_USER + 50, 21, 0), 42); break;
    }
    waiter.join();
    EXPECT_EQ(result.load(), each.expected) << each.name;
    CloseHandle(event);
    CloseHandle(unrelated);
}

INSTANTIATE_TEST_SUITE_P(Sources, EventOrQueueWakeTest,
                         ::testing::Values(WakeCase{"EventSet", WakeCase::SetTheEvent, WAIT_OBJECT_0},
                                           WakeCase{"MessagePosted", WakeCase::PostAMessage, WAIT_OBJECT_0 + 1},
                                           WakeCase{"MessageSent", WakeCase::SendAMessage, WAIT_OBJECT_0 + 1}),
                         [](const ::testing::TestParamInfo<WakeCase>& info) { return std::string(info.param.name); });

}  // namespace
