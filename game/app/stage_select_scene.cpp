// The stage select: the entries with their best times, the slide left and
// right, the locked entries dimmed, and the choice.
#include "game/app/stage_select_scene.h"

#include "framework/graphics/graphics.h"
#include "framework/sound/sound_playback.h"
#include "game/app/play_time.h"
#include "game/app/scene_steps.h"
#include "game/framework/fps_manager.h"
#include "game/framework/input_manager.h"
#include "game/framework/resource_managers.h"
#include "platform/user/user.h"

namespace {

const char* const kPictures[9] = {
    "resource\\picture\\stageselect\\stageselect_stage01.png",
    "resource\\picture\\stageselect\\stageselect_stage02.png",
    "resource\\picture\\stageselect\\stageselect_stage03.png",
    "resource\\picture\\stageselect\\stageselect_stage04.png",
    "resource\\picture\\stageselect\\stageselect_stage05.png",
    "resource\\picture\\stageselect\\stageselect_stage06.png",
    "resource\\picture\\stageselect\\stageselect_experiment_vsboss.png",
    "resource\\picture\\stageselect\\stageselect_experiment.png",
    "resource\\picture\\Figures.png",
};
constexpr int kPictureCount = 9;
constexpr int kFigures = 8;
constexpr int kSlideStep = 25;
constexpr int kScreenWidth = 640;
constexpr int kLockedBrightness = 64;

int EntryCount() { return GameProgress >= 6 ? 7 : 6; }
bool IsOpen(int entry) { return entry <= GameProgress + 1; }

// The entry's picture, the best-time label and its time, `offset` pixels
// to the right, at the brightness `bright` (a locked entry at most 64).
void DrawEntry(const int* pictures, int entry, int offset, int bright) {
    if (!IsOpen(entry) && bright > kLockedBrightness) bright = kLockedBrightness;
    SetDrawBrightnessRGB(bright, bright, bright);
    DrawGraphicAtPoint(offset, 0, pictures[entry - 1], 0);
    DrawGraphicPart(offset + 360, 85, 268, 0, 56, 20, pictures[kFigures], 1, 0);
    DrawPlayTime(offset + 426, 85, pictures[kFigures], &BestTimeTable[entry - 1]);
    SetDrawBrightnessRGB(255, 255, 255);
}

}  // namespace

SceneCode RunStageSelectScene(int initialEntry, int* titleSounds) {
    Manager::CFPSManager* frames = Manager::CFPSManager::GetInstance();
    CNowLoadingDrawer::GetInstance()->visible = true;
    int pictures[kPictureCount] = {-1, -1, -1, -1, -1, -1, -1, -1, -1};
    if (!LoadTexturesWithProgress(const_cast<const char**>(kPictures), nullptr, pictures, kPictureCount)) {
        MessageBoxA(nullptr, "Failed to load Image. This program will quit.", nullptr, MB_ICONHAND);
        PostQuitMessage(1);
        return kSceneFatal;
    }
    auto release = [] {
        ReleaseTextures(const_cast<const char**>(kPictures), kPictureCount);
        SetDrawBrightnessRGB(255, 255, 255);
    };
    auto end = [&] {
        release();
        StopSoundHandle(titleSounds[2]);
        return kSceneEndProgram;
    };

    const int count = EntryCount();
    int entry = initialEntry < 1 || initialEntry > count ? 1 : initialEntry;
    for (int b = 0; b < 255; b += 4) {
        ClearTargetScreen();
        DrawEntry(pictures, entry, 0, b);
        PresentBackBuffer();
        if (!frames->Update()) return end();
    }

    int previous = entry;
    int slide = -1;  // the slide's offset; -1 while none runs
    int direction = 0;
    for (;;) {
        ClearTargetScreen();
        if (slide < 0) {
            for (const int button : {KEY_RIGHT, KEY_LEFT}) {
                if (slide >= 0 || !ButtonJustPressed(button)) continue;
                PlaySoundHandle(titleSounds[0], kPlayTypeBackground, 1);
                previous = entry;
                direction = button == KEY_RIGHT ? 1 : -1;
                entry += direction;
                if (entry > count) entry = 1;
                if (entry < 1) entry = count;
                slide = 0;
            }
        }
        if (slide >= 0) {
            slide += kSlideStep;
            if (slide > kScreenWidth) slide = -1;
        }
        if (slide < 0) {
            DrawEntry(pictures, entry, 0, 255);
        } else if (direction > 0) {
            DrawEntry(pictures, entry, kScreenWidth - slide, 255);
            DrawEntry(pictures, previous, -slide, 255);
        } else {
            DrawEntry(pictures, entry, slide - kScreenWidth, 255);
            DrawEntry(pictures, previous, slide, 255);
        }
        PresentBackBuffer();

        if (ButtonJustPressed(ATTACK) && slide < 0 && IsOpen(entry)) {
            PlaySoundHandle(titleSounds[1], kPlayTypeWait, 1);
            for (int b = 255; b > 0; b -= 4) {
                ClearTargetScreen();
                DrawEntry(pictures, entry, 0, b);
                PresentBackBuffer();
                if (!frames->Update()) return end();
            }
            release();
            StopSoundHandle(titleSounds[2]);
            return entry;
        }
        if (ButtonJustPressed(JUMP)) {
            PlaySoundHandle(titleSounds[1], kPlayTypeWait, 1);
            release();
            return kSceneMainMenu;
        }
        if (!frames->Update()) return end();
    }
}
