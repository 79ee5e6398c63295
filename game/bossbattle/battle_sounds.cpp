// The battle's sound table and its loading; slot 3 takes the step sound of the
// boss being fought.
#include "game/bossbattle/battle_sounds.h"

#include "platform/user/user.h"

namespace {

constexpr const char* kArmSound = "resource\\sound\\SE\\se_stage_tamsel_arm.wav";
constexpr const char* kDobbinStepSound = "resource\\sound\\SE\\se_boss_dobbinstep.wav";
constexpr const char* kRobotWalkSound = "resource\\sound\\SE\\se_robo_walk.wav";

}  // namespace

SoundListEntry BossBattleSoundTable[kBossBattleSoundCount] = {
    {"resource\\sound\\BGM\\bgm_VSBoss.ogg", 0},
    {"resource\\sound\\SE\\se_robo_walk.wav", 1},
    {"resource\\sound\\SE\\se_stage_pause.wav", 1},
    {kArmSound, 1},
    {"resource\\sound\\SE\\se_robo_damage.wav", 1},
    {"resource\\sound\\SE\\se_stage_change.wav", 1},
    {"resource\\sound\\SE\\se_robo_scanner.wav", 1},
    {"resource\\sound\\SE\\se_stage_change.wav", 1},
    {"resource\\sound\\SE\\se_stage_kolva_swing.wav", 1},
    {"resource\\sound\\SE\\se_robo_explosion.wav", 1},
    {"resource\\sound\\SE\\se_stage_beam.wav", 1},
    {"resource\\sound\\SE\\se_stage_spell.wav", 1},
    {"resource\\sound\\SE\\se_stage_ressa_throw.wav", 1},
    {"resource\\sound\\SE\\se_stage_cannon.wav", 1},
    {"resource\\sound\\SE\\se_stage_kolva_swing.wav", 1},
    {"resource\\sound\\SE\\se_stage_tamsel_launch.wav", 1},
    {"resource\\sound\\SE\\se_stage_tamsel_impact.wav", 1},
    {"resource\\sound\\SE\\se_stage_tamsel_catch.wav", 1},
};

const char* BossBattleStepSound(int bossId) {
    switch (bossId) {
    case 1:
    case 2:
    case 1000:
    case 2000:
        return kArmSound;
    case 3:
    case 3000:
        return kDobbinStepSound;
    case 5:
    case 6:
    case 5000:
    case 6000:
        return kRobotWalkSound;
    default:
        return nullptr;
    }
}

int LoadBossBattleSounds(int bossId, int* handlesOut) {
    if (const char* step = BossBattleStepSound(bossId)) BossBattleSoundTable[3].name = step;
    // A handle the loader never reached stays -1 rather than whatever the
    // caller's table held.
    for (int i = 0; i < kBossBattleSoundCount; ++i) handlesOut[i] = -1;
    if (!LoadSoundsWithProgress(BossBattleSoundTable, handlesOut, kBossBattleSoundCount)) {
        MessageBoxA(nullptr, "Failed to load Stage1 Sound. This program will quit.", nullptr, MB_ICONERROR);
        PostQuitMessage(1);
        return 0;
    }
    return kBossBattleSoundCount;
}
