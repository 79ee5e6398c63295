// The window closed in each scene of the game, the way the host delivers its
// close button: the program runs from WinMain on the placeholder tree with a
// save, scripted keys take it to the scene, and the close comes at a chosen
// frame of that scene. The program must then end cleanly (every scene on the
// way up hands on the end without acting on it again, no further frame, no
// message box, WinMain returns 0) and give back everything: no object left
// for the shutdown to find, the managers empty, no graphic or sound handle
// alive, no focus callback set and no allocator block left behind.
//
// The stage select, the stage parts and the closing scenes can be scripted
// (a result handed up at once) where a row only needs to pass them; every
// call of the story's scenes is written down with its result.
#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "framework/base/framework_state.h"
#include "framework/base/tracked_memory.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/sound/sound_handles.h"
#include "framework/window/main_window.h"
#include "game/app/boss_rush_mode.h"
#include "game/app/ending_scene.h"
#include "game/app/game_mode.h"
#include "game/app/game_over_scene.h"
#include "game/app/intermission_scene.h"
#include "game/app/play_time.h"
#include "game/app/stage_clear_scene.h"
#include "game/app/stage_select_scene.h"
#include "game/app/win_main.h"
#include "game/bossbattle/boss_battle_scene.h"
#include "game/framework/fps_manager.h"
#include "game/framework/game_config.h"
#include "game/framework/object_tree.h"
#include "game/framework/resource_managers.h"
#include "game/stage/stage_scene.h"
#include "platform/kernel/debug_output_sink.h"
#include "platform/kernel/kernel.h"
#include "platform/user/user.h"
#include "platform/user/window_system_events.h"
#include "tests/support/game/game_test.h"
#include "tests/support/test_support.h"

