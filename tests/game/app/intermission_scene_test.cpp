// The hangar before a boss battle, headless on the placeholder tree, with a
// scripted battle in place of the real one: the gates, the pilot choice, the
// boss-1 scenario, the hand-over to the battle, and every way out.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "framework/graphics/draw_settings.h"
#include "framework/sound/sound_playback.h"
#include "framework/window/main_window_state.h"
#include "game/app/active_state_callbacks.h"
#include "game/app/intermission_scene.h"
#include "game/bossbattle/boss_battle_scene.h"
#include "game/framework/resource_managers.h"
#include "tests/game/app/app_test.h"

namespace {

struct BattleCall {
    int* carriedHitPoints;
    int pilot;
    int bossId;
    bool retry;
    int framesEnded;
    size_t texturesLoaded;
    size_t soundsLoaded;
    bool callbackSet;
};

class IntermissionTest : public apptest::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        current_ = this;
        IntermissionBattleScene = &ScriptedBattle;
        baseTextures_ = Textures();
        baseSounds_ = Sounds();
    }
    void TearDown() override {
        IntermissionBattleScene = &RunBossBattleScene;
        current_ = nullptr;
        AppTest::TearDown();
    }

    static size_t Textures() { return Manager::CTextureManager::GetInstance()->entries.size(); }
    static size_t Sounds() { return Manager::CSoundManager::GetInstance()->entries.size(); }

    bool Drew(int frame, const std::string& picture) const {
        for (const gametest::SeenDraw& draw : DrawsOfFrame(frame))
            if (draw.picture == picture) return true;
        return false;
    }
    // Where the frame drew a picture, "" when it did not.
    std::string PlaceOf(int frame, const std::string& picture) const {
        for (const gametest::SeenDraw& draw : DrawsOfFrame(frame))
            if (draw.picture == picture)
                return std::to_string(draw.points[0]) + "," + std::to_string(draw.points[1]) + " bright " +
                       std::to_string(draw.bright[0]);
        return "";
    }
    std::vector<std::string> Described(int frame) const {
        std::vector<std::string> lines;
        for (const gametest::SeenDraw& draw : DrawsOfFrame(frame)) lines.push_back(gametest::Describe(draw));
        return lines;
    }

    // Everything the scene took is given back and the settings are as before.
    void ExpectLeftClean() {
        EXPECT_EQ(Textures(), baseTextures_);
        EXPECT_EQ(Sounds(), baseSounds_);
        EXPECT_EQ(MainWindow.activeStateCallback, nullptr);
        EXPECT_EQ(GetDrawBrightColor() & 0xFFFFFF, 0xFFFFFFu);
    }

    std::vector<BattleCall> battles;
    int battleResult = 204;
    size_t baseTextures_ = 0;
    size_t baseSounds_ = 0;

private:
    static int ScriptedBattle(int* carriedHitPoints, int pilot, int bossId, bool retry) {
        IntermissionTest* test = current_;
        test->battles.push_back({carriedHitPoints, pilot, bossId, retry, test->FramesEnded(), Textures(), Sounds(),
                                 MainWindow.activeStateCallback != nullptr});
        return test->battleResult;
    }
    static inline IntermissionTest* current_ = nullptr;
};

constexpr int kClosedFrames = 60;
constexpr int kOpenEnd = 120;  // the last frame of the opening gates
constexpr int kFadeFrames = 51;

const char* const kPilotTexts[5] = {"", "ressa_text.png", "kolva_text.png", "tamsel_text.png", "wendrik_text.png"};

