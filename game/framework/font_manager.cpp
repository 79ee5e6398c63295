// The font manager: a font is made from the pending face, size, thickness and
// type and keyed by that description, so that equal fonts share one handle.
#include <cstdio>

#include "framework/graphics/graphics.h"
#include "game/framework/resource_managers.h"

namespace Manager {

C2DFontManager* C2DFontManager::GetInstance() {
    static C2DFontManager instance;
    return &instance;
}

C2DFontManager::C2DFontManager() = default;

C2DFontManager::~C2DFontManager() { ReleaseAll(); }

// The font is the pending one; `name` only travels with the call.
bool C2DFontManager::Load(const char*, char* keyOut, const char*) {
    char keyText[kResourceKeyTextSize];
    const int length =
        std::snprintf(keyText, sizeof(keyText), "%.*s%02d%02d%02d", static_cast<int>(sizeof(faceName) - 1),
                      faceName, size, thickness, fontType);
    if (length < 0 || length >= static_cast<int>(sizeof(keyText))) return false;
    CopyResourceKeyText(keyText, keyOut);
    const ATOM key = AddAtomA(keyText);
    if (key == 0) return false;
    if (handles.count(key) != 0) return true;
    char face[sizeof(faceName)];
    std::snprintf(face, sizeof(face), "%.*s", static_cast<int>(sizeof(faceName) - 1), faceName);
    const int handle = CreateFontToHandle(face, size, thickness, fontType, -1, -1, 0, -1, -1);
    if (handle < 0) return false;
    handles[key] = handle;
    return true;
}

void C2DFontManager::ReleaseAll() {
    for (const auto& [key, handle] : handles) DeleteFontHandle(handle);
    handles.clear();
}

int C2DFontManager::GetHandleByAtom(ATOM key) {
    auto found = handles.find(key);
    return found != handles.end() ? found->second : -1;
}

void C2DFontManager::ReleaseByAtom(ATOM key) {
    auto found = handles.find(key);
    if (found == handles.end()) return;
    DeleteFontHandle(found->second);
    handles.erase(found);
}

}  // namespace Manager
