#include "game/bossbattle/command_input.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "framework/base/time_functions.h"
#include "framework/sound/sound_loading.h"
#include "framework/sound/sound_playback.h"
#include "game/bossbattle/battle_shots.h"
#include "game/bossbattle/boss_behaviour.h"
#include "game/bossbattle/robot_actions.h"
#include "platform/kernel/manual_clock.h"
#include "platform/profile/machine_profile.h"
#include "tests/game/bossbattle/battle_records_test.h"
#include "tests/support/game/game_test.h"
#include "tests/support/test_support.h"

namespace {

using battletest::Battle;
using battletest::CountShots;
using battletest::FindShot;

const int kDirectionKeys[4][2] = {{kCommandDown, KEY_DOWN}, {kCommandLeft, KEY_LEFT}, {kCommandRight, KEY_RIGHT},
                                  {kCommandUp, KEY_UP}};

// The recorder on the manual clock, with the input manager's held-frame
// counters set by hand.
class CommandInputTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        platform::Profile().clock.manual = true;
        platform::Profile().clock.timeGetTimeOrigin = 50000;
        input = Manager::CInputManager::GetInstance();
        input->heldFrames.clear();
        for (int& entry : buffer) entry = 0;
        for (int i = kCommandBufferSize; i < kCommandBufferSize + 4; ++i) buffer[i] = 777;
    }
    void TearDown() override {
        input->heldFrames.clear();
        PlatformTest::TearDown();
    }

    // One frame `ms` after the last with these direction codes held.
    void Frame(int codes, int ms = 20) {
        platform::AdvanceManualClockMilliseconds(ms);
        for (const auto& key : kDirectionKeys) {
            int& held = input->heldFrames[key[1]];
            held = (codes & key[0]) ? held + 1 : 0;
        }
        RecordRobotCommandInput(input, previousCode, GetMillisecondCount(), buffer, lastTime, count);
    }

    // Each code pressed in turn, released between two equal ones.
    void Enter(const std::vector<int>& codes) {
        int last = 0;
        for (const int code : codes) {
            if (code == last) Frame(0);
            Frame(code);
            last = code;
        }
    }

    std::vector<int> Entries() const { return std::vector<int>(buffer, buffer + count); }

    void SetButton(int bit, int frames) { input->heldFrames[bit] = frames; }

    int Commands(Battle& battle, int bossId = 1) {
        return UpdateRobotCommands(&battle.player, input, &battle.boss, battle.playerShots, battle.sounds, buffer,
                                   lastTime, count, battle.farScroll, battle.nearScroll, bossId, battle.effects);
    }

    Manager::CInputManager* input = nullptr;
    int buffer[kCommandBufferSize + 4];
    int count = 0;
    int lastTime = 0;
    int previousCode = 0;
};

struct SequenceCase {
    std::string name;
    std::vector<int> codes;
    int row;
    int state;  // what ATTACK starts
    int cost;
};

void PrintTo(const SequenceCase& c, std::ostream* os) { *os << c.name; }

class CommandSequenceTest : public CommandInputTest, public ::testing::WithParamInterface<SequenceCase> {};

