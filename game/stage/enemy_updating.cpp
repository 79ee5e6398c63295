// Running the enemy pools each frame, the damage an enemy takes by hit code
// (and what an enemy caught by the string becomes), and drawing the enemies and
// Mirelle.
#include "game/stage/enemy_updating.h"

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <string>

#include "framework/sound/sound_playback.h"
#include "game/stage/attack_hits.h"
#include "game/stage/player_character.h"

int PlaceEffect(EffectSlot* slot, int x, int y) {
    if (slot->x != -1 && slot->y != -1) return -1;
    slot->x = x;
    slot->y = y;
    return 0;
}

namespace {

// Per axis: from the box that starts first (box a on a tie), half its size
// plus half the distance to the other box's start, halved in integers.
int MeetingPoint(int aStart, int aSize, int bStart, int bSize) {
    if (bStart < aStart) return bStart + bSize / 2 + (aStart - bStart) / 2;
    return aStart + aSize / 2 + (bStart - aStart) / 2;
}

}  // namespace

void ComputeHitPoint(int ax, int ay, int aWidth, int aHeight, int bx, int by, int bWidth, int bHeight, int* xOut,
                     int* yOut) {
    *xOut = MeetingPoint(ax, aWidth, bx, bWidth);
    *yOut = MeetingPoint(ay, aHeight, by, bHeight);
}

void ApplyDamage(PlayerRecord* gauge, int damage, int soundHandle) {
    gauge->hitPoints -= damage;
    gauge->damaged = true;
    if (gauge->hitPoints < 0) {
        gauge->hitPoints = 0;
        gauge->state = kPlayerDead;
        gauge->damaged = false;
        return;
    }
    if (gauge->hitPoints < 1) {
        gauge->state = kPlayerDead;
        gauge->damaged = false;
        return;
    }
    if (gauge->hitPoints > 100) gauge->hitPoints = 100;
    PlaySoundHandle(soundHandle, kPlayTypeBackground, 1);
}

// ---------------------------------------------------------------------------
// Running the enemies.

namespace {

// What an enemy killed by the string becomes in the player's shot table.
struct CapturedKind {
    const char* name;
    int kind;
    int size;
    int boxSide;
};

constexpr CapturedKind kCapturedKinds[] = {
    {"ミレル", 1001, 128, 32},   {"羽虫_移動", 1002, 64, 20}, {"射撃型羽虫", 1003, 64, 20},
    {"綿玉", 1004, 64, 20},      {"鎧デビル", 1005, 64, 20},  {"鎧デビルリーダー", 1006, 64, 20},
    {"フェンワ", 1007, 128, 32},
};

constexpr int kLastCompactedIndex = kEnemyPoolSize - 1;

void PlayStageSound(const int* sounds, int index) {
    if (sounds != nullptr) PlaySoundHandle(sounds[index], kPlayTypeBackground, 1);
}

EffectSlot* FirstFreeEffect(EffectSlot* effects) {
    for (int i = 0; effects != nullptr && i < kEffectTableSize; ++i)
        if (effects[i].x == -1 || effects[i].y == -1) return &effects[i];
    return nullptr;
}

const CapturedKind* FindCapturedKind(const std::string& name) {
    for (const CapturedKind& captured : kCapturedKinds)
        if (name == captured.name) return &captured;
    return nullptr;
}

int KillEffectKind(const PlayerRecord* player, const int* sounds) {
    if (player->character == 2) {
        PlayStageSound(sounds, 7);
        return 1;
    }
    PlayStageSound(sounds, 3);
    if (player->character == 1) return 2;
    if (player->attackKind != 1) return 4;
    return 1;
}

// Resets object i and closes the pool up over it.
template <class T>
void RemoveFromPool(T pool[], int i, bool resetLast) {
    pool[i].Reset();
    for (int j = i; j < kLastCompactedIndex; ++j) pool[j] = pool[j + 1];
    if (resetLast) pool[kLastCompactedIndex].Reset();
}

// The shared frame of every pooled kind: leave the pool when out of range,
// else the damage step and, while alive, the kind's movement.
template <class T, class Move>
int StepPooledEnemy(T pool[], EnemyCharacter* table[], int index, const EnemyStepContext& context, bool damage,
                    bool resetLast, ShotSlot* damageShots, bool moveWhenDead, Move move) {
    if (index < 0 || index >= kEnemyPoolSize) return 0;
    T& enemy = pool[index];
    if (enemy.state == kEnemyFree) return 0;
    if (!IsEnemyInRange(table, index, context.player)) {
        RemoveFromPool(pool, index, resetLast);
        return 0;
    }
    if (damage)
        DamageEnemy(context.player, table, index, context.playerShots, context.sounds, context.hitX, context.hitY,
                    context.effects, context.kill, damageShots);
    if (enemy.hitPoints > 0 || moveWhenDead) move(enemy);
    return 0;
}

// The snake is seen while it rises, stands and sinks; submerged it is not.
void DrawStoneSnake(const EnemyCharacter* e, const int* images) {
    if (e->state == 1 || e->state == 2 || e->state == 4)
        DrawStoneSnakeEntrance(e->frameCounter, e->direction, e->screenX, e->screenY, images, e->state);
}

}  // namespace

