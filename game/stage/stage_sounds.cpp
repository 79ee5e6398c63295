// The stage's sound table, the music pair each stage code plays, and its
// loading.
#include "game/stage/stage_sounds.h"

#include "platform/user/user.h"

namespace {

const char kStage1FirstMusic[] = "resource\\sound\\BGM\\bgm_stage1_velhall.ogg";
const char kStage1SecondMusic[] = "resource\\sound\\BGM\\bgm_stage1_stagehall.ogg";

}  // namespace

// Entries 0 and 2 name the same file, and so do 15 and 18: each still keeps
// its own handle slot, and the sound manager counts the file twice.
SoundListEntry StageSoundTable[kStageSoundCount] = {
    {"resource\\sound\\SE\\death01.wav", 1},
    {"resource\\sound\\SE\\hit01.wav", 1},
    {"resource\\sound\\SE\\death01.wav", 1},
    {"resource\\sound\\SE\\death02.wav", 1},
    {"resource\\sound\\SE\\se_stage_ressa_spear.wav", 1},
    {"resource\\sound\\SE\\se_stage_ressa_throw.wav", 1},
    {"resource\\sound\\SE\\se_stage_beam.wav", 1},
    {"resource\\sound\\SE\\se_stage_blow.wav", 1},
    {"resource\\sound\\SE\\se_stage_change.wav", 1},
    {"resource\\sound\\SE\\se_stage_damage.wav", 1},
    {"resource\\sound\\SE\\se_stage_jump.wav", 1},
    {"resource\\sound\\SE\\se_stage_kolva_swing.wav", 1},
    {"resource\\sound\\SE\\se_stage_pause.wav", 1},
    {"resource\\sound\\SE\\se_stage_recover.wav", 1},
    {"resource\\sound\\SE\\se_stage_slash.wav", 1},
    {"resource\\sound\\SE\\se_stage_spell.wav", 1},
    {kStage1FirstMusic, 0},
    {"resource\\sound\\SE\\se_death.wav", 1},
    {"resource\\sound\\SE\\se_stage_spell.wav", 1},
    {"resource\\sound\\SE\\se_stage_kolva_slide.wav", 1},
    {"resource\\sound\\SE\\se_stage_kolva_wall.wav", 1},
    {"resource\\sound\\SE\\se_stage_ressa_micro.wav", 1},
    {"resource\\sound\\SE\\se_stage_tamsel_launch.wav", 1},
    {"resource\\sound\\SE\\se_stage_tamsel_impact.wav", 1},
    {"resource\\sound\\SE\\se_stage_wendrik_fire.wav", 1},
    {"resource\\sound\\SE\\se_stage_wendrik_blade.wav", 1},
    {"resource\\sound\\SE\\se_stage_tamsel_arm.wav", 1},
    {"resource\\sound\\SE\\se_stage_ressa_spell.wav", 1},
    {"resource\\sound\\SE\\se_stage_thrust.wav", 1},
    {"resource\\sound\\SE\\se_stage_kolva_spell.wav", 1},
    {kStage1SecondMusic, 0},
    {"resource\\sound\\SE\\kira01.wav", 1},
    {"resource\\sound\\SE\\se_stage_tamsel_spell.wav", 1},
    {"resource\\sound\\SE\\se_stage_door.wav", 1},
    {"resource\\sound\\SE\\se_stage_tamsel_catch.wav", 1},
    {"resource\\sound\\SE\\se_stage_dash.wav", 1},
    {"resource\\sound\\SE\\se_stage_wendrik_spell.wav", 1},
    {"resource\\sound\\SE\\se_stage_armordevil.wav", 1},
    {"resource\\sound\\SE\\se_stage_bullet.wav", 1},
    {"resource\\sound\\SE\\se_stage_wendrik_emerald.wav", 1},
    {"resource\\sound\\SE\\se_stage_tamsel_charge.wav", 1},
    {"resource\\sound\\SE\\se_stage_fallentower.wav", 1},
    {"resource\\sound\\SE\\se_boss_dobbinstep.wav", 1},
};

const SoundListEntry* StageSoundList(int* countOut) {
    if (countOut != nullptr) *countOut = kStageSoundCount;
    return StageSoundTable;
}

void StageMusicPair(int stageCode, const char** firstOut, const char** secondOut) {
    const char* first = kStage1FirstMusic;
    const char* second = kStage1SecondMusic;
    switch (stageCode) {
        case 2:
        case 202:
            first = "resource\\sound\\BGM\\bgm_stage2_1.ogg";
            second = "resource\\sound\\BGM\\bgm_stage2_2.ogg";
            break;
        case 3:
        case 302:
            first = "resource\\sound\\BGM\\bgm_stage3_1.ogg";
            second = "resource\\sound\\BGM\\bgm_stage3_2.ogg";
            break;
        case 4:
        case 402:
            first = "resource\\sound\\BGM\\bgm_stage4_1.ogg";
            second = "resource\\sound\\BGM\\bgm_stage4_2.ogg";
            break;
        case 5:
            // Stage 5 part a borrows stage 2's second music.
            first = "resource\\sound\\BGM\\bgm_stage5_1.ogg";
            second = "resource\\sound\\BGM\\bgm_stage2_2.ogg";
            break;
        default:
            break;
    }
    if (firstOut != nullptr) *firstOut = first;
    if (secondOut != nullptr) *secondOut = second;
}

int LoadStageSounds(int stageCode, int* handlesOut) {
    StageMusicPair(stageCode, &StageSoundTable[kStageFirstMusicEntry].name,
                   &StageSoundTable[kStageSecondMusicEntry].name);
    for (int i = 0; i < kStageSoundCount; ++i) handlesOut[i] = -1;
    if (!LoadSoundsWithProgress(StageSoundTable, handlesOut, kStageSoundCount)) {
        MessageBoxA(nullptr, "Failed to load Stage1 Sound. This program will quit.", nullptr, MB_ICONERROR);
        PostQuitMessage(1);
        return 0;
    }
    return kStageSoundCount;
}

void ReleaseStageSoundEffects() { ReleaseSounds(StageSoundTable, kStageSoundCount); }
