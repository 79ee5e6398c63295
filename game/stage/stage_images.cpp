// The stages' image lists: runs of numbered files by position, the list each
// stage code uses, and loading and releasing them.
#include "game/stage/stage_images.h"

#include <cassert>
#include <cstdio>
#include <deque>
#include <map>
#include <string>

#include "game/framework/resource_managers.h"
#include "platform/user/user.h"

namespace {

// The eight lists; codes that share a list share its bit.
enum ListBits : unsigned {
    kList1 = 1u << 0,    // 1
    kList102 = 1u << 1,  // 102
    kList2 = 1u << 2,    // 2
    kList202 = 1u << 3,  // 202
    kList3 = 1u << 4,    // 3, 302
    kList4 = 1u << 5,    // 4
    kList402 = 1u << 6,  // 402, 701
    kList5 = 1u << 7,    // 5, 502
    kAllLists = 0xFFu,
};
constexpr int kListCount = 8;

// count names from position on: format takes number, number + step, ...;
// a format without a conversion is one name.
struct ImageRun {
    int position;
    unsigned lists;
    const char* format;
    int number;
    int count;
    int step;
};

#define PIC "resource\\picture\\"
#define PLAYER PIC "playercharacter\\"

// The images that the stage's drawing code names by position.
const ImageRun kNamedImages[] = {
    {0, kAllLists, PIC "text\\wendrik_spell.png", 0, 1, 1},
    {1, kAllLists, PIC "mapchip\\stage_ground02.png", 0, 1, 1},
    {3, kAllLists, PIC "text\\tamsel_spell.png", 0, 1, 1},
    {4, kAllLists, PIC "HPBar_Stage\\hp01.png", 0, 1, 1},
    {5, kAllLists, PIC "HPBar_Stage\\hp02.png", 0, 1, 1},
    {9, kAllLists, PIC "text\\kolva_spell.png", 0, 1, 1},
    {10, kAllLists, PLAYER "kolva\\attack2\\new_attack2\\kolva_attack2.png", 0, 1, 1},
    // Each stage's own backgrounds: the layout's images (the stretch its goal
    // releases) and the scroll backgrounds.
    {19, kList1, PIC "background\\stage1a\\stage1a_%02d.png", 0, 11, 1},
    {18, kList102, PIC "background\\stage1b\\stage1b_%02d.png", 1, 12, 1},
    {11, kList2, PIC "background\\stage2a\\stage2a_%02d.png", 0, 3, 1},
    {688, kList202, PIC "background\\stage2b\\stage2b_%02d.png", 0, 21, 1},
    {11, kList3, PIC "background\\stage3_background_forest.png", 0, 1, 1},
    {12, kList3, PIC "background\\stage3_background_trees.png", 0, 1, 1},
    {11, kList4, PIC "background\\stage4a\\stage4a_%02d.png", 1, 11, 1},
    {11, kList402, PIC "background\\stage4b\\stage4b_%02d.png", 0, 15, 1},
    {29, kList4 | kList402, PIC "background\\stage4_background_waterfall.png", 0, 1, 1},
    {11, kList5, PIC "background\\stage5_background_lake.png", 0, 1, 1},
    {12, kList5, PIC "background\\stage5_background_mountain.png", 0, 1, 1},
    {13, kList5, PIC "background\\stage5_background_wastes.png", 0, 1, 1},
    {379, kList2 | kList202, PIC "background\\stage2a_background_sky.png", 0, 1, 1},
    {14, kList5, PIC "mapchip\\stage5_hashira.png", 0, 1, 1},
    {15, kList5, PIC "mapchip\\stage5_hashira_top.png", 0, 1, 1},
    {16, kList5, PIC "mapchip\\stage5_hashira_roped_left.png", 0, 1, 1},
    {17, kList5, PIC "mapchip\\stage5_hashira_roped_center.png", 0, 1, 1},
    {18, kList5, PIC "mapchip\\stage5_hashira_roped_right.png", 0, 1, 1},
    {19, kList5, PIC "mapchip\\stage5_rope.png", 0, 1, 1},
    {30, kAllLists, PLAYER "kolva\\jump\\kolva_jump%03d.png", 1, 4, 1},
    {37, kAllLists, PIC "mapchip\\guide\\message_box.png", 0, 1, 1},
    {38, kAllLists, PIC "enemy\\battery\\battery006_inverse.png", 0, 1, 1},
    {40, kAllLists, PLAYER "ressa\\dash\\ressa_dash%03d.png", 1, 12, 1},
    {52, kAllLists, PLAYER "ressa\\jump\\ressa_jump%03d.png", 1, 4, 1},
    {56, kAllLists, PLAYER "ressa\\attack_5A\\ressa_attack_5A%03d.png", 1, 12, 1},
    {68, kAllLists, PIC "effect\\burst\\burst_sting\\burst_sting%03d.png", 1, 6, 1},
    {84, kAllLists, PIC "effect\\line_effect\\line_effect%03d.png", 1, 4, 1},
    {89, kAllLists, PIC "barrage\\spellart.png", 0, 1, 1},
    {90, kAllLists, PIC "barrage\\gear_center.png", 0, 1, 1},
    {92, kAllLists, PIC "enemy\\hamushi\\blue\\hamushi_blue%d.png", 1, 10, 1},
    {104, kAllLists, PIC "mapchip\\stage_move_floor_left.png", 0, 1, 1},
    {105, kAllLists, PIC "mapchip\\stage_move_floor_center.png", 0, 1, 1},
    {106, kAllLists, PIC "mapchip\\stage_move_floor_right.png", 0, 1, 1},
    {107, kAllLists, PIC "item\\recover_item.png", 0, 1, 1},
    {108, kAllLists, PIC "mapchip\\stage_sting.png", 0, 1, 1},
    {109, kAllLists, PIC "mapchip\\upsign.png", 0, 1, 1},
    {110, kAllLists, PIC "standpicture\\ressa\\ressa_stand.png", 0, 1, 1},
    {111, kAllLists, PIC "mapchip\\stoneblock.png", 0, 1, 1},
    {112, kList1, PIC "mapchip\\stonefloorwithcapet.png", 0, 1, 1},
    {113, kAllLists, PIC "enemy\\battery\\battery006.png", 0, 1, 1},
    {114, kAllLists, PIC "enemy\\cannon\\Cannonball64_2.png", 0, 1, 1},
    {115, kAllLists, PIC "effect\\dash_smoke\\dash_smoke_%04d.png", 1, 4, 1},
    {119, kAllLists, PIC "effect\\jump_effect\\jump_effect%03d.png", 1, 6, 1},
    {125, kAllLists, PIC "effect\\sphere\\sphere_hole\\sphere_hole%03d.png", 1, 6, 1},
    {131, kAllLists, PIC "HPBar_Stage\\Spell0.png", 0, 1, 1},
    {132, kAllLists, PIC "HPBar_Stage\\Spell1.png", 0, 1, 1},
    {133, kList102, PIC "mapchip\\chandelier.png", 0, 1, 1},
    {133, kList3 | kList402 | kList5, PIC "barrage\\Kabe.png", 0, 1, 1},
    {135, kAllLists, PIC "text\\ressa_spell.png", 0, 1, 1},
    {136, kAllLists, PIC "background\\background_spell.png", 0, 1, 1},
    {137, kAllLists, PIC "effect\\ring\\spell_circle\\spell_circle.png", 0, 1, 1},
    {138, kAllLists, PIC "effect\\solvane\\ray\\1\\ray 1_00030.png", 0, 1, 1},
    {139, kAllLists, PIC "barrage\\red.png", 0, 1, 1},
    {140, kAllLists, PIC "barrage\\knife.png", 0, 1, 1},
    {141, kAllLists, PIC "standpicture\\kolva\\kolva_stand.png", 0, 1, 1},
    {142, kAllLists, PIC "standpicture\\tamsel\\tamsel_stand.png", 0, 1, 1},
    {143, kAllLists, PIC "standpicture\\wendrik\\wendrik_stand.png", 0, 1, 1},
    {144, kAllLists, PLAYER "kolva\\wallkick\\kolva_wallkick001.png", 0, 1, 1},
    {145, kAllLists, PLAYER "ressa\\pippet\\move\\pippet_move%03d.png", 1, 12, 1},
    {157, kAllLists, PLAYER "tamsel\\wait\\tamsel_wait%03d.png", 1, 12, 1},
    {169, kAllLists, PLAYER "tamsel\\dash\\tamsel_dash%03d.png", 1, 12, 1},
    {181, kAllLists, PLAYER "tamsel\\jump\\tamsel_jump%03d.png", 1, 4, 1},
    {193, kAllLists, PLAYER "tamsel\\attack_5A\\tamsel_attack_5A%03d.png", 1, 12, 1},
    {205, kAllLists, PLAYER "tamsel\\attack_8A\\tamsel_attack_8A%03d.png", 1, 17, 1},
    {232, kAllLists, PLAYER "tamsel\\goal\\tamsel_goal%03d.png", 1, 12, 1},
    {244, kAllLists, PLAYER "wendrik\\wait\\wendrik_wait%03d.png", 1, 12, 1},
    {256, kAllLists, PLAYER "wendrik\\dash\\wendrik_dash%03d.png", 1, 12, 1},
    {268, kAllLists, PLAYER "wendrik\\attack_5A\\wendrik_attack_5A%03d.png", 1, 12, 1},
    {280, kAllLists, PLAYER "wendrik\\attack_8A\\wendrik_attack_8A%03d.png", 1, 12, 1},
    {292, kAllLists, PLAYER "wendrik\\emberveil\\wendrik_emberveil%03d.png", 1, 12, 1},
    {304, kAllLists, PLAYER "tamsel\\attack_5A\\rocket%03d.png", 1, 12, 1},
    {316, kAllLists, PIC "effect\\solvane\\flame\\flame_rgb%03d.png", 55, 11, -5},
    {327, kAllLists, PIC "effect\\solvane\\flame\\flame_rgb001.png", 0, 1, 1},
    {328, kAllLists, PIC "effect\\solvane\\slash\\slash3.png", 0, 1, 1},
    {329, kAllLists, PIC "effect\\fire\\fire_%04d.png", 1, 12, 1},
    {341, kAllLists, PIC "barrage\\gear_edge.png", 0, 1, 1},
    {342, kAllLists, PLAYER "tamsel\\attack_8A\\arm_stick.png", 0, 1, 1},
    {343, kAllLists, PLAYER "tamsel\\attack_8A\\tamsel_burabura.png", 0, 1, 1},
    {344, kAllLists, PIC "item\\attackLvUP001.png", 0, 1, 1},
    {345, kAllLists, PLAYER "kolva\\wait\\kolva_wait%03d.png", 1, 12, 1},
    {357, kAllLists, PLAYER "kolva\\dash\\kolva_dash%03d.png", 1, 12, 1},
    {369, kAllLists, PLAYER "ressa\\pippet\\puppetrush\\pippet_puppetrush%03d.png", 1, 6, 1},
    {375, kAllLists, PIC "HPBar_Stage\\AttackLv%d.png", 1, 3, 1},
    {378, kAllLists, PLAYER "kolva\\attack1\\new_attack1\\kolva_action_attack1.png", 0, 1, 1},
    {390, kAllLists, PLAYER "kolva\\goal\\kolva_goal%03d.png", 1, 12, 1},
    {402, kAllLists, PLAYER "ressa\\wait\\ressa_wait%03d.png", 1, 12, 1},
    {414, kAllLists, PLAYER "ressa\\goal\\ressa_goal%03d.png", 1, 12, 1},
    {426, kAllLists, PIC "enemy\\mirelle\\wait\\mirelle_wait%03d.png", 1, 12, 1},
    {438, kAllLists, PIC "enemy\\mirelle\\attack\\mirelle_attack%03d.png", 1, 12, 1},
    {450, kAllLists, PIC "enemy\\chinton\\chinton%03d.png", 1, 12, 1},
    {462, kAllLists, PLAYER "ressa\\down\\ressa_down%03d.png", 1, 12, 1},
    {476, kAllLists, PLAYER "kolva\\down\\kolva_down%03d.png", 1, 20, 1},
    {496, kAllLists, PLAYER "tamsel\\down\\tamsel_down%03d.png", 1, 12, 1},
    {508, kAllLists, PLAYER "wendrik\\down\\wendrik_down%03d.png", 1, 12, 1},
    {520, kAllLists, PIC "effect\\fog\\fog_blue%03d.png", 1, 12, 1},
    {532, kAllLists, PIC "effect\\smoke\\smoke_%03d.png", 1, 6, 1},
    {538, kAllLists, PIC "enemy\\hamushi\\brown\\hamushi_brown%d.png", 1, 10, 1},
    {580, kAllLists, PIC "effect\\kolva_spell\\kolva_spell%03d.png", 0, 12, 1},
    {593, kAllLists, PIC "effect\\star\\star_blue.png", 0, 1, 1},
    {594, kAllLists, PIC "effect\\star\\star_fire.png", 0, 1, 1},
    {595, kAllLists, PIC "effect\\star\\star_green.png", 0, 1, 1},
    {596, kAllLists, PIC "effect\\tamsel_spell\\tamsel_spell_%04d.png", 0, 61, 1},
    {657, kAllLists, PIC "mapchip\\goal\\goal%03d.png", 0, 6, 1},
    {663, kAllLists, PIC "effect\\broom\\broom%03d.png", 1, 6, 1},
    {669, kAllLists, PIC "effect\\battery_effect\\battery_effect64_%03d.png", 3, 4, 1},
    {673, kAllLists, PIC "barrage\\Kabe.png", 0, 1, 1},
    {674, kAllLists, PIC "barrage\\spellart.png", 0, 1, 1},
    {675, kAllLists, PIC "enemy\\boushituki_watadama\\watadama.png", 0, 1, 1},
    {676, kAllLists, PIC "enemy\\sekitou\\sekitou.png", 0, 1, 1},
    {677, kAllLists, PIC "enemy\\armor_devil1\\armor_devil1_stream.png", 0, 1, 1},
    {678, kAllLists, PIC "enemy\\armor_devil_leader\\armor_devil_leader_stream.png", 0, 1, 1},
    {681, kAllLists, PIC "barrage\\ice.png", 0, 1, 1},
    {682, kAllLists, PLAYER "tamsel\\attack_2A\\tamsel_attack_2A.png", 0, 1, 1},
    {683, kAllLists, PIC "barrage\\string.png", 0, 1, 1},
    {686, kAllLists, PIC "mapchip\\acceleration\\acceleration000.png", 0, 1, 1},
    // The stone snake lives in stage 5 only; stage 2 part b has its layout
    // layout images at these positions.
    {688, kList5, PIC "enemy\\stone_snake\\stand\\stone_snake_stand%02d.png", 1, 15, 1},
    {710, kAllLists, PIC "effect\\wendrik_spell\\wendrik_spell%03d.png", 1, 35, 1},
};

// The images the drawing code needs beyond those: files at positions that
// the drawing code uses without naming a file for this stage, and images it
// draws for which no position was set, placed once at positions no list uses
// otherwise (StageImage:: in the header names the second kind).
const ImageRun kSuppliedImages[] = {
    {112, kAllLists & ~kList1, PIC "mapchip\\stonefloorwithcapet.png", 0, 1, 1},
    {133, kList1 | kList2 | kList202 | kList4, PIC "barrage\\Kabe.png", 0, 1, 1},
    {134, kAllLists, PIC "mapchip\\stage_decoration.png", 0, 1, 1},
    {701, kAllLists & ~(kList202 | kList5), PIC "mapchip\\stage_falling_block.png", 0, 1, 1},
    {745, kList5, PIC "enemy\\stone_snake\\dive\\stone_snake_dive%02d.png", 1, 15, 1},
    {StageImage::kEnemyDeathFirst, kAllLists, PIC "effect\\enemy_death\\enemy_death1_%03d.png", 1, 10, 1},
    {StageImage::kEnemyDeathSecond, kAllLists, PIC "effect\\enemy_death\\enemy_death2_%03d.png", 1, 10, 1},
    {StageImage::kFenwa, kAllLists, PIC "enemy\\fenwa\\fenwa%03d.png", 1, 10, 1},
    {StageImage::kBlockBreak, kAllLists, PIC "mapchip\\block_break\\block_break%03d.png", 1, 12, 1},
    {StageImage::kDestructionFront, kAllLists, PIC "mapchip\\destruction_front\\destruction_front%03d.png", 1,
     12, 1},
    {StageImage::kWhiteFlash, kAllLists, PIC "effect\\whiteflash.png", 0, 1, 1},
    {StageImage::kBlack, kAllLists, PIC "background\\black.png", 0, 1, 1},
    {StageImage::kAttackLevelItem2, kAllLists, PIC "item\\attackLvUP002.png", 0, 1, 1},
    {StageImage::kAttackLevelItem3, kAllLists, PIC "item\\attackLvUP003.png", 0, 1, 1},
    {StageImage::kElevator, kAllLists, PIC "mapchip\\stage_elevator.png", 0, 1, 1},
    {StageImage::kSinkingFloor, kAllLists, PIC "mapchip\\stage_sinking_floor.png", 0, 1, 1},
    {StageImage::kCrumblingBlock, kAllLists, PIC "mapchip\\stage_crumbling_block.png", 0, 1, 1},
    {StageImage::kTamselDownSpin, kAllLists, PLAYER "tamsel\\down\\tamsel_down_spin.png", 0, 1, 1},
};

#undef PLAYER
#undef PIC

int ListLength(int list) { return (1u << list) == kList5 ? kStage5ImageListLength : kStageImageListLength; }

struct ImageLists {
    std::deque<std::string> names;
    const char* lists[kListCount][kStageImageTableSize] = {};