void PlaceKillEffect(const PlayerRecord* player, int x, int y, EffectSlot* effects, const int* sounds) {
    const int kind = KillEffectKind(player, sounds);
    PlaceEffectInTable(effects, x, y, kind);
}

bool IsEnemyInRange(EnemyCharacter* const table[], int index, const PlayerRecord* player) {
    const EnemyCharacter* e = table[index];
    const double s = player->scrollX;
    if (s != 0.0) {
        if (e->screenX + e->width >= -400 && e->screenX < 1040) return true;
        return e->spawnX + e->width >= s && e->spawnX < s + 1040;
    }
    const bool offScreen = e->screenX + e->width < -400 || e->screenX > 1039;
    const bool offMap = e->spawnX + e->width < 0 || e->spawnX > 839;
    return !(offScreen && offMap);
}

int UpdateEnemiesOfKind(EnemyCharacter pool[], EnemyCharacter* table[], int index, const EnemyStepContext& context,
                        const WalkGrid& grid) {
    return StepPooledEnemy(pool, table, index, context, true, false, nullptr, false, [&](EnemyCharacter& e) {
        e.Walk(grid.tileKinds, grid.tilePositions, grid.columns, grid.rows);
    });
}

int UpdateEnemiesOfKind(Chinton pool[], EnemyCharacter* table[], int index, const EnemyStepContext& context) {
    return StepPooledEnemy(pool, table, index, context, false, false, nullptr, false, [&](Chinton& e) {
        Chinton::Act(&e, context.player, context.enemyShots, context.sounds);
    });
}

int UpdateEnemiesOfKind(HamushiShot pool[], EnemyCharacter* table[], int index, const EnemyStepContext& context) {
    return StepPooledEnemy(pool, table, index, context, true, true, nullptr, false, [&](HamushiShot& e) {
        HamushiShot::Act(&e, context.player, context.enemyShots, context.sounds);
    });
}

int UpdateEnemiesOfKind(Watadama pool[], EnemyCharacter* table[], int index, const EnemyStepContext& context,
                        const WalkGrid& grid) {
    return StepPooledEnemy(pool, table, index, context, true, false, context.enemyShots, false, [&](Watadama& e) {
        e.Walk(grid.tileKinds, grid.tilePositions, grid.columns, grid.rows);
    });
}

int UpdateEnemiesOfKind(Sekito pool[], EnemyCharacter* table[], int index, const EnemyStepContext& context) {
    return StepPooledEnemy(pool, table, index, context, false, false, nullptr, false, [&](Sekito& e) {
        Sekito::Act(&e, context.player, context.enemyShots, context.sounds);
    });
}

int UpdateEnemiesOfKind(ArmorDevil pool[], EnemyCharacter* table[], int index, const EnemyStepContext& context) {
    if (index >= 0 && index < kEnemyPoolSize && pool[index].state != kEnemyFree &&
        IsEnemyInRange(table, index, context.player) && pool[index].hitPoints <= 0 && pool[index].summoned) {
        // A summoned devil leaves no corpse.
        RemoveFromPool(pool, index, true);
        return 0;
    }
    return StepPooledEnemy(pool, table, index, context, true, true, nullptr, false, [&](ArmorDevil& e) {
        ArmorDevil::Act(&e, context.player, context.enemyShots, context.sounds);
    });
}

int UpdateEnemiesOfKind(ArmorDevilLeader pool[], EnemyCharacter* table[], int index,
                        const EnemyStepContext& context, ArmorDevil devils[]) {
    return StepPooledEnemy(pool, table, index, context, true, true, nullptr, false, [&](ArmorDevilLeader& e) {
        ArmorDevilLeader::Act(&e, context.player, devils, context.effects, context.sounds);
    });
}

int UpdateEnemiesOfKind(Fenwa pool[], EnemyCharacter* table[], int index, const EnemyStepContext& context,
                        int scrollStepX, int scrollStepY) {
    return StepPooledEnemy(pool, table, index, context, true, true, context.enemyShots, false, [&](Fenwa& e) {
        Fenwa::Act(&e, context.player, context.enemyShots, context.sounds, scrollStepX, scrollStepY);
    });
}

