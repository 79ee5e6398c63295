// The stage scene: its record, placing the map's things, the world's step each
// frame, death and the goal, drawing the frame, and the run from the opening to
// the result.
#include "game/stage/stage_scene.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "framework/base/log.h"
#include "framework/base/time_functions.h"
#include "framework/graphics/graphics.h"
#include "framework/sound/sound_playback.h"
#include "framework/window/main_window.h"
#include "platform/user/user.h"
#include "game/framework/fps_manager.h"
#include "game/framework/input_manager.h"
#include "game/framework/object_tree.h"
#include "game/framework/resource_managers.h"
#include "game/framework/senario_object.h"
#include "game/stage/effects.h"
#include "game/stage/enemy_characters.h"
#include "game/stage/enemy_updating.h"
#include "game/stage/fixed_turrets.h"
#include "game/stage/guide_message_box.h"
#include "game/stage/map_objects.h"
#include "game/stage/map_tiles.h"
#include "game/stage/moving_floors.h"
#include "game/stage/player_animation.h"
#include "game/stage/player_attacks.h"
#include "game/stage/player_character.h"
#include "game/stage/player_hits.h"
#include "game/stage/player_movement.h"
#include "game/stage/scroll_backgrounds.h"
#include "game/stage/shot_table.h"
#include "game/stage/side_elevator.h"
#include "game/stage/stage_intro.h"
#include "game/stage/stage_background.h"
#include "game/stage/stage_hud.h"
#include "game/stage/stage_images.h"
#include "game/stage/stage_sounds.h"
#include "game/stage/stage_table.h"
#include "game/stage/tile_collision.h"

#include "game/app/active_state_callbacks.h"
#include "game/app/game_mode.h"
#include "game/app/play_time.h"

int CarriedHitPoints = 100;
int CarriedAttackLevel = 1;
int LastCharacter = 1;

bool StagePaused = false;
bool StagePauseMenuHidden = false;
bool StageMessageActive = false;

const PlayerRecord* RunningStagePlayer = nullptr;

bool IsStagePlaying() { return !StagePaused && !StageMessageActive; }

namespace {

constexpr int kSideElevatorCount = 64;
constexpr int kPauseSound = 12;
constexpr int kDamageSound = 9;
constexpr int kChargeSound = 40;
constexpr int kWallSlideSound = kSoundWallSlide;
constexpr double kScrollHoldX = 256.0;

struct GoalRow {
    int code;
    int result;
    int releaseFirst;
    int releaseCount;
};
constexpr GoalRow kGoalRows[] = {
    {1, 102, 19, 11},  {102, 103, 18, 12}, {2, 202, 11, 3},   {202, 203, 688, 21}, {3, 302, 11, 0},
    {302, 303, 11, 2}, {4, 402, 11, 11},   {402, 403, 11, 15}, {5, 503, 11, 3},     {502, 503, 11, 3},
};

const GoalRow* FindGoalRow(int stageCode) {
    for (const GoalRow& row : kGoalRows)
        if (row.code == stageCode) return &row;
    return nullptr;
}

bool IsPartA(int stageCode) { return stageCode >= 1 && stageCode <= 5; }

// Fills a pool's pointer table, in pool order.
template <typename Kind>
void FillTable(Kind* pool, EnemyCharacter** table) {
    for (int i = 0; i < kEnemyPoolSize; ++i) table[i] = &pool[i];
}

// Every entry of a pool back to its kind's start, with the size and hit
// points that the scene gives the kind.
template <typename Kind>
void ResetPool(Kind* pool, int width, int height, int hitPoints) {
    for (int i = 0; i < kEnemyPoolSize; ++i) {
        pool[i].Reset();
        if (width > 0) {
            pool[i].width = width;
            pool[i].height = height;
        }
        pool[i].hitPoints = hitPoints;
        pool[i].state = kEnemyFree;
        pool[i].spawnX = pool[i].spawnY = -1;
        pool[i].screenX = pool[i].screenY = -1;
    }
}

// Everything one stage part plays with, kept on the heap for the length of
// the call: about 1,150 enemies and several large tables would not sit well
// on the stack.
struct StageRecord {
    const StageTableEntry* entry = nullptr;
    int stageCode = 0;

    EnemyCharacter walkers[kEnemyPoolSize];
    Chinton chintons[kEnemyPoolSize];
    HamushiShot hamushiShots[kEnemyPoolSize];
    Watadama watadamas[kEnemyPoolSize];
    Sekito sekitos[kEnemyPoolSize];
    ArmorDevil armorDevils[kEnemyPoolSize];
    ArmorDevilLeader armorDevilLeaders[kEnemyPoolSize];
    Fenwa fenwas[kEnemyPoolSize];
    StoneSnake stoneSnakes[kEnemyPoolSize];
    Mirelle mirelle;
    EnemyCharacter* tables[9][kEnemyPoolSize] = {};

    CElevatorToSide elevators[kSideElevatorCount];
    int elevatorCount = 0;
    std::vector<std::unique_ptr<CFixedBattery>> turrets;
    // Set 0 the up-down elevators (tile 39), set 1 the sinking floors (40).
    MovingFloor floors[2][kMovingFloorCount];
    // Table 0 the falling blocks (tile 42), table 1 the crumbling ones (55).
    GimmickBlock blocks[2][kGimmickBlockCount];
    DestructionFront front;
    // Pits (tile 27) and dash zones (41), armed by the tile pass each frame.
    Item pits[kPitCount];
    Item dashZones[kDashZoneCount];
    std::vector<ValueItem*> recoveryItems;
    std::vector<ValueItem*> spellItems;
    std::vector<GuideMessageBox*> messageBoxes;
    std::vector<int> messageBoxCells;  // the cell index of each box

