// The hangar: the stand-by display where the pilot is chosen, the launch gates
// that open and close over it, and the battle launched from it.
#include "game/app/intermission_scene.h"

#include <cstdio>
#include <string>

#include "framework/graphics/graphics.h"
#include "framework/sound/sound_playback.h"
#include "framework/window/main_window.h"
#include "game/app/active_state_callbacks.h"
#include "game/app/game_mode.h"
#include "game/app/scene_steps.h"
#include "game/bossbattle/boss_battle_scene.h"
#include "game/framework/fps_manager.h"
#include "game/framework/input_manager.h"
#include "game/framework/resource_managers.h"
#include "game/framework/senario_object.h"
#include "platform/user/user.h"

int (*IntermissionBattleScene)(int* carriedHitPoints, int pilot, int bossId, bool retry) = &RunBossBattleScene;

namespace {

using Manager::CFPSManager;
using Manager::CInputManager;

// The stand-by table's slots.
constexpr int kImageSlots = 95;
constexpr int kGateLeftBack = 11;
constexpr int kGateLeftTop = 12;
constexpr int kGateRightBack = 13;
constexpr int kGateRightTop = 14;
constexpr int kBackLine = 15;     // two animations of 15 pictures
constexpr int kBeamFrame = 45;
constexpr int kRoboFrame = 46;    // 20 pictures
constexpr int kCharDisplay = 66;  // the pilots' texts follow, 1 to 4
constexpr int kStandbyText = 73;  // 20 pictures
constexpr int kGoButton = 93;

constexpr int kAnimationFrames = 120;
constexpr int kGateFrames = 60;
constexpr int kPilotRow = 1;
constexpr int kGoRow = 3;
constexpr int kUnlit = 128;

enum Sound { kSelect, kEnter, kLaunch, kMusic, kSoundCount };
const SoundListEntry kSounds[kSoundCount] = {
    {"resource\\sound\\SE\\se_title_select.wav", 1},
    {"resource\\sound\\SE\\se_title_enter.wav", 1},
    {"resource\\sound\\SE\\se_stage_tamsel_launch.wav", 1},
    {"resource\\sound\\BGM\\bgm_intermission.ogg", 0},
};

// The 95 file names by slot; empty slots are null.
class StandbyNames {
public:
    StandbyNames() {
        const std::string standby = "resource\\picture\\BossBattle\\standby\\";
        const std::string character = "resource\\picture\\playercharacter\\";
        texts_[3] = character + "ressa\\wait\\ressa_wait001.png";
        texts_[4] = character + "kolva\\wait\\kolva_wait001.png";
        texts_[9] = "resource\\picture\\effect\\whiteflash.png";
        texts_[10] = character + "tamsel\\wait\\tamsel_wait001.png";
        texts_[kGateLeftBack] = standby + "transition_gate\\left_back.png";
        texts_[kGateLeftTop] = standby + "transition_gate\\left_top.png";
        texts_[kGateRightBack] = standby + "transition_gate\\right_back.png";
        texts_[kGateRightTop] = standby + "transition_gate\\right_top.png";
        char number[64];
        for (int i = 0; i < 30; ++i) {
            std::snprintf(number, sizeof(number), "back_line\\back_line%03d.png", i);
            texts_[kBackLine + i] = standby + number;
        }
        texts_[kBeamFrame] = standby + "beam_frame.png";
        for (int i = 0; i < 20; ++i) {
            std::snprintf(number, sizeof(number), "robo_frame\\robo_frame%03d.png", i);
            texts_[kRoboFrame + i] = standby + number;
        }
        texts_[kCharDisplay] = standby + "char_display\\char_display000.png";
        texts_[kCharDisplay + 1] = standby + "char_display\\ressa_text.png";
        texts_[kCharDisplay + 2] = standby + "char_display\\kolva_text.png";
        texts_[kCharDisplay + 3] = standby + "char_display\\tamsel_text.png";
        texts_[kCharDisplay + 4] = standby + "char_display\\wendrik_text.png";
        texts_[71] = standby + "weapon_display\\weapon_display000.png";
        texts_[72] = standby + "weapon_display\\weapon_sword.png";
        for (int i = 0; i < 20; ++i) {
            std::snprintf(number, sizeof(number), "standby_text\\standby_text_%03d.png", i);
            texts_[kStandbyText + i] = standby + number;
        }
        texts_[kGoButton] = standby + "go_button\\go_button.png";
        texts_[kGoButton + 1] = standby + "go_button\\go_button_selected.png";
        for (int i = 0; i < kImageSlots; ++i) names_[i] = texts_[i].empty() ? nullptr : texts_[i].c_str();
    }
    const char** Names() { return names_; }

private:
    std::string texts_[kImageSlots];
    const char* names_[kImageSlots] = {};
};

const char** StandbyPictureNames() {
    static StandbyNames names;
    return names.Names();
}

// The two line animations cross-fading over 120 frames, then the robot's
// frame added on and the stand-by text, at animation frame t.
void DrawAnimatedLayers(const int* images, int t) {
    const int b = static_cast<int>(static_cast<double>(t) / kAnimationFrames * 255);
    SetBrightness(b);
    DrawGraphicAtPoint(0, 0, images[kBackLine + (t % 60) / 4], 1);
    SetBrightness(255 - b);
    DrawGraphicAtPoint(0, 0, images[kBackLine + 15 + (t % 60) / 4], 1);
    SetBrightness(255);
    SetBlendModeAndParam(kBlendModeAdd, 255);
    DrawGraphicAtPoint(10, 91, images[kRoboFrame + t / 6], 1);
    SetBlendModeAndParam(kBlendModeNone, 0);
    DrawGraphicAtPoint(55, 31, images[kStandbyText + t / 6], 1);
}

void DrawPilot(const int* images, int pilot) {
    DrawGraphicAtPoint(276, 88, images[kCharDisplay], 1);
    if (pilot >= 1 && pilot <= 4) DrawGraphicAtPoint(276, 88, images[kCharDisplay + pilot], 1);
}

// One frame of the stand-by display; the row not chosen is drawn dimmed.
void DrawStandbyDisplay(const int* images, int t, int row, int pilot) {
    ClearTargetScreen();
    DrawAnimatedLayers(images, t);
    SetBrightness(row == kPilotRow ? 255 : kUnlit);
    DrawPilot(images, pilot);
    SetBrightness(row == kGoRow ? 255 : kUnlit);
    DrawGraphicAtPoint(384, 292, images[kGoButton], 1);
    SetBrightness(255);
    DrawGraphicAtPoint(0, 0, images[kBeamFrame], 1);
}

void DrawGates(const int* images, int rightX, int leftX) {
    DrawGraphicAtPoint(rightX, 0, images[kGateRightBack], 1);
    DrawGraphicAtPoint(rightX, 0, images[kGateRightTop], 1);
    DrawGraphicAtPoint(leftX, 0, images[kGateLeftBack], 1);
    DrawGraphicAtPoint(leftX, 0, images[kGateLeftTop], 1);
}

int NextFrame(int t) { return t + 1 < kAnimationFrames ? t + 1 : 0; }

// What the scene holds while it runs; given back on every way out.
class Hangar {
public:
    Hangar() {
        for (int& image : images) image = -1;
    }
    ~Hangar() {
        delete senario;
        ReleaseLoadedSounds();
        if (imagesLoaded) ReleaseIntermissionImages();
        else ReleaseLoadedImages();
        SetActiveStateCallback(nullptr, nullptr);
        SetBlendModeAndParam(kBlendModeNone, 0);
        SetBrightness(255);
    }