int UpdateEnemiesOfKind(StoneSnake pool[], EnemyCharacter* table[], int index, const EnemyStepContext& context) {
    return StepPooledEnemy(pool, table, index, context, true, true, nullptr, true, [&](StoneSnake& e) {
        StoneSnake::Act(&e, context.player, context.enemyShots, context.sounds);
    });
}

void ApplyEnemyDamage(EnemyCharacter* enemy, int code, int hitX, int hitY, EffectSlot* effects, const int* sounds) {
    enemy->hitPoints -= DamageForHitCode(code);
    enemy->hurt = true;
    if (PlaceEffectInTable(effects, hitX, hitY, 1)) PlayStageSound(sounds, 7);
}

int DamageEnemy(PlayerRecord* player, EnemyCharacter* const table[], int index, ShotSlot* playerShots,
                const int* sounds, int* hitX, int* hitY, EffectSlot* effects, bool kill, ShotSlot* enemyShots) {
    EnemyCharacter* e = table[index];
    if (e->hurt) {
        ++e->hurtCounter;
        if (e->hurtCounter > 20) {
            e->hurt = false;
            e->hurtCounter = 0;
        }
    }
    if (e->hitPoints > 0 && !e->hurt) {
        const int code = CheckShotHits(player, e->screenX, e->screenY, playerShots, sounds, e->hitLeft, e->hitTop,
                                       e->hitRight, e->hitBottom, player->state, hitX, hitY);
        if (code != kHitNone) {
            ApplyEnemyDamage(e, code, *hitX, *hitY, effects, sounds);
            if (e->hitPoints <= 0) {
                const bool snake = e->kindName == "石蛇";
                if (!snake) e->state = kEnemyDying;
                e->frameCounter = 0;
                EffectSlot* effect = FirstFreeEffect(effects);
                if (effect != nullptr) PlaceEffect(effect, *hitX, *hitY);
                const CapturedKind* captured = nullptr;
                ShotSlot* slot = nullptr;
                if (code == kHitString && !snake && e->kindName != "チントン" && e->kindName != "石塔") {
                    captured = FindCapturedKind(e->kindName);
                    slot = captured != nullptr ? FindFreeShot(playerShots) : nullptr;
                }
                if (slot != nullptr) {
                    slot->state = 2;
                    slot->kind = captured->kind;
                    slot->width = captured->size;
                    slot->height = captured->size;
                    slot->hitLeft = captured->boxSide;
                    slot->hitTop = captured->boxSide;
                    slot->hitRight = captured->size - captured->boxSide;
                    slot->hitBottom = captured->size - captured->boxSide;
                    slot->x = e->screenX;
                    slot->y = e->screenY;
                    slot->vx = 5;
                    slot->vy = 5;
                    player->state = kPlayerThrowing;
                    if (effect != nullptr) effect->kind = 12;
                    PlayStageSound(sounds, 21);
                } else {
                    const int kind = KillEffectKind(player, sounds);
                    if (effect != nullptr) effect->kind = kind;
                    if (e->kindName == "綿玉") {
                        if (ShotSlot* burst = FindFreeShot(enemyShots)) {
                            burst->state = 2;
                            burst->kind = 2;
                            burst->width = 32;
                            burst->height = 32;
                            burst->hitLeft = 0;
                            burst->hitTop = 0;
                            burst->hitRight = 32;
                            burst->hitBottom = 32;
                            burst->x = e->screenX + 16;
                            burst->y = e->screenY + 16;
                            AimAtPlayer(burst, player, e->screenX, e->screenY);
                        }
                    }
                }
                if (e->kindName == "フェンワ") {
                    for (int i = 0; enemyShots != nullptr && i < kShotTableSize; ++i) {
                        ShotSlot& shot = enemyShots[i];
                        if (shot.state != 2 || shot.kind != 2 || shot.vx != 0 || shot.vy != 0) continue;
                        shot.vx = 5 - std::rand() % 10;
                        shot.vy = 5 - std::rand() % 10;
                        if (shot.vx == 0 && shot.vy == 0) shot.vx = -1;
                        AimShot(&shot);
                    }
                }
            }
        }
    }
    if (kill) e->hitPoints = 0;
    if (e->state == kEnemyDying && e->frameCounter == 46) {
        std::srand(static_cast<unsigned>(std::time(nullptr)));
        if (std::rand() % 4 == 0) {
            e->state = kEnemyDyingSecond;
            e->frameCounter = 1;
            e->hitLeft = 0;
            e->hitTop = 0;
            e->hitRight = 64;
            e->hitBottom = 64;
        }
    }
    return 0;
}

