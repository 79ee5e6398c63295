// The player's animation: every row of the table through DrawPlayerCharacter
// as the draw observer sees it (picture, mirroring, place), the counters that
// wind back, the animations that end a state, the blink and the down sound.
#include "game/stage/player_animation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/sound/sound_loading.h"
#include "framework/sound/sound_playback.h"
#include "game/stage/stage_images.h"
#include "tests/support/game/game_test.h"

namespace {

constexpr int kHandleBase = 0x40000;  // image position p is drawn as handle kHandleBase + p

int Position(const gametest::SeenDraw& draw) { return draw.handle - kHandleBase; }

class PlayerAnimationTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        ASSERT_TRUE(StartFramework());
        for (int i = 0; i < kStageImageTableSize; ++i) images_[i] = kHandleBase + i;
        for (int& sound : sounds_) sound = -1;
        inputs_.sounds = sounds_;
    }

    std::vector<gametest::SeenDraw> Draw(PlayerRecord* player, bool force = false) {
        const size_t before = OpenFrameDraws().size();
        DrawPlayerCharacter(player, images_, force, inputs_);
        return {OpenFrameDraws().begin() + static_cast<long>(before), OpenFrameDraws().end()};
    }

    static PlayerRecord Player(int character, int state, int counter, int facing = 2) {
        PlayerRecord player;
        player.character = character;
        player.state = state;
        player.actionFrame = counter;
        player.stateFrames = counter;
        player.facing = facing;
        player.x = 200.0;
        player.screenY = 150.0;
        return player;
    }

    int images_[kStageImageTableSize] = {};
    int sounds_[43] = {};
    PlayerDrawInputs inputs_;
};

struct Row {
    int character;
    int state;
    int counter;    // the action frame (the frames-in-state counter for states 6 and 7)
    int image;      // -1: nothing is drawn
    int counterAfter;  // the action frame after the draw (it counts on by 1)
    int kind = 0;   // the attack kind
    bool dashing = false;
    double vy = 0.0;
};