    int images[kImageSlots];
    int sounds[kSoundCount] = {-1, -1, -1, -1};
    bool imagesLoaded = false;
    Object::CSenarioObject* senario = nullptr;

private:
    // A list that failed part way keeps what it loaded before the failure.
    void ReleaseLoadedImages() {
        const char** names = StandbyPictureNames();
        for (int i = 0; i < kImageSlots; ++i)
            if (names[i] != nullptr && images[i] != -1) Manager::CTextureManager::GetInstance()->Release(names[i]);
    }
    void ReleaseLoadedSounds() {
        for (int i = 0; i < kSoundCount; ++i)
            if (sounds[i] != -1) Manager::CSoundManager::GetInstance()->Release(kSounds[i].name);
    }
};

}  // namespace

void ReleaseIntermissionImages() { ReleaseTextures(StandbyPictureNames(), kImageSlots); }

int PlayLaunchGates(const int* images, int mode, int pilot) {
    // The gates move 350 / 40 pixels a frame: open at 516 after 59 steps.
    int p = 0;
    int n = 0;
    for (int f = 0; f < kGateFrames; ++f) {
        const int P = p / 40;
        const int N = n / 40;
        ClearTargetScreen();
        DrawAnimatedLayers(images, f);
        DrawPilot(images, pilot);
        DrawGraphicAtPoint(384, 292, images[kGoButton], 1);
        DrawGraphicAtPoint(0, 0, images[kBeamFrame], 1);
        if (mode == 1) DrawGates(images, P, N);
        else if (mode == 2) DrawGates(images, 516 - P, P - 516);
        if (!PresentAndEndFrame()) return -1;
        p += 350;
        n -= 350;
    }
    if (mode == 2) {
        for (int b = 255; b > 0; b -= 5) {
            ClearTargetScreen();
            SetBrightness(b);
            DrawGraphicAtPoint(0, 0, images[kGateRightTop], 1);
            DrawGraphicAtPoint(0, 0, images[kGateLeftTop], 1);
            if (!PresentAndEndFrame()) {
                SetBrightness(255);
                return -1;
            }
        }
    }
    SetBrightness(255);
    return 0;
}

