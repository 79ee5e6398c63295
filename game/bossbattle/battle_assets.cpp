// The image lists of the five bosses (the positions every battle shares and
// each boss's own), loading one into the battle's handle table, and the robot
// movies.
#include "game/bossbattle/battle_assets.h"

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "game/framework/resource_managers.h"
#include "platform/user/user.h"

const char* RobotMovieNames[3] = {
    "resource\\movie\\robo_movie1.wmv",
    "resource\\movie\\robo_movie2.wmv",
    "resource\\movie\\robo_movie3.wmv",
};

namespace {

// The list of one boss, position by position; empty strings are empty
// positions.
using ImageList = std::vector<std::string>;

// Names are under "resource\picture\" unless they begin with "resource\".
void Put(ImageList& list, int position, const std::string& name) {
    list[position] = name.rfind("resource\\", 0) == 0 ? name : "resource\\picture\\" + name;
}

// Positions first, first + 1, ... take prefix + number + ".png" for the
// numbers from, from + step, ... up to and including to, each written with
// `digits` digits.
int PutNumbered(ImageList& list, int first, const std::string& prefix, int from, int to, int step, int digits) {
    int position = first;
    for (int number = from; number <= to; number += step) {
        char text[16];
        std::snprintf(text, sizeof text, "%0*d", digits, number);
        Put(list, position++, prefix + text + ".png");
    }
    return position;
}

void PutCommon(ImageList& list) {
    Put(list, 1, "BossBattle\\HPBar.png");
    Put(list, 2, "BossBattle\\cockpit.png");
    Put(list, 3, "BossBattle\\HPscale.png");
    PutNumbered(list, 4, "BossBattle\\Gravoid\\grav_walk\\grav_walk", 0, 20, 1, 2);
    PutNumbered(list, 25, "BossBattle\\Gravoid\\jump\\grav_jump", 0, 12, 1, 2);
    PutNumbered(list, 38, "BossBattle\\Gravoid\\grav_attack1\\grav_attack1", 0, 12, 1, 2);
    PutNumbered(list, 51, "BossBattle\\Gravoid\\grav_attack2\\grav_attack2", 0, 20, 1, 2);
    PutNumbered(list, 72, "BossBattle\\Gravoid\\grav_diffence\\grav_diffence", 0, 12, 1, 2);
    Put(list, 165, "BossBattle\\PsychicPower.png");
    PutNumbered(list, 166, "effect\\crosswave\\crosswave", 1, 12, 1, 3);
    Put(list, 178, "BossBattle\\tamselscan.png");
    Put(list, 179, "BossBattle\\weakpoint.png");
    Put(list, 180, "BossBattle\\Gravoid\\damage\\grav_damage01.png");
    PutNumbered(list, 181, "effect\\sphere\\sphere_hole\\sphere_hole", 1, 6, 1, 3);
    PutNumbered(list, 187, "effect\\flame\\flame", 1, 12, 1, 3);
    Put(list, 199, "effect\\ray\\damage_ray.png");
    Put(list, 200, "effect\\ray\\spell_ray.png");
    Put(list, 204, "barrage\\wendirobo_energy.png");
    Put(list, 205, "standpicture\\ressa\\ressa_stand.png");
    Put(list, 206, "background\\background_spell.png");
    Put(list, 207, "playercharacter\\ressa\\pippet\\attack_5A\\pippet_attack_5A005.png");
    PutNumbered(list, 208, "BossBattle\\option\\option", 1, 4, 1, 2);
    Put(list, 212, "barrage\\red.png");
    Put(list, 213, "standpicture\\kolva\\kolva_stand.png");
    Put(list, 214, "standpicture\\tamsel\\tamsel_stand.png");
    Put(list, 215, "standpicture\\wendrik\\wendrik_stand.png");
    PutNumbered(list, 216, "BossBattle\\cockpit\\cockpit_ressa_wait\\cockpit_ressa_wait", 1, 12, 1, 3);
    PutNumbered(list, 228, "BossBattle\\cockpit\\cockpit_kolva_wait\\cockpit_kolva_wait", 1, 12, 1, 3);
    PutNumbered(list, 240, "BossBattle\\cockpit\\cockpit_tamsel_wait\\cockpit_tamsel_wait", 1, 12, 1, 3);
    PutNumbered(list, 252, "BossBattle\\cockpit_console_", 1, 4, 1, 1);
    PutNumbered(list, 256, "BossBattle\\cockpit\\cockpit_ressa_attack\\cockpit_ressa_attack", 1, 12, 1, 3);
    PutNumbered(list, 268, "BossBattle\\cockpit\\cockpit_kolva_attack\\cockpit_kolva_attack", 1, 12, 1, 3);
    PutNumbered(list, 280, "BossBattle\\cockpit\\cockpit_tamsel_attack\\cockpit_tamsel_attack", 1, 12, 1, 3);
    Put(list, 292, "BossBattle\\cockpit\\cockpit_ressa_damage.png");
    Put(list, 293, "BossBattle\\cockpit\\cockpit_kolva_damage.png");
    Put(list, 294, "BossBattle\\cockpit\\cockpit_tamsel_damage.png");
    PutNumbered(list, 295, "effect\\robo_burst\\robo_burst_back", 0, 16, 1, 3);
    PutNumbered(list, 312, "effect\\robo_burst\\robo_burst", 0, 58, 2, 3);
    Put(list, 342, "effect\\solvane\\ray\\1\\ray 1_00000.png");
    // The wait frames of wendrik's seat are spelt "wedrik" in their names.
    PutNumbered(list, 350, "BossBattle\\cockpit\\cockpit_wendrik_wait\\cockpit_wedrik_wait", 1, 12, 1, 3);
    PutNumbered(list, 362, "BossBattle\\cockpit\\cockpit_wendrik_attack\\cockpit_wendrik_attack", 1, 12, 1, 3);
    Put(list, 374, "BossBattle\\cockpit\\cockpit_wendrik_damage.png");
    PutNumbered(list, 400, "effect\\jump_effect\\jump_effect", 1, 6, 1, 3);
    Put(list, 406, "effect\\sphere\\sphere_blue.png");
    Put(list, 407, "effect\\sphere\\sphere_hole\\sphere_hole005.png");
    PutNumbered(list, 408, "effect\\battery_effect\\battery_effect64_", 0, 6, 1, 3);
    Put(list, 415, "Figures.png");
    Put(list, 416, "selection\\boss_command.png");
}

constexpr const char* kGreenLaser = "effect\\laser\\laser_green02.png";

void PutBoss1(ImageList& list) {
    Put(list, 0, "background\\background_stage1.png");
    PutNumbered(list, 85, "BossBattle\\WendiRobo\\attack1\\wendirobo_attack1", 0, 12, 1, 2);
    PutNumbered(list, 98, "BossBattle\\WendiRobo\\attack2\\wendirobo_attack2", 0, 10, 1, 2);
    PutNumbered(list, 109, "BossBattle\\WendiRobo\\attack3\\wendirobo_attack3", 0, 21, 1, 2);
    PutNumbered(list, 131, "BossBattle\\WendiRobo\\attack3\\wendirobo_attack3", 23, 29, 1, 2);
    PutNumbered(list, 138, "BossBattle\\WendiRobo\\back\\wendirobo_back", 0, 12, 1, 2);
    PutNumbered(list, 151, "BossBattle\\WendiRobo\\walk\\wendirobo_walk", 0, 12, 1, 2);
    Put(list, 164, "background\\background_mountain.png");
    Put(list, 201, RobotMovieNames[0]);
    Put(list, 202, RobotMovieNames[1]);
    Put(list, 203, kGreenLaser);
}

void PutBoss2(ImageList& list) {
    Put(list, 0, "background\\background_stage2.png");
    PutNumbered(list, 85, "BossBattle\\Battleship\\attack3\\ship_attack3_", 1, 49, 4, 3);
    const int next = PutNumbered(list, 98, "BossBattle\\Battleship\\attack4\\ship_attack4_", 1, 55, 6, 3);
    PutNumbered(list, next, "BossBattle\\Battleship\\attack4\\ship_attack4_", 59, 59, 1, 3);
    PutNumbered(list, 109, "BossBattle\\Battleship\\attack2\\ship_attack2_", 1, 57, 2, 3);
    PutNumbered(list, 138, "BossBattle\\Battleship\\wait\\ship_wait", 1, 51, 2, 3);
    Put(list, 164, "background\\background_etc2.png");
    Put(list, 201, RobotMovieNames[1]);
    Put(list, 203, kGreenLaser);
    Put(list, 343, "enemy\\cannon\\Cannonball64_2.png");
}

void PutBoss3(ImageList& list) {
    Put(list, 0, "background\\background_stage3.png");
    PutNumbered(list, 85, "BossBattle\\dobbin\\attack1\\dobbin_attack1_", 1, 9, 1, 3);
    PutNumbered(list, 98, "BossBattle\\dobbin\\attack2\\dobbin_attack2_", 1, 6, 1, 3);
    PutNumbered(list, 109, "BossBattle\\dobbin\\attack3\\dobbin_attack3_", 1, 8, 1, 3);
    PutNumbered(list, 138, "BossBattle\\dobbin\\dash\\dobbin_dash", 1, 12, 1, 3);
    PutNumbered(list, 151, "BossBattle\\dobbin\\wait\\dobbin_wait", 1, 4, 1, 3);
    Put(list, 164, "background\\background_etc3.png");
    Put(list, 201, RobotMovieNames[1]);
    Put(list, 203, kGreenLaser);
    Put(list, 380, "effect\\damage_ring\\damage_ring_fire006.png");
}

void PutBoss5(ImageList& list) {
    Put(list, 0, "background\\background_stage5.png");
    int position = 85;
    for (int number = 0; number <= 14; ++number)
        if (number != 2 && number != 7)
            position = PutNumbered(list, position, "BossBattle\\ormund\\attack1\\ormund_attack1_", number, number, 1, 4);
    PutNumbered(list, 98, "BossBattle\\ormund\\attack2\\ormund_attack2_", 1, 11, 1, 4);
    PutNumbered(list, 109, "BossBattle\\ormund\\attack2\\ormund_attack2_", 1, 15, 1, 4);
    PutNumbered(list, 138, "BossBattle\\ormund\\walk\\ormund_walk_", 1, 15, 1, 4);
    Put(list, 164, "background\\background_etc5.png");
    Put(list, 201, RobotMovieNames[1]);
    Put(list, 203, "effect\\laser\\laser_red02.png");
    PutNumbered(list, 375, "playercharacter\\tamsel\\attack_5A\\rocket", 1, 12, 1, 3);
    PutNumbered(list, 387, "effect\\fire\\fire_", 0, 12, 1, 4);
}

void PutBoss6(ImageList& list) {
    Put(list, 0, "background\\background_stage6.png");
    PutNumbered(list, 85, "BossBattle\\DarkGravoid\\attack1\\attack1_", 0, 12, 1, 2);
    PutNumbered(list, 98, "BossBattle\\DarkGravoid\\diffence\\diffence", 6, 16, 1, 2);
    PutNumbered(list, 109, "BossBattle\\DarkGravoid\\attack2\\attack2_", 0, 20, 1, 2);
    PutNumbered(list, 138, "BossBattle\\DarkGravoid\\walk\\walk", 0, 20, 1, 2);
    Put(list, 164, "background\\background_etc6.png");
    Put(list, 201, RobotMovieNames[2]);
    Put(list, 203, kGreenLaser);
}

// 0 to 4 for the five bosses, -1 for an unknown id.
int BossSlot(int bossId) {
    switch (bossId) {
    case 1: case 1000: return 0;
    case 2: case 2000: return 1;
    case 3: case 3000: return 2;
    case 5: case 5000: return 3;
    case 6: case 6000: return 4;
    default: return -1;
    }
}

const ImageList& ListOf(int slot) {
    static const std::array<ImageList, 5> lists = [] {
        std::array<ImageList, 5> built;
        void (*const bosses[5])(ImageList&) = {PutBoss1, PutBoss2, PutBoss3, PutBoss5, PutBoss6};
        for (int i = 0; i < 5; ++i) {
            built[i].assign(kBossBattleImageCount, std::string());
            PutCommon(built[i]);
            bosses[i](built[i]);
        }
        return built;
    }();
    return lists[slot];
}

}  // namespace

