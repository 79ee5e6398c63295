// Effects: each kind's images and lifetime as DrawEffect draws them, the
// free-slot rules and the tints and blends of the ring, dash and fog kinds.
#include "game/stage/effects.h"

#include <gtest/gtest.h>

#include <numbers>
#include <vector>

#include "framework/graphics/draw_settings.h"
#include "tests/support/game/game_test.h"

namespace {

constexpr int kHandleBase = 0x40000;  // image position p is drawn as handle kHandleBase + p

class EffectDrawTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        ASSERT_TRUE(StartFramework());
        for (int i = 0; i < 760; ++i) images_[i] = kHandleBase + i;
    }

    // The draws of one DrawEffect call.
    std::vector<gametest::SeenDraw> Draw(EffectSlot* slot, int px = 300, int py = 200, int state = 1, int facing = 2,
                                         bool paused = false, int* result = nullptr) {
        const size_t before = OpenFrameDraws().size();
        const int r = DrawEffect(slot, images_, px, py, state, facing, paused);
        if (result != nullptr) *result = r;
        return {OpenFrameDraws().begin() + static_cast<long>(before), OpenFrameDraws().end()};
    }

    static EffectSlot Placed(int kind, int x = 100, int y = 120) {
        EffectSlot slot{};
        ResetEffect(&slot);
        StartEffect(&slot, x, y);
        slot.kind = kind;
        return slot;
    }

    int images_[760] = {};
};

int Position(const gametest::SeenDraw& draw) { return draw.handle - kHandleBase; }

TEST_F(EffectDrawTest, EachKindShowsItsImagesForItsFramesThenFreesItself) {
    struct Case {
        int kind;
        int frames;        // frames drawn before the slot is freed
        int drawsPerFrame;
        std::vector<int> firstImages;  // the first image drawn at frames 0, 1, 2, ...
        int lastImage;     // the first image drawn at the last frame
    };
    const Case cases[] = {
        {1, 12, 1, {68, 68, 69, 69}, 73},
        {2, 7, 1, {328, 328, 328}, 328},
        {3, 20, 2, {137, 137}, 137},
        {12, 20, 12, {137}, 137},
        {4, 18, 1, {119, 119, 119, 120}, 124},
        {5, 24, 1, {532, 532, 533}, 532},
        {6, 6, 1, {125, 126, 127}, 130},
        {7, 121, 1, {593}, 593},
        {9, 121, 1, {595}, 595},
        {10, 18, 1, {663, 663, 663, 664}, 668},
        {11, 12, 1, {669, 669, 669, 670}, 672},
        {14, 60, 1, {316, 316, 316, 316, 316, 317}, 327},
        {101, 20, 2, {137}, 137},
        {105, 20, 12, {137}, 137},
        {102, 20, 2, {84, 84, 84, 84, 84, 85}, 87},
        {103, 36, 1, {520, 520, 520, 521}, 531},
        {107, 36, 5, {520}, 531},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        EffectSlot slot = Placed(c.kind);
        for (int f = 0; f < c.frames; ++f) {
            const auto draws = Draw(&slot);
            ASSERT_EQ(static_cast<int>(draws.size()), c.drawsPerFrame) << "frame " << f;
            if (f < static_cast<int>(c.firstImages.size())) { EXPECT_EQ(Position(draws[0]), c.firstImages[f]) << f; }
            if (f == c.frames - 1) { EXPECT_EQ(Position(draws[0]), c.lastImage); }
            EXPECT_EQ(slot.x, 100);
        }
        // The next draw frees it without drawing; the freed slot keeps frame 1.
        EXPECT_TRUE(Draw(&slot).empty());
        EXPECT_EQ(slot.x, -1);
        EXPECT_EQ(slot.y, -1);
        EXPECT_EQ(slot.frame, 1);
        int result = 0;
        EXPECT_TRUE(Draw(&slot, 300, 200, 1, 2, false, &result).empty());
        EXPECT_EQ(result, -1);
        EXPECT_EQ(slot.frame, 1);
    }
}

