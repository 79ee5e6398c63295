// The battle's file tables: the 417-position image list of each boss and the
// checked reads by position.
#include <gtest/gtest.h>

#include <string>

#include "game/bossbattle/battle_assets.h"
#include "game/bossbattle/battle_sounds.h"

namespace {

std::string Name(int bossId, int position) {
    const char* name = BossBattleImageName(bossId, position);
    return name == nullptr ? std::string() : name;
}

struct PositionCase {
    int bossId;
    int position;
    const char* name;  // "" for an empty position
};

TEST(BattleImageListTest, PositionsHoldTheirFiles) {
    const PositionCase cases[] = {
        {1, 0, "resource\\picture\\background\\background_stage1.png"},
        {1, 24, "resource\\picture\\BossBattle\\Gravoid\\grav_walk\\grav_walk20.png"},
        {1, 130, "resource\\picture\\BossBattle\\WendiRobo\\attack3\\wendirobo_attack321.png"},
        // wendirobo_attack322 is skipped.
        {1, 131, "resource\\picture\\BossBattle\\WendiRobo\\attack3\\wendirobo_attack323.png"},
        {1, 201, "resource\\movie\\robo_movie1.wmv"},
        {1, 202, "resource\\movie\\robo_movie2.wmv"},
        {1000, 202, "resource\\movie\\robo_movie2.wmv"},
        {2, 202, ""},
        {2, 97, "resource\\picture\\BossBattle\\Battleship\\attack3\\ship_attack3_049.png"},
        {2, 107, "resource\\picture\\BossBattle\\Battleship\\attack4\\ship_attack4_055.png"},
        {2, 108, "resource\\picture\\BossBattle\\Battleship\\attack4\\ship_attack4_059.png"},
        {2, 163, "resource\\picture\\BossBattle\\Battleship\\wait\\ship_wait051.png"},
        {2, 343, "resource\\picture\\enemy\\cannon\\Cannonball64_2.png"},
        {3, 93, "resource\\picture\\BossBattle\\dobbin\\attack1\\dobbin_attack1_009.png"},
        {3, 94, ""},
        {3, 150, ""},
        {3, 154, "resource\\picture\\BossBattle\\dobbin\\wait\\dobbin_wait004.png"},
        {3, 380, "resource\\picture\\effect\\damage_ring\\damage_ring_fire006.png"},
        {3, 343, ""},
        // Boss 5's first attack skips 0002 and 0007.
        {5, 87, "resource\\picture\\BossBattle\\ormund\\attack1\\ormund_attack1_0003.png"},
        {5, 97, "resource\\picture\\BossBattle\\ormund\\attack1\\ormund_attack1_0014.png"},
        {5, 123, "resource\\picture\\BossBattle\\ormund\\attack2\\ormund_attack2_0015.png"},
        {5, 124, ""},
        {5, 203, "resource\\picture\\effect\\laser\\laser_red02.png"},
        {5, 386, "resource\\picture\\playercharacter\\tamsel\\attack_5A\\rocket012.png"},
        {5, 399, "resource\\picture\\effect\\fire\\fire_0012.png"},
        {5, 416, "resource\\picture\\selection\\boss_command.png"},
        {6, 108, "resource\\picture\\BossBattle\\DarkGravoid\\diffence\\diffence16.png"},
        {6, 158, "resource\\picture\\BossBattle\\DarkGravoid\\walk\\walk20.png"},
        {6000, 201, "resource\\movie\\robo_movie3.wmv"},
        {6, 341, "resource\\picture\\effect\\robo_burst\\robo_burst058.png"},
        {6, 342, "resource\\picture\\effect\\solvane\\ray\\1\\ray 1_00000.png"},
        {6, 344, ""},
        {6, 349, ""},
        {6, 350, "resource\\picture\\BossBattle\\cockpit\\cockpit_wendrik_wait\\cockpit_wedrik_wait001.png"},
        {6, 415, "resource\\picture\\Figures.png"},
    };
    for (const PositionCase& c : cases)
        EXPECT_EQ(Name(c.bossId, c.position), c.name) << "boss " << c.bossId << " position " << c.position;
}

TEST(BattleImageListTest, TheSharedPositionsAreFilledForEveryBoss) {
    // The positions that are the same in every battle hold 301 names (the
    // ranges 1-84, 165-200, 204-342, 350-374 and 400-416).
    for (int bossId : {1, 2, 3, 5, 6, 1000, 2000, 3000, 5000, 6000}) {
        int shared = 0;
        for (int position = 1; position < kBossBattleImageCount; ++position) {
            const bool bossOwn = (position >= 85 && position <= 164) || (position >= 201 && position <= 203) ||
                                 position == 343 || (position >= 375 && position <= 399);
            if (!bossOwn && BossBattleImageName(bossId, position) != nullptr) ++shared;
        }
        EXPECT_EQ(shared, 301) << "boss " << bossId;
        EXPECT_NE(BossBattleImageName(bossId, 0), nullptr);
        EXPECT_NE(BossBattleImageName(bossId, 201), nullptr);
    }
}

TEST(BattleImageListTest, UnknownIdsAndOutsidePositionsHaveNoName) {
    for (int bossId : {0, 4, 7, 100, 4000, -1}) EXPECT_EQ(BossBattleImageName(bossId, 1), nullptr) << bossId;
    EXPECT_EQ(BossBattleImageName(1, -1), nullptr);
    EXPECT_EQ(BossBattleImageName(1, kBossBattleImageCount), nullptr);
    EXPECT_FALSE(IsBossBattleId(4));
    EXPECT_TRUE(IsBossBattleId(5000));
}

TEST(BattleImageListTest, ALoadForAnUnknownIdLeavesEveryPositionEmpty) {
    int images[kBossBattleImageCount];
    for (int& image : images) image = 7;  // stale handles of an earlier battle
    EXPECT_EQ(LoadBossBattleAssets(4, images), 0);
    for (int position = 0; position < kBossBattleImageCount; ++position)
        EXPECT_EQ(images[position], -1) << position;
}

TEST(BattleImageListTest, ReadsByPositionStayInsideTheTable) {
    int images[kBossBattleImageCount];
    for (int i = 0; i < kBossBattleImageCount; ++i) images[i] = 1000 + i;
    EXPECT_EQ(BossBattleImage(images, 0), 1000);
    EXPECT_EQ(BossBattleImage(images, 416), 1416);
    EXPECT_EQ(BossBattleImage(images, 417), -1);
    EXPECT_EQ(BossBattleImage(images, -1), -1);
}

TEST(BattleSoundTableTest, TheStepSoundFollowsTheBoss) {
    const struct {
        int bossId;
        const char* step;
    } cases[] = {
        {1, "resource\\sound\\SE\\se_stage_tamsel_arm.wav"},
        {2, "resource\\sound\\SE\\se_stage_tamsel_arm.wav"},
        {1000, "resource\\sound\\SE\\se_stage_tamsel_arm.wav"},
        {2000, "resource\\sound\\SE\\se_stage_tamsel_arm.wav"},
        {3, "resource\\sound\\SE\\se_boss_dobbinstep.wav"},
        {3000, "resource\\sound\\SE\\se_boss_dobbinstep.wav"},
        {5, "resource\\sound\\SE\\se_robo_walk.wav"},
        {6, "resource\\sound\\SE\\se_robo_walk.wav"},
        {5000, "resource\\sound\\SE\\se_robo_walk.wav"},
        {6000, "resource\\sound\\SE\\se_robo_walk.wav"},
    };
    for (const auto& c : cases) {
        ASSERT_NE(BossBattleStepSound(c.bossId), nullptr) << c.bossId;
        EXPECT_STREQ(BossBattleStepSound(c.bossId), c.step) << c.bossId;
    }
    EXPECT_EQ(BossBattleStepSound(4), nullptr);
    EXPECT_EQ(BossBattleStepSound(7), nullptr);
    // Music first, effects after.
    EXPECT_EQ(BossBattleSoundTable[0].kind, 0);
    for (int i = 1; i < kBossBattleSoundCount; ++i) EXPECT_EQ(BossBattleSoundTable[i].kind, 1) << i;
}

}  // namespace
