// Whole stage parts run headless on the framework's manual clock, with the
// placeholder tree's pictures and sounds and small maps written by the test:
// the goal and the code it leads to, what part a hands to part b, the pause
// menu and the clock, a death, and codes that are not stage parts.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/framework/input_manager.h"
#include "game/stage/player_character.h"
#include "game/stage/stage_hud.h"
#include "game/stage/stage_images.h"
#include "game/stage/stage_scene.h"
#include "game/stage/stage_sounds.h"
#include "game/stage/stage_table.h"
#include "tests/support/game/game_test.h"
#include "tools/placeholder_resources/stage_maps.h"

namespace {

constexpr int kRight = 39;
constexpr int kDown = 40;
constexpr int kAttackKey = 'Z';
constexpr int kJumpKey = 'X';
constexpr int kStartKey = 27;
// The opening fades the first view in over 64 frames before play begins.
constexpr int kOpeningFrames = 64;

int PlayTimeMs(const PlayTimer& t) { return t.minutes * 60000 + t.seconds * 1000 + t.milliseconds; }

class StageSceneTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        ASSERT_TRUE(StartFramework());
        LinkTreeAndFillStageFiles();
        ReloadLoadingDrawer();
        SetFrameLimit(3000);
        StagePaused = false;
        StagePauseMenuHidden = false;
    }

    // The resource folders every test links to: the placeholder tree's
    // files, linked one by one, and the stage pictures and sounds that the
    // tree does not hold written small. Made once by the first test (in its
    // folder, then moved aside) and removed when the program ends.
    void LinkTreeAndFillStageFiles() {
        namespace fs = std::filesystem;
        static fs::path shared;
        const fs::path here = fs::path(folder_.hostPath());
        if (shared.empty()) {
            fs::path made = fs::temp_directory_path() / ("brackenfold_stage_scene_" + std::to_string(getpid()));
            fs::remove_all(made);
            fs::create_directories(made);
            MakeStageFiles();
            fs::rename(here / "resource", made / "resource");
            shared = made;
            std::atexit([] { std::filesystem::remove_all(shared); });
        }
        fs::create_directories(here / "resource" / "mapdata");
        for (const char* part : {"picture", "sound", "senario", "movie"})
            if (fs::exists(shared / "resource" / part))
                fs::create_directory_symlink(shared / "resource" / part, here / "resource" / part);
    }

    void MakeStageFiles() {
        namespace fs = std::filesystem;
        const fs::path tree = fs::path(BRACKENFOLD_RESOURCE_DIR);
        const fs::path here = fs::path(folder_.hostPath());
        for (const fs::directory_entry& e : fs::recursive_directory_iterator(tree / "resource")) {
            if (!e.is_regular_file()) continue;
            fs::path target = here / fs::relative(e.path(), tree);
            fs::create_directories(target.parent_path());
            fs::create_symlink(e.path(), target);
        }
        auto missing = [&](const std::string& name) {
            std::string path = name;
            for (char& c : path)
                if (c == '\\') c = '/';
            return !fs::exists(here / path);
        };
        for (const StageTableEntry* e = StageTableEntries(nullptr); e != StageTableEntries(nullptr) + kStageTableCount;
             ++e) {
            int count = 0;
            const char* const* names = StageImageList(e->code, &count);
            for (int i = 0; i < count; ++i)
                if (names[i] != nullptr && missing(names[i])) WritePicture(names[i], 8, 8, 0x808080);
            const char* music[2] = {nullptr, nullptr};
            StageMusicPair(e->code, &music[0], &music[1]);
            for (const char* name : music)
                if (name != nullptr && missing(name)) WriteTone(name, 200);
        }
        int soundCount = 0;
        const SoundListEntry* sounds = StageSoundList(&soundCount);
        for (int i = 0; i < soundCount; ++i)
            if (sounds[i].name != nullptr && missing(sounds[i].name)) WriteTone(sounds[i].name, 50);
        for (const char* name : {kPauseMenuPicture, kPlayTimeDigits})
            if (missing(name)) WritePicture(name, 512, 384, 0x404040);
    }

    // A map of the code's size: the start (tile 2) at column 3, a row above
    // the view row, the floor two rows under it (the body is two rows
    // tall), and the goal (tile 4) at goalColumn on the floor. floor is the
    // floor's tile character.
    // `more` may change the rows (of the code's column count) further.
    void WriteMap(int code, int goalColumn = 5, char floor = '1',
                  std::function<void(std::vector<std::string>& rows, int startRow)> more = nullptr) {
        const StageTableEntry* entry = FindStageTableEntry(code);
        ASSERT_NE(entry, nullptr);
        int startRow = entry->viewRow - 1;
        ASSERT_LT(startRow + 2, entry->rows);
        std::vector<std::string> rows(entry->rows, std::string(entry->columns, '0'));
        rows[startRow + 2] = std::string(entry->columns, floor);
        rows[startRow][3] = '2';
        rows[startRow + 1][goalColumn] = '4';
        if (more) more(rows, startRow);
        std::string cells;
        for (const std::string& row : rows) cells += row + "\r\n";
        WriteFile(StageMapFileName(entry->mapIndex), cells);
        WriteFile(StageBackgroundFileName(entry->mapIndex), "640\r\n");
    }

    // The generated maps and layouts of the placeholder tree in place of the
    // test's own.
    void UseGeneratedMaps() {
        namespace fs = std::filesystem;
        const fs::path tree = fs::path(BRACKENFOLD_RESOURCE_DIR) / "resource" / "mapdata";
        const fs::path here = fs::path(folder_.hostPath()) / "resource" / "mapdata";
        for (const fs::directory_entry& e : fs::directory_iterator(tree)) {
            fs::remove(here / e.path().filename());
            fs::create_symlink(e.path(), here / e.path().filename());
        }
    }

    void RunWithTwoGuideBoxes(int* first, int* second);

    // Where the player stood at the last frame end of a walk.
    std::string lastSeen;

    // Walks the code's generated map as its design says: KEY_RIGHT held
    // from the first played frame, and JUMP held 25 frames whenever the
    // player walks on the ground in the stretch from 64 c - 128 up to a jump
    // column c. Returns the scene's result.
    int WalkGeneratedMap(int code, int frameLimit) {
        const StageTableEntry* entry = FindStageTableEntry(code);
        placeholder::StageMapDesign design = placeholder::DesignStageMap(entry->mapIndex);
        int first = FramesEnded() + 1;
        HoldKey(kRight, first + kOpeningFrames - 1, frameLimit);
        auto jumpUntil = std::make_shared<int>(0);
        EveryFrame(first + kOpeningFrames, frameLimit, [this, design, jumpUntil](int f) {
            const PlayerRecord* p = RunningStagePlayer;
            if (p != nullptr)
                lastSeen = "frame " + std::to_string(f) + " map x " + std::to_string(p->scrollX + p->x) + " map y " +
                           std::to_string(p->mapY) + " state " + std::to_string(p->state) + " hit points " +
                           std::to_string(p->hitPoints);
            if (p == nullptr || f < *jumpUntil + 5) return;
            if (p->state != kPlayerWalking && p->state != kPlayerStanding) return;
            double mapX = p->scrollX + p->x;
            for (int column : design.jumpColumns) {
                if (mapX >= 64 * column - 128 && mapX < 64 * column - 64) {
                    HoldKey(kJumpKey, f + 1, 25);
                    *jumpUntil = f + 25;
                    return;
                }
            }
        });
        SetFrameLimit(FramesEnded() + kOpeningFrames + frameLimit);
        return RunStageScene(code, 100, 1, 1);
    }

    // Calls `step` at the end of `count` frames from `first` on, with the
    // number of the frame that ends.
    void EveryFrame(int first, int count, std::function<void(int)> step) {
        for (int f = first; f < first + count; ++f) AtFrame(f, [step, f] { step(f); });
    }
    void Press(int key, int frame, int count = 1) { HoldKey(key, frame, count); }

    // Holds KEY_RIGHT for the next frames.
    void WalkRight() { HoldKey(kRight, FramesEnded() + 1, 2000); }

    // The frames whose draws hold the handle.
    int DrawsOfHandle(int frame, int handle) const {
        int count = 0;
        for (const gametest::SeenDraw& d : DrawsOfFrame(frame))
            if (d.handle == handle) ++count;
        return count;
    }
};

