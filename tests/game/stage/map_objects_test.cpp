#include "game/stage/map_objects.h"

#include <gtest/gtest.h>

#include <vector>

#include "game/stage/guide_message_box.h"
#include "game/stage/player_character.h"
#include "game/stage/player_movement.h"
#include "game/stage/stage_table.h"

namespace {

class CountingClock : public IStageClock {
public:
    void Pause() override { ++pauses; }
    void Restart() override { ++restarts; }
    int pauses = 0;
    int restarts = 0;
};

// A stage's map objects around a player standing at screen (200, 300) with
// the view scrolled 1000 right and 100 down.
struct Objects {
    PlayerRecord player;
    Item goal;
    RestartPoint restart;
    std::vector<Item> pits = std::vector<Item>(kPitCount);
    std::vector<Item> dashZones = std::vector<Item>(kDashZoneCount);
    std::vector<ValueItem*> recovery;
    std::vector<ValueItem*> spells;
    std::vector<GuideMessageBox*> boxes;
    std::vector<int> tiles;
    MovingFloor sinking[kMovingFloorCount];
    ShotSlot enemyShots[kShotTableSize] = {};
    ShotSlot playerShots[kShotTableSize] = {};
    EffectSlot effects[kEffectTableSize];
    std::vector<int> sounds = std::vector<int>(43, -1);
    CountingClock clock;
    static constexpr int kColumns = 40;
    static constexpr int kRows = 12;

