// The enemy kinds: their records, resets and walk, the actions each kind takes
// per frame, and the pictures that show them.
#include "game/stage/enemy_characters.h"

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <numbers>

#include "framework/graphics/graphics.h"
#include "framework/sound/sound_playback.h"
#include "game/stage/enemy_updating.h"
#include "game/stage/player_character.h"
#include "game/stage/stage_images.h"
#include "game/stage/tile_kinds.h"

namespace {

constexpr double kPi = std::numbers::pi;
// The y of a cell lies this far behind its x in the tile-position grid.
constexpr int kPositionPlaneSize = 32768;

void PlayStageSound(const int* sounds, int index) {
    if (sounds == nullptr) return;
    PlaySoundHandle(sounds[index], kPlayTypeBackground, 1);
}

bool IsSolidForWalk(int kind) {
    return kind == kTileGround || kind == kTileTurretFacingLeft || kind == kTileTurretFacingRight ||
           kind == kTileBlock || kind == kTileFloor;
}

// Fills a spawned enemy bullet: state 2 with its kind, size and hit box.
void FillShot(ShotSlot* shot, int kind, int size, int x, int y) {
    shot->state = 2;
    shot->kind = kind;
    shot->width = size;
    shot->height = size;
    shot->hitLeft = 0;
    shot->hitTop = 0;
    shot->hitRight = size;
    shot->hitBottom = size;
    shot->x = x;
    shot->y = y;
}

// The approach of HamushiShot and ArmorDevil: two pixels a frame towards the
// player, with a dead zone of five pixels.
void ApproachPlayer(EnemyCharacter* e, const PlayerRecord* player) {
    const double px = player->x;
    const double py = player->screenY;
    if (e->screenX < px - 5 || e->screenX > px + 5) {
        if (e->screenX > px) {
            e->offsetX -= 2;
            e->direction = 1;
        } else {
            e->offsetX += 2;
            e->direction = 2;
        }
    }
    if (e->screenY < py - 5 || e->screenY > py + 5) {
        if (e->screenY > py)
            e->offsetY -= 2;
        else
            e->offsetY += 2;
    }
}

// Fires one aimed red bullet from (screen x + 16, screen y + 16); null when
// the table is full.
ShotSlot* FireAimedBullet(EnemyCharacter* e, const PlayerRecord* player, ShotSlot* enemyShots, int kind) {
    ShotSlot* shot = FindFreeShot(enemyShots);
    if (shot == nullptr) return nullptr;
    FillShot(shot, kind, 32, e->screenX + 16, e->screenY + 16);
    AimAtPlayer(shot, player, e->screenX, e->screenY);
    return shot;
}

// Three bullets: the first with (vx, vy), the others with it plus and minus
// (1, 1). The first is aimed when `aimFirst` is set and its velocity is
// returned through vx and vy.
void FireVolley(EnemyCharacter* e, const PlayerRecord* player, ShotSlot* enemyShots, int kind, bool aimFirst, int* vx,
                int* vy) {
    if (ShotSlot* first = FindFreeShot(enemyShots)) {
        FillShot(first, kind, 32, e->screenX + 16, e->screenY + 16);
        if (aimFirst) {
            AimAtPlayer(first, player, e->screenX, e->screenY);
            *vx = first->vx;
            *vy = first->vy;
        } else {
            first->vx = *vx;
            first->vy = *vy;
        }
    }
    if (ShotSlot* second = FindFreeShot(enemyShots)) {
        FillShot(second, kind, 32, e->screenX + 16, e->screenY + 16);
        second->vx = *vx + 1;
        second->vy = *vy + 1;
    }
    if (ShotSlot* third = FindFreeShot(enemyShots)) {
        FillShot(third, kind, 32, e->screenX + 16, e->screenY + 16);
        third->vx = *vx - 1;
        third->vy = *vy - 1;
    }
}

void DrawFacing(int facing, int x, int y, int handle) {
    if (facing == 2)
        DrawGraphicAtPoint(x, y, handle, 1);
    else if (facing == 1)
        DrawGraphicMirrored(x, y, handle, 1);
}

}  // namespace

// ---------------------------------------------------------------------------
// The base class.

EnemyCharacter::EnemyCharacter() : kindName("羽虫_移動") {}