TEST_F(StageSceneTest, CodesThatAreNotStagePartsShowTheMapMessage) {
    for (int code : {0, 6}) {
        messageBoxes.clear();
        EXPECT_EQ(RunStageScene(code, 100, 1, 0), -1) << code;
        ASSERT_EQ(messageBoxes.size(), 1u);
        EXPECT_EQ(messageBoxes[0].text, "マップデータの読み込みに失敗");
        EXPECT_EQ(messageBoxes[0].type & MB_ICONERROR, static_cast<UINT>(MB_ICONERROR));
        MSG message;
        bool quit = false;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            if (message.message == WM_QUIT) quit = message.wParam == 1;
        EXPECT_TRUE(quit);
    }
}

// Each part on its own, so that the ten runs share the machine's cores.
struct GoalCase {
    int code;
    int result;
};

class StageGoalTest : public StageSceneTest, public ::testing::WithParamInterface<GoalCase> {};

TEST_P(StageGoalTest, ThePartReachesItsGoalAndReturnsTheNextCode) {
    const GoalCase c = GetParam();
    WriteMap(c.code);
    WalkRight();
    const int before = FramesEnded();
    EXPECT_EQ(RunStageScene(c.code, 100, 1, 1), c.result);
    EXPECT_LT(FramesEnded() - before, kOpeningFrames + 100);
    EXPECT_TRUE(messageBoxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Parts, StageGoalTest,
                         ::testing::Values(GoalCase{1, 102}, GoalCase{102, 103}, GoalCase{2, 202},
                                           GoalCase{202, 203}, GoalCase{3, 302}, GoalCase{302, 303},
                                           GoalCase{4, 402}, GoalCase{402, 403}, GoalCase{5, 503},
                                           GoalCase{502, 503}),
                         [](const ::testing::TestParamInfo<GoalCase>& info) {
                             return "code" + std::to_string(info.param.code);
                         });

// Every generated map walked to its goal past every object, gimmick, turret
// and enemy kind of its stage, one part a test so that the walks share the
// machine's cores.
class GeneratedMapWalkTest : public StageSceneTest, public ::testing::WithParamInterface<int> {};

TEST_P(GeneratedMapWalkTest, TheScriptedWalkReachesTheGoal) {
    UseGeneratedMaps();
    const int code = GetParam();
    EXPECT_EQ(WalkGeneratedMap(code, 6000), StageGoalResult(code)) << lastSeen;
}

INSTANTIATE_TEST_SUITE_P(Parts, GeneratedMapWalkTest, ::testing::Values(1, 102, 2, 202, 3, 302, 4, 402, 5, 502),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "code" + std::to_string(info.param);
                         });

