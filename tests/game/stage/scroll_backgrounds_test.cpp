// The scroll backgrounds' motion and tiling, and the layout background's
// drawing, seen through the draw observer (no framework needed: every public
// draw is observed as it is called).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/draws/draw_observer.h"
#include "game/stage/scroll_backgrounds.h"
#include "game/stage/stage_background.h"

namespace {

struct Seen {
    int handle;
    int x;
    int y;
    int trans;
    int source[4];
    bool operator==(const Seen& o) const {
        return handle == o.handle && x == o.x && y == o.y && trans == o.trans;
    }
};

std::vector<Seen>* seen = nullptr;

void Record(const ObservedGraphicDraw& draw) {
    seen->push_back({draw.handle, static_cast<int>(draw.points[0]), static_cast<int>(draw.points[1]), draw.transFlag,
                     {draw.source[0], draw.source[1], draw.source[2], draw.source[3]}});
}

class DrawLog : public ::testing::Test {
protected:
    void SetUp() override {
        seen = &draws;
        SetGraphicDrawObserver(&Record);
    }
    void TearDown() override {
        SetGraphicDrawObserver(nullptr);
        seen = nullptr;
    }
    std::vector<Seen> draws;
};

std::string Print(const std::vector<Seen>& draws) {
    std::string text;
    for (const Seen& d : draws)
        text += std::to_string(d.handle) + "@" + std::to_string(d.x) + "," + std::to_string(d.y) + "t" +
                std::to_string(d.trans) + " ";
    return text;
}

using ScrollBackgroundTest = DrawLog;

TEST_F(ScrollBackgroundTest, SkyWrapsOnlyBelowMinus640) {
    struct Case {
        double before;
        double after;
    };
    for (Case c : {Case{-639.0, -640.0}, Case{-639.5, -0.5}, Case{0.0, -1.0}}) {
        CStage2AScrollBackground sky;
        sky.speed = 1.0;
        sky.aFactor = 0.1;
        sky.x = c.before;
        sky.Update(0, 0);
        EXPECT_DOUBLE_EQ(sky.x, c.after) << c.before;
    }
}

TEST_F(ScrollBackgroundTest, SkyFollowsATenthOfTheMapScrollAndTilesTheScreen) {
    CStage2AScrollBackground sky;
    sky.image = 7;
    sky.speed = 1.0;
    sky.aFactor = 0.1;
    sky.yFactor = 1.0 / 6.0;
    sky.Update(-50, 120);  // a fell by 50: 1 + 5 pixels left
    EXPECT_DOUBLE_EQ(sky.x, -6.0);
    EXPECT_DOUBLE_EQ(sky.y, 20.0);
    sky.Draw();
    // x1 = -6; y1 = ((20 % 640) - 640) % 640 = -620: rows at -620, 20.
    EXPECT_EQ(Print(draws), "7@-6,-620t0 7@634,-620t0 7@-6,20t0 7@634,20t0 ");
}

TEST_F(ScrollBackgroundTest, WaterfallRunsThroughThirtyTwoOffsets) {
    CStage4ScrollBackground fall;
    fall.flowSpeed = 15;
    std::vector<int> offsets;
    for (int i = 0; i < 33; ++i) {
        fall.Update(-700, 0);
        offsets.push_back(fall.flow);
    }
    EXPECT_EQ(offsets.front(), -465);
    EXPECT_EQ(offsets[30], -15);
    EXPECT_EQ(offsets[31], 0);
    EXPECT_EQ(offsets[32], -465);
    EXPECT_EQ(fall.x, -60);
}

TEST_F(ScrollBackgroundTest, ForestNearLayerIsBroughtIntoRange) {
    struct Case {
        int b;
        int y;
    };
    // y2 = b + 192: above 720 drops by 720s, negative keeps within -720..-1.
    for (Case c : {Case{0, 192}, Case{528, 720}, Case{529, 1}, Case{-192, 0}, Case{-193, -1}, Case{-912, -720},
                   Case{-913, -1}, Case{-1000, -88}}) {
        draws.clear();
        CStage3ScrollBackground forest;
        forest.farImage = 1;
        forest.nearImage = 2;
        forest.farFactor = 0.25;
        forest.nearFactor = 1.0;
        forest.Update(-1000, c.b);
        forest.Draw();
        // far: -250 then 390; near: x2 = -1000 % 960 = -40, one draw.
        ASSERT_EQ(draws.size(), 3u) << c.b;
        EXPECT_EQ(draws[0], (Seen{1, -250, 0, 0, {}}));
        EXPECT_EQ(draws[1], (Seen{1, 390, 0, 0, {}}));
        EXPECT_EQ(draws[2], (Seen{2, -40, c.y, 1, {}})) << c.b;
    }
}

TEST_F(ScrollBackgroundTest, LakeDrawsThreeLayers) {
    CStage5ScrollBackground lake;
    lake.backImage = 1;
    lake.middleImage = 2;
    lake.frontImage = 3;
    lake.factor0 = 0.5;
    lake.factor1 = 1.0 / 13.0;
    lake.factor2 = 0.5;
    lake.factor3 = 0.5;
    lake.Update(-3300, 100);
    lake.Draw();
    // back: x (-660) % 640 = -20, y ((50 % 1600) - 1600) % 1600 = -1550;
    // middle: (-253 % 1600, 50); front: x -660 % 3200 = -660, y -1450.
    EXPECT_EQ(Print(draws), "1@-20,-1550t1 1@620,-1550t1 1@-20,50t1 1@620,50t1 2@-253,50t1 3@-660,-1450t1 3@-660,50t1 ");
}

TEST_F(ScrollBackgroundTest, EachStageGetsItsClassAndImages) {
    int images[800];
    for (int i = 0; i < 800; ++i) images[i] = 1000 + i;
    for (int code : {1, 102}) EXPECT_EQ(CreateScrollBackground(code, images), nullptr);
    std::unique_ptr<IStageScrollBackground> a(CreateScrollBackground(2, images));
    auto* skyA = dynamic_cast<CStage2AScrollBackground*>(a.get());
    ASSERT_NE(skyA, nullptr);
    EXPECT_EQ(skyA->image, 1379);
    EXPECT_DOUBLE_EQ(skyA->yFactor, 1.0 / 6.0);
    std::unique_ptr<IStageScrollBackground> b(CreateScrollBackground(202, images));
    auto* skyB = dynamic_cast<CStage2BScrollBackground*>(b.get());
    ASSERT_NE(skyB, nullptr);
    EXPECT_NEAR(skyB->yFactor, 0.0304878, 1e-7);
    for (int code : {3, 302}) {
        std::unique_ptr<IStageScrollBackground> f(CreateScrollBackground(code, images));
        auto* forest = dynamic_cast<CStage3ScrollBackground*>(f.get());
        ASSERT_NE(forest, nullptr);
        EXPECT_EQ(forest->farImage, 1011);
        EXPECT_EQ(forest->nearImage, 1012);
    }
    for (int code : {4, 402}) {
        std::unique_ptr<IStageScrollBackground> w(CreateScrollBackground(code, images));
        auto* fall = dynamic_cast<CStage4ScrollBackground*>(w.get());
        ASSERT_NE(fall, nullptr);
        EXPECT_EQ(fall->image, 1029);
        EXPECT_EQ(fall->flowSpeed, 15);
    }
    for (int code : {5, 502}) {
        std::unique_ptr<IStageScrollBackground> l(CreateScrollBackground(code, images));
        auto* lake = dynamic_cast<CStage5ScrollBackground*>(l.get());
        ASSERT_NE(lake, nullptr);
        EXPECT_EQ(lake->frontImage, 1013);
        EXPECT_DOUBLE_EQ(lake->factor1, 1.0 / 13.0);
    }
}

// ---- the layout background -----------------------------------------------------------

using LayoutDrawTest = DrawLog;

void AddRow(CStageBackground* layout, int height, std::vector<int> cells) {
    layout->rowHeights.push_back(height);
    layout->rows.push_back(std::make_unique<std::vector<int>>(std::move(cells)));
}

TEST_F(LayoutDrawTest, EmptyAndUnknownCellsAdvanceWithoutDrawing) {
    int pieces[2] = {50, 51};
    CStageBackground layout;
    layout.columnWidths = {100, 200, 300};
    AddRow(&layout, 80, {1, 0, 2});
    AddRow(&layout, 40, {3, 2});  // 3 is beyond the two pieces
    layout.pieceImages = pieces;
    layout.pieceCount = 2;
    layout.transparent = true;
    layout.Draw(10, 20);
    EXPECT_EQ(Print(draws), "50@10,20t1 51@310,20t1 51@110,100t1 ");
    EXPECT_EQ(draws[1].source[2], 300);
    EXPECT_EQ(draws[1].source[3], 80);
}

TEST_F(LayoutDrawTest, RowsAboveAreSkippedAndDrawingStopsBelowAndRight) {
    int pieces[1] = {9};
    CStageBackground layout;
    layout.columnWidths = {640, 640, 640};
    AddRow(&layout, 100, {1, 1, 1});  // y -300 .. -200: above, skipped
    AddRow(&layout, 300, {1, 1, 1});  // y -200: x -700 off left, -60 drawn, 580 drawn
    AddRow(&layout, 500, {1, 1, 1});  // y 100
    AddRow(&layout, 100, {1});        // y 600: below, stop
    layout.pieceImages = pieces;
    layout.pieceCount = 1;
    layout.Draw(-700, -300);
    EXPECT_EQ(Print(draws), "9@-60,-200t0 9@580,-200t0 9@-60,100t0 9@580,100t0 ");

    draws.clear();
    layout.Draw(0, 0);  // the third column starts at 1280, right of the screen
    EXPECT_EQ(Print(draws), "9@0,0t0 9@640,0t0 9@0,100t0 9@640,100t0 9@0,400t0 9@640,400t0 ");
}

TEST_F(LayoutDrawTest, MoreCellsThanWidthsDrawOnlyTheCellsWithAWidth) {
    int pieces[1] = {9};
    CStageBackground layout;
    layout.columnWidths = {64};
    AddRow(&layout, 64, {1, 1, 1});
    layout.pieceImages = pieces;
    layout.pieceCount = 1;
    layout.Draw(0, 0);
    EXPECT_EQ(Print(draws), "9@0,0t0 ");
}

}  // namespace
