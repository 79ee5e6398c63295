// The game over: the fallen picture of the last character, the animation,
// the choice between continuing and the title, the music and what is given
// back; small pictures in the test's folder stand in for the real ones.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "framework/base/framework_state.h"
#include "framework/graphics/draw_settings.h"
#include "framework/window/main_window.h"
#include "game/app/active_state_callbacks.h"
#include "game/app/game_over_scene.h"
#include "game/framework/object_tree.h"
#include "game/framework/resource_managers.h"
#include "game/stage/stage_scene.h"
#include "platform/kernel/kernel.h"
#include "tests/game/app/app_test.h"
#include "tests/support/test_support.h"

namespace {

constexpr int kAnimationFrames = 164;
const char* const kFallen[4] = {"ressa_down012.png", "kolva_down020.png", "tamsel_down012.png", "wendrik_down012.png"};
const char kMusic[] = "resource\\sound\\BGM\\bgm_miss.ogg";

class GameOverTest : public apptest::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        ASSERT_TRUE(SetCurrentDirectoryA(folder_.windowsPath().c_str()));
        for (int i = 0; i < 33; ++i) {
            char name[64];
            std::snprintf(name, sizeof(name), "resource\\picture\\gameover\\game_over%03d.png", i);
            WritePicture(name, 4, 4, 0xFF0000);
        }
        const char* const folders[4] = {"ressa", "kolva", "tamsel", "wendrik"};
        for (int i = 0; i < 4; ++i)
            WritePicture(std::string("resource\\picture\\playercharacter\\") + folders[i] + "\\down\\" + kFallen[i], 4, 4,
                         0x00FF00);
        WritePicture("resource\\picture\\selection\\select_menus.png", 512, 512, 0x0000FF);
        for (const char* sound : {"sound\\BGM\\bgm_miss.ogg", "sound\\SE\\se_title_select.wav", "sound\\SE\\se_title_enter.wav"})
            CopyFromTree(sound);
    }
    void CopyFromTree(std::string relative) {
        std::string host = relative;
        for (char& c : host)
            if (c == '\\') c = '/';
        std::ifstream file(std::string(BRACKENFOLD_RESOURCE_DIR) + "/resource/" + host, std::ios::binary);
        WriteFile("resource\\" + relative,
                  std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>()));
    }
    std::string Describe(int frame, const std::string& picture) {
        std::string seen;
        for (const gametest::SeenDraw& draw : DrawsOfFrame(frame))
            if (draw.picture == picture) seen += (seen.empty() ? "" : " | ") + gametest::Describe(draw);
        return seen;
    }
};

// ATTACK at once after the animation continues (0); DOWN then ATTACK goes
// back to the title (1); UP toggles too. The fallen picture is the last
// character's; an unknown character shows the first.
TEST_F(GameOverTest, TheChoiceAndTheFallenPictureOfTheLastCharacter) {
    struct Case {
        int character;
        std::vector<int> keys;
        int chosen;
        const char* fallen;
    };
    const Case cases[] = {
        {1, {}, 0, kFallen[0]},
        {2, {VK_DOWN}, 1, kFallen[1]},
        {3, {VK_UP, VK_DOWN}, 0, kFallen[2]},
        {4, {VK_UP, VK_DOWN, VK_UP}, 1, kFallen[3]},
        {7, {}, 0, kFallen[0]},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.character);
        LastCharacter = c.character;
        const int start = FramesEnded();
        for (size_t i = 0; i < c.keys.size(); ++i) HoldKey(c.keys[i], start + kAnimationFrames + 1 + 2 * static_cast<int>(i));
        const int attack = start + kAnimationFrames + 1 + 2 * static_cast<int>(c.keys.size());
        HoldKey('Z', attack);
        EXPECT_EQ(RunGameOverScene(), c.chosen);
        // The animation, the menu until ATTACK, 64 frames of fade-out.
        EXPECT_EQ(FramesEnded(), attack + 64);
        EXPECT_EQ(Describe(start + 1, c.fallen),
                  std::string("DrawGraphicAtPoint ") + c.fallen + " 256,300 trans 1 blend 0/0 bright 0,0,0");
        EXPECT_EQ(Describe(start + 1, "game_over000.png"),
                  "DrawGraphicAtPoint game_over000.png 64,-50 trans 1 blend 0/0 bright 0,0,0");
        EXPECT_EQ(Describe(start + kAnimationFrames, "game_over032.png"),
                  "DrawGraphicAtPoint game_over032.png 64,-50 trans 1 blend 0/0 bright 255,255,255");
        // The menu: the chosen item lit, the other normal.
        const std::string menu = Describe(attack, "select_menus.png");
        const std::string lit = c.chosen == 0 ? "128,181 part 0,448" : "128,270 part 0,320";
        const std::string normal = c.chosen == 0 ? "128,270 part 0,256" : "128,181 part 0,384";
        EXPECT_NE(menu.find(lit), std::string::npos) << menu;
        EXPECT_NE(menu.find(normal), std::string::npos) << menu;
        EXPECT_EQ(DrawsOfFrame(attack + 64).front().bright[0], 3);

        EXPECT_EQ(GetDrawBrightColor(), 0xFFFFFFu);
        EXPECT_EQ(MainWindow.activeStateCallback, nullptr);
        EXPECT_EQ(Manager::CSoundManager::GetInstance()->GetHandle(kMusic), -1);
        EXPECT_EQ(Manager::CSoundManager::GetInstance()->GetHandle("resource\\sound\\SE\\se_title_enter.wav"), -1);
        EXPECT_EQ(Manager::CTextureManager::GetInstance()->GetHandle("resource\\picture\\selection\\select_menus.png"), -1);
        EXPECT_EQ(Manager::CTextureManager::GetInstance()->GetHandle("resource\\picture\\gameover\\game_over000.png"), -1);
        for (Object::IObject* object : Manager::CPrimitive2DObjectManager::GetInstance()->objects) EXPECT_EQ(object, nullptr);
    }
    EXPECT_TRUE(messageBoxes.empty());
}

