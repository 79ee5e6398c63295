// The boss-rush run: its explanation, the five battles with hit points given
// back between them and a restart from the first after a continue, and the
// closing collection screen with the run's time.
#include "game/app/boss_rush_mode.h"

#include <algorithm>

#include "framework/graphics/graphics.h"
#include "framework/sound/sound_playback.h"
#include "framework/window/main_window.h"
#include "game/app/active_state_callbacks.h"
#include "game/app/game_mode.h"
#include "game/app/game_over_scene.h"
#include "game/app/intermission_scene.h"
#include "game/app/play_time.h"
#include "game/app/scene_steps.h"
#include "game/framework/fps_manager.h"
#include "game/framework/input_manager.h"
#include "game/framework/resource_managers.h"
#include "platform/user/user.h"

int (*BossRushIntermissionScene)(int bossId, int* carriedHitPoints, bool retry) = &RunIntermissionScene;
int (*BossRushGameOverScene)() = &RunGameOverScene;

namespace {

using Manager::CFPSManager;
using Manager::CInputManager;

constexpr int kFullHitPoints = 25;
constexpr int kHitPointsBetweenBattles = 6;
// The code that stands for the run's first battle.
constexpr int kFirstBattle = 100000;
constexpr int kRunRecord = 6;  // record 7 of the table

enum Sound { kCancel, kEnter, kExplanationMusic, kCollectionMusic, kSoundCount };
const SoundListEntry kSounds[kSoundCount] = {
    {"resource\\sound\\SE\\se_title_cancel.wav", 1},
    {"resource\\sound\\SE\\se_title_enter.wav", 1},
    {"resource\\sound\\BGM\\bgm_stage5_1.ogg", 0},
    {"resource\\sound\\BGM\\bgm_stageclear2.ogg", 0},
};

const char* kExplanationPicture[1] = {"resource\\picture\\BossBattle\\ConsecutionBossBattle\\explain.png"};
const char* kCollectionPictures[2] = {
    "resource\\picture\\BossBattle\\ConsecutionBossBattle\\collect.png",
    "resource\\picture\\Figures.png",
};

// Only what was loaded is given back, also after a list failed part way.
void ReleasePictures(const char** names, const int* handles, int count) {
    for (int i = 0; i < count; ++i)
        if (handles[i] != -1) Manager::CTextureManager::GetInstance()->Release(names[i]);
}
void ReleaseSoundList(const int* handles) {
    for (int i = 0; i < kSoundCount; ++i)
        if (handles[i] != -1) Manager::CSoundManager::GetInstance()->Release(kSounds[i].name);
}

void DrawCollection(const int* pictures) {
    ClearTargetScreen();
    DrawGraphicAtPoint(0, 0, pictures[0], 0);
    DrawGraphicPart(190, 400, 207, 0, 56, 20, pictures[1], 1, 0);
    DrawPlayTime(256, 400, pictures[1], &StagePlayTimer);
    DrawGraphicPart(190, 420, 268, 0, 56, 20, pictures[1], 1, 0);
    DrawPlayTime(256, 420, pictures[1], &BestTimeTable[kRunRecord]);
}

// The battle a code leads to, 0 for none.
int BattleFor(int code) {
    switch (code) {
    case kFirstBattle: return 1000;
    case 104: return 2000;
    case 204: return 3000;
    case 304: return 5000;
    case 504: return 6000;
    default: return 0;
    }
}

}  // namespace

int RunBossRushExplanation() {
    CNowLoadingDrawer::GetInstance()->visible = true;
    int picture = -1;
    if (!LoadTexturesWithProgress(kExplanationPicture, nullptr, &picture, 1)) {
        ShowLoadFailure("Failed to load How to Image. This program will quit.");
        return -1;
    }
    int sounds[kSoundCount] = {-1, -1, -1, -1};
    if (!LoadSoundsWithProgress(kSounds, sounds, kSoundCount)) {
        ShowLoadFailure("Failed to load Title Sound. This program will quit.");
        ReleaseSoundList(sounds);
        ReleaseTextures(kExplanationPicture, 1);
        return -1;
    }
    auto leave = [&](int code) {
        StopSoundHandle(sounds[kExplanationMusic]);
        ReleaseSoundList(sounds);
        ReleaseTextures(kExplanationPicture, 1);
        SetBrightness(255);
        return code;
    };
    auto frame = [&](int brightness) {
        ClearTargetScreen();
        SetBrightness(brightness);
        DrawGraphicAtPoint(0, 0, picture, 0);
        return PresentAndEndFrame();
    };

    PlaySoundHandle(sounds[kExplanationMusic], kPlayTypeBackground, 1);
    for (int b = 0; b < 255; b += 4)
        if (!frame(b)) return leave(kSceneEndProgram);
    for (;;) {
        if (ButtonJustPressed(JUMP)) {
            PlaySoundHandle(sounds[kCancel], kPlayTypeWait, 1);
            return leave(kSceneLeftByPause);
        }
        if (ButtonJustPressed(ATTACK)) {
            PlaySoundHandle(sounds[kEnter], kPlayTypeWait, 1);
            for (int b = 255; b > 0; b -= 4)
                if (!frame(b)) return leave(kSceneEndProgram);
            return leave(0);
        }
        if (!frame(255)) return leave(kSceneEndProgram);
    }
}

