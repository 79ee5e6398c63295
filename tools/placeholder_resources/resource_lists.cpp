#include "tools/placeholder_resources/resource_lists.h"

#include <cctype>
#include <cstdio>
#include <set>

#include "game/bossbattle/battle_assets.h"
#include "game/bossbattle/battle_sounds.h"
#include "game/stage/stage_images.h"
#include "game/stage/stage_sounds.h"
#include "game/stage/stage_table.h"
#include "tools/placeholder_resources/scenarios.h"

namespace placeholder {

namespace {

// Adds each name once.
class FileList {
public:
    explicit FileList(std::vector<ResourceFile>& files) : files_(files) {
        for (const ResourceFile& file : files_) seen_.insert(file.name);
    }
    void Add(const std::string& name, const std::string& label = std::string()) {
        if (seen_.insert(name).second) files_.push_back(ResourceFile{name, label});
    }
    // prefix + number + suffix for the numbers from..to, with `digits` digits.
    void AddNumbered(const std::string& prefix, int from, int to, int digits, const std::string& suffix) {
        for (int number = from; number <= to; ++number) {
            char text[16];
            std::snprintf(text, sizeof text, "%0*d", digits, number);
            Add(prefix + text + suffix);
        }
    }

private:
    std::vector<ResourceFile>& files_;
    std::set<std::string> seen_;
};

const char* const kPicture = "resource\\picture\\";

void AddFrontEndPictures(FileList& list) {
    const std::string p = kPicture;
    // Start-up, loading screen, opening and main menu.
    list.Add(p + "circle_logo.png");
    list.Add(p + "load\\now_loading.png");
    for (int page = 1; page <= 4; ++page) {
        char text[64];
        std::snprintf(text, sizeof text, "opening\\opening%02d_graph.png", page);
        list.Add(p + text);
        std::snprintf(text, sizeof text, "opening\\opening%02d_text.png", page);
        list.Add(p + text);
    }
    list.Add(p + "title\\mainmenu.png");
    list.Add(p + "selection\\select_menus.png");
    list.Add(p + "title\\mainmenu2.png");
    // How-to pages and options.
    list.AddNumbered(p + "howto\\howto", 1, 8, 2, ".png");
    list.Add(p + "howto\\arrow_left.png");
    list.Add(p + "howto\\arrow_right.png");
    for (const char* name : {"option_background", "option_cursor", "option_fulscoff", "option_fulscon", "option_menus",
                             "option_volbar"})
        list.Add(p + "config\\" + name + ".png");
    // Stage select.
    list.AddNumbered(p + "stageselect\\stageselect_stage", 1, 6, 2, ".png");
    list.Add(p + "stageselect\\stageselect_experiment_vsboss.png");
    list.Add(p + "stageselect\\stageselect_experiment.png");
    list.Add(p + "Figures.png");
    // Backgrounds of the scenario interludes.
    list.Add(p + "background\\stage6_background_for_senario.png");
    list.Add(p + "background\\stage1b\\stage1b_for_senario.png");
    list.Add(p + "background\\stage2b\\stage2b_for_senario.png");
    list.Add(p + "background\\stage2_background_for_senario.png");
    list.Add(p + "background\\stage3_background_for_senario.png");
    list.Add(p + "background\\stage4_background_for_senario.png");
    list.Add(p + "background\\stage5_background_for_senario.png");
    // Stage clear.
    list.Add(p + "stage_clear\\background_stageclear.png");
    list.Add(p + "stage_clear\\earth.png");
    list.Add(p + "stage_clear\\gravoid_clear.png");
    list.AddNumbered(p + "stage_clear\\mission_clear\\mission_clear", 0, 59, 3, ".png");
    // Game over.
    list.AddNumbered(p + "gameover\\game_over", 0, 32, 3, ".png");
    list.Add(p + "playercharacter\\ressa\\down\\ressa_down012.png");
    list.Add(p + "playercharacter\\kolva\\down\\kolva_down020.png");
    list.Add(p + "playercharacter\\tamsel\\down\\tamsel_down012.png");
    list.Add(p + "playercharacter\\wendrik\\down\\wendrik_down012.png");
    // Boss-rush notice, explanation and collection.
    list.Add(p + "ending\\addBossButch\\bb_added_00.png");
    list.Add(p + "ending\\addBossButch\\bb_added_01.png");
    list.Add(p + "BossBattle\\ConsecutionBossBattle\\explain.png");
    list.Add(p + "BossBattle\\ConsecutionBossBattle\\collect.png");
}

// The intermission's 95-slot stand-by table, by slot.
void AddIntermissionPictures(FileList& list) {
    const std::string p = kPicture;
    const std::string standby = p + "BossBattle\\standby\\";
    std::vector<std::string> slots(95);
    slots[3] = p + "playercharacter\\ressa\\wait\\ressa_wait001.png";
    slots[4] = p + "playercharacter\\kolva\\wait\\kolva_wait001.png";
    slots[9] = p + "effect\\whiteflash.png";
    slots[10] = p + "playercharacter\\tamsel\\wait\\tamsel_wait001.png";
    slots[11] = standby + "transition_gate\\left_back.png";
    slots[12] = standby + "transition_gate\\left_top.png";
    slots[13] = standby + "transition_gate\\right_back.png";
    slots[14] = standby + "transition_gate\\right_top.png";
    char text[96];
    for (int i = 0; i < 30; ++i) {
        std::snprintf(text, sizeof text, "back_line\\back_line%03d.png", i);
        slots[15 + i] = standby + text;
    }
    slots[45] = standby + "beam_frame.png";
    for (int i = 0; i < 20; ++i) {
        std::snprintf(text, sizeof text, "robo_frame\\robo_frame%03d.png", i);
        slots[46 + i] = standby + text;
    }
    slots[66] = standby + "char_display\\char_display000.png";
    slots[67] = standby + "char_display\\ressa_text.png";
    slots[68] = standby + "char_display\\kolva_text.png";
    slots[69] = standby + "char_display\\tamsel_text.png";
    slots[70] = standby + "char_display\\wendrik_text.png";
    slots[71] = standby + "weapon_display\\weapon_display000.png";
    slots[72] = standby + "weapon_display\\weapon_sword.png";
    for (int i = 0; i < 20; ++i) {
        std::snprintf(text, sizeof text, "standby_text\\standby_text_%03d.png", i);
        slots[73 + i] = standby + text;
    }
    slots[93] = standby + "go_button\\go_button.png";
    slots[94] = standby + "go_button\\go_button_selected.png";
    for (int i = 0; i < 95; ++i)
        if (!slots[i].empty()) list.Add(slots[i], "standby " + std::to_string(i));
}

void AddFrontEndSounds(FileList& list) {
    for (const char* name : {"se_title_select", "se_title_enter", "se_title_cancel", "se_stage_tamsel_launch", "fire02"})
        list.Add(std::string("resource\\sound\\SE\\") + name + ".wav");
    for (const char* name : {"bgm_title", "bgm_talk", "bgm_stageclear2", "bgm_miss", "bgm_epilogue", "bgm_intermission",
                             "bgm_stage5_1"})
        list.Add(std::string("resource\\sound\\BGM\\") + name + ".ogg");
}

void AddScenarios(FileList& list) {
    const std::string s = "resource\\senario\\";
    for (const char* name : {"Stage1_senario1", "Stage1_senario3", "Stage1_senario4", "Stage1_senario5",
                             "Stage2_senario1", "Stage2_senario2", "Stage2_senario3", "Stage2_senario4",
                             "Stage3_senario0", "Stage3_senario1", "Stage3_senario2", "Stage3_senario3",
                             "Stage3_senario4", "Stage4_senario1", "Stage4_senario2", "Stage5_senario1",
                             "Stage5_senario2", "Stage5_senario3", "Stage6_senario1", "Stage6_senario2",
                             "bossbutch_tamsel_1", "bossbutch_tamsel_2", "bossbutch_tamsel_3", "bossbutch_tamsel_5",
                             "bossbutch_tamsel_6", "ending", "Stage1a_messagebox_1", "Stage1a_messagebox_2",
                             "Stage1a_messagebox_3", "Stage1a_messagebox_4", "Stage1b_messagebox_1",
                             "Stage2a_messagebox_1", "Stage2b_messagebox_1", "Stage2b_messagebox_2",
                             "Stage3a_messagebox_1", "Stage4a_messagebox_1"})
        list.Add(s + name + ".xml");
    list.Add(s + "staffroll.txt");
    for (const std::string& name : ScenarioResources()) list.Add(name);
}

void AddBattleFiles(FileList& list) {
    for (int bossId : {1, 2, 3, 5, 6}) {
        for (int position = 0; position < kBossBattleImageCount; ++position)
            if (const char* name = BossBattleImageName(bossId, position))
                list.Add(name, "battle " + std::to_string(position));
        list.Add(BossBattleStepSound(bossId), "battle sound 3");
    }
    for (int index = 0; index < kBossBattleSoundCount; ++index)
        list.Add(BossBattleSoundTable[index].name, "battle sound " + std::to_string(index));
    for (const char* name : RobotMovieNames) list.Add(name);
    list.Add(kBattlePauseMenuPicture);
}

}  // namespace

std::vector<ResourceFile> GameResourceFiles() {
    std::vector<ResourceFile> files;
    FileList list(files);
    AddFrontEndPictures(list);
    AddIntermissionPictures(list);
    AddFrontEndSounds(list);
    AddScenarios(list);
    AddBattleFiles(list);
    return files;
}

void AddStageFiles(std::vector<ResourceFile>& files, const std::vector<ResourceFile>& stageFiles) {
    FileList list(files);
    for (const ResourceFile& file : stageFiles)
        if (file.name.rfind("resource\\mapdata\\", 0) != 0) list.Add(file.name, file.label);
}

namespace {

std::vector<int> StageCodes() {
    std::vector<int> codes;
    int count = 0;
    const StageTableEntry* entries = StageTableEntries(&count);
    for (int i = 0; i < count; ++i) codes.push_back(entries[i].code);
    // The stage 4 part b list also serves code 701, which has no map.
    codes.push_back(701);
    return codes;
}

}  // namespace

std::vector<ResourceFile> StageFiles() {
    std::vector<ResourceFile> files;
    FileList list(files);
    for (int code : StageCodes()) {
        int length = 0;
        const char* const* names = StageImageList(code, &length);
        for (int position = 0; names != nullptr && position < length; ++position)
            if (names[position] != nullptr)
                list.Add(names[position], "stage " + std::to_string(code) + ":" + std::to_string(position));
    }
    int soundCount = 0;
    const SoundListEntry* sounds = StageSoundList(&soundCount);
    for (int index = 0; index < soundCount; ++index)
        list.Add(sounds[index].name, "stage sound " + std::to_string(index));
    for (int code : StageCodes()) {
        const char* first = nullptr;
        const char* second = nullptr;
        StageMusicPair(code, &first, &second);
        list.Add(first, "stage sound " + std::to_string(kStageFirstMusicEntry));
        list.Add(second, "stage sound " + std::to_string(kStageSecondMusicEntry));
    }
    for (int mapIndex = 1; mapIndex <= kStageMapCount; ++mapIndex) {
        for (int tile = kFirstGuideBoxTile; tile <= kLastGuideBoxTile; ++tile)
            if (const char* name = GuideMessageBoxFileName(mapIndex, tile)) list.Add(name);
        list.Add(StageMapFileName(mapIndex));
        list.Add(StageBackgroundFileName(mapIndex));
    }
    return files;
}

std::string HostPathOf(const std::string& root, const std::string& name) {
    std::string path = root;
    path += '/';
    for (char c : name) path += c == '\\' ? '/' : c;
    return path;
}

std::string ExtensionOf(const std::string& name) {
    const size_t dot = name.find_last_of('.');
    std::string extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

}  // namespace placeholder
