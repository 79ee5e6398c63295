#include "game/stage/player_character.h"

#include <gtest/gtest.h>

#include <vector>

#include "game/stage/enemy_updating.h"

namespace {

std::vector<int> Silence() {
    return std::vector<int>(43, -1);
}

struct EffectTable {
    EffectSlot slots[kEffectTableSize];
    EffectTable() {
        for (EffectSlot& slot : slots) ResetEffect(&slot);
    }
    int CountKind(int kind) const {
        int count = 0;
        for (const EffectSlot& slot : slots) {
            if (slot.x != -1 && slot.y != -1 && slot.kind == kind) ++count;
        }
        return count;
    }
    const EffectSlot* FirstOfKind(int kind) const {
        for (const EffectSlot& slot : slots) {
            if (slot.x != -1 && slot.y != -1 && slot.kind == kind) return &slot;
        }
        return nullptr;
    }
};

TEST(PlayerRecordTest, StartValuesAndRestartPoint) {
    PlayerRecord player;
    player.hitPoints = 3;
    player.state = kPlayerDead;
    player.hitRight = 0;
    InitPlayerRecord(&player);
    EXPECT_EQ(player.hitPoints, 100);
    EXPECT_EQ(player.state, kPlayerStanding);
    EXPECT_EQ(player.spellStock, 1);
    EXPECT_EQ(player.character, 1);
    EXPECT_EQ(player.facing, 2);
    EXPECT_TRUE(player.flag);
    EXPECT_EQ(player.hitLeft, 50);
    EXPECT_EQ(player.hitTop, 40);
    EXPECT_EQ(player.hitRight, 73);
    EXPECT_EQ(player.hitBottom, 110);

    RestartPoint restart;
    EXPECT_EQ(restart.marker.x, -10000000);
    EXPECT_EQ(restart.marker.y, -10000000);
    EXPECT_EQ(restart.marker.altX, -10000000);
    EXPECT_EQ(restart.marker.altY, -10000000);
}

struct SpellCase {
    const char* name;
    int held;
    int state;
    int stock;
    bool starts;
};

TEST(StartPlayerSpellTest, NewPressWhileStandingWithStock) {
    const SpellCase cases[] = {
        {"fresh press", 1, kPlayerStanding, 1, true},
        {"two in stock", 1, kPlayerStanding, 2, true},
        {"held on", 2, kPlayerStanding, 1, false},
        {"not pressed", 0, kPlayerStanding, 1, false},
        {"airborne", 1, kPlayerAirborne, 1, false},
        {"walking", 1, kPlayerWalking, 1, false},
        {"no stock", 1, kPlayerStanding, 0, false},
    };
    for (const SpellCase& c : cases) {
        PlayerRecord player;
        player.state = c.state;
        player.spellStock = c.stock;
        player.damaged = true;
        player.blinkCounter = 37;
        player.spellFrame = 9;
        ButtonHeldFrames buttons{{D_BUTTON, c.held}};
        EXPECT_EQ(StartPlayerSpell(&player, buttons), c.starts) << c.name;
        if (c.starts) {
            EXPECT_EQ(player.state, kPlayerSpell) << c.name;
            EXPECT_EQ(player.spellStock, c.stock - 1) << c.name;
            EXPECT_FALSE(player.damaged) << c.name;
            EXPECT_EQ(player.blinkCounter, 0) << c.name;
            EXPECT_EQ(player.spellFrame, 0) << c.name;
        } else {
            EXPECT_EQ(player.state, c.state) << c.name;
            EXPECT_EQ(player.spellStock, c.stock) << c.name;
            EXPECT_TRUE(player.damaged) << c.name;
        }
    }
}

TEST(ChangePlayerCharacterTest, CyclesPerStage) {
    struct Cycle {
        int stageCode;
        std::vector<int> characters;
    };
    const Cycle cycles[] = {
        {1, {1, 2, 3, 1, 2}},
        {102, {1, 2, 3, 1}},
        {2, {1, 2, 3, 4, 1}},
        {502, {1, 2, 3, 4, 1}},
    };
    std::vector<int> sounds = Silence();
    for (const Cycle& cycle : cycles) {
        PlayerRecord player;
        EffectTable effects;
        ButtonHeldFrames buttons{{CHANGE, 1}};
        for (size_t i = 1; i < cycle.characters.size(); ++i) {
            ASSERT_EQ(player.character, cycle.characters[i - 1]);
            EXPECT_TRUE(ChangePlayerCharacter(&player, buttons, cycle.stageCode, effects.slots, sounds.data(), nullptr));
            EXPECT_EQ(player.character, cycle.characters[i]) << "stage " << cycle.stageCode << " step " << i;
        }
        EXPECT_EQ(effects.CountKind(kEffectCharacterChange), static_cast<int>(cycle.characters.size() - 1));
    }
}

TEST(ChangePlayerCharacterTest, OnlyANewPressWhileStandingAndLeavingThreeClearsTheCharge) {
    std::vector<int> sounds = Silence();
    EffectTable effects;
    PlayerRecord player;
    player.x = 120.7;
    player.screenY = 200.2;
    int charge = 150;

    player.state = kPlayerWalking;
    EXPECT_FALSE(ChangePlayerCharacter(&player, {{CHANGE, 1}}, 2, effects.slots, sounds.data(), &charge));
    player.state = kPlayerStanding;
    EXPECT_FALSE(ChangePlayerCharacter(&player, {{CHANGE, 2}}, 2, effects.slots, sounds.data(), &charge));
    EXPECT_EQ(player.character, 1);
    EXPECT_EQ(effects.CountKind(kEffectCharacterChange), 0);

    player.character = 2;
    EXPECT_TRUE(ChangePlayerCharacter(&player, {{CHANGE, 1}}, 2, effects.slots, sounds.data(), &charge));
    EXPECT_EQ(charge, 150);
    EXPECT_TRUE(ChangePlayerCharacter(&player, {{CHANGE, 1}}, 2, effects.slots, sounds.data(), &charge));
    EXPECT_EQ(player.character, 4);
    EXPECT_EQ(charge, 0);
    const EffectSlot* effect = effects.FirstOfKind(kEffectCharacterChange);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->x, 120);
    EXPECT_EQ(effect->y, 200);
}

