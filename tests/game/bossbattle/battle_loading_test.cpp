// Loading a battle's pictures and sounds headless from the placeholder tree:
// every boss id fills its 417 positions and its 18 sounds without a message
// box, the step sound follows the boss and stays for an unknown id, and a
// missing file ends the program the way the battle expects.
#include <gtest/gtest.h>

#include <string>

#include "game/bossbattle/battle_assets.h"
#include "game/bossbattle/battle_sounds.h"
#include "game/framework/resource_managers.h"
#include "platform/user/user.h"
#include "tests/support/game/game_test.h"

namespace {

class BattleLoadingTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        ASSERT_TRUE(StartFramework());
    }

    void UseTree() {
        ASSERT_TRUE(SetCurrentDirectoryA(gametest::GeneratedTreeFolder().c_str()));
        ReloadLoadingDrawer();
    }

    static bool QuitPosted(int* exitCode) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            if (message.message == WM_QUIT) {
                *exitCode = static_cast<int>(message.wParam);
                return true;
            }
        return false;
    }
};

TEST_F(BattleLoadingTest, EveryBossLoadsItsImagesAndSoundsFromTheTree) {
    UseTree();
    // Each story boss, then its boss-rush id while the story battle's
    // pictures are still loaded (the same names, so they are not decoded
    // again).
    for (int storyId : {1, 2, 3, 5, 6}) {
        for (int bossId : {storyId, storyId * 1000}) {
            SCOPED_TRACE(bossId);
            int images[kBossBattleImageCount];
            ASSERT_EQ(LoadBossBattleAssets(bossId, images), 0);
            for (int position = 0; position < kBossBattleImageCount; ++position) {
                const char* name = BossBattleImageName(bossId, position);
                if (name == nullptr) {
                    EXPECT_EQ(images[position], -1) << position;
                } else {
                    EXPECT_GE(images[position], 0) << position;
                    EXPECT_EQ(images[position], Manager::CTextureManager::GetInstance()->GetHandle(name)) << position;
                }
            }
            int sounds[kBossBattleSoundCount];
            ASSERT_EQ(LoadBossBattleSounds(bossId, sounds), kBossBattleSoundCount);
            for (int index = 0; index < kBossBattleSoundCount; ++index) EXPECT_GE(sounds[index], 0) << index;
            EXPECT_STREQ(BossBattleSoundTable[3].name, BossBattleStepSound(bossId));
            EXPECT_EQ(sounds[3], Manager::CSoundManager::GetInstance()->GetHandle(BossBattleStepSound(bossId)));
            ReleaseSounds(BossBattleSoundTable, kBossBattleSoundCount);
        }
        ReleaseRobotMovies();
        Manager::CTextureManager::GetInstance()->ReleaseAll();
    }
    EXPECT_TRUE(messageBoxes.empty());
    int exitCode = 0;
    EXPECT_FALSE(QuitPosted(&exitCode));
}

TEST_F(BattleLoadingTest, AnUnknownIdKeepsTheLastStepSound) {
    UseTree();
    int sounds[kBossBattleSoundCount];
    ASSERT_EQ(LoadBossBattleSounds(3, sounds), kBossBattleSoundCount);
    ReleaseSounds(BossBattleSoundTable, kBossBattleSoundCount);
    ASSERT_EQ(LoadBossBattleSounds(4, sounds), kBossBattleSoundCount);
    EXPECT_STREQ(BossBattleSoundTable[3].name, "resource\\sound\\SE\\se_boss_dobbinstep.wav");
    ReleaseSounds(BossBattleSoundTable, kBossBattleSoundCount);
}

TEST_F(BattleLoadingTest, TheMoviesAreGivenBackByName) {
    UseTree();
    int images[kBossBattleImageCount];
    ASSERT_EQ(LoadBossBattleAssets(1, images), 0);
    Manager::CTextureManager* textures = Manager::CTextureManager::GetInstance();
    ASSERT_GE(textures->GetHandle(RobotMovieNames[0]), 0);
    ASSERT_GE(textures->GetHandle(RobotMovieNames[1]), 0);
    ReleaseRobotMovies();
    EXPECT_EQ(textures->GetHandle(RobotMovieNames[0]), -1);
    EXPECT_EQ(textures->GetHandle(RobotMovieNames[1]), -1);
    EXPECT_GE(textures->GetHandle(BossBattleImageName(1, 1)), 0);
}

TEST_F(BattleLoadingTest, AMissingFileEndsTheProgramAndLeavesNoStaleHandle) {
    // The test's own folder holds only the loading sheet: the first picture
    // of the list is missing.
    WriteLoadingSheet();
    ReloadLoadingDrawer();
    int images[kBossBattleImageCount];
    for (int& image : images) image = 5;
    EXPECT_EQ(LoadBossBattleAssets(2, images), -1);
    ASSERT_GE(messageBoxes.size(), 1u);
    EXPECT_EQ(messageBoxes.back().text, "Failed to load Image. This program will quit.");
    EXPECT_FALSE(messageBoxes.back().hasCaption);
    EXPECT_EQ(messageBoxes.back().type & 0xF0u, MB_ICONERROR);
    int exitCode = 0;
    ASSERT_TRUE(QuitPosted(&exitCode));
    EXPECT_EQ(exitCode, 1);
    for (int image : images) EXPECT_EQ(image, -1);

    messageBoxes.clear();
    int sounds[kBossBattleSoundCount];
    for (int& sound : sounds) sound = 5;
    EXPECT_EQ(LoadBossBattleSounds(2, sounds), 0);
    ASSERT_EQ(messageBoxes.size(), 1u);
    EXPECT_EQ(messageBoxes[0].text, "Failed to load Stage1 Sound. This program will quit.");
    EXPECT_FALSE(messageBoxes[0].hasCaption);
    EXPECT_EQ(messageBoxes[0].type & 0xF0u, MB_ICONERROR);
    ASSERT_TRUE(QuitPosted(&exitCode));
    EXPECT_EQ(exitCode, 1);
    for (int sound : sounds) EXPECT_EQ(sound, -1);
}

}  // namespace