int RunIntermissionScene(int bossId, int* carriedHitPoints, bool retry) {
    int pilot = 1;
    {
        Hangar hangar;
        SetActiveStateCallback(nullptr, nullptr);
        CFPSManager::GetInstance();
        CInputManager::GetInstance();
        CNowLoadingDrawer::GetInstance()->visible = true;
        if (!LoadTexturesWithProgress(StandbyPictureNames(), nullptr, hangar.images, kImageSlots)) {
            ShowLoadFailure("Failed to load Image. This program will quit.");
            return -1;
        }
        hangar.imagesLoaded = true;
        if (!LoadSoundsWithProgress(kSounds, hangar.sounds, kSoundCount)) {
            ShowLoadFailure("Failed to load Sound. This program will quit.");
            return -1;
        }
        const int* images = hangar.images;

        SetBrightness(255);
        for (int i = 0; i < kGateFrames; ++i) {
            ClearTargetScreen();
            DrawGraphicAtPoint(0, 0, images[kGateRightBack], 1);
            DrawGraphicAtPoint(0, 0, images[kGateLeftBack], 1);
            DrawGraphicAtPoint(0, 0, images[kGateRightTop], 1);
            DrawGraphicAtPoint(0, 0, images[kGateLeftTop], 1);
            if (!PresentAndEndFrame()) return -1;
        }

        PlaySoundHandle(hangar.sounds[kLaunch], kPlayTypeBackground, 1);
        if (PlayLaunchGates(images, 1, pilot) == -1) return -1;

        if (!retry && bossId == 1) hangar.senario = CreateSenarioObject("resource\\senario\\Stage1_senario3.xml");

        PlaySoundHandle(hangar.sounds[kMusic], kPlayTypeLoop, 1);
        SetActiveStateCallback(&OnActiveChangeBgm, SoundHandleArgument(hangar.sounds[kMusic]));

        int t = 0;
        while (hangar.senario != nullptr) {
            if (!hangar.senario->Update(CInputManager::GetInstance()->heldButtons)) {
                delete hangar.senario;
                hangar.senario = nullptr;
                break;
            }
            DrawStandbyDisplay(images, t, kPilotRow, 1);
            hangar.senario->Draw();
            hangar.senario->UpdateFrame();
            t = NextFrame(t);
            // Without the frame's end the input never changes and the
            // scenario never reaches its end.
            if (!PresentAndEndFrame()) return -1;
        }

        const int lastPilot = bossId == 1 ? 3 : 4;
        int row = kPilotRow;
        for (;;) {
            if (ButtonJustPressed(KEY_RIGHT)) {
                if (row == kPilotRow) pilot = pilot >= lastPilot ? 1 : pilot + 1;
                PlaySoundHandle(hangar.sounds[kSelect], kPlayTypeBackground, 1);
            }
            if (ButtonJustPressed(KEY_LEFT)) {
                if (row == kPilotRow) pilot = pilot <= 1 ? lastPilot : pilot - 1;
                PlaySoundHandle(hangar.sounds[kSelect], kPlayTypeBackground, 1);
            }
            for (const int button : {KEY_UP, KEY_DOWN}) {
                if (!ButtonJustPressed(button)) continue;
                row = row == kPilotRow ? kGoRow : kPilotRow;
                PlaySoundHandle(hangar.sounds[kSelect], kPlayTypeBackground, 1);
            }
            if (ButtonJustPressed(ATTACK) && row == kGoRow) break;
            DrawStandbyDisplay(images, t, row, pilot);
            t = NextFrame(t);
            if (!PresentAndEndFrame()) return -1;
        }

        PlaySoundHandle(hangar.sounds[kEnter], kPlayTypeWait, 1);
        PlaySoundHandle(hangar.sounds[kLaunch], kPlayTypeBackground, 1);
        if (PlayLaunchGates(images, 2, pilot) == -1) return -1;
    }

    if (bossId == 7) return kSceneLastBossBeaten;
    return IntermissionBattleScene(carriedHitPoints, pilot, bossId, retry);
}
