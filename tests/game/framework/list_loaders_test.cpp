// Loading lists of images and sounds: the drawer's calls, skipped empty
// names, the failure message, the volumes by kind, the reference rule of
// each list, and the loading animation's cell.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/graphics/handles/graphic_handles.h"
#include "framework/sound/sound_handles.h"
#include "framework/sound/sound_playback.h"
#include "game/framework/game_config.h"
#include "game/framework/resource_managers.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/game/game_test.h"

namespace {

// Writes down each call, without the times.
class RecordingDrawer : public Manager::ILoadingDrawer {
public:
    void Begin(unsigned, int count) override { calls.push_back("Begin " + std::to_string(count)); }
    void Update(unsigned, int index) override { calls.push_back("Update " + std::to_string(index)); }
    void Draw(int) override { calls.push_back("Draw"); }
    void End() override { calls.push_back("End"); }
    int GetRedrawInterval() override { return 30; }
    std::vector<std::string> calls;
};

class ListLoaderTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        ASSERT_TRUE(StartFramework());
        WritePicture("a.png", 4, 4, 0xFF0000);
        WritePicture("b.png", 4, 4, 0x00FF00);
        WriteTone("music.wav", 100);
        WriteTone("effect.wav", 100);
        WriteTone("other.wav", 100);
        WriteLoadingSheet();
        ReloadLoadingDrawer();
    }
};

TEST_F(ListLoaderTest, TheDrawerIsCalledInOrderAndEmptyNamesAreSkipped) {
    const char* names[] = {"a.png", nullptr, "b.png"};
    int handles[3] = {-7, -7, -7};
    RecordingDrawer drawer;
    // Every clock read moves 40 ms on: a redraw is due before each entry.
    platform::Profile().clock.advanceNanosecondsPerRead = 40000000;
    ASSERT_TRUE(LoadTexturesWithProgress(names, &drawer, handles, 3));
    platform::Profile().clock.advanceNanosecondsPerRead = 0;
    const std::vector<std::string> expected = {"Begin 2",  "Update 0", "Draw", "Update 1", "Draw",
                                               "Update 2", "Draw",     "Update 2", "Draw", "End"};
    EXPECT_EQ(drawer.calls, expected);
    EXPECT_EQ(handles[0], Manager::CTextureManager::GetInstance()->GetHandle("a.png"));
    EXPECT_EQ(handles[1], -7);
    EXPECT_EQ(handles[2], Manager::CTextureManager::GetInstance()->GetHandle("b.png"));
    // Each redraw ended a frame.
    EXPECT_EQ(FramesEnded(), 3);
}

TEST_F(ListLoaderTest, AListOfOnlyEmptyNamesDrawsTheFirstFrameAndSucceeds) {
    const char* names[] = {nullptr, nullptr};
    int handles[2] = {};
    ASSERT_TRUE(LoadTexturesWithProgress(names, nullptr, handles, 2));
    // The now-loading cell at the lower right, drawn opaque.
    ASSERT_EQ(OpenFrameDraws().size(), 1u);
    EXPECT_EQ(gametest::Describe(OpenFrameDraws()[0]),
              "DrawGraphicPart now_loading.png 384,440 part 0,0,256,32 trans 0 blend 0/0 bright 255,255,255");
}

TEST_F(ListLoaderTest, AMissingImageShowsItsNameAndFails) {
    const char* names[] = {"a.png", "missing.png", "b.png"};
    int handles[3] = {};
    RecordingDrawer drawer;
    EXPECT_FALSE(LoadTexturesWithProgress(names, &drawer, handles, 3));
    ASSERT_EQ(messageBoxes.size(), 1u);
    EXPECT_EQ(messageBoxes[0].owner, nullptr);
    EXPECT_EQ(messageBoxes[0].text, "missing.png load failed");
    EXPECT_FALSE(messageBoxes[0].hasCaption);
    EXPECT_EQ(messageBoxes[0].type, MB_OK);
    EXPECT_EQ(drawer.calls.back(), "End");
    EXPECT_EQ(Manager::CTextureManager::GetInstance()->GetHandle("b.png"), -1);
}

