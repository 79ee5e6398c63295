// The HUD's pictures for hit points, attack level and spell stock, and the
// pause menu's keys.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "framework/graphics/draws/draw_observer.h"
#include "game/framework/input_manager.h"
#include "game/stage/player_character.h"
#include "game/stage/stage_hud.h"
#include "game/stage/stage_scene.h"

namespace {

struct Seen {
    int handle;
    int x;
    int y;
};
std::vector<Seen>* seen = nullptr;
void Record(const ObservedGraphicDraw& draw) {
    seen->push_back({draw.handle, static_cast<int>(draw.points[0]), static_cast<int>(draw.points[1])});
}

class StageHudTest : public ::testing::Test {
protected:
    void SetUp() override {
        seen = &draws;
        SetGraphicDrawObserver(&Record);
        for (int i = 0; i < 800; ++i) images[i] = 1000 + i;
    }
    void TearDown() override {
        SetGraphicDrawObserver(nullptr);
        seen = nullptr;
    }
    std::vector<Seen> draws;
    int images[800];
};

TEST_F(StageHudTest, OneGaugeCellPerStartedTenHitPoints) {
    struct Case {
        int hitPoints;
        int cells;
    };
    for (Case c : {Case{0, 0}, Case{1, 1}, Case{10, 1}, Case{11, 2}, Case{35, 4}, Case{95, 10}, Case{100, 10}}) {
        draws.clear();
        PlayerRecord player;
        player.hitPoints = c.hitPoints;
        DrawStageHud(player, images);
        std::vector<int> cellXs;
        for (const Seen& d : draws)
            if (d.handle == 1005) {
                EXPECT_EQ(d.y, 30);
                cellXs.push_back(d.x);
            }
        ASSERT_EQ(static_cast<int>(cellXs.size()), c.cells) << c.hitPoints;
        if (c.cells > 0) {
            EXPECT_EQ(cellXs.front(), 30);
            EXPECT_EQ(cellXs.back(), 30 + 24 * (c.cells - 1));
        }
        ASSERT_FALSE(draws.empty());
        EXPECT_EQ(draws.front().handle, 1004);  // the frame first, at (10, 10)
        EXPECT_EQ(draws.front().x, 10);
    }
}

TEST_F(StageHudTest, AttackLevelAndSpellStockPictures) {
    struct Case {
        int attackLevel;
        int spellStock;
        int levelImage;
        int stockImage;
    };
    for (Case c : {Case{1, 0, 375, 131}, Case{2, 1, 376, 132}, Case{3, 1, 377, 132}, Case{0, 2, -1, -1},
                   Case{4, -1, -1, -1}}) {
        SCOPED_TRACE(c.attackLevel);
        EXPECT_EQ(HudAttackLevelImage(c.attackLevel), c.levelImage);
        EXPECT_EQ(HudSpellStockImage(c.spellStock), c.stockImage);
        draws.clear();
        PlayerRecord player;
        player.hitPoints = 0;
        player.attackLevel = c.attackLevel;
        player.spellStock = c.spellStock;
        DrawStageHud(player, images);
        std::vector<Seen> icons(draws.begin() + 1, draws.end());  // after the gauge frame
        std::vector<Seen> want;
        // Both at (85, 54), the stock after (over) the level.
        if (c.levelImage != -1) want.push_back({1000 + c.levelImage, 85, 54});
        if (c.stockImage != -1) want.push_back({1000 + c.stockImage, 85, 54});
        ASSERT_EQ(icons.size(), want.size());
        for (size_t i = 0; i < want.size(); ++i) {
            EXPECT_EQ(icons[i].handle, want[i].handle);
            EXPECT_EQ(icons[i].x, want[i].x);
            EXPECT_EQ(icons[i].y, want[i].y);
        }
    }
}

class PauseMenuKeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        StagePaused = true;
        StagePauseMenuHidden = false;
    }
    void TearDown() override {
        StagePaused = false;
        StagePauseMenuHidden = false;
    }
    PauseMenuChoice Keys(std::map<int, int> held) { return RunPauseMenuKeys(&menu, held, sounds); }
    StagePauseMenu menu;
    int sounds[43] = {};
};

TEST_F(PauseMenuKeysTest, UpAndDownToggleAndCancelInOneFrame) {
    EXPECT_EQ(Keys({{KEY_UP, 1}}), PauseMenuChoice::None);
    EXPECT_EQ(menu.cursor, 1);
    Keys({{KEY_DOWN, 1}});
    EXPECT_EQ(menu.cursor, 0);
    Keys({{KEY_UP, 1}, {KEY_DOWN, 1}});
    EXPECT_EQ(menu.cursor, 0);
    Keys({{KEY_UP, 2}});  // held, not pressed
    EXPECT_EQ(menu.cursor, 0);
}

TEST_F(PauseMenuKeysTest, AttackChoosesTheEntryUnderTheCursor) {
    for (int i = 0; i < 43; ++i) sounds[i] = -1;
    EXPECT_EQ(Keys({{ATTACK, 1}}), PauseMenuChoice::Resume);
    menu.cursor = 1;
    EXPECT_EQ(Keys({{ATTACK, 1}}), PauseMenuChoice::Leave);
    // The cursor moves first, then ATTACK acts on the entry it now shows.
    menu.cursor = 0;
    EXPECT_EQ(Keys({{KEY_DOWN, 1}, {ATTACK, 1}}), PauseMenuChoice::Leave);
}

TEST_F(PauseMenuKeysTest, JumpHidesAndAttackOrJumpShowsAgain) {
    Keys({{JUMP, 1}});
    EXPECT_TRUE(StagePauseMenuHidden);
    EXPECT_TRUE(StagePaused);
    // Hidden: the keys only bring the menu back, they do not choose.
    EXPECT_EQ(Keys({{ATTACK, 1}}), PauseMenuChoice::None);
    EXPECT_FALSE(StagePauseMenuHidden);
    Keys({{JUMP, 1}});
    Keys({{KEY_UP, 1}});
    EXPECT_EQ(menu.cursor, 0);
    Keys({{JUMP, 1}});
    EXPECT_FALSE(StagePauseMenuHidden);
}

TEST_F(PauseMenuKeysTest, NothingWhileNotPaused) {
    StagePaused = false;
    EXPECT_EQ(Keys({{ATTACK, 1}, {KEY_UP, 1}}), PauseMenuChoice::None);
    EXPECT_EQ(menu.cursor, 0);
}

}  // namespace
