// The spells: their end frames and the kill flag, the backdrop's ramps and
// title flight, each spell's main phase and the strikes it places.
#include "game/stage/spells.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/sound/sound_loading.h"
#include "framework/sound/sound_playback.h"
#include "game/stage/player_animation.h"
#include "game/stage/stage_images.h"
#include "tests/support/game/game_test.h"

namespace {

constexpr int kHandleBase = 0x40000;  // image position p is drawn as handle kHandleBase + p

int Position(const gametest::SeenDraw& draw) { return draw.handle - kHandleBase; }

class SpellTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        ASSERT_TRUE(StartFramework());
        for (int i = 0; i < kStageImageTableSize; ++i) images_[i] = kHandleBase + i;
        for (int& sound : sounds_) sound = -1;
        ClearEffects();
    }

    void ClearEffects() {
        for (EffectSlot& slot : effects_) {
            slot = EffectSlot{};
            ResetEffect(&slot);
        }
    }

    static PlayerRecord Caster(int character, int t) {
        PlayerRecord player;
        player.character = character;
        player.state = kPlayerSpell;
        player.spellFrame = t - 1;  // the spell counts it up before drawing
        player.x = 256.0;
        player.screenY = 200.0;
        return player;
    }

    // The draws of the spell's frame t, through the player's drawing.
    std::vector<gametest::SeenDraw> Frame(PlayerRecord* player, bool playing = true) {
        PlayerDrawInputs inputs;
        inputs.sounds = sounds_;
        inputs.effects = effects_;
        inputs.killFlag = &kill_;
        inputs.playing = playing;
        const size_t before = OpenFrameDraws().size();
        DrawPlayerCharacter(player, images_, false, inputs);
        return {OpenFrameDraws().begin() + static_cast<long>(before), OpenFrameDraws().end()};
    }

    std::vector<gametest::SeenDraw> Frame(int character, int t) {
        PlayerRecord player = Caster(character, t);
        return Frame(&player);
    }

    // The draws of pictures from first to last.
    static std::vector<gametest::SeenDraw> Of(const std::vector<gametest::SeenDraw>& draws, int first, int last) {
        std::vector<gametest::SeenDraw> found;
        for (const auto& draw : draws)
            if (Position(draw) >= first && Position(draw) <= last) found.push_back(draw);
        return found;
    }

    std::vector<const EffectSlot*> Placed() const {
        std::vector<const EffectSlot*> placed;
        for (const EffectSlot& slot : effects_)
            if (slot.x != -1 && slot.y != -1) placed.push_back(&slot);
        return placed;
    }

    int images_[kStageImageTableSize] = {};
    int sounds_[43] = {};
    EffectSlot effects_[kEffectTableSize] = {};
    int kill_ = 0;
};

TEST_F(SpellTest, EachSpellEndsOnItsFrameWithTheKillFlag) {
    const int ends[] = {0, 370, 250, 330, 310};
    for (int character = 1; character <= 4; ++character) {
        SCOPED_TRACE(character);
        EXPECT_EQ(SpellEndFrame(character), ends[character]);
        PlayerRecord player = Caster(character, 1);
        kill_ = 0;
        int frames = 0;
        while (player.state == kPlayerSpell && frames < 1000) {
            ClearEffects();
            Frame(&player);
            ++frames;
            if (player.state == kPlayerSpell) { ASSERT_EQ(kill_, 0) << frames; }
        }
        EXPECT_EQ(frames, ends[character]);
        EXPECT_EQ(player.spellFrame, ends[character]);
        EXPECT_EQ(player.state, kPlayerStanding);
        EXPECT_EQ(kill_, 1);
    }
}

TEST_F(SpellTest, APausedSpellStandsStillAndNeverEnds) {
    PlayerRecord player = Caster(2, 250);
    player.spellFrame = 249;
    Frame(&player, false);
    EXPECT_EQ(player.spellFrame, 249);
    EXPECT_EQ(player.state, kPlayerSpell);
    EXPECT_EQ(kill_, 0);
    Frame(&player);
    EXPECT_EQ(player.state, kPlayerStanding);
}

// The backdrop: the spell background added at brightness min(t, 30) and
// scrolling by 1.3 and 1 per frame, the stand picture fading in and out as it
// rises, the title flying in.
TEST_F(SpellTest, TheBackdropRampsAndScrolls) {
    struct Case {
        int t;
        int ramp;
        int leftX, rightX, y;
        int stand;
    };
    const Case cases[] = {
        {1, 1, -1, -638, -1, 2},      {29, 29, -37, -602, -29, 58}, {30, 30, -39, -601, -30, 60},
        {59, 30, -76, -563, -59, 118}, {60, 30, -78, -562, -60, 120}, {61, 30, -79, -560, -61, 118},
        {120, 30, -156, -484, -120, 0}, {200, 30, -260, -380, -200, 0}, {479, 30, -622, -17, -479, 0},
        {480, 30, 0, -640, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.t);
        const size_t before = OpenFrameDraws().size();
        DrawSpellBackdrop(3, c.t, images_);
        const std::vector<gametest::SeenDraw> draws(OpenFrameDraws().begin() + static_cast<long>(before),
                                                    OpenFrameDraws().end());
        ASSERT_GE(draws.size(), 3u);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(Position(draws[i]), 136);
            EXPECT_EQ(draws[i].blendMode, 2);
            EXPECT_EQ(draws[i].blendParam, 255);
            EXPECT_EQ(draws[i].bright[0], c.ramp);
            EXPECT_EQ(draws[i].bright[2], c.ramp);
        }
        EXPECT_EQ(draws[0].points, (std::vector<int>{c.leftX, c.y}));
        EXPECT_EQ(draws[1].points, (std::vector<int>{c.rightX, c.y}));
        EXPECT_EQ(Position(draws[2]), 142);
        EXPECT_EQ(draws[2].points, (std::vector<int>{136, 120 - c.t}));
        EXPECT_EQ(draws[2].bright[1], c.stand);
        EXPECT_EQ(draws[2].blendMode, 2);
    }
}