TEST(PlacePlayerEffectTest, FirstFreeSlotAndAFullTableDropsIt) {
    EffectTable effects;
    effects.slots[0].x = 5;
    effects.slots[0].y = 5;
    effects.slots[1].x = 7;  // y still -1: free
    PlacePlayerEffect(effects.slots, 104, 30, 40);
    EXPECT_EQ(effects.slots[1].x, 30);
    EXPECT_EQ(effects.slots[1].kind, 104);
    for (EffectSlot& slot : effects.slots) {
        slot.x = 1;
        slot.y = 1;
        slot.kind = 0;
    }
    PlacePlayerEffect(effects.slots, 104, 30, 40);
    EXPECT_EQ(effects.CountKind(104), 0);
}

// The end-of-frame rules, given the record and what the frame's movement left.
struct Resolver {
    PlayerRecord player;
    PlayerFrameState frame;
    RestartPoint restart;
    ShotSlot shots[kShotTableSize] = {};
    EffectTable effects;
    std::vector<int> sounds = Silence();
    PlayerStateInputs inputs;

    Resolver() {
        player.x = 100;
        player.previousX = 100;
        player.mapY = 384;
        player.screenY = 200;
        frame.floorY = 512;
        frame.onGround = true;
    }
    bool Run() {
        inputs.frame = &frame;
        inputs.restart = &restart;
        inputs.playerShots = shots;
        return ResolvePlayerState(&player, inputs, effects.slots, sounds.data());
    }
    // One frame with the frame-start values taken now.
    bool Frame() {
        inputs.hitPointsAtStart = player.hitPoints;
        inputs.stateAtStart = player.state;
        return Run();
    }
};

struct TransitionCase {
    const char* name;
    void (*arrange)(Resolver*);
    int expected;
};

