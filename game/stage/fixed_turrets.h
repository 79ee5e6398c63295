// Gun turrets in map cells: asleep until they come near the screen, then
// firing bullets sideways every fire interval. Each turret owns its bullets.
#pragma once

#include <vector>

#include "game/stage/effects.h"
#include "game/stage/shot_table.h"

struct PlayerRecord;

class CBatteryBullet {
public:
    virtual ~CBatteryBullet() = default;
    double x = 0.0;  // world position
    double y = 0.0;
    double vx = 0.0;
    double vy = 0.0;
    int image = -1;
    int width = 0;
    int height = 0;
    int value = 0;
    int offScreenCounter = 0;
};

class CFixedBattery {
public:
    // The tile-kind grid has `rows` rows of `columns` cells; cells outside it
    // count as empty.
    CFixedBattery(int* tileKinds, int columns, int rows);
    virtual ~CFixedBattery();
    CFixedBattery(const CFixedBattery&) = delete;
    CFixedBattery& operator=(const CFixedBattery&) = delete;

    void Update(double scrollX, double scrollY, bool destroyBullets, const ShotSlot* playerShots, EffectSlot* effects,
                const int* sounds);
    // False while hurt; else takes the damage, keeping 0 to 100 hit points.
    bool TakeDamage(int damage);
    // The first bullet that meets the player's box (hit-box offsets given).
    CBatteryBullet* FindHitBullet(const PlayerRecord* player, int left, int right, int top, int bottom) const;
    // Three sides of the box test; the caller checks that its box reaches
    // past the turret's x.
    bool HitTest(double left, double top, double height) const;
    bool RemoveBullet(CBatteryBullet* bullet);
    void Draw(double scrollX, double scrollY, bool drawTurret) const;

    // Where the turret's own cell lies in the tile-kind grid, or -1.
    int CellIndex() const;
    // Empties the turret's own cell.
    void ClearCell();

    double x = 0.0;
    double y = 0.0;
    int* tileKinds;
    bool facesLeft = true;
    bool awake = false;
    int hitPoints = 500;
    bool hurt = false;
    int hurtCounter = 0;
    int blinkPeriod = 1;
    int fireInterval = 500;
    int image = -1;
    int width = 64;
    int height = 64;
    int bulletValue = 0;
    int bulletImage = -1;
    int fireCounter = 0;
    int bulletWidth = 64;
    int bulletHeight = 64;
    int offScreenCounter = 0;
    double bulletSpeedX = 0.0;
    double bulletSpeedY = 0.0;
    std::vector<CBatteryBullet*> bullets;

    int columns;
    int rows;
};

// One frame of a turret: waking and sleeping, damage by the player, firing
// and its bullets.
int UpdateFixedBattery(CFixedBattery* turret, PlayerRecord* player, ShotSlot* playerShots, EffectSlot* effects,
                       const int* sounds, int* hitX, int* hitY, bool kill, bool destroyBullets,
                       int stateAtFrameStart);

// The player's attacks against a turret; the kill flag destroys it at once.
int DamageFixedBattery(CFixedBattery* turret, PlayerRecord* player, ShotSlot* playerShots, bool kill, int* hitX,
                       int* hitY, EffectSlot* effects, const int* sounds, int stateAtFrameStart);

// Inside the window where turrets wake (and bullets count as on screen).
bool IsInWakeWindow(double x, double y, int width, int height, double scrollX, double scrollY);
