// The records a battle scene keeps, set up as the scene sets them up, for
// the battle routines' tests.
#pragma once

#include "game/bossbattle/battle_records.h"
#include "game/stage/effects.h"
#include "game/stage/shot_table.h"

namespace battletest {

struct Battle {
    ShotSlot playerShots[kShotTableSize];
    ShotSlot bossShots[kShotTableSize];
    EffectSlot effects[kEffectTableSize];
    int sounds[18];
    PlayerRobot player;
    BossRobot boss;
    int farScroll = -320;
    int nearScroll = -320;
    int walkMode = 1;

    explicit Battle(int pilot = 1) {
        for (ShotSlot* table : {playerShots, bossShots}) {
            for (int i = 0; i < kShotTableSize; ++i) {
                table[i] = ShotSlot{};
                table[i].width = 32;
                table[i].height = 32;
                table[i].power = 10;
                table[i].startX = table[i].startY = table[i].arcTravel = table[i].arcOffset = -100000;
                table[i].kind = 2;
                table[i].hitLeft = table[i].hitTop = 5;
                table[i].hitRight = table[i].hitBottom = 27;
            }
        }
        for (EffectSlot& effect : effects) {
            ResetEffect(&effect);
        }
        for (int i = 0; i < 18; ++i) sounds[i] = -1;
        PresetPlayerRobot(player, pilot);
        PresetBossRobot(boss);
    }
};

// Flying (state 2) shots of a kind.
inline int CountShots(const ShotSlot* table, int kind) {
    int n = 0;
    for (int i = 0; i < kShotTableSize; ++i)
        if (table[i].state == 2 && table[i].kind == kind) ++n;
    return n;
}

inline const ShotSlot* FindShot(const ShotSlot* table, int kind) {
    for (int i = 0; i < kShotTableSize; ++i)
        if (table[i].state == 2 && table[i].kind == kind) return &table[i];
    return nullptr;
}

inline int CountEffects(const EffectSlot* effects, int kind) {
    int n = 0;
    for (int i = 0; i < kEffectTableSize; ++i)
        if (effects[i].x != -1 && effects[i].y != -1 && effects[i].kind == kind) ++n;
    return n;
}

inline const EffectSlot* FindEffect(const EffectSlot* effects, int kind) {
    for (int i = 0; i < kEffectTableSize; ++i)
        if (effects[i].x != -1 && effects[i].y != -1 && effects[i].kind == kind) return &effects[i];
    return nullptr;
}

// Every slot taken by something that is none of the battle's kinds.
inline void FillShots(ShotSlot* table) {
    for (int i = 0; i < kShotTableSize; ++i) {
        table[i].state = 1;
        table[i].kind = 9999;
    }
}

inline void FillEffects(EffectSlot* effects) {
    for (int i = 0; i < kEffectTableSize; ++i) {
        effects[i].x = 5000;
        effects[i].y = 5000;
        effects[i].kind = 9999;
    }
}

}  // namespace battletest
