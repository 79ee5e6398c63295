// The ending's steps: the epilogue scenario on white, the staff roll over the
// scenario's last picture, and the boss-rush notice.
#include "game/app/ending_scene.h"

#include "framework/files/file_access_table.h"
#include "framework/files/file_read_interface.h"
#include "framework/graphics/graphics.h"
#include "framework/sound/sound_playback.h"
#include "framework/window/main_window.h"
#include "game/app/active_state_callbacks.h"
#include "game/app/scene_steps.h"
#include "game/framework/fps_manager.h"
#include "game/framework/input_manager.h"
#include "game/framework/resource_managers.h"
#include "game/framework/senario_object.h"
#include "game/framework/staff_roll.h"

namespace {

using Manager::CInputManager;

const char kEndingScenario[] = "resource\\senario\\ending.xml";
const SoundListEntry kEpilogueMusic = {"resource\\sound\\BGM\\bgm_epilogue.ogg", 0};
const char kStaffRollScript[] = "resource\\senario\\staffroll.txt";
const char* const kNoticePictures[2] = {
    "resource\\picture\\ending\\addBossButch\\bb_added_00.png",
    "resource\\picture\\ending\\addBossButch\\bb_added_01.png",
};
const SoundListEntry kNoticeEffect = {"resource\\sound\\SE\\fire02.wav", 1};

constexpr int kPauseCounts = 180;
constexpr int kRollHoldFrames = 420;
constexpr int kNoticeBlackFrames = 90;
constexpr int kNoticeCells = 13;
constexpr int kNoticeCellFrames = 5;
constexpr int kNoticeHoldFrames = 120;

int HeldButtons() { return CInputManager::GetInstance()->heldButtons; }

void DrawWhiteScreen() { DrawRectShape(0, 0, 640, 480, static_cast<int>(MakeScreenColorCode(255, 255, 255)), 1); }

void DrawScenario(Object::CSenarioObject* scenario) {
    if (scenario == nullptr) return;
    scenario->Draw();
    scenario->UpdateFrame();
}

// The white screen, the scenario's last picture over it and the roll.
void DrawRollFrame(Object::CSenarioObject* scenario, Object::CStaffRollObject* roll) {
    ClearTargetScreen();
    DrawWhiteScreen();
    DrawScenario(scenario);
    roll->Draw();
}

// Cell k of the notice: a 640 by 128 strip, eight to a picture.
void DrawNoticeCell(const int* pictures, int cell) {
    ClearTargetScreen();
    DrawGraphicPart(0, 156, 0, (cell % 8) * 128, 640, 128, pictures[cell / 8], 0, 0);
}

}  // namespace

SceneCode RunEndingScene(bool firstClear) {
    // A scenario that does not load is left out: the music and the roll
    // still play.
    Object::CSenarioObject* scenario = CreateSenarioObject(kEndingScenario);
    int music = -1;
    auto leave = [&](SceneCode code) {
        SetActiveStateCallback(nullptr, nullptr);
        Manager::CSoundManager::GetInstance()->Release(kEpilogueMusic.name);
        delete scenario;
        scenario = nullptr;
        SetDrawBrightnessRGB(255, 255, 255);
        return code;
    };
    if (!LoadSoundsWithProgress(&kEpilogueMusic, &music, 1)) return leave(kSceneFatal);
    PlaySoundHandle(music, kPlayTypeLoop, 1);
    SetActiveStateCallback(OnActiveChangeBgm, SoundHandleArgument(music));

    if (scenario != nullptr) {
        if (RunEndingScenario(scenario) == -1) return leave(kSceneFatal);
        // Holding CHANGE counts four at a time.
        for (int count = 0; count < kPauseCounts; count += (HeldButtons() & CHANGE) != 0 ? 4 : 1) {
            ClearTargetScreen();
            DrawScenario(scenario);
            if (!PresentAndEndFrame()) return leave(kSceneFatal);
        }
    }
    if (RunStaffRollScene(scenario) == -1) return leave(kSceneFatal);
    leave(0);
    if (firstClear && RunBossRushUnlockedNotice() == -1) return kSceneFatal;
    SetDrawBrightnessRGB(255, 255, 255);
    return kSceneRestart;
}

