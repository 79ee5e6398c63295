// A scene-aware scripted player of the whole game: the real program started
// from WinMain, headless on the generated resource tree, with the save and
// the configuration in the test's folder. At every frame end it looks at the
// scene that runs (the game's own globals, the pictures the frame drew, the
// robots of a battle) and chooses the keys of the next frame: it skips the
// opening, chooses on the menus, picks the next stage, walks the stage
// parts, fights the battles with the robot's commands, and goes on through
// every scenario. The scenes it saw are kept in order, one entry for each
// run of frames of one scene.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "framework/base/framework_state.h"
#include "framework/base/tracked_memory.h"
#include "framework/graphics/draw_settings.h"
#include "framework/window/main_window.h"
#include "game/app/play_time.h"
#include "game/app/win_main.h"
#include "game/bossbattle/battle_records.h"
#include "game/bossbattle/boss_battle_scene.h"
#include "game/framework/fps_manager.h"
#include "game/framework/game_config.h"
#include "game/framework/object_tree.h"
#include "game/framework/resource_managers.h"
#include "game/stage/stage_scene.h"
#include "game/stage/stage_table.h"
#include "platform/kernel/kernel.h"
#include "platform/user/user.h"
#include "tests/support/game/game_test.h"
#include "tests/support/game/map_walk.h"

namespace gametest {

constexpr int kKeyAttack = 'Z';
constexpr int kKeyJump = 'X';
constexpr int kKeyChange = 'C';
constexpr int kKeyUp = 38;
constexpr int kKeyDown = 40;
constexpr int kKeyLeft = 37;
constexpr int kKeyRight = 39;

// The main menu's items.
constexpr int kMenuStory = 11;
constexpr int kMenuQuit = 14;

// The robots as a battle frame began.
struct BattleView {
    int frame = 0;  // the frame end that followed
    int playerState = 0;
    int playerHitPoints = 0;
    int power = 0;
    int bossHitPoints = 0;
    int bossState = 0;
    int overCounter = 0;
};

class ScriptedPlayerTest : public GameTest {
protected:
    // The boss's choices are drawn from rand(), which the battle seeds from
    // the calendar: each battle is seeded again with this as it begins, so
    // that a run plays the same every time.
    static constexpr unsigned kBattleSeed = 20261210;

    void SetUp() override { SetUpOn(RenderPath::Software); }

    // False (and the test skipped by the caller) when the path cannot be had.
    bool SetUpOn(RenderPath path) {
        GameTest::SetUp();
        if (!StartFramework(path)) return false;
        GetGameConfig();
        *GetGameConfig() = GameConfig{};
        std::snprintf(DataFolderPath, sizeof(DataFolderPath), "%s", folder_.windowsPath().c_str());
        std::snprintf(ConfigFilePath, sizeof(ConfigFilePath), "%s\\config_ver_1.xml", folder_.windowsPath().c_str());
        EXPECT_TRUE(SetCurrentDirectoryA(GeneratedTreeFolder().c_str()));
        ReloadLoadingDrawer();
        for (SaveRecord& record : BestTimeTable) record = kUnsetPlayTime;
        GameProgress = 0;
        SetFrameLimit(1000000);
        if (path == RenderPath::Software) {
            // Every draw is still seen, but the software renderer fills one
            // pixel instead of the screen, and the window shows the screen
            // a hundredth of its size: the whole game runs in minutes.
            drawOnePixel_ = true;
            MainWindow.settings.WindowScaleRateX = 0.01;
            MainWindow.settings.WindowScaleRateY = 0.01;
        }
        baseHook_ = Manager::CFPSManager::frameHook;
        Manager::CFPSManager::frameHook = &ScriptedPlayerTest::Hook;
        BossBattleFrameHook = &ScriptedPlayerTest::OnBattleFrame;
        current_ = this;
        return true;
    }