namespace {

constexpr int kJump = 'X';
constexpr int kAttack = 'Z';
constexpr int kChange = 'C';
constexpr int kStart = VK_ESCAPE;

// One step of a row's script: when the frames since the step before have
// shown `shown` (a picture's file name, or the call of a draw without one)
// `nth` times, the key goes down for the next frame, or the window's close
// button is pressed.
struct Step {
    const char* shown;
    int nth;
    int key;  // 0: close the window
};

Step Press(const char* shown, int nth, int key) { return {shown, nth, key}; }
Step Close(const char* shown, int nth) { return {shown, nth, 0}; }

struct ClosedScene {
    const char* name;
    // The stage select's and the stage parts' results, handed up without a
    // frame; empty for the real scenes.
    std::vector<SceneCode> selectResults;
    std::vector<SceneCode> stageResults;
    bool fastForward;  // CHANGE held all along: the scenarios run fast
    std::vector<Step> steps;
    // The story's scenes called, in order, each with its result.
    std::vector<std::string> storyCalls;
    bool endsProcess;  // the scene ends the process itself (exit code 0)
};

void PrintTo(const ClosedScene& scene, std::ostream* out) { *out << scene.name; }

std::vector<Step> Then(std::vector<Step> first, const std::vector<Step>& more) {
    first.insert(first.end(), more.begin(), more.end());
    return first;
}

// The opening skipped, then the main menu's item `downs` below the story
// chosen once its fade-in is over. With the save's progress the menu shows
// its second picture.
std::vector<Step> ToMenuItem(int downs, const std::vector<Step>& more) {
    std::vector<Step> steps = {Press("opening01_graph.png", 2, kJump)};
    int wait = 70;
    for (int i = 0; i < downs; ++i) {
        steps.push_back(Press("mainmenu2.png", wait, VK_DOWN));
        wait = 2;
    }
    steps.push_back(Press("mainmenu2.png", wait, kAttack));
    return Then(steps, more);
}
std::vector<Step> ToStory(const std::vector<Step>& more) { return ToMenuItem(0, more); }

// In the hangar once its gates are open: the launch row, then launch.
std::vector<Step> Launch(const std::vector<Step>& more) {
    return Then({Press("beam_frame.png", 70, VK_DOWN), Press("beam_frame.png", 2, kAttack)}, more);
}

const ClosedScene kScenes[] = {
    {"Logo", {}, {}, false, {Close("circle_logo.png", 20)}, {}, false},
    {"Opening", {}, {}, false, {Close("opening01_graph.png", 30)}, {}, false},
    {"MainMenu", {}, {}, false, {Press("opening01_graph.png", 2, kJump), Close("mainmenu2.png", 80)}, {}, false},
    {"HowToPages", {}, {}, false, ToMenuItem(1, {Close("howto01.png", 10)}), {}, false},
    {"Options", {}, {}, false, ToMenuItem(2, {Close("option_background.png", 10)}), {}, false},
    {"StageSelect", {}, {}, false, ToStory({Close("stageselect_stage01.png", 30)}), {"select 1 -> 9"}, false},
    {"StagePartA", {1}, {}, false, ToStory({Close("hp01.png", 100)}), {"select 1 -> 1", "stage 1 -> -1"}, false},
    {"PauseMenu",
     {1},
     {},
     false,
     ToStory({Press("hp01.png", 100, kStart), Close("select_menus.png", 5)}),
     {"select 1 -> 1", "stage 1 -> -1"},
     false},
    {"StagePartB", {102}, {}, false, ToStory({Close("hp01.png", 100)}), {"select 1 -> 102", "stage 102 -> -1"}, false},
    {"Interlude",
     {1},
     {103},
     false,
     ToStory({Close("stage1b_for_senario.png", 30)}),
     {"select 1 -> 1", "stage 1 -> 103"},
     false},
    {"Intermission", {503}, {}, false, ToStory({Close("left_back.png", 30)}), {"select 1 -> 503", "hangar 5 -> -1"},
     false},
    {"RobotMovie",
     {503},
     {},
     false,
     ToStory(Launch({Close("DrawGraphicAtPoint", 30)})),
     {"select 1 -> 503", "hangar 5 -> -1", "battle 5 -> -1"},
     false},
    {"BossEntrance",
     {503},
     {},
     false,
     ToStory(Launch({Close("background_stage5.png", 100)})),
     {"select 1 -> 503", "hangar 5 -> -1", "battle 5 -> -1"},
     false},
    {"RobotBossBattle",
     {503},
     {},
     false,
     ToStory(Launch({Close("background_stage5.png", 300)})),
     {"select 1 -> 503", "hangar 5 -> -1", "battle 5 -> -1"},
     false},
    {"StageClear",
     {4},
     {403},
     true,
     ToStory({Close("background_stageclear.png", 30)}),
     {"select 1 -> 4", "stage 4 -> 403", "clear -> -1"},
     false},
    {"GameOver",
     {1},
     {101},
     false,
     ToStory({Close("kolva_down020.png", 30)}),
     {"select 1 -> 1", "stage 1 -> 101", "game over"},
     true},
    {"Ending", {8}, {}, false, ToStory({Close("DrawRectShape", 20)}), {"select 1 -> 8", "ending first -> -1"}, false},
    {"StaffRoll",
     {8},
     {},
     true,
     ToStory({Close("staffroll_logo.png", 40)}),
     {"select 1 -> 8", "ending first -> -1"},
     false},
    {"BossRush", {7}, {}, false, ToStory({Close("explain.png", 30)}), {"select 1 -> 7", "rush -> -1"}, false},
};

// A live block of the tracked allocator.
struct LiveBlock {
    const void* header;
    int id;
    std::string description;
};

// The allocator's live blocks, found from a block of our own: each header
// links to the one made before it, back to the list's head, which has no
// link behind it.
std::vector<LiveBlock> LiveBlocks() {
    std::vector<LiveBlock> blocks;
    void* probe = AllocMemory(1, "window_closed_test", __LINE__);
    const MemoryBlockHeader* header = static_cast<MemoryBlockHeader*>(probe) - 1;
    for (header = header->fields.previous; header != nullptr && header->fields.previous != nullptr;
         header = header->fields.previous) {
        char text[96];
        std::snprintf(text, sizeof(text), "%s:%d, %u bytes", header->fields.sourceNameTail, header->fields.line,
                      header->fields.size);
        blocks.push_back({header, header->fields.ID, text});
    }
    FreeMemory(probe);
    return blocks;
}

class WindowClosedTest : public gametest::GameTest, public ::testing::WithParamInterface<ClosedScene> {
protected:
    void SetUp() override {
        GameTest::SetUp();
        current = this;
        row_ = GetParam();
        blocksBefore_ = LiveBlocks();
        ASSERT_TRUE(StartFramework());
        GetGameConfig();
        *GetGameConfig() = GameConfig{};
        std::snprintf(DataFolderPath, sizeof(DataFolderPath), "%s", folder_.windowsPath().c_str());
        std::snprintf(ConfigFilePath, sizeof(ConfigFilePath), "%s\\config_ver_1.xml", folder_.windowsPath().c_str());
        // The save: every stage cleared.
        WriteFile("save_ver_1.dat", std::string("\x06\x00\x00\x00", 4));
        ASSERT_TRUE(SetCurrentDirectoryA(gametest::GeneratedTreeFolder().c_str()));
        ReloadLoadingDrawer();
        for (SaveRecord& record : BestTimeTable) record = kUnsetPlayTime;
        GameProgress = 0;
        LastCharacter = 2;
        platform::ClearDebugOutput();
        SetFrameLimit(5000);

        selects_.assign(row_.selectResults.begin(), row_.selectResults.end());
        stages_.assign(row_.stageResults.begin(), row_.stageResults.end());
        StoryScenes = {&Select, &Stage, &Hangar, &Rush, &Clear, &GameOver, &Ending};
        IntermissionBattleScene = &Battle;

        // Any button held runs the logo at twice the speed.
        HoldKey(kChange, 1, row_.fastForward ? 20000 : 170);
        baseHook_ = Manager::CFPSManager::frameHook;
        Manager::CFPSManager::frameHook = &Hook;
    }

