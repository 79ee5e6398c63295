// The logo fading in and out (faster while a button is held), the opening's
// pictures, and the main menu with its cursor.
#include "game/app/title_scenes.h"

#include "framework/graphics/graphics.h"
#include "framework/sound/sound_playback.h"
#include "game/app/play_time.h"
#include "game/app/scene_steps.h"
#include "game/framework/fps_manager.h"
#include "game/framework/input_manager.h"
#include "game/framework/object_tree.h"
#include "game/framework/resource_managers.h"
#include "platform/kernel/kernel.h"
#include "platform/user/user.h"

namespace {

using Manager::CFPSManager;
using Manager::CInputManager;

bool AnyButtonHeld() { return CInputManager::GetInstance()->heldButtons != 0; }

// ---- logo ---------------------------------------------------------------------------

const char kLogoPicture[] = "resource\\picture\\circle_logo.png";
constexpr int kLogoSize = 512;
constexpr int kLogoHoldFrames = 90;

class LogoObjects {
public:
    LogoObjects() {
        Manager::CPrimitive2DObjectManager* objects = Manager::CPrimitive2DObjectManager::GetInstance();
        boxId_ = objects->CreateScreenObject();
        logoId_ = objects->CreateScreenObject();
        Object::C2DScreenObject* box = Box();
        box->r = box->g = box->b = 0;
        box->alpha = 255;
        box->width = 640;
        box->height = 480;
        box->SetPosition(0, 0);

        Object::C2DScreenObject* logo = Logo();
        logo->r = logo->g = logo->b = 255;
        logo->alpha = 0;
        logo->width = kLogoSize;
        logo->height = kLogoSize;
        char keyText[Manager::kResourceKeyTextSize] = {};
        if (Manager::CTextureManager::GetInstance()->Load(kLogoPicture, keyText)) logo->textureKey = AddAtomA(keyText);
        int screenWidth = 0, screenHeight = 0;
        GetScreenModeInfo(&screenWidth, &screenHeight, nullptr);
        logo->SetPosition((screenWidth - kLogoSize) / 2, (screenHeight - kLogoSize) / 2);
    }
    ~LogoObjects() {
        Manager::CPrimitive2DObjectManager* objects = Manager::CPrimitive2DObjectManager::GetInstance();
        objects->Release(boxId_);
        objects->Release(logoId_);
    }

    // One frame with the logo at this alpha; false once the program must end.
    bool Frame(int alpha) {
        Logo()->alpha = static_cast<unsigned char>(alpha);
        ClearTargetScreen();
        Box()->Draw();
        Logo()->Draw();
        return PresentAndEndFrame();
    }

private:
    Object::C2DScreenObject* Box() {
        return static_cast<Object::C2DScreenObject*>(Manager::CPrimitive2DObjectManager::GetInstance()->Get(boxId_));
    }
    Object::C2DScreenObject* Logo() {
        return static_cast<Object::C2DScreenObject*>(Manager::CPrimitive2DObjectManager::GetInstance()->Get(logoId_));
    }

    int boxId_ = -1;
    int logoId_ = -1;
};

// ---- opening ------------------------------------------------------------------------

const char* const kOpeningPictures[8] = {
    "resource\\picture\\opening\\opening01_graph.png", "resource\\picture\\opening\\opening01_text.png",
    "resource\\picture\\opening\\opening02_graph.png", "resource\\picture\\opening\\opening02_text.png",
    "resource\\picture\\opening\\opening03_graph.png", "resource\\picture\\opening\\opening03_text.png",
    "resource\\picture\\opening\\opening04_graph.png", "resource\\picture\\opening\\opening04_text.png",
};
constexpr int kOpeningPages = 4;
constexpr int kPageFrames = 480;

enum class Step { Go, Skipped, End };

class Opening {
public:
    bool Load() {
        return LoadTexturesWithProgress(const_cast<const char**>(kOpeningPictures), nullptr, handles_, 8);
    }
    void Release() { ReleaseTextures(const_cast<const char**>(kOpeningPictures), 8); }

    // A frame's end, and whether the player asked to skip.
    Step EndOpeningFrame() {
        if (!PresentAndEndFrame()) return Step::End;
        return ButtonJustPressed(JUMP) || ButtonJustPressed(ATTACK) ? Step::Skipped : Step::Go;
    }

    // The graph and the text of a page at this brightness.
    Step WholePageFrame(int page, int brightness) {
        ClearTargetScreen();
        SetDrawBrightnessRGB(brightness, brightness, brightness);
        DrawGraphicAtPoint(0, 0, Graph(page), 0);
        DrawGraphicAtPoint(0, 0, Text(page), 1);
        return EndOpeningFrame();
    }

    Step GraphOnlyFrame(int page, int brightness) {
        ClearTargetScreen();
        SetDrawBrightnessRGB(brightness, brightness, brightness);
        DrawGraphicAtPoint(0, 0, Graph(page), 0);
        return EndOpeningFrame();
    }