TEST_F(EffectDrawTest, SmokeGrowsAndShrinksAtHalfScaleAroundItsCentre) {
    EffectSlot slot = Placed(5);
    std::vector<int> seen;
    for (int f = 0; f < 24; ++f) {
        const auto draws = Draw(&slot);
        ASSERT_EQ(draws.size(), 1u);
        EXPECT_EQ(draws[0].call, "DrawGraphicRotated");
        EXPECT_EQ(draws[0].points, (std::vector<int>{164, 184}));
        EXPECT_DOUBLE_EQ(draws[0].scale, 0.5);
        seen.push_back(Position(draws[0]));
    }
    const std::vector<int> expected = {532, 532, 533, 533, 534, 534, 535, 535, 536, 536, 537, 537,
                                       537, 537, 536, 536, 535, 535, 534, 534, 533, 533, 532, 532};
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(Draw(&slot).empty());
    EXPECT_EQ(slot.x, -1);
}

TEST_F(EffectDrawTest, FreeSlotsPausesReuseAndUnknownKinds) {
    // x or y at -1 is free, whatever the other holds.
    EffectSlot half{100, -1, 64, 64, 3, 1, false};
    int result = 0;
    EXPECT_TRUE(Draw(&half, 300, 200, 1, 2, false, &result).empty());
    EXPECT_EQ(result, -1);
    EXPECT_EQ(half.frame, 3);
    EXPECT_EQ(StartEffect(&half, 5, 6), 0);
    EXPECT_EQ(StartEffect(&half, 7, 8), -1);

    // Paused: the same image every time, and it never ends.
    EffectSlot held = Placed(6);
    held.frame = 2;
    for (int i = 0; i < 50; ++i) {
        const auto draws = Draw(&held, 300, 200, 1, 2, true);
        ASSERT_EQ(draws.size(), 1u);
        EXPECT_EQ(Position(draws[0]), 127);
    }
    EXPECT_EQ(held.frame, 2);

    // A slot used before starts its next effect at frame 1: the first
    // spark image is shown once only.
    EffectSlot slot = Placed(1);
    for (int i = 0; i < 13; ++i) Draw(&slot);
    ASSERT_EQ(slot.x, -1);
    ASSERT_EQ(StartEffect(&slot, 10, 10), 0);
    slot.kind = 1;
    EXPECT_EQ(slot.frame, 1);
    int drawn = 0;
    while (!Draw(&slot).empty()) ++drawn;
    EXPECT_EQ(drawn, 11);

    // A kind outside the table draws nothing, stays and counts on.
    EffectSlot odd = Placed(50);
    for (int i = 0; i < 200; ++i) EXPECT_TRUE(Draw(&odd).empty());
    EXPECT_EQ(odd.x, 100);
    EXPECT_EQ(odd.frame, 200);
}

TEST_F(EffectDrawTest, SlashSparkIsSmallForTwoFramesAndEndsAtFrameSeven) {
    EffectSlot slot = Placed(2);
    std::vector<double> scales;
    for (int f = 0; f < 7; ++f) {
        const auto draws = Draw(&slot);
        ASSERT_EQ(draws.size(), 1u);
        EXPECT_DOUBLE_EQ(draws[0].angle, std::numbers::pi / 4);
        scales.push_back(draws[0].scale);
    }
    EXPECT_EQ(scales, (std::vector<double>{0.5, 0.5, 1.0, 1.0, 1.0, 1.0, 1.0}));
    EXPECT_EQ(slot.frame, 7);
    EXPECT_TRUE(Draw(&slot).empty());
    EXPECT_EQ(slot.x, -1);
}

TEST_F(EffectDrawTest, StarsDriftAndDarken) {
    EffectSlot slot = Placed(8);
    slot.width = 40;
    slot.height = 30;
    slot.frame = 35;
    const auto draws = Draw(&slot);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(Position(draws[0]), 594);
    EXPECT_EQ(draws[0].points, (std::vector<int>{103, 123, 143, 153}));
    EXPECT_EQ(draws[0].bright[0], 185);
    EXPECT_EQ(draws[0].bright[1], 185);
    EXPECT_EQ(draws[0].bright[2], 185);
    EXPECT_EQ(GetDrawBrightColor(), 0xFFFFFFu);
}