    ShotSlot playerShots[kShotTableSize] = {};
    ShotSlot enemyShots[kShotTableSize] = {};
    EffectSlot effects[kEffectTableSize] = {};

    std::unique_ptr<int[]> tileGrid;  // owns the grid that `tiles` shows
    int* tiles = nullptr;
    std::vector<int> positions = std::vector<int>(2 * kStagePlaneSize, -1);
    int images[kStageImageTableSize] = {};
    int sounds[kStageSoundCount] = {};
    int bgm = -1;

    PlayerRecord player;
    PlayerFrameState frame;
    RestartPoint restart;
    GoalMark goal;
    int dollCount = kStartDollCount;
    int attackReady = kStartAttackReady;
    int hangY = 0;
    // Set by a spell as it ends: every enemy and turret in range dies and the
    // enemies' bullets go, in the next played frame, which clears it again.
    int killFlag = 0;
    int hitX = 0;
    int hitY = 0;

    StagePauseMenu menu;
    bool menuMade = false;
    CStageBackground background;
    std::unique_ptr<IStageScrollBackground> scroll;
    double parallax = 0.0;
    int black = 0;

    bool leaving = false;
    int fade = 0;
    ActiveStageRecord active = {-1, nullptr, nullptr};

    StageRecord() {
        ResetPool(walkers, 0, 0, walkers[0].hitPoints);
        ResetPool(chintons, 128, 128, 100);
        ResetPool(hamushiShots, 64, 64, 50);
        ResetPool(watadamas, 0, 0, 100);
        ResetPool(sekitos, 0, 0, 100);
        ResetPool(armorDevils, 64, 64, 100);
        ResetPool(armorDevilLeaders, 64, 64, 200);
        ResetPool(fenwas, 128, 128, 300);
        ResetPool(stoneSnakes, 128, 256, 300);
        FillTable(walkers, tables[0]);
        FillTable(chintons, tables[1]);
        FillTable(hamushiShots, tables[2]);
        FillTable(watadamas, tables[3]);
        FillTable(sekitos, tables[4]);
        FillTable(armorDevils, tables[5]);
        FillTable(armorDevilLeaders, tables[6]);
        FillTable(fenwas, tables[7]);
        FillTable(stoneSnakes, tables[8]);
        for (EffectSlot& slot : effects) ResetEffect(&slot);
        for (MovingFloor& floor : floors[0]) ResetElevator(&floor);
        for (MovingFloor& floor : floors[1]) ResetSinkingFloor(&floor);
        MakeFallingBlockTable(blocks[0]);
        MakeCrumblingBlockTable(blocks[1]);
        for (Item* table : {pits, dashZones}) {
            for (int i = 0; i < kPitCount; ++i) table[i].x = table[i].y = table[i].altX = table[i].altY = -10000000;
        }
        std::fill(std::begin(sounds), std::end(sounds), -1);
        std::fill(std::begin(images), std::end(images), -1);
        InitPlayerRecord(&player);
        frame.jumpCount = 1;
    }
    ~StageRecord() { ReleaseMapObjects(); }

    double VerticalBase() const { return StageVerticalBase(entry->viewRow); }

    void ReleaseMapObjects() {
        for (ValueItem* item : recoveryItems) delete item;
        for (ValueItem* item : spellItems) delete item;
        for (GuideMessageBox* box : messageBoxes) delete box;
        recoveryItems.clear();
        spellItems.clear();
        messageBoxes.clear();
        messageBoxCells.clear();
    }

    PlayerGround Ground() {
        PlayerGround ground;
        ground.tiles = tiles;
        ground.positions = positions.data();
        ground.columns = entry->columns;
        ground.rows = entry->rows;
        ground.sideElevators = elevators;
        ground.sideElevatorCount = elevatorCount;
        ground.verticalBase = VerticalBase();
        ground.movingFloors[0] = floors[0];
        ground.movingFloors[1] = floors[1];
        ground.blockTables[0] = blocks[0];
        ground.blockTables[1] = blocks[1];
        return ground;
    }

    // Both planes -1, then each cell's screen x and map y.
    void RebuildPositionPlanes() {
        std::fill(positions.begin(), positions.end(), -1);
        int columns = entry->columns;
        for (int r = 0; r < entry->rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                int index = r * TileIndexWidth + c;
                positions[index] = static_cast<int>(c * 64 - player.scrollX);
                positions[kStagePlaneSize + index] = r * 64;
            }
        }
    }
};

// The stage clock as the guide boxes and map objects stop and start it.
class StageClock : public IStageClock {
public:
    void Pause() override { PlayTimer::Pause(&StagePlayTimer); }
    void Restart() override {
        StagePlayTimer.start = static_cast<uint32_t>(GetMillisecondCount());
        StagePlayTimer.paused = false;
    }
};
StageClock TheStageClock;

// The guide boxes a stage part places from its map: at most this many.
constexpr int kGuideMessageBoxSlots = 10;