TEST_F(StageSceneTest, PartAHandsHitPointsAndAttackLevelToPartBAndTheClockRunsOn) {
    WriteMap(1);
    WriteMap(102);
    CarriedHitPoints = 0;
    CarriedAttackLevel = 0;
    WalkRight();
    ASSERT_EQ(RunStageScene(1, 70, 2, 0), 102) << (messageBoxes.empty() ? std::string("none") : messageBoxes[0].text);
    EXPECT_EQ(CarriedHitPoints, 70);
    EXPECT_EQ(CarriedAttackLevel, 2);
    EXPECT_TRUE(StagePlayTimer.paused);
    int partA = PlayTimeMs(StagePlayTimer);
    EXPECT_GT(partA, 0);

    WalkRight();
    ASSERT_EQ(RunStageScene(102, CarriedHitPoints, CarriedAttackLevel, 0), 103);
    // A part b goal leaves the carried values as they are.
    EXPECT_EQ(CarriedHitPoints, 70);
    EXPECT_EQ(CarriedAttackLevel, 2);
    EXPECT_GT(PlayTimeMs(StagePlayTimer), partA);

    // A new part a starts the clock from 0.
    WalkRight();
    ASSERT_EQ(RunStageScene(1, 100, 1, 0), 102);
    EXPECT_LT(PlayTimeMs(StagePlayTimer), partA + 100);
}

