// A short, seeded mutation run over every kind of file the game reads: the
// scenario XML and its script, the staff roll, a background layout, a map,
// the configuration and the save. A few hundred mutants of each, made from
// the files the placeholder generator writes (the configuration from one the
// options scene would write), each damaged in one to three places: above all
// a number swapped for an extreme one (beyond int, beyond float, not a
// number at all), else bytes changed, inserted or deleted, a line doubled or
// the end cut off. Each mutant is loaded and used as the game uses it.
// Nothing may crash or do what is undefined (the sanitizers watch); a load
// either succeeds with its values in their ranges or fails cleanly; and every
// object, reference and tracked block is given back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "framework/base/tracked_memory.h"
#include "framework/files/file_access_table.h"
#include "framework/files/file_read_interface.h"
#include "framework/graphics/draws/draw_observer.h"
#include "game/app/play_time.h"
#include "game/framework/game_config.h"
#include "game/framework/input_manager.h"
#include "game/framework/object_tree.h"
#include "game/framework/resource_managers.h"
#include "game/framework/senario_object.h"
#include "game/framework/staff_roll.h"
#include "game/stage/stage_background.h"
#include "game/stage/stage_table.h"
#include "platform/kernel/debug_output_sink.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/game/game_test.h"
#include "tools/placeholder_resources/scenarios.h"
#include "tools/placeholder_resources/stage_maps.h"

namespace {

using Manager::CPrimitive2DObjectManager;

constexpr int kMutants = 300;
const char kScenario[] = "resource\\senario\\Stage1a_messagebox_1.xml";

// ---- the damage -------------------------------------------------------------

// Numbers at and past the ends of every range a file's field has.
const char* const kExtremes[] = {
    "0",           "-1",          "1",           "255",        "256",        "480",         "481",
    "999",         "1000",        "16777216",    "16777217",   "-16777217",  "2147483647",  "2147483648",
    "-2147483648", "-2147483649", "4294967296",  "3000000000", "99999999999", "1e10",        "1e20",
    "-1e20",       "3e9",         "1e308",       "1e400",      "-1e400",     "1e-400",      "nan",
    "inf",         "-inf",        "0.5",         "-0.5",       "0x7fffffff", "99999999999999999999999999"};

const int32_t kExtremeWords[] = {INT32_MIN, INT32_MIN + 1, -1000, -1, 0, 1, 3, 6, 7, 10, 11, 59, 60, 99, 100, 999,
                                 1000, 0x7FFF, 0x10000, INT32_MAX - 1, INT32_MAX};

class Mutator {
public:
    explicit Mutator(uint32_t seed) : random_(seed) {}

    size_t Below(size_t n) { return n == 0 ? 0 : random_() % n; }

    std::string Text(std::string text) {
        const size_t damages = 1 + Below(3);
        for (size_t d = 0; d < damages; ++d) {
            const size_t kind = Below(10);
            if (kind < 6) {
                const std::vector<std::pair<size_t, size_t>> numbers = NumbersIn(text);
                if (numbers.empty()) continue;
                const auto [at, length] = numbers[Below(numbers.size())];
                text.replace(at, length, Below(4) == 0 ? RandomDigits() : kExtremes[Below(std::size(kExtremes))]);
            } else if (kind == 6 && !text.empty()) {
                static const char kSpecial[] = "0123456789-+.,=*;%@ \r\n\"<>/e";
                text[Below(text.size())] =
                    Below(2) == 0 ? kSpecial[Below(sizeof(kSpecial) - 1)] : static_cast<char>(random_());
            } else if (kind == 7) {
                std::string bytes;
                for (size_t i = 1 + Below(6); i > 0; --i) bytes += static_cast<char>(random_());
                text.insert(Below(text.size() + 1), bytes);
            } else if (kind == 8 && !text.empty()) {
                text.erase(Below(text.size()), 1 + Below(8));
            } else if (!text.empty()) {
                if (Below(3) == 0) {
                    text.resize(Below(text.size()));
                } else {
                    const size_t start = text.rfind('\n', Below(text.size()));
                    const size_t from = start == std::string::npos ? 0 : start + 1;
                    const size_t end = text.find('\n', from);
                    const size_t to = end == std::string::npos ? text.size() : end + 1;
                    text.insert(from, text.substr(from, to - from));
                }
            }
        }
        return text;
    }

