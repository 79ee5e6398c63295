#include "game/stage/stage_sounds.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/user/user.h"
#include "game/framework/resource_managers.h"
#include "tests/support/game/game_test.h"

namespace {

const std::string kBgm = "resource\\sound\\BGM\\";

struct MusicCase {
    int code;
    const char* first;
    const char* second;
};

const MusicCase kMusicCases[] = {
    {1, "bgm_stage1_velhall.ogg", "bgm_stage1_stagehall.ogg"},
    {102, "bgm_stage1_velhall.ogg", "bgm_stage1_stagehall.ogg"},
    {2, "bgm_stage2_1.ogg", "bgm_stage2_2.ogg"},
    {202, "bgm_stage2_1.ogg", "bgm_stage2_2.ogg"},
    {3, "bgm_stage3_1.ogg", "bgm_stage3_2.ogg"},
    {302, "bgm_stage3_1.ogg", "bgm_stage3_2.ogg"},
    {4, "bgm_stage4_1.ogg", "bgm_stage4_2.ogg"},
    {402, "bgm_stage4_1.ogg", "bgm_stage4_2.ogg"},
    {5, "bgm_stage5_1.ogg", "bgm_stage2_2.ogg"},
    // Part b of stage 5 falls back to the stage-1 pair.
    {502, "bgm_stage1_velhall.ogg", "bgm_stage1_stagehall.ogg"},
    {0, "bgm_stage1_velhall.ogg", "bgm_stage1_stagehall.ogg"},
};

TEST(StageSoundTableTest, FixedEntries) {
    int count = 0;
    const SoundListEntry* list = StageSoundList(&count);
    ASSERT_EQ(count, 43);
    EXPECT_EQ(list, StageSoundTable);
    EXPECT_STREQ(list[0].name, "resource\\sound\\SE\\death01.wav");
    EXPECT_STREQ(list[2].name, list[0].name);
    EXPECT_STREQ(list[18].name, list[15].name);
    EXPECT_STREQ(list[12].name, "resource\\sound\\SE\\se_stage_pause.wav");
    EXPECT_STREQ(list[42].name, "resource\\sound\\SE\\se_boss_dobbinstep.wav");
    for (int i = 0; i < count; ++i) {
        const bool music = i == kStageFirstMusicEntry || i == kStageSecondMusicEntry;
        EXPECT_EQ(list[i].kind, music ? 0 : 1) << i;
        EXPECT_EQ(std::string(list[i].name).rfind(music ? kBgm : "resource\\sound\\SE\\", 0), 0u) << i;
    }
}

class StageSoundLoadTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        ASSERT_TRUE(StartFramework());
        WriteLoadingSheet();
        ReloadLoadingDrawer();
    }
    void TearDown() override {
        StageMusicPair(1, &StageSoundTable[16].name, &StageSoundTable[30].name);
        GameTest::TearDown();
    }

    static int PostedQuitCode() {
        MSG message{};
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
        }
        return -1;
    }
};

// Without the sound files the load fails, after the table has been rewritten
// for the stage: each code leaves its own pair in entries 16 and 30.
TEST_F(StageSoundLoadTest, MusicIsRewrittenPerStageAndFailureIsReported) {
    for (const MusicCase& c : kMusicCases) {
        messageBoxes.clear();
        int handles[kStageSoundCount];
        for (int& handle : handles) handle = 55;
        EXPECT_EQ(LoadStageSounds(c.code, handles), 0) << c.code;
        EXPECT_EQ(StageSoundTable[16].name, kBgm + c.first) << c.code;
        EXPECT_EQ(StageSoundTable[30].name, kBgm + c.second) << c.code;
        const char* first = nullptr;
        const char* second = nullptr;
        StageMusicPair(c.code, &first, &second);
        EXPECT_EQ(first, kBgm + c.first);
        EXPECT_EQ(second, kBgm + c.second);
        for (int handle : handles) EXPECT_EQ(handle, -1);
        ASSERT_EQ(messageBoxes.size(), 1u);
        EXPECT_EQ(messageBoxes[0].text, "Failed to load Stage1 Sound. This program will quit.");
        EXPECT_FALSE(messageBoxes[0].hasCaption);
        EXPECT_EQ(messageBoxes[0].type, MB_ICONERROR);
        EXPECT_EQ(PostedQuitCode(), 1);
    }
}

// Entries that share a file take a handle each and count it twice, so the
// release of all 43 gives every file back.
TEST_F(StageSoundLoadTest, LoadsAllInTableOrderAndReleasesThemAll) {
    const char* first = nullptr;
    const char* second = nullptr;
    StageMusicPair(5, &first, &second);
    for (int i = 0; i < kStageSoundCount; ++i) {
        if (i != 16 && i != 30) WriteTone(StageSoundTable[i].name, 20);
    }
    WriteTone(first, 20);
    WriteTone(second, 20);
    int handles[kStageSoundCount];
    ASSERT_EQ(LoadStageSounds(5, handles), kStageSoundCount);
    EXPECT_TRUE(messageBoxes.empty());
    Manager::CSoundManager* sounds = Manager::CSoundManager::GetInstance();
    for (int i = 0; i < kStageSoundCount; ++i) {
        EXPECT_GE(handles[i], 0) << i;
        EXPECT_EQ(handles[i], sounds->GetHandle(StageSoundTable[i].name)) << i;
    }
    EXPECT_EQ(handles[0], handles[2]);
    EXPECT_EQ(handles[15], handles[18]);
    ReleaseStageSoundEffects();
    for (int i = 0; i < kStageSoundCount; ++i) EXPECT_EQ(sounds->GetHandle(StageSoundTable[i].name), -1) << i;
}

}  // namespace
