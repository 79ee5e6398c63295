// The primitive 2D objects: a texture cut-out drawn with its alpha or additive
// blend, and a block of text drawn line by line.
#include "game/framework/object_tree.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "framework/graphics/graphics.h"
#include "game/framework/resource_managers.h"

namespace Object {

namespace {

// Narrowed to float, then truncated toward zero; a position beyond int's
// range is held at its end, and one that is not a number is 0.
int PositionOf(double value) {
    constexpr double kEnd = 2147483648.0;  // 2^31, a float as well
    if (std::isnan(value)) return 0;
    const float narrowed = static_cast<float>(std::clamp(value, -kEnd, kEnd));
    if (narrowed >= static_cast<float>(kEnd)) return INT_MAX;
    if (narrowed <= static_cast<float>(-kEnd)) return INT_MIN;
    return static_cast<int>(narrowed);
}

}  // namespace

void C2DObject::SetPosition(double newX, double newY) {
    x = PositionOf(newX);
    y = PositionOf(newY);
}

// ---- screen objects ------------------------------------------------------------

C2DScreenObject::~C2DScreenObject() {
    if (textureKey != 0) Manager::CTextureManager::GetInstance()->ReleaseByAtom(textureKey);
}

// The key is given back once: the destructor that follows a Release has
// nothing left to release, so another owner's reference is never taken.
void C2DScreenObject::Release() {
    if (textureKey != 0) Manager::CTextureManager::GetInstance()->ReleaseByAtom(textureKey);
    textureKey = 0;
}

void C2DScreenObject::Draw() {
    int handle = Manager::CTextureManager::GetInstance()->GetHandleByAtom(textureKey);
    if (handleOverride != -1) handle = handleOverride;
    if (additive) {
        SetBlendModeAndParam(kBlendModeAdd, alpha);
        SetDrawBrightnessRGB(r, g, b);
    }
    if (alpha == 255) {
        DrawGraphicPart(x, y, sourceX, sourceY, width, height, handle, 1, 0);
    } else if (alpha != 0) {
        if (!additive) SetBlendModeAndParam(kBlendModeAlpha, alpha);
        DrawGraphicPart(x, y, sourceX, sourceY, width, height, handle, 1, 0);
        if (!additive) SetBlendModeAndParam(kBlendModeNone, alpha);
    }
    if (additive) {
        SetBlendModeAndParam(kBlendModeNone, 255);
        SetDrawBrightnessRGB(255, 255, 255);
    }
}

void C2DScreenObject::UpdateFrame() {}
bool C2DScreenObject::IsValid() { return true; }
bool C2DScreenObject::IsTranslucent() { return alpha < 255; }

// ---- font objects ----------------------------------------------------------------

C2DFontObject::C2DFontObject() : colour(MakeScreenColorCode(255, 255, 255)) {}

C2DFontObject::~C2DFontObject() = default;

void C2DFontObject::Release() {}

bool C2DFontObject::CreateFont(const char* face, int size, int thickness) {
    Manager::C2DFontManager* fonts = Manager::C2DFontManager::GetInstance();
    // A face name longer than the manager's buffer is refused, not cut.
    if (face == nullptr || std::strlen(face) >= sizeof(fonts->faceName)) return false;
    std::memcpy(fonts->faceName, face, std::strlen(face) + 1);
    fonts->size = size;
    fonts->thickness = thickness;
    fonts->fontType = 3;
    char keyText[Manager::kResourceKeyTextSize] = {};
    if (!fonts->Load(face, keyText, nullptr)) return false;
    fontKey = AddAtomA(keyText);
    const int handle = fonts->GetHandleByAtom(fontKey);
    if (handle < 0) return false;
    int reported = 0;
    if (GetFontHandleInfo(nullptr, &reported, nullptr, handle) != 0) return false;
    lineHeight = reported;
    return true;
}

// Each run of line breaks ends one line, so blank lines vanish, except a
// blank first line when the text opens with a break.
void C2DFontObject::SetText(const char* newText) {
    if (newText == nullptr) {
        text.clear();
        return;
    }
    lines.clear();
    const char* cursor = newText;
    while (*cursor != '\0') {
        const char* end = cursor;
        while (*end != '\0' && *end != '\r' && *end != '\n') ++end;
        lines.emplace_back(cursor, end);
        while (*end == '\r' || *end == '\n') ++end;
        cursor = end;
    }
    text = newText;
}

const char* C2DFontObject::GetText() { return text.c_str(); }

void C2DFontObject::Draw() {
    const int handle = Manager::C2DFontManager::GetInstance()->GetHandleByAtom(fontKey);
    if (handle < 0) return;
    for (size_t i = 0; i < lines.size(); ++i) {
        // A line that would start beyond int's range lies far off the screen.
        const long long lineY = y + static_cast<long long>(i) * lineHeight;
        if (lineY < INT_MIN || lineY > INT_MAX) continue;
        DrawStringWithFont(x, static_cast<int>(lineY), lines[i].c_str(), static_cast<int>(colour), handle, 0, 0);
    }
}

void C2DFontObject::UpdateFrame() {}
bool C2DFontObject::IsValid() { return true; }
bool C2DFontObject::IsTranslucent() { return false; }

}  // namespace Object
