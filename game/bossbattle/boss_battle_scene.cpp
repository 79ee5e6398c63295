// The boss battle scene: setting up and giving back the battle, the robot movie
// and the entrance, then the frame loop with its pause menu, pilot events, end
// explosions and fades.
#include "game/bossbattle/boss_battle_scene.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ctime>

#include "framework/base/time_functions.h"
#include "framework/graphics/graphics.h"
#include "framework/sound/sound_playback.h"
#include "framework/window/main_window.h"
#include "game/app/game_mode.h"
#include "game/app/play_time.h"
#include "game/bossbattle/battle_assets.h"
#include "game/bossbattle/battle_drawing.h"
#include "game/bossbattle/battle_explosions.h"
#include "game/bossbattle/battle_records.h"
#include "game/bossbattle/battle_scenario_scene.h"
#include "game/bossbattle/battle_shots.h"
#include "game/bossbattle/battle_sounds.h"
#include "game/bossbattle/boss_behaviour.h"
#include "game/bossbattle/command_input.h"
#include "game/bossbattle/robot_actions.h"
#include "game/bossbattle/robot_movie.h"
#include "game/framework/fps_manager.h"
#include "game/framework/input_manager.h"
#include "game/framework/object_tree.h"
#include "game/framework/resource_managers.h"
#include "game/framework/senario_object.h"
#include "game/stage/effects.h"
#include "game/stage/shot_table.h"
#include "game/stage/stage_scene.h"
#include "platform/user/user.h"

namespace {

constexpr int kCounterLimit = 3600;
constexpr int kEventCounterLimit = 12000;
// The explosions run this long before the end fade begins.
constexpr int kExplosionFrames = 660;

const char* const kBackgroundNames[11] = {
    "resource\\picture\\background\\background_stage1.png", "resource\\picture\\background\\background_stage2.png",
    "resource\\picture\\background\\background_stage3.png", "resource\\picture\\background\\background_stage5.png",
    "resource\\picture\\background\\background_stage6.png", "resource\\picture\\background\\background_etc1.png",
    "resource\\picture\\background\\background_etc2.png",   "resource\\picture\\background\\background_etc3.png",
    "resource\\picture\\background\\background_etc5.png",   "resource\\picture\\background\\background_etc6.png",
    "resource\\picture\\background\\background_mountain.png",
};

bool IsBossRushId(int bossId) {
    return bossId == 1000 || bossId == 2000 || bossId == 3000 || bossId == 5000 || bossId == 6000;
}

int WinResultOf(int bossId) {
    switch (bossId) {
    case 1: case 1000: return 104;
    case 2: case 2000: return 204;
    case 3: case 3000: return 304;
    case 5: case 5000: return 504;
    default: return kSceneLastBossBeaten;
    }
}

// Pilot 3's scenario in the middle of the battle.
const char* PilotScenarioOf(int bossId) {
    switch (bossId) {
    case 1: return "resource\\senario\\Stage1_senario5.xml";
    case 2: return "resource\\senario\\Stage2_senario4.xml";
    case 3: return "resource\\senario\\Stage3_senario4.xml";
    case 5: return "resource\\senario\\Stage5_senario3.xml";
    case 6: return "resource\\senario\\Stage6_senario2.xml";
    case 1000: return "resource\\senario\\bossbutch_tamsel_1.xml";
    case 2000: return "resource\\senario\\bossbutch_tamsel_2.xml";
    case 3000: return "resource\\senario\\bossbutch_tamsel_3.xml";
    case 5000: return "resource\\senario\\bossbutch_tamsel_5.xml";
    case 6000: return "resource\\senario\\bossbutch_tamsel_6.xml";
    default: return nullptr;
    }
}

void RestartPlayTimer() {
    StagePlayTimer.start = static_cast<uint32_t>(GetMillisecondCount());
    StagePlayTimer.paused = false;
}

// What the window's focus changes act on. A focus loss stops the music and
// the clock; the return resumes only what that loss stopped, so a battle
// whose music and clock the end sequence has stopped stays silent and
// stopped.
struct BattleFocusRecord {
    int music = -1;
    PlayTimer* timer = nullptr;
    bool (*condition)() = nullptr;
    bool musicStopped = false;
    bool clockPaused = false;
};

void OnActiveChangeBossBattle(int active, void* argument) {
    BattleFocusRecord* record = static_cast<BattleFocusRecord*>(argument);
    if (!active) {
        if (CheckSoundHandlePlaying(record->music) == 1) {
            StopSoundHandle(record->music);
            record->musicStopped = true;
        }
        if (!record->timer->paused) {
            PlayTimer::Pause(record->timer);
            record->clockPaused = true;
        }
        return;
    }
    if (record->musicStopped && CheckSoundHandlePlaying(record->music) == 0)
        PlaySoundHandle(record->music, kPlayTypeLoop, 0);
    if (record->clockPaused && record->timer->paused && record->condition != nullptr && record->condition()) {
        record->timer->start = static_cast<uint32_t>(GetMillisecondCount());
        record->timer->paused = false;
    }
    record->musicStopped = false;
    record->clockPaused = false;
}

void At(int x, int y, int handle) {
    if (handle != -1) DrawGraphicAtPoint(x, y, handle, 1);
}

int Clamp255(int value) { return std::clamp(value, 0, 255); }

class BossBattle {
public:
    BossBattle(int* carriedHitPoints, int pilot, int bossId, bool retry)
        : carried_(carriedHitPoints), pilot_(pilot), bossId_(bossId), retry_(retry) {}