// An image list adds no reference for a name that is already loaded: the
// first owner's release deletes it, also for a second list that shares it.
// A sound list adds one per load.
TEST_F(ListLoaderTest, ImageListsShareWithoutReferencesSoundListsCountEachLoad) {
    const char* images[] = {"a.png"};
    int imageHandles[1] = {};
    ASSERT_TRUE(LoadTexturesWithProgress(images, nullptr, imageHandles, 1));
    ASSERT_TRUE(LoadTexturesWithProgress(images, nullptr, imageHandles, 1));
    ReleaseTextures(images, 1);
    EXPECT_EQ(Manager::CTextureManager::GetInstance()->GetHandle("a.png"), -1);
    EXPECT_EQ(IsValidGraphicHandle(imageHandles[0]), 0);

    const SoundListEntry sounds[] = {{"effect.wav", 1}};
    int soundHandles[1] = {};
    ASSERT_TRUE(LoadSoundsWithProgress(sounds, soundHandles, 1));
    ASSERT_TRUE(LoadSoundsWithProgress(sounds, soundHandles, 1));
    ReleaseSounds(sounds, 1);
    EXPECT_EQ(Manager::CSoundManager::GetInstance()->GetHandle("effect.wav"), soundHandles[0]);
    ReleaseSounds(sounds, 1);
    EXPECT_EQ(Manager::CSoundManager::GetInstance()->GetHandle("effect.wav"), -1);
    EXPECT_EQ(GetSoundRecord(soundHandles[0]), nullptr);
}

TEST_F(ListLoaderTest, SoundsTakeTheVolumeOfTheirKind) {
    GameConfig* config = GetGameConfig();
    config->bgmVolume = 85;
    config->seVolume = 80;
    const SoundListEntry list[] = {{"music.wav", 0}, {nullptr, 1}, {"effect.wav", 1}, {"other.wav", 2}};
    int handles[4] = {-7, -7, -7, -7};
    ASSERT_TRUE(LoadSoundsWithProgress(list, handles, 4));
    EXPECT_EQ(handles[1], -7);
    EXPECT_EQ(GetSoundRecord(handles[0])->volume, SoundVolumeToDecibels(162));
    EXPECT_EQ(GetSoundRecord(handles[2])->volume, SoundVolumeToDecibels(153));
    EXPECT_EQ(GetSoundRecord(handles[3])->volume, 0);  // as loaded: full
    EXPECT_TRUE(messageBoxes.empty());
}

TEST_F(ListLoaderTest, AMissingSoundFailsWithoutAMessage) {
    const SoundListEntry list[] = {{"music.wav", 0}, {"missing.wav", 1}};
    int handles[2] = {};
    EXPECT_FALSE(LoadSoundsWithProgress(list, handles, 2));
    EXPECT_TRUE(messageBoxes.empty());
}

// The cell follows the time since Begin, modulo a second, at 60 cells a
// second, from the cell where the last load ended; a clock that wrapped
// since Begin still counts forward.
TEST_F(ListLoaderTest, TheLoadingCellFollowsTheClock) {
    struct Case {
        unsigned elapsed;
        unsigned baseCell;
        unsigned row;
        unsigned column;
    };
    const Case cases[] = {
        {0, 0, 0, 0},      {16, 0, 0, 0},  {17, 0, 1, 0},    {300, 0, 2, 1},  {999, 0, 11, 3},
        {1000, 0, 0, 0},   {1017, 0, 1, 0}, {0, 59, 11, 3},  {17, 59, 0, 0},  {4294967295u, 0, 1, 1},
    };
    CNowLoadingDrawer* drawer = CNowLoadingDrawer::GetInstance();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.elapsed);
        drawer->baseCell = c.baseCell;
        drawer->Begin(1000, 1);
        drawer->Update(1000 + c.elapsed, 0);
        EXPECT_EQ(drawer->row, c.row);
        EXPECT_EQ(drawer->column, c.column);
        drawer->End();
        EXPECT_EQ(drawer->baseCell, c.column * 16 + c.row);
        EXPECT_EQ(drawer->startTime, 0u);
    }
    EXPECT_EQ(drawer->GetRedrawInterval(), 30);
    drawer->row = 11;
    drawer->column = 3;
    drawer->Draw(0);
    ASSERT_EQ(OpenFrameDraws().size(), 1u);
    EXPECT_EQ(gametest::Describe(OpenFrameDraws()[0]),
              "DrawGraphicPart now_loading.png 384,440 part 768,352,256,32 trans 0 blend 0/0 bright 255,255,255");
    drawer->baseCell = 0;
}

}  // namespace