void PlaceGuideMessageBox(StageRecord* s, int tile, int column, int row) {
    const char* file = GuideMessageBoxFileName(s->entry->mapIndex, tile);
    // A box tile without a scenario file of its own is skipped.
    if (file == nullptr) return;
    if (static_cast<int>(s->messageBoxes.size()) >= kGuideMessageBoxSlots) {
        WriteLogFormat("Guide message boxes beyond %d ignored\n", kGuideMessageBoxSlots);
        return;
    }
    Object::CSenarioObject* scenario = CreateSenarioObject(file);
    // A box whose scenario did not load is not placed: it could never open,
    // and touching it would only stop the clock.
    if (scenario == nullptr) {
        WriteLogFormat("Guide message box scenario %s did not load\n", file);
        return;
    }
    auto* box = new GuideMessageBox;
    box->scenario = scenario;
    box->x = column * 64;
    box->y = row * 64;
    box->useFirst = 1;
    s->messageBoxes.push_back(box);
    s->messageBoxCells.push_back(row * s->entry->columns + column);
}

void PlaceMapItem(StageRecord* s, int tile, int column, int row) {
    auto* item = new ValueItem;
    item->x = column * 64;
    item->y = row * 64;
    item->useFirst = 1;
    if (tile == kTileRecoveryItem) {
        item->value = kRecoveryValue;
        s->recoveryItems.push_back(item);
    } else {
        s->spellItems.push_back(item);
    }
}

void UpdateGuideMessageBoxes(StageRecord* s) {
    for (GuideMessageBox* box : s->messageBoxes) {
        if (box->Update(&TheStageClock) == 1 && box->scenario != nullptr) box->scenario->ClearFontObjectText();
        if (box->open) StageMessageActive = true;
    }
}

void DrawGuideMessageBoxes(StageRecord* s) {
    for (GuideMessageBox* box : s->messageBoxes) {
        if (!box->open || box->scenario == nullptr) continue;
        box->scenario->Draw();
        box->scenario->UpdateFrame();
    }
}

GimmickScroll ScrollOf(const PlayerRecord& p) {
    return GimmickScroll{p.scrollX - p.previousScrollX, p.scrollY - p.previousScrollY, p.scrollY};
}

void UpdateGimmicks(StageRecord* s, int stateAtStart) {
    PlayerRecord& p = s->player;
    GimmickScroll scroll = ScrollOf(p);
    for (auto& set : s->floors) {
        for (MovingFloor& floor : set) UpdateMovingFloors(&floor, &p.mapY, scroll);
    }
    GimmickMap map{s->tiles, s->positions.data(), s->entry->columns, s->entry->rows};
    GimmickBlockTables tables{s->blocks[0], s->blocks[1]};
    for (int i = 0; i < kGimmickBlockCount; ++i) {
        UpdateFallingBlock(&s->blocks[0][i], scroll, map, tables, &p, stateAtStart, s->playerShots, s->effects,
                           s->sounds);
        UpdateCrumblingBlock(&s->blocks[1][i], scroll, s->effects, s->sounds);
    }
    if (s->stageCode == 302) UpdateDestructionFront(&s->front, scroll, map, s->effects, s->sounds);
}

void ResetGimmicksAtRestart(StageRecord* s) {
    ResetUsedSinkingFloors(s->floors[1]);
    ResetBlocksAtRestart(s->blocks[0], s->blocks[1]);
}

// Removes entry `index` of a table of `count` entries: the later entries
// move down one place and the last becomes `empty`, so every later entry,
// the last included, is kept.
template <typename Entry>
void RemoveAndClose(Entry* table, int count, int index, const Entry& empty) {
    for (int j = index; j + 1 < count; ++j) table[j] = table[j + 1];
    table[count - 1] = empty;
}

// Each active floor removes the later floors of its set on the same cell,
// then is drawn.
void DrawFloors(MovingFloor* set, const MovingFloor& empty, const int* images) {
    for (int i = 0; i < kMovingFloorCount; ++i) {
        if (!set[i].active) continue;
        for (int j = i + 1; j < kMovingFloorCount;) {
            if (set[j].active && set[j].mapX == set[i].mapX && set[j].homeY == set[i].homeY) {
                RemoveAndClose(set, kMovingFloorCount, j, empty);
            } else {
                ++j;
            }
        }
        DrawMovingFloor(set[i], images);
    }
}

bool IsPlacedBlock(const GimmickBlock& block) { return block.kind == kBlockStanding || block.kind == kBlockBreaking; }

void DrawBlocks(GimmickBlock* table, const GimmickBlock& empty, bool crumbling, const int* images) {
    for (int i = 0; i < kGimmickBlockCount; ++i) {
        if (!IsPlacedBlock(table[i])) continue;
        for (int j = i + 1; j < kGimmickBlockCount;) {
            if (IsPlacedBlock(table[j]) && table[j].mapX == table[i].mapX && table[j].mapY == table[i].mapY) {
                RemoveAndClose(table, kGimmickBlockCount, j, empty);
            } else {
                ++j;
            }
        }
        if (crumbling) {
            if (table[i].kind == kBlockStanding) DrawCrumblingBlock(table[i], images);
        } else {
            DrawFallingBlock(table[i], images);
        }
    }
}

void DrawGimmicks(StageRecord* s) {
    MovingFloor emptyElevator;
    ResetElevator(&emptyElevator);
    MovingFloor emptySinking;
    ResetSinkingFloor(&emptySinking);
    DrawFloors(s->floors[0], emptyElevator, s->images);
    DrawFloors(s->floors[1], emptySinking, s->images);
    GimmickBlock emptyFalling;
    EmptyBlock(&emptyFalling);
    GimmickBlock neverPlaced;
    EmptyBlock(&neverPlaced);
    neverPlaced.kind = kNoObject;
    DrawBlocks(s->blocks[0], emptyFalling, false, s->images);
    DrawBlocks(s->blocks[1], neverPlaced, true, s->images);
}

