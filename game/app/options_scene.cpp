// The how-to pages and the options scene: volumes in steps of five, the screen
// made again in the other mode, and the options saved on the way out.
#include "game/app/options_scene.h"
#include "game/app/scene_steps.h"

#include "framework/graphics/graphics.h"
#include "framework/sound/sound_playback.h"
#include "framework/window/window_mode.h"
#include "game/framework/fps_manager.h"
#include "game/framework/game_config.h"
#include "game/framework/input_manager.h"
#include "platform/user/user.h"

namespace {

using Manager::CInputManager;

// ---- how-to -------------------------------------------------------------------------

const char* const kHowToPages[8] = {
    "resource\\picture\\howto\\howto01.png", "resource\\picture\\howto\\howto02.png",
    "resource\\picture\\howto\\howto03.png", "resource\\picture\\howto\\howto04.png",
    "resource\\picture\\howto\\howto05.png", "resource\\picture\\howto\\howto06.png",
    "resource\\picture\\howto\\howto07.png", "resource\\picture\\howto\\howto08.png",
};
const char* const kHowToArrows[2] = {
    "resource\\picture\\howto\\arrow_left.png",
    "resource\\picture\\howto\\arrow_right.png",
};
constexpr int kLastPage = 8;

// ---- options ------------------------------------------------------------------------

const char* const kOptionPictures[6] = {
    "resource\\picture\\config\\option_background.png", "resource\\picture\\config\\option_cursor.png",
    "resource\\picture\\config\\option_fulscoff.png",    "resource\\picture\\config\\option_fulscon.png",
    "resource\\picture\\config\\option_menus.png",       "resource\\picture\\config\\option_volbar.png",
};
enum Picture { kBackground, kCursor, kFullScreenOff, kFullScreenOn, kRowLabels, kVolumeBar };
enum Row { kMusicRow, kEffectRow, kFullScreenRow, kResetRow, kConfirmRow };
constexpr int kRowCount = 5;
constexpr int kVolumeStep = 5;
constexpr int kEffectSampleFrames = 60;

int Clamped(int volume) { return volume < 0 ? 0 : volume > 100 ? 100 : volume; }

// Every title sound of this kind (0 music, 1 effect) takes the volume.
void ApplyVolume(const SoundListEntry* list, const int* handles, int kind, int volume) {
    for (int i = 0; i < 3; ++i)
        if (list[i].kind == kind) SetSoundHandleVolume(volume * 255 / 100, handles[i]);
}

// Left and right step a volume by 5 within 0..100; a change is heard and
// applied to the sounds of its kind.
void StepVolume(int* volume, const SoundListEntry* list, int* handles, int kind) {
    int changed = *volume;
    if (ButtonJustPressed(KEY_LEFT)) changed = changed - kVolumeStep < 0 ? 0 : changed - kVolumeStep;
    if (ButtonJustPressed(KEY_RIGHT)) changed = changed + kVolumeStep > 100 ? 100 : changed + kVolumeStep;
    if (changed == *volume) return;
    *volume = changed;
    PlaySoundHandle(handles[0], kPlayTypeBackground, 1);
    ApplyVolume(list, handles, kind, changed);
}

// The screen is made again in the other mode; every graphic goes with the
// old one, so the managers forget theirs and reload from the files. The
// loading animation keeps its sheet for the whole run, so it takes it again
// at once: it would show nothing from here on otherwise.
void RebuildScreen(bool fullScreen) {
    Manager::CTextureManager* textures = Manager::CTextureManager::GetInstance();
    textures->ReleaseAll();
    Manager::C2DFontManager::GetInstance()->ReleaseAll();
    DeleteAllGraphicHandles(0);
    ChangeWindowMode(fullScreen ? 0 : 1);
    SelectDrawTarget(-2);
    static const char kLoadingSheet[] = "resource\\picture\\load\\now_loading.png";
    textures->Load(kLoadingSheet, nullptr);
    CNowLoadingDrawer::GetInstance()->graphic = textures->GetHandle(kLoadingSheet);
}

}  // namespace