    // Frame t of a page: the text fades in and uncovers from the left.
    Step PageFrame(int page, int t) {
        ClearTargetScreen();
        SetDrawBrightnessRGB(255, 255, 255);
        DrawGraphicAtPoint(0, 0, Graph(page), 0);
        if (2 * t < 255) SetBlendModeAndParam(kBlendModeAlpha, 2 * t);
        if (4 * t < 640) DrawGraphicPart(0, 0, 0, 0, 4 * t, 480, Text(page), 1, 0);
        else DrawGraphicAtPoint(0, 0, Text(page), 1);
        SetBlendModeAndParam(kBlendModeNone, 0);
        return EndOpeningFrame();
    }

    // The old page fades out, then the next page's graph fades in.
    Step PageChange(int from, int to) {
        for (int b = 255; b > 0; b -= 2)
            if (Step step = WholePageFrame(from, b); step != Step::Go) return step;
        for (int b = 0; b <= 254; b += 2)
            if (Step step = GraphOnlyFrame(to, b); step != Step::Go) return step;
        return Step::Go;
    }

    Step Run() {
        for (int b = 0; b < 255; b += 2)
            if (Step step = GraphOnlyFrame(0, b); step != Step::Go) return step;
        for (int f = 0; f < kOpeningPages * kPageFrames; ++f) {
            const int page = f / kPageFrames;
            const int t = f % kPageFrames;
            if (t == 0 && f > 0)
                if (Step step = PageChange(page - 1, page); step != Step::Go) return step;
            if (Step step = PageFrame(page, t); step != Step::Go) return step;
        }
        for (int b = 255; b >= 1; b -= 2)
            if (Step step = WholePageFrame(kOpeningPages - 1, b); step != Step::Go) return step;
        return Step::Go;
    }

private:
    int Graph(int page) const { return handles_[2 * page]; }
    int Text(int page) const { return handles_[2 * page + 1]; }

    int handles_[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
};

// ---- main menu ----------------------------------------------------------------------

const char* const kMenuPictures[3] = {
    "resource\\picture\\title\\mainmenu.png",
    "resource\\picture\\selection\\select_menus.png",
    "resource\\picture\\title\\mainmenu2.png",
};
constexpr int kFirstItem = 11;
constexpr int kLastItem = 14;

void DrawMainMenu(const int* pictures, int cursor) {
    DrawGraphicAtPoint(0, 0, GameProgress == 0 ? pictures[0] : pictures[2], 0);
    for (int item = kFirstItem; item <= kLastItem; ++item) {
        const int column = item - kFirstItem;
        DrawGraphicPart((640 - 128) / 2, 315 + 32 * column, 128 * column, item == cursor ? 32 : 0, 128, 32,
                        pictures[1], 1, 0);
    }
}

}  // namespace

bool RunCircleLogoScene() {
    LogoObjects objects;
    // Any button held runs every phase at twice the speed.
    for (int alpha = 0; alpha < 255; alpha += AnyButtonHeld() ? 4 : 2)
        if (!objects.Frame(alpha)) return false;
    for (int held = 0; held < kLogoHoldFrames; held += AnyButtonHeld() ? 2 : 1)
        if (!objects.Frame(255)) return false;
    for (int alpha = 255; alpha >= 0; alpha -= AnyButtonHeld() ? 4 : 2)
        if (!objects.Frame(alpha)) return false;
    return true;
}

int RunOpeningScene() {
    CNowLoadingDrawer::GetInstance()->visible = false;
    Opening opening;
    if (!opening.Load()) {
        ShowLoadFailure("Failed to load How to Image. This program will quit.");
        return -1;
    }
    const Step step = opening.Run();
    opening.Release();
    SetDrawBrightnessRGB(255, 255, 255);
    return step == Step::End ? -1 : 0;
}

SceneCode RunMainMenuScene(int* titleSounds) {
    CNowLoadingDrawer::GetInstance()->visible = false;
    int pictures[3] = {-1, -1, -1};
    if (!LoadTexturesWithProgress(const_cast<const char**>(kMenuPictures), nullptr, pictures, 3)) {
        ShowLoadFailure("Failed to load Main Menu Image. This program will quit.");
        return -1;
    }
    auto leave = [&](SceneCode code) {
        ReleaseTextures(const_cast<const char**>(kMenuPictures), 3);
        SetDrawBrightnessRGB(255, 255, 255);
        return code;
    };

    for (int b = 0; b < 255; b += 4) {
        ClearTargetScreen();
        SetDrawBrightnessRGB(b, b, b);
        DrawMainMenu(pictures, kFirstItem);
        if (!PresentAndEndFrame()) return leave(kLastItem);
    }
    SetDrawBrightnessRGB(255, 255, 255);

    int cursor = kFirstItem;
    for (;;) {
        for (const int button : {KEY_UP, KEY_DOWN}) {
            if (!ButtonJustPressed(button)) continue;
            cursor += button == KEY_UP ? -1 : 1;
            if (cursor < kFirstItem) cursor = kLastItem;
            if (cursor > kLastItem) cursor = kFirstItem;
            PlaySoundHandle(titleSounds[0], kPlayTypeBackground, 1);
        }
        if (ButtonJustPressed(ATTACK)) {
            PlaySoundHandle(titleSounds[1], kPlayTypeWait, 1);
            return leave(cursor);
        }
        ClearTargetScreen();
        DrawMainMenu(pictures, cursor);
        if (!PresentAndEndFrame()) return leave(kLastItem);
    }
}