EnemyCharacter::EnemyCharacter(const char* name, int width, int height, int hitPoints, int boxSide, int frameCounter)
    : kindName(name),
      width(width),
      height(height),
      hitPoints(hitPoints),
      frameCounter(frameCounter),
      hitLeft(boxSide),
      hitTop(boxSide),
      hitRight(width - boxSide),
      hitBottom(height - boxSide) {}

EnemyCharacter& EnemyCharacter::operator=(const EnemyCharacter& other) {
    if (this == &other) return *this;
    kindName = other.kindName;
    contactDamage = other.contactDamage;
    width = other.width;
    height = other.height;
    hitPoints = other.hitPoints;
    state = other.state;
    spawnX = other.spawnX;
    spawnY = other.spawnY;
    baseY = other.baseY;
    offsetX = other.offsetX;
    offsetY = other.offsetY;
    screenX = other.screenX;
    screenY = other.screenY;
    frameCounter = other.frameCounter;
    hurtCounter = other.hurtCounter;
    direction = other.direction;
    hurt = other.hurt;
    hitLeft = other.hitLeft;
    hitTop = other.hitTop;
    hitRight = other.hitRight;
    hitBottom = other.hitBottom;
    CopyKindFields(other);
    return *this;
}

void EnemyCharacter::CopyKindFields(const EnemyCharacter&) {}

void EnemyCharacter::ResetTo(const char* name, int resetHitPoints, int resetCounter) {
    kindName = name;
    spawnX = -1;
    spawnY = -1;
    baseY = -1;
    screenX = -1;
    screenY = -1;
    state = kEnemyFree;
    frameCounter = resetCounter;
    hitPoints = resetHitPoints;
    direction = 1;
    offsetX = 0;
    offsetY = 0;
    hurt = false;
    hurtCounter = 0;
}

int EnemyCharacter::Reset() {
    ResetTo("羽虫_移動", 50, 1);
    return 0;
}

void EnemyCharacter::Walk(const int tileKinds[], const int tilePositions[], int columns, int rows) {
    state = kEnemyWalking;
    // Too narrow a map to hold a ledge: walk on without looking.
    if (rows >= 1 && columns >= 2) {
        const int left = screenX;
        const int right = screenX + width;
        const int top = baseY;
        const int bottom = baseY + height;
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                const int index = r * columns + c;
                const int k = tileKinds[index];
                const int tx = tilePositions[index];
                const int ty = tilePositions[index + kPositionPlaneSize];
                const bool overlapsVertically =
                    (ty < top && top < ty + 64) || (top <= ty && ty + 64 <= bottom) || (ty < bottom && bottom < ty + 64);
                if (overlapsVertically && IsSolidForWalk(k) && tx != -1) {
                    if (tx < left && left <= tx + 64)
                        direction = 2;
                    else if (left < tx && tx <= right)
                        direction = 1;
                }
                if (ty == bottom && c != 0 && c % (columns - 1) != 0) {
                    const int k1 = tileKinds[index + 1];
                    const int tx1 = tilePositions[index + 1];
                    const bool leftOverCell = tx < left && left < tx + 64;
                    const bool nextUnder = left < tx1 && tx1 < right;
                    if (k == kTileEmpty && leftOverCell && IsSolidForWalk(k1) && nextUnder) {
                        direction = 2;
                        continue;
                    }
                    if (IsSolidForWalk(k) && leftOverCell && k1 == kTileEmpty && nextUnder) direction = 1;
                }
            }
        }
    }
    offsetX += direction == 1 ? -1 : 1;
}

// ---------------------------------------------------------------------------
// The kinds.

Mirelle::Mirelle() : EnemyCharacter("ミレル", 128, 128, 100, 32, 0) {}
int Mirelle::Reset() {
    ResetTo("ミレル", 100, 0);
    return 0;
}
void Mirelle::CopyKindFields(const EnemyCharacter& other) {
    if (const auto* source = dynamic_cast<const Mirelle*>(&other)) patternIndex = source->patternIndex;
}

Chinton::Chinton() : EnemyCharacter("チントン", 128, 128, 100, 32, 0) {}
int Chinton::Reset() {
    ResetTo("チントン", 100, 0);
    return 0;
}

int HamushiShot::volleyVx = 0;
int HamushiShot::volleyVy = 0;
HamushiShot::HamushiShot() : EnemyCharacter("射撃型羽虫", 64, 64, 50, 20, 0) {}
int HamushiShot::Reset() {
    ResetTo("射撃型羽虫", 50, 0);
    return 0;
}