TEST(ResolvePlayerStateTest, Transitions) {
    const TransitionCase cases[] = {
        {"standing still", [](Resolver*) {}, kPlayerStanding},
        {"walking stops", [](Resolver* r) { r->player.state = kPlayerWalking; }, kPlayerStanding},
        {"landing", [](Resolver* r) { r->player.state = kPlayerAirborne; }, kPlayerStanding},
        {"above the floor", [](Resolver* r) { r->player.mapY = 383.5; }, kPlayerAirborne},
        {"no floor under the body", [](Resolver* r) { r->frame.floorY = -1; }, kPlayerAirborne},
        {"on an up-down elevator",
         [](Resolver* r) {
             r->player.mapY = 300;
             r->inputs.onUpDownElevator = true;
         },
         kPlayerStanding},
        {"x moved", [](Resolver* r) { r->player.x = 105; }, kPlayerWalking},
        {"scroll moved", [](Resolver* r) { r->player.scrollX = 5; }, kPlayerWalking},
        {"pushed", [](Resolver* r) { r->player.pushed = true; }, kPlayerWalking},
        {"carried by a platform",
         [](Resolver* r) {
             r->player.x = 102;
             r->player.carried = true;
         },
         kPlayerStanding},
        {"character 2 falling against a wall",
         [](Resolver* r) {
             r->player.character = 2;
             r->player.mapY = 200;
             r->player.vy = -1;
             r->frame.onGround = false;
             r->frame.blocked = true;
         },
         kPlayerWallSlide},
        {"character 2 rising against a wall",
         [](Resolver* r) {
             r->player.character = 2;
             r->player.mapY = 200;
             r->player.vy = 0;
             r->frame.onGround = false;
             r->frame.blocked = true;
         },
         kPlayerAirborne},
        {"character 1 falling against a wall",
         [](Resolver* r) {
             r->player.mapY = 200;
             r->player.vy = -1;
             r->frame.onGround = false;
             r->frame.blocked = true;
         },
         kPlayerAirborne},
        {"JUMP held 60 frames", [](Resolver* r) { r->frame.jumpHeldFrames = 60; }, kPlayerStanding},
        {"JUMP held 61 frames", [](Resolver* r) { r->frame.jumpHeldFrames = 61; }, kPlayerLowForm},
        {"JUMP held 61 frames, character 2",
         [](Resolver* r) {
             r->frame.jumpHeldFrames = 61;
             r->player.character = 2;
         },
         kPlayerStanding},
        {"JUMP held 61 frames while walking",
         [](Resolver* r) {
             r->frame.jumpHeldFrames = 61;
             r->player.state = kPlayerWalking;
         },
         kPlayerStanding},
        {"low form stays while moving",
         [](Resolver* r) {
             r->player.state = kPlayerLowForm;
             r->player.x = 110;
             r->player.mapY = 200;
         },
         kPlayerLowForm},
        {"hurt", [](Resolver* r) { r->player.hitPoints = 90; }, kPlayerKnockedBack},
        {"hurt in the low form",
         [](Resolver* r) {
             r->player.state = kPlayerLowForm;
             r->player.hitPoints = 90;
         },
         kPlayerLowForm},
        {"hurt while attacking",
         [](Resolver* r) {
             r->player.state = kPlayerAttacking;
             r->player.hitPoints = 90;
         },
         kPlayerAttacking},
        {"knock-back goes on", [](Resolver* r) {
             r->player.state = kPlayerKnockedBack;
             r->player.actionFrame = 20;
         },
         kPlayerKnockedBack},
        {"knock-back ends", [](Resolver* r) {
             r->player.state = kPlayerKnockedBack;
             r->player.actionFrame = 21;
         },
         kPlayerStanding},
        {"throw goes on",
         [](Resolver* r) {
             r->player.state = kPlayerThrowing;
             r->shots[4] = ShotSlot{};
             r->shots[4].kind = 1001;
             r->shots[4].state = 2;
             r->shots[5].kind = 2000;
             r->shots[5].state = 3;
         },
         kPlayerThrowing},
        {"throw ends when the captured enemy explodes",
         [](Resolver* r) {
             r->player.state = kPlayerThrowing;
             r->shots[7].kind = 1999;
             r->shots[7].state = 3;
         },
         kPlayerStanding},
    };
    for (const TransitionCase& c : cases) {
        Resolver r;
        r.inputs.hitPointsAtStart = 100;
        c.arrange(&r);
        r.inputs.stateAtStart = r.player.state;
        r.Run();
        EXPECT_EQ(r.player.state, c.expected) << c.name;
    }
}