TEST_P(CommandSequenceTest, RowAndTheCommandAttackStarts) {
    const SequenceCase& c = GetParam();
    Enter(c.codes);
    EXPECT_EQ(Entries(), c.codes);
    EXPECT_EQ(MatchRobotCommand(buffer), c.row);

    Battle battle;
    SetButton(ATTACK, 1);
    Commands(battle);
    EXPECT_EQ(battle.player.state, c.state);
    EXPECT_EQ(battle.player.psychicPower, 100 - c.cost);
    EXPECT_EQ(battle.player.stateCounter, 0);
    EXPECT_EQ(count, 0) << "the buffer is cleared";
    EXPECT_EQ(lastTime, 0);
    for (int i = 0; i < kCommandBufferSize; ++i) ASSERT_EQ(buffer[i], 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandSequenceTest,
    ::testing::Values(SequenceCase{"empty", {}, -1, 2, 10}, SequenceCase{"row0Dash", {1, 5, 4}, 0, 4, 20},
                      SequenceCase{"row1Dash", {1, 4}, 1, 4, 20}, SequenceCase{"row2Heavy", {4, 5, 1, 5}, 2, 3, 60},
                      SequenceCase{"row3Heavy", {4, 1, 5}, 3, 3, 60}, SequenceCase{"row4Basic", {1, 1}, 4, 2, 10},
                      SequenceCase{"row5Guard", {1, 3, 2}, 5, 5, 5}, SequenceCase{"row6Guard", {1, 2}, 6, 5, 5},
                      SequenceCase{"row7Basic", {2, 3, 1, 3}, 7, 2, 10}, SequenceCase{"row8Basic", {2, 1, 3}, 8, 2, 10},
                      SequenceCase{"pressesAfterASequence", {1, 4, 2}, 1, 4, 20},
                      SequenceCase{"aPressBeforeASequence", {2, 1, 4}, -1, 2, 10},
                      SequenceCase{"anUnfinishedSequence", {4, 5, 1}, -1, 2, 10},
                      SequenceCase{"upIsNoPartOfAnyRow", {8, 1, 4}, -1, 2, 10}),
    [](const auto& info) { return info.param.name; });

TEST_F(CommandInputTest, TwoKeysWithinTenMillisecondsMakeOneDiagonal) {
    struct Case {
        int gap;
        std::vector<int> entries;
    };
    for (const Case& c : {Case{5, {5}}, Case{9, {5}}, Case{10, {1, 5}}, Case{40, {1, 5}}}) {
        ClearRobotCommandBuffer(buffer, count, lastTime);
        Frame(0, 300);
        Frame(kCommandDown);
        Frame(kCommandDown | kCommandRight, c.gap);
        EXPECT_EQ(Entries(), c.entries) << "gap " << c.gap;
    }
}

TEST_F(CommandInputTest, HoldingAKeyRecordsItOnce) {
    Frame(kCommandDown);
    Frame(kCommandDown);
    Frame(kCommandDown);
    EXPECT_EQ(Entries(), (std::vector<int>{1}));
}

TEST_F(CommandInputTest, MoreThan250MillisecondsWithoutAPressEmptyTheBuffer) {
    Frame(kCommandDown);
    Frame(kCommandRight);
    const int pressed = GetMillisecondCount();
    Frame(kCommandRight, 250);
    EXPECT_EQ(Entries(), (std::vector<int>{1, 4}));
    EXPECT_EQ(lastTime, pressed);
    Frame(kCommandRight, 1);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(lastTime, 0);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(buffer[1], 0);
    EXPECT_EQ(MatchRobotCommand(buffer), -1);
}

TEST_F(CommandInputTest, APressBeyondTheBuffersEndIsIgnored) {
    for (int i = 0; i < kCommandBufferSize; ++i) Frame(i % 2 ? kCommandLeft : kCommandRight);
    ASSERT_EQ(count, kCommandBufferSize);
    const int last = lastTime;
    Frame(kCommandUp);
    EXPECT_EQ(count, kCommandBufferSize);
    EXPECT_EQ(buffer[kCommandBufferSize - 1], kCommandLeft);
    EXPECT_EQ(lastTime, last);
    for (int i = kCommandBufferSize; i < kCommandBufferSize + 4; ++i) EXPECT_EQ(buffer[i], 777);
    EXPECT_EQ(MatchRobotCommand(buffer), -1);
}

TEST_F(CommandInputTest, ACommandThePlayerCannotAffordIsDroppedWithTheBuffer) {
    struct Case {
        std::vector<int> codes;
        int power;
        int enabled;
        int state;
        int powerAfter;
    };
    const Case cases[] = {
        {{1, 5, 4}, 19, 1, 0, 19}, {{1, 5, 4}, 20, 1, 4, 0}, {{}, 10, 1, 2, 0},
        {{}, 9, 1, 0, 9},          {{4, 1, 5}, 59, 1, 0, 59}, {{1, 2}, 100, 0, 0, 100},
    };
    for (const Case& c : cases) {
        ClearRobotCommandBuffer(buffer, count, lastTime);
        Frame(0, 300);
        Enter(c.codes);
        Battle battle;
        battle.player.psychicPower = c.power;
        battle.player.commandsEnabled = c.enabled;
        SetButton(ATTACK, 1);
        Commands(battle);
        EXPECT_EQ(battle.player.state, c.state) << "power " << c.power;
        EXPECT_EQ(battle.player.psychicPower, c.powerAfter) << "power " << c.power;
        EXPECT_EQ(count, 0);
    }
}

TEST_F(CommandInputTest, BusyStatesRefuseAttackAndKeepTheBuffer) {
    for (const int state : {2, 3, 4, 5, 6, 9, 10}) {
        ClearRobotCommandBuffer(buffer, count, lastTime);
        Frame(0, 300);
        Enter({1, 4});
        Battle battle;
        battle.player.state = state;
        battle.player.stateCounter = 10;
        SetButton(ATTACK, 1);
        Commands(battle);
        EXPECT_EQ(battle.player.psychicPower, 100) << state;
        EXPECT_EQ(count, 2) << state;
    }
}

TEST_F(CommandInputTest, AttackHeldOrReleasedStartsNothing) {
    for (const int frames : {0, 2, 30}) {
        Battle battle;
        SetButton(ATTACK, frames);
        Commands(battle);
        EXPECT_EQ(battle.player.state, 0);
        EXPECT_EQ(battle.player.psychicPower, 100);
    }
}

TEST_F(CommandInputTest, TheRunningActionIsSteppedAndEnds) {
    Battle battle;
    battle.player.state = 2;
    battle.player.stateCounter = 40;
    Commands(battle);
    EXPECT_EQ(CountShots(battle.playerShots, 101), 1);
    battle.player.stateCounter = 100;
    Commands(battle);
    EXPECT_EQ(battle.player.state, 0);
}

TEST_F(CommandInputTest, TheScanIsTheFinisherFlag) {
    for (const int scanOff : {0, 1}) {
        Battle battle;
        battle.boss.scanOff = scanOff;
        battle.player.state = 3;
        battle.player.stateCounter = 35;
        Commands(battle, 6);
        const ShotSlot* blow = FindShot(battle.playerShots, 102);
        ASSERT_NE(blow, nullptr);
        EXPECT_EQ(blow->power, scanOff ? 105 : 5);
    }
}

TEST_F(CommandInputTest, PilotAbilities) {
    struct Case {
        int pilot;
        int power;
        int state;
        int powerAfter;
        int event;
    };
    const Case cases[] = {
        {1, 30, 0, 0, 1}, {1, 29, 0, 29, 0}, {2, 25, 7, 0, 0}, {2, 24, 0, 24, 0},
        {3, 0, 7, 0, 0},  {4, 100, 0, 100, 0},
    };
    for (const Case& c : cases) {
        Battle battle(c.pilot);
        battle.player.pilotEventCounter = 0;
        battle.player.psychicPower = c.power;
        SetButton(JUMP, 1);
        Commands(battle);
        SCOPED_TRACE("pilot " + std::to_string(c.pilot) + " power " + std::to_string(c.power));
        EXPECT_EQ(battle.player.state, c.state);
        EXPECT_EQ(battle.player.psychicPower, c.powerAfter);
        EXPECT_EQ(battle.player.pilotEventCounter, c.event);
        EXPECT_EQ(CountShots(battle.playerShots, 103), c.pilot == 3 ? 1 : 0);
    }
}

TEST_F(CommandInputTest, JumpBreaksAGuardButNotAKnockBackDashOrHold) {
    for (const int state : {5, 6, 4, 9, 10}) {
        Battle battle(1);
        battle.player.state = state;
        battle.player.stateCounter = 20;
        battle.player.guarding = 1;
        SetButton(JUMP, 1);
        Commands(battle);
        EXPECT_EQ(battle.player.pilotEventCounter, state == 5 ? 1 : 0) << state;
        EXPECT_EQ(battle.player.guarding, state == 5 ? 0 : 1) << state;
    }
}

TEST_F(CommandInputTest, PilotThreesBeamLastsWhileJumpIsHeld) {
    Battle battle(3);
    SetButton(JUMP, 1);
    Commands(battle);
    ASSERT_EQ(CountShots(battle.playerShots, 103), 1);
    for (int frame = 2; frame < 10; ++frame) {
        SetButton(JUMP, frame);
        Commands(battle);
    }
    EXPECT_EQ(battle.player.state, 7);
    EXPECT_EQ(CountShots(battle.playerShots, 103), 1);
    SetButton(JUMP, 0);
    Commands(battle);
    EXPECT_EQ(battle.player.state, 0);
    EXPECT_EQ(CountShots(battle.playerShots, 103), 0);

    // Knocked back, the beam goes but the state stays.
    Battle hit(3);
    SetButton(JUMP, 1);
    Commands(hit);
    hit.player.state = 6;
    SetButton(JUMP, 5);
    Commands(hit);
    EXPECT_EQ(CountShots(hit.playerShots, 103), 0);
    EXPECT_EQ(hit.player.state, 6);
}

}  // namespace