SceneCode RunHowToScene(int* titleSounds) {
    CNowLoadingDrawer::GetInstance()->visible = true;
    int pages[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
    int arrows[2] = {-1, -1};
    bool loaded = LoadTexturesWithProgress(const_cast<const char**>(kHowToPages), nullptr, pages, 8);
    if (loaded) {
        CNowLoadingDrawer::GetInstance()->visible = false;
        loaded = LoadTexturesWithProgress(const_cast<const char**>(kHowToArrows), nullptr, arrows, 2);
    }
    if (!loaded) {
        ShowLoadFailure("Failed to load How to Image. This program will quit.");
        return -1;
    }
    auto leave = [](SceneCode code) {
        ReleaseTextures(const_cast<const char**>(kHowToArrows), 2);
        ReleaseTextures(const_cast<const char**>(kHowToPages), 8);
        return code;
    };

    int page = 1;
    for (;;) {
        if (ButtonJustPressed(KEY_RIGHT)) {
            ++page;
            PlaySoundHandle(titleSounds[0], kPlayTypeBackground, 1);
        }
        if (ButtonJustPressed(KEY_LEFT)) {
            --page;
            PlaySoundHandle(titleSounds[0], kPlayTypeBackground, 1);
        }
        page = page < 1 ? 1 : page > kLastPage ? kLastPage : page;
        if ((ButtonJustPressed(ATTACK) && page == kLastPage) || ButtonJustPressed(JUMP)) {
            PlaySoundHandle(titleSounds[1], kPlayTypeWait, 1);
            return leave(0);
        }
        ClearTargetScreen();
        DrawGraphicAtPoint(0, 0, pages[page - 1], 0);
        if (page > 1) DrawGraphicAtPoint(0, 420, arrows[0], 1);
        if (page < kLastPage) DrawGraphicAtPoint(600, 420, arrows[1], 1);
        if (!PresentAndEndFrame()) return leave(9);
    }
}

void DrawConfigScene(const int* pictures, int cursor, bool fullScreen, int musicVolume, int effectVolume) {
    DrawGraphicAtPoint(0, 0, pictures[kBackground], 0);
    DrawGraphicAtPoint(114, 139 + 48 * cursor, pictures[kCursor], 1);
    DrawGraphicAtPoint(128, 139, pictures[kRowLabels], 1);
    DrawGraphicAtPoint(360, 235, pictures[fullScreen ? kFullScreenOn : kFullScreenOff], 1);
    DrawGraphicPart(363, 146, 0, 0, musicVolume * 146 / 100, 22, pictures[kVolumeBar], 1, 0);
    DrawGraphicPart(363, 194, 0, 0, effectVolume * 146 / 100, 22, pictures[kVolumeBar], 1, 0);
}

SceneCode RunConfigScene(const SoundListEntry* titleSoundList, int* titleSounds) {
    CNowLoadingDrawer::GetInstance()->visible = false;
    int pictures[6] = {-1, -1, -1, -1, -1, -1};
    if (!LoadTexturesWithProgress(const_cast<const char**>(kOptionPictures), nullptr, pictures, 6)) {
        ShowLoadFailure("Failed to load Main Menu Image. This program will quit.");
        return -1;
    }
    // Released by name: after a change of the window mode the names are
    // gone already, and releasing them again does nothing.
    auto leave = [](SceneCode code) {
        ReleaseTextures(const_cast<const char**>(kOptionPictures), 6);
        SetDrawBrightnessRGB(255, 255, 255);
        return code;
    };

    GameConfig* config = GetGameConfig();
    const GameConfig onEntry = *config;
    for (int b = 0; b < 255; b += 4) {
        ClearTargetScreen();
        SetDrawBrightnessRGB(b, b, b);
        DrawConfigScene(pictures, kMusicRow, config->fullScreen, config->bgmVolume, config->seVolume);
        if (!PresentAndEndFrame()) return leave(-1);
    }
    SetDrawBrightnessRGB(255, 255, 255);

    int cursor = kMusicRow;
    int framesOnEffectRow = 0;
    for (;;) {
        const int moves[3][2] = {{KEY_UP, -1}, {KEY_DOWN, 1}, {JUMP, 0}};
        for (const auto& [button, step] : moves) {
            if (!ButtonJustPressed(button)) continue;
            cursor = step == 0 ? kConfirmRow : (cursor + step + kRowCount) % kRowCount;
            PlaySoundHandle(titleSounds[0], kPlayTypeBackground, 1);
        }
        switch (cursor) {
        case kMusicRow:
            StepVolume(&config->bgmVolume, titleSoundList, titleSounds, 0);
            break;
        case kEffectRow:
            StepVolume(&config->seVolume, titleSoundList, titleSounds, 1);
            break;
        case kFullScreenRow:
            if (ButtonJustPressed(KEY_LEFT) || ButtonJustPressed(KEY_RIGHT)) {
                config->fullScreen = !config->fullScreen;
                PlaySoundHandle(titleSounds[0], kPlayTypeBackground, 1);
            }
            break;
        case kResetRow:
            if (ButtonJustPressed(ATTACK)) {
                config->bgmVolume = Clamped(onEntry.bgmVolume);
                config->seVolume = Clamped(onEntry.seVolume);
                config->fullScreen = onEntry.fullScreen;
                ApplyVolume(titleSoundList, titleSounds, 0, config->bgmVolume);
                ApplyVolume(titleSoundList, titleSounds, 1, config->seVolume);
                PlaySoundHandle(titleSounds[1], kPlayTypeWait, 1);
            }
            break;
        case kConfirmRow:
            if (ButtonJustPressed(ATTACK)) {
                PlaySoundHandle(titleSounds[1], kPlayTypeWait, 1);
                if (config->fullScreen != onEntry.fullScreen) RebuildScreen(config->fullScreen);
                SaveGameConfig(config);
                return leave(0);
            }
            break;
        }
        // The effect volume is heard once a second while its row is chosen.
        if (cursor == kEffectRow) {
            if (++framesOnEffectRow % kEffectSampleFrames == 0)
                PlaySoundHandle(titleSounds[1], kPlayTypeBackground, 1);
        } else {
            framesOnEffectRow = 0;
        }

        ClearTargetScreen();
        DrawConfigScene(pictures, cursor, config->fullScreen, config->bgmVolume, config->seVolume);
        if (!PresentAndEndFrame()) return leave(-1);
    }
}
