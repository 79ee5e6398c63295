// The generated pictures as the game draws them, seen on the screen: each
// pause menu shows the entry under its cursor lit and the other plain, the
// options page's rows are labelled beside the cursor, and the HUD's attack
// level and spell stock, drawn at one place, both show.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/screen_flip.h"
#include "framework/window/main_window_state.h"
#include "game/app/options_scene.h"
#include "game/app/play_time.h"
#include "game/framework/resource_managers.h"
#include "game/bossbattle/boss_battle_scene.h"
#include "game/stage/player_character.h"
#include "game/stage/stage_hud.h"
#include "game/stage/stage_images.h"
#include "platform/user/user.h"
#include "tests/support/game/game_test.h"

namespace {

constexpr int kKeyStart = 27;   // Esc
constexpr int kKeyAttack = 90;  // Z
constexpr int kKeyDown = 40;
constexpr int kKeySkip = 83;    // S: a button the battle does not use

constexpr int kScreenWidth = 640;

using Screen = std::vector<uint32_t>;

int Luminance(uint32_t pixel) {
    return 3 * static_cast<int>((pixel >> 16) & 0xFF) + 6 * static_cast<int>((pixel >> 8) & 0xFF) +
           static_cast<int>(pixel & 0xFF);
}

// White as the pictures write their text and frames (within what a 16-bit
// screen keeps of it).
bool IsWhite(uint32_t pixel) {
    return ((pixel >> 16) & 0xFF) >= 240 && ((pixel >> 8) & 0xFF) >= 240 && (pixel & 0xFF) >= 240;
}

std::vector<bool> WhiteMask(const Screen& screen, int x, int y, int width, int height) {
    std::vector<bool> mask;
    for (int row = y; row < y + height; ++row)
        for (int column = x; column < x + width; ++column) mask.push_back(IsWhite(screen[row * kScreenWidth + column]));
    return mask;
}

bool Any(const std::vector<bool>& mask) {
    for (bool set : mask)
        if (set) return true;
    return false;
}

// The two entries of a pause menu: 384 x 64 at (128, 176) and (128, 240).
constexpr int kMenuX = 128;
constexpr int kEntryY[2] = {176, 240};

// The mean brightness of a patch inside an entry's plate, clear of its name.
int PlateBrightness(const Screen& screen, int entry) {
    int sum = 0, count = 0;
    for (int y = kEntryY[entry] + 3; y < kEntryY[entry] + 13; ++y)
        for (int x = kMenuX + 3; x < kMenuX + 13; ++x, ++count) sum += Luminance(screen[y * kScreenWidth + x]);
    return sum / count;
}

// The start of the entry's name, which stays the same in both looks.
std::vector<bool> EntryName(const Screen& screen, int entry) {
    return WhiteMask(screen, kMenuX + 16, kEntryY[entry] + 16, 100, 32);
}

// `shown[c]` is the screen with the cursor on entry c.
void ExpectSelectedEntryLit(const Screen shown[2]) {
    for (int cursor = 0; cursor < 2; ++cursor) {
        SCOPED_TRACE(cursor);
        ASSERT_EQ(shown[cursor].size(), static_cast<size_t>(kScreenWidth * 480));
        EXPECT_GT(PlateBrightness(shown[cursor], cursor), PlateBrightness(shown[cursor], 1 - cursor) + 200)
            << "the entry under the cursor is not the lit one";
    }
    for (int entry = 0; entry < 2; ++entry) {
        EXPECT_TRUE(Any(EntryName(shown[0], entry))) << entry;
        EXPECT_EQ(EntryName(shown[0], entry), EntryName(shown[1], entry)) << "entry " << entry << " changes place";
    }
    EXPECT_NE(EntryName(shown[0], 0), EntryName(shown[0], 1));
}

class MenuAndHudPicturesTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        ASSERT_TRUE(StartFramework());
        ASSERT_TRUE(SetCurrentDirectoryA(gametest::GeneratedTreeFolder().c_str()));
        ReloadLoadingDrawer();
    }

    static int Load(const char* name) {
        Manager::CTextureManager* textures = Manager::CTextureManager::GetInstance();
        if (!textures->Load(name, nullptr)) return -1;
        return textures->GetHandle(name);
    }
};

// What the battle test does at the start of each battle frame.
std::function<void()> onBattleFrame;

TEST_F(MenuAndHudPicturesTest, TheStagePauseMenuLightsTheEntryUnderTheCursor) {
    StagePauseMenu menu;
    ASSERT_TRUE(CreateStagePauseMenu(&menu));
    PlayTimer time = {};
    Screen shown[2];
    for (int cursor = 0; cursor < 2; ++cursor) {
        ClearTargetScreen();
        menu.cursor = cursor;
        DrawPauseMenu(menu, &time);
        shown[cursor] = CaptureFrame();
    }
    ReleaseStagePauseMenu(&menu);
    ExpectSelectedEntryLit(shown);
}