TEST(ResolvePlayerStateTest, HeldStatesAreLeftAlone) {
    for (int state : {kPlayerAttacking, kPlayerDead, kPlayerGoal, kPlayerSpell, kPlayerHovering, kPlayerHoverShot,
                      kPlayerThrowing}) {
        Resolver r;
        r.player.state = state;
        r.player.mapY = 0;  // far above the floor
        r.player.x = 300;   // and moved
        r.Frame();
        EXPECT_EQ(r.player.state, state);
    }
}

TEST(ResolvePlayerStateTest, KnockBackSetsTheRiseAndTheWallSlideStopsTheDash) {
    Resolver r;
    r.inputs.hitPointsAtStart = 100;
    r.player.hitPoints = 70;
    r.inputs.stateAtStart = kPlayerWalking;
    r.Run();
    EXPECT_EQ(r.player.state, kPlayerKnockedBack);
    EXPECT_EQ(r.player.vy, 10);
    EXPECT_EQ(r.player.actionFrame, 1);

    Resolver slide;
    slide.player.character = 2;
    slide.player.mapY = 100;
    slide.player.vy = -4;
    slide.player.dashing = true;
    slide.player.dashFrame = 30;
    slide.player.guarded = true;
    slide.frame.onGround = false;
    slide.frame.blocked = true;
    slide.Frame();
    EXPECT_EQ(slide.player.state, kPlayerWallSlide);
    EXPECT_FALSE(slide.player.dashing);
    EXPECT_EQ(slide.player.dashFrame, 0);
    EXPECT_FALSE(slide.player.guarded);
}

TEST(ResolvePlayerStateTest, HitTwiceInOneFrameLosesBothAndIsKnockedBackOnce) {
    Resolver r;
    r.inputs.hitPointsAtStart = 100;
    r.inputs.stateAtStart = kPlayerStanding;
    ApplyDamage(&r.player, 10, -1);
    ApplyDamage(&r.player, 15, -1);
    r.Run();
    EXPECT_EQ(r.player.hitPoints, 75);
    EXPECT_EQ(r.player.state, kPlayerKnockedBack);
    EXPECT_EQ(r.player.blinkCounter, 1);
}

TEST(ResolvePlayerStateTest, ZeroHitPointsIsDeathAndStays) {
    for (int damage : {100, 130}) {
        Resolver r;
        r.inputs.hitPointsAtStart = 100;
        r.inputs.stateAtStart = kPlayerStanding;
        ApplyDamage(&r.player, damage, -1);
        r.Run();
        EXPECT_EQ(r.player.hitPoints, 0);
        EXPECT_EQ(r.player.state, kPlayerDead);
        EXPECT_FALSE(r.player.damaged);
        r.Frame();
        EXPECT_EQ(r.player.state, kPlayerDead);
    }
}

TEST(ResolvePlayerStateTest, BlinkLasts121Frames) {
    Resolver r;
    r.player.damaged = true;
    for (int frame = 1; frame <= 120; ++frame) {
        r.Frame();
        ASSERT_TRUE(r.player.damaged) << frame;
        ASSERT_EQ(r.player.blinkCounter, frame);
    }
    r.Frame();
    EXPECT_FALSE(r.player.damaged);
    EXPECT_EQ(r.player.blinkCounter, 0);
    r.Frame();
    EXPECT_EQ(r.player.blinkCounter, 0);
}

TEST(ResolvePlayerStateTest, LowFormEntryAndExitSwapTheHitBox) {
    Resolver r;
    r.frame.jumpHeldFrames = 61;
    r.Frame();
    ASSERT_EQ(r.player.state, kPlayerLowForm);
    EXPECT_EQ(r.player.hitLeft, 60);
    EXPECT_EQ(r.player.hitTop, 80);
    EXPECT_EQ(r.player.hitRight, 65);
    EXPECT_EQ(r.player.hitBottom, 110);
    EXPECT_EQ(r.effects.CountKind(kEffectLowForm), 1);

    // The vertical movement stands the player up; the rules then restore the box.
    r.frame.jumpHeldFrames = 0;
    r.inputs.stateAtStart = kPlayerLowForm;
    r.inputs.hitPointsAtStart = r.player.hitPoints;
    r.player.state = kPlayerStanding;
    r.Run();
    EXPECT_EQ(r.player.state, kPlayerStanding);
    EXPECT_EQ(r.player.hitLeft, 50);
    EXPECT_EQ(r.player.hitTop, 40);
    EXPECT_EQ(r.player.hitRight, 73);
    EXPECT_EQ(r.effects.CountKind(kEffectLowForm), 2);
}