    void TearDown() override {
        current_ = nullptr;
        BossBattleFrameHook = nullptr;
        MainWindow.settings.WindowScaleRateX = 0.0;
        MainWindow.settings.WindowScaleRateY = 0.0;
        std::snprintf(DataFolderPath, sizeof(DataFolderPath), ".");
        std::snprintf(ConfigFilePath, sizeof(ConfigFilePath), "./config_ver_1.xml");
        *GetGameConfig() = GameConfig{};
        for (SaveRecord& record : BestTimeTable) record = kUnsetPlayTime;
        GameProgress = 0;
        GameTest::TearDown();
    }

    // ---- what the player is to do ------------------------------------------------
    // The item chosen at each visit of the main menu, in order; quit once
    // the list is used up.
    std::vector<int> menuChoices = {kMenuStory, kMenuQuit};
    // The stage select goes back to the main menu once the progress reaches
    // this; otherwise it picks the next stage, and the boss rush once the
    // story is over.
    int lastStage = 7;
    // The stage parts (by count, from 1) in which the player stops on the
    // spikes until it dies.
    std::set<int> partsToLose;
    // Whether the boss of each battle is left a single hit point (see
    // OnBattleFrame); off, the battle is fought out.
    bool shortBattles = true;

    // Runs the program to its end; its exit code.
    int RunGame() {
        return WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOWDEFAULT);
    }

    // The scenes seen, in order, one entry for each run of frames.
    std::vector<std::string> scenes;
    // Where the scenes began, frame by frame, for a failure's message.
    std::vector<int> sceneFrames;
    // The frames of each scene; those of the boss rush's battles are kept
    // apart under "rush battle N".
    std::map<std::string, int> framesOf;
    std::map<int, int> clockFrames;
    // The frames a scene may last before the script counts itself lost.
    int sceneFrameLimit = 9000;

    std::string SceneTrace() const {
        std::string text;
        for (size_t i = 0; i < scenes.size(); ++i)
            text += std::to_string(sceneFrames[i]) + " " + scenes[i] + "\n";
        if (!walkSeen_.empty()) text += "last walk: " + walkSeen_ + "\n";
        return text;
    }

    // What every run checks at its end: no message box, the whole shutdown
    // (the framework ended, every manager empty, no focus routine left), and
    // the quit message with exit code 0.
    void ExpectCleanShutdown() {
        EXPECT_TRUE(messageBoxes.empty()) << (messageBoxes.empty() ? "" : messageBoxes[0].text);
        EXPECT_EQ(FrameworkInitialised, 0);
        EXPECT_TRUE(Manager::CTextureManager::GetInstance()->entries.empty());
        EXPECT_TRUE(Manager::CSoundManager::GetInstance()->entries.empty());
        EXPECT_TRUE(Manager::CPrimitive2DObjectManager::GetInstance()->objects.empty());
        EXPECT_EQ(MainWindow.activeStateCallback, nullptr);
        bool quit = false;
        int exitCode = -1;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            if (message.message == WM_QUIT) {
                quit = true;
                exitCode = static_cast<int>(message.wParam);
            }
        EXPECT_TRUE(quit);
        EXPECT_EQ(exitCode, 0);
        // The framework's shutdown lists the tracked blocks still allocated.
        EXPECT_EQ(CheckMemoryAllocations(), 0);
        const std::string log = LogText();
        const size_t dump = log.rfind("Alloc memory dump");
        ASSERT_NE(dump, std::string::npos);
        EXPECT_NE(log.find("Total size:0(0.000kb)  Alloc num:0", dump), std::string::npos) << log.substr(dump);
    }

    // The save as the game holds it, and as a fresh load of the file gives
    // it back.
    void ExpectSaveReadsBack() {
        const int progress = GameProgress;
        SaveRecord held[kBestTimeRecordCount];
        for (int i = 0; i < kBestTimeRecordCount; ++i) held[i] = BestTimeTable[i];
        for (SaveRecord& record : BestTimeTable) record = kUnsetPlayTime;
        GameProgress = -1;
        ASSERT_TRUE(LoadGameData());
        EXPECT_EQ(GameProgress, progress);
        for (int i = 0; i < kBestTimeRecordCount; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(BestTimeTable[i].minutes, held[i].minutes);
            EXPECT_EQ(BestTimeTable[i].seconds, held[i].seconds);
            EXPECT_EQ(BestTimeTable[i].milliseconds, held[i].milliseconds);
        }
    }

