// The side elevator's shuttle, its push on the player, and its drawing.
#include "game/stage/side_elevator.h"

#include "framework/graphics/graphics.h"

void CElevatorToSide::Update() {
    if (!active) return;
    ++frame;
    if (!waiting) {
        if (frame >= runFrames) {
            // The run is over: rest from this frame on without moving.
            waiting = true;
            frame = 0;
            return;
        }
        x += speed * direction;
        return;
    }
    if (frame < waitFrames) return;
    waiting = false;
    frame = 0;
    direction = -direction;
    x += speed * direction;
}

int CElevatorToSide::TestSideHit(double scrollX, int left, int top, int right, int bottom) const {
    double px = x - scrollX;
    double py = y;
    if (!(right > px && left < px + kSideElevatorWidth && bottom > py + topOffset && top < py + kSideElevatorHeight)) {
        return -1;
    }
    if (px + kSideElevatorWidth / 2 < (left + right) / 2) return static_cast<int>(px + kSideElevatorWidth);
    return static_cast<int>(px - (right - left));
}

void CElevatorToSide::Draw(double scrollX, double scrollY) const {
    int screenY = static_cast<int>(y - 16 - scrollY);
    if (screenY + 64 < 0 || screenY > 480) return;
    const int images[3] = {imageLeft, imageMiddle, imageRight};
    for (int k = 0; k < 3; ++k) {
        int screenX = static_cast<int>(x + 64 * k - scrollX);
        if (screenX > -64 && screenX + 64 < 704) DrawGraphicAtPoint(screenX, screenY, images[k], 1);
    }
}