    // 32-bit words swapped for extremes, bytes changed, the end cut off or
    // bytes added.
    std::string Words(std::string bytes) {
        const size_t damages = 1 + Below(3);
        for (size_t d = 0; d < damages; ++d) {
            const size_t kind = Below(8);
            if (kind < 5 && bytes.size() >= 4) {
                const size_t at = 4 * Below(bytes.size() / 4);
                const uint32_t word = static_cast<uint32_t>(kExtremeWords[Below(std::size(kExtremeWords))]);
                for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(word >> (8 * i));
            } else if (kind == 5 && !bytes.empty()) {
                bytes[Below(bytes.size())] = static_cast<char>(random_());
            } else if (kind == 6) {
                bytes.resize(Below(bytes.size() + 1));
            } else {
                for (size_t i = 1 + Below(40); i > 0; --i) bytes += static_cast<char>(random_());
            }
        }
        return bytes;
    }

private:
    // Where the text holds a number: a sign, digits and a fraction.
    static std::vector<std::pair<size_t, size_t>> NumbersIn(const std::string& text) {
        std::vector<std::pair<size_t, size_t>> numbers;
        for (size_t i = 0; i < text.size();) {
            if (text[i] < '0' || text[i] > '9') {
                ++i;
                continue;
            }
            size_t start = i;
            if (start > 0 && (text[start - 1] == '-' || text[start - 1] == '+')) --start;
            while (i < text.size() && ((text[i] >= '0' && text[i] <= '9') || text[i] == '.')) ++i;
            numbers.push_back({start, i - start});
        }
        return numbers;
    }

    std::string RandomDigits() {
        std::string digits = Below(3) == 0 ? "-" : "";
        for (size_t i = 1 + Below(20); i > 0; --i) digits += static_cast<char>('0' + Below(10));
        return digits;
    }

    std::mt19937 random_;
};

// ---- what is given back -------------------------------------------------------

// The live blocks of the tracked allocator, found from a block of our own:
// each header links to the one made before it, back to the list's head.
std::vector<std::pair<const void*, int>> LiveBlocks() {
    std::vector<std::pair<const void*, int>> blocks;
    void* probe = AllocMemory(1, "file_mutation_test", __LINE__);
    const MemoryBlockHeader* header = static_cast<MemoryBlockHeader*>(probe) - 1;
    for (header = header->fields.previous; header != nullptr && header->fields.previous != nullptr;
         header = header->fields.previous)
        blocks.push_back({header, header->fields.ID});
    FreeMemory(probe);
    return blocks;
}

// How many draws a mutant made, and whether a piece of a layout was drawn
// where it cannot be seen (a layout draws only pieces that reach the screen).
struct DrawReach {
    int draws = 0;
    bool beyondTheScreen = false;