TEST_F(MenuAndHudPicturesTest, TheBattlePauseMenuLightsTheEntryUnderTheCursor) {
    for (int frame = 1; frame < 4000; frame += 2) HoldKey(kKeySkip, frame);  // skips the robot movie
    // Only the menu's place is drawn, and the window shows the screen a
    // hundredth of its size: the battle runs in seconds.
    SetDrawAreaRect(kMenuX, kEntryY[0], kMenuX + 384, kEntryY[1] + 64);
    MainWindow.settings.WindowScaleRateX = 0.01;
    MainWindow.settings.WindowScaleRateY = 0.01;
    Screen shown[2];
    int battleFrame = 0;
    onBattleFrame = [&] {
        if (battleFrame++ != 5) return;
        const int now = FramesEnded();
        HoldKey(kKeyStart, now + 1);
        AtFrame(now + 6, [&] { shown[0] = CaptureFrame(); });
        HoldKey(kKeyDown, now + 8);
        AtFrame(now + 12, [&] { shown[1] = CaptureFrame(); });
        HoldKey(kKeyAttack, now + 14);  // leaves the battle
    };
    BossBattleFrameHook = [](PlayerRobot&, BossRobot&, int&) { onBattleFrame(); };
    int carried = 25;
    const int result = RunBossBattleScene(&carried, 1, 1, true);
    BossBattleFrameHook = nullptr;
    onBattleFrame = nullptr;
    MainWindow.settings.WindowScaleRateX = 0.0;
    MainWindow.settings.WindowScaleRateY = 0.0;
    EXPECT_EQ(result, 99);
    ExpectSelectedEntryLit(shown);
}

// The row labels drawn as the options page draws them: each in the band
// where the cursor stands on its row, right of the cursor and left of the
// bars and the full-screen picture; nothing between the rows.
TEST_F(MenuAndHudPicturesTest, TheOptionsRowsAreLabelledBesideTheCursor) {
    int pictures[6] = {-1, -1, -1, -1, -1, -1};
    pictures[4] = Load("resource\\picture\\config\\option_menus.png");
    ASSERT_GE(pictures[4], 0);
    ClearTargetScreen();
    DrawConfigScene(pictures, 0, false, 0, 0);
    const Screen shown = CaptureFrame();
    ASSERT_EQ(shown.size(), static_cast<size_t>(kScreenWidth * 480));
    std::set<std::vector<bool>> labels;
    for (int row = 0; row < 5; ++row) {
        const int top = 139 + 48 * row;
        const std::vector<bool> band = WhiteMask(shown, 146, top, 360 - 146, 32);
        EXPECT_TRUE(Any(band)) << "row " << row << " has no label";
        labels.insert(band);
        if (row < 4) {
            EXPECT_FALSE(Any(WhiteMask(shown, 128, top + 32, 224, 16))) << "below row " << row;
        }
    }
    EXPECT_EQ(labels.size(), 5u) << "rows with the same label";
}

// Drawn alone, each picture shows on its own pixels; drawn together, neither
// hides any of the other's.
TEST_F(MenuAndHudPicturesTest, TheAttackLevelAndTheSpellStockBothShow) {
    int count = 0;
    const char* const* list = StageImageList(1, &count);
    ASSERT_NE(list, nullptr);
    std::vector<int> images(kStageImageTableSize, -1);
    for (int position : {HudImage::kAttackLevel1, HudImage::kAttackLevel1 + 1, HudImage::kAttackLevel1 + 2,
                         HudImage::kSpellStock0, HudImage::kSpellStock0 + 1}) {
        images[position] = Load(list[position]);
        ASSERT_GE(images[position], 0) << list[position];
    }
    const auto shown = [&](int attackLevel, int spellStock) {
        PlayerRecord player;
        player.hitPoints = 0;
        player.attackLevel = attackLevel;
        player.spellStock = spellStock;
        ClearTargetScreen();
        DrawStageHud(player, images.data());
        return CaptureFrame();
    };
    for (int level = 1; level <= 3; ++level)
        for (int stock = 0; stock <= 1; ++stock) {
            SCOPED_TRACE(std::to_string(level) + " " + std::to_string(stock));
            const Screen levelAlone = shown(level, 9);  // a stock without a picture
            const Screen stockAlone = shown(0, stock);  // a level without a picture
            const Screen both = shown(level, stock);
            ASSERT_EQ(both.size(), static_cast<size_t>(kScreenWidth * 480));
            int levelPixels = 0, stockPixels = 0, overlap = 0, hidden = 0;
            for (size_t i = 0; i < both.size(); ++i) {
                const bool ofLevel = levelAlone[i] != 0;
                const bool ofStock = stockAlone[i] != 0;
                levelPixels += ofLevel;
                stockPixels += ofStock;
                overlap += ofLevel && ofStock;
                if ((ofLevel && both[i] != levelAlone[i]) || (ofStock && both[i] != stockAlone[i])) ++hidden;
            }
            EXPECT_GT(levelPixels, 0);
            EXPECT_GT(stockPixels, 0);
            EXPECT_EQ(overlap, 0);
            EXPECT_EQ(hidden, 0);
        }
}

}  // namespace