void UpdateMapObjectsStep(StageRecord* s) {
    MapObjects objects;
    objects.goal = &s->goal.box;
    objects.restart = &s->restart;
    objects.pits = s->pits;
    objects.dashZones = s->dashZones;
    objects.recoveryItems = &s->recoveryItems;
    objects.spellItems = &s->spellItems;
    objects.messageBoxes = &s->messageBoxes;
    objects.tiles = s->tiles;
    objects.columns = s->entry->columns;
    objects.rows = s->entry->rows;
    objects.sinkingFloors = s->floors[1];
    UpdateMapObjects(&s->player, objects, s->enemyShots, s->playerShots, s->effects, s->sounds, &TheStageClock);
}

// ---- the scene's own steps --------------------------------------------------------

// The damage rule of the scene: the hit flag, 0..100, death at 0.
void TakeDamage(StageRecord* s, int damage) {
    ApplyDamage(&s->player, damage, s->sounds[kDamageSound]);
}

// Places the scene's things that tile values stand for.
void PlaceMapThings(StageRecord* s) {
    const int columns = s->entry->columns;
    CElevatorToSide* building = nullptr;
    bool elevatorsFull = false;
    for (int r = 0; r < s->entry->rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            int value = s->tiles[r * columns + c];
            switch (value) {
                case kTileElevatorLeft:
                    if (s->elevatorCount >= kSideElevatorCount) {
                        if (!elevatorsFull) WriteLogFormat("Side elevators beyond %d ignored\n", kSideElevatorCount);
                        elevatorsFull = true;
                        building = nullptr;
                        break;
                    }
                    building = &s->elevators[s->elevatorCount];
                    building->x = c * 64;
                    building->y = r * 64;
                    building->imageLeft = StageImageAt(s->images, 104);
                    building->speed = kSideElevatorSpeed;
                    building->runFrames = kSideElevatorRunFrames;
                    building->waitFrames = kSideElevatorWaitFrames;
                    break;
                case kTileElevatorMiddle:
                    if (building != nullptr) building->imageMiddle = StageImageAt(s->images, 105);
                    break;
                case kTileElevatorRight:
                    if (building != nullptr) {
                        building->imageRight = StageImageAt(s->images, 106);
                        building->active = true;
                        s->elevatorCount += 1;
                        building = nullptr;
                    }
                    break;
                case kTileRecoveryItem:
                case kTileSpellItem: PlaceMapItem(s, value, c, r); break;
                case kTileTurretFacingLeft:
                case kTileTurretFacingRight:
                case kTileInverseTurretH:
                case kTileInverseTurretI: {
                    auto turret = std::make_unique<CFixedBattery>(s->tiles, columns, s->entry->rows);
                    turret->facesLeft = value == kTileTurretFacingLeft;
                    turret->image = StageImageAt(s->images, value <= kTileTurretFacingRight ? 113 : 38);
                    turret->x = c * 64;
                    turret->y = r * 64;
                    turret->width = 64;
                    turret->height = 64;
                    turret->fireInterval = 180;
                    turret->bulletImage = StageImageAt(s->images, 114);
                    turret->bulletSpeedX = 4.0;
                    turret->bulletWidth = 64;
                    turret->bulletHeight = 64;
                    turret->bulletValue = 10;
                    s->turrets.push_back(std::move(turret));
                    break;
                }
                default:
                    if (value >= kFirstGuideBoxTile && value <= kLastGuideBoxTile) PlaceGuideMessageBox(s, value, c, r);
                    break;
            }
        }
    }
}

void SetBackgroundPieces(StageRecord* s) {
    const GoalRow* row = FindGoalRow(s->stageCode);
    bool transparent = s->stageCode != 1 && s->stageCode != 102;
    if (row == nullptr || s->stageCode == 3 || s->stageCode == 302 || s->stageCode == 5 || s->stageCode == 502) return;
    s->background.pieceImages = &s->images[row->releaseFirst];
    s->background.pieceCount = row->releaseCount;
    s->background.transparent = transparent;
}

void RestartClock() {
    StagePlayTimer.start = static_cast<uint32_t>(GetMillisecondCount());
    StagePlayTimer.paused = false;
}

