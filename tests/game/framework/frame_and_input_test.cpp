// The frame manager and the logical buttons, driven as scenes drive them:
// one CFPSManager::Update per frame, with keys and pad buttons scripted per
// frame.
#include <gtest/gtest.h>

#include "game/framework/fps_manager.h"
#include "game/framework/input_manager.h"
#include "platform/user/user.h"
#include "platform/winmm/winmm.h"
#include "tests/support/game/game_test.h"

namespace {

using Manager::CFPSManager;
using Manager::CInputManager;

constexpr int kPadButton1 = 0x10;
constexpr int kPadStickDown = 0x1;

class FrameAndInputTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        ASSERT_TRUE(StartFramework());
        input_ = CInputManager::GetInstance();
        saved_ = *input_;
        // Frames before the test's first one leave every button up.
        ASSERT_TRUE(CFPSManager::GetInstance()->Update());
        ASSERT_TRUE(CFPSManager::GetInstance()->Update());
        first_ = FramesEnded() + 1;
    }
    void TearDown() override {
        *input_ = saved_;
        GameTest::TearDown();
    }

    // Ends frames until frame `frame` has ended; the counters of `button`
    // after each.
    std::vector<int> RunTo(int frame, int button) {
        std::vector<int> counts;
        while (FramesEnded() < frame) {
            EXPECT_TRUE(CFPSManager::GetInstance()->Update());
            counts.push_back(input_->heldFrames[button]);
        }
        return counts;
    }

    CInputManager* input_ = nullptr;
    CInputManager saved_ = *CInputManager::GetInstance();
    int first_ = 0;
};

TEST_F(FrameAndInputTest, AKeyHeldThreeFramesCountsThreeAndDropsToZero) {
    HoldKey('Z', first_, 3);
    EXPECT_EQ(RunTo(first_ + 3, ATTACK), (std::vector<int>{1, 2, 3, 0}));
    EXPECT_FALSE(input_->GetButton(ATTACK));
}

TEST_F(FrameAndInputTest, HeldAndPreviousSetsShowAPressOnce) {
    HoldKey(VK_UP, first_, 2);
    HoldKey(VK_ESCAPE, first_ + 1, 1);
    RunTo(first_, 0);
    EXPECT_EQ(input_->heldButtons, KEY_UP);
    EXPECT_EQ(input_->previousButtons, 0);
    RunTo(first_ + 1, 0);
    EXPECT_EQ(input_->heldButtons, KEY_UP | START);
    EXPECT_EQ(input_->previousButtons, KEY_UP);
    EXPECT_TRUE(input_->GetButton(START));
    RunTo(first_ + 2, 0);
    EXPECT_EQ(input_->heldButtons, 0);
    EXPECT_EQ(input_->previousButtons, KEY_UP | START);
}

// A key and a pad bit on one button count once per frame.
TEST_F(FrameAndInputTest, KeyAndPadOnOneButtonCountAsOne) {
    HoldKey('Z', first_, 2);
    HoldPad(kPadButton1, first_ + 1, 2);
    EXPECT_EQ(RunTo(first_ + 3, ATTACK), (std::vector<int>{1, 2, 3, 0}));
}

TEST_F(FrameAndInputTest, PadMasksMapTheirBitsAndAZeroMaskNeverFires) {
    for (JoypadPair& pair : input_->joypad)
        if (pair.button == ATTACK) pair.mask = 0;
    HoldPad(0x0FFFFFF0 | kPadStickDown, first_, 2);
    EXPECT_EQ(RunTo(first_ + 1, ATTACK), (std::vector<int>{0, 0}));
    EXPECT_EQ(input_->heldButtons & ATTACK, 0);
    EXPECT_NE(input_->heldButtons & KEY_DOWN, 0);  // the stick, down
    EXPECT_NE(input_->heldButtons & JUMP, 0);      // button 2

    input_->joypadEnabled = false;
    HoldPad(kPadStickDown, first_ + 2, 1);
    RunTo(first_ + 2, 0);
    EXPECT_EQ(input_->heldButtons, 0);
}

// A scene's loop runs until its frame manager reports the end.
TEST_F(FrameAndInputTest, UpdateReportsTheEndAfterAPostedQuit) {
    QuitAtFrame(first_ + 4);
    int frames = 0;
    while (CFPSManager::GetInstance()->Update()) ++frames;
    EXPECT_EQ(frames, 4);
    EXPECT_EQ(FramesEnded(), first_ + 4);
}

// The rate is first measured once a second has passed since the last
// measure; until then it stays as it was.
TEST_F(FrameAndInputTest, TheFrameRateIsMeasuredOnceASecond) {
    CFPSManager* frames = CFPSManager::GetInstance();
    frames->lastMeasure = timeGetTime();
    frames->framesSinceMeasure = 0;
    frames->framesPerSecond = 0.0;
    SetFrameMilliseconds(16);
    // Each frame's clock step comes before the frame's reading of it.
    for (int i = 0; i < 62; ++i) ASSERT_TRUE(frames->Update());
    EXPECT_EQ(frames->framesPerSecond, 0.0);
    ASSERT_TRUE(frames->Update());
    EXPECT_DOUBLE_EQ(frames->framesPerSecond, 63 * 1000.0 / 1008.0);
    EXPECT_EQ(frames->framesSinceMeasure, 0u);
    EXPECT_EQ(frames->lastUpdate, timeGetTime());
}

}  // namespace
