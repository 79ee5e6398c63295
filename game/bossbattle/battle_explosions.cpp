// The destruction sequence's schedule: more pairs of explosions as the frames
// go on, at random points over the robot without hit points, then the last
// blast.
#include "game/bossbattle/battle_explosions.h"

#include <cstdlib>
#include <initializer_list>

#include "game/bossbattle/battle_shots.h"

namespace {

// How many pairs of explosions go off at frame t.
int PairsAt(int t) {
    if (t >= 0 && t <= 200) {
        switch (t) {
        case 0:
        case 60:
        case 100:
        case 140:
        case 160:
        case 180:
        case 200: return t / 50;
        default: return 0;
        }
    }
    if (t >= 201 && t <= 419 && t % 10 == 0) return t / 50;
    return 0;
}

}  // namespace

int UpdateBossExplosions(PlayerRobot* player, BossRobot* boss, EffectSlot* effects, int t) {
    const int pairs = PairsAt(t);
    // The explosions go around the robot that has no hit points left, the
    // boss first.
    const bool onBoss = boss->hitPoints < 1;
    const bool onPlayer = !onBoss && player->hitPoints < 1;
    if (onBoss || onPlayer) {
        for (int pair = 0; pair < pairs; ++pair) {
            for (const int kind : {1, 101}) {
                int x = 0;
                int y = 0;
                if (onBoss) {
                    x = boss->screenX + 100 + std::rand() % 150;
                    y = boss->screenY + 40 + std::rand() % 200;
                } else {
                    x = player->screenX + 100 + std::rand() % 200;
                    y = player->screenY + 110 + std::rand() % 200;
                }
                PlaceBattleEffect(effects, x, y, kind);
            }
        }
    }
    if (t == 510) {
        if (player->hitPoints < 1)
            PlaceBattleEffect(effects, player->screenX + 128, player->screenY + 128, 102);
        else if (boss->hitPoints < 1)
            PlaceBattleEffect(effects, boss->screenX + 64, boss->screenY + 64, 102);
    }
    return 0;
}