    // The whole game from a new game: the story (the first stage part lost
    // once and continued), the ending, the boss rush, quit.
    static std::vector<std::string> WholeGameScenes() {
        auto battle = [](int boss, bool movie) {
            std::vector<std::string> s = {"intermission"};
            if (movie) s.push_back("robot movie");
            s.push_back("battle " + std::to_string(boss));
            return s;
        };
        std::vector<std::string> all = {"logo", "opening", "main menu", "stage select"};
        auto add = [&all](const std::vector<std::string>& more) { all.insert(all.end(), more.begin(), more.end()); };
        add({"stage 1", "game over", "stage 1", "stage 102", "interlude stage1b"});
        add(battle(1, true));
        add({"interlude stage1b", "stage clear", "stage select", "stage 2", "stage 202", "interlude stage2b"});
        add(battle(2, true));
        add({"interlude stage2_background", "stage clear", "stage select", "stage 3", "stage 302",
             "interlude stage3_background"});
        add(battle(3, true));
        add({"interlude stage3_background", "stage clear", "stage select", "stage 4", "stage 402",
             "interlude stage4_background", "stage clear", "stage select", "stage 5", "interlude stage5_background"});
        add(battle(5, true));
        add({"interlude stage5_background", "stage clear", "stage select", "interlude stage6_background"});
        add(battle(6, true));
        add({"ending", "staff roll", "boss rush unlocked", "logo", "opening", "main menu", "stage select",
             "boss rush explanation"});
        add(battle(1, true));
        for (int boss : {2, 3, 5, 6}) add(battle(boss, false));
        add({"boss rush record", "logo", "opening", "main menu"});
        return all;
    }

    // Each robot movie played to its end: no key skipped it.
    void ExpectMoviesPlayedThrough() {
        for (size_t i = 0; i + 1 < scenes.size(); ++i) {
            if (scenes[i] == "robot movie") {
                EXPECT_GE(sceneFrames[i + 1] - sceneFrames[i], 100) << "the movie at frame " << sceneFrames[i];
            }
        }
    }

    // A best time is the time of the frames the stage and its battle were
    // played, 16 ms each, within a few frames (the frame that ends a part or
    // a battle stops the clock part way), and nothing else: no time spent
    // between the frames, none missing.
    void ExpectBestTimesWithinPlayedFrames() {
        for (int record = 1; record <= 7; ++record) {
            SCOPED_TRACE("record " + std::to_string(record));
            const int played = 16 * clockFrames[record];
            EXPECT_GT(played, 0);
            EXPECT_LE(Milliseconds(BestTimeTable[record - 1]), played + 300);
            EXPECT_GE(Milliseconds(BestTimeTable[record - 1]), played - 200);
        }
    }

    static bool IsSet(const SaveRecord& record) {
        return record.minutes != kUnsetPlayTime.minutes || record.seconds != kUnsetPlayTime.seconds ||
               record.milliseconds != kUnsetPlayTime.milliseconds;
    }
    static int Milliseconds(const SaveRecord& record) {
        return record.minutes * 60000 + record.seconds * 1000 + record.milliseconds;
    }

    // Called as every frame ends, after the player chose its keys; for the
    // focus changes of a derived test.
    virtual void AfterFrame(int /*frame*/) {}

