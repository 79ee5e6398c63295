// The game over scene: its pictures and music, the continue-or-title menu, and
// the shutdown of the whole program when the window closes here.
#include "game/app/game_over_scene.h"

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "framework/graphics/graphics.h"
#include "framework/sound/music.h"
#include "framework/sound/sound_handles.h"
#include "framework/sound/sound_playback.h"
#include "framework/startup/framework_startup.h"
#include "framework/window/main_window.h"
#include "game/app/active_state_callbacks.h"
#include "game/app/scene_steps.h"
#include "game/framework/fps_manager.h"
#include "game/framework/input_manager.h"
#include "game/framework/object_tree.h"
#include "game/framework/resource_managers.h"
#include "game/stage/stage_scene.h"
#include "platform/kernel/kernel.h"
#include "platform/user/user.h"

namespace {

using Manager::CPrimitive2DObjectManager;

constexpr int kTitleFrames = 33;
constexpr int kAnimationFrames = 164;
const char* const kFallenPictures[4] = {
    "resource\\picture\\playercharacter\\ressa\\down\\ressa_down012.png",
    "resource\\picture\\playercharacter\\kolva\\down\\kolva_down020.png",
    "resource\\picture\\playercharacter\\tamsel\\down\\tamsel_down012.png",
    "resource\\picture\\playercharacter\\wendrik\\down\\wendrik_down012.png",
};
const char kMenuPicture[] = "resource\\picture\\selection\\select_menus.png";
const SoundListEntry kMusic = {"resource\\sound\\BGM\\bgm_miss.ogg", 0};
const SoundListEntry kEffects[2] = {
    {"resource\\sound\\SE\\se_title_select.wav", 1},
    {"resource\\sound\\SE\\se_title_enter.wav", 1},
};

std::vector<std::string> TitleFrameNames() {
    std::vector<std::string> names;
    for (int i = 0; i < kTitleFrames; ++i) {
        char name[64];
        std::snprintf(name, sizeof(name), "resource\\picture\\gameover\\game_over%03d.png", i);
        names.emplace_back(name);
    }
    return names;
}

// The two items, each as a normal and a highlighted cut of the menu picture.
class GameOverMenu {
public:
    enum Item { kContinue, kContinueLit, kTitle, kTitleLit };

    GameOverMenu() {
        struct Look {
            int sourceY;
            int y;
        };
        const Look looks[4] = {{384, 181}, {448, 181}, {256, 270}, {320, 270}};
        CPrimitive2DObjectManager* objects = CPrimitive2DObjectManager::GetInstance();
        for (int i = 0; i < 4; ++i) {
            ids_[i] = objects->CreateScreenObject();
            auto* item = static_cast<Object::C2DScreenObject*>(objects->Get(ids_[i]));
            char keyText[Manager::kResourceKeyTextSize] = {};
            if (Manager::CTextureManager::GetInstance()->Load(kMenuPicture, keyText)) item->textureKey = AddAtomA(keyText);
            item->width = 384;
            item->height = 64;
            item->sourceX = 0;
            item->sourceY = looks[i].sourceY;
            item->SetPosition((640 - 384) / 2, looks[i].y);
        }
    }
    void Release() {
        for (int& id : ids_) {
            if (id != -1) CPrimitive2DObjectManager::GetInstance()->Release(id);
            id = -1;
        }
    }
    void Draw(int selection) {
        Get(selection == 0 ? kContinueLit : kContinue)->Draw();
        Get(selection == 1 ? kTitleLit : kTitle)->Draw();
    }

private:
    Object::IDrawObject* Get(int item) {
        return static_cast<Object::IDrawObject*>(CPrimitive2DObjectManager::GetInstance()->Get(ids_[item]));
    }

    int ids_[4] = {-1, -1, -1, -1};
};

// The window closed during the game over: the whole program goes down here.
[[noreturn]] void ShutDownProgram(GameOverMenu* menu) {
    // The music the callback resumes is deleted below.
    SetActiveStateCallback(nullptr, nullptr);
    menu->Release();
    Manager::CTextureManager::GetInstance()->ReleaseAll();
    Manager::CSoundManager::GetInstance()->ReleaseAll();
    Manager::C2DFontManager::GetInstance()->ReleaseAll();
    CPrimitive2DObjectManager::GetInstance()->CheckUnreleased();
    DeleteAllGraphicHandles(0);
    DeleteAllSoundHandles(0);
    DeleteAllMusicHandles();
    EndFramework();
    ExitProcess(0);
}

}  // namespace

