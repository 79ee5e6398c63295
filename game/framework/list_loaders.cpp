// Loading whole lists of images and sounds with the loading animation kept
// running between files.
#include <cstdio>

#include "framework/graphics/graphics.h"
#include "framework/sound/sound_playback.h"
#include "game/framework/fps_manager.h"
#include "game/framework/game_config.h"
#include "game/framework/resource_managers.h"
#include "platform/winmm/winmm.h"

namespace {

// At most GetRedrawInterval() redraws a second.
bool RedrawDue(Manager::ILoadingDrawer* drawer, unsigned lastRedraw) {
    const unsigned elapsed = timeGetTime() - lastRedraw;
    return static_cast<double>(elapsed) >= 1000.0 / drawer->GetRedrawInterval();
}

// The image loader hands Draw the time, the sound loader the list index.
void Redraw(Manager::ILoadingDrawer* drawer, int index, bool drawTime, int drawArgument) {
    const unsigned now = timeGetTime();
    drawer->Update(now, index);
    ClearTargetScreen();
    drawer->Draw(drawTime ? static_cast<int>(now) : drawArgument);
    PresentBackBuffer();
    Manager::CFPSManager::GetInstance()->Update();
}

}  // namespace

bool LoadTexturesWithProgress(const char** names, Manager::ILoadingDrawer* drawer, int* handlesOut, int count) {
    if (drawer == nullptr) drawer = CNowLoadingDrawer::GetInstance();
    int named = 0;
    for (int i = 0; i < count; ++i)
        if (names[i] != nullptr) ++named;
    Manager::CTextureManager* textures = Manager::CTextureManager::GetInstance();
    Manager::CFPSManager::GetInstance();

    const unsigned start = timeGetTime();
    drawer->Begin(start, named);
    ClearTargetScreen();
    drawer->Update(start, 0);
    drawer->Draw(0);
    PresentBackBuffer();
    unsigned lastRedraw = start;
    int loaded = 1;
    for (int i = 0; i < count; ++i) {
        if (RedrawDue(drawer, lastRedraw)) {
            Redraw(drawer, loaded, true, 0);
            lastRedraw = timeGetTime();
        }
        if (names[i] == nullptr) continue;
        // A name already loaded is handed out again without a reference of
        // its own: the list that loaded it first owns it.
        int handle = textures->GetHandle(names[i]);
        if (handle < 0) {
            if (!textures->Load(names[i], nullptr)) handle = -1;
            else handle = textures->GetHandle(names[i]);
        }
        if (handle < 0) {
            char text[512];
            std::snprintf(text, sizeof(text), "%s load failed", names[i]);
            MessageBoxA(nullptr, text, nullptr, MB_OK);
            drawer->End();
            return false;
        }
        handlesOut[i] = handle;
        ++loaded;
    }
    drawer->End();
    return true;
}

bool LoadSoundsWithProgress(const SoundListEntry* list, int* handlesOut, int count) {
    Manager::ILoadingDrawer* drawer = CNowLoadingDrawer::GetInstance();
    const unsigned start = timeGetTime();
    drawer->Begin(start, count);
    const GameConfig* config = GetGameConfig();
    const int musicVolume = ((config->bgmVolume * 255) / 100) * 3 / 4;
    const int effectVolume = ((config->seVolume * 255) / 100) * 3 / 4;
    Manager::CSoundManager* sounds = Manager::CSoundManager::GetInstance();
    unsigned lastRedraw = start;
    for (int i = 0; i < count; ++i) {
        if (RedrawDue(drawer, lastRedraw)) {
            Redraw(drawer, i + 1, false, i);
            lastRedraw = timeGetTime();
        }
        if (list[i].name == nullptr) continue;
        if (!sounds->Load(list[i].name, nullptr)) {
            drawer->End();
            return false;
        }
        handlesOut[i] = sounds->GetHandle(list[i].name);
        if (list[i].kind == 0) SetSoundHandleVolume(musicVolume, handlesOut[i]);
        else if (list[i].kind == 1) SetSoundHandleVolume(effectVolume, handlesOut[i]);
    }
    drawer->End();
    return true;
}

void ReleaseTextures(const char** names, int count) {
    Manager::CTextureManager* textures = Manager::CTextureManager::GetInstance();
    for (int i = 0; i < count; ++i)
        if (names[i] != nullptr) textures->Release(names[i]);
}

void ReleaseSounds(const SoundListEntry* list, int count) {
    Manager::CSoundManager* sounds = Manager::CSoundManager::GetInstance();
    for (int i = 0; i < count; ++i)
        if (list[i].name != nullptr) sounds->Release(list[i].name);
}