TEST_F(StageSceneTest, PauseStopsTheClockAndResumingGoesOnFromWhereItStood) {
    WriteMap(1, 60);  // a goal far away: the part is left through the menu
    int start = FramesEnded() + 1 + kOpeningFrames;
    int pauseFrame = start + 20;
    int resumeFrame = pauseFrame + 30;
    std::vector<int> times;
    std::vector<bool> paused;
    EveryFrame(start, 200, [&](int) {
        times.push_back(PlayTimeMs(StagePlayTimer));
        paused.push_back(StagePaused);
    });
    Press(kStartKey, pauseFrame);
    Press(kStartKey, resumeFrame);
    // Then pause again and leave: the cursor down to the second entry, ATTACK.
    Press(kStartKey, resumeFrame + 15);
    Press(kDown, resumeFrame + 17);
    Press(kAttackKey, resumeFrame + 19);
    EXPECT_EQ(RunStageScene(1, 100, 1, 0), 99);

    // Frames are counted from `start`; the pause shows from the frame after
    // the key's frame.
    auto at = [&](int frame) { return static_cast<size_t>(frame - start); };
    ASSERT_GT(times.size(), at(resumeFrame + 10));
    ASSERT_TRUE(paused[at(pauseFrame + 1)]);
    ASSERT_FALSE(paused[at(pauseFrame)]);
    int stood = times[at(pauseFrame + 1)];
    for (int f = pauseFrame + 1; f <= resumeFrame; ++f) ASSERT_EQ(times[at(f)], stood) << f;
    ASSERT_FALSE(paused[at(resumeFrame + 1)]);
    // After the resume the clock runs on from where it stood: no jump by the
    // 30 paused frames.
    int after = times[at(resumeFrame + 10)];
    EXPECT_GT(after, stood);
    EXPECT_LE(after, stood + 11 * 17 + 20);
    EXPECT_TRUE(StagePlayTimer.paused);
}

TEST_F(StageSceneTest, TheMenusFirstEntryResumesWithoutDrawingThatPass) {
    WriteMap(1, 60);
    int start = FramesEnded() + 1 + kOpeningFrames;
    int pauseFrame = start + 10;
    Press(kStartKey, pauseFrame);
    Press(kAttackKey, pauseFrame + 5);  // cursor on the first entry
    QuitAtFrame(pauseFrame + 12);
    EXPECT_EQ(RunStageScene(1, 100, 1, 0), -1);

    // The gauge frame (image 4) is drawn once per drawn pass: the resuming
    // pass adds no draw to the frame that follows it.
    int gaugeHandle = -1;
    for (const gametest::SeenDraw& d : DrawsOfFrame(start))
        if (d.picture == "hp01.png") gaugeHandle = d.handle;
    ASSERT_NE(gaugeHandle, -1);
    for (int f = start; f <= pauseFrame + 10; ++f) EXPECT_EQ(DrawsOfHandle(f, gaugeHandle), 1) << f;
    // The menu shows while paused and is gone after the resume.
    auto menuDraws = [&](int f) {
        int count = 0;
        for (const gametest::SeenDraw& d : DrawsOfFrame(f))
            if (d.picture == "select_menus.png") ++count;
        return count;
    };
    EXPECT_EQ(menuDraws(pauseFrame + 3), 2);
    EXPECT_EQ(menuDraws(pauseFrame + 8), 0);
    // The play time shows on the pause menu only.
    auto timeDraws = [&](int f) {
        int count = 0;
        for (const gametest::SeenDraw& d : DrawsOfFrame(f))
            if (d.picture == "Figures.png") ++count;
        return count;
    };
    EXPECT_GT(timeDraws(pauseFrame + 3), 0);
    EXPECT_EQ(timeDraws(start + 2), 0);
    EXPECT_EQ(timeDraws(pauseFrame + 8), 0);
    EXPECT_FALSE(StagePaused);
}

