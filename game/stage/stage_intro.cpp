// The opening's view (tiles, placed objects, backgrounds and the player), its
// fade-in, and the intro scenario.
#include "game/stage/stage_intro.h"

#include "framework/graphics/graphics.h"
#include "framework/sound/sound_handles.h"
#include "framework/sound/sound_playback.h"
#include "framework/window/main_window.h"
#include "game/framework/fps_manager.h"
#include "game/framework/input_manager.h"
#include "game/framework/resource_managers.h"
#include "game/framework/senario_object.h"
#include "game/stage/guide_message_box.h"
#include "game/stage/map_tiles.h"
#include "game/stage/player_character.h"
#include "platform/user/user.h"

const char* StageIntroScenario(int stageCode) {
    switch (stageCode) {
        case 4:
            return "resource\\senario\\Stage4_senario1.xml";
        case 302:
            return "resource\\senario\\Stage3_senario0.xml";
        default:
            return nullptr;
    }
}

namespace {

// The hit-point gauge's cells, as the HUD shows them.
constexpr int kImageGaugeCell = 5;

// The picture the tile drawing shows for a kind, and how far up from its cell.
bool TilePicture(int kind, int stageCode, int* image, int* dy) {
    MapTilePicture picture{};
    if (!FindMapTilePicture(kind, stageCode, &picture)) return false;
    *image = picture.image;
    *dy = picture.dy;
    return true;
}

// The image of a wall or decoration kind drawn at once, and how far up from
// its cell, as the stage's tile drawing shows it; false for the other kinds.
bool WallImage(int kind, int stageCode, int* image, int* dy) {
    switch (kind) {
        case kTileGround:
        case kTileElevatorLeft:
        case kTileElevatorMiddle:
        case kTileElevatorRight:
        case kTileBlock:
        case kTileFloor:
        case kTileWall:
        case kTileDecoration:
        case kTilePillar:
        case kTilePillarTop:
        case kTileRopedPillarLeft:
        case kTileRopedPillarMiddle:
        case kTileRopedPillarRight:
        case kTileRope:
            break;
        default:
            return false;
    }
    return TilePicture(kind, stageCode, image, dy);
}

// The kinds that stand for objects: entered in the sprite list.
bool ObjectKind(int kind) {
    switch (kind) {
        case kTilePlayerStart:
        case kTileWalker:
        case kTileGoal:
        case kTileSpikes:
        case kTileRecoveryItem:
        case kTileChinton:
        case kTileHamushiShot:
        case kTileRestartMarker:
        case kTilePit:
        case kTileSpellItem:
        case kTileCrumblingBlock:
            return true;
        default:
            return false;
    }
}

// The picture of a listed object on the view (the goal's first frame), and
// how far up from its cell; false for the kinds shown by their own records
// (the player, enemies) or not at all (the restart marker, pits).
bool SpriteImage(int kind, int stageCode, int* image, int* dy) {
    switch (kind) {
        case kTileGoal:
        case kTileSpikes:
        case kTileRecoveryItem:
        case kTileSpellItem:
        case kTileCrumblingBlock:
            break;
        default:
            return false;
    }
    return TilePicture(kind, stageCode, image, dy);
}

int ImageAt(const int* images, int index) {
    return images != nullptr ? images[index] : -1;
}

class StageView {
public:
    explicit StageView(const StageEventRecords& records) : r_(records) {}

    // Scans the view: draws the walls at once, places the objects the first
    // view needs and lists their sprites. Every pass places the same objects
    // in the same entries.
    void Scan() {
        spriteCount_ = 0;
        for (StageEventSprite& sprite : sprites_) sprite = StageEventSprite{};
        int pitIndex = 0;
        int chintonIndex = 0;
        int enemyIndex = 0;
        if (r_.tiles == nullptr) return;
        for (int row = r_.scrollRow; row < r_.scrollRow + r_.scanRows; ++row) {
            if (row < 0 || row >= r_.mapRows) continue;
            for (int column = 0; column < r_.scanColumns && column < r_.mapColumns; ++column) {
                int kind = r_.tiles[column + row * r_.mapColumns];
                int x = column * 64;
                int y = (row - r_.scrollRow) * 64;
                int image = 0;
                int dy = 0;
                if (WallImage(kind, r_.stageCode, &image, &dy)) {
                    DrawGraphicAtPoint(x, y + dy, ImageAt(r_.images, image), 1);
                    continue;
                }
                if (!ObjectKind(kind)) continue;
                if (spriteCount_ < kStageEventSpriteCount) {
                    StageEventSprite& sprite = sprites_[spriteCount_++];
                    sprite.drawn = true;
                    sprite.x = x;
                    sprite.y = y;
                    sprite.kind = kind;
                }
                Place(kind, x, y, row, &pitIndex, &chintonIndex, &enemyIndex);
            }
        }
    }