    ImageLists() {
        for (const ImageRun& run : kNamedImages) Add(run);
        for (const ImageRun& run : kSuppliedImages) Add(run);
    }

    void Add(const ImageRun& run) {
        for (int k = 0; k < run.count; ++k) {
            char name[260];
            std::snprintf(name, sizeof name, run.format, run.number + k * run.step);
            names.emplace_back(name);
            const int position = run.position + k;
            for (int list = 0; list < kListCount; ++list) {
                if ((run.lists & (1u << list)) == 0) continue;
                assert(position < ListLength(list) && lists[list][position] == nullptr);
                if (position < ListLength(list)) lists[list][position] = names.back().c_str();
            }
        }
    }
};

ImageLists& Lists() {
    static ImageLists lists;
    return lists;
}

// The list of a code, as an index into the eight lists, or -1.
int ListOfCode(int stageCode) {
    switch (stageCode) {
        case 1: return 0;
        case 102: return 1;
        case 2: return 2;
        case 202: return 3;
        case 3:
        case 302: return 4;
        case 4: return 5;
        case 402:
        case 701: return 6;
        case 5:
        case 502: return 7;
        default: return -1;
    }
}

struct Registration {
    const char** names;
    int length;
};

// Filled on a code's first use and never emptied.
std::map<int, Registration>& RegisteredLists() {
    static std::map<int, Registration> registered;
    return registered;
}

const Registration* Register(int stageCode) {
    auto& registered = RegisteredLists();
    auto found = registered.find(stageCode);
    if (found == registered.end()) {
        const int list = ListOfCode(stageCode);
        if (list < 0) return nullptr;
        found = registered.emplace(stageCode, Registration{Lists().lists[list], ListLength(list)}).first;
    }
    return &found->second;
}

}  // namespace

const char* const* StageImageList(int stageCode, int* countOut) {
    const int list = ListOfCode(stageCode);
    if (countOut != nullptr) *countOut = list < 0 ? 0 : ListLength(list);
    return list < 0 ? nullptr : Lists().lists[list];
}

int LoadStageImages(int* handles, int stageCode) {
    for (int i = 0; i < kStageImageTableSize; ++i) handles[i] = -1;
    const Registration* registration = Register(stageCode);
    if (registration == nullptr) return -1;
    if (!LoadTexturesWithProgress(registration->names, nullptr, handles, registration->length)) {
        MessageBoxA(nullptr, "Failed to load Image. This program will quit.", nullptr, MB_ICONERROR);
        PostQuitMessage(1);
        return -1;
    }
    return 0;
}

int ReleaseStageImages(int stageCode, int first, int count) {
    const Registration* registration = Register(stageCode);
    if (registration == nullptr || first < 0 || count < 0) return -1;
    if (first + count >= registration->length) return -1;
    ReleaseTextures(registration->names + first, count);
    return 0;
}

int StageImageAt(const int* handles, int position) {
    if (handles == nullptr || position < 0 || position >= kStageImageTableSize) return -1;
    return handles[position];
}
