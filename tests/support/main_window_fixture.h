// A started log on the manual clock, a window system without a host display
// on a 1280 by 1024 desktop, and a fresh window side of the framework, so that
// each test starts from the state a program has before its first start-up.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/window/dropped_files.h"
#include "framework/textinput/input_char_buffer.h"
#include "framework/window/main_window.h"
#include "framework/window/window_mode.h"
#include "tests/support/started_log_fixture.h"

namespace windowtest {

constexpr int kDesktopWidth = 1280;
constexpr int kDesktopHeight = 1024;

class MainWindowTest : public testsupport::StartedLogTest {
protected:
    void SetUp() override;
    void TearDown() override;

    static void ResetWindowSide();

    // A started window in window mode (640 by 480 client area).
    HWND StartWindowMode(const char* title = "窓のテスト");

    static void PumpUntilQuiet();
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
