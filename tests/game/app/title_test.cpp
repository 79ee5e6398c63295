// The program from its start to its end, headless on the placeholder tree:
// the logo, the opening, the main menu and the loop between them, the focus
// callbacks, and the shutdown.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "framework/base/framework_state.h"
#include "framework/base/time_functions.h"
#include "framework/graphics/draw_settings.h"
#include "framework/sound/sound_playback.h"
#include "framework/window/main_window.h"
#include "game/app/active_state_callbacks.h"
#include "game/app/game_mode.h"
#include "game/app/play_time.h"
#include "game/app/title_scenes.h"
#include "game/app/win_main.h"
#include "game/framework/fps_manager.h"
#include "game/framework/game_config.h"
#include "game/framework/object_tree.h"
#include "game/framework/resource_managers.h"
#include "platform/kernel/kernel.h"
#include "platform/user/user.h"
#include "tests/game/app/app_test.h"
#include "tests/support/game/game_test.h"

namespace {

class TitleTest : public apptest::AppTest {};

constexpr int kLogoFrames = 128 + 90 + 128;

// A draw without blending, whatever parameter the blend was left with.
std::string Unblended(const gametest::SeenDraw& draw) {
    std::string text = gametest::Describe(draw);
    return std::regex_replace(text, std::regex(" blend 0/[0-9]+ "), " blend 0 ");
}

// Logo, opening skipped with JUMP, the main menu; the story (its stage
// select backed out of at once) and the how-to pages show the main menu
// again at once, without logo or opening; quit ends the program through the
// whole shutdown with exit code 0. On the menu the window loses and regains
// the focus, which stops and resumes the music.
TEST_F(TitleTest, TheProgramRunsFromTheLogoToQuitAndShutsDown) {
    StoryScenes.stageSelect = [](int, int*) -> SceneCode { return 0; };
    const int skip = kLogoFrames + 4;
    HoldKey('X', skip);               // JUMP in the opening
    const int menu = skip + 64;       // the menu's fade-in is over
    HoldKey('Z', menu + 3);           // the story
    const int again = menu + 4;       // the menu's second fade-in begins
    HoldKey(VK_DOWN, again + 70);     // how-to
    HoldKey('Z', again + 72);
    const int howTo = again + 73;     // its two frames, then JUMP leaves
    HoldKey('X', howTo + 1);
    const int third = howTo + 2;      // the menu again at once
    HoldKey(VK_UP, third + 66);       // story -> quit
    HoldKey('Z', third + 68);

    int stoppedAt = -1;
    AtFrame(again + 66, [&] {
        ASSERT_EQ(MainWindow.activeStateCallback, &OnActiveChangeBgm);
        const int music = static_cast<int>(reinterpret_cast<intptr_t>(MainWindow.activeStateCallbackArgument));
        EXPECT_EQ(CheckSoundHandlePlaying(music), 1);
        MainWindow.activeStateCallback(0, MainWindow.activeStateCallbackArgument);
        EXPECT_EQ(CheckSoundHandlePlaying(music), 0);
        stoppedAt = GetSoundHandlePosition(music);
    });
    AtFrame(again + 68, [&] {
        const int music = static_cast<int>(reinterpret_cast<intptr_t>(MainWindow.activeStateCallbackArgument));
        EXPECT_EQ(CheckSoundHandlePlaying(music), 0);
        MainWindow.activeStateCallback(1, MainWindow.activeStateCallbackArgument);
        EXPECT_EQ(CheckSoundHandlePlaying(music), 1);
        EXPECT_GT(stoppedAt, 0);
        EXPECT_GE(GetSoundHandlePosition(music), stoppedAt);
    });

    EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOWDEFAULT), 0);
    StoryScenes = DefaultStoryScenes();

    for (int frame : {2, kLogoFrames / 2, kLogoFrames}) EXPECT_EQ(Pictures(frame), std::vector<std::string>{"circle_logo.png"}) << frame;
    EXPECT_EQ(Pictures(kLogoFrames + 1), std::vector<std::string>{"opening01_graph.png"});
    EXPECT_EQ(Pictures(skip), std::vector<std::string>{"opening01_graph.png"});
    const std::vector<std::string> menuPictures = {"mainmenu.png", "select_menus.png"};
    for (int frame = skip + 1; frame <= FramesEnded(); ++frame) {
        if (frame == howTo || frame == howTo + 1) continue;
        EXPECT_EQ(Pictures(frame), menuPictures) << frame;
    }
    // The how-to pages load with the loading animation shown.
    EXPECT_EQ(Pictures(howTo), (std::vector<std::string>{"now_loading.png", "howto01.png", "arrow_right.png"}));
    EXPECT_EQ(FramesEnded(), third + 68);
    // The second menu fades in from black, with the story item highlighted.
    EXPECT_EQ(Unblended(DrawsOfFrame(again).at(1)),
              "DrawGraphicPart select_menus.png 256,315 part 0,32,128,32 trans 1 blend 0 bright 0,0,0");
    EXPECT_EQ(Unblended(DrawsOfFrame(FramesEnded()).at(4)),
              "DrawGraphicPart select_menus.png 256,411 part 384,32,128,32 trans 1 blend 0 bright 255,255,255");

    EXPECT_EQ(FrameworkInitialised, 0);
    EXPECT_TRUE(Manager::CTextureManager::GetInstance()->entries.empty());
    EXPECT_TRUE(Manager::CSoundManager::GetInstance()->entries.empty());
    EXPECT_TRUE(Manager::CPrimitive2DObjectManager::GetInstance()->objects.empty());
    EXPECT_EQ(MainWindow.activeStateCallback, nullptr);
    int exitCode = -1;
    EXPECT_TRUE(QuitPosted(&exitCode));
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(messageBoxes.empty());
}