TEST_F(StageSceneTest, HidingTheMenuKeepsThePauseAndAttackShowsItAgain) {
    WriteMap(1, 60);
    int start = FramesEnded() + 1 + kOpeningFrames;
    int pauseFrame = start + 10;
    Press(kStartKey, pauseFrame);
    Press(kJumpKey, pauseFrame + 3);
    Press(kAttackKey, pauseFrame + 6);
    std::vector<bool> hidden;
    std::vector<bool> paused;
    EveryFrame(start, 30, [&](int) {
        hidden.push_back(StagePauseMenuHidden);
        paused.push_back(StagePaused);
    });
    QuitAtFrame(pauseFrame + 10);
    EXPECT_EQ(RunStageScene(1, 100, 1, 0), -1);
    auto at = [&](int frame) { return static_cast<size_t>(frame - start); };
    EXPECT_TRUE(hidden[at(pauseFrame + 4)]);
    EXPECT_TRUE(paused[at(pauseFrame + 4)]);
    EXPECT_FALSE(hidden[at(pauseFrame + 7)]);
    EXPECT_TRUE(paused[at(pauseFrame + 7)]);
    // Hidden: drawn undimmed; shown: dimmed to 128.
    for (const gametest::SeenDraw& d : DrawsOfFrame(pauseFrame + 4)) {
        if (d.picture == "hp01.png") {
            EXPECT_EQ(d.bright[0], 255);
        }
    }
    for (const gametest::SeenDraw& d : DrawsOfFrame(pauseFrame + 2)) {
        if (d.picture == "hp01.png") {
            EXPECT_EQ(d.bright[0], 128);
        }
    }
}

TEST_F(StageSceneTest, ADeathReturns101AndResetsTheCarriedValues) {
    WriteMap(1, 60, '5');  // spikes under the start: 10 hit points are lost on landing
    CarriedHitPoints = 55;
    CarriedAttackLevel = 3;
    LastCharacter = 0;
    int before = FramesEnded();
    EXPECT_EQ(RunStageScene(1, 10, 3, 0), 101);
    EXPECT_EQ(CarriedHitPoints, 100);
    EXPECT_EQ(CarriedAttackLevel, 1);
    EXPECT_EQ(LastCharacter, 1);
    // More than 120 frames dead, then the 64-frame fade.
    EXPECT_GT(FramesEnded() - before, 120 + 63);
    EXPECT_TRUE(StagePlayTimer.paused);
}

TEST_F(StageSceneTest, ClosingTheWindowInPlayReturnsMinusOne) {
    WriteMap(1, 60);
    int start = FramesEnded() + 1 + kOpeningFrames;
    QuitAtFrame(start + 5);
    EXPECT_EQ(RunStageScene(1, 100, 1, 0), -1);
    EXPECT_EQ(FramesEnded(), start + 5);
}

