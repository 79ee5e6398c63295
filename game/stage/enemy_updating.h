// Running the stage's enemies, and the small routines the stage shares:
// damage to a hit-point gauge, placing an effect, the point where two boxes
// meet.
#pragma once

#include "game/stage/effects.h"
#include "game/stage/enemy_characters.h"
#include "game/stage/shot_table.h"

struct PlayerRecord;

// -1 when the slot is in use (both x and y set); else places it, 0.
int PlaceEffect(EffectSlot* slot, int x, int y);

// The point between two overlapping boxes where a hit is shown.
void ComputeHitPoint(int ax, int ay, int aWidth, int aHeight, int bx, int by, int bWidth, int bHeight, int* xOut,
                     int* yOut);

// Damage to a 0 to 100 gauge (the player's): a negative damage heals; at 0
// the player is dead. The sound plays while hit points remain.
void ApplyDamage(PlayerRecord* gauge, int damage, int soundHandle);

// What every enemy updater needs besides its pool: the player, both shot
// tables, the effects, the stage sounds, where the last hit point goes and
// the stage's kill flag (every enemy in range dies).
struct EnemyStepContext {
    PlayerRecord* player = nullptr;
    ShotSlot* playerShots = nullptr;
    ShotSlot* enemyShots = nullptr;
    EffectSlot* effects = nullptr;
    const int* sounds = nullptr;
    int* hitX = nullptr;
    int* hitY = nullptr;
    bool kill = false;
};

// The ground the walkers read: tile kinds and the two position planes.
struct WalkGrid {
    const int* tileKinds = nullptr;
    const int* tilePositions = nullptr;
    int columns = 0;
    int rows = 0;
};

// Whether the enemy at `index` of a pool's pointer table is near enough to
// the view to run; one that is not leaves the pool.
bool IsEnemyInRange(EnemyCharacter* const table[], int index, const PlayerRecord* player);

// One frame of the enemy at `index` of a pool (free objects are skipped).
// `table` holds a pointer to each object of the pool, in pool order. An enemy
// out of range is reset and the later ones move down one place.
int UpdateEnemiesOfKind(EnemyCharacter pool[], EnemyCharacter* table[], int index, const EnemyStepContext& context,
                        const WalkGrid& grid);
int UpdateEnemiesOfKind(Chinton pool[], EnemyCharacter* table[], int index, const EnemyStepContext& context);
int UpdateEnemiesOfKind(HamushiShot pool[], EnemyCharacter* table[], int index, const EnemyStepContext& context);
int UpdateEnemiesOfKind(Watadama pool[], EnemyCharacter* table[], int index, const EnemyStepContext& context,
                        const WalkGrid& grid);
int UpdateEnemiesOfKind(Sekito pool[], EnemyCharacter* table[], int index, const EnemyStepContext& context);
int UpdateEnemiesOfKind(ArmorDevil pool[], EnemyCharacter* table[], int index, const EnemyStepContext& context);
int UpdateEnemiesOfKind(ArmorDevilLeader pool[], EnemyCharacter* table[], int index,
                        const EnemyStepContext& context, ArmorDevil devils[]);
int UpdateEnemiesOfKind(Fenwa pool[], EnemyCharacter* table[], int index, const EnemyStepContext& context,
                        int scrollStepX, int scrollStepY);
int UpdateEnemiesOfKind(StoneSnake pool[], EnemyCharacter* table[], int index, const EnemyStepContext& context);

// The player's attacks against table[index]: the hurt countdown, damage,
// death, capture by the string and the chance of an attack-level item.
// `enemyShots` may be null (only the Watadama burst and the Fenwa release use
// it).
int DamageEnemy(PlayerRecord* player, EnemyCharacter* const table[], int index, ShotSlot* playerShots,
                const int* sounds, int* hitX, int* hitY, EffectSlot* effects, bool kill, ShotSlot* enemyShots);
void ApplyEnemyDamage(EnemyCharacter* enemy, int code, int hitX, int hitY, EffectSlot* effects, const int* sounds);

// The spark and sound of a kill, chosen by the player's character.
void PlaceKillEffect(const PlayerRecord* player, int x, int y, EffectSlot* effects, const int* sounds);

// Mirelle works in screen space and leaves after each 300-frame cycle.
int UpdateMirelle(Mirelle* mirelle, PlayerRecord* player, ShotSlot* playerShots, const int* sounds, int* hitX,
                  int* hitY, EffectSlot* effects, bool kill, double scrollStepX, double scrollStepY,
                  ShotSlot* enemyShots);

// Draws table[index] by its kind name; first removes later objects of the
// pool that stand on the same map cell.
int DrawEnemy(EnemyCharacter* const table[], int index, const PlayerRecord* player, const int* images);
int DrawMirelle(const Mirelle* mirelle, const int* images);
