// The options scene (volumes heard at once, the window mode switched on
// leaving, the configuration written, full screen on a display of a single
// mode), the how-to pages, and the load failures of the menu's scenes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/startup/framework_startup.h"
#include "framework/sound/sound_handles.h"
#include "framework/sound/sound_playback.h"
#include "framework/window/main_window_state.h"
#include "framework/window/window_mode.h"
#include "game/app/options_scene.h"
#include "game/app/title_scenes.h"
#include "platform/profile/machine_profile.h"
#include "tests/game/app/app_test.h"

namespace {

class OptionsTest : public apptest::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        LoadTitleSounds(sounds_);
    }

    int Volume(int handle) const { return GetSoundRecord(handle)->volume; }
    static int Decibels(int percent) { return SoundVolumeToDecibels(percent * 255 / 100); }
    std::string ConfigText() const { return folder_.readFile("config_ver_1.xml"); }
    bool Playing(int index) const { return CheckSoundHandlePlaying(sounds_[index]) == 1; }

    // The frame the options scene's first frame after its fade-in ends.
    static constexpr int kFadeFrames = 64;

    int sounds_[3] = {-1, -1, -1};
};

TEST_F(OptionsTest, VolumesReachTheSoundsAndFullScreenRebuildsTheScreenOnLeaving) {
    int f = kFadeFrames + 2;
    HoldKey(VK_RIGHT, f);      // music 85 -> 90
    HoldKey(VK_DOWN, f += 2);  // effect row
    HoldKey(VK_LEFT, f += 2);  // 80 -> 75
    HoldKey(VK_LEFT, f += 2);  // 75 -> 70
    HoldKey(VK_DOWN, f += 2);  // full-screen row
    HoldKey(VK_RIGHT, f += 2);  // on
    HoldKey('X', f += 2);      // JUMP: the confirm row
    HoldKey('Z', f += 2);
    AtFrame(kFadeFrames + 3, [&] {
        EXPECT_TRUE(Playing(0));
        EXPECT_EQ(Volume(sounds_[2]), Decibels(90));
    });
    const int loadingSheet = CNowLoadingDrawer::GetInstance()->graphic;

    EXPECT_EQ(RunConfigScene(TitleSoundList, sounds_), 0);

    const GameConfig* config = GetGameConfig();
    EXPECT_EQ(config->bgmVolume, 90);
    EXPECT_EQ(config->seVolume, 70);
    EXPECT_TRUE(config->fullScreen);
    EXPECT_EQ(Volume(sounds_[2]), Decibels(90));
    EXPECT_EQ(Volume(sounds_[0]), Decibels(70));
    EXPECT_EQ(Volume(sounds_[1]), Decibels(70));
    EXPECT_EQ(MainWindow.settings.windowModeFlag, 0);
    EXPECT_EQ(ConfigText(), "<Fullscreen enable=\"1\" />\n<Volume BGM=\"90\" SE=\"70\" />\n");
    // Every picture went with the old screen and loads again from its file;
    // the loading animation has its sheet again.
    EXPECT_EQ(Manager::CTextureManager::GetInstance()->entries.size(), 1u);
    EXPECT_EQ(IsValidGraphicHandle(loadingSheet), 0);
    EXPECT_EQ(IsValidGraphicHandle(CNowLoadingDrawer::GetInstance()->graphic), 1);
    ASSERT_TRUE(Manager::CTextureManager::GetInstance()->Load("resource\\picture\\title\\mainmenu.png", nullptr));
    EXPECT_EQ(IsValidGraphicHandle(Manager::CTextureManager::GetInstance()->GetHandle("resource\\picture\\title\\mainmenu.png")), 1);

    // The frame after the music went up draws the longer bar, the cursor on
    // the first row.
    std::vector<std::string> seen;
    for (const gametest::SeenDraw& draw : DrawsOfFrame(kFadeFrames + 3)) seen.push_back(gametest::Describe(draw));
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "DrawGraphicAtPoint option_background.png 0,0 trans 0 blend 0/0 bright 255,255,255",
                        "DrawGraphicAtPoint option_cursor.png 114,139 trans 1 blend 0/0 bright 255,255,255",
                        "DrawGraphicAtPoint option_menus.png 128,139 trans 1 blend 0/0 bright 255,255,255",
                        "DrawGraphicAtPoint option_fulscoff.png 360,235 trans 1 blend 0/0 bright 255,255,255",
                        "DrawGraphicPart option_volbar.png 363,146 part 0,0,131,22 trans 1 blend 0/0 bright 255,255,255",
                        "DrawGraphicPart option_volbar.png 363,194 part 0,0,116,22 trans 1 blend 0/0 bright 255,255,255",
                    }));
}