Watadama::Watadama() : EnemyCharacter("綿玉", 64, 64, 100, 20, 1) {}
int Watadama::Reset() {
    ResetTo("綿玉", 100, 1);
    return 0;
}

Sekito::Sekito() : EnemyCharacter("石塔", 64, 64, 100, 20, 1) {}
int Sekito::Reset() {
    ResetTo("石塔", 100, 1);
    return 0;
}

ArmorDevil::ArmorDevil() : EnemyCharacter("鎧デビル", 64, 64, 100, 20, 0) {}
int ArmorDevil::Reset() {
    ResetTo("鎧デビル", 100, 0);
    summoned = false;
    return 0;
}
void ArmorDevil::CopyKindFields(const EnemyCharacter& other) {
    if (const auto* source = dynamic_cast<const ArmorDevil*>(&other)) summoned = source->summoned;
}

ArmorDevilLeader::ArmorDevilLeader() : EnemyCharacter("鎧デビルリーダー", 64, 64, 200, 20, 0) {}
int ArmorDevilLeader::Reset() {
    ResetTo("鎧デビルリーダー", 200, 0);
    return 0;
}

Fenwa::Fenwa() : EnemyCharacter("フェンワ", 128, 128, 300, 32, 0) {}
int Fenwa::Reset() {
    ResetTo("フェンワ", 300, 0);
    return 0;
}

StoneSnake::StoneSnake() : EnemyCharacter("石蛇", 128, 256, 300, 32, 0) {}
int StoneSnake::Reset() {
    ResetTo("石蛇", 300, 0);
    return 0;
}

// ---------------------------------------------------------------------------
// Shared helpers.

ShotSlot* FindFreeShot(ShotSlot* table) {
    if (table == nullptr) return nullptr;
    for (int i = 0; i < kShotTableSize; ++i)
        if (table[i].state == 0) return &table[i];
    return nullptr;
}

bool PlaceEffectInTable(EffectSlot* table, int x, int y, int kind) {
    if (table == nullptr) return false;
    for (int i = 0; i < kEffectTableSize; ++i) {
        if (table[i].x == -1 || table[i].y == -1) {
            PlaceEffect(&table[i], x, y);
            table[i].kind = kind;
            return true;
        }
    }
    return false;
}

void AimAtPlayer(ShotSlot* shot, const PlayerRecord* player, int fromX, int fromY) {
    shot->vx = static_cast<int>(player->x + 80 - fromX);
    shot->vy = static_cast<int>(player->screenY + 80 - fromY);
    AimShot(shot);
}

void AimShot(ShotSlot* shot) {
    const int vx = shot->vx;
    const int vy = shot->vy;
    if (vx == 0 && vy == 0) {
        // No direction at all: straight down.
        shot->vx = 0;
        shot->vy = 5;
    } else if (std::abs(vx) > std::abs(vy)) {
        const double s = vy > 0 ? 5.0 : -5.0;
        shot->vy = static_cast<int>(std::fabs(static_cast<double>(vy) / vx) * s);
        shot->vx = vx > 0 ? 5 : -5;
    } else {
        const double s = vx > 0 ? 5.0 : -5.0;
        shot->vx = static_cast<int>(std::fabs(static_cast<double>(vx) / vy) * s);
        shot->vy = vy > 0 ? 5 : -5;
    }
    const int nx = shot->vx;
    const int ny = shot->vy;
    if (nx == 0)
        shot->angle = ny > 0 ? kPi / 2 : 3 * kPi / 2;
    else if (ny == 0)
        shot->angle = nx > 0 ? 0.0 : kPi;
    else if (nx < 0)
        shot->angle = ny > 0 ? 3 * kPi / 4 : 5 * kPi / 4;
    else
        shot->angle = ny > 0 ? kPi / 4 : 7 * kPi / 4;
}

// ---------------------------------------------------------------------------
// Behaviour routines.

