// Everything that flies: the stage scene's two tables of 100 shot slots (the
// player's and the enemies'); the boss battle keeps two of its own.
#pragma once

constexpr int kShotTableSize = 100;

struct ShotSlot {
    int frame;
    int state;  // 0 free, 1 parked, 2 flying, 3 exploding
    int width;
    int height;
    int power;
    double angle;
    int vx;
    int vy;
    int x;
    int y;
    int startX;
    int startY;
    int arcTravel;
    int arcOffset;
    int tileTestY;
    int kind;
    int facing;  // 1 left, 2 right
    int limitY;
    int limitTileTestY;
    int hitLeft;
    int hitTop;
    int hitRight;
    int hitBottom;
};

// Frees a slot; position, size and hit box keep their values.
void ResetShot(ShotSlot* slot);

// Battle kinds 107-110 circle 128 pixels around (centreX + 192, centreY + 192).
void UpdateOrbitPosition(ShotSlot* slot, int centreX, int centreY);
// The battle's lobbed shot.
void UpdateParabolicArc(ShotSlot* slot);
