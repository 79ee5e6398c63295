// The scrolling backgrounds of stages 2 to 5, and the one each stage part
// makes.
#include "game/stage/scroll_backgrounds.h"

#include "framework/graphics/graphics.h"
#include "game/stage/stage_images.h"

namespace {

// Draws the image at every (x, y) from the start in the given steps while x
// and y are on the 640 x 480 screen.
void Tile(int image, int startX, int startY, int stepX, int stepY, int transFlag) {
    for (int y = startY; y < 480; y += stepY) {
        for (int x = startX; x < 640; x += stepX) DrawGraphicAtPoint(x, y, image, transFlag);
    }
}

}  // namespace

void CStage2ScrollBackground::Update(int a, int b) {
    int d = a - lastA;
    x -= speed - d * aFactor;
    if (x < -640.0) x += 640.0;
    lastA = a;
    y = b * yFactor;
}

void CStage2ScrollBackground::Draw() {
    int x1 = static_cast<int>(x) % 640;
    int y1 = ((static_cast<int>(y) % 640) - 640) % 640;
    Tile(image, x1, y1, 640, 640, 0);
}

void CStage3ScrollBackground::Update(int newA, int newB) {
    a = newA;
    b = newB;
}

void CStage3ScrollBackground::Draw() {
    for (int x = static_cast<int>(a * farFactor) % 640; x < 640; x += 640) DrawGraphicAtPoint(x, 0, farImage, 0);
    int x2 = a % 960;
    int y2 = static_cast<int>(b * nearFactor) + 192;
    if (y2 > 0) {
        while (y2 > 720) y2 -= 720;
    } else if (y2 < 0) {
        y2 = -(-y2 % 720);
        if (y2 == 0) y2 = -720;
    }
    for (int x = x2; x < 640; x += 960) DrawGraphicAtPoint(x, y2, nearImage, 1);
}

void CStage4ScrollBackground::Update(int a, int newB) {
    x = a % 640;
    flow = (((flow + flowSpeed) % 480) - 480) % 480;
    b = newB;
}

void CStage4ScrollBackground::Draw() {
    Tile(image, x, flow, 640, 480, 0);
}

void CStage5ScrollBackground::Update(int newA, int newB) {
    a = newA;
    b = newB;
}

void CStage5ScrollBackground::Draw() {
    Tile(backImage, (a / 5) % 640, ((static_cast<int>(b * factor0) % 1600) - 1600) % 1600, 640, 1600, 1);
    DrawGraphicAtPoint(static_cast<int>(a * factor1) % 1600, static_cast<int>(b * factor2), middleImage, 1);
    Tile(frontImage, (a / 5) % 3200, ((static_cast<int>(b * factor3) % 1500) - 1500) % 1500, 3200, 1500, 1);
}

IStageScrollBackground* CreateScrollBackground(int stageCode, const int* images) {
    switch (stageCode) {
        case 2:
        case 202: {
            CStage2ScrollBackground* sky = nullptr;
            if (stageCode == 2) {
                sky = new CStage2AScrollBackground;
            } else {
                sky = new CStage2BScrollBackground;
            }
            sky->image = StageImageAt(images, 379);
            sky->speed = 1.0;
            sky->aFactor = 0.1;
            sky->yFactor = stageCode == 2 ? 1.0 / 6.0 : 1.0 / 32.8;
            return sky;
        }
        case 3:
        case 302: {
            auto* forest = new CStage3ScrollBackground;
            forest->farImage = StageImageAt(images, 11);
            forest->nearImage = StageImageAt(images, 12);
            forest->farFactor = 0.25;
            forest->nearFactor = 1.0;
            return forest;
        }
        case 4:
        case 402: {
            auto* waterfall = new CStage4ScrollBackground;
            waterfall->image = StageImageAt(images, 29);
            waterfall->flowSpeed = 15;
            return waterfall;
        }
        case 5:
        case 502: {
            auto* lake = new CStage5ScrollBackground;
            lake->backImage = StageImageAt(images, 11);
            lake->middleImage = StageImageAt(images, 12);
            lake->frontImage = StageImageAt(images, 13);
            lake->factor0 = 0.5;
            lake->factor1 = 1.0 / 13.0;
            lake->factor2 = 0.5;
            lake->factor3 = 0.5;
            return lake;
        }
        default:
            return nullptr;
    }
}
