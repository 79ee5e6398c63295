// The texture manager: one graphic handle per image file, counted by reference;
// and the key-text copy that refuses a name too long for the key buffer.
#include <cstring>

#include "framework/graphics/graphics.h"
#include "game/framework/resource_managers.h"

namespace Manager {

bool CopyResourceKeyText(const char* text, char* keyOut) {
    const size_t length = strnlen(text, kResourceKeyTextSize);
    if (length >= kResourceKeyTextSize) return false;
    if (keyOut != nullptr) std::memcpy(keyOut, text, length + 1);
    return true;
}

CTextureManager* CTextureManager::GetInstance() {
    static CTextureManager instance;
    return &instance;
}

CTextureManager::CTextureManager() = default;

// Only the map goes: the graphics are gone with the framework by now.
CTextureManager::~CTextureManager() = default;

bool CTextureManager::Load(const char* name, char* keyOut, const char*) {
    if (name == nullptr) return false;
    // A name too long for a key buffer is refused before it is copied.
    if (!CopyResourceKeyText(name, keyOut)) return false;
    const ATOM key = AddAtomA(name);
    if (key == 0) return false;
    auto found = entries.find(key);
    if (found != entries.end()) {
        ++found->second.referenceCount;
        return true;
    }
    const int handle = LoadGraphFile(name, 0);
    if (handle == -1) return false;
    entries[key] = Entry{handle, 1};
    return true;
}

void CTextureManager::ReleaseAll() {
    for (const auto& [key, entry] : entries) DeleteGraphicHandle(entry.handle, 0);
    entries.clear();
}

int CTextureManager::GetHandleByAtom(ATOM key) {
    auto found = entries.find(key);
    return found != entries.end() ? found->second.handle : -1;
}

void CTextureManager::ReleaseByAtom(ATOM key) {
    auto found = entries.find(key);
    if (found == entries.end()) return;
    if (--found->second.referenceCount < 1) {
        DeleteGraphicHandle(found->second.handle, 0);
        entries.erase(found);
    }
}

}  // namespace Manager