    Objects() : tiles(kColumns * kRows, 0) {
        MapColumns = kColumns;
        TileIndexWidth = kColumns;
        player.x = 200;
        player.screenY = 300;
        player.scrollX = 1000;
        player.scrollY = 100;
        player.mapY = 400;
        goal.x = goal.y = -10000000;
        goal.useFirst = 1;
        for (MovingFloor& floor : sinking) ResetSinkingFloor(&floor);
        for (EffectSlot& slot : effects) ResetEffect(&slot);
    }
    ~Objects() {
        for (ValueItem* item : recovery) delete item;
        for (ValueItem* item : spells) delete item;
        for (GuideMessageBox* box : boxes) delete box;
    }
    // An item on the map cell under the player's body (world position).
    ValueItem* NewItem(int column, int row, int value) {
        auto* item = new ValueItem;
        item->x = column * 64;
        item->y = row * 64;
        item->useFirst = 1;
        item->value = value;
        return item;
    }
    // The map cell whose box the body (world x 1250 to 1273, y 440 to 510) touches.
    static constexpr int kTouchedColumn = 19;
    static constexpr int kTouchedRow = 7;
    void Update() {
        MapObjects objects;
        objects.goal = &goal;
        objects.restart = &restart;
        objects.pits = pits.data();
        objects.dashZones = dashZones.data();
        objects.recoveryItems = &recovery;
        objects.spellItems = &spells;
        objects.messageBoxes = &boxes;
        objects.tiles = tiles.data();
        objects.columns = kColumns;
        objects.rows = kRows;
        objects.sinkingFloors = sinking;
        UpdateMapObjects(&player, objects, enemyShots, playerShots, effects, sounds.data(), &clock);
    }
    int CountEffects(int kind) const {
        int count = 0;
        for (const EffectSlot& slot : effects) count += slot.x != -1 && slot.y != -1 && slot.kind == kind;
        return count;
    }
    // A screen-placed box over the body (screen x 250 to 273, y 340 to 410).
    static Item OverBody() {
        Item item;
        item.altX = 240;
        item.altY = 360;
        item.active = true;
        return item;
    }
};

TEST(MapObjectsTest, TouchingTheGoalEndsTheStage) {
    Objects objects;
    objects.Update();
    EXPECT_EQ(objects.player.state, kPlayerStanding);
    objects.goal.x = 273;  // the body's right edge: no overlap
    objects.goal.y = 300;
    objects.Update();
    EXPECT_EQ(objects.player.state, kPlayerStanding);
    objects.goal.x = 272;
    objects.Update();
    EXPECT_EQ(objects.player.state, kPlayerGoal);
}

TEST(MapObjectsTest, RecoveryItemsAddFortyClampedAndAreConsumed) {
    struct Case {
        int hitPoints;
        int cellKind;
        int expectedHitPoints;
        int expectedCell;
    };
    const Case cases[] = {
        {80, kTileRecoveryItem, 100, 0},
        {100, kTileRecoveryItem, 100, 0},
        {30, kTileRecoveryItem, 70, 0},
        {30, 1, 70, 1},  // a cell that no longer shows the item keeps its kind
    };
    for (const Case& c : cases) {
        Objects objects;
        objects.player.hitPoints = c.hitPoints;
        int cell = Objects::kTouchedColumn + Objects::kTouchedRow * Objects::kColumns;
        objects.tiles[cell] = c.cellKind;
        objects.recovery.push_back(objects.NewItem(Objects::kTouchedColumn, Objects::kTouchedRow, kRecoveryValue));
        objects.recovery.push_back(objects.NewItem(3, 2, kRecoveryValue));  // far away
        objects.Update();
        EXPECT_EQ(objects.player.hitPoints, c.expectedHitPoints) << c.hitPoints;
        EXPECT_EQ(objects.tiles[cell], c.expectedCell);
        ASSERT_EQ(objects.recovery.size(), 1u);
        EXPECT_EQ(objects.recovery[0]->x, 3 * 64);
        EXPECT_EQ(objects.CountEffects(kEffectItem), 1);
        // The effect is placed where the player is seen.
        for (const EffectSlot& slot : objects.effects) {
            if (slot.kind == kEffectItem && slot.x != -1) {
                EXPECT_EQ(slot.x, 200);
            }
        }
    }
}

TEST(MapObjectsTest, TwoTouchedItemsSideBySideAreBothConsumed) {
    Objects objects;
    objects.player.hitPoints = 10;
    objects.recovery.push_back(objects.NewItem(Objects::kTouchedColumn, Objects::kTouchedRow, kRecoveryValue));
    objects.recovery.push_back(objects.NewItem(Objects::kTouchedColumn, Objects::kTouchedRow - 1, kRecoveryValue));
    objects.Update();
    EXPECT_TRUE(objects.recovery.empty());
    EXPECT_EQ(objects.player.hitPoints, 90);
}

TEST(MapObjectsTest, AnItemOffTheGridIsConsumedWithoutACell) {
    Objects objects;
    objects.player.mapY = Objects::kRows * 64 + 100;
    ValueItem* below = objects.NewItem(Objects::kTouchedColumn, Objects::kRows + 2, kRecoveryValue);
    objects.recovery.push_back(below);
    objects.Update();
    EXPECT_TRUE(objects.recovery.empty());
}

TEST(MapObjectsTest, SpellItemsGiveOneSpellOnlyWhenNoneIsInStock) {
    for (int stock : {0, 1, 2}) {
        Objects objects;
        objects.player.spellStock = stock;
        int cell = Objects::kTouchedColumn + Objects::kTouchedRow * Objects::kColumns;
        objects.tiles[cell] = kTileSpellItem;
        objects.spells.push_back(objects.NewItem(Objects::kTouchedColumn, Objects::kTouchedRow, 0));
        objects.Update();
        EXPECT_EQ(objects.player.spellStock, stock < 1 ? 1 : stock);
        EXPECT_TRUE(objects.spells.empty());
        EXPECT_EQ(objects.tiles[cell], 0);
        EXPECT_EQ(objects.CountEffects(kEffectItem), 1);
    }
}

TEST(MapObjectsTest, TheActiveRestartMarkerTakesACopyOfThePlayer) {
    Objects objects;
    Item marker = Objects::OverBody();
    objects.restart.marker = BoxOf(marker);
    objects.player.hitPoints = 55;
    objects.Update();
    EXPECT_EQ(objects.restart.player.hitPoints, 100) << "an inactive marker takes nothing";
    objects.restart.active = true;
    objects.Update();
    EXPECT_EQ(objects.restart.player.hitPoints, 55);
    EXPECT_EQ(objects.restart.player.scrollX, 1000);
}

TEST(MapObjectsTest, TwoPitsInOneFrameSendThePlayerBackOnce) {
    Objects objects;
    objects.pits[3] = Objects::OverBody();
    objects.pits[9] = Objects::OverBody();
    objects.pits[20] = Objects::OverBody();
    objects.pits[20].altX = -500;  // armed but away from the body
    objects.enemyShots[4].state = 2;
    objects.enemyShots[5].state = 1;
    objects.playerShots[0].state = 2;
    objects.playerShots[0].kind = 3;
    objects.playerShots[1].state = 1;
    objects.playerShots[1].kind = 7;  // the doll stays
    PlaceMovingFloor(&objects.sinking[2], 10, 10, 10, 640);
    objects.sinking[2].mapY = 700;
    objects.Update();
    EXPECT_EQ(objects.player.state, kPlayerReturning);
    EXPECT_TRUE(objects.player.guarded);
    EXPECT_EQ(objects.CountEffects(kEffectPit), 1);
    EXPECT_EQ(objects.enemyShots[4].state, 0);
    EXPECT_EQ(objects.enemyShots[5].state, 0);
    EXPECT_EQ(objects.playerShots[0].state, 0);
    EXPECT_EQ(objects.playerShots[1].state, 1);
    EXPECT_FALSE(objects.sinking[2].active);
    EXPECT_EQ(objects.sinking[2].mapY, kNoObject);
    for (const Item& pit : objects.pits) EXPECT_FALSE(pit.active);
}

TEST(MapObjectsTest, APitAimsTheRestartCopyAtTheRestartPosition) {
    struct Case {
        const char* name;
        double liveX;
        double liveScrollX;
        double restartX;
        double expectedX;
        double expectedScrollX;
    };
    // The copy stands at screen x 200 with scroll 50; the map is 40 columns
    // wide (scroll limit 1920).
    const Case cases[] = {
        {"behind, view scrolls back", 256, 800, 600, 200, 800 + (600 - 1056) - 32 - (200 - 256)},
        {"behind, view reaches its start", 256, 100, 50, 50, 0},
        {"near: unchanged", 256, 800, 1056 + 32, 200, 50},
        {"ahead, unscrolled and near", 100, 0, 200, 200 + 68, 50},
        {"ahead, view scrolls on", 256, 400, 1000, 200, 400 + 312 - (200 - 256)},
        {"ahead, view reaches its end", 256, 1800, 2400, 2400 - 32 - 1800, 1920},
    };
    for (const Case& c : cases) {
        Objects objects;
        objects.restart.player.x = 200;
        objects.restart.player.scrollX = 50;
        objects.restart.player.mapY = 300;
        objects.restart.restartMapX = c.restartX;
        objects.restart.restartMapY = 500;
        objects.player.x = c.liveX;
        objects.player.scrollX = c.liveScrollX;
        objects.player.mapY = 600;
        objects.player.scrollY = 77;
        objects.pits[0] = Objects::OverBody();
        objects.pits[0].altX = static_cast<int>(c.liveX) + 40;
        objects.Update();
        ASSERT_EQ(objects.player.state, kPlayerReturning) << c.name;
        EXPECT_EQ(objects.restart.player.x, c.expectedX) << c.name;
        EXPECT_EQ(objects.restart.player.scrollX, c.expectedScrollX) << c.name;
        EXPECT_EQ(objects.restart.player.mapY, 500 - 64) << c.name;
        EXPECT_EQ(objects.restart.player.scrollY, 77) << c.name;
    }
    // A restart point below the player keeps the copy's height.
    Objects objects;
    objects.restart.player.mapY = 300;
    objects.restart.restartMapY = 500;
    objects.player.mapY = 400;
    objects.pits[0] = Objects::OverBody();
    objects.Update();
    EXPECT_EQ(objects.restart.player.mapY, 300);
}

TEST(MapObjectsTest, APitLeadsTheReturnToTheRestartPointFrameByFrame) {
    Objects objects;
    objects.restart.player = objects.player;
    objects.restart.player.x = 200;
    objects.restart.player.scrollX = 300;
    objects.restart.player.mapY = 300;
    objects.restart.restartMapX = 520;
    objects.restart.restartMapY = 428;
    objects.player.x = 256;
    objects.player.scrollX = 800;
    objects.player.mapY = 600;
    objects.pits[0] = Objects::OverBody();
    objects.pits[0].altX = 296;
    PlaceMovingFloor(&objects.sinking[0], 10, 10, 10, 640);
    objects.Update();
    ASSERT_EQ(objects.player.state, kPlayerReturning);

    // Steered back by the movement until the state rules see it arrive.
    PlayerGround ground;
    PlayerFrameState frame;
    ButtonHeldFrames buttons;
    int arrivedOn = 0;
    for (int i = 1; i <= 200 && arrivedOn == 0; ++i) {
        objects.player.previousX = objects.player.x;
        objects.player.previousScrollX = objects.player.scrollX;
        MovePlayerHorizontal(&objects.player, buttons, ground, objects.restart, &frame, objects.effects,
                             objects.sounds.data());
        MovePlayerVertical(&objects.player, buttons, ground, objects.restart, &frame, objects.effects,
                           objects.sounds.data());
        PlayerStateInputs inputs;
        inputs.hitPointsAtStart = objects.player.hitPoints;
        inputs.stateAtStart = objects.player.state;
        inputs.frame = &frame;
        inputs.restart = &objects.restart;
        if (ResolvePlayerState(&objects.player, inputs, objects.effects, objects.sounds.data())) arrivedOn = i;
    }
    ASSERT_GT(arrivedOn, 1);
    EXPECT_NE(objects.player.state, kPlayerReturning);
    EXPECT_FALSE(objects.player.guarded);
    EXPECT_EQ(objects.player.x, 200);
    EXPECT_EQ(objects.player.scrollX, 232 - (200 - 256));
    EXPECT_EQ(objects.player.mapY, 428 - 64);
    EXPECT_FALSE(objects.sinking[0].active) << "the pit put the used sinking floors back";
}

TEST(MapObjectsTest, DashZonesStartTheDash) {
    Objects objects;
    objects.dashZones[0] = Objects::OverBody();
    objects.dashZones[0].altX = -500;
    objects.player.dashFrame = 40;
    objects.Update();
    EXPECT_FALSE(objects.player.dashing);
    objects.dashZones[1] = Objects::OverBody();
    objects.Update();
    EXPECT_TRUE(objects.player.dashing);
    EXPECT_EQ(objects.player.dashFrame, 0);
    EXPECT_TRUE(objects.dashZones[1].active) << "the tile drawing refills the zones";
}

TEST(MapObjectsTest, MessageBoxWithoutAScenarioNeverOpensButStopsTheClock) {
    Objects objects;
    auto* box = new GuideMessageBox;
    objects.boxes.push_back(box);
    box->x = 1240;
    box->y = 420;
    box->useFirst = 1;
    objects.Update();
    EXPECT_FALSE(box->open);
    EXPECT_EQ(objects.clock.pauses, 1);
    EXPECT_EQ(objects.clock.restarts, 0);
    EXPECT_EQ(box->cooldownCounter, 180u);
    // Away from it nothing happens.
    objects.player.x = 0;
    objects.Update();
    EXPECT_EQ(objects.clock.pauses, 1);
}

TEST(GuideMessageBoxTest, StartValues) {
    GuideMessageBox box;
    EXPECT_EQ(box.x, -10000000);
    EXPECT_EQ(box.altY, -10000000);
    EXPECT_EQ(box.width, 64);
    EXPECT_EQ(box.useFirst, 0);
    EXPECT_EQ(box.scenario, nullptr);
    EXPECT_FALSE(box.open);
    EXPECT_TRUE(box.Ready());
    EXPECT_EQ(box.fadeStep, 120u);
}

TEST(GuideMessageBoxTest, ClosingStartsAHundredAndEightyFrameCoolDownAndTheFade) {
    GuideMessageBox box;
    CountingClock clock;
    box.open = true;  // without a scenario it closes at once
    EXPECT_EQ(box.Update(&clock), 1);
    EXPECT_FALSE(box.open);
    EXPECT_EQ(clock.restarts, 1);
    EXPECT_EQ(box.cooldownCounter, 0u);
    EXPECT_EQ(box.fadeStep, 0u);
    for (int frame = 1; frame <= 179; ++frame) {
        box.Update(&clock);
        ASSERT_FALSE(box.Ready()) << frame;
    }
    box.Update(&clock);
    EXPECT_TRUE(box.Ready());
    EXPECT_EQ(box.fadeStep, 0u);
    for (int frame = 1; frame <= 130; ++frame) box.Update(&clock);
    EXPECT_EQ(box.cooldownCounter, 180u);
    EXPECT_EQ(box.fadeStep, 120u);
    EXPECT_EQ(clock.restarts, 1);
}

}  // namespace