bool IsBossBattleId(int bossId) { return BossSlot(bossId) >= 0; }

const char* BossBattleImageName(int bossId, int position) {
    const int slot = BossSlot(bossId);
    if (slot < 0 || position < 0 || position >= kBossBattleImageCount) return nullptr;
    const std::string& name = ListOf(slot)[position];
    return name.empty() ? nullptr : name.c_str();
}

int LoadBossBattleAssets(int bossId, int* images) {
    // An empty position must never hold a stale handle of an earlier battle.
    for (int i = 0; i < kBossBattleImageCount; ++i) images[i] = -1;
    if (!IsBossBattleId(bossId)) return 0;
    CNowLoadingDrawer::GetInstance()->visible = true;
    const char* names[kBossBattleImageCount];
    for (int i = 0; i < kBossBattleImageCount; ++i) names[i] = BossBattleImageName(bossId, i);
    if (!LoadTexturesWithProgress(names, nullptr, images, kBossBattleImageCount)) {
        MessageBoxA(nullptr, "Failed to load Image. This program will quit.", nullptr, MB_ICONERROR);
        PostQuitMessage(1);
        return -1;
    }
    return 0;
}

void ReleaseRobotMovies() {
    for (const char* name : RobotMovieNames)
        if (name != nullptr) Manager::CTextureManager::GetInstance()->Release(name);
}

int BossBattleImage(const int* images, int position) {
    if (position < 0 || position >= kBossBattleImageCount) return -1;
    return images[position];
}