    static DrawReach current;
    static void Observe(const ObservedGraphicDraw& draw) {
        ++current.draws;
        if (std::strcmp(draw.call, "DrawGraphicPart") != 0) return;
        const double x = draw.points[0], y = draw.points[1];
        if (x > 640 || y > 480 || x + draw.source[2] < 0 || y + draw.source[3] < 0) current.beyondTheScreen = true;
    }
};
DrawReach DrawReach::current;

class FileMutationTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        platform::Profile().fonts.testGlyphSource = true;
        ASSERT_TRUE(StartFramework());
        // Only where the draws go is kept: a mutant draws a great many.
        SetGraphicDrawObserver(&DrawReach::Observe);
        objects_ = CPrimitive2DObjectManager::GetInstance();
        objects_->CheckUnreleased();
        GetGameConfig();  // built once for the whole program
    }
    void TearDown() override {
        std::snprintf(DataFolderPath, sizeof(DataFolderPath), ".");
        std::snprintf(ConfigFilePath, sizeof(ConfigFilePath), "./config_ver_1.xml");
        *GetGameConfig() = GameConfig{};
        for (SaveRecord& record : BestTimeTable) record = kUnsetPlayTime;
        GameProgress = 0;
        GameTest::TearDown();
    }

    int LiveObjects() const {
        int count = 0;
        for (Object::IObject* object : objects_->objects) count += object != nullptr;
        return count;
    }

    // The generator's scenario, its script and the staff roll, with small
    // pictures and short sounds under the names they use (an effect that
    // plays holds its frame for its length). The pictures, sounds and fonts
    // are held for the whole run: a mutant's own loads then only add
    // references, and the fonts are made once.
    void HoldScenarioResources() {
        WriteFile(kScenario, placeholder::ScenarioXml(kScenario));
        WriteFile(placeholder::ScriptNameOf(kScenario), placeholder::ScenarioScript(kScenario));
        WriteFile("resource\\senario\\staffroll.txt", placeholder::StaffRollScript());
        for (const std::string& name : placeholder::ScenarioResources()) {
            if (name.size() > 4 && name.substr(name.size() - 4) == ".png") {
                WritePicture(name, 32, 32, 0x808080);
                ASSERT_TRUE(Manager::CTextureManager::GetInstance()->Load(name.c_str(), nullptr)) << name;
            } else {
                WriteTone(name, 5);
                ASSERT_TRUE(Manager::CSoundManager::GetInstance()->Load(name.c_str(), nullptr)) << name;
            }
        }
        ASSERT_TRUE(std::unique_ptr<Object::CSenarioObject>(CreateSenarioObject(kScenario)));
        auto* roll = new Object::CStaffRollObject;
        const uintptr_t file = OpenFileForRead("resource\\senario\\staffroll.txt", 0);
        ASSERT_NE(file, 0u);
        EXPECT_TRUE(roll->LoadScript(file));
        FileStreamClose(file);
        delete roll;
        heldFonts_ = Manager::C2DFontManager::GetInstance()->handles;
        ASSERT_EQ(heldFonts_.size(), 2u);
    }

    // The fonts a mutant made are given back, as its scene would at its end.
    void GiveBackNewFonts() {
        Manager::C2DFontManager* fonts = Manager::C2DFontManager::GetInstance();
        std::vector<ATOM> made;
        for (const auto& [key, handle] : fonts->handles)
            if (heldFonts_.count(key) == 0) made.push_back(key);
        for (ATOM key : made) fonts->ReleaseByAtom(key);
        EXPECT_EQ(fonts->handles, heldFonts_);
    }

    struct Held {
        std::vector<std::pair<const void*, int>> blocks;
        std::map<ATOM, int> textures;
        std::map<ATOM, int> sounds;
        bool operator==(const Held& other) const {
            return blocks == other.blocks && textures == other.textures && sounds == other.sounds;
        }
    };
    static Held WhatIsHeld() {
        Held held;
        held.blocks = LiveBlocks();
        for (const auto& [key, entry] : Manager::CTextureManager::GetInstance()->entries)
            held.textures[key] = entry.referenceCount;
        for (const auto& [key, entry] : Manager::CSoundManager::GetInstance()->entries)
            held.sounds[key] = entry.referenceCount;
        return held;
    }

    // Loads the scenario as the scenes do and plays it with the text running
    // fast, drawing now and then, then gives it all back. The frames it
    // played, or -1 when it did not load.
    int PlayScenario(const char* file, int round) {
        const Held before = WhatIsHeld();
        Object::CSenarioObject* senario = CreateSenarioObject(file);
        int frames = -1;
        if (senario != nullptr) {
            EXPECT_NE(senario->fontObjectId, -1) << round;
            for (frames = 0; frames < 150; ++frames) {
                if (!senario->Update(4 | (frames & 1))) break;
                senario->UpdateFrame();
                if (frames % 4 == 0) senario->Draw();
            }
            senario->Draw();
            delete senario;
        }
        GiveBackNewFonts();
        EXPECT_EQ(LiveObjects(), 0) << round;
        EXPECT_TRUE(WhatIsHeld() == before) << round;
        platform::ClearDebugOutput();
        return frames;
    }

    CPrimitive2DObjectManager* objects_ = nullptr;
    std::map<ATOM, int> heldFonts_;
};

// ---- the kinds of file ------------------------------------------------------

TEST_F(FileMutationTest, ScenarioFiles) {
    HoldScenarioResources();
    const std::string xml = placeholder::ScenarioXml(kScenario);
    Mutator mutator(20240611);
    int refused = 0, played = 0;
    for (int round = 0; round < kMutants; ++round) {
        WriteFile("mutant.xml", mutator.Text(xml));
        const int frames = PlayScenario("mutant.xml", round);
        refused += frames < 0;
        played += frames > 0;
    }
    // Both ways are taken often.
    EXPECT_GT(refused, kMutants / 5);
    EXPECT_GT(played, kMutants / 5);
}