    int Run();

private:
    void SetUp();
    void CreateMenu();
    void ReleaseMenu();
    void ReleaseBattle();
    // Every way out: the focus callback is cleared and the brightness is
    // put back.
    int Leave(int result);

    bool Pressed(int button) const {
        auto found = input_->heldFrames.find(button);
        return found != input_->heldFrames.end() && found->second == 1;
    }

    void AgeShots();
    int EventStep();
    void EndEvent();
    void RestartClockIfPlaying();
    void MenuStep();
    void BattleStep();
    void UpdatePlayerState(int previousWorldX);
    void UpdateBossState();
    void Draw();
    void DrawPlayerRobot();
    void DrawMenu();
    bool StepPilotScenario();

    int* carried_;
    int pilot_;
    int bossId_;
    bool retry_;

    Manager::CFPSManager* frames_ = nullptr;
    Manager::CInputManager* input_ = nullptr;
    Manager::CPrimitive2DObjectManager* objects_ = nullptr;

    PlayerRobot player_ = {};
    BossRobot boss_ = {};
    ShotSlot playerShots_[kShotTableSize] = {};
    ShotSlot bossShots_[kShotTableSize] = {};
    EffectSlot effects_[kEffectTableSize] = {};
    int images_[kBossBattleImageCount] = {};
    int sounds_[kBossBattleSoundCount] = {};
    int farScroll_ = -320;
    int nearScroll_ = -320;
    int walkMode_ = 1;

