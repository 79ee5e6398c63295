// The player of a stage: one plain record in the stage scene's frame, handed
// by address to every routine that moves, hurts, draws or arms the player.
#pragma once

class CElevatorToSide;

// Action states.
enum PlayerState {
    kPlayerStanding = 1,
    kPlayerAirborne = 2,
    kPlayerWalking = 3,
    kPlayerAttacking = 5,
    kPlayerDead = 6,
    kPlayerGoal = 7,
    kPlayerSpell = 8,
    kPlayerWallSlide = 10,
    kPlayerLowForm = 11,
    kPlayerHovering = 12,
    kPlayerHoverShot = 13,
    kPlayerKnockedBack = 14,
    kPlayerThrowing = 15,
    kPlayerReturning = 16,
    kPlayerLeftByMenu = 99,
};

struct PlayerRecord {
    int hitPoints = 100;
    int state = kPlayerStanding;
    int attackLevel = 1;
    int spellStock = 1;
    bool damaged = false;
    bool flag = true;  // not read by the stage's routines
    bool guarded = false;
    bool dashing = false;
    bool carried = false;
    bool pushed = false;
    double x = 0.0;      // screen x of the sprite cell's left edge
    double yRel = 0.0;   // map y less the stage's vertical base
    double vy = 0.0;     // positive upward
    double mapY = 0.0;   // top of the 128-pixel body in map pixels
    double previousX = 0.0;
    double previousYRel = 0.0;
    double screenY = 0.0;
    int facing = 2;  // 1 left, 2 right
    int blinkCounter = 0;
    int counter1 = 0;
    int actionFrame = 0;
    int counter2 = 0;
    int dashFrame = 0;
    double scrollX = 0.0;
    double scrollY = 0.0;
    double previousScrollX = 0.0;
    double previousScrollY = 0.0;
    int character = 1;  // 1 ressa, 2 kolva, 3 tamsel, 4 wendrik
    int attackKind = 0;
    int attackWork[4] = {};  // used by the attack routines
    int width = 64;
    int height = 64;
    CElevatorToSide* platform = nullptr;
    int hitLeft = 50;
    int hitTop = 40;
    int hitRight = 73;
    int hitBottom = 110;
    int spare = 0;
};
