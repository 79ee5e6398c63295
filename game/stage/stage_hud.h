// What the stage scene shows over the play field: the hit-point gauge, the
// attack level and the spell stock; the two-entry pause menu with its keys
// and the play time; and the frame-rate text.
#pragma once

#include <map>

#include "game/app/play_time.h"

struct PlayerRecord;

// The picture the four menu objects show parts of, and the digit strip of
// the play time.
constexpr const char* kPauseMenuPicture = "resource\\picture\\selection\\select_menus.png";
constexpr const char* kPlayTimeDigits = "resource\\picture\\Figures.png";

// HUD images by position in the stage image list.
namespace HudImage {
constexpr int kGaugeFrame = 4;
constexpr int kGaugeCell = 5;
constexpr int kAttackLevel1 = 375;  // 376 and 377 for levels 2 and 3
constexpr int kSpellStock0 = 131;   // 132 for a stock of 1
}  // namespace HudImage

// Where the HUD puts its pictures. The attack level and the spell stock share
// one place under the gauge, the stock drawn over the level: their pictures
// are drawn to fit together there.
constexpr int kAttackLevelX = 85;
constexpr int kAttackLevelY = 54;
constexpr int kSpellStockX = 85;
constexpr int kSpellStockY = 54;

// The menu: ids of the four objects of the primitive-object manager (first
// entry plain, first selected, second plain, second selected), -1 when not
// made, and the cursor (0 resume, 1 leave), kept from one pause to the next.
struct StagePauseMenu {
    int objects[4] = {-1, -1, -1, -1};
    int cursor = 0;
    int digits = -1;  // the digit strip's graphic handle
};

// Makes and places the four objects on the menu picture and loads the
// digit strip. False when the menu picture does not load (the objects made
// are released again).
bool CreateStagePauseMenu(StagePauseMenu* menu);
// Releases the four objects and the digit strip; safe to call twice.
void ReleaseStagePauseMenu(StagePauseMenu* menu);

enum class PauseMenuChoice { None, Resume, Leave };

// The menu keys of one frame while StagePaused (buttons count in the frame
// they are pressed): with the menu hidden ATTACK or JUMP shows it; with it
// shown KEY_UP then KEY_DOWN each toggle the cursor, ATTACK re-polls the
// input manager, plays the pause sound and chooses the entry, JUMP hides the
// menu. The caller acts on the choice.
PauseMenuChoice RunPauseMenuKeys(StagePauseMenu* menu, const std::map<int, int>& held, const int* sounds);

// The menu at full brightness, the entry under the cursor selected, and the
// play time at (10, 450).
void DrawPauseMenu(const StagePauseMenu& menu, const PlayTimer* time);

// Gauge cells: one per started 10 hit points, at x 30, 54, ... and y 30.
int HudGaugeCellCount(int hitPoints);
// The image positions for an attack level (1..3) and a spell stock (0..1),
// -1 for values without a picture.
int HudAttackLevelImage(int attackLevel);
int HudSpellStockImage(int spellStock);

// The gauge, the attack level and the spell stock, with transparency.
void DrawStageHud(const PlayerRecord& player, const int* images);

// The measured frame rate as "%.2f" at (560, 460) and "FPS" at (610, 460).
void DrawFrameRateText(double framesPerSecond, int colour);
