// The whole game played by the script while the window loses and regains
// the focus at random frames, the way the system does it: the window stops
// being the active one (WM_ACTIVATE and WM_ACTIVATEAPP to it), the program
// sits in its message loop in the background while time passes, and the
// window is activated again. The game must reach its end just the same, and
// the time spent in the background must not count in any best time.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <random>
#include <set>
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
constexpr int kBackgroundMillisecondsPerLook = 1000;

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

    // The focus goes at a random frame end, 20 to 300 frames after it came
    // back, and at the first frame end of each kind of scene it has not yet
    // gone in: a short scene such as the main menu could otherwise slip
    // between two random losses, as the frames the script's keys land on
    // may shift by a few from one run to the next.
    void AfterFrame(int frame) override {
        if (backgroundLooks_ > 0) return;
        const bool newKind = !scenes.empty() && lostIn_.count(KindOf(scenes.back())) == 0;
        if (frame < nextLoss_ && !newKind) return;
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
        if (!scenes.empty()) lostIn_.insert(KindOf(scenes.back()));
        std::uniform_int_distribution<int> gap(20, 300);
        nextLoss_ = frame + gap(random_);
    }

    // "stage 102" and "battle 3" are a stage part and a battle, "interlude
    // stage1b" an interlude.
    static std::string KindOf(const std::string& scene) {
        if (scene.rfind("interlude ", 0) == 0) return "interlude";
        const size_t space = scene.rfind(' ');
        if (space != std::string::npos && std::isdigit(static_cast<unsigned char>(scene[space + 1])))
            return scene.substr(0, space);
        return scene;
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
    std::set<std::string> lostIn_;  // the kinds of scene the focus went in
    std::thread::id testThread_;
    static inline FocusLossTest* current_ = nullptr;
};

// The seed is in every failure's message, so that a failing run can be
// played again.
TEST_F(FocusLossTest, TheWholeGameReachesItsEndWithTheFocusLostAndRegainedAtRandomFrames) {
    SCOPED_TRACE("focus changes drawn with std::mt19937 seed " + std::to_string(kSeed));
    menuChoices = {kMenuStory, kMenuStory, kMenuQuit};
    partsToLose = {1};
    EXPECT_EQ(RunGame(), 0);

    EXPECT_EQ(scenes, WholeGameScenes()) << SceneTrace();
    EXPECT_GE(losses_, 100);
    // The window was the active one at every loss, and stopped being it.
    EXPECT_EQ(notActive_, 0);
    EXPECT_EQ(stillActive_, 0);
    // The focus went in every kind of scene that comes often or lasts.
    for (const char* kind :
         {"logo", "main menu", "stage select", "stage", "interlude", "intermission", "robot movie", "battle", "stage clear"})
        EXPECT_TRUE(lostIn_.count(kind)) << kind << " (the focus went in: " << testing::PrintToString(lostIn_) << ")";
    ExpectMoviesPlayedThrough();
    ExpectCleanShutdown();

    EXPECT_EQ(GameProgress, 6);
    for (int record = 0; record < 7; ++record) EXPECT_TRUE(IsSet(BestTimeTable[record])) << record;
    // The time in the background counts in no best time, and the clocks ran
    // again each time the window came back.
    ExpectBestTimesWithinPlayedFrames();
    ExpectSaveReadsBack();
    std::printf("focus lost %d times, %lld ms in the background\n", losses_, backgroundMilliseconds_);
}

}  // namespace
