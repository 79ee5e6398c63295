// The stage clear: its fixed length whatever the keys, the robot's flight,
// the words, the jingle and what is given back; small pictures in the
// test's folder stand in for the full-screen ones.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "framework/graphics/draw_settings.h"
#include "framework/sound/sound_playback.h"
#include "framework/window/main_window.h"
#include "game/app/active_state_callbacks.h"
#include "game/app/stage_clear_scene.h"
#include "game/framework/resource_managers.h"
#include "platform/kernel/kernel.h"
#include "tests/game/app/app_test.h"

namespace {

constexpr int kSceneFrames = 51 + 480 + 51;
const char kJingle[] = "resource\\sound\\BGM\\bgm_stageclear2.ogg";

class StageClearTest : public apptest::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        ASSERT_TRUE(SetCurrentDirectoryA(folder_.windowsPath().c_str()));
        WritePicture("resource\\picture\\stage_clear\\background_stageclear.png", 8, 8, 0x000080);
        WritePicture("resource\\picture\\stage_clear\\earth.png", 8, 8, 0x0000FF);
        WritePicture("resource\\picture\\stage_clear\\gravoid_clear.png", 8, 8, 0x808080);
        for (int i = 0; i < 60; ++i) {
            char name[96];
            std::snprintf(name, sizeof(name), "resource\\picture\\stage_clear\\mission_clear\\mission_clear%03d.png", i);
            WritePicture(name, 4, 4, 0xFFFF00);
        }
    }
    void CopyJingle() {
        std::ifstream file(std::string(BRACKENFOLD_RESOURCE_DIR) + "/resource/sound/BGM/bgm_stageclear2.ogg",
                           std::ios::binary);
        WriteFile(kJingle, std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>()));
    }
    // The scene's own draw of a picture in a frame, or "" for none.
    std::string Seen(int frame, const std::string& picture) {
        for (const gametest::SeenDraw& draw : DrawsOfFrame(frame))
            if (draw.picture == picture) return gametest::Describe(draw);
        return "";
    }
};

// 51 + 480 + 51 frames with every key held; the robot flies in growing, the
// words come frame by frame from 240 on, each twice; the jingle plays with
// its focus callback and everything is given back at the end.
TEST_F(StageClearTest, TheSceneLastsItsFixedFramesAndShowsTheFlight) {
    CopyJingle();
    for (const int key : {int{'Z'}, int{'X'}, int{'C'}, VK_ESCAPE, VK_LEFT})
        HoldKey(key, 1, kSceneFrames + 10);
    int jingle = -1;
    AtFrame(52, [&] {
        EXPECT_EQ(MainWindow.activeStateCallback, &OnActiveChangeResumeSound);
        jingle = static_cast<int>(reinterpret_cast<intptr_t>(MainWindow.activeStateCallbackArgument));
        EXPECT_EQ(CheckSoundHandlePlaying(jingle), 1);
    });
    EXPECT_EQ(RunStageClearScene(), 0);
    EXPECT_EQ(FramesEnded(), kSceneFrames);

    EXPECT_EQ(Seen(1, "background_stageclear.png"),
              "DrawGraphicAtPoint background_stageclear.png 0,0 trans 0 blend 0/0 bright 0,0,0");
    EXPECT_EQ(Seen(51, "earth.png"), "DrawGraphicAtPoint earth.png 336,111 trans 1 blend 0/0 bright 250,250,250");
    EXPECT_EQ(Seen(51, "gravoid_clear.png"), "");
    struct Flight {
        int f;
        int x, y;
        double scale;
        const char* word;
    };
    const Flight flights[] = {{0, 410, 120, 0.0, nullptr},     {100, 310, 70, 100 / 240.0, nullptr},
                              {180, 290, 120, 0.75, nullptr},  {240, 290, 180, 1.0, "mission_clear000.png"},
                              {359, 290, 180, 1.0, "mission_clear059.png"}, {479, 290, 180, 1.0, "mission_clear059.png"}};
    for (const Flight& flight : flights) {
        SCOPED_TRACE(flight.f);
        const int frame = 52 + flight.f;
        bool robot = false;
        for (const gametest::SeenDraw& draw : DrawsOfFrame(frame)) {
            if (draw.picture != "gravoid_clear.png") continue;
            robot = true;
            EXPECT_EQ(draw.call, "DrawGraphicRotated");
            ASSERT_GE(draw.points.size(), 2u);
            EXPECT_EQ(draw.points[0], flight.x);
            EXPECT_EQ(draw.points[1], flight.y);
            EXPECT_DOUBLE_EQ(draw.scale, flight.scale);
            EXPECT_EQ(draw.transFlag, 1);
        }
        EXPECT_TRUE(robot);
        std::string word;
        for (const gametest::SeenDraw& draw : DrawsOfFrame(frame))
            if (draw.picture.rfind("mission_clear", 0) == 0) word = gametest::Describe(draw);
        if (flight.word == nullptr) EXPECT_EQ(word, "");
        else EXPECT_EQ(word, std::string("DrawGraphicAtPoint ") + flight.word + " 94,312 trans 1 blend 0/0 bright 255,255,255");
    }
    EXPECT_EQ(Seen(52 + 241, "mission_clear000.png").empty(), false);  // each word twice
    EXPECT_EQ(Seen(kSceneFrames, "mission_clear059.png"),
              "DrawGraphicAtPoint mission_clear059.png 94,312 trans 1 blend 0/0 bright 5,5,5");

    EXPECT_GE(jingle, 0);
    EXPECT_EQ(MainWindow.activeStateCallback, nullptr);
    EXPECT_EQ(GetDrawBrightColor(), 0xFFFFFFu);
    EXPECT_EQ(Manager::CSoundManager::GetInstance()->GetHandle(kJingle), -1);
    EXPECT_EQ(Manager::CTextureManager::GetInstance()->GetHandle("resource\\picture\\stage_clear\\earth.png"), -1);
    EXPECT_TRUE(messageBoxes.empty());
}

