#include "tools/placeholder_resources/pictures.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>

namespace placeholder {

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool Has(const std::string& lowerName, const char* part) { return lowerName.find(part) != std::string::npos; }

// One colour per name, so that neighbouring frames of an animation differ.
Colour ColourOf(const std::string& name, uint8_t alpha) {
    uint32_t hash = 2166136261u;
    for (char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return Colour{static_cast<uint8_t>(40 + hash % 150), static_cast<uint8_t>(40 + (hash >> 8) % 150),
                  static_cast<uint8_t>(40 + (hash >> 16) % 150), alpha};
}

constexpr Colour kWhite{255, 255, 255, 255};
constexpr Colour kBlack{0, 0, 0, 255};
constexpr Colour kYellow{255, 230, 0, 255};
constexpr Colour kRed{255, 40, 40, 255};

// Size rules, first match wins; names are compared in lower case.
struct ShapeRule {
    const char* part;
    PictureShape shape;
};

constexpr ShapeRule kRules[] = {
    // Sheets the game cuts into cells.
    {"picture\\figures.png", {324, 20, 0, 0, false}},
    {"selection\\select_menus.png", {512, 512, 0, 0, false}},
    {"selection\\battle_select_menus.png", {384, 384, 0, 0, false}},
    {"load\\now_loading.png", {1024, 512, 256, 32, false}},
    {"addbossbutch\\bb_added_00.png", {640, 1024, 640, 128, true}},
    {"addbossbutch\\bb_added_01.png", {640, 640, 640, 128, true}},
    {"selection\\boss_command.png", {320, 160, 0, 0, false}},
    // The battle's cockpit and bars.
    {"bossbattle\\hpbar.png", {640, 64, 0, 0, false}},
    {"bossbattle\\cockpit.png", {640, 92, 0, 0, false}},
    {"bossbattle\\hpscale.png", {8, 16, 0, 0, false}},
    {"bossbattle\\psychicpower.png", {2, 8, 0, 0, false}},
    {"bossbattle\\cockpit_console_", {160, 24, 0, 0, false}},
    {"bossbattle\\cockpit\\", {160, 64, 0, 0, false}},
    {"bossbattle\\tamselscan.png", {64, 64, 0, 0, false}},
    {"bossbattle\\weakpoint.png", {64, 64, 0, 0, false}},
    {"bossbattle\\option\\", {64, 64, 0, 0, false}},
    {"bossbattle\\standby\\robo_frame\\", {256, 320, 0, 0, false}},
    {"bossbattle\\standby\\char_display\\", {320, 192, 0, 0, false}},
    {"bossbattle\\standby\\weapon_display\\", {160, 96, 0, 0, false}},
    {"bossbattle\\standby\\standby_text\\", {256, 48, 0, 0, false}},
    {"bossbattle\\standby\\go_button\\", {192, 64, 0, 0, false}},
    {"bossbattle\\standby\\", {640, 480, 0, 0, false}},
    {"bossbattle\\consecutionbossbattle\\", {640, 480, 0, 0, true}},
    // Robots: large enough for the hit boxes the battle tests against them.
    {"bossbattle\\gravoid\\", {352, 404, 0, 0, false}},
    {"bossbattle\\wendirobo\\", {352, 404, 0, 0, false}},
    {"bossbattle\\battleship\\", {352, 404, 0, 0, false}},
    {"bossbattle\\dobbin\\", {352, 404, 0, 0, false}},
    {"bossbattle\\ormund\\", {352, 404, 0, 0, false}},
    {"bossbattle\\darkgravoid\\", {352, 404, 0, 0, false}},
    {"bossbattle\\", {256, 256, 0, 0, false}},
    // Effects.
    {"effect\\whiteflash.png", {640, 480, 0, 0, false}},
    {"effect\\robo_burst\\robo_burst_back", {640, 480, 0, 0, false}},
    {"effect\\robo_burst\\", {256, 256, 0, 0, false}},
    {"effect\\solvane\\", {256, 256, 0, 0, false}},
    {"effect\\ray\\", {640, 64, 0, 0, false}},
    {"effect\\laser\\", {640, 32, 0, 0, false}},
    // The flame shot's 128 x 64 body; the turret's 64-pixel spark.
    {"effect\\fire\\", {128, 64, 0, 0, false}},
    {"effect\\battery_effect\\", {64, 64, 0, 0, false}},
    // The dash's dust, drawn behind her feet from 96 below her cell's top,
    // and the jump's, placed on the lower middle quarter of her cell.
    {"effect\\dash_smoke\\", {64, 32, 0, 0, false}},
    {"effect\\jump_effect\\", {64, 64, 0, 0, false}},
    // The stage: 64-pixel tiles, the platforms at the sizes their floors
    // have, the player's 128-pixel frames and the enemies at their sizes.
    {"mapchip\\stage_elevator.png", {448, 64, 0, 0, false}},
    {"mapchip\\stage_sinking_floor.png", {64, 256, 0, 0, false}},
    // The destruction front, drawn from 64 above its y; the standing
    // falling block, drawn 32 above its 64-pixel cell.
    {"mapchip\\destruction_front\\", {256, 960, 0, 0, false}},
    {"mapchip\\stage_falling_block.png", {64, 96, 0, 0, false}},
    // Decorations drawn up from their cell: the carpet floor and the pillar's
    // top 32 pixels, the chandelier 20 and the decoration 64.
    {"mapchip\\stonefloorwithcapet.png", {64, 96, 0, 0, false}},
    {"mapchip\\stage5_hashira_top.png", {64, 96, 0, 0, false}},
    {"mapchip\\chandelier.png", {64, 84, 0, 0, false}},
    {"mapchip\\stage_decoration.png", {64, 128, 0, 0, false}},
    {"\\mapchip\\", {64, 64, 0, 0, false}},
    {"\\item\\", {64, 64, 0, 0, false}},
    // The enemies' 32-pixel bullets.
    {"barrage\\red.png", {32, 32, 0, 0, false}},
    {"barrage\\knife.png", {32, 32, 0, 0, false}},
    {"barrage\\ice.png", {32, 32, 0, 0, false}},
    {"\\barrage\\", {64, 64, 0, 0, false}},
    {"_stream.png", {640, 64, 64, 64, false}},
    {"enemy\\stone_snake\\", {128, 256, 0, 0, false}},
    {"enemy\\mirelle\\", {128, 128, 0, 0, false}},
    {"enemy\\chinton\\", {128, 128, 0, 0, false}},
    {"enemy\\fenwa\\", {128, 128, 0, 0, false}},
    {"\\enemy\\", {64, 64, 0, 0, false}},
    // The player's attack sheets, one row of cells each: kolva's combo and
    // rush are cut in 256 x 128 cells drawn 64 pixels left of her 128-pixel
    // body (the combo reaches cell (79 - 8) / 3, the rush (70 - 1) / 3 and
    // the spell's dash (229 - 171) / 5 + 5), tamsel's dive in 128 x 128 cells
    // up to (61 - 1) / 3.
    {"kolva\\attack1\\new_attack1\\kolva_action_attack1.png", {24 * 256, 128, 256, 128, false}},
    {"kolva\\attack2\\new_attack2\\kolva_attack2.png", {24 * 256, 128, 256, 128, false}},
    {"tamsel\\attack_2a\\tamsel_attack_2a.png", {21 * 128, 128, 128, 128, false}},
    {"\\playercharacter\\", {128, 128, 0, 0, false}},
    // The stage's HUD: the gauge frame at (10, 10) around up to ten cells
    // 24 apart from (30, 30), the attack level and spell stock both at
    // (85, 54), the level in the left half of its picture and the stock in
    // the right half of its own.
    {"hpbar_stage\\hp01.png", {272, 48, 0, 0, false}},
    {"hpbar_stage\\hp02.png", {24, 24, 0, 0, false}},
    {"hpbar_stage\\", {96, 24, 0, 0, false}},
    // The spell backdrop scrolls up by up to 479 and sideways by up to
    // 479 * 1.3 while it must still cover the view: twice the screen.
    {"background\\background_spell.png", {1280, 960, 0, 0, true}},
    // A spell's title: the size it is stretched into at t = 30, when it is
    // next drawn unstretched at (10, 410).
    {"picture\\text\\", {182, 30, 0, 0, false}},
    // Full-screen pictures.
    {"\\background\\", {640, 480, 0, 0, true}},
    {"\\opening\\", {640, 480, 0, 0, true}},
    {"howto\\arrow_", {40, 60, 0, 0, false}},
    {"\\howto\\", {640, 480, 0, 0, true}},
    {"\\title\\", {640, 480, 0, 0, true}},
    {"config\\option_background.png", {640, 480, 0, 0, true}},
    {"config\\option_cursor.png", {32, 32, 0, 0, false}},
    // The five row labels, drawn at (128, 139) with the rows 48 apart.
    {"config\\option_menus.png", {224, 224, 0, 0, false}},
    {"config\\option_fulsc", {128, 32, 0, 0, false}},
    {"config\\option_volbar.png", {146, 22, 0, 0, false}},
    {"\\stageselect\\", {640, 480, 0, 0, true}},
    {"stage_clear\\background_stageclear.png", {640, 480, 0, 0, true}},
    {"stage_clear\\mission_clear\\", {448, 128, 0, 0, false}},
    {"stage_clear\\", {256, 256, 0, 0, false}},
    {"gameover\\", {512, 256, 0, 0, false}},
    {"circle_logo.png", {512, 512, 0, 0, false}},
    {"standpicture\\", {320, 480, 0, 0, false}},
    {"senario\\message_window.png", {640, 160, 0, 0, false}},
    {"ending\\staffroll_logo.png", {320, 120, 0, 0, false}},
};

constexpr PictureShape kDefaultShape{128, 128, 0, 0, false};

// The boxes the battle tests against a robot, as offsets from the picture's
// top-left corner: the player robot's hurt box, each boss's body box and
// its 32 x 32 weak point.
struct RobotBoxes {
    const char* part;
    int left, top, right, bottom;
    int weakX, weakY;  // -1: none
};

constexpr RobotBoxes kRobotBoxes[] = {
    {"bossbattle\\gravoid\\", 160, 100, 240, 300, -1, -1},
    {"bossbattle\\wendirobo\\", 150, 140, 300, 340, 250, 140},
    {"bossbattle\\battleship\\", 70, 205, 350, 320, 284, 189},
    {"bossbattle\\dobbin\\", 140, 70, 250, 400, 164, 79},
    {"bossbattle\\ormund\\", 200, 70, 320, 300, 228, 271},
    {"bossbattle\\darkgravoid\\", 260, 130, 350, 370, 266, 210},
};

// The hit boxes of the stage's sprites, as offsets from the picture's
// top-left corner: the player's body box and each enemy size's box.
struct SpriteBox {
    const char* part;
    int left, top, right, bottom;
};

constexpr SpriteBox kSpriteBoxes[] = {
    {"\\playercharacter\\", 50, 40, 73, 110},
    {"enemy\\stone_snake\\", 32, 32, 96, 224},
    {"enemy\\mirelle\\", 32, 32, 96, 96},
    {"enemy\\chinton\\", 32, 32, 96, 96},
    {"enemy\\fenwa\\", 32, 32, 96, 96},
    {"enemy\\hamushi\\", 20, 20, 44, 44},
    {"enemy\\boushituki_watadama\\", 20, 20, 44, 44},
    {"enemy\\sekitou\\", 20, 20, 44, 44},
};

// The name without "resource\picture\", which every picture shares.
std::string ShortName(const std::string& name) {
    const std::string prefix = "resource\\picture\\";
    return name.rfind(prefix, 0) == 0 ? name.substr(prefix.size()) : name;
}

void Label(Canvas& canvas, int x, int y, int width, const std::string& label, const std::string& name) {
    const int scale = width >= 480 ? 2 : 1;
    const int columns = std::max(1, (width - x - 2) / (6 * scale));
    if (!label.empty()) y = canvas.WrappedText(x, y, label, columns, kYellow, scale);
    canvas.WrappedText(x, y, ShortName(name), columns, kWhite, scale);
}

// "Figures.png": the time label (0..56), the digits 0 to 9 from x 57, 14
// apart, the separator (198..207) and the two labels of the boss-rush and
// stage-select screens (207 and 268, 56 wide).
void DrawFigures(Canvas& canvas) {
    canvas.FillRect(0, 0, canvas.width(), canvas.height(), Colour{0, 0, 0, 0});
    canvas.FrameRect(0, 0, 57, 20, kYellow);
    canvas.Text(3, 6, "TIME", kWhite);
    for (int d = 0; d < 10; ++d) {
        canvas.FrameRect(57 + 14 * d, 0, 14, 20, Colour{90, 90, 90, 255});
        canvas.Text(57 + 14 * d + 4, 6, std::string(1, static_cast<char>('0' + d)), kWhite);
    }
    canvas.Text(198 + 2, 6, ":", kWhite);
    canvas.FrameRect(207, 0, 56, 20, kYellow);
    canvas.Text(210, 6, "NOW", kWhite);
    canvas.FrameRect(268, 0, 56, 20, kYellow);
    canvas.Text(271, 6, "BEST", kWhite);
}

// A 384 x 64 menu plate at y: a selected one lit and marked with a '*' after
// its name, a plain one dark.
void DrawMenuPlate(Canvas& canvas, int y, const std::string& name, bool selected) {
    const Colour back = selected ? Colour{200, 120, 20, 240} : Colour{40, 40, 90, 220};
    canvas.FillRect(0, y, 384, 64, back);
    canvas.FrameRect(0, y, 384, 64, kWhite);
    canvas.Text(16, y + 20, selected ? name + " *" : name, kWhite, 3);
}

struct MenuPlate {
    const char* name;
    bool selected;
};

// "select_menus.png": the main menu's four items in 128 x 32 cells (normal
// row at y 0, highlighted at y 32), and the 384 x 64 plates of the stage's
// pause menu and the game-over menu from y 128 down, each entry plain above
// selected: the pause menu's first entry at y 128 and 192, its second (the
// game-over menu's back to the title) at y 256 and 320, the game-over
// menu's continue at y 384 and 448.
void DrawSelectMenus(Canvas& canvas) {
    canvas.FillRect(0, 0, canvas.width(), canvas.height(), Colour{0, 0, 0, 0});
    const char* items[4] = {"STORY", "HOW TO", "OPTIONS", "QUIT"};
    for (int row = 0; row < 2; ++row)
        for (int i = 0; i < 4; ++i) {
            const Colour back = row == 0 ? Colour{40, 40, 90, 220} : Colour{200, 120, 20, 240};
            canvas.FillRect(128 * i, 32 * row, 128, 32, back);
            canvas.FrameRect(128 * i, 32 * row, 128, 32, kWhite);
            canvas.Text(128 * i + 8, 32 * row + 8, std::string(items[i]) + (row ? " *" : ""), kWhite, 2);
        }
    const MenuPlate plates[6] = {{"RESUME", false},   {"RESUME", true},   {"TO TITLE", false},
                                 {"TO TITLE", true},  {"CONTINUE", false}, {"CONTINUE", true}};
    for (int i = 0; i < 6; ++i) DrawMenuPlate(canvas, 128 + 64 * i, plates[i].name, plates[i].selected);
}

// "battle_select_menus.png": the battle's pause menu, whose four parts from
// y 128 down are resume selected, resume plain, quit selected, quit plain.
void DrawBattleSelectMenus(Canvas& canvas) {
    canvas.FillRect(0, 0, canvas.width(), canvas.height(), Colour{0, 0, 0, 0});
    const MenuPlate plates[4] = {{"RESUME", true}, {"RESUME", false}, {"TO TITLE", true}, {"TO TITLE", false}};
    for (int i = 0; i < 4; ++i) DrawMenuPlate(canvas, 128 + 64 * i, plates[i].name, plates[i].selected);
}

// "option_menus.png": the options page's row labels, 48 apart from the top,
// each on a plate right of where the cursor stands (14 left of the picture,
// 32 wide) and level with the volume bars and the full-screen picture.
void DrawOptionMenus(Canvas& canvas) {
    canvas.FillRect(0, 0, canvas.width(), canvas.height(), Colour{0, 0, 0, 0});
    const char* rows[5] = {"MUSIC", "EFFECTS", "FULL SCREEN", "RESET", "OK"};
    for (int row = 0; row < 5; ++row) {
        const int y = 48 * row;
        canvas.FillRect(20, y, canvas.width() - 20, 32, Colour{40, 40, 90, 200});
        canvas.FrameRect(20, y, canvas.width() - 20, 32, kWhite);
        canvas.Text(26, y + 8, rows[row], kWhite, 2);
    }
}

// The HUD's attack level ("attacklv1.png" to "attacklv3.png") and spell
// stock ("spell0.png", "spell1.png"), drawn at one place: the level fills
// the left half of its picture, the stock the right half of its own, and
// each leaves the other half clear.
void DrawHudIcon(Canvas& canvas, const std::string& lowerName) {
    canvas.FillRect(0, 0, canvas.width(), canvas.height(), Colour{0, 0, 0, 0});
    const bool level = Has(lowerName, "\\attacklv");
    const size_t dot = lowerName.rfind('.');
    const std::string number = dot == std::string::npos || dot == 0 ? "?" : lowerName.substr(dot - 1, 1);
    const int half = canvas.width() / 2;
    const int x = level ? 0 : half;
    canvas.FillRect(x, 0, half, canvas.height(), level ? Colour{20, 110, 40, 200} : Colour{110, 30, 140, 200});
    canvas.FrameRect(x, 0, half, canvas.height(), kWhite);
    canvas.Text(x + 3, (canvas.height() - 8) / 2, (level ? "LEVEL " : "SPELL ") + number, kWhite);
}

void DrawGrid(Canvas& canvas, const PictureShape& shape, const std::string& label, const std::string& name) {
    const int columns = shape.width / shape.cellWidth;
    const int rows = shape.height / shape.cellHeight;
    // The loading sheet is filled column by column, 16 cells to a column.
    const bool columnMajor = shape.cellWidth == 256 && shape.cellHeight == 32;
    for (int column = 0; column < columns; ++column)
        for (int row = 0; row < rows; ++row) {
            const int x = column * shape.cellWidth;
            const int y = row * shape.cellHeight;
            const int cell = columnMajor ? column * rows + row : row * columns + column;
            // The loading animation has 60 cells; the rest of its last
            // column stays empty.
            if (columnMajor && cell >= 60) {
                canvas.FillRect(x, y, shape.cellWidth, shape.cellHeight, Colour{0, 0, 0, 0});
                continue;
            }
            canvas.FrameRect(x, y, shape.cellWidth, shape.cellHeight, kWhite);
            char text[32];
            std::snprintf(text, sizeof text, "cell %d", cell);
            canvas.Text(x + 4, y + 4, text, kYellow, shape.cellHeight >= 64 ? 2 : 1);
            if (columnMajor) canvas.FillRect(x + 80, y + 12, (cell % 60) * 2 + 2, 8, kYellow);
            // The player's cells centre her 128-pixel body: mark its hit box.
            if (Has(Lower(name), "\\playercharacter\\")) {
                const SpriteBox& body = kSpriteBoxes[0];
                canvas.FrameRect(x + (shape.cellWidth - 128) / 2 + body.left, y + body.top, body.right - body.left,
                                 body.bottom - body.top, kRed);
            }
        }
    Label(canvas, 4, shape.cellHeight >= 64 ? 24 : 14, std::min(shape.width, shape.cellWidth), label, name);
}

}  // namespace

PictureShape ShapeOfPicture(const std::string& name) {
    const std::string lower = Lower(name);
    for (const ShapeRule& rule : kRules)
        if (Has(lower, rule.part)) return rule.shape;
    return kDefaultShape;
}

Canvas MakePicture(const std::string& name, const std::string& label) {
    const PictureShape shape = ShapeOfPicture(name);
    Canvas canvas(shape.width, shape.height, ColourOf(name, shape.fullScreen ? 255 : 160));
    const std::string lower = Lower(name);
    if (Has(lower, "picture\\figures.png")) {
        DrawFigures(canvas);
        return canvas;
    }
    if (Has(lower, "selection\\select_menus.png")) {
        DrawSelectMenus(canvas);
        return canvas;
    }
    if (Has(lower, "selection\\battle_select_menus.png")) {
        DrawBattleSelectMenus(canvas);
        return canvas;
    }
    if (Has(lower, "config\\option_menus.png")) {
        DrawOptionMenus(canvas);
        return canvas;
    }
    if (Has(lower, "hpbar_stage\\attacklv") || Has(lower, "hpbar_stage\\spell")) {
        DrawHudIcon(canvas, lower);
        return canvas;
    }
    if (shape.cellWidth > 0) {
        DrawGrid(canvas, shape, label, name);
        return canvas;
    }
    canvas.FrameRect(0, 0, shape.width, shape.height, kWhite);
    if (shape.width >= 16 && shape.height >= 16) {
        // The drawing origin (top-left) and the centre, about which the
        // rotated and stretched draws turn.
        canvas.Cross(0, 0, 6, kRed);
        canvas.Cross(shape.width / 2, shape.height / 2, std::min(shape.width, shape.height) / 8, kBlack);
        Label(canvas, 3, 3, shape.width, label, name);
    }
    for (const SpriteBox& box : kSpriteBoxes) {
        if (!Has(lower, box.part)) continue;
        canvas.FrameRect(box.left, box.top, box.right - box.left, box.bottom - box.top, kRed);
        break;
    }
    for (const RobotBoxes& boxes : kRobotBoxes) {
        if (!Has(lower, boxes.part)) continue;
        canvas.FrameRect(boxes.left, boxes.top, boxes.right - boxes.left, boxes.bottom - boxes.top, kRed);
        canvas.Text(boxes.left + 2, boxes.bottom - 10, boxes.weakX < 0 ? "hurt" : "body", kRed);
        if (boxes.weakX >= 0) {
            canvas.FrameRect(boxes.weakX, boxes.weakY, 32, 32, kYellow);
            canvas.Text(boxes.weakX + 2, boxes.weakY + 12, "weak", kYellow);
        }
        break;
    }
    return canvas;
}

}  // namespace placeholder