    int menu_[4] = {-1, -1, -1, -1};
    int cursor_ = 0;
    bool menuHidden_ = false;
    bool over_ = false;
    bool quitting_ = false;
    int overCounter_ = 0;
    int quitFade_ = 0;
    int endFade_ = 0;
    SceneCode result_ = kSceneLeftByPause;
    int commands_[kCommandBufferSize] = {};
    int commandCount_ = 0;
    int commandTime_ = 0;
    int previousCommandCode_ = 0;
    int phase_ = 0;
    int lastFrameTime_ = 0;
    bool scenarioPlayed_ = false;
    BattleFocusRecord focus_;
};

void BossBattle::SetUp() {
    SetDrawBrightnessRGB(255, 255, 255);
    CNowLoadingDrawer::GetInstance()->visible = true;
    result_ = kSceneLeftByPause;
    BossBattlePaused = false;
    BossBattleEventFlag = false;
    BossBattleScenario = nullptr;
    for (ShotSlot* table : {playerShots_, bossShots_}) {
        for (int i = 0; i < kShotTableSize; ++i) {
            ShotSlot& slot = table[i];
            slot = ShotSlot{};
            slot.width = 32;
            slot.height = 32;
            slot.power = 10;
            slot.startX = slot.startY = slot.arcTravel = slot.arcOffset = -100000;
            slot.kind = 2;
            slot.hitLeft = slot.hitTop = 5;
            slot.hitRight = slot.hitBottom = 27;
        }
    }
    for (EffectSlot& effect : effects_) {
        effect = EffectSlot{};
        ResetEffect(&effect);
    }

    PresetPlayerRobot(player_, pilot_);
    PresetBossRobot(boss_);
    if (bossId_ == 2 || bossId_ == 2000) PresetBoss2Robot(boss_);
    else if (bossId_ == 3 || bossId_ == 3000) PresetBoss3Robot(boss_);
    else if (bossId_ == 5 || bossId_ == 5000) PresetBoss5Robot(boss_);
    else if (bossId_ == 6 || bossId_ == 6000) PresetBoss6Robot(boss_);

    frames_ = Manager::CFPSManager::GetInstance();
    input_ = Manager::CInputManager::GetInstance();
    objects_ = Manager::CPrimitive2DObjectManager::GetInstance();
    CreateMenu();

    input_->Update();
    LoadBossBattleAssets(bossId_, images_);
    LoadBossBattleSounds(bossId_, sounds_);

    PlaySoundHandle(sounds_[0], kPlayTypeLoop, 1);
    focus_.music = sounds_[0];
    focus_.timer = &StagePlayTimer;
    focus_.condition = &IsBossBattlePlaying;
    SetActiveStateCallback(&OnActiveChangeBossBattle, &focus_);
}

// Each picture holds a reference of its own to the sheet: releasing an
// object gives back one reference, so four objects on one reference would
// take references that other scenes hold.
void BossBattle::CreateMenu() {
    for (int i = 0; i < 4; ++i) {
        menu_[i] = objects_->CreateScreenObject();
        if (auto* picture = dynamic_cast<Object::C2DScreenObject*>(objects_->Get(menu_[i]))) {
            char key[Manager::kResourceKeyTextSize] = {};
            if (Manager::CTextureManager::GetInstance()->Load(kBattlePauseMenuPicture, key))
                picture->textureKey = AddAtomA(key);
            picture->width = 384;
            picture->height = 64;
            picture->sourceX = 0;
            picture->sourceY = 128 + 64 * i;
            picture->SetPosition((640 - 384) / 2, i < 2 ? 240 - 64 : 240);
        }
    }
}

void BossBattle::ReleaseMenu() {
    for (int& id : menu_) {
        objects_->Release(id);
        id = -1;
    }
}

void BossBattle::ReleaseBattle() {
    ReleaseMenu();
    Manager::CTextureManager* textures = Manager::CTextureManager::GetInstance();
    for (const char* name : kBackgroundNames) textures->Release(name);
    ReleaseSounds(BossBattleSoundTable, kBossBattleSoundCount);
    delete BossBattleScenario;
    BossBattleScenario = nullptr;
}

int BossBattle::Leave(int result) {
    SetActiveStateCallback(nullptr, nullptr);
    SetDrawBrightnessRGB(255, 255, 255);
    SetBlendModeAndParam(kBlendModeNone, 0);
    return result;
}

void BossBattle::AgeShots() {
    for (ShotSlot* table : {playerShots_, bossShots_})
        for (int i = 0; i < kShotTableSize; ++i)
            if (table[i].state == kShotFlying || table[i].state == kShotExploding)
                table[i].frame = std::min(table[i].frame + 1, kCounterLimit);
}

// The clock runs again after an event or the pause menu only while the
// battle plays; once the battle is over it stays where the end stopped it.
void BossBattle::RestartClockIfPlaying() {
    if (IsBossBattlePlaying() && !over_) RestartPlayTimer();
}

void BossBattle::EndEvent() {
    player_.pilotEventCounter = 0;
    BossBattleEventFlag = false;
    RestartClockIfPlaying();
}

int BossBattle::EventStep() {
    int& counter = player_.pilotEventCounter;
    if (counter <= 0) return 0;
    if (counter == 2) {
        PlayBattleSound(sounds_, 11);
        PlayTimer::Pause(&StagePlayTimer);
        BossBattleEventFlag = true;
    }
    switch (pilot_) {
    case 1:
        if (counter > 120) {
            PlaceBossMarker(&player_, &boss_, playerShots_);
            EndEvent();
        }
        break;
    case 2:
        if (counter > 120) {
            DeployRobotOptions(sounds_, playerShots_, &player_);
            EndEvent();
        }
        break;
    case 3:
        if (BossBattleScenario != nullptr) break;  // it plays and ends the event
        if (!scenarioPlayed_ && boss_.hitPoints >= 1 && PilotScenarioOf(bossId_) != nullptr) {
            BossBattleScenario = CreateSenarioObject(PilotScenarioOf(bossId_));
            if (BossBattleScenario == nullptr) {
                MessageBoxA(nullptr, "シナリオロードエラー", "エラー", MB_OK);
                return -1;
            }
            BossBattleEventFlag = false;
            scenarioPlayed_ = true;
        } else {
            // Nothing is left to play (the scenario was played, the boss is
            // beaten, or the battle has none): the event ends at once
            // instead of holding the battle with the clock stopped.
            EndEvent();
        }
        break;
    case 4:
        if (counter == 120) PlayBattleSound(sounds_, 5);
        if (counter > 240) EndEvent();
        break;
    default:
        EndEvent();
        break;
    }
    return 0;
}

void BossBattle::MenuStep() {
    if (Pressed(KEY_UP) || Pressed(KEY_DOWN)) cursor_ = (cursor_ + 1) % 2;
    if (Pressed(START) || (Pressed(ATTACK) && cursor_ == 0)) {
        PlayBattleSound(sounds_, 2);
        input_->Update();
        BossBattlePaused = false;
        menuHidden_ = false;
        RestartClockIfPlaying();
    } else if (Pressed(ATTACK) && cursor_ == 1) {
        PlayBattleSound(sounds_, 2);
        over_ = true;
        quitting_ = true;
        quitFade_ = 0;
        result_ = kSceneLeftByPause;
    } else if (Pressed(JUMP)) {
        menuHidden_ = true;
    }
}

void BossBattle::UpdatePlayerState(int previousWorldX) {
    PlayerRobot& p = player_;
    if (p.hitPoints != p.previousHitPoints) {
        p.damageBlink = 1;
        p.blinkCounter = 0;
        p.state = kRobotKnockedBack;
    } else {
        switch (p.state) {
        case kRobotBasicAttack: case kRobotHeavyAttack: case kRobotDashAttack: case kRobotGuard:
        case kRobotKnockedBack: case kRobotPilotSpecial: case kRobotGrabbed: case kRobotHeld: break;
        default: p.state = p.worldX != previousWorldX ? kRobotWalking : kRobotStanding; break;
        }
    }
    if (p.state != p.previousState) p.stateCounter = 0;
    if (p.damageBlink && p.blinkCounter > 60) p.damageBlink = 0;
}

void BossBattle::UpdateBossState() {
    BossRobot& b = boss_;
    if (b.hitPoints != b.previousHitPoints) {
        b.damageBlink = 1;
        b.blinkCounter = 0;
    }
    switch (b.state) {
    case kBossNearAttack: case kBossMiddleAttack: case kBossFarAttack: case kBossWalkingIn: case kBossWalkingAway:
    case kBossHolding: break;
    default: b.state = kBossDeciding; break;
    }
    if (b.state != b.previousState) b.stateCounter = 0;
    if (b.damageBlink && b.blinkCounter > 60) b.damageBlink = 0;
}

void BossBattle::BattleStep() {
    PlayerRobot& p = player_;
    BossRobot& b = boss_;
    if (Pressed(START)) {
        BossBattlePaused = true;
        menuHidden_ = false;
        PlayTimer::Pause(&StagePlayTimer);
        PlayBattleSound(sounds_, 2);
    }

    p.stateCounter = std::min(p.stateCounter + 1, kCounterLimit);
    p.blinkCounter = std::min(p.blinkCounter + 1, kCounterLimit);
    b.stateCounter = std::min(b.stateCounter + 1, kCounterLimit);
    b.blinkCounter = std::min(b.blinkCounter + 1, kCounterLimit);
    if (p.state == kRobotGrabbed) p.grabCounter = std::min(p.grabCounter + 1, kCounterLimit);
    AgeShots();

    if (++phase_ > 100) phase_ = 0;
    if (phase_ % 20 == 0 && p.psychicPower < 100) p.psychicPower += pilot_ == 4 ? 2 : 1;

    const int previousWorldX = p.worldX;
    p.previousHitPoints = p.hitPoints;
    p.previousState = p.state;
    b.previousHitPoints = b.hitPoints;
    b.previousState = b.state;

    UpdateRobotWalk(playerShots_, &p, &b, input_, sounds_, walkMode_, farScroll_, nearScroll_);
    UpdateRobotCommands(&p, input_, &b, playerShots_, sounds_, commands_, commandTime_, commandCount_, farScroll_,
                        nearScroll_, bossId_, effects_);
    SelectBossAttackPattern(p, bossShots_, sounds_, effects_, bossId_, &b);
    if (b.scanOff == 0) TestScanBeamOnWeakPoint(&b, playerShots_, &p);
    MoveBattleShots(playerShots_, bossShots_, &p, &b, p.worldX - previousWorldX);
    TestBattleHits(playerShots_, bossShots_, &p, &b, sounds_, effects_, bossId_, farScroll_, nearScroll_);

    // While the view follows the robot the effects keep their place on the
    // field.
    if (p.screenX + p.boxRight == 320)
        for (EffectSlot& effect : effects_)
            if (effect.x != -1 && effect.y != -1) effect.x = effect.x - p.worldX + previousWorldX;

    if (p.state == kRobotGrabbed && p.grabCounter > 76) {
        p.hitPoints = p.hitPoints - 3 + p.defence;
        p.state = kRobotKnockedBack;
        p.grabCounter = 0;
        PlayBattleSound(sounds_, 16);
        PlaceBattleEffect(effects_, p.screenX + 256, p.screenY + 256, 108);
        b.state = kBossDeciding;
    }

    UpdatePlayerState(previousWorldX);
    UpdateBossState();

    // The boss is tested first: both robots at 0 in one frame is a win.
    if (b.hitPoints <= 0) {
        over_ = true;
        result_ = WinResultOf(bossId_);
        PlayBattleSound(sounds_, 9);
    } else if (p.hitPoints <= 0) {
        over_ = true;
        overCounter_ = 0;
        result_ = kSceneLost;
        PlayBattleSound(sounds_, 9);
    }
}

void BossBattle::DrawPlayerRobot() {
    PlayerRobot& p = player_;
    if (p.damageBlink && p.blinkCounter % 2 != 0) return;
    if (over_ && p.hitPoints <= 0 && overCounter_ >= 510) return;

    const uint32_t previousBright = GetDrawBrightColor();
    const int k = p.pilotEventCounter;
    const bool tinted = pilot_ == 4 && k >= 120 && k < 240;
    if (tinted) {
        // Blue gives way to red, red to green, green to blue.
        if (k < 160) SetDrawBrightnessRGB(Clamp255(6 * k - 720), 0, Clamp255(975 - 6 * k));
        else if (k < 200) SetDrawBrightnessRGB(Clamp255(1215 - 6 * k), Clamp255(6 * k - 960), 0);
        else SetDrawBrightnessRGB(0, Clamp255(1455 - 6 * k), Clamp255(6 * k - 1200));
    }
    int& c = p.stateCounter;
    const int x = p.screenX;
    const int y = p.screenY;
    switch (p.state) {
    case kRobotWalking:
        // A walk not drawn while the robot blinked may have passed the
        // loop's end: it starts again rather than show other pictures.
        if (c > 104) c = 1;
        At(x, y, BossBattleImage(images_, 4 + c / 5));
        if (c >= 104) c = 1;
        break;
    case kRobotBasicAttack: DrawRobotAttackA(c, x, y, images_); break;
    case kRobotHeavyAttack: {
        const int held = std::min(c, 48);
        At(x, y, BossBattleImage(images_, held < 35 ? 38 + held / 4 : 46 + (held - 35) / 3));
        break;
    }
    case kRobotDashAttack: DrawRobotJumpAttack(c, x, y, images_); break;
    case kRobotGuard: DrawRobotGuard(c, x, y, images_); break;
    case kRobotKnockedBack:
    case kRobotHeld: At(x, y, BossBattleImage(images_, 180)); break;
    case 8: break;
    case kRobotGrabbed:
        // Swung about a point 200 pixels ahead, starting where it stood.
        if (c < 20) At(x, y, BossBattleImage(images_, 180));
        else DrawHeldRobot(c, x + 200, y, images_);
        break;
    default: At(x, y, BossBattleImage(images_, 25)); break;
    }
    if (tinted) SetDrawBrightnessColor(previousBright);
}

void BossBattle::Draw() {
    ClearTargetScreen();
    if (BossBattlePaused && !quitting_ && !menuHidden_) SetDrawBrightnessRGB(128, 128, 128);
    At(farScroll_, 0, BossBattleImage(images_, 0));
    At(nearScroll_, 0, BossBattleImage(images_, 164));
    if (over_ && result_ == kSceneLost && overCounter_ < kExplosionFrames) {
        const int c = std::min(overCounter_ / 2, 255);
        SetDrawBrightnessRGB(255, 255 - c, 255 - c);
    }
    DrawPlayerRobot();

    // A beaten boss goes with the final blast, as the player's robot does.
    const bool bossGone = over_ && boss_.hitPoints <= 0 && overCounter_ >= 510;
    const bool bossBlinkHidden = boss_.damageBlink && boss_.blinkCounter % 2 != 0;
    if (!bossGone && !bossBlinkHidden) DrawBossRobot(&boss_, bossId_, images_);
    if (!bossGone) DrawWeakPoint(boss_, images_);

    // Shots and effects are drawn in one additive pass.
    SetBlendModeAndParam(kBlendModeAdd, 255);
    for (int i = 0; i < kShotTableSize; ++i) DrawBattleShot(&bossShots_[i], bossId_, boss_, sounds_, images_);
    for (int i = 0; i < kShotTableSize; ++i) DrawBattleShot(&playerShots_[i], bossId_, boss_, sounds_, images_);
    for (EffectSlot& effect : effects_) DrawBattleEffect(&effect, images_);
    SetBlendModeAndParam(kBlendModeNone, 0);

    DrawBattleGauges(player_.hitPoints, boss_.hitPoints, player_.psychicPower, images_);
    DrawCockpitCrew(player_.state, player_.stateCounter, bossId_, images_);

    int& counter = player_.pilotEventCounter;
    if (counter > 0) {
        if (!(pilot_ == 4 && counter >= 120)) DrawPilotCutIn(pilot_, counter, images_);
        counter = std::min(counter + 1, kEventCounterLimit);
    }
}

// Pilot 3's scenario over the battle; false never, the scenario's end only
// closes the event.
bool BossBattle::StepPilotScenario() {
    int& counter = player_.pilotEventCounter;
    if (BossBattleScenario == nullptr || counter <= 120) return true;
    if (BossBattleScenario->Update(input_->heldButtons)) {
        BossBattleScenario->Draw();
        BossBattleScenario->UpdateFrame();
        counter = std::min(counter + 1, kEventCounterLimit);
        return true;
    }
    counter = 0;
    if (bossId_ == 1 || bossId_ == 2 || bossId_ == 5 || bossId_ == 1000 || bossId_ == 2000 || bossId_ == 5000)
        player_.defence += 2;
    delete BossBattleScenario;
    BossBattleScenario = nullptr;
    // The event is over with its scenario: the flag its start set goes too,
    // or the clock would never run again.
    BossBattleEventFlag = false;
    RestartClockIfPlaying();
    return true;
}

void BossBattle::DrawMenu() {
    SetDrawBrightnessRGB(255, 255, 255);
    const int first = cursor_ == 0 ? 0 : 1;
    const int second = cursor_ == 0 ? 3 : 2;
    for (int index : {first, second})
        if (auto* picture = dynamic_cast<Object::IDrawObject*>(objects_->Get(menu_[index]))) picture->Draw();
    At(320, 320, BossBattleImage(images_, 416));
    DrawPlayTime(10, 400, BossBattleImage(images_, 415), &StagePlayTimer);
}

int BossBattle::Run() {
    SetUp();
    player_.commandsEnabled = 1;
    player_.pilot = pilot_;
    player_.defence = 0;
    player_.pilotEventCounter = (pilot_ == 2 || pilot_ == 4) ? 1 : 0;

    if (bossId_ != 2000 && bossId_ != 3000 && bossId_ != 5000 && bossId_ != 6000) {
        if (PlayRobotMovie(bossId_, images_) == -1) {
            ReleaseMenu();
            ReleaseRobotMovies();
            return Leave(-1);
        }
        Manager::CTextureManager* textures = Manager::CTextureManager::GetInstance();
        for (const char* name : RobotMovieNames) textures->Release(name);
    }
    if (IsBossRushId(bossId_)) player_.hitPoints = *carried_;

    // The pause menu's objects hold pictures of their own: they go on every
    // way out, here as after the movie.
    if (RunBattleScenarioScene(sounds_, bossId_, boss_.screenY, retry_, player_.hitPoints, images_) == -1) {
        ReleaseMenu();
        return Leave(-1);
    }

    input_->Update();
    lastFrameTime_ = GetMillisecondCount();
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    if (bossId_ == 6 || bossId_ == 1000) StagePlayTimer = PlayTimer{0, 0, 0, 0, 0, false};
    RestartPlayTimer();

    for (;;) {
        if (BossBattleFrameHook != nullptr) BossBattleFrameHook(player_, boss_, overCounter_);
        PlayTimer::Update(&StagePlayTimer);
        if (!over_ && CheckSoundHandlePlaying(sounds_[0]) != 1) PlaySoundHandle(sounds_[0], kPlayTypeLoop, 1);
        RecordRobotCommandInput(input_, previousCommandCode_, lastFrameTime_, commands_, commandTime_, commandCount_);
        if (over_) {
            overCounter_ = std::min(overCounter_ + 1, kCounterLimit);
            AgeShots();
            MoveBattleShots(playerShots_, bossShots_, &player_, &boss_, 0);
        }

        int stepResult = 0;
        if (BossBattlePaused && (quitting_ || player_.pilotEventCounter > 0)) {
            stepResult = EventStep();
        } else if (BossBattlePaused && menuHidden_) {
            if (Pressed(ATTACK) || Pressed(JUMP) || Pressed(START)) menuHidden_ = false;
        } else if (BossBattlePaused) {
            MenuStep();
        } else if (over_ || player_.pilotEventCounter > 0) {
            stepResult = EventStep();
        } else {
            BattleStep();
        }
        if (stepResult == -1) {
            ReleaseMenu();
            return Leave(-1);
        }

        if (quitting_) {
            quitFade_ += 4;
            if (quitFade_ >= 255) {
                ReleaseBattle();
                return Leave(kSceneLeftByPause);
            }
            SetDrawBrightnessRGB(255 - quitFade_, 255 - quitFade_, 255 - quitFade_);
        }

        if (over_ && !quitting_) {
            if (overCounter_ == 1) PlayTimer::Pause(&StagePlayTimer);
            if (IsBossRushId(bossId_)) *carried_ = player_.hitPoints;
            StopSoundHandle(sounds_[0]);
            UpdateBossExplosions(&player_, &boss_, effects_, overCounter_);
            delete BossBattleScenario;
            BossBattleScenario = nullptr;
            if (overCounter_ > kExplosionFrames) {
                endFade_ += 4;
                SetDrawBrightnessRGB(255 - endFade_, 255 - endFade_, 255 - endFade_);
                if (endFade_ >= 255) {
                    ReleaseBattle();
                    LastCharacter = pilot_;
                    BossRangeMode = -100000;
                    return Leave(result_);
                }
            }
        }

        Draw();
        StepPilotScenario();
        if (BossBattlePaused && !quitting_ && !menuHidden_) DrawMenu();

        if (!frames_->Update()) {
            delete BossBattleScenario;
            BossBattleScenario = nullptr;
            ReleaseMenu();
            return Leave(-1);
        }
        PresentBackBuffer();
        lastFrameTime_ = GetMillisecondCount();
    }
}

}  // namespace

bool IsBossBattlePlaying() { return !BossBattlePaused && BossBattleScenario == nullptr && !BossBattleEventFlag; }

int RunBossBattleScene(int* carriedHitPoints, int pilot, int bossId, bool retry) {
    BossBattle battle(carriedHitPoints, pilot, bossId, retry);
    return battle.Run();
}
