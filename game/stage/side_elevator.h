// A platform three tiles wide that shuttles left and right: it runs for a set
// number of frames, rests, turns back and runs the other way. The player
// stands on it and is carried, and is pushed aside when it runs into them.
#pragma once

// Placement values the stage scene gives each side elevator it builds from
// the map: the run in frames, the rest at each end, and the speed.
constexpr int kSideElevatorRunFrames = 96;
constexpr int kSideElevatorWaitFrames = 30;
constexpr double kSideElevatorSpeed = 2.0;

// The platform's size in pixels.
constexpr int kSideElevatorWidth = 192;
constexpr int kSideElevatorHeight = 64;

class CElevatorToSide {
public:
    CElevatorToSide() = default;
    virtual ~CElevatorToSide() = default;

    // One frame of travel or rest; an inactive platform stands still.
    void Update();
    // The body's box in screen x and map y. Returns the screen x at which the
    // body's left edge must stand to be clear of the platform, or -1 when the
    // boxes do not overlap.
    int TestSideHit(double scrollX, int left, int top, int right, int bottom) const;
    // The three images (left end, middle, right end), 16 pixels above the
    // standing top, each only while on the screen.
    void Draw(double scrollX, double scrollY) const;

    int imageLeft = 0;
    int imageMiddle = 0;
    int imageRight = 0;
    int topOffset = 0;  // added to y for the standing test
    int kind = 0;
    double x = 0.0;  // map x of the left edge
    double y = 0.0;  // map y of the top
    int runFrames = 0;
    double speed = 0.0;
    int waitFrames = 0;
    int frame = 0;
    bool waiting = false;
    int direction = 1;  // 1 right, -1 left
    bool active = false;
};