// Start-up before the first scene: the window mode from the configuration,
// the progress from the save (0 for a save that is refused), and the end
// when the title sounds are missing.
TEST_F(TitleTest, StartUpTakesTheWindowModeAndTheSaveAndEndsWithoutTitleSounds) {
    struct Case {
        bool fullScreen;
        std::string save;
        int progress;
    };
    std::string valid;
    for (int32_t word : {4, 10})
        for (int i = 0; i < 4; ++i) valid += static_cast<char>((word >> (8 * i)) & 0xFF);
    for (int record = 0; record < 10; ++record)
        for (int32_t word : {3, 999, 99, 999})
            for (int i = 0; i < 4; ++i) valid += static_cast<char>((word >> (8 * i)) & 0xFF);
    // A save cut short keeps the progress it holds.
    const Case cases[] = {{true, valid, 4}, {false, valid.substr(0, 100), 4}, {false, valid.substr(0, 2), 0}};
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.windowsPath().c_str()));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.progress);
        GetGameConfig()->fullScreen = c.fullScreen;
        GameProgress = 5;
        WriteFile("save_ver_1.dat", c.save);
        messageBoxes.clear();
        EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOWDEFAULT), 0);
        EXPECT_EQ(MainWindow.settings.windowModeFlag, c.fullScreen ? 0 : 1);
        EXPECT_EQ(GameProgress, c.progress);
        ASSERT_EQ(messageBoxes.size(), 1u);
        EXPECT_EQ(messageBoxes[0].text, "Failed to load Title Sound. This program will quit.");
        EXPECT_EQ(messageBoxes[0].type, MB_ICONHAND);
        int exitCode = 0;
        EXPECT_TRUE(QuitPosted(&exitCode));
        EXPECT_EQ(exitCode, 1);
        EXPECT_EQ(FrameworkInitialised, 1);  // not ended on this path
    }
}

