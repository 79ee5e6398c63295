// A started log on the manual clock, a window system without a host display
// on a 1280 by 1024 desktop, and a fresh window side of the framework, so that
// each test starts from the state a program has before its first start-up.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/dropped_files.h"
#include "framework/core/input_char_buffer.h"
#include "framework/core/main_window.h"
#include "framework/core/window_mode.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/user_profile.h"
#include "tests/framework/core/started_log_fixture.h"

namespace windowtest {

constexpr int kDesktopWidth = 1280;
constexpr int kDesktopHeight = 1024;

class MainWindowTest : public testsupport::StartedLogTest {
protected:
    void SetUp() override {
        StartedLogTest::SetUp();
        platform::ResetUserProfile();
        platform::User().host = platform::HostDisplayUse::Off;
        platform::User().classLockDirectory = folder_.hostPath();
        platform::User().desktopWidth = kDesktopWidth;
        platform::User().desktopHeight = kDesktopHeight;
        platform::User().totalPhysicalMemory = 512ull << 20;
        platform::User().availablePhysicalMemory = 256ull << 20;
        // No performance counter unless a test asks for one: the accuracy
        // test would otherwise wait for a manual clock that nothing moves.
        platform::Profile().clock.performanceFrequency = 0;
        platform::ResetWindowSystem();
        ResetWindowSide();
    }

    void TearDown() override {
        FreeDroppedFileList();
        ResetWindowSide();
        platform::ResetWindowSystem();
        platform::ResetUserProfile();
        StartedLogTest::TearDown();
    }

    static void ResetWindowSide() {
        MainWindow.settings = MainWindowSettings{};
        ResetMainWindowState();
        char character[2];
        while (GetInputChar(character, 1) != 0) {
        }
    }

    // A started window in window mode (640 by 480 client area).
    HWND StartWindowMode(const char* title = "窓のテスト") {
        ChangeWindowMode(1);
        SetMainWindowTitle(title);
        EXPECT_EQ(CreateMainWindow(), 0);
        return GetMainWindowHandle();
    }

    static void PumpUntilQuiet() {
        for (int i = 0; i < 100 && ProcessWindowMessages() == 0; ++i) {
        }
    }
};

// Messages the window procedure saw, through the window-procedure hook.
inline std::vector<MSG> SeenMessages;

inline LRESULT RecordMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    SeenMessages.push_back(MSG{window, message, wParam, lParam, 0, {}});
    return 0;
}

inline int CountSeen(UINT message) {
    int count = 0;
    for (const MSG& seen : SeenMessages)
        if (seen.message == message) ++count;
    return count;
}

}  // namespace windowtest