TEST_F(FileMutationTest, ScenarioScripts) {
    HoldScenarioResources();
    std::string xml = placeholder::ScenarioXml(kScenario);
    const std::string scriptName = placeholder::ScriptNameOf(kScenario);
    const size_t at = xml.find(scriptName);
    ASSERT_NE(at, std::string::npos);
    xml.replace(at, scriptName.size(), "mutant.txt");
    WriteFile("mutant.xml", xml);
    const std::string script = placeholder::ScenarioScript(kScenario);
    Mutator mutator(20240612);
    int endedAtOnce = 0, played = 0;
    for (int round = 0; round < kMutants; ++round) {
        WriteFile("mutant.txt", mutator.Text(script));
        const int frames = PlayScenario("mutant.xml", round);
        EXPECT_GE(frames, 0) << round;
        endedAtOnce += frames == 0;
        played += frames > 0;
    }
    EXPECT_GT(endedAtOnce, kMutants / 5);
    EXPECT_GT(played, kMutants / 5);
}

TEST_F(FileMutationTest, StaffRolls) {
    HoldScenarioResources();
    const std::string script = placeholder::StaffRollScript();
    Mutator mutator(20240613);
    int loaded = 0;
    for (int round = 0; round < kMutants; ++round) {
        WriteFile("staffroll.txt", mutator.Text(script));
        const Held before = WhatIsHeld();
        auto* roll = new Object::CStaffRollObject;
        const uintptr_t file = OpenFileForRead("staffroll.txt", 0);
        ASSERT_NE(file, 0u);
        const bool read = roll->LoadScript(file);
        FileStreamClose(file);
        if (read) {
            ++loaded;
            EXPECT_TRUE(roll->FontSize >= 0 && roll->FontSize <= 480) << round;
            EXPECT_TRUE(std::isfinite(roll->StringLeft) && std::fabs(roll->StringLeft) <= 16777216.0f) << round;
            EXPECT_TRUE(std::isfinite(roll->ScrollSpeed) && std::fabs(roll->ScrollSpeed) <= 16777216.0f) << round;
            roll->Start();
            roll->step = 8;
            for (int frame = 0; frame < 120 && roll->Update(); ++frame)
                if (frame % 3 == 0) roll->Draw();
            roll->Draw();
        }
        delete roll;
        GiveBackNewFonts();
        EXPECT_EQ(LiveObjects(), 0) << round;
        EXPECT_TRUE(WhatIsHeld() == before) << round;
    }
    EXPECT_GT(loaded, kMutants / 5);
    EXPECT_GT(kMutants - loaded, kMutants / 10);
}

TEST_F(FileMutationTest, BackgroundLayouts) {
    std::vector<std::string> layouts;
    for (const placeholder::StageDataFile& file : placeholder::StageDataFiles())
        if (file.name.find("\\bg_") != std::string::npos && file.bytes.size() > 10) layouts.push_back(file.bytes);
    ASSERT_FALSE(layouts.empty());
    WritePicture("piece.png", 64, 64, 0x00FF00);
    Manager::CTextureManager* textures = Manager::CTextureManager::GetInstance();
    ASSERT_TRUE(textures->Load("piece.png", nullptr));
    const std::vector<int> pieces(9, textures->GetHandle("piece.png"));
    Mutator mutator(20240614);
    int draws = 0;
    for (int round = 0; round < kMutants; ++round) {
        WriteFile("layout", mutator.Text(layouts[static_cast<size_t>(round) % layouts.size()]));
        const Held before = WhatIsHeld();
        {
            CStageBackground background;
            ASSERT_TRUE(background.LoadFromCsv("layout")) << round;
            background.pieceImages = pieces.data();
            background.pieceCount = static_cast<int>(pieces.size());
            DrawReach::current = DrawReach{};
            for (const auto& [x, y] : std::vector<std::pair<int, int>>{{0, 0}, {-700, 150}, {-12000, -3000}})
                background.Draw(x, y);
            EXPECT_FALSE(DrawReach::current.beyondTheScreen) << round;
            draws += DrawReach::current.draws;
        }
        EXPECT_TRUE(WhatIsHeld() == before) << round;
    }
    EXPECT_GT(draws, kMutants);
}