// A volume at its end stays, silently; the effect row plays a sample every
// 60th frame; full screen toggled twice rebuilds nothing.
TEST_F(OptionsTest, VolumeLimitsTheEffectSampleAndATwiceToggledFullScreen) {
    GetGameConfig()->bgmVolume = 100;
    const int first = kFadeFrames + 2;
    HoldKey(VK_RIGHT, first);
    HoldKey(VK_DOWN, first + 2);  // the effect row from the next frame on
    AtFrame(first + 1, [&] { EXPECT_FALSE(Playing(0)); });
    AtFrame(first + 2 + 59, [&] { EXPECT_FALSE(Playing(1)); });
    AtFrame(first + 2 + 60, [&] { EXPECT_TRUE(Playing(1)); });
    int f = first + 2 + 62;
    HoldKey(VK_DOWN, f);
    HoldKey(VK_RIGHT, f += 2);
    HoldKey(VK_LEFT, f += 2);
    HoldKey(VK_DOWN, f += 2);
    HoldKey(VK_DOWN, f += 2);
    HoldKey('Z', f += 2);
    const int loadingSheet = CNowLoadingDrawer::GetInstance()->graphic;

    EXPECT_EQ(RunConfigScene(TitleSoundList, sounds_), 0);

    EXPECT_EQ(GetGameConfig()->bgmVolume, 100);
    EXPECT_FALSE(GetGameConfig()->fullScreen);
    EXPECT_EQ(MainWindow.settings.windowModeFlag, 1);
    EXPECT_EQ(IsValidGraphicHandle(loadingSheet), 1);
    EXPECT_EQ(ConfigText(), "<Fullscreen enable=\"0\" />\n<Volume BGM=\"100\" SE=\"80\" />\n");
}

// Reset brings back the values on entry; a closed window leaves without
// writing the configuration.
TEST_F(OptionsTest, ResetRestoresTheEntryValuesAndAClosedWindowSavesNothing) {
    int f = kFadeFrames + 2;
    HoldKey(VK_LEFT, f);
    HoldKey(VK_LEFT, f += 2);
    HoldKey(VK_UP, f += 2);  // wraps to the confirm row
    HoldKey(VK_UP, f += 2);  // reset
    AtFrame(f + 1, [&] { EXPECT_EQ(GetGameConfig()->bgmVolume, 75); });
    HoldKey('Z', f += 2);
    AtFrame(f + 5, [] { PostQuitMessage(0); });

    EXPECT_EQ(RunConfigScene(TitleSoundList, sounds_), -1);

    EXPECT_EQ(GetGameConfig()->bgmVolume, 85);
    EXPECT_EQ(Volume(sounds_[2]), Decibels(85));
    EXPECT_FALSE(std::filesystem::exists(folder_.hostPath() + "/config_ver_1.xml"));
    EXPECT_TRUE(Manager::CTextureManager::GetInstance()->entries.count(
                    AddAtomA("resource\\picture\\config\\option_background.png")) == 0);
}

// The hardware path on a display that runs a single mode, its desktop's (the
// offscreen display runs 1024 by 768 only), as many laptop panels do: full
// screen at 640 by 480 is shown on the desktop's mode, scaled.
class OneModeDisplayTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        platform::Profile().display.desktopWidth = 0;
        platform::Profile().display.desktopHeight = 0;
        GetGameConfig();
        *GetGameConfig() = GameConfig{};
        std::snprintf(DataFolderPath, sizeof(DataFolderPath), "%s", folder_.windowsPath().c_str());
        std::snprintf(ConfigFilePath, sizeof(ConfigFilePath), "%s\\config_ver_1.xml", folder_.windowsPath().c_str());
    }
    void TearDown() override {
        std::snprintf(DataFolderPath, sizeof(DataFolderPath), ".");
        std::snprintf(ConfigFilePath, sizeof(ConfigFilePath), "./config_ver_1.xml");
        *GetGameConfig() = GameConfig{};
        GameTest::TearDown();
    }
    bool Start() {
        if (!StartFramework(gametest::RenderPath::OpenGL)) return false;
        EXPECT_TRUE(SetCurrentDirectoryA(gametest::GeneratedTreeFolder().c_str()));
        ReloadLoadingDrawer();
        EXPECT_TRUE(LoadSoundsWithProgress(TitleSoundList, sounds_, 3));
        return true;
    }
    // The full-screen row toggled, then OK, from the scene's first frames on.
    void ToggleFullScreenAndConfirm() {
        int f = FramesEnded() + 64 + 2;  // after the fade-in
        HoldKey(VK_DOWN, f);
        HoldKey(VK_DOWN, f += 2);
        HoldKey(VK_RIGHT, f += 2);
        HoldKey('X', f += 2);  // JUMP: the confirm row
        HoldKey('Z', f += 2);
    }
    static DWORD DisplayWidth() {
        DEVMODEA mode{};
        mode.dmSize = sizeof(mode);
        EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
        return mode.dmPelsWidth;
    }

    int sounds_[3] = {-1, -1, -1};
};