    void TearDown() override {
        Manager::CFPSManager::frameHook = baseHook_;
        StoryScenes = DefaultStoryScenes();
        IntermissionBattleScene = &RunBossBattleScene;
        std::snprintf(DataFolderPath, sizeof(DataFolderPath), ".");
        std::snprintf(ConfigFilePath, sizeof(ConfigFilePath), "./config_ver_1.xml");
        *GetGameConfig() = GameConfig{};
        GameProgress = 0;
        current = nullptr;
        GameTest::TearDown();
    }

    // The blocks made since the test began that are still alive.
    std::vector<std::string> BlocksLeft() const {
        std::set<std::pair<const void*, int>> before;
        for (const LiveBlock& block : blocksBefore_) before.insert({block.header, block.id});
        std::vector<std::string> left;
        for (const LiveBlock& block : LiveBlocks())
            if (!before.count({block.header, block.id})) left.push_back(block.description);
        return left;
    }

    ClosedScene row_;
    int closedAt = 0;
    std::vector<std::string> calls;

private:
    // What a frame showed: its pictures, and the calls of draws without one
    // (the white screen of the ending, a movie's frame).
    bool Shows(int frame, const std::string& what) const {
        for (const gametest::SeenDraw& draw : DrawsOfFrame(frame))
            if (draw.picture == what || (draw.picture.empty() && draw.call == what)) return true;
        return false;
    }

    static void Hook(int phase) {
        baseHook_(phase);
        if (phase != 0 || current == nullptr) return;
        current->FollowScript();
    }

    void FollowScript() {
        const int frame = FramesEnded();
        if (step_ >= row_.steps.size()) return;
        const Step& step = row_.steps[step_];
        if (!Shows(frame, step.shown) || ++seen_ < step.nth) return;
        if (step.key != 0) {
            HoldKey(step.key, frame + 1);
        } else {
            closedAt = frame;
            platform::detail::events::CloseRequested(GetMainWindowHandle());
        }
        ++step_;
        seen_ = 0;
    }