TEST_F(SpellTest, TheTitleFliesInAndLeaves) {
    struct Case {
        int character, t;
        const char* call;
        std::vector<int> points;
    };
    const Case cases[] = {
        {1, 1, "DrawGraphicStretched", {-19, 381, 221, 469}},
        {2, 29, "DrawGraphicStretched", {9, 409, 193, 441}},
        {3, 30, "DrawGraphicAtPoint", {10, 410}},
        {4, 43, "DrawGraphicAtPoint", {10, 150}},
        {4, 44, "DrawGraphicAtPoint", {10, 135}},
        {1, 89, "DrawGraphicAtPoint", {10, 135}},
        {1, 90, "", {}},
    };
    const int titles[] = {0, 135, 9, 3, 0};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.character) + " at " + std::to_string(c.t));
        const size_t before = OpenFrameDraws().size();
        DrawSpellBackdrop(c.character, c.t, images_);
        const std::vector<gametest::SeenDraw> draws(OpenFrameDraws().begin() + static_cast<long>(before),
                                                    OpenFrameDraws().end());
        const auto title = Of(draws, titles[c.character], titles[c.character]);
        if (c.call[0] == '\0') {
            EXPECT_TRUE(title.empty());
            continue;
        }
        ASSERT_EQ(title.size(), 1u);
        EXPECT_EQ(title[0].call, c.call);
        EXPECT_EQ(title[0].points, c.points);
        EXPECT_EQ(title[0].blendMode, 0);
        EXPECT_EQ(title[0].bright[0], 255);
    }
}

// Character 1's dolls strike all over the view at a quickening pace.
TEST_F(SpellTest, TheDollArmyCirclesAndStrikes) {
    EXPECT_TRUE(Of(Frame(1, 119), 369, 373).empty());
    const auto early = Of(Frame(1, 121), 369, 373);
    ASSERT_EQ(early.size(), 8u);
    EXPECT_EQ(Position(early[0]), 370);
    EXPECT_EQ(early[0].call, "DrawGraphicRotated");
    EXPECT_DOUBLE_EQ(early[0].scale, 2.0);
    EXPECT_EQ(Of(Frame(1, 200), 369, 373).size(), 16u);
    EXPECT_EQ(Of(Frame(1, 369), 369, 373).size(), 16u);

    struct Strike {
        int t;
        int pairs;
    };
    for (const Strike& s : {Strike{160, 1}, Strike{161, 0}, Strike{240, 2}, Strike{270, 3}, Strike{300, 4},
                            Strike{359, 4}, Strike{360, 0}}) {
        SCOPED_TRACE(s.t);
        ClearEffects();
        Frame(1, s.t);
        const auto placed = Placed();
        ASSERT_EQ(placed.size(), static_cast<size_t>(2 * s.pairs));
        for (size_t i = 0; i + 1 < placed.size(); i += 2) {
            EXPECT_EQ(placed[i]->kind, 6);
            EXPECT_EQ(placed[i + 1]->kind, 2);
            EXPECT_EQ(placed[i]->x, placed[i + 1]->x);
            EXPECT_LT(placed[i]->x, 600);
            EXPECT_LT(placed[i]->y, 400);
        }
    }
    // The flash covers the view at the end.
    const auto flash = Of(Frame(1, 360), StageImage::kWhiteFlash, StageImage::kWhiteFlash);
    ASSERT_EQ(flash.size(), 1u);
    EXPECT_EQ(flash[0].points, (std::vector<int>{0, 0, 640, 480}));
    EXPECT_TRUE(Of(Frame(1, 349), StageImage::kWhiteFlash, StageImage::kWhiteFlash).empty());
}

