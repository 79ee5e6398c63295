// The contact tests against the player: enemy bodies, Mirelle, the enemies'
// bullets and the attack-level items.
#include "game/stage/player_hits.h"

#include "framework/sound/sound_playback.h"
#include "game/stage/enemy_updating.h"
#include "game/stage/player_character.h"

namespace {

constexpr int kHurtSound = 9;
constexpr int kItemSound = 13;

struct Box {
    int left;
    int top;
    int right;
    int bottom;
};

Box PlayerBox(const PlayerRecord* player) {
    return Box{static_cast<int>(player->x + player->hitLeft), static_cast<int>(player->screenY + player->hitTop),
               static_cast<int>(player->x + player->hitRight), static_cast<int>(player->screenY + player->hitBottom)};
}

// Strict on three sides; the other box's top may sit on the player's bottom.
bool Touches(const Box& player, const Box& other) {
    return player.left < other.right && other.left < player.right && player.top < other.bottom &&
           other.top <= player.bottom;
}

bool CanBeHurt(const PlayerRecord* player) { return !player->damaged && !player->guarded; }

void Hurt(PlayerRecord* player, const Box& playerBox, const Box& other, int damage, int sparkKind,
          EffectSlot* effects, const int* sounds) {
    int x = 0;
    int y = 0;
    ComputeHitPoint(playerBox.left, playerBox.top, playerBox.right - playerBox.left, playerBox.bottom - playerBox.top,
                    other.left, other.top, other.right - other.left, other.bottom - other.top, &x, &y);
    PlaceEffectInTable(effects, x, y, sparkKind);
    ApplyDamage(player, damage, sounds != nullptr ? sounds[kHurtSound] : -1);
}

Box EnemyBox(const EnemyCharacter* e) {
    return Box{e->screenX + e->hitLeft, e->screenY + e->hitTop, e->screenX + e->hitRight, e->screenY + e->hitBottom};
}

}  // namespace

int CheckEnemyContact(int index, EnemyCharacter* const table[], PlayerRecord* player, int* dollCount,
                      const int* sounds, EffectSlot* effects) {
    EnemyCharacter* e = table[index];
    if (e->state == kEnemyFree) return 0;
    const Box playerBox = PlayerBox(player);
    const Box body = EnemyBox(e);
    if (CanBeHurt(player) && e->hitPoints > 0 && Touches(playerBox, body)) {
        Hurt(player, playerBox, body, e->contactDamage, 1, effects, sounds);
        return 0;
    }
    if (e->state != kEnemyDyingSecond) return 0;
    const Box item{e->screenX + e->hitLeft, e->screenY + e->hitTop, e->screenX + e->width - e->hitLeft,
                   e->screenY + e->height - e->hitTop};
    if (!Touches(playerBox, item)) return 0;
    if (player->attackLevel < 3) ++player->attackLevel;
    PlaceEffectInTable(effects, static_cast<int>(player->x), static_cast<int>(player->screenY), 103);
    if (dollCount != nullptr) {
        if (player->attackLevel == 2) *dollCount = 3;
        if (player->attackLevel == 3) *dollCount = 4;
    }
    if (sounds != nullptr) PlaySoundHandle(sounds[kItemSound], kPlayTypeBackground, 1);
    e->state = kEnemyDying;
    e->frameCounter = 50;
    return 0;
}

int CheckMirelleContact(PlayerRecord* player, const Mirelle* mirelle, const int* sounds, EffectSlot* effects) {
    if (!CanBeHurt(player) || mirelle->hitPoints <= 0 || (mirelle->state != 2 && mirelle->state != 3)) return 0;
    const Box playerBox = PlayerBox(player);
    const Box body = EnemyBox(mirelle);
    if (Touches(playerBox, body)) Hurt(player, playerBox, body, mirelle->contactDamage, 1, effects, sounds);
    return 0;
}

int CheckEnemyShotHits(PlayerRecord* player, const ShotSlot* enemyShots, EffectSlot* effects, const int* sounds) {
    for (int i = 0; enemyShots != nullptr && i < kShotTableSize && !player->guarded; ++i) {
        const ShotSlot& shot = enemyShots[i];
        if (shot.state != 2) continue;
        // A square inset by the left and top offsets: the width serves both axes.
        const Box bullet{shot.x + shot.hitLeft, shot.y + shot.hitTop, shot.x + shot.width - shot.hitLeft,
                         shot.y + shot.width - shot.hitTop};
        const Box playerBox = PlayerBox(player);
        if (Touches(playerBox, bullet) && !player->damaged)
            Hurt(player, playerBox, bullet, shot.power, shot.kind == 1 ? 1 : 2, effects, sounds);
    }
    return 0;
}
