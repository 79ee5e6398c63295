// Per-thread message queues: order, filters, removal, WM_QUIT, sending within
// and across threads, and the keys that TranslateMessage turns into characters.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/kernel/kernel.h"
#include "platform/user/user.h"
#include "platform/user/user_profile.h"
#include "platform/user/window_system_events.h"
#include "tests/support/test_support.h"

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
        platform::ResetUserProfile();
        platform::User().host = platform::HostDisplayUse::Off;
        platform::User().classLockDirectory = folder.hostPath();
        platform::ResetWindowSystem();
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = RecordingProcedure;
        windowClass.lpszClassName = "QueueTestWindow";
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
        std::lock_guard<std::mutex> guard(receivedLock);
        received.clear();
    }
    void TearDown() override {
        platform::ResetWindowSystem();
        platform::ResetUserProfile();
        PlatformTest::TearDown();
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

}  // namespace