// Boss 2: the gates stay shut for 60 frames and open over 60; the pilot
// wraps 1..4 both ways and stays put on the go row; the go button closes
// the gates over 60 frames and fades out over 51; then the battle runs with
// the pilot, the id, the flag and the very hit-point int, untouched, after
// every stand-by picture and sound was given back.
TEST_F(IntermissionTest, TheHangarOpensTakesThePilotClosesAndLaunchesTheBattle) {
    int f = kOpenEnd + 2;
    HoldKey(VK_LEFT, f);       // 1 -> 4
    HoldKey(VK_LEFT, f += 2);  // 4 -> 3
    HoldKey(VK_RIGHT, f += 2);  // 3 -> 4
    HoldKey(VK_RIGHT, f += 2);  // 4 -> 1
    HoldKey(VK_RIGHT, f += 2);  // 1 -> 2
    HoldKey(VK_DOWN, f += 2);   // the go row
    HoldKey(VK_RIGHT, f += 2);  // no change on the go row
    HoldKey('Z', f += 2);       // go
    const int closeStart = f + 1;
    AtFrame(30, [&] { EXPECT_EQ(Textures(), baseTextures_ + 88); });
    // The hangar's music plays through the choice, under the focus callback.
    AtFrame(kOpenEnd + 3, [&] {
        ASSERT_EQ(MainWindow.activeStateCallback, &OnActiveChangeBgm);
        const int music = static_cast<int>(reinterpret_cast<intptr_t>(MainWindow.activeStateCallbackArgument));
        const char* const name = "resource\\sound\\BGM\\bgm_intermission.ogg";
        EXPECT_EQ(music, Manager::CSoundManager::GetInstance()->GetHandle(name));
        EXPECT_EQ(CheckSoundHandlePlaying(music), 1);
    });

    int hitPoints = 17;
    EXPECT_EQ(RunIntermissionScene(2, &hitPoints, false), 204);

    ASSERT_EQ(battles.size(), 1u);
    EXPECT_EQ(battles[0].carriedHitPoints, &hitPoints);
    EXPECT_EQ(hitPoints, 17);
    EXPECT_EQ(battles[0].pilot, 2);
    EXPECT_EQ(battles[0].bossId, 2);
    EXPECT_FALSE(battles[0].retry);
    EXPECT_EQ(battles[0].framesEnded, closeStart + 59 + kFadeFrames);
    EXPECT_EQ(battles[0].texturesLoaded, baseTextures_);
    EXPECT_EQ(battles[0].soundsLoaded, baseSounds_);
    EXPECT_FALSE(battles[0].callbackSet);
    ExpectLeftClean();

    for (int frame = 2; frame <= kClosedFrames; ++frame)
        EXPECT_EQ(Pictures(frame), (std::vector<std::string>{"right_back.png", "left_back.png", "right_top.png",
                                                             "left_top.png"}))
            << frame;
    for (int k = 0; k < 60; ++k) {
        const int open = k * 350 / 40;
        EXPECT_EQ(PlaceOf(kClosedFrames + 1 + k, "right_top.png"), std::to_string(open) + ",0 bright 255") << k;
        EXPECT_EQ(PlaceOf(kClosedFrames + 1 + k, "left_back.png"), std::to_string(-open) + ",0 bright 255") << k;
        const int shut = 516 - open;
        EXPECT_EQ(PlaceOf(closeStart + k, "right_back.png"), std::to_string(shut) + ",0 bright 255") << k;
        EXPECT_EQ(PlaceOf(closeStart + k, "left_top.png"), std::to_string(-shut) + ",0 bright 255") << k;
    }
    for (int k = 0; k < kFadeFrames; ++k)
        EXPECT_EQ(Pictures(closeStart + 60 + k), (std::vector<std::string>{"right_top.png", "left_top.png"})) << k;
    EXPECT_EQ(PlaceOf(closeStart + 60 + 50, "left_top.png"), "0,0 bright 5");

    // The opening's first frame in full: the line animations cross-faded,
    // the robot added on, pilot 1 and the go button lit, the gates shut.
    EXPECT_EQ(Described(kClosedFrames + 1),
              (std::vector<std::string>{
                  "DrawGraphicAtPoint back_line000.png 0,0 trans 1 blend 0/0 bright 0,0,0",
                  "DrawGraphicAtPoint back_line015.png 0,0 trans 1 blend 0/0 bright 255,255,255",
                  "DrawGraphicAtPoint robo_frame000.png 10,91 trans 1 blend 2/255 bright 255,255,255",
                  "DrawGraphicAtPoint standby_text_000.png 55,31 trans 1 blend 0/0 bright 255,255,255",
                  "DrawGraphicAtPoint char_display000.png 276,88 trans 1 blend 0/0 bright 255,255,255",
                  "DrawGraphicAtPoint ressa_text.png 276,88 trans 1 blend 0/0 bright 255,255,255",
                  "DrawGraphicAtPoint go_button.png 384,292 trans 1 blend 0/0 bright 255,255,255",
                  "DrawGraphicAtPoint beam_frame.png 0,0 trans 1 blend 0/0 bright 255,255,255",
                  "DrawGraphicAtPoint right_back.png 0,0 trans 1 blend 0/0 bright 255,255,255",
                  "DrawGraphicAtPoint right_top.png 0,0 trans 1 blend 0/0 bright 255,255,255",
                  "DrawGraphicAtPoint left_back.png 0,0 trans 1 blend 0/0 bright 255,255,255",
                  "DrawGraphicAtPoint left_top.png 0,0 trans 1 blend 0/0 bright 255,255,255",
              }));

    // The choice, frame by frame: the text shown and which row is lit.
    const int firstChoice = kOpenEnd + 1;
    const struct {
        int frame;
        int pilot;
        int pilotBright;
        int goBright;
    } shown[] = {
        {firstChoice, 1, 255, 128},      {firstChoice + 2, 4, 255, 128}, {firstChoice + 4, 3, 255, 128},
        {firstChoice + 6, 4, 255, 128},  {firstChoice + 8, 1, 255, 128}, {firstChoice + 10, 2, 255, 128},
        {firstChoice + 12, 2, 128, 255}, {firstChoice + 14, 2, 128, 255},
    };
    for (const auto& s : shown) {
        EXPECT_EQ(PlaceOf(s.frame, kPilotTexts[s.pilot]), "276,88 bright " + std::to_string(s.pilotBright)) << s.frame;
        EXPECT_EQ(PlaceOf(s.frame, "char_display000.png"), "276,88 bright " + std::to_string(s.pilotBright))
            << s.frame;
        EXPECT_EQ(PlaceOf(s.frame, "go_button.png"), "384,292 bright " + std::to_string(s.goBright)) << s.frame;
        EXPECT_FALSE(Drew(s.frame, "right_back.png")) << s.frame;
    }
    // The animation runs on through the choice and wraps after 120 frames.
    EXPECT_EQ(Pictures(firstChoice)[0], "back_line000.png");
    EXPECT_EQ(Pictures(firstChoice + 4)[0], "back_line001.png");
}