// 128 frames of fade-in, 90 held, 128 of fade-out; any button held halves
// each phase.
TEST_F(TitleTest, TheLogosFramesAndTheirHalvingWhileAButtonIsHeld) {
    ASSERT_TRUE(RunCircleLogoScene());
    EXPECT_EQ(FramesEnded(), kLogoFrames);
    EXPECT_TRUE(DrawsOfFrame(1).empty() || DrawsOfFrame(1)[0].picture != "circle_logo.png");
    EXPECT_EQ(gametest::Describe(DrawsOfFrame(2).back()),
              "DrawGraphicPart circle_logo.png 64,-16 part 0,0,512,512 trans 1 blend 1/2 bright 255,255,255");
    EXPECT_EQ(DrawsOfFrame(129).back().blendMode, 0);  // held at full alpha
    EXPECT_EQ(DrawsOfFrame(kLogoFrames).back().blendParam, 1);
    EXPECT_TRUE(Manager::CPrimitive2DObjectManager::GetInstance()->objects.size() == 2 &&
                Manager::CPrimitive2DObjectManager::GetInstance()->Get(0) == nullptr &&
                Manager::CPrimitive2DObjectManager::GetInstance()->Get(1) == nullptr);
    EXPECT_EQ(Manager::CTextureManager::GetInstance()->GetHandle("resource\\picture\\circle_logo.png"), -1);

    const int before = FramesEnded();
    HoldKey('C', before + 1, 1000);  // any button: here one the logo does not read
    ASSERT_TRUE(Manager::CFPSManager::GetInstance()->Update());
    ASSERT_TRUE(RunCircleLogoScene());
    EXPECT_EQ(FramesEnded() - before - 1, kLogoFrames / 2);
}

TEST_F(TitleTest, TheLogoEndsWhenTheWindowCloses) {
    AtFrame(10, [] { PostQuitMessage(0); });
    EXPECT_FALSE(RunCircleLogoScene());
    EXPECT_EQ(FramesEnded(), 11);  // the next frame's pump sees the quit
    EXPECT_EQ(Manager::CTextureManager::GetInstance()->GetHandle("resource\\picture\\circle_logo.png"), -1);
}

