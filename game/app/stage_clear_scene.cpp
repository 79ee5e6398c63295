// The mission-clear animation: its pictures, the flight frame by frame, and the
// fade-out.
#include "game/app/stage_clear_scene.h"

#include <cstdio>
#include <string>
#include <vector>

#include "framework/graphics/graphics.h"
#include "framework/sound/sound_playback.h"
#include "game/app/active_state_callbacks.h"
#include "game/app/scene_steps.h"
#include "framework/window/main_window.h"
#include "game/framework/fps_manager.h"
#include "game/framework/resource_managers.h"
#include "platform/user/user.h"

namespace {

constexpr int kMissionClearFrames = 60;
constexpr int kPictureCount = 3 + kMissionClearFrames;
enum Picture { kBackground, kEarth, kRobot, kFirstWord };
constexpr int kAnimationFrames = 480;
const SoundListEntry kJingle = {"resource\\sound\\BGM\\bgm_stageclear2.ogg", 0};

std::vector<std::string> PictureNames() {
    std::vector<std::string> names = {
        "resource\\picture\\stage_clear\\background_stageclear.png",
        "resource\\picture\\stage_clear\\earth.png",
        "resource\\picture\\stage_clear\\gravoid_clear.png",
    };
    for (int i = 0; i < kMissionClearFrames; ++i) {
        char name[96];
        std::snprintf(name, sizeof(name), "resource\\picture\\stage_clear\\mission_clear\\mission_clear%03d.png", i);
        names.emplace_back(name);
    }
    return names;
}

// Frame f of the flight: the robot comes in from the upper right growing,
// sinks to its place, and the words appear from frame 240 on.
void DrawFrame(const int* pictures, int f) {
    ClearTargetScreen();
    DrawGraphicAtPoint(0, 0, pictures[kBackground], 0);
    DrawGraphicAtPoint(336, 111, pictures[kEarth], 1);
    if (f < 120) DrawGraphicRotated(410 - f, 120 - f / 2, f / 240.0, 0.0, pictures[kRobot], 1, 0);
    else if (f < 240) DrawGraphicRotated(290, f - 60, f / 240.0, 0.0, pictures[kRobot], 1, 0);
    else DrawGraphicRotated(290, 180, 1.0, 0.0, pictures[kRobot], 1, 0);
    if (f >= 240) {
        const int word = f < 360 ? (f - 240) / 2 : kMissionClearFrames - 1;
        DrawGraphicAtPoint(94, 312, pictures[kFirstWord + word], 1);
    }
    PresentBackBuffer();
}

}  // namespace

int RunStageClearScene() {
    Manager::CFPSManager* frames = Manager::CFPSManager::GetInstance();
    CNowLoadingDrawer::GetInstance()->visible = false;
    const std::vector<std::string> names = PictureNames();
    const char* list[kPictureCount];
    for (int i = 0; i < kPictureCount; ++i) list[i] = names[static_cast<size_t>(i)].c_str();
    int pictures[kPictureCount];
    for (int& handle : pictures) handle = -1;
    if (!LoadTexturesWithProgress(list, nullptr, pictures, kPictureCount)) {
        ShowLoadFailure("Failed to load Main Menu Image. This program will quit.");
        return -1;
    }
    int jingle = -1;
    if (!LoadSoundsWithProgress(&kJingle, &jingle, 1)) {
        ShowLoadFailure("Failed to load Stage1 Sound. This program will quit.");
        ReleaseTextures(list, kPictureCount);
        return -1;
    }
    bool jingleKept = true;
    auto leave = [&](int result) {
        SetActiveStateCallback(nullptr, nullptr);
        if (jingleKept) Manager::CSoundManager::GetInstance()->Release(kJingle.name);
        ReleaseTextures(list, kPictureCount);
        SetDrawBrightnessRGB(255, 255, 255);
        return result;
    };

    for (int b = 0; b < 255; b += 5) {
        ClearTargetScreen();
        SetDrawBrightnessRGB(b, b, b);
        DrawGraphicAtPoint(0, 0, pictures[kBackground], 0);
        DrawGraphicAtPoint(336, 111, pictures[kEarth], 1);
        PresentBackBuffer();
        if (!frames->Update()) return leave(-1);
    }
    SetDrawBrightnessRGB(255, 255, 255);

    PlaySoundHandle(jingle, kPlayTypeBackground, 1);
    SetActiveStateCallback(OnActiveChangeResumeSound, SoundHandleArgument(jingle));
    for (int f = 0; f < kAnimationFrames; ++f) {
        DrawFrame(pictures, f);
        // Once the jingle has ended it is given back, once: a second release
        // by name would take a reference that another owner holds. The
        // callback then has nothing left to resume.
        if (jingleKept && CheckSoundHandlePlaying(jingle) != 1) {
            SetActiveStateCallback(nullptr, nullptr);
            Manager::CSoundManager::GetInstance()->Release(kJingle.name);
            jingleKept = false;
        }
        if (!frames->Update()) return leave(-1);
    }
    SetActiveStateCallback(nullptr, nullptr);
    for (int b = 255; b > 0; b -= 5) {
        SetDrawBrightnessRGB(b, b, b);
        DrawFrame(pictures, kAnimationFrames - 1);
        if (!frames->Update()) return leave(-1);
    }
    return leave(0);
}