// One played frame of the world, up to the charge; a dead player or one at
// the goal skips the movement and everything after it.
void RunWorld(StageRecord* s, const std::map<int, int>& held, int hitPointsAtStart, int stateAtStart) {
    PlayerRecord& p = s->player;
    // The counters of the pools the scene counts (not Chinton and Sekito).
    for (int t : {0, 2, 3, 5, 6, 7, 8}) {
        for (EnemyCharacter* e : s->tables[t])
            if (e->state != kEnemyFree && e->frameCounter < 1200) e->frameCounter += 1;
    }
    CountShotFrames(s->playerShots, s->enemyShots);
    if (s->mirelle.state == kEnemyDying) s->mirelle.frameCounter += 1;

    p.previousX = p.x;
    p.previousYRel = p.yRel;
    p.previousScrollX = p.scrollX;
    p.previousScrollY = p.scrollY;
    s->frame.onGround = false;
    s->frame.blocked = false;

    for (int i = 0; i < s->elevatorCount; ++i) s->elevators[i].Update();
    if (p.state == kPlayerDead || p.state == kPlayerGoal) return;

    PlayerGround ground = s->Ground();
    MovePlayerHorizontal(&p, held, ground, s->restart, &s->frame, s->effects, s->sounds);
    UpdatePlayerAttack(&p, held, &s->dollCount, &s->attackReady, s->sounds, s->playerShots, ground, &s->frame,
                       s->effects);
    MovePlayerVertical(&p, held, ground, s->restart, &s->frame, s->effects, s->sounds);
    ChangePlayerCharacter(&p, held, s->stageCode, s->effects, s->sounds, &TamselChargeFrames);

    EnemyStepContext context;
    context.player = &p;
    context.playerShots = s->playerShots;
    context.enemyShots = s->enemyShots;
    context.effects = s->effects;
    context.sounds = s->sounds;
    context.hitX = &s->hitX;
    context.hitY = &s->hitY;
    const bool kill = s->killFlag != 0;
    context.kill = kill;
    WalkGrid grid{s->tiles, s->positions.data(), s->entry->columns, s->entry->rows};
    int stepX = static_cast<int>(p.scrollX - p.previousScrollX);
    int stepY = static_cast<int>(p.scrollY - p.previousScrollY);
    for (int i = 0; i < kEnemyPoolSize; ++i) UpdateEnemiesOfKind(s->walkers, s->tables[0], i, context, grid);
    for (int i = 0; i < kEnemyPoolSize; ++i) UpdateEnemiesOfKind(s->chintons, s->tables[1], i, context);
    for (int i = 0; i < kEnemyPoolSize; ++i) UpdateEnemiesOfKind(s->hamushiShots, s->tables[2], i, context);
    for (int i = 0; i < kEnemyPoolSize; ++i) UpdateEnemiesOfKind(s->watadamas, s->tables[3], i, context, grid);
    for (int i = 0; i < kEnemyPoolSize; ++i) UpdateEnemiesOfKind(s->sekitos, s->tables[4], i, context);
    for (int i = 0; i < kEnemyPoolSize; ++i) UpdateEnemiesOfKind(s->armorDevils, s->tables[5], i, context);
    for (int i = 0; i < kEnemyPoolSize; ++i)
        UpdateEnemiesOfKind(s->armorDevilLeaders, s->tables[6], i, context, s->armorDevils);
    for (int i = 0; i < kEnemyPoolSize; ++i) UpdateEnemiesOfKind(s->fenwas, s->tables[7], i, context, stepX, stepY);
    for (int i = 0; i < kEnemyPoolSize; ++i) UpdateEnemiesOfKind(s->stoneSnakes, s->tables[8], i, context);
    UpdateMirelle(&s->mirelle, &p, s->playerShots, s->sounds, &s->hitX, &s->hitY, s->effects, kill,
                  p.scrollX - p.previousScrollX, p.scrollY - p.previousScrollY, s->enemyShots);
    for (const auto& turret : s->turrets)
        UpdateFixedBattery(turret.get(), &p, s->playerShots, s->effects, s->sounds, &s->hitX, &s->hitY, kill, kill,
                           stateAtStart);

    UpdateGimmicks(s, stateAtStart);

    ShotStepInputs shotInputs;
    shotInputs.sounds = s->sounds;
    shotInputs.tiles = ShotTileWindow{s->tiles, s->positions.data(), s->entry->columns, s->entry->rows};
    shotInputs.effects = s->effects;
    shotInputs.buttons = &held;
    shotInputs.dollCount = &s->dollCount;
    shotInputs.hangY = &s->hangY;
    shotInputs.clearFlag = kill ? 1 : 0;
    shotInputs.scrollDx = p.scrollX - p.previousScrollX;
    shotInputs.scrollDy = p.scrollY - p.previousScrollY;
    UpdateShots(s->playerShots, &p, s->enemyShots, shotInputs);
    for (int t : {0, 1, 2, 3, 5, 6, 7, 8}) {
        for (int i = 0; i < kEnemyPoolSize; ++i)
            CheckEnemyContact(i, s->tables[t], &p, &s->dollCount, s->sounds, s->effects);
    }
    CheckMirelleContact(&p, &s->mirelle, s->sounds, s->effects);
    CheckEnemyShotHits(&p, s->enemyShots, s->effects, s->sounds);
    if (p.state != kPlayerReturning) UpdateMapObjectsStep(s);
    s->killFlag = 0;

    for (const auto& turret : s->turrets) {
        CBatteryBullet* bullet = turret->FindHitBullet(&p, p.hitLeft, p.hitRight, p.hitTop, p.hitBottom);
        if (bullet == nullptr) continue;
        int x = 0;
        int y = 0;
        ComputeHitPoint(static_cast<int>(p.x) + p.hitLeft, static_cast<int>(p.screenY) + p.hitTop,
                        p.hitRight - p.hitLeft, p.hitBottom - p.hitTop, static_cast<int>(bullet->x - p.scrollX),
                        static_cast<int>(bullet->y - p.scrollY), bullet->width, bullet->height, &x, &y);
        PlaceEffectInTable(s->effects, x, y, 2);
        TakeDamage(s, bullet->value);
        turret->RemoveBullet(bullet);
    }

    if (s->stageCode == 302) HurtByDestructionFront(s->front, &p, s->sounds);
    PlayerStateInputs inputs;
    inputs.hitPointsAtStart = hitPointsAtStart;
    inputs.stateAtStart = stateAtStart;
    inputs.scrollStepX = p.scrollX - p.previousScrollX;
    inputs.scrollStepY = p.scrollY - p.previousScrollY;
    // A rising elevator has carried the player above the floor found before
    // it moved: standing on it is standing, not falling.
    inputs.onUpDownElevator = StandsOnUpDownElevator(s->floors[0]);
    inputs.frame = &s->frame;
    inputs.restart = &s->restart;
    inputs.playerShots = s->playerShots;
    if (ResolvePlayerState(&p, inputs, s->effects, s->sounds)) ResetGimmicksAtRestart(s);

    int charge = TamselChargeFrames;
    if (charge != 0 && charge % 30 == 0) {
        int kind = charge < 120 ? 103 : charge < 240 ? 107 : 106;
        PlaceEffectInTable(s->effects, static_cast<int>(p.x), static_cast<int>(p.screenY), kind);
        if (charge == 30 && p.state != kPlayerDead) PlaySoundHandle(s->sounds[kChargeSound], kPlayTypeBackground, 1);
    }
    if (charge == 0 && CheckSoundHandlePlaying(s->sounds[kChargeSound]) == 1) StopSoundHandle(s->sounds[kChargeSound]);
}