    // ---- scenes --------------------------------------------------------------------
    // The scene of a frame from what it drew and the game's globals; "" for
    // a frame that shows none (loading, black).
    std::string SceneOf(int frame) const {
        const std::vector<SeenDraw>& draws = DrawsOfFrame(frame);
        auto has = [&](const std::string& name) {
            for (const SeenDraw& d : draws)
                if (d.picture == name) return true;
            return false;
        };
        auto withPrefix = [&](const std::string& prefix) -> std::string {
            for (const SeenDraw& d : draws)
                if (d.picture.rfind(prefix, 0) == 0) return d.picture;
            return "";
        };
        // A movie's frames are drawn from a graphic without a picture file.
        bool movie = false, besides = false;
        for (const SeenDraw& d : draws) {
            if (d.picture.empty() && d.call == "DrawGraphicAtPoint" && d.points.size() == 2 && d.points[0] == 0 &&
                d.points[1] == 0)
                movie = true;
            else if (d.picture != "now_loading.png")
                besides = true;
        }
        if (movie && !besides) return "robot movie";
        if (has("cockpit.png")) {
            const std::string background = withPrefix("background_stage");
            return "battle " + (background.empty() ? std::string("?") : background.substr(16, 1));
        }
        if (RunningStagePlayer != nullptr) return "stage " + std::to_string(CurrentStageCode);
        if (has("go_button.png") || has("left_back.png") || has("left_top.png")) return "intermission";
        if (has("circle_logo.png")) return "logo";
        if (!withPrefix("opening0").empty()) return "opening";
        if (has("mainmenu.png") || has("mainmenu2.png")) return "main menu";
        if (!withPrefix("stageselect_").empty()) return "stage select";
        for (const SeenDraw& d : draws) {
            const size_t cut = d.picture.find("_for_senario.png");
            if (cut != std::string::npos) return "interlude " + d.picture.substr(0, cut);
        }
        if (has("background_stageclear.png")) return "stage clear";
        if (!withPrefix("game_over").empty()) return "game over";
        if (has("explain.png")) return "boss rush explanation";
        if (has("collect.png")) return "boss rush record";
        if (!withPrefix("bb_added").empty()) return "boss rush unlocked";
        if (!withPrefix("staffroll").empty()) return "staff roll";
        if (has("message_window.png")) return "ending";
        std::string other;
        for (const SeenDraw& d : draws)
            if (!d.picture.empty() && d.picture != "now_loading.png" && other.find(d.picture) == std::string::npos)
                other += (other.empty() ? "" : ",") + d.picture;
        if (other.empty()) return "";
        return "other " + other;
    }

private:
    static void Hook(int phase) {
        baseHook_(phase);
        if (phase != 1 || current_ == nullptr) return;
        current_->OnFrameEnd(current_->FramesEnded());
    }

    static void OnBattleFrame(PlayerRobot& player, BossRobot& boss, int& overCounter) {
        if (current_ == nullptr) return;
        ScriptedPlayerTest& self = *current_;
        const int frame = self.FramesEnded() + 1;
        if (self.battle_.frame < frame - 1) {
            // A battle begins. The script's plain commands beat only the
            // second boss (bosses 1, 3, 5 and 6 destroy the robot first),
            // and a whole fight runs thousands of frames: the boss is left a
            // single hit point, so that the robot's first blow that lands
            // ends the battle, as the battle's own tests end theirs.
            std::srand(kBattleSeed);
            if (self.shortBattles) boss.hitPoints = 1;
        }
        self.battle_ =
            BattleView{frame, player.state, player.hitPoints, player.psychicPower, boss.hitPoints, boss.state, overCounter};
    }

    // Presses are made on odd frames only, so that each one is a fresh press.
    void Press(int key, int frame) {
        if (frame % 2 == 1) HoldKey(key, frame);
    }
    // Held on three frames of four: the scenarios run fast, and a button
    // still goes down anew now and then.
    void HoldMostly(int key, int frame) {
        if (frame % 4 != 0) HoldKey(key, frame);
    }

    void OnFrameEnd(int frame) {
        if (drawOnePixel_) SetDrawAreaRect(0, 0, 1, 1);
        const std::string scene = SceneOf(frame);
        if (!scene.empty() && (scenes.empty() || scenes.back() != scene)) {
            scenes.push_back(scene);
            sceneFrames.push_back(frame);
            sceneStart_ = frame;
            Enter(scene);
        }
        if (!scene.empty()) {
            ++framesOf[(inRush_ && scene.rfind("battle ", 0) == 0 ? "rush " : "") + scene];
            CountClockFrame(scene, frame);
            Act(scene, frame, frame + 1);
        }
        if (!scenes.empty() && frame - sceneStart_ > sceneFrameLimit && !stalled_) {
            stalled_ = true;
            ADD_FAILURE() << "the script lost its way in " << scenes.back() << " at frame " << frame << "\n"
                          << SceneTrace();
            PostQuitMessage(0);
        }
        AfterFrame(frame);
    }