int RunGameOverScene() {
    Manager::CFPSManager* frames = Manager::CFPSManager::GetInstance();
    int music = -1;
    if (!LoadSoundsWithProgress(&kMusic, &music, 1)) {
        ShowLoadFailure("Failed to load Game Over Select BGM. This program will quit.");
        return -1;
    }
    std::map<int, int> pictureOfCharacter = {{1, 0}, {2, 1}, {3, 2}, {4, 3}};
    CNowLoadingDrawer::GetInstance()->visible = false;
    const std::vector<std::string> names = TitleFrameNames();
    const char* titleList[kTitleFrames];
    for (int i = 0; i < kTitleFrames; ++i) titleList[i] = names[static_cast<size_t>(i)].c_str();
    int titleFrames[kTitleFrames];
    for (int& handle : titleFrames) handle = -1;
    int fallen[4] = {-1, -1, -1, -1};
    const bool titleLoaded = LoadTexturesWithProgress(titleList, nullptr, titleFrames, kTitleFrames);
    if (!titleLoaded || !LoadTexturesWithProgress(const_cast<const char**>(kFallenPictures), nullptr, fallen, 4)) {
        ShowLoadFailure("Failed to load Game Over Select Image. This program will quit.");
        if (titleLoaded) ReleaseTextures(titleList, kTitleFrames);
        ReleaseSounds(&kMusic, 1);
        return -1;
    }
    GameOverMenu menu;
    int effects[2] = {-1, -1};
    if (!LoadSoundsWithProgress(kEffects, effects, 2)) {
        ShowLoadFailure("Failed to load Game Over Sound. This program will quit.");
        menu.Release();
        ReleaseTextures(const_cast<const char**>(kFallenPictures), 4);
        ReleaseTextures(titleList, kTitleFrames);
        ReleaseSounds(&kMusic, 1);
        return -1;
    }

    // A character outside 1 to 4 shows the first picture.
    const auto found = pictureOfCharacter.find(LastCharacter);
    const int character = fallen[found != pictureOfCharacter.end() ? found->second : 0];
    PlaySoundHandle(music, kPlayTypeBackground, 1);
    SetActiveStateCallback(OnActiveChangeResumeSound, SoundHandleArgument(music));
    bool musicKept = true;
    // The music is given back once it has ended.
    auto checkMusic = [&] {
        if (!musicKept || CheckSoundHandlePlaying(music) == 1) return;
        Manager::CSoundManager::GetInstance()->Release(kMusic.name);
        SetActiveStateCallback(nullptr, nullptr);
        musicKept = false;
    };
    auto drawPictures = [&] {
        DrawGraphicAtPoint(64, -50, titleFrames[kTitleFrames - 1], 1);
        DrawGraphicAtPoint(256, 300, character, 1);
    };

    int b = 0;
    for (int i = 0; i < kAnimationFrames; ++i) {
        ClearTargetScreen();
        SetDrawBrightnessRGB(b, b, b);
        DrawGraphicAtPoint(64, -50, titleFrames[i / 5], 1);
        DrawGraphicAtPoint(256, 300, character, 1);
        PresentBackBuffer();
        if (!frames->Update()) ShutDownProgram(&menu);
        checkMusic();
        b = b + 4 < 255 ? b + 4 : 255;
    }
    SetDrawBrightnessRGB(255, 255, 255);

    int selection = 0;
    for (;;) {
        if (ButtonJustPressed(KEY_UP) || ButtonJustPressed(KEY_DOWN)) {
            selection = 1 - selection;
            PlaySoundHandle(effects[0], kPlayTypeBackground, 1);
        }
        if (ButtonJustPressed(ATTACK)) {
            PlaySoundHandle(effects[1], kPlayTypeWait, 1);
            break;
        }
        ClearTargetScreen();
        menu.Draw(selection);
        drawPictures();
        PresentBackBuffer();
        if (!frames->Update()) ShutDownProgram(&menu);
        checkMusic();
    }
    for (b = 255; b > 0; b -= 4) {
        ClearTargetScreen();
        SetDrawBrightnessRGB(b, b, b);
        menu.Draw(selection);
        drawPictures();
        PresentBackBuffer();
        if (!frames->Update()) ShutDownProgram(&menu);
        checkMusic();
    }

    SetActiveStateCallback(nullptr, nullptr);
    if (musicKept) StopSoundHandle(music);
    menu.Release();
    if (musicKept) Manager::CSoundManager::GetInstance()->Release(kMusic.name);
    ReleaseTextures(const_cast<const char**>(kFallenPictures), 4);
    ReleaseTextures(titleList, kTitleFrames);
    ReleaseSounds(kEffects, 2);
    SetDrawBrightnessRGB(255, 255, 255);
    return selection;
}
