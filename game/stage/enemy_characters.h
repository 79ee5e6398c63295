// The stage's enemies: one base class and nine kinds. The kind name (a
// Shift-JIS string) is what the rest of the stage compares to tell the kinds
// apart. The scene keeps 128 objects of each pooled kind and one Mirelle; a
// pooled object in state 101 is a free slot.
#pragma once

#include <string>

#include "game/stage/effects.h"
#include "game/stage/shot_table.h"

struct PlayerRecord;

// Enemy states shared by every kind; kinds use 1 to 5 of their own.
enum EnemyState {
    kEnemyFree = 101,
    kEnemyWalking = 102,
    kEnemyDying = 103,
    kEnemyDyingSecond = 104,  // also the attack-level item left behind
};

constexpr int kEnemyPoolSize = 128;

class EnemyCharacter {
public:
    EnemyCharacter();
    EnemyCharacter(const EnemyCharacter& other) = default;
    virtual ~EnemyCharacter() = default;

    // Member-wise copy; a kind with a field of its own copies it too, so a
    // pool closes up correctly even when it is reached through base pointers.
    EnemyCharacter& operator=(const EnemyCharacter& other);

    // Back to the free state; size and hit box stay.
    virtual int Reset();
    // The ground walk: one pixel per frame, turning at walls and ledges.
    // `tilePositions` holds each cell's screen x at the cell's index and its
    // y 32768 entries further on.
    virtual void Walk(const int tileKinds[], const int tilePositions[], int columns, int rows);

    std::string kindName;
    int contactDamage = 10;
    int width = 64;
    int height = 64;
    int hitPoints = 50;
    int state = kEnemyFree;
    int spawnX = -1;
    int spawnY = -1;
    int baseY = -1;
    int offsetX = 0;
    int offsetY = 0;
    int screenX = -1;
    int screenY = -1;
    int frameCounter = 1;
    int hurtCounter = 0;
    int direction = 1;  // 1 left, 2 right
    bool hurt = false;
    int hitLeft = 20;
    int hitTop = 20;
    int hitRight = 44;
    int hitBottom = 44;

protected:
    EnemyCharacter(const char* name, int width, int height, int hitPoints, int boxSide, int frameCounter);
    // What Reset gives back: the kind's own name, hit points and counter.
    void ResetTo(const char* name, int hitPoints, int frameCounter);
    virtual void CopyKindFields(const EnemyCharacter& other);
};

class Mirelle : public EnemyCharacter {
public:
    Mirelle();
    int Reset() override;
    static int Act(Mirelle* self, const PlayerRecord* player, ShotSlot* enemyShots, const int* sounds);
    int patternIndex = 0;

protected:
    void CopyKindFields(const EnemyCharacter& other) override;
};

class Chinton : public EnemyCharacter {
public:
    Chinton();
    int Reset() override;
    static int Act(Chinton* self, const PlayerRecord* player, ShotSlot* enemyShots, const int* sounds);
};

class HamushiShot : public EnemyCharacter {
public:
    HamushiShot();
    int Reset() override;
    static int Act(HamushiShot* self, const PlayerRecord* player, ShotSlot* enemyShots, const int* sounds);
    // The volley velocity that every HamushiShot shares (aimed at frame 120).
    static int volleyVx;
    static int volleyVy;
};

class Watadama : public EnemyCharacter {
public:
    Watadama();
    int Reset() override;
};

class Sekito : public EnemyCharacter {
public:
    Sekito();
    int Reset() override;
    static int Act(Sekito* self, const PlayerRecord* player, ShotSlot* enemyShots, const int* sounds);
};

class ArmorDevil : public EnemyCharacter {
public:
    ArmorDevil();
    int Reset() override;
    static int Act(ArmorDevil* self, const PlayerRecord* player, ShotSlot* enemyShots, const int* sounds);
    bool summoned = false;  // called up by a leader: leaves no corpse

protected:
    void CopyKindFields(const EnemyCharacter& other) override;
};

class ArmorDevilLeader : public EnemyCharacter {
public:
    ArmorDevilLeader();
    int Reset() override;
    // `devils` is the ArmorDevil pool of kEnemyPoolSize objects.
    static int Act(ArmorDevilLeader* self, const PlayerRecord* player, ArmorDevil devils[], EffectSlot* effects,
                   const int* sounds);
};

class Fenwa : public EnemyCharacter {
public:
    Fenwa();
    int Reset() override;
    static int Act(Fenwa* self, const PlayerRecord* player, ShotSlot* enemyShots, const int* sounds, int scrollStepX,
                   int scrollStepY);
};

class StoneSnake : public EnemyCharacter {
public:
    StoneSnake();
    int Reset() override;
    // Runs even at 0 hit points: the snake sinks instead of dying.
    static int Act(StoneSnake* self, const PlayerRecord* player, ShotSlot* enemyShots, const int* sounds);
};

// Normalises the shot's velocity so that its longer axis moves 5 pixels per
// frame and sets its drawing angle. A zero velocity aims straight down.
void AimShot(ShotSlot* shot);

// The first free slot (state 0) of a 100-slot table, or null.
ShotSlot* FindFreeShot(ShotSlot* table);
// Places an effect of `kind` in the first free slot; false when none is free.
bool PlaceEffectInTable(EffectSlot* table, int x, int y, int kind);

// Sets a shot's velocity to the aim vector from (fromX, fromY) towards the
// player's aim point, then AimShot.
void AimAtPlayer(ShotSlot* shot, const PlayerRecord* player, int fromX, int fromY);

// The enemy looks: (counter, facing, x, y, stage images). The captured
// enemies of the player's shot table are drawn with them too.
void DrawHamushiLook(int counter, int facing, int x, int y, const int* images);
void DrawWatadamaLook(int counter, int facing, int x, int y, const int* images);
void DrawMirelleLook(int counter, int facing, int x, int y, const int* images);
void DrawChintonLook(int counter, int facing, int x, int y, const int* images);
void DrawHamushiShotLook(int counter, int facing, int x, int y, const int* images);
void DrawArmorDevilLook(int counter, int facing, int x, int y, const int* images);
void DrawArmorDevilLeaderLook(int counter, int facing, int x, int y, const int* images);
void DrawFenwaLook(int counter, int facing, int x, int y, const int* images);
void DrawStoneSnakeLook(int counter, int facing, int x, int y, const int* images);
// The snake in view by its state as the mode: rising (1), standing up (2)
// and sinking (4).
void DrawStoneSnakeEntrance(int counter, int facing, int x, int y, const int* images, int mode);
// The first death animation (a sphere flash) and the second (the attack-level
// item that a dead enemy may leave, StageImage's second and third item
// pictures after 344). Fenwa's look is the ten pictures at StageImage::kFenwa,
// five frames each.
void DrawFirstDeath(int counter, int x, int y, const int* images);
void DrawSecondDeath(int counter, int x, int y, const int* images);