// The cursor wraps between the story and quit, each move with the select
// effect; the background follows the progress.
TEST_F(TitleTest, TheMainMenuCursorWrapsAndTheBackgroundFollowsTheProgress) {
    int sounds[3];
    LoadTitleSounds(sounds);
    struct Case {
        int progress;
        std::vector<int> keys;
        SceneCode chosen;
        const char* background;
    };
    const Case cases[] = {
        {0, {VK_UP}, 14, "mainmenu.png"},
        {1, {VK_UP, VK_DOWN}, 11, "mainmenu2.png"},
        {6, {VK_DOWN, VK_DOWN}, 13, "mainmenu2.png"},
        {0, {VK_UP, VK_UP, VK_UP, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN}, 12, "mainmenu.png"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        GameProgress = c.progress;
        const int first = FramesEnded() + 64 + 2;
        for (size_t i = 0; i < c.keys.size(); ++i) HoldKey(c.keys[i], first + 2 * static_cast<int>(i));
        HoldKey('Z', first + 2 * static_cast<int>(c.keys.size()));
        AtFrame(first, [&] { EXPECT_EQ(CheckSoundHandlePlaying(sounds[0]), 0); });
        AtFrame(first + 1, [&] { EXPECT_EQ(CheckSoundHandlePlaying(sounds[0]), 1); });
        EXPECT_EQ(RunMainMenuScene(sounds), c.chosen);
        EXPECT_EQ(Pictures(FramesEnded())[0], c.background);
        EXPECT_EQ(CheckSoundHandlePlaying(sounds[1]), 0);  // the enter effect was waited for
        EXPECT_EQ(Manager::CTextureManager::GetInstance()->GetHandle("resource\\picture\\title\\mainmenu.png"), -1);
    }
}

// JUMP or ATTACK skips the opening in any of its phases; a page fades its
// text in while uncovering it from the left.
TEST_F(TitleTest, TheOpeningShowsItsPagesAndIsSkippedInAnyPhase) {
    // Page 1's text at t = 10, then ATTACK in the first page change.
    const int page = 128;
    const int change = page + 480;
    HoldKey('Z', change + 200);
    EXPECT_EQ(RunOpeningScene(), 0);
    EXPECT_EQ(FramesEnded(), change + 200);
    EXPECT_EQ(gametest::Describe(DrawsOfFrame(page + 11).back()),
              "DrawGraphicPart opening01_text.png 0,0 part 0,0,40,480 trans 1 blend 1/20 bright 255,255,255");
    EXPECT_EQ(gametest::Describe(DrawsOfFrame(page + 161).back()),
              "DrawGraphicAtPoint opening01_text.png 0,0 trans 1 blend 0/0 bright 255,255,255");
    EXPECT_EQ(Pictures(change + 1), (std::vector<std::string>{"opening01_graph.png", "opening01_text.png"}));
    EXPECT_EQ(DrawsOfFrame(change + 1)[0].bright[0], 255);
    EXPECT_EQ(Pictures(change + 129), std::vector<std::string>{"opening02_graph.png"});
    EXPECT_EQ(DrawsOfFrame(change + 129)[0].bright[0], 0);
    EXPECT_EQ(Manager::CTextureManager::GetInstance()->GetHandle("resource\\picture\\opening\\opening02_graph.png"),
              -1);
    EXPECT_EQ(GetDrawBrightColor() & 0xFFFFFFu, 0xFFFFFFu);
}

// The three focus routines that scenes register.
TEST_F(TitleTest, FocusCallbacksStopAndResumeSoundsAndTheClock) {
    int sounds[3];
    LoadTitleSounds(sounds);
    const int music = sounds[2];

    // A sound played once resumes only when it had begun and is not at its end.
    ASSERT_EQ(PlaySoundHandle(music, kPlayTypeBackground, 1), 0);
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(Manager::CFPSManager::GetInstance()->Update());
    OnActiveChangeResumeSound(0, SoundHandleArgument(music));
    EXPECT_EQ(CheckSoundHandlePlaying(music), 0);
    const int stopped = GetSoundHandlePosition(music);
    ASSERT_GT(stopped, 0);
    OnActiveChangeResumeSound(1, SoundHandleArgument(music));
    EXPECT_EQ(CheckSoundHandlePlaying(music), 1);
    EXPECT_GE(GetSoundHandlePosition(music), stopped);
    StopSoundHandle(music);

    // The stage's record: the clock stands in the background and runs again
    // on return only when the condition allows.
    static bool allowed = false;
    PlayTimer timer = {static_cast<uint32_t>(GetMillisecondCount()), 0, 0, 0, 0, false};
    ActiveStageRecord record = {music, &timer, [] { return allowed; }};
    PlaySoundHandle(music, kPlayTypeLoop, 1);
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(Manager::CFPSManager::GetInstance()->Update());
    OnActiveChangeStage(0, &record);
    EXPECT_TRUE(timer.paused);
    EXPECT_EQ(CheckSoundHandlePlaying(music), 0);
    const int32_t offset = timer.offset;
    EXPECT_GE(offset, 160);
    allowed = false;
    OnActiveChangeStage(1, &record);
    EXPECT_EQ(CheckSoundHandlePlaying(music), 1);
    EXPECT_TRUE(timer.paused);
    allowed = true;
    OnActiveChangeStage(1, &record);
    EXPECT_FALSE(timer.paused);
    EXPECT_EQ(timer.offset, offset);
    // Coming back again while it runs keeps its time.
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(Manager::CFPSManager::GetInstance()->Update());
    const uint32_t start = timer.start;
    OnActiveChangeStage(1, &record);
    EXPECT_EQ(timer.start, start);
    StopSoundHandle(music);
}

}  // namespace