TEST(ResolvePlayerStateTest, DashLasts90FramesWithAnEffectEveryTenth) {
    Resolver r;
    r.player.dashing = true;
    r.player.state = kPlayerHovering;
    r.player.character = 3;
    for (int frame = 0; frame < 89; ++frame) {
        r.Frame();
        ASSERT_TRUE(r.player.dashing) << frame;
        ASSERT_TRUE(r.player.guarded) << frame;
        ASSERT_EQ(r.player.dashFrame, frame + 1);
    }
    EXPECT_NE(r.player.state, kPlayerHovering);
    r.Frame();
    EXPECT_FALSE(r.player.dashing);
    EXPECT_FALSE(r.player.guarded);
    EXPECT_EQ(r.player.dashFrame, 0);
    // Dash frames 0, 10, ..., 80.
    EXPECT_EQ(r.effects.CountKind(kEffectDash), 9);
}

TEST(ResolvePlayerStateTest, EffectsScrollWithTheView) {
    struct ScrollCase {
        double x;
        int expectedX;
    };
    for (const ScrollCase& c : {ScrollCase{256.0, 95}, ScrollCase{255.0, 100}}) {
        Resolver r;
        r.player.x = c.x;
        r.player.previousX = c.x;
        r.effects.slots[3].x = 100;
        r.effects.slots[3].y = 50;
        r.effects.slots[4].x = 100;  // free: y is -1
        r.inputs.scrollStepX = 5.9;
        r.inputs.scrollStepY = -2.5;
        r.Frame();
        EXPECT_EQ(r.effects.slots[3].x, c.expectedX);
        EXPECT_EQ(r.effects.slots[3].y, 52);
        EXPECT_EQ(r.effects.slots[4].x, 100);
    }
}

struct ArrivalCase {
    const char* name;
    double mapY;
    double scrollX;
    double x;
    bool arrives;
};

TEST(ResolvePlayerStateTest, ArrivalAtTheRestartPoint) {
    // The restart copy: map y 384, scroll x 640, x 256.
    const ArrivalCase cases[] = {
        {"exactly there", 384, 640, 256, true},
        {"64 above", 320, 640, 256, false},
        {"63 above", 321, 640, 256, true},
        {"64 below", 448, 640, 256, true},
        {"65 below", 449, 640, 256, false},
        {"scroll 64 short", 384, 576, 256, false},
        {"scroll 64 past", 384, 704, 256, true},
        {"x 64 left", 384, 640, 192, false},
        {"x 64 right", 384, 640, 320, true},
    };
    for (const ArrivalCase& c : cases) {
        Resolver r;
        r.restart.player.mapY = 384;
        r.restart.player.scrollX = 640;
        r.restart.player.scrollY = 300;
        r.restart.player.x = 256;
        r.player.state = kPlayerReturning;
        r.player.guarded = true;
        r.player.hitRight = 99;
        r.player.mapY = c.mapY;
        r.player.scrollX = c.scrollX;
        r.player.previousScrollX = 640;
        r.player.x = c.x;
        r.player.previousX = 256;
        EXPECT_EQ(r.Frame(), c.arrives) << c.name;
        if (c.arrives) {
            EXPECT_EQ(r.player.state, kPlayerStanding) << c.name;
            EXPECT_EQ(r.player.mapY, 384) << c.name;
            EXPECT_EQ(r.player.scrollX, 640) << c.name;
            EXPECT_EQ(r.player.scrollY, 300) << c.name;
            EXPECT_EQ(r.player.x, 256) << c.name;
            EXPECT_FALSE(r.player.guarded) << c.name;
            EXPECT_EQ(r.player.hitRight, 73) << c.name;
            EXPECT_EQ(r.effects.CountKind(kEffectRestart), 1) << c.name;
        } else {
            EXPECT_EQ(r.player.state, kPlayerReturning) << c.name;
            EXPECT_EQ(r.effects.CountKind(kEffectRestart), 0) << c.name;
        }
    }
}

}  // namespace
