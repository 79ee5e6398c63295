// Drops as a window receives them: one WM_DROPFILES per drop, the query's
// count, length and bounded copy, and the release; and a drop made on the
// SDL2 host's window. SDL2 is the platform library's private dependency: its
// headers are reached through the system include folder.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/host/sdl_host.h"
#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"
#include "platform/shell/dropped_files_feed.h"
#include "platform/shell/shell.h"
#include "platform/user/user.h"
#include "tests/support/test_support.h"

namespace {

// 表 is 0x95 0x5C: its second byte looks like a separator.
const std::string kJapaneseName = "C:\\表\\ab";

class DroppedFilesTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        platform::Profile().display.host = platform::HostDisplayUse::Off;
        platform::Profile().display.classLockDirectory = folder.hostPath();
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "DropTestWindow";
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
        window = CreateWindowExA(0, "DropTestWindow", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                 nullptr);
        ASSERT_NE(window, nullptr);
    }

    // Drops the files on the accepting window and takes the drop handle off
    // its queue.
    HDROP Drop(std::vector<std::string> names) {
        DragAcceptFiles(window, TRUE);
        EXPECT_TRUE(platform::PostDroppedFiles(window, std::move(names)));
        MSG message{};
        EXPECT_TRUE(PeekMessageA(&message, window, WM_DROPFILES, WM_DROPFILES, PM_REMOVE));
        return reinterpret_cast<HDROP>(message.wParam);
    }

    testsupport::TemporaryFolder folder;
    HWND window = nullptr;
};

TEST_F(DroppedFilesTest, TheQueryGivesTheCountTheLengthsAndTheNames) {
    const HDROP drop = Drop({"C:\\home\\a.txt", kJapaneseName});
    ASSERT_NE(drop, nullptr);
    EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFFu, nullptr, 0), 2u);
    EXPECT_EQ(DragQueryFileA(drop, 0, nullptr, 0), 13u);
    EXPECT_EQ(DragQueryFileA(drop, 1, nullptr, 0), kJapaneseName.size());
    EXPECT_EQ(DragQueryFileA(drop, 2, nullptr, 0), 0u);
    char name[MAX_PATH];
    EXPECT_EQ(DragQueryFileA(drop, 1, name, sizeof(name)), kJapaneseName.size());
    EXPECT_EQ(name, kJapaneseName);
    EXPECT_EQ(platform::PendingDropCount(), 1u);
    DragFinish(drop);
    EXPECT_EQ(platform::PendingDropCount(), 0u);
    // A finished drop is no drop any more.
    EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFFu, nullptr, 0), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(DroppedFilesTest, ACopyIsCutToTheBufferBetweenCharactersAndTerminated) {
    const HDROP drop = Drop({kJapaneseName});
    struct Case {
        UINT size;
        size_t copied;
    };
    // "C:\" is 3 bytes, 表 the next 2, "\ab" the last 3.
    const Case cases[] = {{1, 0}, {4, 3}, {5, 3}, {6, 5}, {8, 7}, {9, 8}, {200, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        char buffer[MAX_PATH];
        std::memset(buffer, 'x', sizeof(buffer));
        EXPECT_EQ(DragQueryFileA(drop, 0, buffer, c.size), c.copied);
        EXPECT_EQ(std::string(buffer), kJapaneseName.substr(0, c.copied));
        EXPECT_EQ(buffer[c.size], 'x');  // nothing written past the buffer
    }
    char untouched = 'x';
    EXPECT_EQ(DragQueryFileA(drop, 0, &untouched, 0), 0u);
    EXPECT_EQ(untouched, 'x');
    DragFinish(drop);
}

TEST_F(DroppedFilesTest, OnlyAcceptingWindowsGetDropsAndAFailedPostLeavesNoDrop) {
    EXPECT_FALSE(platform::PostDroppedFiles(window, {"C:\\a"}));  // not accepting yet
    DragAcceptFiles(window, TRUE);
    EXPECT_FALSE(platform::PostDroppedFiles(window, {}));
    DragAcceptFiles(window, FALSE);
    EXPECT_FALSE(platform::PostDroppedFiles(window, {"C:\\a"}));
    MSG message{};
    EXPECT_FALSE(PeekMessageA(&message, window, WM_DROPFILES, WM_DROPFILES, PM_REMOVE));

    DragAcceptFiles(window, TRUE);
    ASSERT_TRUE(DestroyWindow(window));
    EXPECT_FALSE(platform::PostDroppedFiles(window, {"C:\\a"}));
    EXPECT_EQ(platform::PendingDropCount(), 0u);
}

class HostDropTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        PlatformTest::SetUp();
        platform::Profile().display.classLockDirectory = folder.hostPath();
        ASSERT_TRUE(platform::host::DisplayAvailable()) << SDL_GetError();
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "HostDropTestWindow";
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
    }
    static void Push(Uint32 type, SDL_Window* window, const char8_t* file = nullptr) {
        SDL_Event event{};
        event.type = type;
        event.drop.windowID = SDL_GetWindowID(window);
        event.drop.file = file != nullptr ? SDL_strdup(reinterpret_cast<const char*>(file)) : nullptr;
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    }

    testsupport::TemporaryFolder folder;
};

TEST_F(HostDropTest, TheFilesOfOneHostDropArriveAsOneDropOfWindowsPaths) {
    HWND window = CreateWindowExA(0, "HostDropTestWindow", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                  nullptr, nullptr);
    ShowWindow(window, SW_SHOW);
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    SDL_Window* shown = platform::host::WindowOf(window);
    ASSERT_NE(shown, nullptr);
    DragAcceptFiles(window, TRUE);

    Push(SDL_DROPBEGIN, shown);
    Push(SDL_DROPFILE, shown, u8"/tmp/表/x.txt");
    Push(SDL_DROPFILE, shown, u8"/home/\U0001F600.txt");  // no Shift-JIS form: left out
    Push(SDL_DROPFILE, shown, u8"/y");
    Push(SDL_DROPCOMPLETE, shown);
    std::vector<HDROP> drops;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        if (message.message == WM_DROPFILES) drops.push_back(reinterpret_cast<HDROP>(message.wParam));
    ASSERT_EQ(drops.size(), 1u);
    ASSERT_EQ(DragQueryFileA(drops[0], 0xFFFFFFFFu, nullptr, 0), 2u);
    char name[MAX_PATH];
    DragQueryFileA(drops[0], 0, name, sizeof(name));
    EXPECT_STREQ(name, "C:\\tmp\\表\\x.txt");
    DragQueryFileA(drops[0], 1, name, sizeof(name));
    EXPECT_STREQ(name, "C:\\y");
    DragFinish(drops[0]);
}

}  // namespace