TEST_F(FileMutationTest, Maps) {
    const placeholder::StageMapDesign design = placeholder::DesignStageMap(1);
    std::string map, layout;
    for (const placeholder::StageDataFile& file : placeholder::StageDataFiles()) {
        if (file.name == StageMapFileName(1)) map = file.bytes;
        if (file.name == StageBackgroundFileName(1)) layout = file.bytes;
    }
    ASSERT_FALSE(map.empty());
    WriteFile(StageBackgroundFileName(1), layout);
    std::vector<int> tiles(static_cast<size_t>(design.rows * design.columns));
    Mutator mutator(20240615);
    for (int round = 0; round < kMutants; ++round) {
        WriteFile(StageMapFileName(1), mutator.Text(map));
        const Held before = WhatIsHeld();
        {
            CStageBackground background;
            EXPECT_EQ(LoadStageMapFiles(tiles.data(), &background, 1, design.rows, design.columns), 0) << round;
        }
        for (int tile : tiles)
            ASSERT_TRUE(tile == -49 || (tile >= 0 && tile <= 9) || (tile >= 17 && tile <= 42) ||
                        (tile >= 49 && tile <= 74))
                << round << ": " << tile;
        EXPECT_TRUE(WhatIsHeld() == before) << round;
    }
    EXPECT_TRUE(messageBoxes.empty());
}

TEST_F(FileMutationTest, Configurations) {
    std::string config = "<Fullscreen enable=\"0\" />\r\n<DesktopComposition enable=\"0\" />\r\n"
                         "<Volume BGM=\"85\" SE=\"80\" />\r\n<KeyConfig joy_id=\"0\" enable=\"1\">\r\n";
    const char* const buttons[] = {"KEY_DOWN", "KEY_LEFT", "KEY_RIGHT", "KEY_UP", "ATTACK",
                                   "JUMP",     "CHANGE",   "D_BUTTON",  "START",  "L_BUTTON"};
    for (int i = 0; i < 10; ++i)
        config += std::string("    <") + buttons[i] + " button=\"" + std::to_string(1 << i) + "\" />\r\n";
    config += "</KeyConfig>\r\n";
    std::snprintf(ConfigFilePath, sizeof(ConfigFilePath), "%s", "config_ver_1.xml");
    GameConfig* settings = GetGameConfig();
    Mutator mutator(20240616);
    for (int round = 0; round < kMutants; ++round) {
        WriteFile("config_ver_1.xml", mutator.Text(config));
        const Held before = WhatIsHeld();
        LoadGameConfig();
        const GameConfig read = *settings;
        EXPECT_TRUE(read.bgmVolume >= 0 && read.bgmVolume <= 100) << round;
        EXPECT_TRUE(read.seVolume >= 0 && read.seVolume <= 100) << round;
        bool windowed = true, enabled = true;
        int joyId = 0;
        JoypadPair pairs[10] = {};
        EXPECT_TRUE(Manager::CInputManager::LoadKeyConfig(ConfigFilePath, &windowed, &enabled, &joyId, pairs));
        // What is written back reads as it was read.
        SaveGameConfig(&read);
        LoadGameConfig();
        EXPECT_EQ(settings->bgmVolume, read.bgmVolume) << round;
        EXPECT_EQ(settings->seVolume, read.seVolume) << round;
        EXPECT_EQ(settings->fullScreen, read.fullScreen) << round;
        EXPECT_TRUE(WhatIsHeld() == before) << round;
    }
}

TEST_F(FileMutationTest, Saves) {
    std::snprintf(DataFolderPath, sizeof(DataFolderPath), "%s", folder_.windowsPath().c_str());
    FillBestTimeRecordList();
    GameProgress = 4;
    for (int i = 0; i < 10; ++i) BestTimeTable[i] = {0, 0, 10 * i, i, 100 + i, false};
    ASSERT_TRUE(SaveGameData());
    const std::string save = folder_.readFile("save_ver_1.dat");
    ASSERT_EQ(save.size(), 168u);
    constexpr SaveRecord kBefore = {1, 2, 555, 55, 5, false};
    Mutator mutator(20240617);
    for (int round = 0; round < kMutants; ++round) {
        WriteFile("save_ver_1.dat", mutator.Words(save));
        const Held before = WhatIsHeld();
        for (SaveRecord& record : BestTimeTable) record = kBefore;
        GameProgress = 5;
        EXPECT_TRUE(LoadGameData()) << round;
        EXPECT_TRUE(GameProgress >= 0 && GameProgress <= 6) << round;
        for (const SaveRecord& record : BestTimeTable) {
            EXPECT_TRUE(record.milliseconds >= 0 && record.milliseconds <= 999 && record.seconds >= 0 &&
                        record.seconds <= 99 && record.minutes >= 0)
                << round;
            EXPECT_EQ(record.start, 1u) << round;
            EXPECT_EQ(record.offset, 2) << round;
        }
        EXPECT_TRUE(WhatIsHeld() == before) << round;
    }
}

}  // namespace
