// The now-loading animation: a strip of 60 cells near the screen's lower right
// corner, drawn between files while a list loads, its cell taken from the
// clock.
#include "framework/graphics/graphics.h"
#include "game/framework/resource_managers.h"

namespace {

const char kSheet[] = "resource\\picture\\load\\now_loading.png";

}  // namespace

CNowLoadingDrawer* CNowLoadingDrawer::GetInstance() {
    static CNowLoadingDrawer instance;
    return &instance;
}

CNowLoadingDrawer::CNowLoadingDrawer() {
    Manager::CTextureManager* textures = Manager::CTextureManager::GetInstance();
    textures->Load(kSheet, nullptr);
    graphic = textures->GetHandle(kSheet);
}

CNowLoadingDrawer::~CNowLoadingDrawer() { Manager::CTextureManager::GetInstance()->Release(kSheet); }

void CNowLoadingDrawer::Begin(unsigned now, int) { startTime = now; }

// The cell follows the clock, so a slow load skips cells rather than
// slowing the animation down.
void CNowLoadingDrawer::Update(unsigned now, int) {
    const unsigned elapsed = (now - startTime) % period;
    const unsigned steps = static_cast<unsigned>(elapsed / frameTime);
    const unsigned cell = (steps + baseCell) % 60;
    row = cell & 15;
    column = cell >> 4;
}

// The sheet holds 60 cells of 256 by 32, sixteen to a column.
void CNowLoadingDrawer::Draw(int) {
    if (!visible) return;
    DrawGraphicPart(384, 440, static_cast<int>(column * 256), static_cast<int>(row * 32), 256, 32, graphic, 0, 0);
}

void CNowLoadingDrawer::End() {
    baseCell = column * 16 + row;
    startTime = 0;
}

int CNowLoadingDrawer::GetRedrawInterval() { return 30; }