void DeathAndGoal(StageRecord* s) {
    PlayerRecord& p = s->player;
    if (p.state == kPlayerDead) {
        if (CheckSoundHandlePlaying(s->bgm) == 1) {
            SetActiveStateCallback(nullptr, nullptr);
            StopSoundHandle(s->bgm);
        }
        if (!s->leaving && p.stateFrames > 120) s->leaving = true;
    } else if (p.state == kPlayerGoal) {
        s->leaving = true;
    }
}

// What the tile pass starts in the scene's own tables.
class SceneTileHooks : public MapTileHooks {
public:
    explicit SceneTileHooks(StageRecord* s) : s_(s) {}
    void StartPit(int index, int x, int y) override { Arm(&s_->pits[index], x, y); }
    void StartDashZone(int index, int x, int y) override { Arm(&s_->dashZones[index], x, y); }
    void StartMovingFloor(int set, int x, int y, int mapX, int mapY) override {
        for (MovingFloor& floor : s_->floors[set]) {
            if (floor.active) continue;
            PlaceMovingFloor(&floor, x, y, mapX, mapY);
            return;
        }
    }
    void StartFallingBlock(int x, int y, int mapX, int mapY) override {
        for (GimmickBlock& block : s_->blocks[0]) {
            if (block.kind != kBlockEmpty) continue;
            PlaceBlock(&block, x, y, mapX, mapY);
            return;
        }
    }
    void StartCrumblingBlock(int x, int y, int mapX, int mapY) override {
        for (GimmickBlock& block : s_->blocks[1]) {
            if (block.kind > -100) continue;
            PlaceBlock(&block, x, y, mapX, mapY);
            return;
        }
    }
    bool GuideBoxFade(int cellIndex, double* ratio) override {
        for (size_t i = 0; i < s_->messageBoxes.size(); ++i) {
            if (s_->messageBoxCells[i] != cellIndex) continue;
            const GuideMessageBox& box = *s_->messageBoxes[i];
            *ratio = box.fadeStepLimit == 0 ? 1.0 : static_cast<double>(box.fadeStep) / box.fadeStepLimit;
            return true;
        }
        return false;
    }

private:
    static void Arm(Item* item, int x, int y) {
        item->x = item->altX = x;
        item->y = item->altY = y;
        item->useFirst = 1;
        item->active = true;
        item->spare[0] = 0;
    }
    StageRecord* s_;
};

void DrawFrame(StageRecord* s, bool worldStill, int stateAtStart) {
    PlayerRecord& p = s->player;
    int a = static_cast<int>(-p.scrollX);
    int b = static_cast<int>(192 - p.yRel);
    if (s->scroll != nullptr) s->scroll->Draw();
    s->background.Draw(a, b);
    if (!s->leaving) s->RebuildPositionPlanes();

    SceneTileHooks hooks(s);
    MapTilePass pass;
    pass.stageCode = s->stageCode;
    pass.rowOffset = s->entry->viewRow;
    pass.player = &p;
    pass.columns = s->entry->columns;
    pass.rows = s->entry->rows;
    pass.tiles = s->tiles;
    pass.enemies = MapTileEnemies{s->walkers,     s->chintons,          s->hamushiShots, s->watadamas, s->sekitos,
                                  s->armorDevils, s->armorDevilLeaders, s->fenwas,       s->stoneSnakes, &s->mirelle};
    pass.goal = &s->goal;
    pass.restart = &s->restart;
    pass.hooks = &hooks;
    pass.images = s->images;
    pass.playing = IsStagePlaying();
    DrawMapTiles(pass);

    for (int i = 0; i < s->elevatorCount; ++i) s->elevators[i].Draw(p.scrollX, p.scrollY);
    DrawGimmicks(s);
    for (const auto& turret : s->turrets) turret->Draw(p.scrollX, p.scrollY, true);
    for (auto& table : s->tables) {
        for (int i = 0; i < kEnemyPoolSize; ++i) DrawEnemy(table, i, &p, s->images);
    }
    if (s->mirelle.state != kEnemyFree) DrawMirelle(&s->mirelle, s->images);
    if (s->stageCode == 302) DrawDestructionFront(s->front, s->images);
    if (p.state != stateAtStart) p.stateFrames = 1;
    // Where character 3's arm caught counts only while she hangs or shoots
    // from it.
    if (p.state != kPlayerHovering && p.state != kPlayerHoverShot) s->hangY = 0;
    PlayerDrawInputs drawInputs;
    drawInputs.sounds = s->sounds;
    drawInputs.effects = s->effects;
    drawInputs.killFlag = &s->killFlag;
    drawInputs.hangY = s->hangY;
    drawInputs.playing = IsStagePlaying();
    DrawPlayerCharacter(&p, s->images, worldStill || s->leaving, drawInputs);
    DrawShots(s->playerShots, s->enemyShots, &p, s->images);
    SetBlendModeAndParam(kBlendModeAdd, 255);
    for (EffectSlot& slot : s->effects)
        DrawEffect(&slot, s->images, static_cast<int>(p.x), static_cast<int>(p.screenY), p.state, p.facing,
                   worldStill);
    SetBlendModeAndParam(kBlendModeNone, 255);
}