TEST_F(PlayerAnimationTest, EveryRowPicksItsPictureByTheCounter) {
    const Row rows[] = {
        // Standing: five frames a picture, back to 1 after 58.
        {1, 1, 1, 402, 2}, {1, 1, 58, 413, 59}, {1, 1, 59, 402, 2}, {2, 1, 5, 346, 6}, {3, 1, 0, 157, 1},
        {4, 1, 57, 255, 58},
        // Running: characters 1 and 2 loop at 47 (22 dashing), 3 at 34 (11), 4 at 58 (34).
        {1, 3, 46, 51, 47}, {1, 3, 47, 40, 2}, {1, 3, 22, 51, 23, 0, true}, {1, 3, 23, 40, 2, 0, true},
        {2, 3, 10, 359, 11}, {3, 3, 34, 180, 35}, {3, 3, 35, 169, 2}, {3, 3, 11, 180, 12, 0, true},
        {3, 3, 12, 170, 2, 0, true}, {4, 3, 58, 267, 59}, {4, 3, 59, 256, 2}, {4, 3, 34, 267, 35, 0, true},
        {4, 3, 35, 256, 2, 0, true},
        // In the air: by the jump value; character 4 runs on.
        {1, 2, 5, 52, 6, 0, false, 20}, {1, 2, 5, 53, 6, 0, false, 19}, {1, 2, 5, 54, 6, 0, false, 17},
        {1, 2, 5, 55, 6, 0, false, 16}, {1, 2, 5, 55, 6, 0, false, -15}, {1, 2, 5, -1, 6, 0, false, 21},
        {2, 2, 5, 30, 6, 0, false, 17}, {2, 2, 5, 31, 6, 0, false, 16}, {2, 2, 5, 31, 6, 0, false, 12},
        {2, 2, 5, 32, 6, 0, false, 11}, {2, 2, 5, 32, 6, 0, false, 7}, {2, 2, 5, 33, 6, 0, false, 6},
        {3, 2, 5, 181, 6, 0, false, 19}, {3, 2, 5, 182, 6, 0, false, 18}, {3, 2, 5, 183, 6, 0, false, 15},
        {3, 2, 5, 184, 6, 0, false, 14}, {4, 2, 10, 258, 11}, {4, 2, 59, 256, 2},
        // Goal: to the last picture and there it stays.
        {1, 7, 0, 414, 1}, {1, 7, 300, 425, 301}, {2, 7, 14, 392, 15}, {3, 7, 300, 243, 301}, {4, 7, 55, 303, 56},
        // Down: the first picture until 30, then to the last.
        {1, 6, 29, 462, 30}, {1, 6, 35, 463, 36}, {1, 6, 500, 473, 501}, {2, 6, 500, 495, 501},
        {4, 6, 40, 510, 41},
        // Character 1's doll walk, capture throw and attack.
        {1, 11, 60, 156, 61}, {1, 11, 61, 145, 2}, {1, 15, 9, 61, 10}, {1, 5, 4, 58, 5, 1},
        {1, 5, 30, 67, 31, 2},
        // Stills.
        {2, 10, 3, 144, 4}, {1, 14, 3, 469, 4}, {2, 14, 3, 488, 4}, {3, 14, 3, 496, 4}, {4, 14, 3, 508, 4},
        // Character 3's arm: out, with the two skips, and back.
        {3, 5, 1, 205, 2, 2}, {3, 5, 55, 218, 66, 2}, {3, 5, 100, 215, 111, 2}, {3, 5, 80, 221, 81, 2},
        {3, 5, 32, 203, 33, 1},
        // Character 4: the beam repeats its last part; the others run on.
        {4, 5, 48, 277, 49, 1}, {4, 5, 49, 274, 31, 1}, {4, 5, 53, 290, 54, 3},
        // States without a drawer.
        {2, 11, 5, -1, 6}, {1, 12, 5, -1, 6}, {4, 10, 5, -1, 6}, {1, 16, 5, -1, 6}, {2, 5, 5, -1, 6, 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("character " + std::to_string(row.character) + " state " + std::to_string(row.state) +
                     " counter " + std::to_string(row.counter) + " vy " + std::to_string(row.vy));
        for (int facing : {2, 1}) {
            PlayerRecord player = Player(row.character, row.state, row.counter, facing);
            player.attackKind = row.kind;
            player.dashing = row.dashing;
            player.vy = row.vy;
            const auto draws = Draw(&player);
            EXPECT_EQ(player.actionFrame, row.counterAfter);
            if (row.image == -1) {
                EXPECT_TRUE(draws.empty());
                continue;
            }
            ASSERT_EQ(draws.size(), 1u);
            EXPECT_EQ(Position(draws[0]), row.image);
            EXPECT_EQ(draws[0].call, facing == 2 ? "DrawGraphicAtPoint" : "DrawGraphicMirrored");
            EXPECT_EQ(draws[0].points, (std::vector<int>{200, 150}));
            EXPECT_EQ(draws[0].transFlag, 1);
            EXPECT_EQ(player.state, row.state);
        }
    }
}

TEST_F(PlayerAnimationTest, AFacingNeitherLeftNorRightIsNotDrawn) {
    for (int state : {1, 2, 3, 6, 7, 14}) {
        PlayerRecord player = Player(1, state, 10, 0);
        EXPECT_TRUE(Draw(&player).empty()) << state;
        EXPECT_EQ(player.actionFrame, 11);
    }
}

// The sheets of characters 2 and 3: the cell by the counter, mirrored unless
// facing right.
TEST_F(PlayerAnimationTest, SheetCellsFollowTheCounter) {
    struct Cell {
        int character, kind, counter, sheet, cell, width, x;
    };
    const Cell cells[] = {
        {2, 1, 1, 378, 0, 256, 136},  {2, 1, 3, 378, 0, 256, 136},   {2, 1, 4, 378, 1, 256, 136},
        {2, 1, 17, 378, 5, 256, 136}, {2, 1, 18, 378, 5, 256, 136},  {2, 1, 24, 378, 5, 256, 136},
        {2, 1, 25, 378, 5, 256, 136}, {2, 1, 26, 378, 6, 256, 136},  {2, 1, 79, 378, 23, 256, 136},
        {2, 2, 1, 10, 0, 256, 136},   {2, 2, 4, 10, 1, 256, 136},    {2, 2, 70, 10, 23, 256, 136},
        {3, 3, 1, 682, 0, 128, 200},  {3, 3, 7, 682, 2, 128, 200},   {3, 3, 61, 682, 20, 128, 200},
    };
    for (const Cell& c : cells) {
        SCOPED_TRACE(std::to_string(c.character) + "/" + std::to_string(c.kind) + " at " + std::to_string(c.counter));
        for (int facing : {2, 1, 0}) {
            PlayerRecord player = Player(c.character, 5, c.counter, facing);
            player.attackKind = c.kind;
            const auto draws = Draw(&player);
            ASSERT_EQ(draws.size(), 1u);
            EXPECT_EQ(draws[0].call, "DrawGraphicPart");
            EXPECT_EQ(Position(draws[0]), c.sheet);
            EXPECT_EQ(draws[0].points, (std::vector<int>{c.x, 150}));
            EXPECT_EQ(draws[0].source[0], c.cell * c.width);
            EXPECT_EQ(draws[0].source[1], 0);
            EXPECT_EQ(draws[0].source[2], c.width);
            EXPECT_EQ(draws[0].source[3], 128);
            EXPECT_EQ(draws[0].turnFlag, facing == 2 ? 0 : 1);
        }
    }
}

// The animations that end a state, drawing nothing in the frame they end.
TEST_F(PlayerAnimationTest, EndingAnimationsSetTheNextState) {
    struct End {
        int character, state, kind, lastDrawn, wantState;
    };
    const End ends[] = {
        {2, 5, 1, 79, 1},  {2, 5, 2, 70, 1}, {3, 5, 1, 32, 1}, {3, 13, 1, 32, 12},
        {3, 5, 3, 61, 1},  {4, 5, 2, 53, 1}, {4, 5, 3, 53, 1}, {4, 5, 4, 53, 1},
    };
    for (const End& e : ends) {
        SCOPED_TRACE(std::to_string(e.character) + "/" + std::to_string(e.state) + "/" + std::to_string(e.kind));
        PlayerRecord player = Player(e.character, e.state, e.lastDrawn);
        player.attackKind = e.kind;
        player.guarded = true;
        EXPECT_EQ(Draw(&player).size(), 1u);
        EXPECT_EQ(player.state, e.state);
        EXPECT_TRUE(Draw(&player).empty());
        EXPECT_EQ(player.state, e.wantState);
        EXPECT_EQ(player.guarded, e.character != 2);
    }
    // The arm comes back: once the counter has reached 159 it ends, from
    // anything larger too.
    PlayerRecord player = Player(3, 5, 158, 2);
    player.attackKind = 2;
    EXPECT_EQ(Position(Draw(&player)[0]), 206);
    EXPECT_EQ(player.state, 5);
    EXPECT_EQ(Position(Draw(&player)[0]), 206);
    EXPECT_EQ(player.state, 1);
    player = Player(3, 5, 400, 2);
    player.attackKind = 2;
    Draw(&player);
    EXPECT_EQ(player.state, 1);
    // Character 1's attack and character 4's beam never end here.
    for (int character : {1, 4}) {
        player = Player(character, 5, 500);
        player.attackKind = 1;
        Draw(&player);
        EXPECT_EQ(player.state, 5);
    }
}

TEST_F(PlayerAnimationTest, KolvasRushWidensHerHitBoxUntilItEnds) {
    PlayerRecord player = Player(2, 5, 1);
    player.attackKind = 2;
    for (int c = 1; c <= 70; ++c) {
        Draw(&player);
        ASSERT_EQ(player.hitLeft, 0) << c;
        ASSERT_EQ(player.hitRight, 128) << c;
    }
    Draw(&player);
    EXPECT_EQ(player.state, 1);
    EXPECT_EQ(player.hitLeft, 50);
    EXPECT_EQ(player.hitTop, 40);
    EXPECT_EQ(player.hitRight, 73);
    EXPECT_EQ(player.hitBottom, 110);
}

TEST_F(PlayerAnimationTest, TamselsArmReachesFromTheAnchorDownToHer) {
    inputs_.hangY = 40;
    for (int state : {12, 13}) {
        PlayerRecord player = Player(3, state, 6);
        player.attackKind = 1;
        const auto draws = Draw(&player);
        ASSERT_EQ(draws.size(), 2u);
        EXPECT_EQ(draws[0].call, "DrawGraphicFourCorners");
        EXPECT_EQ(Position(draws[0]), 342);
        EXPECT_EQ(draws[0].points, (std::vector<int>{232, 40, 296, 40, 296, 214, 232, 214}));
        EXPECT_EQ(Position(draws[1]), state == 12 ? 343 : 195);
    }
    // Without an anchor only the body is drawn.
    inputs_.hangY = 0;
    PlayerRecord player = Player(3, 5, 6);
    player.attackKind = 1;
    const auto draws = Draw(&player);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(Position(draws[0]), 195);
}

TEST_F(PlayerAnimationTest, TamselsDownSpinsASecondPicture) {
    PlayerRecord player = Player(3, 6, 40);
    const auto draws = Draw(&player);
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(Position(draws[0]), 498);
    EXPECT_EQ(draws[1].call, "DrawGraphicRotated");
    EXPECT_EQ(Position(draws[1]), StageImage::kTamselDownSpin);
}

// While the blink hides the sprite the counter still runs and an attack
// still ends; a forced draw shows it.
TEST_F(PlayerAnimationTest, TheBlinkHidesOddFramesUnlessForced) {
    PlayerRecord player = Player(1, 1, 5);
    player.blinkCounter = 3;
    EXPECT_TRUE(Draw(&player).empty());
    EXPECT_EQ(player.actionFrame, 6);
    EXPECT_EQ(Draw(&player, true).size(), 1u);
    player.blinkCounter = 4;
    EXPECT_EQ(Draw(&player).size(), 1u);

    player = Player(4, 5, 53);
    player.attackKind = 2;
    player.blinkCounter = 7;
    EXPECT_TRUE(Draw(&player).empty());
    EXPECT_TRUE(Draw(&player).empty());
    EXPECT_EQ(player.state, 1);
}

TEST_F(PlayerAnimationTest, WhilePausedTheCounterStandsStill) {
    inputs_.playing = false;
    PlayerRecord player = Player(1, 3, 10);
    EXPECT_EQ(Position(Draw(&player)[0]), 42);
    EXPECT_EQ(Position(Draw(&player)[0]), 42);
    EXPECT_EQ(player.actionFrame, 10);
}

class PlayerSoundTest : public PlayerAnimationTest {
protected:
    void SetUp() override {
        PlayerAnimationTest::SetUp();
        WriteTone("beep.wav", 3000);
        beep_ = LoadSoundFile("beep.wav", 1, -1);
        ASSERT_NE(beep_, -1);
    }
    void TearDown() override {
        StopSoundHandle(beep_);
        PlayerAnimationTest::TearDown();
    }
    // True when the call started the sound; stops it again.
    bool Started() {
        const bool playing = CheckSoundHandlePlaying(beep_) == 1;
        StopSoundHandle(beep_);
        return playing;
    }
    int beep_ = -1;
};

TEST_F(PlayerSoundTest, TheDownSoundPlaysOnceAtThirtyAndNeverWhilePaused) {
    sounds_[kSoundDown] = beep_;
    PlayerRecord player = Player(2, 6, 1);
    std::vector<int> startedAt;
    for (int frame = 1; frame <= 80; ++frame) {
        player.stateFrames = frame;
        Draw(&player);
        if (Started()) startedAt.push_back(frame);
        if (frame == 30) {
            // Paused on the same count: drawn again, not heard again.
            inputs_.playing = false;
            Draw(&player);
            EXPECT_FALSE(Started());
            inputs_.playing = true;
        }
    }
    EXPECT_EQ(startedAt, std::vector<int>{30});
    // A pause that starts on the count itself is silent.
    inputs_.playing = false;
    player.stateFrames = 30;
    Draw(&player);
    EXPECT_FALSE(Started());
}

TEST_F(PlayerSoundTest, KolvasSwingsAreHeardOnTheirFrames) {
    sounds_[kSoundKolvaSwing] = beep_;
    PlayerRecord player = Player(2, 5, 1);
    player.attackKind = 1;
    std::vector<int> heard;
    while (player.state == 5) {
        const int c = player.actionFrame;
        Draw(&player);
        if (Started()) heard.push_back(c);
    }
    EXPECT_EQ(heard, (std::vector<int>{2, 28, 64}));
    player = Player(2, 5, 1);
    player.attackKind = 2;
    heard.clear();
    while (player.state == 5) {
        const int c = player.actionFrame;
        Draw(&player);
        if (Started()) heard.push_back(c);
    }
    EXPECT_EQ(heard, std::vector<int>{14});
}

}  // namespace
