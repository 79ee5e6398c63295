// The placeholder tree the build writes: every file the game's tables and
// scenes name is there with that exact spelling, in the format its loader
// reads, and no file would be taken for another's alpha mask.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "game/bossbattle/battle_assets.h"
#include "game/bossbattle/battle_sounds.h"
#include "tools/placeholder_resources/resource_lists.h"
#include "tools/placeholder_resources/scenarios.h"

namespace {

namespace fs = std::filesystem;
using placeholder::HostPathOf;

const std::string kRoot = BRACKENFOLD_RESOURCE_DIR;

std::string Bytes(const std::string& name) {
    std::ifstream file(HostPathOf(kRoot, name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& name) { return fs::is_regular_file(HostPathOf(kRoot, name)); }

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

TEST(PlaceholderTreeTest, EveryNameOfTheGamesTablesIsThereAsSpelt) {
    std::vector<std::string> missing;
    for (const placeholder::ResourceFile& file : placeholder::GameResourceFiles())
        if (!Exists(file.name)) missing.push_back(file.name);
    for (int bossId : {1, 2, 3, 5, 6, 1000, 2000, 3000, 5000, 6000}) {
        for (int position = 0; position < kBossBattleImageCount; ++position)
            if (const char* name = BossBattleImageName(bossId, position))
                if (!Exists(name)) missing.push_back(name);
        if (!Exists(BossBattleStepSound(bossId))) missing.push_back(BossBattleStepSound(bossId));
    }
    for (const SoundListEntry& entry : BossBattleSoundTable)
        if (!Exists(entry.name)) missing.push_back(entry.name);
    EXPECT_TRUE(missing.empty()) << missing.size() << " missing, the first " << missing.front();
}

TEST(PlaceholderTreeTest, NoFileIsAnothersAlphaMask) {
    // The image loader takes "x_a.png" as the alpha of "x.png"; names are
    // matched without regard to letter case, as the game's file access does.
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(kRoot + "/resource"))
        if (entry.is_regular_file()) names.insert(Lower(entry.path().string()));
    ASSERT_GT(names.size(), 900u);
    for (const std::string& name : names) {
        const fs::path path(name);
        const std::string mask = (path.parent_path() / (path.stem().string() + "_a" + path.extension().string())).string();
        EXPECT_EQ(names.count(mask), 0u) << name << " has an alpha twin";
    }
}

// Width and height from a PNG's header.
std::pair<uint32_t, uint32_t> PngSize(const std::string& name) {
    const std::string bytes = Bytes(name);
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {0, 0};
    const auto word = [&](size_t at) {
        return (uint32_t(uint8_t(bytes[at])) << 24) | (uint32_t(uint8_t(bytes[at + 1])) << 16) |
               (uint32_t(uint8_t(bytes[at + 2])) << 8) | uint32_t(uint8_t(bytes[at + 3]));
    };
    return {word(16), word(20)};
}

TEST(PlaceholderTreeTest, EveryFileIsInTheFormatItsLoaderReads) {
    const std::string asfHeader("\x30\x26\xB2\x75\x8E\x66\xCF\x11", 8);
    std::vector<placeholder::ResourceFile> files = placeholder::GameResourceFiles();
    placeholder::AddStageFiles(files, placeholder::StageFiles());
    for (const placeholder::ResourceFile& file : files) {
        const std::string extension = placeholder::ExtensionOf(file.name);
        const std::string bytes = Bytes(file.name);
        if (extension == "png") {
            EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1A\n", 8)) << file.name;
        } else if (extension == "wav") {
            EXPECT_TRUE(bytes.compare(0, 4, "RIFF") == 0 && bytes.compare(8, 4, "WAVE") == 0) << file.name;
        } else if (extension == "ogg") {
            EXPECT_EQ(bytes.substr(0, 4), "OggS") << file.name;
        } else if (extension == "wmv") {
            EXPECT_EQ(bytes.substr(0, 8), asfHeader) << file.name;
        }
    }
}

TEST(PlaceholderTreeTest, SheetsHoldTheCellsTheScenesCutOut) {
    const struct {
        const char* name;
        uint32_t width, height;
    } sheets[] = {
        // Label, ten digits 14 apart from x 57, separator, two labels to x 324.
        {"resource\\picture\\Figures.png", 324, 20},
        // Main-menu cells of 128 x 32, menu plates of 384 x 64 down to y 512.
        {"resource\\picture\\selection\\select_menus.png", 512, 512},
        // 60 cells of 256 x 32, 16 to a column.
        {"resource\\picture\\load\\now_loading.png", 1024, 512},
        // The notice's 640 x 128 strips: 8 in the first picture, 5 in the second.
        {"resource\\picture\\ending\\addBossButch\\bb_added_00.png", 640, 1024},
        {"resource\\picture\\ending\\addBossButch\\bb_added_01.png", 640, 640},
        {"resource\\picture\\title\\mainmenu.png", 640, 480},
        {"resource\\picture\\background\\background_stage1.png", 640, 480},
    };
    for (const auto& sheet : sheets)
        EXPECT_EQ(PngSize(sheet.name), std::make_pair(sheet.width, sheet.height)) << sheet.name;
}

// Whether the script text is what the scenario player reads: CR LF lines,
// command and comment lines of ASCII, and text of two-byte Shift-JIS
// characters with the one-byte markers (space, '%', '@') between them.
void ExpectPlayableScript(const std::string& name, const std::string& script) {
    ASSERT_FALSE(script.empty()) << name;
    size_t at = 0;
    while (at < script.size()) {
        const size_t end = script.find("\r\n", at);
        ASSERT_NE(end, std::string::npos) << name << ": a line without CR LF";
        const std::string line = script.substr(at, end - at);
        ASSERT_EQ(line.find('\n'), std::string::npos) << name << ": a bare LF";
        if (!line.empty() && line[0] != '*' && line[0] != ';') {
            for (size_t i = 0; i < line.size();) {
                const uint8_t lead = uint8_t(line[i]);
                if (lead == ' ' || lead == '%' || lead == '@') {
                    ++i;
                    continue;
                }
                ASSERT_TRUE((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC))
                    << name << ": a one-byte character in the text: " << line;
                ASSERT_LT(i + 1, line.size()) << name;
                i += 2;
            }
        }
        at = end + 2;
    }
}

TEST(PlaceholderTreeTest, ScenariosNameFilesThatExistAndRunEveryCommand) {
    int scenarios = 0;
    for (const placeholder::ResourceFile& file : placeholder::GameResourceFiles()) {
        if (placeholder::ExtensionOf(file.name) != "xml") continue;
        ++scenarios;
        std::string xml = Bytes(file.name);
        TiXmlDocument document;
        document.Parse(xml.c_str());
        ASSERT_FALSE(document.Error()) << file.name << ": " << document.ErrorDesc();
        std::set<std::string> elements;
        std::string scriptName;
        for (TiXmlElement* top = document.FirstChildElement(); top; top = top->NextSiblingElement()) {
            elements.insert(top->Value());
            if (std::string(top->Value()) == "senario") scriptName = top->Attribute("file");
            for (TiXmlElement* child = top->FirstChildElement(); child; child = child->NextSiblingElement()) {
                elements.insert(child->Value());
                if (const char* used = child->Attribute("file")) {
                    EXPECT_TRUE(Exists(used)) << file.name << ": " << used;
                }
            }
        }
        for (const char* element : {"config", "senario", "font", "speed", "window", "stand_picture", "BGM", "SE"})
            EXPECT_EQ(elements.count(element), 1u) << file.name << " lacks " << element;
        ASSERT_TRUE(Exists(scriptName)) << scriptName;
        const std::string script = Bytes(scriptName);
        ExpectPlayableScript(scriptName, script);
        for (const char* command : {"*set window ", "*set picture ", "*set strpos ", "*wait ", "*fade in ", "*fade out ",
                                    "*bgm play", "*bgm pause", "*bgm resume", "*bgm stop", "*se play ", "\n;", "%\r\n",
                                    "@", " "})
            EXPECT_NE(script.find(command), std::string::npos) << scriptName << " lacks " << command;
    }
    EXPECT_EQ(scenarios, 36);
}

TEST(PlaceholderTreeTest, TheStaffRollHasAHeaderABodyAndPictures) {
    const std::string script = Bytes("resource\\senario\\staffroll.txt");
    for (const char* part : {"FontSize=", "FontThick=", "FontName=", "StringLeft=", "ScrollSpeed=", "StopWhenFinished=",
                             "BGColor=", "TextColor=", "\r\n*begin\r\n", "\r\n*wait,", "\r\n\\\r\n", "\r\n*end\r\n"})
        EXPECT_NE(script.find(part), std::string::npos) << part;
    // The font size comes before the font name, which creates the font.
    EXPECT_LT(script.find("FontSize="), script.find("FontName="));
    size_t at = 0;
    while ((at = script.find("*show,", at)) != std::string::npos) {
        const size_t comma = script.find(',', at + 6);
        EXPECT_TRUE(Exists(script.substr(at + 6, comma - at - 6)));
        at = comma;
    }
}

TEST(PlaceholderTreeTest, StageFilesJoinTheTreeExceptMaps) {
    std::vector<placeholder::ResourceFile> files = {{"resource\\sound\\SE\\b.wav", "first"}};
    placeholder::AddStageFiles(files, {{"resource\\picture\\a.png", "1:2"},
                                       {"resource\\mapdata\\map", ""},
                                       {"resource\\picture\\a.png", "1:3"},
                                       {"resource\\sound\\SE\\b.wav", "second"}});
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].label, "first");
    EXPECT_EQ(files[1].name, "resource\\picture\\a.png");
    EXPECT_EQ(files[1].label, "1:2");
}

}  // namespace