int Mirelle::Act(Mirelle* self, const PlayerRecord* player, ShotSlot* enemyShots, const int* sounds) {
    static const int kPlaces[8][3] = {{50, 20, 2},   {256, 0, 1},   {462, 20, 1},  {50, 176, 2},
                                      {462, 176, 1}, {50, 332, 2}, {256, 352, 1}, {462, 332, 1}};
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    int& c = self->frameCounter;
    if (c >= 0 && c < 60) {
        self->state = 2;
        if (c == 0) {
            const int p = std::rand() % 8;
            self->patternIndex = p;
            self->screenX = kPlaces[p][0];
            self->screenY = kPlaces[p][1];
            self->direction = kPlaces[p][2];
            PlayStageSound(sounds, 8);
        }
    } else if (c >= 60 && c < 120) {
        self->state = 3;
        if (c % 10 == 0 && c <= 100) {
            if (ShotSlot* knife = FindFreeShot(enemyShots)) {
                knife->state = 2;
                knife->kind = 1;
                knife->width = 32;
                knife->height = 32;
                knife->x = self->screenX + 32;
                knife->y = self->screenY + 32;
                AimAtPlayer(knife, player, self->screenX, self->screenY);
            }
            PlayStageSound(sounds, 5);
        }
    } else if (c >= 120 && c < 300) {
        self->state = 1;
        if (c == 120) PlayStageSound(sounds, 8);
    } else if (c >= 300) {
        self->state = kEnemyFree;
    }
    ++c;
    return 0;
}

int Chinton::Act(Chinton* self, const PlayerRecord* player, ShotSlot*, const int* sounds) {
    int& c = self->frameCounter;
    if (self->state == 3) {
        const double px = player->x;
        if (self->screenX - 128 <= px + 128 && px <= self->screenX + self->width + 128) {
            self->state = 1;
            c = 0;
            PlayStageSound(sounds, 33);
        } else {
            return 0;
        }
    }
    if (c > 30) self->state = 2;
    if (c == 165) PlayStageSound(sounds, 9);
    if (c == 180) self->state = 3;
    ++c;
    return 0;
}

int HamushiShot::Act(HamushiShot* self, const PlayerRecord* player, ShotSlot* enemyShots, const int* sounds) {
    int& c = self->frameCounter;
    if (c >= 0 && c < 60) ApproachPlayer(self, player);
    if (c == 120 || c == 130 || c == 140) {
        FireVolley(self, player, enemyShots, 2, c == 120, &volleyVx, &volleyVy);
        PlayStageSound(sounds, 38);
    }
    if (c >= 240) c = 0;
    return 0;
}

int ArmorDevil::Act(ArmorDevil* self, const PlayerRecord* player, ShotSlot* enemyShots, const int* sounds) {
    int& c = self->frameCounter;
    if (c >= 0 && c < 60) ApproachPlayer(self, player);
    if (c == 120) {
        FireAimedBullet(self, player, enemyShots, 2);
        PlayStageSound(sounds, 38);
    }
    if (c >= 240) c = 0;
    return 0;
}

int ArmorDevilLeader::Act(ArmorDevilLeader* self, const PlayerRecord* player, ArmorDevil devils[],
                          EffectSlot* effects, const int* sounds) {
    self->direction = self->screenX <= player->x ? 2 : 1;
    int& c = self->frameCounter;
    if (c == 300) c = 0;
    if (c == 10) {
        ArmorDevil* devil = nullptr;
        for (int i = 0; i < kEnemyPoolSize; ++i) {
            if (devils[i].state == kEnemyFree) {
                devil = &devils[i];
                break;
            }
        }
        // With every devil of the pool in play the call goes unanswered.
        if (devil == nullptr) return 0;
        devil->spawnY = self->spawnY;
        devil->baseY = self->baseY;
        devil->state = kEnemyWalking;
        if (self->direction == 1) {
            devil->spawnX = self->spawnX - 50;
            devil->screenX = self->screenX - 50;
        } else {
            devil->spawnX = self->spawnX + 50 + self->width;
            devil->screenX = self->screenX + 50 + self->width;
        }
        devil->screenY = self->screenY;
        devil->summoned = true;
        PlaceEffectInTable(effects, devil->screenX, devil->screenY, 3);
        PlayStageSound(sounds, 37);
    }
    return 0;
}

int Sekito::Act(Sekito* self, const PlayerRecord* player, ShotSlot* enemyShots, const int* sounds) {
    self->screenY = static_cast<int>(player->screenY);
    const double pl = player->x + player->hitLeft;
    const double pr = player->x + player->hitRight;
    const double pt = player->screenY + player->hitTop;
    const double pb = player->screenY + player->hitBottom;
    const int el = self->screenX + self->hitLeft;
    const int er = self->screenX + self->hitRight;
    const int et = self->screenY + self->hitTop;
    const int eb = self->screenY + self->hitBottom;
    if (pl < er && el < pr && pt < eb && et <= pb && self->frameCounter != -500) {
        if (ShotSlot* tower = FindFreeShot(enemyShots)) {
            FillShot(tower, 9, 64, static_cast<int>(player->x + 60), 0);
            tower->vx = 0;
            tower->vy = 1;
        }
        self->frameCounter = -500;
        PlayStageSound(sounds, 41);
    }
    return 0;
}