    void Enter(const std::string& scene) {
        if (scene == "main menu") {
            ++menuVisits_;
            inRush_ = false;
        }
        if (scene == "boss rush explanation") inRush_ = true;
        if (scene.rfind("stage ", 0) == 0 && scene != "stage select" && scene != "stage clear") {
            walk_ = std::make_unique<GeneratedMapWalk>(CurrentStageCode);
            ++partsEntered_;
            // Part a starts the stage's clock from 0.
            if (CurrentStageCode <= 5) clockFrames[CurrentStageCode] = 0;
        }
    }

    int MenuChoice() const {
        const size_t visit = static_cast<size_t>(menuVisits_ - 1);
        return visit < menuChoices.size() ? menuChoices[visit] : kMenuQuit;
    }

    void Act(const std::string& scene, int frame, int next) {
        const std::vector<SeenDraw>& draws = DrawsOfFrame(frame);
        if (scene == "opening") {
            Press(kKeyJump, next);
        } else if (scene == "main menu") {
            ActOnMainMenu(draws, next);
        } else if (scene == "stage select") {
            ActOnStageSelect(draws, next);
        } else if (scene.rfind("stage ", 0) == 0 && scene != "stage clear") {
            ActInStage(frame, next);
        } else if (scene.rfind("interlude ", 0) == 0 || scene == "ending" || scene == "staff roll") {
            HoldMostly(kKeyChange, next);
        } else if (scene == "intermission") {
            ActInIntermission(draws, next);
        } else if (scene.rfind("battle ", 0) == 0) {
            if (battle_.frame == frame) ActInBattle(next);
            else HoldMostly(kKeyChange, next);  // the boss's entrance and its scenario
        } else if (scene == "game over") {
            for (const SeenDraw& d : draws)
                if (d.picture == "select_menus.png" && d.bright[0] == 255) {
                    Press(kKeyAttack, next);  // the first item: continue
                    break;
                }
        } else if (scene == "boss rush explanation" || scene == "boss rush record") {
            Press(kKeyAttack, next);
        }
    }

    // The highlighted item is the one drawn from the sheet's second row.
    void ActOnMainMenu(const std::vector<SeenDraw>& draws, int next) {
        int highlighted = 0;
        for (const SeenDraw& d : draws)
            if (d.picture == "select_menus.png" && d.source[1] == 32 && d.bright[0] == 255)
                highlighted = kMenuStory + d.source[0] / 128;
        if (highlighted == 0) return;  // still fading in
        const int wanted = MenuChoice();
        if (highlighted == wanted) Press(kKeyAttack, next);
        else Press(wanted > highlighted ? kKeyDown : kKeyUp, next);
    }

    void ActOnStageSelect(const std::vector<SeenDraw>& draws, int next) {
        std::vector<int> shown;
        for (const SeenDraw& d : draws) {
            if (d.picture.rfind("stageselect_stage0", 0) == 0) shown.push_back(d.picture[18] - '0');
            if (d.picture == "stageselect_experiment_vsboss.png") shown.push_back(7);
        }
        if (shown.size() != 1) return;  // fading or sliding
        for (const SeenDraw& d : draws)
            if (d.picture.rfind("stageselect_", 0) == 0 && d.bright[0] != 255) return;
        if (GameProgress >= lastStage) {
            Press(kKeyJump, next);
            return;
        }
        const int wanted = GameProgress >= 6 ? 7 : GameProgress + 1;
        if (shown[0] == wanted) Press(kKeyAttack, next);
        else Press(wanted > shown[0] ? kKeyRight : kKeyLeft, next);
    }