int UpdateMirelle(Mirelle* mirelle, PlayerRecord* player, ShotSlot* playerShots, const int* sounds, int* hitX,
                  int* hitY, EffectSlot* effects, bool kill, double scrollStepX, double scrollStepY,
                  ShotSlot* enemyShots) {
    if (mirelle->state == kEnemyFree) return 0;
    if (mirelle->frameCounter > 0) {
        if (player->x == 256.0) mirelle->screenX -= static_cast<int>(scrollStepX);
        mirelle->screenY -= static_cast<int>(scrollStepY);
    }
    const double worldX = player->scrollX + player->x;
    const bool near = std::abs(player->mapY - mirelle->baseY) <= 480 && std::abs(worldX - mirelle->spawnX) <= 640;
    if (!near) {
        mirelle->Reset();
        return 0;
    }
    if (mirelle->hitPoints > 0 && (mirelle->state == 2 || mirelle->state == 3)) {
        const int code = CheckShotHits(player, mirelle->screenX, mirelle->screenY, playerShots, sounds,
                                       mirelle->hitLeft, mirelle->hitTop, mirelle->hitRight, mirelle->hitBottom,
                                       player->state, hitX, hitY);
        if (code != kHitNone) {
            mirelle->hitPoints = 0;
            mirelle->state = kEnemyDying;
            mirelle->frameCounter = 0;
            PlaceKillEffect(player, *hitX, *hitY, effects, sounds);
        }
    }
    if (kill) mirelle->hitPoints = 0;
    if (mirelle->hitPoints > 0) {
        Mirelle::Act(mirelle, player, enemyShots, sounds);
        if ((mirelle->state == 2 && mirelle->frameCounter == 1) || (mirelle->state == 1 && mirelle->frameCounter == 121))
            PlaceEffectInTable(effects, mirelle->screenX + mirelle->width / 2, mirelle->screenY + mirelle->height / 2,
                               3);
    }
    return 0;
}

int DrawEnemy(EnemyCharacter* const table[], int index, const PlayerRecord* player, const int* images) {
    EnemyCharacter* e = table[index];
    if (e->state == kEnemyFree) return 0;
    for (int j = index + 1; j < kLastCompactedIndex; ++j) {
        if (table[j]->spawnX != e->spawnX || table[j]->spawnY != e->spawnY) continue;
        table[j]->Reset();
        for (int k = j; k < kLastCompactedIndex; ++k) *table[k] = *table[k + 1];
    }
    e->screenX = static_cast<int>(e->spawnX - player->scrollX + e->offsetX);
    e->screenY = static_cast<int>(e->spawnY - player->scrollY + e->offsetY);
    const std::string& name = e->kindName;
    if ((name == "羽虫_移動" || name == "綿玉") && e->screenX < player->x && e->frameCounter == 1) e->direction = 2;

    const int c = e->frameCounter;
    if (e->hitPoints > 0) {
        if (e->hurt && c % 2 != 0) return 0;
        if (name == "羽虫_移動")
            DrawHamushiLook(c, e->direction, e->screenX, e->screenY, images);
        else if (name == "綿玉")
            DrawWatadamaLook(c, e->direction, e->screenX, e->screenY, images);
        else if (name == "射撃型羽虫")
            DrawHamushiShotLook(c, e->direction, e->screenX, e->screenY, images);
        else if (name == "鎧デビル")
            DrawArmorDevilLook(c, e->direction, e->screenX, e->screenY, images);
        else if (name == "鎧デビルリーダー")
            DrawArmorDevilLeaderLook(c, e->direction, e->screenX, e->screenY, images);
        else if (name == "チントン")
            DrawChintonLook(c, e->direction, e->screenX, e->screenY, images);
        else if (name == "フェンワ")
            DrawFenwaLook(c, e->direction, e->screenX, e->screenY, images);
        else if (name == "石蛇")
            DrawStoneSnake(e, images);
        return 0;
    }
    if (e->state == kEnemyDying)
        DrawFirstDeath(c, e->screenX - 32, e->screenY - 32, images);
    else if (e->state == kEnemyDyingSecond)
        DrawSecondDeath(c, e->screenX, e->screenY, images);
    else if (name == "石蛇")
        DrawStoneSnake(e, images);
    return 0;
}

int DrawMirelle(const Mirelle* mirelle, const int* images) {
    const int c = mirelle->frameCounter;
    if (mirelle->state == kEnemyDying) {
        DrawFirstDeath(c, mirelle->screenX, mirelle->screenY, images);
    } else if (mirelle->state == kEnemyDyingSecond) {
        DrawSecondDeath(c, mirelle->screenX, mirelle->screenY, images);
    } else if (mirelle->hitPoints > 0 && (mirelle->state == 2 || mirelle->state == 3)) {
        DrawMirelleLook(c, mirelle->direction, mirelle->screenX, mirelle->screenY, images);
    }
    return 0;
}