int Fenwa::Act(Fenwa* self, const PlayerRecord* player, ShotSlot* enemyShots, const int* sounds, int scrollStepX,
               int scrollStepY) {
    self->direction = self->screenX < player->x ? 2 : 1;
    const int c = self->frameCounter;
    if (c >= 0 && c < 60) {
        self->offsetX += scrollStepX;
        self->offsetY += scrollStepY;
        const double tx = player->x + 200;
        const double py = player->screenY;
        if (self->screenX <= tx - 8 || self->screenX > tx + 8) {
            if (self->screenX > tx) {
                self->offsetX -= 8;
                self->direction = 1;
            } else {
                self->offsetX += 8;
                self->direction = 2;
            }
        }
        if (self->screenY < py - 8 || self->screenY > py + 8) {
            if (self->screenY > py)
                self->offsetY -= 8;
            else
                self->offsetY += 8;
        }
    }
    if (c >= 90 && c <= 129 && (c - 90) % 2 == 0) {
        if (ShotSlot* shot = FindFreeShot(enemyShots)) {
            const int k = (c - 90) / 2;
            const double a = k * kPi / 10;
            int x;
            int y;
            if (k < 5) {
                x = static_cast<int>(115.2 * std::cos(a - kPi / 4) + self->screenX - 64);
                y = static_cast<int>(115.2 * std::sin(a - kPi / 4) + self->screenY + 96);
            } else {
                x = static_cast<int>(128 * std::cos(a + kPi / 4) + self->screenX + 64);
                y = static_cast<int>(128 * std::sin(a + kPi / 4) + self->screenY + 64);
            }
            FillShot(shot, 2, 32, x, y);
            shot->vx = 0;
            shot->vy = 0;
        }
        PlayStageSound(sounds, 18);
    }
    if (c == 160) {
        for (int i = 0; enemyShots != nullptr && i < kShotTableSize; ++i) {
            ShotSlot& shot = enemyShots[i];
            if (shot.state == 2 && shot.kind == 2 && shot.vx == 0 && shot.vy == 0)
                AimAtPlayer(&shot, player, self->screenX, self->screenY);
        }
        PlayStageSound(sounds, 7);
    }
    if (c > 219) {
        self->offsetX += scrollStepX + 5;
        self->offsetY += scrollStepY - 5;
    }
    return 0;
}

