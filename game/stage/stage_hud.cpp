// The stage's overlay: the pause menu's objects, keys and drawing, the gauge,
// attack-level and spell-stock pictures, and the frame-rate text.
#include "game/stage/stage_hud.h"

#include <cstdio>

#include "framework/graphics/graphics.h"
#include "framework/sound/sound_playback.h"
#include "game/framework/input_manager.h"
#include "game/framework/object_tree.h"
#include "game/framework/resource_managers.h"
#include "game/stage/player_character.h"
#include "game/stage/stage_images.h"
#include "game/stage/stage_scene.h"

namespace {

constexpr int kPauseSound = 12;

// Source y and screen y of the four objects, in the menu's object order.
struct MenuPart {
    int sourceY;
    int screenY;
};
constexpr MenuPart kMenuParts[4] = {{128, 176}, {192, 176}, {256, 240}, {320, 240}};
constexpr int kMenuX = (640 - 384) / 2;

Object::C2DScreenObject* MenuObject(const StagePauseMenu& menu, int index) {
    if (menu.objects[index] < 0) return nullptr;
    return dynamic_cast<Object::C2DScreenObject*>(
        Manager::CPrimitive2DObjectManager::GetInstance()->Get(menu.objects[index]));
}

int Held(const std::map<int, int>& held, int bit) {
    auto found = held.find(bit);
    return found == held.end() ? 0 : found->second;
}

}  // namespace

bool CreateStagePauseMenu(StagePauseMenu* menu) {
    Manager::CPrimitive2DObjectManager* objects = Manager::CPrimitive2DObjectManager::GetInstance();
    Manager::CTextureManager* textures = Manager::CTextureManager::GetInstance();
    for (int i = 0; i < 4; ++i) {
        menu->objects[i] = objects->CreateScreenObject();
        auto* object = MenuObject(*menu, i);
        char key[Manager::kResourceKeyTextSize];
        if (object == nullptr || !textures->Load(kPauseMenuPicture, key, nullptr)) {
            ReleaseStagePauseMenu(menu);
            return false;
        }
        object->textureKey = FindAtomA(key);
        object->sourceX = 0;
        object->sourceY = kMenuParts[i].sourceY;
        object->width = 384;
        object->height = 64;
        object->SetPosition(kMenuX, kMenuParts[i].screenY);
    }
    char key[Manager::kResourceKeyTextSize];
    if (textures->Load(kPlayTimeDigits, key, nullptr)) menu->digits = textures->GetHandle(kPlayTimeDigits);
    return true;
}

void ReleaseStagePauseMenu(StagePauseMenu* menu) {
    Manager::CPrimitive2DObjectManager* objects = Manager::CPrimitive2DObjectManager::GetInstance();
    for (int& id : menu->objects) {
        if (id >= 0) objects->Release(id);
        id = -1;
    }
    if (menu->digits != -1) Manager::CTextureManager::GetInstance()->Release(kPlayTimeDigits);
    menu->digits = -1;
}

PauseMenuChoice RunPauseMenuKeys(StagePauseMenu* menu, const std::map<int, int>& held, const int* sounds) {
    if (!StagePaused) return PauseMenuChoice::None;
    if (StagePauseMenuHidden) {
        if (Held(held, ATTACK) == 1 || Held(held, JUMP) == 1) StagePauseMenuHidden = false;
        return PauseMenuChoice::None;
    }
    if (Held(held, KEY_UP) == 1) menu->cursor = 1 - menu->cursor;
    if (Held(held, KEY_DOWN) == 1) menu->cursor = 1 - menu->cursor;
    if (Held(held, ATTACK) == 1) {
        Manager::CInputManager::GetInstance()->Update();
        PlaySoundHandle(sounds[kPauseSound], kPlayTypeBackground, 1);
        return menu->cursor == 0 ? PauseMenuChoice::Resume : PauseMenuChoice::Leave;
    }
    if (Held(held, JUMP) == 1) StagePauseMenuHidden = true;
    return PauseMenuChoice::None;
}

void DrawPauseMenu(const StagePauseMenu& menu, const PlayTimer* time) {
    SetDrawBrightnessRGB(255, 255, 255);
    int order[2] = {1, 2};  // cursor 0: first selected, second plain
    if (menu.cursor != 0) {
        order[0] = 0;
        order[1] = 3;
    }
    for (int index : order) {
        if (auto* object = MenuObject(menu, index)) object->Draw();
    }
    DrawPlayTime(10, 450, menu.digits, time);
}

int HudGaugeCellCount(int hitPoints) {
    int count = 0;
    for (int h = hitPoints; h > 0; h -= 10) ++count;
    return count;
}

int HudAttackLevelImage(int attackLevel) {
    if (attackLevel < 1 || attackLevel > 3) return -1;
    return HudImage::kAttackLevel1 + attackLevel - 1;
}

int HudSpellStockImage(int spellStock) {
    if (spellStock < 0 || spellStock > 1) return -1;
    return HudImage::kSpellStock0 + spellStock;
}

void DrawStageHud(const PlayerRecord& player, const int* images) {
    DrawGraphicAtPoint(10, 10, StageImageAt(images, HudImage::kGaugeFrame), 1);
    int cells = HudGaugeCellCount(player.hitPoints);
    for (int i = 0; i < cells; ++i) DrawGraphicAtPoint(30 + 24 * i, 30, StageImageAt(images, HudImage::kGaugeCell), 1);
    int level = HudAttackLevelImage(player.attackLevel);
    if (level != -1) DrawGraphicAtPoint(kAttackLevelX, kAttackLevelY, StageImageAt(images, level), 1);
    int stock = HudSpellStockImage(player.spellStock);
    if (stock != -1) DrawGraphicAtPoint(kSpellStockX, kSpellStockY, StageImageAt(images, stock), 1);
}

void DrawFrameRateText(double framesPerSecond, int colour) {
    char text[64];
    std::snprintf(text, sizeof(text), "%.2f", framesPerSecond);
    DrawStringDefaultFont(560, 460, text, colour, 0);
    DrawStringDefaultFont(610, 460, "FPS", colour, 0);
}