    // The listed sprites, the player at its start and the hit-point gauge.
    void DrawObjects() const {
        for (int i = 0; i < spriteCount_; ++i) {
            const StageEventSprite& sprite = sprites_[i];
            int image = 0;
            int dy = 0;
            if (sprite.drawn && SpriteImage(sprite.kind, r_.stageCode, &image, &dy)) {
                DrawGraphicAtPoint(sprite.x, sprite.y + dy, ImageAt(r_.images, image), 1);
            }
        }
        if (r_.drawPlayer && r_.player != nullptr) r_.drawPlayer(*r_.player);
        int cells = r_.player != nullptr ? (r_.player->hitPoints + 9) / 10 : 0;
        for (int i = 0; i < cells; ++i) DrawGraphicAtPoint(30 + 24 * i, 30, ImageAt(r_.images, kImageGaugeCell), 1);
    }

    void Draw(int brightness) {
        SetDrawBrightnessRGB(brightness, brightness, brightness);
        if (r_.drawBackgrounds) r_.drawBackgrounds();
        Scan();
        DrawObjects();
    }

    int SpriteCount() const { return spriteCount_; }

private:
    void Place(int kind, int x, int y, int row, int* pitIndex, int* chintonIndex, int* enemyIndex) {
        switch (kind) {
            case kTilePlayerStart:
                if (r_.player != nullptr) {
                    r_.player->x = x;
                    r_.player->screenY = y;
                    r_.player->mapY = row * 64;
                }
                break;
            case kTileGoal:
                if (r_.goal != nullptr) {
                    r_.goal->x = x;
                    r_.goal->y = y;
                    r_.goal->useFirst = 1;
                }
                break;
            case kTileRestartMarker:
                if (r_.restart != nullptr) {
                    r_.restart->marker.altX = x;
                    r_.restart->marker.altY = y;
                    r_.restart->marker.useFirst = 0;
                }
                break;
            case kTilePit:
                if (r_.pits != nullptr) {
                    r_.pits[*pitIndex].altX = x;
                    r_.pits[*pitIndex].altY = y;
                    r_.pits[*pitIndex].useFirst = 0;
                    *pitIndex = *pitIndex + 1 < kPitCount ? *pitIndex + 1 : 0;
                }
                break;
            case kTileChinton:
                if (r_.chintons != nullptr && *chintonIndex < kEnemyPoolSize) {
                    Chinton& chinton = r_.chintons[(*chintonIndex)++];
                    chinton.spawnX = x;
                    chinton.spawnY = y;
                    chinton.screenX = x;
                    chinton.state = 3;
                }
                break;
            case kTileWalker:
                if (r_.otherEnemies != nullptr && *enemyIndex < kEnemyPoolSize) {
                    EnemyCharacter& enemy = r_.otherEnemies[(*enemyIndex)++];
                    enemy.spawnX = x;
                    enemy.spawnY = y;
                    enemy.screenX = enemy.offsetX + x;
                }
                break;
            default:
                break;
        }
    }

    const StageEventRecords& r_;
    StageEventSprite sprites_[kStageEventSpriteCount];
    int spriteCount_ = 0;
};

template <typename T>
void DeleteAll(std::vector<T*>* objects) {
    if (objects == nullptr) return;
    for (T* object : *objects) delete object;
    objects->clear();
}

// The program is ending during the opening: the stage's sounds and the
// objects handed in go.
int Abandon(const StageEventRecords& records) {
    DeleteAllSoundHandles(0);
    DeleteAll(records.recoveryItems);
    DeleteAll(records.spellItems);
    DeleteAll(records.messageBoxes);
    return -1;
}

}  // namespace

int RunStageEvent(const StageEventRecords& records) {
    StageView view(records);
    for (int brightness = 0; brightness < 255; brightness += 4) {
        ClearTargetScreen();
        view.Draw(brightness);
        PresentBackBuffer();
        if (!Manager::CFPSManager::GetInstance()->Update()) {
            SetDrawBrightnessRGB(255, 255, 255);
            return Abandon(records);
        }
    }
    SetDrawBrightnessRGB(255, 255, 255);

    const char* intro = StageIntroScenario(records.stageCode);
    if (records.retry || intro == nullptr) return 0;

    Object::CSenarioObject* scenario = CreateSenarioObject(intro);
    if (scenario == nullptr) {
        MessageBoxA(nullptr, "Failed to load senario. This Program will quit.", nullptr, MB_ICONERROR);
        PostQuitMessage(1);
        return Abandon(records);
    }
    PlaySoundHandle(records.musicHandle, kPlayTypeLoop, 0);
    if (records.activeCallback != nullptr) SetActiveStateCallback(records.activeCallback, records.activeCallbackArgument);
    Manager::CInputManager* input = Manager::CInputManager::GetInstance();
    while (scenario->Update(input->heldButtons)) {
        ClearTargetScreen();
        view.Draw(255);
        scenario->Draw();
        scenario->UpdateFrame();
        PresentBackBuffer();
        if (!Manager::CFPSManager::GetInstance()->Update()) {
            delete scenario;
            return Abandon(records);
        }
    }
    delete scenario;
    return 0;
}