// ---- which battle sounds the routines play ------------------------------------------------

namespace {

using battletest::Battle;

// Eighteen long tones, one per entry of the battle's sound table, on the
// headless framework's virtual output.
class BattleSoundsTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        ASSERT_TRUE(StartFramework());
        for (int i = 0; i < 18; ++i) {
            const std::string name = "se\\tone" + std::to_string(i) + ".wav";
            WriteTone(name, 2000);
            handles[i] = LoadSoundFileToHandle(name.c_str(), 1, -1);
            ASSERT_NE(handles[i], -1);
        }
        input = Manager::CInputManager::GetInstance();
        input->heldFrames.clear();
        BossRangeMode = -100000;
        BossInPosition = false;
    }
    void TearDown() override {
        input->heldFrames.clear();
        BossRangeMode = -100000;
        BossInPosition = false;
        GameTest::TearDown();
    }

    std::set<int> Playing() const {
        std::set<int> playing;
        for (int i = 0; i < 18; ++i)
            if (CheckSoundHandlePlaying(handles[i]) == 1) playing.insert(i);
        return playing;
    }

    int handles[18];
    Manager::CInputManager* input = nullptr;
};

TEST_F(BattleSoundsTest, EachStepPlaysItsSound) {
    struct Case {
        std::string name;
        std::function<void(Battle&, Manager::CInputManager*)> step;
        std::set<int> playing;
    };
    const Case cases[] = {
        {"walk", [](Battle& b, Manager::CInputManager* in) {
             in->heldFrames[KEY_RIGHT] = 1;
             UpdateRobotWalk(b.playerShots, &b.player, &b.boss, in, b.sounds, b.walkMode, b.farScroll, b.nearScroll);
         }, {1}},
        {"bossWalk", [](Battle& b, Manager::CInputManager*) {
             b.boss.stateCounter = 61;
             SelectBossAttackPattern(b.player, b.bossShots, b.sounds, b.effects, 1, &b.boss);
         }, {3}},
        {"hitOnThePlayer", [](Battle& b, Manager::CInputManager*) {
             ShotSlot& s = b.bossShots[0];
             s.state = 2;
             s.kind = 104;
             s.x = 150;
             s.y = 200;
             s.hitRight = s.hitBottom = 64;
             TestBattleHits(b.playerShots, b.bossShots, &b.player, &b.boss, b.sounds, b.effects, 1, b.farScroll,
                            b.nearScroll);
         }, {4}},
        {"grab", [](Battle& b, Manager::CInputManager*) {
             ShotSlot& s = b.bossShots[0];
             s.state = 2;
             s.kind = 114;
             s.x = 150;
             s.y = 200;
             s.hitRight = s.hitBottom = 64;
             TestBattleHits(b.playerShots, b.bossShots, &b.player, &b.boss, b.sounds, b.effects, 1, b.farScroll,
                            b.nearScroll);
         }, {17}},
        {"heavyAttack", [](Battle& b, Manager::CInputManager*) {
             b.player.stateCounter = 35;
             RobotHeavyAttack(0, &b.player, 1, b.sounds, b.effects, b.playerShots);
         }, {5}},
        {"dashOut", [](Battle& b, Manager::CInputManager*) {
             b.player.stateCounter = 26;
             RobotDashAttack(&b.player, b.farScroll, b.nearScroll, b.sounds, b.playerShots, &b.boss, b.effects, 1, 0);
         }, {7}},
        {"dashBlow", [](Battle& b, Manager::CInputManager*) {
             b.player.stateCounter = 50;
             RobotDashAttack(&b.player, b.farScroll, b.nearScroll, b.sounds, b.playerShots, &b.boss, b.effects, 1, 0);
         }, {8}},
        {"guard", [](Battle& b, Manager::CInputManager*) { RobotGuard(b.sounds, &b.player, b.effects); }, {14}},
        {"options", [](Battle& b, Manager::CInputManager*) {
             FireRobotOptions(&b.player, b.sounds, b.playerShots);
         }, {13}},
        {"boss1Beam", [](Battle& b, Manager::CInputManager*) {
             b.boss.state = 3;
             b.boss.stateCounter = 125;
             RunBossAttackPattern(1, &b.boss, b.bossShots, b.sounds, b.effects);
         }, {10}},
        {"boss3Press", [](Battle& b, Manager::CInputManager*) {
             b.boss.state = 3;
             b.boss.stateCounter = 30;
             RunBossAttackPattern(3, &b.boss, b.bossShots, b.sounds, b.effects);
         }, {16}},
        {"boss5Lob", [](Battle& b, Manager::CInputManager*) {
             b.boss.state = 3;
             b.boss.stateCounter = 40;
             RunBossAttackPattern(5, &b.boss, b.bossShots, b.sounds, b.effects);
         }, {15}},
    };
    for (const Case& c : cases) {
        for (int i = 0; i < 18; ++i) StopSoundHandle(handles[i]);
        input->heldFrames.clear();
        Battle battle;
        for (int i = 0; i < 18; ++i) battle.sounds[i] = handles[i];
        c.step(battle, input);
        EXPECT_EQ(Playing(), c.playing) << c.name;
    }
}

TEST_F(BattleSoundsTest, TheScannerSoundsWhileJumpIsHeldAndStopsOnRelease) {
    Battle battle(3);
    for (int i = 0; i < 18; ++i) battle.sounds[i] = handles[i];
    int buffer[kCommandBufferSize] = {};
    int count = 0;
    int lastTime = 0;
    auto commands = [&] {
        UpdateRobotCommands(&battle.player, input, &battle.boss, battle.playerShots, battle.sounds, buffer, lastTime,
                            count, battle.farScroll, battle.nearScroll, 1, battle.effects);
    };
    input->heldFrames[JUMP] = 1;
    commands();
    EXPECT_EQ(Playing(), (std::set<int>{6}));
    StopSoundHandle(handles[6]);  // as if the sound had run out
    input->heldFrames[JUMP] = 2;
    commands();
    EXPECT_EQ(Playing(), (std::set<int>{6})) << "held, it starts again";
    input->heldFrames[JUMP] = 0;
    commands();
    EXPECT_EQ(Playing(), (std::set<int>{}));
    EXPECT_EQ(battle.player.state, 0);
}

}  // namespace