// A window closed at any phase ends the scene with -1, everything given
// back; a missing picture or jingle ends it with -1 and the quit message,
// never with the 0 that lets the story go on.
TEST_F(StageClearTest, AClosedWindowOrAMissingFileEndsTheSceneWithMinusOne) {
    CopyJingle();
    // The end of the program stays seen once a frame has seen it: one
    // closing, in the flight.
    QuitAtFrame(300);
    EXPECT_EQ(RunStageClearScene(), -1);
    EXPECT_EQ(FramesEnded(), 300);
    EXPECT_EQ(GetDrawBrightColor(), 0xFFFFFFu);
    EXPECT_EQ(MainWindow.activeStateCallback, nullptr);
    EXPECT_EQ(Manager::CSoundManager::GetInstance()->GetHandle(kJingle), -1);
    EXPECT_EQ(Manager::CTextureManager::GetInstance()->GetHandle("resource\\picture\\stage_clear\\earth.png"), -1);

    ASSERT_TRUE(DeleteFileA(kJingle));
    EXPECT_EQ(RunStageClearScene(), -1);
    ASSERT_FALSE(messageBoxes.empty());
    EXPECT_EQ(messageBoxes.back().text, "Failed to load Stage1 Sound. This program will quit.");
    EXPECT_EQ(Manager::CTextureManager::GetInstance()->GetHandle("resource\\picture\\stage_clear\\earth.png"), -1);
    int exitCode = 0;
    EXPECT_TRUE(QuitPosted(&exitCode));
    EXPECT_EQ(exitCode, 1);

    ASSERT_TRUE(DeleteFileA("resource\\picture\\stage_clear\\earth.png"));
    messageBoxes.clear();
    EXPECT_EQ(RunStageClearScene(), -1);
    ASSERT_FALSE(messageBoxes.empty());
    EXPECT_EQ(messageBoxes.back().text, "Failed to load Main Menu Image. This program will quit.");
    EXPECT_EQ(messageBoxes.back().type, MB_ICONHAND);
}

}  // namespace