TEST_F(SpellTest, KolvaCrossesTheViewLeavingStars) {
    for (int t : {170, 176, 229}) {
        SCOPED_TRACE(t);
        ClearEffects();
        const auto draws = Frame(2, t);
        const int u = t - 170;
        const auto body = Of(draws, 10, 10);
        ASSERT_EQ(body.size(), 1u);
        EXPECT_EQ(body[0].points, (std::vector<int>{800 - 30 * u, 200}));
        EXPECT_EQ(body[0].source[0], ((t - 171) / 5 + 5) * 256);
        EXPECT_EQ(body[0].turnFlag, 1);
        const auto beam = Of(draws, 580, 591);
        ASSERT_EQ(beam.size(), 1u);
        EXPECT_EQ(Position(beam[0]), 580 + (u / 4) % 12);
        EXPECT_EQ(beam[0].points, (std::vector<int>{1632 - 30 * u, 480, 672 - 30 * u, 0}));
        EXPECT_EQ(beam[0].blendMode, 2);
        const auto placed = Placed();
        ASSERT_EQ(placed.size(), 1u);
        EXPECT_GE(placed[0]->kind, 7);
        EXPECT_LE(placed[0]->kind, 9);
        EXPECT_EQ(placed[0]->x, 800 - 30 * u);
        EXPECT_LE(std::abs(placed[0]->y - 200), 200);
        EXPECT_EQ(placed[0]->width, placed[0]->height);
        EXPECT_EQ(placed[0]->width % 32, 0);
        EXPECT_LE(placed[0]->width, 128);
    }
    EXPECT_TRUE(Of(Frame(2, 169), 580, 591).empty());
    const auto flash = Of(Frame(2, 231), StageImage::kWhiteFlash, StageImage::kWhiteFlash);
    ASSERT_EQ(flash.size(), 1u);
    EXPECT_EQ(flash[0].points, (std::vector<int>{170, 90, 470, 390}));
}

TEST_F(SpellTest, TamselDarkensTheViewAndBombardsIt) {
    struct Dark {
        int t, alpha;
    };
    for (const Dark& d : {Dark{120, 0}, Dark{150, 120}, Dark{179, 236}, Dark{180, 255}, Dark{320, 255}}) {
        const auto black = Of(Frame(3, d.t), StageImage::kBlack, StageImage::kBlack);
        ASSERT_EQ(black.size(), 1u) << d.t;
        EXPECT_EQ(black[0].blendMode, 1);
        EXPECT_EQ(black[0].blendParam, d.alpha) << d.t;
    }
    EXPECT_TRUE(Of(Frame(3, 119), StageImage::kBlack, StageImage::kBlack).empty());
    const auto rain = Of(Frame(3, 299), 596, 656);
    ASSERT_EQ(rain.size(), 1u);
    EXPECT_EQ(Position(rain[0]), 655);
    EXPECT_EQ(rain[0].points, (std::vector<int>{0, 0, 640, 480}));
    EXPECT_TRUE(Of(Frame(3, 300), 596, 656).empty());

    struct Strike {
        int t, hits;
    };
    for (const Strike& s : {Strike{180, 2}, Strike{181, 0}, Strike{210, 3}, Strike{260, 4}, Strike{294, 4}}) {
        ClearEffects();
        Frame(3, s.t);
        const auto placed = Placed();
        ASSERT_EQ(placed.size(), static_cast<size_t>(s.hits)) << s.t;
        for (const EffectSlot* slot : placed) EXPECT_EQ(slot->kind, 6);
    }
    const auto flash = Of(Frame(3, 281), StageImage::kWhiteFlash, StageImage::kWhiteFlash);
    ASSERT_EQ(flash.size(), 1u);
    EXPECT_EQ(flash[0].points, (std::vector<int>{200, 120, 440, 360}));
}

TEST_F(SpellTest, WendriksFlareOpensThenSwellsAboutHer) {
    EXPECT_TRUE(Of(Frame(4, 119), 710, 744).empty());
    auto flare = Of(Frame(4, 244), 710, 744);
    ASSERT_EQ(flare.size(), 1u);
    EXPECT_EQ(Position(flare[0]), 734);
    EXPECT_EQ(flare[0].call, "DrawGraphicAtPoint");
    EXPECT_EQ(flare[0].points, (std::vector<int>{256, 200}));
    EXPECT_EQ(flare[0].blendMode, 2);
    flare = Of(Frame(4, 250), 710, 744);
    ASSERT_EQ(flare.size(), 1u);
    EXPECT_EQ(flare[0].points, (std::vector<int>{136, 80, 504, 448}));
    flare = Of(Frame(4, 309), 710, 744);
    ASSERT_EQ(flare.size(), 1u);
    EXPECT_EQ(Position(flare[0]), 744);
}

TEST_F(SpellTest, TheCallIsHeardOnTheFirstFrameOnlyWhilePlaying) {
    WriteTone("call.wav", 3000);
    const int call = LoadSoundFile("call.wav", 1, -1);
    ASSERT_NE(call, -1);
    sounds_[kSoundSpellCall] = call;
    PlayerRecord player = Caster(4, 1);
    player.spellFrame = 0;
    Frame(&player, false);  // paused on the frame the spell began: t stays 0
    EXPECT_NE(CheckSoundHandlePlaying(call), 1);
    Frame(&player);
    EXPECT_EQ(player.spellFrame, 1);
    EXPECT_EQ(CheckSoundHandlePlaying(call), 1);
    StopSoundHandle(call);
    Frame(&player, false);
    Frame(&player);
    EXPECT_NE(CheckSoundHandlePlaying(call), 1);
}

}  // namespace
