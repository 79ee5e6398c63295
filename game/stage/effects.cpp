// The effect slots: starting and resetting an effect, and the frames of each
// effect kind drawn with its tint.
#include "game/stage/effects.h"

#include <cstdint>
#include <numbers>

#include "framework/graphics/graphics.h"

namespace {

constexpr double kPi = std::numbers::pi;

int Image(const int* images, int position) {
    if (images == nullptr || position < 0 || position >= kImagesInEveryStage) return -1;
    return images[position];
}

void At(int x, int y, int handle, bool mirrored) {
    if (handle == -1) return;
    if (mirrored)
        DrawGraphicMirrored(x, y, handle, 1);
    else
        DrawGraphicAtPoint(x, y, handle, 1);
}

void Rotated(int x, int y, double scale, double angle, int handle) {
    if (handle != -1) DrawGraphicRotated(x, y, scale, angle, handle, 1, 0);
}

void Stretched(int x1, int y1, int x2, int y2, int handle) {
    if (handle != -1) DrawGraphicStretched(x1, y1, x2, y2, handle, 1);
}

struct Tint {
    int red;
    int green;
    int blue;
    int repeats;
};

// A tint (and the stars' fading) is taken relative to the brightness the
// scene draws with, which dims the whole view while the pause menu shows and
// fades it as the scene ends; that brightness is put back afterwards, so the
// effects and everything drawn after them stay dimmed with the rest.
class ScopedTint {
public:
    ScopedTint(int red, int green, int blue) : previous_(GetDrawBrightColor()) {
        SetDrawBrightnessRGB(Scaled(red, 16), Scaled(green, 8), Scaled(blue, 0));
    }
    ~ScopedTint() { SetDrawBrightnessColor(previous_); }
    ScopedTint(const ScopedTint&) = delete;
    ScopedTint& operator=(const ScopedTint&) = delete;

private:
    int Scaled(int value, int shift) const { return value * static_cast<int>(previous_ >> shift & 0xFF) / 255; }
    uint32_t previous_;
};

constexpr Tint kPlain{255, 255, 255, 1};
constexpr Tint kRed{255, 50, 30, 6};
constexpr Tint kGreen{30, 255, 50, 6};

// The last frame each kind shows; -1 for kinds that draw nothing.
int LastFrame(int kind) {
    switch (kind) {
    case 1: return 11;
    case 2: return 6;
    case 3: case 12: case 13: case 101: case 104: case 105: return 19;
    case 4: return 17;
    case 5: return 23;
    case 6: return 5;
    case 7: case 8: case 9: return 120;
    case 10: return 17;
    case 11: return 11;
    case 14: return 59;
    case 102: return 19;
    case 103: case 106: case 107: return 35;
    default: return -1;
    }
}

// The spell ring with its ray, swelling out from the anchor.
void DrawRingAndRay(int f, int cx, int cy, const Tint& tint, const int* images) {
    SetBlendModeAndParam(kBlendModeAdd, 255 - 2 * f);
    const double ringScale = f / 20.0;
    const double rayScale = f < 10 ? f / 5.0 : 2.0 - (f - 10) / 5.0;
    {
        const ScopedTint tinted(tint.red, tint.green, tint.blue);
        for (int i = 0; i < tint.repeats; ++i) {
            Rotated(cx, cy, ringScale, (f % 8) * kPi / 8, Image(images, 137));
            Rotated(cx, cy, rayScale, 0.0, Image(images, 138));
        }
    }
    SetBlendModeAndParam(kBlendModeAdd, 255);
}

// The dash: a band of speed lines shrinking toward the player's back, and
// dust behind.
void DrawDash(int f, int px, int py, int state, int facing, const int* images) {
    const int k = f / 5;
    SetBlendModeAndParam(kBlendModeAdd, 255 - 11 * f);
    const int line = Image(images, 84 + k);
    const int dust = Image(images, 115 + k);
    const bool low = state == 11;
    const int top = low ? py + 61 : py + 45;
    if (facing == 2) {
        Stretched(px + 2 * ((low ? 31 : 15) - f), top, px + 47, py + 110, line);
        At(px - 30, py + 96, dust, false);
    } else {
        Stretched(px + 80, top, px + 2 * f + (low ? 65 : 97), py + 110, line);
        At(px + 90, py + 96, dust, true);
    }
    SetBlendModeAndParam(kBlendModeAdd, 255);
}

void DrawFog(int f, int px, int py, int facing, const Tint& tint, const int* images) {
    const int handle = Image(images, 520 + f / 3);
    const ScopedTint tinted(tint.red, tint.green, tint.blue);
    for (int i = 0; i < tint.repeats; ++i) At(px, py, handle, facing != 2);
}

}  // namespace

