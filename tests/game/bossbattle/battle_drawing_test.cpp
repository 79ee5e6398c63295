// The battle's drawing from a loaded image table: how long each effect
// lives, who sits in the cockpit, and that every boss in every state and
// every shot of the battle is drawn with a picture the table really holds.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "framework/graphics/draw_settings.h"
#include "game/bossbattle/battle_assets.h"
#include "game/bossbattle/battle_drawing.h"
#include "game/bossbattle/battle_records.h"
#include "platform/user/user.h"
#include "tests/support/game/game_test.h"

namespace {

class BattleDrawingTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        ASSERT_TRUE(StartFramework());
        ASSERT_TRUE(SetCurrentDirectoryA(gametest::GeneratedTreeFolder().c_str()));
        ReloadLoadingDrawer();
        // Every draw is still seen; the software renderer fills one pixel.
        SetDrawAreaRect(0, 0, 1, 1);
    }

    void Load(int bossId) {
        ASSERT_EQ(LoadBossBattleAssets(bossId, images), 0);
        seen = OpenFrameDraws().size();
    }

    // The draws made since the last call.
    std::vector<gametest::SeenDraw> TakeDraws() {
        const std::vector<gametest::SeenDraw>& open = OpenFrameDraws();
        std::vector<gametest::SeenDraw> taken(open.begin() + static_cast<long>(seen), open.end());
        seen = open.size();
        return taken;
    }

    int images[kBossBattleImageCount];
    size_t seen = 0;
};

TEST_F(BattleDrawingTest, EachEffectShowsItsFramesThenFreesItsSlot) {
    Load(3);  // the ring pictures are boss 3's
    struct Case {
        int kind;
        int shown;  // calls that draw before the slot is freed
    };
    const Case cases[] = {{1, 6},    {101, 12}, {102, 121}, {103, 61}, {104, 18}, {105, 91},
                          {106, 61}, {107, 61}, {108, 21},  {109, 21}, {999, 300}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        EffectSlot slot;
        ResetEffect(&slot);
        ASSERT_EQ(StartEffect(&slot, 100, 120), 0);
        slot.kind = c.kind;
        int shown = 0;
        while (shown < 300 && DrawBattleEffect(&slot, images) == 0 && slot.x != -1) ++shown;
        EXPECT_EQ(shown, c.shown);
        if (c.kind != 999) {
            EXPECT_EQ(DrawBattleEffect(&slot, images), -1);
        }
    }

    // A spark shows its six pictures in order, and the next spark in the
    // same slot starts again from the first.
    TakeDraws();
    EffectSlot slot;
    ResetEffect(&slot);
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(StartEffect(&slot, 10, 20), 0);
        slot.kind = 1;
        for (int call = 0; call < 7; ++call) DrawBattleEffect(&slot, images);
        const std::vector<gametest::SeenDraw> draws = TakeDraws();
        ASSERT_EQ(draws.size(), 6u);
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(draws[i].handle, images[181 + i]);
            EXPECT_EQ(draws[i].points, (std::vector<int>{10, 20}));
        }
    }
}

TEST_F(BattleDrawingTest, TheCrewSitsByTheBoss) {
    struct Case {
        int bossId;
        std::set<int> seats;
    };
    const Case cases[] = {{1, {48, 208, 368}}, {6, {208, 528}}, {6000, {48, 208, 368, 528}}, {2, {48, 208, 368, 528}}};
    // The crew's pictures are the same in every battle's table.
    Load(2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bossId);
        DrawCockpitCrew(kRobotStanding, 0, c.bossId, images);
        std::set<int> seats;
        int consoles = 0;
        for (const gametest::SeenDraw& draw : TakeDraws()) {
            if (draw.points[1] == 416) seats.insert(draw.points[0]);
            if (draw.points[1] == 456) ++consoles;
        }
        EXPECT_EQ(seats, c.seats);
        EXPECT_EQ(consoles, 4);
    }

    // Ressa's picture by the robot's state and counter.
    struct Look {
        int state;
        int counter;
        int image;
    };
    const Look looks[] = {{kRobotKnockedBack, 7, 292},  {kRobotBasicAttack, 9, 258}, {kRobotDashAttack, 48, 216},
                          {kRobotStanding, 53, 217},    {kRobotGuard, 47, 227}};
    for (const Look& look : looks) {
        SCOPED_TRACE(look.state);
        DrawCockpitCrew(look.state, look.counter, 2, images);
        bool found = false;
        for (const gametest::SeenDraw& draw : TakeDraws())
            if (draw.points[0] == 208 && draw.points[1] == 416) found = draw.handle == images[look.image];
        EXPECT_TRUE(found);
    }
}

// A boss and its shots are always visible: in every state and at any
// counter the boss is drawn with one picture that its table holds, and so is
// each kind of shot that its battle fires.
TEST_F(BattleDrawingTest, EveryBossInEveryStateAndEveryShotIsDrawn) {
    struct Case {
        int bossId;
        std::vector<int> shotKinds;
    };
    const Case cases[] = {{1, {2, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110}},
                          {2, {101, 112}},
                          {3, {101, 113, 114}},
                          {5, {104, 111, 112}},
                          {6, {101, 102}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bossId);
        Load(c.bossId);
        for (int state : {kBossDeciding, kBossWalkingIn, kBossWalkingAway, kBossNearAttack, kBossMiddleAttack,
                          kBossFarAttack, kBossHolding}) {
            for (int counter : {0, 1, 33, 64, 68, 103, 149, 400}) {
                SCOPED_TRACE(state * 10000 + counter);
                BossRobot boss;
                PresetBossRobot(boss);
                boss.state = state;
                boss.stateCounter = counter;
                DrawBossRobot(&boss, c.bossId, images);
                const std::vector<gametest::SeenDraw> draws = TakeDraws();
                ASSERT_EQ(draws.size(), 1u);
                EXPECT_GE(draws[0].handle, 0);
                EXPECT_EQ(draws[0].points[1], boss.screenY);
            }
        }

        BossRobot boss;
        PresetBossRobot(boss);
        int sounds[18];
        for (int& sound : sounds) sound = -1;
        for (int kind : c.shotKinds) {
            SCOPED_TRACE(kind);
            ShotSlot slot = {};
            slot.state = 2;
            slot.kind = kind;
            slot.x = 200;
            slot.y = 150;
            slot.width = 64;
            slot.height = 64;
            slot.frame = 20;
            DrawBattleShot(&slot, c.bossId, boss, sounds, images);
            int drawn = 0;
            for (const gametest::SeenDraw& draw : TakeDraws())
                if (draw.handle >= 0) ++drawn;
            EXPECT_GE(drawn, 1);
        }
    }

    // A walk longer than its loop starts its pictures again.
    Load(1);
    int counter = 64;
    DrawBossWalkLoop(counter, 300, 70, images);
    EXPECT_EQ(TakeDraws()[0].handle, images[163]);
    EXPECT_EQ(counter, 1);
}

}  // namespace