TEST_F(EffectDrawTest, RingAndRaySwellFadeAndPutTheAdditivePassBack) {
    SetBlendModeAndParam(2, 255);
    EffectSlot slot = Placed(104);
    slot.frame = 13;
    const auto draws = Draw(&slot, 300, 200);
    ASSERT_EQ(draws.size(), 12u);
    for (size_t i = 0; i < draws.size(); i += 2) {
        EXPECT_EQ(Position(draws[i]), 137);
        EXPECT_EQ(draws[i].points, (std::vector<int>{364, 264}));
        EXPECT_DOUBLE_EQ(draws[i].scale, 13 / 20.0);
        EXPECT_DOUBLE_EQ(draws[i].angle, 5 * std::numbers::pi / 8);
        EXPECT_EQ(Position(draws[i + 1]), 138);
        EXPECT_DOUBLE_EQ(draws[i + 1].scale, 2.0 - 3 / 5.0);
        EXPECT_EQ(draws[i].blendMode, 2);
        EXPECT_EQ(draws[i].blendParam, 229);
        EXPECT_EQ(draws[i].bright[0], 255);
        EXPECT_EQ(draws[i].bright[1], 50);
        EXPECT_EQ(draws[i].bright[2], 30);
    }
    EXPECT_EQ(CurrentDrawSettings.blendMode, 2);
    EXPECT_EQ(CurrentDrawSettings.blendParam, 255);
    EXPECT_EQ(GetDrawBrightColor(), 0xFFFFFFu);
}

TEST_F(EffectDrawTest, DashBandAndDustByStateAndFacing) {
    struct Case {
        int state;
        int facing;
        std::vector<int> band;
        const char* dustCall;
        std::vector<int> dust;
    };
    // Frame 6, the player at (300, 200).
    const Case cases[] = {
        {1, 2, {318, 245, 347, 310}, "DrawGraphicAtPoint", {270, 296}},
        {1, 1, {380, 245, 409, 310}, "DrawGraphicMirrored", {390, 296}},
        {11, 2, {350, 261, 347, 310}, "DrawGraphicAtPoint", {270, 296}},
        {11, 1, {380, 261, 377, 310}, "DrawGraphicMirrored", {390, 296}},
    };
    for (const Case& c : cases) {
        EffectSlot slot = Placed(102);
        slot.frame = 6;
        const auto draws = Draw(&slot, 300, 200, c.state, c.facing);
        ASSERT_EQ(draws.size(), 2u);
        EXPECT_EQ(Position(draws[0]), 85);
        EXPECT_EQ(draws[0].points, c.band) << c.state << "/" << c.facing;
        EXPECT_EQ(draws[0].blendParam, 255 - 66);
        EXPECT_EQ(Position(draws[1]), 116);
        EXPECT_EQ(draws[1].call, c.dustCall);
        EXPECT_EQ(draws[1].points, c.dust);
    }
}

TEST_F(EffectDrawTest, PlayerAnchoredKindsFollowThePlayersFacing) {
    EffectSlot broom = Placed(10);
    auto draws = Draw(&broom, 300, 200, 1, 1);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].call, "DrawGraphicMirrored");
    EXPECT_EQ(draws[0].points, (std::vector<int>{268, 200}));
    EXPECT_TRUE(Draw(&broom, 300, 200, 1, 3).empty());
    EXPECT_EQ(broom.frame, 2);

    EffectSlot fog = Placed(106);
    draws = Draw(&fog, 300, 200, 1, 1);
    ASSERT_EQ(draws.size(), 5u);
    for (const auto& d : draws) {
        EXPECT_EQ(d.call, "DrawGraphicMirrored");
        EXPECT_EQ(d.points, (std::vector<int>{300, 200}));
        EXPECT_EQ(d.bright[1], 50);
    }
    draws = Draw(&fog, 300, 200, 1, 2);
    EXPECT_EQ(draws[0].call, "DrawGraphicAtPoint");

    EffectSlot battery = Placed(11);
    battery.mirrored = true;
    draws = Draw(&battery);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].call, "DrawGraphicMirrored");
    EXPECT_EQ(draws[0].points, (std::vector<int>{100, 120}));
}

}  // namespace
