// The boss's entrance: the walk in by boss, the scenario of the bosses that
// have one, and the timer resolution given back on every way out.
#include "game/bossbattle/battle_scenario_scene.h"

#include "framework/graphics/graphics.h"
#include "framework/sound/sound_playback.h"
#include "game/bossbattle/battle_assets.h"
#include "game/bossbattle/battle_drawing.h"
#include "game/framework/fps_manager.h"
#include "game/framework/input_manager.h"
#include "game/framework/resource_managers.h"
#include "game/framework/senario_object.h"
#include "platform/winmm/winmm.h"

namespace {

void At(int x, int y, int handle) {
    if (handle != -1) DrawGraphicAtPoint(x, y, handle, 1);
}

void Mirrored(int x, int y, int handle) {
    if (handle != -1) DrawGraphicMirrored(x, y, handle, 1);
}

bool IsBoss(int bossId, int story) { return bossId == story || bossId == story * 1000; }

// The walk of the entrance by boss: its first picture, whether it is drawn
// mirrored, and the frame at which the loop starts again from 1.
struct EntranceWalk {
    int first;
    bool mirrored;
    int loop;
};

EntranceWalk EntranceWalkOf(int bossId) {
    if (IsBoss(bossId, 3)) return {138, true, 59};
    if (IsBoss(bossId, 5)) return {138, false, 69};
    if (IsBoss(bossId, 6)) return {138, true, 104};
    return {151, false, 64};
}

const char* EntranceScenarioOf(int bossId) {
    if (bossId == 2) return "resource\\senario\\Stage2_senario2.xml";
    if (bossId == 3) return "resource\\senario\\Stage3_senario2.xml";
    return nullptr;
}

// The scene's ends: the timer resolution it asked for is given back.
int Leave(int result) {
    timeEndPeriod(1);
    return result;
}

}  // namespace

void DrawBattleStillScene(const int* images, int bossId, int playerHitPoints, bool boss, int bossX, int bossY,
                          int walkFrame) {
    At(-320, 0, BossBattleImage(images, 0));
    At(-320, 0, BossBattleImage(images, 164));
    At(-40, 70, BossBattleImage(images, 25));
    if (boss) {
        const EntranceWalk walk = EntranceWalkOf(bossId);
        const int handle = BossBattleImage(images, walk.first + walkFrame / 5);
        if (walk.mirrored)
            Mirrored(bossX, bossY, handle);
        else
            At(bossX, bossY, handle);
    }
    DrawBattleGauges(playerHitPoints, 25, 100, images);
    DrawCockpitCrew(kRobotStanding, 0, bossId, images);
}

int RunBattleScenarioScene(int* sounds, int bossId, int bossScreenY, bool retry, int playerHitPoints,
                           const int* images) {
    timeBeginPeriod(1);
    Manager::CFPSManager* frames = Manager::CFPSManager::GetInstance();

    // The view fades in without the boss.
    for (int bright = 0; bright < 255; bright += 4) {
        SetDrawBrightnessRGB(bright, bright, bright);
        ClearTargetScreen();
        DrawBattleStillScene(images, bossId, playerHitPoints, false, 0, 0, 0);
        PresentBackBuffer();
        if (!frames->Update()) {
            SetDrawBrightnessRGB(255, 255, 255);
            return Leave(-1);
        }
    }
    SetDrawBrightnessRGB(255, 255, 255);

    // The boss walks in from the right edge to 350.
    const EntranceWalk walk = EntranceWalkOf(bossId);
    int bossX = 640;
    int walkFrame = 0;
    while (bossX > 350) {
        ClearTargetScreen();
        DrawBattleStillScene(images, bossId, playerHitPoints, true, bossX, bossScreenY, walkFrame);
        if (CheckSoundHandlePlaying(sounds[3]) != 1) PlaySoundHandle(sounds[3], kPlayTypeBackground, 1);
        PresentBackBuffer();
        if (!frames->Update()) {
            StopSoundHandle(sounds[3]);
            return Leave(-1);
        }
        if (walkFrame >= walk.loop) walkFrame = 1;
        ++walkFrame;
        bossX -= 2;
    }
    if (CheckSoundHandlePlaying(sounds[3]) == 1) StopSoundHandle(sounds[3]);

    const char* file = retry ? nullptr : EntranceScenarioOf(bossId);
    if (file != nullptr) {
        if (Object::CSenarioObject* scenario = CreateSenarioObject(file)) {
            Manager::CInputManager* input = Manager::CInputManager::GetInstance();
            while (scenario->Update(input->heldButtons)) {
                ClearTargetScreen();
                DrawBattleStillScene(images, bossId, playerHitPoints, true, bossX, bossScreenY, walkFrame);
                scenario->Draw();
                scenario->UpdateFrame();
                PresentBackBuffer();
                if (!frames->Update()) {
                    delete scenario;
                    return Leave(-1);
                }
            }
            delete scenario;
        }
    }
    return Leave(0);
}