// Boss 1 offers three pilots; its scenario plays over the stand-by display
// only when the battle is not a retry; boss 7 goes through the whole hangar
// and returns 601 without a battle.
struct ChoiceCase {
    int bossId;
    bool retry;
    bool scenario;
    int lastPilot;
    int result;
    bool battle;
};

void PrintTo(const ChoiceCase& c, std::ostream* os) {
    *os << "boss " << c.bossId << (c.retry ? " retry" : "") << " last pilot " << c.lastPilot;
}

class IntermissionChoiceTest : public IntermissionTest, public testing::WithParamInterface<ChoiceCase> {};

TEST_P(IntermissionChoiceTest, PilotRangeScenarioAndBattle) {
    const ChoiceCase& c = GetParam();
    battleResult = 104;
    // ATTACK moves the scenario on and does nothing on the pilot row.
    const int choice = c.scenario ? 170 : kOpenEnd + 2;
    for (int frame = kOpenEnd + 4; frame < choice - 4; frame += 4) HoldKey('Z', frame);
    int f = choice;
    HoldKey(VK_LEFT, f);        // 1 -> last
    HoldKey(VK_RIGHT, f += 2);  // last -> 1
    HoldKey(VK_RIGHT, f += 2);  // 1 -> 2
    HoldKey(VK_LEFT, f += 2);   // 2 -> 1
    HoldKey(VK_LEFT, f += 2);   // 1 -> last
    HoldKey(VK_UP, f += 2);
    HoldKey('Z', f += 2);

    int hitPoints = 20;
    EXPECT_EQ(RunIntermissionScene(c.bossId, &hitPoints, c.retry), c.result);

    EXPECT_EQ(Drew(kOpenEnd + 1, "message_window.png"), c.scenario);
    EXPECT_FALSE(Drew(choice, "message_window.png"));
    const int sequence[] = {c.lastPilot, 1, 2, 1, c.lastPilot};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(PlaceOf(choice + 1 + 2 * i, kPilotTexts[sequence[i]]), "276,88 bright 255") << i;
    ASSERT_EQ(battles.size(), c.battle ? 1u : 0u);
    if (c.battle) {
        EXPECT_EQ(battles[0].pilot, c.lastPilot);
        EXPECT_EQ(battles[0].retry, c.retry);
    }
    EXPECT_EQ(hitPoints, 20);
    ExpectLeftClean();
}

