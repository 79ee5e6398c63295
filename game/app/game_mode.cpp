// The story's driver: the stage select, then the stage, boss or run it chose,
// with the scenarios between; a cleared stage's best time, progress and save
// come before its closing scenario.
#include "game/app/game_mode.h"

#include "framework/graphics/graphics.h"
#include "framework/sound/sound_playback.h"
#include "framework/window/main_window.h"
#include "game/app/active_state_callbacks.h"
#include "game/app/boss_rush_mode.h"
#include "game/app/ending_scene.h"
#include "game/app/game_over_scene.h"
#include "game/app/intermission_scene.h"
#include "game/app/play_time.h"
#include "game/app/scene_steps.h"
#include "game/app/stage_clear_scene.h"
#include "game/app/stage_select_scene.h"
#include "game/framework/fps_manager.h"
#include "game/framework/input_manager.h"
#include "game/framework/resource_managers.h"
#include "game/framework/senario_object.h"
#include "game/stage/stage_scene.h"
#include "platform/user/user.h"

StorySceneRoutines DefaultStoryScenes() {
    return {RunStageSelectScene, RunStageScene,    RunIntermissionScene, RunBossRushMode,
            RunStageClearScene,  RunGameOverScene, RunEndingScene};
}

StorySceneRoutines StoryScenes = DefaultStoryScenes();

namespace {

const SoundListEntry kTalkMusic = {"resource\\sound\\BGM\\bgm_talk.ogg", 0};

// The frames of an interlude after its fade-in: the background, then the
// scenario over it.
void DrawInterlude(Object::CSenarioObject* scenario, int background) {
    ClearTargetScreen();
    DrawGraphicAtPoint(0, 0, background, 1);
    scenario->Draw();
    scenario->UpdateFrame();
    PresentBackBuffer();
}

// What follows a scene's result: the scenario shown before the stage's boss,
// or the stage cleared with its closing scenario.
struct StoryStep {
    SceneCode result;
    int clearedStage;  // 0 for an interlude before a boss
    const char* scenario;
    const char* background;
};

const StoryStep kStorySteps[] = {
    {103, 0, "resource\\senario\\Stage1_senario1.xml", "resource\\picture\\background\\stage1b\\stage1b_for_senario.png"},
    {203, 0, "resource\\senario\\Stage2_senario1.xml", "resource\\picture\\background\\stage2b\\stage2b_for_senario.png"},
    {303, 0, "resource\\senario\\Stage3_senario1.xml", "resource\\picture\\background\\stage3_background_for_senario.png"},
    {503, 0, "resource\\senario\\Stage5_senario1.xml", "resource\\picture\\background\\stage5_background_for_senario.png"},
    {104, 1, "resource\\senario\\Stage1_senario4.xml", "resource\\picture\\background\\stage1b\\stage1b_for_senario.png"},
    {204, 2, "resource\\senario\\Stage2_senario3.xml", "resource\\picture\\background\\stage2_background_for_senario.png"},
    {304, 3, "resource\\senario\\Stage3_senario3.xml", "resource\\picture\\background\\stage3_background_for_senario.png"},
    {403, 4, "resource\\senario\\Stage4_senario2.xml", "resource\\picture\\background\\stage4_background_for_senario.png"},
    {504, 5, "resource\\senario\\Stage5_senario2.xml", "resource\\picture\\background\\stage5_background_for_senario.png"},
};

const char kStage6Scenario[] = "resource\\senario\\Stage6_senario1.xml";
const char kStage6Background[] = "resource\\picture\\background\\stage6_background_for_senario.png";

bool IsPartB(int code) { return code == 102 || code == 202 || code == 302 || code == 402 || code == 502; }
bool IsBossCode(int code) { return code == 103 || code == 203 || code == 303 || code == 503; }

// After these results the next scene follows at once, without the stage
// select between.
bool SkipsStageSelect(SceneCode result) { return result == kSceneLost || IsPartB(result) || IsBossCode(result); }

// The best time, the progress and the save come first, so that a window
// closed in the scenario or the animation loses nothing.
SceneCode ClearStage(int stage, const StoryStep& step) {
    UpdateBestTime(&BestTimeTable[stage - 1], StagePlayTimer);
    if (GameProgress < stage) GameProgress = stage;
    SaveGameData();
    if (RunScenarioInterlude(step.scenario, step.background) != 0) return kSceneEndProgram;
    if (StoryScenes.stageClear() == -1) return kSceneEndProgram;
    SetDrawBrightnessRGB(255, 255, 255);
    return 0;
}

}  // namespace