    // ---- the story's scenes, written down --------------------------------------------
    size_t Call(const std::string& text) {
        calls.push_back(text);
        return calls.size() - 1;
    }
    int Result(size_t call, int result) {
        calls[call] += " -> " + std::to_string(result);
        return result;
    }
    static SceneCode Scripted(std::deque<SceneCode>& results) {
        if (results.empty()) {
            ADD_FAILURE() << "no result scripted";
            return kSceneEndProgram;
        }
        const SceneCode result = results.front();
        results.pop_front();
        return result;
    }
    static SceneCode Select(int entry, int* titleSounds) {
        const size_t call = current->Call("select " + std::to_string(entry));
        return current->Result(call, current->row_.selectResults.empty() ? RunStageSelectScene(entry, titleSounds)
                                                                         : Scripted(current->selects_));
    }
    static int Stage(int code, int hitPoints, int attackLevel, int retry) {
        const size_t call = current->Call("stage " + std::to_string(code));
        return current->Result(call, current->row_.stageResults.empty()
                                         ? RunStageScene(code, hitPoints, attackLevel, retry)
                                         : Scripted(current->stages_));
    }
    static int Hangar(int boss, int* hitPoints, bool retry) {
        const size_t call = current->Call("hangar " + std::to_string(boss));
        return current->Result(call, RunIntermissionScene(boss, hitPoints, retry));
    }
    static int Battle(int* hitPoints, int pilot, int boss, bool retry) {
        const size_t call = current->Call("battle " + std::to_string(boss));
        return current->Result(call, RunBossBattleScene(hitPoints, pilot, boss, retry));
    }
    static int Rush() {
        const size_t call = current->Call("rush");
        return current->Result(call, RunBossRushMode());
    }
    static int Clear() {
        const size_t call = current->Call("clear");
        return current->Result(call, RunStageClearScene());
    }
    static int GameOver() {
        const size_t call = current->Call("game over");
        return current->Result(call, RunGameOverScene());
    }
    static SceneCode Ending(bool firstClear) {
        const size_t call = current->Call(firstClear ? "ending first" : "ending");
        return current->Result(call, RunEndingScene(firstClear));
    }

    static inline WindowClosedTest* current = nullptr;
    static inline void (*baseHook_)(int) = nullptr;
    size_t step_ = 0;
    int seen_ = 0;
    std::deque<SceneCode> selects_;
    std::deque<SceneCode> stages_;
    std::vector<LiveBlock> blocksBefore_;
};

TEST_P(WindowClosedTest, TheProgramEndsCleanlyAndEverySceneGivesBackWhatItLoaded) {
    if (row_.endsProcess) testsupport::InterceptExitProcess();
    int returned = -1;
    unsigned exitCode = 99;
    try {
        returned = WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOWDEFAULT);
        EXPECT_FALSE(row_.endsProcess) << "the scene returned";
    } catch (const testsupport::ProcessExited& exited) {
        exitCode = exited.exitCode;
        EXPECT_TRUE(row_.endsProcess) << "the process ended";
    }
    if (row_.endsProcess)
        EXPECT_EQ(exitCode, 0u);
    else
        EXPECT_EQ(returned, 0);

    // The close was seen at the frame it came in; nothing was drawn after.
    ASSERT_GT(closedAt, 0) << "the scene was not reached";
    EXPECT_EQ(FramesEnded(), closedAt);
    EXPECT_TRUE(OpenFrameDraws().empty());
    EXPECT_EQ(calls, row_.storyCalls);
    for (const platform::MessageBoxRecord& box : messageBoxes) ADD_FAILURE() << "message box: " << box.text;

    // Nothing was left for the shutdown to find, and nothing outlives it.
    EXPECT_EQ(platform::DebugOutputText().find("Unreleased"), std::string::npos) << platform::DebugOutputText();
    EXPECT_EQ(FrameworkInitialised, 0);
    EXPECT_TRUE(Manager::CTextureManager::GetInstance()->entries.empty());
    EXPECT_TRUE(Manager::CSoundManager::GetInstance()->entries.empty());
    EXPECT_TRUE(Manager::C2DFontManager::GetInstance()->handles.empty());
    EXPECT_TRUE(Manager::CPrimitive2DObjectManager::GetInstance()->objects.empty());
    EXPECT_EQ(GraphicHandleTable.liveCount, 0);
    EXPECT_EQ(SoundHandleTable.liveCount, 0);
    EXPECT_EQ(MainWindow.activeStateCallback, nullptr);
    EXPECT_EQ(MainWindow.activeStateCallbackArgument, nullptr);
    EXPECT_EQ(BlocksLeft(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(EachScene, WindowClosedTest, ::testing::ValuesIn(kScenes),
                         [](const ::testing::TestParamInfo<ClosedScene>& info) { return std::string(info.param.name); });

}  // namespace