// What every exit after set-up gives back: the menu, the placed objects,
// the music and sounds, the tile grid, the callback.
void ReleaseStage(StageRecord* s) {
    if (s->menuMade) ReleaseStagePauseMenu(&s->menu);
    s->menuMade = false;
    s->ReleaseMapObjects();
    s->turrets.clear();
    if (s->bgm != -1) StopSoundHandle(s->bgm);
    ReleaseStageSoundEffects();
    s->tileGrid.reset();
    s->tiles = nullptr;
    SetActiveStateCallback(nullptr, nullptr);
    SetDrawBrightnessRGB(255, 255, 255);
    SetBlendModeAndParam(kBlendModeNone, 255);
}

// The fade-in that places the first view, and the part's intro scenario.
int RunOpening(StageRecord* s, int retry) {
    PlayerRecord& p = s->player;
    StageEventRecords records;
    records.stageCode = s->stageCode;
    records.retry = retry != 0;
    records.musicHandle = s->bgm;
    records.player = &p;
    records.tiles = s->tiles;
    records.mapColumns = s->entry->columns;
    records.mapRows = s->entry->rows;
    records.scrollRow = s->entry->viewRow - 4;
    records.images = s->images;
    records.goal = &s->goal.box;
    records.restart = &s->restart;
    records.pits = s->pits;
    records.chintons = s->chintons;
    records.otherEnemies = s->walkers;
    records.recoveryItems = &s->recoveryItems;
    records.spellItems = &s->spellItems;
    records.messageBoxes = &s->messageBoxes;
    records.activeCallback = &OnActiveChangeStage;
    records.activeCallbackArgument = &s->active;
    int b = static_cast<int>(192 - p.yRel);
    records.drawBackgrounds = [s, b] {
        if (s->scroll != nullptr) {
            s->scroll->Update(0, b);
            s->scroll->Draw();
        }
        s->background.Draw(0, b);
    };
    records.drawPlayer = [s](const PlayerRecord&) {
        PlayerDrawInputs inputs;
        inputs.sounds = s->sounds;
        inputs.effects = s->effects;
        inputs.playing = false;
        DrawPlayerCharacter(&s->player, s->images, true, inputs);
    };
    int result = RunStageEvent(records);
    // The boxes the opening released on its way out are gone with their list.
    if (result == -1) s->messageBoxCells.clear();
    p.yRel = p.mapY - s->VerticalBase();
    s->restart.player = p;
    return result;
}

