// The sound manager: one handle per sound file, counted by reference, and
// playing, stopping and pausing a sound by its name's atom.
#include "framework/sound/sound_handles.h"
#include "framework/sound/sound_loading.h"
#include "framework/sound/sound_playback.h"
#include "game/framework/resource_managers.h"

namespace Manager {

CSoundManager* CSoundManager::GetInstance() {
    static CSoundManager instance;
    return &instance;
}

CSoundManager::CSoundManager() = default;

CSoundManager::~CSoundManager() { ReleaseAll(); }

bool CSoundManager::Load(const char* name, char* keyOut, const char*) {
    if (name == nullptr) return false;
    ATOM key = FindAtomA(name);
    if (key == 0) key = AddAtomA(name);
    if (key == 0) return false;
    if (!CopyResourceKeyText(name, keyOut)) return false;
    auto found = entries.find(key);
    if (found != entries.end()) {
        ++found->second.referenceCount;
        return true;
    }
    const int handle = LoadSoundFileToHandle(name, 3, -1);
    if (handle == -1) return false;
    entries[key] = Entry{handle, 1};
    return true;
}

void CSoundManager::ReleaseAll() {
    for (const auto& [key, entry] : entries) DeleteSoundHandle(entry.handle, 0);
    entries.clear();
}

int CSoundManager::GetHandleByAtom(ATOM key) {
    auto found = entries.find(key);
    return found != entries.end() ? found->second.handle : -1;
}

void CSoundManager::ReleaseByAtom(ATOM key) {
    auto found = entries.find(key);
    if (found == entries.end()) return;
    if (--found->second.referenceCount < 1) {
        DeleteSoundHandle(found->second.handle, 0);
        entries.erase(found);
    }
}

void CSoundManager::Play(ATOM key, int mode) {
    const int handle = GetHandleByAtom(key);
    if (handle == -1) return;
    // -1 loops in the background; anything else plays once and waits.
    PlaySoundHandle(handle, mode == -1 ? 3 : 0, 1);
}

void CSoundManager::Stop(ATOM key) {
    const int handle = GetHandleByAtom(key);
    if (handle == -1) return;
    StopSoundHandle(handle);
}

void CSoundManager::TogglePause(ATOM key) {
    const int handle = GetHandleByAtom(key);
    if (handle == -1) return;
    const int playing = CheckSoundHandlePlaying(handle);
    if (playing == 1) {
        Stop(key);
    } else if (playing == 0) {
        PlaySoundHandle(handle, 3, 0);
    }
}

}  // namespace Manager
