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

#include "framework/graphics/draw_settings.h"
#include "framework/sound/sound_playback.h"
#include "game/framework/input_manager.h"
#include "game/framework/resource_managers.h"
#include "game/stage/player_character.h"
#include "game/stage/stage_hud.h"
#include "game/stage/stage_images.h"
#include "game/stage/stage_scene.h"
#include "game/stage/stage_sounds.h"
#include "game/stage/stage_table.h"
#include "tests/game/stage/stage_scene_fixture.h"
#include "tests/support/game/game_test.h"
#include "tools/placeholder_resources/stage_maps.h"

namespace {

using namespace stagetest;

constexpr int kDown = 40;
constexpr int kAttackKey = 'Z';
constexpr int kStartKey = 27;

int PlayTimeMs(const PlayTimer& t) { return t.minutes * 60000 + t.seconds * 1000 + t.milliseconds; }

class StageSceneTest : public StageSceneFixture {
protected:
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

    void RunWithTwoGuideBoxes(int* first, int* second);

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

void PrintTo(const GoalCase& c, std::ostream* os) { *os << "stage " << c.code << " to " << c.result; }

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

INSTANTIATE_TEST_SUITE_P(StageParts, StageGoalTest,
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

INSTANTIATE_TEST_SUITE_P(StageParts, GeneratedMapWalkTest, ::testing::Values(1, 102, 2, 202, 3, 302, 4, 402, 5, 502),
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

// ---- paths that only a whole frame of the scene reaches ---------------------------

// The player as one frame ended.
struct Seen {
    int state = 0;
    int character = 0;
    int hitPoints = 0;
    int spellStock = 0;
    double x = 0.0;
    double mapX = 0.0;  // scroll x + x
    double mapY = 0.0;
    double screenY = 0.0;
    double scrollY = 0.0;
    int facing = 0;
    bool damaged = false;
    int playTime = 0;
    bool message = false;
};

class StageScenePathTest : public StageSceneTest {
protected:
    // The player at the end of each of `count` frames from `first` on; an
    // entry stays empty (state 0) when the scene did not run that frame.
    std::shared_ptr<std::vector<Seen>> Record(int first, int count) {
        auto seen = std::make_shared<std::vector<Seen>>(static_cast<size_t>(count));
        EveryFrame(first, count, [seen, first](int f) {
            const PlayerRecord* p = RunningStagePlayer;
            if (p == nullptr) return;
            Seen& s = (*seen)[static_cast<size_t>(f - first)];
            s.state = p->state;
            s.character = p->character;
            s.hitPoints = p->hitPoints;
            s.spellStock = p->spellStock;
            s.x = p->x;
            s.mapX = p->scrollX + p->x;
            s.mapY = p->mapY;
            s.screenY = p->screenY;
            s.scrollY = p->scrollY;
            s.facing = p->facing;
            s.damaged = p->damaged;
            s.playTime = PlayTimeMs(StagePlayTimer);
            s.message = StageMessageActive;
        });
        return seen;
    }

    // The draws of the frame whose picture begins with `prefix`.
    std::vector<gametest::SeenDraw> Drawn(int frame, const std::string& prefix) const {
        std::vector<gametest::SeenDraw> found;
        for (const gametest::SeenDraw& d : DrawsOfFrame(frame))
            if (d.picture.rfind(prefix, 0) == 0) found.push_back(d);
        return found;
    }
};

// An up-down elevator (tile 39) in the floor under the start: it rises from
// the first played frame and takes the player up with it.
struct RideCase {
    const char* name;
    int key;
    int from;   // frames after the first played one
    int count;  // frames the key is held
    int outcomeAt;
};

void PrintTo(const RideCase& c, std::ostream* os) { *os << c.name; }

class ElevatorRideTest : public StageScenePathTest, public ::testing::WithParamInterface<RideCase> {};

TEST_P(ElevatorRideTest, ThePlayerStandsOnTheRisingElevatorAndIsFreeToAct) {
    const RideCase c = GetParam();
    WriteMap(1, 60, '1', [](std::vector<std::string>& rows, int startRow) { rows[startRow + 2][2] = 'W'; });
    const int start = FramesEnded() + 1 + kOpeningFrames;
    HoldKey(c.key, start + c.from, c.count);
    auto seen = Record(start, c.outcomeAt + 1);
    QuitAtFrame(start + c.outcomeAt);
    EXPECT_EQ(RunStageScene(1, 100, 1, 0), -1);
    auto at = [&](int frame) { return (*seen)[static_cast<size_t>(frame - start)]; };

    // Ridden from the tenth frame on: carried up one pixel a frame, standing
    // all the while, drawn waiting and never in the jump pose.
    // (Up to the key, or for JUMP held from before play, up to the low form.)
    const int rideEnd = c.from > 0 ? start + c.from : start + 55;
    for (int f = start + 10; f < rideEnd; ++f) {
        SCOPED_TRACE(f);
        EXPECT_EQ(at(f).state, kPlayerStanding);
        EXPECT_EQ(at(f).mapY, at(f - 1).mapY - 1);
        EXPECT_EQ(Drawn(f, "ressa_jump").size(), 0u);
        EXPECT_EQ(Drawn(f, "ressa_wait").size(), 1u);
    }
    const Seen outcome = at(start + c.outcomeAt);
    if (c.key == 'C') {
        // The character change is accepted: kolva rides on.
        EXPECT_EQ(outcome.character, 2);
        EXPECT_EQ(outcome.state, kPlayerStanding);
        EXPECT_EQ(Drawn(start + c.outcomeAt, "kolva_wait").size(), 1u);
        EXPECT_EQ(outcome.mapY, at(start + c.outcomeAt - 1).mapY - 1);
    } else if (c.key == 'S') {
        // The spell starts: the stock is spent and the world holds.
        EXPECT_EQ(outcome.state, kPlayerSpell);
        EXPECT_EQ(outcome.spellStock, 0);
        EXPECT_EQ(Drawn(start + c.outcomeAt, "Spell0.png").size(), 1u);
    } else {
        // JUMP held from before play began never jumps, and after 61
        // standing frames the low form is taken, still riding.
        EXPECT_EQ(outcome.state, kPlayerLowForm);
        EXPECT_EQ(outcome.mapY, at(start + c.outcomeAt - 1).mapY - 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Outcomes, ElevatorRideTest,
                         ::testing::Values(RideCase{"change", 'C', 30, 1, 34}, RideCase{"spell", 'S', 30, 1, 33},
                                           RideCase{"lowForm", kJumpKey, -10, 200, 90}),
                         [](const ::testing::TestParamInfo<RideCase>& info) { return info.param.name; });

// A whole up-down ride in a stage deep enough for it: stage 4 part a, the
// elevator's home on row 82 (map y 5248, below 4000, so it travels 1728
// pixels) in a shaft cleared of floor. It rises from the first played frame
// one pixel a frame to one pixel past home - 1728, stands one frame, sinks
// one pixel a frame to one pixel past home, stands one frame and rises
// again, with the player standing on it all the way.
TEST_F(StageScenePathTest, TheElevatorCarriesThePlayerAWholeCycleAndTurnsAtBothEnds) {
    SetDrawAreaRect(0, 0, 1, 1);  // every draw is still seen; the 3500 frames run in seconds
    WriteMap(4, 25, '1', [](std::vector<std::string>& rows, int startRow) {
        rows[startRow + 2].replace(0, 10, "00W0000000");
    });
    const int home = 82 * 64;
    const int start = FramesEnded() + 1 + kOpeningFrames;
    const int frames = 3500;
    auto seen = Record(start, frames + 1);
    SetFrameLimit(start + frames + 10);
    QuitAtFrame(start + frames);
    EXPECT_EQ(RunStageScene(4, 100, 1, 1), -1);  // a retry: no intro before play
    auto at = [&](int frame) { return (*seen)[static_cast<size_t>(frame)]; };

    // The legs of the ride by frames after the first played one, and the
    // elevator's move in each.
    struct Leg {
        int last;
        int step;
    };
    const Leg legs[] = {{1729, -1}, {1730, 0}, {3460, 1}, {3461, 0}, {frames, -1}};
    int top = home;
    size_t leg = 0;
    for (int f = 0; f < frames; ++f) {
        SCOPED_TRACE(f);
        if (f > 0) {
            while (f > legs[leg].last) ++leg;
            top += legs[leg].step;
        }
        const std::vector<gametest::SeenDraw> elevator = Drawn(start + f, "stage_elevator");
        ASSERT_EQ(elevator.size(), 1u);
        ASSERT_EQ(elevator[0].points[1] + static_cast<int>(at(f).scrollY), top);
        ASSERT_EQ(at(f).mapY, top - 128);
        // (On the first frame the player still drops onto it.)
        if (f > 0) {
            ASSERT_EQ(at(f).state, kPlayerStanding);
        }
    }
}

// A turret (tile 17, firing left) on the floor ahead of a player who stands
// still: its first bullet, fired once it has been awake 180 frames, flies
// into the player.
TEST_F(StageScenePathTest, ATurretBulletHitsThePlayerOnceAndIsGone) {
    WriteMap(1, 60, '1', [](std::vector<std::string>& rows, int startRow) { rows[startRow + 1][9] = 'A'; });
    const int start = FramesEnded() + 1 + kOpeningFrames;
    const int frames = 300;
    auto seen = Record(start, frames);
    QuitAtFrame(start + frames - 1);
    EXPECT_EQ(RunStageScene(1, 100, 1, 0), -1);
    auto at = [&](int frame) { return (*seen)[static_cast<size_t>(frame - start)]; };

    int hit = -1;
    for (int f = start; f < start + frames - 1 && hit == -1; ++f)
        if (at(f).hitPoints != 100) hit = f;
    ASSERT_NE(hit, -1) << "no bullet reached the player";
    // Fired at 180 frames and flown 4 pixels a frame over the 268 between the
    // muzzle and the player's box.
    EXPECT_GT(hit - start, 180 + 60);
    EXPECT_EQ(at(hit).hitPoints, 90);
    EXPECT_EQ(at(hit).state, kPlayerKnockedBack);
    EXPECT_TRUE(at(hit).damaged);
    // The bullet flew in from the right and is gone with the hit; a spark
    // shows where it struck.
    const std::vector<gametest::SeenDraw> before = Drawn(hit - 1, "Cannonball64_2.png");
    ASSERT_EQ(before.size(), 1u);
    EXPECT_GT(before[0].points[0], static_cast<int>(at(hit - 1).x));
    EXPECT_GT(Drawn(hit - 20, "Cannonball64_2.png")[0].points[0], before[0].points[0]);
    for (int f = hit; f < hit + 30; ++f) EXPECT_EQ(Drawn(f, "Cannonball64_2.png").size(), 0u) << f;
    EXPECT_EQ(Drawn(hit, "slash3.png").size(), 1u);
    for (int f = hit; f < start + frames - 1; ++f) EXPECT_EQ(at(f).hitPoints, 90) << f;
}

// A guide box (tile 49) in the player's way: walking into it opens its
// scenario over the halted stage with the clock stopped; read to its end, it
// closes, the clock runs on from where it stood and the player walks on.
TEST_F(StageScenePathTest, AGuideBoxStopsTheStageAndItsClockWhileItsScenarioShows) {
    WriteMap(1, 60, '1', [](std::vector<std::string>& rows, int startRow) { rows[startRow + 1][7] = 'a'; });
    const int start = FramesEnded() + 1 + kOpeningFrames;
    const int frames = 1500;
    WalkRight();
    auto seen = Record(start, frames);
    auto closed = std::make_shared<int>(-1);
    bool wasOpen = false;
    EveryFrame(start, frames, [this, closed, &wasOpen](int f) {
        // Reads the scenario on while the box is open.
        if (StageMessageActive && f % 2 == 0) Press(kAttackKey, f + 1);
        if (StageMessageActive) wasOpen = true;
        if (wasOpen && !StageMessageActive && *closed == -1) {
            *closed = f;
            QuitAtFrame(f + 40);
        }
    });
    SetFrameLimit(start + frames);
    EXPECT_EQ(RunStageScene(1, 100, 1, 0), -1);
    ASSERT_NE(*closed, -1) << "the box never closed";
    auto at = [&](int frame) { return (*seen)[static_cast<size_t>(frame - start)]; };

    int open = -1;
    for (int f = start; f < *closed && open == -1; ++f)
        if (at(f).message) open = f;
    ASSERT_NE(open, -1);
    const int close = *closed;
    EXPECT_GT(at(open).mapX, at(start).mapX);  // walked to it

    // While open: the player stands where the box stopped it (KEY_RIGHT is
    // still held) and the clock stands still.
    for (int f = open + 1; f < close; ++f) {
        SCOPED_TRACE(f);
        EXPECT_EQ(at(f).mapX, at(open).mapX);
        EXPECT_EQ(at(f).playTime, at(open).playTime);
    }
    // The box's scenario is drawn over the stage from the frame the player
    // walked into it (the halt begins with the next) until it closes, and
    // only then.
    for (int f = start; f < close + 35; ++f) {
        const bool shows = f >= open - 1 && f < close;
        EXPECT_EQ(Drawn(f, "message_window.png").size(), shows ? 1u : 0u) << f;
    }
    // Closed: the clock runs on from where it stood, and the player walks
    // on (once the swing of the last key that read the scenario is over).
    const int stood = at(open).playTime;
    EXPECT_GT(at(close + 10).playTime, stood);
    EXPECT_LE(at(close + 10).playTime, stood + 12 * 17);
    EXPECT_GT(at(close + 35).mapX, at(close).mapX + 32);
    // Its marker, fully shown before, is hidden while it cools down.
    auto marker = [&](int f) {
        for (const gametest::SeenDraw& d : DrawsOfFrame(f))
            if (d.picture == "message_box.png") return d.blendParam;
        return -1;
    };
    EXPECT_EQ(marker(start + 2), 255);
    EXPECT_EQ(marker(close + 5), 0);
}

// Tamsel charging her shot: every 30 frames of ATTACK held a fog rises from
// her, plain up to 120 frames, then green, then red from 240; the charge
// sound plays with the first fog only.
TEST_F(StageScenePathTest, TamselsChargeShowsItsFogInThreeColours) {
    WriteMap(1, 60);
    const int start = FramesEnded() + 1 + kOpeningFrames;
    Press('C', start + 2);
    Press('C', start + 6);
    const int held = start + 10;
    HoldKey(kAttackKey, held, 250);
    const int frames = 330;
    auto seen = Record(start, frames);
    auto sounding = std::make_shared<std::vector<bool>>(static_cast<size_t>(frames));
    EveryFrame(start, frames, [sounding, start](int f) {
        const int charge =
            Manager::CSoundManager::GetInstance()->GetHandle("resource\\sound\\SE\\se_stage_tamsel_charge.wav");
        (*sounding)[static_cast<size_t>(f - start)] = CheckSoundHandlePlaying(charge) == 1;
    });
    QuitAtFrame(start + frames - 1);
    EXPECT_EQ(RunStageScene(1, 100, 1, 0), -1);
    auto at = [&](int frame) { return (*seen)[static_cast<size_t>(frame - start)]; };
    ASSERT_EQ(at(held).character, 3);

    // The first frame each colour of fog shows, and how often it is drawn
    // in that frame.
    auto first = [&](int r, int g, int b, int* draws) {
        for (int f = held; f < start + frames - 1; ++f) {
            int count = 0;
            for (const gametest::SeenDraw& d : Drawn(f, "fog_blue"))
                if (d.bright[0] == r && d.bright[1] == g && d.bright[2] == b) ++count;
            if (count > 0) {
                *draws = count;
                return f;
            }
        }
        return -1;
    };
    int plainDraws = 0;
    int greenDraws = 0;
    int redDraws = 0;
    const int plain = first(255, 255, 255, &plainDraws);
    const int green = first(30, 255, 50, &greenDraws);
    const int red = first(255, 50, 30, &redDraws);
    ASSERT_NE(plain, -1);
    EXPECT_GE(plain - held, 28);
    EXPECT_LE(plain - held, 31);
    EXPECT_EQ(plainDraws, 1);
    EXPECT_EQ(green - plain, 90);
    EXPECT_EQ(greenDraws, 5);
    EXPECT_EQ(red - plain, 210);
    EXPECT_EQ(redDraws, 5);
    // Every fog is drawn where the player is in that frame, turned the way
    // she faces (mirrored unless she faces right).
    int fogDraws = 0;
    for (int f = plain; f < held + 250; ++f) {
        SCOPED_TRACE(f);
        for (const gametest::SeenDraw& d : Drawn(f, "fog_blue")) {
            ++fogDraws;
            EXPECT_EQ(d.points[0], static_cast<int>(at(f).x));
            EXPECT_EQ(d.points[1], static_cast<int>(at(f).screenY));
            EXPECT_EQ(d.call, at(f).facing == 2 ? "DrawGraphicAtPoint" : "DrawGraphicMirrored");
        }
    }
    EXPECT_GT(fogDraws, 0);
    // The charge sound starts in the frame of the first fog, and the later
    // fogs do not start it again (the placeholder sound lasts a quarter of a
    // second).
    auto sounds = [&](int frame) { return (*sounding)[static_cast<size_t>(frame - start)]; };
    for (int f = held; f < plain; ++f) EXPECT_FALSE(sounds(f)) << f;
    EXPECT_TRUE(sounds(plain));
    for (int k = 1; plain + 30 * k < held + 250; ++k) EXPECT_FALSE(sounds(plain + 30 * k)) << k;
    // Let go, the charge is gone: once the last fog has risen (36 frames),
    // no new one comes.
    for (int f = held + 250 + 36; f < start + frames - 1; ++f) EXPECT_TRUE(Drawn(f, "fog_blue").empty()) << f;
}

// The pause menu dims the whole view; a charge fog on the screen is dimmed
// with it, and so is everything drawn after it.
TEST_F(StageScenePathTest, ThePauseMenuDimsTheChargeFogAndTheHud) {
    WriteMap(1, 60);
    const int start = FramesEnded() + 1 + kOpeningFrames;
    Press('C', start + 2);
    Press('C', start + 6);
    HoldKey(kAttackKey, start + 10, 80);
    Press(kStartKey, start + 50);
    QuitAtFrame(start + 60);
    EXPECT_EQ(RunStageScene(1, 100, 1, 0), -1);
    const int frame = start + 58;
    ASSERT_TRUE(StagePaused);
    const std::vector<gametest::SeenDraw> fog = Drawn(frame, "fog_blue");
    ASSERT_FALSE(fog.empty());
    for (const gametest::SeenDraw& d : fog) EXPECT_EQ(d.bright[0], 128);
    const std::vector<gametest::SeenDraw> gauge = Drawn(frame, "hp01.png");
    ASSERT_EQ(gauge.size(), 1u);
    EXPECT_EQ(gauge[0].bright[0], 128);
}

}  // namespace