int RunBossRushCollection() {
    CNowLoadingDrawer::GetInstance()->visible = true;
    int pictures[2] = {-1, -1};
    if (!LoadTexturesWithProgress(kCollectionPictures, nullptr, pictures, 2)) {
        ShowLoadFailure("Failed to load How to Image. This program will quit.");
        ReleasePictures(kCollectionPictures, pictures, 2);
        return -1;
    }
    CNowLoadingDrawer::GetInstance()->visible = false;
    int sounds[kSoundCount] = {-1, -1, -1, -1};
    if (!LoadSoundsWithProgress(kSounds, sounds, kSoundCount)) {
        ShowLoadFailure("Failed to load Title Sound. This program will quit.");
        ReleaseSoundList(sounds);
        ReleasePictures(kCollectionPictures, pictures, 2);
        return -1;
    }

    // A new best is saved at once, so that a window closed on this screen
    // does not lose it.
    SaveRecord* best = &BestTimeTable[kRunRecord];
    const SaveRecord before = *best;
    UpdateBestTime(best, StagePlayTimer);
    if (best->minutes != before.minutes || best->seconds != before.seconds ||
        best->milliseconds != before.milliseconds)
        SaveGameData();

    auto leave = [&](int code) {
        SetActiveStateCallback(nullptr, nullptr);
        StopSoundHandle(sounds[kCollectionMusic]);
        ReleaseSoundList(sounds);
        ReleasePictures(kCollectionPictures, pictures, 2);
        SetBrightness(255);
        return code;
    };
    auto frame = [&](int brightness) {
        SetBrightness(brightness);
        DrawCollection(pictures);
        return PresentAndEndFrame();
    };

    for (int b = 0; b < 255; b += 4)
        if (!frame(b)) return leave(kSceneEndProgram);
    SetBrightness(255);
    PlaySoundHandle(sounds[kCollectionMusic], kPlayTypeBackground, 1);
    SetActiveStateCallback(&OnActiveChangeResumeSound, SoundHandleArgument(sounds[kCollectionMusic]));
    while (!ButtonJustPressed(ATTACK))
        if (!frame(255)) return leave(kSceneEndProgram);
    for (int b = 255; b > 0; b -= 4)
        if (!frame(b)) return leave(kSceneEndProgram);
    // Read by the run as a battle left through its pause menu: either way
    // the run is over.
    return leave(kSceneLeftByPause);
}

int RunBossRushMode() {
    int hitPoints = kFullHitPoints;
    int code = kFirstBattle;
    CFPSManager* frames = CFPSManager::GetInstance();

    const int explanation = RunBossRushExplanation();
    if (explanation == kSceneLeftByPause) return kSceneMainMenu;
    if (explanation != 0) return -1;

    for (;;) {
        if (const int bossId = BattleFor(code); bossId != 0)
            code = BossRushIntermissionScene(bossId, &hitPoints, false);
        else if (code == kSceneLastBossBeaten)
            code = RunBossRushCollection();
        hitPoints = std::min(hitPoints + kHitPointsBetweenBattles, kFullHitPoints);

        if (code == kSceneLeftByPause) return kSceneBossRushDone;
        if (code == kSceneLost) {
            const int choice = BossRushGameOverScene();
            if (choice == 1) return kSceneMainMenu;
            // A game over that could not load its files ends the run.
            if (choice == -1) return -1;
            code = kFirstBattle;
            hitPoints = kFullHitPoints;
        }
        if (code == kSceneFatal || code == kSceneEndProgram) return -1;
        if (!frames->Update()) return -1;
    }
}