INSTANTIATE_TEST_SUITE_P(Bosses, IntermissionChoiceTest,
                         testing::Values(ChoiceCase{1, false, true, 3, 104, true},
                                         ChoiceCase{1, true, false, 3, 104, true},
                                         ChoiceCase{7, false, false, 4, 601, false}));

// The window closing at any stage returns -1 without a battle and gives
// everything back; in the boss-1 scenario (nobody pressing a key) the
// scene ends its frames, so it sees the end too.
struct QuitCase {
    int bossId;
    int quitFrame;
    bool go;
};

void PrintTo(const QuitCase& c, std::ostream* os) {
    *os << "boss " << c.bossId << " quit at frame " << c.quitFrame << (c.go ? " after go" : "");
}

class IntermissionQuitTest : public IntermissionTest, public testing::WithParamInterface<QuitCase> {};

TEST_P(IntermissionQuitTest, LeavesWithoutABattle) {
    const QuitCase& c = GetParam();
    if (c.go) {
        HoldKey(VK_DOWN, kOpenEnd + 2);
        HoldKey('Z', kOpenEnd + 4);
    }
    QuitAtFrame(c.quitFrame);
    int hitPoints = 20;
    EXPECT_EQ(RunIntermissionScene(c.bossId, &hitPoints, false), -1);
    EXPECT_EQ(FramesEnded(), c.quitFrame);
    EXPECT_TRUE(battles.empty());
    ExpectLeftClean();
}

INSTANTIATE_TEST_SUITE_P(Stages, IntermissionQuitTest,
                         testing::Values(QuitCase{2, 10, false},    // the shut gates
                                         QuitCase{2, 70, false},    // the gates opening
                                         QuitCase{1, 125, false},   // the scenario
                                         QuitCase{2, 125, false},   // the choice
                                         QuitCase{2, 190, true}));  // the fade after the gates closed

// A missing picture or sound: the message, a quit message with code 1, -1,
// and nothing kept of what loaded before the missing file.
TEST_F(IntermissionTest, LoadFailuresEndTheProgram) {
    namespace fs = std::filesystem;
    const fs::path tree = fs::path(BRACKENFOLD_RESOURCE_DIR) / "resource";
    const fs::path copy = fs::path(folder_.hostPath()) / "resource";
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.windowsPath().c_str()));
    const char* const image = "Failed to load Image. This program will quit.";
    const char* const sound = "Failed to load Sound. This program will quit.";
    // Stage by stage: no files; every picture but the last of the table;
    // every picture and the first sound.
    for (const int stage : {0, 1, 2}) {
        SCOPED_TRACE(stage);
        if (stage == 1) {
            const fs::path pictures = copy / "picture";
            fs::create_directories(pictures / "BossBattle");
            fs::copy(tree / "picture" / "BossBattle" / "standby", pictures / "BossBattle" / "standby",
                     fs::copy_options::recursive);
            fs::copy(tree / "picture" / "effect", pictures / "effect", fs::copy_options::recursive);
            for (const char* name : {"ressa", "kolva", "tamsel"}) {
                fs::create_directories(pictures / "playercharacter" / name);
                fs::copy(tree / "picture" / "playercharacter" / name / "wait",
                         pictures / "playercharacter" / name / "wait", fs::copy_options::recursive);
            }
            fs::rename(pictures / "BossBattle" / "standby" / "go_button" / "go_button_selected.png",
                       pictures / "go_button_selected.png");
        }
        if (stage == 2) {
            fs::rename(copy / "picture" / "go_button_selected.png",
                       copy / "picture" / "BossBattle" / "standby" / "go_button" / "go_button_selected.png");
            fs::create_directories(copy / "sound" / "SE");
            fs::copy(tree / "sound" / "SE" / "se_title_select.wav", copy / "sound" / "SE" / "se_title_select.wav");
        }
        messageBoxes.clear();
        int hitPoints = 20;
        EXPECT_EQ(RunIntermissionScene(2, &hitPoints, false), -1);
        ASSERT_FALSE(messageBoxes.empty());
        EXPECT_EQ(messageBoxes.back().text, stage == 2 ? sound : image);
        EXPECT_EQ(messageBoxes.back().type, MB_ICONHAND);
        EXPECT_FALSE(messageBoxes.back().hasCaption);
        int exitCode = 0;
        EXPECT_TRUE(QuitPosted(&exitCode));
        EXPECT_EQ(exitCode, 1);
        EXPECT_TRUE(battles.empty());
        ExpectLeftClean();
    }
}

}  // namespace