int StoneSnake::Act(StoneSnake* self, const PlayerRecord* player, ShotSlot* enemyShots, const int* sounds) {
    self->direction = self->screenX <= player->x ? 2 : 1;
    int& c = self->frameCounter;
    const int sx = self->screenX;
    if (self->hitPoints > 0 && self->state == 5 && ((sx >= 600 && sx <= 680) || (sx >= -40 && sx <= 40))) {
        self->state = 1;
        c = 0;
        PlayStageSound(sounds, 33);
    } else if (self->state == 1) {
        self->offsetY -= 8;
        if (c >= 31) {
            self->state = 2;
            c = 0;
        }
    } else if (self->state == 4) {
        self->offsetY += 8;
        if (c >= 31) {
            self->state = 5;
            c = 0;
        }
    }
    if (self->state == 2) {
        if (self->hitPoints < 1) {
            self->state = 4;
            c = 0;
        } else if (c != 0 && c % 90 == 0) {
            int vx = 0;
            int vy = 0;
            FireVolley(self, player, enemyShots, 10, true, &vx, &vy);
            PlayStageSound(sounds, 38);
        }
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Looks.

void DrawHamushiLook(int counter, int facing, int x, int y, const int* images) {
    DrawFacing(facing, x, y, images[92 + (counter % 48) / 5]);
}

void DrawWatadamaLook(int, int facing, int x, int y, const int* images) { DrawFacing(facing, x, y, images[675]); }

void DrawMirelleLook(int counter, int facing, int x, int y, const int* images) {
    int image;
    if (counter < 0) return;
    if (counter < 40)
        image = 426 + counter / 5;
    else if (counter < 100)
        image = 438 + (counter - 40) / 5;
    else
        image = 426 + (counter - 100) / 5;
    if (image > 449) return;
    DrawFacing(facing, x, y, images[image]);
}

void DrawChintonLook(int counter, int, int x, int y, const int* images) {
    // Opening frames 3 to 28 and closing frames 150 to 174, each image shown
    // for the counters in its row.
    static const int kOpenFrom[] = {3, 5, 8, 10, 13, 15, 18, 20, 23, 25, 28};
    static const int kCloseFrom[] = {172, 170, 167, 165, 162, 160, 157, 155, 152, 150};
    int image = 450;
    if (counter >= 28 && counter <= 149) {
        image = 461;
    } else if (counter < 28) {
        for (int i = 0; i < 11; ++i)
            if (counter >= kOpenFrom[i]) image = 451 + i;
    } else if (counter < 175) {
        for (int i = 0; i < 10; ++i)
            if (counter >= kCloseFrom[i] && counter < (i == 0 ? 175 : kCloseFrom[i - 1])) image = 451 + i;
    }
    DrawGraphicAtPoint(x, y, images[image], 1);
}

void DrawHamushiShotLook(int counter, int facing, int x, int y, const int* images) {
    DrawFacing(facing, x, y, images[538 + (counter % 48) / 5]);
}

void DrawArmorDevilLook(int counter, int facing, int x, int y, const int* images) {
    if (facing != 1 && facing != 2) return;
    DrawGraphicPart(x, y, ((counter % 48) / 5) * 64, 0, 64, 64, images[677], 1, facing == 1 ? 1 : 0);
}

void DrawArmorDevilLeaderLook(int counter, int facing, int x, int y, const int* images) {
    if (facing != 1 && facing != 2) return;
    DrawGraphicPart(x, y, ((counter % 48) / 5) * 64, 0, 64, 64, images[678], 1, facing == 1 ? 1 : 0);
}

void DrawFenwaLook(int counter, int facing, int x, int y, const int* images) {
    // Ten pictures of five frames each, in its 128 by 128 box.
    const int image = StageImage::kFenwa + ((counter < 0 ? 0 : counter) % 50) / 5;
    if (facing == 2)
        DrawGraphicStretched(x, y, x + 128, y + 128, images[image], 1);
    else if (facing == 1)
        DrawGraphicStretched(x + 128, y, x, y + 128, images[image], 1);
}

void DrawStoneSnakeLook(int counter, int facing, int x, int y, const int* images) {
    if (counter < 0) return;
    if (counter < 60) {
        DrawFacing(facing, x, y, images[688]);
    } else if (counter < 100) {
        DrawFacing(facing, x, y, images[690]);
    } else if (counter < 220) {
        int image = 690 + (counter - 100) / 5;
        if (image > 700) image = 700;
        // This stretch of the animation faces the other way.
        if (facing == 2)
            DrawGraphicMirrored(x, y, images[image], 1);
        else
            DrawGraphicAtPoint(x, y, images[image], 1);
    } else {
        DrawFacing(facing, x, y, images[688]);
    }
}

void DrawStoneSnakeEntrance(int counter, int facing, int x, int y, const int* images, int mode) {
    // Rising and sinking (modes 1 and 4) show the standing pictures, standing
    // up (mode 2) the second set that only stage 5's list holds.
    const int first = mode == 2 ? 745 : 688;
    const int image = first + ((counter < 0 ? 0 : counter) % 59) / 4;
    if (facing == 2)
        DrawGraphicMirrored(x, y, images[image], 1);
    else
        DrawGraphicAtPoint(x, y, images[image], 1);
}

void DrawFirstDeath(int counter, int x, int y, const int* images) {
    if (counter < 0) return;
    const int image = 125 + counter / 3;
    if (image > 130) return;
    SetBlendModeAndParam(kBlendModeAdd, 255);
    DrawGraphicAtPoint(x, y, images[image], 1);
    SetBlendModeAndParam(kBlendModeNone, 0);
}

void DrawSecondDeath(int counter, int x, int y, const int* images) {
    const int image = counter < 8    ? 344
                      : counter < 16 ? StageImage::kAttackLevelItem2
                                     : StageImage::kAttackLevelItem3;
    DrawGraphicAtPoint(x, y, images[image], 1);
}
