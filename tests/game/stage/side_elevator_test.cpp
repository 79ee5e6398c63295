#include "game/stage/side_elevator.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

CElevatorToSide Running(double x, int runFrames, int waitFrames) {
    CElevatorToSide elevator;
    elevator.x = x;
    elevator.y = 100;
    elevator.runFrames = runFrames;
    elevator.waitFrames = waitFrames;
    elevator.speed = 2.0;
    elevator.active = true;
    return elevator;
}

TEST(SideElevatorUpdateTest, RunsRestsAndTurnsOnTheFrameItLeaves) {
    CElevatorToSide elevator = Running(1000, 60, 30);
    std::vector<double> xs;
    for (int frame = 1; frame <= 150; ++frame) {
        elevator.Update();
        xs.push_back(elevator.x);
    }
    // Frames 1 to 59 move right.
    EXPECT_EQ(xs[0], 1002);
    EXPECT_EQ(xs[58], 1118);
    // Frame 60 ends the run without moving; 30 frames of rest follow.
    for (int frame = 60; frame <= 89; ++frame) EXPECT_EQ(xs[frame - 1], 1118) << frame;
    EXPECT_TRUE(xs.size() > 90);
    // Frame 90 turns and moves on the same frame.
    EXPECT_EQ(xs[89], 1116);
    EXPECT_EQ(elevator.direction, -1);
    // The return run moves on frames 90 to 149 and ends on frame 150.
    EXPECT_EQ(xs[148], 1118 - 2 * 60);
    EXPECT_EQ(xs[149], 1118 - 2 * 60);
    EXPECT_TRUE(elevator.waiting);
}

TEST(SideElevatorUpdateTest, InactivePlatformStandsStill) {
    CElevatorToSide elevator = Running(500, 60, 30);
    elevator.active = false;
    for (int i = 0; i < 100; ++i) elevator.Update();
    EXPECT_EQ(elevator.x, 500);
    EXPECT_EQ(elevator.frame, 0);
    EXPECT_FALSE(elevator.waiting);
}

TEST(SideElevatorTest, StartValues) {
    CElevatorToSide elevator;
    EXPECT_EQ(elevator.direction, 1);
    EXPECT_FALSE(elevator.active);
    EXPECT_FALSE(elevator.waiting);
    EXPECT_EQ(elevator.topOffset, 0);
    EXPECT_EQ(elevator.speed, 0.0);
}

struct SideHitCase {
    const char* name;
    int left;
    int top;
    int right;
    int bottom;
    int expected;
};

TEST(SideElevatorTestSideHitTest, OverlapIsStrictAndTheMiddleDecidesTheSide) {
    // Platform at map x 300, y 100, scroll 100: screen x 200, spanning 200 to 392.
    const SideHitCase cases[] = {
        {"right edge on the platform's left", 177, 110, 200, 150, -1},
        {"right edge one inside", 178, 110, 201, 150, 200 - 23},
        {"left edge on the platform's right", 392, 110, 415, 150, -1},
        {"left edge one inside", 391, 110, 414, 150, 392},
        {"bottom on the platform's top", 250, 50, 273, 100, -1},
        {"bottom one below its top", 250, 50, 273, 101, 200 - 23},
        {"top on the platform's bottom", 250, 164, 273, 200, -1},
        {"centre exactly at the middle goes left", 286, 110, 306, 150, 200 - 20},
        {"centre one right of the middle goes right", 287, 110, 307, 150, 392},
    };
    CElevatorToSide elevator = Running(300, 60, 30);
    for (const SideHitCase& c : cases) {
        EXPECT_EQ(elevator.TestSideHit(100.0, c.left, c.top, c.right, c.bottom), c.expected) << c.name;
    }
}

TEST(SideElevatorTestSideHitTest, TopOffsetLowersTheStandingTest) {
    CElevatorToSide elevator = Running(300, 60, 30);
    elevator.topOffset = 16;
    EXPECT_EQ(elevator.TestSideHit(0.0, 350, 50, 373, 116), -1);
    EXPECT_EQ(elevator.TestSideHit(0.0, 350, 50, 373, 117), 300 - 23);
}

}  // namespace
