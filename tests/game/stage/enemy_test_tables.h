// Empty shot and effect tables and a player standing at a known place, for
// the tests of the stage's enemies, turrets and hits.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <functional>

#include "game/stage/effects.h"
#include "game/stage/player_character.h"
#include "game/stage/shot_table.h"

namespace enemytest {

struct StageTables {
    ShotSlot playerShots[kShotTableSize];
    ShotSlot enemyShots[kShotTableSize];
    EffectSlot effects[kEffectTableSize];
    PlayerRecord player;
    int sounds[43];
    int images[760];

    StageTables() {
        for (ShotSlot& slot : playerShots) {
            slot = ShotSlot{};
            ResetShot(&slot);
        }
        for (ShotSlot& slot : enemyShots) {
            slot = ShotSlot{};
            ResetShot(&slot);
        }
        for (EffectSlot& slot : effects) ResetEffect(&slot);
        for (int& sound : sounds) sound = -1;
        for (int& image : images) image = -1;
        player.x = 100.0;
        player.screenY = 200.0;
        player.mapY = 200.0;
    }

    int UsedEnemyShots() const {
        int used = 0;
        for (const ShotSlot& slot : enemyShots) used += slot.state != 0;
        return used;
    }
    int UsedEffects() const {
        int used = 0;
        for (const EffectSlot& slot : effects) used += slot.x != -1 && slot.y != -1;
        return used;
    }
    const EffectSlot* FirstEffect() const { return effects[0].x != -1 ? &effects[0] : nullptr; }
};

// Runs `call` until one run starts and ends in the same second of the clock
// and returns that second, so that a routine that seeds the random numbers
// from the time can be matched.
inline std::time_t InOneSecond(const std::function<void()>& call) {
    for (;;) {
        const std::time_t before = std::time(nullptr);
        call();
        if (std::time(nullptr) == before) return before;
    }
}

inline int SeededRand(std::time_t second) {
    std::srand(static_cast<unsigned>(second));
    return std::rand();
}

}  // namespace enemytest