TEST_F(StageSceneTest, ASpellSpendsTheStockDimsTheViewAndHoldsTheWorld) {
    WriteMap(1, 60);
    int start = FramesEnded() + 1 + kOpeningFrames;
    Press('S', start + 5);  // standing: the spell starts
    HoldKey(kRight, start + 6, 20);
    std::vector<int> stockZero;
    std::vector<int> floorX;
    std::vector<int> floorBright;  // the view under the spell's own drawing
    EveryFrame(start, 30, [&](int f) {
        int zero = 0;
        int x = 0;
        int bright = 0;
        for (const gametest::SeenDraw& d : DrawsOfFrame(f)) {
            zero += d.picture == "Spell0.png";
            if (d.picture == "stage_ground02.png" && x == 0) {
                x = d.points[0] + 1000;
                bright = d.bright[0];
            }
        }
        stockZero.push_back(zero);
        floorX.push_back(x);
        floorBright.push_back(bright);
    });
    QuitAtFrame(start + 20);
    EXPECT_EQ(RunStageScene(1, 100, 1, 0), -1);
    auto at = [&](int frame) { return static_cast<size_t>(frame - start); };
    EXPECT_EQ(stockZero[at(start + 5)], 0);
    EXPECT_EQ(floorBright[at(start + 5)], 255);
    for (int f = start + 7; f <= start + 19; ++f) {
        EXPECT_EQ(stockZero[at(f)], 1) << f;
        EXPECT_EQ(floorBright[at(f)], 128) << f;
        // KEY_RIGHT is held, but the world stands still: the floor stays.
        EXPECT_EQ(floorX[at(f)], floorX[at(start + 7)]) << f;
    }
}

// Stage 1 has box files for tiles 49 to 52 and none for 53. Returns the
// markers drawn on the cells of a 49 and a 53 box in the third played frame.
void StageSceneTest::RunWithTwoGuideBoxes(int* first, int* second) {
    WriteMap(1, 60, '1', [](std::vector<std::string>& rows, int startRow) {
        rows[startRow - 3][4] = 'a';  // 49, out of the player's way
        rows[startRow - 3][6] = 'e';  // 53: no file
    });
    int start = FramesEnded() + 1 + kOpeningFrames;
    QuitAtFrame(start + 3);
    EXPECT_EQ(RunStageScene(1, 100, 1, 0), -1);
    ASSERT_GE(FramesEnded(), start + 2);
    *first = *second = 0;
    for (const gametest::SeenDraw& d : DrawsOfFrame(start + 2)) {
        if (d.picture != "message_box.png") continue;
        if (d.points[0] == 4 * 64) ++*first;
        if (d.points[0] == 6 * 64) ++*second;
    }
}

TEST_F(StageSceneTest, AGuideBoxTileWithoutAFileIsSkipped) {
    int first = 0;
    int second = 0;
    RunWithTwoGuideBoxes(&first, &second);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 0);
}

TEST_F(StageSceneTest, AGuideBoxWhoseScenarioDoesNotLoadIsNotPlaced) {
    // Scenarios that do not load: no box is placed, so none is drawn (and
    // none can stop the clock).
    namespace fs = std::filesystem;
    fs::path senario = fs::path(folder_.hostPath()) / "resource" / "senario";
    fs::remove(senario);
    fs::create_directory(senario);
    int first = 0;
    int second = 0;
    RunWithTwoGuideBoxes(&first, &second);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 0);
    EXPECT_TRUE(messageBoxes.empty());
}

TEST_F(StageSceneTest, SideElevatorsStopAtSixtyFourAndStrayEndsAreIgnored) {
    WriteMap(1, 60, '1', [](std::vector<std::string>& rows, int startRow) {
        // One complete elevator in view, then a stray middle and right end.
        rows[startRow - 3].replace(5, 6, "6778" "78");
        // 75 more far below the view: 63 fit, the rest are logged and left.
        for (int r : {25, 27, 29})
            for (int c = 0; c + 4 <= 100; c += 4) rows[r].replace(c, 4, "6778");
    });
    size_t mark = LogText().size();
    QuitAtFrame(FramesEnded() + kOpeningFrames + 3);
    EXPECT_EQ(RunStageScene(1, 100, 1, 0), -1);
    int frame = FramesEnded() - 1;
    int left = 0;
    int right = 0;
    for (const gametest::SeenDraw& d : DrawsOfFrame(frame)) {
        left += d.picture == "stage_move_floor_left.png";
        right += d.picture == "stage_move_floor_right.png";
    }
    EXPECT_EQ(left, 1);
    EXPECT_EQ(right, 1);
    std::string log = LogSince(mark);
    size_t first = log.find("Side elevators beyond 64 ignored");
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_EQ(log.find("Side elevators beyond 64 ignored", first + 1), std::string::npos);
}

}  // namespace
