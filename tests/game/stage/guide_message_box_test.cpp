// Guide message boxes with a real scenario, frame by frame on the manual
// clock: opening on contact, the stage clock standing still while the
// scenario runs, closing, and the cool-down before the box opens again.
#include "game/stage/guide_message_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/base/time_functions.h"
#include "game/framework/fps_manager.h"
#include "game/framework/input_manager.h"
#include "game/framework/resource_managers.h"
#include "game/framework/senario_object.h"
#include "game/stage/player_character.h"
#include "game/stage/stage_table.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/game/game_test.h"

namespace {

// A play-time clock on the millisecond count: it runs from its start time
// unless paused, keeping what it had counted.
class MillisecondClock : public IStageClock {
public:
    MillisecondClock() : start_(GetMillisecondCount()) {}
    void Pause() override {
        if (paused_) return;
        kept_ += GetMillisecondCount() - start_;
        paused_ = true;
    }
    void Restart() override {
        start_ = GetMillisecondCount();
        paused_ = false;
    }
    int Elapsed() const { return kept_ + (paused_ ? 0 : GetMillisecondCount() - start_); }
    bool paused() const { return paused_; }

private:
    int start_;
    int kept_ = 0;
    bool paused_ = false;
};

class GuideMessageBoxFrameTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        platform::Profile().fonts.testGlyphSource = true;
        ASSERT_TRUE(StartFramework());
        // Two pages shown at once; the scenario ends once the last is shown.
        WriteFile("senario\\box.xml",
                  R"(<config><font size="16" thinck="3"/><speed char_frame_speed="0"/></config>)"
                  R"(<senario file="senario\box.txt" dir="senario" name="box"/>)");
        WriteFile("senario\\box.txt", "あいう");
        MapColumns = 40;
        TileIndexWidth = 40;
        player_.x = 200;
        player_.screenY = 300;
        player_.mapY = 400;
        for (EffectSlot& slot : effects_) ResetEffect(&slot);
    }
    void TearDown() override {
        for (GuideMessageBox* box : boxes_) delete box;
        boxes_.clear();
        GameTest::TearDown();
    }

    GuideMessageBox* PlaceBox(bool withScenario) {
        auto* box = new GuideMessageBox;
        box->x = 240;
        box->y = 420;
        box->useFirst = 1;
        if (withScenario) box->scenario = CreateSenarioObject("senario\\box.xml");
        boxes_.push_back(box);
        return box;
    }

    // One stage frame as the scene runs it: the boxes' own step, then (the
    // world running only while no box is open) the map objects.
    void Frame(MillisecondClock* clock) {
        Manager::CInputManager::GetInstance()->Update();
        bool messageActive = false;
        for (GuideMessageBox* box : boxes_) {
            if (box->Update(clock) == 1 && box->scenario != nullptr) box->scenario->ClearFontObjectText();
            if (box->open) messageActive = true;
        }
        if (!messageActive) {
            MapObjects objects;
            objects.messageBoxes = &boxes_;
            UpdateMapObjects(&player_, objects, nullptr, nullptr, effects_, nullptr, clock);
        }
        Manager::CFPSManager::GetInstance()->Update();
    }

    PlayerRecord player_;
    EffectSlot effects_[kEffectTableSize];
    std::vector<GuideMessageBox*> boxes_;
};

TEST_F(GuideMessageBoxFrameTest, OpensOnContactStopsTheClockAndClosesWhenItsScenarioEnds) {
    GuideMessageBox* box = PlaceBox(true);
    ASSERT_NE(box->scenario, nullptr);
    MillisecondClock clock;
    player_.x = -200;  // away from the box
    for (int i = 0; i < 5; ++i) Frame(&clock);
    const int beforeContact = clock.Elapsed();
    EXPECT_GT(beforeContact, 0);

    // Walking into it opens it and stops the clock in the same frame.
    player_.x = 200;
    Frame(&clock);
    EXPECT_TRUE(box->open);
    EXPECT_TRUE(clock.paused());
    const int atOpening = clock.Elapsed();

    std::vector<bool> openByFrame;
    for (int i = 0; i < 10 && box->open; ++i) {
        Frame(&clock);
        openByFrame.push_back(box->open);
        if (box->open) {
            EXPECT_EQ(clock.Elapsed(), atOpening);
        }
    }
    ASSERT_FALSE(box->open);
    EXPECT_GE(openByFrame.size(), 1u);
    // It has closed: the clock runs on from where it stood.
    EXPECT_FALSE(clock.paused());
    EXPECT_EQ(box->cooldownCounter, 0u);
    EXPECT_EQ(box->fadeStep, 0u);
    // The frame it closed in counts from the close on.
    EXPECT_EQ(clock.Elapsed() - atOpening, 16);
    const int atClose = clock.Elapsed();

    // Still touching it, it does not open again until 180 frames have passed.
    int reopenedAfter = 0;
    for (int frame = 1; frame <= 200; ++frame) {
        Frame(&clock);
        if (box->open) {
            reopenedAfter = frame;
            break;
        }
    }
    EXPECT_EQ(reopenedAfter, 180);
    EXPECT_TRUE(clock.paused());
    // The clock ran for the 179 frames it was closed and ready.
    EXPECT_EQ(clock.Elapsed() - atClose, 179 * 16);
}

TEST_F(GuideMessageBoxFrameTest, AScenarioEndingInItsFirstFrameLeavesTheClockRunning) {
    GuideMessageBox* box = PlaceBox(true);
    ASSERT_NE(box->scenario, nullptr);
    // Played to its end and not rewound: it ends in the box's first frame.
    int frames = 0;
    while (box->scenario->Update(0) && frames < 100) ++frames;
    MapObjects objects;
    objects.messageBoxes = &boxes_;
    MillisecondClock clock;
    UpdateMapObjects(&player_, objects, nullptr, nullptr, effects_, nullptr, &clock);
    EXPECT_FALSE(box->open);
    EXPECT_FALSE(clock.paused());
    EXPECT_EQ(box->cooldownCounter, 0u);
}

TEST_F(GuideMessageBoxFrameTest, DeletingTheBoxDeletesItsScenario) {
    GuideMessageBox* box = PlaceBox(true);
    ASSERT_NE(box->scenario, nullptr);
    boxes_.clear();
    delete box;  // the sanitizers see a scenario left behind
    SUCCEED();
}

}  // namespace
