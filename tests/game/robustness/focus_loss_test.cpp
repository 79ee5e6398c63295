// The whole game played by the script while the window loses and regains
// the focus at random frames, the way the system does it: the window stops
// being the active one (WM_ACTIVATE and WM_ACTIVATEAPP to it), the program
// sits in its message loop in the background while time passes, and the
// window is activated again. The game must reach its end just the same, and
// the time spent in the background must not count in any best time.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <thread>

#include "framework/window/main_window.h"
#include "platform/kernel/manual_clock.h"
#include "platform/user/message_pollers.h"
#include "platform/user/user.h"
#include "tests/support/game/scripted_player.h"

namespace {

using gametest::kMenuQuit;
using gametest::kMenuStory;

// The time that passes in the background on each look at the queue.
constexpr int kBackgroundMillisecondsPerLook = 250;

class FocusLossTest : public gametest::ScriptedPlayerTest {
protected:
    void SetUp() override {
        ScriptedPlayerTest::SetUp();
        static const bool registered = [] {
            platform::detail::RegisterMessagePoller(&FocusLossTest::Poll);
            return true;
        }();
        (void)registered;
        testThread_ = std::this_thread::get_id();
        current_ = this;
    }
    void TearDown() override {
        current_ = nullptr;
        ScriptedPlayerTest::TearDown();
    }

    // The focus goes at a random frame end, 30 to 600 frames after it came
    // back.
    void AfterFrame(int frame) override {
        if (frame < nextLoss_ || backgroundLooks_ > 0) return;
        HWND window = GetMainWindowHandle();
        if (window == nullptr) return;
        if (GetForegroundWindow() != window) {
            ++notActive_;
            SetActiveWindow(window);
        }
        std::uniform_int_distribution<int> looks(1, 6);
        backgroundLooks_ = looks(random_);
        SetActiveWindow(nullptr);
        if (MainWindow.activeFlag != 0) ++stillActive_;
        ++losses_;
        std::uniform_int_distribution<int> gap(30, 600);
        nextLoss_ = frame + gap(random_);
    }

    // Each look at the queue while the window is in the background lets
    // time pass; after a few looks the window is activated again.
    static void Poll() {
        FocusLossTest* self = current_;
        if (self == nullptr || self->backgroundLooks_ <= 0 || std::this_thread::get_id() != self->testThread_) return;
        platform::AdvanceManualClockMilliseconds(kBackgroundMillisecondsPerLook);
        self->backgroundMilliseconds_ += kBackgroundMillisecondsPerLook;
        if (--self->backgroundLooks_ == 0) SetActiveWindow(GetMainWindowHandle());
    }

    static constexpr unsigned kSeed = 1210;
    std::mt19937 random_{kSeed};
    int nextLoss_ = 200;
    int backgroundLooks_ = 0;
    int losses_ = 0;
    int notActive_ = 0;
    int stillActive_ = 0;
    long long backgroundMilliseconds_ = 0;
    std::thread::id testThread_;
    static inline FocusLossTest* current_ = nullptr;
};

TEST_F(FocusLossTest, DISABLED_Explore) {
    menuChoices = {kMenuStory, kMenuStory, kMenuQuit};
    battlesToLose = {1};
    const int exitCode = RunGame();
    std::printf("%s", SceneTrace().c_str());
    std::printf("frames %d exit %d progress %d losses %d notActive %d stillActive %d background %lld\n",
                FramesEnded(), exitCode, GameProgress, losses_, notActive_, stillActive_, backgroundMilliseconds_);
    for (int i = 0; i < 7; ++i)
        std::printf("best %d: %d:%d.%d\n", i + 1, BestTimeTable[i].minutes, BestTimeTable[i].seconds,
                    BestTimeTable[i].milliseconds);
}

}  // namespace