// Full screen on and OK: the configuration is written and the game goes on
// in full screen; the way back to a window is as good.
TEST_F(OneModeDisplayTest, FullScreenIsShownScaledAndTheConfigurationWritten) {
    if (!Start()) GTEST_SKIP() << "no OpenGL context";
    GetGameConfig()->bgmVolume = 60;
    ToggleFullScreenAndConfirm();
    EXPECT_EQ(RunConfigScene(TitleSoundList, sounds_), 0);
    EXPECT_EQ(folder_.readFile("config_ver_1.xml"), "<Fullscreen enable=\"1\" />\n<Volume BGM=\"60\" SE=\"80\" />\n");
    EXPECT_EQ(MainWindow.settings.windowModeFlag, 0);
    EXPECT_EQ(HardwarePathFlag, 1);
    EXPECT_EQ(DisplayWidth(), 640u);

    ToggleFullScreenAndConfirm();
    EXPECT_EQ(RunConfigScene(TitleSoundList, sounds_), 0);
    EXPECT_EQ(folder_.readFile("config_ver_1.xml"), "<Fullscreen enable=\"0\" />\n<Volume BGM=\"60\" SE=\"80\" />\n");
    EXPECT_EQ(MainWindow.settings.windowModeFlag, 1);
    EXPECT_EQ(HardwarePathFlag, 1);
    EXPECT_EQ(DisplayWidth(), 1024u);
}

// Started with full screen in the configuration, the game starts in full
// screen, not in a window.
TEST_F(OneModeDisplayTest, StartingInFullScreenStartsInFullScreen) {
    if (!Start()) GTEST_SKIP() << "no OpenGL context";
    EndFramework();
    platform::Profile().clock.advanceNanosecondsPerRead = 1000000;  // start-up spins on the clock
    ChangeWindowMode(0);
    ASSERT_EQ(InitFramework(), 0);
    platform::Profile().clock.advanceNanosecondsPerRead = 0;
    EXPECT_EQ(MainWindow.settings.windowModeFlag, 0);
    EXPECT_EQ(HardwarePathFlag, 1);
    EXPECT_EQ(DisplayWidth(), 640u);
}

// Left and right turn the pages within 1..8; ATTACK leaves from the last
// page only, JUMP from any.
TEST_F(OptionsTest, HowToPagesStayWithinTheirRangeAndLeave) {
    struct Case {
        const char* name;
        std::vector<int> keys;  // one every other frame
        const char* lastPage;
        bool leftArrow;
        bool rightArrow;
    };
    const Case cases[] = {
        {"AttackOnTheLastPage",
         {VK_LEFT, 'Z', VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT, 'Z'},
         "howto08.png",
         true,
         false},
        {"JumpOnTheSecondPage", {VK_RIGHT, 'X'}, "howto02.png", true, true},
        {"JumpOnTheFirstPage", {'X'}, "howto01.png", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Manager::CFPSManager::GetInstance()->Update());  // the last case's key goes up
        const int first = FramesEnded() + 2;
        for (size_t i = 0; i < c.keys.size(); ++i) HoldKey(c.keys[i], first + 2 * static_cast<int>(i));
        EXPECT_EQ(RunHowToScene(sounds_), 0);
        EXPECT_EQ(FramesEnded(), first + 2 * static_cast<int>(c.keys.size()) - 2);
        std::vector<std::string> expected = {c.lastPage};
        if (c.leftArrow) expected.push_back("arrow_left.png");
        if (c.rightArrow) expected.push_back("arrow_right.png");
        EXPECT_EQ(Pictures(FramesEnded()), expected);
        EXPECT_TRUE(Manager::CTextureManager::GetInstance()->entries.size() <= 1);  // the loading sheet
    }
    ASSERT_TRUE(Manager::CFPSManager::GetInstance()->Update());
    AtFrame(FramesEnded() + 3, [] { PostQuitMessage(0); });
    EXPECT_EQ(RunHowToScene(sounds_), 9);
}

// Pictures that do not load end the program with exit code 1 after the
// scene's own message.
TEST_F(OptionsTest, ScenesWhosePicturesFailToLoadEndTheProgram) {
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.windowsPath().c_str()));
    struct Case {
        const char* text;
        std::function<int()> run;
    };
    const Case cases[] = {
        {"Failed to load How to Image. This program will quit.", [] { return RunOpeningScene(); }},
        {"Failed to load Main Menu Image. This program will quit.", [&] { return RunMainMenuScene(sounds_); }},
        {"Failed to load How to Image. This program will quit.", [&] { return RunHowToScene(sounds_); }},
        {"Failed to load Main Menu Image. This program will quit.",
         [&] { return RunConfigScene(TitleSoundList, sounds_); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        messageBoxes.clear();
        EXPECT_EQ(c.run(), -1);
        ASSERT_EQ(messageBoxes.size(), 2u);
        EXPECT_EQ(messageBoxes[1].text, c.text);
        EXPECT_EQ(messageBoxes[1].type, MB_ICONHAND);
        EXPECT_FALSE(messageBoxes[1].hasCaption);
        int exitCode = 0;
        EXPECT_TRUE(QuitPosted(&exitCode));
        EXPECT_EQ(exitCode, 1);
    }
}

}  // namespace