int RunStage(StageRecord* s, int stageCode, int hitPoints, int attackLevel, int retry) {
    const StageTableEntry* entry = s->entry;
    PlayerRecord& p = s->player;
    StagePaused = false;
    StagePauseMenuHidden = false;
    StageMessageActive = false;
    s->tileGrid = std::make_unique<int[]>(static_cast<size_t>(entry->rows) * entry->columns);
    s->tiles = s->tileGrid.get();

    s->menuMade = CreateStagePauseMenu(&s->menu);
    TileIndexWidth = entry->columns;
    p.scrollY = s->VerticalBase();

    if (LoadStageImages(s->images, stageCode) == -1) {
        ReleaseStage(s);
        return -1;
    }

    LoadStageMapFiles(s->tiles, &s->background, entry->mapIndex, entry->rows, entry->columns);
    SetBackgroundPieces(s);
    s->scroll.reset(CreateScrollBackground(stageCode, s->images));

    p.hitPoints = hitPoints;
    p.attackLevel = attackLevel;

    ClearTargetScreen();
    s->black = static_cast<int>(MakeScreenColorCode(0, 0, 0));
    LoadStageSounds(stageCode, s->sounds);
    PlaceMapThings(s);

    s->bgm = s->sounds[entry->musicEntry];
    s->active = ActiveStageRecord{s->bgm, &StagePlayTimer, &IsStagePlaying};
    if (RunOpening(s, retry) == -1) {
        ReleaseStage(s);
        return -1;
    }
    SetActiveStateCallback(&OnActiveChangeStage, &s->active);

    if (stageCode == 302) InitDestructionFront(&s->front, static_cast<int>(p.screenY) - 384);
    if (IsPartA(stageCode)) {
        StagePlayTimer.offset = 0;
        StagePlayTimer.milliseconds = 0;
        StagePlayTimer.seconds = 0;
        StagePlayTimer.minutes = 0;
    }
    RestartClock();

    Manager::CInputManager* input = Manager::CInputManager::GetInstance();
    Manager::CFPSManager* fps = Manager::CFPSManager::GetInstance();
    for (;;) {
        const std::map<int, int>& held = input->heldFrames;
        auto pressed = [&](int bit) {
            auto found = held.find(bit);
            return found != held.end() && found->second == 1;
        };
        if (CheckSoundHandlePlaying(s->bgm) != 1 && p.state != kPlayerDead) PlaySoundHandle(s->bgm, kPlayTypeLoop, 0);

        if (pressed(START) && !s->leaving && p.state != kPlayerDead) {
            if (StagePaused && StagePauseMenuHidden) {
                StagePauseMenuHidden = false;
            } else {
                StagePaused = !StagePaused;
                if (StagePaused) {
                    PlayTimer::Pause(&StagePlayTimer);
                } else {
                    StagePauseMenuHidden = false;
                    if (IsStagePlaying()) RestartClock();
                }
                PlaySoundHandle(s->sounds[kPauseSound], kPlayTypeBackground, 1);
            }
        }

        PlayTimer::Update(&StagePlayTimer);
        if (p.state != kPlayerWallSlide && CheckSoundHandlePlaying(s->sounds[kWallSlideSound]) == 1)
            StopSoundHandle(s->sounds[kWallSlideSound]);
        int hitPointsAtStart = p.hitPoints;
        int stateAtStart = p.state;
        if (IsStagePlaying()) p.stateFrames += 1;

        if (!StagePaused && p.state != kPlayerSpell) {
            StageMessageActive = false;
            UpdateGuideMessageBoxes(s);
        }

        if (IsStagePlaying()) StartPlayerSpell(&p, held);

        bool worldRuns = IsStagePlaying() && p.state != kPlayerSpell;
        if (worldRuns) {
            RunWorld(s, held, hitPointsAtStart, stateAtStart);
            DeathAndGoal(s);
        }

        if (StagePaused) {
            PauseMenuChoice choice = RunPauseMenuKeys(&s->menu, held, s->sounds);
            if (choice == PauseMenuChoice::Resume) {
                StagePaused = false;
                StagePauseMenuHidden = false;
                if (IsStagePlaying()) RestartClock();
                continue;
            }
            if (choice == PauseMenuChoice::Leave) {
                p.state = kPlayerLeftByMenu;
                s->leaving = true;
            }
        }

        if (IsStagePlaying()) {
            double step = p.scrollX - p.previousScrollX;
            if (p.x == kScrollHoldX) {
                s->parallax -= step / 2;
                if (s->parallax < -640 || s->parallax > 640) s->parallax = 0;
            }
            if (s->scroll != nullptr)
                s->scroll->Update(static_cast<int>(-p.scrollX), static_cast<int>(192 - p.yRel));
        }

        ClearTargetScreen();
        bool menuShown = StagePaused && !StagePauseMenuHidden;
        if (menuShown || p.state == kPlayerSpell) {
            SetDrawBrightnessRGB(128, 128, 128);
        } else {
            SetDrawBrightnessRGB(255, 255, 255);
        }
        if (s->leaving) {
            if (s->fade >= 255) break;
            SetDrawBrightnessRGB(255 - s->fade, 255 - s->fade, 255 - s->fade);
            s->fade += 4;
        }

        DrawFrame(s, !worldRuns, stateAtStart);
        DrawStageHud(p, s->images);
        DrawGuideMessageBoxes(s);
        if (menuShown && p.state != kPlayerLeftByMenu) DrawPauseMenu(s->menu, &StagePlayTimer);

        if (!fps->Update()) {
            ReleaseStage(s);
            return -1;
        }
        DrawFrameRateText(fps->framesPerSecond, s->black);
        PresentBackBuffer();
    }

    ReleaseStage(s);
    switch (p.state) {
        case kPlayerDead:
            PlayTimer::Pause(&StagePlayTimer);
            CarriedHitPoints = 100;
            CarriedAttackLevel = 1;
            LastCharacter = p.character;
            return kSceneLost;
        case kPlayerGoal: {
            PlayTimer::Pause(&StagePlayTimer);
            const GoalRow* row = FindGoalRow(stageCode);
            ReleaseStageImages(stageCode, row->releaseFirst, row->releaseCount);
            if (IsPartA(stageCode)) {
                CarriedHitPoints = p.hitPoints;
                CarriedAttackLevel = p.attackLevel;
            }
            return row->result;
        }
        default:
            return kSceneLeftByPause;
    }
}

}  // namespace

int StageGoalResult(int stageCode) {
    const GoalRow* row = FindGoalRow(stageCode);
    return row ? row->result : -1;
}

int RunStageScene(int stageCode, int hitPoints, int attackLevel, int retry) {
    CurrentStageCode = stageCode;
    TamselChargeFrames = 0;
    const StageTableEntry* entry = LookUpStageForScene(stageCode);
    if (entry == nullptr) return -1;
    // The position planes hold kStagePlaneSize cells; a larger map is
    // refused rather than written past them.
    if (static_cast<long>(entry->rows) * entry->columns > kStagePlaneSize) {
        WriteLogFormat("Stage map of %d x %d cells is larger than the position planes\n", entry->columns, entry->rows);
        MessageBoxA(nullptr, "マップデータの読み込みに失敗", nullptr, MB_ICONERROR);
        PostQuitMessage(1);
        return -1;
    }
    MapColumns = entry->columns;
    auto record = std::make_unique<StageRecord>();
    record->entry = entry;
    record->stageCode = stageCode;
    RunningStagePlayer = &record->player;
    int result = RunStage(record.get(), stageCode, hitPoints, attackLevel, retry);
    RunningStagePlayer = nullptr;
    return result;
}