void ResetEffect(EffectSlot* slot) {
    slot->x = -1;
    slot->y = -1;
    slot->width = 64;
    slot->height = 64;
    slot->frame = 0;
    slot->kind = 1;
}

int StartEffect(EffectSlot* slot, int x, int y) {
    if (slot->x != -1 && slot->y != -1) return -1;
    slot->x = x;
    slot->y = y;
    return 0;
}

int DrawEffect(EffectSlot* slot, const int* images, int playerX, int playerY, int playerState, int playerFacing,
               bool paused) {
    if (slot->x == -1 || slot->y == -1) return -1;
    const int f = slot->frame;
    const int last = LastFrame(slot->kind);
    if (last != -1 && (f > last || f < 0)) {
        ResetEffect(slot);
    } else if (last != -1) {
        const int x = slot->x;
        const int y = slot->y;
        switch (slot->kind) {
        case 1: Rotated(x, y, 3.5, 0.0, Image(images, 68 + f / 2)); break;
        case 2: Rotated(x, y, f < 2 ? 0.5 : 1.0, kPi / 4, Image(images, 328)); break;
        case 3: DrawRingAndRay(f, x, y, kPlain, images); break;
        case 12: DrawRingAndRay(f, x, y, kRed, images); break;
        case 13: DrawRingAndRay(f, x, y, kGreen, images); break;
        case 4: At(x, y, Image(images, 119 + f / 3), false); break;
        case 5: Rotated(x + 64, y + 64, 0.5, 0.0, Image(images, f < 12 ? 532 + f / 2 : 537 - (f - 12) / 2)); break;
        case 6: At(x, y, Image(images, 125 + f), false); break;
        case 7: case 8: case 9: {
            const int d = f / 10;
            const ScopedTint fading(255 - 2 * f, 255 - 2 * f, 255 - 2 * f);
            Stretched(x + d, y + d, x + slot->width + d, y + slot->height + d, Image(images, 593 + slot->kind - 7));
            break;
        }
        case 10:
            if (playerFacing == 2)
                At(playerX + 32, playerY, Image(images, 663 + f / 3), false);
            else if (playerFacing == 1)
                At(playerX - 32, playerY, Image(images, 663 + f / 3), true);
            break;
        case 11: At(x, y, Image(images, 669 + f / 3), slot->mirrored); break;
        case 14: Stretched(x - 128, y - 128, x + 128, y + 128, Image(images, 316 + f / 5)); break;
        case 101: DrawRingAndRay(f, playerX + 64, playerY + 64, kPlain, images); break;
        case 104: DrawRingAndRay(f, playerX + 64, playerY + 64, kRed, images); break;
        case 105: DrawRingAndRay(f, playerX + 64, playerY + 64, kGreen, images); break;
        case 102: DrawDash(f, playerX, playerY, playerState, playerFacing, images); break;
        case 103: DrawFog(f, playerX, playerY, playerFacing, kPlain, images); break;
        case 106: DrawFog(f, playerX, playerY, playerFacing, Tint{255, 50, 30, 5}, images); break;
        case 107: DrawFog(f, playerX, playerY, playerFacing, Tint{30, 255, 50, 5}, images); break;
        default: break;
        }
    }
    if (!paused) slot->frame += 1;
    return 0;
}