    // KEY_RIGHT held all the way and the map's jumps; ATTACK goes through the
    // part's opening scenario (the walk's jumps wait for the player to walk).
    void ActInStage(int frame, int next) {
        const PlayerRecord* p = RunningStagePlayer;
        if (p == nullptr || walk_ == nullptr) return;
        if (!StageHudShown(frame)) Press(kKeyAttack, next);
        const std::vector<int>& jumps = walk_->Design().jumpColumns;
        if (partsToLose.count(partsEntered_) && jumps.size() >= 4) {
            // Onto the spike bed, the map's fourth obstacle, and stay there.
            const int spikes = 64 * jumps[3];
            const double mapX = p->scrollX + p->x;
            if (mapX >= spikes - 16) {
                walkSeen_ = "stage " + std::to_string(CurrentStageCode) + " on the spikes " + walk_->LastSeen();
                return;
            }
            HoldKey(kKeyRight, next);
            if (mapX < spikes - 128 && walk_->JumpNow(p, frame)) HoldKey(kKeyJump, next, kWalkJumpFrames);
            return;
        }
        HoldKey(kKeyRight, next);
        if (walk_->JumpNow(p, frame)) HoldKey(kKeyJump, next, kWalkJumpFrames);
        walkSeen_ = "stage " + std::to_string(CurrentStageCode) + " " + walk_->LastSeen();
    }

    // The hit-point gauge is drawn only while the part is played.
    bool StageHudShown(int frame) const {
        for (const SeenDraw& d : DrawsOfFrame(frame))
            if (d.points.size() == 2 && d.points[0] == 10 && d.points[1] == 10) return true;
        return false;
    }

    // On the stand-by display: down to the go button, then ATTACK. Nothing
    // while the gates move, so that no press reaches the robot's movie.
    void ActInIntermission(const std::vector<SeenDraw>& draws, int next) {
        int goBright = -1;
        for (const SeenDraw& d : draws) {
            if (d.picture == "left_back.png" || d.picture == "left_top.png") return;
            if (d.picture == "go_button.png") goBright = d.bright[0];
        }
        if (goBright < 0) return;
        HoldMostly(kKeyChange, next);  // the first battle's scenario over the display
        if (goBright == 255) Press(kKeyAttack, next);
        else Press(kKeyDown, next);
    }

    // The robot's commands: a guard (down, left, ATTACK on three frames in a
    // row) while the boss attacks, else the basic attack whenever the robot
    // stands free with the power for it.
    void ActInBattle(int next) {
        const BattleView& b = battle_;
        if (b.overCounter != 0 || next < commandUntil_) return;
        if (b.playerState != kRobotStanding && b.playerState != kRobotWalking) return;
        const bool bossAttacks =
            b.bossState == kBossNearAttack || b.bossState == kBossMiddleAttack || b.bossState == kBossFarAttack;
        if (bossAttacks && b.power >= 5) {
            HoldKey(kKeyDown, next);
            HoldKey(kKeyLeft, next + 1);
            HoldKey(kKeyAttack, next + 2);
            commandUntil_ = next + 4;
        } else if (!bossAttacks && b.power >= 10) {
            HoldKey(kKeyAttack, next);
            commandUntil_ = next + 2;
        }
    }

    // The frames in which a stage's clock may run: the stage parts' played
    // frames and the battles' fighting frames, by stage (7 the boss rush).
    void CountClockFrame(const std::string& scene, int frame) {
        if (scene.rfind("stage ", 0) == 0 && scene != "stage select" && scene != "stage clear") {
            if (StageHudShown(frame)) ++clockFrames[CurrentStageCode >= 100 ? CurrentStageCode / 100 : CurrentStageCode];
        } else if (scene.rfind("battle ", 0) == 0 && battle_.frame == frame && battle_.overCounter == 0) {
            ++clockFrames[inRush_ ? 7 : scene[7] - '0'];
        }
    }

    static inline void (*baseHook_)(int) = nullptr;
    static inline ScriptedPlayerTest* current_ = nullptr;

    int menuVisits_ = 0;
    int partsEntered_ = 0;
    int sceneStart_ = 0;
    bool stalled_ = false;
    bool inRush_ = false;
    bool drawOnePixel_ = false;
    int commandUntil_ = 0;
    BattleView battle_;
    std::unique_ptr<GeneratedMapWalk> walk_;
    std::string walkSeen_;
};

}  // namespace gametest