int RunScenarioInterlude(const char* scenarioFile, const char* backgroundFile) {
    Manager::CFPSManager* frames = Manager::CFPSManager::GetInstance();
    Object::CSenarioObject* scenario = CreateSenarioObject(scenarioFile);
    if (scenario == nullptr) {
        MessageBoxA(nullptr, "シナリオロードエラー", "エラー", MB_OK);
        return kSceneEndProgram;
    }
    CNowLoadingDrawer::GetInstance()->visible = false;
    const char* backgroundList[1] = {backgroundFile};
    int background = -1;
    if (!LoadTexturesWithProgress(backgroundList, nullptr, &background, 1)) {
        ShowLoadFailure("Failed to load Senario Image. This program will quit.");
        delete scenario;
        return kSceneEndProgram;
    }
    int music = -1;
    if (!LoadSoundsWithProgress(&kTalkMusic, &music, 1)) {
        ShowLoadFailure("Failed to load Senario BGM. This program will quit.");
        ReleaseTextures(backgroundList, 1);
        delete scenario;
        return kSceneEndProgram;
    }
    auto leave = [&](int result) {
        SetActiveStateCallback(nullptr, nullptr);
        StopSoundHandle(music);
        delete scenario;
        ReleaseTextures(backgroundList, 1);
        ReleaseSounds(&kTalkMusic, 1);
        SetDrawBrightnessRGB(255, 255, 255);
        return result;
    };

    // The fade-in does not look at the window's messages.
    for (int b = 0; b < 255; b += 5) {
        ClearTargetScreen();
        SetDrawBrightnessRGB(b, b, b);
        DrawGraphicAtPoint(0, 0, background, 0);
        PresentBackBuffer();
    }
    SetDrawBrightnessRGB(255, 255, 255);
    PlaySoundHandle(music, kPlayTypeLoop, 1);
    SetActiveStateCallback(OnActiveChangeBgm, SoundHandleArgument(music));

    while (scenario->Update(Manager::CInputManager::GetInstance()->heldButtons)) {
        DrawInterlude(scenario, background);
        if (!frames->Update()) return leave(kSceneEndProgram);
    }
    for (int b = 255; b > 0; b -= 4) {
        SetDrawBrightnessRGB(b, b, b);
        DrawInterlude(scenario, background);
        if (!frames->Update()) return leave(kSceneEndProgram);
    }
    return leave(0);
}

SceneCode RunGameMode(int* titleSounds) {
    int code = 1;
    SceneCode result = 0;
    bool retry = false;
    // The boss battle keeps the boss-rush run's hit points behind this; the
    // story's battles leave it alone.
    int carriedHitPoints = 20;

    for (;;) {
        if (!SkipsStageSelect(result)) {
            if (CheckSoundHandlePlaying(titleSounds[2]) == 0) PlaySoundHandle(titleSounds[2], kPlayTypeLoop, 1);
            SetActiveStateCallback(OnActiveChangeBgm, SoundHandleArgument(titleSounds[2]));
            code = StoryScenes.stageSelect(code, titleSounds);
            // A closed window or a failed load ends here: the previous
            // result must not be acted on a second time.
            if (code == kSceneEndProgram || code == kSceneFatal) {
                SetActiveStateCallback(nullptr, nullptr);
                return kSceneEndProgram;
            }
        }
        if (code == kSceneMainMenu) return kSceneMainMenu;

        SetDrawBrightnessRGB(255, 255, 255);
        CNowLoadingDrawer::GetInstance()->visible = true;
        SetActiveStateCallback(nullptr, nullptr);

        if (code >= 1 && code <= 5) {
            result = StoryScenes.stage(code, 100, 1, retry);
        } else if (IsPartB(code)) {
            result = StoryScenes.stage(code, CarriedHitPoints, CarriedAttackLevel, retry);
        } else if (IsBossCode(code)) {
            result = StoryScenes.intermission(code / 100, &carriedHitPoints, retry);
        } else if (code == 6) {
            if (!retry && RunScenarioInterlude(kStage6Scenario, kStage6Background) != 0) return kSceneEndProgram;
            result = StoryScenes.intermission(6, &carriedHitPoints, retry);
        } else if (code == kSceneBossRush) {
            result = StoryScenes.bossRush();
        } else if (code == kSceneEnding) {
            result = StoryScenes.ending(true);
        }
        retry = false;

        switch (result) {
        case kSceneFatal:
            return kSceneEndProgram;
        case kSceneRestart:
            return kSceneRestart;
        case kSceneLeftByPause:
            return kSceneMainMenu;
        case kSceneLost: {
            const int answer = StoryScenes.gameOver();
            if (answer == 1) return kSceneRestart;
            if (answer == -1) return kSceneEndProgram;
            retry = true;
            continue;
        }
        case kSceneLastBossBeaten: {
            UpdateBestTime(&BestTimeTable[5], StagePlayTimer);
            const bool firstClear = GameProgress < 6;
            if (GameProgress < 6) GameProgress = 6;
            SaveGameData();
            SetDrawBrightnessRGB(255, 255, 255);
            return StoryScenes.ending(firstClear) == kSceneFatal ? kSceneEndProgram : kSceneRestart;
        }
        case kSceneBossRushDone:
            SaveGameData();
            return kSceneRestart;
        default:
            break;
        }
        if (IsPartB(result)) {
            code = result;
            continue;
        }
        const StoryStep* step = nullptr;
        for (const StoryStep& candidate : kStorySteps)
            if (candidate.result == result) step = &candidate;
        if (step == nullptr) {
            if (result == kSceneEndProgram) return kSceneEndProgram;
            continue;
        }
        if (step->clearedStage == 0) {
            if (RunScenarioInterlude(step->scenario, step->background) != 0) return kSceneEndProgram;
            code = result;
            continue;
        }
        if (ClearStage(step->clearedStage, *step) != 0) return kSceneEndProgram;
        code = step->clearedStage + 1;
    }
}