int RunEndingScenario(Object::CSenarioObject* scenario) {
    scenario->Update(0);
    int result = 0;
    for (int b = 0; b < 256; b += 2) {
        ClearTargetScreen();
        SetDrawBrightnessRGB(b, b, b);
        DrawScenario(scenario);
        if (!PresentAndEndFrame()) {
            result = -1;
            break;
        }
    }
    SetDrawBrightnessRGB(255, 255, 255);
    while (result == 0 && scenario->Update(HeldButtons())) {
        ClearTargetScreen();
        DrawWhiteScreen();
        DrawScenario(scenario);
        if (!PresentAndEndFrame()) result = -1;
    }
    return result;
}

int RunStaffRollScene(Object::CSenarioObject* scenario) {
    auto* roll = new Object::CStaffRollObject;
    const uintptr_t file = OpenFileForRead(kStaffRollScript, 0);
    bool loaded = false;
    if (file != 0) {
        loaded = roll->LoadScript(file);
        FileStreamClose(file);
    }
    if (!loaded) {
        delete roll;
        return 0;
    }
    auto leave = [&](int result) {
        SetBlendModeAndParam(kBlendModeNone, 255);
        SetDrawBrightnessRGB(255, 255, 255);
        delete roll;
        return result;
    };

    for (int i = 0; i < 256; i += 4) {
        ClearTargetScreen();
        SetBlendModeAndParam(kBlendModeAlpha, 255);
        DrawWhiteScreen();
        DrawScenario(scenario);
        SetBlendModeAndParam(kBlendModeAlpha, i);
        roll->Draw();
        if (!PresentAndEndFrame()) return leave(-1);
    }
    SetBlendModeAndParam(kBlendModeNone, 255);
    roll->Start();
    while (roll->Update()) {
        roll->step = (HeldButtons() & CHANGE) != 0 ? 4 : 1;
        DrawRollFrame(scenario, roll);
        if (!PresentAndEndFrame()) return leave(-1);
    }
    // The last picture stays until a button goes down, or for 7 seconds.
    for (int frame = 0; frame < kRollHoldFrames; ++frame) {
        if (HeldButtons() != 0 && CInputManager::GetInstance()->previousButtons == 0) break;
        DrawRollFrame(scenario, roll);
        if (!PresentAndEndFrame()) return leave(-1);
    }
    for (int b = 255; b >= 0; b -= 2) {
        SetDrawBrightnessRGB(b, b, b);
        DrawRollFrame(scenario, roll);
        if (!PresentAndEndFrame()) return leave(-1);
    }
    SetActiveStateCallback(nullptr, nullptr);
    return leave(0);
}

int RunBossRushUnlockedNotice() {
    int pictures[2] = {-1, -1};
    if (!LoadTexturesWithProgress(const_cast<const char**>(kNoticePictures), nullptr, pictures, 2)) return -1;
    int effect = -1;
    if (!LoadSoundsWithProgress(&kNoticeEffect, &effect, 1)) {
        ReleaseTextures(const_cast<const char**>(kNoticePictures), 2);
        ReleaseSounds(&kNoticeEffect, 1);
        return -1;
    }
    auto leave = [&](int result) {
        ReleaseTextures(const_cast<const char**>(kNoticePictures), 2);
        ReleaseSounds(&kNoticeEffect, 1);
        SetDrawBrightnessRGB(255, 255, 255);
        return result;
    };

    for (int frame = 0; frame < kNoticeBlackFrames; ++frame) {
        ClearTargetScreen();
        if (!PresentAndEndFrame()) return leave(-1);
    }
    SetDrawBrightnessRGB(0, 0, 0);
    SetBlendModeAndParam(kBlendModeNone, 0);
    PlaySoundHandle(effect, kPlayTypeBackground, 1);
    int b = 0;
    for (int frame = 0; frame < kNoticeCells * kNoticeCellFrames; ++frame) {
        SetDrawBrightnessRGB(b, b, b);
        DrawNoticeCell(pictures, frame / kNoticeCellFrames);
        if (!PresentAndEndFrame()) return leave(-1);
        b = b + 12 < 255 ? b + 12 : 255;
    }
    SetDrawBrightnessRGB(255, 255, 255);
    for (int frame = 0; frame < kNoticeHoldFrames; ++frame) {
        DrawNoticeCell(pictures, kNoticeCells - 1);
        if (!PresentAndEndFrame()) return leave(-1);
    }
    for (b = 255; b >= 0; b -= 4) {
        SetDrawBrightnessRGB(b, b, b);
        DrawNoticeCell(pictures, kNoticeCells - 1);
        if (!PresentAndEndFrame()) return leave(-1);
    }
    return leave(0);
}