// The music plays once with its focus callback; once it has ended it is
// given back and the callback cleared, while the menu waits.
TEST_F(GameOverTest, TheMusicIsGivenBackWhenItEnds) {
    LastCharacter = 1;
    AtFrame(2, [] {
        EXPECT_EQ(MainWindow.activeStateCallback, &OnActiveChangeResumeSound);
        EXPECT_NE(Manager::CSoundManager::GetInstance()->GetHandle(kMusic), -1);
    });
    AtFrame(400, [] {
        EXPECT_EQ(MainWindow.activeStateCallback, nullptr);
        EXPECT_EQ(Manager::CSoundManager::GetInstance()->GetHandle(kMusic), -1);
    });
    HoldKey('Z', 401);
    EXPECT_EQ(RunGameOverScene(), 0);
}

// A missing file ends the scene with -1 and the quit message, never with
// the 0 that continues the stage.
TEST_F(GameOverTest, AMissingFileIsReportedAsMinusOne) {
    struct Case {
        const char* removed;
        const char* message;
    };
    const Case cases[] = {
        {"resource\\sound\\SE\\se_title_enter.wav", "Failed to load Game Over Sound. This program will quit."},
        {"resource\\picture\\playercharacter\\tamsel\\down\\tamsel_down012.png",
         "Failed to load Game Over Select Image. This program will quit."},
        {kMusic, "Failed to load Game Over Select BGM. This program will quit."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.removed);
        ASSERT_TRUE(DeleteFileA(c.removed));
        messageBoxes.clear();
        EXPECT_EQ(RunGameOverScene(), -1);
        EXPECT_EQ(FramesEnded(), 0);
        ASSERT_FALSE(messageBoxes.empty());
        EXPECT_EQ(messageBoxes.back().text, c.message);
        int exitCode = 0;
        EXPECT_TRUE(QuitPosted(&exitCode));
        EXPECT_EQ(exitCode, 1);
        EXPECT_EQ(Manager::CSoundManager::GetInstance()->GetHandle(kMusic), -1);
        EXPECT_EQ(Manager::CTextureManager::GetInstance()->GetHandle("resource\\picture\\gameover\\game_over000.png"), -1);
        EXPECT_EQ(Manager::CTextureManager::GetInstance()->GetHandle("resource\\picture\\selection\\select_menus.png"), -1);
    }
}

// A window closed in the animation or the menu shuts the whole program
// down and ends the process with exit code 0.
TEST_F(GameOverTest, AClosedWindowEndsTheProcessAfterAFullRelease) {
    testsupport::InterceptExitProcess();
    LastCharacter = 2;
    QuitAtFrame(kAnimationFrames + 20);
    unsigned int exitCode = 99;
    try {
        RunGameOverScene();
        ADD_FAILURE() << "the scene returned";
    } catch (const testsupport::ProcessExited& exited) {
        exitCode = exited.exitCode;
    }
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(FramesEnded(), kAnimationFrames + 20);
    EXPECT_EQ(FrameworkInitialised, 0);
    EXPECT_TRUE(Manager::CTextureManager::GetInstance()->entries.empty());
    EXPECT_TRUE(Manager::CSoundManager::GetInstance()->entries.empty());
    EXPECT_TRUE(Manager::CPrimitive2DObjectManager::GetInstance()->objects.empty());
}

}  // namespace
